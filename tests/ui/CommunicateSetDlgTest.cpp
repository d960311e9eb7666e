#include "common/CodePage.h"
#include "common/FileStore.h"
#include "common/Text.h"
#include "devices/CCommunicatePINDlg.h"
#include "devices/CCommunicateSetDlg.h"
#include "devices/DeviceList.h"
#include "devices/DeviceSearch.h"
#include "settings/CProgressDlg.h"
#include "tests/support/RecordingPrompts.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/SimulatedFrame.h"
#include "ui/CColorListCtrl.h"
#include "ui/ListCtrl.h"

#include <QAbstractButton>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace quorlex {
namespace {

using testing::SimulatedFrame;
using namespace std::chrono_literals;

constexpr int kList = 1032;
constexpr int kSearch = 1033;
constexpr int kPin = 1034;
constexpr int kDelete = 1035;
constexpr int kConnect = 1036;
constexpr int kExit = 1037;

using Row = std::vector<std::u16string>;

TEST(DeviceSearchTest, FoundReceiversMergeByAddressText) {
    std::vector<KnownDevice> devices = {{u"Old", u"00126f0a9e40", u"1234"}};
    const std::vector<std::u16string> found = {
        u"GNSS-R01:00126f0a1b2c",
        u"Renamed:00126f0a9e40", // already listed: keeps its name and PIN
        u":00126f0c7712",        // no name
        u"RTK:Base:00126f0c9999", u"Twice:00126f0a1b2c", u"NoAddress",
    };
    MergeFoundDevices(devices, found);
    EXPECT_EQ(devices, (std::vector<KnownDevice>{
                           {u"Old", u"00126f0a9e40", u"1234"},
                           {u"GNSS-R01", u"00126f0a1b2c", u"7391"},
                           {u"RTK", u"Base", u"7391"},
                           {u"NoAddress", u"", u"7391"},
                       }));
}

TEST(DeviceSearchTest, AddressTextIsReadAsLeadingHexDigits) {
    EXPECT_EQ(ParseHexAddress(u"00126f0a9e40"), 0x00126F0A9E40ULL);
    EXPECT_EQ(ParseHexAddress(u"00126F0A9E40"), 0x00126F0A9E40ULL);
    EXPECT_EQ(ParseHexAddress(u"  0x1b2c"), 0x1B2CULL);
    EXPECT_EQ(ParseHexAddress(u"Base"), 0xBAULL); // "s" ends the digits
    EXPECT_EQ(ParseHexAddress(u"12g4"), 0x12ULL);
    EXPECT_EQ(ParseHexAddress(u"xyz"), 0u);
    EXPECT_EQ(ParseHexAddress(u""), 0u);
    EXPECT_EQ(ParseHexAddress(u"0x"), 0u);
}

// The device dialog over the application's simulated receivers, driven as
// the surveyor would: every message is recorded instead of shown.
class CommunicateSetDlgTest : public ::testing::Test {
protected:
    CommunicateSetDlgTest() { dialog.SetPrompts(prompts); }

    int Run(const std::function<void()>& steps) {
        return RunModal(dialog, [&] {
            steps();
            if (dialog.HasWindow()) {
                Click(dialog, kExit);
            }
        });
    }

    ListCtrl& List() { return *dialog.DlgItem<ListCtrl>(kList); }

    static std::vector<Row> RowsOf(const CCommunicateSetDlg& shown) {
        const ListCtrl& list = *shown.DeviceList();
        std::vector<Row> rows;
        rows.reserve(static_cast<size_t>(list.GetItemCount()));
        for (int r = 0; r < list.GetItemCount(); ++r) {
            rows.push_back(
                {list.GetItemText(r, 0), list.GetItemText(r, 1), list.GetItemText(r, 2)});
        }
        return rows;
    }
    std::vector<Row> Rows() { return RowsOf(dialog); }

    std::vector<KnownDevice> FileDevices() {
        std::vector<KnownDevice> devices;
        EXPECT_TRUE(LoadDeviceList(DeviceListPath(), devices));
        return devices;
    }

    bool Enabled(int id) { return dialog.GetDlgItem(id)->isEnabled(); }

    int RowOf(std::u16string_view name) {
        for (int r = 0; r < List().GetItemCount(); ++r) {
            if (List().GetItemText(r, 0) == name) {
                return r;
            }
        }
        return -1;
    }

