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
    explicit TickedTarget(const int& tick) : tick_(tick) {}
    bool HasWindow() const override { return true; }
    void OnBatchProgress(const BatchProgress& p) override {
        lines += FormatText(u"tick %d: %s (%d/%d%s)\n",
                            {int64_t{tick_}, std::u16string_view(p.status), int64_t{p.position},
                             int64_t{p.total}, std::u16string_view(p.failed ? u", failed" : u"")});
    }
    std::u16string lines;

private:
    const int& tick_;
};

class Replayer {
public:
    Replayer(const Session& session, const std::filesystem::path& cacheFile)
        : session_(session),
          wire_(std::make_shared<ReplayWire>(session.records.empty() ? kLinkKindBluetooth
                                                                     : session.records[0].kind)),
          streams_(wire_) {
        LinkOptions options;
        options.streamFactory = &streams_;
        options.workerStopLimit = kPatience;
        options.diagnostic = [](std::u16string_view) {};
        core_ = std::make_unique<MainFrameCore>(
            platform_, [](std::chrono::milliseconds) {}, options, cacheFile);
        sink_ = std::make_unique<testing::PumpedSink>(
            [this](const char* bytes, size_t count) { Handle(bytes, count); });
        const auto flow = session.header.find("flow");
        steps_ = FlowSteps(flow == session.header.end() ? "read" : flow->second);
    }

    ~Replayer() {
        sink_->Close();
        core_.reset();
    }

    std::string Run() {
        ReceiverControl& control = core_->Control();
        control.SetDevice(ReplayDevice(wire_->Kind()));
        control.SetReceiveTarget(sink_.get());
        control.SetProgressTarget(&target_);
        if (!control.Connect()) {
            Stall("the connection could not be started");
        }
        StartNextStep();
        for (const WireRecord& record : session_.records) {
            while ((tick_ + 1) * kTickMicros <= record.micros) {
                Tick();
            }
            Play(record);
            StartNextStep();
        }
        for (int i = 0; i < kTailTicks && (control.IsBatchActive() || nextStep_ < steps_.size());
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
        ++tick_;
        wire_->SetTick(tick_);
        core_->OnTimer();
        StartNextStep();
    }

    void StartNextStep() {
        if (core_->Control().IsBatchActive() || nextStep_ >= steps_.size()) {
            return;
        }
        const std::string& step = steps_[nextStep_++];
        if (!StartFlowStep(step, *core_)) {
            Stall("unknown flow step " + step);
        }
    }

    void Play(const WireRecord& record) {
        if (record.direction == WireRecord::kReceived) {
            if (core_->Control().IsConnected()) {
                wire_->Push(Unmask(record.bytes));
                Pump([this] { return wire_->ReaderWaitingIdle(); }, "a chunk to be taken");
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
            closedByTool_ = true;
            Cancel();
        } else if (text.starts_with("open ")) {
            closedByTool_ = false;
            linkError_ = false;
        } else if (event == kLinkConnected) {
            wire_->Open(true);
            Pump([this] { return core_->Control().IsConnected() && wire_->ReaderWaitingIdle(); },
                 "the connection");
        } else if (event == kLinkConnectFailed) {
            const int before = statuses_[kLinkConnectFailed];
            wire_->Open(false);
            Pump([&] { return statuses_[kLinkConnectFailed] > before; }, "the failed attempt");
        } else if (event == kLinkError) {
            linkError_ = true;
        } else if (event == kLinkDisconnected && !closedByTool_ && core_->Control().IsConnected()) {
            const int before = statuses_[kLinkDisconnected];
            wire_->End(linkError_ ? ReplayWire::Ending::Failed : ReplayWire::Ending::Closed);
            Pump([&] { return statuses_[kLinkDisconnected] > before; }, "the end of the link");
        }
    }

    // "取消" under a batch that cannot end: the link is closed and its reader
    // reports that before the replay ends.
    void Cancel() {
        const bool connected = core_->Control().IsConnected();
        const int before = statuses_[kLinkDisconnected];
        core_->Control().Disconnect();
        if (connected) {
            Pump([&] { return statuses_[kLinkDisconnected] > before; }, "the cancelled link");
        }
    }

    void Handle(const char* bytes, size_t count) {
        const std::u16string text = DecodeCp936(std::string_view(bytes, count));
        for (const std::u16string_view status :
             {kLinkConnected, kLinkConnectFailed, kLinkPinRefused, kLinkDisconnected, kLinkError}) {
            statuses_[status] += text == status ? 1 : 0;
        }
        core_->OnReceiverData(bytes, count);
    }

    void Pump(const std::function<bool()>& done, const std::string& what) {
        if (!sink_->PumpUntil(done, kPatience)) {
            Stall("no end to waiting for " + what);
        }
    }

    void Stall(const std::string& why) {
        problems_ += "!! tick " + std::to_string(tick_) + ": " + why + "\n";
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
        const auto sent = wire_->SentBytes();
        for (auto it = sent.rbegin(); it != sent.rend(); ++it) {
            if (it->bytes.starts_with(command)) {
                const std::string value = it->bytes.substr(command.size());
                return value.substr(0, value.find_first_of("\r\n"));
            }
        }
        return {};
    }

    std::string Outcome() const {
        std::string out = "[progress]\n" + ToUtf8(target_.lines) + "[sent]\n";
        for (const ReplayWire::Sent& sent : wire_->SentBytes()) {
            out += "tick " + std::to_string(sent.tick) + ": " + EscapeWireBytes(sent.bytes) + "\n";
        }
        if (!core_->Store().MountPoints().empty()) {
            out += "[mount points]\n";
            for (const std::u16string& name : core_->Store().MountPoints()) {
                out += ToUtf8(name) + "\n";
            }
        }
        out += "[record]\n" + DumpRecord(core_->Control().Settings());
        return problems_ + out;
    }

    const Session& session_;
    SimulatedPlatform platform_; // never used: every connection is replayed
    std::shared_ptr<ReplayWire> wire_;
    ReplayStreams streams_;
    int tick_ = 0;
    TickedTarget target_{tick_};
    std::unique_ptr<MainFrameCore> core_;
    std::unique_ptr<testing::PumpedSink> sink_;
    std::vector<std::string> steps_;
    std::size_t nextStep_ = 0;
    std::map<std::u16string_view, int> statuses_;
    bool closedByTool_ = false;
    bool linkError_ = false;
    std::string problems_;
};

} // namespace

std::string ReplaySession(const Session& session, const std::filesystem::path& cacheFile) {
    return Replayer(session, cacheFile).Run();
}

} // namespace quorlex::replay
