#include "tests/replay/SessionReplayer.h"

#include "channel/MainFrameCore.h"
#include "common/CodePage.h"
#include "common/Format.h"
#include "common/Text.h"
#include "link/LinkStatus.h"
#include "link/WireMask.h"
#include "link/sim/SimulatedPlatform.h"
#include "model/ReplyChecksum.h"
#include "tests/channel/PumpedSink.h"
#include "tests/replay/RecordDump.h"
#include "tests/replay/ReplayFlows.h"
#include "tests/replay/ReplayStream.h"

#include <map>

namespace quorlex::replay {
namespace {

using namespace std::chrono_literals;

constexpr int64_t kTickMicros = 1'000'000;
// How long the clock goes on after the last record for the flow to end.
constexpr int kTailTicks = 15;
constexpr auto kPatience = 10s;

// Where the replayed receiver is; only the kind matters to the replay.
DeviceRecord ReplayDevice(int32_t kind) {
    switch (kind) {
    case kLinkKindTcp:
        return {kind, u"replay", 0, u"", u"127.0.0.1:9527"};
    case kLinkKindSerial:
        return {kind, u"replay", 0, u"", u"/dev/ttyUSB0:115200"};
    default:
        return {kLinkKindBluetooth, u"replay", 0x000A3B5C7D9EULL, u"1234"};
    }
}

class TickedTarget : public ProgressTarget {
public:
    explicit TickedTarget(const int& tick) : tick(tick) {}
    bool HasWindow() const override { return true; }
    void OnBatchProgress(const BatchProgress& p) override {
        lines += FormatText(u"tick %d: %s (%d/%d%s)\n",
                            {int64_t{tick}, std::u16string_view(p.status), int64_t{p.position},
                             int64_t{p.total}, std::u16string_view(p.failed ? u", failed" : u"")});
    }
    std::u16string lines;

private:
    const int& tick;
};

class Replayer {
public:
    Replayer(const Session& session, const std::filesystem::path& cacheFile)
        : session(session),
          wire(std::make_shared<ReplayWire>(session.records.empty() ? kLinkKindBluetooth
                                                                    : session.records[0].kind)),
          streams(wire) {
        LinkOptions options;
        options.streamFactory = &streams;
        options.workerStopLimit = kPatience;
        options.diagnostic = [](std::u16string_view) {};
        core = std::make_unique<MainFrameCore>(
            platform, [](std::chrono::milliseconds) {}, options, cacheFile);
        sink = std::make_unique<testing::PumpedSink>(
            [this](const char* bytes, size_t count) { Handle(bytes, count); });
        const auto flow = session.header.find("flow");
        steps = FlowSteps(flow == session.header.end() ? "read" : flow->second);
    }

    ~Replayer() {
        sink->Close();
        core.reset();
    }

    std::string Run() {
        ReceiverControl& control = core->Control();
        control.SetDevice(ReplayDevice(wire->Kind()));
        control.SetReceiveTarget(sink.get());
        control.SetProgressTarget(&target);
        if (!control.Connect()) {
            Stall("the connection could not be started");
        }
        StartNextStep();
        for (const WireRecord& record : session.records) {
            while ((tick + 1) * kTickMicros <= record.micros) {
                Tick();
            }
            Play(record);
            StartNextStep();
        }
        for (int i = 0; i < kTailTicks && (control.IsBatchActive() || nextStep < steps.size());
             ++i) {
            Tick();
        }
        if (control.IsBatchActive()) {
            Cancel();
        }
        return Outcome();
    }

private:
    void Tick() {
        ++tick;
        wire->SetTick(tick);
        core->OnTimer();
        StartNextStep();
    }

    void StartNextStep() {
        if (core->Control().IsBatchActive() || nextStep >= steps.size()) {
            return;
        }
        const std::string& step = steps[nextStep++];
        if (!StartFlowStep(step, *core)) {
            Stall("unknown flow step " + step);
        }
    }

    void Play(const WireRecord& record) {
        if (record.direction == WireRecord::kReceived) {
            if (core->Control().IsConnected()) {
                wire->Push(Unmask(record.bytes));
                Pump([this] { return wire->ReaderWaitingIdle(); }, "a chunk to be taken");
            }
        } else if (record.direction == WireRecord::kEvent) {
            PlayEvent(record.bytes);
        }
    }

