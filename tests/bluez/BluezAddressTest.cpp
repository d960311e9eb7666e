#include "link/bluez/BluezAddress.h"
#include "link/bluez/BluezAdapter.h"

#include <gtest/gtest.h>

using namespace quorlex;

TEST(BluezAddress, TextPathAndSocketFormsAgree) {
    uint64_t address = 0;
    ASSERT_TRUE(ParseBluezAddress("00:0A:3B:5c:7d:9E", address));
    EXPECT_EQ(address, 0x000A3B5C7D9EULL);
    EXPECT_EQ(FormatBluezAddress(address), "00:0A:3B:5C:7D:9E");
    EXPECT_EQ(BluezDevicePath("/org/bluez/hci0", address), "/org/bluez/hci0/dev_00_0A_3B_5C_7D_9E");

    uint64_t fromPath = 0;
    ASSERT_TRUE(AddressFromDevicePath("/org/bluez/hci1/dev_00_0A_3B_5C_7D_9E", fromPath));
    EXPECT_EQ(fromPath, address);

    const std::array<uint8_t, 6> bytes = {0x9E, 0x7D, 0x5C, 0x3B, 0x0A, 0x00};
    EXPECT_EQ(BluezAddressBytes(address), bytes);
    EXPECT_EQ(BluezAddressBytes(0xFFFF000000000001ULL)[5], 0x00); // bits above 48 ignored
}

TEST(BluezAddress, MalformedTextLeavesTheAddressAlone) {
    uint64_t address = 42;
    for (const char* text : {"", "00:0A:3B:5C:7D", "00:0A:3B:5C:7D:9E:", "00-0A-3B-5C-7D-9E",
                             "00:0A:3B:5C:7D:9G", "000:A:3B:5C:7D:9E", " 0:0A:3B:5C:7D:9E"}) {
        EXPECT_FALSE(ParseBluezAddress(text, address)) << text;
    }
    EXPECT_EQ(address, 42U);
    for (const char* path : {"/org/bluez/hci0", "dev_00_0A_3B_5C_7D_9E",
                             "/org/bluez/hci0/dev_00_0A_3B_5C_7D_9E/service0001",
                             "/org/bluez/hci0/dev_00:0A:3B:5C:7D:9E"}) {
        EXPECT_FALSE(AddressFromDevicePath(path, address)) << path;
    }
    EXPECT_EQ(address, 42U);
}

TEST(BluezDeviceName, OwnNameFirstAndTheAddressStandInCountsAsNone) {
    const uint64_t address = 0x000A3B5C7D9EULL;
    EXPECT_EQ(BluezDeviceName("接收机 R1", true, "renamed", address), u"接收机 R1");
    EXPECT_EQ(BluezDeviceName("", true, "", address), u"");
    EXPECT_EQ(BluezDeviceName("", false, "00-0A-3B-5C-7D-9E", address), u"");
    EXPECT_EQ(BluezDeviceName("", false, "00:0A:3B:5C:7D:9E", address), u"");
    EXPECT_EQ(BluezDeviceName("", false, "Rover", address), u"Rover");
}
