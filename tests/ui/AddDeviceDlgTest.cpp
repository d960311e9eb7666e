// Receivers reached over TCP or a serial line, added by hand in the device
// dialog and connected from it: TCP through a local port, serial through a
// pseudo-terminal, both served by a simulator, on a machine without Bluetooth.
#include "common/Text.h"
#include "devices/CCommunicateAddDlg.h"
#include "devices/CCommunicateSetDlg.h"
#include "devices/DeviceList.h"
#include "settings/CProgressDlg.h"
#include "sim/ReceiverServer.h"
#include "tests/link/PseudoTerminal.h"
#include "tests/support/RecordingPrompts.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/SimulatedFrame.h"
#include "ui/ListCtrl.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace quorlex {
namespace {

using testing::SimulatedFrame;

constexpr int kPin = 1034;
constexpr int kConnect = 1036;
constexpr int kExit = 1037;
constexpr int kAdd = 1038;
constexpr int kKindList = 1070;
constexpr int kNameEdit = 1071;
constexpr int kHostEdit = 1073;
constexpr int kPathCombo = 1074;
constexpr int kPortEdit = 1076;
constexpr int kBaudList = 1077;

using Row = std::vector<std::u16string>;

// What the surveyor types into the add dialog.
struct Typed {
    int kind = 0; // 0 TCP, 1 serial
    std::u16string name;
    std::u16string address; // host or device
    std::u16string port;    // port, or rate for serial
};

void Fill(Dialog& add, const Typed& typed) {
    auto* kinds = add.DlgItem<QComboBox>(kKindList);
    kinds->setCurrentIndex(typed.kind);
    kinds->activated(typed.kind);
    add.SetDlgItemText(kNameEdit, typed.name);
    add.SetDlgItemText(typed.kind == 0 ? kHostEdit : kPathCombo, typed.address);
    add.SetDlgItemText(typed.kind == 0 ? kPortEdit : kBaudList, typed.port);
}

class AddDeviceDlgTest : public ::testing::Test {
protected:
    AddDeviceDlgTest() {
        receiver.SetLineRate(0);
        serialReceiver.SetLineRate(0);
        SimulatedAdapterFaults none;
        none.noAdapter = true;
        sim.Platform().SetAdapterFaults(none);
        dialog.SetPrompts(prompts);
    }
    ~AddDeviceDlgTest() override {
        sim.Control().Disconnect();
        receiver.Detach();
        serialReceiver.Detach();
    }

    // Adds through the add dialog; false when it stayed open after "确定".
    bool Add(const Typed& typed) {
        bool closed = false;
        AnswerNextModal([&](QWidget& active) {
            auto* add = dynamic_cast<CCommunicateAddDlg*>(&active);
            ASSERT_NE(add, nullptr);
            Fill(*add, typed);
            Click(*add, kIdOk);
            closed = !add->isVisible();
            if (!closed) {
                Click(*add, kIdCancel);
            }
        });
        Click(dialog, kAdd);
        return closed;
    }

    std::vector<Row> Rows() {
        const ListCtrl& list = *dialog.DeviceList();
        std::vector<Row> rows;
        rows.reserve(static_cast<size_t>(list.GetItemCount()));
        for (int r = 0; r < list.GetItemCount(); ++r) {
            rows.push_back(
                {list.GetItemText(r, 0), list.GetItemText(r, 1), list.GetItemText(r, 2)});
        }
        return rows;
    }

    std::vector<std::u16string> Messages() const {
        std::vector<std::u16string> texts;
        for (const auto& message : prompts.messages) {
            texts.push_back(message.text);
        }
        return texts;
    }

    SimulatedFrame sim;
    ReceiverSimulator receiver;
    ReceiverServer server{receiver};
    ReceiverSimulator serialReceiver;
    test::PseudoTerminal terminal{serialReceiver};
    RecordingPrompts prompts;
    CCommunicateSetDlg dialog{sim.Control(), *sim.frame, nullptr,
                              [this] { return std::vector<std::string>{terminal.path}; }};
};

} // namespace

