#pragma once

#include "ui/Dialog.h"

#include <string>

namespace quorlex {

class ReceiverControl;

// Sets the baud rate of the receiver's five-pin port with one "COM" command;
// stays open after "设置" so it can be pressed again.
class CFiveBaudSetDlg final : public Dialog {
public:
    explicit CFiveBaudSetDlg(ReceiverControl& control, QWidget* parent = nullptr);

    // The opener sets it to the last rate the receiver reported.
    std::u16string baudText;

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;

private:
    ReceiverControl& control_;
};

} // namespace quorlex
