#include "reports/rtfrenderer.h"

#include "base/textencoding.h"
#include "reports/captionmarkup.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

namespace kalydor {
namespace {

constexpr int kTwipsPerInch = 1440;
// Tab positions where the text sets none, as word processors have them.
constexpr int kDefaultTabTwips = 720;
// Parameters beyond this are no lengths or sizes anyone writes; they are cut to it so that no
// arithmetic on them overflows.
constexpr long kMaxParameter = 1'000'000;

// Groups whose content is no text: tables of fonts, colours and styles, document information
// and pictures.
constexpr std::array<std::string_view, 9> kDestinations = {
    "fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "footer", "object", "field"};

int pixels(long twips, int dpi) {
    return static_cast<int>(twips * dpi / kTwipsPerInch);
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The length of the group that starts at `open` (a "{"), braces escaped by "\" not counted;
// an unclosed group reaches the end of the text.
std::size_t groupLength(std::string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            ++i;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0)
                return i + 1 - open;
        }
    }
    return text.size() - open;
}

// Whether the group opening at `open` holds no text: "{\*…" or one of the destinations.
bool isDestination(std::string_view text, std::size_t open) {
    std::size_t i = open + 1;
    if (i + 1 >= text.size() || text[i] != '\\')
        return false;
    if (text[i + 1] == '*')
        return true;
    std::size_t end = i + 1;
    while (end < text.size() && isLetter(text[end]))
        ++end;
    const std::string_view word = text.substr(i + 1, end - i - 1);
    return std::find(kDestinations.begin(), kDestinations.end(), word) != kDestinations.end();
}

std::string symbolText(std::string_view text) {
    std::string mapped;
    for (const char c : text) {
        const std::string_view greek = greekLetter(c);
        if (greek.empty())
            mapped += c;
        else
            mapped += greek;
    }
    return mapped;
}

} // namespace

void PlacedParagraph::draw(platform::Canvas& canvas, int left, int top) const {
    for (const PlacedLine& line : lines) {
        for (const PlacedWord& word : line.words) {
            canvas.setFont(word.font);
            canvas.drawText(left + word.x, top + line.top + word.top, word.text);
        }
    }
}

// The placing of words, lines and paragraphs for one call of `layout`.
class RtfRenderer::Layout {
public:
    Layout(RtfRenderer& renderer, int width)
        : m_renderer(renderer)
        , m_canvas(renderer.m_canvas)
        , m_width(std::max(1, width)) {}

    void text(std::string_view run) {
        if (run.empty())
            return;
        startParagraph();
        const RtfStyle& style = current();
        const std::string shown = style.symbol ? symbolText(run) : std::string(run);
        m_canvas.setFont(style.font);
        if (m_rightStop >= 0) {
            // A right stop ends the run at the stop, when the run fits before it.
            const int width = m_canvas.measure(shown).width;
            if (m_x + width <= m_rightStop)
                m_x = m_rightStop - width;
            m_rightStop = -1;
        }
        // Words: the first character and everything up to the next space, so that every word
        // but the first carries its leading space.
        std::size_t start = 0;
        while (start < shown.size()) {
            std::size_t end = shown.find(' ', start + 1);
            if (end == std::string::npos)
                end = shown.size();
            placeWord(shown.substr(start, end - start), style);
            start = end;
        }
    }

    void tab() {
        startParagraph();
        const RtfStyle& style = current();
        m_rightStop = -1;
        if (m_x < style.leftIndent) {
            m_x = style.leftIndent;
            return;
        }
        for (const RtfStyle::TabStop& stop : style.tabStops) {
            if (stop.position > m_x) {
                if (stop.right)
                    m_rightStop = stop.position;
                else
                    m_x = stop.position;
                return;
            }
        }
        const int step = std::max(1, pixels(kDefaultTabTwips, m_canvas.dpiX()));
        m_x = (m_x / step + 1) * step;
    }

    void par() {
        const RtfStyle& style = current();
        endLine(true);
        m_y += style.spaceAfter;
        closeParagraph();
    }

    std::vector<PlacedParagraph> finish() {
        if (m_inParagraph || !m_line.empty()) {
            if (!m_line.empty())
                endLine(false);
            closeParagraph();
        }
        return std::move(m_paragraphs);
    }

private:
    struct Pending {
        PlacedWord word;
        int above = 0; // pixels above the baseline
        int below = 0; // pixels below it
    };

    const RtfStyle& current() const { return m_renderer.m_stack.back(); }

    void startParagraph() {
        if (m_inParagraph)
            return;
        m_inParagraph = true;
        const RtfStyle& style = current();
        m_x = std::max(0, style.firstIndent + style.leftIndent);
        m_y += style.spaceBefore;
        m_canvas.setFont(style.font);
    }

    int lineRight(const RtfStyle& style) const {
        return std::max(1, m_width - std::max(0, style.rightIndent));
    }

