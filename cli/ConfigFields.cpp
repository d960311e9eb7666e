#include "cli/ConfigFields.h"

#include "common/Text.h"
#include "radio/RadioTables.h"
#include "settings/ApplyCommands.h"

#include <array>
#include <climits>
#include <cmath>
#include <limits>

namespace quorlex::cli {
namespace {

constexpr unsigned kRadioMode = 1U << kWorkingModeRadio;
constexpr unsigned kRelayMode = 1U << kWorkingModeNetworkRelay;
constexpr unsigned kRadioRelayMode = 1U << kWorkingModeRadioRelay;
constexpr unsigned kBaseMode = 1U << kWorkingModeBaseNetwork;
constexpr unsigned kEveryMode = kRadioMode | kRelayMode | kRadioRelayMode | kBaseMode;

// Values no reply line can produce: a line never holds a line feed, and the
// decoders read numbers as far as the digits go.
constexpr std::u16string_view kUnreportedText = u"\n";
constexpr int32_t kUnreportedNumber = INT32_MIN;

constexpr std::array<std::string_view, 4> kModeWords{"UHF", "NETRELAY", "UHFRELAY", "NETBASE"};

NetworkBlock& Relay(ConfigFile& c) {
    return c.workCopy.datalink.network[0];
}
NetworkBlock& Base(ConfigFile& c) {
    return c.workCopy.datalink.network[1];
}
RadioBlock& Radio(ConfigFile& c) {
    return c.workCopy.datalink.radio[0];
}
RadioBlock& RadioRelay(ConfigFile& c) {
    return c.workCopy.datalink.radio[1];
}

using K = FieldKind;
using S = SecretField;

const std::array<FieldDef, 26> kFields{{
    {"workingMode",
     K::Mode,
     kEveryMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &c.workingMode; }},
    {"radio.protocol",
     K::Protocol,
     kRadioMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &Radio(c).protocol; }},
    {"radio.channel",
     K::Channel,
     kRadioMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &Radio(c).channel; }},
    {"radio.txFrequency",
     K::Frequencies,
     kRadioMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &Radio(c).txFrequency; }},
    {"networkRelay.apn.name",
     K::Text,
     kRelayMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &Relay(c).apn.name; }},
    {"networkRelay.apn.user",
     K::Text,
     kRelayMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &Relay(c).apn.user; }},
    {"networkRelay.apn.password", K::Text, kRelayMode, S::RelayApnPassword, false, false,
     [](ConfigFile& c) -> FieldRef { return &Relay(c).apn.password; }},
    {"networkRelay.server.address",
     K::Text,
     kRelayMode,
     {},
     false,
     true,
     [](ConfigFile& c) -> FieldRef { return &Relay(c).server.address; }},
    {"networkRelay.server.port",
     K::Port,
     kRelayMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &Relay(c).server.port; }},
    {"networkRelay.server.mountPoint",
     K::Text,
     kRelayMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &Relay(c).server.mountPoint; }},
    {"networkRelay.server.user",
     K::Text,
     kRelayMode,
     {},
     true,
     false,
     [](ConfigFile& c) -> FieldRef { return &Relay(c).server.user; }},
    {"networkRelay.server.password", K::Text, kRelayMode, S::RelayCasterPassword, true, false,
     [](ConfigFile& c) -> FieldRef { return &Relay(c).server.password; }},
    {"relayRadio.protocol",
     K::Protocol,
     kRelayMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &c.relayRadio.protocol; }},
    {"relayRadio.channel",
     K::Channel,
     kRelayMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &c.relayRadio.channel; }},
    {"relayRadio.txFrequency",
     K::Frequencies,
     kRelayMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &c.relayRadio.txFrequency; }},
    {"radioRelay.protocol",
     K::Protocol,
     kRadioRelayMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &RadioRelay(c).protocol; }},
    {"radioRelay.rxChannel",
     K::Channel,
     kRadioRelayMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &RadioRelay(c).rxChannel; }},
    {"radioRelay.rxFrequency",
     K::Frequencies,
     kRadioRelayMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &RadioRelay(c).rxFrequency; }},
    {"radioRelay.channel",
     K::Channel,
     kRadioRelayMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &RadioRelay(c).channel; }},
    {"radioRelay.txFrequency",
     K::Frequencies,
     kRadioRelayMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &RadioRelay(c).txFrequency; }},
    {"baseNetwork.apn.name",
     K::Text,
     kBaseMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &Base(c).apn.name; }},
    {"baseNetwork.apn.user",
     K::Text,
     kBaseMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &Base(c).apn.user; }},
    {"baseNetwork.apn.password", K::Text, kBaseMode, S::BaseApnPassword, false, false,
     [](ConfigFile& c) -> FieldRef { return &Base(c).apn.password; }},
    {"baseNetwork.server.address",
     K::Text,
     kBaseMode,
     {},
     false,
     true,
     [](ConfigFile& c) -> FieldRef { return &Base(c).server.address; }},
    {"baseNetwork.server.port",
     K::Port,
     kBaseMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &Base(c).server.port; }},
    {"baseNetwork.server.mountPoint",
     K::Text,
     kBaseMode,
     {},
     false,
     false,
     [](ConfigFile& c) -> FieldRef { return &Base(c).server.mountPoint; }},
}};

