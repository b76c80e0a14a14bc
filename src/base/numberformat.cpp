#include "base/numberformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kalydor {
namespace {

// Non-finite values formatted on this thread so far.
thread_local unsigned long nonFiniteFormatted = 0;

} // namespace

NonFiniteWatch::NonFiniteWatch()
    : m_start(nonFiniteFormatted) {}

bool NonFiniteWatch::seen() const {
    return nonFiniteFormatted != m_start;
}

DecimalDigits shortestDecimal(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = text.find('e');
    DecimalDigits decimal;
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            decimal.digits += text[i];
    }
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    exponent);
    decimal.point = exponent + 1;
    return decimal;
}

void roundDecimalDigits(DecimalDigits& decimal, int keep) {
    if (keep < 0) {
        decimal.digits.clear();
        return;
    }
    if (keep >= static_cast<int>(decimal.digits.size()))
        return;
    const bool up = decimal.digits[static_cast<std::size_t>(keep)] >= '5';
    decimal.digits.resize(static_cast<std::size_t>(keep));
    if (!up)
        return;
    int i = keep - 1;
    while (i >= 0 && decimal.digits[static_cast<std::size_t>(i)] == '9') {
        decimal.digits[static_cast<std::size_t>(i)] = '0';
        --i;
    }
    if (i < 0) {
        decimal.digits.insert(decimal.digits.begin(), '1');
        ++decimal.point;
    } else {
        ++decimal.digits[static_cast<std::size_t>(i)];
    }
}

std::string formatGeneral(double value, int precision, int exponentDigits) {
    if (!std::isfinite(value)) {
        ++nonFiniteFormatted;
        if (std::isnan(value))
            return "NAN";
        return value < 0 ? "-INF" : "INF";
    }
    if (value == 0)
        return "0";
    precision = std::clamp(precision, 1, 17);
    exponentDigits = std::clamp(exponentDigits, 0, 4);

    DecimalDigits decimal = shortestDecimal(std::fabs(value));
    roundDecimalDigits(decimal, precision);
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0')
        decimal.digits.pop_back();

    std::string out = value < 0 ? "-" : "";
    const int point = decimal.point;
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

namespace {

char digitAt(const DecimalDigits& decimal, int index) {
    return index >= 0 && index < static_cast<int>(decimal.digits.size())
               ? decimal.digits[static_cast<std::size_t>(index)]
               : '0';
}

bool allZero(const std::string& digits) {
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

// Whether a text reads back, through double and single precision, as this float.
bool readsBackAs(const std::string& text, float value) {
    return static_cast<float>(std::strtod(text.c_str(), nullptr)) == value;
}

} // namespace

std::string formatFixed(double value, int decimals, int precision) {
    DecimalDigits decimal;
    if (value != 0) {
        decimal = shortestDecimal(std::fabs(value));
        roundDecimalDigits(decimal, decimal.point + decimals);
    }
    if (allZero(decimal.digits)) {
        decimal.digits.clear();
        decimal.point = 0;
    }
    if (decimal.point > precision)
        return formatGeneral(value, precision, 0);
    std::string text = value < 0 && !decimal.digits.empty() ? "-" : "";
    if (decimal.point <= 0)
        text += '0';
    for (int i = 0; i < decimal.point; ++i)
        text += digitAt(decimal, i);
    if (decimals > 0) {
        text += '.';
        for (int i = 0; i < decimals; ++i)
            text += digitAt(decimal, decimal.point + i);
    }
    return text;
}

std::string formatScientific(double value, int precision, int exponentDigits) {
    DecimalDigits decimal;
    int exponent = 0;
    if (value != 0) {
        decimal = shortestDecimal(std::fabs(value));
        roundDecimalDigits(decimal, precision);
        exponent = decimal.point - 1;
    }
    std::string text = value < 0 ? "-" : "";
    text += digitAt(decimal, 0);
    if (precision > 1) {
        text += '.';
        for (int i = 1; i < precision; ++i)
            text += digitAt(decimal, i);
    }
    text += exponent < 0 ? "E-" : "E+";
    std::string digits = std::to_string(std::abs(exponent));
    if (static_cast<int>(digits.size()) < exponentDigits)
        digits.insert(0, static_cast<std::size_t>(exponentDigits) - digits.size(), '0');
    return text + digits;
}

std::string floatText(float value) {
    if (!std::isfinite(value) || value == 0.0f)
        return formatGeneral(value, 9);
    // Nine significant digits always identify a float; most values need far fewer.
    int precision = 1;
    while (precision < 9 && !readsBackAs(formatGeneral(value, precision), value))
        ++precision;
    // Whole digits are shown in full ("90", not "9E1") as far as a float has them.
    const int wholeDigits = static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
    if (wholeDigits > precision && wholeDigits <= 9)
        precision = wholeDigits;
    return formatGeneral(value, precision);
}

double floatAsShortDouble(float value) {
    if (!std::isfinite(value) || value == 0.0f)
        return value; // keeps the sign of a negative zero
    const double shortDouble = std::strtod(floatText(value).c_str(), nullptr);
    // A decimal rounded twice (to double, then to float) could in principle land on a
    // neighbour; then the exact value is the only safe choice.
    return static_cast<float>(shortDouble) == value ? shortDouble : static_cast<double>(value);
}

std::optional<std::int64_t> roundedWhole(double value) {
    const double whole = std::floor(value + 0.5);
    if (!std::isfinite(whole) || std::fabs(whole) >= 9e15)
        return std::nullopt;
    return static_cast<std::int64_t>(whole);
}

} // namespace kalydor
