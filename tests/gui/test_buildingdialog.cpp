// The building dialog offscreen: a settlement typed without accents takes the list's name
// and climate, a parent below the building is refused in the status line; and a picture of it
// in each shipped language.

#include "gui/buildingdialog.h"

#include "base/textlookup.h"
#include "gui/qtwindowtranslation.h"
#include "language/languages.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include "support/fakelanguage.h"
#include "support/qtapplication.h"
#include "support/qtwidgets.h"
#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

TEST(BuildingModifyForm, SettlementClimateAndParent) {
    test::qtApplication();
    const test::FakeLanguage language{{"IDS_SETTLEMENTNAME+0", "București;21;20;19;18;5"},
                                      {"IDS_BUILDINGCATEGORY+0", "I"},
                                      {"IDS_BUILDINGCATEGORY+1", "II"},
                                      {"IDS_ROUNDINBUILDINGSREF", "no loops"}};
    test::TempDir dir;
    ItemStore project(dir.path().string(), "p", TableMode::Create, TableKind::Project);
    Building a;
    a.Name = "A";
    a.ID = project.AddRecord(RecordType::Building, project.RootId(), "A", a.recordBytes());
    Building b;
    b.Name = "B";
    b.ParentID = a.ID;
    project.AddRecord(RecordType::Building, project.RootId(), "B", b.recordBytes());
    a.BuildingCategory = 1;

    BuildingEditor editor(a, project, RoomSettings{});
    BuildingDialog dialog(editor);
    test::typeAndLeave(dialog.settlementEdit(), "bucuresti");
    EXPECT_EQ(dialog.settlementEdit()->text(), QStringLiteral("București"));
    EXPECT_EQ(dialog.temperatureLabel()->text(), "20");
    EXPECT_EQ(dialog.swingLabel()->text(), "5");

    dialog.parentCombo()->setCurrentIndex(1);
    emit dialog.parentCombo()->activated(1); // B is below A
    EXPECT_EQ(dialog.status()->text(), "no loops");
    EXPECT_EQ(dialog.parentCombo()->currentIndex(), 0);
    EXPECT_TRUE(editor.building().ParentID.empty());
}

TEST(BuildingModifyForm, PicturesInEachLanguage) {
    test::qtApplication();
    Languages& languages = test::shippedLanguages();
    test::TempDir dir;
    ItemStore project(dir.path().string(), "p", TableMode::Create, TableKind::Project);
    const std::string directory = qEnvironmentVariable("KALYDOR_SCREENSHOT_DIR").toStdString();
    for (const Language& language : languages.languages()) {
        if (!language.userInterface)
            continue;
        languages.SelectInterfaceLanguage(language.id);
        setTextLookup(&languages);
        Building building;
        building.Name = "Bloc A";
        building.SettlementName = "Cluj-Napoca";
        BuildingEditor editor(building, project, RoomSettings{});
        BuildingDialog dialog(editor);
        translateWindow(languages, dialog);
        const QPixmap picture = dialog.grab();
        EXPECT_FALSE(picture.isNull());
        if (!directory.empty())
            picture.save(
                QString::fromStdString(directory + "/buildingdialog-" + language.id + ".png"));
    }
    test::romanianLanguages();
}

} // namespace
} // namespace kalydor::gui
