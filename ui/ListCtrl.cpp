#include "ui/ListCtrl.h"

#include "ui/QtText.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>

#include <algorithm>
#include <numeric>

namespace quorlex {
namespace {

constexpr int kMarkRole = Qt::UserRole + 1;

Qt::Alignment ToQt(ColumnAlign align) {
    switch (align) {
    case ColumnAlign::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case ColumnAlign::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case ColumnAlign::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

ListCtrl::ListCtrl(QWidget* parent) : QTableWidget(parent) {
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    const QAbstractItemModel* rows = model();
    const auto refit = [this] { FitColumns(); };
    refitConnections_ = {
        connect(rows, &QAbstractItemModel::rowsInserted, this, refit),
        connect(rows, &QAbstractItemModel::rowsRemoved, this, refit),
        connect(rows, &QAbstractItemModel::dataChanged, this, refit),
    };
}

ListCtrl::~ListCtrl() {
    // The model empties itself as it goes, after this object is no list any more.
    for (const QMetaObject::Connection& connection : refitConnections_) {
        disconnect(connection);
    }
}

void ListCtrl::SetExtendedStyle(uint32_t styles) {
    extendedStyle_ = styles;
    setShowGrid((styles & list_style::kGridLines) != 0);
    horizontalHeader()->setSectionsMovable((styles & list_style::kHeaderDragDrop) != 0);
    setSelectionBehavior((styles & list_style::kFullRowSelect) != 0
                             ? QAbstractItemView::SelectRows
                             : QAbstractItemView::SelectItems);
}

int ListCtrl::InsertColumn(int column, std::u16string_view heading, ColumnAlign align, int width) {
    column = std::clamp(column, 0, columnCount());
    insertColumn(column);
    aligns_.insert(aligns_.begin() + column, align);
    fits_.insert(fits_.begin() + column, ColumnFit::Fixed);
    auto* header = new QTableWidgetItem(ToQString(heading));
    header->setTextAlignment(ToQt(align));
    setHorizontalHeaderItem(column, header);
    setColumnWidth(column, width);
    for (int row = 0; row < rowCount(); ++row) {
        setItem(row, column, MakeCell(column, u""));
    }
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
    return column;
}

void ListCtrl::SetColumnFit(int column, ColumnFit fit) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    fits_[static_cast<size_t>(column)] = fit;
    FitColumns();
}

int ListCtrl::ContentWidth(int column) const {
    // The view's own measure counts the grid line too.
    return std::max(horizontalHeader()->sectionSizeHint(column), sizeHintForColumn(column));
}

std::vector<int> ListCtrl::FittedWidths() const {
    std::vector<int> widths;
    int contentColumns = 0;
    int fillColumns = 0;
    for (int column = 0; column < columnCount(); ++column) {
        const ColumnFit fit = fits_[static_cast<size_t>(column)];
        contentColumns += fit == ColumnFit::Content ? 1 : 0;
        fillColumns += fit == ColumnFit::Fill ? 1 : 0;
        widths.push_back(fit == ColumnFit::Fixed ? columnWidth(column) : ContentWidth(column));
    }
    int spare = viewport()->width() - std::accumulate(widths.begin(), widths.end(), 0);
    // A little air after each fitted text while there is room for it; the
    // fill columns share the rest.
    const int air = contentColumns == 0
                        ? 0
                        : std::clamp(spare / contentColumns, 0, fontMetrics().averageCharWidth());
    spare -= air * contentColumns;
    const int share = fillColumns == 0 ? 0 : std::max(0, spare) / fillColumns;
    for (size_t column = 0; column < widths.size(); ++column) {
        if (fits_[column] == ColumnFit::Content) {
            widths[column] += air;
        } else if (fits_[column] == ColumnFit::Fill) {
            widths[column] += share;
        }
    }
    return widths;
}

void ListCtrl::FitColumns() {
    // Setting a width can change the viewport (a scroll bar comes or goes),
    // which lands here again.
    if (fitting_ || std::all_of(fits_.begin(), fits_.end(),
                                [](ColumnFit fit) { return fit == ColumnFit::Fixed; })) {
        return;
    }
    fitting_ = true;
    const std::vector<int> widths = FittedWidths();
    for (int column = 0; column < columnCount(); ++column) {
        setColumnWidth(column, widths[static_cast<size_t>(column)]);
    }
    fitting_ = false;
}

void ListCtrl::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    FitColumns();
}

QTableWidgetItem* ListCtrl::MakeCell(int column, std::u16string_view text) const {
    auto* cell = new QTableWidgetItem(ToQString(text));
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    cell->setTextAlignment(ToQt(aligns_[static_cast<size_t>(column)]));
    return cell;
}

int ListCtrl::InsertItem(int row, std::u16string_view text) {
    if (columnCount() == 0) {
        return -1;
    }
    row = std::clamp(row, 0, rowCount());
    insertRow(row);
    for (int column = 0; column < columnCount(); ++column) {
        setItem(row, column, MakeCell(column, column == 0 ? text : u""));
    }
    return row;
}

bool ListCtrl::SetItemText(int row, int column, std::u16string_view text) {
    QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) {
        return false;
    }
    cell->setText(ToQString(text));
    return true;
}

std::u16string ListCtrl::GetItemText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell == nullptr ? std::u16string() : FromQString(cell->text());
}

bool ListCtrl::DeleteItem(int row) {
    if (row < 0 || row >= rowCount()) {
        return false;
    }
    removeRow(row);
    return true;
}

void ListCtrl::DeleteAllItems() {
    setRowCount(0);
}

int ListCtrl::GetFirstSelectedItem() const {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        if (first < 0 || index.row() < first) {
            first = index.row();
        }
    }
    return first;
}

void ListCtrl::SelectItem(int row) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListCtrl::SetItemMark(int row, bool marked, std::u16string_view tip) {
    if (row < 0 || row >= rowCount() || IsItemMarked(row) == marked) {
        return;
    }
    for (int column = 0; column < columnCount(); ++column) {
        item(row, column)->setToolTip(marked ? ToQString(tip) : QString());
    }
    // The first text only, so the row needs little more room than the others.
    QTableWidgetItem* first = item(row, 0);
    QFont bold = font();
    bold.setBold(marked);
    first->setFont(bold);
    first->setData(kMarkRole, marked);
    first->setIcon(marked ? QApplication::style()->standardIcon(QStyle::SP_DialogApplyButton)
                          : QIcon());
}

bool ListCtrl::IsItemMarked(int row) const {
    const QTableWidgetItem* cell = item(row, 0);
    return cell != nullptr && cell->data(kMarkRole).toBool();
}

void ListCtrl::EnsureVisible(int row) {
    if (QTableWidgetItem* cell = item(row, 0)) {
        scrollToItem(cell, QAbstractItemView::EnsureVisible);
    }
}

} // namespace quorlex
