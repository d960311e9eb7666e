#include "resources/DialogTemplate.h"

#include <algorithm>
#include <array>

namespace quorlex {
namespace {

using K = ControlKind;
namespace s = style;

// Every field spelt out, so a table row reads like the template it copies.
constexpr ControlTemplate C(int id, ControlKind kind, int x, int y, int width, int height,
                            std::u16string_view text, uint32_t styles = 0,
                            std::u16string_view items = {}) {
    ControlTemplate control;
    control.id = id;
    control.kind = kind;
    control.x = x;
    control.y = y;
    control.width = width;
    control.height = height;
    control.text = text;
    control.styles = styles;
    control.items = items;
    return control;
}

// About box, portrait screens. Button 1 stands in for the handheld's title-bar OK.
constexpr ControlTemplate kAboutPortrait[] = {
    C(kNoControlId, K::Icon, 11, 17, 21, 20, u""),
    C(202, K::Static, 38, 10, 96, 8, u"Quorlex 1.0 Bate"),
    C(1046, K::Static, 38, 25, 96, 8, u"编译日期:"),
    C(1, K::Button, 40, 135, 58, 14, u"确定", s::kDefaultButton),
};

// About box, landscape screens.
constexpr ControlTemplate kAboutLandscape[] = {
    C(kNoControlId, K::Icon, 11, 17, 21, 20, u""),
    C(202, K::Static, 38, 10, 130, 8, u"Quorlex 1.0 版"),
    C(203, K::Static, 38, 25, 130, 8, u"版权所有 (C) 2017"),
    C(1, K::Button, 61, 88, 58, 14, u"确定", s::kDefaultButton),
};

constexpr ControlTemplate kSettings[] = {
    C(1045, K::Static, 2, 5, 72, 8, u"当前配置及工作模式", s::kRedText),
    C(1044, K::DropDownList, 74, 3, 63, 103, u"", 0, u"电台\n网络中继\n电台中继\n基站网络"),
    C(1026, K::TabControl, 1, 14, 135, 112, u""),
    C(1033, K::Button, 1, 126, 68, 14, u"通讯", s::kDefaultButton),
    C(1034, K::Button, 68, 126, 68, 14, u"读取"),
    C(1036, K::Button, 1, 139, 68, 14, u"保存"),
    C(1, K::Button, 68, 139, 68, 14, u"退出"),
    C(1027, K::Button, 1, 99, 46, 14, u"应用", s::kHidden | s::kDisabled),
    C(1035, K::Button, 90, 97, 46, 14, u"关于", s::kHidden | s::kDisabled),
};

constexpr ControlTemplate kDevices[] = {
    C(1032, K::ListView, 5, 8, 126, 118, u""),     C(1033, K::Button, 5, 126, 43, 14, u"搜索"),
    C(1034, K::Button, 47, 126, 43, 14, u"PIN码"), C(1035, K::Button, 89, 126, 43, 14, u"删除"),
    C(1036, K::Button, 5, 139, 43, 14, u"连接"),   C(1038, K::Button, 47, 139, 43, 14, u"添加"),
    C(1037, K::Button, 89, 139, 43, 14, u"退出"),
};

// Adds a receiver reached over TCP or a serial line. The address row holds
// either the host edit or the device combo, the port row either the port
// edit or the rate list, as the kind asks.
constexpr ControlTemplate kAddDevice[] = {
    C(kNoControlId, K::Static, 8, 12, 34, 8, u"类型："),
    C(1070, K::DropDownList, 44, 10, 82, 40, u"", 0, u"网络(TCP)\n串口"),
    C(kNoControlId, K::Static, 8, 30, 34, 8, u"名称："),
    C(1071, K::Edit, 44, 28, 82, 12, u""),
    C(1072, K::Static, 8, 48, 34, 8, u"地址："),
    C(1073, K::Edit, 44, 46, 82, 12, u""),
    C(1074, K::DropDown, 44, 46, 82, 70, u"", style::kHidden),
    C(1075, K::Static, 8, 66, 34, 8, u"端口："),
    C(1076, K::Edit, 44, 64, 82, 12, u""),
    C(1077, K::DropDownList, 44, 64, 82, 70, u"", style::kHidden),
    C(1078, K::Static, 8, 84, 118, 40, u""),
    C(1, K::Button, 1, 136, 65, 14, u"确定"),
    C(2, K::Button, 66, 136, 65, 14, u"取消"),
};

constexpr ControlTemplate kProgress[] = {
    C(kNoControlId, K::Static, 5, 7, 20, 8, u"进度:"), C(1039, K::ProgressBar, 5, 16, 130, 14, u""),
    C(1040, K::ListView, 5, 31, 130, 109, u""),        C(1, K::Button, 4, 139, 132, 14, u"确定"),
    C(2, K::Button, 4, 139, 132, 14, u"取消"),
};

constexpr ControlTemplate kPin[] = {
    C(kNoControlId, K::Static, 24, 10, 29, 8, u"PIN码："),
    C(1041, K::Edit, 23, 27, 92, 12, u""),
    C(1, K::Button, 23, 137, 92, 14, u"确定"),
};

constexpr ControlTemplate kSaveTip[] = {
    C(1049, K::Static, 9, 24, 41, 8, u"对当前配置"),
    C(kNoControlId, K::Static, 59, 24, 65, 8, u"您可以做以下操作"),
    C(kNoControlId, K::GroupBox, 9, 32, 114, 64, u""),
    C(1006, K::RadioButton, 18, 42, 87, 10, u"立即应用并保存配置", s::kGroup),
    C(1047, K::RadioButton, 18, 59, 96, 10, u"立即应用但不保存配置"),
    C(1007, K::RadioButton, 18, 76, 82, 10, u"不应用仅保存配置"),
    C(1, K::Button, 9, 135, 58, 14, u"确定"),
    C(2, K::Button, 66, 135, 58, 14, u"取消"),
};

constexpr ControlTemplate kSaveOtherTip[] = {
    C(kNoControlId, K::GroupBox, 10, 20, 114, 72, u"当前配置可以进行以下操作"),
    C(1006, K::RadioButton, 19, 40, 87, 10, u"立即应用", s::kGroup),
    C(1047, K::RadioButton, 19, 56, 80, 10, u"立即应用并保存为"),
    C(1048, K::DropDownList, 19, 72, 68, 69, u"", s::kDisabled,
      u"配置1\n配置2\n配置3\n配置4\n配置5"),
    C(1, K::Button, 9, 135, 58, 14, u"确定"),
    C(2, K::Button, 66, 135, 58, 14, u"取消"),
};

constexpr ControlTemplate kFiveBaud[] = {
    C(kNoControlId, K::GroupBox, 4, 3, 125, 101, u"更改"),
    C(kNoControlId, K::Static, 10, 20, 51, 8, u"五芯口波特率:"),
    C(1060, K::DropDown, 62, 18, 61, 103, u"", 0, u"4800\n9600\n19200\n38400\n57600\n115200"),
    C(1, K::Button, 1, 135, 65, 14, u"设置"),
    C(2, K::Button, 65, 135, 65, 14, u"退出"),
};

// Radio page. The power row is part of the template but never shown.
constexpr ControlTemplate kRadioPage[] = {
    C(kNoControlId, K::Static, 6, 8, 28, 8, u"通道:"),
    C(1019, K::DropDownList, 36, 6, 90, 120, u""),
    C(kNoControlId, K::Static, 6, 23, 28, 8, u"频率:"),
    C(1020, K::Edit, 36, 21, 90, 12, u"", s::kDisabled),
    C(kNoControlId, K::Static, 6, 38, 28, 8, u"协议:"),
    C(1005, K::DropDownList, 36, 36, 90, 80, u""),
    C(kNoControlId, K::Static, 6, 52, 28, 8, u"功率:", s::kHidden),
    C(1061, K::RadioButton, 36, 51, 30, 10, u"低", s::kHidden | s::kGroup),
    C(1062, K::RadioButton, 70, 51, 30, 10, u"高", s::kHidden),
    C(1033, K::Button, 6, 63, 120, 14, u"频率设置"),
    C(1034, K::Button, 6, 79, 120, 14, u"五芯口波特率"),
};

// Radio relay page: the transmit group above the receive group.
constexpr ControlTemplate kRadioRelayPage[] = {
    C(kNoControlId, K::GroupBox, 3, 1, 126, 46, u"发送"),
    C(kNoControlId, K::Static, 9, 13, 26, 8, u"通道："),
    C(1014, K::DropDownList, 37, 11, 86, 120, u""),
    C(kNoControlId, K::Static, 9, 24, 26, 8, u"频率："),
    C(1009, K::Edit, 37, 22, 86, 11, u"", s::kDisabled),
    C(kNoControlId, K::Static, 9, 35, 26, 8, u"协议："),
    C(1015, K::DropDownList, 37, 33, 86, 80, u""),
    C(kNoControlId, K::GroupBox, 3, 48, 126, 46, u"接收"),
    C(kNoControlId, K::Static, 9, 60, 26, 8, u"通道："),
    C(1016, K::DropDownList, 37, 58, 86, 120, u""),
    C(kNoControlId, K::Static, 9, 71, 26, 8, u"频率："),
    C(1017, K::Edit, 37, 69, 86, 11, u"", s::kDisabled),
    C(kNoControlId, K::Static, 9, 82, 26, 8, u"协议："),
    C(1018, K::DropDownList, 37, 80, 86, 80, u""),
};

// Radio channel defaults: channels 1-8 on the left, 9-16 on the right.
constexpr ControlTemplate kRadioDefaults[] = {
    C(1006, K::RadioButton, 10, 3, 40, 10, u"发射", s::kGroup),
    C(1007, K::RadioButton, 60, 3, 40, 10, u"接收"),
    C(kNoControlId, K::GroupBox, 3, 14, 124, 102, u"电台通道频率"),
    C(kNoControlId, K::Static, 7, 27, 26, 8, u"通道1:"),
    C(1053, K::Edit, 33, 25, 30, 11, u""),
    C(kNoControlId, K::Static, 7, 38, 26, 8, u"通道2:"),
    C(1054, K::Edit, 33, 36, 30, 11, u""),
    C(kNoControlId, K::Static, 7, 49, 26, 8, u"通道3:"),
    C(1009, K::Edit, 33, 47, 30, 11, u""),
    C(kNoControlId, K::Static, 7, 60, 26, 8, u"通道4:"),
    C(1055, K::Edit, 33, 58, 30, 11, u""),
    C(kNoControlId, K::Static, 7, 71, 26, 8, u"通道5:"),
    C(1056, K::Edit, 33, 69, 30, 11, u""),
    C(kNoControlId, K::Static, 7, 82, 26, 8, u"通道6:"),
    C(1057, K::Edit, 33, 80, 30, 11, u""),
    C(kNoControlId, K::Static, 7, 93, 26, 8, u"通道7:"),
    C(1058, K::Edit, 33, 91, 30, 11, u""),
    C(kNoControlId, K::Static, 7, 104, 26, 8, u"通道8:"),
    C(1059, K::Edit, 33, 102, 30, 11, u""),
    C(kNoControlId, K::Static, 66, 27, 28, 8, u"通道9:"),
    C(1060, K::Edit, 94, 25, 30, 11, u""),
    C(kNoControlId, K::Static, 66, 38, 28, 8, u"通道10:"),
    C(1061, K::Edit, 94, 36, 30, 11, u""),
    C(kNoControlId, K::Static, 66, 49, 28, 8, u"通道11:"),
    C(1010, K::Edit, 94, 47, 30, 11, u""),
    C(kNoControlId, K::Static, 66, 60, 28, 8, u"通道12:"),
    C(1062, K::Edit, 94, 58, 30, 11, u""),
    C(kNoControlId, K::Static, 66, 71, 28, 8, u"通道13:"),
    C(1063, K::Edit, 94, 69, 30, 11, u""),
    C(kNoControlId, K::Static, 66, 82, 28, 8, u"通道14:"),
    C(1064, K::Edit, 94, 80, 30, 11, u""),
    C(kNoControlId, K::Static, 66, 93, 28, 8, u"通道15:"),
    C(1065, K::Edit, 94, 91, 30, 11, u""),
    C(kNoControlId, K::Static, 66, 104, 28, 8, u"通道16:"),
    C(1066, K::Edit, 94, 102, 30, 11, u""),
    C(1033, K::Button, 1, 119, 128, 14, u"恢复默认设置"),
    C(1, K::Button, 1, 135, 65, 14, u"设置"),
    C(2, K::Button, 65, 135, 65, 14, u"退出"),
};

// Network relay page; "连接测试" has no action and stays hidden, below what a
// page shows in the working screen's tab.
constexpr ControlTemplate kNetWork[] = {
    C(kNoControlId, K::Static, 6, 5, 30, 8, u"IP:"),
    C(1029, K::DropDown, 38, 3, 89, 90, u""),
    C(kNoControlId, K::Static, 6, 19, 30, 8, u"端口:"),
    C(1030, K::DropDown, 38, 17, 89, 90, u"", s::kSorted),
    C(kNoControlId, K::Static, 6, 33, 30, 8, u"接入点:"),
    C(1031, K::DropDown, 38, 31, 89, 90, u""),
    C(kNoControlId, K::Static, 6, 47, 30, 8, u"用户名:"),
    C(1010, K::Edit, 38, 45, 89, 12, u""),
    C(kNoControlId, K::Static, 6, 61, 30, 8, u"密码:"),
    C(1025, K::Edit, 38, 59, 89, 12, u""),
    C(1033, K::Button, 4, 73, 62, 13, u"设置APN"),
    C(1034, K::Button, 65, 73, 62, 13, u"中继设置"),
    C(1024, K::Button, 4, 85, 62, 13, u"获取接入点"),
    C(1035, K::Button, 65, 85, 62, 13, u"接入点详情"),
    C(1013, K::Button, 65, 99, 62, 13, u"连接测试", s::kHidden),
};

// Base network page: the buttons right under the fields, as on the relay page.
constexpr ControlTemplate kBaseNet[] = {
    C(kNoControlId, K::Static, 6, 5, 30, 8, u"IP:"),
    C(1029, K::DropDown, 38, 3, 89, 90, u""),
    C(kNoControlId, K::Static, 6, 19, 30, 8, u"端口:"),
    C(1030, K::DropDown, 38, 17, 89, 90, u"", s::kSorted),
    C(kNoControlId, K::Static, 6, 33, 30, 8, u"接入点:"),
    C(1063, K::Edit, 38, 31, 89, 12, u""),
    C(1033, K::Button, 4, 47, 62, 13, u"设置APN"),
    C(1034, K::Button, 65, 47, 62, 13, u"五芯口波特率"),
};

constexpr ControlTemplate kNetWorkRelay[] = {
    C(kNoControlId, K::GroupBox, 4, 3, 124, 76, u"发送"),
    C(kNoControlId, K::Static, 12, 20, 28, 8, u"通道："),
    C(1014, K::DropDownList, 42, 18, 78, 100, u""),
    C(kNoControlId, K::Static, 12, 38, 28, 8, u"频率："),
    C(1020, K::Edit, 42, 36, 78, 12, u"", s::kDisabled),
    C(kNoControlId, K::Static, 12, 56, 28, 8, u"协议："),
    C(1015, K::DropDownList, 42, 54, 78, 70, u""),
    C(1, K::Button, 1, 138, 65, 14, u"确定"),
    C(2, K::Button, 66, 138, 65, 14, u"取消"),
};

// Mount point details: the streams nearest first from a position, and the
// record behind the one chosen.
constexpr ControlTemplate kMountPointDetail[] = {
    C(kNoControlId, K::Static, 4, 5, 22, 8, u"纬度:"),
    C(1101, K::Edit, 26, 3, 38, 12, u""),
    C(kNoControlId, K::Static, 68, 5, 22, 8, u"经度:"),
    C(1102, K::Edit, 90, 3, 38, 12, u""),
    C(1103, K::Button, 4, 17, 62, 13, u"按距离排序"),
    C(1104, K::Button, 66, 17, 62, 13, u"基站位置"),
    C(1105, K::ListView, 4, 32, 124, 50, u""),
    C(1106, K::ListView, 4, 84, 124, 52, u""),
    C(1, K::Button, 1, 138, 65, 14, u"确定"),
    C(2, K::Button, 66, 138, 65, 14, u"取消"),
};

constexpr ControlTemplate kApn[] = {
    C(kNoControlId, K::Static, 8, 12, 34, 8, u"运营商:"),
    C(1003, K::DropDownList, 44, 10, 82, 70, u""),
    C(kNoControlId, K::Static, 8, 30, 34, 8, u"名称："),
    C(1004, K::Edit, 44, 28, 82, 12, u""),
    C(kNoControlId, K::Static, 8, 48, 34, 8, u"用户名:"),
    C(1010, K::Edit, 44, 46, 82, 12, u""),
    C(kNoControlId, K::Static, 8, 66, 34, 8, u"密码："),
    C(1025, K::Edit, 44, 64, 82, 12, u""),
    C(1, K::Button, 1, 136, 65, 14, u"确定"),
    C(2, K::Button, 66, 136, 65, 14, u"取消"),
};

constexpr DialogTemplate kAboutPortraitTemplate{100, u"About Quorlex", 138, 153, kAboutPortrait};
constexpr DialogTemplate kAboutLandscapeTemplate{200, u"关于 Quorlex", 180, 110, kAboutLandscape};
constexpr DialogTemplate kSettingsTemplate{135, u"设置", 138, 153, kSettings};
constexpr DialogTemplate kDevicesTemplate{136, u"蓝牙", 134, 153, kDevices};
constexpr DialogTemplate kProgressTemplate{137, u"状态提示", 139, 154, kProgress};
constexpr DialogTemplate kPinTemplate{201, u"", 132, 154, kPin};
constexpr DialogTemplate kAddDeviceTemplate{211, u"添加设备", 132, 154, kAddDevice};
constexpr DialogTemplate kSaveTipTemplate{205, u"保存提示", 135, 153, kSaveTip};
constexpr DialogTemplate kSaveOtherTipTemplate{206, u"保存提示", 135, 153, kSaveOtherTip};
constexpr DialogTemplate kFiveBaudTemplate{209, u"工作模式", 130, 149, kFiveBaud};
constexpr DialogTemplate kRadioPageTemplate{131, u"", 133, 130, kRadioPage};
constexpr DialogTemplate kRadioRelayPageTemplate{134, u"", 132, 127, kRadioRelayPage};
constexpr DialogTemplate kRadioDefaultsTemplate{208, u"电台默认设置", 130, 149, kRadioDefaults};

constexpr DialogTemplate kNetWorkTemplate{132, u"", 131, 117, kNetWork};
constexpr DialogTemplate kBaseNetTemplate{103, u"", 131, 117, kBaseNet};
constexpr DialogTemplate kNetWorkRelayTemplate{204, u"网络中继设置", 132, 154, kNetWorkRelay};
constexpr DialogTemplate kApnTemplate{133, u"APN设置", 132, 152, kApn};
constexpr DialogTemplate kMountPointDetailTemplate{210, u"接入点详情", 132, 154, kMountPointDetail};

constexpr const DialogTemplate* kTemplates[] = {
    &kAboutPortraitTemplate, &kAboutLandscapeTemplate,   &kSettingsTemplate,
    &kDevicesTemplate,       &kProgressTemplate,         &kPinTemplate,
    &kSaveTipTemplate,       &kSaveOtherTipTemplate,     &kFiveBaudTemplate,
    &kRadioPageTemplate,     &kRadioRelayPageTemplate,   &kRadioDefaultsTemplate,
    &kNetWorkTemplate,       &kBaseNetTemplate,          &kNetWorkRelayTemplate,
    &kApnTemplate,           &kMountPointDetailTemplate, &kAddDeviceTemplate,
};

} // namespace

const ControlTemplate* DialogTemplate::FindControl(int controlId) const {
    if (controlId == kNoControlId) {
        return nullptr;
    }
    auto found = std::find_if(controls.begin(), controls.end(),
                              [controlId](const ControlTemplate& c) { return c.id == controlId; });
    return found == controls.end() ? nullptr : &*found;
}

const DialogTemplate* FindDialogTemplate(int templateId) {
    for (const DialogTemplate* t : kTemplates) {
        if (t->id == templateId) {
            return t;
        }
    }
    return nullptr;
}

std::span<const DialogTemplate* const> AllDialogTemplates() {
    return kTemplates;
}

} // namespace quorlex
