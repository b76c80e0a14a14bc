// The changes of many rooms: a project of 5,000 rooms in 50 buildings, 12 boundaries and two
// radiators each; each change over every room including the buildings totalled again and the
// commit, beside the project-wide recalculation of the same project in the same run.
//
//   build/release/bin/bench_bulkchange
//
// Targets: each change under 2 s, and at most twice the project-wide recalculation (the
// radiator change includes trying every radiator on a copy first).

#include "devicedb/deviceitem.h"
#include "devicedb/radiatorfamilycache.h"
#include "rooms/building.h"
#include "rooms/bulkchanges.h"
#include "rooms/projectrecalculation.h"
#include "rooms/radiatorchange.h"
#include "rooms/room.h"
#include "rooms/roombulkchange.h"
#include "rooms/ventilationchange.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace kalydor;
namespace fs = std::filesystem;

constexpr int kRooms = 5000;
constexpr int kBuildings = 50;

Room twelveBoundaries(const std::string& name, const std::string& building) {
    Room room;
    room.Name = name;
    room.BuildingRef = building;
    room.Area = 20;
    room.Height = 2.7f;
    room.FiltMode = 0;
    room.AirChangeFact = 0.5f;
    const auto add = [&](std::uint8_t type, float x, float y, float k) {
        Boundary b;
        b.Name = "B" + std::to_string(room.Boundaries.size());
        b.Type = type;
        b.db = 1;
        b.x = x;
        b.y = y;
        b.k = k;
        b.Massivitate = 1.05f;
        b.Mass = 250;
        b.OverTempWinter = 15;
        b.Compass = static_cast<std::int16_t>(45 * room.Boundaries.size() % 360);
        room.Boundaries.push_back(b);
    };
    for (int i = 0; i < 5; ++i)
        add(0, 3, 2.7f, 2.5f);
    for (int i = 0; i < 4; ++i)
        add(10, 1.2f, 1.5f, 0.6f);
    for (int i = 0; i < 3; ++i)
        add(1, 4, 2.7f, 0.8f);
    for (int i = 0; i < 2; ++i) {
        Radiator radiator;
        radiator.Family = "Panou";
        radiator.TypeCode = "22-600-1000";
        radiator.Mark = std::to_string(i + 1);
        radiator.setForwardTemperature(90);
        radiator.setBackwardTemperature(70);
        radiator.setPower(700);
        room.Radiators.push_back(radiator);
    }
    return room;
}

struct Project {
    std::unique_ptr<ItemStore> store;
    std::vector<Reference> rooms;
    std::vector<std::string> buildings;
};

Project& project() {
    static Project made = [] {
        const fs::path folder = fs::temp_directory_path() /
                                ("kalydor-bench-bulk-" + std::to_string(std::random_device()()));
        fs::create_directories(folder);
        Project p;
        p.store = std::make_unique<ItemStore>(folder.string(), "bulk.db", TableMode::Create,
                                              TableKind::Project);
        ItemStore& store = *p.store;
        SqliteTransaction transaction(store.database());
        for (int b = 0; b < kBuildings; ++b) {
            Building building;
            building.Name = "Bloc " + std::to_string(b);
            p.buildings.push_back(store.AddRecord(RecordType::Building, store.RootId(),
                                                  building.Name, building.recordBytes()));
        }
        const std::string group = store.GroupOfPath(RecordType::RoomGroup, "Rooms", '\\');
        for (int r = 0; r < kRooms; ++r) {
            const std::string name = "Room " + std::to_string(r);
            Room room =
                twelveBoundaries(name, p.buildings[static_cast<std::size_t>(r % kBuildings)]);
            const std::string id =
                store.AddRecord(RecordType::Room, group, name, room.recordBytes());
            p.rooms.push_back({RecordType::Room, name, group, id});
        }
        transaction.commit();
        return p;
    }();
    return made;
}

void BM_RecalculateProject(benchmark::State& state) {
    Project& p = project();
    for (auto _ : state)
        benchmark::DoNotOptimize(RecalculateProject(*p.store, {-15, {}}));
}
BENCHMARK(BM_RecalculateProject)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Runs a change of every room per iteration and, untimed, a project-wide recalculation after
// each: the counter "PerRecalculation" is the change's time over the recalculation's, both
// measured side by side, so that it does not depend on how busy the machine was in between.
template <class Body> void againstRecalculation(benchmark::State& state, const Body& body) {
    using Clock = std::chrono::steady_clock;
    Project& p = project();
    Clock::duration changing{};
    Clock::duration recalculating{};
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        body();
        changing += Clock::now() - start;
        state.PauseTiming();
        start = Clock::now();
        benchmark::DoNotOptimize(RecalculateProject(*p.store, {-15, {}}));
        recalculating += Clock::now() - start;
        state.ResumeTiming();
    }
    state.counters["PerRecalculation"] = std::chrono::duration<double>(changing).count() /
                                         std::chrono::duration<double>(recalculating).count();
}

