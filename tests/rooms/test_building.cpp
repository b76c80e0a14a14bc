// Buildings: their record in every version, the climate from the settlement list, and the
// project-wide recalculation against the collection of one building's rooms.

#include "rooms/building.h"
#include "rooms/buildingstable.h"
#include "rooms/projectconversion.h"
#include "rooms/projectrecalculation.h"

#include "base/error.h"
#include "platform/scriptedprompter.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"
#include "store/storehooks.h"

#include "heating/radiatorfixtures.h"
#include "rooms/roomfixtures.h"
#include "support/errorkey.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

using test::Bytes;
using testing::errorKey;

std::string written(Building& b) {
    MemoryStream out;
    b.WriteRecord(out, VersionWord::Without);
    return out.bytes();
}

std::string hours(int components) {
    Bytes b;
    for (int h = 0; h < 24; ++h)
        for (int c = 0; c < components; ++c)
            b.f32(static_cast<float>(h * 10 + c));
    return b;
}

class BuildingRecord : public ::testing::Test {
protected:
    test::FakeLanguage language{{"IDS_VERSIONERR", "Version %d is unknown."}};
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
};

TEST_F(BuildingRecord, EveryVersion) {
    const std::string main =
        Bytes().i16(2).i16(0).i16(1).i16(45).f32(3).f32(12000).f32(410).s("B-0001").raw(hours(8));
    const std::string settlement = Bytes().s("Cluj-Napoca").i16(1).f32(410).f32(21).f32(6.5f);
    const std::string current = Bytes().chunk(1, main).chunk(3, settlement).i16(0);
    Building b;
    MemoryStream in(Bytes().chunk(1, main).chunk(9, "later").chunk(3, settlement).i16(0).str());
    ASSERT_TRUE(b.ReadRecord(in, 53));
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(b.Pollution, 2);
    EXPECT_EQ(b.Compass, 45);
    EXPECT_EQ(b.HeatingLoss, 12000.0f);
    EXPECT_EQ(b.ParentID, "B-0001");
    EXPECT_EQ(b.SettlementName, "Cluj-Napoca");
    EXPECT_EQ(b.SettlementSwing, 6.5f);
    EXPECT_EQ(written(b), current); // the unknown chunk is skipped, not kept

    struct Old {
        int version;
        std::string record;
        float summer;
        std::string parent;
        float air; // component 4 of hour 1
    };
    const Old old[] = {
        {50, Bytes().i16(1).i16(1).i16(0).i16(90).f32(500).f32(300).raw(hours(7)), 0, "", 0},
        {51, Bytes().i16(1).i16(1).i16(0).i16(90).f32(500).f32(300).raw(hours(8)).s("P"), 0, "P",
         14},
        {52, Bytes().i16(1).i16(1).i16(0).i16(90).f32(7).f32(500).f32(300).raw(hours(8)).s("P"), 7,
         "P", 14},
    };
    for (const Old& o : old) {
        Building read;
        MemoryStream oldIn(o.record);
        ASSERT_TRUE(read.ReadRecord(oldIn, static_cast<std::int16_t>(o.version))) << o.version;
        EXPECT_EQ(oldIn.remaining(), 0u) << o.version;
        EXPECT_EQ(read.HeatingLoss, 500.0f) << o.version;
        EXPECT_EQ(read.SummerValue, o.summer) << o.version;
        EXPECT_EQ(read.ParentID, o.parent) << o.version;
        EXPECT_EQ(read.CoolingLoad.values[1][4], o.air) << o.version;
    }
    for (std::size_t cut = 0; cut < current.size(); cut += 37) {
        Building damaged;
        MemoryStream part(current.substr(0, cut));
        EXPECT_EQ(errorKey([&] { (void)damaged.ReadRecord(part, 53); }), "IDS_DATAREADERROR");
        EXPECT_TRUE(damaged.loadFailed());
    }
    Building newer;
    MemoryStream again(current);
    EXPECT_FALSE(newer.ReadRecord(again, 54));
    EXPECT_EQ(prompter.messages(), std::vector<std::string>{"Version 54 is unknown."});
}

