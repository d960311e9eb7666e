#include "settings/CWorkSettingDlg.h"

#include "channel/MainFrameCore.h"
#include "devices/CCommunicateSetDlg.h"
#include "resources/MenuTemplate.h"
#include "settings/ApplyCommands.h"
#include "settings/CPagedTabCtrl.h"
#include "settings/CProgressDlg.h"
#include "settings/CSaveOtherTipDlg.h"
#include "settings/CSaveTipDlg.h"
#include "settings/WorkingScreen.h"
#include "ui/DataExchange.h"
#include "ui/MenuBuilder.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace quorlex {
namespace {

constexpr int kSettingsTemplate = 135;
constexpr int kShownLabel = 1045;
constexpr int kModeCombo = 1044;
constexpr int kTabs = 1026;
constexpr int kCommunicate = 1033;
constexpr int kRead = 1034;
constexpr int kSave = 1036;
constexpr int kApply = 1027;
constexpr int kAbout = 1035;
constexpr int kConnectedControls[] = {kRead, kApply, kSave, kModeCombo, kTabs};

constexpr int kRadioTemplate = 131;
constexpr int kNetworkTemplate = 132;
constexpr int kRelayTemplate = 134;
constexpr int kBaseNetworkTemplate = 103;

// The read menu opens above a point just below the button's left edge.
constexpr int kMenuOffsetX = -6;
constexpr int kMenuOffsetY = 10;

} // namespace

CWorkSettingDlg::CWorkSettingDlg(MainFrameCore& core, LinkSink& dataTarget,
                                 SettingsWindowSlot& settingsWindow,
                                 std::function<void()> showAbout, QWidget* parent)
    : Dialog(kSettingsTemplate, parent), core_(core), control_(core.Control()),
      dataTarget_(dataTarget), settingsWindow_(settingsWindow), showAbout_(std::move(showAbout)),
      uhfPage_(control_, settingsWindow), netPage_(core, settingsWindow), relayPage_(control_),
      baseNetPage_(control_) {}

CWorkSettingDlg::~CWorkSettingDlg() {
    if (settingsWindow_.Get() == this) {
        settingsWindow_.Set(nullptr);
    }
}

CPagedTabCtrl* CWorkSettingDlg::TabCtrl() const {
    return DlgItem<CPagedTabCtrl>(kTabs);
}

QWidget* CWorkSettingDlg::CreateControl(const ControlTemplate& c) {
    if (c.id == kTabs) {
        return new CPagedTabCtrl;
    }
    return Dialog::CreateControl(c);
}

void CWorkSettingDlg::DoDataExchange(DataExchange& dx) {
    DdxComboIndex(dx, kModeCombo, workingMode);
}

bool CWorkSettingDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    settingsWindow_.Set(this);
    workCopy = InitialWorkCopy();
    relayRadio = workCopy.datalink.radio[0];
    CPagedTabCtrl* tabs = TabCtrl();
    tabs->AddPage(u"电台模式", uhfPage_, kRadioTemplate);
    tabs->AddPage(u"网络中继", netPage_, kNetworkTemplate);
    tabs->AddPage(u"电台中继", relayPage_, kRelayTemplate);
    tabs->AddPage(u"基站网络", baseNetPage_, kBaseNetworkTemplate);
    FillPagesFromWorkCopy();
    tabs->CreatePages();
    EnableConnectedControls(false);
    workingMode = -1;
    UpdateData(false);
    return true;
}

void CWorkSettingDlg::FillPagesFromWorkCopy() {
    const DatalinkConfig& datalink = workCopy.datalink;
    uhfPage_.block = datalink.radio[0];
    relayPage_.block = datalink.radio[1];
    netPage_.apn = datalink.network[0].apn;
    netPage_.network = datalink.network[0].server;
    netPage_.relayRadio = relayRadio;
    baseNetPage_.apn = datalink.network[1].apn;
    baseNetPage_.network = datalink.network[1].server;
}

