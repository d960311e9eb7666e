#include "link/WireLog.h"
#include "common/Text.h"
#include "link/ReceiverLink.h"
#include "link/SessionFile.h"
#include "link/WireMask.h"
#include "link/sim/SimulatorService.h"
#include "sim/ReceiverSimulator.h"
#include "tests/link/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <unistd.h>

using namespace quorlex;
using namespace quorlex::test;
namespace fs = std::filesystem;

namespace {

// A line with a secret, and what the log shows of it.
struct MaskCase {
    std::string_view line;
    std::string_view shown;
};

constexpr MaskCase kMasks[] = {
    {"SET,NETWORK.MOUNTPOINTUSERPASS,qx0123|204816\r\n", "SET,NETWORK.MOUNTPOINTUSERPASS,***\r\n"},
    {"@GNSS,GET,NETWORK.MOUNTPOINTUSERPASS,OK,qx0123|204816*5A\r\n",
     "@GNSS,GET,NETWORK.MOUNTPOINTUSERPASS,OK,****XX\r\n"},
    {"@GNSS,SET,NETWORK.MOUNTPOINTUSERPASS,qx0123|204816,OK*1F\r\n",
     "@GNSS,SET,NETWORK.MOUNTPOINTUSERPASS,***,OK*XX\r\n"},
    {"@GNSS,ERROR,5,SET,NETWORK.APNPASS,qx0123|204816*22\n",
     "@GNSS,ERROR,5,SET,NETWORK.APNPASS,****XX\n"},
    {"SET,NETWORK.APNPASS,\r\n", "SET,NETWORK.APNPASS,\r\n"},
    {"@GNSS,GET,NETWORK.APNPASS,OK,*5A\r\n", "@GNSS,GET,NETWORK.APNPASS,OK,*5A\r\n"},
    {"@GNSS,SET,NETWORK.APNPASS,,OK*33\r\n", "@GNSS,SET,NETWORK.APNPASS,,OK*33\r\n"},
    {"GET,NETWORK.MOUNTPOINTUSERPASS\r\n", "GET,NETWORK.MOUNTPOINTUSERPASS\r\n"},
    {"SET,NETWORK.ADDR,qx0123|204816\r\n", "SET,NETWORK.ADDR,qx0123|204816\r\n"},
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class WireLogFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("wire-log-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        path = folder / "wire.log";
    }
    void TearDown() override { fs::remove_all(folder); }

    // The records of the file, which must read as a session.
    std::vector<WireRecord> Records() {
        Session session;
        SessionError error;
        EXPECT_TRUE(ReadSession(ReadFile(path), session, error)) << error.line << error.reason;
        return session.records;
    }

    fs::path folder;
    fs::path path;
    std::chrono::microseconds now{0};
    WireLog log{[this] { return now; }};
};

} // namespace

TEST(WireMask, NoSecretPassesHoweverTheLineIsCut) {
    for (const MaskCase& c : kMasks) {
        SCOPED_TRACE(std::string(c.line));
        EXPECT_EQ(WireMask::MaskLine(c.line), c.shown);
        // Every cut into three pieces: what comes out is the masked line, and
        // no piece of it ever holds the secret.
        for (std::size_t a = 0; a <= c.line.size(); ++a) {
            for (std::size_t b = a; b <= c.line.size(); ++b) {
                WireMask mask;
                std::string out;
                for (const std::string_view piece :
                     {c.line.substr(0, a), c.line.substr(a, b - a), c.line.substr(b)}) {
                    out += mask.Feed(piece);
                }
                out += mask.Flush();
                ASSERT_EQ(out, c.shown) << a << " " << b;
            }
        }
    }
}

TEST(WireMask, AValueCutOffByTheEndOfTheLinkIsMaskedAndAnEndlessOneBounded) {
    WireMask mask;
    EXPECT_EQ(mask.Feed("@GNSS,GET,DEVICE.INFO.SERIAL,OK,QX1\r\nSET,NETWORK.APNPASS,se"),
              "@GNSS,GET,DEVICE.INFO.SERIAL,OK,QX1\r\nSET,NETWORK.APNPASS,");
    EXPECT_EQ(mask.Feed("cret"), "");
    EXPECT_EQ(mask.Flush(), "***");
    EXPECT_EQ(mask.Feed("NETWORK.APN,cmnet\r\n"), "NETWORK.APN,cmnet\r\n");

    const std::string endless = "SET,NETWORK.APNPASS," + std::string(WireMask::kMaxHeld + 10, 's');
    EXPECT_EQ(mask.Feed(endless), "SET,NETWORK.APNPASS,***");
    EXPECT_EQ(mask.Feed("sss\r\nGET,ALL\r\n"), "\r\nGET,ALL\r\n");
}

