#pragma once

#include "constructions/panelmoisture.h"

#include <QRectF>
#include <QWidget>

class QChart;
class QChartView;
class QCheckBox;
class QPainter;

namespace kalydor {
class Panel;
class Languages;
} // namespace kalydor

namespace kalydor::gui {

/// Builds the vapour-pressure diagram of a calculated layered construction (caller owns the
/// chart): the saturation pressure, the plain partial-pressure profile and the profile with
/// condensation over the temperature or over the distance through the construction in cm (as
/// `axis` says), the layer faces marked and the layers numbered along the top. A
/// construction without a diagram gives an empty chart with a note.
QChart* panelDiagramChart(const Panel& panel, DiagramAxis axis, const Languages& languages);

/// The axis the program option "XIsDistance" asks for.
inline DiagramAxis diagramAxisOption(bool xIsDistance) {
    return xIsDistance ? DiagramAxis::Distance : DiagramAxis::Temperature;
}

/// The size a diagram is laid out at before it is scaled into a target of this size: about
/// the size of a screen window, and wide enough for the whole legend.
QSizeF legibleDiagramSize(QChart& chart, const QSizeF& target);

/// Paints the diagram into a rectangle of any canvas (screen, picture, printer page); without
/// `color` every curve is drawn in the grey of its colour's brightness.
void renderPanelDiagram(QPainter& painter, const QRectF& target, const Panel& panel,
                        DiagramAxis axis, const Languages& languages, bool color = true);

/// A non-modal window following one construction: `refresh()` redraws from the panel's last
/// calculation (the editor calls it after every recalculation). Its check box switches the
/// horizontal axis between temperature and distance while the window is open.
class VapourDiagramWindow : public QWidget {
    Q_OBJECT

public:
    /// A top-level tool window over `parent`; the panel must outlive the window.
    VapourDiagramWindow(const Panel& panel, const Languages& languages, DiagramAxis axis,
                        QWidget* parent = nullptr);

    void refresh();
    DiagramAxis axis() const;
    QChart* chart() const;

private:
    const Panel& m_panel;
    const Languages& m_languages;
    QChartView* m_view;
    QCheckBox* m_distance;
    QString m_caption;
};

} // namespace kalydor::gui
