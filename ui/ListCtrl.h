#pragma once

#include <QTableWidget>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

enum class ColumnAlign { Left, Right, Center };

// How wide a column is kept as rows come and go and the list changes size.
enum class ColumnFit {
    Fixed,   // the width it was inserted with
    Content, // as wide as its heading and its widest text
    Fill,    // what the other columns leave, but never narrower than Content
};

// Extended styles of a report list, as the dialogs pass them.
namespace list_style {
inline constexpr uint32_t kGridLines = 0x1;
inline constexpr uint32_t kHeaderDragDrop = 0x10;
inline constexpr uint32_t kFullRowSelect = 0x20;
} // namespace list_style

// A report-view list with a header: rows of texts, one selected row at most.
class ListCtrl : public QTableWidget {
public:
    explicit ListCtrl(QWidget* parent = nullptr);
    ~ListCtrl() override;
    ListCtrl(const ListCtrl&) = delete;
    ListCtrl& operator=(const ListCtrl&) = delete;

    void SetExtendedStyle(uint32_t styles);
    uint32_t GetExtendedStyle() const { return extendedStyle_; }
    int InsertColumn(int column, std::u16string_view heading, ColumnAlign align, int width);
    void SetColumnFit(int column, ColumnFit fit);

    // Inserts before row (appends when row is past the end); returns the new row's index.
    int InsertItem(int row, std::u16string_view text);
    bool SetItemText(int row, int column, std::u16string_view text);
    std::u16string GetItemText(int row, int column) const;
    bool DeleteItem(int row);
    void DeleteAllItems();
    int GetItemCount() const { return rowCount(); }

    // The first row in the selected state, or -1.
    int GetFirstSelectedItem() const;
    // Gives the row the focused and selected states.
    void SelectItem(int row);
    void EnsureVisible(int row);

    // Shows the row's first text in bold with a check mark, and tip as the
    // row's tool tip; or plainly again. The mark moves with its row.
    void SetItemMark(int row, bool marked, std::u16string_view tip = {});
    bool IsItemMarked(int row) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QTableWidgetItem* MakeCell(int column, std::u16string_view text) const;
    int ContentWidth(int column) const;
    std::vector<int> FittedWidths() const;
    void FitColumns();

    uint32_t extendedStyle_ = 0;
    std::vector<ColumnAlign> aligns_;
    std::vector<ColumnFit> fits_;
    bool fitting_ = false;
    std::vector<QMetaObject::Connection> refitConnections_;
};

} // namespace quorlex
