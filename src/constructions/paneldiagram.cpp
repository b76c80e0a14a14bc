// The polylines of a construction's vapour-diffusion diagram: the saturation curve, the
// straight (plain) vapour-pressure line and the condensation profile, over the temperature
// or over the distance through the construction.

#include "constructions/panelmoisture.h"

#include <algorithm>
#include <cmath>

namespace kalydor {

using namespace panelflag;

namespace {

// A point of a polyline before it is placed on the horizontal axis: its temperature and
// pressure, and where known the layer it lies in and its share of the layer's thickness
// from the layer's outer face.
struct Point {
    double theta;
    double p;
    int layer = -1;
    double share = -1;
};

class AxisMapper {
public:
    AxisMapper(const Panel& panel, DiagramAxis axis)
        : m_panel(panel)
        , m_axis(axis)
        , m_order(panel.outsideOrder()) {
        double position = 0;
        m_start.resize(panel.Layers.size());
        for (const int i : m_order) {
            m_start[static_cast<std::size_t>(i)] = position;
            position += panel.Layers[static_cast<std::size_t>(i)].Thickness * 0.01;
        }
        m_total = position;
    }

    double x(const Point& point) const {
        if (m_axis == DiagramAxis::Temperature)
            return point.theta;
        if (point.layer >= 0)
            return inLayer(point.layer, point.theta, point.share);
        const LayerResults& outer =
            m_panel.Layers[static_cast<std::size_t>(m_order.front())].results;
        const LayerResults& inner =
            m_panel.Layers[static_cast<std::size_t>(m_order.back())].results;
        if (between(point.theta, m_panel.OutSideTemp, outer.firstTemperature))
            return -film(point.theta, outer.firstTemperature, m_panel.OutSideTemp);
        if (between(point.theta, inner.secondTemperature, m_panel.InSideTemp))
            return m_total + film(point.theta, inner.secondTemperature, m_panel.InSideTemp);
        for (const int i : m_order) {
            const LayerResults& r = m_panel.Layers[static_cast<std::size_t>(i)].results;
            if (between(point.theta, r.firstTemperature, r.secondTemperature))
                return inLayer(i, point.theta, -1);
        }
        return 0;
    }

private:
    static bool between(double t, double a, double b) {
        return t >= std::min(a, b) && t <= std::max(a, b);
    }
    // The surface film drawn as a parabola half a unit wide.
    static double film(double theta, double surface, double air) {
        if (air == surface)
            return 0;
        const double u = (theta - surface) / (air - surface);
        return 0.5 * u * u;
    }
    double inLayer(int i, double theta, double share) const {
        const Layer& layer = m_panel.Layers[static_cast<std::size_t>(i)];
        const LayerResults& r = layer.results;
        if (share < 0) {
            const double span = r.secondTemperature - r.firstTemperature;
            share = span != 0 ? (theta - r.firstTemperature) / span : 0;
        }
        return m_start[static_cast<std::size_t>(i)] + share * layer.Thickness * 0.01;
    }

