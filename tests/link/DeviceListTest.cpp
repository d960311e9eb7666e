#include "link/ReceiverLink.h"
#include "tests/link/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

using namespace quorlex;
using namespace quorlex::test;

namespace {

std::u16string SlotText(const std::vector<char16_t>& out, std::size_t slot) {
    const char16_t* start = out.data() + slot * DeviceList::kSlotUnits;
    return std::u16string(start);
}

SimulatedReceiver Named(std::u16string name, uint64_t address) {
    SimulatedReceiver receiver = Receiver(address);
    receiver.name = std::move(name);
    return receiver;
}

} // namespace

TEST(RadioMode, AnAdapterThatIsOffIsMadeDiscoverableAndTurnedOffAgain) {
    SimulatedPlatform platform(kRadioOff);
    {
        ReceiverLink link(platform);
        EXPECT_EQ(platform.CurrentRadioMode(), kRadioDiscoverable);
    }
    EXPECT_EQ(platform.CurrentRadioMode(), kRadioOff);
}

TEST(RadioMode, AModeThatIsOnIsKeptAndAnUnreadableOneLeftAlone) {
    SimulatedPlatform connectable(kRadioConnectable);
    { ReceiverLink link(connectable); }
    EXPECT_EQ(connectable.Calls(), (std::vector<std::string>{"GetRadioMode", "SetRadioMode 1"}));

    SimulatedPlatform unreadable(kRadioOff);
    SimulatedAdapterFaults faults;
    faults.radioUnreadable = true;
    unreadable.SetAdapterFaults(faults);
    { ReceiverLink link(unreadable); }
    EXPECT_EQ(unreadable.Calls(), (std::vector<std::string>{"GetRadioMode"}));
}

// An adapter plugged in after start-up, switched off: a search switches it on
// and the link switches it off again when it goes.
TEST(RadioMode, AnAdapterThatAppearsSwitchedOffIsSwitchedOnWhenNeeded) {
    SimulatedPlatform platform(kRadioOff);
    SimulatedAdapterFaults faults;
    faults.noAdapter = true;
    platform.SetAdapterFaults(faults);
    {
        ReceiverLink link(platform);
        EXPECT_EQ(link.PrepareAdapter(), AdapterState::NoAdapter);
        faults.noAdapter = false;
        faults.powerOnRefused = true;
        platform.SetAdapterFaults(faults);
        EXPECT_EQ(link.PrepareAdapter(), AdapterState::CannotPowerOn);
        platform.SetAdapterFaults({});
        EXPECT_EQ(link.PrepareAdapter(), AdapterState::Usable);
        EXPECT_EQ(platform.CurrentRadioMode(), kRadioDiscoverable);
    }
    EXPECT_EQ(platform.CurrentRadioMode(), kRadioOff);
}

TEST(Inquiry, ReplacesTheListOnSuccessAndKeepsItOnFailure) {
    SimulatedPlatform platform;
    platform.AddReceiver(Named(u"first", 1));
    platform.AddReceiver(Named(u"second", 2));
    ReceiverLink link(platform);
    EXPECT_EQ(link.DeviceCount(), 0);
    ASSERT_EQ(link.Inquire(), 0);
    ASSERT_EQ(link.DeviceCount(), 2);
    EXPECT_EQ(link.Devices().Entries()[1].name, u"second");

    SimulatedAdapterFaults busy;
    busy.inquiryError = EBUSY;
    platform.SetAdapterFaults(busy);
    platform.RemoveReceiver(1);
    EXPECT_EQ(link.Inquire(), EBUSY);
    EXPECT_EQ(link.DeviceCount(), 2);

    platform.SetAdapterFaults({});
    ASSERT_EQ(link.Inquire(), 0);
    ASSERT_EQ(link.DeviceCount(), 1);
    EXPECT_EQ(link.Devices().Entries()[0].address, 2U);

    platform.RemoveReceiver(2);
    ASSERT_EQ(link.Inquire(), 0);
    EXPECT_EQ(link.DeviceCount(), 0);
}

TEST(DeviceText, WritesNameColonAndTwelveHexDigitsPerSlot) {
    SimulatedPlatform platform;
    platform.AddReceiver(Named(u"GNSS 北斗", 0x000A3B5C7D9EULL));
    platform.AddReceiver(Named(u"", 0xFFFF00000001ULL));
    platform.AddReceiver(Named(u"x", 0x123456789ABCULL | (0xBEEFULL << 48)));
    ReceiverLink link(platform);
    ASSERT_EQ(link.Inquire(), 0);

    std::vector<char16_t> out(3 * DeviceList::kSlotUnits, u'#');
    EXPECT_EQ(link.FormatDevices(out), 0);
    EXPECT_EQ(SlotText(out, 0), u"GNSS 北斗:000a3b5c7d9e");
    EXPECT_EQ(SlotText(out, 1), u":ffff00000001");
    // Only 48 bits of the address are written.
    EXPECT_EQ(SlotText(out, 2), u"x:123456789abc");
    // The rest of each slot is zero-filled.
    for (std::size_t i = 22; i < DeviceList::kSlotUnits; ++i) {
        ASSERT_EQ(out[i], u'\0') << i;
    }
}

TEST(DeviceText, CutsLongNamesAtThirtyNineUnitsAndAtAnEmbeddedZero) {
    SimulatedPlatform platform;
    const std::u16string forty(40, u'n');
    platform.AddReceiver(Named(forty + u"tail", 1));
    platform.AddReceiver(Named(std::u16string(39, u'm'), 2));
    platform.AddReceiver(Named(std::u16string(u"ab\0cd", 5), 3));
    ReceiverLink link(platform);
    ASSERT_EQ(link.Inquire(), 0);

    std::vector<char16_t> out(3 * DeviceList::kSlotUnits);
    link.FormatDevices(out);
    EXPECT_EQ(SlotText(out, 0), std::u16string(39, u'n') + u":000000000001");
    EXPECT_EQ(SlotText(out, 1), std::u16string(39, u'm') + u":000000000002");
    EXPECT_EQ(SlotText(out, 2), u"ab:000000000003");
}

TEST(DeviceText, NeverWritesPastTheSlotsGiven) {
    SimulatedPlatform platform;
    platform.AddReceiver(Named(u"a", 1));
    platform.AddReceiver(Named(u"b", 2));
    ReceiverLink link(platform);
    ASSERT_EQ(link.Inquire(), 0);

    std::vector<char16_t> out(2 * DeviceList::kSlotUnits - 1, u'#');
    link.FormatDevices(std::span<char16_t>(out).first(DeviceList::kSlotUnits + 5));
    EXPECT_EQ(SlotText(out, 0), u"a:000000000001");
    EXPECT_EQ(out[DeviceList::kSlotUnits], u'#');
}
