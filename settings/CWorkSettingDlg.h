#pragma once

#include "model/DatalinkConfig.h"
#include "model/ReceiverConfig.h"
#include "network/CWorkBaseNetDlg.h"
#include "network/CWorkNetWorkDlg.h"
#include "radio/CWorkRelayDlg.h"
#include "radio/CWorkUHFDlg.h"
#include "settings/SaveSequence.h"
#include "settings/SettingsWindowSlot.h"
#include "ui/Dialog.h"

#include <functional>
#include <optional>

namespace quorlex {

class CPagedTabCtrl;
class LinkSink;
class MainFrameCore;
class ReceiverControl;

// The working screen: one page per working mode, the mode to write, and the
// buttons that connect, read a configuration and save.
class CWorkSettingDlg final : public Dialog, public SettingsRefreshTarget {
public:
    // dataTarget takes the link's data (the main frame); settingsWindow is
    // set to this dialog while it is open; showAbout opens the about box.
    CWorkSettingDlg(MainFrameCore& core, LinkSink& dataTarget, SettingsWindowSlot& settingsWindow,
                    std::function<void()> showAbout, QWidget* parent = nullptr);
    ~CWorkSettingDlg() override;

    // slot 0 is the current configuration, 1..5 a stored slot.
    void ReadConfiguration(int slot);
    void RefillPages();
    // The page of workingMode into workCopy or relayRadio.
    void ReadBackPage();
    void ApplyAndSave();
    void OnSettingsRefresh() override;

    ReceiverConfig workCopy;
    RadioBlock relayRadio;
    int shownSlot = 0;
    int workingMode = -1;

    CPagedTabCtrl* TabCtrl() const;
    CWorkUHFDlg& RadioPage() { return uhfPage_; }
    CWorkNetWorkDlg& NetworkPage() { return netPage_; }
    CWorkRelayDlg& RelayPage() { return relayPage_; }
    CWorkBaseNetDlg& BaseNetworkPage() { return baseNetPage_; }

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnCommand(int id, Notification code) override;
    QWidget* CreateControl(const ControlTemplate& control) override;
    void done(int result) override;

private:
    void FillPagesFromWorkCopy();
    void OnCommunicate();
    void OnReadMenu();
    void OnApply();
    void EnableConnectedControls(bool enable);
    void TakeWorkingModeFromReceiver();
    void SaveFromSlot();
    void SaveFromCurrent();
    // Runs the batch under the progress dialog; nothing is started for an
    // empty batch, which could never end. True when the dialog ended with OK.
    bool RunBatch(const std::vector<CommandItem>& items, std::u16string_view title);

    MainFrameCore& core_;
    ReceiverControl& control_;
    LinkSink& dataTarget_;
    SettingsWindowSlot& settingsWindow_;
    std::function<void()> showAbout_;
    CWorkUHFDlg uhfPage_;
    CWorkNetWorkDlg netPage_;
    CWorkRelayDlg relayPage_;
    CWorkBaseNetDlg baseNetPage_;
};

} // namespace quorlex
