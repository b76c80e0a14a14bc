// The room dialog's logic: the building and function lists, every field's rule, the
// temperature boxes, the method's own values, the results kept current, and the boundary
// commands.

#include "rooms/roomeditor.h"

#include "constructions/panel.h"
#include "heating/projectoptions.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"
#include "rooms/building.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include "rooms/roomfixtures.h"
#include "support/errorkey.h"
#include "support/fakelanguage.h"
#include "support/radiatorfamilies.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

using Kind = NumberField::Outcome::Kind;

class RoomEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        project = std::make_unique<ItemStore>(dir.path().string(), "p", TableMode::Create,
                                              TableKind::Project);
        first = add("Bloc A", 0);
        second = add("Bloc B", 90);
        table = BuildingsTable::load(*project);
    }

    std::string add(const std::string& name, std::int16_t compass) {
        Building building;
        building.Name = name;
        building.Compass = compass;
        building.SettlementName = "Iași";
        return project->AddRecord(RecordType::Building, project->RootId(), name,
                                  building.recordBytes());
    }

    static Room room() { return test::office(); }

    RoomEditor edit(Room r, std::vector<std::string> userFunctions = {}) {
        return RoomEditor(std::move(r), table, RoomSettings{-15, {}}, &options,
                          std::move(userFunctions), true);
    }

    test::TempDir dir;
    std::unique_ptr<ItemStore> project;
    ProjectOptions options;
    BuildingsTable table;
    std::string first, second;
    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."},
                                {"IDS_TOUT", "From the project"},
                                {"IDS_ROOMFUNCTION+0", "Living room"},
                                {"IDS_ROOMFUNCTION+1", "Bedroom"},
                                {"IDS_NOTWINTERTEMPDIFFERENT", ": same temperature"},
                                {"IDS_WANTBOUNDARYDELETE", "Delete %s?"},
                                {"IDS_UNDEFINEDPANEL", "Undefined."},
                                {"IDS_CANNOTINCREASE", "The largest size."}};
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
};

TEST_F(RoomEditorTest, BuildingAndFunctionLists) {
    Room linked = room();
    linked.BuildingRef = second;
    RoomEditor editor = edit(linked, {"Atelier", "Bedroom"});
    EXPECT_EQ(editor.buildingNames(), (std::vector<std::string>{"Bloc A", "Bloc B"}));
    EXPECT_EQ(editor.buildingIndex(), 1);
    EXPECT_EQ(editor.room().Building.Compass, 90); // linked to the chosen row at once
    EXPECT_EQ(editor.functions(), (std::vector<std::string>{"Atelier", "Bedroom", "Living room"}));

    // A room whose building is gone takes the first row.
    Room orphan = room();
    orphan.BuildingRef = "gone";
    EXPECT_EQ(edit(orphan).room().BuildingRef, first);
    editor.setBuilding(0);
    EXPECT_EQ(editor.room().BuildingRef, first);
    editor.setBuilding(5); // no such row
    EXPECT_EQ(editor.room().BuildingRef, first);

    // With no building at all the link stays as it was.
    BuildingsTable empty;
    RoomEditor alone(orphan, empty, RoomSettings{-15, {}}, nullptr, {}, true);
    EXPECT_EQ(alone.buildingIndex(), -1);
    EXPECT_EQ(alone.room().BuildingRef, "gone");

    // A typed function not in the list is remembered under the next free value name.
    editor.setFunction("Bedroom");
    EXPECT_EQ(editor.newFunction(), std::nullopt);
    editor.setFunction("");
    EXPECT_EQ(editor.newFunction(), std::nullopt);
    editor.setFunction("Sauna");
    EXPECT_EQ(editor.newFunction(), "Sauna");
    platform::MemorySettingsStore settings;
    settings.createKey("RoomFunctions");
    settings.writeText("RoomFunctions", "1", "Atelier");
    RoomEditor::rememberFunction(settings, "Sauna");
    EXPECT_EQ(settings.readText("RoomFunctions", "2"), "Sauna");
    EXPECT_EQ(RoomEditor::rememberedFunctions(settings),
              (std::vector<std::string>{"Atelier", "Sauna"}));
}

