#include "devices/CCommunicateSetDlg.h"

#include "channel/ReceiverControl.h"
#include "devices/CCommunicateAddDlg.h"
#include "devices/CCommunicatePINDlg.h"
#include "devices/DeviceList.h"
#include "devices/DeviceSearch.h"
#include "devices/LinkDevices.h"
#include "link/SerialPorts.h"
#include "model/CommandItem.h"
#include "settings/CProgressDlg.h"
#include "ui/ListCtrl.h"

#include <QMetaObject>

namespace quorlex {
namespace {

constexpr int kDevicesTemplate = 136;
constexpr int kList = 1032;
constexpr int kSearch = 1033;
constexpr int kPin = 1034;
constexpr int kDelete = 1035;
constexpr int kConnect = 1036;
constexpr int kExit = 1037;
constexpr int kAdd = 1038;
constexpr int kButtons[] = {kSearch, kPin, kDelete, kConnect, kAdd, kExit};

constexpr uint32_t kListStyles = list_style::kFullRowSelect | list_style::kHeaderDragDrop;
constexpr int kNameColumn = 0;
constexpr int kAddressColumn = 1;
constexpr int kPinColumn = 2;

constexpr std::u16string_view kNoSelection = u"没有选择蓝牙设备，请重新选择!";
constexpr std::u16string_view kSearchFailed = u"搜索蓝牙设备失败，请检查!";
constexpr std::u16string_view kNoPinNeeded = u"网络和串口设备不使用PIN码。";
constexpr std::u16string_view kAlreadyListed = u"该设备已在列表中!";
constexpr std::u16string_view kUnknownKind = u"不支持此设备的连接方式!";

} // namespace

CCommunicateSetDlg::CCommunicateSetDlg(ReceiverControl& control, LinkSink& dataTarget,
                                       QWidget* parent, SerialDeviceList serialDevices)
    : Dialog(kDevicesTemplate, parent), control_(control), dataTarget_(dataTarget),
      listFile_(DeviceListPath()), serialDevices_(serialDevices ? std::move(serialDevices) : [] {
          return SerialDevicePaths();
      }) {}

ListCtrl* CCommunicateSetDlg::DeviceList() const {
    return DlgItem<ListCtrl>(kList);
}

bool CCommunicateSetDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    ListCtrl* list = DeviceList();
    list->SetExtendedStyle(kListStyles);
    if (list->columnCount() == 0) {
        list->InsertColumn(kNameColumn, u"设备名称", ColumnAlign::Center, 200);
        list->InsertColumn(kAddressColumn, u"地址", ColumnAlign::Left, 200);
        list->InsertColumn(kPinColumn, u"PIN码", ColumnAlign::Left, 80);
        // The whole address and PIN stay in sight; the name takes the rest.
        list->SetColumnFit(kNameColumn, ColumnFit::Fill);
        list->SetColumnFit(kAddressColumn, ColumnFit::Content);
        list->SetColumnFit(kPinColumn, ColumnFit::Content);
    }
    const DeviceListOpening opening = listFile_.Open(devices_);
    TellWhenShown(DeviceListOpeningText(listFile_, opening));
    configRead = 0;
    FillList();
    list->setFocus();
    UpdateButtons();
    return true;
}

void CCommunicateSetDlg::OnCommand(int id, Notification code) {
    if (code != Notification::Clicked) {
        return;
    }
    switch (id) {
    case kSearch:
        OnSearch();
        break;
    case kPin:
        OnChangePin();
        break;
    case kDelete:
        OnDelete();
        break;
    case kConnect:
        OnConnect();
        break;
    case kAdd:
        OnAdd();
        break;
    case kExit:
        EndDialog(kIdOk);
        break;
    default:
        Dialog::OnCommand(id, code);
        break;
    }
}

