#include "common/Text.h"
#include "devices/CFiveBaudSetDlg.h"
#include "radio/CWorkRelayDlg.h"
#include "radio/CWorkSetDafaultUHFDlg.h"
#include "radio/CWorkUHFDlg.h"
#include "settings/CProgressDlg.h"
#include "settings/SettingsWindowSlot.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/SimulatedFrame.h"
#include "ui/RecordingPrompts.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
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

// A block unlike the defaults in every field, so a field lost on the way shows.
RadioBlock DistinctBlock() {
    RadioBlock block;
    block.channel = 8;
    block.spareText = u"label";
    block.protocol = 10;
    block.channelSpacing = 12.5;
    block.txFrequency = Table(0.0);
    block.rxFrequency = Table(1.0);
    block.rxChannel = 8;
    block.lowerLimit = 410.0;
    block.upperLimit = 470.0;
    block.baud = 19200;
    block.status = u"300";
    block.highPower = 1;
    return block;
}

QComboBox& Combo(Dialog& dialog, int id) {
    return *dialog.DlgItem<QComboBox>(id);
}
QLineEdit& Edit(Dialog& dialog, int id) {
    return *dialog.DlgItem<QLineEdit>(id);
}
// As the user picks an entry, which is what the page hears of.
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
    SimulatedFrame sim;
    SettingsWindowSlot settingsWindow;
    RecordingPrompts prompts;
    CWorkUHFDlg radio{sim.Control(), settingsWindow};
    CWorkRelayDlg relay{sim.Control()};
    Pages() {
        radio.SetPrompts(prompts);
        relay.SetPrompts(prompts);
    }
};

