#include "settings/ApplyCommands.h"

#include "CommandList.h"
#include "model/WorkingMode.h"

#include <gtest/gtest.h>

using namespace quorlex;
using quorlex::testing::Commands;
using quorlex::testing::ExpectCommands;

namespace {

std::array<double, kRadioChannelCount> Ramp(double first) {
    std::array<double, kRadioChannelCount> table{};
    for (size_t i = 0; i < table.size(); ++i) {
        table[i] = first + static_cast<double>(i) * 0.5;
    }
    return table;
}

} // namespace

TEST(FrequencyTable, SixteenEntriesWithThreeDecimals) {
    std::array<double, kRadioChannelCount> table{};
    EXPECT_EQ(FormatFrequencyTable(table), u"0.000|0.000|0.000|0.000|0.000|0.000|0.000|0.000|"
                                           u"0.000|0.000|0.000|0.000|0.000|0.000|0.000|0.000");
    table[0] = 410.05;
    table[1] = 412.3456;
    table[15] = 470.0;
    EXPECT_EQ(FormatFrequencyTable(table), u"410.050|412.346|0.000|0.000|0.000|0.000|0.000|0.000|"
                                           u"0.000|0.000|0.000|0.000|0.000|0.000|0.000|470.000");
}

TEST(ApplyCommands, NetworkRelaySendsProfileZeroAndTheRelayRadio) {
    ReceiverConfig work;
    NetworkBlock& relayNet = work.datalink.network[0];
    relayNet.apn = {u"cmnet", u"apnuser", u"apnpass"};
    relayNet.server.address = u"192.0.2.10";
    relayNet.server.port = 2101;
    relayNet.server.mountPoint = u"RTCM32";
    relayNet.server.user = u"surveyor";
    relayNet.server.password = u"secret";
    work.datalink.network[1].apn.name = u"wrong-profile";
    work.datalink.radio[0].protocol = 9; // the relay radio block is used instead
    RadioBlock relay;
    relay.protocol = 1;
    relay.channel = 3;
    relay.txFrequency = Ramp(450.0);
    ExpectCommands(BuildApplyCommands(kWorkingModeNetworkRelay, work, relay),
                   {
                       {u"SET,NETWORK.APN,cmnet", u"设置APN名称"},
                       {u"SET,NETWORK.APNUSER,apnuser", u"设置APN用户名"},
                       {u"SET,NETWORK.APNPASS,apnpass", u"设置APN密码"},
                       {u"SET,NETWORK.ADDR,192.0.2.10", u"设置CORS地址"},
                       {u"SET,NETWORK.PORT,2101", u"设置CORS端口"},
                       {u"SET,NETWORK.MOUNTPOINT,RTCM32", u"设置CORS接入点"},
                       {u"SET,NETWORK.MOUNTPOINTUSERPASS,surveyor|secret", u"设置CORS用户名和密码"},
                       {u"SET,RADIO.MODE,1", u"设置网络中继电台发送协议"},
                       {u"SET,RADIO.CHANNEL,3", u"设置网络中继电台发送通道"},
                       {u"SET,RADIO.FREQUENCY,450.000|450.500|451.000|451.500|452.000|452.500|"
                        u"453.000|453.500|454.000|454.500|455.000|455.500|456.000|456.500|"
                        u"457.000|457.500",
                        u"设置网络中继电台发送频率"},
                       {u"SET,DEVICE.SYS_MODE,NETRELAY", u"设置工作模式为网络中继"},
                   });
}

TEST(ApplyCommands, EmptyUserAndPasswordLeaveOnlyTheBar) {
    ReceiverConfig work;
    const auto items = BuildApplyCommands(kWorkingModeNetworkRelay, work, RadioBlock{});
    ASSERT_EQ(items.size(), 11u);
    EXPECT_EQ(items[6].command, u"SET,NETWORK.MOUNTPOINTUSERPASS,|");
    EXPECT_EQ(items[6].reply, u"@GNSS,SET,NETWORK.MOUNTPOINTUSERPASS,|,OK");
}

