// The building dialog's logic: the parent that would make a loop, the settlement completed
// and its climate, typed numbers, and the question whether the rooms follow changed site data.

#include "rooms/buildingeditor.h"

#include "platform/scriptedprompter.h"
#include "rooms/projectrecalculation.h"
#include "rooms/roomcontext.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"

#include "rooms/roomfixtures.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

class BuildingEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        project = std::make_unique<ItemStore>(dir.path().string(), "p", TableMode::Create,
                                              TableKind::Project);
        a = add("A", "");
        b = add("B", a);
        c = add("C", b);
        rooms = project->GroupOfPath(RecordType::RoomGroup, "Etaj", '\\');
        Room room;
        room.Name = "Birou";
        room.BuildingRef = a;
        room.FiltMode = 3;
        room.FiltPower = 100;
        room.AcCalculated = 0;
        room.Building.Compass = 30;
        project->AddRecord(RecordType::Room, rooms, "Birou", room.recordBytes());
    }

    std::string add(const std::string& name, const std::string& parent) {
        Building building;
        building.Name = name;
        building.ParentID = parent;
        building.SettlementName = "Cluj-Napoca";
        building.BuildingCategory = 1;
        building.SettlementTemp = 19;
        building.SettlementSwing = 6.5f;
        return project->AddRecord(RecordType::Building, project->RootId(), name,
                                  building.recordBytes());
    }

    BuildingEditor edit(const std::string& name, const std::string& id) {
        Building building;
        EXPECT_TRUE(project->FindRecord(RecordType::Building, project->RootId(), name));
        MemoryStream in(project->currentData());
        const std::int16_t version = readInt16(in);
        EXPECT_TRUE(building.ReadRecord(in, version));
        building.Name = name;
        building.ID = id;
        return BuildingEditor(building, *project, RoomSettings{-15, {}});
    }

    Room storedRoom() {
        EXPECT_TRUE(project->FindRecord(RecordType::Room, rooms, "Birou"));
        MemoryStream in(project->currentData());
        const std::int16_t version = readInt16(in);
        Room room;
        EXPECT_TRUE(room.ReadRecord(in, version));
        return room;
    }

    test::FakeLanguage language{{"IDS_SETTLEMENTNAME+0", "București;21;20;19;18;5"},
                                {"IDS_SETTLEMENTNAME+1", "Cluj-Napoca;20;19;18;17;6.5"},
                                {"IDS_ROUNDINBUILDINGSREF", "A building cannot contain itself."},
                                {"IDS_BUILDINGCATEGORY+0", "I"},
                                {"IDS_BUILDINGCATEGORY+1", "II"},
                                {"IDS_WALLMASSTYPES+0", "light"},
                                {"IDS_WALLMASSTYPES+1", "heavy"}};
    test::TempDir dir;
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter scoped{prompter};
    std::unique_ptr<ItemStore> project;
    std::string a, b, c, rooms;
};

TEST_F(BuildingEditorTest, ListsParentsAndLoops) {
    BuildingEditor e = edit("A", a);
    EXPECT_EQ(e.parents(), (std::vector<std::string>{"", "B", "C"}));
    EXPECT_EQ(e.parentIndex(), 0);
    EXPECT_EQ(BuildingEditor::categories(), (std::vector<std::string>{"I", "II"}));
    EXPECT_EQ(BuildingEditor::wallMassClasses().size(), 2u);
    // C lies below A: choosing it would make A contain itself.
    EXPECT_EQ(e.setParent(2), "A building cannot contain itself.");
    EXPECT_TRUE(e.building().ParentID.empty());

    BuildingEditor child = edit("C", c);
    EXPECT_EQ(child.parents(), (std::vector<std::string>{"", "A", "B"}));
    EXPECT_EQ(child.parentIndex(), 2);
    EXPECT_EQ(child.setParent(1), std::nullopt);
    EXPECT_EQ(child.building().ParentID, a);
    EXPECT_EQ(child.setParent(0), std::nullopt);
    EXPECT_TRUE(child.building().ParentID.empty());
}

