// The command line on tables treated carelessly: created over, read-only, holding records
// without data or identifiers out of range, with damaged options, imported into twice at once.

#include "base/error.h"
#include "heating/projectoptions.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"

#include "cli/clirun.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kalydor {
namespace {

namespace fs = std::filesystem;
using test::jsonLines;
using test::readFile;
using test::writeFile;

const std::string kMaterials =
    std::string(KALYDOR_SOURCE_DIR) + "/resources/catalogues/materials.txt";
const std::string kConstructions =
    std::string(KALYDOR_SOURCE_DIR) + "/resources/catalogues/constructions.xml";

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

enum class As { Caller, Nobody };

// Runs kalydor-cli with its error stream kept. As Nobody, a program started by root runs as
// the unprivileged user, for whom file permissions hold.
CliResult run(const std::vector<std::string>& args, As as = As::Caller) {
    static int serial = 0;
    const std::string errors =
        (fs::temp_directory_path() /
         ("kalydor-cli-err-" + std::to_string(::getpid()) + "-" + std::to_string(++serial)))
            .string();
    std::string command;
    if (as == As::Nobody && ::geteuid() == 0)
        command = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    command += test::quoted(std::string(KALYDOR_PROGRAM_DIR) + "/kalydor-cli");
    for (const std::string& arg : args)
        command += " " + test::quoted(arg);
    command += " 2>" + test::quoted(errors);
    CliResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = readFile(errors);
    fs::remove(errors);
    return result;
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// "store create" replaced a project of 17 records by an empty one without a question, and
// deleted the material table a running program had open, side files included, with exit 0.
TEST(StoreCreate, KeepsAnExistingTableUnlessAskedAndNeverReplacesOneInUse) {
    test::TempDir dir;
    const std::string project = dir.file("P.db");
    ASSERT_EQ(run({"store", "create", project}).status, 0);
    ASSERT_EQ(run({"store", "resolve", project, "32", "Walls\\Outer"}).status, 0);
    const CliResult refused = run({"store", "create", project});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(project), std::string::npos) << refused.err;
    EXPECT_EQ(lineCount(run({"store", "dump", project}).out), 4u);
    EXPECT_EQ(run({"store", "create", project, "--replace"}).status, 0);
    EXPECT_EQ(lineCount(run({"store", "dump", project}).out), 2u);

    const std::string catalogue = dir.file("material.db");
    fs::copy_file(std::string(KALYDOR_PROGRAM_DIR) + "/material.db", catalogue);
    const std::size_t materials = lineCount(run({"material", "list", catalogue}).out);
    ASSERT_GT(materials, 40u);
    {
        // A running program has the catalogue open.
        ItemStore open(dir.directory(), "material.db", TableMode::Open, TableKind::Catalogue);
        const CliResult inUse = run({"store", "create", catalogue, "--catalogue", "--replace"});
        EXPECT_EQ(inUse.status, 1);
        EXPECT_EQ(open.ListRecords(RecordType::Material).size(), materials);
    }
    EXPECT_EQ(lineCount(run({"material", "list", catalogue}).out), materials);
    EXPECT_EQ(run({"store", "create", catalogue, "--catalogue", "--replace"}).status, 0);
    EXPECT_EQ(lineCount(run({"material", "list", catalogue}).out), 0u);
}

// In a read-only folder "store dump" and "material list" failed ("attempt to write a readonly
// database"); on a read-only file "options dump" and "exchange export" failed with "disk I/O
// error" and left "-wal" and "-shm" files behind.
TEST(ReadOnlyTables, CommandsThatOnlyReadWorkAndLeaveNothingBehind) {
    struct Case {
        const char* what;
        mode_t fileMode;
        mode_t folderMode;
    };
    for (const Case& c :
         {Case{"read-only folder", 0644, 0555}, Case{"read-only file", 0444, 0777}}) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        test::TempDir out;
        ::chmod(out.path().c_str(), 0777);
        const std::string catalogue = dir.file("material.db");
        const std::string project = dir.file("P.db");
        fs::copy_file(std::string(KALYDOR_PROGRAM_DIR) + "/material.db", catalogue);
        ASSERT_EQ(run({"store", "create", project}).status, 0);
        ASSERT_EQ(run({"exchange", "import", project, kConstructions, "--kind", "panel"}).status,
                  0);
        const std::string catalogueBytes = readFile(catalogue);
        const std::string projectBytes = readFile(project);
        for (const std::string& table : {catalogue, project})
            ::chmod(table.c_str(), c.fileMode);
        ::chmod(dir.path().c_str(), c.folderMode);

        const std::vector<std::vector<std::string>> commands = {
            {"store", "dump", catalogue},
            {"material", "list", catalogue},
            {"options", "dump", project},
            {"exchange", "export", catalogue, out.file("m.txt")},
            {"exchange", "export", project, out.file("p.xml"), "--kind", "panel"},
        };
        for (const std::vector<std::string>& command : commands) {
            SCOPED_TRACE(command[0] + " " + command[1]);
            const CliResult answer = run(command, As::Nobody);
            EXPECT_EQ(answer.status, 0) << answer.err;
            EXPECT_FALSE(answer.out.empty());
        }
        EXPECT_NE(readFile(out.file("m.txt")).find("KALYDOR32MATERIAL"), std::string::npos);
        EXPECT_NE(readFile(out.file("p.xml")).find("Kalydor32Panel"), std::string::npos);
        ::chmod(dir.path().c_str(), 0755);
        for (const std::string& table : {catalogue, project}) {
            EXPECT_FALSE(fs::exists(table + "-wal")) << table;
            EXPECT_FALSE(fs::exists(table + "-shm")) << table;
        }
        EXPECT_EQ(readFile(catalogue), catalogueBytes);
        EXPECT_EQ(readFile(project), projectBytes);
    }
}

