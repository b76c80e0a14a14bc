// Start-up cost of the language tables: loading every shipped language file as the program
// does when it starts, once from the plain ".xml" files and once from the same files stored
// compressed (".xmz", expanded in memory on loading).
//
//   build/release/bin/bench_languages

#include "codecs/compressing.h"
#include "language/languages.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace kalydor;

const std::string kShippedDirectory = KALYDOR_LANGUAGE_DIR;

// A private folder holding the shipped languages compressed; removed at exit.
class CompressedCopy {
public:
    CompressedCopy() {
        m_directory = fs::temp_directory_path() /
                      ("kalydor-bench-languages-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_directory);
        for (const auto& entry : fs::directory_iterator(kShippedDirectory)) {
            if (entry.path().extension() != ".xml")
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string text{std::istreambuf_iterator<char>(in), {}};
            fs::path target = m_directory / entry.path().filename();
            target.replace_extension(".xmz");
            std::ofstream(target, std::ios::binary) << Compressing::Encode(text);
        }
    }
    ~CompressedCopy() {
        std::error_code ignored;
        fs::remove_all(m_directory, ignored);
    }
    std::string pattern() const { return (m_directory / "*.xm?").string(); }

private:
    fs::path m_directory;
};

void loadAll(benchmark::State& state, const std::string& pattern) {
    std::size_t strings = 0;
    for (auto _ : state) {
        Languages languages;
        languages.LoadLanguages(pattern);
        languages.SelectInterfaceLanguage("Român");
        strings = 0;
        for (const Language& language : languages.languages())
            strings += language.strings.size();
        benchmark::DoNotOptimize(strings);
    }
    if (strings == 0)
        throw std::runtime_error("no language loaded from " + pattern);
    state.counters["strings"] = static_cast<double>(strings);
}

void BM_LoadShippedLanguages(benchmark::State& state) {
    loadAll(state, kShippedDirectory + "/*.xm?");
}
BENCHMARK(BM_LoadShippedLanguages)->Unit(benchmark::kMillisecond);

void BM_LoadCompressedLanguages(benchmark::State& state) {
    static const CompressedCopy copy;
    loadAll(state, copy.pattern());
}
BENCHMARK(BM_LoadCompressedLanguages)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