TEST_F(AddDeviceDlgTest, AnAddedReceiverIsListedSavedAndReadWithoutBluetooth) {
    std::string error;
    ASSERT_TRUE(server.Start("127.0.0.1", 0, error)) << error;
    ASSERT_TRUE(terminal.Ready());
    const std::u16string port = FromUtf8(std::to_string(server.Port()));
    const std::u16string tty = FromUtf8(terminal.path);
    const struct {
        Typed typed;
        Row row;
        int32_t kind;
        ReceiverSimulator& far;
    } cases[] = {
        {{0, u"Office", u" 127.0.0.1", port},
         {u"Office", u"127.0.0.1:" + port, u""},
         kLinkKindTcp,
         receiver},
        {{1, u"", tty, u"9600"},
         {tty + u":9600", tty + u":9600", u""},
         kLinkKindSerial,
         serialReceiver},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.row[1]));
        // The connection and its read follow the Bluetooth path, tested with the
        // device dialog; here that the added row is the one connected and read.
        RunModal(dialog, [&] {
            ASSERT_TRUE(Add(c.typed));
            const std::vector<Row> rows = Rows();
            ASSERT_FALSE(rows.empty());
            EXPECT_EQ(rows.back(), c.row);
            AnswerNextModal([&](QWidget& active) {
                auto* progress = dynamic_cast<CProgressDlg*>(&active);
                ASSERT_NE(progress, nullptr);
                // Left open only when the reading failed.
                QTimer::singleShot(5000, progress, [progress] { Click(*progress, kIdCancel); });
            });
            Click(dialog, kConnect);
            Click(dialog, kConnect);
            Click(dialog, kExit);
        });
        EXPECT_EQ(dialog.configRead, 1);
        EXPECT_FALSE(sim.Control().IsConnected());
        const DeviceRecord& device = sim.Control().Device();
        EXPECT_EQ(device.linkKind, c.kind);
        EXPECT_EQ(device.location, c.row[1]);
        EXPECT_EQ(sim.Control().Settings().info.device.serialNumber,
                  c.far.Value(u"DEVICE.INFO.SERIAL"));
        EXPECT_EQ(c.far.ReceivedCommands(), std::vector<std::string>{"GET,ALL"});
        std::vector<KnownDevice> file;
        ASSERT_TRUE(LoadDeviceList(DeviceListPath(), file));
        ASSERT_FALSE(file.empty());
        EXPECT_EQ(file.back(),
                  KnownDevice(c.row[0], c.row[1], u"", FromUtf8(LinkKindName(c.kind))));
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(AddDeviceDlgTest, AWrongAddressOrAListedReceiverIsRefusedAndNoPinIsAsked) {
    RunModal(dialog, [&] {
        EXPECT_FALSE(Add({0, u"R", u"receiver", u"0"}));
        EXPECT_FALSE(Add({1, u"R", u"ttyUSB0", u"9600"}));
        EXPECT_TRUE(Add({0, u"R", u"fe80::1", u"5017"}));
        EXPECT_TRUE(Add({0, u"Again", u"[fe80::1]", u"5017"}));
        dialog.DeviceList()->SelectItem(0);
        AnswerNextModal([](QWidget&) { FAIL() << "a PIN dialog opened"; });
        Click(dialog, kPin);
        Click(dialog, kExit);
    });
    EXPECT_EQ(Messages(), (std::vector<std::u16string>{
                              u"网络地址或端口不正确，请重新输入!",
                              u"串口设备或波特率不正确，请重新输入!",
                              u"该设备已在列表中!",
                              u"网络和串口设备不使用PIN码。",
                          }));
    EXPECT_EQ(Rows(), (std::vector<Row>{{u"R", u"[fe80::1]:5017", u""}}));
}

} // namespace quorlex
