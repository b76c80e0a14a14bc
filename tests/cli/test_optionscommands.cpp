#include "store/itemkinds.h"
#include "store/itemstore.h"

#include "cli/clirun.h"
#include "support/tempdir.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace kalydor {
namespace {

using test::cli;
using test::CliRun;

std::string fixture(const std::string& name) {
    std::ifstream file(std::string(KALYDOR_TEST_DATA) + "/heating/" + name, std::ios::binary);
    if (!file)
        throw std::runtime_error("missing fixture " + name);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A project table whose options record holds the given bytes.
std::string projectWithOptions(const test::TempDir& dir, const std::string& record) {
    ItemStore project(dir.directory(), "Project", TableMode::Create);
    EXPECT_TRUE(project.FindRecord(RecordType::ProjectOptions, "", ""));
    project.setCurrentData(record);
    return project.path();
}

// Every field of a record written from the stored layout by another writer appears under its
// own name with its own value.
TEST(OptionsCommands, DumpShowsEveryFieldByName) {
    test::TempDir dir;
    const std::string project = projectWithOptions(dir, fixture("projektoptions-v13.bin"));
    const CliRun run = cli({"options", "dump", project});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(nlohmann::json::parse(run.out),
              nlohmann::json::parse(fixture("projektoptions-v13.json")));
}

TEST(OptionsCommands, EmptyRecordShowsTheDefaultsWithFloatsAsTyped) {
    test::TempDir dir;
    const std::string project = projectWithOptions(dir, "");
    const CliRun run = cli({"options", "dump", project});
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\"AirChangeFact\": 0.8,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"Nu\": 3.673e-07,"), std::string::npos) << run.out;
    const nlohmann::json options = nlohmann::json::parse(run.out);
    EXPECT_TRUE(options["Version"].is_null());
    EXPECT_EQ(options["Heating"]["OutSideTemp"], -15.0);
    EXPECT_EQ(options["Point"]["Zeta"].size(), 8u);
    EXPECT_EQ(options["Radiator"]["HydraulicOptions"]["AvailablePressure"], 10000.0);
}

// Nothing is printed but what is wrong: the English text with its key in brackets.
TEST(OptionsCommands, UnreadableOptionsAreAnError) {
    const struct {
        std::string record;
        std::string message;
    } cases[] = {
        {std::string("\x0e\x00\x00\x00", 4),
         "have the version 14, which this program does not know; they are not shown. "
         "[IDS_OPTIONSNOTSHOWN]"},
        {fixture("projektoptions-v13.bin").substr(0, 500),
         "The stored data end prematurely: the record is damaged. [IDS_DATAREADERROR]"},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const std::string project = projectWithOptions(dir, c.record);
        const CliRun run = cli({"options", "dump", project});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(cli({"options", "dump"}).status, 2);
}

} // namespace
} // namespace kalydor
