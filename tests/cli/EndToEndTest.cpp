// quorlexctl against simulated receivers over the simulated adapter, with
// the link's threads, the channel and the intake of the application.
#include "cli/ExitCodes.h"
#include "common/Text.h"
#include "devices/DeviceList.h"
#include "tests/cli/ToolRun.h"
#include "tests/link/PseudoTerminal.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <map>

using namespace quorlex;
using namespace quorlex::cli;
using namespace quorlex::testing;
using json = nlohmann::json;

namespace {

const char* const kRelayConfig = R"({
  "workingMode": "NETRELAY",
  "networkRelay": {
    "apn": {"name": "CMNET", "user": "crew", "password": {"source": "env", "variable": "APN_PW"}},
    "server": {"address": "192.0.2.99", "port": 2102, "mountPoint": "NEAR_32",
               "user": "crew9", "password": "Qc4st-Pw"}
  },
  "relayRadio": {"protocol": "KESTO9600", "channel": 2,
    "txFrequency": [438.125, 440.125, 441.125, 442.125, 443.125, 444.125, 446.125, 447.125,
                    463.125, 464.125, 465.125, 466.125, 463.625, 464.625, 465.625, 466.625]}
})";

// A radio configuration whose channel and table differ from every receiver's.
const char* const kRadioConfig = R"({
  "workingMode": "UHF",
  "radio": {"protocol": "TRIMMK3", "channel": 5,
    "txFrequency": [430.5, 431.5, 432.5, 433.5, 434.5, 435.5, 436.5, 437.5,
                    450.5, 451.5, 452.5, 453.5, 454.5, 455.5, 456.5, 457.5]}
})";

} // namespace

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

// A receiver on a serial cable is read, its file applied to a simulated and a
// networked receiver, and both then match it, the networked one named as the
// device list keeps it.
TEST(QuorlexCtlTest, ReadOverSerialApplyToOthersThenDiffShowsNothing) {
    ToolRun tool;
    ReceiverSimulator cabled;
    cabled.SetLineRate(0);
    quorlex::test::PseudoTerminal terminal{cabled};
    ASSERT_TRUE(terminal.Ready());
    TcpReceiver networked("QX2041579001");
    networked.Simulator().SetValue(u"RADIO.CHANNEL", u"4");

    const auto read = tool.Run({"read", "serial:" + terminal.path});
    ASSERT_EQ(read.exit, kExitOk) << read.err;
    const std::string file = tool.WriteFile("cabled.json", read.out);
    // GNSS-R02 starts as a network relay on another channel.
    ASSERT_EQ(tool.Run({"diff", "sim:GNSS-R02", file}).exit, kExitReceiverFailed);

    const auto apply = tool.Run({"apply", "sim:GNSS-R02", networked.Receiver(), file});
    EXPECT_EQ(apply.exit, kExitOk) << apply.out << apply.err;
    EXPECT_EQ(tool.Simulator("GNSS-R02")->WorkingMode(), 0);
    EXPECT_EQ(tool.Simulator("GNSS-R02")->Value(u"RADIO.CHANNEL"), u"1");
    EXPECT_EQ(networked.Simulator().Value(u"RADIO.CHANNEL"), cabled.Value(u"RADIO.CHANNEL"));

    const std::string location = networked.Receiver().substr(4);
    ASSERT_TRUE(SaveDeviceList(tool.Folder() / "Bluetooth.cfg",
                               {{u"BASE-9", FromUtf8(location), u"", u"tcp"}}));
    for (const std::string receiver : {"sim:GNSS-R02", "BASE-9"}) {
        const auto diff = tool.Run({"diff", receiver, file});
        EXPECT_EQ(diff.exit, kExitOk) << diff.out << diff.err;
        EXPECT_NE(diff.out.find("no differences in the 4 fields"), std::string::npos) << diff.out;
    }
}

