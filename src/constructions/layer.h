#pragma once

#include "constructions/material.h"

#include <cstdint>

namespace kalydor {

/// What the construction calculation leaves on a layer. Never stored; cleared at the start
/// of every calculation.
struct LayerResults {
    double firstTemperature = 0;  ///< °C, face met first walking from the outside
    double secondTemperature = 0; ///< °C, the other face
    double coldTemperature = 0;   ///< °C, the lower of the two
    double warmTemperature = 0;   ///< °C, the higher of the two
    double mass = 0;              ///< kg/m²
    double thermalResistance = 0; ///< m²K/W
    double vapourResistance = 0;  ///< m²·s·MPa/g
    double ventilationOffset = 0; ///< Pa, for a ventilated air layer
    double inflow = 0;            ///< 10⁻⁶ g/(m²·s), at the warm face
    double outflow = 0;           ///< 10⁻⁶ g/(m²·s), at the cold face
    int condensation = 0;         ///< 0 none, 1 condensation plane, 2 condensation zone
    double zoneColdTemperature = 0;
    double zoneWarmTemperature = 0;
    double coldPressure = 0; ///< Pa, plain vapour profile
    double warmPressure = 0;
    double condensationColdPressure = 0; ///< Pa, condensation profile
    double condensationWarmPressure = 0;
    int meanRelativeHumidity = 0;         ///< %
    double equilibriumMoisture = 0;       ///< ωe, mass %
    double moistureIncrease = 0;          ///< mass %
    double dryingTime = 0;                ///< years
    double effectiveInitialMoisture = 0;  ///< ωk', mass %
    double effectivePermitMoisture = 0;   ///< ωm', mass %
    std::uint8_t flags[4] = {0, 0, 0, 0}; ///< calculation findings, as the construction's
    std::uint16_t number = 0;             ///< 1-based position in the construction
};

/// One layer of a layered construction: a full copy of a material plus the values that
/// belong to the layer, and the results the construction calculation leaves on it. Editing
/// a layer never changes the stored material it came from.
class Layer : public Material {
public:
    /// Factor k of the conductivity: the effective conductivity is λ·(1 + k).
    float ThermalCondFactor = 0;
    /// For a ventilated air layer: vapour-pressure offset across the layer, Pa.
    float SteamRes = 0;
    /// Initial moisture for the filling check, mass %; 0 takes the equilibrium moisture at
    /// 60 % relative humidity.
    float InitialHumidity2 = 0;

    LayerResults results;

    Layer() = default;
    /// A layer made from a material: every material field copied, layer values 0.
    explicit Layer(const Material& material);

    /// Opens the material editor of the layer's kind in layer mode (bare name as title, the
    /// layer-only values offered).
    bool Edit(platform::Window* owner, const ItemContext& context) override;

    /// The layer list's columns ("PanelLayersTitle"): 0 name, 26 number, 1 d, 2 λ, 3 R, 4 δ,
    /// 5 Rv, 10 μ, 6 c, 7 ρ, 13 pressure offset of a ventilated layer, 14/15 face
    /// temperatures, 16/17 face humidities, 18/19 face pressures, 20 mean humidity, 21 ωk',
    /// 22 ωe, 23 moisture uptake G, 24 condensed water Gc, 25 inflow.
    std::string ColumnText(int columnId, const ListColumns& columns) const override;

    /// The vapour pressure at the face met first and second from the outside (Pa).
    double firstFacePressure() const;
    double secondFacePressure() const;
    /// Relative humidity at a face, %, rounded to a whole number.
    static int faceHumidity(double pressure, double temperature);
    /// Moisture uptake G and condensed water Gc of a "Normal" layer, g/m².
    double moistureUptake() const;
    double condensedWater() const;

    /// Clears the results of the last calculation.
    void clearResults() { results = LayerResults{}; }

    /// Mass per area, resistance and vapour resistance (and the ventilation offset of a
    /// ventilated air layer) as the calculation starts from them. A layer behind the last
    /// ventilated air layer has no vapour resistance. Sets flags byte 1 bit 6 for a "Normal"
    /// layer without mass.
    void computeDerivedValues(bool behindVentilatedLayer);

    /// The layer's thermal resistance: d / λ / (1 + k) when λ is given, else the given R.
    double thermalResistance() const;
    /// The layer's vapour resistance: d / δ, else μ·d·5.3998596036503052815, else the given
    /// Rv (for "Normal" and "Thick" layers).
    double vapourResistance() const;

    /// Writes the layer as it lies inside a construction record: name, material record, the
    /// layer values.
    void writeLayer(MemoryStream& stream) const;
    /// Reads a layer of a layer version (50–54) from inside a construction record.
    void readLayer(MemoryStream& stream, std::int16_t layerVersion);

    /// The layer's line inside a construction's text record (no line break): quoted name, the
    /// material values and the layer values, each followed by a tab.
    void WriteLayerText(TextDocument& stream) const;
    /// Reads a layer line written with the construction record's text version.
    void ReadLayerText(TextTokenReader& reader, int textVersion);
    /// The "PanelLayer" element; its own lines are indented by `indent` spaces, its children
    /// by two more.
    void WriteLayerXml(XmlWriter& writer, int indent) const;
    /// Reads the layer from the "PanelLayer" start tag the parser stands on up to its end tag;
    /// false when the document ends first.
    bool ReadLayerXml(XmlReader& parser);
};

/// Vapour resistance per metre of thickness and unit of μ, m·s·MPa/g.
inline constexpr double kVapourResistancePerMu = 5.3998596036503052815;

} // namespace kalydor