TEST(BuildingClimate, FromTheSettlementListOrTheAltitude) {
    test::FakeLanguage language{{"IDS_SETTLEMENTNAME+0", "Constanța, Mangalia;25;24;23;22;4.5"},
                                {"IDS_SETTLEMENTNAME+1", "Broken;1;2"},
                                {"IDS_SETTLEMENTNAME+2", "Cluj-Napoca;20;19;18;17;6.5"}};
    const std::vector<SettlementEntry> list = settlementList();
    ASSERT_EQ(list.size(), 2u); // the entry with too few values is left out
    struct Case {
        const char* name;
        const char* settlement;
        std::int16_t category;
        float seaLevel;
        float temp, swing;
    };
    const Case cases[] = {
        {"not in the list: 18 − 2 + 4", "Sat", 1, 200, 20, 7},
        {"not in the list, category 0", "Sat", 0, 500, 23, 7},
        {"not in the list, category 4 keeps the value", "Sat", 4, 200, 99, 7},
        {"in the list by its second name, trimmed", " Mangalia ", 2, 0, 23, 4.5f},
        {"in the list, category 4", "Cluj-Napoca", 4, 0, 6.5f, 6.5f},
        {"in the list, category 5 keeps the value", "Cluj-Napoca", 5, 0, 99, 6.5f},
        {"a different case is another name", "cluj-napoca", 0, 500, 23, 7},
    };
    for (const Case& c : cases) {
        Building b;
        b.SettlementName = c.settlement;
        b.BuildingCategory = c.category;
        b.SeaLevel = c.seaLevel;
        b.SettlementTemp = 99;
        b.SetClimate(list);
        EXPECT_FLOAT_EQ(b.SettlementTemp, c.temp) << c.name;
        EXPECT_FLOAT_EQ(b.SettlementSwing, c.swing) << c.name;
    }
}

// A project with a tree of buildings A > B > C, a pair D <-> E whose parents loop (an old
// file), and rooms in each, one with its heating flag off, one of zero area, one whose
// building is gone and one that cannot be read.
class ProjectFixture : public ::testing::Test {
protected:
    void SetUp() override {
        project = std::make_unique<ItemStore>(dir.path().string(), "project", TableMode::Create,
                                              TableKind::Project);
        roomGroup = project->GroupOfPath(RecordType::RoomGroup, "Etaj 1", '\\');
        a = addBuilding("A", "");
        b = addBuilding("B", a);
        c = addBuilding("C", b);
        d = addBuilding("D", "");
        e = addBuilding("E", d);
        setParent("D", e);
        addRoom("A1", a, 4, 3);
        addRoom("B1", b, 5, 4);
        addRoom("C1", c, 3, 3);
        addRoom("C2", c, 6, 2);
        addRoom("C off", c, 5, 5, 2);
        addRoom("C bare", c, 0, 0);
        addRoom("D1", d, 4, 4);
        addRoom("E1", e, 2, 5);
        addRoom("Gone", "19991231000000001", 4, 4);
        project->AddRecord(RecordType::Room, roomGroup, "Damaged", std::string("\x37\x00\x01", 3));
    }

    std::string addBuilding(const std::string& name, const std::string& parent) {
        Building building;
        building.Name = name;
        building.ParentID = parent;
        return project->AddRecord(RecordType::Building, project->RootId(), name,
                                  building.recordBytes());
    }

    void setParent(const std::string& name, const std::string& parent) {
        ASSERT_TRUE(project->FindRecord(RecordType::Building, project->RootId(), name));
        Building building;
        MemoryStream in(project->currentData());
        const std::int16_t version = readInt16(in);
        ASSERT_TRUE(building.ReadRecord(in, version));
        building.ParentID = parent;
        project->setCurrentData(building.recordBytes());
    }

    // A room of x × 2.5 m outside wall per metre of `length` and an area.
    void addRoom(const std::string& name, const std::string& building, float length, float area,
                 std::int16_t calcFlags = 3) {
        Room room;
        room.Name = name;
        room.BuildingRef = building;
        room.Area = area;
        room.Height = 2.5f;
        room.CalcFlags = calcFlags;
        room.FiltMode = 9;
        Boundary wall = test::boundary("W", 0, length, 2.5f, 1.3f);
        wall.Mass = 200;
        room.Boundaries = {wall};
        Radiator radiator;
        radiator.setPower(100 * length);
        room.Radiators = {radiator};
        project->AddRecord(RecordType::Room, roomGroup, name, room.recordBytes());
    }

    Building load(const std::string& name) {
        EXPECT_TRUE(project->FindRecord(RecordType::Building, project->RootId(), name));
        Building building;
        building.Name = name;
        building.ID = project->current().ID;
        MemoryStream in(project->currentData());
        const std::int16_t version = readInt16(in);
        EXPECT_TRUE(building.ReadRecord(in, version));
        return building;
    }

