#pragma once

#include <span>
#include <string_view>

namespace quorlex {

// Command numbers of the menus; the framework's own commands keep their usual values.
namespace command {
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditUndo = 57643;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kDeviceDialog = 32784; // "测试"
inline constexpr int kWireLog = 32790;      // "通讯记录": starts or stops the wire log
inline constexpr int kReadCurrent = 32777;  // "当前配置"
inline constexpr int kReadSlot1 = 32778;    // "配置1" .. "配置5" follow on
} // namespace command

// An entry is a command (command != 0), a separator, or a popup (popup not empty).
struct MenuItem {
    std::u16string_view text;
    int command = 0;
    std::span<const MenuItem> popup;
    bool separator = false;
};

struct MenuTemplate {
    int id = 0;
    std::span<const MenuItem> items;
};

struct Accelerator {
    char16_t key = 0; // upper-case letter, pressed with Ctrl
    int command = 0;
};

// Menu 128 (frame menu bar) and 139 (the settings dialog's read pop-up); nullptr otherwise.
const MenuTemplate* FindMenuTemplate(int menuId);

// Accelerators of the frame menu (128).
std::span<const Accelerator> FrameAccelerators();

// String table entry; empty for an unknown id.
std::u16string_view LoadResourceString(int stringId);

inline constexpr int kFrameResourceId = 128;
inline constexpr int kReadMenuId = 139;

} // namespace quorlex
