// The vapour-diffusion diagram of a layered construction: the chart, its rendering onto any
// canvas and the window that follows the construction's editor.

#include "gui/vapourdiagramwindow.h"

#include "constructions/panel.h"
#include "constructions/panelmoisture.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "language/languages.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QXYSeries>

#include <algorithm>
#include <cmath>
#include <vector>

namespace kalydor::gui {
namespace {

// The language text of a key; the built-in English text when the language has none, so a
// chart drawn without a language still names its axes.
QString text(const Languages& languages, const char* key, const char* builtIn) {
    const std::string found = languages.GetText(key);
    return found.empty() ? QString::fromUtf8(builtIn) : qt(found);
}

// A round step (1, 2 or 5 times a power of ten) giving about `ticks` intervals over a span.
double roundStep(double span, int ticks) {
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    const double raw = span / ticks;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * decade >= raw)
            return factor * decade;
    }
    return 10 * decade;
}

// Exact range with ticks on round values (anchored at 0).
void setScale(QValueAxis* axis, double min, double max, int ticks) {
    if (!(max > min)) {
        min -= 0.5;
        max += 0.5;
    }
    const double step = roundStep(max - min, ticks);
    axis->setRange(min, max);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setMinorTickCount(0);
    axis->setLabelFormat(step >= 1 ? QStringLiteral("%.0f")
                                   : QStringLiteral("%.%1f").arg(
                                         static_cast<int>(std::ceil(-std::log10(step) - 1e-9))));
}

// The layer list shown under the construction's name: "1 Plaster · 2 Brick …", broken into
// lines short enough for the chart's title.
QString layerKey(const Panel& panel) {
    QStringList lines;
    QString line;
    for (std::size_t i = 0; i < panel.Layers.size(); ++i) {
        const QString item = QStringLiteral("%1 %2").arg(i + 1).arg(qt(panel.Layers[i].Name));
        if (!line.isEmpty() && line.size() + item.size() > 70) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral("  ·  ")) + item;
    }
    if (!line.isEmpty())
        lines << line;
    for (QString& l : lines)
        l = l.toHtmlEscaped();
    return lines.join(QStringLiteral("<br>"));
}

// The axis of this name, made and added at the given side when the chart has none yet: a
// chart drawn again keeps its axes (the window redraws the same chart).
template <class Axis> Axis* axisOf(QChart* chart, const char* name, Qt::Alignment side) {
    const QList<QAbstractAxis*> axes = chart->axes();
    for (QAbstractAxis* axis : axes) {
        if (axis->objectName() == QLatin1String(name))
            return static_cast<Axis*>(axis);
    }
    auto* axis = new Axis;
    axis->setObjectName(QString::fromLatin1(name));
    chart->addAxis(axis, side);
    return axis;
}

// Over the distance, the surface films are drawn narrower than the diagram data give them:
// at most a tenth of the wall's width each, so that the wall keeps most of the picture.
void narrowFilms(PanelDiagram& diagram) {
    double wall = 0;
    for (const DiagramBoundary& face : diagram.boundaries)
        wall = std::max(wall, face.x);
    if (!(wall > 0))
        return;
    double outside = 0, inside = 0;
    for (const auto* line : {&diagram.saturation, &diagram.plain, &diagram.condensation}) {
        for (const auto& point : *line) {
            if (std::isfinite(point.first)) {
                outside = std::max(outside, -point.first);
                inside = std::max(inside, point.first - wall);
            }
        }
    }
    const double outsideScale = outside > 0 ? std::min(1.0, 0.1 * wall / outside) : 1;
    const double insideScale = inside > 0 ? std::min(1.0, 0.1 * wall / inside) : 1;
    for (auto* line : {&diagram.saturation, &diagram.plain, &diagram.condensation}) {
        for (auto& point : *line) {
            if (point.first < 0)
                point.first *= outsideScale;
            else if (point.first > wall)
                point.first = wall + (point.first - wall) * insideScale;
        }
    }
}

