#include "link/bluez/BluezCall.h"

namespace quorlex {

BluezCallResult TakeCallResult(int r, sd_bus_error& error) {
    BluezCallResult result;
    if (r < 0) {
        result.error = -r;
        if (sd_bus_error_is_set(&error) != 0 && error.name != nullptr) {
            result.errorName = error.name;
        }
    }
    sd_bus_error_free(&error);
    return result;
}

BluezCallResult GetBluezFlag(BluezBus& bus, const char* path, const char* interface,
                             const char* property, bool& value) {
    if (!bus.IsOpen()) {
        return {ENOTCONN, {}};
    }
    sd_bus_error error = SD_BUS_ERROR_NULL;
    int flag = 0;
    const int r = sd_bus_get_property_trivial(bus.Get(), kBluezService, path, interface, property,
                                              &error, SD_BUS_TYPE_BOOLEAN, &flag);
    if (r >= 0) {
        value = flag != 0;
    }
    return TakeCallResult(r, error);
}

BluezCallResult SetBluezFlag(BluezBus& bus, const char* path, const char* interface,
                             const char* property, bool value) {
    if (!bus.IsOpen()) {
        return {ENOTCONN, {}};
    }
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int r = sd_bus_set_property(bus.Get(), kBluezService, path, interface, property, &error,
                                      "b", static_cast<int>(value));
    return TakeCallResult(r, error);
}

} // namespace quorlex
