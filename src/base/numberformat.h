#pragma once

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

} // namespace kalydor
