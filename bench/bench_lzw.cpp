// Throughput of the dictionary coder on its two kinds of work: a compressed language file
// (2 MB of XML text) and a stored device item (10 KB of binary record, mostly float32 tables).
// MB/s count the expanded bytes in both directions.
//
//   build/release/bin/bench_lzw --benchmark_min_time=1
//   build/release/bin/bench_lzw --dump-inputs DIR   (writes the inputs for
//                                                   bench/compare-ncompress.sh)

#include "codecs/compressing.h"

#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace {

using kalydor::Compressing;

// A vocabulary of invented words from syllables, used with a skewed frequency as a language's
// words are; std::mt19937 gives the same sequence everywhere, so the inputs are the same on
// every machine.
std::vector<std::string> vocabulary(std::mt19937& random) {
    static const char* const syllables[] = {
        "ra", "di", "a",   "tor", "ca", "lo",  "ri",  "fer", "con", "struc", "ti",  "e",
        "pe", "re", "te",  "zid", "fe", "res", "tra", "u",   "sa",  "la",    "ve",  "ţi",
        "na", "to", "ter", "mo",  "ag", "en",  "ta",  "pom", "pă",  "ca",    "zan", "ă"};
    std::vector<std::string> words;
    for (int i = 0; i < 1500; ++i) {
        std::string word;
        for (auto n = 2 + random() % 3; n > 0; --n)
            word += syllables[random() % std::size(syllables)];
        words.push_back(word);
    }
    return words;
}

// A language file: one item a line, keys in upper case, texts of a few words.
std::string languageFile(std::size_t size) {
    std::mt19937 random(2024);
    const std::vector<std::string> words = vocabulary(random);
    const auto word = [&] {
        // Squaring a uniform number favours the first words of the list.
        const double u = static_cast<double>(random()) / 4294967296.0;
        return words[static_cast<std::size_t>(u * u * static_cast<double>(words.size()))];
    };
    std::string text = "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>\r\n<language "
                       "id=\"Română\">\r\n";
    for (int item = 1; text.size() < size; ++item) {
        std::string key = word();
        for (char& c : key)
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        text += "    <item id=\"IDS_" + key + "_" + std::to_string(item) + "\" value=\"";
        for (auto n = 1 + random() % 9; n > 0; --n)
            text += word() + (n > 1 ? " " : "");
        text += random() % 4 == 0 ? ": %s\"></item>\r\n" : ".\"></item>\r\n";
    }
    text.resize(size);
    return text;
}

// A stored device item: a counted name, a few small integers, then float32 tables of the
// heat output per height and length with their exponents, as a radiator catalogue has them.
std::string deviceRecord(std::size_t size) {
    std::string record;
    const auto putInt16 = [&](int v) {
        record += static_cast<char>(v & 0xFF);
        record += static_cast<char>((v >> 8) & 0xFF);
    };
    const auto putFloat = [&](float v) {
        const auto bits = std::bit_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            record += static_cast<char>((bits >> (8 * i)) & 0xFF);
    };
    const std::string name = "Radiator panou tip 22 / 600";
    putInt16(static_cast<int>(name.size()) + 1);
    record += name;
    record += '\0';
    for (int v : {3, 22, 600, 75, 65, 20})
        putInt16(v);
    for (int type = 0; record.size() < size; ++type) {
        const float basePower = 380.0f + 115.5f * static_cast<float>(type % 7);
        for (const int height : {200, 300, 400, 450, 500, 550, 600, 700, 900}) {
            putInt16(height);
            for (int length = 400; length <= 3000; length += 100) {
                const double h = height / 600.0;
                putFloat(static_cast<float>(basePower * (length / 1000.0) * std::pow(h, 0.85)));
                putFloat(static_cast<float>(1.28 + 0.0125 * h + 0.00001 * length));
            }
        }
    }
    record.resize(size);
    return record;
}

const std::string& languageInput() {
    static const std::string input = languageFile(2 * 1024 * 1024);
    return input;
}

const std::string& recordInput() {
    static const std::string input = deviceRecord(10 * 1024);
    return input;
}

void reportSizes(benchmark::State& state, const std::string& expanded, std::size_t coded) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * expanded.size()));
    state.counters["ratio"] = static_cast<double>(coded) / static_cast<double>(expanded.size());
}

void BM_Encode(benchmark::State& state, const std::string& (*input)()) {
    const std::string& data = input();
    std::size_t coded = 0;
    for (auto _ : state) {
        const std::string code = Compressing::Encode(data);
        coded = code.size();
        benchmark::DoNotOptimize(code.data());
    }
    reportSizes(state, data, coded);
}

void BM_Decode(benchmark::State& state, const std::string& (*input)()) {
    const std::string& data = input();
    const std::string code = Compressing::Encode(data);
    if (Compressing::Decode(code) != data) {
        state.SkipWithError("the coder does not give its input back");
        return;
    }
    for (auto _ : state) {
        const std::string expanded = Compressing::Decode(code);
        benchmark::DoNotOptimize(expanded.data());
    }
    reportSizes(state, data, code.size());
}

BENCHMARK_CAPTURE(BM_Encode, LanguageFile2MB, languageInput)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, LanguageFile2MB, languageInput)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Encode, DeviceRecord10KB, recordInput)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Decode, DeviceRecord10KB, recordInput)->Unit(benchmark::kMicrosecond);

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--dump-inputs") {
        const std::string dir = argv[2];
        if (!writeFile(dir + "/language-file.xml", languageInput()) ||
            !writeFile(dir + "/device-record.bin", recordInput())) {
            std::cerr << "bench_lzw: cannot write the inputs into " << dir << '\n';
            return 1;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
