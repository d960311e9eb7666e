// The command channel and the intake against the simulated receiver at its
// default line rate, with the real after-chunk pauses and a real one-second
// tick: connect and read in the device dialog's order, and mount point
// fetches of large source tables in the network page's order. Each reports
// wall time against the time the bytes need on the wire.
//
// They take real seconds (a 6000-record fetch about two minutes); pick one with
//   channel_bench --benchmark_filter=ConnectAndRead
#include "bench/FrameLoop.h"
#include "channel/MainFrameCore.h"
#include "common/Format.h"
#include "common/Numbers.h"
#include "link/sim/SimulatedPlatform.h"
#include "network/SourceTableStore.h"
#include "sim/ReceiverSimulator.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace quorlex;
using namespace std::chrono_literals;
using bench::FrameLoop;
using Clock = std::chrono::steady_clock;

constexpr uint64_t kAddress = 0x00126F0A1B2CULL;
constexpr std::u16string_view kPin = u"1234";
constexpr auto kTick = 1000ms;
constexpr int kBitsPerByte = 10; // 8N1, as the simulator paces

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double WireSeconds(size_t bytes, int lineRate) {
    return static_cast<double>(bytes) * kBitsPerByte / lineRate;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// The application's pieces without a display: the simulated adapter with one
// receiver, the frame's core with the real pause, and its thread with a real
// one-second tick.
class Rig {
public:
    Rig() {
        std::string dir =
            (std::filesystem::temp_directory_path() / "channel-bench-XXXXXX").string();
        if (::mkdtemp(dir.data()) != nullptr) {
            folder = dir;
        }
        SimulatedReceiver r;
        r.name = u"GNSS-Bench";
        r.address = kAddress;
        r.pin = kPin;
        r.channel = 3;
        r.serve = [sim = receiver](int fd) { sim->Attach(fd); };
        platform.AddReceiver(std::move(r));
        core = std::make_unique<MainFrameCore>(platform, RealSleeper(), LinkOptions{},
                                               folder / "sourcetable.dat");
        loop = std::make_unique<FrameLoop>(
            [this](const char* bytes, size_t count) {
                if (observe) {
                    observe(bytes, count);
                }
                core->OnReceiverData(bytes, count);
            },
            [this] { core->OnTimer(); }, kTick);
        Control().SetDevice({kLinkKindBluetooth, u"GNSS-Bench", kAddress, std::u16string(kPin)});
        Control().SetReceiveTarget(loop.get());
    }

    ~Rig() {
        Control().Disconnect();
        loop->RunUntil([] { return false; }, 100ms);
        loop->Close();
        core.reset();
        receiver->Detach();
        if (!folder.empty()) {
            std::filesystem::remove_all(folder);
        }
    }

    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    ReceiverControl& Control() { return core->Control(); }

    bool Connect() {
        return Control().Connect() &&
               loop->RunUntil([this] { return Control().IsConnected(); }, 10s);
    }

    void Disconnect() {
        Control().Disconnect();
        // Let the link's last status texts through.
        loop->RunUntil([] { return false; }, 50ms);
    }

    std::filesystem::path folder;
    SimulatedPlatform platform;
    std::shared_ptr<ReceiverSimulator> receiver = std::make_shared<ReceiverSimulator>();
    std::unique_ptr<MainFrameCore> core;
    std::unique_ptr<FrameLoop> loop;
    FrameLoop::Handler observe;
};

// The device dialog's "连接": connect, then read the configuration under the
// progress dialog, which closes when the batch has ended. Each run presses
// the button at another point of the timer's second, as a surveyor would.
void ConnectAndRead(benchmark::State& state) {
    Rig rig;
    std::vector<double> walls;
    size_t burstBytes = 0;
    const auto runs = static_cast<int>(state.max_iterations);
    int run = 0;
    for (auto _ : state) {
        rig.loop->RestartTimer(kTick * (2 * run + 1) / (2 * runs));
        const Clock::time_point pressed = Clock::now();
        ReceiverControl& control = rig.Control();
        if (!control.Connect()) {
            state.SkipWithError("connect refused");
            break;
        }
        control.ClearCommands();
        control.AddCommand(MakeCommandItem(u"GET,ALL", u"读取当前配置信息"));
        control.StartBatch(u"读取配置");
        const bool ended = rig.loop->RunUntil([&] { return !control.IsBatchActive(); }, 30s);
        const Clock::duration wall = Clock::now() - pressed;
        if (!ended || control.Progress().failed != 0 ||
            control.Settings().info.device.serialNumber !=
                rig.receiver->Value(u"DEVICE.INFO.SERIAL")) {
            state.SkipWithError("configuration not read");
            break;
        }
        state.SetIterationTime(Seconds(wall));
        walls.push_back(Seconds(wall));
        burstBytes = rig.receiver->BytesSent();
        rig.Disconnect();
        control.Settings() = ReceiverSettings{};
        ++run;
    }
    state.counters["median_s"] = Median(walls);
    state.counters["min_s"] = walls.empty() ? 0 : *std::min_element(walls.begin(), walls.end());
    state.counters["max_s"] = walls.empty() ? 0 : *std::max_element(walls.begin(), walls.end());
    state.counters["wire_s"] = WireSeconds(burstBytes, rig.receiver->LineRate());
}
BENCHMARK(ConnectAndRead)->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);

