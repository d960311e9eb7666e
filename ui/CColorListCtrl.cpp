#include "ui/CColorListCtrl.h"

#include <QColor>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>

namespace quorlex {
namespace {

QColor FromColourRef(uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

// Sets the text background of each item from the control's row map before
// the default drawing runs.
class RowColourDelegate final : public QStyledItemDelegate {
public:
    explicit RowColourDelegate(CColorListCtrl& list) : QStyledItemDelegate(&list), list_(list) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.row() < 0) {
            return;
        }
        if (auto colour = list_.GetItemColor(static_cast<uint32_t>(index.row()))) {
            option->backgroundBrush = FromColourRef(*colour);
        }
    }

private:
    const CColorListCtrl& list_;
};

} // namespace

CColorListCtrl::CColorListCtrl(QWidget* parent) : ListCtrl(parent) {
    rowColours_.reserve(17);
    setItemDelegate(new RowColourDelegate(*this));
}

void CColorListCtrl::SetItemColor(uint32_t row, uint32_t colour) {
    rowColours_[row] = colour;
    viewport()->update();
}

std::optional<uint32_t> CColorListCtrl::GetItemColor(uint32_t row) const {
    auto found = rowColours_.find(row);
    if (found == rowColours_.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace quorlex
