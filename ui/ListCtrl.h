#pragma once

#include <QTableWidget>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

enum class ColumnAlign { Left, Right, Center };

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

    void SetExtendedStyle(uint32_t styles);
    uint32_t GetExtendedStyle() const { return extendedStyle; }
    int InsertColumn(int column, std::u16string_view heading, ColumnAlign align, int width);

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

private:
    QTableWidgetItem* MakeCell(int column, std::u16string_view text) const;

    uint32_t extendedStyle = 0;
    std::vector<ColumnAlign> aligns;
};

} // namespace quorlex
