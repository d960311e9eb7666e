#include "model/StatusCodes.h"

#include "model/ValueKinds.h"

#include <algorithm>
#include <array>

namespace quorlex {
namespace {

struct CodeText {
    int32_t code;
    std::u16string_view text;
};

// Sorted by code for the binary search below.
constexpr std::array kCodeTexts{
    // Commands
    CodeText{1, u"错误命令"},
    CodeText{2, u"路径节点不存在"},
    CodeText{3, u"路径节点不支持该命令"},
    CodeText{4, u"当前模式不支持该命令"},
    CodeText{5, u"参数错误"},
    CodeText{6, u"命令执行失败"},
    CodeText{7, u"上一条命令正在处理"},
    CodeText{8, u"当前模式不支持的命令"},
    // Devices and recording
    CodeText{101, u"磁盘无法初始化"},
    CodeText{102, u"主板无法初始化"},
    CodeText{103, u"电台无法初始化"},
    CodeText{104, u"网络模块无法初始化"},
    CodeText{120, u"无法启动记录"},
    CodeText{121, u"卫星状态未达到数据记录要求"},
    CodeText{122, u"当前无记录数据，无法停止"},
    CodeText{123, u"待处理命令太多"},
    // File system
    CodeText{201, u"磁盘错误"},
    CodeText{202, u"初始化失败"},
    CodeText{203, u"未准备好"},
    CodeText{204, u"文件不存在"},
    CodeText{205, u"路径不存在"},
    CodeText{206, u"无效的名称"},
    CodeText{207, u"操作被拒绝"},
    CodeText{208, u"文件已经存在"},
    CodeText{209, u"无效的文件"},
    CodeText{210, u"写保护"},
    CodeText{211, u"无效设备"},
    CodeText{212, u"未激活"},
    CodeText{213, u"没有文件系统"},
    CodeText{214, u"格式化被中断"},
    CodeText{215, u"超时"},
    CodeText{216, u"已锁定"},
    CodeText{217, u"空间不够"},
    CodeText{218, u"打开文件太多"},
    // Radio
    CodeText{300, u"电台正常"},
    CodeText{301, u"不支持的电台型号"},
    CodeText{302, u"电台初始化失败"},
    CodeText{303, u"电台未准备好"},
    CodeText{304, u"命令正在处理"},
    CodeText{305, u"命令超时"},
    CodeText{306, u"命令操作错误"},
    CodeText{307, u"未知命令"},
    CodeText{308, u"缓冲已满"},
    CodeText{309, u"发送错误"},
    CodeText{310, u"任务错误"},
    // Network module
    CodeText{400, u"网络正常"},
    CodeText{401, u"模块初始化失败"},
    CodeText{402, u"GPRS未准备好"},
    CodeText{403, u"无SIM卡或SIM错误"},
    CodeText{404, u"GPRS网络错误"},
    CodeText{405, u"GPRS注册失败"},
    CodeText{406, u"命令正在处理"},
    CodeText{407, u"命令操作错误"},
    CodeText{408, u"未知命令"},
    CodeText{409, u"正在连接服务器"},
    CodeText{410, u"连接服务器错误"},
    CodeText{411, u"连接服务器超时"},
    CodeText{412, u"发送数据失败"},
    CodeText{413, u"GPRS网络未准备好"},
    CodeText{414, u"SMS错误"},
    CodeText{415, u"设置模式失败"},
    CodeText{416, u"设置模式错误"},
    CodeText{417, u"无接入点列表"},
    CodeText{418, u"连接上服务器"},
    CodeText{419, u"重连服务器"},
    CodeText{420, u"Ntrip用户名或密码错误"},
    CodeText{421, u"接入点错误"},
    CodeText{422, u"网络不允许漫游"},
    CodeText{423, u"模块忙"},
    CodeText{430, u"模块在初始化"},
    CodeText{431, u"网络已准备好"},
    CodeText{432, u"模块初始化失败"},
    CodeText{433, u"正在连接服务器"},
    CodeText{434, u"连接服务器失败"},
    CodeText{435, u"连上服务器"},
    CodeText{436, u"设置（Ntrip）协议失败"},
    CodeText{437, u"正在传输数据"},
    CodeText{438, u"已断开连接"},
    CodeText{440, u"模块关闭"},
    // Static and dynamic recording
    CodeText{501, u"静态未记录"},
    CodeText{502, u"记录中"},
    CodeText{503, u"等待启动记录"},
    CodeText{504, u"动态未记录"},
    CodeText{505, u"动态记录中"},
    CodeText{506, u"等待启动动态记录"},
    CodeText{507, u"静态记录错误"},
    CodeText{508, u"主板需要升级到10Hz/20Hz"},
    CodeText{509, u"PDOP未达到设置条件"},
    CodeText{510, u"静态文件名错误"},
    // Base and rover
    CodeText{601, u"等待启动基站"},
    CodeText{602, u"基站已启动"},
    CodeText{603, u"基站已停止"},
    CodeText{604, u"移动站单点"},
    CodeText{605, u"移动站已固定"},
    CodeText{610, u"等待启动PDOP未达到设定值"},
    // Operating system
    CodeText{10001, u"OS超时"},
    CodeText{10002, u"邮箱已满"},
    CodeText{10003, u"队列已满"},
    CodeText{10004, u"队列为空"},
    CodeText{10005, u"OS内存已满"},
    CodeText{10010, u"操作超时"},
};

static_assert(std::is_sorted(kCodeTexts.begin(), kCodeTexts.end(),
                             [](const CodeText& a, const CodeText& b) { return a.code < b.code; }));

// The value's code, read up to its checksum.
std::optional<std::u16string_view> NetworkCodeText(std::u16string_view line) {
    const auto value = ReplyValue(line);
    if (!value) {
        return std::nullopt;
    }
    return StatusCodeText(AsInteger(BeforeStar(*value)));
}

} // namespace

std::u16string_view StatusCodeText(int32_t code) {
    const auto* it =
        std::lower_bound(kCodeTexts.begin(), kCodeTexts.end(), code,
                         [](const CodeText& entry, int32_t wanted) { return entry.code < wanted; });
    return it != kCodeTexts.end() && it->code == code ? it->text : std::u16string_view{};
}

bool DecodeNetworkStatus(ReceiverSettings& settings, std::u16string_view line) {
    const auto text = NetworkCodeText(line);
    if (!text) {
        return false;
    }
    settings.config.datalink.network[0].statusText = *text;
    return true;
}

bool DecodeNetworkError(ReceiverSettings& settings, std::u16string_view line) {
    const auto text = NetworkCodeText(line);
    if (!text) {
        return false;
    }
    settings.config.datalink.network[0].errorText = *text;
    return true;
}

} // namespace quorlex
