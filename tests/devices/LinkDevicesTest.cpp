#include "devices/LinkDevices.h"
#include "devices/DeviceList.h"
#include "link/LinkTarget.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace quorlex;
namespace fs = std::filesystem;

namespace {

const std::vector<KnownDevice> kMixed = {
    {u"GNSS-R01", u"00126f0a1b2c", u"7391"},
    {u"Office bridge", u"192.168.1.20:5017", u"", u"tcp"},
    {u"Cable", u"/dev/ttyUSB0:115200", u"", u"serial"},
    {u"GNSS-R02", u"00126f0a9e40", u"1234"},
    {u"Future", u"somewhere", u"", u"usb-hid"}, // a kind of a later version
};

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class LinkDeviceList : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("link-devices-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        path = folder / "Bluetooth.cfg";
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
    fs::path path;
};

} // namespace

// A reader that knows only Bluetooth receivers looks for the three named
// children of each entry: the kind is a fourth one after them.
TEST_F(LinkDeviceList, EveryKindIsKeptAndABluetoothReaderStillReadsTheList) {
    ASSERT_TRUE(SaveDeviceList(path, kMixed));
    EXPECT_NE(
        ReadBytes(path).find("<BtDevice>\r\n<Bluetooth_Name>Office bridge</Bluetooth_Name>\r\n"
                             "<Bluetooth_Address>192.168.1.20:5017</Bluetooth_Address>\r\n"
                             "<Bluetooth_PIN/>\r\n<Link_Kind>tcp</Link_Kind>\r\n</BtDevice>"),
        std::string::npos);
    std::vector<KnownDevice> loaded;
    ASSERT_TRUE(LoadDeviceList(path, loaded));
    EXPECT_EQ(loaded, kMixed);
    EXPECT_EQ(KnownDeviceKind(loaded[3]), kLinkKindBluetooth) << "the kind is never carried over";
    EXPECT_EQ(KnownDeviceKind(loaded[4]), 0);
    // What such a reader writes back is read as the Bluetooth receivers it was.
    ASSERT_TRUE(SaveDeviceList(path, {kMixed[0], kMixed[3]}));
    ASSERT_TRUE(LoadDeviceList(path, loaded));
    EXPECT_EQ(loaded, (std::vector<KnownDevice>{kMixed[0], kMixed[3]}));
    EXPECT_EQ(ReadBytes(path).find("Link_Kind"), std::string::npos);
}

TEST(LinkDevices, NewReceiversTakeTheListsFormAndANameOfTheirOwn) {
    struct Case {
        int32_t kind;
        std::u16string_view name;
        std::u16string_view location;
        std::optional<KnownDevice> added;
    };
    const Case cases[] = {
        {kLinkKindTcp, u" Bridge ", u" 192.168.1.20:5017 ",
         KnownDevice(u"Bridge", u"192.168.1.20:5017", u"", u"tcp")},
        {kLinkKindTcp, u"", u"[::1]:9527", KnownDevice(u"[::1]:9527", u"[::1]:9527", u"", u"tcp")},
        {kLinkKindSerial, u"线缆", u"/dev/ttyUSB0",
         KnownDevice(u"线缆", u"/dev/ttyUSB0:115200", u"", u"serial")},
        {kLinkKindTcp, u"x", u"192.168.1.20", std::nullopt},
        {kLinkKindBluetooth, u"x", u"00126f0a1b2c", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NewLinkDevice(c.kind, c.name, c.location), c.added);
    }
    const std::vector<KnownDevice> listed = kMixed;
    EXPECT_TRUE(IsListed(listed, *NewLinkDevice(kLinkKindTcp, u"other", u"192.168.1.20:5017")));
    EXPECT_FALSE(IsListed(listed, *NewLinkDevice(kLinkKindTcp, u"", u"192.168.1.20:5018")));
    EXPECT_FALSE(IsListed(listed, KnownDevice(u"", u"192.168.1.20:5017", u"", u"serial")));
}
