// The frame's closing against the link's real threads: a simulated receiver
// keeps sending while a thread standing for the UI thread closes the frame at
// different moments and destroys it, which joins the link's threads.
#include "channel/MainFrameCore.h"
#include "common/CodePage.h"
#include "link/LinkStatus.h"
#include "link/sim/SimulatedPlatform.h"
#include "sim/ReceiverSimulator.h"
#include "tests/channel/PumpedSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

using namespace quorlex;
using namespace std::chrono_literals;
using quorlex::testing::PumpedSink;

namespace {

constexpr uint64_t kAddress = 0x000A3B5C7D9EULL;
constexpr std::size_t kDropAfterBytes = 300;

LinkOptions QuickLink() {
    LinkOptions options;
    options.readableWait = 100ms;
    return options;
}

// The main frame without a window, made, fed and closed on one thread. What
// it handles must be handled on that thread, and never once it has closed.
class HeadlessFrame {
public:
    explicit HeadlessFrame(SimulatedPlatform& platform)
        : sink([this](const char* bytes, size_t count) { Handle(bytes, count); }),
          core_(std::make_unique<MainFrameCore>(platform, nullptr, QuickLink(),
                                                std::filesystem::path())) {
        Control().SetReceiveTarget(&sink);
        Control().SetDevice({kLinkKindBluetooth, u"GNSS-Sim", kAddress, u"1234"});
    }

    // As the frame's destructor: stop the deliveries, then let the link go,
    // which joins its threads.
    void Close() {
        closed_ = true;
        Control().SetReceiveTarget(nullptr);
        sink.Close();
        core_.reset();
    }

    ReceiverControl& Control() { return core_->Control(); }
    void Tick() { core_->OnTimer(); }
    bool Handled(std::u16string_view status) const {
        return std::find(statuses_.begin(), statuses_.end(), EncodeCp936(status)) !=
               statuses_.end();
    }
    bool StartRead() {
        Control().ClearCommands();
        Control().AddCommand(MakeCommandItem(u"GET,ALL", u"读取当前配置信息"));
        return Control().StartBatch(u"读取配置");
    }

    // Declared first: link threads may still deliver while the core joins them.
    PumpedSink sink;
    std::atomic<int> misplaced{0};
    std::size_t dataBytes = 0;
    int dataChunks = 0;

private:
    void Handle(const char* bytes, size_t count) {
        if (closed_ || std::this_thread::get_id() != uiThread_) {
            ++misplaced;
        }
        std::string chunk(bytes, count);
        const auto isStatus = [&](std::u16string_view s) { return chunk == EncodeCp936(s); };
        if (std::ranges::any_of(std::initializer_list<std::u16string_view>{kLinkConnected,
                                                                           kLinkDisconnected,
                                                                           kLinkError},
                                isStatus)) {
            statuses_.push_back(std::move(chunk));
        } else {
            dataBytes += count;
            ++dataChunks;
        }
        core_->OnReceiverData(bytes, count);
    }

    const std::thread::id uiThread_ = std::this_thread::get_id();
    std::atomic<bool> closed_{false};
    std::vector<std::string> statuses_;
    std::unique_ptr<MainFrameCore> core_;
};

enum class Moment {
    Connecting,
    ChunkWaiting,
    MidBurst,
    DropReportWaiting,
    AfterDrop,
    AfterFailedSend,
    AfterRead
};

struct Scenario {
    const char* name;
    Moment moment;
    int lineRate = ReceiverSimulator::kDefaultLineRate;
    int chunks = 0; // MidBurst: data chunks handled first
};

// Brings the frame to the moment it closes at; false if it never came.
bool Reach(HeadlessFrame& frame, const Scenario& s) {
    PumpedSink& ui = frame.sink;
    if (!frame.Control().Connect() || s.moment == Moment::Connecting) {
        return s.moment == Moment::Connecting;
    }
    if (!ui.PumpUntil([&] { return frame.Handled(kLinkConnected); }, 5s) || !frame.StartRead()) {
        return false;
    }
    switch (s.moment) {
    case Moment::ChunkWaiting:
        return ui.WaitForDelivery(5s);
    case Moment::MidBurst:
        return ui.PumpUntil([&] { return frame.dataChunks >= s.chunks; }, 5s) &&
               frame.Control().IsBatchActive();
    case Moment::DropReportWaiting:
        // Every byte before the drop handled: only the link's report is left.
        return ui.PumpUntil([&] { return frame.dataBytes >= kDropAfterBytes; }, 5s) &&
               ui.WaitForDelivery(5s);
    case Moment::AfterDrop:
        return ui.PumpUntil([&] { return frame.Handled(kLinkDisconnected); }, 5s);
    case Moment::AfterFailedSend:
        // Reported on this thread, within the send.
        return frame.Handled(kLinkDisconnected);
    case Moment::AfterRead:
        return ui.PumpUntil([&] { return !frame.Control().IsBatchActive(); }, 20s,
                            [&] { frame.Tick(); });
    case Moment::Connecting:
        break;
    }
    return false;
}

class DeliveryHandoffTest : public ::testing::Test {
protected:
    void SetUp() override {
        SimulatedReceiver r;
        r.name = u"GNSS-Sim";
        r.address = kAddress;
        r.pin = u"1234";
        r.serve = [sim = receiver](int fd) { sim->Attach(fd); };
        platform.AddReceiver(std::move(r));
    }

    void TearDown() override { receiver->Detach(); }

    SimulatedPlatform platform;
    std::shared_ptr<ReceiverSimulator> receiver = std::make_shared<ReceiverSimulator>();
};

TEST_F(DeliveryHandoffTest, ClosingAtAnyMomentLeavesNoLinkThreadWaitingAndHandlesNothingLate) {
    const Scenario scenarios[] = {
        {"while connecting", Moment::Connecting},
        {"with a chunk waiting", Moment::ChunkWaiting},
        {"mid-burst on a paced line", Moment::MidBurst, ReceiverSimulator::kDefaultLineRate, 3},
        {"mid-burst at full speed", Moment::MidBurst, 0, 1},
        {"with the drop's report waiting", Moment::DropReportWaiting},
        {"after the link dropped", Moment::AfterDrop, 0},
        {"after a failed send", Moment::AfterFailedSend},
        {"after the whole read", Moment::AfterRead, 0},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        receiver->SetLineRate(s.lineRate);
        SimulatedReceiverFaults faults;
        if (s.moment == Moment::DropReportWaiting || s.moment == Moment::AfterDrop) {
            faults.dropAfterBytes = kDropAfterBytes;
        }
        faults.sendFails = s.moment == Moment::AfterFailedSend;
        platform.SetReceiverFaults(kAddress, faults);
        bool reached = false;
        std::u16string serial;
        int misplaced = 0;
        std::size_t unanswered = 0;
        std::thread uiThread([&] {
            HeadlessFrame frame(platform);
            reached = Reach(frame, s);
            serial = frame.Control().Settings().info.device.serialNumber;
            frame.Close();
            misplaced = frame.misplaced.load();
            unanswered = frame.sink.Unanswered();
        });
        uiThread.join();
        EXPECT_TRUE(reached);
        EXPECT_EQ(unanswered, 0u) << "a link thread was left waiting for a closed frame";
        EXPECT_EQ(misplaced, 0) << "handled off the UI thread or after closing";
        if (s.moment == Moment::AfterRead) {
            EXPECT_EQ(serial, receiver->Value(u"DEVICE.INFO.SERIAL"));
        }
        receiver->Detach();
    }
}

} // namespace
