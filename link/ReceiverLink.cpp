#include "link/ReceiverLink.h"

#include "link/SerialChannel.h"

namespace quorlex {

ReceiverLink::ReceiverLink(BluetoothPlatform& platform, LinkOptions linkOptions)
    : platform_(platform), options_(std::move(linkOptions)),
      streams_(options_.streamFactory ? *options_.streamFactory : systemStreams_),
      connection_(options_, options_.wireTap != nullptr ? options_.wireTap : &wireLog_) {
    radioModeRead_ = platform.GetRadioMode(savedRadioMode_);
    if (radioModeRead_ && savedRadioMode_ == kRadioOff) {
        platform.SetRadioMode(kRadioDiscoverable);
    }
}

// Nothing is delivered once destruction has begun: whoever receives the
// deliveries may be going away too. A mode that could not be read is left
// alone rather than "restored" to off.
ReceiverLink::~ReceiverLink() {
    connection_.SetNotifyTarget(nullptr);
    if (radioModeRead_) {
        platform_.SetRadioMode(savedRadioMode_);
    }
    devices_.Clear();
    connection_.Close();
}

bool ReceiverLink::Connect(std::u16string_view pin, uint64_t address) {
    LinkTarget target;
    target.kind = kLinkKindBluetooth;
    target.address = address;
    target.pin = pin;
    return Connect(target);
}

bool ReceiverLink::Connect(const LinkTarget& target) {
    return connection_.Connect(streams_.Make(target));
}

AdapterState ReceiverLink::PrepareAdapter() {
    const AdapterState state = platform_.QueryAdapter();
    if (state != AdapterState::PoweredOff) {
        return state;
    }
    if (!platform_.SetRadioMode(kRadioDiscoverable)) {
        return AdapterState::CannotPowerOn;
    }
    // An adapter that appeared since start-up is left as it was found.
    if (!radioModeRead_) {
        radioModeRead_ = true;
        savedRadioMode_ = kRadioOff;
    }
    return AdapterState::Usable;
}

int ReceiverLink::Inquire() {
    std::vector<InquiryDevice> found;
    const int error = platform_.Inquire(found);
    if (error != 0) {
        return error;
    }
    devices_.Replace(found);
    return 0;
}

int ReceiverLink::FormatDevices(std::span<char16_t> out) const {
    devices_.Format(out);
    return 0;
}

int ReceiverLink::FindSerialChannel(uint64_t address) {
    return quorlex::FindSerialChannel(platform_, address);
}

} // namespace quorlex
