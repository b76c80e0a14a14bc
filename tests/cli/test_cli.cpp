#include "cli/clirun.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace kalydor {
namespace {

using test::cli;
using test::CliRun;
using test::jsonLines;
using test::readFile;
using test::writeFile;

TEST(StoreCommands, CreateResolveAndDump) {
    test::TempDir dir;
    const std::string project = dir.file("Project");
    ASSERT_EQ(cli({"store", "create", project}).status, 0);

    const CliRun resolved = cli({"store", "resolve", project + ".db", "32", "Walls\\Outer"});
    EXPECT_EQ(resolved.status, 0);
    EXPECT_EQ(resolved.out, "1901.01.03.\n");
    EXPECT_EQ(cli({"store", "resolve", project, "32", "Walls\\Outer"}).out, "1901.01.03.\n");
    EXPECT_EQ(cli({"store", "resolve", project, "32", ""}).out, "1901.01.01.\n");

    const CliRun dumped = cli({"store", "dump", project});
    ASSERT_EQ(dumped.status, 0);
    const std::vector<nlohmann::json> rows = jsonLines(dumped.out);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], nlohmann::json({{"Type", 0},
                                       {"RefID", "1901.01.01."},
                                       {"ID", "1901.01.03."},
                                       {"Name", "Kalydor-Ro 4.5"},
                                       {"DataSize", 0}}));
    EXPECT_EQ(rows[1]["Type"], 1);
    EXPECT_EQ(rows[2]["Name"], "Walls");
    EXPECT_EQ(rows[3]["Name"], "Outer");
    EXPECT_EQ(rows[3]["RefID"], "1901.01.02.");

    ASSERT_EQ(cli({"store", "create", "--catalogue", dir.file("material.db")}).status, 0);
    EXPECT_EQ(jsonLines(cli({"store", "dump", dir.file("material.db")}).out).size(), 1u);
}

TEST(StoreCommands, ExitStatusTellsUsageFromFailure) {
    test::TempDir dir;
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{}, 2},
        {{"store"}, 2},
        {{"store", "frobnicate"}, 2},
        {{"store", "dump"}, 2},
        {{"store", "resolve", dir.file("P"), "x32", "A"}, 2},
        {{"store", "create", "--bogus", dir.file("P")}, 2},
        {{"store", "dump", dir.file("missing")}, 1},
        {{"store", "resolve", dir.file("missing"), "32", "A"}, 1},
        {{"--help"}, 0},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const std::string& a : c.args)
            joined += a + " ";
        EXPECT_EQ(cli(c.args).status, c.status) << joined;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.db")));
}

TEST(LzwCommands, RoundTripThroughFilesAndADamagedStream) {
    test::TempDir dir;
    // Binary bytes (NUL, CR LF, 0xFF) long enough to widen the codes.
    std::string item;
    for (int i = 0; i < 4000; ++i)
        item += static_cast<char>((i * i + i / 7) % 256);
    item += std::string("\0\r\n\xFF", 4);
    writeFile(dir.file("item.bin"), item);

    ASSERT_EQ(cli({"lzw", "encode", dir.file("item.bin"), dir.file("item.lzw")}).status, 0);
    const std::string coded = readFile(dir.file("item.lzw"));
    EXPECT_LT(coded.size(), item.size());
    ASSERT_EQ(cli({"lzw", "decode", dir.file("item.lzw"), dir.file("back.bin")}).status, 0);
    EXPECT_EQ(readFile(dir.file("back.bin")), item);
    // Without an output file the bytes go to the standard output unchanged.
    EXPECT_EQ(cli({"lzw", "decode", dir.file("item.lzw")}).out, item);

    // A stream cut short fails and writes no output file.
    writeFile(dir.file("cut.lzw"), coded.substr(0, coded.size() / 2));
    EXPECT_EQ(cli({"lzw", "decode", dir.file("cut.lzw"), dir.file("cut.bin")}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("cut.bin")));

    // A named input that cannot seek (a FIFO, a pipe) is read to its end like any file.
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
    std::thread feeder([&] { writeFile(dir.file("fifo"), coded); });
    EXPECT_EQ(cli({"lzw", "decode", dir.file("fifo")}).out, item);
    feeder.join();

    EXPECT_EQ(cli({"lzw", "decode", dir.file("missing.lzw")}).status, 1);
    EXPECT_EQ(cli({"lzw", "encode", dir.file("item.bin"), dir.file("x"), dir.file("y")}).status, 2);
    EXPECT_EQ(cli({"lzw", "decode", "--bogus"}).status, 2);
}

// The largest resident size of the finished child processes so far, in kilobytes.
long childrenPeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

// Whether two files hold the same bytes, read a block at a time.
bool sameFiles(const std::string& a, const std::string& b) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    std::vector<char> x(1 << 16), y(1 << 16);
    while (first && second) {
        first.read(x.data(), static_cast<std::streamsize>(x.size()));
        second.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (first.gcount() != second.gcount() ||
            !std::equal(x.begin(), x.begin() + first.gcount(), y.begin()))
            return false;
    }
    return !first && !second;
}

