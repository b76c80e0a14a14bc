#pragma once

#include <string>

namespace kalydor {

/// The shortest decimal text (general format, "." as separator) that reads back, through
/// ParseNumber and single precision, as exactly this float: 0.8f shows as "0.8", not as
/// "0.800000012". Non-finite values give "NAN", "INF" and "-INF".
std::string floatText(float value);

/// The double that prints as floatText(value) and converts back to exactly this float, for
/// writers of formats that hold doubles (JSON). Non-finite values are returned as they are.
double floatAsShortDouble(float value);

} // namespace kalydor