    void placeWord(std::string word, const RtfStyle& style) {
        const platform::CanvasFont font = style.font;
        m_canvas.setFont(font);
        int width = m_canvas.measure(word).width;
        if (m_x + width > lineRight(style) && !m_line.empty()) {
            endLine(false);
            m_x = std::max(0, style.leftIndent);
            if (!word.empty() && word.front() == ' ')
                word.erase(0, 1);
            if (word.empty())
                return;
            width = m_canvas.measure(word).width;
        }
        // A word wider than the whole line is broken between its characters.
        while (m_x + width > lineRight(style) && codePointCount(word) > 1) {
            std::size_t fits = 0;
            std::size_t position = 0;
            while (position < word.size()) {
                std::size_t next = position;
                nextCodePoint(word, next);
                if (fits > 0 &&
                    m_x + m_canvas.measure(word.substr(0, next)).width > lineRight(style))
                    break;
                fits = next;
                position = next;
            }
            if (fits >= word.size())
                break;
            push(word.substr(0, fits), style, font);
            endLine(false);
            m_x = std::max(0, style.leftIndent);
            word.erase(0, fits);
            width = m_canvas.measure(word).width;
        }
        push(word, style, font);
    }

    void push(const std::string& word, const RtfStyle& style, const platform::CanvasFont& font) {
        const platform::TextExtent extent = m_canvas.measure(word);
        // Raised and lowered words sit a third of their height off the baseline.
        const int shift = style.position == RtfStyle::Position::Superscript ? extent.height / 3
                          : style.position == RtfStyle::Position::Subscript ? -extent.height / 3
                                                                            : 0;
        m_line.push_back(
            {{m_x, 0, word, font}, extent.ascent + shift, extent.height - extent.ascent - shift});
        m_x += extent.width;
    }

    void endLine(bool paragraphEnd) {
        if (m_line.empty()) {
            if (paragraphEnd) {
                // An empty line is as high as a digit in the current font.
                m_canvas.setFont(current().font);
                m_y += m_canvas.measure("0").height;
            }
            return;
        }
        int above = 0;
        int below = 0;
        for (const Pending& pending : m_line) {
            above = std::max(above, pending.above);
            below = std::max(below, pending.below);
        }
        PlacedLine line{m_y, above + below, {}};
        for (Pending& pending : m_line) {
            pending.word.top = above - pending.above;
            line.words.push_back(std::move(pending.word));
        }
        m_line.clear();
        m_y += line.height;
        m_paragraph.lines.push_back(std::move(line));
    }

    void closeParagraph() {
        m_paragraph.height = m_y;
        m_paragraphs.push_back(std::move(m_paragraph));
        m_paragraph = {};
        m_y = 0;
        m_x = 0;
        m_rightStop = -1;
        m_inParagraph = false;
    }

    RtfRenderer& m_renderer;
    platform::Canvas& m_canvas;
    int m_width;
    int m_x = 0;
    int m_y = 0; // from the top of the open paragraph
    int m_rightStop = -1;
    bool m_inParagraph = false;
    std::vector<Pending> m_line;
    PlacedParagraph m_paragraph;
    std::vector<PlacedParagraph> m_paragraphs;
};

RtfRenderer::RtfRenderer(platform::Canvas& canvas, const ReportFont& font)
    : m_canvas(canvas) {
    m_base.font.name = font.name;
    m_base.font.pointSize = font.pointSize > 0 ? font.pointSize : 10;
    reset();
}

void RtfRenderer::reset() {
    m_stack.assign(1, m_base);
    m_overflow = 0;
}

