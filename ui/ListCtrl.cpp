#include "ui/ListCtrl.h"

#include "ui/QtText.h"

#include <QFontMetrics>
#include <QHeaderView>

#include <algorithm>

namespace quorlex {
namespace {

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
}

void ListCtrl::SetExtendedStyle(uint32_t styles) {
    extendedStyle = styles;
    setShowGrid((styles & list_style::kGridLines) != 0);
    horizontalHeader()->setSectionsMovable((styles & list_style::kHeaderDragDrop) != 0);
    setSelectionBehavior((styles & list_style::kFullRowSelect) != 0
                             ? QAbstractItemView::SelectRows
                             : QAbstractItemView::SelectItems);
}

int ListCtrl::InsertColumn(int column, std::u16string_view heading, ColumnAlign align, int width) {
    column = std::clamp(column, 0, columnCount());
    insertColumn(column);
    aligns.insert(aligns.begin() + column, align);
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

QTableWidgetItem* ListCtrl::MakeCell(int column, std::u16string_view text) const {
    auto* cell = new QTableWidgetItem(ToQString(text));
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    cell->setTextAlignment(ToQt(aligns[static_cast<size_t>(column)]));
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

void ListCtrl::EnsureVisible(int row) {
    if (QTableWidgetItem* cell = item(row, 0)) {
        scrollToItem(cell, QAbstractItemView::EnsureVisible);
    }
}

} // namespace quorlex
