#include "devices/CCommunicateAddDlg.h"

#include "common/Numbers.h"
#include "common/Text.h"
#include "devices/LinkDevices.h"
#include "link/LinkTarget.h"
#include "ui/DataExchange.h"

namespace quorlex {
namespace {

constexpr int kAddTemplate = 211;
constexpr int kKindList = 1070;
constexpr int kNameEdit = 1071;
constexpr int kAddressLabel = 1072;
constexpr int kHostEdit = 1073;
constexpr int kPathCombo = 1074;
constexpr int kPortLabel = 1075;
constexpr int kPortEdit = 1076;
constexpr int kBaudList = 1077;
constexpr int kHint = 1078;

constexpr int kSerialIndex = 1;

constexpr std::u16string_view kBadTcp = u"网络地址或端口不正确，请重新输入!";
constexpr std::u16string_view kBadSerial = u"串口设备或波特率不正确，请重新输入!";

} // namespace

CCommunicateAddDlg::CCommunicateAddDlg(std::vector<std::string> serialDevices, QWidget* parent)
    : Dialog(kAddTemplate, parent), serialDevices_(std::move(serialDevices)) {}

void CCommunicateAddDlg::DoDataExchange(DataExchange& dx) {
    DdxComboIndex(dx, kKindList, kindIndex);
    DdxText(dx, kNameEdit, nameText);
    DdxText(dx, kHostEdit, hostText);
    DdxText(dx, kPortEdit, portText);
    DdxText(dx, kPathCombo, pathText);
    DdxText(dx, kBaudList, baudText);
}

bool CCommunicateAddDlg::OnInitDialog() {
    ResetComboContent(kPathCombo);
    for (const std::string& path : serialDevices_) {
        AddComboString(kPathCombo, FromUtf8(path));
    }
    ResetComboContent(kBaudList);
    for (const int baud : SerialBaudRates()) {
        AddComboString(kBaudList, FormatInt(baud));
    }
    if (baudText.empty()) {
        baudText = FormatInt(kDefaultSerialBaud);
    }
    if (pathText.empty() && !serialDevices_.empty()) {
        pathText = FromUtf8(serialDevices_.front());
    }
    Dialog::OnInitDialog();
    ShowKind();
    return true;
}

void CCommunicateAddDlg::OnCommand(int id, Notification code) {
    if (id == kKindList && code == Notification::SelectionChanged) {
        UpdateData(true);
        ShowKind();
        return;
    }
    Dialog::OnCommand(id, code);
}

// One address row and one port row, whose controls and labels follow the kind.
void CCommunicateAddDlg::ShowKind() {
    const bool serial = kindIndex == kSerialIndex;
    ShowDlgItem(kHostEdit, !serial);
    ShowDlgItem(kPortEdit, !serial);
    ShowDlgItem(kPathCombo, serial);
    ShowDlgItem(kBaudList, serial);
    SetDlgItemText(kAddressLabel, serial ? u"设备：" : u"地址：");
    SetDlgItemText(kPortLabel, serial ? u"波特率：" : u"端口：");
    SetDlgItemText(kHint, serial ? u"USB串口线或串口，例如 /dev/ttyUSB0"
                                 : u"接收机的网口或串口服务器，例如 192.168.1.20 端口 5017");
}

void CCommunicateAddDlg::OnOK() {
    UpdateData(true);
    const bool serial = kindIndex == kSerialIndex;
    std::u16string location;
    if (serial) {
        location = std::u16string(Trimmed(pathText)) + u":" + std::u16string(Trimmed(baudText));
    } else {
        // An IPv6 address is typed bare; the list writes it in brackets.
        const std::u16string host(Trimmed(hostText));
        const bool bracket = host.find(u':') != std::u16string::npos && host.front() != u'[';
        location = (bracket ? u"[" + host + u"]" : host) + u":" + std::u16string(Trimmed(portText));
    }
    const std::optional<KnownDevice> added =
        NewLinkDevice(serial ? kLinkKindSerial : kLinkKindTcp, nameText, location);
    if (!added) {
        MessageBox(serial ? kBadSerial : kBadTcp);
        return;
    }
    device = *added;
    Dialog::OnOK();
}

} // namespace quorlex
