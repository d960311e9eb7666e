#include "link/LinkTarget.h"

#include "common/Text.h"
#include "link/SerialPorts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace quorlex;

namespace {

struct LocationCase {
    int32_t kind;
    int number; // port or rate
    std::u16string_view text;
    // Empty: the text is refused. Otherwise the host or path, and the text
    // the device list shows for it.
    std::string where;
    std::u16string_view shown;
};

const LocationCase kLocations[] = {
    {kLinkKindTcp, 5017, u"192.168.1.5:5017", "192.168.1.5", u"192.168.1.5:5017"},
    {kLinkKindTcp, 2101, u"receiver.local:2101", "receiver.local", u"receiver.local:2101"},
    {kLinkKindTcp, 65535, u"[fe80::1]:65535", "fe80::1", u"[fe80::1]:65535"},
    {kLinkKindTcp, 0, u"fe80::1:5017", "", u""}, // an IPv6 address needs its brackets
    {kLinkKindTcp, 0, u"[receiver]:5017", "", u""},
    {kLinkKindTcp, 0, u"receiver:0", "", u""},
    {kLinkKindTcp, 0, u"receiver:65536", "", u""},
    {kLinkKindTcp, 0, u"receiver:50x", "", u""},
    {kLinkKindTcp, 0, u"receiver", "", u""},
    {kLinkKindTcp, 0, u":5017", "", u""},
    {kLinkKindTcp, 0, u"my receiver:5017", "", u""},
    {kLinkKindSerial, kDefaultSerialBaud, u"/dev/ttyUSB0", "/dev/ttyUSB0", u"/dev/ttyUSB0:115200"},
    {kLinkKindSerial, 9600, u"/dev/ttyS1:9600", "/dev/ttyS1", u"/dev/ttyS1:9600"},
    {kLinkKindSerial, kDefaultSerialBaud, u"/dev/serial/by-id/usb-0403:6001-if00",
     "/dev/serial/by-id/usb-0403:6001-if00", u"/dev/serial/by-id/usb-0403:6001-if00:115200"},
    {kLinkKindSerial, 0, u"/dev/ttyUSB0:9601", "", u""}, // no such line rate
    {kLinkKindSerial, kDefaultSerialBaud, u"/dev/ttyUSB0:", "/dev/ttyUSB0", u"/dev/ttyUSB0:115200"},
    {kLinkKindSerial, 0, u"ttyUSB0:9600", "", u""}, // not an absolute path
    {kLinkKindSerial, 0, u"/:9600", "", u""},
    {kLinkKindBluetooth, 0, u"000a3b5c7d9e", "", u""},
};

} // namespace

TEST(LinkTarget, LocationsReadBackAsTheyAreShown) {
    for (const LocationCase& c : kLocations) {
        SCOPED_TRACE(ToUtf8(c.text));
        const std::optional<LinkTarget> target = ParseLinkLocation(c.kind, c.text);
        if (c.where.empty()) {
            EXPECT_FALSE(target.has_value());
            continue;
        }
        ASSERT_TRUE(target.has_value());
        EXPECT_EQ(target->kind, c.kind);
        EXPECT_EQ(c.kind == kLinkKindTcp ? target->host : target->path, c.where);
        EXPECT_EQ(c.kind == kLinkKindTcp ? int{target->port} : target->baud, c.number);
        EXPECT_EQ(LinkLocationText(*target), c.shown);
        const std::optional<LinkTarget> again =
            ParseLinkLocation(c.kind, LinkLocationText(*target));
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(LinkLocationText(*again), c.shown);
    }
}

TEST(LinkTarget, KindNamesAreStableAndEveryRateIsKnown) {
    for (const int32_t kind : {kLinkKindBluetooth, kLinkKindTcp, kLinkKindSerial}) {
        EXPECT_TRUE(IsKnownLinkKind(kind));
        EXPECT_EQ(LinkKindFromName(LinkKindName(kind)), kind);
    }
    EXPECT_EQ(LinkKindName(kLinkKindTcp), "tcp");
    EXPECT_FALSE(IsKnownLinkKind(0));
    EXPECT_FALSE(LinkKindFromName("unknown").has_value());
    for (const int baud : SerialBaudRates()) {
        EXPECT_TRUE(
            ParseLinkLocation(kLinkKindSerial, u"/dev/ttyS0:" + FromUtf8(std::to_string(baud))))
            << baud;
    }
}

TEST(SerialPorts, StableNamesComeFirstAndBuiltInPortsAreLeftOut) {
    namespace fs = std::filesystem;
    const fs::path dev = fs::temp_directory_path() / ("serial-ports-" + std::to_string(::getpid()));
    fs::remove_all(dev);
    fs::create_directories(dev / "serial" / "by-id");
    for (const char* name : {"ttyUSB1", "ttyUSB0", "ttyACM0", "ttyS0", "ttyUSB", "tty1",
                             "serial/by-id/usb-FTDI_FT232R-if00-port0"}) {
        std::ofstream(dev / name).put('\n');
    }
    EXPECT_EQ(SerialDevicePaths(dev),
              (std::vector<std::string>{(dev / "serial/by-id/usb-FTDI_FT232R-if00-port0").string(),
                                        (dev / "ttyACM0").string(), (dev / "ttyUSB0").string(),
                                        (dev / "ttyUSB1").string()}));
    fs::remove_all(dev);
    EXPECT_TRUE(SerialDevicePaths(dev).empty());
}
