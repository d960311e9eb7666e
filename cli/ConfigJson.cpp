#include "cli/ConfigJson.h"

#include "cli/ConfigFields.h"
#include "common/Text.h"
#include "radio/RadioTables.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <set>

namespace quorlex::cli {
namespace {

using json = nlohmann::json;
using ordered_json = nlohmann::ordered_json;

constexpr std::string_view kIdentityKey = "identity";

// The section a field belongs to: the first part of its path.
std::string_view SectionOf(std::string_view path) {
    return path.substr(0, path.find('.'));
}

json::json_pointer PointerOf(std::string_view path) {
    std::string pointer(1, '/');
    pointer += path;
    std::replace(pointer.begin(), pointer.end(), '.', '/');
    return json::json_pointer(pointer);
}

// The keys each object of the file may hold, derived from the field paths.
std::map<std::string, std::set<std::string>> AllowedKeys() {
    std::map<std::string, std::set<std::string>> allowed;
    allowed[""].insert(std::string(kIdentityKey));
    for (const FieldDef& field : ConfigFields()) {
        std::string path(field.path);
        std::string parent;
        size_t start = 0;
        for (size_t dot = path.find('.');; dot = path.find('.', start)) {
            const std::string key = path.substr(start, dot == path.npos ? path.npos : dot - start);
            allowed[parent].insert(key);
            if (dot == path.npos) {
                break;
            }
            parent = path.substr(0, dot);
            start = dot + 1;
        }
    }
    return allowed;
}

class ConfigReader {
public:
    explicit ConfigReader(std::vector<ConfigProblem>& problems) : problems_(problems) {}

    std::optional<ConfigFile> Read(const json& doc) {
        if (!doc.is_object()) {
            Problem("", "the file must hold one JSON object");
            return std::nullopt;
        }
        CheckKeys(doc, "");
        if (doc.contains(kIdentityKey) && !doc[std::string(kIdentityKey)].is_object()) {
            Problem(std::string(kIdentityKey), "must be an object");
        }
        ReadMode(doc);
        std::set<std::string_view> reported;
        for (const FieldDef& field : ConfigFields()) {
            const std::string_view section = SectionOf(field.path);
            if (field.kind == FieldKind::Mode) {
                continue;
            }
            if (!doc.contains(std::string(section))) {
                if (SetsField(field, config_.workingMode) && reported.insert(section).second) {
                    Problem(std::string(section), "missing; working mode " +
                                                      std::string(ModeWord(config_.workingMode)) +
                                                      " needs it");
                }
                continue;
            }
            const json::json_pointer pointer = PointerOf(field.path);
            if (!doc.contains(pointer)) {
                Problem(std::string(field.path), "missing");
                continue;
            }
            ReadField(field, doc.at(pointer));
        }
        CheckChannelsHaveFrequencies(doc);
        if (!problems_.empty()) {
            return std::nullopt;
        }
        return config_;
    }

private:
    void Problem(std::string key, std::string reason) {
        problems_.push_back({std::move(key), std::move(reason)});
    }

    // Unknown keys anywhere, and objects where objects belong.
    void CheckKeys(const json& object, const std::string& path) {
        static const std::map<std::string, std::set<std::string>> kAllowed = AllowedKeys();
        const auto& keys = kAllowed.at(path);
        for (const auto& [key, value] : object.items()) {
            std::string child = path;
            if (!child.empty()) {
                child += '.';
            }
            child += key;
            if (!keys.contains(key)) {
                Problem(child, "unknown key");
            } else if (kAllowed.contains(child)) {
                if (!value.is_object()) {
                    Problem(child, "must be an object");
                } else {
                    CheckKeys(value, child);
                }
            }
        }
    }

    void ReadMode(const json& doc) {
        const auto it = doc.find("workingMode");
        if (it == doc.end()) {
            Problem("workingMode", "missing");
            return;
        }
        const auto mode = it->is_string() ? ModeOfWord(it->get<std::string>()) : std::nullopt;
        if (!mode) {
            Problem("workingMode",
                    "must be one of \"UHF\", \"NETRELAY\", \"UHFRELAY\", \"NETBASE\"");
            return;
        }
        config_.workingMode = *mode;
    }

    void ReadField(const FieldDef& field, const json& value) {
        const std::string key(field.path);
        const FieldRef ref = field.ref(config_);
        switch (field.kind) {
        case FieldKind::Mode:
            break;
        case FieldKind::Text:
            if (field.secret && !value.is_string()) {
                ReadSecretSource(field, value);
            } else if (!value.is_string()) {
                Problem(key, "must be a string");
            } else if (const auto reason = CheckTextValue(field, value.get<std::string>())) {
                Problem(key, *reason);
            } else {
                *std::get<std::u16string*>(ref) = FromUtf8(value.get<std::string>());
            }
            break;
        case FieldKind::Port:
            ReadInteger(key, value, 1, 65535, *std::get<int32_t*>(ref));
            break;
        case FieldKind::Channel:
            ReadInteger(key, value, 1, kRadioChannelCount, *std::get<int32_t*>(ref));
            break;
        case FieldKind::Protocol:
            ReadProtocol(key, value, *std::get<int32_t*>(ref));
            break;
        case FieldKind::Frequencies:
            ReadFrequencies(key, value, *std::get<FrequencyTable*>(ref));
            break;
        }
    }