// The settings window is gone with the dialog's window.
void CWorkSettingDlg::done(int result) {
    if (settingsWindow_.Get() == this) {
        settingsWindow_.Set(nullptr);
    }
    Dialog::done(result);
}

void CWorkSettingDlg::OnCommand(int id, Notification code) {
    if (code != Notification::Clicked) {
        return;
    }
    switch (id) {
    case kCommunicate:
        OnCommunicate();
        break;
    case kRead:
        OnReadMenu();
        break;
    case kSave:
        ApplyAndSave();
        break;
    case kApply:
        OnApply();
        break;
    case kAbout:
        if (showAbout_) {
            showAbout_();
        }
        break;
    default:
        Dialog::OnCommand(id, code);
        break;
    }
}

void CWorkSettingDlg::EnableConnectedControls(bool enable) {
    for (const int id : kConnectedControls) {
        EnableDlgItem(id, enable);
    }
}

void CWorkSettingDlg::TakeWorkingModeFromReceiver() {
    workingMode = control_.Settings().config.workingMode;
}

void CWorkSettingDlg::RefillPages() {
    uhfPage_.LoadFromSettings();
    relayPage_.LoadFromSettings();
    netPage_.LoadFromSettings();
}

void CWorkSettingDlg::OnCommunicate() {
    CCommunicateSetDlg devices(control_, dataTarget_, this);
    devices.DoModal();
    const bool connected = control_.IsConnected();
    EnableConnectedControls(connected);
    if (connected) {
        TakeWorkingModeFromReceiver();
    } else {
        workingMode = -1;
    }
    UpdateData(false);
    if (devices.configRead != 0) {
        SetDlgItemText(kShownLabel, ShownConfigurationLabel(kCurrentConfiguration));
        EnableDlgItem(kModeCombo, true);
        TakeWorkingModeFromReceiver();
        shownSlot = kCurrentConfiguration;
        RefillPages();
        UpdateData(false);
    }
}

void CWorkSettingDlg::OnReadMenu() {
    const MenuTemplate* menuTemplate = FindMenuTemplate(kReadMenuId);
    auto* button = DlgItem<QPushButton>(kRead);
    if (menuTemplate == nullptr || button == nullptr) {
        return;
    }
    int chosen = 0;
    QMenu menu(this);
    BuildPopupMenu(*menuTemplate, menu, [&chosen](int command) { chosen = command; });
    const QPoint anchor =
        button->mapToGlobal(QPoint(kMenuOffsetX, button->height() + kMenuOffsetY));
    menu.exec(anchor - QPoint(0, menu.sizeHint().height()));
    if (chosen == command::kReadCurrent) {
        ReadConfiguration(kCurrentConfiguration);
    } else if (chosen >= command::kReadSlot1 && chosen < command::kReadSlot1 + kLastSlot) {
        ReadConfiguration(chosen - command::kReadSlot1 + kFirstSlot);
    }
}

bool CWorkSettingDlg::RunBatch(const std::vector<CommandItem>& items, std::u16string_view title) {
    if (items.empty()) {
        return false;
    }
    CProgressDlg progress([this](ProgressTarget& target) { control_.SetProgressTarget(&target); },
                          this);
    control_.SetProgressTarget(&progress);
    control_.ClearCommands();
    for (const CommandItem& item : items) {
        control_.AddCommand(item);
    }
    control_.StartBatch(title);
    const bool ok = progress.DoModal() == kIdOk;
    control_.SetProgressTarget(nullptr);
    return ok;
}

void CWorkSettingDlg::ReadConfiguration(int slot) {
    UpdateData(true);
    if (RunBatch({ReadConfigurationCommand(slot)}, u"读取配置")) {
        SetDlgItemText(kShownLabel, ShownConfigurationLabel(slot));
        TakeWorkingModeFromReceiver();
        RefillPages();
    }
    // Asked for, even when the read failed: the next save prompts for it.
    shownSlot = slot;
    UpdateData(false);
}

