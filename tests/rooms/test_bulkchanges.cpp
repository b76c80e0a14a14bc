// The bulk changes of rooms: the construction change's search and the kinds each new value
// reaches, temperatures, moving rooms and turning them; and a change stopped by its progress
// callback or by a killed program leaves every room and building as it was.

#include "rooms/bulkchanges.h"

#include "constructions/panel.h"
#include "rooms/building.h"
#include "rooms/roombulkchange.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"

#include "rooms/roomfixtures.h"
#include "support/errorkey.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace kalydor {
namespace {

TEST(OrientationChange, TurnsAndMirrorsWithinOneTurn) {
    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."}};
    const struct {
        bool mirror;
        const char* angle;
        std::int16_t from;
        std::int16_t to;
    } cases[] = {
        {false, "20", 350, 10},   {true, "0", 30, 330},    {true, "90", 30, 150},
        {false, "-90", 45, 315},  {false, "370.9", 0, 10}, {false, "0", -90, 270},
        {false, "-1e30", 0, 344}, {true, "1e30", 10, 22},  {false, "20 grade", 0, 20},
    };
    for (const auto& c : cases) {
        const OrientationChange change =
            c.mirror ? OrientationChange::mirror(c.angle) : OrientationChange::rotation(c.angle);
        EXPECT_EQ(change.turn(c.from), c.to) << c.angle << " " << c.from;
    }
    EXPECT_EQ(testing::errorKey([] { (void)OrientationChange::rotation("north"); }),
              "IDS_WRONGVALUE");

    // Only outside kinds turn.
    Room room;
    room.Boundaries = {test::boundary("W", 0, 1, 1, 1), test::boundary("I", 1, 1, 1, 1),
                       test::boundary("F", 10, 1, 1, 1)};
    for (Boundary& b : room.Boundaries)
        b.Compass = 100;
    std::size_t changed = 0;
    EXPECT_TRUE(OrientationChange::rotation("90")({}, room, changed));
    EXPECT_EQ(changed, 2u);
    EXPECT_EQ(room.Boundaries[0].Compass, 190);
    EXPECT_EQ(room.Boundaries[1].Compass, 100);
    EXPECT_EQ(room.Boundaries[2].Compass, 190);
}

TEST(ConstructionChange, SearchAndTheKindsEachValueReaches) {
    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."}};
    Boundary wall = test::boundary("Perete", 0, 4, 2.5f, 2.5f);
    Boundary other = test::boundary("Perete", 0, 4, 2.5f, 2.5000002f);
    Boundary door = test::boundary("Usa", 12, 1, 2, 0.5f);
    Boundary window = test::boundary("Fereastra", 10, 1, 1, 0.5f);
    Boundary floor = test::boundary("Pardoseala", 2, 4, 5, 3);

    const struct {
        const char* name;
        ConstructionSearch search;
        std::vector<bool> found; // wall, other, door, window, floor
    } searches[] = {
        {"kind alone", {0, std::nullopt, std::nullopt}, {true, true, false, false, false}},
        {"exact k", {0, std::nullopt, 2.5f}, {true, false, false, false, false}},
        {"name", {0, std::string("Altul"), std::nullopt}, {false, false, false, false, false}},
        {"door", {12, std::string("Usa"), 0.5f}, {false, false, true, false, false}},
    };
    const std::vector<Boundary*> all = {&wall, &other, &door, &window, &floor};
    for (const auto& c : searches)
        for (std::size_t i = 0; i < all.size(); ++i)
            EXPECT_EQ(c.search.matches(*all[i]), c.found[i]) << c.name << " " << i;

    ConstructionValues values;
    for (const auto& [name, field] : ConstructionValues::fields())
        values.set(field, field == ConstructionField::Name ? "Nou" : "7");
    values.set(ConstructionField::k, "-1"); // any number
    EXPECT_EQ(testing::errorKey([&] { values.set(ConstructionField::Massivitate, "0"); }),
              "IDS_WRONGVALUE");
    EXPECT_EQ(testing::errorKey([&] { values.set(ConstructionField::Mass, "-1"); }),
              "IDS_WRONGVALUE");
    values.set(ConstructionField::Delay, ""); // left as it is
    for (Boundary* b : all)
        values.applyTo(*b);
    EXPECT_EQ(wall.Name, "Nou");
    EXPECT_EQ(wall.k, -1.0f);
    EXPECT_EQ(wall.Mass, 7.0f);
    EXPECT_EQ(wall.Delay, 0.0f);
    EXPECT_EQ(wall.GlassRatio, 100.0f);       // not a glazing
    EXPECT_EQ(wall.ms, 0.0f);                 // not the floor
    EXPECT_EQ(door.InfiltrationFactor, 0.0f); // an outside door is no outside glazing
    EXPECT_EQ(door.Mass, 0.0f);
    EXPECT_EQ(door.Massivitate, 7.0f);
    EXPECT_EQ(window.InfiltrationFactor, 7.0f);
    EXPECT_EQ(window.GlassRatio, 7.0f);
    EXPECT_EQ(floor.ms, 7.0f);
    EXPECT_EQ(floor.Rbc, 7.0f);
    EXPECT_EQ(floor.GlassRatio, 100.0f);
    EXPECT_FALSE(values.empty());
    EXPECT_TRUE(ConstructionValues().empty());
    EXPECT_EQ(ConstructionValues::fieldNamed("Rbc"), ConstructionField::Rbc);
    EXPECT_EQ(ConstructionValues::fieldNamed("R"), std::nullopt);

    Panel panel;
    panel.Name = "Termo";
    panel.Type = 0;
    panel.R = 3.25f;
    panel.ThermicMassivitate = 1.1f;
    const ConstructionValues fromPanel = ConstructionValues::of(panel);
    EXPECT_EQ(fromPanel.text(ConstructionField::k), "3.25");
    EXPECT_EQ(fromPanel.text(ConstructionField::Massivitate), "1.1");
    EXPECT_EQ(ConstructionSearch::of(panel).k, 3.25f);
    EXPECT_EQ(fromPanel.text(ConstructionField::GlassRatio), ""); // a wall has no glazing
    EXPECT_EQ(fromPanel.text(ConstructionField::ms), "");         // 0 is no edge value

    Panel glazed;
    glazed.Type = 10;
    glazed.GlassRatio = 80;
    glazed.InfiltrationFactor = 0.2f;
    glazed.Mass = 30;
    const ConstructionValues fromWindow = ConstructionValues::of(glazed);
    EXPECT_EQ(fromWindow.text(ConstructionField::GlassRatio), "80");
    EXPECT_EQ(fromWindow.text(ConstructionField::InfiltrationFactor), "0.2");
    EXPECT_EQ(fromWindow.text(ConstructionField::Mass), ""); // not opaque
}

TEST(TemperatureChange, BoxesGivenOrLeft) {
    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."}, {"IDS_TOUT", "Proiect"}};
    Room room = test::office();
    room.OutSideTempFromProject = 0;
    room.HeatingOutSideTemp = -12;
    room.AirTempFromProject = 1;
    Room changed = room;
    TemperatureChange::read("Proiect", "", "5").apply(changed);
    EXPECT_EQ(changed.OutSideTempFromProject, 1);
    EXPECT_EQ(changed.HeatingOutSideTemp, -12.0f);
    EXPECT_EQ(changed.HeatingInSideTemp, room.HeatingInSideTemp);
    EXPECT_EQ(changed.AirTempFromProject, 0);
    EXPECT_EQ(changed.AirTemp, 5.0f);
    TemperatureChange::read("-18", "22", "").apply(changed);
    EXPECT_EQ(changed.OutSideTempFromProject, 0);
    EXPECT_EQ(changed.HeatingOutSideTemp, -18.0f);
    EXPECT_EQ(changed.HeatingInSideTemp, 22.0f);
    EXPECT_EQ(changed.AirTempFromProject, 0);
    EXPECT_EQ(testing::errorKey([] { (void)TemperatureChange::read("", "Proiect", ""); }),
              "IDS_WRONGVALUE"); // the inside box has no project entry
}

class BulkRooms : public ::testing::Test {
protected:
    void SetUp() override {
        project = std::make_unique<ItemStore>(dir.path().string(), "p", TableMode::Create,
                                              TableKind::Project);
        for (const char* name : {"Casa", "Garaj"}) {
            Building building;
            building.Name = name;
            building.Compass = 45;
            ids.push_back(project->AddRecord(RecordType::Building, project->RootId(), name,
                                             building.recordBytes()));
        }
        group = project->GroupOfPath(RecordType::RoomGroup, "Parter", '\\');
        for (const char* name : {"Living", "Dormitor", "Baie"}) {
            Room room = test::office();
            room.Name = name;
            room.BuildingRef = ids[0];
            room.Building.Compass = 45;
            room.Boundaries.push_back(test::boundary("Fereastra", 10, 1.5f, 1.5f, 0.5f));
            const std::string id =
                project->AddRecord(RecordType::Room, group, name, room.recordBytes());
            rooms.push_back({RecordType::Room, name, group, id});
        }
        (void)RecollectBuildings(*project);
    }

