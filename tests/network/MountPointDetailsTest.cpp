#include "network/MountPointDetails.h"
#include "network/SourceTableRecords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorlex;

namespace {

StrRecord At(std::u16string_view name, std::u16string_view latitude,
             std::u16string_view longitude) {
    StrRecord record;
    record.mountPoint = name;
    record.latitude = latitude;
    record.longitude = longitude;
    return record;
}

} // namespace

TEST(MountPointDetails, GreatCircleDistances) {
    struct Row {
        GeoPoint from;
        GeoPoint to;
        double km;
    };
    const Row rows[] = {
        {{30.53, 114.36}, {30.53, 114.36}, 0.0},
        {{0.0, 0.0}, {0.0, 1.0}, 111.195},      // one degree of the equator
        {{0.0, 0.0}, {90.0, 0.0}, 10007.557},   // equator to pole
        {{0.0, 179.5}, {0.0, -179.5}, 111.195}, // across the date line
        {{30.53, 114.36}, {39.91, 116.40}, 1059.25},
    };
    for (const Row& row : rows) {
        EXPECT_NEAR(DistanceKm(row.from, row.to), row.km, 0.01)
            << row.to.latitude << "," << row.to.longitude;
        EXPECT_NEAR(DistanceKm(row.to, row.from), row.km, 0.01);
    }
}

TEST(MountPointDetails, PositionsMustBePlainNumbersInRange) {
    struct Row {
        std::u16string_view latitude;
        std::u16string_view longitude;
        std::optional<GeoPoint> typed;
    };
    const Row rows[] = {
        {u"30.53", u"114.36", GeoPoint{30.53, 114.36}},
        {u" -33.9 ", u"+18.4", GeoPoint{-33.9, 18.4}},
        {u"51.5", u"359.9", GeoPoint{51.5, 359.9 - 360.0}},
        {u"90", u"-180", GeoPoint{90.0, -180.0}},
        {u"0", u"0", GeoPoint{0.0, 0.0}},
        {u"90.01", u"0", std::nullopt},
        {u"10", u"360.5", std::nullopt},
        {u"", u"114", std::nullopt},
        {u"30.5N", u"114", std::nullopt},
        {u"30,5", u"114", std::nullopt},
        {u"1.2.3", u"114", std::nullopt},
        {u"-", u"114", std::nullopt},
        {u"1e2", u"114", std::nullopt},
        {u"nan", u"114", std::nullopt},
    };
    for (const Row& row : rows) {
        const std::optional<GeoPoint> typed = TypedPosition(row.latitude, row.longitude);
        ASSERT_EQ(typed.has_value(), row.typed.has_value())
            << std::string(row.latitude.begin(), row.latitude.end());
        if (typed) {
            EXPECT_NEAR(typed->latitude, row.typed->latitude, 1e-9);
            EXPECT_NEAR(typed->longitude, row.typed->longitude, 1e-9);
        }
    }
    // A table's 0/0 stands for "no position"; the receiver's only counts when it starts there.
    EXPECT_FALSE(StrPosition(At(u"VRS", u"0.00", u"0.00")));
    EXPECT_EQ(StrPosition(At(u"MP", u"30.53", u"114.36")), (GeoPoint{30.53, 114.36}));
    EXPECT_EQ(ReportedBasePosition(1, {30.5, 114.3, 35.2}), (GeoPoint{30.5, 114.3}));
    EXPECT_FALSE(ReportedBasePosition(0, {30.5, 114.3, 35.2}));
    EXPECT_FALSE(ReportedBasePosition(1, {0.0, 0.0, 0.0}));
    EXPECT_FALSE(ReportedBasePosition(1, {95.0, 114.3, 0.0}));
}

TEST(MountPointDetails, NearestFirstAndThoseWithoutAPlaceLastInTableOrder) {
    const std::vector<StrRecord> records = {
        At(u"NONE1", u"", u""),           At(u"FAR", u"39.91", u"116.40"),
        At(u"VRS", u"0", u"0"),           At(u"NEAR", u"30.60", u"114.30"),
        At(u"TWIN", u"39.91", u"116.40"), At(u"NONE2", u"x", u"1"),
    };
    const GeoPoint wuhan{30.53, 114.36};
    std::vector<size_t> order;
    std::vector<bool> measured;
    for (const RankedStream& r : RankByDistance(records, wuhan)) {
        order.push_back(r.index);
        measured.push_back(r.distanceKm.has_value());
    }
    EXPECT_EQ(order, (std::vector<size_t>{3, 1, 4, 0, 2, 5}));
    EXPECT_EQ(measured, (std::vector<bool>{true, true, true, false, false, false}));

    order.clear();
    for (const RankedStream& r : RankByDistance(records, std::nullopt)) {
        order.push_back(r.index);
        EXPECT_FALSE(r.distanceKm);
    }
    EXPECT_EQ(order, (std::vector<size_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(DistanceText(1059.2534), u"1059.3");
    EXPECT_EQ(DistanceText(std::nullopt), u"");
}

TEST(MountPointDetails, RowsShowTheRecordsOwnWords) {
    const std::optional<StrRecord> record =
        ParseStrRecord(u"STR;VRS32;基站网络;RTCM 3.2;1074(1);2;GPS+BDS;EXA;CHN; 31.20 ;121.40;1;1;"
                       u"sNTRIP;none;D;Y;9600;上海");
    ASSERT_TRUE(record);
    const std::vector<DetailRow> expected = {
        {u"接入点", u"VRS32"},       {u"标识", u"基站网络"},
        {u"格式", u"RTCM 3.2"},      {u"格式详情", u"1074(1)"},
        {u"载波", u"RTK(L1 & L2)"},  {u"导航系统", u"GPS+BDS"},
        {u"网络", u"EXA"},           {u"国家", u"CHN"},
        {u"位置", u"31.20, 121.40"}, {u"NMEA", u"Client Must Send NMEA-GGA:Yes"},
        {u"认证", u"Digest"},        {u"码率", u"9600"},
    };
    EXPECT_EQ(StrDetails(*record), expected);
}
