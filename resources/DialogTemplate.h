#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quorlex {

// Control id of texts and frames that code never addresses.
inline constexpr int kNoControlId = -1;

enum class ControlKind {
    Static,
    GroupBox,
    Button,
    RadioButton,
    CheckBox,
    Edit,
    DropDownList, // combo box without an edit field
    DropDown,     // combo box with an edit field (free text)
    ListView,     // report view with a header
    ProgressBar,
    TabControl,
    Icon,
};

namespace style {
inline constexpr uint32_t kHidden = 0x1;
inline constexpr uint32_t kDisabled = 0x2;
inline constexpr uint32_t kDefaultButton = 0x4;
inline constexpr uint32_t kSorted = 0x8;
inline constexpr uint32_t kGroup = 0x10; // first control of a radio group
inline constexpr uint32_t kPassword = 0x20;
inline constexpr uint32_t kReadOnly = 0x40;
inline constexpr uint32_t kCentered = 0x80;
inline constexpr uint32_t kRedText = 0x100;
} // namespace style

// Rectangles are x, y, width, height in dialog units. For combo boxes the
// height includes the dropped-down list.
struct ControlTemplate {
    int id = kNoControlId;
    ControlKind kind = ControlKind::Static;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::u16string_view text;
    uint32_t styles = 0;
    std::u16string_view items; // initial combo list, items separated by '\n'
};

struct DialogTemplate {
    int id = 0;
    std::u16string_view caption;
    int width = 0; // client size in dialog units
    int height = 0;
    std::span<const ControlTemplate> controls;

    const ControlTemplate* FindControl(int controlId) const;
};

// nullptr for an unknown id.
const DialogTemplate* FindDialogTemplate(int templateId);

std::span<const DialogTemplate* const> AllDialogTemplates();

} // namespace quorlex
