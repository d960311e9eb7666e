#pragma once

#include "link/BluetoothPlatform.h"
#include "link/DeviceList.h"
#include "link/LinkConnection.h"
#include "link/LinkOptions.h"
#include "link/LinkSink.h"
#include "link/LinkTarget.h"
#include "link/SystemStreams.h"
#include "link/WireLog.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace quorlex {

// The link to the receiver: keeps the radio on while it exists, lists the
// devices in range and owns the connection, which may be made over
// Bluetooth, TCP or a serial line. The platform must outlive it.
class ReceiverLink {
public:
    // Switches an adapter that is off to discoverable; the mode it had is
    // restored on destruction.
    explicit ReceiverLink(BluetoothPlatform& platform, LinkOptions options = {});
    ~ReceiverLink();
    ReceiverLink(const ReceiverLink&) = delete;
    ReceiverLink& operator=(const ReceiverLink&) = delete;

    // Before a search or a connection: an adapter that is off is switched on
    // (and off again when the link goes, as at start-up). Usable, or why not.
    AdapterState PrepareAdapter();

    bool IsConnected() const { return connection_.IsConnected(); }
    void SetNotifyTarget(LinkSink* sink) { connection_.SetNotifyTarget(sink); }
    // Starts an attempt over Bluetooth, pairing with the PIN.
    bool Connect(std::u16string_view pin, uint64_t address);
    // Starts an attempt over the target's link kind; false as above, and for
    // a kind that cannot be connected.
    bool Connect(const LinkTarget& target);
    int Send(const char* bytes, std::size_t count) { return connection_.Send(bytes, count); }
    void Close() { connection_.Close(); }

    // Records what goes over every connection of this link once started;
    // unused when the options name a wire tap of their own.
    WireLog& Wire() { return wireLog_; }

    // Blocks until the inquiry ends: 0 with the list replaced, otherwise the
    // platform's error code with the list unchanged.
    int Inquire();
    int DeviceCount() const { return devices_.Count(); }
    const DeviceList& Devices() const { return devices_; }
    // One slot of DeviceList::kSlotUnits units per device; returns 0.
    int FormatDevices(std::span<char16_t> out) const;
    // The RFCOMM channel of the device's Serial Port service, 0 if none.
    int FindSerialChannel(uint64_t address);

private:
    BluetoothPlatform& platform_;
    uint32_t savedRadioMode_ = kRadioOff;
    bool radioModeRead_ = false;
    DeviceList devices_;
    const LinkOptions options_;
    SystemStreams systemStreams_{platform_, options_};
    StreamFactory& streams_;
    WireLog wireLog_; // outlives the connection's threads
    LinkConnection connection_;
};

} // namespace quorlex
