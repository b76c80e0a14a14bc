#include "base/numberformat.h"

#include <gtest/gtest.h>

#include <optional>

#include <cmath>
#include <limits>

namespace kalydor {
namespace {

struct FormatCase {
    double value;
    int precision;
    int digits;
    const char* expected;
};

// Every writer of real numbers uses this format, and the readers must get the value back:
// the cases cover the switch between fixed and scientific notation on both sides, rounding
// that carries into a new digit, and the exponent padding.
TEST(FormatGeneral, TableOfCases) {
    const FormatCase cases[] = {
        {20.5, 3, 0, "20.5"},
        {20.5, 15, 0, "20.5"},
        {0.0001, 15, 0, "0.0001"}, // smallest magnitude still in fixed notation
        {0.00001, 15, 0, "1E-5"},  // below it: scientific
        {0.000012345, 3, 0, "1.23E-5"},
        {1e-7, 15, 0, "1E-7"},
        {1e-7, 15, 2, "1E-07"},
        {1e-7, 15, 4, "1E-0007"},
        {3.673e-7, 15, 0, "3.673E-7"},
        {123456789, 15, 0, "123456789"},
        {123456789, 9, 0, "123456789"}, // as many digits as the precision: still fixed
        {123456789, 3, 0, "1.23E8"},
        {123456789, 3, 2, "1.23E08"},
        {0, 15, 0, "0"},
        {-0.0, 15, 0, "0"},
        {-2.5, 15, 0, "-2.5"},
        {-0.00005, 15, 2, "-5E-05"},
        {2.345, 3, 0, "2.35"}, // halves round away from zero, on the typed digits
        {-2.345, 3, 0, "-2.35"},
        {0.125, 2, 0, "0.13"},
        {9.96, 2, 0, "10"}, // rounding carries into a new digit
        {99.96, 3, 0, "100"},
        {999.6, 3, 0, "1E3"}, // ... and past the precision: scientific
        {1.0, 15, 0, "1"},
        {100, 15, 0, "100"},
        {1e15, 15, 0, "1E15"},
        {123.456, 15, 0, "123.456"},
        {0.1, 15, 0, "0.1"},
        {static_cast<double>(0.1f), 7, 0, "0.1"},
        {static_cast<double>(0.1f), 15, 0, "0.100000001490116"},
        {1.0 / 3.0, 4, 0, "0.3333"},
        {2.0 / 3.0, 4, 0, "0.6667"},
        {std::numeric_limits<double>::quiet_NaN(), 15, 0, "NAN"},
        {std::numeric_limits<double>::infinity(), 15, 0, "INF"},
        {-std::numeric_limits<double>::infinity(), 15, 0, "-INF"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(formatGeneral(c.value, c.precision, c.digits), c.expected)
            << "value " << c.value << " precision " << c.precision << " digits " << c.digits;
    }
}

// A value written and read back through the decimal text must not change beyond the
// requested precision: a float written with 9 digits comes back bit for bit.
// Whole numbers of reports: halves up, and none for what no whole number holds.
TEST(RoundedWhole, HalvesUpAndNothingForDamagedValues) {
    const struct {
        double value;
        std::optional<std::int64_t> whole;
    } cases[] = {
        {2.5, 3},
        {-2.5, -2},
        {1108.6, 1109},
        {0, 0},
        {8.9e15, 8900000000000000},
        {9e15, std::nullopt},
        {-1e20, std::nullopt},
        {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
        {std::numeric_limits<double>::infinity(), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(roundedWhole(c.value), c.whole) << c.value;
}

TEST(FormatGeneral, FloatsRoundTripWithNineDigits) {
    const float values[] = {0.1f, 1.0f / 3.0f, 3.673e-7f, 123456.789f, -0.0001234f, 1e30f};
    for (const float value : values) {
        const std::string text = formatGeneral(value, 9);
        EXPECT_EQ(std::stof(text), value) << text;
    }
}

} // namespace
} // namespace kalydor
