#pragma once

#include "channel/DeviceRecord.h"
#include "devices/KnownDevice.h"
#include "ui/Dialog.h"

#include <filesystem>
#include <string>
#include <vector>

namespace quorlex {

class LinkSink;
class ListCtrl;
class ReceiverControl;

// Chooses the receiver: the known receivers with their PINs, a search for new
// ones, PIN changes, deletion, and connecting, which reads the receiver's
// configuration at once.
class CCommunicateSetDlg final : public Dialog {
public:
    // Works on the main frame's receiver control, with the frame taking the
    // link's data; there must be a main frame.
    explicit CCommunicateSetDlg(QWidget* parent = nullptr);
    CCommunicateSetDlg(ReceiverControl& control, LinkSink& dataTarget, QWidget* parent = nullptr);

    // 1 when the reading after the last connection succeeded.
    int configRead = 0;

    const std::vector<KnownDevice>& Devices() const { return devices; }
    ListCtrl* DeviceList() const;

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, Notification code) override;

private:
    void OnSearch();
    void OnChangePin();
    void OnDelete();
    void OnConnect();
    void ConnectSelected();
    void ReadConfiguration();
    void FillList();
    void UpdateButtons();
    // Marks the row of the receiver the link is connected to.
    void MarkConnectedRow();
    void EnableButtons(bool enable);
    // Takes the selected row's texts; warns and returns false when none is selected.
    bool TakeSelectedRow(int& row);

    ReceiverControl& control;
    LinkSink& dataTarget;
    std::filesystem::path listPath;
    std::vector<KnownDevice> devices;
    std::u16string rowName;
    std::u16string rowAddress;
    std::u16string rowPin;
    DeviceRecord record;
};

} // namespace quorlex
