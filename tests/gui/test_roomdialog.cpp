// The room dialog offscreen: typed values move the results, a refused one keeps them, the
// method shows its own boxes, the boundary commands open their dialogs, the wind table fills
// its boxes; and pictures of the dialogs in each shipped language.

#include "gui/roomdialog.h"

#include "constructions/panel.h"
#include "devicedb/devicestore.h"
#include "devicedb/radiatorfamilycache.h"
#include "gui/addboundariesdialog.h"
#include "gui/boundarydialog.h"
#include "gui/constructiontree.h"
#include "gui/qtwindowtranslation.h"
#include "gui/ventilationchangedialog.h"
#include "gui/winddialog.h"
#include "heating/projectoptions.h"
#include "language/languages.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"
#include "rooms/building.h"
#include "shell/programoptions.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"

#include "rooms/roomfixtures.h"
#include "support/qtapplication.h"
#include "support/qtwidgets.h"
#include "support/radiatorfamilies.h"
#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace kalydor::gui {
namespace {

class RoomModifyForm : public ::testing::Test {
protected:
    void SetUp() override {
        test::qtApplication();
        project = std::make_unique<ItemStore>(dir.path().string(), "p", TableMode::Create,
                                              TableKind::Project);
        Building building;
        building.Name = "Casa";
        house = project->AddRecord(RecordType::Building, project->RootId(), "Casa",
                                   building.recordBytes());
        Panel wall;
        wall.Name = "Perete nou";
        wall.Type = 0;
        wall.R = 2;
        wall.ThermicMassivitate = 1;
        project->AddRecord(RecordType::Panel,
                           project->GroupOfPath(RecordType::PanelGroup, "Pereți", '\\'),
                           "Perete nou", wall.recordBytes());
        table = BuildingsTable::load(*project);
        options = std::make_unique<ProgramOptions>(settings, languages);
    }

    // The office with a window beside its wall.
    static Room room() {
        Room r = test::office();
        r.Boundaries.push_back(test::boundary("Fereastra", 10, 1, 1, 0.5f));
        return r;
    }

