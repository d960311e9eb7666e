#pragma once

#include "link/bluez/BluezBus.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorlex {

struct BluezDevice {
    std::u16string name; // empty when the device sent none
    uint64_t address = 0;
};

// The local adapter as the daemon exports it. Every operation is one or a few
// method calls and returns 0 or an errno value; ENODEV when there is no adapter.
class BluezAdapter {
public:
    explicit BluezAdapter(BluezBus& bus) : bus_(bus) {}

    // Picks the adapter the daemon itself treats as default (lowest index).
    int Find();
    const std::string& Path() const { return path_; }

    int GetPowered(bool& powered) { return GetFlag("Powered", powered); }
    int SetPowered(bool powered) { return SetFlag("Powered", powered); }
    int GetDiscoverable(bool& discoverable) { return GetFlag("Discoverable", discoverable); }
    int SetDiscoverable(bool discoverable) { return SetFlag("Discoverable", discoverable); }

    // Runs discovery for the given window, then lists every device the adapter
    // knows (just found or remembered), in the daemon's order. wait is how the
    // window passes; tests hook it to act while discovery runs.
    using Waiter = std::function<void(std::chrono::milliseconds)>;
    int Discover(std::chrono::milliseconds window, std::vector<BluezDevice>& devices,
                 const Waiter& wait = {});

    // Forgets the device and its pairing. ENOENT when the adapter has no such device.
    int RemoveDevice(uint64_t address);

private:
    int GetFlag(const char* property, bool& value);
    int SetFlag(const char* property, bool value);

    BluezBus& bus_;
    std::string path_;
};

// The name shown for a device: its own name, else an alias the user gave it;
// the daemon's stand-in alias (the address with dashes) counts as no name.
std::u16string BluezDeviceName(const std::string& name, bool hasName, const std::string& alias,
                               uint64_t address);

} // namespace quorlex
