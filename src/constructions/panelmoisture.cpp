#include "constructions/panelmoisture.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kalydor {

using namespace panelflag;

double saturationPressure(double theta) {
    const double T = static_cast<float>(theta + 273.15);
    return ((((1.08466870536e-6 * T - 0.001054681715) * T + 0.366756482) * T - 48.0672) * T * T) +
           334332.039;
}

double saturationPressureSlope(double theta) {
    return (saturationPressure(theta + 0.0005) - saturationPressure(theta - 0.0005)) * 1000;
}

namespace vapoursearch {
namespace {

// Enough halvings to bring any finite interval below 0.001 K; non-finite bounds stop here.
constexpr int kMaxHalvings = 80;
constexpr double kWidth = 0.001;

} // namespace

double dewPoint(double p, double lo, double hi) {
    for (int n = 0; hi - lo > kWidth && n < kMaxHalvings; ++n) {
        const double m = (lo + hi) / 2;
        if (saturationPressure(m) > p)
            hi = m;
        else
            lo = m;
    }
    return (lo + hi) / 2;
}

double tangency(double k, double lo, double hi) {
    for (int n = 0; hi - lo > kWidth && n < kMaxHalvings; ++n) {
        const double m = (lo + hi) / 2;
        if (saturationPressureSlope(m) < k)
            lo = m;
        else
            hi = m;
    }
    return (lo + hi) / 2;
}

double tangentFromAnchor(double thetaA, double pA, double lo, double hi, bool warmAnchor) {
    for (int n = 0; hi - lo > kWidth && n < kMaxHalvings; ++n) {
        const double m = (lo + hi) / 2;
        if (saturationPressureSlope(m) < (pA - saturationPressure(m)) / (thetaA - m))
            lo = m;
        else
            hi = m;
    }
    const double middle = (lo + hi) / 2;
    if (warmAnchor)
        return middle <= thetaA - kWidth ? middle : hi;
    return middle < thetaA + kWidth ? lo : middle;
}

double tangentFromFace(double thetaA, double pA, double lo, double hi) {
    for (int n = 0; hi - lo > kWidth && n < kMaxHalvings; ++n) {
        const double m = (lo + hi) / 2;
        if ((saturationPressure(m) - pA) / (m - thetaA) < saturationPressureSlope(m))
            hi = m;
        else
            lo = m;
    }
    return (lo + hi) / 2;
}

} // namespace vapoursearch

namespace {

using vapoursearch::tangency;
using vapoursearch::tangentFromAnchor;
using vapoursearch::tangentFromFace;

double ps(double theta) {
    return saturationPressure(theta);
}
double slope(double theta) {
    return saturationPressureSlope(theta);
}

// The layers of a condensation construction in processing order (from the warm side) and
// the position of the ventilated air layer among them (-1 when there is none).
struct Walk {
    std::vector<Layer*> layers;
    int ventilated = -1;

