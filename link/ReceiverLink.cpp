#include "link/ReceiverLink.h"

#include "link/SerialChannel.h"

namespace quorlex {

ReceiverLink::ReceiverLink(BluetoothPlatform& platform, LinkOptions options)
    : platform(platform), socket(platform, std::move(options)) {
    radioModeRead = platform.GetRadioMode(savedRadioMode);
    if (radioModeRead && savedRadioMode == kRadioOff) {
        platform.SetRadioMode(kRadioDiscoverable);
    }
}

// Nothing is delivered once destruction has begun: whoever receives the
// deliveries may be going away too. A mode that could not be read is left
// alone rather than "restored" to off.
ReceiverLink::~ReceiverLink() {
    socket.SetNotifyTarget(nullptr);
    if (radioModeRead) {
        platform.SetRadioMode(savedRadioMode);
    }
    devices.Clear();
    socket.Close();
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
