#pragma once

#include "model/DatalinkConfig.h"
#include "ui/Dialog.h"

#include <string>

namespace quorlex {

struct ReceiverSettings;

// The radio that passes a network relay's corrections on: transmit channel,
// the typed frequency of channel 8 and the link protocol. On OK the block is
// also written into the record's first radio block, the one the radio page shows.
class CWorkNetWorkRelayDlg final : public Dialog {
public:
    explicit CWorkNetWorkRelayDlg(ReceiverSettings& settings, QWidget* parent = nullptr);

    // Set before the dialog runs; holds the edited values once it ended with OK.
    RadioBlock block;

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnCommand(int id, Notification code) override;
    void OnOK() override;

private:
    void ShowChannel();

    ReceiverSettings& settings_;
    int channelIndex_ = -1;
    std::u16string frequencyText_;
    int protocolIndex_ = 0;
};

} // namespace quorlex
