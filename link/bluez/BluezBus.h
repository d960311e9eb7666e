#pragma once

#include <systemd/sd-bus.h>

#include <chrono>
#include <string>

namespace quorlex {

// One connection to the system bus (DBUS_SYSTEM_BUS_ADDRESS when set). An
// sd-bus connection must not be shared between threads, so each user opens
// its own; opening is cheap next to a radio operation.
class BluezBus {
public:
    BluezBus() = default;
    ~BluezBus();
    BluezBus(const BluezBus&) = delete;
    BluezBus& operator=(const BluezBus&) = delete;

    // 0 or an errno value. Every later method call gives up after callTimeout.
    int Open(std::chrono::milliseconds callTimeout);
    void Close();

    bool IsOpen() const { return bus_ != nullptr; }
    sd_bus* Get() const { return bus_; }

private:
    sd_bus* bus_ = nullptr;
};

// Owns one message reference.
class BluezMessage {
public:
    BluezMessage() = default;
    ~BluezMessage();
    BluezMessage(const BluezMessage&) = delete;
    BluezMessage& operator=(const BluezMessage&) = delete;

    sd_bus_message* Get() const { return message_; }
    sd_bus_message** Out();

private:
    sd_bus_message* message_ = nullptr;
};

// The outcome of a method call: 0 or an errno value, and the D-Bus error name
// (empty on success or when the call never reached the bus).
struct BluezCallResult {
    int error = 0;
    std::string errorName;

    bool Ok() const { return error == 0; }
};

} // namespace quorlex
