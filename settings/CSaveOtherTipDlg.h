#pragma once

#include "ui/Dialog.h"

namespace quorlex {

// Asks what "保存" does while the receiver's current configuration is shown:
// 0 apply, 1 apply and store into slot slotIndex + 1.
class CSaveOtherTipDlg final : public Dialog {
public:
    explicit CSaveOtherTipDlg(QWidget* parent = nullptr);

    int saveChoice = 0;
    int slotIndex = 0; // combo index: 0 is "配置1"

protected:
    void DoDataExchange(DataExchange& dx) override;
    void OnCommand(int id, Notification code) override;
};

} // namespace quorlex
