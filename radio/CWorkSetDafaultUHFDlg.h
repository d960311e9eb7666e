#pragma once

#include "model/DatalinkConfig.h"
#include "radio/ChannelTable.h"
#include "ui/Dialog.h"

#include <array>
#include <string>

namespace quorlex {

class ReceiverControl;
class SettingsWindowSlot;

// Edits the whole transmit or receive channel table and writes the one shown
// to the receiver with "设置", then reads the configuration back. Stays open
// until "退出"; the opener reads nothing back.
class CWorkSetDafaultUHFDlg final : public Dialog {
public:
    CWorkSetDafaultUHFDlg(ReceiverControl& control, SettingsWindowSlot& settingsWindow,
                          QWidget* parent = nullptr);

    // The opener's copy of the record's datalink part; its tables are edited here.
    DatalinkConfig datalink;
    int direction = kTransmitTable; // the table shown
    std::array<std::u16string, kRadioChannelCount> frequencyText;

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnCommand(int id, Notification code) override;
    void OnOK() override;

private:
    void ShowTable();
    void ParseShownTable();
    void SwitchTable();
    void RestoreDefaults();

    ReceiverControl& control_;
    SettingsWindowSlot& settingsWindow_;
};

} // namespace quorlex
