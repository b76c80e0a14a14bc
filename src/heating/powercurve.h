#pragma once

#include "devicedb/radiatorsizing.h"

#include <optional>
#include <vector>

namespace kalydor {

struct RadiatorSize;

enum class FlowUnit { CubicMetresPerHour, LitresPerMinute };

/// What the power chart of a radiator needs: the family's rating, the size, the forward and
/// room temperatures, the installation factor and the medium.
struct PowerCurveInput {
    RadiatorRating rating;
    float power = 0;    ///< catalogue output of the size, W
    float exponent = 0; ///< radiator exponent of the size
    double forward = 0;
    double room = 0;
    double factor = 1;
    double specificHeat = 4173.0; ///< J/kgK
    double ro = 971.9;            ///< kg/m³
    FlowUnit unit = FlowUnit::CubicMetresPerHour;
};

struct PowerCurvePoint {
    double returnTemperature = 0; ///< °C
    float power = 0;              ///< W
    std::optional<double> flow;   ///< in the input's unit; nothing without a usable density
};

/// At most this many points are charted.
inline constexpr int kMaxPowerCurvePoints = 1000;

/// The output and volume flow of a size for each whole return temperature from the truncated
/// room temperature + 1 up to the forward temperature − 3 K, in steps of 1 K. No points for
/// temperatures that are not finite or leave no such return temperature; at most
/// kMaxPowerCurvePoints. Raises "IDS_RADIATORDATAERROR" for an unusable rating or size and
/// "IDS_MEDIUMERROR" for a specific heat that is not positive.
std::vector<PowerCurvePoint> PowerCurve(const PowerCurveInput& input);

} // namespace kalydor
