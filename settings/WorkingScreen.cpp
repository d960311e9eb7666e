#include "settings/WorkingScreen.h"

#include "common/Format.h"
#include "model/PresetServer.h"

namespace quorlex {
namespace {

constexpr int32_t kDefaultPort = 6060;
constexpr int32_t kDefaultGgaInterval = 30;
constexpr double kDefaultChannelSpacing = 25.0;

void ResetProfile(NetworkBlock& network) {
    network.apn = ApnBlock{u"cment", u"", u""};
    network.server =
        NetworkServerBlock{std::u16string(kPresetServerAddress), kDefaultPort, u"", u"", u""};
}

// Only these fields; the frequency tables keep the record's defaults.
void ResetRadio(RadioBlock& radio) {
    radio.channel = 1;
    radio.spareText.clear();
    radio.protocol = 0;
    radio.channelSpacing = kDefaultChannelSpacing;
    radio.rxFrequency[0] = 0.0;
    radio.rxChannel = 0;
    radio.highPower = 0;
}

} // namespace

ReceiverConfig InitialWorkCopy() {
    ReceiverConfig workCopy;
    DatalinkConfig& datalink = workCopy.datalink;
    for (NetworkBlock& network : datalink.network) {
        ResetProfile(network);
    }
    datalink.network[0].ggaUploadInterval = kDefaultGgaInterval;
    for (RadioBlock& radio : datalink.radio) {
        ResetRadio(radio);
    }
    return workCopy;
}

CommandItem ReadConfigurationCommand(int32_t slot) {
    if (slot == kCurrentConfiguration) {
        return MakeCommandItem(u"GET,ALL", u"读取当前配置信息");
    }
    return MakeCommandItem(FormatText(u"GET,ALL,%d", {int64_t{slot}}),
                           FormatText(u"读取配置%d信息", {int64_t{slot}}));
}

std::u16string ShownConfigurationLabel(int32_t slot) {
    if (slot == kCurrentConfiguration) {
        return u"当前配置及工作模式";
    }
    return FormatText(u"配置%d及工作模式", {int64_t{slot}});
}

} // namespace quorlex
