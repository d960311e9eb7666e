#include "app/CQuorlexApp.h"
#include "common/Text.h"
#include "settings/ApplyCommands.h"
#include "settings/CPagedTabCtrl.h"
#include "settings/CProgressDlg.h"
#include "settings/CSaveOtherTipDlg.h"
#include "settings/CSaveTipDlg.h"
#include "settings/CWorkSettingDlg.h"
#include "tests/support/RecordingPrompts.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/SimulatedFrame.h"
#include "tests/ui/WorkingScreenDriver.h"

#include <QComboBox>
#include <QRadioButton>
#include <QTabBar>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorlex {
namespace {

using testing::SimulatedFrame;
using Commands = std::vector<std::string>;

constexpr int kLabel = 1045;
constexpr int kModeCombo = 1044;
constexpr int kTabs = 1026;
constexpr int kRead = 1034;
constexpr int kSave = 1036;
constexpr int kExit = 1;
constexpr int kRadioChannel = 1019;

// A working screen over the simulated frame, with its messages captured.
struct Screen {
    Screen() : dialog(sim.frame->Core(), *sim.frame, sim.frame->SettingsWindow(), {}) {
        dialog.SetPrompts(prompts);
    }

    ReceiverSimulator& Receiver() { return sim.Simulator(0); }
    const ReceiverConfig& Record() { return sim.Control().Settings().config; }
    std::u16string Label() { return dialog.GetDlgItemText(kLabel); }
    int RadioChannelShown() {
        return dialog.RadioPage().DlgItem<QComboBox>(kRadioChannel)->currentIndex() + 1;
    }
    void ChooseRadioChannel(int channel) {
        auto* combo = dialog.RadioPage().DlgItem<QComboBox>(kRadioChannel);
        combo->setCurrentIndex(channel - 1);
        emit combo->activated(channel - 1);
    }
    Commands Sent() {
        Commands sent = Receiver().ReceivedCommands();
        Receiver().ClearReceivedCommands();
        return sent;
    }
    // Runs the screen, connected to the first receiver, with check inside.
    void Run(const std::function<void()>& check) {
        RunModal(dialog, [&] {
            ASSERT_TRUE(ConnectFromWorkingScreen(dialog, u"GNSS-R01"));
            Receiver().ClearReceivedCommands();
            check();
            dialog.EndDialog(kIdCancel);
        });
    }

