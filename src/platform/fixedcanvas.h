#pragma once

#include "platform/canvas.h"

#include <string>
#include <vector>

namespace kalydor::platform {

/// A canvas with metrics that depend on nothing but the font size: every character is half
/// the font's pixel size wide (bold ones a quarter more), a line is 1.2 times it high with the
/// ascent at 0.8. It draws nothing but records every call, so that the layout of reports can
/// be checked to the pixel in the tests and the command line's page counts do not depend on
/// the fonts installed.
class FixedCanvas final : public Canvas {
public:
    struct Text {
        int x = 0;
        int y = 0;
        std::string text;
        CanvasFont font;
        CanvasColor color;
    };
    struct Line {
        int x1 = 0;
        int y1 = 0;
        int x2 = 0;
        int y2 = 0;
    };
    struct Picture {
        CanvasRect area;
        std::size_t bytes = 0;
    };

    explicit FixedCanvas(int dpi = 72)
        : m_dpi(dpi) {}

    int dpiX() const override { return m_dpi; }
    int dpiY() const override { return m_dpi; }
    void setFont(const CanvasFont& font) override { m_font = font; }
    void setColor(const CanvasColor& color) override { m_color = color; }
    TextExtent measure(std::string_view text) override;
    void drawText(int x, int y, std::string_view text) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    bool drawPicture(const CanvasRect& area, std::string_view bytes) override;

    /// The pixel size of a point size at this resolution.
    int pixelSize(int pointSize) const;

    const std::vector<Text>& texts() const { return m_texts; }
    const std::vector<Line>& lines() const { return m_lines; }
    const std::vector<Picture>& pictures() const { return m_pictures; }
    /// The texts drawn, in order, each followed by a line break.
    std::string drawnText() const;
    void clear();

private:
    int m_dpi;
    CanvasFont m_font;
    CanvasColor m_color;
    std::vector<Text> m_texts;
    std::vector<Line> m_lines;
    std::vector<Picture> m_pictures;
};

} // namespace kalydor::platform
