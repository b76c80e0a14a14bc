// A project recalculated from the command line: rooms and buildings as JSON, a dry run that
// keeps nothing, and an unreadable record that is named and makes the exit status 1.

#include "cli/clirun.h"
#include "support/tempdir.h"

#include "rooms/building.h"
#include "rooms/room.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace kalydor::test
