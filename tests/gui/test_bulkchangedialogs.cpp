// The bulk-change dialogs offscreen: boxes filled from a construction, every box read on OK
// (a bad one keeps the dialog open and says why), the match list's all or selected entries,
// and the temperature, building and turning choices.

#include "gui/bulkchangedialogs.h"

#include "constructions/panel.h"
#include "language/languages.h"
#include "platform/scriptedprompter.h"
#include "rooms/building.h"
#include "rooms/buildingstable.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include "rooms/roomfixtures.h"
#include "support/qtapplication.h"
#include "support/shippedlanguages.h"
#include "support/tempdir.h"

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

} // namespace
} // namespace kalydor::gui
