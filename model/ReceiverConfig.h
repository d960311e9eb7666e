#pragma once

#include "model/DatalinkConfig.h"
#include "model/WorkingMode.h"

#include <array>
#include <cstdint>
#include <string>

namespace quorlex {

// NMEA sentences whose log rates the receiver reports, in the order of nmeaRates.
enum NmeaSentence : int {
    kNmeaGga,
    kNmeaZda,
    kNmeaGsa,
    kNmeaGsv,
    kNmeaGst,
    kNmeaVtg,
    kNmeaRmc,
    kNmeaGll,
    kNmeaSentenceCount
};

// The receiver's configuration; the settings dialog works on a copy of it.
struct ReceiverConfig {
    int32_t workingMode = kWorkingModeRadioRelay;
    double antennaMeasuredHeight = 0.0; // metres
    int32_t antennaMeasureMethod = 0;
    double antennaHeight = 0.0; // metres
    int32_t recordCutAngle = 5; // degrees
    double recordPdopThreshold = 3.5;
    std::u16string recordPointName = u"AAAA01";
    int32_t recordIntervalMs = 1;
    int32_t autoRecord = 0;
    std::u16string recordStatus;
    int32_t elevationMask = 5; // degrees
    int32_t diffType = 0;      // correction format code
    int32_t recordRaw = 0;
    std::u16string gnssStatus;
    int32_t basePositionMode = 0; // 0 single-point start, 1 start on given coordinates
    int32_t autoBase = 0;
    std::array<double, 3> basePosition{};
    double basePdopThreshold = 3.5;
    int32_t baseDelayStart = 180;
    std::u16string baseSiteId;
    DatalinkConfig datalink;
    std::array<int32_t, kNmeaSentenceCount> nmeaRates{};
    int32_t gpsEnabled = 0;
    int32_t glonassEnabled = 0;
    int32_t sbasEnabled = 0;
    int32_t beidouEnabled = 0;

    bool operator==(const ReceiverConfig&) const = default;
};

} // namespace quorlex