    // Types pin into the PIN dialog that "PIN码" opens for the selected row.
    void ChangePin(std::u16string_view pin) {
        AnswerNextModal([pin](QWidget& active) {
            auto* pinDialog = dynamic_cast<CCommunicatePINDlg*>(&active);
            ASSERT_NE(pinDialog, nullptr);
            pinDialog->DlgItem<QLineEdit>(1041)->setText(
                QString::fromStdU16String(std::u16string(pin)));
            Click(*pinDialog, kIdOk);
        });
        Click(dialog, kPin);
    }

    SimulatedFrame sim;
    RecordingPrompts prompts;
    CCommunicateSetDlg dialog{sim.Control(), *sim.frame};
};

TEST_F(CommunicateSetDlgTest, SearchAddsNewReceiversKeepsStoredPinsAndWritesTheFile) {
    ASSERT_TRUE(SaveDeviceList(DeviceListPath(), {{u"Base 2", u"00126f0a9e40", u"0000"}}));
    bool buttonsBack = false;
    Run([&] {
        EXPECT_EQ(Rows(), (std::vector<Row>{{u"Base 2", u"00126f0a9e40", u"0000"}}));
        Click(dialog, kSearch);
        buttonsBack = Enabled(kSearch) && Enabled(kPin) && Enabled(kDelete) && Enabled(kConnect) &&
                      Enabled(kExit);
    });
    EXPECT_TRUE(buttonsBack);
    EXPECT_EQ(prompts.waitCursorShown, 1);
    EXPECT_EQ(prompts.waitDepth, 0);
    const std::vector<Row> expected = {{u"Base 2", u"00126f0a9e40", u"0000"},
                                       {u"GNSS-R01", u"00126f0a1b2c", u"7391"},
                                       {u"GNSS-R03", u"00126f0c7712", u"7391"},
                                       {u"GNSS-R04", u"00126f0d2a58", u"7391"}};
    EXPECT_EQ(Rows(), expected);
    const std::vector<KnownDevice> file = FileDevices();
    ASSERT_EQ(file.size(), 4u);
    EXPECT_EQ(file[0], (KnownDevice{u"Base 2", u"00126f0a9e40", u"0000"}));
    EXPECT_EQ(file[2], (KnownDevice{u"GNSS-R03", u"00126f0c7712", u"7391"}));
    EXPECT_EQ(dialog.Devices(), file);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(CommunicateSetDlgTest, SearchSkipsNamelessReceiversAndCutsNamesAtTheColon) {
    SimulatedReceiver nameless;
    nameless.address = 0x0000AABBCCDDULL;
    sim.Platform().AddReceiver(nameless);
    SimulatedReceiver colon;
    colon.name = u"RTK:Base";
    colon.address = 0x00001234ABCDULL;
    sim.Platform().AddReceiver(colon);
    Run([&] { Click(dialog, kSearch); });
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[4], (Row{u"RTK", u"Base", u"7391"}));
    EXPECT_EQ(RowOf(u""), -1);
    EXPECT_EQ(FileDevices().size(), 5u);
}

TEST_F(CommunicateSetDlgTest, DeletingRowTwoOfFourLeavesTheOthersInOrder) {
    Run([&] {
        Click(dialog, kSearch);
        ASSERT_EQ(List().GetItemCount(), 4);
        List().SelectItem(1);
        Click(dialog, kDelete);
    });
    EXPECT_EQ(Rows(), (std::vector<Row>{{u"GNSS-R01", u"00126f0a1b2c", u"7391"},
                                        {u"GNSS-R03", u"00126f0c7712", u"7391"},
                                        {u"GNSS-R04", u"00126f0d2a58", u"7391"}}));
    EXPECT_EQ(FileDevices(), (std::vector<KnownDevice>{{u"GNSS-R01", u"00126f0a1b2c", u"7391"},
                                                       {u"GNSS-R03", u"00126f0c7712", u"7391"},
                                                       {u"GNSS-R04", u"00126f0d2a58", u"7391"}}));

    // The list is read again on the next opening; deleting the last entries empties the file.
    CCommunicateSetDlg again(sim.Control(), *sim.frame);
    RunModal(again, [&] {
        auto& list = *again.DlgItem<ListCtrl>(kList);
        EXPECT_EQ(list.GetItemCount(), 3);
        while (list.GetItemCount() > 0) {
            list.SelectItem(0);
            Click(again, kDelete);
        }
        Click(again, kExit);
    });
    EXPECT_TRUE(FileDevices().empty());
}

TEST_F(CommunicateSetDlgTest, ChangedPinShowsOnlyInTheRowAndASearchBringsTheStoredOneBack) {
    std::vector<Row> afterChange;
    Run([&] {
        Click(dialog, kSearch);
        List().SelectItem(1);
        ChangePin(u"2468");
        afterChange = Rows();
        Click(dialog, kSearch);
    });
    ASSERT_EQ(afterChange.size(), 4u);
    EXPECT_EQ(afterChange[1][2], u"2468");
    EXPECT_EQ(afterChange[0][2], u"7391");
    EXPECT_EQ(Rows()[1][2], u"7391");
    for (const KnownDevice& device : FileDevices()) {
        EXPECT_EQ(device.pin, u"7391");
    }
}

TEST_F(CommunicateSetDlgTest, WithoutASelectedRowEveryRowActionOnlyWarns) {
    Run([&] {
        Click(dialog, kSearch);
        List().clearSelection();
        AnswerNextModal([](QWidget& active) {
            FAIL() << "PIN dialog opened";
            (void)active;
        });
        Click(dialog, kPin);
        Click(dialog, kDelete);
        Click(dialog, kConnect);
    });
    ASSERT_EQ(prompts.messages.size(), 3u);
    for (const auto& message : prompts.messages) {
        EXPECT_EQ(message.text, u"没有选择蓝牙设备，请重新选择!");
        EXPECT_EQ(message.caption, u"Warning");
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
    }
    EXPECT_EQ(Rows().size(), 4u);
    EXPECT_EQ(FileDevices().size(), 4u);
    EXPECT_FALSE(sim.Control().IsConnected());
    EXPECT_EQ(sim.Control().Device().linkKind, 0);
}

// The whole road of a reading: search, the receiver's own PIN typed into its
// row, connect, and "GET,ALL" read under the progress dialog, the link's
// reader thread handing every chunk to the UI thread through the frame.
TEST_F(CommunicateSetDlgTest, ConnectingReadsTheReceiversConfiguration) {
    const SimulatedReceiverProfile profile = sim.Profile(1);
    ReceiverSimulator& receiver = sim.Simulator(1);
    bool connectedStates = false;
    bool disconnectedStates = false;
    std::u16string connectedLabel;
    int progressResult = 0;
    std::vector<std::u16string> progressRows;
    Run([&] {
        Click(dialog, kSearch);
        List().SelectItem(RowOf(profile.name));
        ChangePin(profile.pin);
        AnswerNextModal([&](QWidget& active) {
            auto* progress = dynamic_cast<CProgressDlg*>(&active);
            ASSERT_NE(progress, nullptr);
            QObject::connect(progress, &QDialog::finished, [&, progress](int result) {
                progressResult = result;
                const CColorListCtrl* rows = progress->StatusList();
                for (int r = 0; r < rows->GetItemCount(); ++r) {
                    progressRows.push_back(rows->GetItemText(r, 0));
                }
            });
        });
        Click(dialog, kConnect);
        connectedStates = sim.Control().IsConnected() && !Enabled(kSearch) && !Enabled(kPin) &&
                          !Enabled(kDelete) && Enabled(kConnect) && Enabled(kExit);
        connectedLabel = dialog.GetDlgItemText(kConnect);
        Click(dialog, kConnect);
        disconnectedStates = !sim.Control().IsConnected() && Enabled(kSearch) && Enabled(kPin) &&
                             Enabled(kDelete) && dialog.GetDlgItemText(kConnect) == u"连接";
    });
    EXPECT_EQ(progressResult, kIdOk);
    ASSERT_FALSE(progressRows.empty());
    EXPECT_EQ(progressRows.back(), u"指令发送完毕！");
    EXPECT_NE(std::find(progressRows.begin(), progressRows.end(), u"读取当前配置信息成功!"),
              progressRows.end());
    EXPECT_EQ(dialog.configRead, 1);
    EXPECT_TRUE(connectedStates);
    EXPECT_EQ(connectedLabel, u"断开");
    EXPECT_TRUE(disconnectedStates);

    const DeviceRecord& device = sim.Control().Device();
    EXPECT_EQ(device.linkKind, kLinkKindBluetooth);
    EXPECT_EQ(device.name, profile.name);
    EXPECT_EQ(device.address, profile.address);
    EXPECT_EQ(device.pin, profile.pin);
    EXPECT_EQ(receiver.ReceivedCommands().front(), "GET,ALL");
    const ReceiverSettings& settings = sim.Control().Settings();
    EXPECT_EQ(settings.info.device.serialNumber, profile.serialNumber);
    EXPECT_EQ(settings.info.bluetoothModel, receiver.Value(u"BLUETOOTH.MODEL"));
    EXPECT_EQ(settings.config.datalink.network[0].server.address, receiver.Value(u"NETWORK.ADDR"));
    EXPECT_EQ(settings.config.workingMode, receiver.WorkingMode());
    // The PIN typed into the row worked, so it is remembered for that receiver.
    EXPECT_EQ(FileDevices().at(static_cast<size_t>(RowOf(profile.name))).pin, profile.pin);
    EXPECT_EQ(dialog.Devices().at(static_cast<size_t>(RowOf(profile.name))).pin, profile.pin);
}

TEST_F(CommunicateSetDlgTest, APinThatDidNotConnectIsNotRemembered) {
    const SimulatedReceiverProfile profile = sim.Profile(1);
    Run([&] {
        Click(dialog, kSearch);
        List().SelectItem(RowOf(profile.name));
        ChangePin(u"9999");
        AnswerNextModal([&](QWidget& active) {
            auto* progress = dynamic_cast<CProgressDlg*>(&active);
            ASSERT_NE(progress, nullptr);
            QTest::qWait(300); // the refused pairing has long been reported
            Click(*progress, kIdCancel);
        });
        Click(dialog, kConnect);
    });
    EXPECT_EQ(Rows().at(static_cast<size_t>(RowOf(profile.name)))[2], u"9999");
    EXPECT_EQ(FileDevices().at(static_cast<size_t>(RowOf(profile.name))).pin, u"7391");
}

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

// Each opening waits for the box, searches, and looks at the file and the copy.
TEST_F(CommunicateSetDlgTest, AnUnreadableListIsKeptAsideAndTheSurveyorToldOnce) {
    const std::filesystem::path path = DeviceListPath();
    const std::u16string shown = PathText(path);
    const struct {
        std::string bytes; // empty: a folder takes the file's place
        std::u16string what;
        size_t rowsShown;
    } cases[] = {
        {std::string("\x89PNG\r\n\0\x1a garbage", 16),
         u"\n不是有效的设备列表，无法读取。\n原文件已备份为：\n" + shown + u".bak", 0},
        {EncodeCp936(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><HEAD><Bluetooth_Config>"
                     u"<BtDevice><Bluetooth_Name>基站</Bluetooth_Name></BtDevice>"
                     u"</Bluetooth_Config></HEAD>"),
         u"\n无法完整读取，列表中的内容可能有误。\n原文件已备份为：\n" + shown + u".bak", 1},
        {"",
         u"\n无法读取，也无法备份。\n原因：目标是一个文件夹（错误 21）\n"
         u"为保护原文件，对设备列表的更改将不会保存。",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.what));
        std::filesystem::remove_all(path.parent_path());
        c.bytes.empty() ? (void)std::filesystem::create_directories(path / "inside")
                        : WriteFile(path, c.bytes);
        RecordingPrompts told;
        CCommunicateSetDlg opened(sim.Control(), *sim.frame);
        opened.SetPrompts(told);
        size_t rows = 99;
        RunModal(opened, [&] {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !told.messages.empty(); }, 2000));
            rows = RowsOf(opened).size();
            Click(opened, kSearch);
            Click(opened, kExit);
        });
        EXPECT_EQ(rows, c.rowsShown);
        ASSERT_FALSE(told.messages.empty());
        EXPECT_EQ(told.messages[0].text, u"设备列表文件\n" + shown + c.what);
        EXPECT_EQ(told.messages[0].caption, u"Warning");
        if (!c.bytes.empty()) {
            EXPECT_EQ(told.messages.size(), 1u);
            EXPECT_EQ(ReadFile(path.string() + ".bak"), c.bytes);
            EXPECT_EQ(FileDevices().size(), c.rowsShown + 4);
        } else { // the search is not saved either, and says why
            ASSERT_EQ(told.messages.size(), 2u);
            EXPECT_EQ(told.messages[1].text, told.messages[0].text);
            EXPECT_TRUE(std::filesystem::is_directory(path / "inside"));
        }
    }
}