    bool coldSide(int i) const { return ventilated >= 0 && i >= ventilated; }
    LayerResults& at(int i) { return layers[static_cast<std::size_t>(i)]->results; }
    int size() const { return static_cast<int>(layers.size()); }
};

double vapourRes(const LayerResults& r) {
    return r.vapourResistance;
}

// Whether the straight pressure line through layer D meets the saturation curve.
bool condensationFound(const LayerResults& r) {
    const double span = r.warmTemperature - r.coldTemperature;
    const double pw = r.condensationWarmPressure;
    const double pc = r.condensationColdPressure;
    if (!(span > 0) || !(pw >= ps(r.coldTemperature)))
        return false;
    if (ps(r.coldTemperature) < pc)
        return true;
    const double k = (pw - pc) / span;
    if (k > slope(r.coldTemperature) && k < slope(r.warmTemperature)) {
        const double t = tangency(k, r.coldTemperature, r.warmTemperature);
        return ps(t) < pw - r.inflow * vapourRes(r) * (r.warmTemperature - t) / span;
    }
    return false;
}

// A condensation plane or zone in layer D, from an anchor pressure on its warm side and the
// pressure pB on its cold side.
void formCondensation(LayerResults& d, double pA, double pB) {
    const double pw = d.condensationWarmPressure;
    const double pc = d.condensationColdPressure;
    const double tc = d.coldTemperature;
    const double tw = d.warmTemperature;
    if (std::fabs(pw - pc) >= 0.01) {
        const double thetaA = tc + (pA - pc) / (pw - pc) * (tw - tc);
        if (thetaA != tc && (pA - ps(tc)) / (thetaA - tc) >= slope(tc)) {
            d.zoneWarmTemperature = tangentFromAnchor(thetaA, pA, tc, tw, true);
            const double thetaB = tc + (pB - pc) / (pw - pc) * (tw - tc);
            d.zoneColdTemperature = tangentFromAnchor(thetaB, pB, tc, tw, false);
            d.condensation = 2;
            return;
        }
    }
    d.condensation = 1;
    d.zoneColdTemperature = d.zoneWarmTemperature = tc;
}

// The flux from an anchor pressure into D's zone over the layers [a, i) and an extra
// resistance; those layers carry it and their pressures fall along it.
double fluxFromAnchor(Walk& w, int a, int i, double pA, double extra) {
    LayerResults& d = w.at(i);
    const double span = d.warmTemperature - d.coldTemperature;
    double resistance = extra;
    for (int j = a; j < i; ++j)
        resistance += vapourRes(w.at(j));
    resistance += vapourRes(d) * (d.warmTemperature - d.zoneWarmTemperature) / span;
    double f = 1e10;
    if (resistance > 0)
        f = (pA - ps(d.zoneWarmTemperature)) / resistance;
    else if (vapourRes(d) > 0)
        f = slope(d.zoneWarmTemperature) * span / vapourRes(d);
    d.inflow = f;
    if (a < i) {
        double p = w.at(a).condensationWarmPressure;
        for (int j = a; j < i; ++j) {
            LayerResults& r = w.at(j);
            if (!w.coldSide(j))
                r.inflow = r.outflow = f;
            r.condensationWarmPressure = p;
            p -= f * vapourRes(r);
            r.condensationColdPressure = p;
        }
        d.condensationWarmPressure = p;
    }
    return f;
}

// The flux leaving D's zone at its cold end towards the cold side.
void outflowToColdSide(Walk& w, int i, double pB) {
    LayerResults& d = w.at(i);
    const double span = d.warmTemperature - d.coldTemperature;
    const double coldPart = (d.zoneColdTemperature - d.coldTemperature) / span;
    double resistance = vapourRes(d) * coldPart;
    for (int j = i + 1; j < w.size(); ++j)
        resistance += vapourRes(w.at(j));
    const double out = resistance > 0 ? (ps(d.zoneColdTemperature) - pB) / resistance : 0;
    d.outflow = out;
    d.condensationColdPressure = ps(d.zoneColdTemperature) - vapourRes(d) * out * coldPart;
    for (int j = i + 1; j < w.size(); ++j)
        if (!w.coldSide(j))
            w.at(j).inflow = w.at(j).outflow = out;
}

// A plane of D lying on E's plane turns into a zone over D.
void planeMeetsPlane(const LayerResults& e, LayerResults& d) {
    if (d.condensation == 1 && e.zoneColdTemperature == d.warmTemperature) {
        d.condensation = 2;
        d.zoneWarmTemperature = d.warmTemperature;
    }
}

// The condensation profile through the layers from the warm pressure pa to the cold
// pressure pb. False when the pressure offset of the ventilated layer could not be kept.
bool condensationConstruction(Walk& w, double pa, double pb) {
    double total = 0;
    for (int i = 0; i < w.size(); ++i)
        total += vapourRes(w.at(i));
    bool success = true;
    double off = 0;
    if (w.ventilated >= 0) {
        const Layer& vent = *w.layers[static_cast<std::size_t>(w.ventilated)];
        off = vent.SteamRes;
        const double atVent = ps(vent.results.warmTemperature);
        if (atVent <= off + pb) {
            success = false;
            off = atVent - pb;
        }
    }
    const double pB = pb + off;
    const double initial = total > 0 ? (pa - pb - off) / total : 0;
    for (int i = 0; i < w.size(); ++i)
        w.at(i).inflow = w.at(i).outflow = w.coldSide(i) ? 0 : initial;

    double p = pa;
    for (int i = 0; i < w.size(); ++i) {
        LayerResults& d = w.at(i);
        d.condensationWarmPressure = p;
        d.condensationColdPressure = i == w.ventilated ? pb : p - d.inflow * vapourRes(d);
        p = d.condensationColdPressure;
        d.condensation = 0;
        if (!condensationFound(d))
            continue;
        // Each retry clears the state of one earlier layer, so this ends.
        for (;;) {
            int e = i - 1;
            while (e >= 0 && w.at(e).condensation == 0)
                --e;
            if (e < 0) {
                formCondensation(d, pa, pB);
                fluxFromAnchor(w, 0, i, pa, 0);
                break;
            }
            LayerResults& E = w.at(e);
            const double eSpan = E.warmTemperature - E.coldTemperature;
            if (E.condensation == 1) {
                const double anchor = ps(E.zoneColdTemperature);
                formCondensation(d, anchor, pB);
                planeMeetsPlane(E, d);
                const double f = fluxFromAnchor(w, e + 1, i, anchor, 0);
                if (E.inflow < f) {
                    E.condensation = 0;
                    continue;
                }
                break;
            }
            if (E.zoneColdTemperature == E.coldTemperature) {
                const double anchor = ps(E.zoneColdTemperature);
                formCondensation(d, anchor, pB);
                planeMeetsPlane(E, d);
                const double f = fluxFromAnchor(w, e + 1, i, anchor, 0);
                if (vapourRes(E) > 0 && eSpan * slope(E.zoneColdTemperature) / vapourRes(E) >= f)
                    break;
            }
            {
                const double anchor = ps(E.zoneWarmTemperature);
                formCondensation(d, anchor, pB);
                const double extra =
                    vapourRes(E) * (E.zoneWarmTemperature - E.coldTemperature) / eSpan;
                const double f = fluxFromAnchor(w, e + 1, i, anchor, extra);
                if (E.inflow < f) {
                    E.condensation = 0;
                    continue;
                }
            }
            // The cold end of E's zone where the flux out of it just meets D's zone.
            double lo = E.zoneColdTemperature;
            double hi = E.zoneWarmTemperature;
            double middle = (lo + hi) / 2;
            for (int n = 0; n < 80; ++n) {
                middle = (lo + hi) / 2;
                const double anchor = ps(middle);
                formCondensation(d, anchor, pB);
                const double extra = vapourRes(E) * (middle - E.coldTemperature) / eSpan;
                const double f = fluxFromAnchor(w, e + 1, i, anchor, extra);
                const double below = middle - E.coldTemperature;
                if (below > 0 && slope(middle) > f * extra / below)
                    hi = middle;
                else
                    lo = middle;
                if (!(hi - lo > 0.001))
                    break;
            }
            E.zoneColdTemperature = middle;
            break;
        }
        outflowToColdSide(w, i, pB);
        p = d.condensationColdPressure;
    }
    return success;
}

// Planes and zones as the finished pressure line of each layer shows them.
void finishLayer(LayerResults& r) {
    const double tc = r.coldTemperature;
    const double tw = r.warmTemperature;
    const double pc = r.condensationColdPressure;
    const double pw = r.condensationWarmPressure;
    if (!(tw - tc >= 0.0001)) {
        r.condensation = 0;
        return;
    }
    const bool coldUnsaturated = ps(tc) - pc >= 0.1;
    const bool warmUnsaturated = ps(tw) - pw >= 0.1;
    const double k = (pw - pc) / (tw - tc);
    if (!coldUnsaturated && !warmUnsaturated) {
        r.zoneColdTemperature = tc;
        r.zoneWarmTemperature = tw;
        r.condensation = 2;
    } else if (!coldUnsaturated) {
        r.zoneColdTemperature = tc;
        if (k <= slope(tc)) {
            r.zoneWarmTemperature = tc;
            r.condensation = 1;
        } else {
            r.zoneWarmTemperature = tangentFromFace(tw, pw, tc, tw);
            r.condensation = 2;
        }
    } else if (!warmUnsaturated) {
        r.zoneWarmTemperature = tw;
        if (k < slope(tw)) {
            r.zoneColdTemperature = tangentFromFace(tc, pc, tc, tw);
            r.condensation = 2;
        } else {
            r.condensation = 0;
        }
    } else if (k > slope(tc) && k < slope(tw)) {
        const double t = tangency(k, tc, tw);
        if (k * (t - tc) + pc > ps(t)) {
            r.zoneColdTemperature = tangentFromFace(tc, pc, tc, tw);
            r.zoneWarmTemperature = tangentFromFace(tw, pw, tc, tw);
            r.condensation = 2;
        }
    }
}

struct Average {
    double phi = 0;
    double moisture = 0;
};

// Mean relative humidity (as a fraction) and mean equilibrium moisture over a temperature
// interval along a straight pressure line.
Average averageOver(const Layer& layer, double t1, double t2, double p1, double p2) {
    Average a;
    if (t2 - t1 > 0) {
        constexpr int kPoints = 16;
        for (int n = 0; n < kPoints; ++n) {
            const double t = t1 + (t2 - t1) * (n + 0.5) / kPoints;
            const double phi = (p1 + (t - t1) * (p2 - p1) / (t2 - t1)) / ps(t);
            a.phi += phi;
            a.moisture += layer.EquilibriumMoisture(100 * phi);
        }
        a.phi /= kPoints;
        a.moisture /= kPoints;
    } else {
        const double phi1 = p1 / ps(t1);
        const double phi2 = p2 / ps(t2);
        a.phi = (phi1 + phi2) / 2;
        a.moisture =
            (layer.EquilibriumMoisture(100 * phi1) + layer.EquilibriumMoisture(100 * phi2)) / 2;
    }
    return a;
}

void moistureValues(Layer& layer) {
    LayerResults& r = layer.results;
    r.effectiveInitialMoisture =
        layer.InitialHumidity2 > 0 ? layer.InitialHumidity2 : layer.EquilibriumMoisture(60);
    r.effectivePermitMoisture =
        layer.PermitHumidity > 0 ? layer.PermitHumidity : layer.EquilibriumMoisture(75);
    const double tc = r.coldTemperature;
    const double tw = r.warmTemperature;
    Average mean;
    if (r.condensation != 0 && tw - tc > 0) {
        const double z1 = r.zoneColdTemperature;
        const double z2 = r.zoneWarmTemperature;
        const Average cold = averageOver(layer, tc, z1, r.condensationColdPressure, ps(z1));
        const Average warm = averageOver(layer, z2, tw, ps(z2), r.condensationWarmPressure);
        const double span = tw - tc;
        mean.phi = (cold.phi * (z1 - tc) + (z2 - z1) + warm.phi * (tw - z2)) / span;
        mean.moisture = (cold.moisture * (z1 - tc) + layer.EquilibriumMoisture(100) * (z2 - z1) +
                         warm.moisture * (tw - z2)) /
                        span;
    } else {
        mean = averageOver(layer, tc, tw, r.condensationColdPressure,
                           r.condensationWarmPressure - layer.SteamRes);
    }
    const double percent = std::ceil(100 * mean.phi - 0.5);
    r.meanRelativeHumidity =
        std::isfinite(percent) ? static_cast<int>(std::clamp(percent, -1e6, 1e6)) : 0;
    r.moistureIncrease = 0;
    r.equilibriumMoisture = mean.moisture;
}

bool hasIsotherm(const Layer& layer) {
    return layer.Sorption[9] > 0;
}

void layerFlags(Layer& layer, bool behindVentilation, bool simple) {
    LayerResults& r = layer.results;
    if (behindVentilation) {
        set(r.flags, BehindVentilation);
        return;
    }
    if (r.condensation != 0)
        set(r.flags, Condensation);
    if (simple || !layer.isKind(MaterialKind::Normal))
        return;
    if (hasIsotherm(layer)) {
        if (layer.PermitHumidity > 0) {
            if (r.equilibriumMoisture > layer.PermitHumidity)
                set(r.flags, TooWet);
            if (layer.InitialHumidity >= layer.Sorption[9])
                set(r.flags, MustDry);
        } else if (r.meanRelativeHumidity > 75) {
            set(r.flags, HighHumidity);
        }
    } else {
        set(r.flags, NoIsotherm);
        if (r.meanRelativeHumidity > 75)
            set(r.flags, HighHumidity);
    }
}

// The walk of a whole construction from its warm side.
Walk warmSideWalk(Panel& panel, bool fromInside) {
    Walk w;
    std::vector<int> order = panel.outsideOrder();
    if (fromInside)
        std::reverse(order.begin(), order.end());
    for (std::size_t pos = 0; pos < order.size(); ++pos) {
        w.layers.push_back(&panel.Layers[static_cast<std::size_t>(order[pos])]);
        if (order[pos] == panel.results.ventilatedIndex)
            w.ventilated = static_cast<int>(pos);
    }
    return w;
}

// Whether a layer (list index) lies on the outer side of the ventilated layer or is it.
bool behindVentilation(const Panel& panel, int i) {
    const int v = panel.results.ventilatedIndex;
    return v >= 0 && (panel.Ordering == 1 ? i >= v : i <= v);
}

struct WarmSide {
    double pressure = 0;
    double dewPoint = 0;
    bool condensation = false;
};

// Vapour pressure at the warm surface: the warm air's, limited to saturation at the surface.
WarmSide warmSurface(double airTemperature, double relHum, double surfaceTemperature) {
    WarmSide s;
    const double p = ps(airTemperature) * relHum / 100;
    if (ps(surfaceTemperature) >= p) {
        s.pressure = p;
        s.dewPoint = surfaceTemperature;
    } else {
        s.pressure = ps(surfaceTemperature);
        s.dewPoint = vapoursearch::dewPoint(p, surfaceTemperature, airTemperature);
        s.condensation = true;
    }
    return s;
}

struct MonthClimate {
    double insideTemp, insideRelHum, outsideTemp, outsideRelHum;
};

constexpr std::array<MonthClimate, 12> kStandardYear{{
    {20, 65, -2, 90},
    {20, 65, 0, 85},
    {20, 65, 5, 74},
    {20, 65, 13, 73},
    {22, 70, 19, 70},
    {24, 70, 22, 70},
    {26, 70, 25, 63},
    {24, 70, 23, 67},
    {22, 70, 18, 73},
    {20, 65, 12, 80},
    {20, 65, 5, 86},
    {20, 65, 0, 91},
}};

// Whether the layers built in wetter than saturation dry out over the standard year. Sets
// 0.5 (with the drying time) or 0.6 on those layers; true when all of them dry.
bool yearlyDryingCheck(Panel& panel) {
    Panel copy = panel;
    const std::size_t n = panel.Layers.size();
    std::vector<double> sums(n, 0);
    std::vector<bool> wet(n, false);
    for (std::size_t i = 0; i < n; ++i)
        wet[i] = has(panel.Layers[i].results.flags, MustDry);

    for (const MonthClimate& month : kStandardYear) {
        copy.InSideTemp = static_cast<float>(month.insideTemp);
        copy.InSideRelHum = static_cast<float>(month.insideRelHum);
        copy.OutSideTemp = static_cast<float>(month.outsideTemp);
        copy.OutSideRelHum = static_cast<float>(month.outsideRelHum);
        copy.results.heating = copy.InSideTemp > copy.OutSideTemp;
        temperatureProfile(copy);
        plainVapourProfile(copy);
        Walk whole = warmSideWalk(copy, true);
        const double innerSurface = whole.at(0).warmTemperature;
        const WarmSide warm = warmSurface(month.insideTemp, month.insideRelHum, innerSurface);
        const double pCold = ps(month.outsideTemp) * month.outsideRelHum / 100;
        condensationConstruction(whole, warm.pressure, pCold);

        for (int pos = 0; pos < whole.size(); ++pos) {
            Layer* layer = whole.layers[static_cast<std::size_t>(pos)];
            const std::size_t index = static_cast<std::size_t>(layer - copy.Layers.data());
            if (!wet[index] || !(layer->results.vapourResistance > 0))
                continue;
            const double warmFace = layer->results.warmTemperature;
            const double coldFace = layer->results.coldTemperature;
            // From the layer outwards: what leaves it towards the outside air.
            Walk outwards;
            outwards.layers.assign(whole.layers.begin() + pos, whole.layers.end());
            if (whole.ventilated >= pos)
                outwards.ventilated = whole.ventilated - pos;
            condensationConstruction(outwards, ps(warmFace), pCold);
            sums[index] -= layer->results.outflow;
            // From the inner surface down to the layer: what reaches it from the room.
            Walk inwards;
            inwards.layers.assign(whole.layers.begin(), whole.layers.begin() + pos + 1);
            condensationConstruction(inwards, warm.pressure, ps(coldFace));
            sums[index] += layer->results.inflow;
        }
    }

    bool allDry = true;
    for (std::size_t i = 0; i < n; ++i) {
        if (!wet[i])
            continue;
        Layer& layer = panel.Layers[i];
        if (!(layer.results.vapourResistance > 0)) {
            set(layer.results.flags, NoDryingCheck);
            allDry = false;
        } else if (sums[i] < 0) {
            // 0.003171 = 10^5 / seconds per year turns a flux in 10^-6 g/(m²s) kept up for a
            // year into years; the flux that acts is the year's mean, the twelfth of the sum.
            set(layer.results.flags, Dries);
            const double meanFlux = sums[i] / 12;
            layer.results.dryingTime = -0.003171 * layer.Density * layer.Thickness *
                                       (layer.InitialHumidity - layer.PermitHumidity) / meanFlux;
        } else {
            allDry = false;
        }
    }
    return allDry;
}

// A "Normal" layer that can hold condensed water and is in a zone or touches one.
bool touchesZone(const Panel& panel, std::size_t i) {
    const Layer& layer = panel.Layers[i];
    const LayerResults& r = layer.results;
    if (!layer.isKind(MaterialKind::Normal) || !(layer.Density * layer.Thickness > 0) ||
        !hasIsotherm(layer))
        return false;
    if (r.condensation != 0)
        return true;
    for (const std::size_t j : {i - 1, i + 1}) {
        if (j >= panel.Layers.size())
            continue;
        const LayerResults& nb = panel.Layers[j].results;
        if (nb.condensation == 0)
            continue;
        for (const double face : {r.warmTemperature, r.coldTemperature})
            if (face == nb.zoneColdTemperature || face == nb.zoneWarmTemperature)
                return true;
    }
    return false;
}

void moistureBalance(Panel& panel, const PanelSettings& settings) {
    std::uint8_t* flags = panel.results.flags;
    if (settings.simpleHumidityCalculation)
        return;
    if (has(flags, MustDry) && yearlyDryingCheck(panel))
        set(flags, Dries);
    if (!has(flags, Condensation) && !has(flags, TooWet) && !has(flags, HighHumidity))
        return;
    const double H = panel.DiffusionDays * 24.0;
    if (!(H > 0)) {
        set(flags, NoDiffusionDays);
        return;
    }
    double M = 0;
    for (const Layer& layer : panel.Layers)
        if (layer.isKind(MaterialKind::Normal))
            M += (layer.results.equilibriumMoisture - layer.results.effectiveInitialMoisture) *
                 layer.Density * layer.Thickness;
    const std::vector<int> order = panel.outsideOrder();
    const int warmIndex = panel.results.heating ? order.back() : order.front();
    const double g = panel.Layers[static_cast<std::size_t>(warmIndex)].results.inflow;
    // Without a vapour flux the layers never fill up.
    const double F = g != 0 ? M / g * 1e5 / 3600 : INFINITY;
    panel.results.fillingTime = F / 24;

    const auto wetLayer = [](const Layer& layer) {
        const std::uint8_t* f = layer.results.flags;
        return has(f, Condensation) || has(f, TooWet) || has(f, HighHumidity);
    };
    if (H <= F) {
        set(flags, NotLongerThanFilling);
        const double ratio = H / F;
        bool anyFails = false;
        for (Layer& layer : panel.Layers) {
            LayerResults& r = layer.results;
            if (!wetLayer(layer) || !(r.equilibriumMoisture > 0))
                continue;
            const double reserve =
                (r.effectivePermitMoisture - r.effectiveInitialMoisture) / r.equilibriumMoisture;
            if (reserve <= ratio)
                anyFails = true;
            else
                set(r.flags, WithinPermitted);
        }
        if (!anyFails)
            set(flags, WithinPermitted);
        return;
    }
    set(flags, LongerThanFilling);
    if (!has(flags, Condensation))
        return;
    const double amount = (H - F) * g;
    std::vector<double> weights(panel.Layers.size(), 0);
    double W = 0;
    for (std::size_t i = 0; i < panel.Layers.size(); ++i) {
        Layer& layer = panel.Layers[i];
        const LayerResults& r = layer.results;
        if (layer.isKind(MaterialKind::Normal)) {
            const double range = layer.Sorption[9] - r.effectiveInitialMoisture;
            if (range != 0)
                weights[i] = (r.equilibriumMoisture - r.effectiveInitialMoisture) / range;
        }
    }
    for (std::size_t i = 0; i < panel.Layers.size(); ++i) {
        if (touchesZone(panel, i)) {
            set(panel.Layers[i].results.flags, InZone);
            W += weights[i];
        }
    }
    if (!(W > 0))
        return;
    const double x = amount / W * 0.036;
    for (std::size_t i = 0; i < panel.Layers.size(); ++i) {
        Layer& layer = panel.Layers[i];
        LayerResults& r = layer.results;
        if (!has(r.flags, InZone))
            continue;
        r.moistureIncrease += weights[i] * x / layer.Density / layer.Thickness;
        if (r.equilibriumMoisture + r.moistureIncrease > r.effectivePermitMoisture) {
            set(r.flags, TooWet);
            set(flags, TooWet);
        } else {
            set(r.flags, WithinPermitted);
        }
    }
}

} // namespace

