// Reply dispatch throughput: how many received lines per second the record absorbs.
#include "model/ReceiverSettings.h"
#include "model/ReplyKeyTable.h"
#include "tests/model/SampleBurst.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using quorlex::ReceiverSettings;

// Many consecutive reads of the whole configuration, each line ended by a carriage return as
// the intake passes it on, with a few lines of noise in between.
std::vector<std::u16string> LargeBurst(int reads) {
    std::vector<std::u16string> lines;
    const auto burst = quorlex::test::SampleBurstLines();
    for (int read = 0; read < reads; ++read) {
        lines.emplace_back(u"@GNSS,GET,ALL,OK\r");
        for (const auto& line : burst) {
            lines.push_back(line + u'\r');
        }
        lines.emplace_back(u"$GPGGA,,,,,,0,00,,,M,,M,,*66\r");
    }
    return lines;
}

void BM_DispatchBurst(benchmark::State& state) {
    const auto lines = LargeBurst(static_cast<int>(state.range(0)));
    ReceiverSettings settings;
    for (auto _ : state) {
        for (const auto& line : lines) {
            benchmark::DoNotOptimize(settings.DispatchReplyLine(line));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.size()));
    state.SetLabel("lines");
}
BENCHMARK(BM_DispatchBurst)->Arg(1)->Arg(100);

void BM_FindReplyKey(benchmark::State& state) {
    const auto keys = quorlex::ReplyKeys();
    for (auto _ : state) {
        for (const auto& entry : keys) {
            benchmark::DoNotOptimize(quorlex::FindReplyKey(entry.key));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}
BENCHMARK(BM_FindReplyKey);

} // namespace

BENCHMARK_MAIN();
