#pragma once

#include <string_view>

namespace kalydor {

/// What a typed number must satisfy.
enum class NumberRule {
    Any = 0,
    Positive = 1,    ///< greater than 0
    NotNegative = 2, ///< at least 0
    Negative = 3,    ///< less than 0
    NotPositive = 4, ///< at most 0
};

/// Reads a number typed by the user or found in an exchange file. A comma reads as a decimal
/// point; the value is the longest number at the start of the text (sign, digits, point,
/// digits and an optional exponent such as "E-7"); the rest of the text is ignored and the
/// empty text reads as 0. A text that does not start with a digit, sign or point, a sign or
/// point without any digit, a value that is not finite in single precision, and a value that
/// breaks the rule raise the error "IDS_WRONGVALUE".
double ParseNumber(std::string_view text, NumberRule rule = NumberRule::Any);

} // namespace kalydor