    test::TempDir dir;
    Languages& languages = test::romanianLanguages();
    platform::MemorySettingsStore settings;
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
    std::unique_ptr<ItemStore> project;
    std::unique_ptr<ProgramOptions> options;
    BuildingsTable table;
    NewBoundaryDefaults defaults;
    std::string house;
};

TEST_F(RoomModifyForm, TypedValuesMoveTheResults) {
    RoomEditor editor(room(), table, RoomSettings{-15, {}}, nullptr, {}, true);
    RoomDialog dialog(editor, *project, *options, defaults);
    QLabel* load = dialog.result("HeatingPowerValue");
    // 10 m² of wall with R 1 and 1 m² of window with R 0.5 at 35 K: 350 + 70 W, and 100 W
    // of ventilation.
    EXPECT_EQ(load->text(), "520");
    test::typeAndLeave(dialog.field(RoomField::HeatingInSideTemp), "25 °C");
    EXPECT_EQ(load->text(), "580");
    test::typeAndLeave(dialog.field(RoomField::HeatingInSideTemp), "cald");
    EXPECT_EQ(load->text(), "580");
    EXPECT_FALSE(dialog.status()->text().isEmpty());
    test::typeAndLeave(dialog.field(RoomField::HeatingInSideTemp), "20");
    EXPECT_TRUE(dialog.status()->text().isEmpty());

    // The outside temperature box: a number of the room's, the first entry the project's.
    QComboBox* outside = dialog.temperatureCombo(RoomTemperature::Outside);
    test::typeAndLeave(outside->lineEdit(), "-20");
    EXPECT_EQ(load->text(), "580");
    outside->setCurrentIndex(0);
    emit outside->activated(0);
    EXPECT_EQ(editor.room().OutSideTempFromProject, 1);
    EXPECT_EQ(load->text(), "520");

    // Known air flow shows its own box and the entering air; the others go.
    EXPECT_FALSE(dialog.field(RoomField::AirVolume)->isVisibleTo(&dialog));
    dialog.methodButton(2)->click();
    EXPECT_TRUE(dialog.field(RoomField::AirVolume)->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.field(RoomField::FiltPower)->isVisibleTo(&dialog));
    EXPECT_TRUE(dialog.temperatureCombo(RoomTemperature::EnteringAir)->isVisibleTo(&dialog));
    test::typeAndLeave(dialog.field(RoomField::AirVolume), "60");
    EXPECT_EQ(editor.room().CalculatedFiltPower, 700.0f); // 60 m³/h at 35 K

    // The wind table fills the wind speed and the level factor.
    dialog.methodButton(4)->click();
    QTimer::singleShot(0, [] {
        auto* wind = qobject_cast<WindDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(wind, nullptr);
        wind->situations()->setCurrentItem(wind->situations()->topLevelItem(2));
        wind->accept();
    });
    test::child<QPushButton>(dialog, "WindButton")->click();
    EXPECT_EQ(dialog.field(RoomField::WindSpeed)->text(), "5");
    EXPECT_EQ(editor.room().WindSpeed, 5.0f);
    EXPECT_EQ(editor.room().EFactor, 1.0f);
}

TEST_F(RoomModifyForm, BoundaryCommandsOpenTheirDialogs) {
    RoomEditor editor(room(), table, RoomSettings{-15, {}}, nullptr, {}, true);
    RoomDialog dialog(editor, *project, *options, defaults);
    QTreeWidget* list = dialog.boundaryList();
    ASSERT_EQ(list->topLevelItemCount(), 2);

    // Modify: the full dialog on a copy, taken back on OK.
    list->setCurrentItem(list->topLevelItem(0));
    QTimer::singleShot(0, [] {
        auto* boundary = qobject_cast<BoundaryDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(boundary, nullptr);
        EXPECT_EQ(boundary->objectName(), "BoundaryModifyForm");
        test::typeAndLeave(boundary->field(BoundaryField::x), "8");
        boundary->accept();
    });
    dialog.modifyBoundary();
    EXPECT_EQ(editor.room().Boundaries[0].x, 8.0f);

    // Add: the construction of the tree, edited in the wall dialog, after the selected row.
    QTimer::singleShot(0, [] {
        auto* wall = qobject_cast<BoundaryDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(wall, nullptr);
        EXPECT_EQ(wall->objectName(), "WallModifyForm");
        test::typeAndLeave(wall->field(BoundaryField::x), "3");
        wall->accept();
    });
    dialog.addBoundaries([](QDialog& shown) {
        auto& add = static_cast<AddBoundariesDialog&>(shown);
        QTreeWidgetItem* wall = add.constructions()->firstConstructionRow();
        ASSERT_NE(wall, nullptr);
        add.addRow(wall);
    });
    ASSERT_EQ(editor.room().Boundaries.size(), 3u);
    EXPECT_EQ(editor.room().Boundaries[1].Name, "Perete nou");
    EXPECT_EQ(editor.room().Boundaries[1].x, 3.0f);
    EXPECT_EQ(editor.room().Boundaries[1].y, 2.5f); // the room height
    EXPECT_EQ(list->topLevelItemCount(), 3);
    // The project's inside temperatures were taken as the neighbour's once (none here).
    EXPECT_TRUE(defaults.started);

    // The window dropped on the wall is deducted from it.
    dialog.deduct(2, 0);
    EXPECT_EQ(editor.room().Boundaries[0].MinA, 1.0f);

    // Delete asks; No keeps it.
    prompter.scriptYesNo(false);
    list->setCurrentItem(list->topLevelItem(1));
    dialog.deleteBoundary();
    EXPECT_EQ(editor.room().Boundaries.size(), 3u);
}

TEST_F(RoomModifyForm, VentilationChangeReadsEveryBoxOnOk) {
    VentilationChangeDialog dialog(&languages, &settings);
    EXPECT_TRUE(dialog.box("AirChangeEdit")->isVisibleTo(&dialog));
    dialog.methodButton(2)->click();
    EXPECT_FALSE(dialog.box("AirChangeEdit")->isVisibleTo(&dialog));
    EXPECT_TRUE(dialog.box("AirVolumeEdit")->isVisibleTo(&dialog));
    dialog.box("AirVolumeEdit")->setText("-5");
    dialog.accept();
    EXPECT_FALSE(dialog.change().has_value());
    EXPECT_FALSE(dialog.status()->text().isEmpty());
    EXPECT_EQ(dialog.result(), 0);

    // Empty boxes leave the rooms' values: only the method changes.
    dialog.box("AirVolumeEdit")->clear();
    dialog.accept();
    ASSERT_TRUE(dialog.change().has_value());
    Room changed = room();
    changed.AirVolume = 75;
    dialog.change()->apply(changed);
    EXPECT_EQ(changed.FiltMode, 2);
    EXPECT_EQ(changed.AirVolume, 75.0f);
}

// The radiator page: the offer of the chosen family for the demand the room's radiators do not
// cover, a cell added twice with the next free marks, and one put in place of a radiator.
TEST_F(RoomModifyForm, RadiatorPageOffersAddsAndReplaces) {
    kalydor::testing::TestFamilies families;
    RadiatorPageSource source;
    source.families = &families;
    source.offered = {{"Oțel\\Panouri", "Panel Test"}};
    RoomEditor editor(room(), table, RoomSettings{-15, {}}, nullptr, {}, true);
    RoomDialog dialog(editor, *project, *options, defaults, source);
    RoomRadiatorPage* page = dialog.radiatorPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->demandEdit()->text(), "520"); // the whole load: no radiator yet
    page->chooseFamily("Panel Test");
    const RadiatorOffer* offer = page->model().offer();
    ASSERT_NE(offer, nullptr);
    EXPECT_EQ(offer->rows(), 2);
    EXPECT_EQ(
        page->offerTable()->model()->data(page->offerTable()->model()->index(0, 0)).toString(),
        "P11-600-400\n400 W\n400x600x47");

