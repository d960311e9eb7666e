#include "settings/ApplyCommands.h"

#include "common/Format.h"
#include "common/Numbers.h"
#include "model/WorkingMode.h"

#include <string_view>

namespace quorlex {

namespace {

using Items = std::vector<CommandItem>;

void Add(Items& items, std::u16string_view pattern, FormatArg value,
         std::u16string_view description) {
    items.push_back(MakeCommandItem(FormatText(pattern, {value}), std::u16string(description)));
}

std::u16string_view Text(const std::u16string& value) {
    return value;
}

// Descriptions of the three radio commands differ between the modes that send them.
struct RadioTexts {
    std::u16string_view protocol;
    std::u16string_view channel;
    std::u16string_view frequency;
};

void AddTransmitRadio(Items& items, const RadioBlock& radio, const RadioTexts& texts) {
    Add(items, u"SET,RADIO.MODE,%d", int64_t{radio.protocol}, texts.protocol);
    Add(items, u"SET,RADIO.CHANNEL,%d", int64_t{radio.channel}, texts.channel);
    const std::u16string table = FormatFrequencyTable(radio.txFrequency);
    Add(items, u"SET,RADIO.FREQUENCY,%s", Text(table), texts.frequency);
}

void AddApn(Items& items, const ApnBlock& apn) {
    Add(items, u"SET,NETWORK.APN,%s", Text(apn.name), u"设置APN名称");
    Add(items, u"SET,NETWORK.APNUSER,%s", Text(apn.user), u"设置APN用户名");
    Add(items, u"SET,NETWORK.APNPASS,%s", Text(apn.password), u"设置APN密码");
}

void AddServer(Items& items, const NetworkServerBlock& server,
               std::u16string_view mountPointDescription) {
    Add(items, u"SET,NETWORK.ADDR,%s", Text(server.address), u"设置CORS地址");
    Add(items, u"SET,NETWORK.PORT,%d", int64_t{server.port}, u"设置CORS端口");
    Add(items, u"SET,NETWORK.MOUNTPOINT,%s", Text(server.mountPoint), mountPointDescription);
}

void AddRadioMode(Items& items, const ReceiverConfig& workCopy) {
    AddTransmitRadio(items, workCopy.datalink.radio[0],
                     {u"设置电台发送协议", u"设置电台发送通道", u"设置电台发送频率"});
}

void AddNetworkRelayMode(Items& items, const ReceiverConfig& workCopy,
                         const RadioBlock& relayRadio) {
    const NetworkBlock& network = workCopy.datalink.network[0];
    AddApn(items, network.apn);
    AddServer(items, network.server, u"设置CORS接入点");
    items.push_back(
        MakeCommandItem(FormatText(u"SET,NETWORK.MOUNTPOINTUSERPASS,%s|%s",
                                   {Text(network.server.user), Text(network.server.password)}),
                        u"设置CORS用户名和密码"));
    AddTransmitRadio(
        items, relayRadio,
        {u"设置网络中继电台发送协议", u"设置网络中继电台发送通道", u"设置网络中继电台发送频率"});
}

void AddRadioRelayMode(Items& items, const ReceiverConfig& workCopy) {
    const RadioBlock& radio = workCopy.datalink.radio[1];
    Add(items, u"SET,RADIO.MODE,%d", int64_t{radio.protocol}, u"设置电台中继接收协议");
    Add(items, u"SET,RADIO.CHANNEL_RX,%d", int64_t{radio.rxChannel}, u"设置电台中继接收通道");
    const std::u16string rxTable = FormatFrequencyTable(radio.rxFrequency);
    Add(items, u"SET,RADIO.FREQUENCY_RX,%s", Text(rxTable), u"设置电台中继接收频率");
    Add(items, u"SET,RADIO.CHANNEL,%d", int64_t{radio.channel}, u"设置电台中继发送通道");
    const std::u16string txTable = FormatFrequencyTable(radio.txFrequency);
    Add(items, u"SET,RADIO.FREQUENCY,%s", Text(txTable), u"设置电台中继发送频率");
}

void AddBaseNetworkMode(Items& items, const ReceiverConfig& workCopy) {
    const NetworkBlock& network = workCopy.datalink.network[1];
    AddApn(items, network.apn);
    AddServer(items, network.server, u"设置挂载点");
}

bool IsWorkingMode(int32_t mode) {
    return mode >= kWorkingModeRadio && mode <= kWorkingModeBaseNetwork;
}

} // namespace

std::u16string FormatFrequencyTable(const std::array<double, kRadioChannelCount>& table) {
    std::u16string text;
    for (size_t i = 0; i < table.size(); ++i) {
        if (i > 0) {
            text += u'|';
        }
        text += FormatFixed(table[i], 3);
    }
    return text;
}

std::vector<CommandItem> BuildModeCommand(int32_t workingMode) {
    struct ModeCommand {
        std::u16string_view command;
        std::u16string_view description;
    };
    static constexpr ModeCommand kModes[] = {
        {u"SET,DEVICE.SYS_MODE,UHF", u"设置工作模式为电台"},
        {u"SET,DEVICE.SYS_MODE,NETRELAY", u"设置工作模式为网络中继"},
        {u"SET,DEVICE.SYS_MODE,UHFRELAY", u"设置工作模式为电台中继"},
        {u"SET,DEVICE.SYS_MODE,NETBASE", u"设置工作模式为基站网络"},
    };
    Items items;
    if (IsWorkingMode(workingMode)) {
        const ModeCommand& mode = kModes[workingMode];
        items.push_back(
            MakeCommandItem(std::u16string(mode.command), std::u16string(mode.description)));
    }
    return items;
}

std::vector<CommandItem> BuildApplyCommands(int32_t workingMode, const ReceiverConfig& workCopy,
                                            const RadioBlock& relayRadio) {
    Items items;
    switch (workingMode) {
    case kWorkingModeRadio:
        AddRadioMode(items, workCopy);
        break;
    case kWorkingModeNetworkRelay:
        AddNetworkRelayMode(items, workCopy, relayRadio);
        break;
    case kWorkingModeRadioRelay:
        AddRadioRelayMode(items, workCopy);
        break;
    case kWorkingModeBaseNetwork:
        AddBaseNetworkMode(items, workCopy);
        break;
    default:
        return items;
    }
    for (CommandItem& item : BuildModeCommand(workingMode)) {
        items.push_back(std::move(item));
    }
    return items;
}

} // namespace quorlex
