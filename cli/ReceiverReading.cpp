#include "cli/ReceiverReading.h"

#include "common/Text.h"

namespace quorlex::cli {

std::optional<RunReceivers> ResolveReceivers(ToolContext& context, const ReceiverOptions& options,
                                             const std::vector<std::string>& names) {
    ResolveOptions resolve;
    if (options.pin) {
        resolve.pin = FromUtf8(*options.pin);
    }
    resolve.deviceList =
        options.devices.empty() ? context.deviceList : std::filesystem::path(options.devices);
    RunReceivers receivers;
    for (const std::string& name : names) {
        std::string error;
        const auto argument = ParseReceiverArgument(name, error);
        auto resolved =
            argument ? context.platforms.Resolve(*argument, resolve, error) : std::nullopt;
        if (!resolved) {
            context.err << "quorlexctl: " << (argument ? "" : name + ": ") << error
                        << "; nothing was sent\n";
            return std::nullopt;
        }
        receivers.list.push_back(std::move(*resolved));
    }
    if (!options.wireLog.empty()) {
        receivers.wireLog = std::make_unique<RunWireLog>(context.err);
        std::string error;
        if (!receivers.wireLog->Start(options.wireLog, error)) {
            context.err << "quorlexctl: " << error << "; nothing was sent\n";
            return std::nullopt;
        }
        for (ResolvedReceiver& receiver : receivers.list) {
            receiver.wireTap = receivers.wireLog->Tap();
        }
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
    SessionOptions session = context.session;
    session.link.wireTap = receiver.wireTap;
    opened.session =
        std::make_unique<ReceiverSession>(*receiver.platform, receiver.device, session, log);
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
