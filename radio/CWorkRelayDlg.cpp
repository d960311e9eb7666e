#include "radio/CWorkRelayDlg.h"

#include "channel/ReceiverControl.h"
#include "radio/RadioTables.h"
#include "ui/DataExchange.h"

namespace quorlex {
namespace {

constexpr int kRelayPageTemplate = 134;
constexpr int kTxChannelList = 1014;
constexpr int kTxFrequencyEdit = 1009;
constexpr int kTxProtocolList = 1015;
constexpr int kRxChannelList = 1016;
constexpr int kRxFrequencyEdit = 1017;
constexpr int kRxProtocolList = 1018;

} // namespace

CWorkRelayDlg::CWorkRelayDlg(ReceiverControl& control, QWidget* parent)
    : Dialog(kRelayPageTemplate, parent), control_(control), tx_(kTxChannelList, kTxFrequencyEdit),
      rx_(kRxChannelList, kRxFrequencyEdit) {}

void CWorkRelayDlg::DoDataExchange(DataExchange& dx) {
    tx_.Exchange(dx);
    DdxComboIndex(dx, kTxProtocolList, txProtocolIndex_);
    rx_.Exchange(dx);
    DdxComboIndex(dx, kRxProtocolList, rxProtocolIndex_);
}

bool CWorkRelayDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    for (const int list : {kTxChannelList, kRxChannelList}) {
        FillChannelList(*this, list);
    }
    for (const int list : {kTxProtocolList, kRxProtocolList}) {
        FillProtocolList(*this, list);
    }
    ShowBlock();
    return true;
}

void CWorkRelayDlg::LoadFromSettings() {
    ReadControls();
    block = control_.Settings().config.datalink.radio[1];
    ShowBlock();
}

bool CWorkRelayDlg::StoreFromControls() {
    ReadControls();
    block.channel = tx_.Channel(block.channel);
    block.rxChannel = rx_.Channel(block.rxChannel);
    block.protocol = ProtocolCodeOfIndex(txProtocolIndex_);
    return tx_.StoreFrequency(*this, block.txFrequency) &&
           rx_.StoreFrequency(*this, block.rxFrequency);
}

// Before the page is first shown its fields are all there is.
void CWorkRelayDlg::ReadControls() {
    if (GetDlgItem(kTxChannelList) != nullptr) {
        UpdateData(true);
    }
}

void CWorkRelayDlg::ShowBlock() {
    rx_.Show(*this, block.rxChannel, block.rxFrequency);
    tx_.Show(*this, block.channel, block.txFrequency);
    if (const std::optional<int> protocol = ProtocolIndexOfCode(block.protocol)) {
        txProtocolIndex_ = *protocol;
        rxProtocolIndex_ = *protocol;
    }
    if (GetDlgItem(kTxChannelList) != nullptr) {
        UpdateData(false);
    }
}

void CWorkRelayDlg::OnCommand(int id, Notification code) {
    if (code == Notification::SelectionChanged && id == tx_.ListId()) {
        ChooseChannel(tx_, block.txFrequency);
    } else if (code == Notification::SelectionChanged && id == rx_.ListId()) {
        ChooseChannel(rx_, block.rxFrequency);
    } else {
        Dialog::OnCommand(id, code);
    }
}

void CWorkRelayDlg::ChooseChannel(ChannelRow& row, const FrequencyTable& table) {
    UpdateData(true);
    row.Choose(*this, table);
    UpdateData(false);
}

} // namespace quorlex
