#include "cli/ReceiverArgument.h"

#include <gtest/gtest.h>

using namespace quorlex::cli;

TEST(ReceiverArgumentTest, EveryKindAndItsMistakes) {
    struct Case {
        const char* text;
        std::optional<ReceiverArgument> argument; // nullopt: refused
        const char* error = "";
    };
    auto argument = [](ReceiverKind kind, const char* text) {
        ReceiverArgument s;
        s.kind = kind;
        s.text = text;
        return s;
    };
    ReceiverArgument address = argument(ReceiverKind::BluetoothAddress, "00:12:6F:0A:1B:2C");
    address.address = 0x00126F0A1B2CULL;
    ReceiverArgument listed = argument(ReceiverKind::BluetoothAddress, "00126f0a1b2c");
    listed.address = 0x00126F0A1B2CULL;
    ReceiverArgument named = argument(ReceiverKind::BluetoothName, "GNSS-R01");
    named.name = "GNSS-R01";
    ReceiverArgument almost = argument(ReceiverKind::BluetoothName, "00:12:6F:0A:1B");
    almost.name = "00:12:6F:0A:1B";
    ReceiverArgument sim = argument(ReceiverKind::Simulated, "sim");
    ReceiverArgument simNamed = argument(ReceiverKind::Simulated, "sim:GNSS-R02");
    simNamed.name = "GNSS-R02";
    ReceiverArgument tcp = argument(ReceiverKind::Tcp, "tcp:receiver.local:9527");
    tcp.location = u"receiver.local:9527";
    ReceiverArgument tcp6 = argument(ReceiverKind::Tcp, "tcp:[::1]:2101");
    tcp6.location = u"[::1]:2101";
    ReceiverArgument serial = argument(ReceiverKind::Serial, "serial:/dev/ttyUSB0");
    serial.location = u"/dev/ttyUSB0:115200";
    ReceiverArgument serialBaud = argument(ReceiverKind::Serial, "serial:/dev/ttyS1:9600");
    serialBaud.location = u"/dev/ttyS1:9600";

    const Case cases[] = {
        {"00:12:6F:0A:1B:2C", address},
        {"00126f0a1b2c", listed},
        {"GNSS-R01", named},
        {"00:12:6F:0A:1B", almost},
        {"sim", sim},
        {"sim:GNSS-R02", simNamed},
        {"tcp:receiver.local:9527", tcp},
        {"tcp:[::1]:2101", tcp6},
        {"serial:/dev/ttyUSB0", serial},
        {"serial:/dev/ttyS1:9600", serialBaud},
        {"", std::nullopt, "empty"},
        {"sim:", std::nullopt, "sim:NAME"},
        {"tcp:host", std::nullopt, "tcp:HOST:PORT"},
        {"tcp:host:0", std::nullopt, "1-65535"},
        {"tcp::2101", std::nullopt, "tcp:HOST:PORT"},
        {"serial:ttyUSB0:9600", std::nullopt, "absolute"},
        {"serial:/dev/ttyUSB0:1234", std::nullopt, "baud rate"},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto parsed = ParseReceiverArgument(c.text, error);
        EXPECT_EQ(parsed, c.argument) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << ": " << error;
    }
    EXPECT_EQ(FormatBluetoothAddress(0x00126F0A1B2CULL), "00:12:6F:0A:1B:2C");
}
