#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kalydor {

class RadiatorFamily;
struct RadiatorSize;

/// How a family rates its catalogue output: the nominal temperature difference and whether it
/// is the logarithmic (nonzero `DTLog`) or the arithmetic mean difference.
struct RadiatorRating {
    std::int16_t DTLog = 0;
    float DTOrigin = 60.0f;
    std::string name; ///< named in the error of a rating that is not a positive number
};

RadiatorRating ratingOf(const RadiatorFamily& family);

/// The mean temperature difference (K) between the water and the room the rating uses: the
/// logarithmic (te − tv) / ln((te − ti) / (tv − ti)) or the arithmetic (te + tv) / 2 − ti.
/// Checks the temperatures and the rating as ThermalRatio does.
double MeanTemperatureDifference(const RadiatorRating& rating, double te, double tv, double ti);

/// The ratio of a family's output at forward `te`, return `tv` and room `ti` temperatures (°C)
/// to its catalogue output, before the exponent: with the logarithmic mean difference
/// ΔT_log / DTOrigin (ΔT_log / 59.44 for the catalogue point 90/70/20 °C when DTOrigin is
/// exactly 60), otherwise the arithmetic mean difference over DTOrigin. Raises
/// "IDS_DTLOGERROR" unless the temperatures are finite with te > tv, te > ti and tv > ti, and
/// "IDS_RADIATORDATAERROR" for a DTOrigin that is not a positive number.
double ThermalRatio(const RadiatorRating& rating, double te, double tv, double ti);
double ThermalRatio(const RadiatorFamily& family, double te, double tv, double ti);

/// The output of a size at a ratio with an installation factor, in whole watts:
/// floor(ratio^Exponent × Power × factor + 0.5). Raises "IDS_RADIATORDATAERROR" when the
/// result is not a finite number of sensible size.
float SizePower(const RadiatorSize& size, double ratio, double factor);

/// The settings that steer the size proposal: the project's `Nearest` (the size nearest in
/// output, else the first that reaches the demand) and the program's `OnlyCurrentRadiators`
/// (commonly stocked sizes win over the others).
struct SizeChoiceOptions {
    bool Nearest = true;
    bool OnlyCurrentRadiators = false;
};

/// The size proposed among `sizes` (visited in order) for a demand in W, or -1 without sizes.
/// With `Nearest` a later size replaces the chosen one when it is not barred and its |Q − demand|
/// is smaller or it is preferred (ties keep the earlier); without, when the chosen one does not
/// reach the demand or the later is preferred. With `OnlyCurrentRadiators` a current size is
/// preferred over a chosen one that is not, and a size that is not current is barred after a
/// current one.
int ChooseSize(std::span<const RadiatorSize> sizes, double ratio, double demand, double factor,
               SizeChoiceOptions options);
/// The same over the sizes of one main type of a family; the index is into the family's sizes.
/// -1 for a main type that does not exist, has no sizes or whose range leaves the sizes.
int ChooseSize(const RadiatorFamily& family, int mainType, double ratio, double demand,
               double factor, SizeChoiceOptions options);

/// The first of `sizes` at a position of the size dimension list, or -1.
int ChooseSizeAt(std::span<const RadiatorSize> sizes, int position);
/// The same within one main type of a family; the index is into the family's sizes.
int ChooseSizeAt(const RadiatorFamily& family, int mainType, int position);

/// The sizes of a main type, empty when the main type does not exist or its range does not lie
/// within the family's sizes.
std::span<const RadiatorSize> sizesOfMainType(const RadiatorFamily& family, int mainType);

} // namespace kalydor
