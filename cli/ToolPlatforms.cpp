#include "cli/ToolPlatforms.h"

#include "common/Text.h"
#include "devices/DeviceList.h"
#include "devices/DeviceSearch.h"
#include "devices/LinkDevices.h"
#include "link/bluez/BluezPlatform.h"
#include "link/sim/SimulatorService.h"

#include <algorithm>

namespace quorlex::cli {
namespace {

struct SimulatedProfile {
    const char* name;
    uint64_t address;
    std::u16string_view pin;
    int channel;
    // Settings that differ from the simulator's factory state.
    std::vector<std::pair<std::u16string_view, std::u16string_view>> values;
};

// Three receivers set up for three different jobs, so that copying one's
// configuration to another changes something.
std::vector<SimulatedProfile> SimulatedProfiles() {
    return {
        {"GNSS-R01", 0x00126F0A1B2CULL, u"7391", 1, {{u"DEVICE.INFO.SERIAL", u"QX2041570236"}}},
        {"GNSS-R02",
         0x00126F0A9E40ULL,
         u"1234",
         3,
         {{u"DEVICE.INFO.SERIAL", u"QX2041570815"},
          {u"DEVICE.SYS_MODE", u"NETRELAY"},
          {u"NETWORK.ADDR", u"198.51.100.7"},
          {u"NETWORK.PORT", u"2101"},
          {u"NETWORK.MOUNTPOINT", u"RTCM3_NEAR"},
          {u"NETWORK.MOUNTPOINTUSERPASS", u"crew02|r02-caster"},
          {u"RADIO.CHANNEL", u"3"}}},
        {"GNSS-R03",
         0x00126F0C7712ULL,
         u"7391",
         5,
         {{u"DEVICE.INFO.SERIAL", u"QX2041571102"},
          {u"DEVICE.SYS_MODE", u"NETBASE"},
          {u"NETWORK.ADDR", u"192.0.2.40"},
          {u"NETWORK.PORT", u"6060"},
          {u"NETWORK.MOUNTPOINT", u"BASE_03"},
          {u"NETWORK.APN", u"3GNET"}}},
    };
}

std::optional<std::vector<KnownDevice>> LoadKnownDevices(const std::filesystem::path& path,
                                                         std::string& error) {
    std::vector<KnownDevice> devices;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return devices;
    }
    if (!LoadDeviceList(path, devices)) {
        error = "the device list " + path.string() + " cannot be read as a device list";
        return std::nullopt;
    }
    return devices;
}

} // namespace

ToolPlatforms::ToolPlatforms(BluetoothFactory bluetooth)
    : bluetoothFactory_(std::move(bluetooth)) {}

ToolPlatforms::~ToolPlatforms() {
    // The receivers stop serving before the platform that connects to them goes.
    for (const SimulatedReceiverEntry& entry : simulatedReceivers_) {
        entry.simulator->Detach();
    }
}

BluetoothPlatform& ToolPlatforms::Bluetooth() {
    if (!bluetooth_) {
        bluetooth_ = bluetoothFactory_ ? bluetoothFactory_() : std::make_unique<BluezPlatform>();
    }
    return *bluetooth_;
}

BluetoothPlatform& ToolPlatforms::NoBluetooth() {
    if (!noBluetooth_) {
        noBluetooth_ = std::make_unique<SimulatedPlatform>();
        noBluetooth_->SetAdapterFaults({.noService = true});
    }
    return *noBluetooth_;
}

SimulatedPlatform& ToolPlatforms::Simulated() {
    if (!simulated_) {
        simulated_ = std::make_unique<SimulatedPlatform>();
        AddDefaultSimulatedReceivers();
    }
    return *simulated_;
}

const std::vector<SimulatedReceiverEntry>& ToolPlatforms::SimulatedReceivers() {
    Simulated();
    return simulatedReceivers_;
}

void ToolPlatforms::AddDefaultSimulatedReceivers() {
    for (const SimulatedProfile& profile : SimulatedProfiles()) {
        auto simulator = std::make_shared<ReceiverSimulator>();
        for (const auto& [key, value] : profile.values) {
            simulator->SetValue(key, value);
        }
        SimulatedReceiver receiver;
        receiver.name = FromUtf8(profile.name);
        receiver.address = profile.address;
        receiver.pin = profile.pin;
        receiver.channel = profile.channel;
        receiver.serve = ServeWithSimulator(simulator);
        AddSimulatedReceiver(std::move(receiver), std::move(simulator));
    }
}