TEST_F(RoomEditorTest, FieldRules) {
    const struct {
        RoomField field;
        const char* typed;
        Kind outcome;
        double value;
    } cases[] = {
        {RoomField::Area, "25 m2", Kind::Taken, 25},
        {RoomField::Area, "-1", Kind::Refused, 20},
        {RoomField::Height, "abc", Kind::Refused, 2.5},
        {RoomField::HeatingInSideTemp, "-5", Kind::Taken, -5},
        {RoomField::Ao, "-10", Kind::Taken, -10},
        {RoomField::Cm, "0,94", Kind::Taken, 0.94},
        {RoomField::Cm, "-1", Kind::Refused, 1},
        {RoomField::NumOfMens, "2.7", Kind::Taken, 2},
        {RoomField::NumOfMens, "-1", Kind::Refused, 0},
        {RoomField::NumOfMens, "40000", Kind::Refused, 0}, // beyond the stored word
        {RoomField::FiltPower, "-50", Kind::Taken, -50},
        {RoomField::WindSpeed, "-1", Kind::Refused, 5},
        {RoomField::AirVolume, "1e40", Kind::Refused, 0}, // not a single-precision number
    };
    for (const auto& c : cases) {
        RoomEditor editor = edit(room());
        EXPECT_EQ(editor.type(c.field, c.typed).kind, c.outcome) << c.typed;
        EXPECT_DOUBLE_EQ(editor.value(c.field), c.value) << c.typed;
        if (c.outcome == Kind::Refused) {
            EXPECT_FALSE(editor.status().empty()) << c.typed;
        }
    }
}

TEST_F(RoomEditorTest, ResultsFollowEveryGoodValue) {
    RoomEditor editor = edit(room());
    // 4 × 2.5 m of wall with R 1 at 35 K: 350 W, and 100 W of ventilation.
    EXPECT_EQ(editor.room().HeatingPower, 450.0f);
    EXPECT_EQ(editor.room().Volume1, 50.0f);
    editor.type(RoomField::HeatingInSideTemp, "25");
    EXPECT_EQ(editor.room().HeatingPower, 500.0f);
    // A refused value keeps the last good results; the message is in the status line.
    editor.type(RoomField::HeatingInSideTemp, "warm");
    EXPECT_EQ(editor.room().HeatingPower, 500.0f);
    EXPECT_FALSE(editor.status().empty());
    editor.type(RoomField::Height, "3");
    EXPECT_EQ(editor.room().Volume1, 60.0f);
    EXPECT_TRUE(editor.status().empty());

    // The outside temperature: the first entry takes the project's, a number the room's.
    EXPECT_EQ(editor.setTemperature(RoomTemperature::Outside, "-20"), std::nullopt);
    EXPECT_EQ(editor.room().OutSideTempFromProject, 0);
    EXPECT_EQ(editor.room().HeatingOutSideTemp, -20.0f);
    EXPECT_EQ(editor.room().HeatingPower, 550.0f);
    EXPECT_EQ(editor.setTemperature(RoomTemperature::Outside, "From the project"), std::nullopt);
    EXPECT_EQ(editor.room().OutSideTempFromProject, 1);
    EXPECT_EQ(editor.room().HeatingOutSideTemp, -20.0f); // kept for later
    EXPECT_EQ(editor.setTemperature(RoomTemperature::Outside, "cold"), "Wrong value.");
    EXPECT_EQ(editor.room().OutSideTempFromProject, 1);

    // The "Ac" box: unchecked, the room computes its surcharge and keeps its entered value.
    editor.type(RoomField::Ac, "10");
    EXPECT_EQ(editor.room().Ac, 10.0f);
    editor.setAcEntered(false);
    EXPECT_EQ(editor.room().AcCalculated, 1);
    editor.type(RoomField::Ac, "30");
    EXPECT_EQ(editor.room().Ac, 10.0f);
}

TEST_F(RoomEditorTest, OnlyTheMethodsOwnValuesAreApplied) {
    Room r = room();
    r.AirVolume = 60;
    r.AirTemp = -15;
    RoomEditor editor = edit(r);
    // Known ventilation heat reads no entering-air temperature.
    editor.setTemperature(RoomTemperature::EnteringAir, "5");
    editor.type(RoomField::AirVolume, "80"); // a box of another method
    EXPECT_EQ(editor.room().AirTempFromProject, r.AirTempFromProject);
    EXPECT_EQ(editor.room().AirTemp, -15.0f);
    EXPECT_EQ(editor.room().AirVolume, 60.0f);
    EXPECT_EQ(editor.room().CalculatedFiltPower, 100.0f);
    // Known air flow takes both: 80 m³/h warmed by 15 K.
    editor.setMethod(2);
    EXPECT_EQ(editor.room().FiltMode, 2);
    EXPECT_EQ(editor.room().AirTempFromProject, 0);
    EXPECT_EQ(editor.room().AirTemp, 5.0f);
    EXPECT_EQ(editor.room().AirVolume, 80.0f);
    EXPECT_EQ(editor.room().CalculatedFiltPower, 400.0f);
    editor.setMethod(9); // no such method
    EXPECT_EQ(editor.method(), 2);
    EXPECT_EQ(RoomEditor::methodFields(1),
              (std::vector<RoomField>{RoomField::NumOfMens, RoomField::Portion}));
}

