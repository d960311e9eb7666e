#pragma once

#include "channel/DeviceRecord.h"
#include "devices/DeviceListFile.h"
#include "devices/KnownDevice.h"
#include "ui/Dialog.h"

#include <functional>
#include <string>
#include <vector>

namespace quorlex {

class LinkSink;
class ListCtrl;
class ReceiverControl;

// Chooses the receiver: the known receivers with their PINs, a search for new
// Bluetooth ones, adding TCP and serial ones by hand, PIN changes, deletion,
// and connecting, which reads the receiver's configuration at once.
class CCommunicateSetDlg final : public Dialog {
public:
    // dataTarget takes the link's data (the main frame). serialDevices lists
    // the serial devices offered when a receiver is added.
    using SerialDeviceList = std::function<std::vector<std::string>()>;
    CCommunicateSetDlg(ReceiverControl& control, LinkSink& dataTarget, QWidget* parent = nullptr,
                       SerialDeviceList serialDevices = {});

    // 1 when the reading after the last connection succeeded.
    int configRead = 0;

    const std::vector<KnownDevice>& Devices() const { return devices_; }
    ListCtrl* DeviceList() const;

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, Notification code) override;

private:
    void OnSearch();
    void OnAdd();
    void OnChangePin();
    void OnDelete();
    void OnConnect();
    void ConnectSelected();
    // True when the link was up at the end, so the PIN it was made with works.
    bool ReadConfiguration();
    void RememberPin(int row);
    // Warns and returns false when there is no adapter to search or connect with.
    bool AdapterReady();
    bool SaveList();
    // A message for when the dialog's window is up.
    void TellWhenShown(std::u16string text);
    void FillList();
    void UpdateButtons();
    // Marks the row of the receiver the link is connected to.
    void MarkConnectedRow();
    void EnableButtons(bool enable);
    // Takes the selected row's texts; warns and returns false when none is selected.
    bool TakeSelectedRow(int& row);
    // The link kind of a row: that of its list entry.
    int32_t RowKind(int row) const;

    ReceiverControl& control_;
    LinkSink& dataTarget_;
    DeviceListFile listFile_;
    std::vector<KnownDevice> devices_;
    std::u16string rowName_;
    std::u16string rowAddress_;
    std::u16string rowPin_;
    DeviceRecord record_;
    SerialDeviceList serialDevices_;
};

} // namespace quorlex