TEST_F(WireLogFile, RecordsReadBackAsTheyWentAndTheFileIsAppendedTo) {
    FileError error;
    ASSERT_TRUE(log.Start(path, error));
    now = std::chrono::microseconds(1'500'000);
    log.Event(kLinkKindTcp, "open 127.0.0.1:9527");
    now += std::chrono::microseconds(12);
    log.Sent(kLinkKindTcp, "GET,ALL\r\n");
    now = std::chrono::microseconds(123'456'789);
    log.Received(kLinkKindTcp, std::string("@GNSS,\xC4\xA3\\x\t\0\x7F*", 14));
    log.Event(kLinkKindTcp, "线路连接被断开");
    log.Stop();
    const std::string text = ReadFile(path);
    const std::string expected = "    1.500000 tcp * open 127.0.0.1:9527\n"
                                 "    1.500012 tcp > GET,ALL\\r\\n\n"
                                 "  123.456789 tcp < @GNSS,\\xC4\\xA3\\\\x\\t\\x00\\x7F*\n"
                                 "  123.456789 tcp * 线路连接被断开\n";
    ASSERT_EQ(text.substr(0, 29), "# quorlex wire log, started 2");
    EXPECT_EQ(text.substr(text.find("\n    1.5") + 1), expected);

    const std::vector<WireRecord> records = Records();
    ASSERT_EQ(records.size(), 4U);
    EXPECT_EQ(records[2], (WireRecord{123'456'789, kLinkKindTcp, WireRecord::kReceived,
                                      std::string("@GNSS,\xC4\xA3\\x\t\0\x7F*", 14)}));
    EXPECT_EQ(records[3].bytes, "线路连接被断开");

    // A second start keeps what the file holds.
    ASSERT_TRUE(log.Start(path, error));
    log.Sent(kLinkKindSerial, "COM,9600\r\n");
    log.Stop();
    EXPECT_EQ(ReadFile(path).substr(0, text.size()), text);
    EXPECT_EQ(Records().size(), 5U);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(WireLogFile, ASecretSplitAcrossSendsNeverReachesTheFile) {
    FileError error;
    ASSERT_TRUE(log.Start(path, error));
    const std::string_view command = "SET,NETWORK.MOUNTPOINTUSERPASS,qx0123|204816\r\n";
    std::string expected;
    for (std::size_t cut = 0; cut <= command.size(); ++cut) {
        log.Sent(kLinkKindBluetooth, command.substr(0, cut));
        log.Sent(kLinkKindBluetooth, command.substr(cut));
        expected += "SET,NETWORK.MOUNTPOINTUSERPASS,***\r\n";
    }
    log.Sent(kLinkKindBluetooth, command.substr(0, 40));
    log.Event(kLinkKindBluetooth, "线路连接被断开"); // the rest never comes
    log.Stop();
    // The file holds nothing but its records, and no sent record a secret.
    std::string sent;
    for (const WireRecord& record : Records()) {
        sent += record.direction == WireRecord::kSent ? record.bytes : "";
    }
    EXPECT_EQ(sent, expected + "SET,NETWORK.MOUNTPOINTUSERPASS,***");
}

TEST_F(WireLogFile, AFileThatCannotBeOpenedOrWrittenIsReported) {
    FileError error;
    EXPECT_FALSE(log.Start(folder, error));
    EXPECT_EQ(error.number, EISDIR);
    EXPECT_FALSE(log.Start("/dev/full", error));
    EXPECT_EQ(error.number, ENOSPC);
    EXPECT_FALSE(log.Active());

    // A disk that fills up while the log runs.
    std::vector<FileError> failures;
    log.SetFailureHandler([&](const FileError& failure) { failures.push_back(failure); });
    ASSERT_TRUE(log.Start(path, error));
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = fs::file_size(path) + 40;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
    for (int i = 0; i < 3; ++i) {
        log.Sent(kLinkKindTcp, "GET,ALL\r\n");
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(log.Active());
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(failures[0].number, EFBIG);
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("tcp > GET,ALL\\r\\n\n"), std::string::npos);
    EXPECT_EQ(text.find("tcp > GET,ALL\\r\\n\n"), text.rfind("tcp > GET,ALL\\r\\n\n"));
}

// Over a real link: the receiver's burst holds the caster password, the
// tool sends it, and the PIN of the pairing is never on the wire.
TEST_F(WireLogFile, ALinkLogsBothWaysWithoutPasswordOrPin) {
    auto simulator = std::make_shared<ReceiverSimulator>();
    simulator->SetLineRate(0);
    SimulatedPlatform platform;
    SimulatedReceiver receiver = Receiver(kReceiverAddress, u"K9Q7");
    receiver.serve = ServeWithSimulator(simulator);
    platform.AddReceiver(receiver);
    RecordingSink sink;
    {
        LinkOptions options;
        options.readableWait = std::chrono::milliseconds(20);
        ReceiverLink link(platform, options);
        link.SetNotifyTarget(&sink);
        FileError error;
        ASSERT_TRUE(link.Wire().Start(path, error));
        ASSERT_TRUE(link.Connect(u"K9Q7", kReceiverAddress));
        ASSERT_TRUE(sink.WaitForStatusCount(1));
        const std::string set = "SET,NETWORK.MOUNTPOINTUSERPASS,surveyor|s3cr3t!\r\n";
        ASSERT_EQ(link.Send(set.data(), set.size()), 1);
        ASSERT_EQ(link.Send("GET,ALL\r\n", 9), 1);
        ASSERT_TRUE(
            Eventually([&] { return sink.Data().find("@GNSS,GET,ALL,OK") != std::string::npos; }));
        link.Close();
    }
    ASSERT_NE(sink.Data().find("surveyor|s3cr3t!"), std::string::npos);
    const std::string text = ReadFile(path);
    for (const std::string_view secret : {"s3cr3t", "surveyor", "K9Q7"}) {
        EXPECT_EQ(text.find(secret), std::string::npos) << secret;
    }
    std::string received;
    std::vector<std::string> events;
    for (const WireRecord& record : Records()) {
        EXPECT_EQ(record.kind, kLinkKindBluetooth);
        if (record.direction == WireRecord::kReceived) {
            received += record.bytes;
        } else if (record.direction == WireRecord::kEvent) {
            events.push_back(record.bytes);
        }
    }
    // A reader woken by the close may report the end after it.
    events.resize(std::min<std::size_t>(events.size(), 3));
    EXPECT_EQ(events, (std::vector<std::string>{"open 000a3b5c7d9e", "建立连接成功", "close"}));
    // Every received byte is there, in order, but for the values masked as
    // WireMask masks them (the echo of the SET and the burst's password line).
    WireMask mask;
    EXPECT_EQ(received, mask.Feed(sink.Data()) + mask.Flush());
}

TEST(SessionFile, AHeaderThenWireLogLinesAndEveryMalformedLineNamed) {
    const std::string_view good = "# recorded from the simulator\r\n"
                                  "flow: read\r\n"
                                  "note: GET,ALL: the whole burst\n"
                                  "\n"
                                  "    0.000000 bluetooth * open 000a3b5c7d9e\n"
                                  "12.000001 serial <\n"
                                  "    0.5000 tcp > x\n";
    Session session;
    SessionError error;
    EXPECT_FALSE(ReadSession(good, session, error));
    EXPECT_EQ(error.line, 7);
    ASSERT_TRUE(ReadSession(good.substr(0, good.rfind("    0.5000")), session, error));
    EXPECT_EQ(session.header, (std::map<std::string, std::string>{
                                  {"flow", "read"}, {"note", "GET,ALL: the whole burst"}}));
    ASSERT_EQ(session.records.size(), 2U);
    EXPECT_EQ(session.records[1],
              (WireRecord{12'000'001, kLinkKindSerial, WireRecord::kReceived, ""}));

    const std::pair<std::string_view, std::string_view> bad[] = {
        {"1.000000 tcp > \\q", "unknown escape"},
        {"1.000000 tcp > \\x4", "\\x without two hexadecimal digits"},
        {"1.000000 tcp > ab\\", "backslash at the end of the line"},
        {"1.000000 tcp > a\tb", "control character in the bytes"},
        {"1.000000 usb > a", "no link kind"},
        {"1.000000 tcp", "no link kind"},
        {"1.000000 tcp ? a", "no direction"},
        {"1.000000 tcp >a", "no direction"},
        {"-1.000000 tcp > a", "no time in seconds with six decimals"},
        {"1.-00000 tcp > a", "no time in seconds with six decimals"},
        {"1.000000", "no time in seconds with six decimals"},
        {"0.000000 tcp > a\nflow: read", "no time in seconds with six decimals"},
    };
    for (const auto& [text, reason] : bad) {
        EXPECT_FALSE(ReadSession(text, session, error)) << text;
        EXPECT_EQ(error.reason, reason) << text;
    }
}
