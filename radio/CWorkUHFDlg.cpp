#include "radio/CWorkUHFDlg.h"

#include "channel/ReceiverControl.h"
#include "devices/CFiveBaudSetDlg.h"
#include "radio/CWorkSetDafaultUHFDlg.h"
#include "radio/RadioTables.h"
#include "ui/DataExchange.h"

namespace quorlex {
namespace {

constexpr int kRadioPageTemplate = 131;
constexpr int kChannelList = 1019;
constexpr int kFrequencyEdit = 1020;
constexpr int kProtocolList = 1005;
constexpr int kChannelDefaultsButton = 1033;
constexpr int kFivePinBaudButton = 1034;

} // namespace

CWorkUHFDlg::CWorkUHFDlg(ReceiverControl& control, SettingsWindowSlot& settingsWindow,
                         QWidget* parent)
    : Dialog(kRadioPageTemplate, parent), control_(control), settingsWindow_(settingsWindow),
      channel_(kChannelList, kFrequencyEdit) {}

void CWorkUHFDlg::DoDataExchange(DataExchange& dx) {
    channel_.Exchange(dx);
    DdxComboIndex(dx, kProtocolList, protocolIndex_);
}

bool CWorkUHFDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    FillChannelList(*this, kChannelList);
    FillProtocolList(*this, kProtocolList);
    ShowBlock();
    return true;
}

void CWorkUHFDlg::LoadFromSettings() {
    block = control_.Settings().config.datalink.radio[0];
    ShowBlock();
}

bool CWorkUHFDlg::StoreFromControls() {
    ReadControls();
    block.channel = channel_.Channel(block.channel);
    block.protocol = ProtocolCodeOfIndex(protocolIndex_);
    return channel_.StoreFrequency(*this, block.txFrequency);
}

// Before the page is first shown its fields are all there is.
void CWorkUHFDlg::ReadControls() {
    if (GetDlgItem(kChannelList) != nullptr) {
        UpdateData(true);
    }
}

void CWorkUHFDlg::ShowBlock() {
    channel_.Show(*this, block.channel, block.txFrequency);
    protocolIndex_ = ProtocolIndexOfCode(block.protocol).value_or(protocolIndex_);
    if (GetDlgItem(kChannelList) != nullptr) {
        UpdateData(false);
    }
}

void CWorkUHFDlg::OnCommand(int id, Notification code) {
    if (id == kChannelList && code == Notification::SelectionChanged) {
        UpdateData(true);
        channel_.Choose(*this, block.txFrequency);
        UpdateData(false);
    } else if (id == kChannelDefaultsButton && code == Notification::Clicked) {
        OpenChannelDefaults();
    } else if (id == kFivePinBaudButton && code == Notification::Clicked) {
        OpenFivePinBaud();
    } else {
        Dialog::OnCommand(id, code);
    }
}

// The defaults dialog works on the record's tables, not the page's; after it
// has written them the settings dialog refills the pages.
void CWorkUHFDlg::OpenChannelDefaults() {
    CWorkSetDafaultUHFDlg defaults(control_, settingsWindow_, this);
    defaults.datalink = control_.Settings().config.datalink;
    defaults.DoModal();
}

void CWorkUHFDlg::OpenFivePinBaud() {
    CFiveBaudSetDlg fivePin(control_, this);
    fivePin.baudText = control_.Settings().info.fivePinBaudText;
    fivePin.DoModal();
}

} // namespace quorlex
