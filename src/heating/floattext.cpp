#include "heating/floattext.h"

#include "base/numberformat.h"

#include <cmath>
#include <cstdlib>

namespace kalydor {
namespace {

bool readsBackAs(const std::string& text, float value) {
    return static_cast<float>(std::strtod(text.c_str(), nullptr)) == value;
}

} // namespace

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

} // namespace kalydor
