#pragma once

#include "constructions/panel.h"

#include <utility>
#include <vector>

namespace kalydor {

/// Saturation vapour pressure over water at θ °C, Pa. The absolute temperature is rounded
/// to single precision before the polynomial is evaluated.
double saturationPressure(double theta);
/// Slope of the saturation pressure, Pa/K, as the central difference over ±0.0005 K.
double saturationPressureSlope(double theta);

/// The bisection searches on a temperature interval [lo, hi] (they stop at a width of
/// 0.001 K; a bounded number of halvings keeps non-finite input from looping).
namespace vapoursearch {
/// Dew point of a vapour pressure p between the surface and the air temperature.
double dewPoint(double p, double lo, double hi);
/// Temperature at which the saturation curve has the slope k.
double tangency(double k, double lo, double hi);
/// Point of the saturation curve touched by a tangent from an anchor (θa, pa); the anchor
/// lies on the warm or on the cold side of the interval.
double tangentFromAnchor(double thetaA, double pA, double lo, double hi, bool warmAnchor);
/// Point of the saturation curve touched by a tangent from a layer face (θa, pa).
double tangentFromFace(double thetaA, double pA, double lo, double hi);
} // namespace vapoursearch

/// The hygrothermal part of a layered construction's calculation: temperature and vapour
/// profiles, condensation planes and zones, the moisture values of the layers and the
/// moisture balance. Returns true when no flag bit at all is set.
bool calculateDiffusion(Panel& panel, const PanelSettings& settings);

/// Temperatures of the layer faces for the construction's design climate.
void temperatureProfile(Panel& panel);
/// The straight vapour-pressure profile through the layers (plain face pressures).
void plainVapourProfile(Panel& panel);

/// One face of a layer on the diagram's horizontal axis.
struct DiagramBoundary {
    double x = 0;   ///< °C or m, as the polylines
    int layer = -1; ///< index in `Layers` of the layer that begins here walking from the
                    ///< outside; -1 for the inner surface, where no layer begins
};

/// Polylines of the vapour-diffusion diagram, each point (x, p [Pa]); x is a temperature
/// (°C) or a distance through the construction (m from the outer surface; the surface films
/// reach half a unit beyond the outer and the inner surface).
struct PanelDiagram {
    std::vector<std::pair<double, double>> saturation;
    std::vector<std::pair<double, double>> plain;
    std::vector<std::pair<double, double>> condensation;
    /// The layer faces walking from the outside inwards: one per layer (the face where it
    /// begins) and the inner surface last.
    std::vector<DiagramBoundary> boundaries;
};
enum class DiagramAxis { Temperature, Distance };
/// The diagram of the last calculation; empty when the diffusion was not calculated.
PanelDiagram panelDiagram(const Panel& panel, DiagramAxis axis);

} // namespace kalydor
