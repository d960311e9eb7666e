#include "network/MountPointDetails.h"

#include "common/Numbers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorlex {

namespace {

constexpr double kEarthRadiusKm = 6371.0088;
constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 180.0;
// Some tables count longitudes eastwards up to 360.
constexpr double kFullCircle = 360.0;
constexpr int kDistanceDecimals = 1;
constexpr int kDegreeDecimals = 4;

std::u16string_view TrimBlanks(std::u16string_view text) {
    const size_t first = text.find_first_not_of(u" \t");
    if (first == std::u16string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(u" \t") - first + 1);
}

// An optional sign, digits with at most one decimal point, nothing else.
std::optional<double> PlainNumber(std::u16string_view text) {
    text = TrimBlanks(text);
    std::u16string_view digits = text;
    if (!digits.empty() && (digits.front() == u'+' || digits.front() == u'-')) {
        digits.remove_prefix(1);
    }
    const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    const bool plain = std::count(digits.begin(), digits.end(), u'.') <= 1 &&
                       std::all_of(digits.begin(), digits.end(),
                                   [&](char16_t c) { return isDigit(c) || c == u'.'; }) &&
                       std::any_of(digits.begin(), digits.end(), isDigit);
    if (!plain) {
        return std::nullopt;
    }
    return ParseDecimal(text);
}

std::optional<GeoPoint> InRange(double latitude, double longitude) {
    if (longitude > kMaxLongitude && longitude <= kFullCircle) {
        longitude -= kFullCircle;
    }
    if (std::abs(latitude) > kMaxLatitude || std::abs(longitude) > kMaxLongitude) {
        return std::nullopt;
    }
    return GeoPoint{latitude, longitude};
}

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

} // namespace

std::vector<DetailRow> StrDetails(const StrRecord& r) {
    return {
        {u"接入点", r.mountPoint},
        {u"标识", r.identifier},
        {u"格式", r.format},
        {u"格式详情", r.formatDetails},
        {u"载波", r.carrier},
        {u"导航系统", r.navSystem},
        {u"网络", r.network},
        {u"国家", r.country},
        {u"位置",
         std::u16string(TrimBlanks(r.latitude)) + u", " + std::u16string(TrimBlanks(r.longitude))},
        {u"NMEA", r.nmea},
        {u"认证", r.authentication},
        {u"码率", r.bitrate},
    };
}

std::optional<GeoPoint> StrPosition(const StrRecord& record) {
    const std::optional<GeoPoint> position = TypedPosition(record.latitude, record.longitude);
    if (!position || (position->latitude == 0.0 && position->longitude == 0.0)) {
        return std::nullopt;
    }
    return position;
}

std::optional<GeoPoint> TypedPosition(std::u16string_view latitude, std::u16string_view longitude) {
    const std::optional<double> lat = PlainNumber(latitude);
    const std::optional<double> lon = PlainNumber(longitude);
    if (!lat || !lon) {
        return std::nullopt;
    }
    return InRange(*lat, *lon);
}

std::optional<GeoPoint> ReportedBasePosition(int32_t basePositionMode,
                                             const std::array<double, 3>& basePosition) {
    const auto& [latitude, longitude, height] = basePosition;
    if (basePositionMode != 1 || !std::isfinite(latitude) || !std::isfinite(longitude) ||
        (latitude == 0.0 && longitude == 0.0)) {
        return std::nullopt;
    }
    return InRange(latitude, longitude);
}

double DistanceKm(GeoPoint from, GeoPoint to) {
    const double dLat = Radians(to.latitude - from.latitude);
    const double dLon = Radians(to.longitude - from.longitude);
    const double h = std::pow(std::sin(dLat / 2), 2) + std::cos(Radians(from.latitude)) *
                                                           std::cos(Radians(to.latitude)) *
                                                           std::pow(std::sin(dLon / 2), 2);
    return 2 * kEarthRadiusKm * std::asin(std::sqrt(std::min(1.0, h)));
}

std::vector<RankedStream> RankByDistance(const std::vector<StrRecord>& records,
                                         std::optional<GeoPoint> from) {
    std::vector<RankedStream> ranked;
    ranked.reserve(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        RankedStream entry{i, std::nullopt};
        if (from) {
            if (const std::optional<GeoPoint> at = StrPosition(records[i])) {
                entry.distanceKm = DistanceKm(*from, *at);
            }
        }
        ranked.push_back(entry);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const RankedStream& a, const RankedStream& b) {
                         if (!a.distanceKm || !b.distanceKm) {
                             return a.distanceKm.has_value() && !b.distanceKm.has_value();
                         }
                         return *a.distanceKm < *b.distanceKm;
                     });
    return ranked;
}

std::u16string DistanceText(std::optional<double> km) {
    return km ? FormatFixed(*km, kDistanceDecimals) : std::u16string();
}

std::u16string DegreesText(double degrees) {
    return FormatFixed(degrees, kDegreeDecimals);
}

} // namespace quorlex