    std::map<std::string, std::string> allBytes() { return test::roomAndBuildingBytes(*project); }

    test::TempDir dir;
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
    std::unique_ptr<ItemStore> project;
    std::string roomGroup, a, b, c, d, e;
};

TEST_F(ProjectFixture, RecalculationTotalsEveryBuildingAsItsOwnCollectionDoes) {
    const RecalculationResult result = RecalculateProject(*project, {-15, {}});
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.rooms, 9u);
    EXPECT_EQ(result.buildings, 5u);
    EXPECT_EQ(result.unreadable, std::vector<std::string>{"Damaged"});

    // Each wall: 1.3 Massivitate… the loss is what the rooms computed; the totals are checked
    // against a collection of each building on its own, to the bit.
    for (const char* name : {"A", "B", "C", "D", "E"}) {
        Building stored = load(name);
        Building collected = stored;
        const CollectedRooms rooms = CollectRooms(*project, collected, true);
        EXPECT_EQ(stored.HeatingLoss, collected.HeatingLoss) << name;
        EXPECT_EQ(stored.CalculatedMass, collected.CalculatedMass) << name;
        if (std::string(name) == "A") {
            EXPECT_EQ(rooms.own.size(), 1u);
            EXPECT_EQ(rooms.descendants.size(), 2u);
            EXPECT_EQ(rooms.descendantRooms.size(), 5u);
        }
    }
    // A counts its own room, B's and C's; C's room with the heating flag off counts nowhere.
    const Building A = load("A"), B = load("B"), C = load("C");
    EXPECT_GT(C.HeatingLoss, 0.0f);
    EXPECT_GT(B.HeatingLoss, C.HeatingLoss);
    EXPECT_GT(A.HeatingLoss, B.HeatingLoss);
    // C: mass 200 kg/m² × walls of 3, 6 and 0 m × 2.5 m over 3 + 2 + 0 m² of floor.
    EXPECT_EQ(C.CalculatedMass, std::floor(200 * 2.5 * (3 + 6) / 5.0));

    // The loop D <-> E ends: each counts the other's rooms once.
    const Building D = load("D"), E = load("E");
    EXPECT_EQ(D.HeatingLoss, E.HeatingLoss);
}

TEST_F(ProjectFixture, AStoppedRecalculationLeavesEveryRecordAsItWas) {
    const std::map<std::string, std::string> before = allBytes();
    for (const std::size_t stopAt : {1u, 9u, 12u}) {
        const RecalculationResult result = RecalculateProject(
            *project, {-20, {}}, [&](std::size_t done, std::size_t) { return done < stopAt; });
        EXPECT_TRUE(result.stopped) << stopAt;
        EXPECT_EQ(allBytes(), before) << stopAt;
    }
    const RecalculationResult recollected =
        RecollectBuildings(*project, [](std::size_t done, std::size_t) { return done < 3; });
    EXPECT_TRUE(recollected.stopped);
    EXPECT_EQ(allBytes(), before);
}

TEST_F(ProjectFixture, ABuildingIsNotDeletedUnderItsRoomsOrParts) {
    registerRoomItems({});
    const std::string empty = addBuilding("Empty", "");
    // A room that cannot be read may belong to any building: nothing is deleted.
    EXPECT_TRUE(BuildingHasReferences(*project, empty));
    ASSERT_TRUE(project->DeleteItem(RecordType::Room, roomGroup, "Damaged"));
    EXPECT_FALSE(BuildingHasReferences(*project, empty));
    EXPECT_TRUE(BuildingHasReferences(*project, a)); // B is below it
    EXPECT_TRUE(BuildingHasReferences(*project, c)); // its own rooms

    EXPECT_FALSE(project->DeleteItem(RecordType::Building, project->RootId(), "C"));
    EXPECT_TRUE(project->FindRecord(RecordType::Building, project->RootId(), "C"));
    EXPECT_TRUE(project->DeleteItem(RecordType::Building, project->RootId(), "Empty"));
    EXPECT_FALSE(project->FindRecord(RecordType::Building, project->RootId(), "Empty"));
    storeHooks().mayDeleteItem = {};
    storeHooks().convertProject = {};
}

