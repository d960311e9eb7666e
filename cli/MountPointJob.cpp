// mountpoints: the caster's mount points and source table, fetched through the receiver.
#include "cli/ExitCodes.h"
#include "cli/ReceiverReading.h"
#include "cli/Secrets.h"
#include "cli/TextOutput.h"
#include "cli/ToolContext.h"
#include "common/Text.h"
#include "network/MountPointFetch.h"

#include <nlohmann/json.hpp>

namespace quorlex::cli {
namespace {

using ordered_json = nlohmann::ordered_json;

ordered_json StreamJson(const StrRecord& r) {
    const std::pair<const char*, const std::u16string*> fields[] = {
        {"mountPoint", &r.mountPoint},
        {"identifier", &r.identifier},
        {"format", &r.format},
        {"formatDetails", &r.formatDetails},
        {"carrier", &r.carrier},
        {"navSystem", &r.navSystem},
        {"network", &r.network},
        {"country", &r.country},
        {"latitude", &r.latitude},
        {"longitude", &r.longitude},
        {"nmea", &r.nmea},
        {"solution", &r.solution},
        {"generator", &r.generator},
        {"compression", &r.compression},
        {"authentication", &r.authentication},
        {"fee", &r.fee},
        {"bitrate", &r.bitrate},
        {"misc", &r.misc},
    };
    ordered_json entry = ordered_json::object();
    for (const auto& [name, value] : fields) {
        entry[name] = ToUtf8(*value);
    }
    return entry;
}

void PrintJson(std::ostream& out, const std::string& receiver, const NetworkServerBlock& server,
               const SourceTableStore& store) {
    ordered_json doc{{"receiver", receiver},
                     {"caster", {{"address", ToUtf8(server.address)}, {"port", server.port}}}};
    ordered_json names = ordered_json::array();
    for (const std::u16string& name : store.MountPoints()) {
        names.push_back(ToUtf8(name));
    }
    doc["mountPoints"] = std::move(names);
    ordered_json streams = ordered_json::array();
    for (const StrRecord& record : store.StrList()) {
        streams.push_back(StreamJson(record));
    }
    doc["sourceTable"] = std::move(streams);
    out << doc.dump(2, ' ', false, ordered_json::error_handler_t::replace) << "\n";
}

void PrintText(std::ostream& out, const SourceTableStore& store) {
    for (const std::u16string& name : store.MountPoints()) {
        const StrRecord* stream = nullptr;
        for (const StrRecord& record : store.StrList()) {
            if (record.mountPoint == name) {
                stream = &record;
                break;
            }
        }
        std::string details;
        if (stream != nullptr) {
            details = ToUtf8(stream->format) + "  " + ToUtf8(stream->navSystem) + "  " +
                      ToUtf8(stream->country) + "  " + ToUtf8(stream->latitude) + " " +
                      ToUtf8(stream->longitude) + "  " + ToUtf8(stream->carrier);
        }
        out << AlignedLine(ToUtf8(name), details);
    }
}

const FieldDef& RelayField(std::string_view path) {
    for (const FieldDef& field : ConfigFields()) {
        if (field.path == path) {
            return field;
        }
    }
    return ConfigFields().front();
}

// The caster to ask: the receiver's own, with what the options change. Values
// from the options pass the same checks as a configuration file's.
bool CasterOf(ToolContext& context, const MountPointRequest& request, const ConfigFile& reported,
              NetworkServerBlock& server, std::string& error) {
    ConfigFile caster = reported;
    caster.workingMode = kWorkingModeNetworkRelay;
    NetworkServerBlock& block = caster.workCopy.datalink.network[0].server;
    std::optional<std::string> password;
    if (!request.passwordVariable.empty()) {
        password = context.environment(request.passwordVariable);
        if (!password) {
            error = "the environment variable " + request.passwordVariable + " is not set";
            return false;
        }
    }
    const std::pair<std::string_view, std::optional<std::string>> given[] = {
        {"networkRelay.server.address",
         request.address.empty() ? std::nullopt : std::optional(request.address)},
        {"networkRelay.server.user", request.user},
        {"networkRelay.server.password", password},
    };
    for (const auto& [path, value] : given) {
        const FieldDef& field = RelayField(path);
        if (value) {
            if (const auto reason = CheckTextValue(field, *value)) {
                error = std::string(path) + ": " + *reason;
                return false;
            }
            *std::get<std::u16string*>(field.ref(caster)) = FromUtf8(*value);
        }
    }
    if (request.port != 0) {
        block.port = request.port;
    }
    for (const std::string_view path :
         {"networkRelay.server.address", "networkRelay.server.port", "networkRelay.server.user",
          "networkRelay.server.password"}) {
        if (!FieldText(RelayField(path), caster)) {
            error = std::string(path) + " was not reported by the receiver; give it as an option";
            return false;
        }
    }
    server = block;
    return true;
}

} // namespace

int RunMountPoints(ToolContext& context, const ReceiverOptions& options,
                   const MountPointRequest& request) {
    const auto receivers = ResolveReceivers(context, options, {request.receiver});
    if (!receivers) {
        return kExitUsage;
    }
    ProgressLog log(context.err, context.errIsTerminal);
    OpenedReceiver opened;
    std::string error;
    NetworkServerBlock server;
    if (!OpenReceiver(context, log, receivers->list.front(), 0, opened, error) ||
        !CasterOf(context, request, opened.reported, server, error)) {
        log.Line(error);
        return kExitReceiverFailed;
    }
    const int32_t mode = opened.session->Settings().config.workingMode;
    const std::vector<CommandItem> fetch = BuildMountPointFetch(server, mode);
    if (mode != kWorkingModeNetworkRelay) {
        log.Line("the fetch switches the receiver to the network relay mode (NETRELAY)");
    }
    MainFrameCore& core = opened.session->Core();
    core.Store().Reset();
    core.SetFetchActive(true);
    const BatchResult result = opened.session->Run(u"开始发送指令", fetch);
    const SourceTableStore& store = core.Store();
    if (options.format == "text") {
        PrintText(context.out, store);
    } else {
        PrintJson(context.out, opened.label, server, store);
    }
    bool ok = result.AllAcknowledged();
    if (!store.IsComplete()) {
        log.Line(store.IsTimedOut() ? "the source table did not come in time"
                                    : "no complete source table came");
        ok = false;
    }
    if (!opened.session->CacheError().empty()) {
        log.Line(opened.session->CacheError());
        ok = false;
    }
    return ok ? kExitOk : kExitReceiverFailed;
}

} // namespace quorlex::cli
