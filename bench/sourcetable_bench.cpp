// Feeding a large caster's source table through the store as the link hands
// it over, and loading the same table back from the cache file.
#include "common/Numbers.h"
#include "network/SourceTableStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace quorlex;

namespace {

constexpr int kStrRecords = 3000;
constexpr size_t kChunk = 4096;

// A table shaped like the largest public casters: one CAS, a few NET, and
// thousands of full STR records.
std::u16string LargeTable() {
    std::u16string text = u"SOURCETABLE 200 OK\r\n"
                          u"CAS;caster.example.net;2101;EXA;Example Ops;0;DEU;50.12;8.69;"
                          u"0.0.0.0;0;none\r\n";
    for (int i = 0; i < 5; ++i) {
        text += u"NET;NET" + FormatInt(i) +
                u";Example Ops;B;N;http://example.net;"
                u"http://example.net/str;mail@example.net;none\r\n";
    }
    for (int i = 0; i < kStrRecords; ++i) {
        const std::u16string n = FormatInt(i);
        text += u"STR;MP" + n + u";Site " + n +
                u";RTCM 3.2;1004(1),1006(10),1008(10),1012(1),1033(10),1230(10);2;"
                u"GPS+GLO+GAL+BDS;NET" +
                FormatInt(i % 5) + u";DEU;" + FormatFixed(47.0 + i * 0.001, 2) + u";" +
                FormatFixed(6.0 + i * 0.002, 2) + u";" + FormatInt(i % 2) +
                u";0;sNTRIP Caster;none;B;N;" + FormatInt(2400 + i % 7000) +
                u";operated since 2015\r\n";
    }
    text += u"ENDSOURCETABLE\r\n";
    return text;
}

// As the link hands text over: one chunk of kChunk characters at a time.
void Feed(SourceTableStore& store, std::u16string_view text) {
    for (size_t at = 0; at < text.size(); at += kChunk) {
        store.FeedSourceTable(text.substr(at, kChunk));
    }
}

void FeedInChunks(benchmark::State& state) {
    const std::u16string table = LargeTable();
    for (auto _ : state) {
        SourceTableStore store{std::filesystem::path()};
        Feed(store, table);
        if (store.StrList().size() != kStrRecords) {
            state.SkipWithError("records lost");
            break;
        }
        benchmark::DoNotOptimize(store.StrList().data());
    }
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(kStrRecords),
                                                     benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(table.size() * sizeof(char16_t)));
}
BENCHMARK(FeedInChunks)->Unit(benchmark::kMillisecond);

void LoadFromCache(benchmark::State& state) {
    std::string folder =
        (std::filesystem::temp_directory_path() / "sourcetable-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path file = std::filesystem::path(folder) / "sourcetable.dat";
    {
        SourceTableStore source(file);
        Feed(source, LargeTable());
        if (!source.SaveCache()) {
            state.SkipWithError("cache not written");
        }
    }
    for (auto _ : state) {
        SourceTableStore store(file);
        if (!store.LoadCache() || store.StrList().size() != kStrRecords) {
            state.SkipWithError("cache not loaded whole");
            break;
        }
        benchmark::DoNotOptimize(store.StrList().data());
    }
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(kStrRecords),
                                                     benchmark::Counter::kIsIterationInvariantRate);
    std::filesystem::remove_all(folder);
}
BENCHMARK(LoadFromCache)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
