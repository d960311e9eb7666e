#include "model/StatusCodes.h"
#include "model/ReceiverSettings.h"
#include "model/ReplyCodes.h"
#include "tests/model/ReplyLines.h"

#include <gtest/gtest.h>

#include <limits>

namespace quorlex {
namespace {

TEST(StatusCodeText, EveryRangeFromFirstToLastCode) {
    const std::pair<int32_t, std::u16string_view> codes[] = {
        {1, u"错误命令"},
        {8, u"当前模式不支持的命令"},
        {101, u"磁盘无法初始化"},
        {104, u"网络模块无法初始化"},
        {120, u"无法启动记录"},
        {122, u"当前无记录数据，无法停止"},
        {123, u"待处理命令太多"},
        {201, u"磁盘错误"},
        {215, u"超时"},
        {218, u"打开文件太多"},
        {300, u"电台正常"},
        {310, u"任务错误"},
        {400, u"网络正常"},
        {403, u"无SIM卡或SIM错误"},
        {420, u"Ntrip用户名或密码错误"},
        {423, u"模块忙"},
        {430, u"模块在初始化"},
        {436, u"设置（Ntrip）协议失败"},
        {438, u"已断开连接"},
        {440, u"模块关闭"},
        {501, u"静态未记录"},
        {508, u"主板需要升级到10Hz/20Hz"},
        {510, u"静态文件名错误"},
        {601, u"等待启动基站"},
        {605, u"移动站已固定"},
        {610, u"等待启动PDOP未达到设定值"},
        {10001, u"OS超时"},
        {10005, u"OS内存已满"},
        {10010, u"操作超时"},
    };
    for (const auto& [code, text] : codes) {
        EXPECT_EQ(StatusCodeText(code), text) << code;
    }
}

TEST(StatusCodeText, SomeCodesShareATextWithinTheirOwnRange) {
    const std::pair<int32_t, int32_t> pairs[] = {
        {304, 406}, {306, 407}, {307, 408}, {401, 432}, {409, 433}};
    for (const auto& [a, b] : pairs) {
        EXPECT_FALSE(StatusCodeText(a).empty()) << a;
        EXPECT_EQ(StatusCodeText(a), StatusCodeText(b)) << a << " and " << b;
    }
    EXPECT_EQ(StatusCodeText(409), u"正在连接服务器");
    EXPECT_NE(StatusCodeText(434), StatusCodeText(410));
}

TEST(StatusCodeText, GapsAndForeignCodesAreEmpty) {
    for (const int32_t code : {0,
                               9,
                               100,
                               105,
                               119,
                               124,
                               200,
                               219,
                               299,
                               311,
                               399,
                               424,
                               429,
                               439,
                               441,
                               500,
                               511,
                               600,
                               606,
                               609,
                               611,
                               10000,
                               10006,
                               10009,
                               10011,
                               -1,
                               -400,
                               std::numeric_limits<int32_t>::max(),
                               std::numeric_limits<int32_t>::min()}) {
        EXPECT_TRUE(StatusCodeText(code).empty()) << code;
    }
}

TEST(StatusCodeText, DefinesExactlyTheReceiversCodes) {
    int defined = 0;
    for (int32_t code = -1000; code <= 20000; ++code) {
        defined += StatusCodeText(code).empty() ? 0 : 1;
    }
    EXPECT_EQ(defined, 101);
}

TEST(NetworkCodes, StatusReplacesTheStoredText) {
    ReceiverSettings settings;
    const auto& network = settings.config.datalink.network[0];
    EXPECT_EQ(settings.DispatchReplyLine(test::Reply(u"NETWORK.STATUS", u"409")),
              kReplyNetworkStatus);
    EXPECT_EQ(network.statusText, u"正在连接服务器");
    EXPECT_EQ(settings.DispatchReplyLine(test::Reply(u"NETWORK.STATUS", u" 0435")),
              kReplyNetworkStatus);
    EXPECT_EQ(network.statusText, u"连上服务器");
    EXPECT_EQ(settings.DispatchReplyLine(test::Reply(u"NETWORK.STATUS", u"439")),
              kReplyNetworkStatus);
    EXPECT_TRUE(network.statusText.empty());
    EXPECT_TRUE(network.errorText.empty()) << "status and error texts are separate";
}

TEST(NetworkCodes, DecodersReadTheCodeUpToTheChecksum) {
    ReceiverSettings settings;
    const auto& network = settings.config.datalink.network[0];
    EXPECT_TRUE(DecodeNetworkStatus(settings, u"@GNSS,GET,NETWORK.STATUS,OK,0418*7A"));
    EXPECT_EQ(network.statusText, u"连接上服务器");
    EXPECT_TRUE(DecodeNetworkError(settings, u"@GNSS,GET,NETWORK.ERRORCODE,OK,403*1C"));
    EXPECT_EQ(network.errorText, u"无SIM卡或SIM错误");
    EXPECT_EQ(network.statusText, u"连接上服务器");
}

TEST(NetworkCodes, LineWithoutCodeKeepsTheText) {
    ReceiverSettings settings;
    auto& network = settings.config.datalink.network[0];
    network.statusText = u"网络正常";
    network.errorText = u"模块忙";
    EXPECT_FALSE(DecodeNetworkStatus(settings, u"@GNSS,GET,NETWORK.STATUS,OK"));
    EXPECT_FALSE(DecodeNetworkError(settings, u"@GNSS,GET,NETWORK.ERRORCODE,OK"));
    EXPECT_EQ(network.statusText, u"网络正常");
    EXPECT_EQ(network.errorText, u"模块忙");
}

} // namespace
} // namespace quorlex