    Room load(const std::string& name) {
        EXPECT_TRUE(project->FindRecord(RecordType::Room, group, name));
        Room room;
        EXPECT_TRUE(readStoredItem(room, project->currentData()));
        return room;
    }
    float total(const std::string& building) {
        EXPECT_TRUE(project->FindRecord(RecordType::Building, project->RootId(), building));
        Building b;
        EXPECT_TRUE(readStoredItem(b, project->currentData()));
        return b.HeatingLoss;
    }

    test::TempDir dir;
    std::unique_ptr<ItemStore> project;
    std::vector<std::string> ids;
    std::string group;
    std::vector<Reference> rooms;
};

TEST_F(BulkRooms, ConstructionChangeOfTheChosenMatches) {
    const std::vector<BoundaryMatch> matches = FindMatches(*project, rooms, {10, {}, {}});
    ASSERT_EQ(matches.size(), 3u);
    EXPECT_EQ(matches[1].where.reference.Name, "Dormitor");
    EXPECT_EQ(matches[1].where.Index, 1);
    EXPECT_EQ(matches[1].k, 0.5f);
    EXPECT_EQ(FindMatches(*project, rooms, {10, std::string("Usa"), {}}).size(), 0u);

    // Only the first two entries are chosen; the window then holds R 0.25 there.
    ConstructionValues values;
    values.set(ConstructionField::k, "0.25");
    const ConstructionChange change({matches[0], matches[1]}, values);
    EXPECT_EQ(change.rooms().size(), 2u);
    const float before = total("Casa");
    const RoomBulkResult result = ChangeRooms(*project, change.rooms(), {-15, {}}, change);
    EXPECT_EQ(result.rooms, 2u);
    EXPECT_EQ(result.changed, 2u);
    EXPECT_EQ(load("Living").Boundaries[1].k, 0.25f);
    EXPECT_EQ(load("Baie").Boundaries[1].k, 0.5f);
    EXPECT_GT(total("Casa"), before); // the buildings were totalled again

    // A position the room no longer has is passed over.
    BoundaryMatch gone = matches[2];
    gone.where.Index = 9;
    const ConstructionChange stale({gone}, values);
    const RoomBulkResult none = ChangeRooms(*project, stale.rooms(), {-15, {}}, stale);
    EXPECT_EQ(none.rooms, 0u);
    EXPECT_EQ(none.buildings, 2u);
}

TEST_F(BulkRooms, MovingKeepsTheOldBuildingCopy) {
    const RoomBulkResult result =
        ChangeRooms(*project, {rooms[0]}, {-15, {}}, BuildingMove(ids[1]));
    EXPECT_EQ(result.rooms, 1u);
    const Room moved = load("Living");
    EXPECT_EQ(moved.BuildingRef, ids[1]);
    EXPECT_EQ(moved.Building.Compass, 45);
    EXPECT_EQ(total("Garaj"), moved.HeatingPower);
}

// A room chosen twice turns once; a room gone is named; the buildings' totals, made from the
// rooms just stored and those read, equal totals made afresh from the stored rooms, whether
// some rooms or all were changed.
TEST_F(BulkRooms, EachRoomOnceAndTotalsAsIfReadAfresh) {
    const Reference gone{RecordType::Room, "Pivniță", group, "x"};
    const RoomBulkResult some = ChangeRooms(*project, {rooms[0], rooms[0], gone}, {-15, {}},
                                            OrientationChange::rotation("90"));
    EXPECT_EQ(some.rooms, 1u);
    ASSERT_EQ(some.skipped.size(), 1u);
    EXPECT_EQ(some.skipped[0].room, "Pivniță");
    EXPECT_EQ(load("Living").Boundaries[1].Compass, 90);
    EXPECT_EQ(load("Dormitor").Boundaries[1].Compass, 0);

    for (const std::vector<Reference>& chosen : {std::vector<Reference>{rooms[1]}, rooms}) {
        (void)ChangeRooms(*project, chosen, {-15, {}}, TemperatureChange::read("", "24", ""));
        const float changed = total("Casa");
        (void)RecollectBuildings(*project);
        EXPECT_EQ(total("Casa"), changed) << chosen.size() << " rooms";
    }
}

TEST_F(BulkRooms, AStopOrAKilledProgramKeepsEveryRecord) {
    const std::map<std::string, std::string> before = test::roomAndBuildingBytes(*project);
    const RoomBulkResult stopped =
        ChangeRooms(*project, rooms, {-15, {}}, OrientationChange::rotation("90"),
                    [](std::size_t done, std::size_t) { return done < 2; });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(test::roomAndBuildingBytes(*project), before);

    // A program killed half-way: the project is let go (a table is open in one program at a
    // time), the child opens it for itself and dies at the second room.
    project.reset();
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // Whatever happens here ends here: the child never returns into the test runner.
        try {
            ItemStore own(dir.path().string(), "p", TableMode::Open, TableKind::Project);
            (void)ChangeRooms(own, rooms, {-15, {}}, OrientationChange::rotation("90"),
                              [](std::size_t done, std::size_t) {
                                  if (done == 2)
                                      std::raise(SIGKILL);
                                  return true;
                              });
        } catch (...) {
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    project =
        std::make_unique<ItemStore>(dir.path().string(), "p", TableMode::Open, TableKind::Project);
    EXPECT_EQ(test::roomAndBuildingBytes(*project), before);

    // A full run matches the rooms calculated afresh.
    const RoomBulkResult done =
        ChangeRooms(*project, rooms, {-15, {}}, OrientationChange::rotation("90"));
    EXPECT_EQ(done.rooms, 3u);
    Room fresh = load("Baie");
    const float stored = fresh.HeatingPower;
    (void)fresh.Calculate({-15, {}});
    EXPECT_EQ(fresh.HeatingPower, stored);
    EXPECT_EQ(fresh.Boundaries[1].Compass, 90);
}

} // namespace
} // namespace kalydor
