#include "network/MountPointDetails.h"

#include <gtest/gtest.h>

using namespace quorlex;

TEST(MountPointDetails, GreatCircleDistances) {
    const struct {
        GeoPoint from;
        GeoPoint to;
        double km;
    } rows[] = {
        {{0.0, 0.0}, {0.0, 1.0}, 111.195},      // one degree of the equator
        {{0.0, 0.0}, {90.0, 0.0}, 10007.557},   // equator to pole
        {{0.0, 179.5}, {0.0, -179.5}, 111.195}, // across the date line
        {{30.53, 114.36}, {39.91, 116.40}, 1059.253},
    };
    for (const auto& row : rows) {
        EXPECT_NEAR(DistanceKm(row.from, row.to), row.km, 0.001) << row.km;
        EXPECT_NEAR(DistanceKm(row.to, row.from), row.km, 0.001) << row.km;
    }
}

TEST(MountPointDetails, OnlyPlainNumbersInRangeArePositions) {
    const struct {
        std::u16string_view latitude;
        std::u16string_view longitude;
        std::optional<GeoPoint> typed;
    } rows[] = {
        {u" -33.9 ", u"+18.4", GeoPoint{-33.9, 18.4}},
        {u"90", u"-180", GeoPoint{90.0, -180.0}},
        {u"51.5", u"359.5", GeoPoint{51.5, -0.5}}, // counted eastwards
        {u"90.01", u"0", std::nullopt},
        {u"10", u"360.5", std::nullopt},
        {u"", u"114", std::nullopt},
        {u"30.5N", u"114", std::nullopt},
        {u"1.2.3", u"114", std::nullopt},
        {u"1e2", u"114", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TypedPosition(row.latitude, row.longitude), row.typed)
            << std::string(row.latitude.begin(), row.latitude.end());
    }
    // A table's 0/0 means "none"; the receiver's position counts when it starts on it.
    StrRecord none;
    none.mountPoint = u"VRS";
    none.latitude = u"0.00";
    none.longitude = u"0";
    EXPECT_FALSE(StrPosition(none));
    EXPECT_EQ(TypedPosition(u"0", u"0"), (GeoPoint{0.0, 0.0}));
    EXPECT_EQ(ReportedBasePosition(1, {30.5, 114.3, 35.2}), (GeoPoint{30.5, 114.3}));
    EXPECT_FALSE(ReportedBasePosition(0, {30.5, 114.3, 35.2}));
    EXPECT_FALSE(ReportedBasePosition(1, {0.0, 0.0, 0.0}));
}
