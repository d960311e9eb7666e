// The frame's handling of deliveries and ticks, driven directly: the link's
// status texts, the pause after a chunk, the fetch's time limit, characters
// cut between chunks and lines cut by a dropped link.
#include "channel/MainFrameCore.h"
#include "common/CodePage.h"
#include "common/Format.h"
#include "common/Text.h"
#include "link/LinkStatus.h"
#include "link/sim/SimulatedPlatform.h"
#include "sim/CommandProcessor.h"
#include "sim/ReceiverState.h"
#include "sim/ReplyLine.h"
#include "tests/channel/PumpedSink.h"
#include "tests/support/RecordingProgress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace quorlex;
using namespace std::chrono_literals;
using quorlex::testing::PumpedSink;
using quorlex::testing::RecordingTarget;

namespace {

constexpr uint64_t kAddress = 0x000A3B5C7D9EULL;

std::string Wire(const std::vector<ReplyLine>& lines) {
    std::string wire;
    for (const ReplyLine& line : lines) {
        wire += EncodeReplyLine(line);
    }
    return wire;
}

// The receiver's answer to a command, as it goes on the wire.
std::string Answer(ReceiverState& state, std::u16string_view command) {
    return Wire(CommandProcessor(state).Answer(command));
}

// A short burst with Chinese values, then the acknowledgement of "GET,ALL".
std::vector<ReplyLine> ShortBurst() {
    return {KeyReply(u"DEVICE.INFO.SERIAL", u"QX2041570236"),
            KeyReply(u"DEVICE.RECORD.POINTNAME", u"测站一号"),
            KeyReply(u"NETWORK.MOUNTPOINTUSERPASS", u"测量员|密码"),
            KeyReply(u"BLUETOOTH.MODEL", u"BT-SPP"), Acknowledgement(u"GET,ALL")};
}

// The records of one table, Chinese included, as the caster's bytes.
const std::vector<std::string> kRecords = {
    EncodeCp936(u"CAS;caster.example;2101;EXA;运营商;0;CHN;30.53;114.36;0.0.0.0;0;none"),
    EncodeCp936(u"NET;EXA;运营商;B;N;http://a;http://b;http://c;none"),
    EncodeCp936(u"STR;WUHN;武汉;RTCM 3.2;1004(1);2;GPS+BDS;EXA;CHN;30.53;114.36;0;0;g;none;B;N;"
                u"9600;none"),
    EncodeCp936(u"STR;VRS;网络;RTCM 3.2;1074(1);2;GPS;EXA;CHN;0;0;1;1;g;none;B;N;9600;虚拟"),
    "ENDSOURCETABLE"};

std::string Joined(const std::vector<std::string>& lines, std::string_view end) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += end;
    }
    return text;
}

