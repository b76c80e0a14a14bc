#include "gui/panelchart.h"

#include "constructions/panel.h"
#include "gui/vapourdiagramwindow.h"
#include "language/languages.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

namespace kalydor::gui {

QByteArray panelChartPng(const Panel& panel, DiagramAxis axis, const Languages* languages) {
    if (panel.isKnown() || panel.Layers.empty())
        return {};
    static const Languages noLanguage;
    QImage picture(560, 360, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        renderPanelDiagram(painter, QRectF(picture.rect()), panel, axis,
                           languages ? *languages : noLanguage);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

} // namespace kalydor::gui
