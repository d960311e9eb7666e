#pragma once

#include "link/BluetoothPlatform.h"
#include "sim/ReceiverSimulator.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorlex {

// A receiver that --simulate puts in range.
struct SimulatedReceiverProfile {
    std::u16string name;
    uint64_t address = 0;
    std::u16string pin;
    int channel = 1;
    // Bits per second of its serial line; 0 sends as fast as the socket takes it.
    int lineRate = ReceiverSimulator::kDefaultLineRate;
    std::u16string serialNumber;
    // How the caster its modem reaches answers a mount point fetch.
    CasterForm caster = CasterForm::Ntrip1;
};

// The Bluetooth platform the application talks through, and the simulators
// serving its receivers when it is simulated. The platform must outlive every
// link made over it.
struct ReceiverPlatform {
    std::unique_ptr<BluetoothPlatform> platform;
    // In the order of SimulatedReceiversInRange(); empty for the real platform.
    std::vector<std::shared_ptr<ReceiverSimulator>> simulators;
    bool simulated = false;
};

std::vector<SimulatedReceiverProfile> SimulatedReceiversInRange();

// simulate: receivers in range of a simulated adapter, each served by its own
// simulator; otherwise the machine's Bluetooth adapter.
ReceiverPlatform MakeReceiverPlatform(bool simulate);

} // namespace quorlex
