// The radiator dialog offscreen: the arrows step the size and the labels follow, a typed
// return temperature above the flow temperature is refused in the status line, the chart
// holds output and flow; and a picture of it in each shipped language.

#include "gui/radiatordialog.h"

#include "base/textlookup.h"
#include "gui/qtwindowtranslation.h"
#include "language/languages.h"

#include "support/fakelanguage.h"
#include "support/qtapplication.h"
#include "support/qtwidgets.h"
#include "support/radiatorfamilies.h"
#include "support/shippedlanguages.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QToolButton>

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

Radiator panelRadiator() {
    Radiator radiator;
    radiator.Mark = "1";
    radiator.Family = "Panel Test";
    radiator.TypeCode = "P22-600-400";
    radiator.setForwardTemperature(90);
    radiator.setBackwardTemperature(70);
    return radiator;
}

TEST(RadiatorModifyForm, ArrowsTypedValuesAndChart) {
    test::qtApplication();
    const test::FakeLanguage language{{"IDS_CANNOTDECREASE", "no smaller size"},
                                      {"IDS_DTLOGERROR", "temperatures do not fit"}};
    testing::TestFamilies families;
    Radiator radiator = panelRadiator();
    radiator.Refresh(families, 20);
    RadiatorEditor editor(radiator, 20, families, {"Panel Test"});
    RadiatorDialog dialog(editor);
    EXPECT_EQ(dialog.typeCodeLabel()->text(), "P22-600-400");
    EXPECT_EQ(dialog.outputLabel()->text(), "700 W");
    EXPECT_EQ(dialog.mainTypeCombo()->currentText(), "P22-600");

    dialog.increaseButton()->click();
    EXPECT_EQ(dialog.typeCodeLabel()->text(), "P22-600-800");
    EXPECT_EQ(dialog.dimensionsLabel()->text(), "800 x 600 x 100 mm");
    EXPECT_EQ(dialog.outputLabel()->text(), "1400 W");
    EXPECT_TRUE(dialog.typeCodeLabel()->styleSheet().contains("#007a00")); // current: green
    EXPECT_EQ(editor.radiator().TypeCode, "P22-600-800");

    dialog.decreaseButton()->click();
    dialog.decreaseButton()->click();
    EXPECT_EQ(dialog.status()->text(), "no smaller size");
    EXPECT_EQ(dialog.typeCodeLabel()->text(), "P22-600-400");
    EXPECT_TRUE(dialog.typeCodeLabel()->styleSheet().contains("#c00000")); // not current: red

    test::typeAndLeave(dialog.field(RadiatorField::Return), "95");
    EXPECT_EQ(dialog.status()->text(), "temperatures do not fit");
    EXPECT_EQ(editor.radiator().BackwardTemperature(), 70.0f);

    test::typeAndLeave(dialog.field(RadiatorField::Return), "55");
    EXPECT_EQ(editor.radiator().BackwardTemperature(), 55.0f);
    EXPECT_TRUE(dialog.status()->text().isEmpty());

    dialog.mainTypeCombo()->setCurrentIndex(0);
    emit dialog.mainTypeCombo()->activated(0);
    EXPECT_EQ(dialog.typeCodeLabel()->text(), "P11-600-400");

    // Output and flow over the return temperatures 21 … 87 °C.
    const QList<QAbstractSeries*> series = dialog.chart()->chart()->series();
    ASSERT_EQ(series.size(), 2);
    EXPECT_EQ(static_cast<QLineSeries*>(series[0])->count(), 67);
}

TEST(RadiatorModifyForm, PicturesInEachLanguage) {
    test::qtApplication();
    Languages& languages = test::shippedLanguages();
    testing::TestFamilies families;
    const std::string directory = qEnvironmentVariable("KALYDOR_SCREENSHOT_DIR").toStdString();
    for (const Language& language : languages.languages()) {
        if (!language.userInterface)
            continue;
        languages.SelectInterfaceLanguage(language.id);
        setTextLookup(&languages);
        // Made in the language: the medium's name is the language's word for water.
        Radiator radiator = panelRadiator();
        radiator.Refresh(families, 20);
        RadiatorEditor editor(radiator, 20, families, {"Panel Test"});
        RadiatorDialog dialog(editor);
        translateWindow(languages, dialog);
        EXPECT_FALSE(dialog.windowTitle().isEmpty()) << language.id;
        dialog.resize(900, 520);
        const QPixmap picture = dialog.grab();
        EXPECT_FALSE(picture.isNull());
        if (!directory.empty())
            picture.save(
                QString::fromStdString(directory + "/radiatordialog-" + language.id + ".png"));
    }
    test::romanianLanguages();
}

} // namespace
} // namespace kalydor::gui