TEST_F(RoomEditorTest, OkRefusesANeighbourAtTheRoomTemperature) {
    Room r = room();
    Boundary inside = test::boundary("Perete interior", 1, 3, 2.5f, 0.5f);
    inside.OverTempWinter = 20;
    r.Boundaries.push_back(inside);
    RoomEditor editor = edit(r);
    EXPECT_EQ(editor.status(), "Perete interior: same temperature");
    EXPECT_EQ(editor.accept(), "Perete interior: same temperature");
    editor.type(RoomField::HeatingInSideTemp, "22");
    EXPECT_EQ(editor.accept(), std::nullopt);
    // 4 × 2.5 × 37 = 370, 3 × 2.5 × 2 / 0.5 = 30, and the ventilation heat.
    EXPECT_EQ(editor.room().HeatingPower, 500.0f);

    // The check is a program option.
    RoomEditor unchecked(r, table, RoomSettings{-15, {}}, &options, {}, false);
    EXPECT_EQ(unchecked.accept(), std::nullopt);
}

TEST_F(RoomEditorTest, BoundaryCommands) {
    Room r = room();
    r.Boundaries.push_back(test::boundary("Fereastra", 10, 1, 1, 0.5f));
    r.Boundaries.push_back(test::boundary("Usa", 12, 1, 2, 0.5f));
    const auto names = [](const RoomEditor& editor) {
        std::vector<std::string> list;
        for (const Boundary& b : editor.room().Boundaries)
            list.push_back(b.Name);
        return list;
    };
    using Names = std::vector<std::string>;
    Panel panel;
    panel.Name = "Nou";
    panel.Type = 0;
    panel.R = 2;
    NewBoundaryDefaults defaults;
    const auto accept = [](Boundary&, std::int16_t) { return true; };

    const struct {
        const char* name;
        std::function<std::optional<std::size_t>(RoomEditor&)> command;
        std::optional<std::size_t> selected;
        Names after;
    } cases[] = {
        {"add after the selected",
         [&](RoomEditor& e) { return e.addBoundary(panel, 0, defaults.values, accept); },
         1,
         {"Perete", "Nou", "Fereastra", "Usa"}},
        {"add with none selected",
         [&](RoomEditor& e) { return e.addBoundary(panel, std::nullopt, defaults.values, accept); },
         3,
         {"Perete", "Fereastra", "Usa", "Nou"}},
        {"add cancelled",
         [&](RoomEditor& e) {
             return e.addBoundary(panel, 0, defaults.values,
                                  [](Boundary&, std::int16_t) { return false; });
         },
         std::nullopt,
         {"Perete", "Fereastra", "Usa"}},
        {"copy",
         [](RoomEditor& e) { return e.copyBoundary(0); },
         3,
         {"Perete", "Fereastra", "Usa", "Perete"}},
        {"up",
         [](RoomEditor& e) { return e.moveBoundary(1, true); },
         0,
         {"Fereastra", "Perete", "Usa"}},
        {"up at the top",
         [](RoomEditor& e) { return e.moveBoundary(0, true); },
         std::nullopt,
         {"Perete", "Fereastra", "Usa"}},
        {"down at the bottom",
         [](RoomEditor& e) { return e.moveBoundary(2, false); },
         std::nullopt,
         {"Perete", "Fereastra", "Usa"}},
        {"delete the last",
         [this](RoomEditor& e) {
             prompter.scriptYesNo(true);
             return e.deleteBoundary(2);
         },
         1,
         {"Perete", "Fereastra"}},
    };
    for (const auto& c : cases) {
        RoomEditor editor = edit(r);
        EXPECT_EQ(c.command(editor), c.selected) << c.name;
        EXPECT_EQ(names(editor), c.after) << c.name;
    }

    RoomEditor editor = edit(r);
    const float load = editor.room().HeatingPower;
    // Deleting asks first; No keeps the boundary.
    prompter.scriptYesNo(false);
    EXPECT_EQ(editor.deleteBoundary(0), std::nullopt);
    EXPECT_EQ(editor.room().Boundaries.size(), 3u);
    EXPECT_EQ(editor.renameBoundary(1, ""), "Fereastra");
    EXPECT_EQ(editor.renameBoundary(1, "Geam"), "Geam");
    // The window dropped on the wall is deducted from it, and the load follows.
    EXPECT_TRUE(editor.deductBoundary(1, 0));
    EXPECT_FALSE(editor.deductBoundary(0, 0));
    EXPECT_EQ(editor.room().Boundaries[0].MinA, 1.0f);
    EXPECT_LT(editor.room().HeatingPower, load);
    // Modify works on a copy: a cancelled edit changes nothing.
    EXPECT_FALSE(editor.modifyBoundary(0, [](Boundary& b) {
        b.x = 100;
        return false;
    }));
    EXPECT_EQ(editor.room().Boundaries[0].x, 4.0f);
    EXPECT_TRUE(editor.modifyBoundary(0, [](Boundary& b) {
        b.x = 8;
        return true;
    }));
    EXPECT_EQ(editor.room().Boundaries[0].GrossArea, 20.0f);

    panel.Type = 18;
    EXPECT_EQ(
        testing::errorKey([&] { (void)editor.addBoundary(panel, 0, defaults.values, accept); }),
        "IDS_UNDEFINEDPANEL");
}

