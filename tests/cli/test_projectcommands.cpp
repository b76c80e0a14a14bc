// A project recalculated from the command line: rooms and buildings as JSON, a dry run that
// keeps nothing, an unreadable record that is named and makes the exit status 1, an older
// project converted only when asked; and buildings and rooms imported from JSON, all or
// nothing.

#include "cli/clirun.h"
#include "support/tempdir.h"

#include "rooms/building.h"
#include "rooms/room.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace kalydor::test {
namespace {

class ProjectCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ItemStore project(dir.path().string(), "casa.db", TableMode::Create, TableKind::Project);
        Building a;
        a.Name = "Casa";
        const std::string casa =
            project.AddRecord(RecordType::Building, project.RootId(), "Casa", a.recordBytes());
        Building b;
        b.Name = "Etaj";
        b.ParentID = casa;
        const std::string etaj =
            project.AddRecord(RecordType::Building, project.RootId(), "Etaj", b.recordBytes());
        const std::string group = project.GroupOfPath(RecordType::RoomGroup, "Parter", '\\');
        addRoom(project, group, "Living", casa, 20);
        addRoom(project, group, "Dormitor", etaj, 12);
        file = dir.file("casa.db");
    }

    static void addRoom(ItemStore& project, const std::string& group, const std::string& name,
                        const std::string& building, float area) {
        Room room;
        room.Name = name;
        room.BuildingRef = building;
        room.Area = area;
        room.Height = 2.5f;
        room.FiltMode = 0;
        room.AirChangeFact = 0.5f;
        Boundary wall;
        wall.Name = "Perete";
        wall.Type = 0;
        wall.db = 1;
        wall.x = 4;
        wall.y = 2.5f;
        wall.k = 2;
        wall.Massivitate = 1;
        room.Boundaries = {wall};
        project.AddRecord(RecordType::Room, group, name, room.recordBytes());
    }

    std::map<std::string, std::string> records() {
        ItemStore project(dir.path().string(), "casa.db", TableMode::ReadOnly, TableKind::Project);
        std::map<std::string, std::string> bytes;
        for (const std::int16_t type : {RecordType::Room, RecordType::Building})
            project.scanRecords(
                type, [&](const Reference& r, const std::string& data) { bytes[r.Name] = data; });
        return bytes;
    }

    TempDir dir;
    std::string file;
};

