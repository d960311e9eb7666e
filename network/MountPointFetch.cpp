#include "network/MountPointFetch.h"

#include "model/WorkingMode.h"

#include <string>
#include <string_view>

namespace quorlex {
namespace {

// A line break inside a typed value would end the command early and send the
// rest to the receiver as a command of its own.
std::u16string OneLine(std::u16string_view value) {
    std::u16string line;
    line.reserve(value.size());
    for (const char16_t c : value) {
        if (c != u'\r' && c != u'\n') {
            line.push_back(c);
        }
    }
    return line;
}

} // namespace

std::vector<CommandItem> BuildMountPointFetch(const NetworkServerBlock& server,
                                              int32_t receiverWorkingMode) {
    const std::u16string address = OneLine(server.address);
    const std::u16string user = OneLine(server.user);
    const std::u16string password = OneLine(server.password);
    const int64_t port = server.port;

    std::vector<CommandItem> items;
    items.push_back(MakeCommandItem(FormatText(u"SET,NETWORK.ADDR,%s", {address}),
                                    FormatText(u"设置CORS地址[%s]", {address})));
    items.push_back(MakeCommandItem(FormatText(u"SET,NETWORK.PORT,%d", {port}),
                                    FormatText(u"设置CORS端口[%d]", {port})));
    items.push_back(
        MakeCommandItem(FormatText(u"SET,NETWORK.MOUNTPOINTUSERPASS,%s|%s", {user, password}),
                        FormatText(u"设置CORS用户密码[%s]", {user})));
    if (receiverWorkingMode != kWorkingModeNetworkRelay) {
        items.push_back(
            MakeCommandItem(u"SET,DEVICE.SYS_MODE,NETRELAY", u"设置当前数据链为网络中继"));
    }
    CommandItem list = MakeCommandItem(u"GET,NETWORK.MOUNTPOINTLIST", u"开始获取接入点");
    // The receiver acknowledges the list request with the list's opening line.
    list.reply = FormatText(u"@GNSS,%s,START", {std::u16string_view(list.command)});
    list.resendEvery = kMountListResendEvery;
    list.budget = kMountListBudget;
    items.push_back(std::move(list));
    items.push_back(MakeCommandItem(u"GET,ALL", u"重新获取参数"));
    return items;
}

} // namespace quorlex
