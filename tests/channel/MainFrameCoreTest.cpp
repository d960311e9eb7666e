// The frame's handling of deliveries and ticks, driven directly: the link's
// status texts, the pause after a chunk and the fetch's time limit.
#include "channel/MainFrameCore.h"
#include "common/CodePage.h"
#include "link/LinkStatus.h"
#include "link/sim/SimulatedPlatform.h"
#include "tests/channel/ChannelTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

using namespace quorlex;
using namespace std::chrono_literals;
using quorlex::testing::RecordingTarget;

namespace {

class MainFrameCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        cacheDir = std::filesystem::temp_directory_path() /
                   ("quorlex-frame-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(cacheDir);
        LinkOptions options;
        options.readableWait = 100ms;
        options.workerStopLimit = 1000ms;
        core = std::make_unique<MainFrameCore>(
            platform, [this](std::chrono::milliseconds pause) { pauses.push_back(pause); }, options,
            cacheDir / "sourcetable.dat");
        Control().SetProgressTarget(&target);
    }

    void TearDown() override {
        core.reset();
        std::filesystem::remove_all(cacheDir);
    }

    ReceiverControl& Control() { return core->Control(); }
    ReceiverSettings& Settings() { return Control().Settings(); }
    void Deliver(std::string_view bytes) { core->OnReceiverData(bytes.data(), bytes.size()); }
    void Status(std::u16string_view text) { Deliver(EncodeCp936(text)); }

    void StartBatch(std::initializer_list<CommandItem> items) {
        Control().ClearCommands();
        for (const CommandItem& item : items) {
            Control().AddCommand(item);
        }
        Control().StartBatch(u"读取配置");
    }

    bool Noted(std::u16string_view status) const {
        return std::any_of(target.notes.begin(), target.notes.end(),
                           [&](const RecordingTarget::Note& n) { return n.status == status; });
    }

    std::filesystem::path cacheDir;
    SimulatedPlatform platform;
    std::vector<std::chrono::milliseconds> pauses;
    std::unique_ptr<MainFrameCore> core;
    RecordingTarget target;
};

TEST_F(MainFrameCoreTest, OnlyAShortChunkOfReceivedDataPauses) {
    struct Case {
        const char* name;
        std::string bytes;
        bool pauses;
    };
    const std::vector<Case> cases = {
        {"short chunk", "@GNSS,GET,DEV", true},
        {"one byte short of the reader's buffer", std::string(4095, 'x'), true},
        {"full chunk", std::string(4096, 'x'), false},
        {"connected", EncodeCp936(kLinkConnected), false},
        {"connect failed", EncodeCp936(kLinkConnectFailed), false},
        {"PIN refused", EncodeCp936(kLinkPinRefused), false},
        {"disconnected", EncodeCp936(kLinkDisconnected), false},
        {"error", EncodeCp936(kLinkError), false},
    };
    for (const Case& c : cases) {
        pauses.clear();
        Deliver(c.bytes);
        const std::vector<std::chrono::milliseconds> expected =
            c.pauses ? std::vector{ReplyIntake::kPauseAfterChunk}
                     : std::vector<std::chrono::milliseconds>{};
        EXPECT_EQ(pauses, expected) << c.name;
        Settings().lineBuffer.clear();
    }
}

TEST_F(MainFrameCoreTest, LinkStatusReachesTheProgressWindowButNotTheTextOfTheReplies) {
    StartBatch({MakeCommandItem(u"GET,ALL", u"读取当前配置信息")});
    core->SetFetchActive(true);
    Deliver("SOURCETABLE 200 OK\r\nSTR;A;x\r\n@GNSS,GET,A");
    const std::u16string table = core->Store().TableText();
    target.notes.clear();
    Status(kLinkDisconnected);
    EXPECT_EQ(target.notes, (std::vector<RecordingTarget::Note>{{u"线路连接被断开", -1, 9, 0}}));
    EXPECT_EQ(Settings().lineBuffer, u"@GNSS,GET,A");
    Deliver("LL,OK*12\r\nSTR;B;x\r\n");
    EXPECT_EQ(core->Store().TableText(), table + u"@GNSS,GET,ALL,OK*12\r\nSTR;B;x\r\n");
    EXPECT_TRUE(Noted(u"读取当前配置信息成功!"));
}

TEST_F(MainFrameCoreTest, FetchTimeLimitCountsSilentTicksOnly) {
    for (const bool silentAtTheEnd : {false, true}) {
        SCOPED_TRACE(silentAtTheEnd ? "silent at the end" : "whole table");
        target.notes.clear();
        core->SetFetchActive(true);
        core->Store().Reset();
        StartBatch({MakeCommandItem(u"GET,NETWORK.MOUNTPOINTLIST", u"开始获取接入点")});
        Deliver("SOURCETABLE 200 OK\r\n");
        for (int tick = 0; tick < 100; ++tick) {
            core->OnTimer();
            Deliver("STR;MP" + std::to_string(tick) + ";Site;RTCM 3.2\r\n");
        }
        ASSERT_TRUE(core->FetchActive());
        if (!silentAtTheEnd) {
            Deliver("ENDSOURCETABLE\r\n");
            EXPECT_TRUE(core->Store().IsComplete());
            EXPECT_EQ(core->Store().StrList().size(), 100u);
            EXPECT_FALSE(core->FetchActive());
            continue;
        }
        for (int tick = 0; tick < 60; ++tick) {
            core->OnTimer();
        }
        EXPECT_TRUE(core->FetchActive());
        core->OnTimer();
        EXPECT_FALSE(core->FetchActive());
        EXPECT_TRUE(core->Store().IsTimedOut());
        EXPECT_EQ(target.notes.back().status, u"获取源列表超时！");
    }
}

} // namespace