TEST_F(RoomEditorTest, RadiatorCommands) {
    testing::TestFamilies families;
    Room r = room();
    Radiator radiator;
    radiator.Mark = "1";
    radiator.Family = "Panel Test";
    radiator.TypeCode = "P11-600-1200";
    radiator.setForwardTemperature(90);
    radiator.setBackwardTemperature(70);
    radiator.Refresh(families, 20);
    r.Radiators = {radiator};
    RoomEditor editor = edit(r);
    EXPECT_EQ(editor.addRadiators(radiator, 2), (std::vector<std::string>{"2", "3"}));
    EXPECT_EQ(editor.room().RadiatorPowerSum(), 3600.0);

    // The largest size of its main type: no next one; the reason is in the status line.
    EXPECT_FALSE(editor.stepRadiator(0, true, families));
    EXPECT_EQ(editor.status(), "The largest size.");
    EXPECT_TRUE(editor.stepRadiator(0, false, families));
    EXPECT_EQ(editor.room().Radiators[0].TypeCode, "P11-600-800");

    Radiator other = radiator;
    other.TypeCode = "P22-600-400";
    EXPECT_TRUE(editor.changeRadiator(1, other));
    EXPECT_EQ(editor.room().Radiators[1].Mark, "2");
    EXPECT_EQ(editor.renameRadiator(1, "R-2"), "R-2");
    EXPECT_FALSE(editor.modifyRadiator(2, [](Radiator& copy) {
        copy.Mark = "changed";
        return false;
    }));
    EXPECT_EQ(editor.room().Radiators[2].Mark, "3");

    prompter.scriptYesNo(false);
    EXPECT_FALSE(editor.deleteRadiator(2));
    ASSERT_FALSE(prompter.questions().empty());
    EXPECT_EQ(prompter.questions().back().defaultButton, platform::DefaultButton::No);
    prompter.scriptYesNo(true);
    EXPECT_TRUE(editor.deleteRadiator(2));
    EXPECT_EQ(editor.room().Radiators.size(), 2u);
}

TEST(NewBoundaryDefaults, StartFromTheProjectTemperaturesOnce) {
    ProjectOptions options;
    options.Heating.InSideTemp = 18;
    options.Cooling.InSideTemp = 27;
    NewBoundaryDefaults defaults;
    defaults.startFrom(&options);
    EXPECT_EQ(defaults.values.OverTempWinter, 18.0f);
    EXPECT_EQ(defaults.values.OverTempSummer, 27.0f);
    // Later choices are the user's: they live for the run.
    defaults.values.OverTempWinter = 0;
    defaults.values.OverTempSummer = 0;
    defaults.startFrom(&options);
    EXPECT_EQ(defaults.values.OverTempWinter, 0.0f);

    NewBoundaryDefaults own;
    own.values.OverTempSummer = 5;
    own.startFrom(&options);
    EXPECT_EQ(own.values.OverTempWinter, 0.0f);
}

} // namespace
} // namespace kalydor
