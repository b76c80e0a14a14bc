// The infiltration and wind tables with their dialogs' choices, the ventilation-method
// change read before any room is touched, and the runner that changes many rooms in one
// transaction.

#include "rooms/roombulkchange.h"
#include "rooms/ventilationchange.h"
#include "rooms/ventilationtables.h"

#include "base/memorystream.h"
#include "rooms/building.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"

#include "rooms/roomfixtures.h"
#include "support/errorkey.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <map>

namespace kalydor {
namespace {

TEST(VentilationTables, InfiltrationColumnsAndDamagedEntries) {
    test::FakeLanguage language{
        {"IDS_METALWINDOWINFILTRATION+0", " Steel ; 0.1; 0.2 ;0.3; 0.4"},
        {"IDS_METALWINDOWINFILTRATION+1", "no parts"},
        {"IDS_METALWINDOWINFILTRATION+2", "Short; 0,05"},
        {"IDS_METALWINDOWINFILTRATION+4", "after the gap: not read"},
        {"IDS_WOODWINDOWINFILTRATION+0", "Wood; 1; 2; 3; 4"},
    };
    const std::vector<InfiltrationRow> metal = infiltrationTable(true);
    ASSERT_EQ(metal.size(), 3u);
    EXPECT_EQ(metal[0].name, "Steel");
    EXPECT_EQ(metal[1].name, "");
    EXPECT_EQ(metal[1].values[0], "");
    EXPECT_EQ(metal[2].values[0], "0,05");
    EXPECT_EQ(metal[2].values[3], ""); // too few values: empty, never out of range

    // Building kind 1 with metal class 1 shows the fourth value; wood keeps its own class.
    InfiltrationChoices choices;
    choices.buildingKind = 1;
    choices.metalClass = 1;
    EXPECT_EQ(metal[0].values[static_cast<std::size_t>(choices.column(true))], "0.4");
    EXPECT_EQ(choices.column(false), 2);
    choices.woodClass = 7; // a damaged choice reads as class 0
    EXPECT_EQ(choices.column(false), 2);

    EXPECT_EQ(infiltrationValue("0,05"), 0.05);
    EXPECT_EQ(infiltrationValue(""), 0.0);
    EXPECT_EQ(infiltrationValue("-"), 0.0);
    EXPECT_EQ(infiltrationTable(false).size(), 1u);
}

TEST(VentilationTables, WindSpeedAndLevelFactor) {
    test::FakeLanguage language{
        {"IDS_WINDSPEEDTABLE+0", "Inside; Zone I; 8"},
        {"IDS_WINDSPEEDTABLE+1", "an entry without parts is skipped"},
        {"IDS_WINDSPEEDTABLE+2", "Outside; Zone I; 10"},
        {"IDS_FLOORLEVELTABLE+0", "Ground to 2nd; 1.55; 1.70; 1.90; 2.00; 2.25"},
        {"IDS_FLOORLEVELTABLE+1", "12th to 14th; -; 1.00"},
    };
    const WindTables tables = WindTables::load();
    ASSERT_EQ(tables.situations().size(), 2u);
    EXPECT_EQ(tables.situations()[1].v, "10");
    ASSERT_EQ(tables.levels().size(), 2u);

    const struct {
        WindChoices choices;
        std::optional<std::string> v;
        std::string e;
    } cases[] = {
        {{0, false, 0, 1}, "8", "1"},        // not high-rise: E is 1 whatever level is chosen
        {{1, true, 2, 0}, "10", "1.90"},     // 18 storeys
        {{0, true, 0, 1}, std::nullopt, ""}, // "-": no 12th storey in a 12-storey building
        {{0, true, 4, 1}, std::nullopt, ""}, // too few values: nothing to choose
        {{5, false, 0, 0}, std::nullopt, ""}, {{0, true, 9, 0}, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        const std::optional<WindTables::Choice> choice = tables.choose(c.choices);
        ASSERT_EQ(choice.has_value(), c.v.has_value()) << c.choices.situation;
        if (choice) {
            EXPECT_EQ(choice->v, *c.v);
            EXPECT_EQ(choice->e, c.e);
        }
    }
    EXPECT_FALSE(tables.levelSelectable(1, 0));
    EXPECT_TRUE(tables.levelSelectable(1, 1));
}

TEST(VentilationChange, ReadBeforeAnyRoomAndAppliedToTheMethodsValues) {
    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."}, {"IDS_TOUT", "Project"}};
    Room room;
    room.FiltMode = 0;
    room.AirVolume = 60;
    room.AirTempFromProject = 1;
    room.AirTemp = -15;

    // An empty air-flow box switches to the method and keeps the room's own flow.
    VentilationChangeForm form;
    form.method = 2;
    form.airChangeFact = "3"; // a box of another method: not read, not applied
    Room changed = room;
    VentilationChange::read(form).apply(changed);
    EXPECT_EQ(changed.FiltMode, 2);
    EXPECT_EQ(changed.AirVolume, 60.0f);
    EXPECT_EQ(changed.AirChangeFact, room.AirChangeFact);
    EXPECT_EQ(changed.AirTempFromProject, 1);

    form.airVolume = "90";
    form.airTemp = "5";
    changed = room;
    VentilationChange::read(form).apply(changed);
    EXPECT_EQ(changed.AirVolume, 90.0f);
    EXPECT_EQ(changed.AirTempFromProject, 0);
    EXPECT_EQ(changed.AirTemp, 5.0f);
    form.airTemp = "Project";
    VentilationChange::read(form).apply(changed);
    EXPECT_EQ(changed.AirTempFromProject, 1);
    EXPECT_EQ(changed.AirTemp, 5.0f);

    // Known heat has no entering air.
    VentilationChangeForm heat;
    heat.method = 3;
    heat.filtPower = "250";
    heat.airTemp = "not read";
    changed = room;
    VentilationChange::read(heat).apply(changed);
    EXPECT_EQ(changed.FiltPower, 250.0f);
    EXPECT_EQ(changed.AirTemp, -15.0f);

    const struct {
        int method;
        std::string VentilationChangeForm::*box;
        const char* typed;
    } bad[] = {
        {0, &VentilationChangeForm::airChangeFact, "-1"},
        {1, &VentilationChangeForm::numOfMens, "40000"},
        {1, &VentilationChangeForm::portion, "lots"},
        {4, &VentilationChangeForm::eFactor, "-0.5"},
        {0, &VentilationChangeForm::airTemp, "cold"},
        {7, &VentilationChangeForm::airVolume, "1"},
    };
    for (const auto& c : bad) {
        VentilationChangeForm wrong;
        wrong.method = c.method;
        wrong.*c.box = c.typed;
        EXPECT_EQ(testing::errorKey([&] { (void)VentilationChange::read(wrong); }),
                  "IDS_WRONGVALUE")
            << c.typed;
    }
    VentilationChangeForm persons;
    persons.method = 1;
    persons.numOfMens = "3.8";
    changed = room;
    VentilationChange::read(persons).apply(changed);
    EXPECT_EQ(changed.NumOfMens, 3);
}

class BulkChange : public ::testing::Test {
protected:
    void SetUp() override {
        project = std::make_unique<ItemStore>(dir.path().string(), "p", TableMode::Create,
                                              TableKind::Project);
        Building building;
        building.Name = "Casa";
        house = project->AddRecord(RecordType::Building, project->RootId(), "Casa",
                                   building.recordBytes());
        group = project->GroupOfPath(RecordType::RoomGroup, "Parter", '\\');
        for (const char* name : {"Living", "Kitchen"}) {
            Room room;
            room.Name = name;
            room.BuildingRef = house;
            room.Area = 20;
            room.Height = 2.5f;
            room.FiltMode = 0;
            room.AirChangeFact = 0.5f;
            room.Boundaries = {test::boundary("W", 0, 4, 2.5f, 1)};
            const std::string id =
                project->AddRecord(RecordType::Room, group, name, room.recordBytes());
            rooms.push_back({RecordType::Room, name, group, id});
        }
        project->AddRecord(RecordType::Room, group, "Damaged", std::string("\x37\x00\x01", 3));
        rooms.push_back({RecordType::Room, "Damaged", group, ""});
        rooms.push_back({RecordType::Room, "Gone", group, ""});
    }

    Room load(const std::string& name) {
        EXPECT_TRUE(project->FindRecord(RecordType::Room, group, name));
        Room room;
        EXPECT_TRUE(readStoredItem(room, project->currentData()));
        return room;
    }

    std::map<std::string, std::string> allBytes() { return test::roomAndBuildingBytes(*project); }

    test::FakeLanguage language{{"IDS_RECORDGONE", "\"%s\" is gone."},
                                {"IDS_DATAREADERROR", "Damaged."},
                                {"IDS_VERSIONERR", "Version %d."}};
    test::TempDir dir;
    std::unique_ptr<ItemStore> project;
    std::string house, group;
    std::vector<Reference> rooms;
};

TEST_F(BulkChange, ChangesRecalculatesAndTotalsOrKeepsNothing) {
    VentilationChangeForm form;
    form.method = 0;
    form.airChangeFact = "2";
    const VentilationChange change = VentilationChange::read(form);
    const std::map<std::string, std::string> before = allBytes();
    for (const std::size_t stopAt : {1u, 4u, 5u}) {
        const RoomBulkResult stopped =
            ChangeRooms(*project, rooms, {-15, {}}, change,
                        [&](std::size_t done, std::size_t) { return done < stopAt; });
        EXPECT_TRUE(stopped.stopped) << stopAt;
        EXPECT_EQ(allBytes(), before) << stopAt;
    }

    const float loadBefore = load("Living").HeatingPower;
    std::vector<std::pair<std::size_t, std::size_t>> steps;
    const RoomBulkResult result =
        ChangeRooms(*project, rooms, {-15, {}}, change, [&](std::size_t done, std::size_t total) {
            steps.emplace_back(done, total);
            return true;
        });
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.rooms, 2u);
    EXPECT_EQ(result.buildings, 1u);
    ASSERT_EQ(result.skipped.size(), 2u);
    EXPECT_EQ(result.skipped[0].room, "Damaged");
    EXPECT_EQ(result.skipped[1].reason, "\"Gone\" is gone.");
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back().first, steps.back().second);

    // Two air changes of 50 m³ at 35 K instead of half of one: the room was recalculated.
    const Room living = load("Living");
    EXPECT_EQ(living.AirChangeFact, 2.0f);
    EXPECT_GT(living.HeatingPower, loadBefore);
    ASSERT_TRUE(project->FindRecord(RecordType::Building, project->RootId(), "Casa"));
    Building building;
    ASSERT_TRUE(readStoredItem(building, project->currentData()));
    EXPECT_EQ(building.HeatingLoss, 2 * living.HeatingPower);
}

} // namespace
} // namespace kalydor