// A record without data read back as an all-zero "Undefined" material, was exported with
// "unreadable 0" and kept by "--no-to-all" over the real one.
TEST(EmptyRecords, AreUnreadableAndNamedByGroupPathAndName) {
    test::TempDir dir;
    const std::string catalogue = dir.file("m.db");
    ASSERT_EQ(run({"store", "create", catalogue, "--catalogue"}).status, 0);
    ASSERT_EQ(run({"exchange", "import", catalogue, kMaterials}).status, 0);
    {
        ItemStore table(dir.directory(), "m.db", TableMode::Open, TableKind::Catalogue);
        const std::string group = table.GroupOfPath(RecordType::MaterialGroup, "Zidărie", '\\');
        table.AddRecord(RecordType::Material, group, "Cut off");
    }
    const CliResult listed = run({"material", "list", catalogue});
    EXPECT_EQ(listed.status, 1);
    EXPECT_NE(listed.err.find("Zidărie\\Cut off"), std::string::npos) << listed.err;
    EXPECT_EQ(listed.out.find("Cut off"), std::string::npos);

    const CliResult exported = run({"exchange", "export", catalogue, dir.file("out.txt")});
    EXPECT_EQ(exported.status, 1);
    EXPECT_NE(exported.out.find("unreadable 1"), std::string::npos) << exported.out;
    EXPECT_EQ(readFile(dir.file("out.txt")).find("Cut off"), std::string::npos);
}

