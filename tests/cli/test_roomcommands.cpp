// The heating load of rooms from the command line: the worked room's figures, warnings that
// do not change the exit status, and input that is refused by name.

#include "cli/clirun.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kalydor::test {
namespace {

const std::string kRooms = std::string(KALYDOR_TEST_DATA) + "/room/worked.json";

TEST(RoomCommands, TheWorkedRoomAndItsWarnings) {
    const CliRun run = cli({"room", "calc", kRooms, "--lang", "English"});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json rooms = nlohmann::json::parse(run.out);
    ASSERT_EQ(rooms.size(), 2u);
    const nlohmann::json& office = rooms[0];
    EXPECT_EQ(office["Name"], "Birou");
    EXPECT_EQ(office["TransPower"], 734.0);
    EXPECT_EQ(office["CalculatedFiltPower"], 375.0);
    EXPECT_EQ(office["HeatingPower"], 1109.0);
    EXPECT_EQ(office["SunShinePower"], 72.0);
    EXPECT_EQ(office["AcComputed"], 7.9);
    EXPECT_EQ(office["AcUsed"], 7.9);
    EXPECT_NEAR(office["Rm"].get<double>(), 1.78088, 1e-5);
    EXPECT_EQ(office["AirTempUsed"], -15.0);
    EXPECT_EQ(office["Mass2"], 11150.0);
    EXPECT_EQ(office["Boundaries"][3]["HeatLoss"], 172.0);
    EXPECT_EQ(office["Boundaries"][0]["GrossArea"], 12.5);
    EXPECT_TRUE(office["Warnings"].empty());

    // The hall: a floor without ns (edges left out: 10 × (20 − 10) / 2 = 50 W) and a negative
    // wind speed; a result key in the input is recomputed.
    const nlohmann::json& hall = rooms[1];
    EXPECT_EQ(hall["Boundaries"][0]["HeatLoss"], 50.0);
    EXPECT_EQ(hall["Warnings"].size(), 2u);
    EXPECT_TRUE(hall["Rm"].is_number());

    // The project's outside temperature moves te and the entering air.
    const CliRun colder =
        cli({"room", "calc", kRooms, "--project-outside-temp", "-20", "--lang", "English"});
    ASSERT_EQ(colder.status, 0);
    EXPECT_EQ(nlohmann::json::parse(colder.out)[0]["AirTempUsed"], -20.0);
}

TEST(RoomCommands, RefusedInput) {
    TempDir dir;
    const std::string file = dir.file("room.json");
    struct Case {
        const char* json;
        const char* message;
    };
    const Case cases[] = {
        {R"({"Name": "A", "Aria": 20})", "Aria"},
        {R"({"Name": "A", "Boundaries": [{"Name": "W", "Typ": 0}]})", "boundary 1 \"W\""},
        {R"({"Name": "A", "Boundaries": [{"Type": "Wall"}]})", "Type"},
        {R"({"Name": "A", "FiltMode": 1.5})", "FiltMode"},
        {R"({"Name": "A", "NumOfMens": 40000})", "NumOfMens"},
        {R"({"Name": "A", "Boundaries": [{"Covering": [1, 2]}]})", "Covering"},
        {R"({"Name": "A", "Area": "big"})", "Area"},
    };
    for (const Case& c : cases) {
        std::ofstream(file, std::ios::binary) << c.json;
        const CliRun run = cli({"room", "calc", file, "--lang", "English"});
        EXPECT_EQ(run.status, 1) << c.json;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.json << "\n" << run.err;
    }
    EXPECT_EQ(cli({"room", "calc"}).status, 2);
    EXPECT_EQ(cli({"room", "calc", kRooms, "--project-outside-temp", "cold"}).status, 2);
    EXPECT_EQ(cli({"room", "calc", kRooms, "--frost"}).status, 2);
}

} // namespace
} // namespace kalydor::test
