// diff and apply: a configuration file against one receiver, or onto several.
#include "cli/ConfigJson.h"
#include "cli/ExitCodes.h"
#include "cli/JobReport.h"
#include "cli/ReceiverReading.h"
#include "cli/Secrets.h"
#include "cli/TextOutput.h"
#include "cli/ToolContext.h"
#include "common/FileStore.h"
#include "common/Text.h"
#include "settings/SaveSequence.h"

#include <chrono>

namespace quorlex::cli {
namespace {

using Clock = std::chrono::steady_clock;
using ordered_json = nlohmann::ordered_json;

// How the settings dialog's save actions serve apply: --current is
// "立即应用"; --slot N is "立即应用并保存为" slot N; with --store-only it is
// "不应用仅保存配置" for slot N. The read before and the read-back after are of
// the configuration the batch ends by reading: the current one or slot N.
struct SavePlan {
    SaveAction action = SaveAction::ApplyNow;
    int slot = 0;
    std::string text;
};

SavePlan PlanOf(const ApplyRequest& request) {
    if (request.slot == 0) {
        return {SaveAction::ApplyNow, 0, "current"};
    }
    const std::string slot = "slot " + std::to_string(request.slot);
    if (request.storeOnly) {
        return {SaveAction::SaveWithoutApplying, request.slot, slot + ", stored only"};
    }
    return {SaveAction::ApplyAndSaveAs, request.slot, slot};
}

std::vector<CommandItem> PlannedCommands(const ConfigFile& config, const SavePlan& plan) {
    return BuildSaveCommands(plan.action, plan.slot, config.workingMode, config.workCopy,
                             config.relayRadio);
}

// The file, checked whole, with passwords from the environment filled in.
std::optional<ConfigFile> LoadConfig(ToolContext& context, const std::string& path) {
    std::string bytes;
    FileError error;
    if (!ReadWholeFile(path, bytes, error)) {
        context.err << "quorlexctl: " << path << ": " << ToUtf8(FileErrorText(error)) << "\n";
        return std::nullopt;
    }
    std::vector<ConfigProblem> problems;
    auto config = ParseConfigJson(bytes, problems);
    for (const ConfigProblem& p : problems) {
        context.err << "quorlexctl: " << path << ": " << (p.key.empty() ? "" : p.key + ": ")
                    << p.reason << "\n";
    }
    std::string secretError;
    if (config && !ResolveEnvironmentSecrets(*config, context.environment, secretError)) {
        context.err << "quorlexctl: " << path << ": " << secretError << "\n";
        config.reset();
    }
    if (!config) {
        context.err << "quorlexctl: the configuration file is refused; nothing was sent\n";
    }
    return config;
}

std::string TableDifferences(const std::string& reported, const std::string& intended) {
    std::vector<std::string> was;
    std::vector<std::string> will;
    for (auto* parts : {&was, &will}) {
        const std::string& text = parts == &was ? reported : intended;
        size_t start = 0;
        for (size_t bar = text.find('|');; bar = text.find('|', start)) {
            parts->push_back(text.substr(start, bar == text.npos ? bar : bar - start));
            if (bar == text.npos) {
                break;
            }
            start = bar + 1;
        }
    }
    std::string shown;
    for (size_t i = 0; i < std::min(was.size(), will.size()); ++i) {
        if (was[i] != will[i]) {
            shown += (shown.empty() ? "" : ", ") + std::string("channel ") + std::to_string(i + 1) +
                     " " + was[i] + " -> " + will[i];
        }
    }
    return shown;
}

std::string DifferenceText(const FieldComparison& c) {
    if (c.state == FieldState::NotReported) {
        return std::string(kNotReported) + " -> " + TextValue(*c.field, c.intended);
    }
    if (c.field->secret) {
        return std::string(kHiddenValue) + " differs";
    }
    if (c.field->kind == FieldKind::Frequencies) {
        return TableDifferences(*c.reported, c.intended);
    }
    return *c.reported + " -> " + c.intended;
}

std::string_view StateWord(FieldState state) {
    switch (state) {
    case FieldState::Same:
        return "same";
    case FieldState::Differs:
        return "differs";
    case FieldState::NotReported:
        break;
    }
    return "not reported";
}

void PrintDiffText(std::ostream& out, const SavePlan& plan,
                   const std::vector<FieldComparison>& fields,
                   const std::vector<CommandItem>& commands) {
    size_t differing = 0;
    for (const FieldComparison& c : fields) {
        if (c.state != FieldState::Same) {
            out << AlignedLine(c.field->path, DifferenceText(c));
            ++differing;
        }
    }
    if (differing == 0) {
        out << "no differences in the " << fields.size() << " fields the batch sets\n";
    }
    out << "\ncommands apply would send (" << plan.text << "):\n";
    for (const CommandItem& item : commands) {
        out << ToUtf8(MaskedCommand(item.command)) << "\n";
    }
}

void PrintDiffJson(std::ostream& out, const OpenedReceiver& opened, const SavePlan& plan,
                   const std::vector<FieldComparison>& fields,
                   const std::vector<CommandItem>& commands) {
    ordered_json doc{{"receiver", opened.label},
                     {"identity", IdentityJson(opened.identity)},
                     {"configuration", plan.text}};
    ordered_json list = ordered_json::array();
    for (const FieldComparison& c : fields) {
        list.push_back({{"field", c.field->path},
                        {"receiver", ShownValue(*c.field, c.reported)},
                        {"file", ShownValue(*c.field, c.intended)},
                        {"state", StateWord(c.state)}});
    }
    doc["fields"] = std::move(list);
    ordered_json sent = ordered_json::array();
    for (const CommandItem& item : commands) {
        sent.push_back(ToUtf8(MaskedCommand(item.command)));
    }
    doc["commands"] = std::move(sent);
    out << doc.dump(2, ' ', false, ordered_json::error_handler_t::replace) << "\n";
}

// Sends the batch, then reads back what it ends by reading, with every field
// marked unreported first so that only what the receiver reports now counts.
void SendAndVerify(ReceiverSession& session, const std::vector<CommandItem>& commands,
                   const ConfigFile& intended, ReceiverReport& report) {
    const std::vector<CommandItem> sets(commands.begin(), commands.end() - 1);
    const BatchResult sent = session.Run(u"开始设置", sets, 0, commands.size());
    report.commands = sent.commands;
    if (sent.linkLost) {
        report.error = "the link was lost during the batch";
        return;
    }
    MarkUnreported(session.Settings());
    const BatchResult readBack =
        session.Run(u"开始设置", {commands.back()}, sets.size(), commands.size());
    report.commands.insert(report.commands.end(), readBack.commands.begin(),
                           readBack.commands.end());
    report.after = ConfigFromRecord(session.Settings().config);
    report.verification = CompareFields(intended, *report.after);
    if (!readBack.AllAcknowledged()) {
        report.error = "the read-back was not answered, so nothing could be verified";
    }
}

ReceiverReport ApplyTo(ToolContext& context, ProgressLog& log, const ResolvedReceiver& receiver,
                       ConfigFile config, const SavePlan& plan, bool dryRun) {
    const Clock::time_point start = Clock::now();
    ReceiverReport report;
    report.receiver = receiver.label;
    report.dryRun = dryRun;
    OpenedReceiver opened;
    if (OpenReceiver(context, log, receiver, plan.slot, opened, report.error)) {
        report.identity = opened.identity;
        report.before = opened.reported;
        if (ResolveReceiverSecrets(config, opened.reported, report.error)) {
            const std::vector<CommandItem> commands = PlannedCommands(config, plan);
            if (dryRun) {
                for (const CommandItem& item : commands) {
                    report.commands.push_back({item, CommandResult::NotSent, 0.0, {}});
                    context.out << receiver.label << ": " << ToUtf8(MaskedCommand(item.command))
                                << "\n";
                }
            } else {
                SendAndVerify(*opened.session, commands, config, report);
            }
        }
    }
    if (!report.error.empty()) {
        log.Line(report.error);
    }
    report.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return report;
}

bool WriteReport(ToolContext& context, const std::string& path, const JobReport& report) {
    const std::string text =
        ReportJson(report).dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
    FileError error;
    if (!ReplaceFile(path, text, error)) {
        context.err << "quorlexctl: the report could not be written to " << path << ": "
                    << ToUtf8(FileErrorText(error)) << "\n";
        return false;
    }
    return true;
}

} // namespace

int RunDiff(ToolContext& context, const ReceiverOptions& options, const ApplyRequest& request) {
    std::optional<ConfigFile> config = LoadConfig(context, request.configPath);
    if (!config) {
        return kExitUsage;
    }
    const auto receivers = ResolveReceivers(context, options, request.receivers);
    if (!receivers) {
        return kExitUsage;
    }
    const SavePlan plan = PlanOf(request);
    ProgressLog log(context.err, context.errIsTerminal);
    OpenedReceiver opened;
    std::string error;
    if (!OpenReceiver(context, log, receivers->list.front(), plan.slot, opened, error) ||
        !ResolveReceiverSecrets(*config, opened.reported, error)) {
        log.Line(error);
        return kExitReceiverFailed;
    }
    const auto fields = CompareFields(*config, opened.reported);
    const auto commands = PlannedCommands(*config, plan);
    if (options.format == "json") {
        PrintDiffJson(context.out, opened, plan, fields, commands);
    } else {
        PrintDiffText(context.out, plan, fields, commands);
    }
    const bool same = std::all_of(fields.begin(), fields.end(),
                                  [](const auto& c) { return c.state == FieldState::Same; });
    return same ? kExitOk : kExitReceiverFailed;
}

int RunApply(ToolContext& context, const ReceiverOptions& options, const ApplyRequest& request) {
    const Clock::time_point start = Clock::now();
    std::optional<ConfigFile> config = LoadConfig(context, request.configPath);
    if (!config) {
        return kExitUsage;
    }
    const auto receivers = ResolveReceivers(context, options, request.receivers);
    if (!receivers) {
        return kExitUsage;
    }
    const SavePlan plan = PlanOf(request);
    JobReport job;
    job.configFile = request.configPath;
    job.action = plan.text;
    job.dryRun = request.dryRun;
    job.workingMode = config->workingMode;
    ProgressLog log(context.err, context.errIsTerminal);
    for (const ResolvedReceiver& receiver : receivers->list) {
        job.receivers.push_back(ApplyTo(context, log, receiver, *config, plan, request.dryRun));
    }
    job.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    context.out << SummaryText(job);
    const bool reported =
        request.reportPath.empty() || WriteReport(context, request.reportPath, job);
    return job.Succeeded() && reported ? kExitOk : kExitReceiverFailed;
}

} // namespace quorlex::cli
