#include "base/collation.h"
#include "base/error.h"
#include "base/textencoding.h"

#include "support/fakelanguage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace kalydor {
namespace {

TEST(FormatText, FormatsThatDoNotFitTheirArgumentsAreShownUnformatted) {
    struct Case {
        const char* format;
        TextArgs args;
        const char* expected;
    };
    const Case cases[] = {
        {"Version %d is unknown", {std::int64_t{57}}, "Version 57 is unknown"},
        {"%s - %s", {std::string("A"), std::string("B")}, "A - B"},
        {"%.2f m", {2.345}, "2.35 m"},
        {"%d%%", {std::int64_t{50}}, "50%"},
        {"no placeholder", {}, "no placeholder"},
        // A faulty language file: these must neither crash nor print garbage.
        {"100 %", {}, "100 %"},
        {"%d items", {std::string("many")}, "%d items"},
        {"%s and %s", {std::string("one")}, "%s and %s"},
        {"%n", {std::int64_t{1}}, "%n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatText(c.format, c.args), c.expected) << c.format;
}

TEST(Error, CarriesKeyArgumentsAndTheLanguageText) {
    {
        const Error withoutLanguage("IDS_VERSIONERR", {std::int64_t{7}});
        EXPECT_EQ(withoutLanguage.key(), "IDS_VERSIONERR");
        EXPECT_EQ(withoutLanguage.text(), ""); // no language: the empty text
    }
    test::FakeLanguage language(
        {{"IDS_VERSIONERR", "Unknown version %d"}, {"IDS_BROKEN", "Value %d%"}});
    const Error error("IDS_VERSIONERR", {std::int64_t{7}});
    EXPECT_EQ(error.text(), "Unknown version 7");
    EXPECT_STREQ(error.what(), "Unknown version 7");
    ASSERT_EQ(error.args().size(), 1u);
    EXPECT_EQ(std::get<std::int64_t>(error.args()[0]), 7);
    EXPECT_EQ(Error("IDS_BROKEN", {std::int64_t{3}}).text(), "Value %d%");
    // A key the language lacks uses the fallback text where the code gives one.
    EXPECT_EQ(Error("IDS_NOSUCHKEY", {std::string("x")}, "Missing %s").text(), "Missing x");
}

TEST(TextEncoding, Windows1250AndUtf8) {
    // "Hőszigetelés" as Windows-1250 bytes, as older installations stored it.
    const std::string cp1250 = "H\xF5szigetel\xE9s";
    EXPECT_FALSE(isValidUtf8(cp1250));
    EXPECT_EQ(windows1250ToUtf8(cp1250), "Hőszigetelés");
    EXPECT_EQ(textFromStoredBytes(cp1250), "Hőszigetelés");
    EXPECT_EQ(textFromStoredBytes("Hőszigetelés"), "Hőszigetelés");
    EXPECT_EQ(windows1250ToUtf8("\x81"), "\xEF\xBF\xBD"); // undefined byte: U+FFFD
    EXPECT_EQ(windows1250ByteOf(U'ș'), -1);               // comma-below: not in the code page
    EXPECT_EQ(windows1250ByteOf(U'ş'), 0xBA);
    EXPECT_EQ(windows1250ByteOf(U'ő'), 0xF5);

    const char* invalid[] = {"\xC0\xAF", "\xED\xA0\x80", "\xE2\x82", "\xF8\x88\x80\x80\x80",
                             "\xF4\x90\x80\x80"};
    for (const char* bytes : invalid)
        EXPECT_FALSE(isValidUtf8(bytes)) << bytes;
    EXPECT_TRUE(isValidUtf8("\xEF\xBF\xBD"));

    EXPECT_EQ(codePointCount("Ţară"), 4u);
    EXPECT_EQ(leftCodePoints("Ţară", 2), "Ţa");
}

TEST(Collation, IgnoresCaseAndAccentsWithTiesByBytes) {
    std::vector<std::string> names = {"zárt",  "Ablak",     "ablak",    "Ábra", "ajtó",
                                      "Beton", "ştreaşină", "Şarpantă", "acél"};
    std::sort(names.begin(), names.end(), NameLess());
    const std::vector<std::string> expected = {"Ablak", "ablak",    "Ábra",      "acél", "ajtó",
                                               "Beton", "Şarpantă", "ştreaşină", "zárt"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(compareNames("a", "a"), 0);
    EXPECT_NE(compareNames("A", "a"), 0); // only identical names are equal
    EXPECT_LT(compareNames("ab", "abc"), 0);
}

} // namespace
} // namespace kalydor
