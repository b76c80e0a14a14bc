#include "reports/reportlayout.h"

#include "base/error.h"
#include "reports/captionmarkup.h"
#include "reports/textdocument.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace kalydor {
namespace {

constexpr int kTwipsPerInch = 1440;
// The resolution a logo is taken to be meant for when the options give none.
constexpr int kDefaultLogoResolution = 300;

std::string trimmed(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::optional<int> pageNumber(std::string_view text) {
    if (text.empty() || text.size() > 6)
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The colour a cell's tag asks for, and the cell's text without it.
std::pair<platform::CanvasColor, std::string> cellColor(const std::string& text) {
    if (text.rfind("\\green ", 0) == 0)
        return {{0, 128, 0}, text.substr(7)};
    if (text.rfind("\\red ", 0) == 0)
        return {{192, 0, 0}, text.substr(5)};
    return {{}, text};
}

// A caption with its markup as rich text.
std::string captionRtf(const std::vector<std::string>& captions) {
    std::string rtf;
    for (const std::string& caption : captions) {
        if (caption.empty())
            continue;
        for (const CaptionRun& run : ParseCaption(caption, true)) {
            const std::string text = rtfText(run.text);
            switch (run.position) {
            case CaptionRun::Position::Superscript:
                rtf += "{\\super " + text + "}";
                break;
            case CaptionRun::Position::Subscript:
                rtf += "{\\sub " + text + "}";
                break;
            case CaptionRun::Position::Normal:
                rtf += text;
                break;
            }
        }
        rtf += "\\par ";
    }
    return rtf;
}

} // namespace

std::string rtfText(std::string_view text) {
    std::string rtf;
    appendRtfUnicode(rtf, escapeRtfSpecials(text));
    return rtf;
}

PaperGeometry PaperGeometry::a4(int dpi) {
    PaperGeometry paper;
    paper.widthPixels = static_cast<int>(std::lround(210.0 / 25.4 * dpi));
    paper.heightPixels = static_cast<int>(std::lround(297.0 / 25.4 * dpi));
    return paper;
}

ReportBlock ReportBlock::richText(std::string rtf) {
    ReportBlock block;
    block.kind = Kind::RichText;
    block.rtf = std::move(rtf);
    return block;
}

ReportBlock ReportBlock::table(std::vector<ReportColumn> columns,
                               std::vector<std::vector<std::string>> rows) {
    ReportBlock block;
    block.kind = Kind::Table;
    block.columns = std::move(columns);
    block.rows = std::move(rows);
    return block;
}

ReportBlock
ReportBlock::chart(std::function<bool(platform::Canvas&, const platform::CanvasRect&)> paint,
                   double aspect) {
    ReportBlock block;
    block.kind = Kind::Picture;
    block.paint = std::move(paint);
    block.aspect = std::isfinite(aspect) && aspect > 0 ? aspect : 0.6;
    return block;
}

ReportLayout::ReportLayout(platform::Canvas& canvas, const PaperGeometry& paper,
                           const PrintOptions& options, const PrintChoices& choices)
    : m_canvas(canvas)
    , m_options(options)
    , m_choices(choices)
    , m_renderer(canvas, options.font) {
    const double widthMm = paper.widthMillimetres > 0 ? paper.widthMillimetres : 210;
    const double heightMm = paper.heightMillimetres > 0 ? paper.heightMillimetres : 297;
    const auto across = [&](int margin) {
        return static_cast<int>(std::max(0, margin) * paper.widthPixels / widthMm);
    };
    const auto down = [&](int margin) {
        return static_cast<int>(std::max(0, margin) * paper.heightPixels / heightMm);
    };
    const int left = across(options.leftMargin) - paper.offsetX;
    const int right = paper.widthPixels - across(options.rightMargin) - paper.offsetX;
    const int top = down(options.topMargin) - paper.offsetY;
    const int bottom = paper.heightPixels - down(options.bottomMargin) - paper.offsetY;
    m_printable = {left, top, right - left, bottom - top};
    // The footer and signature sit at every page's foot; the body ends above them.
    std::string foot = footerRtf();
    if (m_options.programSign && !m_choices.signature.empty())
        foot += "\\pard\\plain\\f4\\fs16 " + rtfText(m_choices.signature) + "\\par ";
    m_renderer.reset();
    m_footerHeight = m_renderer.measure(foot, std::max(1, m_printable.width));
    m_renderer.reset();
    if (m_printable.width < paper.widthPixels / 3 ||
        m_printable.height - m_footerHeight < paper.heightPixels / 10)
        throw Error("IDS_MARGINSTOOLARGE", {},
                    "The margins leave too little of the paper to print on.");
}

std::string ReportLayout::titleRtf(int printedNumber) const {
    const int right = m_printable.width * kTwipsPerInch / std::max(1, m_canvas.dpiX());
    std::string rtf = "\\pard\\plain\\tqr\\tx" + std::to_string(right) + "\\sa360\\f4\\fs20 " +
                      rtfText(m_choices.title);
    if (m_choices.numberPages)
        rtf += "\\tab " + std::to_string(printedNumber);
    return rtf + "\\par ";
}

std::string ReportLayout::footerRtf() const {
    if (m_choices.fileName.empty() && m_choices.date.empty())
        return {};
    const int right = m_printable.width * kTwipsPerInch / std::max(1, m_canvas.dpiX());
    return "\\pard\\plain\\tqr\\tx" + std::to_string(right) + "\\sb360\\f4\\fs20 " +
           rtfText(m_choices.fileName) + "\\tab " + rtfText(m_choices.date) + "\\par ";
}

std::string ReportLayout::firmHeaderRtf(int logoWidth) const {
    std::string rtf = "\\pard\\plain\\f3\\fs" +
                      std::to_string(2 * std::max(1, m_options.firmHeaderFontSize)) + " ";
    const int tab = logoWidth * kTwipsPerInch / std::max(1, m_canvas.dpiX());
    for (const std::string& line : m_options.firmHeaderText) {
        if (logoWidth > 0)
            rtf += "\\tx" + std::to_string(tab) + "\\tab ";
        rtf += rtfText(line) + "\\par\r\n";
    }
    return rtf + "\\par\r\n";
}

int ReportLayout::addParagraph(PlacedParagraph paragraph, int x, int y,
                               platform::CanvasColor color) {
    const int height = paragraph.height;
    PageItem item;
    item.kind = PageItem::Kind::Paragraph;
    item.x = x;
    item.y = y;
    item.paragraph = m_paragraphs.size();
    item.lineCount = paragraph.lines.size();
    item.color = color;
    m_paragraphs.push_back(std::move(paragraph));
    m_pages.back().items.push_back(item);
    return height;
}

void ReportLayout::newPage() {
    const int index = static_cast<int>(m_pages.size());
    const int printed = m_choices.firstPageNumber + index;
    m_pages.push_back({printed, {}});
    const int left = m_printable.left;
    const int width = m_printable.width;
    int y = m_printable.top;
    // Each part is rich text of its own: the style of one does not reach into the next.
    const auto part = [&](const std::string& rtf, int partLeft, int partWidth) {
        m_renderer.reset();
        for (PlacedParagraph& paragraph : m_renderer.layout(rtf, partWidth))
            y += addParagraph(std::move(paragraph), partLeft, y);
        m_renderer.reset();
    };
    if (index == 0 && !m_choices.projectData.empty())
        part(m_choices.projectData + "\\par ", left, width);

    const int mode = m_options.firmHeaderPageMode;
    if (mode == 2 || (mode == 1 && printed == 1)) {
        const int top = y;
        int logoWidth = 0;
        int logoHeight = 0;
        if (m_options.firmHeaderLogoMode != 0 && !m_options.logo.empty() &&
            m_options.logoWidth > 0 && m_options.logoHeight > 0) {
            const int resolution = m_options.firmHeaderLogoResolution > 0
                                       ? m_options.firmHeaderLogoResolution
                                       : kDefaultLogoResolution;
            double w = static_cast<double>(m_options.logoWidth) * m_canvas.dpiX() / resolution;
            double h = static_cast<double>(m_options.logoHeight) * m_canvas.dpiY() / resolution;
            // A logo larger than half the width or a third of the page is scaled down.
            const double scale =
                std::min({1.0, width / 2.0 / w, (m_printable.height - m_footerHeight) / 3.0 / h});
            logoWidth = std::max(1, static_cast<int>(w * scale));
            logoHeight = std::max(1, static_cast<int>(h * scale));
            PageItem logo;
            logo.kind = PageItem::Kind::Picture;
            logo.area = {m_options.firmHeaderLogoMode == 1 ? left : left + width - logoWidth, top,
                         logoWidth, logoHeight};
            logo.bytes = &m_options.logo;
            m_pages.back().items.push_back(logo);
        }
        if (!m_options.firmHeaderText.empty())
            part(firmHeaderRtf(m_options.firmHeaderLogoMode == 1 ? logoWidth : 0), left, width);
        y = std::max(y, top + logoHeight);
    }
    if (!m_choices.title.empty() || m_choices.numberPages)
        part(titleRtf(printed), left, width);

    // The foot of the page.
    int footY = m_printable.bottom() - m_footerHeight;
    std::string foot = footerRtf();
    if (m_options.programSign && !m_choices.signature.empty())
        foot += "\\pard\\plain\\f4\\fs16 " + rtfText(m_choices.signature) + "\\par ";
    if (!foot.empty()) {
        m_renderer.reset();
        for (PlacedParagraph& paragraph : m_renderer.layout(foot, width))
            footY += addParagraph(std::move(paragraph), left, footY);
        m_renderer.reset();
    }

    m_bodyTop = y;
    m_y = y;
    m_pageHasBody = false;
    // A table going on from the page before repeats its headings.
    if (m_openTable != nullptr) {
        for (std::size_t i = 0; i < m_headings.size(); ++i) {
            PageItem item;
            item.kind = PageItem::Kind::Paragraph;
            item.x = m_headingX[i];
            item.y = m_y;
            item.paragraph = m_headingFirst + i;
            item.lineCount = m_paragraphs[item.paragraph].lines.size();
            m_pages.back().items.push_back(item);
        }
        m_y += m_headingHeight;
        rule(m_y - m_cellPadding / 2);
    }
}

void ReportLayout::rule(int y) {
    PageItem item;
    item.kind = PageItem::Kind::Rule;
    item.area = {m_printable.left, y, m_printable.width, 0};
    m_pages.back().items.push_back(item);
}

int ReportLayout::bodyBottom() const {
    return m_printable.bottom() - m_footerHeight;
}

void ReportLayout::placeParagraphs(std::vector<PlacedParagraph> paragraphs) {
    for (PlacedParagraph& paragraph : paragraphs) {
        if (m_y + paragraph.height > bodyBottom() && m_pageHasBody)
            newPage();
        if (m_y + paragraph.height <= bodyBottom() || paragraph.lines.empty()) {
            m_y += addParagraph(std::move(paragraph), m_printable.left, m_y);
            m_pageHasBody = true;
            continue;
        }
        // Taller than a whole body: as many lines as fit on each page. The paragraph is
        // kept first: the pages begun meanwhile add their own parts after it.
        const std::size_t index = m_paragraphs.size();
        const std::size_t lineTotal = paragraph.lines.size();
        m_paragraphs.push_back(std::move(paragraph));
        std::size_t first = 0;
        while (first < lineTotal) {
            const std::vector<PlacedLine>& lines = m_paragraphs[index].lines;
            std::size_t count = 0;
            const int start = lines[first].top;
            while (first + count < lineTotal) {
                const PlacedLine& line = lines[first + count];
                if (count > 0 && m_y + line.top + line.height - start > bodyBottom())
                    break;
                ++count;
            }
            PageItem item;
            item.kind = PageItem::Kind::Paragraph;
            item.x = m_printable.left;
            item.y = m_y - start;
            item.paragraph = index;
            item.firstLine = first;
            item.lineCount = count;
            m_pages.back().items.push_back(item);
            const PlacedLine& last = lines[first + count - 1];
            m_y += last.top + last.height - start;
            m_pageHasBody = true;
            first += count;
            if (first < lineTotal)
                newPage();
        }
    }
}

PlacedParagraph ReportLayout::cell(const std::string& rtf, int width, bool right, bool center) {
    m_renderer.reset();
    std::vector<PlacedParagraph> laid = m_renderer.layout(rtf, std::max(1, width));
    m_renderer.reset();
    // One paragraph for the cell: its paragraphs' lines one below the other.
    PlacedParagraph cell;
    for (PlacedParagraph& paragraph : laid) {
        for (PlacedLine& line : paragraph.lines) {
            line.top += cell.height;
            if ((right || center) && !line.words.empty()) {
                const PlacedWord& last = line.words.back();
                m_canvas.setFont(last.font);
                const int used = last.x + m_canvas.measure(last.text).width;
                const int shift = std::max(0, right ? width - used : (width - used) / 2);
                for (PlacedWord& word : line.words)
                    word.x += shift;
            }
            cell.lines.push_back(std::move(line));
        }
        cell.height += paragraph.height;
    }
    return cell;
}

std::vector<int> ReportLayout::columnWidths(const ReportBlock& block, int padding, int& size) {
    const std::size_t count = block.columns.size();
    // The columns share the body's width as their widths share their sum.
    long total = 0;
    for (const ReportColumn& column : block.columns)
        total += std::max(1, column.width);
    std::vector<int> widths;
    for (const ReportColumn& column : block.columns)
        widths.push_back(static_cast<int>(std::max(1, column.width) * m_printable.width / total));
    // A column narrower than its widest word (a number, a unit in a heading) would break the
    // word: it takes the room it needs from the columns that have more than they need. When
    // all of them together need more than the body, the table prints smaller (down to "fs10",
    // half the report size).
    const int reportSize = m_options.font.pointSize > 0 ? m_options.font.pointSize : 10;
    platform::CanvasFont font{m_options.font.name, 9};
    std::vector<int> needed(count, 0);
    const auto widest = [&](std::size_t c, const std::string& text, bool bold) {
        font.bold = bold;
        m_canvas.setFont(font);
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find(' ', start);
            if (end == std::string::npos)
                end = text.size();
            if (end > start)
                needed[c] =
                    std::max(needed[c], m_canvas.measure(text.substr(start, end - start)).width +
                                            2 * padding + 1);
            start = end + 1;
        }
    };
    for (size = 18;; size -= 2) {
        font.pointSize = std::max(1, reportSize * size / 20);
        std::fill(needed.begin(), needed.end(), 0);
        for (std::size_t c = 0; c < count; ++c) {
            for (const std::string& caption : block.columns[c].captions)
                widest(c, PlainCaption(caption, true), true);
            for (const std::vector<std::string>& row : block.rows)
                if (c < row.size())
                    widest(c, cellColor(row[c]).second, false);
        }
        long all = 0;
        for (const int width : needed)
            all += width;
        if (all <= m_printable.width || size <= 10)
            break;
    }
    long missing = 0;
    long spare = 0;
    for (std::size_t c = 0; c < count; ++c) {
        missing += std::max(0, needed[c] - widths[c]);
        spare += std::max(0, widths[c] - needed[c]);
    }
    if (missing > 0 && spare > 0) {
        const long taken = std::min(missing, spare);
        for (std::size_t c = 0; c < count; ++c) {
            if (needed[c] > widths[c])
                widths[c] += static_cast<int>((needed[c] - widths[c]) * taken / missing);
            else
                widths[c] -= static_cast<int>((widths[c] - needed[c]) * taken / spare);
        }
    }
    // The last column ends at the body's right edge, whatever the rounding left.
    int used = 0;
    for (std::size_t c = 0; c + 1 < count; ++c)
        used += widths[c];
    widths.back() = std::max(1, m_printable.width - used);
    return widths;
}

void ReportLayout::placeTable(const ReportBlock& block) {
    if (block.columns.empty())
        return;
    const int padding = std::max(1, m_canvas.dpiX() * 2 / 72);
    m_cellPadding = padding;
    int size = 18;
    const std::vector<int> shares = columnWidths(block, padding, size);
    std::vector<int> x;
    std::vector<int> widths;
    int at = m_printable.left;
    for (const int width : shares) {
        x.push_back(at + padding);
        widths.push_back(std::max(1, width - 2 * padding));
        at += width;
    }
    const std::string cellStart = "\\pard\\plain\\fs" + std::to_string(size) + " ";
    m_headingFirst = m_paragraphs.size();
    m_headings.clear();
    m_headingX.clear();
    m_headingHeight = 0;
    for (std::size_t c = 0; c < block.columns.size(); ++c) {
        const ReportColumn& column = block.columns[c];
        PlacedParagraph heading = cell(cellStart + "\\b " + captionRtf(column.captions), widths[c],
                                       column.alignRight, column.alignCenter);
        m_headingHeight = std::max(m_headingHeight, heading.height + 2 * padding);
        m_headings.push_back(heading);
        m_headingX.push_back(x[c]);
        m_paragraphs.push_back(std::move(heading));
    }
    std::vector<std::vector<std::pair<PlacedParagraph, platform::CanvasColor>>> rows;
    std::vector<int> heights;
    for (const std::vector<std::string>& row : block.rows) {
        std::vector<std::pair<PlacedParagraph, platform::CanvasColor>> cells;
        int height = 0;
        for (std::size_t c = 0; c < block.columns.size(); ++c) {
            const auto [color, text] = cellColor(c < row.size() ? row[c] : std::string());
            PlacedParagraph laid = cell(cellStart + rtfText(text) + "\\par ", widths[c],
                                        block.columns[c].alignRight, block.columns[c].alignCenter);
            height = std::max(height, laid.height);
            cells.emplace_back(std::move(laid),
                               m_options.colorPrinting ? color : platform::CanvasColor{});
        }
        rows.push_back(std::move(cells));
        heights.push_back(height + 2 * padding);
    }
    // The headings never stand alone at a page's foot: they go with the first row.
    const int first = heights.empty() ? 0 : heights.front();
    if (m_y + m_headingHeight + first > bodyBottom() && m_pageHasBody)
        newPage();
    m_openTable = &block;
    for (std::size_t c = 0; c < m_headings.size(); ++c) {
        PageItem item;
        item.kind = PageItem::Kind::Paragraph;
        item.x = m_headingX[c];
        item.y = m_y + padding;
        item.paragraph = m_headingFirst + c;
        item.lineCount = m_headings[c].lines.size();
        m_pages.back().items.push_back(item);
    }
    m_y += m_headingHeight;
    rule(m_y - padding / 2);
    m_pageHasBody = true;
    bool rowOnPage = false;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (m_y + heights[r] > bodyBottom() && rowOnPage) {
            newPage();
            rowOnPage = false;
        }
        if (m_y + heights[r] <= bodyBottom()) {
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                addParagraph(std::move(rows[r][c].first), x[c], m_y + padding, rows[r][c].second);
            m_y += heights[r];
        } else {
            placeTallRow(rows[r], x, padding);
        }
        rowOnPage = true;
    }
    rule(m_y);
    m_openTable = nullptr;
}

