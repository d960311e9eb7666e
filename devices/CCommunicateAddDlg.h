#pragma once

#include "devices/KnownDevice.h"
#include "ui/Dialog.h"

#include <string>
#include <vector>

namespace quorlex {

// Adds a receiver reached over TCP (host and port) or a serial line (device
// and line rate); on OK, device holds it in the device list's form.
class CCommunicateAddDlg final : public Dialog {
public:
    // serialDevices: the paths offered for a serial receiver.
    explicit CCommunicateAddDlg(std::vector<std::string> serialDevices, QWidget* parent = nullptr);

    // 0 TCP, 1 serial.
    int kindIndex = 0;
    std::u16string nameText;
    std::u16string hostText;
    std::u16string portText;
    std::u16string pathText;
    std::u16string baudText;

    KnownDevice device;

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnCommand(int id, Notification code) override;
    void OnOK() override;

private:
    void ShowKind();

    std::vector<std::string> serialDevices_;
};

} // namespace quorlex
