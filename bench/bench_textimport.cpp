// Reading text exchange files of growing size: the reader goes line by line through a fixed
// buffer, so the time per megabyte stays the same from 8 to 128 MB and the peak memory
// ("peak_rss_MB", from getrusage) does not grow with the file. The files hold what large
// catalogues hold: records, comment lines and blank lines.
//
//   build/release/bin/bench_textimport --benchmark_min_time=1

#include "codecs/texttokenreader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

using namespace kalydor;

std::string materialRecord(int n) {
    return "\"KALYDOR32MATERIAL\" 1\r\n2024 1 1\r\n\"Zidărie\\\\Cărămidă\"\r\n\"Material " +
           std::to_string(n) +
           "\"\r\n1\t0\t\r\n25\t1800\t0.8\t0\t0.87\t0\t0\t8\t\r\n\r\n; a comment line\r\n\r\n";
}

// A file of about `megabytes` MB in the temporary folder, made once per size.
std::string fileOf(int megabytes) {
    const std::string name = (std::filesystem::temp_directory_path() /
                              ("kalydor-bench-text-" + std::to_string(megabytes) + ".txt"))
                                 .string();
    if (std::filesystem::exists(name))
        return name;
    std::ofstream out(name, std::ios::binary);
    const std::size_t size = static_cast<std::size_t>(megabytes) << 20;
    std::size_t written = 0;
    for (int n = 0; written < size; ++n) {
        const std::string record = materialRecord(n);
        out << record;
        written += record.size();
    }
    out << "\"END\"\r\n";
    return name;
}

void BM_ReadTextExchangeFile(benchmark::State& state) {
    const int megabytes = static_cast<int>(state.range(0));
    const std::string file = fileOf(megabytes);
    long records = 0;
    for (auto _ : state) {
        TextTokenReader reader(file);
        TextRecordHeader header;
        records = 0;
        while (reader.NextRecord(header) == NextRecordResult::Record) {
            reader.NextInt();
            reader.NextInt();
            for (int i = 0; i < 8; ++i)
                reader.NextReal();
            ++records;
        }
        benchmark::DoNotOptimize(records);
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.SetBytesProcessed(state.iterations() * (static_cast<std::int64_t>(megabytes) << 20));
    state.counters["records"] = static_cast<double>(records);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_ReadTextExchangeFile)->Arg(8)->Arg(32)->Arg(128)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