TEST_F(CommunicateSetDlgTest, AFailedSaveIsToldAndAFailedDeleteLeavesTheRowWithTheFile) {
    const std::filesystem::path path = DeviceListPath();
    WriteFile(path.parent_path(), "a file where the folder should be");
    Run([&] { Click(dialog, kSearch); });
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, u"无法保存设备列表文件：\n" + PathText(path) +
                                            u"\n原因：路径中有一项不是文件夹（错误 20）");
    EXPECT_EQ(Rows().size(), 4u); // found, and usable while the dialog is open

    std::filesystem::remove(path.parent_path());
    const std::vector<KnownDevice> stored = {{u"A", u"00126f000001", u"1"},
                                             {u"B", u"00126f000002", u"2"}};
    ASSERT_TRUE(SaveDeviceList(path, stored));
    const std::string before = ReadFile(path);
    // A disk that takes no more than a few bytes: the replacement cannot be written.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    RecordingPrompts told;
    CCommunicateSetDlg again(sim.Control(), *sim.frame);
    again.SetPrompts(told);
    std::vector<Row> rows;
    RunModal(again, [&] {
        again.DlgItem<ListCtrl>(kList)->SelectItem(0);
        ::setrlimit(RLIMIT_FSIZE, &tiny);
        Click(again, kDelete);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        rows = RowsOf(again);
        Click(again, kExit);
    });
    std::signal(SIGXFSZ, previous);
    ASSERT_EQ(told.messages.size(), 1u);
    EXPECT_EQ(told.messages[0].text,
              u"无法保存设备列表文件：\n" + PathText(path) + u"\n原因：文件过大（错误 27）");
    EXPECT_EQ(rows,
              (std::vector<Row>{{u"A", u"00126f000001", u"1"}, {u"B", u"00126f000002", u"2"}}));
    EXPECT_EQ(ReadFile(path), before);
}

