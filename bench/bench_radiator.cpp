// Radiators: a refresh against a family of 1,000 sizes held in the family cache, with the
// radiator's size last (the longest search); a radiator record with four resistances written
// and read; the size choice over 30 sizes.
//
//   build/release/bin/bench_radiator
//
// Targets: a refresh under 20 us (15,000 radiators under 0.3 s of a project recalculation);
// a record written and read under 10 us; the size choice is reported.

#include "base/memorystream.h"
#include "devicedb/devicestore.h"
#include "devicedb/radiatorfamilycache.h"
#include "devicedb/radiatorsizing.h"
#include "heating/radiator.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

namespace {

using namespace kalydor;
namespace fs = std::filesystem;

// Ten heights of 100 lengths each: 1,000 sizes in increasing output per main type.
RadiatorFamily thousandSizes() {
    RadiatorFamily f;
    f.Name = "Panou mare";
    f.Path = "Oțel\\Panouri";
    f.DTLog = 1;
    f.DTOrigin = 49.83f;
    f.DimensionLists.resize(2);
    for (int h = 0; h < 10; ++h)
        f.DimensionLists[0].push_back(std::to_string(300 + 50 * h));
    for (int l = 0; l < 100; ++l)
        f.DimensionLists[1].push_back(std::to_string(400 + 40 * l));
    for (int h = 0; h < 10; ++h) {
        f.MainTypes.push_back({"T22-" + f.DimensionLists[0][static_cast<std::size_t>(h)],
                               {static_cast<std::int16_t>(h)},
                               static_cast<std::int16_t>(100 * h),
                               100,
                               0.86f});
        for (int l = 0; l < 100; ++l) {
            const float metres = static_cast<float>(400 + 40 * l) / 1000.0f;
            f.Sizes.push_back({"22-" + std::to_string(h) + "-" + std::to_string(l),
                               static_cast<std::int16_t>(l), 1709.0f * metres, 4.8f * metres,
                               6.6f * metres, 1.3358f, static_cast<std::int16_t>(l % 2),
                               static_cast<std::int16_t>(400 + 40 * l),
                               static_cast<std::int16_t>(300 + 50 * h), 100, "RP22"});
        }
    }
    return f;
}

struct CachedTable {
    CachedTable() {
        folder = fs::temp_directory_path() /
                 ("kalydor-bench-radiator-" + std::to_string(std::random_device()()));
        fs::create_directories(folder);
        store = DeviceStore::create((folder / "Kalydor32.db").string());
        storeDeviceItem(*store, thousandSizes());
    }
    ~CachedTable() {
        store.reset();
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    fs::path folder;
    std::unique_ptr<DeviceStore> store;
    RadiatorFamilyCache cache;
};

void BM_RefreshLastOfThousandSizes(benchmark::State& state) {
    CachedTable table;
    CachedRadiatorFamilies families(table.store.get(), table.cache);
    Radiator radiator;
    radiator.Family = "Panou mare";
    radiator.TypeCode = "22-9-99";
    radiator.setForwardTemperature(75);
    radiator.setBackwardTemperature(65);
    radiator.Refresh(families, 20); // the family is read once and then cached
    for (auto _ : state) {
        radiator.Refresh(families, 20);
        benchmark::DoNotOptimize(radiator.Power());
    }
}
BENCHMARK(BM_RefreshLastOfThousandSizes)->Unit(benchmark::kMicrosecond);

void BM_RecordWithFourResistances(benchmark::State& state) {
    Radiator radiator;
    radiator.Mark = "12";
    radiator.Family = "Panou mare";
    radiator.TypeCode = "22-9-99";
    radiator.Hydraulic.Points[0].Name = "C1-H12-R1-tur";
    radiator.Hydraulic.Points[1].Name = "C1-H12-R1-retur";
    for (int i = 0; i < 4; ++i) {
        HydraulicResistance resistance;
        resistance.Text1 = "Robinet colţar " + std::to_string(i);
        resistance.Value1 = 2.5f;
        radiator.Hydraulic.Resists.push_back(resistance);
    }
    MemoryStream stream;
    for (auto _ : state) {
        stream.clear();
        radiator.WriteRecord(stream);
        stream.seek(0);
        Radiator read;
        read.ReadRecord(stream, Radiator::kCurrentVersion);
        benchmark::DoNotOptimize(read.Power());
    }
}
BENCHMARK(BM_RecordWithFourResistances)->Unit(benchmark::kMicrosecond);

void BM_ChooseSizeOverThirtySizes(benchmark::State& state) {
    const RadiatorFamily family = thousandSizes();
    const std::span<const RadiatorSize> sizes = sizesOfMainType(family, 0).first(30);
    const double ratio = ThermalRatio(family, 75, 65, 20);
    double demand = 500;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ChooseSize(sizes, ratio, demand, 1.0, {true, true}));
        demand = demand < 2500 ? demand + 37 : 500;
    }
}
BENCHMARK(BM_ChooseSizeOverThirtySizes)->Unit(benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