    page->countEdit()->setText("2");
    page->addFromOffer(1, 0);
    ASSERT_EQ(editor.room().Radiators.size(), 2u);
    EXPECT_EQ(editor.room().Radiators[1].Mark, "2");
    EXPECT_EQ(page->radiatorList()->topLevelItemCount(), 2);
    EXPECT_EQ(page->demandEdit()->text(), "0"); // covered: 2 × 700 W

    page->radiatorList()->setCurrentItem(page->radiatorList()->topLevelItem(0));
    page->changeFromOffer(0, 0);
    EXPECT_EQ(editor.room().Radiators[0].TypeCode.rfind("P11-600-", 0), 0u);
    EXPECT_EQ(editor.room().Radiators[0].Mark, "1");

    // An empty count is refused in the status line; nothing is added.
    page->countEdit()->setText("0");
    page->addFromOffer(1, 0);
    EXPECT_EQ(editor.room().Radiators.size(), 2u);
    EXPECT_FALSE(dialog.status()->text().isEmpty());
}

// The set button: a cancelled choice keeps the tree; a new set rebuilds it and the chosen
// family stays chosen when the set still offers it.
TEST_F(RoomModifyForm, RadiatorPageSetButtonRebuildsTheTree) {
    kalydor::testing::TestFamilies families;
    RadiatorPageSource source;
    source.families = &families;
    source.offered = {{"Oțel\\Panouri", "Panel Test"}};
    std::vector<std::optional<std::vector<std::pair<std::string, std::string>>>> answers = {
        std::nullopt, std::vector<std::pair<std::string, std::string>>{{"Oțel", "Panel Test"},
                                                                       {"Fontă", "Other"}}};
    int asked = 0;
    source.chooseSet = [&](QWidget*) { return answers[static_cast<std::size_t>(asked++)]; };
    RoomEditor editor(room(), table, RoomSettings{-15, {}}, nullptr, {}, true);
    RoomDialog dialog(editor, *project, *options, defaults, source);
    RoomRadiatorPage* page = dialog.radiatorPage();
    ASSERT_NE(page, nullptr);
    auto* button = page->findChild<QPushButton*>("RadiatorSetButton");
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());
    page->chooseFamily("Panel Test");
    const auto shownFamilies = [&] {
        QStringList names;
        for (QTreeWidgetItemIterator row(page->familyTree()); *row; ++row)
            names << (*row)->text(0);
        return names.join(",");
    };
    EXPECT_EQ(shownFamilies(), "Oțel,Panouri,Panel Test");

    button->click(); // cancelled
    EXPECT_EQ(shownFamilies(), "Oțel,Panouri,Panel Test");
    button->click();
    EXPECT_EQ(shownFamilies(), "Oțel,Panel Test,Fontă,Other");
    ASSERT_NE(page->familyTree()->currentItem(), nullptr);
    EXPECT_EQ(page->familyTree()->currentItem()->text(0), "Panel Test");
    EXPECT_EQ(asked, 2);

    // Without a set to choose from the button is off.
    RadiatorPageSource none;
    none.families = &families;
    RoomEditor other(room(), table, RoomSettings{-15, {}}, nullptr, {}, true);
    RoomDialog plain(other, *project, *options, defaults, none);
    EXPECT_FALSE(plain.radiatorPage()->findChild<QPushButton*>("RadiatorSetButton")->isEnabled());
}

