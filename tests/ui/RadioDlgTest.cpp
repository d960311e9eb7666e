#include "common/Text.h"
#include "devices/CFiveBaudSetDlg.h"
#include "radio/CWorkRelayDlg.h"
#include "radio/CWorkSetDafaultUHFDlg.h"
#include "radio/CWorkUHFDlg.h"
#include "settings/CProgressDlg.h"
#include "settings/SettingsWindowSlot.h"
#include "tests/support/RecordingPrompts.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/SimulatedFrame.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace quorlex {
namespace {

using testing::SimulatedFrame;

FrequencyTable Table(double offset) {
    FrequencyTable table{};
    for (size_t i = 0; i < table.size(); ++i) {
        table[i] = ParseTableFrequency(kDefaultChannelFrequencies[i]) + offset;
    }
    return table;
}

// Unlike the defaults in every field, so a field lost on the way shows.
RadioBlock DistinctBlock() {
    // channel, spare text, protocol, spacing, tables, rx channel, limits, baud, status, power
    return {8, u"label", 10, 12.5, Table(0.0), Table(1.0), 8, 410.0, 470.0, 19200, u"300", 1};
}

QComboBox& Combo(Dialog& dialog, int id) {
    return *dialog.DlgItem<QComboBox>(id);
}
QLineEdit& Edit(Dialog& dialog, int id) {
    return *dialog.DlgItem<QLineEdit>(id);
}
// What the page hears when the user picks an entry.
void Choose(Dialog& dialog, int id, int index) {
    Combo(dialog, id).setCurrentIndex(index);
    emit Combo(dialog, id).activated(index);
}
void WhileOpen(Dialog& dialog, const std::function<void()>& check) {
    RunModal(dialog, [&] {
        check();
        dialog.EndDialog(kIdCancel);
    });
}

struct Pages {
    Pages() {
        radio.SetPrompts(prompts);
        relay.SetPrompts(prompts);
        radio.block = relay.block = DistinctBlock();
    }
    SimulatedFrame sim;
    SettingsWindowSlot settingsWindow;
    RecordingPrompts prompts;
    CWorkUHFDlg radio{sim.Control(), settingsWindow};
    CWorkRelayDlg relay{sim.Control()};
};

TEST(RadioPagesTest, ShowTheBlocksChannelFrequencyAndProtocol) {
    const struct {
        QString tx, rx, protocolName;
        int32_t channel, protocol;
        int index;
        bool typed;
    } cases[] = {
        {"438.125", "439.125", "TRIMTALK", 1, 3, 0, false},
        {"447.125", "448.125", "TRIMMK3", 8, 9, 7, true},
        {"466.625", "467.625", "KESTO19200", 16, 10, 15, false},
        {"", "", "TRANSEOT", 0, 2, -1, false},
        {"", "", "KESTO9600", 17, 4, -1, false},
        {"441.125", "442.125", "TRIMTALK", 3, 0, 2, false}, // unknown code: a new page's first
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.channel);
        Pages pages;
        pages.radio.block.channel = pages.relay.block.channel = pages.relay.block.rxChannel =
            c.channel;
        pages.radio.block.protocol = pages.relay.block.protocol = c.protocol;
        const auto check = [&](Dialog& page, int list, int edit, const QString& text,
                               int protocol) {
            EXPECT_EQ(Combo(page, list).currentIndex(), c.index);
            EXPECT_EQ(Edit(page, edit).text(), text);
            EXPECT_EQ(Edit(page, edit).isEnabled(), c.typed);
            EXPECT_EQ(Combo(page, protocol).currentText(), c.protocolName);
            // Choosing channel 8 shows its table entry over whatever was typed.
            Edit(page, edit).setText("455.000");
            Choose(page, list, 7);
            EXPECT_EQ(Edit(page, edit).text(), list == 1016 ? "448.125" : "447.125");
            EXPECT_TRUE(Edit(page, edit).isEnabled());
        };
        WhileOpen(pages.radio, [&] { check(pages.radio, 1019, 1020, c.tx, 1005); });
        WhileOpen(pages.relay, [&] {
            check(pages.relay, 1014, 1009, c.tx, 1015);
            check(pages.relay, 1016, 1017, c.rx, 1018);
        });
    }
}