void ToolPlatforms::AddSimulatedReceiver(SimulatedReceiver receiver,
                                         std::shared_ptr<ReceiverSimulator> simulator) {
    Simulated();
    simulatedReceivers_.push_back(
        {ToUtf8(receiver.name), receiver.address, receiver.pin, std::move(simulator)});
    simulated_->AddReceiver(std::move(receiver));
}

std::optional<ResolvedReceiver> ToolPlatforms::Resolve(const ReceiverArgument& argument,
                                                       const ResolveOptions& options,
                                                       std::string& error) {
    switch (argument.kind) {
    case ReceiverKind::Tcp:
    case ReceiverKind::Serial:
        return ResolvedReceiver{
            argument.text, &NoBluetooth(),
            DeviceRecord{LinkKindOf(argument.kind), argument.location, 0, u"", argument.location}};
    case ReceiverKind::Simulated:
        return ResolveSimulated(argument, options, error);
    case ReceiverKind::BluetoothAddress:
    case ReceiverKind::BluetoothName:
        break;
    }
    const auto known = LoadKnownDevices(options.deviceList, error);
    if (!known) {
        return std::nullopt;
    }
    std::vector<const KnownDevice*> matches;
    for (const KnownDevice& device : *known) {
        const bool match = argument.kind == ReceiverKind::BluetoothName
                               ? ToUtf8(device.name) == argument.name
                               : KnownDeviceKind(device) == kLinkKindBluetooth &&
                                     ParseHexAddress(device.address) == argument.address;
        if (match) {
            matches.push_back(&device);
        }
    }
    if (argument.kind == ReceiverKind::BluetoothName && matches.size() != 1) {
        error =
            argument.text + (matches.empty() ? ": no receiver of that name in the device list " +
                                                   options.deviceList.string()
                                             : ": several receivers of that name in the device "
                                               "list; give its address instead");
        return std::nullopt;
    }
    if (matches.empty()) {
        return ResolvedReceiver{argument.text, &Bluetooth(),
                                DeviceRecord{kLinkKindBluetooth, u"", argument.address,
                                             options.pin.value_or(std::u16string(kDefaultPin))}};
    }
    return ResolveListed(argument, *matches.front(), options, error);
}

std::optional<ResolvedReceiver> ToolPlatforms::ResolveSimulated(const ReceiverArgument& argument,
                                                                const ResolveOptions& options,
                                                                std::string& error) {
    const auto& entries = SimulatedReceivers();
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& e) {
        return argument.name.empty() || e.name == argument.name;
    });
    if (it == entries.end()) {
        error = argument.text + ": no simulated receiver of that name (there are";
        for (const auto& entry : entries) {
            error += " " + entry.name;
        }
        error += ")";
        return std::nullopt;
    }
    return ResolvedReceiver{argument.text, &Simulated(),
                            DeviceRecord{kLinkKindBluetooth, FromUtf8(it->name), it->address,
                                         options.pin.value_or(it->pin)}};
}

// A receiver of the device list is reached the way the list keeps it.
std::optional<ResolvedReceiver> ToolPlatforms::ResolveListed(const ReceiverArgument& argument,
                                                             const KnownDevice& device,
                                                             const ResolveOptions& options,
                                                             std::string& error) {
    const int32_t kind = KnownDeviceKind(device);
    if (kind == kLinkKindBluetooth) {
        return ResolvedReceiver{argument.text, &Bluetooth(),
                                DeviceRecord{kind, device.name, ParseHexAddress(device.address),
                                             options.pin.value_or(device.pin)}};
    }
    if (!IsKnownLinkKind(kind)) {
        error = argument.text + ": the device list keeps it as a \"" + ToUtf8(device.kind) +
                "\" receiver, which this version cannot reach";
        return std::nullopt;
    }
    const std::optional<LinkTarget> target = ParseLinkLocation(kind, device.address);
    if (!target) {
        error = argument.text + ": the device list gives it the address \"" +
                ToUtf8(device.address) + "\", which is not a " + std::string(LinkKindName(kind)) +
                " location";
        return std::nullopt;
    }
    return ResolvedReceiver{argument.text, &NoBluetooth(),
                            DeviceRecord{kind, device.name, 0, u"", LinkLocationText(*target)}};
}

} // namespace quorlex::cli