void ReportLayout::placeTallRow(
    std::vector<std::pair<PlacedParagraph, platform::CanvasColor>>& cells,
    const std::vector<int>& x, int padding) {
    // A row taller than a whole body goes on over pages: on each page every cell shows the
    // lines that fit, side by side, and the headings repeat above the rest.
    std::vector<std::size_t> index;
    for (auto& [paragraph, color] : cells) {
        index.push_back(m_paragraphs.size());
        m_paragraphs.push_back(std::move(paragraph));
    }
    std::vector<std::size_t> next(cells.size(), 0);
    const auto remaining = [&] {
        for (std::size_t c = 0; c < cells.size(); ++c)
            if (next[c] < m_paragraphs[index[c]].lines.size())
                return true;
        return false;
    };
    while (remaining()) {
        const int room = bodyBottom() - m_y - 2 * padding;
        int used = 0;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const std::vector<PlacedLine>& lines = m_paragraphs[index[c]].lines;
            if (next[c] >= lines.size())
                continue;
            const int start = lines[next[c]].top;
            std::size_t count = 0;
            // At least one line a page, so that the row always goes on.
            while (next[c] + count < lines.size()) {
                const PlacedLine& line = lines[next[c] + count];
                if (count > 0 && line.top + line.height - start > room)
                    break;
                ++count;
            }
            PageItem item;
            item.kind = PageItem::Kind::Paragraph;
            item.x = x[c];
            item.y = m_y + padding - start;
            item.paragraph = index[c];
            item.firstLine = next[c];
            item.lineCount = count;
            item.color = cells[c].second;
            m_pages.back().items.push_back(item);
            const PlacedLine& last = lines[next[c] + count - 1];
            used = std::max(used, last.top + last.height - start);
            next[c] += count;
        }
        m_y += used + 2 * padding;
        if (remaining())
            newPage();
    }
}