TEST_F(CommunicateSetDlgTest, WithoutAUsableAdapterSearchAndConnectSaySoInsteadOfAnEmptyList) {
    const struct {
        SimulatedAdapterFaults faults;
        bool radioOff;
        std::u16string_view text;
    } cases[] = {
        {{.noService = true}, false, u"蓝牙服务没有运行，请检查!"},
        {{.noAdapter = true}, false, u"没有找到蓝牙适配器，请检查!"},
        {{.powerOnRefused = true}, true, u"无法打开蓝牙适配器，请检查!"},
        {{.inquiryError = EIO}, false, u"搜索蓝牙设备失败，请检查!"},
    };
    const std::vector<Row> stored = {{u"GNSS-R02", u"00126f0a9e40", u"1234"}};
    ASSERT_TRUE(SaveDeviceList(DeviceListPath(), {{u"GNSS-R02", u"00126f0a9e40", u"1234"}}));
    const std::string before = ReadFile(DeviceListPath());
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.text));
        sim.Platform().SetRadioMode(c.radioOff ? kRadioOff : kRadioDiscoverable);
        sim.Platform().SetAdapterFaults(c.faults);
        sim.Platform().ClearCalls();
        RecordingPrompts told;
        CCommunicateSetDlg opened(sim.Control(), *sim.frame);
        opened.SetPrompts(told);
        bool progressOpened = false;
        std::vector<Row> rows;
        RunModal(opened, [&] {
            Click(opened, kSearch);
            opened.DlgItem<ListCtrl>(kList)->SelectItem(0);
            AnswerNextModal([&](QWidget& active) {
                progressOpened = true;
                if (auto* progress = dynamic_cast<Dialog*>(&active)) {
                    Click(*progress, kIdCancel);
                }
            });
            Click(opened, kConnect);
            QTest::qWait(50);
            rows = RowsOf(opened);
            Click(opened, kExit);
        });
        ASSERT_GE(told.messages.size(), 1u);
        EXPECT_EQ(told.messages[0].text, c.text);
        EXPECT_EQ(told.messages[0].caption, u"Warning");
        EXPECT_EQ(rows, stored);
        EXPECT_EQ(ReadFile(DeviceListPath()), before);
        const std::vector<std::string> calls = sim.Platform().Calls();
        if (c.faults.inquiryError == 0) { // neither a search nor a connection was tried
            EXPECT_EQ(told.messages.size(), 2u);
            EXPECT_EQ(told.messages.back().text, c.text);
            EXPECT_FALSE(progressOpened);
            EXPECT_EQ(std::count(calls.begin(), calls.end(), "Inquire"), 0);
            EXPECT_EQ(std::count(calls.begin(), calls.end(), "CreateSocket"), 0);
        }
        sim.Platform().SetAdapterFaults({});
        sim.Control().Disconnect();
    }
}

