#pragma once

#include "ui/Dialog.h"

#include <string>

namespace quorlex {

// Edits the PIN of one device row; any text is accepted, empty included.
class CCommunicatePINDlg final : public Dialog {
public:
    explicit CCommunicatePINDlg(QWidget* parent = nullptr);

    std::u16string pinText;

protected:
    void DoDataExchange(DataExchange& dx) override;
};

} // namespace quorlex
