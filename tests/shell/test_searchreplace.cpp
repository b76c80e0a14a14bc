#include "shell/searchreplace.h"

#include "base/error.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

TEST(SearchPattern, Matching) {
    struct Case {
        const char* pattern;
        const char* name;
        bool exactCase;
        bool matches;
    };
    const Case cases[] = {
        {"W?", "W1", true, true},
        {"W?", "W10", true, false},
        {"W*", "W1", true, true},
        {"W*", "W10", true, true},
        {"W*", "W", true, false}, // "*" takes at least one character
        {"*ext*", "Perete exterior", true, true},
        {"P*e*r", "Perete exterior", true, true},
        {"fal", "FÁL", false, true}, // case and accents do not matter
        {"fal", "FÁL", true, false},
        {"ÖSSZ*", "összefoglaló", false, true},
        {"perete ?", "Perete 2", false, true},
        {"Perete ?", "perete 2", true, false},
        {"?ăr?mid?", "Cărămidă", true, true}, // "?" is one character, not one byte
        {"ȘAPĂ", "șapă", false, true},
        {"", "", true, true},
        {"", "x", true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SearchPattern(c.pattern).matches(c.name, c.exactCase), c.matches)
            << c.pattern << " / " << c.name;
}

TEST(SearchPattern, TokensAndTheirLimit) {
    const SearchPattern pattern("ab?c**d");
    ASSERT_EQ(pattern.tokens().size(), 6u);
    EXPECT_EQ(pattern.tokens()[0].text, U"ab");
    std::string many;
    for (int i = 0; i < 40; ++i)
        many += "?";
    EXPECT_EQ(SearchPattern(many).tokens().size(), SearchPattern::kMaxTokens);
}

TEST(SearchPattern, Replacement) {
    SearchPattern::Match match;
    ASSERT_TRUE(SearchPattern("W*").matches("W10", true, &match));
    EXPECT_EQ(SearchPattern::replacement("X*", match), "X10");

    ASSERT_TRUE(SearchPattern("?-*-?").matches("A-perete ext-Ș", true, &match));
    EXPECT_EQ(SearchPattern::replacement("? * ?!", match), "A perete ext Ș!");

    // The captured text is the name as written, also when case did not matter.
    ASSERT_TRUE(SearchPattern("podea*").matches("Podea caldă", false, &match));
    EXPECT_EQ(SearchPattern::replacement("Pardoseală*", match), "Pardoseală caldă");

    // Every "*" but the last takes the shortest text; the last takes the rest.
    ASSERT_TRUE(SearchPattern("*-*").matches("a-b-c", true, &match));
    ASSERT_EQ(match.manys.size(), 2u);
    EXPECT_EQ(match.manys[0], U"a");
    EXPECT_EQ(match.manys[1], U"b-c");

    ASSERT_TRUE(SearchPattern("W?").matches("W1", true, &match));
    EXPECT_THROW(SearchPattern::replacement("X*", match), Error);
    EXPECT_THROW(SearchPattern::replacement("X??", match), Error);
}

} // namespace
} // namespace kalydor