TEST_F(CommunicateSetDlgTest, UnansweredReadIsCancelledAndTheLinkClosed) {
    SimulatorFaults silent;
    silent.silent = true;
    sim.Simulator(0).SetFaults(silent);
    int configRead = -1;
    Run([&] {
        Click(dialog, kSearch);
        List().SelectItem(0);
        AnswerNextModal([&](QWidget& active) {
            auto* progress = dynamic_cast<CProgressDlg*>(&active);
            ASSERT_NE(progress, nullptr);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !progress->IsRunning(); }, 3000));
            Click(*progress, kIdCancel);
        });
        Click(dialog, kConnect);
        configRead = dialog.configRead;
    });
    EXPECT_EQ(configRead, 0);
    EXPECT_FALSE(sim.Control().IsConnected());
    EXPECT_EQ(dialog.GetDlgItemText(kConnect), u"连接");
    EXPECT_TRUE(Enabled(kSearch));
    EXPECT_FALSE(sim.Control().IsBatchActive());
}

TEST_F(CommunicateSetDlgTest, CancellingWhileTheConnectionIsBeingMadeGivesItUp) {
    const SimulatedReceiverProfile profile = sim.Profile(2);
    SimulatedReceiverFaults slow;
    slow.connectDelay = 300ms;
    sim.Platform().SetReceiverFaults(profile.address, slow);
    Run([&] {
        Click(dialog, kSearch);
        List().SelectItem(RowOf(profile.name));
        AnswerNextModal([](QWidget& active) {
            if (auto* progress = dynamic_cast<CProgressDlg*>(&active)) {
                Click(*progress, kIdCancel);
            }
        });
        Click(dialog, kConnect);
        // Long after the connect would have completed.
        QTest::qWait(600);
    });
    EXPECT_FALSE(sim.Control().IsConnected());
    EXPECT_EQ(dialog.GetDlgItemText(kConnect), u"连接");
    EXPECT_EQ(dialog.configRead, 0);
}

