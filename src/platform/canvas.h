#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kalydor::platform {

/// A font as reports ask for it: the family name, the size in points and the style.
struct CanvasFont {
    std::string name;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool operator==(const CanvasFont&) const = default;
};

/// How far a text reaches with a font, in device pixels: its advance, the line height of the
/// font and the part of that above the baseline.
struct TextExtent {
    int width = 0;
    int height = 0;
    int ascent = 0;
};

/// A rectangle in device pixels.
struct CanvasRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const CanvasRect&) const = default;
};

/// A colour as red, green and blue.
struct CanvasColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const CanvasColor&) const = default;
};

/// A surface reports are laid out on and drawn to: a printer page, a PDF page, the preview
/// or, in the tests, a canvas with fixed metrics that records what is drawn. Positions and
/// sizes are device pixels of the canvas's resolution; texts are UTF-8.
class Canvas {
public:
    virtual ~Canvas() = default;

    /// Pixels per inch across and down.
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;

    virtual void setFont(const CanvasFont& font) = 0;
    virtual void setColor(const CanvasColor& color) = 0;
    /// The extent of a text in the current font.
    virtual TextExtent measure(std::string_view text) = 0;
    /// Draws a text with the top of its line at y.
    virtual void drawText(int x, int y, std::string_view text) = 0;
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
    /// Draws a picture (PNG, JPEG or BMP bytes) scaled into the rectangle; false when the
    /// bytes are no picture the canvas can draw.
    virtual bool drawPicture(const CanvasRect& area, std::string_view bytes) = 0;
};

} // namespace kalydor::platform
