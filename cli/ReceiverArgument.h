#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorlex::cli {

enum class ReceiverKind {
    BluetoothAddress, // "00:12:6F:0A:1B:2C" or "00126f0a1b2c"
    BluetoothName,    // a name from the device list
    Simulated,        // "sim" or "sim:NAME", in-process
    Tcp,              // "tcp:HOST:PORT"
    Serial,           // "serial:/dev/ttyUSB0[:BAUD]"
};

// kLinkKindTcp or kLinkKindSerial for those kinds, else kLinkKindBluetooth.
int32_t LinkKindOf(ReceiverKind kind);

// A RECEIVER argument, parsed but not yet looked up.
struct ReceiverArgument {
    ReceiverKind kind = ReceiverKind::BluetoothName;
    std::string text; // as given; what reports call the receiver
    uint64_t address = 0;
    std::string name; // device-list name, or simulated receiver (empty: the first)
    // TCP and serial: where the receiver is, as the device list shows it
    // ("host:port", "path:baud").
    std::u16string location;

    bool operator==(const ReceiverArgument&) const = default;
};

// nullopt with error set when the text names no receiver.
std::optional<ReceiverArgument> ParseReceiverArgument(std::string_view text, std::string& error);

// "00:12:6F:0A:1B:2C".
std::string FormatBluetoothAddress(uint64_t address);

} // namespace quorlex::cli