// Hosted as the settings dialog hosts them: loaded from the record, stored back unchanged.
TEST(RadioPagesTest, LoadThenStoreLeavesTheBlockAsTheRecordHasIt) {
    for (const int32_t channel : {8, 3, 17}) {
        QTabWidget tabs; // outlives the pages, as the settings dialog's does
        Pages pages;
        DatalinkConfig& record = pages.sim.Control().Settings().config.datalink;
        record.radio = {DistinctBlock(), DistinctBlock()};
        record.radio[0].channel = record.radio[1].channel = record.radio[1].rxChannel = channel;
        record.radio[1].protocol = 2;
        record.radio[1].highPower = 0;
        pages.radio.CreateModeless(&tabs);
        pages.relay.CreateModeless(&tabs);
        pages.radio.LoadFromSettings();
        pages.relay.LoadFromSettings();
        EXPECT_TRUE(pages.radio.StoreFromControls());
        EXPECT_TRUE(pages.relay.StoreFromControls());
        EXPECT_EQ(pages.radio.block, record.radio[0]) << channel;
        EXPECT_EQ(pages.relay.block, record.radio[1]) << channel;
        EXPECT_TRUE(pages.prompts.messages.empty());
    }
}

TEST(RadioPagesTest, TypedChannel8FrequencyIsStoredOnlyWithin410To470) {
    const struct {
        QString tx, rx;
        double tx8, rx8;
        int refusedEdit; // the relay page's; 0 when nothing is refused
    } cases[] = {
        {"410", "470", 410.0, 470.0, 0},
        {"470.5", "460", 447.125, 448.125, 1009}, // the receive side is not reached
        {"450", "409.999", 450.0, 448.125, 1017},
        {"455.5", "nan", 455.5, 448.125, 1017},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tx.toStdString() + " " + c.rx.toStdString());
        Pages pages;
        const bool txRefused = c.refusedEdit == 1009;
        WhileOpen(pages.radio, [&] {
            Edit(pages.radio, 1020).setText(c.tx);
            Combo(pages.radio, 1005).setCurrentIndex(1);
            EXPECT_EQ(pages.radio.StoreFromControls(), !txRefused);
            EXPECT_EQ(pages.radio.focusWidget() == &Edit(pages.radio, 1020), txRefused);
        });
        EXPECT_EQ(pages.radio.block.txFrequency[7], c.tx8);
        EXPECT_EQ(pages.radio.block.protocol, 9); // stored all the same
        WhileOpen(pages.relay, [&] {
            Edit(pages.relay, 1009).setText(c.tx);
            Edit(pages.relay, 1017).setText(c.rx);
            Combo(pages.relay, 1018).setCurrentIndex(3); // "KESTO9600", shown only
            Combo(pages.relay, 1015).setCurrentIndex(1); // "TRIMMK3"
            EXPECT_EQ(pages.relay.StoreFromControls(), c.refusedEdit == 0);
            if (c.refusedEdit != 0) {
                EXPECT_EQ(pages.relay.focusWidget(), &Edit(pages.relay, c.refusedEdit));
            }
        });
        EXPECT_EQ(pages.relay.block.txFrequency[7], c.tx8);
        EXPECT_EQ(pages.relay.block.rxFrequency[7], c.rx8);
        EXPECT_EQ(pages.relay.block.protocol, 9);
        ASSERT_EQ(pages.prompts.messages.size(), (txRefused ? 1u : 0u) + (c.refusedEdit ? 1u : 0u));
        if (c.refusedEdit != 0) {
            const RecordingPrompts::Message& warning = pages.prompts.messages.back();
            EXPECT_EQ(warning.text, u"电台频率必须在410-470，请重新设置！");
            EXPECT_EQ(warning.caption, u"Warning");
            EXPECT_EQ(warning.icon, MessageIcon::Exclamation);
        }
    }
}

TEST(RadioPagesTest, ButtonsOpenTheirDialogsOnTheRecordNotThePage) {
    Pages pages;
    ReceiverSettings& record = pages.sim.Control().Settings();
    record.info.fivePinBaudText = u"9600";
    record.config.datalink.radio[0].txFrequency = Table(2.0);
    DatalinkConfig edited;
    std::u16string baudShown;
    WhileOpen(pages.radio, [&] {
        AnswerNextModal([&](QWidget& active) {
            auto& defaults = dynamic_cast<CWorkSetDafaultUHFDlg&>(active);
            edited = defaults.datalink;
            EXPECT_EQ(Edit(defaults, 1053).text(), "440.125");
            Click(defaults, kIdCancel);
        });
        Click(pages.radio, 1033);
        AnswerNextModal([&](QWidget& active) {
            baudShown = dynamic_cast<CFiveBaudSetDlg&>(active).baudText;
            Click(dynamic_cast<Dialog&>(active), kIdCancel);
        });
        Click(pages.radio, 1034);
    });
    EXPECT_EQ(edited, record.config.datalink);
    EXPECT_EQ(baudShown, u"9600");
    EXPECT_EQ(pages.radio.block, DistinctBlock());
}

constexpr int kChannel1 = 1053;
constexpr int kChannel3 = 1009;
constexpr int kChannel16 = 1066;

