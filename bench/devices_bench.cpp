// Saving and opening very large device lists: the whole save (document,
// encoding, careful replace of the file) against building the same document
// element by element through the engine, which is what the file format is
// defined by and grows with the square of the list.
#include "common/Format.h"
#include "common/Numbers.h"
#include "devices/DeviceList.h"
#include "devices/DeviceListFile.h"
#include "xml/XmlDocument.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace quorlex;

namespace {

std::vector<KnownDevice> Devices(int64_t count) {
    std::vector<KnownDevice> devices;
    devices.reserve(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) {
        devices.push_back({u"GNSS-R" + FormatInt(i),
                           FormatText(u"%012x", {int64_t{0x00126F000000LL + i}}), u"7391"});
    }
    return devices;
}

std::filesystem::path BenchFile() {
    return std::filesystem::temp_directory_path() /
           ("quorlex-devices-bench-" + std::to_string(::getpid())) / "Bluetooth.cfg";
}

void SaveList(benchmark::State& state) {
    const std::vector<KnownDevice> devices = Devices(state.range(0));
    const std::filesystem::path path = BenchFile();
    for (auto _ : state) {
        if (!SaveDeviceList(path, devices)) {
            state.SkipWithError("save failed");
            break;
        }
    }
    std::filesystem::remove_all(path.parent_path());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void OpenList(benchmark::State& state) {
    const std::vector<KnownDevice> devices = Devices(state.range(0));
    const std::filesystem::path path = BenchFile();
    SaveDeviceList(path, devices);
    for (auto _ : state) {
        DeviceListFile file(path);
        std::vector<KnownDevice> loaded;
        if (file.Open(loaded) != DeviceListOpening::Read || loaded.size() != devices.size()) {
            state.SkipWithError("list not read back");
            break;
        }
    }
    std::filesystem::remove_all(path.parent_path());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same document built as the engine's element operations build it.
void BuildThroughTheEngine(benchmark::State& state) {
    const std::vector<KnownDevice> devices = Devices(state.range(0));
    for (auto _ : state) {
        XmlDocument doc;
        doc.SetDocument(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
        doc.AddElement(u"HEAD");
        doc.EnterElement();
        doc.AddElement(u"Bluetooth_Config");
        doc.EnterElement();
        doc.AddElement(u"Ver", u"1.0.1.1");
        for (const KnownDevice& device : devices) {
            doc.AddElement(u"BtDevice");
            doc.AddChildElement(u"Bluetooth_Name", device.name);
            doc.AddChildElement(u"Bluetooth_Address", device.address);
            doc.AddChildElement(u"Bluetooth_PIN", device.pin);
        }
        benchmark::DoNotOptimize(doc.GetDocument().data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BuildInOnePass(benchmark::State& state) {
    const std::vector<KnownDevice> devices = Devices(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(DeviceListText(devices).data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(SaveList)->Arg(1000)->Arg(20000)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenList)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildInOnePass)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildThroughTheEngine)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