// One run over the simulated adapter and TCP: the passwords reach both
// receivers, no output, report or wire log shows them, and the slot is verified.
TEST(QuorlexCtlTest, PasswordsReachTheReceiversButNoOutputAndSlotIsVerified) {
    ToolRun tool;
    TcpReceiver networked("QX2041579002");
    tool.environment["APN_PW"] = "Zapn-77x";
    const std::string config = tool.WriteFile("relay.json", kRelayConfig);
    const std::string report = (tool.Folder() / "report.json").string();
    const std::string wire = tool.WriteFile("wire.log", "kept\n");
    const auto apply = tool.Run({"apply", "sim:GNSS-R03", networked.Receiver(), config, "--slot",
                                 "2", "--report", report, "--wire-log", wire});
    ASSERT_EQ(apply.exit, kExitOk) << apply.out << apply.err;

    const auto sim = tool.Simulator("GNSS-R03");
    EXPECT_EQ(sim->Value(u"NETWORK.APNPASS"), u"Zapn-77x");
    EXPECT_EQ(networked.Simulator().Value(u"NETWORK.APNPASS"), u"Zapn-77x");
    EXPECT_EQ(sim->SlotValue(2, u"NETWORK.MOUNTPOINTUSERPASS"), u"crew9|Qc4st-Pw");
    EXPECT_EQ(sim->CurrentSlot(), 2);
    const std::string reportText = FileText(report);
    const std::string log = FileText(wire);
    EXPECT_TRUE(log.starts_with("kept\n"));
    EXPECT_NE(log.find(" tcp > SET,NETWORK."), std::string::npos) << log;
    EXPECT_NE(log.find(" bluetooth > SET,NETWORK."), std::string::npos) << log;
    const auto created = tool.Folder() / "new.log";
    const auto readText =
        tool.Run({"read", "sim:GNSS-R03", "--format", "text", "--wire-log", created.string()});
    EXPECT_EQ(std::filesystem::status(created).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const auto readJson = tool.Run({"read", "sim:GNSS-R03"});
    const auto diff = tool.Run({"diff", "sim:GNSS-R03", config, "--slot", "2"});
    for (const std::string secret : {"Zapn-77x", "Qc4st-Pw"}) {
        for (const std::string* text : {&apply.out, &apply.err, &reportText, &log, &readText.out,
                                        &readText.err, &readJson.out, &diff.out, &diff.err}) {
            EXPECT_EQ(text->find(secret), std::string::npos) << secret << " shown in " << *text;
        }
    }
    EXPECT_EQ(diff.exit, kExitOk) << diff.out;

    const json doc = json::parse(reportText);
    const json& receiver = doc["receivers"][0];
    EXPECT_EQ(receiver["outcome"], "verified");
    EXPECT_EQ(receiver["identity"]["serial"], "QX2041571102");
    // Before means slot 2 as it was stored, not the live configuration.
    EXPECT_EQ(receiver["before"]["workingMode"], "UHF");
    EXPECT_EQ(receiver["after"]["networkRelay.server.password"], "(hidden)");
    EXPECT_EQ(receiver["commands"].size(), 16u);
    EXPECT_EQ(receiver["commands"][15]["command"], "GET,ALL,2");
    EXPECT_EQ(receiver["verification"].size(), 12u);
    for (const json& field : receiver["verification"]) {
        EXPECT_EQ(field["outcome"], "verified") << field.dump();
    }
}

TEST(QuorlexCtlTest, RefusedAndUnansweredCommandsFailTheReceiverButNotTheOthers) {
    ToolRun tool;
    TcpReceiver faulty("QX2041579003");
    faulty.Simulator().SetFaults(
        {.commandFaults = {{"SET,RADIO.CHANNEL", CommandFault::Kind::AnswerError},
                           {"SET,RADIO.FREQUENCY", CommandFault::Kind::Ignore, 99}}});
    const std::string config = tool.WriteFile("radio.json", kRadioConfig);
    const std::string report = (tool.Folder() / "report.json").string();
    const auto apply =
        tool.Run({"apply", faulty.Receiver(), "sim:GNSS-R02", config, "--report", report});
    EXPECT_EQ(apply.exit, kExitReceiverFailed);
    EXPECT_NE(apply.out.find(faulty.Receiver() +
                             " (QX2041579003): FAILED: 2 commands not acknowledged; "
                             "2 fields read back differently"),
              std::string::npos)
        << apply.out;
    EXPECT_NE(apply.out.find("sim:GNSS-R02 (QX2041570815): verified"), std::string::npos);

    const json doc = json::parse(FileText(report));
    EXPECT_EQ(doc["outcome"], "failed");
    const json& commands = doc["receivers"][0]["commands"];
    ASSERT_EQ(commands.size(), 5u);
    EXPECT_EQ(commands[1]["result"], "not acknowledged");
    EXPECT_TRUE(commands[1]["receiverAnswer"].get<std::string>().starts_with("@GNSS,ERROR,5"));
    EXPECT_EQ(commands[2]["result"], "not acknowledged");
    EXPECT_FALSE(commands[2].contains("receiverAnswer"));
    EXPECT_EQ(commands[3]["result"], "acknowledged");
    std::map<std::string, std::string> outcomes;
    for (const json& field : doc["receivers"][0]["verification"]) {
        outcomes[field["field"]] = field["outcome"];
    }
    EXPECT_EQ(outcomes, (std::map<std::string, std::string>{{"workingMode", "verified"},
                                                            {"radio.protocol", "verified"},
                                                            {"radio.channel", "differs"},
                                                            {"radio.txFrequency", "differs"}}));
    EXPECT_EQ(doc["receivers"][1]["outcome"], "verified");
}

TEST(QuorlexCtlTest, RefusedBeforeAnythingIsSent) {
    ToolRun tool;
    const auto sim = tool.Simulator("GNSS-R02");
    const std::string bad = tool.WriteFile("bad.json", R"({"workingMode": "UHF", "radio": {
        "protocol": "TRIMTALK", "channel": 1, "txFrequency": [1, 2]}})");
    const std::string good = tool.WriteFile("good.json", kRadioConfig);
    const std::string relay = tool.WriteFile("relay.json", kRelayConfig); // APN_PW unset
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"apply", "sim:GNSS-R02", bad}, "radio.txFrequency: must be a list of 16"},
        {{"apply", "sim:GNSS-R02", relay}, "APN_PW is not set"},
        {{"apply", "sim:GNSS-R02", (tool.Folder() / "none.json").string()}, "none.json"},
        {{"apply", "sim:GNSS-R02", "sim:NOBODY", good}, "no simulated receiver"},
        {{"apply", "sim:GNSS-R02", "tcp:127.0.0.1:0", good}, "1-65535"},
        {{"apply", "sim:GNSS-R02", good, "--wire-log", (tool.Folder() / "no" / "w.log").string()},
         "cannot open the wire log"},
        {{"apply", "sim:GNSS-R02", good, "--store-only"}, "--store-only"},
        {{"read", "sim:GNSS-R02", "--slot", "6"}, "--slot"},
        {{"read", "GNSS-R02"}, "no receiver of that name in the device list"},
        {{}, "A subcommand is required"},
    };
    for (const auto& [args, says] : cases) {
        SCOPED_TRACE(says);
        sim->ClearReceivedCommands();
        const auto run = tool.Run(args);
        EXPECT_EQ(run.exit, kExitUsage) << run.err;
        EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
        EXPECT_TRUE(sim->ReceivedCommands().empty());
    }
}

TEST(QuorlexCtlTest, MountPointsFetchFillsTheApplicationsCache) {
    ToolRun tool;
    const auto run = tool.Run({"mountpoints", "sim:GNSS-R02"});
    ASSERT_EQ(run.exit, kExitOk) << run.err;
    const json doc = json::parse(run.out);
    std::vector<std::string> expected;
    for (const std::u16string& name : tool.Simulator("GNSS-R02")->MountPoints()) {
        expected.push_back(ToUtf8(name));
    }
    EXPECT_EQ(doc["mountPoints"].get<std::vector<std::string>>(), expected);
    EXPECT_EQ(doc["caster"]["address"], "198.51.100.7");
    EXPECT_GE(doc["sourceTable"].size(), expected.size());
    EXPECT_GT(std::filesystem::file_size(tool.Folder() / "cache" / "sourcetable.dat"), 0u);
    // Already a network relay: no mode switch, and the caster's password stays unsaid.
    EXPECT_EQ(run.err.find("switches the receiver"), std::string::npos);
    EXPECT_EQ(run.err.find("r02-caster"), std::string::npos);
}
