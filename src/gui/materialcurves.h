#pragma once

#include "constructions/material.h"
#include "reports/reportlayout.h"

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QStringList>

class QChartView;
class QPainter;
class QRectF;
class QTableWidget;
class QTableWidgetItem;

namespace kalydor {
class Languages;
}

namespace kalydor::gui {

// The curve of a material, as the material editors show it: its table of points and its chart.

/// A chart of one curve with its axes at the bottom and on the left, so that the language
/// files can caption them. The title starts empty: the language files add its lines.
QChartView* curveChart(const char* name, const QString& xTitle, const QString& yTitle);
/// Shows the points on the chart's curve; the axes start at 0 and reach past the last point,
/// their ticks on round numbers.
void plot(QChartView* view, const QList<QPointF>& points, double xMax);
/// A table of points with stretched columns and no row numbers.
QTableWidget* grid(const char* name, int rows, const QStringList& headers);
/// A right-aligned cell, read-only unless `editable`.
QTableWidgetItem* cell(const QString& text, bool editable);
/// The number of a cell as the editors read it; 0 for a text that is not one.
double number(const QString& text);

/// The chart of a material as a PNG picture: the sorption isotherm of a "Normal" material
/// with its 100 % point, the resistance-by-thickness diagram of an air layer with points;
/// empty for a material without one.
QByteArray materialChartPng(const Material& material, const Languages& languages);
/// The same chart drawn into an area of a painter (a printed page, a PDF page): scaled to the
/// area as a whole, in grey when `color` is off. False for a material without a chart.
bool renderMaterialChart(QPainter& painter, const QRectF& area, const Material& material,
                         const Languages& languages, bool color);
/// The chart as a block of a printed sheet, drawn when the sheet goes to a Qt canvas.
ReportBlock materialChartBlock(const Material& material, const Languages& languages, bool color);

} // namespace kalydor::gui
