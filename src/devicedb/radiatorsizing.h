#pragma once

namespace kalydor {

class RadiatorFamily;
struct RadiatorSize;

/// The ratio of a family's output at forward `te`, return `tv` and room `ti` temperatures (°C)
/// to its catalogue output, before the exponent: with the logarithmic mean difference
/// ΔT_log / DTOrigin (ΔT_log / 59.44 for the catalogue point 90/70/20 °C when DTOrigin is 60),
/// otherwise the arithmetic mean difference over DTOrigin. Raises "IDS_DTLOGERROR" unless
/// te > tv > ti (and te > ti), and "IDS_RADIATORDATAERROR" for a DTOrigin that is not a
/// positive number.
double ThermalRatio(const RadiatorFamily& family, double te, double tv, double ti);

/// The output of a size at a ratio with an installation factor, in whole watts:
/// floor(ratio^Exponent × Power × factor + 0.5). Raises "IDS_RADIATORDATAERROR" when the
/// result is not a finite number.
float SizePower(const RadiatorSize& size, double ratio, double factor);

} // namespace kalydor