// An old project: buildings in groups, rooms naming their building by its name.
TEST(ProjectConversion, BuildingsToTheRootAndRoomsLinkedByName) {
    test::TempDir dir;
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
    ItemStore project(dir.path().string(), "old", TableMode::Create, TableKind::Project);
    const std::string first = project.GroupOfPath(RecordType::BuildingGroup, "Vechi 1", '\\');
    const std::string second = project.GroupOfPath(RecordType::BuildingGroup, "Vechi 2", '\\');
    for (const std::string& group : {first, second}) {
        Building building;
        building.Name = "Bloc";
        building.SettlementName = group == first ? "Cluj-Napoca" : "Iași";
        project.AddRecord(RecordType::Building, group, "Bloc", building.recordBytes());
    }
    const std::string rooms = project.GroupOfPath(RecordType::RoomGroup, "Etaj", '\\');
    for (const auto& [name, building] : {std::pair{"Birou", "Bloc"}, std::pair{"Hol", "Altul"}}) {
        Room room;
        room.Name = name;
        room.BuildingRef = building;
        project.AddRecord(RecordType::Room, rooms, name, room.recordBytes());
    }
    const auto roomOf = [&](const std::string& name) {
        EXPECT_TRUE(project.FindRecord(RecordType::Room, rooms, name));
        MemoryStream in(project.currentData());
        const std::int16_t version = readInt16(in);
        Room room;
        EXPECT_TRUE(room.ReadRecord(in, version));
        return room;
    };

    EXPECT_TRUE(ConvertProjectItems(project, false).renamed.empty()); // a later old format
    EXPECT_EQ(roomOf("Birou").BuildingRef, "Bloc");

    std::vector<std::pair<std::size_t, std::size_t>> steps;
    const ConversionResult result =
        ConvertProjectItems(project, true, [&](std::size_t done, std::size_t total) {
            steps.emplace_back(done, total);
        });
    EXPECT_EQ(result.renamed, std::vector<std::string>{"Bloc → Bloc (2)"});
    // Every building and room is counted; the last step reaches the total.
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back().first, steps.back().second);
    EXPECT_EQ(steps.back().second, 4u);
    const BuildingsTable table = BuildingsTable::load(project);
    ASSERT_EQ(table.rows().size(), 2u);
    for (const BuildingsTableItem& row : table.rows())
        EXPECT_EQ(row.RefID, project.RootId()) << row.Name;
    const BuildingsTableItem* bloc = table.byName("Bloc");
    ASSERT_NE(bloc, nullptr);
    EXPECT_EQ(bloc->data.SettlementName, "Cluj-Napoca"); // the first in list order kept it
    const Room linked = roomOf("Birou");
    EXPECT_EQ(linked.BuildingRef, bloc->ID);
    EXPECT_EQ(linked.Building.SettlementName, "Cluj-Napoca");
    EXPECT_EQ(roomOf("Hol").BuildingRef, "Altul"); // no building of that name
}

TEST_F(ProjectFixture, BuildingsTableNamesParentsAndLoops) {
    BuildingsTable table = BuildingsTable::load(*project);
    ASSERT_EQ(table.rows().size(), 5u);
    EXPECT_EQ(table.RowName(b), "B");
    EXPECT_EQ(table.RowName("nothing"), "");
    EXPECT_TRUE(table.wouldLoop(a, c)); // C is below A
    EXPECT_TRUE(table.wouldLoop(a, a));
    EXPECT_FALSE(table.wouldLoop(c, a));
    EXPECT_FALSE(table.wouldLoop(c, ""));
    EXPECT_EQ(table.ancestors(c).size(), 2u);
    EXPECT_EQ(table.ancestors(d).size(), 1u); // the loop ends at D itself

    EXPECT_EQ(table.FindOrCreate(*project, "B", nullptr)->ID, b);
    EXPECT_EQ(table.FindOrCreate(*project, "New", nullptr), nullptr);
    EXPECT_FALSE(table.changed());
    Room room;
    room.Building.SettlementName = "Iași";
    room.Summer.values[0] = 4;
    const BuildingsTableItem* made = table.FindOrCreate(*project, "New", &room);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(table.changed());
    EXPECT_EQ(made->data.SettlementName, "Iași");
    EXPECT_EQ(made->data.Compass, 0);
    const Building stored = load("New");
    EXPECT_EQ(stored.SummerValue, 4.0f);
    EXPECT_EQ(BuildingsTable::load(*project).RowName(made->ID), "New");
}

} // namespace
} // namespace kalydor