void fillChart(QChart* chart, const Panel& panel, DiagramAxis axis, const Languages& languages) {
    const bool overDistance = axis == DiagramAxis::Distance;
    chart->removeAllSeries();
    chart->setLocalizeNumbers(true);
    chart->setLocale(displayLocale());
    PanelDiagram diagram = panelDiagram(panel, axis);
    if (overDistance)
        narrowFilms(diagram);
    // The distance axis reads in cm, the unit layer thicknesses are given in.
    const double scale = overDistance ? 100 : 1;

    auto* x = axisOf<QValueAxis>(chart, "xAxis", Qt::AlignBottom);
    x->setTitleText(
        overDistance
            ? text(languages, "IDS_VAPOURDIAGRAMDISTANCE", "Distance from the outer surface (cm)")
            : text(languages, "IDS_VAPOURDIAGRAMTEMPERATURE", "Temperature θ (°C)"));
    auto* y = axisOf<QValueAxis>(chart, "pressureAxis", Qt::AlignLeft);
    y->setTitleText(text(languages, "IDS_VAPOURDIAGRAMPRESSURE", "Vapour pressure p (Pa)"));
    auto* layersAxis = axisOf<QCategoryAxis>(chart, "layerAxis", Qt::AlignTop);
    const QStringList oldBands = layersAxis->categoriesLabels();
    for (const QString& band : oldBands)
        layersAxis->remove(band);
    const QColor gridColour(228, 228, 228);
    for (QValueAxis* valueAxis : {x, y}) {
        valueAxis->setGridLineColor(gridColour);
        valueAxis->setMinorGridLineVisible(false);
    }

    if (diagram.saturation.empty()) {
        chart->setTitle(text(languages, "IDS_VAPOURDIAGRAMNODATA",
                             "No diagram: the construction has no layers or its vapour "
                             "diffusion was not calculated."));
        chart->legend()->hide();
        layersAxis->setVisible(false);
        setScale(x, 0, 1, 5);
        setScale(y, 0, 1, 5);
        return;
    }
    chart->setTitle(QStringLiteral("<b>%1</b><br><small>%2</small>")
                        .arg(qt(panel.Name).toHtmlEscaped(), layerKey(panel)));
    chart->legend()->show();
    chart->legend()->setAlignment(Qt::AlignBottom);

    double xMin = 0, xMax = 0, yMax = 0;
    bool first = true;
    const auto widen = [&](double px) {
        xMin = first ? px : std::min(xMin, px);
        xMax = first ? px : std::max(xMax, px);
        first = false;
    };
    std::vector<QLineSeries*> lines;
    const auto add = [&](const std::vector<std::pair<double, double>>& points, const char* name,
                         const QString& title, const QColor& colour, Qt::PenStyle style) {
        auto* series = new QLineSeries;
        series->setObjectName(QString::fromLatin1(name));
        series->setName(title);
        QList<QPointF> list;
        for (const auto& [px, py] : points) {
            if (!std::isfinite(px) || !std::isfinite(py))
                continue;
            list << QPointF(px * scale, py);
            widen(px * scale);
            yMax = std::max(yMax, py);
        }
        series->replace(list);
        QPen pen(colour);
        pen.setStyle(style);
        pen.setWidthF(2);
        series->setPen(pen);
        chart->addSeries(series);
        lines.push_back(series);
    };
    add(diagram.saturation, "SaturationSeries",
        text(languages, "IDS_VAPOURDIAGRAMSATURATION", "Saturation pressure pₛ"),
        QColor(0, 90, 200), Qt::SolidLine);
    add(diagram.plain, "PlainSeries",
        text(languages, "IDS_VAPOURDIAGRAMPLAIN", "Partial pressure p (no condensation)"),
        QColor(200, 40, 40), Qt::DashLine);
    add(diagram.condensation, "CondensationSeries",
        text(languages, "IDS_VAPOURDIAGRAMCONDENSATION", "Partial pressure with condensation p′"),
        QColor(0, 140, 60), Qt::SolidLine);

    // The layer faces: grid lines of a category axis along the top, each layer numbered in
    // the middle of its band. Faces in ascending order (the cooling case runs the other way).
    std::vector<DiagramBoundary> faces = diagram.boundaries;
    for (DiagramBoundary& face : faces) {
        face.x *= scale;
        widen(face.x);
    }
    setScale(x, xMin, xMax, 8);
    setScale(y, 0, yMax > 0 ? yMax * 1.1 : 1, 6);

    layersAxis->setVisible(true);
    layersAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    QPen facePen(QColor(110, 110, 110));
    facePen.setWidthF(1);
    layersAxis->setGridLinePen(facePen);
    layersAxis->setRange(x->min(), x->max());
    const bool ascending = faces.size() < 2 || faces.front().x <= faces.back().x;
    if (!faces.empty()) {
        // Band k lies between face k and face k + 1 (walking from the outside); its layer is
        // the one beginning at face k.
        struct Band {
            double from, to;
            int layer;
        };
        std::vector<Band> bands;
        for (std::size_t k = 0; k + 1 < faces.size(); ++k)
            bands.push_back({std::min(faces[k].x, faces[k + 1].x),
                             std::max(faces[k].x, faces[k + 1].x), faces[k].layer});
        if (!ascending)
            std::reverse(bands.begin(), bands.end());
        layersAxis->setStartValue(bands.empty() ? faces.front().x : bands.front().from);
        // Every layer carries its number; category labels must differ, so a band of no
        // layer gets an invisible distinct label.
        QString blank;
        double end = bands.empty() ? 0 : bands.front().from;
        for (const Band& band : bands) {
            if (band.to <= end)
                continue; // a layer without thickness (or resistance) has no band
            QString label;
            if (band.layer >= 0) {
                label = QString::number(band.layer + 1);
            } else {
                blank += QChar(0x200B);
                label = blank;
            }
            layersAxis->append(label, band.to);
            end = band.to;
        }
    }
    QFont labels = layersAxis->labelsFont();
    labels.setBold(true);
    layersAxis->setLabelsFont(labels);
    for (QLineSeries* series : lines) {
        series->attachAxis(x);
        series->attachAxis(y);
        series->attachAxis(layersAxis);
    }
    // attachAxis may have widened the shared range; keep the chosen one.
    x->setRange(layersAxis->min(), layersAxis->max());
}

