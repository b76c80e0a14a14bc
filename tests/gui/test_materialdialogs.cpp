#include "constructions/panel.h"
#include "gui/airlayerdialog.h"
#include "gui/materialcurves.h"
#include "gui/materialdialog.h"
#include "gui/panelchart.h"
#include "gui/qtwindowtranslation.h"
#include "language/languages.h"
#include "platform/scriptedprompter.h"
#include "support/designclimate.h"
#include "support/qtapplication.h"
#include "support/shippedlanguages.h"

#include <QChartView>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

// The shipped Romanian texts, also for the messages of the core.
Languages& languages() {
    return test::romanianLanguages();
}

Material brick() {
    Material m;
    m.Name = "Cărămidă plină";
    m.Kind = 0;
    m.Thickness = 25;
    m.Density = 1800;
    m.ThermalCond = 0.8f;
    m.SteamDiffResNum = 7;
    m.Sorption = {0, 1.2f, 0, 0, 0, 0, 0, 0, 0, 3};
    return m;
}

TEST(MaterialModifyForm, ShowsEditsAndChecksTheMaterial) {
    test::qtApplication();
    languages();
    platform::ScriptedPrompter prompter;
    const platform::ScopedPrompter scoped(prompter);
    Material m = brick();
    MaterialEditor editor(m, nullptr, "Zidărie\\");
    MaterialDialog form(editor);
    translateWindow(languages(), form);
    test::saveScreenshot(form, "MaterialModifyForm");
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Zidărie\\ - Cărămidă plină"));
    // Numbers read as the interface language writes them.
    EXPECT_EQ(form.field(MaterialField::ThermalCond)->text(), QStringLiteral("0,8"));
    EXPECT_EQ(form.plottedPoints(), 2);
    EXPECT_EQ(form.chart()->chart()->title(), QStringLiteral("Izoterma de sorbție"));

    // A typed isotherm point shows on the chart at once.
    form.isotherm()->item(4, 1)->setText(QStringLiteral("2"));
    EXPECT_EQ(form.plottedPoints(), 3);

    // λ and R both given: the message, the conductivity selected, the dialog stays open.
    form.field(MaterialField::ThermalRes)->setText(QStringLiteral("0.3"));
    form.accept();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0], languages().GetText("IDS_TWOTHERMALERROR"));
    EXPECT_EQ(form.field(MaterialField::ThermalCond)->selectedText(), QStringLiteral("0,8"));
    EXPECT_NE(form.result(), QDialog::Accepted);

    // A falling isotherm selects its row.
    form.field(MaterialField::ThermalRes)->setText(QStringLiteral("0"));
    form.isotherm()->item(6, 1)->setText(QStringLiteral("1"));
    form.accept();
    ASSERT_EQ(prompter.messages().size(), 2u);
    EXPECT_EQ(form.isotherm()->currentRow(), 6);

    form.isotherm()->item(6, 1)->setText(QStringLiteral("2,5"));
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FLOAT_EQ(m.Sorption[6], 2.5f);
}

TEST(MaterialModifyForm, LockedCatalogueValuesAndLayerMode) {
    test::qtApplication();
    languages();
    Layer layer(brick());
    layer.Flags = Material::kLockedValues | Material::kNoDensity;
    MaterialEditor editor(layer, &layer);
    MaterialDialog form(editor);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Cărămidă plină"));
    EXPECT_TRUE(form.field(MaterialField::ThermalCond)->isReadOnly());
    EXPECT_FALSE(form.field(MaterialField::Thickness)->isReadOnly());
    EXPECT_TRUE(form.field(MaterialField::Density)->isHidden());
    EXPECT_FALSE(form.field(MaterialField::InitialHumidity2)->isHidden());
    EXPECT_FALSE(form.isotherm()->item(1, 1)->flags() & Qt::ItemIsEditable);
}

TEST(AirMaterialModifyForm, ChecksTheDiagramAndTakesItsResistance) {
    test::qtApplication();
    languages();
    Layer air;
    air.Name = "Strat de aer";
    air.Kind = 2;
    AirMaterialEditor editor(air, &air);
    AirLayerDialog form(editor);
    translateWindow(languages(), form);
    EXPECT_TRUE(form.steamRes()->isEnabled());
    form.thickness()->setText(QStringLiteral("3"));
    form.ventilated()->setChecked(true);
    form.diagram()->item(0, 0)->setText(QStringLiteral("5"));
    form.diagram()->item(0, 1)->setText(QStringLiteral("0,18"));
    form.diagram()->item(1, 0)->setText(QStringLiteral("1"));
    form.diagram()->item(1, 1)->setText(QStringLiteral("0.2"));
    EXPECT_EQ(form.plottedPoints(), 2);
    test::saveScreenshot(form, "AirMaterialModifyForm");

    form.accept();
    EXPECT_EQ(form.status()->text().toStdString(), languages().GetText("IDS_CANNOTLESSTHERMO"));
    EXPECT_EQ(form.diagram()->item(0, 0)->text(), QStringLiteral("1")); // shown sorted
    EXPECT_EQ(form.diagram()->currentRow(), 1);
    EXPECT_NE(form.result(), QDialog::Accepted);

    form.diagram()->item(0, 1)->setText(QStringLiteral("0.1"));
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_NEAR(air.ThermalRes, 0.14, 1e-6);
    EXPECT_TRUE(air.Ventilled);
}

TEST(MaterialChart, PictureOfTheIsothermOrTheDiagram) {
    test::qtApplication();
    const QByteArray isotherm = materialChartPng(brick(), languages());
    EXPECT_TRUE(isotherm.startsWith("\x89PNG"));
    QImage image;
    ASSERT_TRUE(image.loadFromData(isotherm, "PNG"));
    EXPECT_EQ(image.width(), 480);
    Material thick = brick();
    thick.Kind = 1;
    EXPECT_TRUE(materialChartPng(thick, languages()).isEmpty());
    Material air;
    air.Kind = 2;
    air.Diagram[0] = {1, 0.1f};
    EXPECT_FALSE(materialChartPng(air, languages()).isEmpty());
}

TEST(PanelChart, VapourDiagramOfALayeredConstruction) {
    test::qtApplication();
    Panel wall = test::outsideWall("Perete");
    wall.Layers = {Layer(brick())};
    wall.Calculate({});
    for (const DiagramAxis axis : {DiagramAxis::Temperature, DiagramAxis::Distance}) {
        const bool distance = axis == DiagramAxis::Distance;
        const QByteArray png = panelChartPng(wall, axis);
        QImage image;
        ASSERT_TRUE(image.loadFromData(png, "PNG")) << distance;
        EXPECT_EQ(image.width(), 560);
        if (!distance && qEnvironmentVariableIsSet("KALYDOR_SCREENSHOT_DIR"))
            image.save(qEnvironmentVariable("KALYDOR_SCREENSHOT_DIR") + "/PanelChart.png");
    }
    Panel known;
    known.Layered = 1;
    EXPECT_TRUE(panelChartPng(known, DiagramAxis::Temperature).isEmpty());
}

} // namespace
} // namespace kalydor::gui
