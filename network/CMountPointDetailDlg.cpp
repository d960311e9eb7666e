#include "network/CMountPointDetailDlg.h"

#include "ui/DataExchange.h"
#include "ui/ListCtrl.h"

#include <QSignalBlocker>

#include <utility>

namespace quorlex {
namespace {

constexpr int kDetailTemplate = 210;
constexpr int kLatitudeEdit = 1101;
constexpr int kLongitudeEdit = 1102;
constexpr int kOrderButton = 1103;
constexpr int kBaseButton = 1104;
constexpr int kStreamList = 1105;
constexpr int kDetailList = 1106;

constexpr uint32_t kListStyles = list_style::kFullRowSelect | list_style::kGridLines;
constexpr int kNameColumn = 0;
constexpr int kDistanceColumn = 1;
constexpr int kLabelColumn = 0;
constexpr int kValueColumn = 1;
constexpr int kColumnWidth = 80;

constexpr std::u16string_view kBadPosition = u"请输入有效的纬度(-90~90)和经度(-180~180)，单位为度!";

} // namespace

CMountPointDetailDlg::CMountPointDetailDlg(std::vector<StrRecord> records,
                                           std::optional<GeoPoint> basePosition, QWidget* parent)
    : Dialog(kDetailTemplate, parent), records_(std::move(records)), basePosition_(basePosition) {}

ListCtrl* CMountPointDetailDlg::StreamList() const {
    return DlgItem<ListCtrl>(kStreamList);
}

ListCtrl* CMountPointDetailDlg::DetailList() const {
    return DlgItem<ListCtrl>(kDetailList);
}

void CMountPointDetailDlg::DoDataExchange(DataExchange& dx) {
    DdxText(dx, kLatitudeEdit, latitudeText_);
    DdxText(dx, kLongitudeEdit, longitudeText_);
}

bool CMountPointDetailDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetUpColumns();
    EnableDlgItem(kBaseButton, basePosition_.has_value());
    // The receiver's own position is the one that matters most; without it
    // the table's order stands until a position is typed.
    if (basePosition_) {
        UseBasePosition();
    } else {
        OrderFrom(std::nullopt);
    }
    return true;
}

void CMountPointDetailDlg::SetUpColumns() {
    ListCtrl* streams = StreamList();
    ListCtrl* details = DetailList();
    if (streams->columnCount() > 0) {
        return;
    }
    streams->SetExtendedStyle(kListStyles);
    streams->InsertColumn(kNameColumn, u"接入点", ColumnAlign::Left, kColumnWidth);
    streams->InsertColumn(kDistanceColumn, u"距离(km)", ColumnAlign::Right, kColumnWidth);
    streams->SetColumnFit(kNameColumn, ColumnFit::Fill);
    streams->SetColumnFit(kDistanceColumn, ColumnFit::Content);
    details->SetExtendedStyle(kListStyles);
    details->InsertColumn(kLabelColumn, u"项目", ColumnAlign::Left, kColumnWidth);
    details->InsertColumn(kValueColumn, u"内容", ColumnAlign::Left, kColumnWidth);
    details->SetColumnFit(kLabelColumn, ColumnFit::Content);
    details->SetColumnFit(kValueColumn, ColumnFit::Fill);
    connect(streams, &QTableWidget::itemSelectionChanged, this, [this] { ShowDetails(); });
}

// Refills the list in the new order; the stream shown stays chosen.
void CMountPointDetailDlg::OrderFrom(std::optional<GeoPoint> from) {
    if (const StrRecord* shown = SelectedRecord()) {
        mountPoint = shown->mountPoint;
    }
    order_ = RankByDistance(records_, from);
    ListCtrl* list = StreamList();
    const QSignalBlocker quiet(list);
    list->DeleteAllItems();
    int chosen = -1;
    for (const RankedStream& entry : order_) {
        const int row = list->InsertItem(list->GetItemCount(), records_[entry.index].mountPoint);
        list->SetItemText(row, kDistanceColumn, DistanceText(entry.distanceKm));
        if (chosen < 0 && records_[entry.index].mountPoint == mountPoint) {
            chosen = row;
        }
    }
    ShowRow(chosen < 0 && !order_.empty() ? 0 : chosen);
}

void CMountPointDetailDlg::ShowRow(int row) {
    ListCtrl* list = StreamList();
    {
        const QSignalBlocker quiet(list);
        list->SelectItem(row);
    }
    list->EnsureVisible(row);
    ShowDetails();
}

void CMountPointDetailDlg::OrderFromTypedPosition() {
    UpdateData(true);
    const std::optional<GeoPoint> typed = TypedPosition(latitudeText_, longitudeText_);
    if (!typed) {
        MessageBox(kBadPosition);
        return;
    }
    OrderFrom(typed);
}

void CMountPointDetailDlg::UseBasePosition() {
    if (!basePosition_) {
        return;
    }
    latitudeText_ = DegreesText(basePosition_->latitude);
    longitudeText_ = DegreesText(basePosition_->longitude);
    UpdateData(false);
    OrderFrom(basePosition_);
}

void CMountPointDetailDlg::ShowDetails() {
    ListCtrl* details = DetailList();
    details->DeleteAllItems();
    const StrRecord* record = SelectedRecord();
    if (record == nullptr) {
        return;
    }
    for (const DetailRow& row : StrDetails(*record)) {
        const int at = details->InsertItem(details->GetItemCount(), row.label);
        details->SetItemText(at, kValueColumn, row.value);
    }
}

const StrRecord* CMountPointDetailDlg::SelectedRecord() const {
    const ListCtrl* list = StreamList();
    const int row = list == nullptr ? -1 : list->GetFirstSelectedItem();
    if (row < 0 || static_cast<size_t>(row) >= order_.size()) {
        return nullptr;
    }
    return &records_[order_[static_cast<size_t>(row)].index];
}

void CMountPointDetailDlg::OnCommand(int id, Notification code) {
    if (code == Notification::Clicked && id == kOrderButton) {
        OrderFromTypedPosition();
    } else if (code == Notification::Clicked && id == kBaseButton) {
        UseBasePosition();
    } else {
        Dialog::OnCommand(id, code);
    }
}

void CMountPointDetailDlg::OnOK() {
    if (const StrRecord* chosen = SelectedRecord()) {
        mountPoint = chosen->mountPoint;
    }
    EndDialog(kIdOk);
}

} // namespace quorlex
