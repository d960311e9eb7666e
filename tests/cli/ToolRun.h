#pragma once

#include "cli/ToolContext.h"
#include "sim/ReceiverServer.h"
#include "sim/ReceiverSimulator.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quorlex::testing {

struct RunResult {
    int exit = -1;
    std::string out;
    std::string err;
};

// Runs quorlexctl in-process against the tool's simulated receivers, which
// keep their state from run to run, on a fast clock and in a folder of its own.
class ToolRun {
public:
    ToolRun();
    ~ToolRun();

    RunResult Run(std::vector<std::string> args);

    cli::ToolPlatforms& Platforms() { return platforms_; }
    std::shared_ptr<ReceiverSimulator> Simulator(const std::string& name);
    // Writes a file into the run's folder and returns its path.
    std::string WriteFile(const std::string& name, const std::string& text) const;
    const std::filesystem::path& Folder() const { return folder_; }

    std::map<std::string, std::string> environment;

private:
    std::filesystem::path folder_;
    cli::ToolPlatforms platforms_;
};

// A simulated receiver on a TCP port of this machine, served as
// quorlex-receiver-sim serves one, unpaced.
class TcpReceiver {
public:
    explicit TcpReceiver(const std::string& serial);

    ReceiverSimulator& Simulator() { return simulator_; }
    // "tcp:127.0.0.1:PORT"
    std::string Receiver() const { return "tcp:127.0.0.1:" + std::to_string(server_.Port()); }

private:
    ReceiverSimulator simulator_;
    ReceiverServer server_{simulator_}; // after the simulator, which must outlive it
};

// Compares text with a golden file; QUORLEX_UPDATE_GOLDEN=1 rewrites the file instead.
void ExpectGolden(const std::string& name, const std::string& text);

} // namespace quorlex::testing