    const Panel& m_panel;
    DiagramAxis m_axis;
    std::vector<int> m_order;
    std::vector<double> m_start;
    double m_total = 0;
};

// Saturation points strictly between two temperatures, in the given number of steps.
void saturationBetween(std::vector<Point>& points, double from, double to, int steps, int layer) {
    for (int n = 1; n < steps; ++n) {
        const double t = from + (to - from) * n / steps;
        points.push_back({t, saturationPressure(t), layer});
    }
}

} // namespace

PanelDiagram panelDiagram(const Panel& panel, DiagramAxis axis) {
    PanelDiagram diagram;
    const std::uint8_t* f = panel.results.flags;
    // Every calculation that reaches the diffusion leaves a positive Σ Rv: without it the
    // construction was never calculated and its layer results mean nothing.
    if (panel.Layers.empty() || panel.isKnown() || !(panel.results.sumRv > 0) ||
        has(f, NoLayersOrHumidity) || has(f, NoResistance) || has(f, EqualTemperatures) ||
        has(f, VentilatedNotHeating) || has(f, NoVapourResistance))
        return diagram;

    const bool heating = panel.InSideTemp > panel.OutSideTemp;
    const double coldAir = heating ? panel.OutSideTemp : panel.InSideTemp;
    const double warmAir = heating ? panel.InSideTemp : panel.OutSideTemp;
    const double coldRelHum = heating ? panel.OutSideRelHum : panel.InSideRelHum;
    const double warmRelHum = heating ? panel.InSideRelHum : panel.OutSideRelHum;
    const double pColdAir = saturationPressure(coldAir) * coldRelHum / 100;
    const double pWarmAir = saturationPressure(warmAir) * warmRelHum / 100;

    std::vector<int> coldToWarm = panel.outsideOrder();
    if (!heating)
        std::reverse(coldToWarm.begin(), coldToWarm.end());
    // Share of the thickness from the layer's outer face at its cold and warm face.
    const double coldShare = heating ? 0 : 1;
    const double warmShare = heating ? 1 : 0;

    const AxisMapper mapper(panel, axis);
    const auto place = [&mapper](const std::vector<Point>& points) {
        std::vector<std::pair<double, double>> line;
        line.reserve(points.size());
        for (const Point& point : points)
            line.emplace_back(mapper.x(point), point.p);
        return line;
    };

    // The layer faces from the outside: a layer's first face is where it begins.
    const std::vector<int> fromOutside = panel.outsideOrder();
    for (const int i : fromOutside) {
        const LayerResults& r = panel.Layers[static_cast<std::size_t>(i)].results;
        diagram.boundaries.push_back({mapper.x({r.firstTemperature, 0, i, 0}), i});
    }
    {
        const int last = fromOutside.back();
        const LayerResults& r = panel.Layers[static_cast<std::size_t>(last)].results;
        diagram.boundaries.push_back({mapper.x({r.secondTemperature, 0, last, 1}), -1});
    }

    std::vector<Point> saturation;
    saturation.push_back({coldAir, saturationPressure(coldAir)});
    saturationBetween(saturation, coldAir, warmAir, 128, -1);
    saturation.push_back({warmAir, saturationPressure(warmAir)});
    diagram.saturation = place(saturation);

    std::vector<Point> plain{{coldAir, pColdAir}};
    for (const int i : coldToWarm) {
        const LayerResults& r = panel.Layers[static_cast<std::size_t>(i)].results;
        plain.push_back({r.coldTemperature, r.coldPressure, i, coldShare});
        plain.push_back({r.warmTemperature, r.warmPressure, i, warmShare});
    }
    plain.push_back({warmAir, pWarmAir});
    diagram.plain = place(plain);

    if (has(f, ConstructionFailed))
        return diagram;
    std::vector<Point> profile{{coldAir, pColdAir}};
    for (const int i : coldToWarm) {
        const LayerResults& r = panel.Layers[static_cast<std::size_t>(i)].results;
        profile.push_back({r.coldTemperature, r.condensationColdPressure, i, coldShare});
        if (r.condensation != 0) {
            const double z1 = r.zoneColdTemperature;
            const double z2 = r.zoneWarmTemperature;
            profile.push_back({z1, saturationPressure(z1), i});
            saturationBetween(profile, z1, z2, 16, i);
            profile.push_back({z2, saturationPressure(z2), i});
        }
        profile.push_back({r.warmTemperature, r.condensationWarmPressure, i, warmShare});
    }
    if (has(f, SurfaceCondensation)) {
        const double surface =
            panel.Layers[static_cast<std::size_t>(coldToWarm.back())].results.warmTemperature;
        saturationBetween(profile, surface, warmAir, 16, -1);
        profile.push_back({warmAir, saturationPressure(warmAir)});
    } else {
        profile.push_back({warmAir, pWarmAir});
    }
    diagram.condensation = place(profile);
    return diagram;
}

} // namespace kalydor