// Identifiers near the 64-bit limits overflowed the date arithmetic and stopped "store dump"
// and "store resolve" in the sanitizer build. The record is named as unreadable instead.
TEST(StoredIdentifiers, OutOfRangeRecordsAreNamedAndTheCommandsGoOn) {
    for (const char* value : {"9223372036854775807", "-9223372036854775808", "0"}) {
        SCOPED_TRACE(value);
        test::TempDir dir;
        const std::string project = dir.file("P.db");
        ASSERT_EQ(run({"store", "create", project}).status, 0);
        ASSERT_EQ(run({"store", "resolve", project, "32", "Walls"}).status, 0);
        {
            SqliteDatabase db(project, SqliteOpen::ExistingFile);
            db.exec(std::string("UPDATE Items SET ID=") + value + " WHERE Name='Walls'");
        }
        const CliResult dumped = run({"store", "dump", project});
        EXPECT_EQ(dumped.status, 1);
        EXPECT_EQ(jsonLines(dumped.out).size(), 2u); // the header and the options record
        EXPECT_NE(dumped.err.find("\"Walls\""), std::string::npos) << dumped.err;

        const CliResult resolved = run({"store", "resolve", project, "32", "Walls\\Outer"});
        EXPECT_EQ(resolved.status, 1);
        EXPECT_NE(resolved.err.find("\"Walls\""), std::string::npos) << resolved.err;
        EXPECT_EQ(resolved.out, "");
    }
}

// With an options record cut short, importing constructions failed with the read error; with
// one of a newer version it worked. Both alike: the import goes on with the default options
// and says why.
TEST(DamagedOptions, DoNotStopTheImportOfConstructions) {
    for (const bool cutShort : {false, true}) {
        SCOPED_TRACE(cutShort ? "cut short" : "newer version");
        test::TempDir dir;
        const std::string project = dir.file("P.db");
        ASSERT_EQ(run({"store", "create", project}).status, 0);
        {
            ItemStore table(dir.directory(), "P.db", TableMode::Open);
            ASSERT_TRUE(table.FindRecord(RecordType::ProjectOptions, "", ""));
            const std::string record = ProjectOptions().recordBytes();
            table.setCurrentData(cutShort ? record.substr(0, record.size() / 2)
                                          : std::string("\x63\x00", 2) + record.substr(2));
        }
        const CliResult imported =
            run({"exchange", "import", project, kConstructions, "--kind", "panel"});
        EXPECT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(imported.out.rfind("added 10,", 0), 0u) << imported.out;
        EXPECT_FALSE(imported.err.empty());

        const CliResult dumped = run({"options", "dump", project});
        EXPECT_EQ(dumped.status, 1);
        EXPECT_FALSE(dumped.err.empty());
    }
}

// Two imports into one catalogue at once: one stopped part-way with "database is locked"
// (5 of 8 runs). The second waits for the first, and both store everything.
TEST(ConcurrentImports, BothStoreEverything) {
    test::TempDir dir;
    const std::string catalogue = dir.file("m.db");
    ASSERT_EQ(run({"store", "create", catalogue, "--catalogue"}).status, 0);
    std::string command;
    for (const char* group : {"A", "B"}) {
        std::string text;
        for (int i = 0; i < 2000; ++i)
            text += "\"KALYDOR32MATERIAL\" 1\r\n2024 5 6\r\n\"" + std::string(group) +
                    "\"\r\n\"Material " + std::to_string(i) +
                    "\"\r\n1\t0\t\r\n25\t1800\t0.8\t0\t0\t0\t0\t8\t\r\n\r\n";
        const std::string file = dir.file(std::string(group) + ".txt");
        writeFile(file, text + "\"END\"\r\n");
        command += "(" + test::quoted(std::string(KALYDOR_PROGRAM_DIR) + "/kalydor-cli") +
                   " exchange import " + test::quoted(catalogue) + " " + test::quoted(file) +
                   " >/dev/null 2>&1; echo $? >" + test::quoted(file + ".status") + ") &\n";
    }
    command += "wait\n";
    ASSERT_EQ(std::system(("bash -c " + test::quoted(command)).c_str()), 0);
    EXPECT_EQ(readFile(dir.file("A.txt.status")), "0\n");
    EXPECT_EQ(readFile(dir.file("B.txt.status")), "0\n");
    EXPECT_EQ(lineCount(run({"material", "list", catalogue}).out), 4000u);
}

} // namespace
} // namespace kalydor
