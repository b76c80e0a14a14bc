#include "base/numberformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>

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

} // namespace kalydor
