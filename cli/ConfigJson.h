#pragma once

#include "cli/ConfigFile.h"
#include "model/ReceiverInfo.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex::cli {

// A reason a configuration file is refused, and the key it concerns.
struct ConfigProblem {
    std::string key; // "networkRelay.server.port"; empty for the file as a whole
    std::string reason;

    bool operator==(const ConfigProblem&) const = default;
};

// Reads a configuration file. The working mode's sections are required, the
// others optional; every key is checked and unknown ones refused. nullopt
// with every problem found when the file cannot be used.
std::optional<ConfigFile> ParseConfigJson(std::string_view text,
                                          std::vector<ConfigProblem>& problems);

// What a receiver reported, as a file ParseConfigJson accepts: identity
// first, then every section whose fields were all reported. leftOut names the
// sections left out and why.
nlohmann::ordered_json ConfigToJson(const ConfigFile& reported, const ReceiverInfo& identity,
                                    std::vector<std::string>& leftOut);

nlohmann::ordered_json IdentityJson(const ReceiverInfo& identity);

} // namespace quorlex::cli
