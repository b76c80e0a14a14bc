#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"

#include <gtest/gtest.h>

#include <optional>

namespace kalydor {
namespace {

struct ParseCase {
    const char* text;
    NumberRule rule;
    std::optional<double> expected; // nothing: "IDS_WRONGVALUE"
};

constexpr auto Any = NumberRule::Any;
constexpr auto Positive = NumberRule::Positive;
constexpr auto NotNegative = NumberRule::NotNegative;
constexpr auto Negative = NumberRule::Negative;
constexpr auto NotPositive = NumberRule::NotPositive;

TEST(ParseNumber, TableOfCases) {
    const ParseCase cases[] = {
        {"2,5", Positive, 2.5}, // decimal comma
        {"2.5", Positive, 2.5},
        {"", Any, 0.0},               // empty reads as 0 ...
        {"", Positive, std::nullopt}, // ... which a positive field refuses
        {"", NotNegative, 0.0},
        {"x1", Any, std::nullopt},
        {"x1", Positive, std::nullopt},
        {"x1", NotPositive, std::nullopt},
        {" 1", Any, std::nullopt}, // the first character must be a digit, sign or point
        {"-0", Negative, std::nullopt},
        {"-0", NotPositive, 0.0},
        {"3abc", Any, 3.0},           // the rest after the number is ignored
        {"25 cm", NotNegative, 25.0}, // so that a unit may be typed after a typed value
        {"-25abc", Any, -25.0},
        {"1,x", Any, 1.0},
        {"3.673E-7", Any, 3.673e-7}, // what the general format writes reads back
        {"3,673e-7", Any, 3.673e-7},
        {"1E5", Any, 1e5},
        {"1e+5", Any, 1e5},
        {"2e", Any, 2.0}, // an "E" without digits is not an exponent
        {"2e-", Any, 2.0},
        {"2ex", Any, 2.0},
        {".5", Any, 0.5},
        {"-.5", Negative, -0.5},
        {"+4", Positive, 4.0},
        {"5.", Any, 5.0},
        {"1.2.3", Any, 1.2},
        {"+", Any, std::nullopt},
        {"-", Any, std::nullopt},
        {".", Any, std::nullopt},
        {"-.", Any, std::nullopt},
        {"+e5", Any, std::nullopt},
        {"1e39", Any, std::nullopt}, // not finite as a single-precision value
        {"1e400", Any, std::nullopt},
        {"-1e400", Any, std::nullopt},
        {"1e-400", Any, 0.0}, // too small to hold: zero
        {"3.4e38", Any, 3.4e38},
        {"1e99999999999999999999", Any, std::nullopt},
        {"-5", NotPositive, -5.0},
        {"5", NotPositive, std::nullopt},
        {"5", Negative, std::nullopt},
        {"0", Positive, std::nullopt},
        {"0", NotNegative, 0.0},
        {"-1", NotNegative, std::nullopt},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\" rule " +
                     std::to_string(static_cast<int>(c.rule)));
        if (c.expected) {
            EXPECT_DOUBLE_EQ(ParseNumber(c.text, c.rule), *c.expected);
        } else {
            try {
                ParseNumber(c.text, c.rule);
                ADD_FAILURE() << "no error";
            } catch (const Error& error) {
                EXPECT_EQ(error.key(), "IDS_WRONGVALUE");
            }
        }
    }
}

// Whatever the general format writes, ParseNumber reads back (exchange files depend on it).
TEST(ParseNumber, ReadsWhatTheGeneralFormatWrites) {
    const double values[] = {3.673e-7, -1.5e-12, 2.5e20, 0.0001, 123456789, -0.00005};
    for (const double value : values) {
        const std::string text = formatGeneral(value, 15, 2);
        EXPECT_DOUBLE_EQ(ParseNumber(text), value) << text;
    }
}

} // namespace
} // namespace kalydor