void temperatureProfile(Panel& panel) {
    const double total = panel.TotalResistance;
    const double q = (panel.InSideTemp - panel.OutSideTemp) / total;
    double theta = panel.OutSideTemp;
    if (panel.OutSideAlpha > 0)
        theta += q / panel.OutSideAlpha;
    if (panel.Type == 2 && panel.EarthLambda > 0 && panel.GroundWaterHeight < panel.FloorLevel)
        theta += q * (panel.FloorLevel - panel.GroundWaterHeight) / panel.EarthLambda;
    const bool heating = panel.InSideTemp > panel.OutSideTemp;
    for (const int i : panel.outsideOrder()) {
        LayerResults& r = panel.Layers[static_cast<std::size_t>(i)].results;
        r.firstTemperature = theta;
        r.secondTemperature = theta + q * r.thermalResistance;
        theta = r.secondTemperature;
        r.coldTemperature = heating ? r.firstTemperature : r.secondTemperature;
        r.warmTemperature = heating ? r.secondTemperature : r.firstTemperature;
    }
}

void plainVapourProfile(Panel& panel) {
    const double pe = ps(panel.OutSideTemp) * panel.OutSideRelHum / 100;
    const double pi = ps(panel.InSideTemp) * panel.InSideRelHum / 100;
    const int vent = panel.results.ventilatedIndex;
    const double offset = vent >= 0 ? panel.Layers[static_cast<std::size_t>(vent)].SteamRes : 0;
    double sumRv = 0;
    for (const Layer& layer : panel.Layers)
        sumRv += layer.results.vapourResistance;
    const double g = sumRv != 0 ? (pi - pe - offset) / sumRv : 0;
    const bool heating = panel.InSideTemp > panel.OutSideTemp;
    double p = pe;
    for (const int i : panel.outsideOrder()) {
        Layer& layer = panel.Layers[static_cast<std::size_t>(i)];
        LayerResults& r = layer.results;
        const double end = p + g * r.vapourResistance;
        r.coldPressure = heating ? p : end;
        r.warmPressure = heating ? end : p;
        p = end;
        if (i == vent)
            p += heating ? layer.SteamRes : -layer.SteamRes;
    }
}

