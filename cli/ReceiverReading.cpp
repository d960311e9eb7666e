#include "cli/ReceiverReading.h"

#include "cli/ExitCodes.h"
#include "common/Text.h"
#include "devices/DeviceList.h"

namespace quorlex::cli {

std::optional<std::vector<ResolvedReceiver>> ResolveReceivers(ToolContext& context,
                                                              const ReceiverOptions& options,
                                                              const std::vector<std::string>& names,
                                                              int& exitCode) {
    if (!options.wireLog.empty()) {
        context.err << "quorlexctl: --wire-log: the wire log is not available in this build "
                       "yet; nothing was sent\n";
        exitCode = kExitNotAvailable;
        return std::nullopt;
    }
    ResolveOptions resolve;
    if (options.pin) {
        resolve.pin = FromUtf8(*options.pin);
    }
    resolve.deviceList =
        options.devices.empty() ? context.deviceList : std::filesystem::path(options.devices);
    std::vector<ResolvedReceiver> receivers;
    for (const std::string& name : names) {
        std::string error;
        const auto spec = ParseReceiverSpec(name, error);
        auto resolved =
            spec ? context.platforms.Resolve(*spec, resolve, error, exitCode) : std::nullopt;
        if (!resolved) {
            exitCode = spec ? exitCode : kExitUsage;
            context.err << "quorlexctl: " << (spec ? "" : name + ": ") << error
                        << "; nothing was sent\n";
            return std::nullopt;
        }
        receivers.push_back(std::move(*resolved));
    }
    return receivers;
}

bool ReadConfiguration(ReceiverSession& session, int slot, ConfigFile& reported,
                       std::string& error) {
    MarkUnreported(session.Settings());
    const BatchResult read = session.Run(u"读取配置", {ReadConfigurationCommand(slot)});
    if (!read.AllAcknowledged()) {
        error = read.linkLost ? "the link was lost while reading the configuration"
                              : "the receiver did not answer the read of its configuration";
        return false;
    }
    reported = ConfigFromRecord(session.Settings().config);
    return true;
}

bool OpenReceiver(ToolContext& context, ProgressLog& log, const ResolvedReceiver& receiver,
                  int slot, OpenedReceiver& opened, std::string& error) {
    log.SetReceiver(receiver.label);
    opened.label = receiver.label;
    opened.session = std::make_unique<ReceiverSession>(*receiver.platform, receiver.device,
                                                       context.session, log);
    std::string why;
    if (!opened.session->Connect(why)) {
        error = "could not connect: " + why;
        return false;
    }
    if (!ReadConfiguration(*opened.session, slot, opened.reported, error)) {
        return false;
    }
    opened.identity = opened.session->Settings().info;
    return true;
}

} // namespace quorlex::cli