void ReportLayout::placePicture(const ReportBlock& block) {
    const int bodyHeight = bodyBottom() - m_bodyTop;
    int width = m_printable.width;
    int height = static_cast<int>(width * block.aspect);
    if (height > bodyHeight) {
        height = bodyHeight;
        width = static_cast<int>(height / block.aspect);
    }
    if (m_y + height > bodyBottom() && m_pageHasBody)
        newPage();
    PageItem item;
    item.kind = PageItem::Kind::Picture;
    item.area = {m_printable.left, m_y, width, height};
    item.chart = m_charts.size();
    m_charts.push_back(block.paint);
    m_pages.back().items.push_back(item);
    m_y += height;
    m_pageHasBody = true;
}

bool ReportLayout::layout(const std::vector<ReportSource>& sources,
                          const std::function<bool(std::size_t, std::size_t)>& progress) {
    m_pages.clear();
    m_paragraphs.clear();
    m_charts.clear();
    m_openTable = nullptr;
    newPage();
    for (std::size_t s = 0; s < sources.size(); ++s) {
        if (s > 0 && m_options.forceNewPage && m_pageHasBody)
            newPage();
        // Each source is a document of its own.
        m_renderer.reset();
        for (const ReportBlock& block : sources[s].blocks) {
            switch (block.kind) {
            case ReportBlock::Kind::RichText:
                placeParagraphs(m_renderer.layout(block.rtf, m_printable.width));
                break;
            case ReportBlock::Kind::Table:
                placeTable(block);
                break;
            case ReportBlock::Kind::Picture:
                placePicture(block);
                break;
            }
        }
        if (progress && !progress(s + 1, sources.size()))
            return false;
    }
    return true;
}

