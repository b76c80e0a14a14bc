#include "heating/powercurve.h"

#include "devicedb/deviceitem.h"
#include "heating/radiator.h"

#include <cmath>

namespace kalydor {

std::vector<PowerCurvePoint> PowerCurve(const PowerCurveInput& input) {
    std::vector<PowerCurvePoint> points;
    if (!std::isfinite(input.forward) || !std::isfinite(input.room))
        return points;
    // The first return temperature is a whole degree above the room; the loop counts steps
    // in double so that no temperature is forced into an integer.
    const double first = std::trunc(input.room + 1);
    const double last = input.forward - 3;
    if (!(first <= last))
        return points;
    const double steps = std::min(std::floor(last - first) + 1, double{kMaxPowerCurvePoints});
    RadiatorSize size;
    size.Power = input.power;
    size.Exponent = input.exponent;
    const double unit =
        input.unit == FlowUnit::LitresPerMinute ? kLitresPerMinutePerCubicMetrePerHour : 1.0;
    for (int step = 0; step < static_cast<int>(steps); ++step) {
        const double tv = first + step;
        if (!(tv > input.room) || !(tv < input.forward))
            continue;
        PowerCurvePoint point;
        point.returnTemperature = tv;
        point.power = SizePower(size, ThermalRatio(input.rating, input.forward, tv, input.room),
                                input.factor);
        const double massFlow = massFlowOf(point.power, input.forward, tv, input.specificHeat);
        if (const std::optional<double> flow = volumeFlowOf(massFlow, input.ro))
            point.flow = *flow * unit;
        points.push_back(point);
    }
    return points;
}

} // namespace kalydor
