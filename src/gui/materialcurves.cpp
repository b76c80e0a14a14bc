#include "gui/materialcurves.h"

#include "base/error.h"
#include "constructions/materialeditor.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "language/languages.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTableWidget>
#include <QValueAxis>

#include <algorithm>

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

QByteArray materialChartPng(const Material& material, const Languages& languages) {
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
        return {};
    }
    QChartView* view = curveChart("MaterialChart", x, y);
    view->chart()->setTitle(qt(material.Name));
    view->resize(480, 320);
    plot(view, points, xMax);
    const QPixmap picture = view->grab();
    delete view;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

} // namespace kalydor::gui
