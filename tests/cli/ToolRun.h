#pragma once

#include "cli/ToolContext.h"

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

    cli::ToolPlatforms& Platforms() { return platforms; }
    std::shared_ptr<ReceiverSimulator> Simulator(const std::string& name);
    // Writes a file into the run's folder and returns its path.
    std::string WriteFile(const std::string& name, const std::string& text) const;
    const std::filesystem::path& Folder() const { return folder; }

    std::map<std::string, std::string> environment;

private:
    std::filesystem::path folder;
    cli::ToolPlatforms platforms;
};

// Compares text with a golden file; QUORLEX_UPDATE_GOLDEN=1 rewrites the file instead.
void ExpectGolden(const std::string& name, const std::string& text);

} // namespace quorlex::testing
