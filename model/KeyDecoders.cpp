#include "model/KeyDecoders.h"

#include "common/Text.h"
#include "model/ValueKinds.h"

#include <array>
#include <cmath>
#include <limits>

namespace quorlex {
namespace {

constexpr std::array kSysModeWords{
    VocabularyWord{u"NETRELAY", kWorkingModeNetworkRelay},
    VocabularyWord{u"UHF", kWorkingModeRadio},
    VocabularyWord{u"UHFRELAY", kWorkingModeRadioRelay},
    VocabularyWord{u"NETBASE", kWorkingModeBaseNetwork},
};

constexpr std::array kDeviceModelWords{
    VocabularyWord{u"ROVER", kWorkingModeRadioRelay},
    VocabularyWord{u"BASE", kWorkingModeNetworkRelay},
};

constexpr std::array kDatalinkWords{
    VocabularyWord{u"NO_DATALINK", 0}, VocabularyWord{u"UHF", 2},  VocabularyWord{u"NETWORK", 1},
    VocabularyWord{u"EXT", 3},         VocabularyWord{u"BLUE", 4}, VocabularyWord{u"DUAL", 5},
};
constexpr int32_t kUnknownDatalink = 2;

// Longer words come before the words they contain.
constexpr std::array kDiffTypeWords{
    VocabularyWord{u"RTCM32", 6}, VocabularyWord{u"RTCM3", 0},    VocabularyWord{u"RTCM", 2},
    VocabularyWord{u"RTCA", 4},   VocabularyWord{u"sCMRx", 9},    VocabularyWord{u"CMR", 1},
    VocabularyWord{u"DGPS", 3},   VocabularyWord{u"NOVATELX", 5},
};

constexpr std::array kNetworkProtocolWords{
    VocabularyWord{u"NTRIP", 3},   VocabularyWord{u"PPP", 2},     VocabularyWord{u"CSD", 1},
    VocabularyWord{u"CUSTOM3", 6}, VocabularyWord{u"CUSTOM2", 5}, VocabularyWord{u"CUSTOM", 4},
};
constexpr int32_t kUnknownNetworkProtocol = 3;

constexpr std::array kRadioPowerWords{VocabularyWord{u"HIGH", 1}};

// Base position and reference station both arrive as part 1, part 0, part 2.
std::array<double, 3> SwappedTriple(std::u16string_view value) {
    return {AsDecimal(ValuePart(value, 1)), AsDecimal(ValuePart(value, 0)),
            AsDecimal(ValuePart(value, 2))};
}

void DecodeFrequencyList(std::u16string_view value,
                         std::array<double, kRadioChannelCount>& frequencies) {
    for (int i = 0; i < kRadioChannelCount; ++i) {
        std::u16string part;
        if (ExtractField(value, i, u'|', part)) {
            frequencies[i] = AsDecimal(part);
        }
    }
}

} // namespace

bool DecodeDeviceModel(ReceiverSettings& settings, std::u16string_view line) {
    auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    settings.config.workingMode = MatchExact(*value, kDeviceModelWords).value_or(kWorkingModeRadio);
    settings.info.device.model = std::move(*value);
    return true;
}

bool DecodeSysMode(ReceiverSettings& settings, std::u16string_view line) {
    auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    if (auto mode = MatchExact(*value, kSysModeWords)) {
        settings.config.workingMode = *mode;
    }
    settings.info.sysModeText = std::move(*value);
    return true;
}

bool DecodeCurrentDatalink(ReceiverSettings& settings, std::u16string_view line) {
    auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    settings.config.datalink.currentDatalink =
        MatchExact(*value, kDatalinkWords).value_or(kUnknownDatalink);
    settings.info.datalinkText = std::move(*value);
    return true;
}

// The lists of what the receiver offers are not kept, only acknowledged.
bool DecodeAvailableList(ReceiverSettings& /*settings*/, std::u16string_view /*line*/) {
    return true;
}

bool DecodeAntennaMeasure(ReceiverSettings& settings, std::u16string_view line) {
    const auto value = ReplyValue(BeforeStar(line));
    if (!value) {
        return false;
    }
    std::u16string part;
    if (ExtractField(*value, 0, u'|', part)) {
        settings.config.antennaMeasureMethod = AsInteger(part);
    }
    if (ExtractField(*value, 1, u'|', part)) {
        settings.config.antennaMeasuredHeight = AsMillimetres(part);
    }
    return true;
}

bool DecodeRecordInterval(ReceiverSettings& settings, std::u16string_view line) {
    const auto raw = ReplyValue(line);
    if (!raw) {
        return false;
    }
    const std::u16string value = ToUpperAscii(BeforeStar(*raw));
    const int32_t n = AsInteger(value);
    constexpr int32_t kMsPerSecond = 1000;
    int32_t& interval = settings.config.recordIntervalMs;
    if (n < 1) {
        interval = kMsPerSecond;
    } else if (Contains(value, u"HZ")) {
        interval = kMsPerSecond / n;
    } else if (n > std::numeric_limits<int32_t>::max() / kMsPerSecond) {
        // Saturate rather than wrap into a negative interval.
        interval = std::numeric_limits<int32_t>::max();
    } else {
        interval = n * kMsPerSecond;
    }
    return true;
}

bool DecodeBasePosition(ReceiverSettings& settings, std::u16string_view line) {
    const auto mode = ReplyValue(line);
    if (!mode) {
        return false;
    }
    if (Contains(*mode, u"SINGLE")) {
        settings.config.basePositionMode = 0;
        return true;
    }
    settings.config.basePositionMode = 1;
    std::u16string position;
    if (ExtractField(line, 5, u',', position)) {
        settings.config.basePosition = SwappedTriple(position);
    }
    return true;
}

bool DecodeDiffType(ReceiverSettings& settings, std::u16string_view line) {
    const auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    if (auto type = MatchSubstring(*value, kDiffTypeWords)) {
        settings.config.diffType = *type;
    }
    return true;
}

// All three near zero means the receiver has no reference station yet: kept, but not reported.
// Asked as "all below" so that a NaN, which is below nothing, counts as a position.
bool DecodeRefStationLocation(ReceiverSettings& settings, std::u16string_view line) {
    const auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    auto& location = settings.info.refStationLocation;
    location = SwappedTriple(*value);
    constexpr double kNearZero = 0.000001;
    const bool atOrigin = std::fabs(location[0]) < kNearZero &&
                          std::fabs(location[1]) < kNearZero && std::fabs(location[2]) < kNearZero;
    return !atOrigin;
}

bool DecodeTxFrequencies(ReceiverSettings& settings, std::u16string_view line) {
    const auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    for (RadioBlock& radio : settings.config.datalink.radio) {
        DecodeFrequencyList(*value, radio.txFrequency);
    }
    return true;
}

bool DecodeRxFrequencies(ReceiverSettings& settings, std::u16string_view line) {
    const auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    DecodeFrequencyList(*value, settings.config.datalink.radio[1].rxFrequency);
    return true;
}

bool DecodeRadioPower(ReceiverSettings& settings, std::u16string_view line) {
    const auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    const int32_t high = MatchExact(*value, kRadioPowerWords).value_or(0);
    for (RadioBlock& radio : settings.config.datalink.radio) {
        radio.highPower = high;
    }
    return true;
}

bool DecodeNetworkMode(ReceiverSettings& settings, std::u16string_view line) {
    const auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    settings.config.datalink.network[0].protocol =
        MatchSubstring(*value, kNetworkProtocolWords).value_or(kUnknownNetworkProtocol);
    return true;
}

bool DecodeMountPointUserPass(ReceiverSettings& settings, std::u16string_view line) {
    const auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    NetworkServerBlock& server = settings.config.datalink.network[0].server;
    std::u16string part;
    if (ExtractField(*value, 0, u'|', part)) {
        server.user = part;
    }
    if (ExtractField(*value, 1, u'|', part)) {
        server.password = part;
    }
    return true;
}

bool DecodeSensorModel(ReceiverSettings& settings, std::u16string_view line) {
    settings.info.sensorPresent = 0;
    const auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    if (Contains(BeforeStar(*value), u"SENSOR")) {
        settings.info.sensorPresent = 1;
    }
    return true;
}

} // namespace quorlex
