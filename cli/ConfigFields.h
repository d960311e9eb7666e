#pragma once

#include "cli/ConfigFile.h"
#include "model/ReceiverSettings.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quorlex::cli {

enum class FieldKind { Mode, Text, Port, Channel, Protocol, Frequencies };

using FrequencyTable = std::array<double, kRadioChannelCount>;
using FieldRef = std::variant<int32_t*, std::u16string*, FrequencyTable*>;

// One value of the configuration file: where it sits in the file, which
// working modes' batches set it, and where it lives in a ConfigFile.
struct FieldDef {
    std::string_view path; // "networkRelay.server.port"
    FieldKind kind;
    unsigned modes; // bit (1 << mode) per working mode that sends it
    std::optional<SecretField> secret;
    // Must not hold "|": the receiver reports caster user and password joined by it.
    bool noBar = false;
    // Must not be empty.
    bool required = false;
    FieldRef (*ref)(ConfigFile&);
};

// Every field, in the order the batches send them.
std::span<const FieldDef> ConfigFields();
const FieldDef& SecretFieldDef(SecretField secret);
bool SetsField(const FieldDef& field, int32_t workingMode);

// The value as one comparable text: the mode word, a decimal number, the
// protocol's name (its code when it has none), or the frequency table as the
// receiver takes it. nullopt when the receiver did not report it.
std::optional<std::string> FieldText(const FieldDef& field, const ConfigFile& config);

// "UHF", "NETRELAY", "UHFRELAY", "NETBASE"; empty for none.
std::string_view ModeWord(int32_t workingMode);
std::optional<int32_t> ModeOfWord(std::string_view word);

// What a receiver reported, as a configuration file: its one network profile
// stands for both the network relay and the base network, radio[0] for the
// radio mode and the relay radio, radio[1] for the radio relay. Passwords are
// marked as the receiver's own.
ConfigFile ConfigFromRecord(const ReceiverConfig& record);

// Gives every field a configuration file holds a value no reply can produce,
// so that after a read a field the receiver did not report stays recognisable.
void MarkUnreported(ReceiverSettings& settings);

enum class FieldState { Same, Differs, NotReported };

struct FieldComparison {
    const FieldDef* field = nullptr;
    std::string intended;
    std::optional<std::string> reported;
    FieldState state = FieldState::Same;
};

// The fields the batch of intended's working mode sets, compared with what a
// receiver reported.
std::vector<FieldComparison> CompareFields(const ConfigFile& intended, const ConfigFile& reported);

// Why a text cannot be sent as this field's value; nullopt when it can.
std::optional<std::string> CheckTextValue(const FieldDef& field, std::string_view utf8);

using EnvironmentLookup = std::function<std::optional<std::string>(const std::string&)>;

// Puts the passwords named by environment variable into config; false with
// error naming the field when a variable is not set.
bool ResolveEnvironmentSecrets(ConfigFile& config, const EnvironmentLookup& lookup,
                               std::string& error);
// Puts the receiver's own passwords into config; false when the receiver did
// not report one that config needs.
bool ResolveReceiverSecrets(ConfigFile& config, const ConfigFile& reported, std::string& error);

} // namespace quorlex::cli
