// The command line on tables treated carelessly: holding identifiers out of range.

#include "base/error.h"
#include "store/datamodule.h"
#include "store/itemkinds.h"
#include "store/sqlitedatabase.h"

#include "cli/clirun.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace kalydor {
namespace {

namespace fs = std::filesystem;
using test::jsonLines;
using test::readFile;

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

} // namespace
} // namespace kalydor
