#pragma once

#include "platform/canvas.h"

#include <QFont>

class QPainter;

namespace kalydor::gui {

/// A report canvas over a QPainter: a printer's page, a PDF page or the preview. The metrics
/// are those of the painter's device at `dpi`; a preview painter scaled to the screen draws
/// the layout made with the printer's metrics.
class QtCanvas final : public platform::Canvas {
public:
    QtCanvas(QPainter& painter, int dpi);

    int dpiX() const override { return m_dpi; }
    int dpiY() const override { return m_dpi; }
    void setFont(const platform::CanvasFont& font) override;
    void setColor(const platform::CanvasColor& color) override;
    platform::TextExtent measure(std::string_view text) override;
    void drawText(int x, int y, std::string_view text) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    bool drawPicture(const platform::CanvasRect& area, std::string_view bytes) override;

    QPainter& painter() const { return m_painter; }

private:
    QPainter& m_painter;
    int m_dpi;
    platform::CanvasFont m_current;
    QFont m_font;
};

} // namespace kalydor::gui