    void ReadSecretSource(const FieldDef& field, const json& value) {
        const std::string key(field.path);
        SecretSource& source = config_.secrets[static_cast<size_t>(*field.secret)];
        const auto origin = value.is_object() ? value.find("source") : value.end();
        if (!value.is_object() || origin == value.end() || !origin->is_string()) {
            Problem(key, "must be a string, {\"source\": \"receiver\"} or "
                         "{\"source\": \"env\", \"variable\": NAME}");
            return;
        }
        const std::string from = origin->get<std::string>();
        if (from == "receiver" && value.size() == 1) {
            source.origin = SecretOrigin::Receiver;
            return;
        }
        const auto variable = value.find("variable");
        if (from == "env" && value.size() == 2 && variable != value.end() &&
            variable->is_string() && IsVariableName(variable->get<std::string>())) {
            source.origin = SecretOrigin::Environment;
            source.variable = variable->get<std::string>();
            return;
        }
        Problem(key, "must be {\"source\": \"receiver\"} or {\"source\": \"env\", \"variable\": "
                     "NAME} with a variable name of letters, digits and \"_\"");
    }

    static bool IsVariableName(const std::string& name) {
        return !name.empty() && (std::isdigit(static_cast<unsigned char>(name[0])) == 0) &&
               std::all_of(name.begin(), name.end(), [](char c) {
                   return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
               });
    }

    void ReadInteger(const std::string& key, const json& value, int low, int high, int32_t& out) {
        if (!value.is_number_integer() || value.get<int64_t>() < low ||
            value.get<int64_t>() > high) {
            Problem(key, "must be a whole number of " + std::to_string(low) + "-" +
                             std::to_string(high) + " (got " + value.dump() + ")");
            return;
        }
        out = static_cast<int32_t>(value.get<int64_t>());
    }

    void ReadProtocol(const std::string& key, const json& value, int32_t& out) {
        for (const RadioProtocol& protocol : kRadioProtocols) {
            if ((value.is_string() && value.get<std::string>() == ToUtf8(protocol.name)) ||
                (value.is_number_integer() && value.get<int64_t>() == protocol.code)) {
                out = protocol.code;
                return;
            }
        }
        std::string names;
        for (const RadioProtocol& protocol : kRadioProtocols) {
            names += (names.empty() ? "\"" : ", \"") + ToUtf8(protocol.name) + "\"";
        }
        Problem(key, "must be one of " + names + " or their codes (got " + value.dump() + ")");
    }

    void ReadFrequencies(const std::string& key, const json& value, FrequencyTable& out) {
        if (!value.is_array() || value.size() != out.size()) {
            Problem(key, "must be a list of 16 frequencies in MHz");
            return;
        }
        for (size_t i = 0; i < out.size(); ++i) {
            const json& entry = value[i];
            const std::string at = key + "[" + std::to_string(i) + "]";
            if (!entry.is_number()) {
                Problem(at, "must be a number");
                continue;
            }
            const double mhz = entry.get<double>();
            const double kilohertz = mhz * 1000.0;
            if (mhz != 0.0 && !IsFrequencyInRange(mhz)) {
                Problem(at, "must be 0 (channel unused) or 410-470 MHz (got " + entry.dump() + ")");
            } else if (std::fabs(kilohertz - std::round(kilohertz)) > 1e-6) {
                Problem(at, "has more than three decimals; the receiver takes whole kHz (got " +
                                entry.dump() + ")");
            } else {
                out[i] = mhz;
            }
        }
    }

    // A channel in use needs a frequency, or the radio would be set to 0 MHz.
    void CheckChannelsHaveFrequencies(const json& doc) {
        static constexpr std::pair<std::string_view, std::string_view> kPairs[] = {
            {"radio.channel", "radio.txFrequency"},
            {"relayRadio.channel", "relayRadio.txFrequency"},
            {"radioRelay.channel", "radioRelay.txFrequency"},
            {"radioRelay.rxChannel", "radioRelay.rxFrequency"},
        };
        for (const auto& [channelPath, tablePath] : kPairs) {
            const json::json_pointer channel = PointerOf(channelPath);
            const json::json_pointer table = PointerOf(tablePath);
            if (!doc.contains(channel) || !doc.contains(table) ||
                !doc.at(channel).is_number_integer() || !doc.at(table).is_array()) {
                continue;
            }
            const int64_t n = doc.at(channel).get<int64_t>();
            const json& entries = doc.at(table);
            if (n >= 1 && static_cast<size_t>(n) <= entries.size() &&
                entries[static_cast<size_t>(n - 1)] == 0) {
                Problem(std::string(tablePath) + "[" + std::to_string(n - 1) + "]",
                        "is 0, but " + std::string(channelPath) + " " + std::to_string(n) +
                            " uses it; give it a frequency of 410-470 MHz");
            }
        }
    }

