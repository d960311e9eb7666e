#pragma once

#include <string_view>

namespace quorlex {

class CWorkSettingDlg;

// As the surveyor does it: "通讯", "搜索", the receiver of that name,
// "连接" (which reads its configuration), then "退出" of the device dialog.
// Call it while the working screen runs; false when the read did not succeed.
bool ConnectFromWorkingScreen(CWorkSettingDlg& screen, std::u16string_view name);

} // namespace quorlex