std::optional<std::string> NumberText(int32_t value) {
    if (value == kUnreportedNumber) {
        return std::nullopt;
    }
    return std::to_string(value);
}

std::optional<std::string> ProtocolText(int32_t code) {
    if (code == kUnreportedNumber) {
        return std::nullopt;
    }
    if (const auto index = ProtocolIndexOfCode(code)) {
        return ToUtf8(kRadioProtocols[static_cast<size_t>(*index)].name);
    }
    return std::to_string(code);
}

std::optional<std::string> TableText(const FrequencyTable& table) {
    for (const double f : table) {
        if (std::isnan(f)) {
            return std::nullopt;
        }
    }
    return ToUtf8(FormatFrequencyTable(table));
}

void MarkRadio(RadioBlock& radio) {
    radio.protocol = kUnreportedNumber;
    radio.channel = kUnreportedNumber;
    radio.rxChannel = kUnreportedNumber;
    radio.txFrequency.fill(std::numeric_limits<double>::quiet_NaN());
    radio.rxFrequency.fill(std::numeric_limits<double>::quiet_NaN());
}

} // namespace

std::span<const FieldDef> ConfigFields() {
    return kFields;
}

const FieldDef& SecretFieldDef(SecretField secret) {
    for (const FieldDef& field : kFields) {
        if (field.secret == secret) {
            return field;
        }
    }
    return kFields.front(); // not reached: every secret has its field
}

bool SetsField(const FieldDef& field, int32_t workingMode) {
    return workingMode >= kWorkingModeRadio && workingMode <= kWorkingModeBaseNetwork &&
           (field.modes & (1U << workingMode)) != 0;
}

std::optional<std::string> FieldText(const FieldDef& field, const ConfigFile& config) {
    const FieldRef ref = field.ref(const_cast<ConfigFile&>(config));
    switch (field.kind) {
    case FieldKind::Mode: {
        const int32_t mode = *std::get<int32_t*>(ref);
        if (mode == kUnreportedNumber) {
            return std::nullopt;
        }
        const std::string_view word = ModeWord(mode);
        return word.empty() ? std::string("none") : std::string(word);
    }
    case FieldKind::Text: {
        const std::u16string& text = *std::get<std::u16string*>(ref);
        if (text == kUnreportedText) {
            return std::nullopt;
        }
        return ToUtf8(text);
    }
    case FieldKind::Port:
    case FieldKind::Channel:
        return NumberText(*std::get<int32_t*>(ref));
    case FieldKind::Protocol:
        return ProtocolText(*std::get<int32_t*>(ref));
    case FieldKind::Frequencies:
        return TableText(*std::get<FrequencyTable*>(ref));
    }
    return std::nullopt;
}

std::string_view ModeWord(int32_t workingMode) {
    if (workingMode < kWorkingModeRadio || workingMode > kWorkingModeBaseNetwork) {
        return {};
    }
    return kModeWords[static_cast<size_t>(workingMode)];
}

