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
    : Dialog(kDevicesTemplate, parent), control(control), dataTarget(dataTarget),
      listFile(DeviceListPath()),
      serialDevices(serialDevices ? std::move(serialDevices) : [] { return SerialDevicePaths(); }) {
}

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
    const DeviceListOpening opening = listFile.Open(devices);
    TellWhenShown(DeviceListOpeningText(listFile, opening));
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
    for (const KnownDevice& device : devices) {
        const int row = list->InsertItem(list->GetItemCount(), device.name);
        list->SetItemText(row, kAddressColumn, device.address);
        list->SetItemText(row, kPinColumn, device.pin);
    }
}

void CCommunicateSetDlg::UpdateButtons() {
    MarkConnectedRow();
    const bool connected = control.IsConnected();
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
    const bool connected = control.IsConnected();
    const DeviceRecord& device = control.Device();
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
    return entry < devices.size() ? KnownDeviceKind(devices[entry]) : kLinkKindBluetooth;
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
    rowName = list->GetItemText(row, kNameColumn);
    rowAddress = list->GetItemText(row, kAddressColumn);
    rowPin = list->GetItemText(row, kPinColumn);
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
        error = control.Link().Inquire();
        if (error == 0) {
            MergeFoundDevices(devices, InquiryTexts(control.Link()));
            saved = listFile.Save(devices);
        }
        FillList();
        EnableButtons(true);
    }
    if (error != 0) {
        MessageBox(kSearchFailed);
    } else if (!saved) {
        MessageBox(DeviceListSaveFailedText(listFile));
    }
}

void CCommunicateSetDlg::OnAdd() {
    CCommunicateAddDlg add(serialDevices(), this);
    if (add.DoModal() != kIdOk) {
        return;
    }
    if (IsListed(devices, add.device)) {
        MessageBox(kAlreadyListed);
        return;
    }
    devices.push_back(add.device);
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
    pinDialog.pinText = rowPin;
    if (pinDialog.DoModal() != kIdOk) {
        return;
    }
    // Only the row changes: the list entry and the file keep the stored PIN.
    rowPin = pinDialog.pinText;
    DeviceList()->SetItemText(row, kPinColumn, rowPin);
}

void CCommunicateSetDlg::OnDelete() {
    int row = -1;
    if (!TakeSelectedRow(row)) {
        return;
    }
    DeviceList()->DeleteItem(row);
    std::vector<KnownDevice> before = devices;
    if (static_cast<size_t>(row) < devices.size()) {
        devices.erase(devices.begin() + row);
    }
    FillList();
    // The file still holds the entry: so does the list on screen, before the surveyor is told.
    if (!listFile.Save(devices)) {
        devices = std::move(before);
        FillList();
        MessageBox(DeviceListSaveFailedText(listFile));
    }
}

void CCommunicateSetDlg::OnConnect() {
    UpdateData(true);
    if (control.IsConnected()) {
        control.Disconnect();
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
        record = DeviceRecord{kind, rowName, ParseHexAddress(rowAddress), rowPin};
    } else {
        record = DeviceRecord{kind, rowName, 0, u"", rowAddress};
    }
    control.SetDevice(record);
    control.SetReceiveTarget(&dataTarget);
    if (!control.Connect()) {
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
    CProgressDlg progress([this](ProgressTarget& target) { control.SetProgressTarget(&target); },
                          this);
    configRead = 0;
    control.SetProgressTarget(&progress);
    control.ClearCommands();
    control.AddCommand(MakeCommandItem(u"GET,ALL", u"读取当前配置信息"));
    control.StartBatch(u"读取配置");
    const bool read = progress.DoModal() == kIdOk;
    const bool linked = control.IsConnected();
    if (read) {
        configRead = 1;
    } else {
        control.Disconnect();
    }
    control.SetProgressTarget(nullptr);
    return linked;
}

// The receiver took the PIN typed into its row: it is remembered, so the
// surveyor does not type it again next time.
void CCommunicateSetDlg::RememberPin(int row) {
    const auto entry = static_cast<size_t>(row);
    if (entry >= devices.size() || devices[entry].address != rowAddress ||
        devices[entry].pin == rowPin || RowKind(row) != kLinkKindBluetooth) {
        return;
    }
    devices[entry].pin = rowPin;
    SaveList();
}

bool CCommunicateSetDlg::AdapterReady() {
    const AdapterState state = control.Link().PrepareAdapter();
    if (state == AdapterState::Usable) {
        return true;
    }
    MessageBox(AdapterStateText(state));
    return false;
}

bool CCommunicateSetDlg::SaveList() {
    if (listFile.Save(devices)) {
        return true;
    }
    MessageBox(DeviceListSaveFailedText(listFile));
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
