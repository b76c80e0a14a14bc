#include "platform/fixedcanvas.h"

#include "base/textencoding.h"

#include <algorithm>

namespace kalydor::platform {

int FixedCanvas::pixelSize(int pointSize) const {
    return std::max(1, pointSize * m_dpi / 72);
}

TextExtent FixedCanvas::measure(std::string_view text) {
    const int size = pixelSize(m_font.pointSize);
    const int characterWidth = m_font.bold ? size * 5 / 8 : size / 2;
    return {static_cast<int>(codePointCount(text)) * std::max(1, characterWidth), size * 6 / 5,
            size * 4 / 5};
}

void FixedCanvas::drawText(int x, int y, std::string_view text) {
    m_texts.push_back({x, y, std::string(text), m_font, m_color});
}

void FixedCanvas::drawLine(int x1, int y1, int x2, int y2) {
    m_lines.push_back({x1, y1, x2, y2});
}

bool FixedCanvas::drawPicture(const CanvasRect& area, std::string_view bytes) {
    if (bytes.empty())
        return false;
    m_pictures.push_back({area, bytes.size()});
    return true;
}

std::string FixedCanvas::drawnText() const {
    std::string all;
    for (const Text& text : m_texts)
        all += text.text + "\n";
    return all;
}

void FixedCanvas::clear() {
    m_texts.clear();
    m_lines.clear();
    m_pictures.clear();
}

} // namespace kalydor::platform