    SimulatedFrame sim;
    RecordingPrompts prompts;
    CWorkSettingDlg dialog;
};

// The radio mode's commands with the record's frequencies and a chosen channel.
Commands RadioModeCommands(const ReceiverConfig& record, int channel) {
    const RadioBlock& radio = record.datalink.radio[0];
    return {"SET,RADIO.MODE," + std::to_string(radio.protocol),
            "SET,RADIO.CHANNEL," + std::to_string(channel),
            "SET,RADIO.FREQUENCY," + ToUtf8(FormatFrequencyTable(radio.txFrequency)),
            "SET,DEVICE.SYS_MODE,UHF"};
}

Commands Join(std::initializer_list<Commands> parts) {
    Commands all;
    for (const Commands& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

TEST(PagedTabCtrlTest, SixteenPagesAtMostAndOnlyTheChosenOneShows) {
    CPagedTabCtrl tabs;
    std::vector<std::unique_ptr<Dialog>> pages;
    for (int i = 0; i < CPagedTabCtrl::kMaxPages + 1; ++i) {
        pages.push_back(std::make_unique<Dialog>(131));
        EXPECT_EQ(tabs.AddPage(u"页", *pages.back(), 131), i < CPagedTabCtrl::kMaxPages) << i;
    }
    EXPECT_EQ(tabs.PageCount(), 16);
    tabs.resize(300, 300);
    tabs.CreatePages();
    tabs.show();
    EXPECT_EQ(tabs.TabBar()->count(), 16);
    const auto shown = [&] {
        std::vector<int> visible;
        for (int i = 0; i < 16; ++i) {
            if (pages[static_cast<size_t>(i)]->isVisible()) {
                visible.push_back(i);
            }
        }
        return visible;
    };
    EXPECT_EQ(shown(), std::vector<int>{0});
    tabs.TabBar()->setCurrentIndex(5);
    EXPECT_EQ(shown(), std::vector<int>{5});
    tabs.TabBar()->setCurrentIndex(5); // the same tab again
    EXPECT_EQ(tabs.ShownPage(), 5);
    EXPECT_EQ(shown(), std::vector<int>{5});
    // Pages sit below the strip, inside the control.
    EXPECT_GE(pages[5]->y(), tabs.TabBar()->height());
    EXPECT_LE(pages[5]->geometry().right(), tabs.width());
}

TEST(WorkSettingDlgTest, BeforeAnyConnectionOnlyConnectingAndLeavingAreOffered) {
    Screen screen;
    RunModal(screen.dialog, [&] {
        for (const int id : {kModeCombo, kTabs, kRead, kSave}) {
            EXPECT_FALSE(screen.dialog.GetDlgItem(id)->isEnabled()) << id;
        }
        EXPECT_EQ(screen.dialog.workingMode, -1);
        EXPECT_EQ(screen.dialog.TabCtrl()->ShownPage(), 0);
        EXPECT_TRUE(screen.dialog.RadioPage().isVisible());
        EXPECT_EQ(screen.RadioChannelShown(), 1);
        EXPECT_EQ(screen.sim.frame->SettingsWindow().Get(), &screen.dialog);
        EXPECT_TRUE(Click(screen.dialog, kExit));
    });
    EXPECT_FALSE(screen.sim.frame->SettingsWindow().IsSet());
}

TEST(WorkSettingDlgTest, ConnectingReadsTheReceiverIntoThePagesButNotTheTab) {
    Screen screen;
    screen.Receiver().SetValue(u"DEVICE.SYS_MODE", u"UHFRELAY");
    screen.Receiver().SetValue(u"RADIO.CHANNEL", u"6");
    screen.Run([&] {
        EXPECT_TRUE(screen.dialog.GetDlgItem(kSave)->isEnabled());
        EXPECT_EQ(screen.dialog.DlgItem<QComboBox>(kModeCombo)->currentText(), "电台中继");
        EXPECT_EQ(screen.dialog.TabCtrl()->ShownPage(), 0); // the tab stays where it was
        EXPECT_EQ(screen.RadioChannelShown(), 6);
        EXPECT_EQ(screen.Label(), u"当前配置及工作模式");
        screen.dialog.TabCtrl()->TabBar()->setCurrentIndex(2);
        EXPECT_TRUE(screen.dialog.RelayPage().isVisible());
        EXPECT_FALSE(screen.dialog.RadioPage().isVisible());
    });
}

TEST(WorkSettingDlgTest, ReadingASlotThenTheCurrentConfigurationSaysWhichIsShown) {
    Screen screen;
    screen.Run([&] {
        screen.dialog.ReadConfiguration(3);
        EXPECT_EQ(screen.Label(), u"配置3及工作模式");
        EXPECT_EQ(screen.dialog.shownSlot, 3);
        screen.dialog.ReadConfiguration(0);
        EXPECT_EQ(screen.Label(), u"当前配置及工作模式");
        EXPECT_EQ(screen.dialog.shownSlot, 0);
        EXPECT_EQ(screen.Sent(), (Commands{"GET,ALL,3", "GET,ALL"}));
    });
}

// Every answer to the save prompts, from the radio page with channel 5 chosen.
TEST(WorkSettingDlgTest, EachSaveChoiceSendsItsSequenceAndShowsWhatWasReadBack) {
    struct Row {
        int slotShown;  // 0: the current configuration
        int choice;     // radio button index in the prompt
        int saveAsSlot; // "立即应用并保存为" target, 0 otherwise
        Commands (*expected)(const Commands& mode);
        bool applied;         // the live configuration takes channel 5
        int storedSlot;       // the slot that holds channel 5 afterwards, 0 for none
        std::u16string label; // after the save
    };
    const Row rows[] = {
        {0, 0, 0,
         [](const Commands& m) {
             return Join({m, {"GET,ALL"}});
         },
         true, 0, u"当前配置及工作模式"},
        {0, 1, 4,
         [](const Commands& m) {
             return Join({{"SET,CONFIG,4,START"},
                          m,
                          {"SET,CONFIG,4,END", "SET,DEVICE.CUR_CONFIG,4", m.back(), "GET,ALL,4"}});
         },
         true, 4, u"当前配置及工作模式"},
        {2, 0, 0,
         [](const Commands& m) {
             return Join({{"SET,CONFIG,2,START"},
                          m,
                          {"SET,CONFIG,2,END", "SET,DEVICE.CUR_CONFIG,2", m.back(), "GET,ALL,2"}});
         },
         true, 2, u"配置2及工作模式"},
        {2, 1, 0,
         [](const Commands& m) {
             return Join({m, {"GET,ALL,2"}});
         },
         true, 0, u"配置2及工作模式"},
        {2, 2, 0,
         [](const Commands& m) {
             return Join({{"SET,CONFIG,2,START"}, m, {"SET,CONFIG,2,END", "GET,ALL,2"}});
         },
         false, 2, u"配置2及工作模式"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "slot " << row.slotShown << " choice " << row.choice);
        Screen screen;
        screen.Run([&] {
            if (row.slotShown != 0) {
                screen.dialog.ReadConfiguration(row.slotShown);
                screen.Sent();
            }
            screen.dialog.workingMode = kWorkingModeRadio;
            screen.dialog.UpdateData(false);
            screen.ChooseRadioChannel(5);
            const Commands mode = RadioModeCommands(screen.Record(), 5);
            AnswerNextModal([&](QWidget& window) {
                auto& prompt = dynamic_cast<Dialog&>(window);
                prompt.RadioGroup(1006).at(static_cast<size_t>(row.choice))->click();
                if (row.saveAsSlot != 0) {
                    prompt.DlgItem<QComboBox>(1048)->setCurrentIndex(row.saveAsSlot - 1);
                }
                Click(prompt, kIdOk);
            });
            EXPECT_TRUE(Click(screen.dialog, kSave));
            EXPECT_EQ(screen.Sent(), row.expected(mode));
            EXPECT_EQ(screen.Receiver().Value(u"RADIO.CHANNEL") == u"5", row.applied);
            if (row.storedSlot != 0) {
                EXPECT_EQ(screen.Receiver().SlotValue(row.storedSlot, u"RADIO.CHANNEL"), u"5");
            }
            // The pages show what the final read brought back.
            EXPECT_EQ(screen.RadioChannelShown(), screen.Record().datalink.radio[0].channel);
            EXPECT_EQ(screen.Label(), row.label);
            EXPECT_EQ(screen.dialog.shownSlot,
                      row.saveAsSlot != 0 ? row.saveAsSlot : row.slotShown);
        });
    }
}

TEST(WorkSettingDlgTest, ACancelledReadOfASlotStillMakesTheNextSavePromptForIt) {
    Screen screen;
    screen.Run([&] {
        SimulatorFaults silent;
        silent.silent = true;
        screen.Receiver().SetFaults(silent);
        AnswerNextModal([](QWidget& window) { Click(dynamic_cast<Dialog&>(window), kIdCancel); });
        screen.dialog.ReadConfiguration(2);
        EXPECT_EQ(screen.Label(), u"当前配置及工作模式");
        EXPECT_EQ(screen.dialog.shownSlot, 2);

        std::optional<int> promptedSlot;
        AnswerNextModal([&](QWidget& window) {
            if (auto* prompt = dynamic_cast<CSaveTipDlg*>(&window)) {
                promptedSlot = prompt->slotNumber;
                EXPECT_EQ(prompt->GetDlgItemText(1049), u"对配置2");
            }
            Click(dynamic_cast<Dialog&>(window), kIdCancel);
        });
        Click(screen.dialog, kSave);
        EXPECT_EQ(promptedSlot, 2);
    });
}

TEST(WorkSettingDlgTest, AReadThatTimesOutLeavesThePagesAndWaitsForCancel) {
    Screen screen;
    screen.Run([&] {
        screen.Receiver().SetValue(u"RADIO.CHANNEL", u"9");
        SimulatorFaults silent;
        silent.silent = true;
        screen.Receiver().SetFaults(silent);
        bool waited = false;
        AnswerNextModal([&](QWidget& window) {
            auto& progress = dynamic_cast<CProgressDlg&>(window);
            waited = QTest::qWaitFor([&] { return !progress.IsRunning(); }, 3000);
            EXPECT_FALSE(Click(progress, kIdOk)); // only "取消" is offered
            EXPECT_TRUE(Click(progress, kIdCancel));
        });
        screen.dialog.ReadConfiguration(0);
        EXPECT_TRUE(waited);
        EXPECT_EQ(screen.RadioChannelShown(), 1);
    });
}

TEST(WorkSettingDlgTest, StartUpOpensTheWorkingScreenAndLeavingEndsWithZero) {
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_CACHE_HOME", folder.filePath(QStringLiteral("cache")).toUtf8());
    std::optional<int> exitCode;
    CQuorlexApp app(true, false, [&](int code) { exitCode = code; });
    ASSERT_TRUE(app.InitInstance());
    // The working screen runs its own loop inside the first tick: answer it from there.
    bool opened = false;
    AnswerNextModal([&](QWidget& window) {
        auto* screen = dynamic_cast<CWorkSettingDlg*>(&window);
        opened = screen != nullptr;
        EXPECT_FALSE(exitCode.has_value());
        if (screen != nullptr) {
            EXPECT_TRUE(Click(*screen, kExit));
        }
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return exitCode.has_value(); }, 5000));
    EXPECT_TRUE(opened);
    EXPECT_EQ(exitCode, 0);
}

} // namespace
} // namespace quorlex