template <class Change> void runChange(benchmark::State& state, const Change& change) {
    Project& p = project();
    againstRecalculation(state, [&] {
        const RoomBulkResult result = ChangeRooms(*p.store, p.rooms, {-15, {}}, change);
        if (result.rooms != kRooms)
            state.SkipWithError("not every room was changed");
    });
}

void BM_ChangeConstructions(benchmark::State& state) {
    Project& p = project();
    ConstructionValues values;
    values.set(ConstructionField::k, "0.7");
    const ConstructionChange change(FindMatches(*p.store, p.rooms, {10, {}, {}}), values);
    runChange(state, change);
}
BENCHMARK(BM_ChangeConstructions)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_ChangeTemperatures(benchmark::State& state) {
    runChange(state, TemperatureChange::read("-18", "21", ""));
}
BENCHMARK(BM_ChangeTemperatures)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_MoveRooms(benchmark::State& state) {
    runChange(state, BuildingMove(project().buildings.front()));
}
BENCHMARK(BM_MoveRooms)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_RotateRooms(benchmark::State& state) {
    runChange(state, OrientationChange::rotation("90"));
}
BENCHMARK(BM_RotateRooms)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_ChangeVentilation(benchmark::State& state) {
    VentilationChangeForm form;
    form.method = 0;
    form.airChangeFact = "0.8";
    runChange(state, VentilationChange::read(form));
}
BENCHMARK(BM_ChangeVentilation)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The family of the rooms' radiators: panels of 600 mm in two main types, 400 to 3000 mm.
class PanelFamilies final : public RadiatorFamilySource {
public:
    PanelFamilies() {
        m_family.Name = "Panou";
        m_family.DTLog = 1;
        m_family.DTOrigin = 60;
        std::vector<std::string> lengths;
        for (int length = 400; length <= 3000; length += 100)
            lengths.push_back(std::to_string(length));
        m_family.DimensionLists = {{"11", "22"}, lengths};
        for (int type = 0; type < 2; ++type) {
            const std::string main = type == 0 ? "11-600" : "22-600";
            m_family.MainTypes.push_back({main,
                                          {static_cast<std::int16_t>(type)},
                                          static_cast<std::int16_t>(m_family.Sizes.size()),
                                          static_cast<std::int16_t>(lengths.size()),
                                          1.0f});
            for (std::size_t i = 0; i < lengths.size(); ++i) {
                RadiatorSize size;
                size.Name = (type == 0 ? "11-600-" : "22-600-") + lengths[i];
                size.DimensionIndex = static_cast<std::int16_t>(i);
                size.Power = static_cast<float>((type == 0 ? 0.9 : 1.6) * std::stoi(lengths[i]));
                size.Exponent = 1.3f;
                size.Length = static_cast<std::int16_t>(std::stoi(lengths[i]));
                size.Height = 600;
                size.Width = type == 0 ? 47 : 100;
                m_family.Sizes.push_back(size);
            }
        }
    }
    const RadiatorFamily* family(const std::string& name) override {
        return name == m_family.Name ? &m_family : nullptr;
    }

private:
    RadiatorFamily m_family;
};

// New temperatures with the difference kept and a fresh size for every radiator: each one is
// tried on a copy, then the rooms are changed.
void BM_ChangeRadiators(benchmark::State& state) {
    Project& p = project();
    PanelFamilies families;
    RadiatorChangeSettings settings = RadiatorChangeSettings::read("70", "", true, true);
    againstRecalculation(state, [&] {
        std::vector<RadiatorCandidate> candidates =
            FindRadiatorCandidates(*p.store, p.rooms, settings, families);
        const RadiatorChange change(std::move(candidates), settings, families);
        const RoomBulkResult result = ChangeRooms(*p.store, change.rooms(), {-15, {}}, change);
        if (result.rooms != kRooms)
            state.SkipWithError("not every room was changed");
    });
}
BENCHMARK(BM_ChangeRadiators)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

BENCHMARK_MAIN();
