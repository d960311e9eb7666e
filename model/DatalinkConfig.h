#pragma once

#include "model/PresetServer.h"

#include <array>
#include <cstdint>
#include <string>

namespace quorlex {

inline constexpr int kRadioChannelCount = 16;

struct ApnBlock {
    std::u16string name;
    std::u16string user;
    std::u16string password;

    bool operator==(const ApnBlock&) const = default;
};

struct NetworkServerBlock {
    std::u16string address;
    int32_t port = 0;
    std::u16string user;
    std::u16string password;
    std::u16string mountPoint;

    bool operator==(const NetworkServerBlock&) const = default;
};

// protocol: 1 CSD, 2 PPP, 3 NTRIP, 4 CUSTOM, 5 CUSTOM2, 6 CUSTOM3.
struct NetworkBlock {
    int32_t protocol = 0;
    ApnBlock apn;
    NetworkServerBlock server;
    std::u16string baseNumber;
    std::u16string statusText;
    std::u16string errorText;
    int32_t baud = 0;
    int32_t signalLevel = 0;
    int32_t ggaUploadInterval = 0;
    int32_t autoConnect = 0;

    bool operator==(const NetworkBlock&) const = default;
};

// Channels are 1-based; frequency index = channel - 1, in MHz.
struct RadioBlock {
    int32_t channel = 0;
    std::u16string spareText;
    int32_t protocol = 0;
    double channelSpacing = 0.0;
    std::array<double, kRadioChannelCount> txFrequency{};
    std::array<double, kRadioChannelCount> rxFrequency{};
    int32_t rxChannel = 0;
    double lowerLimit = 0.0;
    double upperLimit = 0.0;
    int32_t baud = 0;
    std::u16string status;
    int32_t highPower = 0;

    bool operator==(const RadioBlock&) const = default;
};

// The receiver's extra link settings: never decoded, only stored and copied along.
struct ExtraConnectionEntry {
    std::u16string name;
    std::array<int32_t, 3> values{};
    std::u16string detail;

    bool operator==(const ExtraConnectionEntry&) const = default;
};

struct ExtraConnection {
    std::array<int32_t, 3> values{};
    std::array<ExtraConnectionEntry, 2> entries;

    bool operator==(const ExtraConnection&) const = default;
};

struct ExtraLinkBlock {
    int32_t kind = 0;
    NetworkServerBlock server;
    std::u16string text;
    int32_t value1 = 0;
    int32_t value2 = 0;
    ExtraConnection connection;

    bool operator==(const ExtraLinkBlock&) const = default;
};

inline NetworkBlock DefaultRelayNetwork() {
    NetworkBlock block;
    block.protocol = 3;
    block.apn.name = u"cment";
    block.server.address = kPresetServerAddress;
    block.server.port = 6060;
    block.ggaUploadInterval = 30;
    return block;
}

inline RadioBlock DefaultRadio() {
    RadioBlock block;
    block.channel = 1;
    block.channelSpacing = 25.0;
    block.txFrequency = {410.05, 411.05, 412.05, 413.05, 414.05, 415.05, 416.05, 417.05};
    return block;
}

inline RadioBlock DefaultRelayRadio() {
    RadioBlock block;
    block.channel = 1;
    block.channelSpacing = 25.0;
    return block;
}

// currentDatalink: 0 none, 1 network, 2 UHF radio, 3 external port, 4 Bluetooth, 5 dual.
// network[0] is the relay profile that replies fill; network[1], the base profile, never is.
// radio[0] serves the radio mode and the network relay, radio[1] the radio relay.
struct DatalinkConfig {
    int32_t currentDatalink = 0;
    int32_t externalBaud = 38400;
    std::array<NetworkBlock, 2> network{DefaultRelayNetwork(), NetworkBlock{}};
    std::array<RadioBlock, 2> radio{DefaultRadio(), DefaultRelayRadio()};
    ExtraLinkBlock extraLink;

    bool operator==(const DatalinkConfig&) const = default;
};

} // namespace quorlex
