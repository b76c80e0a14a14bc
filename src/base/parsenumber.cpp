#include "base/parsenumber.h"

#include "base/error.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace kalydor {
namespace {

[[noreturn]] void wrongValue() {
    throw Error("IDS_WRONGVALUE");
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool satisfies(double value, NumberRule rule) {
    switch (rule) {
    case NumberRule::Any:
        return true;
    case NumberRule::Positive:
        return value > 0;
    case NumberRule::NotNegative:
        return value >= 0;
    case NumberRule::Negative:
        return value < 0;
    case NumberRule::NotPositive:
        return value <= 0;
    }
    return false;
}

} // namespace

double ParseNumber(std::string_view input, NumberRule rule) {
    std::string text(input);
    for (char& c : text) {
        if (c == ',')
            c = '.';
    }

    double value = 0;
    if (!text.empty()) {
        const char first = text[0];
        if (!isDigit(first) && first != '+' && first != '-' && first != '.')
            wrongValue();

        std::size_t pos = (first == '+' || first == '-') ? 1 : 0;
        std::string mantissa;
        int integerDigits = 0; // significant digits before the point
        int leadingFractionZeros = 0;
        bool seenSignificant = false;
        while (pos < text.size() && isDigit(text[pos])) {
            mantissa += text[pos];
            seenSignificant = seenSignificant || text[pos] != '0';
            integerDigits += seenSignificant ? 1 : 0;
            ++pos;
        }
        if (pos < text.size() && text[pos] == '.') {
            mantissa += '.';
            ++pos;
            while (pos < text.size() && isDigit(text[pos])) {
                mantissa += text[pos];
                if (!seenSignificant && text[pos] == '0')
                    ++leadingFractionZeros;
                seenSignificant = seenSignificant || text[pos] != '0';
                ++pos;
            }
        }
        if (mantissa.empty() || mantissa == ".")
            wrongValue();
        if (mantissa[0] == '.')
            mantissa.insert(0, "0");

        // An exponent counts only when at least one digit follows "E" and its sign.
        long exponent = 0;
        if (pos + 1 < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
            std::size_t p = pos + 1;
            const bool negative = text[p] == '-';
            if (text[p] == '+' || text[p] == '-')
                ++p;
            if (p < text.size() && isDigit(text[p])) {
                for (; p < text.size() && isDigit(text[p]); ++p) {
                    if (exponent < 100000)
                        exponent = exponent * 10 + (text[p] - '0');
                }
                exponent = negative ? -exponent : exponent;
            }
        }

        const std::string number = mantissa + "e" + std::to_string(exponent);
        const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
        if (result.ec == std::errc::result_out_of_range) {
            // Too small to hold reads as zero; too large is no value.
            const long magnitude =
                (integerDigits > 0 ? integerDigits : -leadingFractionZeros) + exponent;
            if (magnitude > 0)
                wrongValue();
            value = 0;
        } else if (result.ec != std::errc()) {
            wrongValue();
        }
        if (first == '-')
            value = -value;
        if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
            wrongValue();
    }
    if (!satisfies(value, rule))
        wrongValue();
    return value;
}

} // namespace kalydor