class RefusingStarter final : public ThreadStarter {
public:
    bool Start(std::thread&, std::function<void()>) override { return false; }
};

TEST(CommunicateSetDlgRefusalTest, RefusedConnectWarnsAndStaysDisconnected) {
    testing::SimulatedFrame frame; // takes the link's data; keeps the file in a folder of its own
    ReceiverPlatform receivers = MakeReceiverPlatform(true);
    RefusingStarter starter;
    LinkOptions options;
    options.threadStarter = &starter;
    MainFrameCore core(*receivers.platform, nullptr, options);
    RecordingPrompts prompts;
    CCommunicateSetDlg dialog(core.Control(), *frame.frame);
    dialog.SetPrompts(prompts);
    bool progressOpened = false;
    RunModal(dialog, [&] {
        Click(dialog, kSearch);
        dialog.DlgItem<ListCtrl>(kList)->SelectItem(0);
        AnswerNextModal([&](QWidget&) { progressOpened = true; });
        Click(dialog, kConnect);
        Click(dialog, kExit);
    });
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, u"蓝牙连接失败，请检查!");
    EXPECT_EQ(prompts.messages[0].caption, u"Warning");
    EXPECT_FALSE(progressOpened);
    EXPECT_FALSE(core.Control().IsConnected());
    EXPECT_EQ(dialog.GetDlgItemText(kConnect), u"连接");
    EXPECT_EQ(dialog.configRead, 0);
}

} // namespace
} // namespace quorlex
