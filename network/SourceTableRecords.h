#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorlex {

// Records of a caster's source table. Every field is text, named after its
// position in the record's line (field 0 is the tag). The nmea, carrier,
// solution, authentication and fee fields hold readable words.

struct CasRecord {
    std::u16string host;
    std::u16string port;
    std::u16string identifier;
    std::u16string operatorName;
    std::u16string nmea;
    std::u16string country;
    std::u16string latitude;
    std::u16string longitude;
    std::u16string fallbackHost;
    std::u16string fallbackPort;
    std::u16string misc;

    bool operator==(const CasRecord&) const = default;
};

struct StrRecord {
    std::u16string mountPoint;
    std::u16string identifier;
    std::u16string format;
    std::u16string formatDetails;
    std::u16string carrier;
    std::u16string navSystem;
    std::u16string network;
    std::u16string country;
    std::u16string latitude;
    std::u16string longitude;
    std::u16string nmea;
    std::u16string solution;
    std::u16string generator;
    std::u16string compression;
    std::u16string authentication;
    std::u16string fee;
    std::u16string bitrate;
    std::u16string misc;

    bool operator==(const StrRecord&) const = default;
};

struct NetRecord {
    std::u16string identifier;
    std::u16string operatorName;
    std::u16string authentication;
    std::u16string fee;
    std::u16string webNet;
    std::u16string webStr;
    std::u16string webReg;
    std::u16string misc;

    bool operator==(const NetRecord&) const = default;
};

// Each parser takes one table line whose tag has already been recognised and
// returns the record, or nothing when the line is refused: too short, an empty
// field 1, or (CAS) an empty port.
std::optional<CasRecord> ParseCasRecord(std::u16string_view line);
std::optional<StrRecord> ParseStrRecord(std::u16string_view line);
std::optional<NetRecord> ParseNetRecord(std::u16string_view line);

} // namespace quorlex
