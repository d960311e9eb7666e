#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quorlex {

// One module's identity. extraText is module-specific: the GNSS board name for the device,
// the functionality for the GNSS module, the IMEI for the network module, unused for the radio.
struct ModuleInfo {
    std::u16string serialNumber;
    std::u16string model;
    std::u16string hardwareVersion;
    std::u16string biosVersion;
    std::u16string firmwareVersion;
    std::u16string manufactureDate;
    std::u16string extraText;

    bool operator==(const ModuleInfo&) const = default;
};

// The receiver's identity and state.
struct ReceiverInfo {
    ModuleInfo device;
    std::u16string deviceStatus;
    std::u16string sysModeText;
    std::u16string datalinkText;
    std::u16string languageText;
    std::u16string powerSource;
    std::u16string powerLevel;
    std::u16string antennaType;
    double antennaRadius = 0.0; // metres
    double antennaH = 0.0;
    double antennaHL1 = 0.0;
    double antennaHL2 = 0.0;
    ModuleInfo gnssModule;
    ModuleInfo radioModule;
    ModuleInfo networkModule;
    std::u16string bluetoothModel;
    std::array<double, 3> refStationLocation{};
    std::u16string refStationId;
    int32_t rtkStatus = 0;
    int32_t sensorPresent = 0;
    std::u16string sensorHardwareVersion;
    std::u16string sensorFirmwareVersion;
    std::u16string sensorParameter;
    std::u16string batteryId;
    std::u16string fivePinBaudText;

    bool operator==(const ReceiverInfo&) const = default;
};

} // namespace quorlex
