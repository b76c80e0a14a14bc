#include "gui/qtcanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <limits>

namespace kalydor::gui {

QtCanvas::QtCanvas(QPainter& painter, int dpi)
    : m_painter(painter)
    , m_dpi(dpi > 0 ? dpi : 72) {
    setFont(m_current);
}

void QtCanvas::setFont(const platform::CanvasFont& font) {
    m_current = font;
    m_font = QFont(QString::fromStdString(font.name));
    // Sizes in pixels of the device: the layout and the drawing then agree on any device.
    m_font.setPixelSize(std::max(1, font.pointSize * m_dpi / 72));
    m_font.setBold(font.bold);
    m_font.setItalic(font.italic);
    m_painter.setFont(m_font);
}

void QtCanvas::setColor(const platform::CanvasColor& color) {
    m_painter.setPen(QColor(color.red, color.green, color.blue));
}

platform::TextExtent QtCanvas::measure(std::string_view text) {
    const QFontMetrics metrics(m_font, m_painter.device());
    const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return {metrics.horizontalAdvance(shown), metrics.height(), metrics.ascent()};
}

void QtCanvas::drawText(int x, int y, std::string_view text) {
    const QFontMetrics metrics(m_font, m_painter.device());
    m_painter.drawText(QPoint(x, y + metrics.ascent()),
                       QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void QtCanvas::drawLine(int x1, int y1, int x2, int y2) {
    m_painter.drawLine(x1, y1, x2, y2);
}

bool QtCanvas::drawPicture(const platform::CanvasRect& area, std::string_view bytes) {
    QImage image;
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()) ||
        !image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                            static_cast<int>(bytes.size())))
        return false;
    m_painter.drawImage(QRect(area.left, area.top, area.width, area.height), image);
    return true;
}

} // namespace kalydor::gui
