#pragma once

#include "model/DatalinkConfig.h"
#include "ui/Dialog.h"

#include <string>
#include <vector>

namespace quorlex {

class MainFrameCore;
class SettingsWindowSlot;

// Network relay page of the settings dialog: the caster the receiver logs
// into, its APN and the radio that passes the corrections on, and the
// caster's mount points fetched through the receiver. The blocks are the
// page's copies; only the fetch talks to the receiver.
class CWorkNetWorkDlg final : public Dialog {
public:
    CWorkNetWorkDlg(MainFrameCore& core, SettingsWindowSlot& settingsWindow,
                    QWidget* parent = nullptr);

    // The record's network relay profile and first radio block into the page.
    void LoadFromSettings();
    // The controls into network; refuses nothing. A page never created keeps its blocks.
    bool StoreFromControls();

    NetworkServerBlock network;
    ApnBlock apn;
    RadioBlock relayRadio;

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnCommand(int id, Notification code) override;

private:
    void ShowNetwork();
    void ShowMountPoints(const std::vector<std::u16string>& names);
    void EditApn();
    void EditRelayRadio();
    void FetchMountPoints();
    void ShowMountPointDetails();

    MainFrameCore& core_;
    SettingsWindowSlot& settingsWindow_;
    std::u16string addressText_;
    std::u16string portText_;
    std::u16string userText_;
    std::u16string passwordText_;
    std::u16string mountPointText_;
};

} // namespace quorlex
