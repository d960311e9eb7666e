#include "resources/MenuTemplate.h"

#include <array>

namespace quorlex {
namespace {

constexpr MenuItem Command(std::u16string_view text, int id) {
    return MenuItem{text, id, {}, false};
}

constexpr MenuItem Popup(std::u16string_view text, std::span<const MenuItem> items) {
    return MenuItem{text, 0, items, false};
}

constexpr MenuItem kSeparator{u"", 0, {}, true};

// "退出" is the desktop's way out; the handheld's menu had none.
constexpr MenuItem kFileMenu[] = {
    Command(u"保存", command::kFileSave),
    kSeparator,
    Command(u"退出", command::kAppExit),
};

constexpr MenuItem kEditMenu[] = {
    Command(u"撤消", command::kEditUndo),  kSeparator,
    Command(u"剪切", command::kEditCut),   Command(u"复制", command::kEditCopy),
    Command(u"粘贴", command::kEditPaste),
};

constexpr MenuItem kToolsMenu[] = {
    Command(u"通讯记录...", command::kWireLog),
    kSeparator,
    Command(u"关于 Quorlex...", command::kAppAbout),
};

constexpr MenuItem kFramePopup[] = {
    Popup(u"文件", kFileMenu),
    Popup(u"编辑", kEditMenu),
    Popup(u"工具", kToolsMenu),
    Command(u"测试", command::kDeviceDialog),
};

constexpr MenuItem kFrameBar[] = {
    Popup(u"菜单", kFramePopup),
};

constexpr MenuItem kReadPopup[] = {
    Command(u"当前配置", command::kReadCurrent), Command(u"配置1", command::kReadSlot1),
    Command(u"配置2", command::kReadSlot1 + 1),  Command(u"配置3", command::kReadSlot1 + 2),
    Command(u"配置4", command::kReadSlot1 + 3),  Command(u"配置5", command::kReadSlot1 + 4),
};

constexpr MenuTemplate kFrameMenu{kFrameResourceId, kFrameBar};
constexpr MenuTemplate kReadMenu{kReadMenuId, kReadPopup};

constexpr Accelerator kFrameAccelerators[] = {
    {u'N', command::kFileNew},  {u'Z', command::kEditUndo},  {u'X', command::kEditCut},
    {u'C', command::kEditCopy}, {u'V', command::kEditPaste}, {u'Q', command::kAppExit},
};

} // namespace

const MenuTemplate* FindMenuTemplate(int menuId) {
    if (menuId == kFrameMenu.id) {
        return &kFrameMenu;
    }
    if (menuId == kReadMenu.id) {
        return &kReadMenu;
    }
    return nullptr;
}

std::span<const Accelerator> FrameAccelerators() {
    return kFrameAccelerators;
}

std::u16string_view LoadResourceString(int stringId) {
    if (stringId == kFrameResourceId) {
        return u"Quorlex\n\nQuorlex\n\n\nQuorlex.Document\nQuorlex.Document";
    }
    return {};
}

} // namespace quorlex
