#include "gui/materialcurves.h"

#include "base/error.h"
#include "constructions/materialeditor.h"
#include "gui/qtcanvas.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "language/languages.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHeaderView>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QTableWidget>
#include <QValueAxis>

#include <algorithm>
#include <memory>

namespace kalydor::gui {

// A chart of one curve with its axes at the bottom and on the left, so that the language
// files can caption them. The title starts empty: the language files add its lines.
QChartView* curveChart(const char* name, const QString& xTitle, const QString& yTitle) {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setLocalizeNumbers(true);
    chart->setLocale(displayLocale());
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setTitleText(xTitle);
    y->setTitleText(yTitle);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    auto* line = new QLineSeries;
    auto* points = new QScatterSeries;
    points->setMarkerSize(7);
    for (QXYSeries* series : {static_cast<QXYSeries*>(line), static_cast<QXYSeries*>(points)}) {
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    auto* view = named<QChartView>(name, chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(380, 280);
    return view;
}

// Shows the points on the chart's curve; the axes start at 0 and reach past the last point,
// their ticks on round numbers.
void plot(QChartView* view, const QList<QPointF>& points, double xMax) {
    QChart* chart = view->chart();
    const QList<QAbstractSeries*> series = chart->series();
    for (QAbstractSeries* s : series)
        static_cast<QXYSeries*>(s)->replace(points);
    double yMax = 0;
    for (const QPointF& p : points)
        yMax = std::max(yMax, p.y());
    const QList<QAbstractAxis*> axes = chart->axes();
    for (QAbstractAxis* axis : axes) {
        auto* value = static_cast<QValueAxis*>(axis);
        value->setRange(0,
                        axis->alignment() == Qt::AlignBottom ? xMax : (yMax > 0 ? yMax * 1.1 : 1));
        value->applyNiceNumbers();
    }
}

QTableWidget* grid(const char* name, int rows, const QStringList& headers) {
    auto* table = named<QTableWidget>(name, rows, static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setMinimumWidth(200);
    return table;
}

QTableWidgetItem* cell(const QString& text, bool editable) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

double number(const QString& text) {
    try {
        return MaterialEditor::parseCell(text.toStdString());
    } catch (const Error&) {
        return 0;
    }
}

std::unique_ptr<QChartView> materialChartView(const Material& material, const Languages& languages,
                                              bool color) {
    QList<QPointF> points;
    double xMax = 100;
    QString x;
    QString y;
    if (material.isKind(MaterialKind::Normal) && material.Sorption[9] > 0) {
        for (std::size_t i = 0; i < Material::kIsothermPoints; ++i) {
            if (material.Sorption[i] > 0)
                points << QPointF(static_cast<double>(i + 1) * 10.0, material.Sorption[i]);
        }
        x = qt(languages.GetText("ID_MATERIAL12b")) + QStringLiteral(" (%)");
        y = qt(languages.GetText("ID_MATERIAL12c")) + QStringLiteral(" (%)");
    } else if (material.isKind(MaterialKind::Air) && material.Diagram[0].thickness > 0) {
        xMax = 1;
        for (const AirLayerPoint& point : material.Diagram) {
            if (point.thickness > 0) {
                points << QPointF(point.thickness, point.resistance);
                xMax = std::max(xMax, point.thickness * 1.1);
            }
        }
        x = qt(languages.GetText("ID_MATERIAL14b")) + QStringLiteral(" (cm)");
        y = qt(languages.GetText("ID_MATERIAL14c")) + QStringLiteral(" (m²K/W)");
    } else {
        return nullptr;
    }
    std::unique_ptr<QChartView> view(curveChart("MaterialChart", x, y));
    view->chart()->setTitle(qt(material.Name));
    view->resize(480, 320);
    plot(view.get(), points, xMax);
    if (!color) {
        // A printer without colours gets the curve in dark grey, its points in black.
        const QList<QAbstractSeries*> series = view->chart()->series();
        for (QAbstractSeries* s : series) {
            auto* xy = static_cast<QXYSeries*>(s);
            xy->setColor(s == series.front() ? QColor(64, 64, 64) : QColor(0, 0, 0));
        }
    }
    return view;
}

QByteArray materialChartPng(const Material& material, const Languages& languages) {
    const std::unique_ptr<QChartView> view = materialChartView(material, languages, true);
    if (!view)
        return {};
    const QPixmap picture = view->grab();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

bool renderMaterialChart(QPainter& painter, const QRectF& area, const Material& material,
                         const Languages& languages, bool color) {
    const std::unique_ptr<QChartView> view = materialChartView(material, languages, color);
    if (!view || area.width() <= 0 || area.height() <= 0)
        return false;
    // Laid out at a screen size of the area's shape, then drawn scaled into the area: the
    // texts keep their size against the curve on any device.
    const int width = 560;
    const int height = std::max(1, static_cast<int>(width * area.height() / area.width()));
    view->resize(width, height);
    QChart* chart = view->chart();
    chart->setGeometry(0, 0, width, height);
    if (chart->layout() != nullptr)
        chart->layout()->activate();
    view->scene()->setSceneRect(0, 0, width, height);
    view->scene()->render(&painter, area, QRectF(0, 0, width, height));
    return true;
}

ReportBlock materialChartBlock(const Material& material, const Languages& languages, bool color) {
    return ReportBlock::chart(
        [material, &languages, color](platform::Canvas& canvas, const platform::CanvasRect& area) {
            auto* qtCanvas = dynamic_cast<QtCanvas*>(&canvas);
            return qtCanvas != nullptr &&
                   renderMaterialChart(qtCanvas->painter(),
                                       QRectF(area.left, area.top, area.width, area.height),
                                       material, languages, color);
        },
        320.0 / 480.0);
}

} // namespace kalydor::gui
