#include "app/CAboutDlg.h"
#include "common/FileStore.h"
#include "devices/CCommunicateSetDlg.h"
#include "model/CommandItem.h"
#include "model/ReplyChecksum.h"
#include "resources/MenuTemplate.h"
#include "startup/VersionText.h"
#include "tests/support/RecordingPrompts.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/SimulatedFrame.h"
#include "ui/QtText.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>

namespace quorlex {
namespace {

using testing::SimulatedFrame;
using namespace std::chrono_literals;

std::string AcknowledgedRate(std::u16string_view rate) {
    const std::u16string line = WithReplyChecksum(u"@GNSS,COM," + std::u16string(rate) + u",OK");
    return std::string(line.begin(), line.end()) + "\r\n";
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QAction* FindCommand(QMenuBar& bar, int command) {
    QList<QAction*> pending = bar.actions();
    while (!pending.empty()) {
        QAction* action = pending.takeLast();
        if (QMenu* menu = action->menu()) {
            pending.append(menu->actions());
        } else if (action->data().toInt() == command) {
            return action;
        }
    }
    return nullptr;
}

TEST(MainFrameTest, FirstTickRunsItsActionOnceAndLaterTicksGoOnInsideIt) {
    SimulatedFrame sim;
    CMainFrame& frame = *sim.frame;
    EXPECT_EQ(MainFrame(), &frame);
    frame.Core().SetFetchActive(true);
    int actionRuns = 0;
    int ticksSeenInside = 0;
    frame.SetFirstTickAction([&] {
        ++actionRuns;
        // The working screen runs modally inside the tick that opened it.
        Dialog screen(209);
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (frame.Store().Ticks() >= 5) {
                ticksSeenInside = frame.Store().Ticks();
                screen.EndDialog(kIdOk);
            }
        });
        RunModal(screen, [&] { watch.start(5); });
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return actionRuns > 0; }, 2000));
    EXPECT_GE(ticksSeenInside, 5);
    const int before = frame.Store().Ticks();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame.Store().Ticks() >= before + 3; }, 2000));
    EXPECT_EQ(actionRuns, 1);
    EXPECT_FALSE(frame.FirstTickPending());
}

// From the UI thread itself a chunk is handled at once; from another thread it
// is handled on the UI thread before Deliver returns.
TEST(MainFrameTest, DataIsHandledOnTheUiThreadBeforeDeliverReturns) {
    SimulatedFrame sim;
    CMainFrame& frame = *sim.frame;
    const std::string own = AcknowledgedRate(u"19200");
    frame.Deliver(own.c_str(), own.size());
    EXPECT_EQ(frame.Control().Settings().info.fivePinBaudText, u"19200");
    const std::string chunk = AcknowledgedRate(u"57600");
    std::atomic<bool> done{false};
    std::u16string seenByThread;
    std::thread link([&] {
        frame.Deliver(chunk.c_str(), chunk.size());
        // The UI thread has finished with the chunk: reading the record is safe.
        seenByThread = frame.Control().Settings().info.fivePinBaudText;
        done = true;
    });
    const bool finished = QTest::qWaitFor([&] { return done.load(); }, 3000);
    link.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(seenByThread, u"57600");
}

TEST(MainFrameTest, ClosingWhileTheReaderWaitsForTheUiThreadDoesNotHang) {
    SimulatedFrame sim;
    // A slow line keeps chunks coming while the frame goes away.
    sim.Simulator(1).SetLineRate(9600);
    ASSERT_TRUE(sim.Connect(1));
    ReceiverControl& control = sim.Control();
    control.ClearCommands();
    control.AddCommand(MakeCommandItem(u"GET,ALL", u"读取当前配置信息"));
    control.StartBatch(u"读取配置");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sim.Simulator(1).ReceivedCommands().empty(); }));
    // Not pumping: the reader is now blocked handing over its chunk.
    std::this_thread::sleep_for(200ms);
    ASSERT_TRUE(sim.Simulator(1).Serving());
    const auto start = std::chrono::steady_clock::now();
    sim.frame.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(MainFrame(), nullptr);
}

TEST(MainFrameTest, TitleSaysWhichReceiverIsConnected) {
    SimulatedFrame sim;
    const QString title = ToQString(u"Quorlex Ver" + VersionText() + u" (模拟接收机) - ");
    const auto titled = [&](std::u16string_view receiver) {
        const QString wanted = title + ToQString(receiver);
        return QTest::qWaitFor([&] { return sim.frame->windowTitle() == wanted; });
    };
    EXPECT_TRUE(titled(u"未连接")) << sim.frame->windowTitle().toStdString();
    ASSERT_TRUE(sim.Connect(1));
    EXPECT_TRUE(titled(u"GNSS-R02")) << sim.frame->windowTitle().toStdString();
    sim.Control().Disconnect();
    EXPECT_TRUE(titled(u"未连接")) << sim.frame->windowTitle().toStdString();
}