    std::vector<ConfigProblem>& problems_;
    ConfigFile config_;
};

// Refuses a key given twice in one object, which JSON readers settle silently.
class DuplicateKeys {
public:
    bool operator()(int, json::parse_event_t event, json& parsed) {
        if (event == json::parse_event_t::object_start) {
            keys_.emplace_back();
        } else if (event == json::parse_event_t::object_end && !keys_.empty()) {
            keys_.pop_back();
        } else if (event == json::parse_event_t::key && !keys_.empty() &&
                   !keys_.back().insert(parsed.get<std::string>()).second && duplicate_.empty()) {
            duplicate_ = parsed.get<std::string>();
        }
        return true;
    }
    const std::string& Duplicate() const { return duplicate_; }

private:
    std::vector<std::set<std::string>> keys_;
    std::string duplicate_;
};

ordered_json FieldJson(const FieldDef& field, const ConfigFile& config, const std::string& text) {
    const FieldRef ref = field.ref(const_cast<ConfigFile&>(config));
    switch (field.kind) {
    case FieldKind::Text:
        if (field.secret) {
            return ordered_json{{"source", "receiver"}};
        }
        return text;
    case FieldKind::Port:
    case FieldKind::Channel:
        return *std::get<int32_t*>(ref);
    case FieldKind::Protocol:
        if (!ProtocolIndexOfCode(*std::get<int32_t*>(ref))) {
            return *std::get<int32_t*>(ref);
        }
        return text;
    case FieldKind::Frequencies: {
        ordered_json list = ordered_json::array();
        for (const double mhz : *std::get<FrequencyTable*>(ref)) {
            list.push_back(std::round(mhz * 1000.0) / 1000.0);
        }
        return list;
    }
    case FieldKind::Mode:
        break;
    }
    return text;
}

} // namespace

std::optional<ConfigFile> ParseConfigJson(std::string_view text,
                                          std::vector<ConfigProblem>& problems) {
    DuplicateKeys duplicates;
    json doc;
    try {
        doc = json::parse(text, std::ref(duplicates));
    } catch (const json::parse_error& e) {
        problems.push_back({"", std::string("not valid JSON: ") + e.what()});
        return std::nullopt;
    }
    if (!duplicates.Duplicate().empty()) {
        problems.push_back({duplicates.Duplicate(), "given twice in one object"});
        return std::nullopt;
    }
    return ConfigReader(problems).Read(doc);
}

ordered_json IdentityJson(const ReceiverInfo& identity) {
    return ordered_json{{"serial", ToUtf8(identity.device.serialNumber)},
                        {"model", ToUtf8(identity.device.model)},
                        {"hardware", ToUtf8(identity.device.hardwareVersion)},
                        {"firmware", ToUtf8(identity.device.firmwareVersion)}};
}

ordered_json ConfigToJson(const ConfigFile& reported, const ReceiverInfo& identity,
                          std::vector<std::string>& leftOut) {
    ordered_json doc;
    doc[std::string(kIdentityKey)] = IdentityJson(identity);
    const FieldDef& modeField = ConfigFields().front();
    const std::optional<std::string> mode = FieldText(modeField, reported);
    if (mode && ModeOfWord(*mode)) {
        doc["workingMode"] = *mode;
    } else {
        leftOut.push_back("workingMode (the receiver reported none of the four working modes)");
    }
    // A section goes out whole or not at all, so the file never carries a guess.
    std::map<std::string_view, std::string> missing;
    for (const FieldDef& field : ConfigFields()) {
        if (field.kind != FieldKind::Mode && !FieldText(field, reported)) {
            missing.emplace(SectionOf(field.path), field.path);
        }
    }
    for (const FieldDef& field : ConfigFields()) {
        const std::string_view section = SectionOf(field.path);
        if (field.kind == FieldKind::Mode || missing.contains(section)) {
            continue;
        }
        doc[ordered_json::json_pointer(PointerOf(field.path).to_string())] =
            FieldJson(field, reported, *FieldText(field, reported));
    }
    for (const auto& [section, path] : missing) {
        leftOut.push_back(std::string(section) + " (the receiver did not report " + path + ")");
    }
    return doc;
}

} // namespace quorlex::cli
