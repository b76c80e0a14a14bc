// Pages of a printout on the canvas with fixed metrics: A4 at 72 pixels per inch is 595 × 842
// pixels; with margins of 20/15/15/15 mm the printable area is 497 × 758 from (56, 42); a
// 12 pt line is 14 pixels high.
#include "reports/reportlayout.h"

#include "base/error.h"
#include "platform/fixedcanvas.h"

#include "support/errorkey.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kalydor {
namespace {

PrintOptions options() {
    PrintOptions o;
    o.font = {"Serif", 12};
    o.programSign = false;
    return o;
}

// A source of numbered paragraphs of `lines` lines each: the mark, then words of 80 characters,
// each a line of its own (480 of 497 pixels).
ReportSource paragraphs(int count, int lines, const std::string& mark = "P") {
    ReportSource source;
    std::string rtf;
    for (int i = 1; i <= count; ++i) {
        rtf += "\\pard " + mark + std::to_string(i);
        for (int l = 1; l < lines; ++l)
            rtf += " " + std::string(80, 'x');
        rtf += "\\par ";
    }
    source.blocks.push_back(ReportBlock::richText(rtf));
    return source;
}

std::string pageText(const ReportLayout& layout, std::size_t page) {
    platform::FixedCanvas canvas(72);
    layout.drawPage(page, canvas);
    return canvas.drawnText();
}

// Body paragraphs are never split: each page item holds a whole paragraph that ends above the
// body's foot, and the paragraphs keep their order across pages.
TEST(ReportLayout, PlacesParagraphsWholeAndInOrder) {
    platform::FixedCanvas canvas(72);
    ReportLayout layout(canvas, PaperGeometry::a4(72), options(), {});
    ASSERT_TRUE(layout.layout({paragraphs(40, 3)}));
    ASSERT_GT(layout.pageCount(), 1u);
    EXPECT_EQ(layout.printable(), (platform::CanvasRect{56, 42, 497, 758}));
    int next = 1;
    for (std::size_t p = 0; p < layout.pageCount(); ++p) {
        const std::string text = pageText(layout, p);
        // The title line (page number only) first, then the paragraphs that fit.
        EXPECT_EQ(text.substr(0, 2), std::to_string(p + 1) + "\n");
        while (text.find("P" + std::to_string(next) + "\n") != std::string::npos ||
               text.find("P" + std::to_string(next) + " ") != std::string::npos)
            ++next;
        for (const PageItem& item : layout.page(p).items)
            EXPECT_EQ(item.firstLine, 0u);
    }
    EXPECT_EQ(next, 41); // every paragraph was found, in order, on some page
    // Each page's last paragraph would not have fitted with the next one's three lines.
    const std::string first = pageText(layout, 0);
    // Title 32 + 17 paragraphs of 42 = 746 of 758: the 18th begins the next page.
    EXPECT_NE(first.find("P17"), std::string::npos);
    EXPECT_EQ(first.find("P18"), std::string::npos);
}

// A paragraph taller than a whole body starts a fresh page and goes on over pages line by
// line.
TEST(ReportLayout, SplitsAParagraphTallerThanTheBodyByLines) {
    platform::FixedCanvas canvas(72);
    ReportLayout layout(canvas, PaperGeometry::a4(72), options(), {});
    ASSERT_TRUE(layout.layout({paragraphs(1, 2), paragraphs(1, 120, "Q")}));
    // 120 lines of 14 pixels: 51 on each body of 726 pixels below the title.
    ASSERT_EQ(layout.pageCount(), 4u);
    EXPECT_EQ(pageText(layout, 0).find("Q1"), std::string::npos);
    EXPECT_NE(pageText(layout, 1).find("Q1"), std::string::npos);
    std::size_t lines = 0;
    for (std::size_t p = 1; p < layout.pageCount(); ++p)
        for (const PageItem& item : layout.page(p).items)
            lines += item.lineCount;
    EXPECT_EQ(lines, 120u + 3u); // and a title line on each page
}

// The firm header: none, only on the page numbered 1 (so not when numbering starts at 3), or
// on every page.
TEST(ReportLayout, FirmHeaderByPageMode) {
    struct Case {
        int mode;
        int firstPage;
        std::vector<bool> shown;
    };
    const std::vector<Case> cases = {{0, 1, {false, false}},
                                     {1, 1, {true, false}},
                                     {1, 3, {false, false}},
                                     {2, 1, {true, true}}};
    for (const Case& c : cases) {
        platform::FixedCanvas canvas(72);
        PrintOptions o = options();
        o.firmHeaderPageMode = c.mode;
        o.firmHeaderText = {"Firma Instal SRL", "Cluj"};
        PrintChoices choices;
        choices.firstPageNumber = c.firstPage;
        ReportLayout layout(canvas, PaperGeometry::a4(72), o, choices);
        ASSERT_TRUE(layout.layout({paragraphs(30, 3)}));
        ASSERT_EQ(layout.pageCount(), 2u);
        for (std::size_t p = 0; p < 2; ++p)
            EXPECT_EQ(pageText(layout, p).find("Firma") != std::string::npos, c.shown[p])
                << "mode " << c.mode << " first " << c.firstPage << " page " << p;
    }
}

// The logo: at the left or ending at the right edge, sized by its resolution (300 when none
// is given), a too large one scaled down; text beside a left logo starts after it, and the
// body starts below the lower of logo and text.
TEST(ReportLayout, LogoSidesAndSizes) {
    struct Case {
        int mode;
        int resolution;
        int pixels;
        platform::CanvasRect area;
    };
    const std::vector<Case> cases = {
        {1, 72, 100, {56, 42, 100, 100}},
        {2, 72, 100, {56 + 497 - 100, 42, 100, 100}},
        {1, 0, 600, {56, 42, 144, 144}},   // 600 px at 300 dpi: 2 inches
        {1, 72, 2000, {56, 42, 248, 248}}, // scaled to half the width
    };
    for (const Case& c : cases) {
        platform::FixedCanvas canvas(72);
        PrintOptions o = options();
        o.firmHeaderPageMode = 2;
        o.firmHeaderLogoMode = c.mode;
        o.firmHeaderLogoResolution = c.resolution;
        o.logo = "picture";
        o.logoWidth = c.pixels;
        o.logoHeight = c.pixels;
        o.firmHeaderText = {"Firma"};
        ReportLayout layout(canvas, PaperGeometry::a4(72), o, {});
        ASSERT_TRUE(layout.layout({paragraphs(1, 1)}));
        layout.drawPage(0, canvas);
        ASSERT_EQ(canvas.pictures().size(), 1u);
        EXPECT_EQ(canvas.pictures()[0].area, c.area) << c.mode << " " << c.pixels;
        for (const platform::FixedCanvas::Text& text : canvas.texts()) {
            if (text.text == "Firma" && c.mode == 1) {
                EXPECT_GE(text.x, c.area.right());
            }
            if (text.text == "P1") {
                EXPECT_GE(text.y, c.area.bottom());
            }
        }
    }
}

// The title line: the title at the left, the printed number ending at the right edge, counted
// from the first page number; user text is printed as typed (a path's backslashes too).
TEST(ReportLayout, NumberedTitleLines) {
    platform::FixedCanvas canvas(72);
    PrintChoices choices;
    choices.title = "C:\\Proiecte\\Casă {nouă}";
    choices.firstPageNumber = 3;
    choices.fileName = "D:\\Lucrări\\casa.kpr";
    choices.date = "11.12.2026";
    ReportLayout layout(canvas, PaperGeometry::a4(72), options(), choices);
    ASSERT_TRUE(layout.layout({paragraphs(30, 3)}));
    ASSERT_EQ(layout.pageCount(), 2u);
    for (std::size_t p = 0; p < 2; ++p) {
        platform::FixedCanvas page(72);
        layout.drawPage(p, page);
        const std::vector<platform::FixedCanvas::Text>& texts = page.texts();
        ASSERT_GE(texts.size(), 4u);
        std::string title;
        std::size_t t = 0;
        for (; texts[t].y == texts[0].y && t + 1 < texts.size(); ++t)
            title += texts[t].text;
        EXPECT_EQ(title, "C:\\Proiecte\\Casă {nouă}" + std::to_string(p + 3));
        const platform::FixedCanvas::Text& number = texts[t - 1];
        EXPECT_EQ(number.x + page.measure(number.text).width, 56 + 497);
        // The foot: file name and date on every page.
        EXPECT_NE(page.drawnText().find("D:\\Lucrări\\casa.kpr"), std::string::npos);
        EXPECT_NE(page.drawnText().find("11.12.2026"), std::string::npos);
    }
}

// A table goes on over pages with its headings repeated; a row is never split, and headings
// never stand alone at a page's foot.
TEST(ReportLayout, TablesRepeatTheirHeadings) {
    platform::FixedCanvas canvas(72);
    std::vector<std::vector<std::string>> rows;
    for (int r = 1; r <= 80; ++r)
        rows.push_back({"Row" + std::to_string(r), "\\red " + std::to_string(r * 10)});
    ReportSource table;
    table.blocks.push_back(
        ReportBlock::table({{{"Name"}, 100, false, false}, {{"Q [W]"}, 50, true, false}}, rows));
    ReportLayout layout(canvas, PaperGeometry::a4(72), options(), {});
    ASSERT_TRUE(layout.layout({paragraphs(15, 3), table}));
    ASSERT_GE(layout.pageCount(), 3u);
    int rowsSeen = 0;
    for (std::size_t p = 0; p < layout.pageCount(); ++p) {
        platform::FixedCanvas page(72);
        layout.drawPage(p, page);
        const std::string text = page.drawnText();
        const bool hasRows = text.find("Row") != std::string::npos;
        EXPECT_EQ(text.find("Name") != std::string::npos, hasRows) << "page " << p;
        for (const platform::FixedCanvas::Text& t : page.texts()) {
            if (t.text.rfind("Row", 0) == 0)
                ++rowsSeen;
            if (t.text == "20") { // right-aligned and red
                EXPECT_EQ(t.x + page.measure(t.text).width, 56 + 497 - 2);
                EXPECT_EQ(t.color, (platform::CanvasColor{192, 0, 0}));
            }
        }
    }
    EXPECT_EQ(rowsSeen, 80);
}

// A row taller than a whole body goes on over pages, its cells' lines side by side, never
// past a page's foot, the headings above each part.
TEST(ReportLayout, SplitsARowTallerThanTheBody) {
    platform::FixedCanvas canvas(72);
    std::string longText;
    for (int i = 1; i <= 150; ++i)
        longText += "cuvânt" + std::to_string(i) + " ";
    ReportSource table;
    table.blocks.push_back(ReportBlock::table(
        {{{"Text"}, 60, false, false}, {{"Nr"}, 440, false, false}}, {{longText, "1"}}));
    ReportLayout layout(canvas, PaperGeometry::a4(72), options(), {});
    ASSERT_TRUE(layout.layout({table}));
    ASSERT_GE(layout.pageCount(), 2u);
    int words = 0;
    for (std::size_t p = 0; p < layout.pageCount(); ++p) {
        platform::FixedCanvas page(72);
        layout.drawPage(p, page);
        EXPECT_NE(page.drawnText().find("Text"), std::string::npos) << p; // the headings
        for (const platform::FixedCanvas::Text& text : page.texts()) {
            EXPECT_LE(text.y + 14, 42 + 758) << text.text;
            if (text.text.find("cuvânt") != std::string::npos)
                ++words;
        }
    }
    EXPECT_EQ(words, 150);
}

// With ForceNewPage every source after the first starts a page; a stop ends the layout.
TEST(ReportLayout, ForceNewPageAndStop) {
    for (const bool force : {false, true}) {
        platform::FixedCanvas canvas(72);
        PrintOptions o = options();
        o.forceNewPage = force;
        ReportLayout layout(canvas, PaperGeometry::a4(72), o, {});
        ASSERT_TRUE(layout.layout({paragraphs(2, 1), paragraphs(2, 1, "Q")}));
        EXPECT_EQ(layout.pageCount(), force ? 2u : 1u);
    }
    platform::FixedCanvas canvas(72);
    ReportLayout layout(canvas, PaperGeometry::a4(72), options(), {});
    std::size_t told = 0;
    EXPECT_FALSE(layout.layout({paragraphs(2, 1), paragraphs(2, 1)},
                               [&](std::size_t done, std::size_t total) {
                                   told = done;
                                   EXPECT_EQ(total, 2u);
                                   return false;
                               }));
    EXPECT_EQ(told, 1u);
}

TEST(ReportLayout, RefusesMarginsThatLeaveNoBody) {
    platform::FixedCanvas canvas(72);
    PrintOptions o = options();
    o.topMargin = 150;
    o.bottomMargin = 130;
    EXPECT_EQ(testing::errorKey([&] { ReportLayout(canvas, PaperGeometry::a4(72), o, {}); }),
              "IDS_MARGINSTOOLARGE");
}

TEST(ReportLayout, PageListsOfOnlyPages) {
    struct Case {
        const char* text;
        std::set<int> pages; // empty: refused
    };
    const std::vector<Case> cases = {
        {"1,3,5-7", {1, 3, 5, 6, 7}},
        {" 2 - 4 ,", {2, 3, 4}},
        {"5-100", {5, 6, 7, 8}}, // clamped to the last page
        {"0-2", {1, 2}},
        {"20", {}},
        {"abc", {}},
        {"3-1", {}},
        {"", {}},
        {"1;2", {}},
    };
    for (const Case& c : cases) {
        if (c.pages.empty()) {
            EXPECT_EQ(testing::errorKey([&] { (void)parsePageList(c.text, 1, 8); }),
                      "IDS_BADPAGELIST")
                << c.text;
        } else {
            EXPECT_EQ(parsePageList(c.text, 1, 8), c.pages) << c.text;
        }
    }
}

} // namespace
} // namespace kalydor