TEST_F(RoomModifyForm, PicturesInEachLanguage) {
    Languages& shipped = test::shippedLanguages();
    const std::string directory = qEnvironmentVariable("KALYDOR_SCREENSHOT_DIR").toStdString();
    for (const Language& language : shipped.languages()) {
        if (!language.userInterface)
            continue;
        // The options first: made, they select the language their settings name.
        ProgramOptions shippedOptions(settings, shipped);
        shipped.SelectInterfaceLanguage(language.id);
        setTextLookup(&shipped);
        Room r = room();
        r.Boundaries.push_back(test::boundary("Perete interior", 1, 3, 2.5f, 0.5f));
        r.Boundaries.back().OverTempWinter = 15;
        RoomEditor editor(r, table, RoomSettings{-15, {}}, nullptr, {}, true);
        RoomDialog dialog(editor, *project, shippedOptions, defaults);
        translateWindow(shipped, dialog);
        dialog.resize(1100, 720);
        BoundaryEditor full(r.Boundaries[1], BoundaryDialogKind::Full, 0);
        BoundaryDialog boundary(full, &shipped, &settings);
        translateWindow(shipped, boundary);
        boundary.show();
        const QPixmap boundaryPicture = boundary.grab();
        boundary.hide();
        WindDialog wind;
        translateWindow(shipped, wind);
        kalydor::testing::TestFamilies families;
        RadiatorPageSource source;
        source.families = &families;
        source.offered = {{"Oțel\\Panouri", "Panel Test"}};
        RoomEditor radiatorEditor(r, table, RoomSettings{-15, {}}, nullptr, {}, true);
        RoomDialog withRadiators(radiatorEditor, *project, shippedOptions, defaults, source);
        translateWindow(shipped, withRadiators);
        withRadiators.resize(1100, 720);
        withRadiators.radiatorPage()->chooseFamily("Panel Test");
        withRadiators.findChild<QTabWidget*>("RoomPages")->setCurrentIndex(1);
        for (const auto& [name, picture] :
             {std::pair{std::string("roomdialog"), dialog.grab()},
              std::pair{std::string("radiatorpage"), withRadiators.grab()},
              std::pair{std::string("boundarydialog"), boundaryPicture},
              std::pair{std::string("winddialog"), wind.grab()}}) {
            EXPECT_FALSE(picture.isNull()) << name;
            if (!directory.empty())
                picture.save(
                    QString::fromStdString(directory + "/" + name + "-" + language.id + ".png"));
        }
    }
    test::romanianLanguages();
}

