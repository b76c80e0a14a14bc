// The sources of printouts: the project description of the first page, list tables, the
// printing dialog's choices.
#include "shell/reportsources.h"

#include "base/error.h"
#include "language/languages.h"
#include "platform/fixedcanvas.h"
#include "reports/columnlayout.h"
#include "reports/rtfrenderer.h"
#include "store/projectdata.h"

#include "support/errorkey.h"
#include "support/shippedlanguages.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

// The lines of rich text as drawn, each line's words joined.
std::vector<std::string> drawnLines(const std::string& rtf) {
    platform::FixedCanvas canvas(72);
    RtfRenderer renderer(canvas, {"Serif", 10});
    std::vector<std::string> lines;
    for (const PlacedParagraph& paragraph : renderer.layout(rtf, 600))
        for (const PlacedLine& line : paragraph.lines) {
            std::string text;
            for (const PlacedWord& word : line.words)
                text += (text.empty() ? "" : "|") + word.text;
            lines.push_back(text);
        }
    return lines;
}

// Each list's first line with its label, the further lines after a tab, the date when there
// is one, never the comment.
TEST(ProjectDataReport, ListsWithLabelsAndTheDate) {
    Languages& languages = test::shippedLanguages();
    languages.SelectInterfaceLanguage("English");
    ProjectData data;
    data.Building = {"Casă familială", "Str. Lungă 5, Brașov"};
    data.Customer = {"Ion Popescu"};
    data.Planner = {};
    data.Comment = {"nu se tipărește"};
    data.Date = "11.12.2026";
    const std::vector<std::string> lines = drawnLines(projectDataRtf(data, languages));
    const std::vector<std::string> expected = {"Building:|Casă| familială",
                                               "Str.| Lungă| 5,| Brașov", "Client:|Ion| Popescu",
                                               "Date:|11.12.2026"};
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(projectDataRtf(ProjectData{}, languages).empty());
}

// The choices of the printing dialog: the first page number is a page number, the file name
// and date only when chosen.
TEST(PrintForm, ChoicesOfAPrintout) {
    PrintForm form;
    form.title = "Case";
    form.firstPage = "7";
    form.date = false;
    const PrintChoices choices = form.choices("/p/Casa.db", "11.12.2026", "Kalydor");
    EXPECT_EQ(choices.firstPageNumber, 7);
    EXPECT_EQ(choices.fileName, "/p/Casa.db");
    EXPECT_EQ(choices.date, "");
    for (const char* bad : {"0", "-1", "x", "", "100000", "3 "}) {
        form.firstPage = bad;
        EXPECT_EQ(testing::errorKey([&] { (void)form.choices({}, {}, {}); }), "IDS_WRONGVALUE")
            << bad;
    }
}

} // namespace
} // namespace kalydor
