#pragma once

#include "ui/ListCtrl.h"

#include <cstdint>
#include <optional>
#include <unordered_map>

namespace quorlex {

// A report list that paints chosen rows with their own text background. The
// colour belongs to the row index, not to the row's content: it stays with
// the index when rows are inserted or deleted.
class CColorListCtrl : public ListCtrl {
public:
    explicit CColorListCtrl(QWidget* parent = nullptr);

    // colour: red in the low byte, then green, then blue.
    void SetItemColor(uint32_t row, uint32_t colour);
    std::optional<uint32_t> GetItemColor(uint32_t row) const;

private:
    std::unordered_map<uint32_t, uint32_t> rowColours_;
};

} // namespace quorlex
