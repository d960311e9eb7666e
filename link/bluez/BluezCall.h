#pragma once

#include "link/bluez/BluezBus.h"

#include <systemd/sd-bus.h>

namespace quorlex {

inline constexpr const char* kBluezService = "org.bluez";

// Turns an sd-bus return value and error into a result, freeing the error.
BluezCallResult TakeCallResult(int r, sd_bus_error& error);

// A method call on the daemon; types and args as sd_bus_message_append takes them.
template <typename... Args>
BluezCallResult CallBluez(BluezBus& bus, const char* path, const char* interface,
                          const char* member, BluezMessage& reply, const char* types = nullptr,
                          Args... args) {
    if (!bus.IsOpen()) {
        return {ENOTCONN, {}};
    }
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int r = sd_bus_call_method(bus.Get(), kBluezService, path, interface, member, &error,
                                     reply.Out(), types, args...);
    return TakeCallResult(r, error);
}

BluezCallResult GetBluezFlag(BluezBus& bus, const char* path, const char* interface,
                             const char* property, bool& value);
BluezCallResult SetBluezFlag(BluezBus& bus, const char* path, const char* interface,
                             const char* property, bool value);

} // namespace quorlex
