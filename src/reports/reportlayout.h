#pragma once

#include "platform/canvas.h"
#include "reports/rtfrenderer.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kalydor {

/// The program options printing follows: margins in millimetres from the paper's edge, the
/// firm header, the report font and the switches.
struct PrintOptions {
    int leftMargin = 20;
    int topMargin = 15;
    int rightMargin = 15;
    int bottomMargin = 15;
    bool forceNewPage = false;
    bool colorPrinting = true;
    bool programSign = true;
    std::vector<std::string> firmHeaderText;
    int firmHeaderPageMode = 0; ///< 0 none, 1 on the page numbered 1, 2 on every page
    int firmHeaderFontSize = 10;
    int firmHeaderLogoMode = 0; ///< 0 none, 1 at the left margin, 2 at the right margin
    std::string logo;           ///< the logo's picture bytes
    int logoWidth = 0;          ///< the picture's size in its own pixels
    int logoHeight = 0;
    int firmHeaderLogoResolution = 300; ///< pixels per inch the logo is meant to print at
    ReportFont font;
};

/// The choices of one printout.
struct PrintChoices {
    std::string title;
    bool numberPages = true;
    int firstPageNumber = 1;
    std::string projectData; ///< rich text of the project description; empty: not printed
    std::string fileName;    ///< the project's full path; empty: not printed
    std::string date;        ///< empty: not printed
    std::string signature;   ///< the program's signature line, printed when switched on
};

/// The paper as the printer has it: its size in device pixels and millimetres and where its
/// printable area starts.
struct PaperGeometry {
    int widthPixels = 0;
    int heightPixels = 0;
    double widthMillimetres = 210;
    double heightMillimetres = 297;
    int offsetX = 0;
    int offsetY = 0;
    /// An A4 sheet at a resolution, printable to the edge.
    static PaperGeometry a4(int dpi);
};

/// One column of a printed table: its caption lines (with caption markup), its share of the
/// width and how its cells are aligned.
struct ReportColumn {
    std::vector<std::string> captions;
    int width = 50;
    bool alignRight = false;
    bool alignCenter = false;
};

/// A block of a report's body: rich-text paragraphs, a table drawn row by row, or a picture
/// (a logo's bytes, or a chart that draws itself) as wide as the body or as its own size.
struct ReportBlock {
    enum class Kind { RichText, Table, Picture };
    Kind kind = Kind::RichText;
    std::string rtf;
    std::vector<ReportColumn> columns;
    /// Cell texts; a cell starting "\green " or "\red " prints in that colour.
    std::vector<std::vector<std::string>> rows;
    std::string picture;
    /// Draws a chart into the area; false when it cannot.
    std::function<bool(platform::Canvas&, const platform::CanvasRect&)> paint;
    double aspect = 0.6; ///< height over width of a chart

    static ReportBlock richText(std::string rtf);
    static ReportBlock table(std::vector<ReportColumn> columns,
                             std::vector<std::vector<std::string>> rows);
    static ReportBlock
    chart(std::function<bool(platform::Canvas&, const platform::CanvasRect&)> paint, double aspect);
};

/// One item or list of a printout.
struct ReportSource {
    std::string name; ///< how messages name it
    std::vector<ReportBlock> blocks;
};

/// What a page shows, laid out once: paragraphs (whole or some of their lines), pictures and
/// rules, each at its place.
struct PageItem {
    enum class Kind { Paragraph, Picture, Rule };
    Kind kind = Kind::Paragraph;
    int x = 0;
    int y = 0;
    std::size_t paragraph = 0; ///< index into the layout's paragraphs
    std::size_t firstLine = 0;
    std::size_t lineCount = 0;
    platform::CanvasColor color;
    platform::CanvasRect area;          ///< picture or rule (a rule is its top edge)
    std::size_t chart = 0;              ///< index into the layout's charts, when one is drawn
    const std::string* bytes = nullptr; ///< the logo's bytes
};

struct ReportPage {
    int printedNumber = 1;
    std::vector<PageItem> items;
};

