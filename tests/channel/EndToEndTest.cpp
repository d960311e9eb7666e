// The whole path without a display: simulated adapter and receiver, the link's
// threads, the intake and the batch driven by ticks.
#include "channel/MainFrameCore.h"
#include "common/Text.h"
#include "link/sim/SimulatedPlatform.h"
#include "settings/SaveSequence.h"
#include "sim/ReceiverSimulator.h"
#include "tests/channel/PumpedSink.h"
#include "tests/support/RecordingProgress.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

using namespace quorlex;
using namespace std::chrono_literals;
using quorlex::testing::PumpedSink;
using quorlex::testing::RecordingTarget;

namespace {

constexpr uint64_t kAddress = 0x000A3B5C7D9EULL;

LinkOptions FastLink() {
    LinkOptions options;
    options.readableWait = 100ms;
    options.workerStopLimit = 1000ms;
    return options;
}

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        cacheDir = std::filesystem::temp_directory_path() /
                   ("quorlex-e2e-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(cacheDir);
        receiver->SetLineRate(0);
        SimulatedReceiver r;
        r.name = u"GNSS-Sim";
        r.address = kAddress;
        r.pin = u"1234";
        r.channel = 3;
        r.serve = [sim = receiver](int fd) { sim->Attach(fd); };
        platform.AddReceiver(std::move(r));
        core = std::make_unique<MainFrameCore>(platform, nullptr, FastLink(),
                                               cacheDir / "sourcetable.dat");
        sink = std::make_unique<PumpedSink>(
            [this](const char* b, size_t n) { core->OnReceiverData(b, n); });
        Control().SetReceiveTarget(sink.get());
        Control().SetProgressTarget(&target);
        Control().SetDevice({kLinkKindBluetooth, u"GNSS-Sim", kAddress, u"1234"});
    }

    void TearDown() override {
        Control().Disconnect();
        sink->PumpUntil([] { return false; }, 50ms);
        sink->Close();
        core.reset();
        receiver->Detach();
        std::filesystem::remove_all(cacheDir);
    }

    ReceiverControl& Control() { return core->Control(); }

    bool Connect() {
        return Control().Connect() &&
               sink->PumpUntil([this] { return Control().IsConnected(); }, 5s);
    }

    // Runs the batch to its end with a fast clock standing in for the frame's timer.
    bool RunBatch(std::u16string_view title, std::chrono::milliseconds limit = 20s) {
        if (!Control().StartBatch(title)) {
            return false;
        }
        return sink->PumpUntil([this] { return !Control().IsBatchActive(); }, limit,
                               [this] { core->OnTimer(); }, 50ms);
    }

    std::vector<std::u16string> Statuses() const {
        std::vector<std::u16string> out;
        for (const auto& n : target.notes) {
            out.push_back(n.status);
        }
        return out;
    }

    bool SawStatus(std::u16string_view status) const {
        const auto s = Statuses();
        return std::find(s.begin(), s.end(), status) != s.end();
    }

    std::filesystem::path cacheDir;
    SimulatedPlatform platform;
    std::shared_ptr<ReceiverSimulator> receiver = std::make_shared<ReceiverSimulator>();
    std::unique_ptr<MainFrameCore> core;
    std::unique_ptr<PumpedSink> sink;
    RecordingTarget target;
};

} // namespace

TEST_F(EndToEndTest, ConnectAndReadTheWholeConfiguration) {
    ASSERT_TRUE(Connect());
    Control().ClearCommands();
    Control().AddCommand(MakeCommandItem(u"GET,ALL", u"读取当前配置信息"));
    ASSERT_TRUE(RunBatch(u"读取配置"));

    const BatchProgress& p = Control().Progress();
    EXPECT_EQ(p.status, u"指令发送完毕！");
    EXPECT_EQ(p.position, p.total);
    EXPECT_EQ(p.failed, 0);
    EXPECT_TRUE(SawStatus(u"读取仪器信息..."));
    EXPECT_TRUE(SawStatus(u"仪器信息读取完毕!"));
    EXPECT_TRUE(SawStatus(u"读取当前配置信息成功!"));

    const ReceiverSettings& s = Control().Settings();
    EXPECT_EQ(s.info.device.serialNumber, receiver->Value(u"DEVICE.INFO.SERIAL"));
    EXPECT_EQ(s.info.bluetoothModel, receiver->Value(u"BLUETOOTH.MODEL"));
    EXPECT_EQ(s.config.datalink.network[0].server.address, receiver->Value(u"NETWORK.ADDR"));
    EXPECT_EQ(s.config.workingMode, receiver->WorkingMode());
    EXPECT_EQ(receiver->ReceivedCommands().front(), "GET,ALL");
}

