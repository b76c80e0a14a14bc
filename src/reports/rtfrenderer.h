#pragma once

#include "platform/canvas.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

/// The font reports print in (the report font of the program options); a size of 0 is 10 pt.
struct ReportFont {
    std::string name = "Times New Roman";
    int pointSize = 10;
};

/// One word placed on a line, its position relative to the left edge of the text's area and
/// the top of its line.
struct PlacedWord {
    int x = 0;
    int top = 0;
    std::string text;
    platform::CanvasFont font;
};

/// One line of a paragraph; `top` is relative to the paragraph's top.
struct PlacedLine {
    int top = 0;
    int height = 0;
    std::vector<PlacedWord> words;
};

/// A paragraph laid out: its lines and its height, space before and after included.
struct PlacedParagraph {
    int height = 0;
    std::vector<PlacedLine> lines;
    /// Draws the paragraph with its top at (left, top).
    void draw(platform::Canvas& canvas, int left, int top) const;
};

/// The style of one nesting level of the rich text.
struct RtfStyle {
    enum class Position : std::uint8_t { Normal, Superscript, Subscript };
    struct TabStop {
        int position = 0; ///< pixels from the left edge of the area
        bool right = false;
    };
    static constexpr std::size_t kMaxTabStops = 32;

    platform::CanvasFont font;
    bool symbol = false; ///< the symbol font: Latin letters print as Greek ones
    Position position = Position::Normal;
    int leftIndent = 0;
    int firstIndent = 0;
    int rightIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    std::vector<TabStop> tabStops;
    bool nextStopRight = false; ///< "tqr" seen: the next "tx" is a right stop
};

/// Lays out and draws the rich text of report parts: the subset of RTF the program writes
/// (paragraphs, indents, tab stops, bold and italic, font sizes, superscript and subscript,
/// the symbol font, Unicode and code-page characters). Groups nest styles; the font table,
/// colour table, style sheet and other destinations draw nothing. Lengths in twips become
/// pixels of the canvas.
///
/// The style carries on from one call to the next, so that a report written in pieces is laid
/// out as one text; `reset` goes back to the base style.
class RtfRenderer {
public:
    /// Deepest nesting of groups kept; a deeper "{" is counted, and its "}" pops nothing.
    static constexpr std::size_t kMaxDepth = 32;

    RtfRenderer(platform::Canvas& canvas, const ReportFont& font);

    /// The paragraphs of the text laid out in an area `width` pixels wide (measuring only).
    /// Text after the last "par" makes a paragraph of its own.
    std::vector<PlacedParagraph> layout(std::string_view rtf, int width);
    /// Lays out and draws the text into the area from its top; returns the height it took.
    int draw(std::string_view rtf, const platform::CanvasRect& area);
    /// The height the text takes in an area `width` pixels wide.
    int measure(std::string_view rtf, int width);
    /// Back to the base style, nothing open.
    void reset();

    platform::Canvas& canvas() const { return m_canvas; }

private:
    class Layout;
    platform::Canvas& m_canvas;
    RtfStyle m_base;
    std::vector<RtfStyle> m_stack; ///< the levels; the last is the current one
    std::size_t m_overflow = 0;
};

} // namespace kalydor
