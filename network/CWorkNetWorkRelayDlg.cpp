#include "network/CWorkNetWorkRelayDlg.h"

#include "common/Numbers.h"
#include "model/ReceiverSettings.h"
#include "radio/RadioTables.h"
#include "ui/DataExchange.h"

#include <optional>

namespace quorlex {
namespace {

constexpr int kRelayTemplate = 204;
constexpr int kChannelList = 1014;
constexpr int kFrequencyEdit = 1020;
constexpr int kProtocolList = 1015;

constexpr size_t kFirstRadio = 0;

bool IsChannelIndex(int index) {
    return index >= 0 && index < kRadioChannelCount;
}

} // namespace

CWorkNetWorkRelayDlg::CWorkNetWorkRelayDlg(ReceiverSettings& settings, QWidget* parent)
    : Dialog(kRelayTemplate, parent), settings_(settings) {}

void CWorkNetWorkRelayDlg::DoDataExchange(DataExchange& dx) {
    DdxComboIndex(dx, kChannelList, channelIndex_);
    DdxText(dx, kFrequencyEdit, frequencyText_);
    DdxComboIndex(dx, kProtocolList, protocolIndex_);
}

bool CWorkNetWorkRelayDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    ResetComboContent(kChannelList);
    for (int channel = 1; channel <= kRadioChannelCount; ++channel) {
        AddComboString(kChannelList, FormatInt(channel));
    }
    ResetComboContent(kProtocolList);
    for (const RadioProtocol& protocol : kRadioProtocols) {
        AddComboString(kProtocolList, protocol.name);
    }
    channelIndex_ = block.channel - 1;
    protocolIndex_ = ProtocolIndexOfCode(block.protocol).value_or(0);
    ShowChannel();
    return true;
}

// A channel the lists do not hold (a receiver reporting 0 or 17) selects
// nothing and shows no frequency.
void CWorkNetWorkRelayDlg::ShowChannel() {
    if (IsChannelIndex(channelIndex_)) {
        frequencyText_ = FormatFixed(block.txFrequency[static_cast<size_t>(channelIndex_)]);
    } else {
        channelIndex_ = -1;
    }
    EnableDlgItem(kFrequencyEdit, channelIndex_ == kTypedFrequencyChannelIndex);
    UpdateData(false);
}

// A frequency typed for channel 8 and not yet stored gives way to the table's.
void CWorkNetWorkRelayDlg::OnCommand(int id, Notification code) {
    if (id == kChannelList && code == Notification::SelectionChanged) {
        UpdateData(true);
        ShowChannel();
        return;
    }
    Dialog::OnCommand(id, code);
}

void CWorkNetWorkRelayDlg::OnOK() {
    UpdateData(true);
    RadioBlock edited = block;
    // With no channel chosen the block keeps the one it came with.
    if (IsChannelIndex(channelIndex_)) {
        edited.channel = channelIndex_ + 1;
    }
    edited.protocol = ProtocolCodeOfIndex(protocolIndex_);
    if (channelIndex_ == kTypedFrequencyChannelIndex) {
        const std::optional<double> mhz = CheckFrequencyText(frequencyText_);
        if (!mhz) {
            MessageBox(kFrequencyRangeWarning);
            GetDlgItem(kFrequencyEdit)->setFocus();
            return;
        }
        edited.txFrequency[kTypedFrequencyChannelIndex] = *mhz;
    }
    block = edited;
    settings_.config.datalink.radio[kFirstRadio] = block;
    EndDialog(kIdOk);
}

} // namespace quorlex
