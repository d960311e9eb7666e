#include "cli/ExitCodes.h"
#include "tests/cli/ToolRun.h"

#include <gtest/gtest.h>

using namespace quorlex::cli;
using quorlex::testing::ExpectGolden;
using quorlex::testing::ToolRun;

TEST(CommandLineTest, HelpOfEveryCommand) {
    ToolRun tool;
    for (const std::string command : {"", "scan", "read", "diff", "apply", "mountpoints"}) {
        std::vector<std::string> args;
        if (!command.empty()) {
            args.push_back(command);
        }
        args.push_back("--help");
        const auto run = tool.Run(args);
        EXPECT_EQ(run.exit, kExitOk);
        EXPECT_EQ(run.err, "");
        ExpectGolden("help" + (command.empty() ? "" : "-" + command) + ".txt", run.out);
    }
    const auto none = tool.Run({});
    EXPECT_EQ(none.exit, kExitUsage);
    EXPECT_NE(none.err.find("A subcommand is required"), std::string::npos) << none.err;
}

TEST(CommandLineTest, TextOutputOfReadAndDiff) {
    ToolRun tool;
    const auto read = tool.Run({"read", "sim:GNSS-R03", "--format", "text"});
    EXPECT_EQ(read.exit, kExitOk) << read.err;
    ExpectGolden("read-GNSS-R03.txt", read.out);

    const std::string config = tool.WriteFile("radio.json", R"({
      "workingMode": "UHF",
      "radio": {"protocol": "TRIMMK3", "channel": 5,
        "txFrequency": [438.125, 440.125, 441.125, 442.125, 443.125, 444.125, 446.125, 447.125,
                        463.125, 464.125, 465.5, 466.125, 463.625, 464.625, 465.625, 466.75]}})");
    const auto diff = tool.Run({"diff", "sim:GNSS-R03", config, "--slot", "4"});
    EXPECT_EQ(diff.exit, kExitReceiverFailed) << diff.err;
    ExpectGolden("diff-GNSS-R03.txt", diff.out);
}