TEST(RadioPagesTest, ShowTheBlocksChannelFrequencyAndProtocol) {
    const struct {
        QString tx;
        QString rx;
        QString protocolName;
        int32_t channel;
        int32_t protocol;
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
        pages.radio.block = DistinctBlock();
        pages.radio.block.channel = c.channel;
        pages.radio.block.protocol = c.protocol;
        WhileOpen(pages.radio, [&] {
            EXPECT_EQ(Combo(pages.radio, 1019).currentIndex(), c.index);
            EXPECT_EQ(Edit(pages.radio, 1020).text(), c.tx);
            EXPECT_EQ(Edit(pages.radio, 1020).isEnabled(), c.typed);
            EXPECT_EQ(Combo(pages.radio, 1005).currentText(), c.protocolName);
        });
        pages.relay.block = pages.radio.block;
        pages.relay.block.rxChannel = c.channel;
        WhileOpen(pages.relay, [&] {
            for (const auto& [list, edit, text] :
                 {std::tuple{1014, 1009, c.tx}, {1016, 1017, c.rx}}) {
                EXPECT_EQ(Combo(pages.relay, list).currentIndex(), c.index);
                EXPECT_EQ(Edit(pages.relay, edit).text(), text);
                EXPECT_EQ(Edit(pages.relay, edit).isEnabled(), c.typed);
            }
            EXPECT_EQ(Combo(pages.relay, 1015).currentText(), c.protocolName);
            EXPECT_EQ(Combo(pages.relay, 1018).currentText(), c.protocolName);
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
        QString tx;
        QString rx;
        double tx8;
        double rx8;
        int refusedEdit; // the relay page's; 0 when nothing is refused
    } cases[] = {
        {"410", "470", 410.0, 470.0, 0},
        {"470.5", "460", 447.125, 448.125, 1009}, // the receive side is not reached
        {"abc", "460", 447.125, 448.125, 1009},
        {"450", "409.999", 450.0, 448.125, 1017},
        {"455.5", "nan", 455.5, 448.125, 1017},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tx.toStdString() + " " + c.rx.toStdString());
        Pages pages;
        pages.radio.block = pages.relay.block = DistinctBlock();
        WhileOpen(pages.radio, [&] {
            Edit(pages.radio, 1020).setText(c.tx);
            Combo(pages.radio, 1005).setCurrentIndex(1);
            EXPECT_EQ(pages.radio.StoreFromControls(), c.refusedEdit != 1009);
            EXPECT_EQ(pages.radio.focusWidget() == &Edit(pages.radio, 1020), c.refusedEdit == 1009);
        });
        EXPECT_EQ(pages.radio.block.txFrequency[7], c.tx8);
        EXPECT_EQ(pages.radio.block.protocol, 9); // stored all the same
        WhileOpen(pages.relay, [&] {
            Edit(pages.relay, 1009).setText(c.tx);
            Edit(pages.relay, 1017).setText(c.rx);
            EXPECT_EQ(pages.relay.StoreFromControls(), c.refusedEdit == 0);
            if (c.refusedEdit != 0) {
                EXPECT_EQ(pages.relay.focusWidget(), &Edit(pages.relay, c.refusedEdit));
            }
        });
        EXPECT_EQ(pages.relay.block.txFrequency[7], c.tx8);
        EXPECT_EQ(pages.relay.block.rxFrequency[7], c.rx8);
        const size_t warnings = (c.refusedEdit == 1009 ? 1 : 0) + (c.refusedEdit == 0 ? 0 : 1);
        ASSERT_EQ(pages.prompts.messages.size(), warnings);
        for (const RecordingPrompts::Message& message : pages.prompts.messages) {
            EXPECT_EQ(message.text, u"电台频率必须在410-470，请重新设置！");
            EXPECT_EQ(message.caption, u"Warning");
            EXPECT_EQ(message.icon, MessageIcon::Exclamation);
        }
    }
}

TEST(RadioPagesTest, ChosenChannelShowsItsTableEntryOverWhatWasTyped) {
    Pages pages;
    pages.radio.block = pages.relay.block = DistinctBlock();
    WhileOpen(pages.radio, [&] {
        Edit(pages.radio, 1020).setText("455.000");
        Choose(pages.radio, 1019, 7);
        EXPECT_EQ(Edit(pages.radio, 1020).text(), "447.125");
        Choose(pages.radio, 1019, 4);
        EXPECT_EQ(Edit(pages.radio, 1020).text(), "443.125");
        EXPECT_FALSE(Edit(pages.radio, 1020).isEnabled());
    });
    WhileOpen(pages.relay, [&] {
        Choose(pages.relay, 1014, 4);
        Choose(pages.relay, 1016, 11);
        EXPECT_EQ(Edit(pages.relay, 1009).text(), "443.125");
        EXPECT_EQ(Edit(pages.relay, 1017).text(), "467.125");
        Combo(pages.relay, 1018).setCurrentIndex(3); // "KESTO9600", shown only
        Combo(pages.relay, 1015).setCurrentIndex(1); // "TRIMMK3"
        EXPECT_TRUE(pages.relay.StoreFromControls());
    });
    EXPECT_EQ(pages.radio.block, DistinctBlock()); // nothing stored
    EXPECT_EQ(pages.relay.block.channel, 5);
    EXPECT_EQ(pages.relay.block.rxChannel, 12);
    EXPECT_EQ(pages.relay.block.protocol, 9);
}

TEST(RadioPagesTest, ButtonsOpenTheirDialogsOnTheRecordNotThePage) {
    Pages pages;
    ReceiverSettings& record = pages.sim.Control().Settings();
    record.info.fivePinBaudText = u"9600";
    record.config.datalink.radio[0].txFrequency = Table(2.0);
    pages.radio.block = DistinctBlock();
    std::u16string baudShown;
    std::optional<DatalinkConfig> defaultsEdited;
    QString firstChannelShown;
    WhileOpen(pages.radio, [&] {
        AnswerNextModal([&](QWidget& active) {
            auto& defaults = dynamic_cast<CWorkSetDafaultUHFDlg&>(active);
            defaultsEdited = defaults.datalink;
            firstChannelShown = Edit(defaults, 1053).text();
            Click(defaults, kIdCancel);
        });
        Click(pages.radio, 1033);
        AnswerNextModal([&](QWidget& active) {
            auto& fivePin = dynamic_cast<CFiveBaudSetDlg&>(active);
            baudShown = fivePin.baudText;
            Click(fivePin, kIdCancel);
        });
        Click(pages.radio, 1034);
    });
    EXPECT_EQ(defaultsEdited, record.config.datalink);
    EXPECT_EQ(firstChannelShown, "440.125");
    EXPECT_EQ(baudShown, u"9600");
    EXPECT_EQ(pages.radio.block, DistinctBlock());
}

constexpr int kChannel1 = 1053;
constexpr int kChannel3 = 1009;
constexpr int kChannel16 = 1066;

struct DefaultsDialog {
    SimulatedFrame sim;
    SettingsWindowSlot settingsWindow;
    CWorkSetDafaultUHFDlg dialog{sim.Control(), settingsWindow};
    DefaultsDialog() {
        dialog.datalink.radio[0].txFrequency = Table(0.0);
        dialog.datalink.radio[1].rxFrequency = Table(1.0);
    }
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
    EXPECT_EQ(d.dialog.datalink.radio[1].rxFrequency, rx);
    EXPECT_EQ(d.dialog.datalink.radio[0].txFrequency[2], 449.5);
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
    const std::u16string other = u"450.000|451.000|452.000|453.000|454.000|455.000|456.000|"
                                 u"457.000|458.000|459.000|460.000|461.000|462.000|463.000|"
                                 u"464.000|465.000";
    const struct {
        int button;
        bool silent;
        std::u16string key;
        std::u16string sent;
    } cases[] = {
        {1006, false, u"RADIO.FREQUENCY", factory},
        {1007, false, u"RADIO.FREQUENCY_RX", factory.substr(0, factory.size() - 7) + u"0.000"},
        {1006, true, u"RADIO.FREQUENCY", factory},
    };
    for (const auto& c : cases) {
        DefaultsDialog d;
        ReceiverSimulator& receiver = d.sim.Simulator(0);
        ASSERT_TRUE(d.sim.Connect(0));
        receiver.SetValue(c.key, other);
        SimulatorFaults faults;
        faults.silent = c.silent;
        receiver.SetFaults(faults);
        RefreshCounter window;
        d.settingsWindow.Set(&window);
        bool openAfter = false;
        WhileOpen(d.dialog, [&] {
            Click(d.dialog, c.button);
            Click(d.dialog, 1033);
            if (c.button == 1007) {
                Edit(d.dialog, kChannel16).setText("");
            }
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
        const std::string command = "SET," + ToUtf8(c.key) + "," + ToUtf8(c.sent);
        EXPECT_EQ(receiver.ReceivedCommands().at(0), command);
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
