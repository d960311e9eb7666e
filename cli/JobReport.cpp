#include "cli/JobReport.h"

#include "cli/ConfigJson.h"
#include "cli/Secrets.h"
#include "common/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quorlex::cli {
namespace {

using ordered_json = nlohmann::ordered_json;

double Rounded(double seconds) {
    return std::round(seconds * 1000.0) / 1000.0;
}

std::string_view ResultWord(CommandResult result) {
    switch (result) {
    case CommandResult::Acknowledged:
        return "acknowledged";
    case CommandResult::TimedOut:
        return "not acknowledged";
    case CommandResult::NotSent:
        break;
    }
    return "not sent";
}

std::string_view VerificationWord(FieldState state) {
    switch (state) {
    case FieldState::Same:
        return "verified";
    case FieldState::Differs:
        return "differs";
    case FieldState::NotReported:
        break;
    }
    return "not verifiable";
}

// The values of the fields the batch sets, as one receiver reported them.
ordered_json Values(const ConfigFile& intended, const ConfigFile& reported) {
    ordered_json values = ordered_json::object();
    for (const FieldComparison& c : CompareFields(intended, reported)) {
        values[std::string(c.field->path)] = ShownValue(*c.field, c.reported);
    }
    return values;
}

ordered_json CommandsJson(const std::vector<CommandRecord>& commands) {
    ordered_json list = ordered_json::array();
    for (const CommandRecord& c : commands) {
        ordered_json entry{{"command", ToUtf8(MaskedCommand(c.item.command))},
                           {"description", ToUtf8(c.item.description)},
                           {"result", ResultWord(c.result)},
                           {"seconds", Rounded(c.seconds)}};
        if (!c.answer.empty()) {
            entry["receiverAnswer"] = ToUtf8(c.answer);
        }
        list.push_back(std::move(entry));
    }
    return list;
}

ordered_json ReceiverJson(const ReceiverReport& r, const ConfigFile& intended) {
    ordered_json entry{{"receiver", r.receiver}};
    if (r.identity) {
        entry["identity"] = IdentityJson(*r.identity);
    }
    entry["outcome"] = r.dryRun ? "dry run" : r.Succeeded() ? "verified" : "failed";
    if (!r.error.empty()) {
        entry["error"] = r.error;
    }
    if (r.before) {
        entry["before"] = Values(intended, *r.before);
    }
    if (r.after) {
        entry["after"] = Values(intended, *r.after);
    }
    entry["commands"] = CommandsJson(r.commands);
    ordered_json verification = ordered_json::array();
    for (const FieldComparison& c : r.verification) {
        verification.push_back({{"field", c.field->path},
                                {"intended", ShownValue(*c.field, c.intended)},
                                {"readBack", ShownValue(*c.field, c.reported)},
                                {"outcome", VerificationWord(c.state)}});
    }
    entry["verification"] = std::move(verification);
    entry["seconds"] = Rounded(r.seconds);
    return entry;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

std::string Plural(size_t n, std::string_view word) {
    return std::to_string(n) + " " + std::string(word) + (n == 1 ? "" : "s");
}

std::string ReceiverLine(const ReceiverReport& r) {
    std::string line = r.receiver;
    if (r.identity && !r.identity->device.serialNumber.empty()) {
        line += " (" + ToUtf8(r.identity->device.serialNumber) + ")";
    }
    if (r.dryRun) {
        return line + ": dry run, " + Plural(r.commands.size(), "command") + " would be sent, " +
               Seconds(r.seconds);
    }
    if (r.Succeeded()) {
        return line + ": verified, " + Plural(r.commands.size(), "command") + " acknowledged, " +
               Plural(r.verification.size(), "field") + " read back as set, " + Seconds(r.seconds);
    }
    std::vector<std::string> reasons;
    if (!r.error.empty()) {
        reasons.push_back(r.error);
    }
    if (const size_t n = r.FailedCommands(); n > 0) {
        reasons.push_back(Plural(n, "command") + " not acknowledged");
    }
    if (const size_t n = r.FieldsIn(FieldState::Differs); n > 0) {
        reasons.push_back(Plural(n, "field") + " read back differently");
    }
    if (const size_t n = r.FieldsIn(FieldState::NotReported); n > 0) {
        reasons.push_back(Plural(n, "field") + " not verifiable");
    }
    line += ": FAILED";
    for (size_t i = 0; i < reasons.size(); ++i) {
        line += (i == 0 ? ": " : "; ") + reasons[i];
    }
    return line + ", " + Seconds(r.seconds);
}

} // namespace

size_t ReceiverReport::FailedCommands() const {
    return static_cast<size_t>(std::count_if(commands.begin(), commands.end(), [](const auto& c) {
        return c.result != CommandResult::Acknowledged;
    }));
}

size_t ReceiverReport::FieldsIn(FieldState state) const {
    return static_cast<size_t>(std::count_if(verification.begin(), verification.end(),
                                             [&](const auto& c) { return c.state == state; }));
}

bool ReceiverReport::Succeeded() const {
    if (dryRun) {
        return error.empty();
    }
    return error.empty() && !commands.empty() && FailedCommands() == 0 && !verification.empty() &&
           FieldsIn(FieldState::Same) == verification.size();
}

bool JobReport::Succeeded() const {
    return std::all_of(receivers.begin(), receivers.end(),
                       [](const ReceiverReport& r) { return r.Succeeded(); });
}

ordered_json ReportJson(const JobReport& report) {
    ConfigFile intended;
    intended.workingMode = report.workingMode;
    ordered_json doc{{"configFile", report.configFile},
                     {"action", report.action},
                     {"dryRun", report.dryRun},
                     {"workingMode", ModeWord(report.workingMode)},
                     {"outcome", report.Succeeded() ? "ok" : "failed"}};
    ordered_json receivers = ordered_json::array();
    for (const ReceiverReport& r : report.receivers) {
        receivers.push_back(ReceiverJson(r, intended));
    }
    doc["receivers"] = std::move(receivers);
    doc["seconds"] = Rounded(report.seconds);
    return doc;
}

std::string SummaryText(const JobReport& report) {
    std::string text;
    size_t failed = 0;
    for (const ReceiverReport& r : report.receivers) {
        text += ReceiverLine(r) + "\n";
        failed += r.Succeeded() ? 0 : 1;
    }
    text += Plural(report.receivers.size(), "receiver") + ", " +
            (report.dryRun ? std::to_string(report.receivers.size() - failed) + " read"
                           : std::to_string(report.receivers.size() - failed) + " verified") +
            ", " + std::to_string(failed) + " failed, " + Seconds(report.seconds) + "\n";
    return text;
}

} // namespace quorlex::cli
