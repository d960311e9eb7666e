#pragma once

#include "network/SourceTableRecords.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

// A place on the earth in decimal degrees, longitude within -180..180.
struct GeoPoint {
    double latitude = 0.0;
    double longitude = 0.0;

    bool operator==(const GeoPoint&) const = default;
};

// One line of a mount point's details: what it is, and the record's text.
struct DetailRow {
    std::u16string_view label;
    std::u16string value;

    bool operator==(const DetailRow&) const = default;
};

// What a surveyor weighs when choosing a stream, in the record's own words.
std::vector<DetailRow> StrDetails(const StrRecord& record);

// The stream's base position; nothing when the record has none usable
// (empty, not a number, out of range, or the 0/0 that tables write for "none").
std::optional<GeoPoint> StrPosition(const StrRecord& record);
// Decimal degrees as typed; nothing unless both are plain numbers in range.
std::optional<GeoPoint> TypedPosition(std::u16string_view latitude, std::u16string_view longitude);
// The receiver's base position (latitude, longitude, height) when it starts on
// given coordinates; nothing otherwise.
std::optional<GeoPoint> ReportedBasePosition(int32_t basePositionMode,
                                             const std::array<double, 3>& basePosition);

// Great-circle distance on a sphere of the earth's mean radius.
double DistanceKm(GeoPoint from, GeoPoint to);

struct RankedStream {
    size_t index = 0; // into the records
    std::optional<double> distanceKm;

    bool operator==(const RankedStream&) const = default;
};

// The records nearest first from `from`, equal distances in table order, those
// without a usable position last in table order. Without `from`: table order.
std::vector<RankedStream> RankByDistance(const std::vector<StrRecord>& records,
                                         std::optional<GeoPoint> from);

// "%.1f" kilometres; empty for none.
std::u16string DistanceText(std::optional<double> km);
// "%.4f" degrees, about ten metres: finer than any ordering of casters needs.
std::u16string DegreesText(double degrees);

} // namespace quorlex
