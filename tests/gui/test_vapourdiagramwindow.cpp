// The vapour-diffusion diagram: its chart on both axes, the window that follows a
// construction, and the rendering onto a picture.

#include "constructions/panel.h"
#include "constructions/panelmoisture.h"
#include "gui/panelchart.h"
#include "gui/vapourdiagramwindow.h"

#include "language/languages.h"

#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QCheckBox>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#include "support/designclimate.h"
#include "support/qtapplication.h"
#include "support/qtwidgets.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kalydor::gui {
namespace {

// A language of the diagram's own texts, so the test sees that each one is used.
Languages diagramLanguage() {
    Language language;
    language.id = "Test";
    language.userInterface = true;
    language.strings = {
        {"IDS_VAPOURDIAGRAMTEMPERATURE", "T-axis"},
        {"IDS_VAPOURDIAGRAMDISTANCE", "X-axis (cm)"},
        {"IDS_VAPOURDIAGRAMPRESSURE", "P-axis"},
        {"IDS_VAPOURDIAGRAMSATURATION", "Saturation"},
        {"IDS_VAPOURDIAGRAMPLAIN", "Plain"},
        {"IDS_VAPOURDIAGRAMCONDENSATION", "Condensation"},
        {"IDS_VAPOURDIAGRAMNODATA", "No diagram"},
    };
    LanguageForm form;
    form.name = "PanelDiagramForm";
    form.propertyIds = {"Caption"};
    form.values = {"Diagram"};
    form.items.push_back({"xIsDistance", "TCheckBox", {"Caption"}, {"By distance"}});
    language.forms.push_back(form);
    Languages languages;
    languages.addLanguage(language);
    languages.SelectInterfaceLanguage("Test");
    return languages;
}

// Insulated on the inside behind a tight render: condensation at the cold side of the wool.
Panel condensingWall() {
    Panel wall = test::outsideWall("Perete izolat la interior", 60);
    wall.OutSideRelHum = 90;
    wall.Layers = {test::moistLayer("Tencuială etanșă", 3, 2000, 1.0f, 200, 4),
                   test::moistLayer("Zidărie de cărămidă", 25, 1800, 0.8f, 7, 4),
                   test::moistLayer("Vată minerală", 10, 100, 0.04f, 1.2f, 4),
                   test::moistLayer("Tencuială interioară", 1.5f, 1700, 0.87f, 10, 4)};
    wall.Calculate({});
    return wall;
}

// The real wall of an engineer: plaster, brick, polystyrene and render, listed from inside.
Panel insulatedWall() {
    Panel wall = test::outsideWall("Perete exterior cu termosistem", 60);
    wall.OutSideRelHum = 90;
    wall.Ordering = 1;
    wall.Layers = {test::moistLayer("Tencuială interioară", 1.5f, 1700, 0.87f, 10, 4),
                   test::moistLayer("Zidărie de cărămidă plină", 25, 1800, 0.8f, 7, 4),
                   test::moistLayer("Polistiren expandat", 10, 20, 0.04f, 50, 4),
                   test::moistLayer("Tencuială decorativă", 0.5f, 1800, 0.7f, 30, 4)};
    wall.Calculate({});
    return wall;
}

QLineSeries* series(QChart* chart, const char* name) {
    const QList<QAbstractSeries*> all = chart->series();
    for (QAbstractSeries* s : all) {
        if (s->objectName() == QLatin1String(name))
            return static_cast<QLineSeries*>(s);
    }
    ADD_FAILURE() << name;
    return nullptr;
}

template <class Axis> Axis* axis(QChart* chart, Qt::Alignment where) {
    const QList<QAbstractAxis*> axes = chart->axes();
    for (QAbstractAxis* a : axes) {
        if (a->alignment() == where)
            return qobject_cast<Axis*>(a);
    }
    return nullptr;
}

double maxY(const QLineSeries* s) {
    double y = 0;
    for (const QPointF& p : s->points())
        y = std::max(y, p.y());
    return y;
}

// Every point of every data series lies inside the axis ranges.
void expectInside(QChart* chart) {
    const auto* x = axis<QValueAxis>(chart, Qt::AlignBottom);
    const auto* y = axis<QValueAxis>(chart, Qt::AlignLeft);
    ASSERT_TRUE(x && y);
    for (QAbstractSeries* s : chart->series()) {
        for (const QPointF& p : static_cast<QLineSeries*>(s)->points()) {
            EXPECT_GE(p.x(), x->min() - 1e-9);
            EXPECT_LE(p.x(), x->max() + 1e-9);
            EXPECT_GE(p.y(), y->min());
            EXPECT_LE(p.y(), y->max());
        }
    }
}

// The band ends of the layer axis, the labels of the bands.
std::vector<double> bandEnds(QCategoryAxis* layers) {
    std::vector<double> ends{layers->startValue()};
    for (const QString& label : layers->categoriesLabels())
        ends.push_back(layers->endValue(label));
    return ends;
}

TEST(VapourDiagram, ShowsTheProfilesAndTheLayersOnBothAxes) {
    test::qtApplication();
    const Languages languages = diagramLanguage();
    Panel wall = condensingWall();
    ASSERT_TRUE(std::any_of(wall.Layers.begin(), wall.Layers.end(),
                            [](const Layer& l) { return l.results.condensation != 0; }));
    VapourDiagramWindow form(wall, languages, DiagramAxis::Temperature);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Diagram - Perete izolat la interior"));
    auto* distance = test::child<QCheckBox>(form, "xIsDistance");
    ASSERT_NE(distance, nullptr);
    EXPECT_EQ(distance->text(), QStringLiteral("By distance"));
    EXPECT_EQ(form.axis(), DiagramAxis::Temperature);

    QChart* chart = form.chart();
    ASSERT_EQ(chart->series().size(), 3);
    QLineSeries* saturation = series(chart, "SaturationSeries");
    QLineSeries* plain = series(chart, "PlainSeries");
    QLineSeries* condensation = series(chart, "CondensationSeries");
    ASSERT_TRUE(saturation && plain && condensation);
    EXPECT_EQ(saturation->name(), QStringLiteral("Saturation"));
    EXPECT_EQ(plain->name(), QStringLiteral("Plain"));
    EXPECT_EQ(condensation->name(), QStringLiteral("Condensation"));
    EXPECT_EQ(saturation->count(), 129);
    EXPECT_DOUBLE_EQ(saturation->at(0).x(), -15);
    EXPECT_DOUBLE_EQ(saturation->at(128).x(), 20);
    // The plain line crosses above saturation where the condensing profile stays at or below.
    const double ps20 = saturationPressure(20);
    EXPECT_NEAR(maxY(saturation), ps20, 1e-6);
    EXPECT_LE(maxY(condensation), ps20 + 1e-6);
    EXPECT_GT(condensation->count(), plain->count());

    auto* x = axis<QValueAxis>(chart, Qt::AlignBottom);
    auto* y = axis<QValueAxis>(chart, Qt::AlignLeft);
    ASSERT_TRUE(x && y);
    EXPECT_EQ(x->titleText(), QStringLiteral("T-axis"));
    EXPECT_EQ(y->titleText(), QStringLiteral("P-axis"));
    EXPECT_DOUBLE_EQ(x->min(), -15);
    EXPECT_DOUBLE_EQ(x->max(), 20);
    EXPECT_EQ(y->min(), 0);
    EXPECT_GT(y->max(), ps20 * 1.05);
    EXPECT_LT(y->max(), ps20 * 1.3);
    expectInside(chart);

    // The faces: on the temperature axis at the faces' temperatures, each band numbered.
    auto* layers = axis<QCategoryAxis>(chart, Qt::AlignTop);
    ASSERT_NE(layers, nullptr);
    const std::vector<double> ends = bandEnds(layers);
    ASSERT_EQ(ends.size(), 5u);
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_NEAR(ends[k], wall.Layers[k].results.firstTemperature, 1e-9) << k;
    EXPECT_NEAR(ends[4], wall.Layers[3].results.secondTemperature, 1e-9);
    EXPECT_TRUE(layers->categoriesLabels().contains(QStringLiteral("3")));
    EXPECT_TRUE(chart->title().contains(QStringLiteral("3 Vată minerală")));
    QApplication::processEvents();
    test::saveScreenshot(form, "diagram-condensing-temperature", true);

    // Over the distance, in cm from the outer surface. The diagram data give each film half
    // a metre; on screen a film takes at most a tenth of the wall's width, so that the
    // 39.5 cm of the wall keep the picture.
    distance->setChecked(true);
    EXPECT_EQ(form.axis(), DiagramAxis::Distance);
    EXPECT_EQ(form.chart(), chart);
    ASSERT_EQ(axis<QValueAxis>(chart, Qt::AlignBottom), x);
    EXPECT_EQ(x->titleText(), QStringLiteral("X-axis (cm)"));
    EXPECT_NEAR(x->min(), -3.95, 1e-6);
    EXPECT_NEAR(x->max(), 39.5 + 3.95, 1e-6);
    layers = axis<QCategoryAxis>(chart, Qt::AlignTop);
    ASSERT_NE(layers, nullptr);
    const std::vector<double> cm = bandEnds(layers);
    const double expected[] = {0, 3, 28, 38, 39.5};
    ASSERT_EQ(cm.size(), 5u);
    for (std::size_t k = 0; k < 5; ++k)
        EXPECT_NEAR(cm[k], expected[k], 1e-4) << k;
    // Every layer carries its number, the thin render as well.
    for (const char* number : {"1", "2", "3", "4"})
        EXPECT_TRUE(layers->categoriesLabels().contains(QString::fromLatin1(number))) << number;
    expectInside(chart);
    QApplication::processEvents();
    test::saveScreenshot(form, "diagram-condensing-distance", true);
}

TEST(VapourDiagram, RefreshFollowsTheConstruction) {
    test::qtApplication();
    const Languages languages = diagramLanguage();
    Panel wall = condensingWall();
    VapourDiagramWindow form(wall, languages, DiagramAxis::Distance);
    EXPECT_EQ(form.axis(), DiagramAxis::Distance);
    auto* x = axis<QValueAxis>(form.chart(), Qt::AlignBottom);
    ASSERT_NE(x, nullptr);
    EXPECT_NEAR(x->max(), 39.5 + 3.95, 1e-6);

    // Thicker wool and a colder outside: new faces, new curves.
    wall.Layers[2].Thickness = 20;
    wall.OutSideTemp = -20;
    wall.Name = "Varianta 2";
    wall.Calculate({});
    form.refresh();
    QChart* chart = form.chart();
    x = axis<QValueAxis>(chart, Qt::AlignBottom);
    ASSERT_NE(x, nullptr);
    EXPECT_NEAR(x->max(), 49.5 + 4.95, 1e-6);
    ASSERT_EQ(chart->series().size(), 3);
    EXPECT_EQ(series(chart, "SaturationSeries")->count(), 129);
    EXPECT_NEAR(series(chart, "PlainSeries")->at(0).y(), saturationPressure(-20) * 0.9, 1e-6);
    EXPECT_TRUE(form.windowTitle().endsWith(QStringLiteral("Varianta 2")));
    EXPECT_NEAR(bandEnds(axis<QCategoryAxis>(chart, Qt::AlignTop))[3], 48, 1e-4);

    // Cooling (warmer outside): the faces run downwards from the outside, the bands still
    // cover them in order on the temperature axis.
    wall.OutSideTemp = 32;
    wall.OutSideRelHum = 50;
    wall.Calculate({});
    form.findChild<QCheckBox*>(QStringLiteral("xIsDistance"))->setChecked(false);
    x = axis<QValueAxis>(form.chart(), Qt::AlignBottom);
    EXPECT_DOUBLE_EQ(x->min(), 20);
    EXPECT_DOUBLE_EQ(x->max(), 32);
    const std::vector<double> cooling = bandEnds(axis<QCategoryAxis>(chart, Qt::AlignTop));
    ASSERT_EQ(cooling.size(), 5u);
    EXPECT_NEAR(cooling.front(), wall.Layers[3].results.secondTemperature, 1e-9);
    EXPECT_NEAR(cooling.back(), wall.Layers[0].results.firstTemperature, 1e-9);
    EXPECT_TRUE(std::is_sorted(cooling.begin(), cooling.end()));
    expectInside(form.chart());

    // Layers removed: the chart empties and says why.
    wall.Layers.clear();
    wall.Calculate({});
    form.refresh();
    EXPECT_TRUE(form.chart()->series().isEmpty());
    EXPECT_EQ(form.chart()->title(), QStringLiteral("No diagram"));
}

int inkPixels(const QImage& image, QRgb background) {
    int ink = 0;
    for (int row = 0; row < image.height(); ++row)
        for (int col = 0; col < image.width(); ++col)
            ink += image.pixel(col, row) != background;
    return ink;
}

TEST(VapourDiagram, RendersOntoAnyCanvas) {
    test::qtApplication();
    const Languages languages = diagramLanguage();
    const Panel wall = insulatedWall();
    for (const DiagramAxis axis : {DiagramAxis::Temperature, DiagramAxis::Distance}) {
        const bool overDistance = axis == DiagramAxis::Distance;
        // A picture larger than the screen layout is scaled, not left half empty.
        QImage image(1600, 1000, QImage::Format_ARGB32);
        image.fill(qRgb(255, 0, 255));
        {
            QPainter painter(&image);
            renderPanelDiagram(painter, QRectF(100, 50, 1400, 900), wall, axis, languages);
        }
        EXPECT_EQ(image.pixel(50, 20), qRgb(255, 0, 255)); // outside the target untouched
        EXPECT_NE(image.pixel(1450, 900), qRgb(255, 0, 255));
        EXPECT_GT(inkPixels(image.copy(100, 50, 1400, 900), qRgb(255, 255, 255)), 20000);
        if (qEnvironmentVariableIsSet("KALYDOR_SCREENSHOT_DIR"))
            image.save(qEnvironmentVariable("KALYDOR_SCREENSHOT_DIR") +
                       (overDistance ? "/diagram-render-distance.png"
                                     : "/diagram-render-temperature.png"));
    }
    // The window on the same wall, for a look at both axes.
    VapourDiagramWindow form(wall, languages, DiagramAxis::Temperature);
    QApplication::processEvents();
    test::saveScreenshot(form, "diagram-temperature", true);
    form.findChild<QCheckBox*>(QStringLiteral("xIsDistance"))->setChecked(true);
    QApplication::processEvents();
    test::saveScreenshot(form, "diagram-distance", true);

    // The clipboard picture is the same diagram.
    QImage png;
    ASSERT_TRUE(png.loadFromData(panelChartPng(wall, DiagramAxis::Temperature, &languages), "PNG"));
    EXPECT_EQ(png.width(), 560);
    EXPECT_GT(inkPixels(png, qRgb(255, 255, 255)), 5000);
    if (qEnvironmentVariableIsSet("KALYDOR_SCREENSHOT_DIR"))
        png.save(qEnvironmentVariable("KALYDOR_SCREENSHOT_DIR") + "/diagram-clipboard.png");
}

} // namespace
} // namespace kalydor::gui
