// The bulk-change dialogs offscreen: boxes filled from a construction, every box read on OK
// (a bad one keeps the dialog open and says why), the match list's all or selected entries,
// and the temperature, building and turning choices.

#include "gui/bulkchangedialogs.h"
#include "gui/radiatorchangedialogs.h"

#include "constructions/panel.h"
#include "language/languages.h"
#include "platform/scriptedprompter.h"
#include "rooms/building.h"
#include "rooms/buildingstable.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include "rooms/roomfixtures.h"
#include "support/qtapplication.h"
#include "support/radiatorfamilies.h"
#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

class BulkChangeForms : public ::testing::Test {
protected:
    void SetUp() override {
        test::qtApplication();
        project = std::make_unique<ItemStore>(dir.path().string(), "p", TableMode::Create,
                                              TableKind::Project);
    }
    test::TempDir dir;
    Languages& languages = test::romanianLanguages();
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
    std::unique_ptr<ItemStore> project;
};

TEST_F(BulkChangeForms, ConstructionChangeReadsEveryBox) {
    ConstructionChangeDialog dialog(*project, languages, nullptr);
    Panel window;
    window.Name = "Termopan";
    window.Type = 10;
    window.R = 0.55f;
    window.ThermicMassivitate = 1;
    window.GlassRatio = 80;
    dialog.takeSearch(window);
    EXPECT_EQ(dialog.kindCombo()->currentData().toInt(), 10);
    EXPECT_EQ(dialog.searchK()->text(), "0.55");
    dialog.takeValues(window);
    EXPECT_EQ(dialog.newValue(ConstructionField::GlassRatio)->text(), "80");

    dialog.newValue(ConstructionField::Massivitate)->setText("0");
    dialog.accept();
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_FALSE(dialog.status()->text().isEmpty());
    dialog.newValue(ConstructionField::Massivitate)->setText("1.2");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.search().kind, 10);
    EXPECT_EQ(dialog.search().k, 0.55f);
    Boundary b = test::boundary("Vechi", 10, 1, 1, 0.3f);
    dialog.values().applyTo(b);
    EXPECT_EQ(b.Name, "Termopan");
    EXPECT_EQ(b.Massivitate, 1.2f);
    EXPECT_EQ(b.GlassRatio, 80.0f);
}

TEST_F(BulkChangeForms, MatchListAllOrSelected) {
    std::vector<BoundaryMatch> matches(3);
    for (std::size_t i = 0; i < matches.size(); ++i) {
        matches[i].where = {{RecordType::Room, "Camera " + std::to_string(i), "", ""},
                            static_cast<std::int16_t>(i)};
        matches[i].boundary = test::boundary("Fereastra", 10, 1, 1, 0.5f);
    }
    MatchListDialog dialog(matches, languages, nullptr);
    ASSERT_EQ(dialog.list()->topLevelItemCount(), 3);
    EXPECT_EQ(dialog.list()->topLevelItem(1)->text(0), "Camera 1");
    EXPECT_EQ(dialog.chosen().size(), 3u);
    dialog.list()->topLevelItem(2)->setSelected(true);
    EXPECT_TRUE(dialog.selectedRadio()->isChecked());
    ASSERT_EQ(dialog.chosen().size(), 1u);
    EXPECT_EQ(dialog.chosen()[0].where.Index, 2);
}

