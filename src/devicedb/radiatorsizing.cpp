#include "devicedb/radiatorsizing.h"

#include "base/error.h"
#include "devicedb/deviceitem.h"

#include <cmath>

namespace kalydor {
namespace {

// 1 / 59.44: 59.44 K is the logarithmic mean difference of the catalogue point 90/70/20 °C,
// (90 − 70) / ln(70 / 50), rounded to two decimals as catalogues print it.
constexpr double kPerLogDifferenceAt60 = 0.016823687752355317;

[[noreturn]] void dataError(const std::string& name) {
    throw Error("IDS_RADIATORDATAERROR", {name},
                "The data of the device item \"%s\" do not fit together.");
}

} // namespace

double ThermalRatio(const RadiatorFamily& family, double te, double tv, double ti) {
    if (!(te > tv && te > ti && tv > ti))
        throw Error("IDS_DTLOGERROR");
    const double origin = family.DTOrigin;
    if (!std::isfinite(origin) || origin <= 0)
        dataError(family.Name);
    if (family.DTLog == 1) {
        const double logDifference = (te - tv) / std::log((te - ti) / (tv - ti));
        return family.DTOrigin == 60.0f ? logDifference * kPerLogDifferenceAt60
                                        : logDifference / origin;
    }
    return ((te + tv) / 2 - ti) / origin;
}

float SizePower(const RadiatorSize& size, double ratio, double factor) {
    const double power = std::floor(std::pow(ratio, static_cast<double>(size.Exponent)) *
                                        static_cast<double>(size.Power) * factor +
                                    0.5);
    if (!std::isfinite(power) || std::fabs(power) > 1e9)
        dataError(size.Name);
    return static_cast<float>(power);
}

} // namespace kalydor