void CCommunicateSetDlg::FillList() {
    ListCtrl* list = DeviceList();
    list->DeleteAllItems();
    for (const KnownDevice& device : devices_) {
        const int row = list->InsertItem(list->GetItemCount(), device.name);
        list->SetItemText(row, kAddressColumn, device.address);
        list->SetItemText(row, kPinColumn, device.pin);
    }
}

void CCommunicateSetDlg::UpdateButtons() {
    MarkConnectedRow();
    const bool connected = control_.IsConnected();
    EnableDlgItem(kSearch, !connected);
    EnableDlgItem(kPin, !connected);
    EnableDlgItem(kDelete, !connected);
    EnableDlgItem(kAdd, !connected);
    EnableDlgItem(kConnect, true);
    EnableDlgItem(kExit, true);
    SetDlgItemText(kConnect, connected ? u"断开" : u"连接");
    UpdateData(false);
}

void CCommunicateSetDlg::MarkConnectedRow() {
    ListCtrl* list = DeviceList();
    const bool connected = control_.IsConnected();
    const DeviceRecord& device = control_.Device();
    for (int row = 0; row < list->GetItemCount(); ++row) {
        const std::u16string address = list->GetItemText(row, kAddressColumn);
        const int32_t kind = RowKind(row);
        const bool same = kind == device.linkKind &&
                          (kind == kLinkKindBluetooth ? ParseHexAddress(address) == device.address
                                                      : address == device.location);
        list->SetItemMark(row, connected && same, u"已连接");
    }
}

int32_t CCommunicateSetDlg::RowKind(int row) const {
    const auto entry = static_cast<size_t>(row);
    return entry < devices_.size() ? KnownDeviceKind(devices_[entry]) : kLinkKindBluetooth;
}

void CCommunicateSetDlg::EnableButtons(bool enable) {
    for (const int id : kButtons) {
        EnableDlgItem(id, enable);
    }
}

bool CCommunicateSetDlg::TakeSelectedRow(int& row) {
    const ListCtrl* list = DeviceList();
    row = list->GetFirstSelectedItem();
    if (row < 0) {
        MessageBox(kNoSelection);
        return false;
    }
    rowName_ = list->GetItemText(row, kNameColumn);
    rowAddress_ = list->GetItemText(row, kAddressColumn);
    rowPin_ = list->GetItemText(row, kPinColumn);
    return true;
}

void CCommunicateSetDlg::OnSearch() {
    if (!AdapterReady()) {
        return;
    }
    int error = 0;
    bool saved = true;
    {
        WaitCursor wait(Prompts());
        EnableButtons(false);
        DeviceList()->DeleteAllItems();
        error = control_.Link().Inquire();
        if (error == 0) {
            MergeFoundDevices(devices_, InquiryTexts(control_.Link()));
            saved = listFile_.Save(devices_);
        }
        FillList();
        EnableButtons(true);
    }
    if (error != 0) {
        MessageBox(kSearchFailed);
    } else if (!saved) {
        MessageBox(DeviceListSaveFailedText(listFile_));
    }
}

void CCommunicateSetDlg::OnAdd() {
    CCommunicateAddDlg add(serialDevices_(), this);
    if (add.DoModal() != kIdOk) {
        return;
    }
    if (IsListed(devices_, add.device)) {
        MessageBox(kAlreadyListed);
        return;
    }
    devices_.push_back(add.device);
    FillList();
    DeviceList()->SelectItem(DeviceList()->GetItemCount() - 1);
    SaveList();
}

// Only a Bluetooth pairing takes a PIN: one typed for another kind would be
// shown in its row and never used, so the surveyor is told instead.
void CCommunicateSetDlg::OnChangePin() {
    int row = -1;
    if (!TakeSelectedRow(row)) {
        return;
    }
    if (RowKind(row) != kLinkKindBluetooth) {
        MessageBox(kNoPinNeeded);
        return;
    }
    CCommunicatePINDlg pinDialog(this);
    pinDialog.pinText = rowPin_;
    if (pinDialog.DoModal() != kIdOk) {
        return;
    }
    // Only the row changes: the list entry and the file keep the stored PIN.
    rowPin_ = pinDialog.pinText;
    DeviceList()->SetItemText(row, kPinColumn, rowPin_);
}

