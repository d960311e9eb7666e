#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

struct CommandLine {
    bool simulate = false;
    // With simulate: a machine without a Bluetooth adapter.
    bool noAdapter = false;
    bool help = false;
    bool version = false;
    // --wire-log FILE: every byte over the link is logged to FILE.
    std::string wireLog;
    // An option that lacks its value; empty when none does.
    std::string missingValue;
    // Arguments that are none of the above, in order.
    std::vector<std::string> others;
};

// The program's own options; the first argument (the program) is skipped.
CommandLine ParseCommandLine(std::span<const std::string_view> args);
CommandLine ParseCommandLine(int argc, const char* const* argv);

std::string UsageText(std::string_view program);

// "Quorlex Ver<version>", marked when the receivers are simulated.
std::u16string WindowTitle(bool simulated);
// The same, followed by the connected receiver, or "未连接" when none (empty).
std::u16string WindowTitle(bool simulated, std::u16string_view connectedReceiver);

} // namespace quorlex
