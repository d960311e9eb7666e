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
    std::string where;         // host or path
    std::u16string_view shown; // as the device list shows it
};

const LocationCase kLocations[] = {
    {kLinkKindTcp, 5017, u"192.168.1.5:5017", "192.168.1.5", u"192.168.1.5:5017"},
    {kLinkKindTcp, 2101, u"receiver.local:2101", "receiver.local", u"receiver.local:2101"},
    {kLinkKindTcp, 65535, u"[fe80::1]:65535", "fe80::1", u"[fe80::1]:65535"},
    {kLinkKindSerial, kDefaultSerialBaud, u"/dev/ttyUSB0", "/dev/ttyUSB0", u"/dev/ttyUSB0:115200"},
    {kLinkKindSerial, 9600, u"/dev/ttyS1:9600", "/dev/ttyS1", u"/dev/ttyS1:9600"},
    {kLinkKindSerial, kDefaultSerialBaud, u"/dev/serial/by-id/usb-0403:6001-if00",
     "/dev/serial/by-id/usb-0403:6001-if00", u"/dev/serial/by-id/usb-0403:6001-if00:115200"},
    {kLinkKindSerial, kDefaultSerialBaud, u"/dev/ttyUSB0:", "/dev/ttyUSB0", u"/dev/ttyUSB0:115200"},
};

} // namespace

TEST(LinkTarget, LocationsReadBackAsTheyAreShown) {
    // An IPv6 address needs its brackets, a path must be absolute, 9601 is no line rate.
    const auto refused = [](int32_t kind, std::initializer_list<std::u16string_view> texts) {
        for (const std::u16string_view text : texts) {
            EXPECT_FALSE(ParseLinkLocation(kind, text).has_value()) << ToUtf8(text);
        }
    };
    refused(kLinkKindTcp, {u"fe80::1:5017", u"[receiver]:5017", u"receiver:0", u"receiver:65536",
                           u"receiver:50x", u"receiver", u":5017", u"my receiver:5017"});
    refused(kLinkKindSerial, {u"/dev/ttyUSB0:9601", u"ttyUSB0:9600", u"/:9600"});
    refused(kLinkKindBluetooth, {u"000a3b5c7d9e"});
    for (const LocationCase& c : kLocations) {
        SCOPED_TRACE(ToUtf8(c.text));
        const std::optional<LinkTarget> target = ParseLinkLocation(c.kind, c.text);
        ASSERT_TRUE(target.has_value());
        EXPECT_EQ(target->kind, c.kind);
        EXPECT_EQ(c.kind == kLinkKindTcp ? target->host : target->path, c.where);
        EXPECT_EQ(c.kind == kLinkKindTcp ? int{target->port} : target->baud, c.number);
        EXPECT_EQ(LinkLocationText(*target), c.shown);
        const std::optional<LinkTarget> again = ParseLinkLocation(c.kind, c.shown);
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