// A bedroom of the demonstration house, as the manual shows it: the dialog computes the load
// worked by hand in the whole-job test (649 W), and its radiator page offers the shipped
// family with the room's panel chosen.
TEST_F(RoomModifyForm, DemonstrationHouseBedroom) {
    const std::string program = KALYDOR_PROGRAM_DIR;
    for (const char* file : {"demo/Demo.db", "Kalydor32.db"})
        ASSERT_TRUE(std::filesystem::copy_file(program + "/" + file,
                                               dir.path() / std::filesystem::path(file).filename()))
            << file << " was not made by the build";
    ItemStore demo(dir.path().string(), "Demo.db", TableMode::Open, TableKind::Project);
    const BuildingsTable buildings = BuildingsTable::load(demo);
    Room bedroom;
    bedroom.Name = "Dormitor copil 2";
    ASSERT_TRUE(demo.FindRecord(RecordType::Room, demo.RootId(), bedroom.Name));
    ASSERT_TRUE(readStoredItem(bedroom, demo.currentData()));
    // The house's radiators are chosen for 70/55 °C, and so are its options.
    ProjectOptions houseOptions;
    ASSERT_TRUE(houseOptions.LoadFromProject(demo));
    const auto& medium = houseOptions.Radiator.Hydraulic.Medium;
    EXPECT_EQ(medium.ForwardTemperature, 70.0f);
    EXPECT_EQ(medium.BackwardTemperature, 55.0f);
    std::unique_ptr<DeviceStore> devices = DeviceStore::open(dir.file("Kalydor32.db"));
    RadiatorFamilyCache cache;
    CachedRadiatorFamilies families(devices.get(), cache);
    RoomSettings calculation{-15, [&](Room& room, double ti) {
                                 for (Radiator& radiator : room.Radiators)
                                     radiator.Refresh(families, ti);
                             }};
    Languages& shipped = test::shippedLanguages();
    const std::string directory = qEnvironmentVariable("KALYDOR_SCREENSHOT_DIR").toStdString();
    for (const Language& language : shipped.languages()) {
        if (!language.userInterface)
            continue;
        ProgramOptions shippedOptions(settings, shipped);
        shipped.SelectInterfaceLanguage(language.id);
        setTextLookup(&shipped);
        RadiatorPageSource source;
        source.families = &families;
        source.offered = {{"Oțel\\Panouri", "Panou Calor panels 11-22-33"}};
        source.forward = medium.ForwardTemperature;
        source.backward = medium.BackwardTemperature;
        RoomEditor editor(bedroom, buildings, calculation, nullptr, {}, true);
        RoomDialog dialog(editor, demo, shippedOptions, defaults, source);
        translateWindow(shipped, dialog);
        dialog.resize(1100, 720);
        EXPECT_EQ(dialog.result("HeatingPowerValue")->text(), "649") << language.id;
        const QPixmap room = dialog.grab();
        dialog.radiatorPage()->chooseFamily("Panou Calor panels 11-22-33");
        dialog.findChild<QTabWidget*>("RoomPages")->setCurrentIndex(1);
        const QPixmap radiators = dialog.grab();
        if (!directory.empty()) {
            room.save(
                QString::fromStdString(directory + "/demo-roomdialog-" + language.id + ".png"));
            radiators.save(
                QString::fromStdString(directory + "/demo-radiatorpage-" + language.id + ".png"));
        }
    }
    test::romanianLanguages();
}

} // namespace
} // namespace kalydor::gui
