#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kalydor {

/// The general number format every writer uses for real numbers: the value rounded to
/// `precision` significant digits (halves away from zero), trailing zeros and a bare decimal
/// point removed, written in fixed notation when it has at most `precision` digits before the
/// point and is not below 1E-4 in magnitude, otherwise as mantissa, "E", sign of a negative
/// exponent and at least `exponentDigits` exponent digits ("1.5E-7", "1.23E8"). The decimal
/// separator is always ".". Zero (of either sign) is "0"; non-finite values are "NAN", "INF"
/// and "-INF".
std::string formatGeneral(double value, int precision, int exponentDigits = 0);

/// The nearest whole number, halves up (floor(value + 0.5)); none for a value that is no
/// number or beyond what a whole number of a report holds (|value| ≥ 9E15): a damaged record
/// then shows a blank, never the result of an undefined conversion.
std::optional<std::int64_t> roundedWhole(double value);

/// Notices non-finite values given to `formatGeneral` on this thread while it lives. The file
/// formats have no number for them that a reader takes back, so an exporter watches the
/// writing of each item and leaves out (and reports) an item that needed one.
class NonFiniteWatch {
public:
    NonFiniteWatch();
    NonFiniteWatch(const NonFiniteWatch&) = delete;
    NonFiniteWatch& operator=(const NonFiniteWatch&) = delete;
    /// True when a NAN or an infinity was formatted since the watch began.
    bool seen() const;

private:
    unsigned long m_start;
};

/// The decimal digits of a positive finite value, value = 0.d1 d2 d3 ... x 10^point: the
/// shortest digits that read back as the same double. This is the number the user sees and
/// typed, so rounding it gives what a person expects (2.345 to three digits is 2.35, not
/// the 2.34 of its binary expansion).
struct DecimalDigits {
    std::string digits;
    int point = 0;
};
DecimalDigits shortestDecimal(double value);
/// Keeps the first `keep` digits, rounding halves away from zero; no digits for a negative
/// `keep` (the value rounds to 0). A carry past the first digit adds a leading "1".
void roundDecimalDigits(DecimalDigits& decimal, int keep);

/// A real with exactly `decimals` decimals (halves away from zero, the value as typed, not
/// its binary expansion); a value with more than `precision` digits before the point falls
/// back to the general format. A value that rounds to zero loses its sign.
std::string formatFixed(double value, int decimals, int precision);
/// A real as "d.ddddE+ddd": `precision` significant digits with trailing zeros kept and a
/// signed exponent of at least `exponentDigits` digits.
std::string formatScientific(double value, int precision, int exponentDigits);

/// The shortest decimal text (general format, "." as separator) that reads back, through
/// ParseNumber and single precision, as exactly this float: 0.8f shows as "0.8", not as
/// "0.800000012". Non-finite values give "NAN", "INF" and "-INF".
std::string floatText(float value);

/// The double that prints as floatText(value) and converts back to exactly this float, for
/// writers of formats that hold doubles (JSON). Non-finite values are returned as they are.
double floatAsShortDouble(float value);

} // namespace kalydor
