#include "network/CWorkBaseNetDlg.h"

#include "channel/ReceiverControl.h"
#include "common/Numbers.h"
#include "devices/CFiveBaudSetDlg.h"
#include "network/CWorkApnDlg.h"
#include "network/ServerPresetLists.h"
#include "ui/DataExchange.h"

namespace quorlex {
namespace {

constexpr int kBaseNetTemplate = 103;
constexpr int kAddressCombo = 1029;
constexpr int kPortCombo = 1030;
constexpr int kMountPointEdit = 1063;
constexpr int kApnButton = 1033;
constexpr int kFivePinButton = 1034;

} // namespace

CWorkBaseNetDlg::CWorkBaseNetDlg(ReceiverControl& control, QWidget* parent)
    : Dialog(kBaseNetTemplate, parent), control_(control) {}

void CWorkBaseNetDlg::DoDataExchange(DataExchange& dx) {
    DdxText(dx, kAddressCombo, addressText_);
    DdxText(dx, kPortCombo, portText_);
    DdxText(dx, kMountPointEdit, mountPointText_);
}

bool CWorkBaseNetDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    FillServerPresetLists(*this, kAddressCombo, kPortCombo);
    addressText_ = network.address;
    portText_ = FormatInt(network.port);
    mountPointText_ = network.mountPoint;
    UpdateData(false);
    return true;
}

bool CWorkBaseNetDlg::StoreFromControls() {
    if (GetDlgItem(kAddressCombo) == nullptr) {
        return true;
    }
    UpdateData(true);
    network.address = addressText_;
    network.port = ParseInteger(portText_);
    network.mountPoint = mountPointText_;
    return true;
}

void CWorkBaseNetDlg::OnCommand(int id, Notification code) {
    if (code == Notification::Clicked && id == kApnButton) {
        EditApn();
    } else if (code == Notification::Clicked && id == kFivePinButton) {
        SetFivePinBaud();
    } else {
        Dialog::OnCommand(id, code);
    }
}

void CWorkBaseNetDlg::EditApn() {
    CWorkApnDlg dialog(this);
    dialog.block = apn;
    if (dialog.DoModal() == kIdOk) {
        apn = dialog.block;
    }
}

// The five-pin dialog sends its own command; nothing comes back into the page.
void CWorkBaseNetDlg::SetFivePinBaud() {
    CFiveBaudSetDlg dialog(control_, this);
    dialog.baudText = control_.Settings().info.fivePinBaudText;
    dialog.DoModal();
}

} // namespace quorlex
