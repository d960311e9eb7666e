#pragma once

#include "cli/BatchWatcher.h"
#include "cli/ConfigFields.h"
#include "model/ReceiverInfo.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace quorlex::cli {

// What happened to one receiver of an apply run.
struct ReceiverReport {
    std::string receiver;
    std::string error; // why it stopped early; empty when it ran through
    std::optional<ReceiverInfo> identity;
    std::optional<ConfigFile> before;
    std::optional<ConfigFile> after;
    std::vector<CommandRecord> commands;
    // The fields the batch set, as read back afterwards; empty when no read-back came.
    std::vector<FieldComparison> verification;
    bool dryRun = false;
    double seconds = 0.0;

    size_t FailedCommands() const;
    size_t FieldsIn(FieldState state) const;
    // Every command acknowledged and every field read back as set.
    bool Succeeded() const;
};

struct JobReport {
    std::string configFile;
    std::string action; // "current", "slot 2", "slot 2, stored only"
    bool dryRun = false;
    int32_t workingMode = -1;
    std::vector<ReceiverReport> receivers;
    double seconds = 0.0;

    bool Succeeded() const;
};

// The report file: passwords are never in it, neither as values nor inside commands.
nlohmann::ordered_json ReportJson(const JobReport& report);
// A line per receiver and one for the run.
std::string SummaryText(const JobReport& report);

} // namespace quorlex::cli