std::optional<int32_t> ModeOfWord(std::string_view word) {
    for (size_t i = 0; i < kModeWords.size(); ++i) {
        if (kModeWords[i] == word) {
            return static_cast<int32_t>(i);
        }
    }
    return std::nullopt;
}

ConfigFile ConfigFromRecord(const ReceiverConfig& record) {
    ConfigFile config;
    config.workingMode = record.workingMode;
    const NetworkBlock& network = record.datalink.network[0];
    for (NetworkBlock& block : config.workCopy.datalink.network) {
        block.apn = network.apn;
        block.server = network.server;
    }
    config.workCopy.datalink.radio = record.datalink.radio;
    config.relayRadio = record.datalink.radio[0];
    config.secrets.fill({SecretOrigin::Receiver, {}});
    return config;
}

void MarkUnreported(ReceiverSettings& settings) {
    ReceiverConfig& config = settings.config;
    config.workingMode = kUnreportedNumber;
    NetworkBlock& network = config.datalink.network[0];
    for (std::u16string* text :
         {&network.apn.name, &network.apn.user, &network.apn.password, &network.server.address,
          &network.server.user, &network.server.password, &network.server.mountPoint}) {
        *text = std::u16string(kUnreportedText);
    }
    network.server.port = kUnreportedNumber;
    for (RadioBlock& radio : config.datalink.radio) {
        MarkRadio(radio);
    }
}

std::vector<FieldComparison> CompareFields(const ConfigFile& intended, const ConfigFile& reported) {
    std::vector<FieldComparison> result;
    for (const FieldDef& field : kFields) {
        if (!SetsField(field, intended.workingMode)) {
            continue;
        }
        FieldComparison c{&field, FieldText(field, intended).value_or(std::string()),
                          FieldText(field, reported), FieldState::Same};
        if (!c.reported) {
            c.state = FieldState::NotReported;
        } else if (*c.reported != c.intended) {
            c.state = FieldState::Differs;
        }
        result.push_back(std::move(c));
    }
    return result;
}

bool ResolveEnvironmentSecrets(ConfigFile& config, const EnvironmentLookup& lookup,
                               std::string& error) {
    for (size_t i = 0; i < kSecretFieldCount; ++i) {
        const SecretSource& source = config.secrets[i];
        const FieldDef& field = SecretFieldDef(static_cast<SecretField>(i));
        if (source.origin != SecretOrigin::Environment || !SetsField(field, config.workingMode)) {
            continue;
        }
        const std::optional<std::string> value = lookup(source.variable);
        if (!value) {
            error = std::string(field.path) + ": the environment variable " + source.variable +
                    " is not set";
            return false;
        }
        if (const auto reason = CheckTextValue(field, *value)) {
            error = std::string(field.path) + ": the value of " + source.variable + " " + *reason;
            return false;
        }
        *std::get<std::u16string*>(field.ref(config)) = FromUtf8(*value);
    }
    return true;
}

bool ResolveReceiverSecrets(ConfigFile& config, const ConfigFile& reported, std::string& error) {
    for (size_t i = 0; i < kSecretFieldCount; ++i) {
        const FieldDef& field = SecretFieldDef(static_cast<SecretField>(i));
        if (config.secrets[i].origin != SecretOrigin::Receiver ||
            !SetsField(field, config.workingMode)) {
            continue;
        }
        const std::optional<std::string> own = FieldText(field, reported);
        if (!own) {
            error = std::string(field.path) + ": the receiver did not report its own value";
            return false;
        }
        *std::get<std::u16string*>(field.ref(config)) = FromUtf8(*own);
    }
    return true;
}

std::optional<std::string> CheckTextValue(const FieldDef& field, std::string_view utf8) {
    if (field.required && utf8.empty()) {
        return "must not be empty";
    }
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E) {
            return "holds a character other than printable ASCII, which a command cannot carry";
        }
        if (c == ',' || c == '*') {
            return std::string("holds \"") + c +
                   "\", which would end the value in the receiver's reply";
        }
        if (c == '|' && field.noBar) {
            return "holds \"|\", which separates caster user and password";
        }
    }
    return std::nullopt;
}

} // namespace quorlex::cli
