#include "link/bluez/BluezAdapter.h"

#include "common/Text.h"
#include "link/bluez/BluezAddress.h"
#include "link/bluez/BluezCall.h"
#include "link/bluez/BluezObjects.h"

#include <thread>

namespace quorlex {

namespace {

constexpr const char* kAdapterInterface = "org.bluez.Adapter1";

// "hci2" before "hci10": shorter paths first, then by text.
bool AdapterBefore(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

bool IsUnder(const std::string& path, const std::string& parent) {
    return path.size() > parent.size() + 1 && path.starts_with(parent) &&
           path[parent.size()] == '/';
}

} // namespace

int BluezAdapter::Find() {
    std::vector<BluezObjectInfo> objects;
    const BluezCallResult result = FetchBluezObjects(bus_, objects);
    if (!result.Ok()) {
        return result.error;
    }
    std::string best;
    for (const BluezObjectInfo& object : objects) {
        if (object.isAdapter && (best.empty() || AdapterBefore(object.path, best))) {
            best = object.path;
        }
    }
    if (best.empty()) {
        return ENODEV;
    }
    path_ = best;
    return 0;
}

int BluezAdapter::GetFlag(const char* property, bool& value) {
    if (path_.empty()) {
        return ENODEV;
    }
    return GetBluezFlag(bus_, path_.c_str(), kAdapterInterface, property, value).error;
}

int BluezAdapter::SetFlag(const char* property, bool value) {
    if (path_.empty()) {
        return ENODEV;
    }
    return SetBluezFlag(bus_, path_.c_str(), kAdapterInterface, property, value).error;
}

int BluezAdapter::Discover(std::chrono::milliseconds window, std::vector<BluezDevice>& devices,
                           const Waiter& wait) {
    if (path_.empty()) {
        return ENODEV;
    }
    BluezMessage reply;
    // Receivers are classic devices; without the filter the daemon also scans
    // for low-energy gadgets. An older daemon without filters just finds more.
    CallBluez(bus_, path_.c_str(), kAdapterInterface, "SetDiscoveryFilter", reply, "a{sv}", 1,
              "Transport", "s", "bredr");
    const BluezCallResult started =
        CallBluez(bus_, path_.c_str(), kAdapterInterface, "StartDiscovery", reply);
    // Someone else's discovery running already serves us just as well.
    const bool ownDiscovery = started.Ok();
    if (!ownDiscovery && started.errorName != "org.bluez.Error.InProgress") {
        return started.error;
    }
    if (wait) {
        wait(window);
    } else {
        std::this_thread::sleep_for(window);
    }
    std::vector<BluezObjectInfo> objects;
    const BluezCallResult listed = FetchBluezObjects(bus_, objects);
    if (ownDiscovery) {
        CallBluez(bus_, path_.c_str(), kAdapterInterface, "StopDiscovery", reply);
    }
    if (!listed.Ok()) {
        return listed.error;
    }
    std::vector<BluezDevice> found;
    for (const BluezObjectInfo& object : objects) {
        BluezDevice device;
        if (!object.isDevice || !IsUnder(object.path, path_) ||
            !ParseBluezAddress(object.address, device.address)) {
            continue;
        }
        device.name = BluezDeviceName(object.name, object.hasName, object.alias, device.address);
        found.push_back(std::move(device));
    }
    devices = std::move(found);
    return 0;
}

int BluezAdapter::RemoveDevice(uint64_t address) {
    if (path_.empty()) {
        return ENODEV;
    }
    const std::string device = BluezDevicePath(path_, address);
    BluezMessage reply;
    const BluezCallResult result = CallBluez(bus_, path_.c_str(), kAdapterInterface, "RemoveDevice",
                                             reply, "o", device.c_str());
    if (result.errorName == "org.bluez.Error.DoesNotExist") {
        return ENOENT;
    }
    return result.error;
}

std::u16string BluezDeviceName(const std::string& name, bool hasName, const std::string& alias,
                               uint64_t address) {
    if (hasName) {
        return FromUtf8(name);
    }
    if (alias.empty() || alias == FormatBluezAddress(address, '-') ||
        alias == FormatBluezAddress(address, ':')) {
        return {};
    }
    return FromUtf8(alias);
}

} // namespace quorlex