struct DefaultsDialog {
    DefaultsDialog() {
        dialog.datalink.radio[0].txFrequency = Table(0.0);
        dialog.datalink.radio[1].rxFrequency = Table(1.0);
    }
    SimulatedFrame sim;
    SettingsWindowSlot settingsWindow;
    CWorkSetDafaultUHFDlg dialog{sim.Control(), settingsWindow};
};

TEST(ChannelDefaultsDlgTest, EachTableKeepsItsEditsAcrossSwitches) {
    DefaultsDialog d;
    CWorkSetDafaultUHFDlg& dialog = d.dialog;
    WhileOpen(dialog, [&] {
        EXPECT_EQ(dialog.GetRadioIndex(1006), 0);
        EXPECT_EQ(Edit(dialog, kChannel16).text(), "466.625");
        Edit(dialog, kChannel3).setText("449.5");
        Click(dialog, 1007); // "接收"
        EXPECT_EQ(Edit(dialog, kChannel3).text(), "442.125");
        Edit(dialog, kChannel1).setText("");
        Click(dialog, 1033); // "恢复默认设置": the texts only
        EXPECT_EQ(Edit(dialog, kChannel3).text(), "441.125");
        EXPECT_EQ(dialog.datalink.radio[1].rxFrequency, Table(1.0));
        Edit(dialog, kChannel1).setText("x");
        Click(dialog, 1007); // already shown: the table is left alone
        EXPECT_EQ(dialog.datalink.radio[1].rxFrequency[0], 439.125);
        Click(dialog, 1006);
        EXPECT_EQ(Edit(dialog, kChannel3).text(), "449.500");
    });
    FrequencyTable rx = Table(0.0);
    rx[0] = 0.0;
    EXPECT_EQ(dialog.datalink.radio[1].rxFrequency, rx);
    EXPECT_EQ(dialog.datalink.radio[0].txFrequency[2], 449.5);
}

class RefreshCounter final : public SettingsRefreshTarget {
public:
    void OnSettingsRefresh() override { ++count; }
    int count = 0;
};

// "设置" against the simulated receiver: the table shown goes out, the record is read back,
// and the settings window refreshes only when the batch succeeded.
TEST(ChannelDefaultsDlgTest, SetWritesTheTableShownAndReadsTheRecordBack) {
    const std::u16string factory =
        u"438.125|440.125|441.125|442.125|443.125|444.125|446.125|447.125|"
        u"463.125|464.125|465.125|466.125|463.625|464.625|465.625|466.625";
    const struct {
        int button;
        bool silent;
        std::u16string key, sent;
    } cases[] = {
        {1006, false, u"RADIO.FREQUENCY", factory},
        {1007, false, u"RADIO.FREQUENCY_RX", factory.substr(0, factory.size() - 7) + u"0.000"},
        {1006, true, u"RADIO.FREQUENCY", factory},
    };
    for (const auto& c : cases) {
        DefaultsDialog d;
        ReceiverSimulator& receiver = d.sim.Simulator(0);
        ASSERT_TRUE(d.sim.Connect(0));
        receiver.SetValue(c.key, u"450.000");
        receiver.SetFaults(SimulatorFaults{.silent = c.silent});
        RefreshCounter window;
        d.settingsWindow.Set(&window);
        bool openAfter = false;
        WhileOpen(d.dialog, [&] {
            Click(d.dialog, c.button);
            Click(d.dialog, 1033);
            Edit(d.dialog, kChannel16).setText(c.button == 1007 ? "" : "466.625");
            AnswerNextModal([&](QWidget& active) {
                auto& progress = dynamic_cast<CProgressDlg&>(active);
                if (c.silent) {
                    EXPECT_TRUE(QTest::qWaitFor([&] { return !progress.IsRunning(); }, 3000));
                    Click(progress, kIdCancel);
                }
            });
            Click(d.dialog, kIdOk);
            openAfter = d.dialog.isVisible();
        });
        EXPECT_EQ(receiver.ReceivedCommands().at(0), "SET," + ToUtf8(c.key) + "," + ToUtf8(c.sent));
        EXPECT_TRUE(openAfter);
        EXPECT_EQ(window.count, c.silent ? 0 : 1);
        if (!c.silent) {
            EXPECT_EQ(receiver.ReceivedCommands().at(1), "GET,ALL");
            EXPECT_EQ(receiver.Value(c.key), c.sent);
            const DatalinkConfig& record = d.sim.Control().Settings().config.datalink;
            EXPECT_EQ(c.button == 1006 ? record.radio[0].txFrequency : record.radio[1].rxFrequency,
                      ChannelTableOf(d.dialog.datalink, c.button - 1006));
        }
    }
}

} // namespace
} // namespace quorlex
