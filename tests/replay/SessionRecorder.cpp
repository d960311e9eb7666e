// quorlex-record-sessions: records the replayed sessions of tests/replay from
// the simulator, over each link kind, in real time with one-second ticks, as
// the program would run them. Run it when a session is to be recorded anew:
//   build/tests/replay/quorlex-record-sessions tests/replay/sessions
// then rewrite the golden files (QUORLEX_UPDATE_GOLDEN=1) and look at the diff.

#include "channel/MainFrameCore.h"
#include "common/Text.h"
#include "link/ReceiverLink.h"
#include "link/sim/SimulatedPlatform.h"
#include "link/sim/SimulatorService.h"
#include "sim/ReceiverServer.h"
#include "sim/ReceiverSimulator.h"
#include "tests/channel/PumpedSink.h"
#include "tests/link/PseudoTerminal.h"
#include "tests/replay/ReplayFlows.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace {

using namespace quorlex;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr uint64_t kAddress = 0x00126F0A1B2CULL;

struct Scenario {
    const char* name;
    const char* about;
    int32_t kind;
    const char* flow;
    SimulatorFaults faults;
};

CommandFault Fault(const char* command, CommandFault::Kind kind) {
    CommandFault fault;
    fault.command = command;
    fault.kind = kind;
    return fault;
}

std::vector<Scenario> Scenarios() {
    SimulatorFaults none;
    SimulatorFaults ignoreFirstRead;
    ignoreFirstRead.commandFaults = {Fault("GET,ALL", CommandFault::Kind::Ignore)};
    SimulatorFaults refuseRead;
    refuseRead.commandFaults = {Fault("GET,ALL", CommandFault::Kind::AnswerError)};
    SimulatorFaults dropOnAddress;
    dropOnAddress.commandFaults = {Fault("SET,NETWORK.ADDR", CommandFault::Kind::DropAfter)};
    return {
        {"read-bluetooth", "connect over Bluetooth and read the configuration", kLinkKindBluetooth,
         "read", none},
        {"save-slot-tcp", "read over TCP, then apply and store into slot 2 and read it back",
         kLinkKindTcp, "read; save-slot", none},
        {"mountpoints-serial", "read over a serial line, then fetch the mount point list",
         kLinkKindSerial, "read; mountpoints", none},
        {"resend-bluetooth", "the first GET,ALL goes unanswered: it is sent again",
         kLinkKindBluetooth, "read", ignoreFirstRead},
        {"timeout-tcp", "GET,ALL is refused with an error line: the read times out", kLinkKindTcp,
         "read", refuseRead},
        {"dropped-serial", "the link drops after SET,NETWORK.ADDR while saving", kLinkKindSerial,
         "read; save-slot", dropOnAddress},
    };
}

// The receiver of one scenario, reached over its link kind.
class FarEnd {
public:
    FarEnd(int32_t kind, std::shared_ptr<ReceiverSimulator> simulator)
        : simulator(std::move(simulator)), server(*this->simulator) {
        std::string error;
        if (kind == kLinkKindTcp && server.Start("127.0.0.1", 0, error)) {
            device = {kind, u"GNSS-Sim", 0, u"",
                      u"127.0.0.1:" + FromUtf8(std::to_string(server.Port()))};
        } else if (kind == kLinkKindSerial) {
            terminal = std::make_unique<test::PseudoTerminal>(*this->simulator);
            if (terminal->Ready()) {
                device = {kind, u"GNSS-Sim", 0, u"", FromUtf8(terminal->path) + u":115200"};
            }
        } else if (kind == kLinkKindBluetooth) {
            SimulatedReceiver receiver;
            receiver.name = u"GNSS-Sim";
            receiver.address = kAddress;
            receiver.pin = u"7391";
            receiver.serve = ServeWithSimulator(this->simulator);
            platform.AddReceiver(receiver);
            device = {kind, u"GNSS-Sim", kAddress, u"7391"};
        }
    }
    ~FarEnd() { simulator->Detach(); }

    std::shared_ptr<ReceiverSimulator> simulator;
    SimulatedPlatform platform;
    ReceiverServer server;
    std::unique_ptr<test::PseudoTerminal> terminal;
    DeviceRecord device;
};

bool Record(const Scenario& scenario, const fs::path& folder) {
    auto simulator = std::make_shared<ReceiverSimulator>();
    simulator->SetFaults(scenario.faults);
    FarEnd far(scenario.kind, simulator);
    if (far.device.linkKind == 0) {
        std::cerr << scenario.name << ": the receiver cannot be reached\n";
        return false;
    }
    const fs::path log = folder / (std::string(scenario.name) + ".log");
    fs::remove(log);
    LinkOptions options;
    options.readableWait = 200ms;
    auto core = std::make_unique<MainFrameCore>(far.platform, RealSleeper(), options,
                                                folder / "sourcetable.scratch");
    testing::PumpedSink sink([&](const char* bytes, size_t n) { core->OnReceiverData(bytes, n); });
    ReceiverControl& control = core->Control();
    FileError error;
    if (!control.Link().Wire().Start(log, error)) {
        std::cerr << scenario.name << ": cannot write " << log << "\n";
        return false;
    }
    control.SetDevice(far.device);
    control.SetReceiveTarget(&sink);
    const std::vector<std::string> steps = replay::FlowSteps(scenario.flow);
    std::size_t next = 0;
    int frozenTicks = 0;
    control.Connect();
    const auto advance = [&] {
        if (!control.IsBatchActive() && next < steps.size()) {
            replay::StartFlowStep(steps[next++], *core);
        }
        return !control.IsBatchActive() && next == steps.size();
    };
    const auto tick = [&] {
        core->OnTimer();
        frozenTicks += control.IsBatchActive() && !control.IsConnected() ? 1 : 0;
    };
    advance();
    sink.PumpUntil([&] { return advance() || frozenTicks >= 3; }, 90s, tick, 1000ms);
    // The surveyor's "取消" under a read that failed or a batch that cannot end.
    if (control.IsBatchActive() || control.Progress().failed != 0) {
        control.Disconnect();
    }
    sink.PumpUntil([] { return false; }, 1500ms);
    control.Link().Wire().Stop();
    sink.Close();
    core.reset();
    fs::remove(folder / "sourcetable.scratch");

    std::ifstream in(log, std::ios::binary);
    const std::string lines{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    in.close();
    fs::remove(log);
    std::ofstream out(folder / (std::string(scenario.name) + ".session"), std::ios::binary);
    out << "# Recorded from the simulator by quorlex-record-sessions: " << scenario.about << "\n"
        << "flow: " << scenario.flow << "\n"
        << lines;
    std::cout << scenario.name << ": recorded\n";
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? argv[1] : "tests/replay/sessions";
    fs::create_directories(folder);
    bool ok = true;
    for (const Scenario& scenario : Scenarios()) {
        if (argc > 2 && std::string_view(argv[2]) != scenario.name) {
            continue;
        }
        ok = Record(scenario, folder) && ok;
    }
    return ok ? 0 : 1;
}
