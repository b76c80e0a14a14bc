#include "devicedb/radiatorsizing.h"

#include "base/error.h"
#include "devicedb/deviceitem.h"

#include <cmath>

namespace kalydor {
namespace {

// 1 / 59.44: 59.44 K is the logarithmic mean difference of the catalogue point 90/70/20 °C,
// (90 − 70) / ln(70 / 50), rounded to two decimals as catalogues print it.
constexpr double kPerLogDifferenceAt60 = 0.016823687752355317;

// Outputs beyond this are no radiator's: an absurd exponent or catalogue power.
constexpr double kLargestPower = 1e9;

[[noreturn]] void dataError(const std::string& name) {
    throw Error("IDS_RADIATORDATAERROR", {name},
                "The data of the device item \"%s\" do not fit together.");
}

} // namespace

RadiatorRating ratingOf(const RadiatorFamily& family) {
    return {family.DTLog, family.DTOrigin, family.Name};
}

double MeanTemperatureDifference(const RadiatorRating& rating, double te, double tv, double ti) {
    if (!std::isfinite(te) || !std::isfinite(tv) || !std::isfinite(ti) ||
        !(te > tv && te > ti && tv > ti))
        throw Error("IDS_DTLOGERROR");
    if (!std::isfinite(rating.DTOrigin) || rating.DTOrigin <= 0)
        dataError(rating.name);
    if (rating.DTLog != 0)
        return (te - tv) / std::log((te - ti) / (tv - ti));
    return (te + tv) / 2 - ti;
}

double ThermalRatio(const RadiatorRating& rating, double te, double tv, double ti) {
    const double difference = MeanTemperatureDifference(rating, te, tv, ti);
    // The 59.44 K reference belongs to the logarithmic rating at exactly 60 K only.
    if (rating.DTLog != 0 && rating.DTOrigin == 60.0f)
        return difference * kPerLogDifferenceAt60;
    return difference / static_cast<double>(rating.DTOrigin);
}

double ThermalRatio(const RadiatorFamily& family, double te, double tv, double ti) {
    return ThermalRatio(ratingOf(family), te, tv, ti);
}

float SizePower(const RadiatorSize& size, double ratio, double factor) {
    const double power = std::floor(std::pow(ratio, static_cast<double>(size.Exponent)) *
                                        static_cast<double>(size.Power) * factor +
                                    0.5);
    if (!std::isfinite(power) || std::fabs(power) > kLargestPower)
        dataError(size.Name);
    return static_cast<float>(power);
}

int ChooseSize(std::span<const RadiatorSize> sizes, double ratio, double demand, double factor,
               SizeChoiceOptions options) {
    int chosen = -1;
    double key = 0;
    bool chosenCurrent = false;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const RadiatorSize& size = sizes[i];
        const double difference = SizePower(size, ratio, factor) - demand;
        const double sizeKey = options.Nearest ? std::fabs(difference) : difference;
        const bool current = size.Current != 0;
        bool take = chosen < 0;
        if (!take) {
            const bool preferred = options.OnlyCurrentRadiators && current && !chosenCurrent;
            const bool barred = options.OnlyCurrentRadiators && !current && chosenCurrent;
            if (!barred)
                take = preferred || (options.Nearest ? sizeKey < key : key < 0);
        }
        if (take) {
            chosen = static_cast<int>(i);
            key = sizeKey;
            chosenCurrent = current;
        }
    }
    return chosen;
}

std::span<const RadiatorSize> sizesOfMainType(const RadiatorFamily& family, int mainType) {
    if (mainType < 0 || static_cast<std::size_t>(mainType) >= family.MainTypes.size())
        return {};
    const RadiatorMainType& type = family.MainTypes[static_cast<std::size_t>(mainType)];
    if (type.FirstSize < 0 || type.SizeCount <= 0 ||
        static_cast<std::size_t>(type.FirstSize) + static_cast<std::size_t>(type.SizeCount) >
            family.Sizes.size())
        return {};
    return std::span<const RadiatorSize>(family.Sizes)
        .subspan(static_cast<std::size_t>(type.FirstSize),
                 static_cast<std::size_t>(type.SizeCount));
}

int ChooseSize(const RadiatorFamily& family, int mainType, double ratio, double demand,
               double factor, SizeChoiceOptions options) {
    const std::span<const RadiatorSize> sizes = sizesOfMainType(family, mainType);
    const int index = ChooseSize(sizes, ratio, demand, factor, options);
    return index < 0 ? -1 : index + family.MainTypes[static_cast<std::size_t>(mainType)].FirstSize;
}

int ChooseSizeAt(std::span<const RadiatorSize> sizes, int position) {
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i].DimensionIndex == position)
            return static_cast<int>(i);
    }
    return -1;
}

int ChooseSizeAt(const RadiatorFamily& family, int mainType, int position) {
    const int index = ChooseSizeAt(sizesOfMainType(family, mainType), position);
    return index < 0 ? -1 : index + family.MainTypes[static_cast<std::size_t>(mainType)].FirstSize;
}

} // namespace kalydor
