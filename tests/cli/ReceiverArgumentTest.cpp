#include "cli/ReceiverArgument.h"

#include <gtest/gtest.h>

using namespace quorlex::cli;

TEST(ReceiverArgumentTest, EveryKindAndItsMistakes) {
    using enum ReceiverKind;
    const uint64_t address = 0x00126F0A1B2CULL;
    struct Case {
        ReceiverKind kind;
        const char* text;
        uint64_t address = 0;
        const char* name = "";
        const char16_t* location = u"";
    };
    const Case accepted[] = {
        {BluetoothAddress, "00:12:6F:0A:1B:2C", address},
        {BluetoothAddress, "00126f0a1b2c", address},
        {BluetoothName, "GNSS-R01", 0, "GNSS-R01"},
        {BluetoothName, "00:12:6F:0A:1B", 0, "00:12:6F:0A:1B"},
        {Simulated, "sim"},
        {Simulated, "sim:GNSS-R02", 0, "GNSS-R02"},
        {Tcp, "tcp:receiver.local:9527", 0, "", u"receiver.local:9527"},
        {Tcp, "tcp:[::1]:2101", 0, "", u"[::1]:2101"},
        {Serial, "serial:/dev/ttyUSB0", 0, "", u"/dev/ttyUSB0:115200"},
        {Serial, "serial:/dev/ttyS1:9600", 0, "", u"/dev/ttyS1:9600"},
    };
    for (const Case& c : accepted) {
        std::string error;
        const ReceiverArgument expected{c.kind, c.text, c.address, c.name, c.location};
        EXPECT_EQ(ParseReceiverArgument(c.text, error), expected) << c.text;
    }
    const std::pair<const char*, const char*> refused[] = {
        {"", "empty"},
        {"sim:", "sim:NAME"},
        {"tcp:host", "tcp:HOST:PORT"},
        {"tcp:host:0", "1-65535"},
        {"tcp::2101", "tcp:HOST:PORT"},
        {"serial:ttyUSB0:9600", "absolute"},
        {"serial:/dev/ttyUSB0:1234", "baud rate"},
    };
    for (const auto& [text, says] : refused) {
        std::string error;
        EXPECT_FALSE(ParseReceiverArgument(text, error)) << text;
        EXPECT_NE(error.find(says), std::string::npos) << text << ": " << error;
    }
    EXPECT_EQ(FormatBluetoothAddress(address), "00:12:6F:0A:1B:2C");
}
