#pragma once

#include "cli/ConfigFields.h"
#include "cli/ReceiverSession.h"
#include "cli/ToolPlatforms.h"

#include <filesystem>
#include <ostream>

namespace quorlex::cli {

// What a run of the tool works with; the program fills it from the machine,
// tests with their own streams, clock and receivers.
struct ToolContext {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
    ToolPlatforms& platforms;
    SessionOptions session;
    std::filesystem::path deviceList;
    EnvironmentLookup environment;
};

// Options every receiver command takes.
struct ReceiverOptions {
    std::optional<std::string> pin;
    std::string devices; // device list to look names up in; empty: the application's
    std::string wireLog;
    std::string format;
};

struct ReadRequest {
    std::string receiver;
    int slot = 0;
};

// How apply stores: --current, --slot N, --slot N --store-only.
struct ApplyRequest {
    std::vector<std::string> receivers;
    std::string configPath;
    int slot = 0;
    bool current = false; // the default; said explicitly
    bool storeOnly = false;
    bool dryRun = false;
    std::string reportPath;
};

struct MountPointRequest {
    std::string receiver;
    std::string address;
    int port = 0;
    std::optional<std::string> user;
    std::string passwordVariable;
};

int RunScan(ToolContext& context, bool simulated, const std::string& format);
int RunRead(ToolContext& context, const ReceiverOptions& options, const ReadRequest& request);
int RunDiff(ToolContext& context, const ReceiverOptions& options, const ApplyRequest& request);
int RunApply(ToolContext& context, const ReceiverOptions& options, const ApplyRequest& request);
int RunMountPoints(ToolContext& context, const ReceiverOptions& options,
                   const MountPointRequest& request);

} // namespace quorlex::cli
