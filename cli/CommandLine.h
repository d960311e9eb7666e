#pragma once

#include "cli/ToolContext.h"

namespace quorlex::cli {

// quorlexctl itself: parses the arguments (argv[0] is the program) and runs
// the command they name; returns the exit status.
int RunCommandLine(int argc, const char* const* argv, ToolContext& context);

} // namespace quorlex::cli
