#pragma once

#include "model/DatalinkConfig.h"
#include "ui/Dialog.h"

#include <string>

namespace quorlex {

// Edits the access point of the receiver's cellular modem. Choosing an
// operator fills in its usual values; every value may also be typed. Sends
// nothing: the page that opened it keeps the block.
class CWorkApnDlg final : public Dialog {
public:
    explicit CWorkApnDlg(QWidget* parent = nullptr);

    // Set before the dialog runs; holds the edited values once it ended with OK.
    ApnBlock block;

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnCommand(int id, Notification code) override;
    void OnOK() override;

private:
    std::u16string name_;
    std::u16string user_;
    std::u16string password_;
    int operatorIndex_ = -1;
};

} // namespace quorlex
