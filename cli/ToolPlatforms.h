#pragma once

#include "channel/DeviceRecord.h"
#include "cli/ReceiverArgument.h"
#include "devices/KnownDevice.h"
#include "link/BluetoothPlatform.h"
#include "link/WireTap.h"
#include "link/sim/SimulatedPlatform.h"
#include "sim/ReceiverSimulator.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorlex::cli {

// A simulated receiver the tool can reach as "sim:NAME".
struct SimulatedReceiverEntry {
    std::string name;
    uint64_t address = 0;
    std::u16string pin;
    std::shared_ptr<ReceiverSimulator> simulator;
};

// A RECEIVER made ready to connect to.
struct ResolvedReceiver {
    std::string label; // what output calls it: the RECEIVER text, never a PIN
    BluetoothPlatform* platform = nullptr;
    DeviceRecord device;
    // Where the run's wire log is written; nullptr: no log.
    WireTap* wireTap = nullptr;
};

struct ResolveOptions {
    std::optional<std::u16string> pin; // --pin
    std::filesystem::path deviceList;
};

// The Bluetooth adapters the tool talks through: the machine's, made on first
// use, and a simulated one whose receivers live as long as this object (one
// run of the program; tests keep one across runs).
class ToolPlatforms {
public:
    using BluetoothFactory = std::function<std::unique_ptr<BluetoothPlatform>()>;

    // Without a factory the machine's adapter is used through BlueZ.
    explicit ToolPlatforms(BluetoothFactory bluetooth = {});
    ~ToolPlatforms();
    ToolPlatforms(const ToolPlatforms&) = delete;
    ToolPlatforms& operator=(const ToolPlatforms&) = delete;

    BluetoothPlatform& Bluetooth();
    // For TCP and serial receivers, which need no adapter: a platform
    // without one, so the machine's radio is left as it is.
    BluetoothPlatform& NoBluetooth();
    SimulatedPlatform& Simulated();
    // GNSS-R01, GNSS-R02 (PIN 1234) and GNSS-R03, each configured differently,
    // and any added since.
    const std::vector<SimulatedReceiverEntry>& SimulatedReceivers();

    // Finds the receiver a RECEIVER names; a name from the device list is
    // reached by the link kind the list keeps. nullopt with error.
    std::optional<ResolvedReceiver> Resolve(const ReceiverArgument& argument,
                                            const ResolveOptions& options, std::string& error);

private:
    void AddDefaultSimulatedReceivers();
    void AddSimulatedReceiver(SimulatedReceiver receiver,
                              std::shared_ptr<ReceiverSimulator> simulator);
    std::optional<ResolvedReceiver> ResolveSimulated(const ReceiverArgument& argument,
                                                     const ResolveOptions& options,
                                                     std::string& error);
    std::optional<ResolvedReceiver> ResolveListed(const ReceiverArgument& argument,
                                                  const KnownDevice& device,
                                                  const ResolveOptions& options,
                                                  std::string& error);

    BluetoothFactory bluetoothFactory_;
    std::unique_ptr<BluetoothPlatform> bluetooth_;
    std::unique_ptr<SimulatedPlatform> noBluetooth_;
    std::unique_ptr<SimulatedPlatform> simulated_;
    std::vector<SimulatedReceiverEntry> simulatedReceivers_;
};

} // namespace quorlex::cli