// The body in chunks whose sizes take turns between lower- and upper-case
// hexadecimal, with an extension and a trailer; the first chunk ends inside
// the first two-byte character.
std::string Chunked(std::string_view body) {
    const auto wide = std::find_if(body.begin(), body.end(),
                                   [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    size_t size = static_cast<size_t>(wide - body.begin()) + 1;
    std::string wire;
    for (bool upper = false; !body.empty(); upper = !upper) {
        size = std::min(size, body.size());
        wire += ToUtf8(FormatText(upper ? u"%X;ext=1\r\n" : u"%x\r\n", {int64_t(size)}));
        wire += body.substr(0, size);
        wire += "\r\n";
        body.remove_prefix(size);
        size = upper ? 29 : 26;
    }
    return wire + "0\r\nX-Trailer: end\r\n\r\n";
}

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
        if (sink) {
            Control().Disconnect();
            Control().SetReceiveTarget(nullptr);
            sink->Close();
        }
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

    // A new mount point fetch, as the network page starts one.
    static void StartFetch(MainFrameCore& frame) {
        frame.SetFetchActive(false);
        frame.Store().Reset();
        frame.SetFetchActive(true);
    }
    void StartFetch() { StartFetch(*core); }

    // Connects to a receiver that stays silent: the test hands its bytes over itself.
    void ConnectSilent() {
        if (!sink) {
            SimulatedReceiver silent;
            silent.address = kAddress;
            silent.pin = u"1234";
            silent.faults.silent = true;
            platform.AddReceiver(silent);
            sink = std::make_unique<PumpedSink>(
                [this](const char* b, size_t n) { core->OnReceiverData(b, n); });
            Control().SetReceiveTarget(sink.get());
            Control().SetDevice({kLinkKindBluetooth, u"R", kAddress, u"1234"});
        }
        ASSERT_TRUE(Control().Connect());
        ASSERT_TRUE(sink->PumpUntil([&] { return Noted(kLinkConnected); }, 5s));
    }

    std::string CachedBytes() const {
        std::ifstream file(cacheDir / "sourcetable.dat", std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
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
    std::unique_ptr<PumpedSink> sink;
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
    StartFetch();
    StartBatch({MakeCommandItem(u"GET,NETWORK.MOUNTPOINTLIST", u"开始获取接入点")});
    Deliver("SOURCETABLE 200 OK\r\n");
    for (int tick = 0; tick < 100; ++tick) {
        core->OnTimer();
        Deliver("STR;MP" + std::to_string(tick) + ";Site;RTCM 3.2\r\n");
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

TEST_F(MainFrameCoreTest, ChineseRepliesCutAtEveryByteGiveTheSameRecordAndNames) {
    const std::u16string setName = u"SET,DEVICE.RECORD.POINTNAME,测站一号";
    std::vector<ReplyLine> lines = ShortBurst();
    lines.insert(lines.begin(), Acknowledgement(setName));
    lines.insert(lines.end(), {{u"GNSS,GET,NETWORK.MOUNTPOINTLIST,START", true},
                               {u"GNSS,GET,NETWORK.MOUNTPOINTLI,OK,测站一号", true},
                               {u"GNSS,GET,NETWORK.MOUNTPOINTLIST,END", true}});
    const std::string stream = Wire(lines);
    const auto startBatch = [&] {
        StartBatch({MakeCommandItem(setName, u"设置点名"),
                    MakeCommandItem(u"GET,ALL", u"读取当前配置信息")});
    };
    startBatch();
    Deliver(stream);
    const ReceiverSettings whole = Settings();
    ASSERT_EQ(whole.config.recordPointName, u"测站一号");
    ASSERT_TRUE(Noted(u"读取当前配置信息成功!"));
    ASSERT_EQ(core->Store().MountPoints(), std::vector<std::u16string>{u"测站一号"});

    for (size_t cut = 1; cut < stream.size(); ++cut) {
        Settings() = ReceiverSettings{};
        target.notes.clear();
        startBatch();
        Deliver(std::string_view(stream).substr(0, cut));
        Deliver(std::string_view(stream).substr(cut));
        if (Settings().config != whole.config || Settings().info != whole.info ||
            !Noted(u"设置点名成功!") || !Noted(u"读取当前配置信息成功!") ||
            core->Store().MountPoints() != std::vector<std::u16string>{u"测站一号"}) {
            ADD_FAILURE() << "cut after byte " << cut << ": " << stream.substr(0, cut);
            break;
        }
    }
}

// A read cut short by a dropped link leaves half a line behind; the next
// connection's read must not be disturbed by it, wherever the cut fell.
TEST_F(MainFrameCoreTest, ReadCutAtEveryByteThenReadAgainGivesTheReceiversValues) {
    ReceiverState after;
    ASSERT_TRUE(after.Override(u"DEVICE.INFO.SERIAL", u"QX2041570999"));
    ASSERT_TRUE(after.Override(u"DEVICE.RECORD.POINTNAME", u"第二站"));
    const std::string cutRead = Wire(ShortBurst());
    const std::string read = Answer(after, u"GET,ALL");
    const size_t lastLine = read.rfind('@');
    Deliver(read);
    const ReceiverSettings expected = Settings();
    const auto startRead = [&] { StartBatch({MakeCommandItem(u"GET,ALL", u"读取当前配置信息")}); };

    size_t previousCut = 0; // none before the first read
    for (size_t cut = 1; cut < cutRead.size(); ++cut) {
        ASSERT_NO_FATAL_FAILURE(ConnectSilent());
        target.notes.clear();
        // Forget the values of the last read (not the intake's text), so that
        // a key lost now cannot hide behind its old value.
        Settings().config = ReceiverConfig{};
        Settings().info = ReceiverInfo{};
        startRead();
        Deliver(std::string_view(read).substr(0, lastLine));
        const bool waited = !Noted(u"读取当前配置信息成功!");
        Deliver(std::string_view(read).substr(lastLine));
        if (!waited || !Noted(u"读取当前配置信息成功!") || Settings().config != expected.config ||
            Settings().info != expected.info) {
            ADD_FAILURE() << "after a read cut at byte " << previousCut << ": "
                          << cutRead.substr(0, previousCut);
            break;
        }
        target.notes.clear();
        startRead();
        Deliver(std::string_view(cutRead).substr(0, cut));
        previousCut = cut;
        // The line drops; the surveyor cancels the frozen read.
        Status(kLinkError);
        Status(kLinkDisconnected);
        Control().Disconnect();
    }
}

// Each form of a table, received whole or cut anywhere (inside a character,
// a size line or a line end), gives the same records, and a text that holds
// the head as received and the body without its framing, line by line.
TEST_F(MainFrameCoreTest, EveryTableFormCutAtEveryByteGivesTheSameRecordsAndText) {
    const std::string lfBody = Joined(kRecords, "\n");
    const std::string http = "HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\n"
                             "Content-Type: gnss/sourcetable\r\n";
    const std::string lengthHead =
        http + "Content-Length: " + std::to_string(lfBody.size()) + "\r\n\r\n";
    const std::string chunkedHead = http + "Transfer-Encoding: chunked\r\n\r\n";
    const std::string forms[] = {"SOURCETABLE 200 OK\r\n" + Joined(kRecords, "\r\n"),
                                 lengthHead + lfBody, chunkedHead + Chunked(lfBody)};
    const std::string heads[] = {"SOURCETABLE 200 OK\r\n", lengthHead, chunkedHead};
    // Without a cache file: a thousand cuts need not be written to disk.
    MainFrameCore frame(platform, [](std::chrono::milliseconds) {}, {}, {});
    const auto fetch = [&](std::string_view first, std::string_view second) {
        StartFetch(frame);
        frame.OnReceiverData(first.data(), first.size());
        frame.OnReceiverData(second.data(), second.size());
        return frame.Store();
    };
    const SourceTableStore reference = fetch(forms[0], "");
    ASSERT_EQ(reference.StrList().size(), 2u);
    ASSERT_EQ(reference.StrList()[1].misc, u"虚拟");
    const std::u16string records = DecodeCp936(Joined(kRecords, "\r\n"));
    for (size_t form = 0; form < std::size(forms); ++form) {
        const std::string_view wire = forms[form];
        for (size_t cut = 0; cut < wire.size(); ++cut) {
            const SourceTableStore store = fetch(wire.substr(0, cut), wire.substr(cut));
            if (!store.IsComplete() || frame.FetchActive() ||
                store.StrList() != reference.StrList() || store.CasList() != reference.CasList() ||
                store.NetList() != reference.NetList() ||
                store.TableText() != DecodeCp936(heads[form]) + records) {
                ADD_FAILURE() << "form " << form << ": cut after byte " << cut;
                break;
            }
        }
    }
}

// A refusal ends the fetch on the chunk that brings it, says which status
// came, and leaves the table cached before in place.
TEST_F(MainFrameCoreTest, ARefusalEndsTheFetchAtOnceAndKeepsTheCachedTable) {
    StartFetch();
    Deliver("SOURCETABLE 200 OK\r\n" + Joined(kRecords, "\r\n"));
    ASSERT_FALSE(core->FetchActive());
    const std::string cached = CachedBytes();
    ASSERT_FALSE(cached.empty());
    for (const std::string status : {"HTTP/1.1 401 Unauthorized", "SOURCETABLE 401 Unauthorized",
                                     "ICY 401 Unauthorized", "HTTP/1.0 401 Unauthorized"}) {
        target.notes.clear();
        StartFetch();
        Deliver("@GNSS,GET,NETWORK.MOUNTPOINTLIST,START*11\r\n"
                "@GNSS,GET,NETWORK.MOUNTPOINTLIST,END*22\r\n" +
                status + "\r\nWWW-Authenticate: Basic realm=\"/\"\r\n\r\n");
        EXPECT_FALSE(core->FetchActive()) << status;
        ASSERT_FALSE(target.notes.empty());
        EXPECT_EQ(target.notes.back().status, u"获取源列表失败：401 Unauthorized") << status;
        for (int tick = 0; tick <= SourceTableStore::kTimeoutTicks; ++tick) {
            core->OnTimer();
        }
        EXPECT_FALSE(Noted(u"获取源列表超时！")) << status;
        EXPECT_EQ(CachedBytes(), cached) << status;
    }
}

// The command after the list request waits behind the names and the table
// in the receiver: its time stands still while their text keeps coming, and
// runs again once the table is complete.
TEST_F(MainFrameCoreTest, TheNextCommandsTimeStandsStillWhileTheTableArrives) {
    ASSERT_NO_FATAL_FAILURE(ConnectSilent());
    StartFetch();
    StartBatch({MakeCommandItem(u"GET,ALL", u"重新获取参数")});
    Deliver("@GNSS,GET,NETWORK.MOUNTPOINTLIST,START*11\r\n");
    const int position = Control().Progress().position;
    for (int tick = 0; tick < 20; ++tick) {
        Deliver("@GNSS,GET,NETWORK.MOUNTPOINTLI,OK,MP" + std::to_string(tick) + "*00\r\n");
        core->OnTimer();
    }
    Deliver("@GNSS,GET,NETWORK.MOUNTPOINTLIST,END*22\r\nSOURCETABLE 200 OK\r\n");
    for (int tick = 0; tick < 20; ++tick) {
        Deliver("STR;MP" + std::to_string(tick) + ";Site;RTCM 3.2\r\n");
        core->OnTimer();
    }
    EXPECT_EQ(Control().Progress().position, position);
    EXPECT_FALSE(Noted(u"重新获取参数超时!"));
    Deliver("ENDSOURCETABLE\r\n");
    for (int tick = 0; tick < 11; ++tick) {
        core->OnTimer();
    }
    EXPECT_TRUE(Noted(u"重新获取参数超时!"));
}

} // namespace
