// The project-wide recalculation: projects of 1,000, 5,000 and 20,000 rooms of 20 boundaries
// (walls, windows with joints, a floor on the ground) and a radiator each, 100 rooms per
// building in a two-level tree; the recalculation committed, and the buildings totalled again
// alone.
//
//   build/release/bin/bench_project
//
// Targets: 5,000 rooms recalculated under 2 s on one core; the time per room at 20,000 at
// most 1.3x that at 1,000 in the same run; the buildings of 5,000 rooms totalled under 0.5 s;
// one round of the room editor (a typed value applied and the room of 60 boundaries
// recalculated) under 1 ms.

#include "rooms/building.h"
#include "rooms/projectrecalculation.h"
#include "rooms/room.h"
#include "rooms/roomeditor.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace kalydor;
namespace fs = std::filesystem;

Room twentyBoundaries(const std::string& name, const std::string& building) {
    Room room;
    room.Name = name;
    room.BuildingRef = building;
    room.Area = 24;
    room.Height = 2.7f;
    room.FiltMode = 4;
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
        b.InfiltrationFactor = 0.4f;
        b.InfiltrationLength = 6;
        b.OverTempWinter = 15;
        b.Compass = static_cast<std::int16_t>(90 * room.Boundaries.size() % 360);
        room.Boundaries.push_back(b);
    };
    for (int i = 0; i < 8; ++i)
        add(0, 3, 2.7f, 2.5f);
    for (int i = 0; i < 6; ++i)
        add(10, 1.5f, 1.5f, 0.6f);
    for (int i = 0; i < 5; ++i)
        add(1, 4, 2.7f, 0.8f);
    Boundary floor;
    floor.Name = "Floor";
    floor.Type = 2;
    floor.db = 1;
    floor.x = 6;
    floor.y = 4;
    floor.k = 3;
    floor.Tetap = 10;
    floor.ms = 0.6f;
    floor.OutsideLength = 20;
    room.Boundaries.push_back(floor);
    Radiator radiator;
    radiator.Family = "Panou";
    radiator.TypeCode = "22-600-1000";
    radiator.setPower(1500);
    room.Radiators.push_back(radiator);
    return room;
}

// A project of `rooms` rooms, made once per size.
ItemStore& project(int rooms) {
    static std::map<int, std::unique_ptr<ItemStore>> projects;
    static const fs::path folder = [] {
        const fs::path path = fs::temp_directory_path() /
                              ("kalydor-bench-project-" + std::to_string(std::random_device()()));
        fs::create_directories(path);
        return path;
    }();
    std::unique_ptr<ItemStore>& made = projects[rooms];
    if (made)
        return *made;
    made = std::make_unique<ItemStore>(folder.string(), "p" + std::to_string(rooms) + ".db",
                                       TableMode::Create, TableKind::Project);
    ItemStore& store = *made;
    SqliteTransaction transaction(store.database());
    const std::string roomGroup = store.GroupOfPath(RecordType::RoomGroup, "Rooms", '\\');
    // Blocks of ten sections, each section a building of 100 rooms below its block.
    std::string block;
    std::string section;
    for (int i = 0; i < rooms; ++i) {
        if (i % 100 == 0) {
            const int number = i / 100;
            if (number % 10 == 0) {
                Building parent;
                parent.Name = "Block " + std::to_string(number / 10);
                block = store.AddRecord(RecordType::Building, store.RootId(), parent.Name,
                                        parent.recordBytes());
            }
            Building building;
            building.Name = "Section " + std::to_string(number);
            building.ParentID = block;
            section = store.AddRecord(RecordType::Building, store.RootId(), building.Name,
                                      building.recordBytes());
        }
        Room room = twentyBoundaries("Room " + std::to_string(i), section);
        store.AddRecord(RecordType::Room, roomGroup, room.Name, room.recordBytes());
    }
    transaction.commit();
    return store;
}

void BM_RecalculateProject(benchmark::State& state) {
    const auto rooms = static_cast<int>(state.range(0));
    ItemStore& store = project(rooms);
    const RoomSettings settings{-15, {}};
    for (auto _ : state) {
        const RecalculationResult result = RecalculateProject(store, settings);
        benchmark::DoNotOptimize(result.rooms);
    }
    state.counters["per room"] = benchmark::Counter(static_cast<double>(rooms),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}
BENCHMARK(BM_RecalculateProject)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

void BM_RecollectBuildings(benchmark::State& state) {
    ItemStore& store = project(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const RecalculationResult result = RecollectBuildings(store);
        benchmark::DoNotOptimize(result.buildings);
    }
}
BENCHMARK(BM_RecollectBuildings)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the room dialog does after each typed value: apply every box, check the neighbours,
// recalculate the room (60 boundaries) for the results shown.
void BM_RoomEditorRound(benchmark::State& state) {
    Room room = twentyBoundaries("R", "");
    const std::vector<Boundary> twenty = room.Boundaries;
    for (int copy = 0; copy < 2; ++copy)
        room.Boundaries.insert(room.Boundaries.end(), twenty.begin(), twenty.end());
    const BuildingsTable noBuildings;
    RoomEditor editor(room, noBuildings, RoomSettings{-15, {}}, nullptr, {}, true);
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        benchmark::DoNotOptimize(editor.type(RoomField::Area, wide ? "25" : "24"));
        benchmark::DoNotOptimize(editor.room().HeatingPower);
    }
    state.counters["boundaries"] = static_cast<double>(editor.room().Boundaries.size());
}
BENCHMARK(BM_RoomEditorRound)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
