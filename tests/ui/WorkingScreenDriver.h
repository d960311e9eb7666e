#pragma once

namespace quorlex {

class CWorkSettingDlg;

// As the surveyor does it: "通讯", "搜索", the receiver of the given row,
// "连接" (which reads its configuration), then "退出" of the device dialog.
// Call it while the working screen runs; false when the read did not succeed.
bool ConnectFromWorkingScreen(CWorkSettingDlg& screen, int row);

} // namespace quorlex
