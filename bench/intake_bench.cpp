// Reply intake throughput with the after-chunk pause disabled: a configuration
// burst cut into 4096-byte chunks as the link delivers it.
#include "channel/CommandChannel.h"
#include "channel/ReplyIntake.h"
#include "common/Text.h"
#include "model/ReceiverSettings.h"
#include "model/ReplyChecksum.h"

#include <benchmark/benchmark.h>

namespace {

using namespace quorlex;

class IdleLink : public CommandLink {
public:
    bool IsConnected() const override { return true; }
    int Send(const char*, size_t) override { return 1; }
};

std::string Burst(int repeats, int& lines) {
    static const std::u16string_view kLines[] = {
        u"@GNSS,GET,DEVICE.INFO.SERIAL,OK,SN20231107",
        u"@GNSS,GET,NETWORK.ADDR,OK,192.0.2.10",
        u"@GNSS,GET,NETWORK.PORT,OK,2101",
        u"@GNSS,GET,NETWORK.MOUNTPOINT,OK,RTCM32_GGB",
        u"@GNSS,GET,RADIO.FREQUENCY,OK,410.050|411.050|412.050|413.050|414.050|415.050|"
        u"416.050|417.050|418.050|419.050|420.050|421.050|422.050|423.050|424.050|425.050",
        u"@GNSS,GET,GPS.BASE.POSITION,OK,AUTO,31.123456|121.654321|12.345",
        u"@GNSS,GET,DEVICE.SYS_MODE,OK,NETBASE",
        u"@GNSS,GET,BLUETOOTH.MODEL,OK,BT-SPP",
    };
    std::string text;
    lines = 0;
    for (int r = 0; r < repeats; ++r) {
        for (std::u16string_view body : kLines) {
            text += ToUtf8(WithReplyChecksum(body)) + "\r\n";
            ++lines;
        }
    }
    return text;
}

void BM_ParseReplies(benchmark::State& state) {
    int lines = 0;
    const std::string burst = Burst(500, lines);
    IdleLink link;
    for (auto _ : state) {
        ReceiverSettings settings;
        CommandChannel channel(link);
        ReplyIntake intake(settings, channel, nullptr);
        for (size_t at = 0; at < burst.size(); at += 4096) {
            const size_t n = std::min<size_t>(4096, burst.size() - at);
            benchmark::DoNotOptimize(intake.OnReceive(burst.data() + at, n));
        }
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(burst.size()));
}
BENCHMARK(BM_ParseReplies)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