// The menu's texts are the template's (tested with the resources); here what
// the frame does with them. Save, undo, cut, copy and paste have nothing to work on.
TEST(MainFrameTest, MenuOpensTheDialogsQuitsAndDisablesWhatHasNoHandler) {
    SimulatedFrame sim;
    QMenuBar& bar = *sim.frame->menuBar();
    for (const int command : {command::kFileSave, command::kEditUndo, command::kEditCut,
                              command::kEditCopy, command::kEditPaste}) {
        QAction* action = FindCommand(bar, command);
        ASSERT_NE(action, nullptr) << command;
        EXPECT_FALSE(action->isEnabled()) << command;
    }
    const auto opens = [&](int command, const auto& isOpened) {
        QAction* action = FindCommand(bar, command);
        bool shown = false;
        AnswerNextModal([&](QWidget& active) {
            shown = isOpened(active);
            if (auto* dialog = dynamic_cast<Dialog*>(&active)) {
                dialog->EndDialog(kIdCancel);
            }
        });
        if (action != nullptr && action->isEnabled()) {
            action->trigger();
        }
        return shown;
    };
    EXPECT_TRUE(opens(command::kDeviceDialog,
                      [](QWidget& w) { return dynamic_cast<CCommunicateSetDlg*>(&w) != nullptr; }));
    EXPECT_TRUE(opens(command::kAppAbout,
                      [](QWidget& w) { return dynamic_cast<CAboutDlg*>(&w) != nullptr; }));

    sim.frame->show();
    QAction* quit = FindCommand(bar, command::kAppExit);
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->text(), QStringLiteral("退出"));
    EXPECT_EQ(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->trigger();
    EXPECT_FALSE(sim.frame->isVisible());
}

TEST(MainFrameTest, AboutBoxIsLaidOutAgainWhenTheWindowTurns) {
    SimulatedFrame sim;
    CMainFrame& frame = *sim.frame;
    frame.resize(320, 480);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CAboutDlg box(&frame);
    std::vector<int> layouts;
    bool dateShownAgain = false;
    bool noticeShown = false;
    QString landscapeTitle;
    RunModal(box, [&] {
        layouts.push_back(box.LayoutTemplate());
        frame.resize(640, 360);
        (void)QTest::qWaitFor([&] { return box.LayoutTemplate() == 200; }, 1000);
        layouts.push_back(box.LayoutTemplate());
        noticeShown = box.GetDlgItem(203) != nullptr && box.GetDlgItem(203)->isVisible();
        landscapeTitle = box.windowTitle();
        EXPECT_FALSE(box.GetDlgItem(1046)->isVisible());
        frame.resize(360, 640);
        (void)QTest::qWaitFor([&] { return box.LayoutTemplate() == 100; }, 1000);
        layouts.push_back(box.LayoutTemplate());
        dateShownAgain = box.GetDlgItem(1046)->isVisible() &&
                         box.GetDlgItemText(1046) == u"编译日期: " + VersionText();
        Click(box, kIdOk);
    });
    EXPECT_EQ(layouts, (std::vector<int>{100, 200, 100}));
    EXPECT_TRUE(noticeShown);
    EXPECT_EQ(landscapeTitle, QStringLiteral("关于 Quorlex"));
    EXPECT_TRUE(dateShownAgain);
    EXPECT_EQ(box.GetDlgItemText(202), u"Quorlex 1.0 Bate");
}

// The cache file's place is taken by a folder: the fetch still ends, and the
// surveyor is told once, after the delivery that ended it.
TEST(MainFrameTest, ACacheThatCannotBeSavedIsReportedInAMessageBox) {
    SimulatedFrame sim;
    RecordingPrompts prompts;
    sim.frame->SetPrompts(prompts);
    const std::filesystem::path cache = sim.frame->Store().FileName();
    ASSERT_TRUE(std::filesystem::create_directories(cache / "inside"));
    sim.frame->Core().SetFetchActive(true);
    const std::string table = "SOURCETABLE 200 OK\r\nSTR;VRS;Site;RTCM 3.2\r\nENDSOURCETABLE\r\n";
    sim.frame->Deliver(table.data(), table.size());
    EXPECT_FALSE(sim.frame->Core().FetchActive());
    EXPECT_TRUE(prompts.messages.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.messages.empty(); }, 2000));
    QTest::qWait(50);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, u"无法保存源列表缓存文件：\n" + PathText(cache) +
                                            u"\n原因：目标是一个文件夹（错误 21）");
    EXPECT_EQ(prompts.messages[0].caption, u"Warning");
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(std::filesystem::is_directory(cache / "inside"));
}

} // namespace

// "通讯记录" asks for a file, logs what the link carries into it while
// checked, and stops when chosen again; a file that cannot be opened is told.
TEST(MainFrameTest, TheWireLogIsStartedAndStoppedFromTheMenu) {
    SimulatedFrame sim;
    CMainFrame& frame = *sim.frame;
    RecordingPrompts prompts;
    frame.SetPrompts(prompts);
    const std::filesystem::path file =
        sim.folder.filePath(QStringLiteral("wire.log")).toStdString();
    std::optional<std::filesystem::path> chosen = sim.folder.path().toStdString();
    frame.SetWireLogChooser([&](QWidget*) { return chosen; });
    QAction* action = FindCommand(*frame.menuBar(), command::kWireLog);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QStringLiteral("通讯记录..."));
    EXPECT_TRUE(action->isEnabled());

    action->trigger(); // a folder: cannot be opened
    EXPECT_FALSE(action->isChecked());
    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_EQ(prompts.messages[0].text.rfind(u"无法打开通讯记录文件：\n", 0), 0U);

    chosen = file;
    action->trigger();
    EXPECT_TRUE(action->isChecked());
    ASSERT_TRUE(sim.Connect(0));
    ASSERT_EQ(sim.Control().Link().Send("COM,9600\r\n", 10), 1);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return ReadText(file).find("@GNSS,COM,9600,OK") != std::string::npos; }));
    action->trigger();
    EXPECT_FALSE(action->isChecked());
    EXPECT_FALSE(sim.Control().Link().Wire().Active());
    const std::string text = ReadText(file);
    EXPECT_NE(text.find(" bluetooth > COM,9600\\r\\n\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" bluetooth < @GNSS,COM,9600,OK*"), std::string::npos) << text;

    chosen.reset(); // the surveyor cancels the file dialog
    action->trigger();
    EXPECT_FALSE(action->isChecked());
    EXPECT_EQ(prompts.messages.size(), 1U);
}

} // namespace quorlex