TEST(ApplyCommands, RadioRelaySendsReceiveThenTransmitSettingsOfProfileOne) {
    ReceiverConfig work;
    RadioBlock& radio = work.datalink.radio[1];
    radio.protocol = 4;
    radio.rxChannel = 12;
    radio.channel = 5;
    radio.rxFrequency = Ramp(430.0);
    radio.txFrequency = Ramp(440.125);
    work.datalink.radio[0].protocol = 9;
    ExpectCommands(BuildApplyCommands(kWorkingModeRadioRelay, work, RadioBlock{}),
                   {
                       {u"SET,RADIO.MODE,4", u"设置电台中继接收协议"},
                       {u"SET,RADIO.CHANNEL_RX,12", u"设置电台中继接收通道"},
                       {u"SET,RADIO.FREQUENCY_RX,430.000|430.500|431.000|431.500|432.000|"
                        u"432.500|433.000|433.500|434.000|434.500|435.000|435.500|436.000|"
                        u"436.500|437.000|437.500",
                        u"设置电台中继接收频率"},
                       {u"SET,RADIO.CHANNEL,5", u"设置电台中继发送通道"},
                       {u"SET,RADIO.FREQUENCY,440.125|440.625|441.125|441.625|442.125|"
                        u"442.625|443.125|443.625|444.125|444.625|445.125|445.625|446.125|"
                        u"446.625|447.125|447.625",
                        u"设置电台中继发送频率"},
                       {u"SET,DEVICE.SYS_MODE,UHFRELAY", u"设置工作模式为电台中继"},
                   });
}

TEST(ApplyCommands, BaseNetworkSendsProfileOneWithoutCredentialsOrRadio) {
    ReceiverConfig work;
    NetworkBlock& base = work.datalink.network[1];
    base.apn = {u"3gnet", u"", u"pw"};
    base.server.address = u"198.51.100.7";
    base.server.port = 8002;
    base.server.mountPoint = u"BASE01";
    base.server.user = u"never-sent";
    ExpectCommands(BuildApplyCommands(kWorkingModeBaseNetwork, work, RadioBlock{}),
                   {
                       {u"SET,NETWORK.APN,3gnet", u"设置APN名称"},
                       {u"SET,NETWORK.APNUSER,", u"设置APN用户名"},
                       {u"SET,NETWORK.APNPASS,pw", u"设置APN密码"},
                       {u"SET,NETWORK.ADDR,198.51.100.7", u"设置CORS地址"},
                       {u"SET,NETWORK.PORT,8002", u"设置CORS端口"},
                       {u"SET,NETWORK.MOUNTPOINT,BASE01", u"设置挂载点"},
                       {u"SET,DEVICE.SYS_MODE,NETBASE", u"设置工作模式为基站网络"},
                   });
}

TEST(ApplyCommands, TextValuesAreSentAsTyped) {
    ReceiverConfig work;
    NetworkBlock& base = work.datalink.network[1];
    base.apn.name = u"a,b|c%d%s";
    base.server.mountPoint = u"挂载|点";
    base.server.port = -5;
    const auto items = BuildApplyCommands(kWorkingModeBaseNetwork, work, RadioBlock{});
    ASSERT_EQ(items.size(), 7u);
    EXPECT_EQ(items[0].command, u"SET,NETWORK.APN,a,b|c%d%s");
    EXPECT_EQ(items[0].reply, u"@GNSS,SET,NETWORK.APN,a,b|c%d%s,OK");
    EXPECT_EQ(items[4].command, u"SET,NETWORK.PORT,-5");
    EXPECT_EQ(items[5].command, u"SET,NETWORK.MOUNTPOINT,挂载|点");
}

TEST(ApplyCommands, ModeCommandForEveryModeAndNothingOutsideTheRange) {
    const std::pair<int32_t, Commands> cases[] = {
        {kWorkingModeRadio, {{u"SET,DEVICE.SYS_MODE,UHF", u"设置工作模式为电台"}}},
        {kWorkingModeNetworkRelay, {{u"SET,DEVICE.SYS_MODE,NETRELAY", u"设置工作模式为网络中继"}}},
        {kWorkingModeRadioRelay, {{u"SET,DEVICE.SYS_MODE,UHFRELAY", u"设置工作模式为电台中继"}}},
        {kWorkingModeBaseNetwork, {{u"SET,DEVICE.SYS_MODE,NETBASE", u"设置工作模式为基站网络"}}},
        {kWorkingModeNone, {}},
        {4, {}},
        {-100, {}},
    };
    ReceiverConfig work;
    for (const auto& [mode, expected] : cases) {
        SCOPED_TRACE(mode);
        ExpectCommands(BuildModeCommand(mode), expected);
        if (expected.empty()) {
            EXPECT_TRUE(BuildApplyCommands(mode, work, RadioBlock{}).empty());
        } else {
            const auto items = BuildApplyCommands(mode, work, RadioBlock{});
            ASSERT_FALSE(items.empty());
            EXPECT_EQ(items.back().command, expected[0].first);
        }
    }
}
