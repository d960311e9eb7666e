#include "link/bluez/BluezBus.h"

#include <systemd/sd-bus.h>

namespace quorlex {

BluezBus::~BluezBus() {
    Close();
}

int BluezBus::Open(std::chrono::milliseconds callTimeout) {
    Close();
    sd_bus* bus = nullptr;
    const int r = sd_bus_open_system(&bus);
    if (r < 0) {
        return -r;
    }
    const auto usec = std::chrono::duration_cast<std::chrono::microseconds>(callTimeout);
    sd_bus_set_method_call_timeout(bus, static_cast<uint64_t>(usec.count()));
    bus_ = bus;
    return 0;
}

void BluezBus::Close() {
    if (bus_ != nullptr) {
        // No flush: a stuck daemon must not hold us up; calls already waited for replies.
        sd_bus_close_unref(bus_);
        bus_ = nullptr;
    }
}

BluezMessage::~BluezMessage() {
    sd_bus_message_unref(message_);
}

sd_bus_message** BluezMessage::Out() {
    message_ = sd_bus_message_unref(message_);
    return &message_;
}

} // namespace quorlex
