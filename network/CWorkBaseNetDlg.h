#pragma once

#include "model/DatalinkConfig.h"
#include "ui/Dialog.h"

#include <string>

namespace quorlex {

class ReceiverControl;

// Base network page of the settings dialog: the caster a base receiver sends
// its corrections to, and its APN. The settings dialog fills the blocks before
// the page is created and never refills them from the record; the server
// block's user and password are carried along unchanged.
class CWorkBaseNetDlg final : public Dialog {
public:
    explicit CWorkBaseNetDlg(ReceiverControl& control, QWidget* parent = nullptr);

    // Address, port and mount point from the controls; refuses nothing. A page
    // never created keeps its blocks.
    bool StoreFromControls();

    NetworkServerBlock network;
    ApnBlock apn;

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnCommand(int id, Notification code) override;

private:
    void EditApn();
    void SetFivePinBaud();

    ReceiverControl& control_;
    std::u16string addressText_;
    std::u16string portText_;
    std::u16string mountPointText_;
};

} // namespace quorlex
