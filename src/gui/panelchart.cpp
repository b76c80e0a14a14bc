#include "gui/panelchart.h"

#include "constructions/panelmoisture.h"
#include "gui/widgets.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <memory>

namespace kalydor::gui {

QByteArray panelChartPng(const Panel& panel, bool overDistance) {
    if (panel.isKnown() || panel.Layers.empty())
        return {};
    const PanelDiagram diagram =
        panelDiagram(panel, overDistance ? DiagramAxis::Distance : DiagramAxis::Temperature);
    auto* chart = new QChart;
    chart->setTitle(qt(panel.Name));
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setTitleText(overDistance ? QStringLiteral("x") : QStringLiteral("θ (°C)"));
    y->setTitleText(QStringLiteral("p (Pa)"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    double xMin = 0, xMax = 1, yMax = 1;
    bool first = true;
    const auto add = [&](const std::vector<std::pair<double, double>>& points, const QString& name,
                         const QColor& colour, Qt::PenStyle style) {
        if (points.empty())
            return;
        auto* series = new QLineSeries;
        series->setName(name);
        for (const auto& [px, py] : points) {
            if (!std::isfinite(px) || !std::isfinite(py))
                continue;
            series->append(px, py);
            xMin = first ? px : std::min(xMin, px);
            xMax = first ? px : std::max(xMax, px);
            yMax = std::max(yMax, py);
            first = false;
        }
        QPen pen(colour);
        pen.setStyle(style);
        pen.setWidth(2);
        series->setPen(pen);
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    };
    add(diagram.saturation, QStringLiteral("pₛ"), QColor(0, 90, 200), Qt::SolidLine);
    add(diagram.plain, QStringLiteral("p"), QColor(200, 40, 40), Qt::DashLine);
    add(diagram.condensation, QStringLiteral("p′"), QColor(0, 140, 60), Qt::SolidLine);
    x->setRange(xMin, xMax > xMin ? xMax : xMin + 1);
    y->setRange(0, yMax * 1.1);
    auto view = std::make_unique<QChartView>(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->resize(560, 360);
    const QPixmap picture = view->grab();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

} // namespace kalydor::gui
