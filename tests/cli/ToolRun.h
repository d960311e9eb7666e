#pragma once

#include "cli/CommandLine.h"
#include "cli/ToolContext.h"
#include "common/Text.h"
#include "sim/ReceiverServer.h"
#include "sim/ReceiverSimulator.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace quorlex::testing {

using namespace std::chrono_literals;

struct RunResult {
    int exit = -1;
    std::string out;
    std::string err;
};

inline std::string FileText(const std::filesystem::path& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// Runs quorlexctl in-process against the tool's simulated receivers, which
// keep their state from run to run, on a fast clock and in a folder of its own.
class ToolRun {
public:
    ToolRun() {
        std::filesystem::create_directories(folder_);
        for (const auto& entry : platforms_.SimulatedReceivers()) {
            entry.simulator->SetLineRate(0);
        }
    }
    ~ToolRun() { std::filesystem::remove_all(folder_); }

    RunResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), "quorlexctl");
        std::vector<const char*> argv;
        argv.reserve(args.size());
        for (const std::string& arg : args) {
            argv.push_back(arg.c_str());
        }
        std::ostringstream out;
        std::ostringstream err;
        const auto lookup = [this](const std::string& name) {
            const auto it = environment.find(name);
            return it == environment.end() ? std::nullopt : std::optional(it->second);
        };
        // Spelled out: a bare {} trips GCC 12's -Wmaybe-uninitialized at -O3.
        cli::ToolContext context{
            out, err, false, platforms_, cli::SessionOptions{}, folder_ / "Bluetooth.cfg", lookup};
        // Fast enough for the suite, slow enough for a loaded machine: a command
        // that is never answered costs eleven ticks.
        context.session.tick = 150ms;
        context.session.connectLimit = 10s;
        context.session.sleeper = nullptr;
        context.session.link.readableWait = 100ms;
        context.session.link.workerStopLimit = 1000ms;
        context.session.sourceTableCache = folder_ / "cache" / "sourcetable.dat";
        const int exit = cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), context);
        return {exit, out.str(), err.str()};
    }

    std::shared_ptr<ReceiverSimulator> Simulator(const std::string& name) {
        for (const auto& entry : platforms_.SimulatedReceivers()) {
            if (entry.name == name) {
                return entry.simulator;
            }
        }
        return nullptr;
    }
    // Writes a file into the run's folder and returns its path.
    std::string WriteFile(const std::string& name, const std::string& text) const {
        std::ofstream(folder_ / name) << text;
        return (folder_ / name).string();
    }
    const std::filesystem::path& Folder() const { return folder_; }

    std::map<std::string, std::string> environment;

private:
    std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() /
        ("quorlexctl-" + std::to_string(::getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    cli::ToolPlatforms platforms_;
};

// A simulated receiver on a TCP port of this machine, served as
// quorlex-receiver-sim serves one, unpaced.
class TcpReceiver {
public:
    explicit TcpReceiver(const std::string& serial) {
        simulator_.SetLineRate(0);
        simulator_.SetValue(u"DEVICE.INFO.SERIAL", FromUtf8(serial));
        std::string error;
        EXPECT_TRUE(server_.Start("127.0.0.1", 0, error)) << error;
    }

    ReceiverSimulator& Simulator() { return simulator_; }
    // "tcp:127.0.0.1:PORT"
    std::string Receiver() const { return "tcp:127.0.0.1:" + std::to_string(server_.Port()); }

private:
    ReceiverSimulator simulator_;
    ReceiverServer server_{simulator_}; // after the simulator, which must outlive it
};

// Compares text with a golden file; QUORLEX_UPDATE_GOLDEN=1 rewrites the file instead.
inline void ExpectGolden(const std::string& name, const std::string& text) {
    const std::filesystem::path path = std::filesystem::path(QUORLEX_CLI_GOLDEN_DIR) / name;
    if (std::getenv("QUORLEX_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(path) << text;
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(path)) << "no golden file " << path;
    EXPECT_EQ(text, FileText(path)) << "differs from " << path;
}

} // namespace quorlex::testing