TEST_F(BuildingEditorTest, SettlementClimateAndTypedNumbers) {
    BuildingEditor e = edit("B", b);
    EXPECT_EQ(e.completeSettlement("bucuresti"), "București");
    EXPECT_EQ(e.completeSettlement("Cl"), "Cluj-Napoca");
    EXPECT_EQ(e.completeSettlement("Iași"), std::nullopt);
    EXPECT_EQ(e.matchSettlement("BUCURESTI"), "București");
    EXPECT_EQ(e.matchSettlement("Bucur"), std::nullopt);
    e.setSettlement("București");
    EXPECT_FLOAT_EQ(e.settlementTemp(), 20); // category II
    EXPECT_FLOAT_EQ(e.settlementSwing(), 5);
    e.setSettlement("Sat");
    e.type(BuildingField::SeaLevel, "800 m");
    EXPECT_FLOAT_EQ(e.settlementTemp(), 18 + 2 + 4);
    EXPECT_FLOAT_EQ(e.settlementSwing(), 7);

    using Kind = NumberField::Outcome::Kind;
    const std::pair<const char*, Kind> compass[] = {{"45.7", Kind::Taken},
                                                    {"-90", Kind::Taken},
                                                    {"40000", Kind::Refused},
                                                    {"abc", Kind::Refused},
                                                    {"-90.9", Kind::Taken}};
    for (const auto& [text, kind] : compass)
        EXPECT_EQ(e.type(BuildingField::Compass, text).kind, kind) << text;
    EXPECT_EQ(e.building().Compass, -90);
}

TEST_F(BuildingEditorTest, RoomsFollowChangedSiteDataOrNot) {
    {
        BuildingEditor e = edit("A", a);
        e.type(BuildingField::Compass, "90");
        EXPECT_FALSE(e.asksAboutRooms()); // the orientation alone does not ask
        e.setSettlement("București");
        ASSERT_TRUE(e.asksAboutRooms());
        EXPECT_FALSE(e.confirm(BuildingEditor::RoomsAnswer::Cancel));
        ASSERT_TRUE(e.confirm(BuildingEditor::RoomsAnswer::No));
        // No: the site values and their climate go back, the orientation stays.
        EXPECT_EQ(e.building().SettlementName, "Cluj-Napoca");
        EXPECT_FLOAT_EQ(e.building().SettlementTemp, 19);
        EXPECT_EQ(e.building().Compass, 90);
        EXPECT_EQ(storedRoom().Building.SettlementName, "");
    }
    BuildingEditor e = edit("A", a);
    e.setSettlement("București");
    ASSERT_TRUE(e.confirm(BuildingEditor::RoomsAnswer::Yes));
    const Room room = storedRoom();
    EXPECT_EQ(room.Building.SettlementName, "București");
    EXPECT_FLOAT_EQ(room.Building.SettlementTemp, 20);
    EXPECT_EQ(room.Building.Compass, 30); // each room keeps its own orientation
    EXPECT_EQ(room.HeatingPower, 100.0f);
    EXPECT_EQ(e.building().HeatingLoss, 100.0f); // totals collected on confirmation
}

// The buildings list edits through the context's dialogs; without them an edit is refused.
TEST_F(BuildingEditorTest, EditGoesThroughTheContextsDialogs) {
    class ScriptedDialogs final : public BuildingDialogs {
    public:
        bool editBuilding(BuildingEditor& editor, platform::Window*) override {
            editor.setSettlement("București");
            return editor.confirm(BuildingEditor::RoomsAnswer::No) && confirm;
        }
        bool confirm = true;
    } dialogs;
    RoomContext context;
    Building building;
    building.Name = "B";
    building.ID = b;
    EXPECT_FALSE(building.Edit(nullptr, context)); // no dialogs, no project
    context.buildingDialogs = &dialogs;
    context.project = [this] { return project.get(); };
    context.settings = [] { return std::optional<RoomSettings>(RoomSettings{-15, {}}); };
    ASSERT_TRUE(building.Edit(nullptr, context));
    EXPECT_EQ(building.SettlementName, "București"); // B has no rooms: nothing was asked
    dialogs.confirm = false;
    Building unchanged;
    unchanged.Name = "C";
    unchanged.ID = c;
    EXPECT_FALSE(unchanged.Edit(nullptr, context));
    EXPECT_EQ(unchanged.SettlementName, "");
}

} // namespace
} // namespace kalydor