// STR records like those of a large national caster, 120 to 200 bytes each.
std::vector<std::u16string> GeneratedStreams(int count) {
    static constexpr std::array<std::u16string_view, 4> kFormats = {
        u"RTCM 3.2;1005(10),1074(1),1084(1),1094(1),1124(1),1230(10)",
        u"RTCM 3.3;1006(10),1033(10),1077(1),1087(1),1097(1),1127(1),1230(10)",
        u"RTCM 3.0;1004(1),1005(10),1012(1)",
        u"CMR+;",
    };
    static constexpr std::array<std::u16string_view, 3> kCities = {u"Wuhan", u"Urumqi Station",
                                                                   u"Shijiazhuang Reference"};
    static constexpr std::u16string_view kRemark =
        u"operated by the provincial survey bureau, station maintained and monitored around "
        u"the clock, coordinates in CGCS2000";
    constexpr size_t kShortest = 120;
    constexpr size_t kLengths = 81;
    std::vector<std::u16string> streams;
    streams.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const auto n = static_cast<size_t>(i);
        std::u16string line =
            u"STR;CN" + FormatInt(10000 + i) + (i % 2 == 0 ? u"_RTCM32;" : u"_CMR;") +
            std::u16string(kCities[n % 3]) + u";" + std::u16string(kFormats[n % 4]) +
            u";2;GPS+GLO+GAL+BDS;CNNET;CHN;" + FormatFixed(20.0 + i * 0.007, 2) + u";" +
            FormatFixed(90.0 + i * 0.011, 2) + u";" + FormatInt(i % 2) + u";" +
            FormatInt(i % 3 == 0 ? 1 : 0) + u";sNTRIP;none;B;" + (i % 5 == 0 ? u"Y" : u"N") + u";" +
            FormatInt(2400 + (i % 9) * 600) + u";";
        // The remark fills the record up to its length.
        const size_t length = kShortest + (n * 37) % kLengths;
        line += length > line.size() ? kRemark.substr(0, length - line.size()) : u"none";
        streams.push_back(std::move(line));
    }
    return streams;
}

// The network page's "获取接入点" for a receiver already in network relay mode:
// the caster's address, port and user first, then the list request, then
// "GET,ALL". The fetch has ended once the whole table is cached.
void MountPointFetch(benchmark::State& state) {
    const auto records = static_cast<int>(state.range(0));
    Rig rig;
    rig.receiver->SetCasterStreams(GeneratedStreams(records));
    rig.receiver->SetValue(u"DEVICE.SYS_MODE", u"NETRELAY");
    // Bytes the tool needed, up to the end of the table.
    size_t tableBytes = 0;
    bool tableEnded = false;
    rig.observe = [&](const char* bytes, size_t count) {
        if (tableEnded || !rig.core->FetchActive()) {
            return;
        }
        const std::string_view chunk(bytes, count);
        constexpr std::string_view kEnd = "ENDSOURCETABLE\r\n";
        const size_t end = chunk.find(kEnd);
        tableEnded = end != std::string_view::npos;
        tableBytes += tableEnded ? end + kEnd.size() : count;
    };
    std::vector<double> walls;
    double wire = 0;
    size_t stored = 0;
    for (auto _ : state) {
        if (!rig.Connect()) {
            state.SkipWithError("connect refused");
            break;
        }
        tableBytes = 0;
        tableEnded = false;
        ReceiverControl& control = rig.Control();
        const Clock::time_point pressed = Clock::now();
        rig.core->SetFetchActive(true);
        rig.core->Store().Reset();
        control.ClearCommands();
        control.AddCommand(MakeCommandItem(u"SET,NETWORK.ADDR,caster.example.cn",
                                           u"设置CORS地址[caster.example.cn]"));
        control.AddCommand(MakeCommandItem(u"SET,NETWORK.PORT,2101", u"设置CORS端口[2101]"));
        control.AddCommand(MakeCommandItem(u"SET,NETWORK.MOUNTPOINTUSERPASS,user|pass",
                                           u"设置CORS用户密码[user]"));
        CommandItem list = MakeCommandItem(u"GET,NETWORK.MOUNTPOINTLIST", u"开始获取接入点");
        list.reply = u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,START";
        list.resendEvery = 60;
        list.budget = 120;
        control.AddCommand(list);
        control.AddCommand(MakeCommandItem(u"GET,ALL", u"重新获取参数"));
        control.StartBatch(u"开始发送指令");
        rig.loop->RunUntil([&] { return !rig.core->FetchActive(); }, 400s);
        const Clock::duration wall = Clock::now() - pressed;
        const SourceTableStore& store = rig.core->Store();
        stored = store.StrList().size();
        SourceTableStore cached(rig.folder / "sourcetable.dat");
        const bool whole = store.IsComplete() && stored == static_cast<size_t>(records) &&
                           store.MountPoints().size() == static_cast<size_t>(records) &&
                           cached.LoadCache() && cached.StrList().size() == stored;
        state.SetIterationTime(Seconds(wall));
        walls.push_back(Seconds(wall));
        wire = WireSeconds(tableBytes, rig.receiver->LineRate());
        rig.Disconnect();
        if (!whole) {
            // The error hides the counters: say how far the fetch came.
            std::fprintf(stderr, "%zu of %d records after %.1f s (wire time %.1f s)\n", stored,
                         records, Seconds(wall), wire);
            state.SkipWithError(store.IsTimedOut() ? "timed out before the table was whole"
                                                   : "records lost");
            break;
        }
    }
    const double median = Median(walls);
    state.counters["records"] = static_cast<double>(stored);
    state.counters["median_s"] = median;
    state.counters["wire_s"] = wire;
    state.counters["over_wire"] = wire > 0 ? median / wire : 0;
}
BENCHMARK(MountPointFetch)
    ->Arg(3000)
    ->Arg(6000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
