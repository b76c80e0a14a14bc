// Rooms: one heating-load calculation of a room with 20 boundaries of every kind group (a
// floor with edges, sunlit windows, doors, inside walls, a bridge; infiltration through the
// joints), and its record written and read, as the project-wide recalculation does per room.
//
//   build/release/bin/bench_room
//
// Targets: a calculation within 5 us; the record written and read within 30 us.

#include "base/memorystream.h"
#include "rooms/room.h"
#include "store/itemstream.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kalydor;

Room twentyBoundaries() {
    Room room;
    room.Name = "Living";
    room.Area = 32;
    room.Height = 2.7f;
    room.FiltMode = 4;
    room.WindSpeed = 4;
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
        b.HeatMass = 120;
        b.Compass = static_cast<std::int16_t>(45 * room.Boundaries.size() % 360);
        b.InfiltrationFactor = 0.4f;
        b.InfiltrationLength = 6;
        b.OpeningRate = 1.5f;
        b.OverTempWinter = 15;
        room.Boundaries.push_back(b);
    };
    for (int i = 0; i < 4; ++i)
        add(0, 4, 2.7f, 2.5f); // outside walls
    for (int i = 0; i < 4; ++i)
        add(10, 1.5f, 1.5f, 0.6f); // sunlit windows
    for (int i = 0; i < 2; ++i)
        add(12, 1, 2.1f, 0.5f); // outside doors
    add(14, 2, 2.2f, 0.6f);     // a balcony door
    add(15, 1, 1, 0.7f);        // a roof window
    for (int i = 0; i < 3; ++i)
        add(1, 5, 2.7f, 0.8f); // inside walls
    add(13, 0.9f, 2, 0.6f);    // an inside door
    add(3, 8, 4, 4);           // the roof
    add(16, 10, 0, 0.3f);      // a bridge
    add(4, 8, 4, 2);           // a ceiling
    Boundary floor;
    floor.Name = "Floor";
    floor.Type = 2;
    floor.db = 1;
    floor.x = 8;
    floor.y = 4;
    floor.k = 3;
    floor.Tetap = 10;
    floor.ms = 0.6f;
    floor.OutsideLength = 24;
    floor.InsideLength = 8;
    floor.FloorOverTemp = 12;
    room.Boundaries.push_back(floor);
    return room;
}

void BM_CalculateTwentyBoundaries(benchmark::State& state) {
    Room room = twentyBoundaries();
    const RoomSettings settings{-15, {}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(room.Calculate(settings));
        benchmark::DoNotOptimize(room.HeatingPower);
    }
}
BENCHMARK(BM_CalculateTwentyBoundaries)->Unit(benchmark::kMicrosecond);

void BM_RecordWrittenAndRead(benchmark::State& state) {
    Room room = twentyBoundaries();
    (void)room.Calculate({-15, {}});
    for (auto _ : state) {
        MemoryStream stream;
        room.WriteRecord(stream, VersionWord::Without);
        stream.seek(0);
        Room read;
        read.ReadRecord(stream, Room::kCurrentVersion);
        benchmark::DoNotOptimize(read.Boundaries.size());
    }
}
BENCHMARK(BM_RecordWrittenAndRead)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
