#pragma once

#include "model/DatalinkConfig.h"
#include "radio/ChannelRow.h"
#include "ui/Dialog.h"

namespace quorlex {

class ReceiverControl;
class SettingsWindowSlot;

// The radio mode's page: one channel, its frequency and the link protocol.
// Sends nothing itself; the settings dialog takes the block after StoreFromControls.
class CWorkUHFDlg final : public Dialog {
public:
    CWorkUHFDlg(ReceiverControl& control, SettingsWindowSlot& settingsWindow,
                QWidget* parent = nullptr);

    // Refills the page from the record's first radio block.
    void LoadFromSettings();
    // Controls into block; false when a typed frequency was refused (the rest is stored).
    bool StoreFromControls();

    RadioBlock block; // the power flag and every field not shown travel along untouched

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnCommand(int id, Notification code) override;

private:
    void ReadControls();
    void ShowBlock();
    void OpenChannelDefaults();
    void OpenFivePinBaud();

    ReceiverControl& control_;
    SettingsWindowSlot& settingsWindow_;
    ChannelRow channel_;
    int protocolIndex_ = 0;
};

} // namespace quorlex
