#pragma once

#include "model/DatalinkConfig.h"
#include "radio/ChannelRow.h"
#include "ui/Dialog.h"

namespace quorlex {

class ReceiverControl;

// The radio relay mode's page: a transmit and a receive channel with their
// frequencies, and the protocol. Sends nothing itself.
class CWorkRelayDlg final : public Dialog {
public:
    explicit CWorkRelayDlg(ReceiverControl& control, QWidget* parent = nullptr);

    // Refills the page from the record's second radio block.
    void LoadFromSettings();
    // Controls into block; false when a typed frequency was refused. A refused
    // transmit frequency stops before the receive frequency is stored.
    bool StoreFromControls();

    RadioBlock block; // every field not shown travels along untouched

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnCommand(int id, Notification code) override;

private:
    void ReadControls();
    void ShowBlock();
    void ChooseChannel(ChannelRow& row, const FrequencyTable& table);

    ReceiverControl& control_;
    ChannelRow tx_;
    ChannelRow rx_;
    int txProtocolIndex_ = 0;
    int rxProtocolIndex_ = 0; // shown, never stored
};

} // namespace quorlex