// Plain white chart with narrow margins: the diagram also goes onto small pictures.
QChart* newChart() {
    auto* chart = new QChart;
    chart->setObjectName(QStringLiteral("VapourDiagram"));
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->setMargins(QMargins(6, 4, 10, 4));
    return chart;
}

} // namespace

QChart* panelDiagramChart(const Panel& panel, DiagramAxis axis, const Languages& languages) {
    QChart* chart = newChart();
    fillChart(chart, panel, axis, languages);
    return chart;
}

QSizeF legibleDiagramSize(QChart& chart, const QSizeF& target) {
    // Laid out at a screen-like size and scaled into the target, so that a printer page of
    // thousands of device pixels gets the same proportions of text and curves.
    const double factor = target.width() > 960 ? target.width() / 960 : 1;
    QSizeF logical = target / factor;
    // A legend wider than the picture would be cut: the picture is laid out wider then (and
    // scaled down with the same proportions).
    if (chart.legend() && chart.legend()->isVisible()) {
        const QMarginsF margins = chart.margins();
        const double needed = chart.legend()->effectiveSizeHint(Qt::PreferredSize).width() +
                              margins.left() + margins.right() + 24;
        if (needed > logical.width())
            logical *= needed / logical.width();
    }
    return logical;
}

void renderPanelDiagram(QPainter& painter, const QRectF& target, const Panel& panel,
                        DiagramAxis axis, const Languages& languages, bool color) {
    if (!target.isValid())
        return;
    QChartView view(panelDiagramChart(panel, axis, languages));
    if (!color) {
        for (QAbstractSeries* series : view.chart()->series()) {
            if (auto* line = qobject_cast<QXYSeries*>(series)) {
                QPen pen = line->pen();
                const int grey = qGray(pen.color().rgb());
                pen.setColor(QColor(grey, grey, grey));
                line->setPen(pen);
            }
        }
    }
    const QSizeF logical = legibleDiagramSize(*view.chart(), target.size());
    view.setRenderHint(QPainter::Antialiasing);
    view.resize(logical.toSize());
    view.chart()->resize(logical);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (QGraphicsLayout* layout = view.chart()->layout())
        layout->activate();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    view.scene()->render(&painter, target, QRectF(QPointF(0, 0), logical));
    painter.restore();
}

VapourDiagramWindow::VapourDiagramWindow(const Panel& panel, const Languages& languages,
                                         DiagramAxis axis, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , m_panel(panel)
    , m_languages(languages)
    , m_view(named<QChartView>("DiagramChart", newChart()))
    , m_distance(
          named<QCheckBox>("xIsDistance", QStringLiteral("Distance through the construction on the "
                                                         "horizontal axis"))) {
    setObjectName(QStringLiteral("PanelDiagramForm"));
    setWindowTitle(QStringLiteral("Vapour diffusion diagram"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumSize(520, 380);
    m_distance->setChecked(axis == DiagramAxis::Distance);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_distance);
    translateWindow(languages, *this);
    m_caption = windowTitle();
    resize(760, 560);
    connect(m_distance, &QCheckBox::toggled, this, [this] { refresh(); });
    refresh();
}

void VapourDiagramWindow::refresh() {
    fillChart(m_view->chart(), m_panel, axis(), m_languages);
    setWindowTitle(m_panel.Name.empty() ? m_caption
                                        : m_caption + QStringLiteral(" - ") + qt(m_panel.Name));
}

DiagramAxis VapourDiagramWindow::axis() const {
    return m_distance->isChecked() ? DiagramAxis::Distance : DiagramAxis::Temperature;
}

QChart* VapourDiagramWindow::chart() const {
    return m_view->chart();
}

} // namespace kalydor::gui
