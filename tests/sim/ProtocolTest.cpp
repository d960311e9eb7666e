#include "common/Text.h"
#include "sim/ReceiverSimulator.h"
#include "tests/sim/SimPeer.h"
#include "tests/sim/ToolKeys.h"

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

namespace quorlex::test {
namespace {

class SimProtocol : public ::testing::Test {
protected:
    SimProtocol() { simulator.SetLineRate(0); }

    std::vector<std::string> GetAll(const std::string& command = "GET,ALL") {
        return peer.Exchange(command, "@GNSS," + command + ",OK");
    }

    std::string BurstValue(const std::string& key, const std::string& command = "GET,ALL") {
        const std::string line = FindKeyLine(GetAll(command), key);
        return KeyLineValue(line, key).value_or("<missing>");
    }

    // One answer line to a command that expects a single line.
    std::string Ask(const std::string& command) {
        const std::vector<std::string> lines = peer.Exchange(command, "@GNSS,");
        return lines.empty() ? std::string() : lines.back();
    }

    ReceiverSimulator simulator;
    SimPeer peer{simulator};
};

void ExpectRefused(const std::string& answer) {
    EXPECT_EQ(answer.rfind("@GNSS,", 0), 0u) << answer;
    EXPECT_EQ(answer.find(",OK"), std::string::npos) << answer;
    EXPECT_TRUE(ChecksumValid(answer)) << answer;
}

TEST_F(SimProtocol, BurstCarriesEveryToolKeyOnceFromSerialToBluetoothThenTheAcknowledgement) {
    const std::vector<std::string> lines = GetAll();
    ASSERT_EQ(lines.size(), kToolKeys.size() + 1);
    EXPECT_EQ(lines.back(), Checksummed("GNSS,GET,ALL,OK"));
    EXPECT_TRUE(KeyLineValue(lines.front(), "DEVICE.INFO.SERIAL"));
    EXPECT_TRUE(KeyLineValue(lines[lines.size() - 2], "BLUETOOTH.MODEL"));

    std::set<std::string> seen;
    std::size_t modelAt = 0;
    std::size_t sysModeAt = 0;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_TRUE(ChecksumValid(lines[i])) << lines[i];
        for (std::string_view key : kToolKeys) {
            if (KeyLineValue(lines[i], key)) {
                EXPECT_TRUE(seen.insert(std::string(key)).second) << "twice: " << key;
                modelAt = key == "DEVICE.INFO.MODEL" ? i : modelAt;
                sysModeAt = key == "DEVICE.SYS_MODE" ? i : sysModeAt;
            }
        }
    }
    EXPECT_EQ(seen.size(), kToolKeys.size());
    // Both set the working mode; the system mode has to come last to win.
    EXPECT_LT(modelAt, sysModeAt);
}

TEST_F(SimProtocol, BurstValuesHaveTheFormsTheToolDecodes) {
    const std::vector<std::string> lines = GetAll();
    auto value = [&](std::string_view key) {
        return KeyLineValue(FindKeyLine(lines, key), key).value_or("<missing>");
    };
    const std::string tx = value("RADIO.FREQUENCY");
    EXPECT_EQ(std::count(tx.begin(), tx.end(), '|'), 15) << tx;
    const std::string rx = value("RADIO.FREQUENCY_RX");
    EXPECT_EQ(std::count(rx.begin(), rx.end(), '|'), 15) << rx;
    EXPECT_EQ(value("NETWORK.ERRORCODE"), "0400");
    EXPECT_EQ(value("DEVICE.SYS_MODE"), "UHF");
    EXPECT_NE(value("GPS.REFSTATION.LOCATION"), "0|0|0");
    EXPECT_NE(value("SENSOR.INFO.MODEL").find("SENSOR"), std::string::npos);
    // The base position carries its start mode and its coordinates as two fields.
    const std::string position = value("GPS.BASE.POSITION");
    EXPECT_EQ(std::count(position.begin(), position.end(), ','), 1) << position;
    EXPECT_EQ(std::count(position.begin(), position.end(), '|'), 2) << position;
    for (const char* entry : {"GGA:", "ZDA:", "GSA:", "GSV:", "GST:", "VTG:", "RMC:", "GLL:"}) {
        EXPECT_NE(value("DEVICE.LOGLIST").find(entry), std::string::npos) << entry;
    }
}

TEST_F(SimProtocol, SetIsAcknowledgedWithTheWholeCommandAndTheNextBurstReportsIt) {
    const std::string frequencies = "410.050|411.050|412.050|413.050|414.050|415.050|416.050|"
                                    "417.050|0.000|0.000|0.000|0.000|0.000|0.000|0.000|0.000";
    const std::vector<std::pair<std::string, std::string>> sets{
        {"NETWORK.ADDR", "10.1.2.3"},
        {"NETWORK.PORT", "6060"},
        {"NETWORK.APNUSER", ""},
        {"NETWORK.MOUNTPOINTUSERPASS", "|"},
        {"NETWORK.MOUNTPOINT", "RTCM,odd"}, // sent as typed, comma included
        {"RADIO.FREQUENCY", frequencies},
        {"RADIO.CHANNEL_RX", "0"},
    };
    for (const auto& [key, value] : sets) {
        std::string command = "SET,";
        command.append(key).append(",").append(value);
        EXPECT_EQ(Ask(command), Checksummed("GNSS," + command + ",OK"));
    }
    const std::vector<std::string> burst = GetAll();
    for (const auto& [key, value] : sets) {
        EXPECT_EQ(KeyLineValue(FindKeyLine(burst, key), key), value) << key;
        EXPECT_EQ(simulator.Value(FromUtf8(key)), FromUtf8(value)) << key;
    }
}

TEST_F(SimProtocol, SystemModeTakesOnlyTheFourModeWordsAndMovesTheDatalink) {
    EXPECT_EQ(simulator.WorkingMode(), 0);
    EXPECT_EQ(Ask("SET,DEVICE.SYS_MODE,NETRELAY"),
              Checksummed("GNSS,SET,DEVICE.SYS_MODE,NETRELAY,OK"));
    EXPECT_EQ(simulator.WorkingMode(), 1);
    EXPECT_EQ(BurstValue("DEVICE.CUR_DATALINK"), "NETWORK");
    EXPECT_EQ(BurstValue("NETWORK.STATUS"), "435");

    ExpectRefused(Ask("SET,DEVICE.SYS_MODE,ROVER"));
    ExpectRefused(Ask("SET,DEVICE.SYS_MODE,uhf"));
    EXPECT_EQ(simulator.WorkingMode(), 1);

    Ask("SET,DEVICE.SYS_MODE,UHFRELAY");
    EXPECT_EQ(simulator.WorkingMode(), 2);
    EXPECT_EQ(BurstValue("DEVICE.CUR_DATALINK"), "UHF");
    EXPECT_EQ(BurstValue("NETWORK.STATUS"), "440");
}

TEST_F(SimProtocol, RefusalsNeverLookLikeAnAcknowledgement) {
    const std::string serial = BurstValue("DEVICE.INFO.SERIAL");
    for (const char* command :
         {"SET,DEVICE.INFO.SERIAL,X1", "SET,NO.SUCH.KEY,1", "SET,RADIO.CHANNEL", "GET,NO.SUCH.KEY",
          "FOO", "FOO,OK", "SET,OK,1", "OK", "get,ALL", "GET,ALL,X", "GET,ALL,1,2"}) {
        SCOPED_TRACE(command);
        ExpectRefused(Ask(command));
    }
    EXPECT_EQ(BurstValue("DEVICE.INFO.SERIAL"), serial);
}

TEST_F(SimProtocol, SingleKeyGetAnswersWithTheKeyLine) {
    EXPECT_EQ(Ask("GET,RADIO.CHANNEL"), Checksummed("GNSS,GET,RADIO.CHANNEL,OK,1"));
    simulator.SetValue(u"NETWORK.STATUS", u"409");
    EXPECT_EQ(Ask("GET,NETWORK.STATUS"), Checksummed("GNSS,GET,NETWORK.STATUS,OK,409"));
}

TEST_F(SimProtocol, BracketedCommandsFillTheSlotAndLeaveTheLiveConfigurationAlone) {
    for (const char* command : {"SET,CONFIG,3,START", "SET,RADIO.CHANNEL,7",
                                "SET,DEVICE.SYS_MODE,NETBASE", "SET,CONFIG,3,END"}) {
        EXPECT_EQ(Ask(command), Checksummed(std::string("GNSS,") + command + ",OK"));
    }
    EXPECT_EQ(simulator.OpenSlot(), 0);
    EXPECT_EQ(simulator.SlotValue(3, u"RADIO.CHANNEL"), u"7");
    EXPECT_EQ(simulator.SlotValue(2, u"RADIO.CHANNEL"), u"1");
    EXPECT_EQ(BurstValue("RADIO.CHANNEL"), "1");
    EXPECT_EQ(simulator.WorkingMode(), 0);

    const std::vector<std::string> slot = GetAll("GET,ALL,3");
    ASSERT_EQ(slot.size(), kToolKeys.size() + 1);
    EXPECT_EQ(slot.back(), Checksummed("GNSS,GET,ALL,3,OK"));
    EXPECT_EQ(KeyLineValue(FindKeyLine(slot, "RADIO.CHANNEL"), "RADIO.CHANNEL"), "7");
    EXPECT_EQ(KeyLineValue(FindKeyLine(slot, "DEVICE.SYS_MODE"), "DEVICE.SYS_MODE"), "NETBASE");
    EXPECT_EQ(KeyLineValue(FindKeyLine(slot, "DEVICE.INFO.SERIAL"), "DEVICE.INFO.SERIAL"),
              BurstValue("DEVICE.INFO.SERIAL"));

    EXPECT_EQ(Ask("SET,DEVICE.CUR_CONFIG,3"), Checksummed("GNSS,SET,DEVICE.CUR_CONFIG,3,OK"));
    EXPECT_EQ(simulator.CurrentSlot(), 3);
    EXPECT_EQ(simulator.WorkingMode(), 3);
    EXPECT_EQ(BurstValue("RADIO.CHANNEL"), "7");
}

TEST_F(SimProtocol, ApplyAndSaveSequenceEndsWithTheSlotLiveAndReadBack) {
    // "Apply now and save as slot 2" for the base network mode, as the tool sends it.
    const std::vector<std::string> batch{
        "SET,CONFIG,2,START",        "SET,NETWORK.APN,cmnet",       "SET,NETWORK.APNUSER,",
        "SET,NETWORK.APNPASS,",      "SET,NETWORK.ADDR,10.0.0.7",   "SET,NETWORK.PORT,8002",
        "SET,NETWORK.MOUNTPOINT,B1", "SET,DEVICE.SYS_MODE,NETBASE", "SET,CONFIG,2,END",
        "SET,DEVICE.CUR_CONFIG,2",   "SET,DEVICE.SYS_MODE,NETBASE"};
    for (const std::string& command : batch) {
        EXPECT_EQ(Ask(command), Checksummed("GNSS," + command + ",OK"));
    }
    const std::vector<std::string> slot = GetAll("GET,ALL,2");
    EXPECT_EQ(KeyLineValue(FindKeyLine(slot, "NETWORK.ADDR"), "NETWORK.ADDR"), "10.0.0.7");
    EXPECT_EQ(BurstValue("NETWORK.PORT"), "8002");
    EXPECT_EQ(simulator.WorkingMode(), 3);
    EXPECT_EQ(simulator.ReceivedCommands().size(), batch.size() + 2);
}

TEST_F(SimProtocol, UnfinishedOrMismatchedBracketsStoreNothing) {
    Ask("SET,CONFIG,4,START");
    Ask("SET,RADIO.CHANNEL,9");
    EXPECT_EQ(simulator.OpenSlot(), 4);
    ExpectRefused(Ask("SET,CONFIG,5,END"));
    EXPECT_EQ(simulator.SlotValue(4, u"RADIO.CHANNEL"), u"1");
    EXPECT_EQ(simulator.SlotValue(5, u"RADIO.CHANNEL"), u"1");
    // A new START abandons the open bracket.
    Ask("SET,CONFIG,4,START");
    Ask("SET,CONFIG,4,END");
    EXPECT_EQ(simulator.SlotValue(4, u"RADIO.CHANNEL"), u"1");
    // A repeated END (a resend) is acknowledged and changes nothing.
    EXPECT_EQ(Ask("SET,CONFIG,4,END"), Checksummed("GNSS,SET,CONFIG,4,END,OK"));
    for (const char* command :
         {"SET,CONFIG,0,START", "SET,CONFIG,6,START", "SET,CONFIG,1,BEGIN",
          "SET,DEVICE.CUR_CONFIG,0", "SET,DEVICE.CUR_CONFIG,6", "GET,ALL,0", "GET,ALL,6"}) {
        SCOPED_TRACE(command);
        ExpectRefused(Ask(command));
    }
    EXPECT_EQ(simulator.CurrentSlot(), 0);
    // Identity keys are not slot settings.
    EXPECT_EQ(simulator.SlotValue(1, u"DEVICE.INFO.SERIAL"), std::nullopt);
}

TEST_F(SimProtocol, FivePinCommandAcknowledgesWithTheBaudAndChangesTheExternalPort) {
    EXPECT_EQ(simulator.FivePinBaud(), u"38400");
    EXPECT_EQ(Ask("COM,115200"), Checksummed("GNSS,COM,115200,OK"));
    EXPECT_EQ(simulator.FivePinBaud(), u"115200");
    EXPECT_EQ(BurstValue("EXTERNAL.BAUD"), "115200");
    EXPECT_EQ(Ask("COM,1200"), Checksummed("GNSS,COM,1200,OK"));

    for (const char* command : {"COM,1234", "COM,abc", "COM,", "COM"}) {
        SCOPED_TRACE(command);
        const std::string answer = Ask(command);
        ExpectRefused(answer);
        // The tool stores the field after "@GNSS,COM," as the port's baud rate.
        EXPECT_EQ(answer.find("@GNSS,COM,"), std::string::npos);
    }
    EXPECT_EQ(simulator.FivePinBaud(), u"1200");
}

TEST_F(SimProtocol, MountPointListIsFramedAndFollowedByTheSourceTable) {
    Ask("SET,NETWORK.ADDR,198.51.100.4");
    Ask("SET,NETWORK.PORT,8001");
    peer.Send("GET,NETWORK.MOUNTPOINTLIST");
    const std::vector<std::string> lines = peer.ReadUntil("ENDSOURCETABLE");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), Checksummed("GNSS,GET,NETWORK.MOUNTPOINTLIST,START"));
    EXPECT_EQ(lines.back(), "ENDSOURCETABLE");

    std::vector<std::string> names;
    std::size_t i = 1;
    const std::string namePrefix = "@GNSS,GET,NETWORK.MOUNTPOINTLI,OK,";
    for (; i < lines.size() && lines[i].rfind(namePrefix, 0) == 0; ++i) {
        EXPECT_TRUE(ChecksumValid(lines[i])) << lines[i];
        names.push_back(
            lines[i].substr(namePrefix.size(), lines[i].size() - namePrefix.size() - 3));
    }
    ASSERT_LT(i, lines.size());
    EXPECT_EQ(lines[i++], Checksummed("GNSS,GET,NETWORK.MOUNTPOINTLIST,END"));
    ASSERT_LT(i, lines.size());
    EXPECT_EQ(lines[i], "SOURCETABLE 200 OK");
    EXPECT_GE(names.size(), 24u);

    std::vector<std::string> streams;
    std::size_t cas = 0;
    std::size_t net = 0;
    std::size_t recordBytes = 0;
    std::string contentLength;
    for (; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.rfind("Content-Length: ", 0) == 0) {
            contentLength = line.substr(16);
        }
        const bool record =
            line.rfind("CAS;", 0) == 0 || line.rfind("NET;", 0) == 0 || line.rfind("STR;", 0) == 0;
        if (!record) {
            continue;
        }
        recordBytes += line.size() + 2;
        const auto fields = std::count(line.begin(), line.end(), ';') + 1;
        if (line.rfind("CAS;", 0) == 0) {
            ++cas;
            EXPECT_EQ(fields, 12) << line;
            EXPECT_EQ(line.rfind("CAS;198.51.100.4;8001;", 0), 0u) << line;
        } else if (line.rfind("NET;", 0) == 0) {
            ++net;
            EXPECT_EQ(fields, 9) << line;
        } else {
            EXPECT_EQ(fields, 19) << line;
            streams.push_back(line.substr(4, line.find(';', 4) - 4));
        }
    }
    EXPECT_EQ(cas, 1u);
    EXPECT_GE(net, 1u);
    EXPECT_EQ(streams, names);
    EXPECT_EQ(contentLength, std::to_string(recordBytes));
    EXPECT_EQ(simulator.MountPoints().size(), names.size());
    EXPECT_TRUE(std::none_of(names.begin(), names.end(), [](auto& n) { return n.empty(); }));
}

} // namespace
} // namespace quorlex::test
