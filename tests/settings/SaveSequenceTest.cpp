#include "settings/SaveSequence.h"

#include "CommandList.h"
#include "channel/CommandChannel.h"
#include "model/WorkingMode.h"
#include "settings/ApplyCommands.h"
#include "tests/support/FakeCommandLink.h"

#include <gtest/gtest.h>

using namespace quorlex;
using quorlex::testing::Commands;
using quorlex::testing::ExpectCommands;

namespace {

// The progress total the command channel announces for these items.
int32_t ChannelTotal(const std::vector<CommandItem>& items) {
    quorlex::testing::FakeLink link;
    CommandChannel channel(link);
    channel.ClearCommands();
    for (const CommandItem& item : items) {
        channel.AddCommand(item);
    }
    channel.StartBatch(u"开始设置");
    return channel.Progress().total;
}

ReceiverConfig BaseNetworkCopy() {
    ReceiverConfig work;
    NetworkBlock& base = work.datalink.network[1];
    base.apn = {u"cmnet", u"card", u"pin"};
    base.server.address = u"203.0.113.5";
    base.server.port = 2101;
    base.server.mountPoint = u"RTCM32";
    return work;
}

const Commands kBaseNetworkApply = {
    {u"SET,NETWORK.APN,cmnet", u"设置APN名称"},
    {u"SET,NETWORK.APNUSER,card", u"设置APN用户名"},
    {u"SET,NETWORK.APNPASS,pin", u"设置APN密码"},
    {u"SET,NETWORK.ADDR,203.0.113.5", u"设置CORS地址"},
    {u"SET,NETWORK.PORT,2101", u"设置CORS端口"},
    {u"SET,NETWORK.MOUNTPOINT,RTCM32", u"设置挂载点"},
    {u"SET,DEVICE.SYS_MODE,NETBASE", u"设置工作模式为基站网络"},
};

Commands Join(std::initializer_list<Commands> parts) {
    Commands all;
    for (const Commands& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

} // namespace

TEST(SaveSequence, ApplyAndSaveShownSlotOfBaseNetworkIsTwelveCommands) {
    const auto items = BuildSaveCommands(SaveAction::ApplyAndSaveSlot, 2, kWorkingModeBaseNetwork,
                                         BaseNetworkCopy(), RadioBlock{});
    ExpectCommands(items, Join({
                              {{u"SET,CONFIG,2,START", u"保存配置2信息"}},
                              kBaseNetworkApply,
                              {{u"SET,CONFIG,2,END", u"保存配置2信息结束"},
                               {u"SET,DEVICE.CUR_CONFIG,2", u"设置配置2为当前使用配置"},
                               {u"SET,DEVICE.SYS_MODE,NETBASE", u"设置工作模式为基站网络"},
                               {u"GET,ALL,2", u"重新读取配置信息"}},
                          }));
    EXPECT_EQ(items.size(), 12u);
    EXPECT_EQ(ChannelTotal(items), 108);
}

TEST(SaveSequence, RadioModeApplyNowIsFiveCommands) {
    ReceiverConfig work;
    work.datalink.radio[0].protocol = 1;
    work.datalink.radio[0].channel = 2;
    work.datalink.radio[0].txFrequency = {};
    work.datalink.radio[0].txFrequency[0] = 410.05;
    // Neither the relay profile nor the network relay's radio belong to this mode.
    work.datalink.radio[1].protocol = 9;
    RadioBlock relay;
    relay.channel = 8;
    const auto items = BuildSaveCommands(SaveAction::ApplyNow, 4, kWorkingModeRadio, work, relay);
    ExpectCommands(items, {
                              {u"SET,RADIO.MODE,1", u"设置电台发送协议"},
                              {u"SET,RADIO.CHANNEL,2", u"设置电台发送通道"},
                              {u"SET,RADIO.FREQUENCY,410.050|0.000|0.000|0.000|0.000|0.000|"
                               u"0.000|0.000|0.000|0.000|0.000|0.000|0.000|0.000|0.000|0.000",
                               u"设置电台发送频率"},
                              {u"SET,DEVICE.SYS_MODE,UHF", u"设置工作模式为电台"},
                              {u"GET,ALL", u"重新读取配置信息"},
                          });
    EXPECT_EQ(ChannelTotal(items), 45);
}

TEST(SaveSequence, EveryPromptRowInItsOrder) {
    const ReceiverConfig work = BaseNetworkCopy();
    const auto build = [&](SaveAction action, int32_t slot) {
        return BuildSaveCommands(action, slot, kWorkingModeBaseNetwork, work, RadioBlock{});
    };
    const Commands mode = {{u"SET,DEVICE.SYS_MODE,NETBASE", u"设置工作模式为基站网络"}};

    ExpectCommands(build(SaveAction::ApplyWithoutSaving, 3),
                   Join({kBaseNetworkApply, {{u"GET,ALL,3", u"重新读取配置信息"}}}));

    // Storing without applying still sends the mode inside the bracket and reads the slot.
    ExpectCommands(
        build(SaveAction::SaveWithoutApplying, 1),
        Join({{{u"SET,CONFIG,1,START", u"保存配置1信息"}},
              kBaseNetworkApply,
              {{u"SET,CONFIG,1,END", u"保存配置1信息结束"}, {u"GET,ALL,1", u"重新读取配置信息"}}}));

    ExpectCommands(build(SaveAction::ApplyNow, 0),
                   Join({kBaseNetworkApply, {{u"GET,ALL", u"重新读取配置信息"}}}));

    ExpectCommands(build(SaveAction::ApplyAndSaveAs, 5),
                   Join({{{u"SET,CONFIG,5,START", u"保存配置5信息"}},
                         kBaseNetworkApply,
                         {{u"SET,CONFIG,5,END", u"保存配置5信息结束"},
                          {u"SET,DEVICE.CUR_CONFIG,5", u"设置配置5为当前使用配置"}},
                         mode,
                         {{u"GET,ALL,5", u"重新读取配置信息"}}}));
}

TEST(SaveSequence, ApplyAndSaveRowsAreTheSameForBothPrompts) {
    ReceiverConfig work;
    RadioBlock relay;
    relay.channel = 4;
    for (int32_t mode = kWorkingModeRadio; mode <= kWorkingModeBaseNetwork; ++mode) {
        for (int32_t slot = kFirstSlot; slot <= kLastSlot; ++slot) {
            SCOPED_TRACE(mode * 10 + slot);
            const auto shown =
                BuildSaveCommands(SaveAction::ApplyAndSaveSlot, slot, mode, work, relay);
            const auto chosen =
                BuildSaveCommands(SaveAction::ApplyAndSaveAs, slot, mode, work, relay);
            ASSERT_EQ(shown.size(), chosen.size());
            const auto apply = BuildApplyCommands(mode, work, relay);
            EXPECT_EQ(shown.size(), apply.size() + 5);
            for (size_t i = 0; i < shown.size(); ++i) {
                EXPECT_EQ(shown[i].command, chosen[i].command);
            }
            // The mode command is sent twice: inside the bracket and after CUR_CONFIG.
            EXPECT_EQ(shown[apply.size()].command, BuildModeCommand(mode)[0].command);
            EXPECT_EQ(shown[apply.size() + 3].command, BuildModeCommand(mode)[0].command);
        }
    }
}

TEST(SaveSequence, SlotRowsNeedASlotFromOneToFive) {
    const ReceiverConfig work = BaseNetworkCopy();
    for (SaveAction action : {SaveAction::ApplyAndSaveSlot, SaveAction::ApplyWithoutSaving,
                              SaveAction::SaveWithoutApplying, SaveAction::ApplyAndSaveAs}) {
        for (int32_t slot : {0, 6, -1}) {
            EXPECT_TRUE(BuildSaveCommands(action, slot, kWorkingModeBaseNetwork, work, RadioBlock{})
                            .empty());
        }
    }
}

TEST(SaveSequence, WithoutAWorkingModeOnlyTheSlotCommandsRemain) {
    ExpectCommands(BuildSaveCommands(SaveAction::ApplyAndSaveSlot, 1, kWorkingModeNone,
                                     ReceiverConfig{}, RadioBlock{}),
                   {
                       {u"SET,CONFIG,1,START", u"保存配置1信息"},
                       {u"SET,CONFIG,1,END", u"保存配置1信息结束"},
                       {u"SET,DEVICE.CUR_CONFIG,1", u"设置配置1为当前使用配置"},
                       {u"GET,ALL,1", u"重新读取配置信息"},
                   });
}
