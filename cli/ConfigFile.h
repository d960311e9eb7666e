#pragma once

#include "model/DatalinkConfig.h"
#include "model/ReceiverConfig.h"
#include "model/WorkingMode.h"
#include "settings/WorkingScreen.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quorlex::cli {

// The passwords a configuration file carries.
enum class SecretField : size_t { RelayApnPassword, RelayCasterPassword, BaseApnPassword };
inline constexpr size_t kSecretFieldCount = 3;

// Where a password comes from. Files written by "read" never hold one: they
// say "the receiver's own", so that "read one, apply to many" keeps each
// receiver's password, and a crew that wants one password everywhere names an
// environment variable instead of writing it down.
enum class SecretOrigin { File, Receiver, Environment };

struct SecretSource {
    SecretOrigin origin = SecretOrigin::File;
    std::string variable; // with Environment

    bool operator==(const SecretSource&) const = default;
};

// What the settings dialog edits, in the shape its builders take: the working
// mode, the working copy (network[0] the network relay, network[1] the base
// network, radio[0] the radio mode, radio[1] the radio relay) and the network
// relay's radio block.
struct ConfigFile {
    int32_t workingMode = kWorkingModeNone;
    ReceiverConfig workCopy = InitialWorkCopy();
    RadioBlock relayRadio = InitialWorkCopy().datalink.radio[0];
    std::array<SecretSource, kSecretFieldCount> secrets{};
};

} // namespace quorlex::cli
