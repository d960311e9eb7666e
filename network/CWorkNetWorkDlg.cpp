#include "network/CWorkNetWorkDlg.h"

#include "channel/MainFrameCore.h"
#include "common/Numbers.h"
#include "network/CMountPointDetailDlg.h"
#include "network/CWorkApnDlg.h"
#include "network/CWorkNetWorkRelayDlg.h"
#include "network/MountPointFetch.h"
#include "network/ServerPresetLists.h"
#include "settings/CProgressDlg.h"
#include "settings/SettingsWindowSlot.h"
#include "ui/DataExchange.h"

namespace quorlex {
namespace {

constexpr int kNetWorkTemplate = 132;
constexpr int kAddressCombo = 1029;
constexpr int kPortCombo = 1030;
constexpr int kMountPointCombo = 1031;
constexpr int kUserEdit = 1010;
constexpr int kPasswordEdit = 1025;
constexpr int kApnButton = 1033;
constexpr int kRelayButton = 1034;
constexpr int kFetchButton = 1024;
constexpr int kDetailsButton = 1035;

constexpr std::u16string_view kNoRecords = u"没有接入点信息，请先获取接入点!";
constexpr std::u16string_view kCheckCaster = u"\n请检查CORS地址、端口、用户名和密码!";

constexpr size_t kRelayProfile = 0;
constexpr size_t kRelayRadio = 0;

std::vector<std::u16string> MountPointsOf(const std::vector<StrRecord>& records) {
    std::vector<std::u16string> names;
    names.reserve(records.size());
    for (const StrRecord& record : records) {
        names.push_back(record.mountPoint);
    }
    return names;
}

} // namespace

CWorkNetWorkDlg::CWorkNetWorkDlg(MainFrameCore& core, SettingsWindowSlot& settingsWindow,
                                 QWidget* parent)
    : Dialog(kNetWorkTemplate, parent), core_(core), settingsWindow_(settingsWindow) {}

void CWorkNetWorkDlg::DoDataExchange(DataExchange& dx) {
    DdxText(dx, kAddressCombo, addressText_);
    DdxText(dx, kPortCombo, portText_);
    DdxText(dx, kMountPointCombo, mountPointText_);
    DdxText(dx, kUserEdit, userText_);
    DdxText(dx, kPasswordEdit, passwordText_);
}

bool CWorkNetWorkDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    FillServerPresetLists(*this, kAddressCombo, kPortCombo);
    SourceTableStore& store = core_.Store();
    // While a fetch is still taking in its table, the file would replace what
    // has arrived and the fetch would end by caching the old table again.
    if (!core_.FetchActive()) {
        store.LoadCache();
    }
    if (!store.StrList().empty()) {
        ShowMountPoints(MountPointsOf(store.StrList()));
    }
    ShowNetwork();
    return true;
}

void CWorkNetWorkDlg::ShowNetwork() {
    addressText_ = network.address;
    portText_ = FormatInt(network.port);
    userText_ = network.user;
    passwordText_ = network.password;
    mountPointText_ = network.mountPoint;
    UpdateData(false);
}

// A new list empties the combo's edit field too; the mount point shown stays.
void CWorkNetWorkDlg::ShowMountPoints(const std::vector<std::u16string>& names) {
    const std::u16string shown = GetDlgItemText(kMountPointCombo);
    ResetComboContent(kMountPointCombo);
    for (const std::u16string& name : names) {
        AddComboString(kMountPointCombo, name);
    }
    SetDlgItemText(kMountPointCombo, shown);
}

void CWorkNetWorkDlg::LoadFromSettings() {
    const DatalinkConfig& datalink = core_.Control().Settings().config.datalink;
    network = datalink.network[kRelayProfile].server;
    apn = datalink.network[kRelayProfile].apn;
    relayRadio = datalink.radio[kRelayRadio];
    ShowNetwork();
}

bool CWorkNetWorkDlg::StoreFromControls() {
    if (GetDlgItem(kAddressCombo) == nullptr) {
        return true;
    }
    UpdateData(true);
    network.address = addressText_;
    network.port = ParseInteger(portText_);
    network.user = userText_;
    network.password = passwordText_;
    network.mountPoint = mountPointText_;
    return true;
}

void CWorkNetWorkDlg::OnCommand(int id, Notification code) {
    if (code != Notification::Clicked) {
        Dialog::OnCommand(id, code);
        return;
    }
    switch (id) {
    case kApnButton:
        EditApn();
        break;
    case kRelayButton:
        EditRelayRadio();
        break;
    case kFetchButton:
        FetchMountPoints();
        break;
    case kDetailsButton:
        ShowMountPointDetails();
        break;
    default:
        Dialog::OnCommand(id, code);
        break;
    }
}

void CWorkNetWorkDlg::EditApn() {
    CWorkApnDlg dialog(this);
    dialog.block = apn;
    if (dialog.DoModal() == kIdOk) {
        apn = dialog.block;
    }
}

void CWorkNetWorkDlg::EditRelayRadio() {
    CWorkNetWorkRelayDlg dialog(core_.Control().Settings(), this);
    dialog.block = relayRadio;
    if (dialog.DoModal() == kIdOk) {
        relayRadio = dialog.block;
    }
}

// The record behind each name, for choosing among many; the choice only
// fills in the mount point, as picking it from the list would.
void CWorkNetWorkDlg::ShowMountPointDetails() {
    SourceTableStore& store = core_.Store();
    // A fetch that brought no table (refused, cancelled, timed out) emptied the
    // store; the names the page still offers are the cached table's.
    if (store.StrList().empty() && !core_.FetchActive()) {
        store.LoadCache();
    }
    const std::vector<StrRecord>& records = store.StrList();
    if (records.empty()) {
        MessageBox(kNoRecords);
        return;
    }
    const ReceiverConfig& config = core_.Control().Settings().config;
    CMountPointDetailDlg dialog(
        records, ReportedBasePosition(config.basePositionMode, config.basePosition), this);
    dialog.mountPoint = GetDlgItemText(kMountPointCombo);
    if (dialog.DoModal() == kIdOk) {
        SetDlgItemText(kMountPointCombo, dialog.mountPoint);
    }
}

// "获取接入点": the receiver logs into the caster just typed, reports its mount
// points and source table, and the configuration is read back.
void CWorkNetWorkDlg::FetchMountPoints() {
    StoreFromControls();
    core_.SetFetchActive(true);
    SourceTableStore& store = core_.Store();
    store.Reset();
    ReceiverControl& control = core_.Control();
    CProgressDlg progress(
        [&control](ProgressTarget& target) { control.SetProgressTarget(&target); }, this);
    control.SetProgressTarget(&progress);
    control.ClearCommands();
    for (const CommandItem& item :
         BuildMountPointFetch(network, control.Settings().config.workingMode)) {
        control.AddCommand(item);
    }
    control.StartBatch(u"开始发送指令");
    const bool ended = progress.DoModal() == kIdOk;
    if (ended) {
        if (!store.MountPoints().empty()) {
            ShowMountPoints(store.MountPoints());
        }
        settingsWindow_.SendRefresh();
    }
    control.SetProgressTarget(nullptr);
    // The progress dialog closes by itself once the batch went well, so the
    // row of a refusal would be gone before it is read.
    if (ended && store.IsRefused()) {
        MessageBox(store.StatusText() + std::u16string(kCheckCaster));
    }
}

} // namespace quorlex
