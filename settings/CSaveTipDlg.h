#pragma once

#include "ui/Dialog.h"

namespace quorlex {

// Asks what "保存" does while a stored configuration slot is shown:
// 0 apply and save, 1 apply without saving, 2 save without applying.
class CSaveTipDlg final : public Dialog {
public:
    explicit CSaveTipDlg(QWidget* parent = nullptr);

    int saveChoice = 0;
    int slotNumber = 1; // 1 .. 5, set by the caller

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
};

} // namespace quorlex