TEST_F(BulkChangeForms, TemperaturesBuildingAndTurning) {
    TemperatureChangeDialog temperatures;
    temperatures.inside()->setText("cald");
    temperatures.accept();
    EXPECT_EQ(temperatures.result(), 0);
    EXPECT_FALSE(temperatures.status()->text().isEmpty());
    temperatures.inside()->setText("22");
    temperatures.outside()->setCurrentIndex(1); // the project's temperature
    temperatures.accept();
    ASSERT_TRUE(temperatures.change().has_value());
    Room room = test::office();
    room.OutSideTempFromProject = 0;
    temperatures.change()->apply(room);
    EXPECT_EQ(room.OutSideTempFromProject, 1);
    EXPECT_EQ(room.HeatingInSideTemp, 22.0f);

    Building building;
    building.Name = "Garaj";
    const std::string id = project->AddRecord(RecordType::Building, project->RootId(), "Garaj",
                                              building.recordBytes());
    const BuildingsTable table = BuildingsTable::load(*project);
    MoveRoomsDialog move(*project, table);
    move.accept();
    EXPECT_FALSE(move.building().has_value()); // none chosen yet
    move.buildings()->setCurrentRow(0);
    move.accept();
    EXPECT_EQ(move.building(), id);

    RotateRoomsDialog rotate;
    rotate.angle()->setText("spre nord");
    rotate.accept();
    EXPECT_FALSE(rotate.change().has_value());
    rotate.mirror()->setChecked(true);
    rotate.angle()->setText("90");
    rotate.accept();
    ASSERT_TRUE(rotate.change().has_value());
    EXPECT_EQ(rotate.change()->turn(30), 150);
}

TEST_F(BulkChangeForms, RadiatorTypesRulesAndTheList) {
    kalydor::testing::TestFamilies families;
    const std::vector<std::pair<std::string, std::string>> offered = {
        {"Oțel\\Panouri", "Panel Test"}};
    {
        RadiatorTypeDialog types(offered, families);
        QTreeWidgetItem* folder = types.familyTree()->topLevelItem(0);
        ASSERT_NE(folder, nullptr);
        EXPECT_EQ(folder->text(0), QStringLiteral("Oțel"));
        folder->setExpanded(true);
        types.accept(); // no main type yet
        EXPECT_EQ(types.result(), 0);
        EXPECT_FALSE(types.status()->text().isEmpty());
        types.chooseFamily("Panel Test");
        ASSERT_EQ(types.mainTypes()->count(), 2);
        types.mainTypes()->setCurrentRow(1);
        types.accept();
        ASSERT_TRUE(types.chosen().has_value());
        EXPECT_EQ(types.chosen()->second, "P22-600");
    }
    RadiatorTypeDialog again(offered, families);
    EXPECT_TRUE(again.familyTree()->topLevelItem(0)->isExpanded()); // kept for the run

    std::vector<std::pair<std::string, std::string>> answers = {{"Panel Test", "P11-600"},
                                                                {"Panel Test", "P22-600"}};
    RadiatorChangeDialog change(
        [&]() -> std::optional<std::pair<std::string, std::string>> {
            if (answers.empty())
                return std::nullopt;
            auto answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        },
        languages);
    change.addRule();
    ASSERT_EQ(change.rules().size(), 1u);
    EXPECT_EQ(change.ruleList()->topLevelItem(0)->text(3), "P22-600");
    const std::string file = dir.file("reguli.krr");
    change.saveRules(file);
    change.ruleList()->setCurrentItem(change.ruleList()->topLevelItem(0));
    change.deleteRule();
    EXPECT_TRUE(change.rules().empty());
    change.loadRules(file);
    EXPECT_EQ(change.rules().size(), 1u);
    change.forward()->setText("70");
    change.backward()->setText("50");
    change.keepDifference()->setChecked(true);
    change.accept(); // both temperatures with the difference kept
    EXPECT_FALSE(change.settings().has_value());
    EXPECT_FALSE(change.status()->text().isEmpty());
    change.backward()->clear();
    change.accept();
    ASSERT_TRUE(change.settings().has_value());
    EXPECT_EQ(change.settings()->rules.size(), 1u);

    RadiatorCandidate candidate;
    candidate.room = {RecordType::Room, "Living", "", ""};
    candidate.before.TypeCode = "P11-600-800";
    candidate.after.TypeCode = "P22-600-800";
    RadiatorChangeListDialog list({candidate, candidate});
    EXPECT_EQ(list.list()->topLevelItem(0)->text(3), "P22-600-800");
    EXPECT_EQ(list.chosen().size(), 2u);
    list.list()->topLevelItem(1)->setSelected(true);
    EXPECT_EQ(list.chosen().size(), 1u);
}

} // namespace
} // namespace kalydor::gui
