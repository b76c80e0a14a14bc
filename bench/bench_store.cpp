// Throughput of the item store with a commit per change (as the program works) and, as the
// lower bound of what the disk allows, the same inserts in one transaction; and an import of
// 1,000 materials from a text exchange file, which is one transaction.
//
//   build/release/bin/bench_store --benchmark_min_time=1
//
// Every benchmark that commits reports wall-clock time (UseRealTime): a durable commit waits
// for the disk, which CPU time does not show.

#include "constructions/registration.h"
#include "exchange/textexchange.h"
#include "platform/prompter.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

namespace {

using namespace kalydor;
namespace fs = std::filesystem;

constexpr int kRecords = 10000;
const std::string kBlock(1024, 'k');

struct ScratchTable {
    fs::path dir = fs::temp_directory_path() / ("kalydor-bench-" + std::to_string(::getpid()));
    std::unique_ptr<ItemStore> table;

    explicit ScratchTable(TableKind kind = TableKind::Project) {
        fs::create_directories(dir);
        table = std::make_unique<ItemStore>(dir.string() + "/", "bench", TableMode::Create, kind);
    }
    ~ScratchTable() {
        table.reset();
        fs::remove_all(dir);
    }
};

std::string itemName(int i) {
    return "Item " + std::to_string(i);
}

// Adds `count` items with a 1 KB data block each: AddRecord (identifier and record committed
// together) and the block written, each its own committed change as the list windows store a
// new item. With `oneTransaction` all of it commits once, the lower bound the disk allows.
void addItems(benchmark::State& state, const char* journalMode, bool oneTransaction) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        ScratchTable scratch;
        scratch.table->database().exec(std::string("PRAGMA journal_mode=") + journalMode);
        state.ResumeTiming();
        std::optional<SqliteTransaction> bulk;
        if (oneTransaction)
            bulk.emplace(scratch.table->database());
        for (int i = 0; i < count; ++i) {
            scratch.table->AddRecord(RecordType::Panel, "", itemName(i));
            scratch.table->setCurrentData(kBlock);
        }
        if (bulk)
            bulk->commit();
        state.PauseTiming();
        scratch.table.reset();
        state.ResumeTiming();
    }
    state.counters["records/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * count), benchmark::Counter::kIsRate);
}

// A table of `kRecords` items without data, filled in one transaction.
void fillTable(ItemStore& table) {
    SqliteTransaction bulk(table.database());
    for (int i = 0; i < kRecords; ++i)
        table.AddRecord(RecordType::Panel, "", itemName(i));
    bulk.commit();
}

void BM_AddRecordCommitEach(benchmark::State& state) {
    addItems(state, "WAL", false);
}
BENCHMARK(BM_AddRecordCommitEach)
    ->Arg(kRecords)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// The same with SQLite's rollback journal instead of the write-ahead log, to show what the
// journal choice is worth (both with synchronous=FULL: every commit reaches the disk).
void BM_AddRecordCommitEachRollbackJournal(benchmark::State& state) {
    addItems(state, "DELETE", false);
}
BENCHMARK(BM_AddRecordCommitEachRollbackJournal)
    ->Arg(kRecords)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

void BM_AddRecordOneTransaction(benchmark::State& state) {
    addItems(state, "WAL", true);
}
BENCHMARK(BM_AddRecordOneTransaction)
    ->Arg(kRecords)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// Rewriting the data block of existing records, one committed change each (saving an edit).
void BM_RewriteBlockCommitEach(benchmark::State& state) {
    ScratchTable scratch;
    fillTable(*scratch.table);
    std::mt19937 random(7);
    for (auto _ : state) {
        scratch.table->FindRecord(RecordType::Panel, "",
                                  itemName(static_cast<int>(random() % kRecords)));
        scratch.table->setCurrentData(kBlock);
    }
    state.counters["blocks/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RewriteBlockCommitEach)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A text exchange file of `count` materials in ten groups, as a catalogue is shipped.
std::string materialFile(const fs::path& dir, int count) {
    const fs::path file = dir / "materials.txt";
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < count; ++i)
        out << "\"KALYDOR32MATERIAL\" 1\r\n2024 5 6\r\n\"Grupa " << i % 10 << "\"\r\n\"Material "
            << i << "\"\r\n1\t0\t\r\n25\t1800\t0.8\t0\t0.88\t0\t0\t8\t\r\n\r\n";
    out << "\"END\"\r\n";
    return file.string();
}

// Importing 1,000 materials from a text file into an empty catalogue, as the command line
// and the list window do: one transaction, one commit. The "commits" counter shows it.
void BM_ImportMaterialsFromText(benchmark::State& state) {
    registerConstructionItems();
    const int count = static_cast<int>(state.range(0));
    std::uint64_t commits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ScratchTable scratch(TableKind::Catalogue);
        const std::string file = materialFile(scratch.dir, count);
        const std::uint64_t before = scratch.table->database().commits();
        state.ResumeTiming();
        OverwriteAnswers answers;
        const ImportResult result =
            ImportText(*scratch.table, ItemKind::Material, file, answers, {});
        state.PauseTiming();
        if (result.failed || result.added != count)
            state.SkipWithError("the import failed");
        commits = scratch.table->database().commits() - before;
        scratch.table.reset();
        state.ResumeTiming();
    }
    state.counters["commits"] = static_cast<double>(commits);
    state.counters["materials/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * count), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportMaterialsFromText)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Exact key lookups on a table of 10,000 items.
void BM_FindRecord(benchmark::State& state) {
    ScratchTable scratch;
    fillTable(*scratch.table);
    std::mt19937 random(11);
    for (auto _ : state)
        benchmark::DoNotOptimize(scratch.table->FindRecord(
            RecordType::Panel, "", itemName(static_cast<int>(random() % kRecords))));
    state.counters["lookups/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FindRecord)->Unit(benchmark::kMicrosecond);

} // namespace
