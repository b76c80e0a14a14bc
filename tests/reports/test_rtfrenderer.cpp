// The rich-text renderer of printed reports, on the canvas with fixed metrics: at 72 pixels per
// inch a point is a pixel and 20 twips are one; a 12 pt character is 6 pixels wide, its line
// 14 pixels high.
#include "reports/rtfrenderer.h"

#include "platform/fixedcanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kalydor {
namespace {

struct Drawn {
    int x;
    int y;
    std::string text;
    int pointSize;
    bool bold = false;
};

std::vector<Drawn> drawnWords(const std::string& rtf, int width, int reportSize = 12) {
    platform::FixedCanvas canvas(72);
    RtfRenderer renderer(canvas, {"Serif", reportSize});
    renderer.draw(rtf, {0, 0, width, 1000});
    std::vector<Drawn> drawn;
    for (const platform::FixedCanvas::Text& text : canvas.texts())
        drawn.push_back({text.x, text.y, text.text, text.font.pointSize, text.font.bold});
    return drawn;
}

std::string describe(const std::vector<Drawn>& drawn) {
    std::string all;
    for (const Drawn& word : drawn)
        all += "[" + std::to_string(word.x) + "," + std::to_string(word.y) + " " + word.text + " " +
               std::to_string(word.pointSize) + (word.bold ? "b" : "") + "]";
    return all;
}

// Where each word lands, as "[x,y text size]": sizes, wrapping, tabs, indents, characters.
TEST(RtfRenderer, PlacesWordsAsTheControlWordsSay) {
    struct Case {
        const char* what;
        std::string rtf;
        int width;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"fs20 prints at the report size, fs16 at 12 x 16 / 20", "{\\fs20 A}{\\fs16 B}\\par", 600,
         "[0,0 A 12][6,2 B 9]"},
        {"a word past the width starts the next line without its space", "\\pard hello world\\par",
         60, "[0,0 hello 12][0,14 world 12]"},
        {"the next line starts at the left indent", "\\li200 \\fi-200 hello world\\par", 60,
         "[0,0 hello 12][10,14 world 12]"},
        {"a right tab ends the run at the stop", "\\tqr\\tx1200 A\\tab BC\\par", 600,
         "[0,0 A 12][48,0 BC 12]"},
        {"a run wider than the distance stays where it is", "\\tqr\\tx1200 ABCDEFGH\\tab XYZ\\par",
         600, "[0,0 ABCDEFGH 12][48,0 XYZ 12]"},
        {"a left tab moves to its stop", "\\tx1000 A\\tab B\\par", 600, "[0,0 A 12][50,0 B 12]"},
        {"a tab left of the indent goes to the indent", "\\li400\\fi-400 1.\\tab Text\\par", 600,
         "[0,0 1. 12][20,0 Text 12]"},
        {"without a stop the tab goes to the next half inch", "AB\\tab C\\par", 600,
         "[0,0 AB 12][36,0 C 12]"},
        {"a tab character is a tab", "\\tx1000 A\tB\\par", 600, "[0,0 A 12][50,0 B 12]"},
        {"space before and after, an empty paragraph a digit high",
         "\\sb200\\sa100 A\\par\\par B\\par", 600, "[0,10 A 12][0,58 B 12]"},
        {"Unicode and code-page characters join the word", "Ap\\u259?\\'ba a\\par", 600,
         "[0,0 Apăş 12][24,0  a 12]"},
        {"escaped characters are text", "a\\\\b\\{c\\}\\par", 600, "[0,0 a\\b{c} 12]"},
        {"font and colour tables and other destinations draw nothing",
         "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
         "{\\*\\generator x;}Text\\par}",
         600, "[0,0 Text 12]"},
        {"the symbol font prints Greek letters", "{\\f1 l}=0{\\f1 a}\\par", 600,
         "[0,0 λ 12][6,0 =0 12][18,0 α 12]"},
        {"superscript is smaller and raised", "m{\\super 2}\\par", 600, "[0,1 m 12][6,0 2 9]"},
        {"bold words", "{\\b B}\\b0 C\\par", 600, "[0,0 B 12b][7,0 C 12]"},
        {"a word wider than the line breaks between characters", "ABCDEFGHIJKL\\par", 30,
         "[0,0 ABCDE 12][0,14 FGHIJ 12][0,28 KL 12]"},
        {"pard goes back to the base style", "\\li400{\\b\\fs40 A}\\par\\pard B\\par", 600,
         "[20,0 A 24b][0,28 B 12]"},
        {"a backslash before a line end is a paragraph end", "A\\\nB\\par", 600,
         "[0,0 A 12][0,14 B 12]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(drawnWords(c.rtf, c.width)), c.expected) << c.what;
}

// Sizes that would vanish or turn negative print at one point; a deep nesting keeps its
// bound, and a "}" past the "{"s never leaves the base style.
TEST(RtfRenderer, KeepsSizesAndNestingWithinBounds) {
    struct Case {
        const char* what;
        std::string rtf;
        int pointSize;
        bool bold;
    };
    std::string deep;
    for (int i = 0; i < 40; ++i)
        deep += "{";
    deep += "\\b ";
    for (int i = 0; i < 40; ++i)
        deep += "}";
    const std::vector<Case> cases = {
        {"fs0", "{\\fs0 x}\\par", 1, false},
        {"a negative size", "{\\fs-40 x}\\par", 1, false},
        {"stacked superscripts", "{\\fs2\\super\\super x}\\par", 1, false},
        {"a huge size is cut", "{\\fs99999999999 x}\\par", 600000, false},
        {"forty groups deep and back", deep + "x\\par", 12, false},
        {"more closing than opening braces", "}}}{\\b x}\\par", 12, true},
    };
    for (const Case& c : cases) {
        const std::vector<Drawn> drawn = drawnWords(c.rtf, 600);
        ASSERT_EQ(drawn.size(), 1u) << c.what;
        EXPECT_EQ(drawn[0].pointSize, c.pointSize) << c.what;
        EXPECT_EQ(drawn[0].bold, c.bold) << c.what;
    }
    // A size of 0 for the report font is 10 pt.
    EXPECT_EQ(drawnWords("x\\par", 600, 0)[0].pointSize, 10);
}

// Measuring lays out without drawing, paragraph by paragraph; the style goes on from one piece
// of text to the next until it is reset.
TEST(RtfRenderer, MeasuresParagraphsAndCarriesTheStyleOn) {
    platform::FixedCanvas canvas(72);
    RtfRenderer renderer(canvas, {"Serif", 12});
    const std::vector<PlacedParagraph> paragraphs =
        renderer.layout("\\sa100 one two three\\par\\par tail", 60);
    EXPECT_TRUE(canvas.texts().empty());
    ASSERT_EQ(paragraphs.size(), 3u);
    EXPECT_EQ(paragraphs[0].lines.size(), 2u);    // "one two" and "three"
    EXPECT_EQ(paragraphs[0].height, 14 + 14 + 5); // two lines and the space after
    EXPECT_EQ(paragraphs[1].height, 14 + 5);      // empty: a digit high
    EXPECT_EQ(paragraphs[2].height, 14);          // no paragraph end: no space after

    renderer.layout("{\\b", 600);
    EXPECT_TRUE(renderer.layout("x", 600)[0].lines[0].words[0].font.bold);
    renderer.reset();
    EXPECT_FALSE(renderer.layout("x", 600)[0].lines[0].words[0].font.bold);

    EXPECT_EQ(renderer.measure("A\\par B\\par", 600), 28);
    // Drawing puts each paragraph below the one before, from the area's corner.
    EXPECT_EQ(renderer.draw("A\\par B\\par", {100, 50, 600, 500}), 28);
    ASSERT_EQ(canvas.texts().size(), 2u);
    EXPECT_EQ(canvas.texts()[1].x, 100);
    EXPECT_EQ(canvas.texts()[1].y, 64);
}

} // namespace
} // namespace kalydor