void CCommunicateSetDlg::OnDelete() {
    int row = -1;
    if (!TakeSelectedRow(row)) {
        return;
    }
    DeviceList()->DeleteItem(row);
    std::vector<KnownDevice> before = devices_;
    if (static_cast<size_t>(row) < devices_.size()) {
        devices_.erase(devices_.begin() + row);
    }
    FillList();
    // The file still holds the entry: so does the list on screen, before the surveyor is told.
    if (!listFile_.Save(devices_)) {
        devices_ = std::move(before);
        FillList();
        MessageBox(DeviceListSaveFailedText(listFile_));
    }
}

void CCommunicateSetDlg::OnConnect() {
    UpdateData(true);
    if (control_.IsConnected()) {
        control_.Disconnect();
        UpdateButtons();
        return;
    }
    ConnectSelected();
}

void CCommunicateSetDlg::ConnectSelected() {
    int row = -1;
    if (!TakeSelectedRow(row)) {
        return;
    }
    const int32_t kind = RowKind(row);
    if (!IsKnownLinkKind(kind)) {
        MessageBox(kUnknownKind);
        return;
    }
    // Only Bluetooth needs the adapter.
    if (kind == kLinkKindBluetooth && !AdapterReady()) {
        return;
    }
    // The row, not the list entry: a PIN just changed in the row is used.
    if (kind == kLinkKindBluetooth) {
        record_ = DeviceRecord{kind, rowName_, ParseHexAddress(rowAddress_), rowPin_};
    } else {
        record_ = DeviceRecord{kind, rowName_, 0, u"", rowAddress_};
    }
    control_.SetDevice(record_);
    control_.SetReceiveTarget(&dataTarget_);
    if (!control_.Connect()) {
        MessageBox(ConnectFailedText(kind));
        return;
    }
    const bool linked = ReadConfiguration();
    UpdateButtons();
    if (linked) {
        RememberPin(row);
    }
}

bool CCommunicateSetDlg::ReadConfiguration() {
    CProgressDlg progress([this](ProgressTarget& target) { control_.SetProgressTarget(&target); },
                          this);
    configRead = 0;
    control_.SetProgressTarget(&progress);
    control_.ClearCommands();
    control_.AddCommand(MakeCommandItem(u"GET,ALL", u"读取当前配置信息"));
    control_.StartBatch(u"读取配置");
    const bool read = progress.DoModal() == kIdOk;
    const bool linked = control_.IsConnected();
    if (read) {
        configRead = 1;
    } else {
        control_.Disconnect();
    }
    control_.SetProgressTarget(nullptr);
    return linked;
}

// The receiver took the PIN typed into its row: it is remembered, so the
// surveyor does not type it again next time.
void CCommunicateSetDlg::RememberPin(int row) {
    const auto entry = static_cast<size_t>(row);
    if (entry >= devices_.size() || devices_[entry].address != rowAddress_ ||
        devices_[entry].pin == rowPin_ || RowKind(row) != kLinkKindBluetooth) {
        return;
    }
    devices_[entry].pin = rowPin_;
    SaveList();
}

bool CCommunicateSetDlg::AdapterReady() {
    const AdapterState state = control_.Link().PrepareAdapter();
    if (state == AdapterState::Usable) {
        return true;
    }
    MessageBox(AdapterStateText(state));
    return false;
}

bool CCommunicateSetDlg::SaveList() {
    if (listFile_.Save(devices_)) {
        return true;
    }
    MessageBox(DeviceListSaveFailedText(listFile_));
    return false;
}

void CCommunicateSetDlg::TellWhenShown(std::u16string text) {
    if (text.empty()) {
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, text = std::move(text)] { MessageBox(text); }, Qt::QueuedConnection);
}

} // namespace quorlex
