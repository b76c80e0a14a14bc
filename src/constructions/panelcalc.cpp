// The thermal calculation of a layered construction: derived layer values, heat-storing
// masses, the periodic (24-hour) attenuation and delay, floor heat absorption, thermal
// massiveness, the floor-on-ground coefficients, the total resistance and the inner surface
// temperature; then the vapour diffusion (panelmoisture.cpp).

#include "constructions/panel.h"
#include "constructions/panelmoisture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>

namespace kalydor {

using namespace panelflag;

namespace {

using Complex = std::complex<double>;

// Angular frequency of the daily temperature wave, with the heat capacity in kJ/kgK.
constexpr double kOmega = 0.07272205216643039;
const Complex kSqrtI(std::numbers::sqrt2 / 2, std::numbers::sqrt2 / 2);

bool isMassLayer(const Layer& layer) {
    return layer.isKind(MaterialKind::Normal) || layer.isKind(MaterialKind::Thick);
}

// Effective conductivity λ(1 + k).
double effectiveConductivity(const Layer& layer) {
    return layer.ThermalCond * (1.0 + layer.ThermalCondFactor);
}

// Heat penetration coefficient s of a mass layer for the daily wave; a layer given by its
// resistance takes the conductivity its thickness and resistance imply.
double penetration(const Layer& layer) {
    double lambda = effectiveConductivity(layer);
    const double R = layer.results.thermalResistance;
    if (lambda <= 0 && R > 0)
        lambda = layer.Thickness * 0.01 / R;
    return std::sqrt(layer.HeatCapacity * layer.Density * lambda * kOmega);
}

// Argument of a complex number in [0, 2π); 0 for zero.
double argument(Complex p) {
    if (p == Complex(0, 0))
        return 0;
    double a = std::arg(p);
    if (p.imag() < 0)
        a += 2 * std::numbers::pi;
    return a;
}

// cosh and sinh of √i·D by their power series (13 and 12 terms).
void hyperbolic(double D, Complex& ch, Complex& sh) {
    const Complex step = Complex(0, D * D); // (√i·D)²
    Complex term(1, 0);
    ch = term;
    for (int n = 1; n <= 12; ++n) {
        term *= step / static_cast<double>((2 * n) * (2 * n - 1));
        ch += term;
    }
    term = kSqrtI * D;
    sh = term;
    for (int n = 1; n <= 11; ++n) {
        term *= step / static_cast<double>((2 * n) * (2 * n + 1));
        sh += term;
    }
}

// Walks layers in a direction accumulating their heat-storing mass up to a resistance limit.
double storingMass(Panel& panel, const std::vector<int>& walk, double limit) {
    double mass = 0;
    double walked = 0;
    for (const int i : walk) {
        Layer& layer = panel.Layers[static_cast<std::size_t>(i)];
        if (!isMassLayer(layer))
            continue; // air layers store nothing and do not end the walk
        double m = layer.results.mass;
        const double c = layer.HeatCapacity;
        if (!(c >= 0.6 && c <= 1.2))
            m = m * c * 1.25;
        if (m <= 0 && layer.isKind(MaterialKind::Normal))
            set(layer.results.flags, NoHeatMass);
        const double R = layer.results.thermalResistance;
        if (walked + R >= limit) {
            if (R > 0)
                mass += m * (limit - walked) / R;
            break;
        }
        mass += m;
        walked += R;
    }
    return mass;
}

void heatStoringMass(Panel& panel) {
    const std::vector<int> fromOutside = panel.outsideOrder();
    std::vector<int> forwards(panel.Layers.size());
    for (std::size_t i = 0; i < forwards.size(); ++i)
        forwards[i] = static_cast<int>(i);
    std::vector<int> backwards(forwards.rbegin(), forwards.rend());
    if (Panel::isInternal(panel.Type)) {
        const double limit = std::min(panel.results.sumR / 2, 0.15);
        panel.HeatMass = static_cast<float>(storingMass(panel, backwards, limit));
        panel.HeatMass2 = static_cast<float>(storingMass(panel, forwards, limit));
    } else {
        panel.HeatMass = static_cast<float>(
            storingMass(panel, panel.Ordering == 1 ? forwards : backwards, 0.15));
    }
    for (const Layer& layer : panel.Layers)
        if (has(layer.results.flags, NoHeatMass))
            set(panel.results.flags, NoHeatMass);
}

void failDynamicStep(Panel& panel, Layer& layer) {
    set(layer.results.flags, NoDynamics);
    set(panel.results.flags, NoDynamics);
}

bool isFinite(Complex z) {
    return std::isfinite(z.real()) && std::isfinite(z.imag());
}

// The attenuation of a very thick or very heavy construction (metres of masonry, dozens of
// layers) outgrows every number: the product of the layers' factors, or the power series of
// one layer, overflows. The attenuation is then held at this bound, which the stored field
// can carry and every reader takes back, and the step counts as failed.
constexpr double kMaxDampFactor = 1e38;

// Attenuation factor ν and time delay ε of the daily temperature wave, walking from the inner
// surface to the outer one.
void dynamicValues(Panel& panel) {
    double nu = 1;
    double eps = 0;
    if (panel.InSideAlpha <= 0) {
        set(panel.results.flags, NoDynamics);
    } else {
        std::vector<int> walk = panel.outsideOrder();
        std::reverse(walk.begin(), walk.end());
        Complex Y(0, 0);
        Complex airP(1, 0);
        double sPrev = 0;
        bool airPending = false;
        bool overflowed = false; // the walk cannot go on: ν is bounded, ε stays as walked
        int massLayersDone = 0;
        const auto overflow = [&](Layer* layer) {
            overflowed = true;
            nu = kMaxDampFactor;
            set(panel.results.flags, NoDynamics);
            if (layer)
                set(layer->results.flags, NoDynamics);
        };
        // Takes one factor P into ν and ε; false when it, or ν, overflowed.
        const auto apply = [&](Complex P, Layer* layer) {
            if (!isFinite(P)) {
                overflow(layer);
                return false;
            }
            eps += argument(P);
            nu *= std::abs(P);
            if (!(nu <= kMaxDampFactor))
                overflow(layer);
            return !overflowed;
        };
        for (std::size_t pos = 0; pos < walk.size() && !overflowed; ++pos) {
            Layer& layer = panel.Layers[static_cast<std::size_t>(walk[pos])];
            const double R = layer.results.thermalResistance;
            if (isMassLayer(layer)) {
                const double s = penetration(layer);
                if (!(s > 0)) {
                    if (layer.isKind(MaterialKind::Normal) || pos == 0)
                        failDynamicStep(panel, layer);
                    continue;
                }
                Complex ch;
                Complex sh;
                hyperbolic(R * s, ch, sh);
                Complex Z;
                if (massLayersDone == 0)
                    Z = static_cast<double>(panel.InSideAlpha) / (kSqrtI * s);
                else if (airPending)
                    Z = sPrev * Y / (s * airP);
                else
                    Z = (sPrev / s) * Y;
                airPending = false;
                const Complex P = Z * sh + ch;
                if (P == Complex(0, 0)) {
                    failDynamicStep(panel, layer);
                    continue;
                }
                if (!apply(P, &layer))
                    break;
                Y = (Z * ch + sh) / P;
                if (!isFinite(Y)) {
                    overflow(&layer);
                    break;
                }
                sPrev = s;
                ++massLayersDone;
            } else if (layer.isKind(MaterialKind::Air)) {
                if (!(R > 0) || airPending || massLayersDone == 0) {
                    failDynamicStep(panel, layer);
                    continue;
                }
                airP = 1.0 + R * sPrev * kSqrtI * Y;
                if (!apply(airP, &layer))
                    break;
                airPending = true;
            }
        }
        if (panel.OutSideAlpha > 0 && !airPending && !overflowed)
            apply(1.0 + (sPrev / panel.OutSideAlpha) * kSqrtI * Y, nullptr);
    }
    panel.DampFactor = static_cast<float>(std::floor(100 * nu + 0.5) / 100);
    panel.Delay = static_cast<float>(std::floor(eps * 120 / std::numbers::pi + 0.5) * 0.1);
}

struct AbsorptionRow {
    double tau, c0, c1, c2, c3;
};

constexpr std::array<AbsorptionRow, 13> kAbsorption{{
    {3.6, -0.9193, 0.95779, -0.03464, -0.00516},
    {7.2, -0.89547, 0.9616, -0.06672, -0.00073},
    {36, -0.7974, 0.95096, -0.16878, 0.01432},
    {72, -0.71482, 0.900617, -0.20739, 0.0212},
    {144, -0.57807, 0.761541, -0.20729, 0.023019},
    {288, -0.40853, 0.564893, -0.17743, 0.021317},
    {432, -0.29055, 0.407988, -0.13397, 0.016474},
    {576, -0.20949, 0.29616, -0.09882, 0.012276},
    {720, -0.1577, 0.224804, -0.07666, 0.009612},
    {1080, -0.07578, 0.108835, -0.03758, 0.004766},
    {1440, -0.03556, 0.05124, -0.01778, 0.002253},
    {2160, -0.01174, 0.01676, -0.00559, 0.000684},
    {2520, -0.00649, 0.009229, -0.00313, 0.000391},
}};

// Correction of a layer's heat absorption by the layers under it.
double absorptionCorrection(double tau, double r) {
    tau = std::max(tau, 3.6);
    if (!(tau <= 2520))
        return 0;
    std::size_t k = 1;
    while (k < kAbsorption.size() - 1 && kAbsorption[k].tau < tau)
        ++k;
    const AbsorptionRow& a = kAbsorption[k - 1];
    const AbsorptionRow& b = kAbsorption[k];
    const double t = (tau - a.tau) / (b.tau - a.tau);
    const auto lerp = [t](double u, double v) { return u + (v - u) * t; };
    return lerp(a.c0, b.c0) + lerp(a.c1, b.c1) * r + lerp(a.c2, b.c2) * r * r +
           lerp(a.c3, b.c3) * r * r * r;
}

// Floor heat absorption b of the layers under the walking surface that the heat of a foot
// reaches in the first minutes.
void floorHeatAbsorption(Panel& panel) {
    std::vector<int> walk = panel.outsideOrder();
    std::reverse(walk.begin(), walk.end());
    std::vector<double> taus;
    std::vector<double> bs;
    double sumTau = 0;
    for (const int i : walk) {
        if (!(sumTau < 2160))
            break;
        Layer& layer = panel.Layers[static_cast<std::size_t>(i)];
        const double lambda = effectiveConductivity(layer);
        const double d = layer.Thickness;
        const double R = layer.results.thermalResistance;
        const double cRho = layer.HeatCapacity * layer.Density;
        double tau = 0;
        double b = 0;
        if (isMassLayer(layer) && lambda > 0)
            tau = d * d * cRho * 0.1 / lambda;
        else if (!layer.isKind(MaterialKind::Air))
            tau = cRho * d * R * 10;
        if (isMassLayer(layer)) {
            if (lambda > 0)
                b = std::sqrt(cRho * 1000 * lambda);
            else if (R > 0)
                b = std::sqrt(cRho * 10 * d / R);
        }
        if (!(b > 0)) {
            b = 0;
            if (layer.isKind(MaterialKind::Normal))
                set(layer.results.flags, FloorIncomplete);
        }
        taus.push_back(tau);
        bs.push_back(b);
        sumTau += tau;
    }
    double b = 0;
    bool found = false;
    for (std::size_t j = bs.size(); j-- > 0;) {
        if (!(bs[j] > 0))
            continue;
        b = found ? bs[j] * (1 + absorptionCorrection(taus[j], b / bs[j])) : bs[j];
        found = true;
    }
    panel.FloorHeatAbsorb = static_cast<float>(std::floor(b + 0.5) * 0.001);
    for (const Layer& layer : panel.Layers)
        if (has(layer.results.flags, FloorIncomplete))
            set(panel.results.flags, FloorIncomplete);
}

void thermalMassiveness(Panel& panel) {
    double D = 0;
    for (const Layer& layer : panel.Layers) {
        if (!isMassLayer(layer))
            continue;
        const double s = penetration(layer);
        const double term = layer.results.thermalResistance * s;
        if (std::isfinite(term))
            D += term;
    }
    panel.ComputedMassivitate = static_cast<float>(std::max(1.0, 1.225 - 0.05 * D));
    panel.ThermicMassivitate = panel.ThermicMassivitateGived > 0 ? panel.ThermicMassivitateGived
                                                                 : panel.ComputedMassivitate;
}

double quadratic(const std::array<double, 3>& q, double z) {
    return q[0] * z * z + q[1] * z + q[2];
}

// Coefficients ms, ns and the resistance Rbc of a floor lying on the ground.
void floorOnGround(Panel& panel) {
    const double lambdaG = std::max<double>(panel.EarthLambda, 1);
    const double level = panel.FloorLevel;
    const double z = level > 0 ? 0 : (level >= -2 ? -level : 2);
    const double w = std::clamp<double>(panel.FundationWidth, 0.2, 0.8);
    const double gw = panel.GroundWaterHeight;
    const double h = gw >= -4 ? 4 : (gw >= -10 ? -gw : 10);
    const double L = (2 * h + level) * std::numbers::pi / 2;

    if (L < 3)
        panel.ms = 1;
    else if (L >= 30)
        panel.ms = 0.46f;
    else {
        const double ln = std::log(L);
        panel.ms = static_cast<float>(std::exp(0.1008 * ln * ln - 0.691 * ln + 0.4195));
    }

    if (lambdaG >= 2) {
        panel.ns = 1;
    } else {
        const double q0 = quadratic({0.0186, -0.0596, 0.3875}, z);
        const double q1 = quadratic({-0.0786, 0.2717, -1.8252}, z);
        const double q2 = quadratic({0.0832, -0.3067, 3.1027}, z);
        panel.ns = static_cast<float>(q0 * lambdaG * lambdaG + q1 * lambdaG + q2);
    }

    static constexpr std::array<std::array<double, 3>, 4> A{{
        {0.0006123, -0.0009663, -0.001127},
        {-0.01075, 0.01377, 0.032},
        {0.0393, 0.0041, -0.3272},
        {0.08975, -0.5648, 1.538},
    }};
    static constexpr std::array<std::array<double, 3>, 4> B{{
        {-0.0005114, 0.001001, -0.0001062},
        {0.01131, -0.02221, 0.003512},
        {-0.08247, 0.1657, -0.04735},
        {0.2487, -0.5931, 0.6069},
    }};
    const auto cubic = [&](const std::array<std::array<double, 3>, 4>& c) {
        return ((quadratic(c[0], z) * h + quadratic(c[1], z)) * h + quadratic(c[2], z)) * h +
               quadratic(c[3], z);
    };
    panel.Rbc = static_cast<float>(w * cubic(A) + cubic(B));
}

void mergeLayerFlags(Panel& panel) {
    if (panel.results.layersMerged)
        return;
    for (const Layer& layer : panel.Layers)
        for (int b = 0; b < 4; ++b)
            panel.results.flags[b] |= layer.results.flags[b];
    panel.results.layersMerged = true;
}

// Steps of the calculation up to the diffusion; false when the calculation stops there.
bool thermalPart(Panel& panel, const PanelSettings& settings) {
    PanelResults& res = panel.results;
    if (panel.Layers.empty()) {
        set(res.flags, NoLayersOrHumidity);
        return false;
    }
    res.heating = panel.InSideTemp > panel.OutSideTemp;
    for (std::size_t i = 0; i < panel.Layers.size(); ++i)
        if (panel.Layers[i].isKind(MaterialKind::Air) && panel.Layers[i].Ventilled)
            res.ventilatedIndex = static_cast<int>(i);

    double mass = 0;
    for (std::size_t i = 0; i < panel.Layers.size(); ++i) {
        Layer& layer = panel.Layers[i];
        const int v = res.ventilatedIndex;
        const int index = static_cast<int>(i);
        const bool behind = v >= 0 && (panel.Ordering == 1 ? index >= v : index <= v);
        layer.computeDerivedValues(behind);
        mass += layer.results.mass;
        res.sumR += layer.results.thermalResistance;
        res.sumRv += layer.results.vapourResistance;
    }
    panel.Mass = static_cast<float>(mass);

    heatStoringMass(panel);
    panel.Mass = static_cast<float>(std::floor(panel.Mass + 0.5));
    panel.HeatMass = static_cast<float>(std::floor(panel.HeatMass + 0.5));
    panel.HeatMass2 = static_cast<float>(std::floor(panel.HeatMass2 + 0.5));

    if (Panel::isOpaque(panel.Type))
        dynamicValues(panel);
    if (Panel::isFloorLike(panel.Type))
        floorHeatAbsorption(panel);
    thermalMassiveness(panel);

    panel.ms = panel.ns = 1;
    panel.Rbc = 0;
    if (panel.Type == 2)
        floorOnGround(panel);

    double total = res.sumR;
    const bool outsideMissing = !(panel.OutSideAlpha > 0) && panel.Type != 2;
    const bool insideMissing = !(panel.InSideAlpha > 0);
    if (panel.OutSideAlpha > 0)
        total += 1.0 / panel.OutSideAlpha;
    if (panel.InSideAlpha > 0)
        total += 1.0 / panel.InSideAlpha;
    if (total != 0 && !Panel::isBridge(panel.Type)) {
        if (outsideMissing && insideMissing)
            set(res.flags, BothAlphasMissing);
        else if (outsideMissing)
            set(res.flags, OutsideAlphaMissing);
        else if (insideMissing)
            set(res.flags, InsideAlphaMissing);
    }
    if (!(total > 0)) {
        set(res.flags, NoResistance);
        return false;
    }
    if (panel.Type == 2 && panel.EarthLambda > 0 && panel.GroundWaterHeight < panel.FloorLevel)
        total += (panel.FloorLevel - panel.GroundWaterHeight) / panel.EarthLambda;

    // Inner surface temperature at the design outside temperature; partitions between
    // rooms are not checked against the outside design temperature.
    res.surfaceTemperature = panel.InSideTemp;
    panel.NeededResistance = 0;
    if (panel.OutSideTemp < panel.InSideTemp && panel.InSideAlpha > 0 &&
        !Panel::isInternal(panel.Type)) {
        const double dT = std::fabs(panel.InSideTemp - settings.outsideDesignTemperature);
        const double m = panel.ThermicMassivitate;
        const double drop = dT * m / (total * panel.InSideAlpha);
        res.surfaceTemperature = panel.InSideTemp - drop;
        const double allowed = panel.SurfaceTemperatureDifference;
        if (allowed > 0) {
            panel.NeededResistance = static_cast<float>(dT * m / (panel.InSideAlpha * allowed));
            if (allowed < drop)
                set(res.flags, SurfaceDifferenceExceeded);
        }
    }
    res.U = std::floor(100 / total + 0.5) / 100;
    panel.TotalResistance = static_cast<float>(total);
    panel.R = panel.RGived != 0 ? panel.RGived : panel.TotalResistance;

    if (std::fabs(panel.OutSideTemp - panel.InSideTemp) < 0.1) {
        set(res.flags, EqualTemperatures);
        return false;
    }
    return true;
}

} // namespace

void Panel::Calculate(const PanelSettings& settings) {
    results = PanelResults{};
    // Each layer keeps its position in the list, shown and printed with its results.
    for (std::size_t i = 0; i < Layers.size(); ++i) {
        Layers[i].clearResults();
        Layers[i].results.number = static_cast<std::uint16_t>(i + 1);
    }
    if (Layered != 0)
        return; // a known construction keeps what was typed in
    Mass = HeatMass = HeatMass2 = DampFactor = Delay = FloorHeatAbsorb = 0;
    TotalResistance = R = ms = ns = Rbc = 0;
    if (thermalPart(*this, settings))
        calculateDiffusion(*this, settings);
    mergeLayerFlags(*this);
}

} // namespace kalydor
