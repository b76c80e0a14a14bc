// Numbers and dates as the interface language writes them.

#include "base/displayformat.h"
#include "base/error.h"

#include "support/fakelanguage.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

TEST(DisplayFormat, TheLanguageDecidesTheDecimalSeparator) {
    EXPECT_EQ(displayNumber(0.04f, 7), "0.04"); // no language: the point of the files
    const test::FakeLanguage romanian{{"IDS_DECIMALSEPARATOR", ","}};
    EXPECT_EQ(displayDecimalSeparator(), ',');
    EXPECT_EQ(displayNumber(160, 7), "160");
    EXPECT_EQ(displayNumber(0.04f, 7), "0,04");
    EXPECT_EQ(displayNumber(3.673e-7, 4), "3,673E-7");
}

// Only the numbers of a formatted text take the separator: the sentence keeps its points.
TEST(DisplayFormat, FormattedTextsWriteTheirNumbersWithTheSeparator) {
    const struct {
        const char* format;
        TextArgs args;
        const char* expected;
    } cases[] = {
        {"Durata este de %.1f zile.", {12.26}, "Durata este de 12,3 zile."},
        {"%s: %g / %g", {std::string("a.b"), 0.5, 2.0}, "a.b: 0,5 / 2"},
        {"100%% uscat în %.2f ani.", {1.5}, "100% uscat în 1,50 ani."},
        {"%d straturi.", {std::int64_t(3)}, "3 straturi."},
        {"%.1f", {std::string("text")}, "%.1f"}, // a format that does not fit stays as it is
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatText(c.format, c.args, ','), c.expected) << c.format;
        EXPECT_EQ(formatText(c.format, c.args, '.'), formatText(c.format, c.args)) << c.format;
    }
}

TEST(DisplayFormat, DatesAsTheLanguageWritesThem) {
    EXPECT_EQ(displayDate(2026, 12, 10), "2026.12.10."); // no language: the identifier form
    {
        const test::FakeLanguage romanian{{"IDS_DATEFORMAT", "dd.MM.yyyy"}};
        EXPECT_EQ(displayDate(2026, 12, 10), "10.12.2026");
        EXPECT_EQ(displayDate(2027, 1, 5), "05.01.2027");
    }
    const test::FakeLanguage other{{"IDS_DATEFORMAT", "d/M/yy"}};
    EXPECT_EQ(displayDate(2027, 1, 5), "5/1/27");
}

} // namespace
} // namespace kalydor
