// The device database: importing generated manufacturers' sources of 500 and 2,000 families
// of 150 sizes each, in the text and the XML form, beside a bare scan of the same XML file by
// the XML reader; loading one family from the table (find, expand, read); a cache hit.
//
//   build/release/bin/bench_devicedb
//
// Targets: text under 1 ms a family; XML within 2x of the bare scan; 2,000 families within
// 4.4x of 500; one family loaded under 200 us; a cache hit under 1 us.

#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"
#include "devicedb/devicedatabaseeditor.h"
#include "devicedb/devicestore.h"
#include "devicedb/devicetext.h"
#include "devicedb/devicexml.h"
#include "devicedb/radiatorfamilycache.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

namespace {

using namespace kalydor;
namespace fs = std::filesystem;

const fs::path& scratch() {
    static const fs::path folder = [] {
        const fs::path path = fs::temp_directory_path() /
                              ("kalydor-bench-devicedb-" + std::to_string(std::random_device()()));
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

// A family of five heights of 30 lengths each: 150 sizes.
RadiatorFamily family(int n) {
    RadiatorFamily f;
    f.Name = "Panou " + std::to_string(n);
    f.Path = "Oțel\\Panouri\\Serie " + std::to_string(n / 100);
    f.Date = {2026, 11, 1};
    f.HomePage = "https://example.com/" + std::to_string(n);
    f.DTLog = 1;
    f.DTOrigin = 49.83f;
    f.DimensionLists.resize(2);
    for (int h = 0; h < 5; ++h)
        f.DimensionLists[0].push_back(std::to_string(300 + 150 * h));
    for (int l = 0; l < 30; ++l)
        f.DimensionLists[1].push_back(std::to_string(400 + 100 * l));
    for (int h = 0; h < 5; ++h) {
        f.MainTypes.push_back({"T22-" + f.DimensionLists[0][static_cast<std::size_t>(h)],
                               {static_cast<std::int16_t>(h)},
                               static_cast<std::int16_t>(30 * h),
                               30,
                               0.86f});
        for (int l = 0; l < 30; ++l) {
            const float metres = static_cast<float>(400 + 100 * l) / 1000.0f;
            f.Sizes.push_back({"22-" + std::to_string(h) + "-" + std::to_string(l),
                               static_cast<std::int16_t>(l), 1709.0f * metres, 4.8f * metres,
                               6.6f * metres, 1.3358f, static_cast<std::int16_t>(l % 2),
                               static_cast<std::int16_t>(400 + 100 * l),
                               static_cast<std::int16_t>(300 + 150 * h), 100,
                               "RP22-" + std::to_string(n) + "-" + std::to_string(h * 30 + l)});
        }
    }
    return f;
}

// The source file of `count` families, written once per form and count.
const std::string& source(int count, bool xml) {
    static std::map<std::pair<int, bool>, std::string> files;
    std::string& file = files[{count, xml}];
    if (!file.empty())
        return file;
    file = (scratch() / ("families-" + std::to_string(count) + (xml ? ".xml" : ".txt"))).string();
    if (xml) {
        XmlWriter writer(file, std::string(kDeviceXmlRoot));
        for (int n = 0; n < count; ++n)
            writeDeviceXml(writer, family(n));
        writer.Finish();
    } else {
        std::string text;
        for (int n = 0; n < count; ++n)
            writeDeviceText(text, family(n));
        writeDeviceTextEnd(text);
        std::ofstream(file, std::ios::binary) << text;
    }
    return file;
}

void importSource(benchmark::State& state, bool xml) {
    const int count = static_cast<int>(state.range(0));
    const std::string& file = source(count, xml);
    const std::string table = (scratch() / "import.db").string();
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<DeviceStore> store = DeviceStore::create(table);
        state.ResumeTiming();
        DeviceDatabaseEditor editor(*store);
        DeviceLoadResult result;
        editor.load({file}, StandingAnswer::YesToAll, result);
        if (result.added != static_cast<std::size_t>(count))
            state.SkipWithError("not every family was stored");
    }
    state.counters["per family"] = benchmark::Counter(
        static_cast<double>(count),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ImportText(benchmark::State& state) {
    importSource(state, false);
}
BENCHMARK(BM_ImportText)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportXml(benchmark::State& state) {
    importSource(state, true);
}
BENCHMARK(BM_ImportXml)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every event of the same XML file, without building items: the floor an XML import stands on.
void BM_ScanXml(benchmark::State& state) {
    const std::string& file = source(static_cast<int>(state.range(0)), true);
    for (auto _ : state) {
        XmlReader reader;
        reader.LoadFromFile(file);
        std::size_t events = 0;
        while (reader.Scan())
            ++events;
        benchmark::DoNotOptimize(events);
    }
}
BENCHMARK(BM_ScanXml)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

DeviceStore& filledTable() {
    static std::unique_ptr<DeviceStore> store = [] {
        std::unique_ptr<DeviceStore> s = DeviceStore::create((scratch() / "loaded.db").string());
        DeviceDatabaseEditor editor(*s);
        DeviceLoadResult result;
        editor.load({source(500, false)}, StandingAnswer::YesToAll, result);
        return s;
    }();
    return *store;
}

void BM_LoadOneFamily(benchmark::State& state) {
    DeviceStore& table = filledTable();
    int n = 0;
    for (auto _ : state) {
        const std::unique_ptr<DeviceItem> item =
            loadDeviceItem(table, DeviceKind::RadiatorFamily, "Panou " + std::to_string(n));
        benchmark::DoNotOptimize(item.get());
        n = (n + 37) % 500;
    }
}
BENCHMARK(BM_LoadOneFamily)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_CacheHit(benchmark::State& state) {
    DeviceStore& table = filledTable();
    RadiatorFamilyCache cache;
    const std::string name = "Panou 250";
    cache.get(table, name);
    for (auto _ : state)
        benchmark::DoNotOptimize(cache.get(table, name));
}
BENCHMARK(BM_CacheHit)->Unit(benchmark::kNanosecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(scratch(), ignored);
    return 0;
}
