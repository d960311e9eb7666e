#include "link/ReceiverLink.h"

#include "link/SerialChannel.h"

namespace quorlex {

ReceiverLink::ReceiverLink(BluetoothPlatform& platform, LinkOptions linkOptions)
    : platform(platform), options(std::move(linkOptions)),
      streams(options.streamFactory ? *options.streamFactory : systemStreams),
      connection(options, options.wireTap != nullptr ? options.wireTap : &wireLog) {
    radioModeRead = platform.GetRadioMode(savedRadioMode);
    if (radioModeRead && savedRadioMode == kRadioOff) {
        platform.SetRadioMode(kRadioDiscoverable);
    }
}

// Nothing is delivered once destruction has begun: whoever receives the
// deliveries may be going away too. A mode that could not be read is left
// alone rather than "restored" to off.
ReceiverLink::~ReceiverLink() {
    connection.SetNotifyTarget(nullptr);
    if (radioModeRead) {
        platform.SetRadioMode(savedRadioMode);
    }
    devices.Clear();
    connection.Close();
}

bool ReceiverLink::Connect(std::u16string_view pin, uint64_t address) {
    LinkTarget target;
    target.kind = kLinkKindBluetooth;
    target.address = address;
    target.pin = pin;
    return Connect(target);
}

bool ReceiverLink::Connect(const LinkTarget& target) {
    return connection.Connect(streams.Make(target));
}

AdapterState ReceiverLink::PrepareAdapter() {
    const AdapterState state = platform.QueryAdapter();
    if (state != AdapterState::PoweredOff) {
        return state;
    }
    if (!platform.SetRadioMode(kRadioDiscoverable)) {
        return AdapterState::CannotPowerOn;
    }
    // An adapter that appeared since start-up is left as it was found.
    if (!radioModeRead) {
        radioModeRead = true;
        savedRadioMode = kRadioOff;
    }
    return AdapterState::Usable;
}

int ReceiverLink::Inquire() {
    std::vector<InquiryDevice> found;
    const int error = platform.Inquire(found);
    if (error != 0) {
        return error;
    }
    devices.Replace(found);
    return 0;
}

int ReceiverLink::FormatDevices(std::span<char16_t> out) const {
    devices.Format(out);
    return 0;
}

int ReceiverLink::FindSerialChannel(uint64_t address) {
    return quorlex::FindSerialChannel(platform, address);
}

} // namespace quorlex