std::vector<PlacedParagraph> RtfRenderer::layout(std::string_view rtf, int width) {
    Layout layout(*this, width);
    std::string pending;
    const auto flush = [&] {
        layout.text(pending);
        pending.clear();
    };
    const int reportSize = m_base.font.pointSize;
    std::size_t i = 0;
    while (i < rtf.size()) {
        const char c = rtf[i];
        if (c == '\r' || c == '\n') {
            ++i;
        } else if (c == '\t') {
            flush();
            layout.tab();
            ++i;
        } else if (c == '{') {
            flush();
            if (isDestination(rtf, i)) {
                i += groupLength(rtf, i);
                continue;
            }
            if (m_stack.size() < kMaxDepth)
                m_stack.push_back(m_stack.back());
            else
                ++m_overflow;
            ++i;
        } else if (c == '}') {
            flush();
            if (m_overflow > 0)
                --m_overflow;
            else if (m_stack.size() > 1)
                m_stack.pop_back();
            ++i;
        } else if (c != '\\') {
            const std::size_t end = rtf.find_first_of("\\{}\r\n\t", i);
            pending +=
                rtf.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
            i = end == std::string_view::npos ? rtf.size() : end;
        } else if (i + 1 >= rtf.size()) {
            ++i;
        } else if (const char next = rtf[i + 1]; next == '\\' || next == '{' || next == '}') {
            pending += next;
            i += 2;
        } else if (next == '\'') {
            // A byte of the Windows-1250 code page as two hex digits.
            const std::string_view hex = rtf.substr(i + 2, 2);
            unsigned value = 0;
            bool valid = hex.size() == 2;
            for (const char h : hex) {
                const int digit = std::isdigit(static_cast<unsigned char>(h)) ? h - '0'
                                  : (h >= 'a' && h <= 'f')                    ? h - 'a' + 10
                                  : (h >= 'A' && h <= 'F')                    ? h - 'A' + 10
                                                                              : -1;
                valid = valid && digit >= 0;
                value = value * 16 + static_cast<unsigned>(std::max(digit, 0));
            }
            if (valid)
                pending += windows1250ToUtf8(std::string(1, static_cast<char>(value)));
            i += valid ? 4 : 2;
        } else if (next == '\r' || next == '\n') {
            flush();
            layout.par();
            i += 2;
        } else if (!isLetter(next)) {
            i += 2; // a control symbol drawn as nothing
        } else {
            std::size_t end = i + 1;
            while (end < rtf.size() && isLetter(rtf[end]))
                ++end;
            const std::string_view word = rtf.substr(i + 1, end - i - 1);
            bool hasParameter = false;
            bool negative = false;
            long parameter = 0;
            if (end < rtf.size() && rtf[end] == '-') {
                negative = true;
                ++end;
            }
            while (end < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[end]))) {
                hasParameter = true;
                parameter = std::min(kMaxParameter, parameter * 10 + (rtf[end] - '0'));
                ++end;
            }
            if (!hasParameter)
                parameter = 1;
            else if (negative)
                parameter = -parameter;
            if (end < rtf.size() && rtf[end] == ' ')
                ++end;
            i = end;

            if (word == "u") {
                // A Unicode character, then its one-character stand-in for older readers.
                const long code = parameter < 0 ? parameter + 65536 : parameter;
                if (code > 0 && code < 0xD800)
                    appendUtf8(pending, static_cast<char32_t>(code));
                else if (code >= 0xE000 && code <= 0xFFFF)
                    appendUtf8(pending, static_cast<char32_t>(code));
                if (i + 1 < rtf.size() && rtf[i] == '\\' && rtf[i + 1] == '\'')
                    i = std::min(rtf.size(), i + 4);
                else if (i < rtf.size() && rtf[i] != '\\' && rtf[i] != '{' && rtf[i] != '}')
                    nextCodePoint(rtf, i);
                continue;
            }
            RtfStyle& style = m_stack.back();
            const int dpiX = m_canvas.dpiX();
            const int dpiY = m_canvas.dpiY();
            if (word == "par") {
                flush();
                layout.par();
            } else if (word == "tab") {
                flush();
                layout.tab();
            } else if (word == "pard") {
                flush();
                style = m_base;
            } else if (word == "li") {
                flush();
                style.leftIndent = pixels(parameter, dpiX);
            } else if (word == "fi") {
                flush();
                style.firstIndent = pixels(parameter, dpiX);
            } else if (word == "ri") {
                flush();
                style.rightIndent = pixels(parameter, dpiX);
            } else if (word == "sb") {
                style.spaceBefore = std::max(0, pixels(parameter, dpiY));
            } else if (word == "sa") {
                style.spaceAfter = std::max(0, pixels(parameter, dpiY));
            } else if (word == "tqr") {
                style.nextStopRight = true;
            } else if (word == "tx") {
                if (style.tabStops.size() < RtfStyle::kMaxTabStops)
                    style.tabStops.push_back({pixels(parameter, dpiX), style.nextStopRight});
                style.nextStopRight = false;
            } else if (word == "b") {
                flush();
                style.font.bold = parameter != 0;
            } else if (word == "i") {
                flush();
                style.font.italic = parameter != 0;
            } else if (word == "fs") {
                flush();
                style.font.pointSize =
                    static_cast<int>(std::max(1L, static_cast<long>(reportSize) * parameter / 20));
            } else if (word == "f") {
                flush();
                style.symbol = parameter == 1;
            } else if (word == "super" || word == "sub") {
                flush();
                style.position = word == "super" ? RtfStyle::Position::Superscript
                                                 : RtfStyle::Position::Subscript;
                style.font.pointSize = std::max(1, style.font.pointSize * 8 / 10);
            }
        }
    }
    flush();
    return layout.finish();
}

int RtfRenderer::draw(std::string_view rtf, const platform::CanvasRect& area) {
    int y = 0;
    for (const PlacedParagraph& paragraph : layout(rtf, area.width)) {
        paragraph.draw(m_canvas, area.left, area.top + y);
        y += paragraph.height;
    }
    return y;
}

int RtfRenderer::measure(std::string_view rtf, int width) {
    int y = 0;
    for (const PlacedParagraph& paragraph : layout(rtf, width))
        y += paragraph.height;
    return y;
}

} // namespace kalydor