    void PlayEvent(const std::string& text) {
        const std::u16string event = FromUtf8(text);
        if (text == "close") {
            // The recorded tool closed the link here (the surveyor cancelled):
            // so does the replay, and what the link reported then is its own.
            closedByTool = true;
            Cancel();
        } else if (text.starts_with("open ")) {
            closedByTool = false;
            linkError = false;
        } else if (event == kLinkConnected) {
            wire->Open(true);
            Pump([this] { return core->Control().IsConnected() && wire->ReaderWaitingIdle(); },
                 "the connection");
        } else if (event == kLinkConnectFailed) {
            const int before = statuses[kLinkConnectFailed];
            wire->Open(false);
            Pump([&] { return statuses[kLinkConnectFailed] > before; }, "the failed attempt");
        } else if (event == kLinkError) {
            linkError = true;
        } else if (event == kLinkDisconnected && !closedByTool && core->Control().IsConnected()) {
            const int before = statuses[kLinkDisconnected];
            wire->End(linkError ? ReplayWire::Ending::Failed : ReplayWire::Ending::Closed);
            Pump([&] { return statuses[kLinkDisconnected] > before; }, "the end of the link");
        }
    }

    // "取消" under a batch that cannot end: the link is closed and its reader
    // reports that before the replay ends.
    void Cancel() {
        const bool connected = core->Control().IsConnected();
        const int before = statuses[kLinkDisconnected];
        core->Control().Disconnect();
        if (connected) {
            Pump([&] { return statuses[kLinkDisconnected] > before; }, "the cancelled link");
        }
    }

    void Handle(const char* bytes, size_t count) {
        const std::u16string text = DecodeCp936(std::string_view(bytes, count));
        for (const std::u16string_view status :
             {kLinkConnected, kLinkConnectFailed, kLinkPinRefused, kLinkDisconnected, kLinkError}) {
            statuses[status] += text == status ? 1 : 0;
        }
        core->OnReceiverData(bytes, count);
    }

    void Pump(const std::function<bool()>& done, const std::string& what) {
        if (!sink->PumpUntil(done, kPatience)) {
            Stall("no end to waiting for " + what);
        }
    }

    void Stall(const std::string& why) {
        problems += "!! tick " + std::to_string(tick) + ": " + why + "\n";
    }

    // A masked value in a received line is the one this replay sent for
    // the key; the line's checksum is made again for it.
    std::string Unmask(const std::string& bytes) const {
        std::string out;
        std::size_t start = 0;
        while (start < bytes.size()) {
            const std::size_t end = std::min(bytes.find('\n', start), bytes.size() - 1);
            out += UnmaskLine(bytes.substr(start, end + 1 - start));
            start = end + 1;
        }
        return out;
    }

    std::string UnmaskLine(std::string line) const {
        for (const std::string_view key : SecretKeys()) {
            const std::size_t at = line.find(key);
            const std::string sentValue = LastSentValue(key);
            if (at == std::string::npos || sentValue.empty()) {
                continue;
            }
            std::size_t value = at + key.size();
            value += line.compare(value, 3, "OK,") == 0 ? 3 : 0;
            if (line.compare(value, kMaskedValue.size(), kMaskedValue) != 0) {
                continue;
            }
            line.replace(value, kMaskedValue.size(), sentValue);
            const std::size_t star = line.rfind("*XX");
            if (line.starts_with('@') && star != std::string::npos) {
                const std::string ending = line.substr(star + 3);
                line = EncodeCp936(WithReplyChecksum(DecodeCp936(line.substr(0, star))));
                line += ending;
            }
        }
        return line;
    }

    std::string LastSentValue(std::string_view key) const {
        const std::string command = "SET," + std::string(key);
        const auto sent = wire->SentBytes();
        for (auto it = sent.rbegin(); it != sent.rend(); ++it) {
            if (it->bytes.starts_with(command)) {
                const std::string value = it->bytes.substr(command.size());
                return value.substr(0, value.find_first_of("\r\n"));
            }
        }
        return {};
    }

    std::string Outcome() const {
        std::string out = "[progress]\n" + ToUtf8(target.lines) + "[sent]\n";
        for (const ReplayWire::Sent& sent : wire->SentBytes()) {
            out += "tick " + std::to_string(sent.tick) + ": " + EscapeWireBytes(sent.bytes) + "\n";
        }
        if (!core->Store().MountPoints().empty()) {
            out += "[mount points]\n";
            for (const std::u16string& name : core->Store().MountPoints()) {
                out += ToUtf8(name) + "\n";
            }
        }
        out += "[record]\n" + DumpRecord(core->Control().Settings());
        return problems + out;
    }

    const Session& session;
    SimulatedPlatform platform; // never used: every connection is replayed
    std::shared_ptr<ReplayWire> wire;
    ReplayStreams streams;
    int tick = 0;
    TickedTarget target{tick};
    std::unique_ptr<MainFrameCore> core;
    std::unique_ptr<testing::PumpedSink> sink;
    std::vector<std::string> steps;
    std::size_t nextStep = 0;
    std::map<std::u16string_view, int> statuses;
    bool closedByTool = false;
    bool linkError = false;
    std::string problems;
};

} // namespace

std::string ReplaySession(const Session& session, const std::filesystem::path& cacheFile) {
    return Replayer(session, cacheFile).Run();
}

} // namespace quorlex::replay
