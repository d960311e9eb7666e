#include "common/CodePage.h"
#include "common/Text.h"
#include "model/ReceiverSettings.h"
#include "model/ReplyKeyTable.h"
#include "sim/ReceiverSimulator.h"
#include "tests/sim/SimPeer.h"

#include <set>

#include <gtest/gtest.h>

namespace quorlex::test {
namespace {

class SimBurstDispatch : public ::testing::Test {
protected:
    SimBurstDispatch() { simulator.SetLineRate(0); }

    // Feeds every line as the tool's intake does: code page 936 text cut at
    // the line feed, so the carriage return is still at the end.
    std::vector<int32_t> Dispatch(const std::vector<std::string>& lines) {
        std::vector<int32_t> codes;
        codes.reserve(lines.size());
        for (const std::string& line : lines) {
            codes.push_back(settings.DispatchReplyLine(DecodeCp936(line) + u"\r"));
        }
        return codes;
    }

    ReceiverSimulator simulator;
    SimPeer peer{simulator};
    ReceiverSettings settings;
};

TEST_F(SimBurstDispatch, EveryKeyOfTheDispatchTableIsDecodedFromTheBurst) {
    const std::vector<std::string> lines = peer.Exchange("GET,ALL", "@GNSS,GET,ALL,OK");
    ASSERT_GT(lines.size(), 1u);
    const std::vector<int32_t> codes = Dispatch(lines);
    std::set<std::u16string> decoded;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_NE(codes[i], 0) << lines[i];
        std::u16string key;
        ExtractField(FromUtf8(lines[i]), 2, u',', key);
        decoded.insert(key);
    }
    EXPECT_EQ(codes.back(), 0) << "the acknowledgement is no key line";
    for (const ReplyKey& entry : ReplyKeys()) {
        EXPECT_EQ(decoded.count(std::u16string(entry.key)), 1u) << ToUtf8(entry.key);
    }
    EXPECT_EQ(codes.front(), 10);
    EXPECT_EQ(codes[codes.size() - 2], 103);
}

TEST_F(SimBurstDispatch, RecordTakesTheSimulatorsValues) {
    Dispatch(peer.Exchange("GET,ALL", "@GNSS,GET,ALL,OK"));
    const ReceiverConfig& config = settings.config;
    EXPECT_EQ(config.workingMode, simulator.WorkingMode());
    EXPECT_EQ(config.datalink.network[0].server.address, simulator.Value(u"NETWORK.ADDR"));
    EXPECT_EQ(config.datalink.network[0].server.port, 2101);
    EXPECT_EQ(config.datalink.radio[0].txFrequency[0], 438.125);
    EXPECT_EQ(config.datalink.radio[1].txFrequency[15], 466.625);
    EXPECT_EQ(config.datalink.externalBaud, 38400);
    EXPECT_EQ(settings.info.bluetoothModel, simulator.Value(u"BLUETOOTH.MODEL"));
    EXPECT_EQ(settings.info.device.serialNumber, simulator.Value(u"DEVICE.INFO.SERIAL"));
}

TEST_F(SimBurstDispatch, ChineseValuesPassTheToolsChecksum) {
    ASSERT_TRUE(simulator.SetValue(u"DEVICE.RECORD.POINTNAME", u"测站一号"));
    const std::string line =
        FindKeyLine(peer.Exchange("GET,ALL", "@GNSS,GET,ALL,OK"), "DEVICE.RECORD.POINTNAME");
    EXPECT_TRUE(ChecksumValid(line)) << line;
    EXPECT_NE(Dispatch({line}), std::vector<int32_t>{0});
    EXPECT_EQ(settings.config.recordPointName, u"测站一号");
}

TEST_F(SimBurstDispatch, SlotReadAfterASaveShowsTheSavedMode) {
    for (const char* command : {"SET,CONFIG,2,START", "SET,NETWORK.PORT,8002",
                                "SET,DEVICE.SYS_MODE,NETBASE", "SET,CONFIG,2,END"}) {
        const std::vector<std::string> ack = peer.Exchange(command, "@GNSS,");
        ASSERT_EQ(Dispatch(ack), std::vector<int32_t>{0}) << command;
    }
    Dispatch(peer.Exchange("GET,ALL,2", "@GNSS,GET,ALL,2,OK"));
    EXPECT_EQ(settings.config.workingMode, 3);
    EXPECT_EQ(settings.config.datalink.network[0].server.port, 8002);
    Dispatch(peer.Exchange("GET,ALL", "@GNSS,GET,ALL,OK"));
    EXPECT_EQ(settings.config.workingMode, 0);
    EXPECT_EQ(settings.config.datalink.network[0].server.port, 2101);
}

TEST_F(SimBurstDispatch, FivePinAnswerIsStoredAsTheBaudButIsNoKeyLine) {
    const std::vector<std::string> lines = peer.Exchange("COM,115200", "@GNSS,COM,");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(settings.DispatchReplyLine(FromUtf8(lines[0])), 0);
    EXPECT_TRUE(settings.StoreComReply(FromUtf8(lines[0])));
    EXPECT_EQ(settings.info.fivePinBaudText, u"115200");
}

TEST_F(SimBurstDispatch, BadChecksumFaultMakesTheToolRefuseEveryLine) {
    SimulatorFaults faults;
    faults.badChecksums = true;
    simulator.SetFaults(faults);
    const std::vector<std::string> lines = peer.Exchange("GET,ALL", "@GNSS,GET,ALL,OK");
    ASSERT_GT(lines.size(), 1u);
    for (int32_t code : Dispatch(lines)) {
        EXPECT_EQ(code, 0);
    }
}

} // namespace
} // namespace quorlex::test
