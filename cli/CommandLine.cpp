#include "cli/CommandLine.h"

#include "cli/ExitCodes.h"
#include "common/Text.h"
#include "devices/DeviceList.h"
#include "devices/LinkDevices.h"

#include <CLI/CLI.hpp>

#include <map>

namespace quorlex::cli {
namespace {

constexpr const char* kExitStatus =
    "Exit status:\n"
    "  0  done: every command acknowledged and every field read back as set\n"
    "     (diff: the receiver matches the file)\n"
    "  1  a receiver failed: not reached or not read, a command not\n"
    "     acknowledged, a field not read back as set or not reported back\n"
    "     (diff: the receiver differs from the file)\n"
    "  2  bad arguments, receiver or configuration file, or a wire log that\n"
    "     cannot be opened; nothing was sent";

constexpr const char* kReceiverHelp =
    "RECEIVER: a Bluetooth address (00:12:6F:0A:1B:2C), a name from the\n"
    "device list (reached the way the list keeps it: Bluetooth, TCP or serial),\n"
    "tcp:HOST:PORT (an IPv6 address in brackets), serial:/dev/ttyUSB0[:BAUD]\n"
    "(default 115200), or sim[:NAME] for a simulated receiver of this run\n"
    "(GNSS-R01, GNSS-R02, GNSS-R03).";

// The options of one receiver command, bound where CLI11 writes them.
struct CommandOptions {
    ReceiverOptions options;
    CLI::Option* pin = nullptr;
    std::string pinText;
};

struct Parsed {
    std::map<const CLI::App*, CommandOptions> commands;
    std::string scanFormat = "text";
    bool simulate = false;
    ReadRequest read;
    ApplyRequest apply;
    std::vector<std::string> targets;
    MountPointRequest mountPoints;
    CLI::Option* user = nullptr;
    std::string userText;
};

// format empty: the command has no --format (apply writes a summary).
void AddReceiverOptions(CLI::App& command, CommandOptions& parsed, const std::string& format) {
    parsed.options.format = format;
    if (!format.empty()) {
        command.add_option("--format", parsed.options.format, "output: json or text")
            ->check(CLI::IsMember({"json", "text"}))
            ->capture_default_str();
    }
    parsed.pin = command.add_option("--pin", parsed.pinText,
                                    "PIN of a Bluetooth receiver (default: the device list's, "
                                    "else 7391); never shown");
    command.add_option("--devices", parsed.options.devices,
                       format.empty() ? "device list to look receiver names up in (default: the "
                                        "application's); without RECEIVER, every receiver in it"
                                      : "device list to look receiver names up in (default: the "
                                        "application's)");
    command.add_option("--wire-log", parsed.options.wireLog,
                       "append every byte sent to and received from the receivers of this run "
                       "to FILE, passwords masked, as quorlex --wire-log does");
    command.footer(std::string(kReceiverHelp) + "\n\n" + kExitStatus);
}

void AddSlotOptions(CLI::App& command, ApplyRequest& request) {
    auto* slot = command
                     .add_option("--slot", request.slot,
                                 "apply and store as configuration slot N (1-5), then read "
                                 "slot N back")
                     ->check(CLI::Range(1, 5));
    command
        .add_flag("--current", request.current,
                  "apply to the current configuration only (the default)")
        ->excludes(slot);
    command
        .add_flag("--store-only", request.storeOnly,
                  "with --slot: store into the slot without applying")
        ->needs(slot);
}

// The RECEIVER that names a device-list entry by where it is: a Bluetooth
// address, tcp:LOCATION or serial:LOCATION. false with the reason instead.
bool ListedReceiver(const KnownDevice& device, std::string& receiver) {
    const int32_t kind = KnownDeviceKind(device);
    if (kind == kLinkKindBluetooth) {
        receiver = ToUtf8(device.address);
        return true;
    }
    if (!IsKnownLinkKind(kind)) {
        receiver = ToUtf8(device.name) + " is kept as a \"" + ToUtf8(device.kind) +
                   "\" receiver, which this version cannot reach";
        return false;
    }
    receiver = std::string(LinkKindName(kind)) + ":" + ToUtf8(device.address);
    return true;
}

int Dispatch(CLI::App& app, Parsed& parsed, ToolContext& context) {
    if (app.got_subcommand("scan")) {
        return RunScan(context, parsed.simulate, parsed.scanFormat);
    }
    CommandOptions& command = parsed.commands.at(app.get_subcommands().front());
    if (command.pin->count() > 0) {
        command.options.pin = command.pinText;
    }
    const ReceiverOptions& options = command.options;
    if (app.got_subcommand("read")) {
        return RunRead(context, options, parsed.read);
    }
    if (app.got_subcommand("mountpoints")) {
        if (parsed.user->count() > 0) {
            parsed.mountPoints.user = parsed.userText;
        }
        return RunMountPoints(context, options, parsed.mountPoints);
    }
    ApplyRequest& request = parsed.apply;
    request.configPath = parsed.targets.back();
    request.receivers.assign(parsed.targets.begin(), parsed.targets.end() - 1);
    if (app.got_subcommand("diff")) {
        return RunDiff(context, options, request);
    }
    if (request.receivers.empty() && !options.devices.empty()) {
        std::vector<KnownDevice> devices;
        if (!LoadDeviceList(options.devices, devices)) {
            context.err << "quorlexctl: " << options.devices
                        << " cannot be read as a device list; nothing was sent\n";
            return kExitUsage;
        }
        for (const KnownDevice& device : devices) {
            std::string receiver;
            if (!ListedReceiver(device, receiver)) {
                context.err << "quorlexctl: " << options.devices << ": " << receiver
                            << "; nothing was sent\n";
                return kExitUsage;
            }
            request.receivers.push_back(std::move(receiver));
        }
    }
    if (request.receivers.empty()) {
        context.err << "quorlexctl apply: no RECEIVER given (name them before CONFIG, or give "
                       "--devices FILE)\n";
        return kExitUsage;
    }
    return RunApply(context, options, request);
}

} // namespace

int RunCommandLine(int argc, const char* const* argv, ToolContext& context) {
    CLI::App app("Reads, compares and writes the configuration of GNSS survey receivers, "
                 "checking every change by reading it back.",
                 "quorlexctl");
    app.require_subcommand(1);
    app.footer(std::string("Run quorlexctl COMMAND --help for a command's options.\n\n") +
               kExitStatus);
    Parsed parsed;

    CLI::App* scan = app.add_subcommand("scan", "search for Bluetooth receivers in range: "
                                                "name and address of each");
    scan->add_flag("--simulate", parsed.simulate, "search the simulated receivers instead");
    scan->add_option("--format", parsed.scanFormat, "output: json or text")
        ->check(CLI::IsMember({"json", "text"}))
        ->capture_default_str();
    scan->footer(kExitStatus);

    CLI::App* read = app.add_subcommand(
        "read", "print a receiver's configuration and identity; the JSON form is a "
                "configuration file that apply accepts (passwords stay the receiver's own)");
    read->add_option("RECEIVER", parsed.read.receiver, "the receiver")->required();
    read->add_option("--slot", parsed.read.slot, "read configuration slot N (1-5) instead")
        ->check(CLI::Range(1, 5));

    CLI::App* diff = app.add_subcommand(
        "diff", "show, field by field, how a receiver differs from a configuration file, and "
                "the commands apply would send");
    diff->add_option("RECEIVER CONFIG", parsed.targets, "the receiver and the file")
        ->required()
        ->expected(2);
    AddSlotOptions(*diff, parsed.apply);

    CLI::App* apply = app.add_subcommand(
        "apply", "write a configuration file to one receiver after another, read each back "
                 "and verify every field set; a failed receiver does not stop the others");
    apply->add_option("RECEIVER... CONFIG", parsed.targets, "receivers, then the file")
        ->required()
        ->expected(1, -1);
    AddSlotOptions(*apply, parsed.apply);
    apply->add_flag("--dry-run", parsed.apply.dryRun,
                    "read each receiver and show the commands, send nothing");
    apply->add_option("--report", parsed.apply.reportPath,
                      "write a JSON report of the run to FILE");

    CLI::App* mountPoints = app.add_subcommand(
        "mountpoints", "have the receiver fetch its caster's mount points and source table "
                       "(this sets the caster on the receiver and switches it to NETRELAY, as "
                       "the application's fetch does) and keep the table in the application's "
                       "cache");
    mountPoints->add_option("RECEIVER", parsed.mountPoints.receiver, "the receiver")->required();
    mountPoints->add_option("--address", parsed.mountPoints.address,
                            "caster address (default: the receiver's)");
    mountPoints
        ->add_option("--port", parsed.mountPoints.port, "caster port (default: the receiver's)")
        ->check(CLI::Range(1, 65535));
    parsed.user =
        mountPoints->add_option("--user", parsed.userText, "caster user (default: the receiver's)");
    mountPoints->add_option("--password-env", parsed.mountPoints.passwordVariable,
                            "environment variable holding the caster password (default: the "
                            "receiver's)");

    for (CLI::App* command : {read, diff, apply, mountPoints}) {
        const std::string format = command == apply ? "" : command == diff ? "text" : "json";
        AddReceiverOptions(*command, parsed.commands[command], format);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, context.out, context.err) == 0 ? kExitOk : kExitUsage;
    }
    return Dispatch(app, parsed, context);
}

} // namespace quorlex::cli
