// read and scan: what a receiver holds, and which receivers are in range.
#include "cli/ConfigJson.h"
#include "cli/ExitCodes.h"
#include "cli/ReceiverReading.h"
#include "cli/TextOutput.h"
#include "cli/ToolContext.h"
#include "common/Text.h"
#include "devices/DeviceSearch.h"
#include "link/ReceiverLink.h"

namespace quorlex::cli {

int RunRead(ToolContext& context, const ReceiverOptions& options, const ReadRequest& request) {
    const auto receivers = ResolveReceivers(context, options, {request.receiver});
    if (!receivers) {
        return kExitUsage;
    }
    ProgressLog log(context.err, context.errIsTerminal);
    OpenedReceiver opened;
    std::string error;
    if (!OpenReceiver(context, log, receivers->list.front(), request.slot, opened, error)) {
        log.Line(error);
        return kExitReceiverFailed;
    }
    if (options.format == "text") {
        context.out << ReadText(opened.label, request.slot, opened.identity, opened.reported);
        return kExitOk;
    }
    std::vector<std::string> leftOut;
    const auto doc = ConfigToJson(opened.reported, opened.identity, leftOut);
    for (const std::string& note : leftOut) {
        log.Line("left out of the file: " + note);
    }
    context.out << doc.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                << "\n";
    return kExitOk;
}

int RunScan(ToolContext& context, bool simulated, const std::string& format) {
    BluetoothPlatform& platform =
        simulated ? context.platforms.Simulated() : context.platforms.Bluetooth();
    ReceiverLink link(platform, context.session.link);
    const AdapterState adapter = link.PrepareAdapter();
    if (adapter != AdapterState::Usable) {
        context.err << "quorlexctl: " << ToUtf8(AdapterStateText(adapter)) << "\n";
        return kExitReceiverFailed;
    }
    context.err << "quorlexctl: searching for receivers...\n";
    if (const int error = link.Inquire(); error != 0) {
        context.err << "quorlexctl: the search failed (error " << error << ")\n";
        return kExitReceiverFailed;
    }
    nlohmann::ordered_json found = nlohmann::ordered_json::array();
    for (const DeviceEntry& entry : link.Devices().Entries()) {
        const std::string name = ToUtf8(entry.name);
        const std::string address = FormatBluetoothAddress(entry.address);
        if (format == "json") {
            found.push_back({{"name", name}, {"address", address}});
        } else {
            context.out << AlignedLine(name.empty() ? "(no name)" : name, address);
        }
    }
    if (format == "json") {
        context.out << found.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                    << "\n";
    }
    return kExitOk;
}

} // namespace quorlex::cli