TEST_F(ProjectCommands, RecalculatesRoomsAndTotalsBuildings) {
    const std::map<std::string, std::string> before = records();
    const CliRun dry = cli({"project", "calc", file, "--dry-run", "--lang", "English"});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(records(), before); // a dry run keeps nothing

    const CliRun run = cli({"project", "calc", file, "--lang", "English"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, dry.out); // and shows what a real run stores
    const nlohmann::json out = nlohmann::json::parse(run.out);
    ASSERT_EQ(out["Rooms"].size(), 2u);
    const nlohmann::json& living =
        out["Rooms"][0]["Name"] == "Living" ? out["Rooms"][0] : out["Rooms"][1];
    EXPECT_EQ(living["Group"], "Parter\\");
    EXPECT_EQ(living["Building"], "Casa");
    // Wall 10 m² / 2 × 35 = 175 W, Rm = 35 × 10 / 175 = 2 → Ac 7.4 %: 187.95 → 188 W;
    // ventilation 35 × 25 × 1.2 / 3.6 = 291.67 × 1.074 = 313.25 → 313 W.
    EXPECT_EQ(living["HeatingPower"], 501.0);
    EXPECT_EQ(living["Boundaries"][0]["HeatLoss"], 175.0);
    const nlohmann::json& casa =
        out["Buildings"][0]["Name"] == "Casa" ? out["Buildings"][0] : out["Buildings"][1];
    const nlohmann::json& etaj =
        out["Buildings"][0]["Name"] == "Casa" ? out["Buildings"][1] : out["Buildings"][0];
    EXPECT_EQ(etaj["Parent"], "Casa");
    EXPECT_EQ(casa["RoomCount"], 2);
    EXPECT_EQ(etaj["RoomCount"], 1);
    EXPECT_EQ(casa["HeatingLoss"].get<double>(),
              501.0 + etaj["HeatingLoss"].get<double>()); // the floor's rooms count above
    EXPECT_TRUE(out["Unreadable"].empty());
    EXPECT_NE(records(), before);
}

TEST_F(ProjectCommands, AnUnreadableRoomIsNamedAndSkipped) {
    {
        ItemStore project(dir.path().string(), "casa.db", TableMode::Open, TableKind::Project);
        const std::string group = project.GroupOfPath(RecordType::RoomGroup, "Parter", '\\');
        project.AddRecord(RecordType::Room, group, "Stricat", std::string("\x37\x00\x01", 3));
    }
    const CliRun run = cli({"project", "calc", file, "--lang", "English"});
    EXPECT_EQ(run.status, 1);
    const nlohmann::json out = nlohmann::json::parse(run.out);
    EXPECT_EQ(out["Unreadable"], nlohmann::json({"Stricat"}));
    EXPECT_EQ(out["Rooms"].size(), 2u);

    EXPECT_EQ(cli({"project", "calc"}).status, 2);
    EXPECT_EQ(cli({"project", "calc", dir.file("none.db")}).status, 1);
}

TEST_F(ProjectCommands, AnOlderProjectIsConvertedOnlyWhenAsked) {
    {
        ItemStore project(dir.path().string(), "casa.db", TableMode::Open, TableKind::Project);
        project.database().exec("UPDATE Items SET Name='Kalydor-Ro 4.0' WHERE Type=0");
    }
    const std::map<std::string, std::string> before = records();
    const CliRun refused = cli({"project", "calc", file, "--lang", "English"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--convert"), std::string::npos) << refused.err;
    EXPECT_EQ(records(), before);

    const CliRun converted = cli({"project", "calc", file, "--convert", "--lang", "English"});
    ASSERT_EQ(converted.status, 0) << converted.err;
    EXPECT_EQ(nlohmann::json::parse(converted.out)["Rooms"].size(), 2u);
    ItemStore project(dir.path().string(), "casa.db", TableMode::ReadOnly, TableKind::Project);
    EXPECT_EQ(project.headerName(), "Kalydor-Ro 4.5");
}

TEST_F(ProjectCommands, ImportsBuildingsAndRoomsAllOrNothing) {
    const auto write = [&](const std::string& name, const nlohmann::json& content) {
        std::ofstream(dir.file(name)) << content.dump();
        return dir.file(name);
    };
    const nlohmann::json wall = {{"Name", "Perete"}, {"Type", 0}, {"db", 1},         {"x", 5},
                                 {"y", 2.5},         {"k", 2},    {"Massivitate", 1}};
    const nlohmann::json good = {
        {"Buildings",
         {{{"Name", "Mansarda"}, {"Parent", "Vila"}, {"Group", "Noi"}},
          {{"Name", "Vila"}, {"SettlementName", "Cluj-Napoca"}, {"Compass", 30}}}},
        {"Rooms",
         {{{"Name", "Birou"},
           {"Group", "Etaj\\Est"},
           {"Building", "Mansarda"},
           {"FiltMode", 3},
           {"FiltPower", 100},
           {"AcCalculated", 0},
           {"Boundaries", {wall}}}}}};
    const CliRun run =
        cli({"project", "import-json", file, write("good.json", good), "--lang", "English"});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json out = nlohmann::json::parse(run.out);
    nlohmann::json birou, mansarda, vila;
    for (const nlohmann::json& room : out["Rooms"])
        if (room["Name"] == "Birou")
            birou = room;
    for (const nlohmann::json& building : out["Buildings"]) {
        if (building["Name"] == "Mansarda")
            mansarda = building;
        if (building["Name"] == "Vila")
            vila = building;
    }
    EXPECT_EQ(birou["Group"], "Etaj\\Est\\");
    EXPECT_EQ(birou["Building"], "Mansarda");
    // 12.5 m² of wall with R 2 at 35 K and the known ventilation heat, calculated here.
    EXPECT_EQ(birou["HeatingPower"], 319.0);
    EXPECT_EQ(mansarda["Parent"], "Vila");
    EXPECT_EQ(mansarda["Group"], "Noi\\");
    EXPECT_EQ(mansarda["HeatingLoss"], 319.0);
    EXPECT_EQ(vila["HeatingLoss"], 319.0); // the rooms of the building below count
    EXPECT_EQ(vila["Compass"], 30);
    EXPECT_GT(vila["SettlementTemp"].get<double>(), 0.0); // the climate of the settlement

    // Each refusal keeps the project as it was.
    const std::map<std::string, std::string> before = records();
    const struct {
        const char* name;
        nlohmann::json content;
        std::vector<std::string> extra;
    } refused[] = {
        {"taken name", {{"Buildings", {{{"Name", "Vila"}}}}}, {}},
        {"unknown parent", {{"Buildings", {{{"Name", "Nou"}, {"Parent", "Nimeni"}}}}}, {}},
        {"loop", {{"Buildings", {{{"Name", "Vila"}, {"Parent", "Mansarda"}}}}}, {"--replace"}},
        {"bad value",
         {{"Rooms", {{{"Name", "Hol"}, {"Area", "mare"}}}}, {"Buildings", {{{"Name", "Garaj"}}}}},
         {}},
        {"unknown key", {{"Name", "Hol"}, {"Arie", 3}}, {}},
        {"group name too long", {{"Name", "Hol"}, {"Group", std::string(40, 'G')}}, {}},
        {"radiator's return above its forward",
         {{"Name", "Hol"}, {"Radiators", {{{"Mark", "R1"}, {"Forward", 55}, {"Return", 70}}}}},
         {}},
        {"radiator of unknown key", {{"Name", "Hol"}, {"Radiators", {{{"Putere", 900}}}}}, {}},
        {"construction the project has not",
         {{"Name", "Hol"}, {"Boundaries", {{{"Construction", "Nu există"}}}}},
         {}},
        {"construction and kind both given",
         {{"Name", "Hol"}, {"Boundaries", {{{"Construction", "Perete"}, {"Type", 1}}}}},
         {}},
    };
    for (const auto& c : refused) {
        std::vector<std::string> args = {"project", "import-json", file,
                                         write(std::string(c.name) + ".json", c.content)};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CliRun bad = cli(args);
        EXPECT_EQ(bad.status, 1) << c.name << ": " << bad.out;
        EXPECT_FALSE(bad.err.empty()) << c.name;
        EXPECT_EQ(records(), before) << c.name;
    }

    // Replacing keeps the record's identifier; a room given as `room calc` reads it is added.
    const CliRun replaced =
        cli({"project", "import-json", file,
             write("replace.json", {{"Buildings", {{{"Name", "Vila"}}}}}), "--replace"});
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    const CliRun single =
        cli({"project", "import-json", file,
             write("single.json", {{"Name", "Hol"}, {"Building", "Vila"}, {"Area", 6}})});
    ASSERT_EQ(single.status, 0) << single.err;
    const nlohmann::json after = nlohmann::json::parse(single.out);
    for (const nlohmann::json& building : after["Buildings"]) {
        if (building["Name"] == "Vila") {
            EXPECT_EQ(building["ID"], vila["ID"]);
        }
    }
    EXPECT_EQ(after["Rooms"].size(), 4u);
    EXPECT_EQ(cli({"project", "import-json", file}).status, 2);
}

} // namespace
} // namespace kalydor::test
