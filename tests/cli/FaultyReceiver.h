#pragma once

#include "cli/ToolPlatforms.h"
#include "sim/ReceiverSimulator.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace quorlex::testing {

// A simulated receiver behind a go-between that answers one command with an
// error line instead of passing it on, and lets another go unanswered.
class FaultyReceiver {
public:
    // Adds the receiver to the tool's simulated adapter as sim:NAME.
    FaultyReceiver(cli::ToolPlatforms& platforms, const std::string& name,
                   std::string refusedCommand, std::string ignoredCommand);
    ~FaultyReceiver();

    std::shared_ptr<ReceiverSimulator> Simulator() const { return simulator; }

private:
    void Serve(int toolEnd);

    std::string refused;
    std::string ignored;
    std::shared_ptr<ReceiverSimulator> simulator = std::make_shared<ReceiverSimulator>();
    std::vector<std::thread> threads;
};

} // namespace quorlex::testing
