#include "base/numberformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kalydor {
namespace {

// Decimal digits of a positive finite value with the decimal exponent of the first digit
// (value = 0.d1 d2 d3 ... x 10^(pointPosition)).
struct Decimal {
    std::string digits;
    int pointPosition = 0;
};

// The shortest decimal that reads back as the same double: this is the number the user sees
// and typed, so rounding it to fewer digits gives what a person expects (2.345 to three
// digits is 2.35, not the 2.34 of its binary expansion).
Decimal shortestDecimal(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = text.find('e');
    Decimal decimal;
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            decimal.digits += text[i];
    }
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    exponent);
    decimal.pointPosition = exponent + 1;
    return decimal;
}

void roundToDigits(Decimal& decimal, int precision) {
    if (static_cast<int>(decimal.digits.size()) <= precision)
        return;
    const bool up = decimal.digits[precision] >= '5';
    decimal.digits.resize(precision);
    if (up) {
        int i = precision - 1;
        while (i >= 0 && decimal.digits[i] == '9') {
            decimal.digits[i] = '0';
            --i;
        }
        if (i < 0) {
            decimal.digits.insert(decimal.digits.begin(), '1');
            decimal.digits.pop_back();
            ++decimal.pointPosition;
        } else {
            ++decimal.digits[i];
        }
    }
}

} // namespace

std::string formatGeneral(double value, int precision, int exponentDigits) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";
    precision = std::clamp(precision, 1, 17);
    exponentDigits = std::clamp(exponentDigits, 0, 4);

    Decimal decimal = shortestDecimal(std::fabs(value));
    roundToDigits(decimal, precision);
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0')
        decimal.digits.pop_back();

    std::string out = value < 0 ? "-" : "";
    const int point = decimal.pointPosition;
    const int count = static_cast<int>(decimal.digits.size());
    if (point > precision || point < -3) {
        out += decimal.digits[0];
        if (count > 1) {
            out += '.';
            out.append(decimal.digits, 1);
        }
        const int exponent = point - 1;
        out += 'E';
        if (exponent < 0)
            out += '-';
        std::string digits = std::to_string(std::abs(exponent));
        if (static_cast<int>(digits.size()) < exponentDigits)
            digits.insert(0, exponentDigits - digits.size(), '0');
        out += digits;
    } else if (point <= 0) {
        out += "0.";
        out.append(-point, '0');
        out += decimal.digits;
    } else if (count <= point) {
        out += decimal.digits;
        out.append(point - count, '0');
    } else {
        out.append(decimal.digits, 0, point);
        out += '.';
        out.append(decimal.digits, point);
    }
    return out;
}

} // namespace kalydor