bool calculateDiffusion(Panel& panel, const PanelSettings& settings) {
    std::uint8_t* flags = panel.results.flags;
    temperatureProfile(panel);
    const bool heating = panel.InSideTemp > panel.OutSideTemp;
    if (panel.results.ventilatedIndex >= 0 && !heating) {
        set(flags, VentilatedNotHeating);
        return false;
    }
    if (!(panel.results.sumRv > 0)) {
        set(flags, NoVapourResistance);
        return false;
    }
    const auto validRelHum = [](double phi) { return phi >= 1 && phi < 100; };
    if (!validRelHum(panel.OutSideRelHum) || !validRelHum(panel.InSideRelHum)) {
        set(flags, NoLayersOrHumidity);
        return false;
    }
    plainVapourProfile(panel);

    Walk walk = warmSideWalk(panel, heating);
    const double airTemperature = heating ? panel.InSideTemp : panel.OutSideTemp;
    const double airRelHum = heating ? panel.InSideRelHum : panel.OutSideRelHum;
    const double pCold = heating ? ps(panel.OutSideTemp) * panel.OutSideRelHum / 100
                                 : ps(panel.InSideTemp) * panel.InSideRelHum / 100;
    const WarmSide warm = warmSurface(airTemperature, airRelHum, walk.at(0).warmTemperature);
    panel.results.warmSurfacePressure = warm.pressure;
    panel.results.dewPoint = warm.dewPoint;
    if (warm.condensation)
        set(flags, SurfaceCondensation);

    if (!condensationConstruction(walk, warm.pressure, pCold)) {
        set(flags, ConstructionFailed);
        return false;
    }
    for (Layer& layer : panel.Layers)
        finishLayer(layer.results);
    for (Layer& layer : panel.Layers)
        moistureValues(layer);
    for (std::size_t i = 0; i < panel.Layers.size(); ++i)
        layerFlags(panel.Layers[i], behindVentilation(panel, static_cast<int>(i)),
                   settings.simpleHumidityCalculation);
    // The layers' findings reach the construction once, before its own balance adds the
    // bits that belong to the construction as a whole.
    for (const Layer& layer : panel.Layers)
        for (int b = 0; b < 4; ++b)
            flags[b] |= layer.results.flags[b];
    panel.results.layersMerged = true;

    moistureBalance(panel, settings);
    return flags[0] == 0 && flags[1] == 0 && flags[2] == 0 && flags[3] == 0;
}

} // namespace kalydor
