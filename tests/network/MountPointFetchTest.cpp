#include "network/MountPointFetch.h"

#include "model/WorkingMode.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace quorlex {
namespace {

// command, reply, resend interval, budget, description
using Row = std::tuple<std::u16string, std::u16string, int32_t, int32_t, std::u16string>;

std::vector<Row> Rows(const std::vector<CommandItem>& items) {
    std::vector<Row> rows;
    rows.reserve(items.size());
    for (const CommandItem& item : items) {
        rows.emplace_back(item.command, item.reply, item.resendEvery, item.budget,
                          item.description);
    }
    return rows;
}

// The mode change is fourth unless the receiver already relays from the network.
TEST(MountPointFetchTest, BatchShapeFollowsTheReceiversWorkingMode) {
    const NetworkServerBlock server{u"caster.example", 2101, u"alice", u"s3cret", u"RTCM3"};
    std::vector<Row> expected = {
        {u"SET,NETWORK.ADDR,caster.example", u"@GNSS,SET,NETWORK.ADDR,caster.example,OK", 3, 9,
         u"设置CORS地址[caster.example]"},
        {u"SET,NETWORK.PORT,2101", u"@GNSS,SET,NETWORK.PORT,2101,OK", 3, 9, u"设置CORS端口[2101]"},
        {u"SET,NETWORK.MOUNTPOINTUSERPASS,alice|s3cret",
         u"@GNSS,SET,NETWORK.MOUNTPOINTUSERPASS,alice|s3cret,OK", 3, 9, u"设置CORS用户密码[alice]"},
        {u"GET,NETWORK.MOUNTPOINTLIST", u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,START", 60, 120,
         u"开始获取接入点"},
        {u"GET,ALL", u"@GNSS,GET,ALL,OK", 3, 9, u"重新获取参数"},
    };
    EXPECT_EQ(Rows(BuildMountPointFetch(server, kWorkingModeNetworkRelay)), expected);
    expected.insert(expected.begin() + 3,
                    {u"SET,DEVICE.SYS_MODE,NETRELAY", u"@GNSS,SET,DEVICE.SYS_MODE,NETRELAY,OK", 3,
                     9, u"设置当前数据链为网络中继"});
    for (const int32_t mode :
         {kWorkingModeNone, kWorkingModeRadio, kWorkingModeRadioRelay, kWorkingModeBaseNetwork}) {
        EXPECT_EQ(Rows(BuildMountPointFetch(server, mode)), expected) << mode;
    }
}

// A line break typed into a value must not reach the receiver as a second command.
TEST(MountPointFetchTest, LineBreaksInValuesAreDropped) {
    const NetworkServerBlock server{u"host\r\nSET,DEVICE.SYS_MODE,UHF", -7, u"a\nb", u"p\rq", u""};
    const std::vector<CommandItem> items = BuildMountPointFetch(server, kWorkingModeNetworkRelay);
    ASSERT_EQ(items.size(), 5U);
    EXPECT_EQ(items[0].command, u"SET,NETWORK.ADDR,hostSET,DEVICE.SYS_MODE,UHF");
    EXPECT_EQ(items[1].command, u"SET,NETWORK.PORT,-7");
    EXPECT_EQ(items[2].command, u"SET,NETWORK.MOUNTPOINTUSERPASS,ab|pq");
    EXPECT_EQ(items[2].description, u"设置CORS用户密码[ab]");
}

} // namespace
} // namespace quorlex
