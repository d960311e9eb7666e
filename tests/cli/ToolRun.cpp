#include "tests/cli/ToolRun.h"

#include "cli/CommandLine.h"
#include "common/Text.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace quorlex::testing {

using namespace std::chrono_literals;

ToolRun::ToolRun()
    : folder_(std::filesystem::temp_directory_path() /
              ("quorlexctl-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::create_directories(folder_);
    for (const auto& entry : platforms_.SimulatedReceivers()) {
        entry.simulator->SetLineRate(0);
    }
}

ToolRun::~ToolRun() {
    std::filesystem::remove_all(folder_);
}

RunResult ToolRun::Run(std::vector<std::string> args) {
    args.insert(args.begin(), "quorlexctl");
    std::vector<const char*> argv;
    argv.reserve(args.size());
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    const auto lookup = [this](const std::string& name) -> std::optional<std::string> {
        const auto it = environment.find(name);
        if (it == environment.end()) {
            return std::nullopt;
        }
        return it->second;
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
    RunResult result;
    result.exit = cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), context);
    result.out = out.str();
    result.err = err.str();
    return result;
}

std::shared_ptr<ReceiverSimulator> ToolRun::Simulator(const std::string& name) {
    for (const auto& entry : platforms_.SimulatedReceivers()) {
        if (entry.name == name) {
            return entry.simulator;
        }
    }
    return nullptr;
}

std::string ToolRun::WriteFile(const std::string& name, const std::string& text) const {
    const std::filesystem::path path = folder_ / name;
    std::ofstream(path) << text;
    return path.string();
}

TcpReceiver::TcpReceiver(const std::string& serial) {
    simulator_.SetLineRate(0);
    simulator_.SetValue(u"DEVICE.INFO.SERIAL", FromUtf8(serial));
    std::string error;
    EXPECT_TRUE(server_.Start("127.0.0.1", 0, error)) << error;
}

void ExpectGolden(const std::string& name, const std::string& text) {
    const std::filesystem::path path = std::filesystem::path(QUORLEX_CLI_GOLDEN_DIR) / name;
    if (std::getenv("QUORLEX_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(path) << text;
        return;
    }
    std::ifstream file(path);
    ASSERT_TRUE(file) << "no golden file " << path;
    std::stringstream golden;
    golden << file.rdbuf();
    EXPECT_EQ(text, golden.str()) << "differs from " << path;
}

} // namespace quorlex::testing