TEST_F(EndToEndTest, SaveBatchChangesTheReceiverAndReadsTheNewValuesBack) {
    ASSERT_TRUE(Connect());
    ReceiverConfig work = Control().Settings().config;
    NetworkServerBlock& server = work.datalink.network[1].server;
    server.address = u"192.0.2.77";
    server.port = 2102;
    server.mountPoint = u"RTCM32_GG";
    server.user = u"surveyor";
    server.password = u"secret";
    const auto commands =
        BuildSaveCommands(SaveAction::ApplyNow, 0, 3, work, work.datalink.radio[0]);
    ASSERT_FALSE(commands.empty());
    Control().ClearCommands();
    for (const CommandItem& item : commands) {
        Control().AddCommand(item);
    }
    ASSERT_TRUE(RunBatch(u"开始设置", 60s));

    EXPECT_EQ(Control().Progress().failed, 0);
    EXPECT_EQ(receiver->WorkingMode(), 3);
    EXPECT_EQ(receiver->Value(u"NETWORK.ADDR"), u"192.0.2.77");
    const NetworkBlock& read = Control().Settings().config.datalink.network[0];
    EXPECT_EQ(read.server.address, u"192.0.2.77");
    EXPECT_EQ(read.server.port, 2102);
    EXPECT_EQ(read.server.mountPoint, u"RTCM32_GG");
    EXPECT_EQ(Control().Settings().config.workingMode, 3);
    // Each command went out in order (a slow run may have resent one).
    std::vector<std::string> received = receiver->ReceivedCommands();
    received.erase(std::unique(received.begin(), received.end()), received.end());
    std::vector<std::string> sent;
    for (const CommandItem& item : commands) {
        sent.push_back(ToUtf8(item.command));
    }
    EXPECT_EQ(received, sent);
}

TEST_F(EndToEndTest, MountPointFetchFillsTheStoreAndTheCache) {
    ASSERT_TRUE(Connect());
    core->SetFetchActive(true);
    core->Store().Reset();
    Control().ClearCommands();
    CommandItem list = MakeCommandItem(u"GET,NETWORK.MOUNTPOINTLIST", u"开始获取接入点");
    list.reply = u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,START";
    list.resendEvery = 60;
    list.budget = 120;
    Control().AddCommand(list);
    Control().AddCommand(MakeCommandItem(u"GET,ALL", u"重新获取参数"));
    ASSERT_TRUE(RunBatch(u"开始发送指令"));

    EXPECT_FALSE(core->FetchActive());
    EXPECT_TRUE(core->Store().IsComplete());
    EXPECT_EQ(core->Store().MountPoints(), receiver->MountPoints());
    EXPECT_GE(core->Store().StrList().size(), 20u);
    EXPECT_TRUE(SawStatus(u"获取源列表完毕！"));
    EXPECT_TRUE(std::filesystem::file_size(cacheDir / "sourcetable.dat") > 0);

    SourceTableStore reloaded(cacheDir / "sourcetable.dat");
    ASSERT_TRUE(reloaded.LoadCache());
    EXPECT_EQ(reloaded.StrList().size(), core->Store().StrList().size());
}

TEST_F(EndToEndTest, DroppedLinkFreezesTheBatchUntilDisconnect) {
    SimulatedReceiverFaults faults;
    faults.dropAfterBytes = 300;
    platform.SetReceiverFaults(kAddress, faults);
    ASSERT_TRUE(Connect());
    Control().ClearCommands();
    Control().AddCommand(MakeCommandItem(u"GET,ALL", u"读取当前配置信息"));
    Control().StartBatch(u"读取配置");
    ASSERT_TRUE(sink->PumpUntil([this] { return !Control().IsConnected(); }, 5s,
                                [this] { core->OnTimer(); }, 50ms));
    const BatchProgress frozen = Control().Progress();
    sink->PumpUntil([] { return false; }, 300ms, [this] { core->OnTimer(); }, 20ms);
    EXPECT_TRUE(Control().IsBatchActive());
    EXPECT_EQ(Control().Progress().position, frozen.position);

    Control().Disconnect();
    EXPECT_FALSE(Control().IsBatchActive());
    EXPECT_EQ(Control().Progress().status, u"指令发送完毕！");
}

TEST_F(EndToEndTest, ReadTimesOutAsFailedWhenTheReceiverIsSilent) {
    SimulatorFaults silent;
    silent.silent = true;
    receiver->SetFaults(silent);
    ASSERT_TRUE(Connect());
    Control().ClearCommands();
    Control().AddCommand(MakeCommandItem(u"GET,ALL", u"读取当前配置信息"));
    ASSERT_TRUE(RunBatch(u"读取配置"));
    EXPECT_TRUE(SawStatus(u"读取当前配置信息超时!"));
    EXPECT_EQ(Control().Progress().failed, 1);
    EXPECT_EQ(receiver->ReceivedCommands().size(), 4u);
}

TEST_F(EndToEndTest, DisconnectGivesUpAConnectionStillBeingMade) {
    SimulatedReceiverFaults slow;
    slow.connectDelay = 400ms;
    platform.SetReceiverFaults(kAddress, slow);
    ASSERT_TRUE(Control().Connect());
    Control().Disconnect();
    sink->PumpUntil([] { return false; }, 800ms);
    EXPECT_FALSE(Control().IsConnected());
    // A new attempt is accepted once the old one has been given up.
    platform.SetReceiverFaults(kAddress, {});
    EXPECT_TRUE(Connect());
}
