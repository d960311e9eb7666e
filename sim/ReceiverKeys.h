#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace quorlex {

enum class KeyKind {
    Identity, // fixed at the factory: serial numbers, versions, capabilities
    Status,   // changes with the receiver's situation, never written by a command
    Setting,  // written by SET, held in the configuration slots
};

struct ReceiverKey {
    std::u16string_view name;
    std::u16string_view factoryValue;
    KeyKind kind;
};

// Every key the receiver reports, in burst order: DEVICE.INFO.SERIAL first
// (it tells the tool a burst has begun), BLUETOOTH.MODEL last (the burst is
// complete), DEVICE.INFO.MODEL before DEVICE.SYS_MODE (both set the working
// mode, and the system mode must win).
std::span<const ReceiverKey> ReceiverKeys();

// Index of a key in ReceiverKeys(); whole-text, case-sensitive.
std::optional<std::size_t> FindReceiverKey(std::u16string_view name);

} // namespace quorlex
