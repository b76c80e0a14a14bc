#include "gui/panelchart.h"

#include "constructions/panel.h"
#include "gui/qtcanvas.h"
#include "gui/vapourdiagramwindow.h"
#include "language/languages.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <memory>

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

std::optional<ReportBlock> panelDiagramBlock(const Panel& panel, DiagramAxis axis,
                                             const Languages& languages, bool color) {
    if (panel.isKnown() || panel.Layers.empty())
        return std::nullopt;
    auto kept = std::make_shared<const Panel>(panel);
    return ReportBlock::chart(
        [kept, axis, &languages, color](platform::Canvas& canvas,
                                        const platform::CanvasRect& area) {
            auto* qtCanvas = dynamic_cast<QtCanvas*>(&canvas);
            if (qtCanvas == nullptr)
                return false;
            renderPanelDiagram(qtCanvas->painter(),
                               QRectF(area.left, area.top, area.width, area.height), *kept, axis,
                               languages, color);
            return true;
        },
        360.0 / 560.0);
}

} // namespace kalydor::gui