/// Lays out a printout on pages: the project description on the first page, the firm
/// header, the title line with the page number, the column headings of a table that goes on
/// from the page before, the body, and at each page's foot the file name and date and the
/// program's signature. Paragraphs, table rows and pictures are placed whole; one taller than
/// a whole body is split by lines (a paragraph) or scaled down (a picture). The layout is made
/// with the metrics of the canvas it is made on and kept: drawing a page lays out nothing.
class ReportLayout {
public:
    /// Raises "IDS_MARGINSTOOLARGE" when the margins leave less than a tenth of the paper's
    /// height, or a third of its width, for the body.
    ReportLayout(platform::Canvas& canvas, const PaperGeometry& paper, const PrintOptions& options,
                 const PrintChoices& choices);
    ReportLayout(const ReportLayout&) = delete;
    ReportLayout& operator=(const ReportLayout&) = delete;

    /// Lays the sources out after one another; `progress` is told each source done and may
    /// stop the layout (false). Returns false when stopped.
    bool layout(const std::vector<ReportSource>& sources,
                const std::function<bool(std::size_t done, std::size_t total)>& progress = {});

    std::size_t pageCount() const { return m_pages.size(); }
    const ReportPage& page(std::size_t index) const { return m_pages.at(index); }
    /// Draws a laid-out page on a canvas with the metrics it was laid out with.
    void drawPage(std::size_t index, platform::Canvas& canvas) const;
    /// The printable rectangle and the body's bottom in device pixels.
    const platform::CanvasRect& printable() const { return m_printable; }

private:
    void newPage();
    void rule(int y);
    int bodyBottom() const;
    void placeParagraphs(std::vector<PlacedParagraph> paragraphs);
    void placeTable(const ReportBlock& block);
    /// A table row taller than a whole body, its cells' lines split over pages.
    void placeTallRow(std::vector<std::pair<PlacedParagraph, platform::CanvasColor>>& cells,
                      const std::vector<int>& x, int padding);
    /// The columns' widths on the page, each at least as wide as its widest word when the
    /// others can give the room; `size` is the cells' "fs" (18, smaller for a wide table).
    std::vector<int> columnWidths(const ReportBlock& block, int padding, int& size);
    void placePicture(const ReportBlock& block);
    /// A table cell: its text laid out in the column's width and aligned in it.
    PlacedParagraph cell(const std::string& rtf, int width, bool right, bool center);
    int addParagraph(PlacedParagraph paragraph, int x, int y, platform::CanvasColor color = {});
    std::string titleRtf(int printedNumber) const;
    std::string footerRtf() const;
    std::string firmHeaderRtf(int logoWidth) const;

    platform::Canvas& m_canvas;
    PrintOptions m_options;
    PrintChoices m_choices;
    RtfRenderer m_renderer;
    platform::CanvasRect m_printable;
    int m_footerHeight = 0;
    int m_bodyTop = 0;
    int m_y = 0;
    bool m_pageHasBody = false;
    const ReportBlock* m_openTable = nullptr; ///< a table whose headings go on to a new page
    std::vector<PlacedParagraph> m_headings;  ///< the open table's heading cells
    std::vector<int> m_headingX;
    std::size_t m_headingFirst = 0; ///< index of the first heading cell's paragraph
    int m_headingHeight = 0;
    int m_cellPadding = 0;
    std::vector<PlacedParagraph> m_paragraphs;
    /// The charts' drawing, kept with the layout: the sources need not outlive it.
    std::vector<std::function<bool(platform::Canvas&, const platform::CanvasRect&)>> m_charts;
    std::vector<ReportPage> m_pages;
};

/// The pages an only-pages field names: printed numbers and ranges ("1,3,5-7"), blanks
/// allowed, ranges clamped to the pages there are. Raises "IDS_BADPAGELIST" for a text that is
/// no such list or names none of the pages.
std::set<int> parsePageList(std::string_view text, int firstPrinted, int lastPrinted);

/// User text as rich text: "\", "{" and "}" escaped, non-ASCII as "\uN?".
std::string rtfText(std::string_view text);

} // namespace kalydor