void CWorkSettingDlg::ReadBackPage() {
    DatalinkConfig& datalink = workCopy.datalink;
    switch (workingMode) {
    case kWorkingModeRadio:
        uhfPage_.StoreFromControls();
        datalink.radio[0] = uhfPage_.block;
        break;
    case kWorkingModeNetworkRelay:
        netPage_.StoreFromControls();
        datalink.network[0].apn = netPage_.apn;
        datalink.network[0].server = netPage_.network;
        relayRadio = netPage_.relayRadio;
        break;
    case kWorkingModeRadioRelay:
        relayPage_.StoreFromControls();
        datalink.radio[1] = relayPage_.block;
        break;
    case kWorkingModeBaseNetwork:
        baseNetPage_.StoreFromControls();
        datalink.network[1].apn = baseNetPage_.apn;
        datalink.network[1].server = baseNetPage_.network;
        break;
    default:
        break;
    }
}

void CWorkSettingDlg::ApplyAndSave() {
    UpdateData(true);
    ReadBackPage();
    if (shownSlot >= kFirstSlot && shownSlot <= kLastSlot) {
        SaveFromSlot();
    } else {
        SaveFromCurrent();
    }
    UpdateData(false);
}

void CWorkSettingDlg::SaveFromSlot() {
    CSaveTipDlg prompt(this);
    prompt.slotNumber = shownSlot;
    if (prompt.DoModal() != kIdOk) {
        return;
    }
    const std::optional<SaveAction> action = SlotPromptAction(prompt.saveChoice);
    if (!action) {
        return;
    }
    const std::vector<CommandItem> items =
        BuildSaveCommands(*action, shownSlot, workingMode, workCopy, relayRadio);
    if (RunBatch(items, u"开始设置")) {
        EnableDlgItem(kModeCombo, true);
        TakeWorkingModeFromReceiver();
        RefillPages();
    }
}

void CWorkSettingDlg::SaveFromCurrent() {
    CSaveOtherTipDlg prompt(this);
    if (prompt.DoModal() != kIdOk) {
        return;
    }
    const std::optional<SaveAction> action = CurrentPromptAction(prompt.saveChoice);
    if (!action) {
        return;
    }
    const bool savesAs = *action == SaveAction::ApplyAndSaveAs;
    if (savesAs) {
        // Kept even when the batch fails: the next save prompts for this slot.
        shownSlot = prompt.slotIndex + 1;
    }
    const std::vector<CommandItem> items =
        BuildSaveCommands(*action, shownSlot, workingMode, workCopy, relayRadio);
    if (RunBatch(items, u"开始设置") && savesAs) {
        SetDlgItemText(kShownLabel, ShownConfigurationLabel(kCurrentConfiguration));
        EnableDlgItem(kModeCombo, true);
        TakeWorkingModeFromReceiver();
        RefillPages();
    }
}

// Reachable only if the hidden button is shown: applies the mode's commands without a prompt or
// a read-back.
void CWorkSettingDlg::OnApply() {
    UpdateData(true);
    uhfPage_.StoreFromControls();
    workCopy.datalink.radio[0] = uhfPage_.block;
    relayPage_.StoreFromControls();
    workCopy.datalink.radio[1] = relayPage_.block;
    netPage_.StoreFromControls();
    workCopy.datalink.network[0].apn = netPage_.apn;
    workCopy.datalink.network[0].server = netPage_.network;
    relayRadio = netPage_.relayRadio;
    RunBatch(BuildApplyCommands(workingMode, workCopy, relayRadio), u"开始发送指令");
}

void CWorkSettingDlg::OnSettingsRefresh() {
    UpdateData(true);
    TakeWorkingModeFromReceiver();
    RefillPages();
    UpdateData(false);
}

} // namespace quorlex