// The coder streams through fixed buffers: a 50 MB input takes no more memory than a small
// one, in either direction, and comes back unchanged. (A child process starts as a copy of
// this one, so the input is written and compared a block at a time to keep this one small.)
TEST(LzwCommands, LargeInputsStreamInFixedMemory) {
    test::TempDir dir;
    // Text of words drawn from a small vocabulary, as language files and device items are.
    const char* words[] = {"perete ", "exterior ", "caramida ", "tencuiala ", "0.87\t",
                           "1800\t",  "\r\n",      "beton ",    "vata ",      "minerala "};
    {
        std::ofstream file(dir.file("big.txt"), std::ios::binary);
        std::uint32_t state = 12345;
        std::string block;
        for (std::size_t written = 0; written < (50u << 20); written += block.size()) {
            block.clear();
            while (block.size() < (1u << 16)) {
                state = state * 1664525u + 1013904223u;
                block += words[(state >> 16) % 10];
            }
            file.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
    }
    writeFile(dir.file("small.txt"), "kalydor ");
    ASSERT_EQ(cli({"lzw", "encode", dir.file("small.txt"), dir.file("small.lzw")}).status, 0);
    ASSERT_EQ(cli({"lzw", "decode", dir.file("small.lzw"), dir.file("small.back")}).status, 0);
    const long baseline = childrenPeakKilobytes();

    ASSERT_EQ(cli({"lzw", "encode", dir.file("big.txt"), dir.file("big.lzw")}).status, 0);
    ASSERT_EQ(cli({"lzw", "decode", dir.file("big.lzw"), dir.file("big.back")}).status, 0);
    const long peak = childrenPeakKilobytes();
    EXPECT_LT(peak - baseline, 16 * 1024) << "baseline " << baseline << " kB, peak " << peak;
    EXPECT_TRUE(sameFiles(dir.file("big.txt"), dir.file("big.back")));
}

TEST(Cli, VersionIsTheProjectVersion) {
    const CliRun run = cli({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "kalydor-cli " KALYDOR_VERSION "\n");
}

// Every command that writes a file replaces the file a link names and keeps the link and the
// file's permissions; a pipe (standing for any device) is refused and stays what it was.
TEST(WrittenFiles, LinksAreFollowedAndNoRegularFileIsRefused) {
    test::TempDir dir;
    const std::string table = dir.file("m.db");
    ASSERT_EQ(cli({"store", "create", table, "--catalogue"}).status, 0);
    ASSERT_EQ(cli({"exchange", "import", table,
                   std::string(KALYDOR_SOURCE_DIR) + "/resources/catalogues/materials.txt"})
                  .status,
              0);
    writeFile(dir.file("item.bin"), std::string(5000, 'k'));
    ASSERT_EQ(cli({"lzw", "encode", dir.file("item.bin"), dir.file("item.lzw")}).status, 0);
    writeFile(dir.file("panel.json"), R"({"Name": "W", "Type": 0, "InSideAlpha": 8,
        "Layers": [{"Name": "B", "Thickness": 20, "ThermalCond": 0.5, "Density": 1000,
                    "HeatCapacity": 0.9}]})");

    const struct {
        const char* name;
        std::vector<std::string> args; ///< "OUT" stands for the output file
        const char* extension;
    } cases[] = {
        {"text export", {"exchange", "export", table, "OUT"}, ".txt"},
        {"XML export", {"exchange", "export", table, "OUT"}, ".xml"},
        {"lzw encode", {"lzw", "encode", dir.file("item.bin"), "OUT"}, ""},
        {"lzw decode", {"lzw", "decode", dir.file("item.lzw"), "OUT"}, ""},
        {"panel export", {"panel", "calc", dir.file("panel.json"), "--export", "OUT"}, ".txt"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string tag = std::to_string(++n) + c.extension;
        const auto argsFor = [&](const std::string& out) {
            std::vector<std::string> args = c.args;
            std::replace(args.begin(), args.end(), std::string("OUT"), out);
            return args;
        };

        // A link to a file that only its owner and group may read.
        const std::string real = dir.file("real" + tag);
        const std::string link = dir.file("link" + tag);
        writeFile(real, "old");
        ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
        std::filesystem::create_symlink(real, link);
        EXPECT_EQ(cli(argsFor(link)).status, 0);
        EXPECT_TRUE(std::filesystem::is_symlink(link));
        EXPECT_NE(readFile(real), "old");
        struct stat status {};
        ASSERT_EQ(::stat(real.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0640u);

        // A pipe with a reader: a writer that opened it would not even block.
        const std::string pipe = dir.file("pipe" + tag);
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
        const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
        EXPECT_EQ(cli(argsFor(pipe)).status, 1);
        ::close(reader);
        EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(pipe)));
    }
}

TEST(LanguageCommands, ListAndTextOfTheShippedLanguages) {
    const CliRun listed = cli({"lang", "list"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.out.find("Român\tyes\n"), std::string::npos);
    EXPECT_NE(listed.out.find("English\tyes\n"), std::string::npos);
    const CliRun text = cli({"lang", "text", "IDS_WRONGVALUE", "--lang", "English"});
    EXPECT_EQ(text.status, 0);
    EXPECT_FALSE(text.out.empty());
    EXPECT_EQ(cli({"lang", "text", "IDS_NO_SUCH_KEY"}).status, 1);
    EXPECT_EQ(cli({"lang", "text", "IDS_WRONGVALUE", "--lang", "Klingon"}).status, 1);
    EXPECT_EQ(cli({"lang", "text"}).status, 2);
}

TEST(LanguageCommands, DirectoryOptionChoosesWhereLanguagesAreLoaded) {
    test::TempDir dir;
    writeFile(dir.file("Test.xml"), "<kalydorlanguage><language id=\"Testish\" "
                                    "UserInterface=\"no\"></language><strings><item "
                                    "id=\"IDS_A\" value=\"a text\"></item></strings>"
                                    "</kalydorlanguage>");
    EXPECT_EQ(cli({"lang", "list", "--dir", dir.path().string()}).out, "Testish\tno\n");
    EXPECT_EQ(cli({"lang", "text", "IDS_A", "--dir", dir.path().string(), "--lang", "Testish"}).out,
              "a text\n");
    EXPECT_EQ(cli({"lang", "list", "--dir", dir.file("none")}).out, "");
}

} // namespace
} // namespace kalydor