void ReportLayout::drawPage(std::size_t index, platform::Canvas& canvas) const {
    for (const PageItem& item : m_pages.at(index).items) {
        switch (item.kind) {
        case PageItem::Kind::Paragraph: {
            const PlacedParagraph& paragraph = m_paragraphs[item.paragraph];
            canvas.setColor(item.color);
            const std::size_t end =
                std::min(paragraph.lines.size(), item.firstLine + item.lineCount);
            for (std::size_t l = item.firstLine; l < end; ++l) {
                const PlacedLine& line = paragraph.lines[l];
                for (const PlacedWord& word : line.words) {
                    canvas.setFont(word.font);
                    canvas.drawText(item.x + word.x, item.y + line.top + word.top, word.text);
                }
            }
            canvas.setColor({});
            break;
        }
        case PageItem::Kind::Picture:
            // A picture that cannot be drawn is left out; the rest of the page is printed.
            if (item.bytes == nullptr && m_charts[item.chart])
                m_charts[item.chart](canvas, item.area);
            else if (item.bytes != nullptr)
                canvas.drawPicture(item.area, *item.bytes);
            break;
        case PageItem::Kind::Rule:
            canvas.drawLine(item.area.left, item.area.top, item.area.right(), item.area.top);
            break;
        }
    }
}

std::set<int> parsePageList(std::string_view text, int firstPrinted, int lastPrinted) {
    const auto refuse = [&] {
        return Error("IDS_BADPAGELIST", {std::string(text)},
                     "\"%s\" names no pages of this printout: give page numbers and ranges "
                     "such as 1,3,5-7.");
    };
    std::set<int> pages;
    std::size_t start = 0;
    bool any = false;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string token = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (token.empty())
            continue;
        any = true;
        const std::size_t dash = token.find('-');
        const std::optional<int> from = pageNumber(trimmed(token.substr(0, dash)));
        const std::optional<int> to =
            dash == std::string::npos ? from : pageNumber(trimmed(token.substr(dash + 1)));
        if (!from || !to || *to < *from)
            throw refuse();
        for (int page = std::max(*from, firstPrinted); page <= std::min(*to, lastPrinted); ++page)
            pages.insert(page);
    }
    if (!any || pages.empty())
        throw refuse();
    return pages;
}

} // namespace kalydor
