// The findings of a construction's calculation as numbered messages ("IDS_PANELMESSAGES+"
// n) and as the message text of reports and clipboard copies.

#include "base/displayformat.h"
#include "base/error.h"
#include "base/textlookup.h"
#include "constructions/panel.h"

#include <algorithm>

namespace kalydor {

using namespace panelflag;

namespace {

std::string message(int n) {
    return GetText("IDS_PANELMESSAGES+" + std::to_string(n));
}

std::string message(int n, double value) {
    return formatText(message(n), {value}, displayDecimalSeparator());
}

} // namespace

std::vector<int> Panel::Messages(const PanelSettings& settings) const {
    const std::uint8_t* f = results.flags;
    const bool simple = settings.simpleHumidityCalculation;
    std::vector<int> list;
    // A finding named by two rules is listed once.
    const auto add = [&list](int n) {
        if (std::find(list.begin(), list.end(), n) == list.end())
            list.push_back(n);
    };
    if (f[0] != 0 || f[1] != 0 || f[2] != 0 || f[3] != 0) {
        if (has(f, NoLayersOrHumidity))
            add(7);
        if (has(f, ConstructionFailed))
            add(8);
        if (has(f, MustDry) && !has(f, Dries))
            add(has(f, NoDryingCheck) ? 9 : (simple ? 12 : 13));
        if ((has(f, TooWet) || has(f, HighHumidity) || has(f, Condensation)) &&
            !has(f, WithinPermitted)) {
            if (has(f, NoIsotherm))
                add(14);
            else if (has(f, NoDiffusionDays))
                add(22);
            else
                add(simple ? 12 : 13);
        }
        if (has(f, SurfaceCondensation))
            add(15);
    }
    if (has(f, BothAlphasMissing))
        add(0);
    if (has(f, OutsideAlphaMissing))
        add(1);
    if (has(f, InsideAlphaMissing))
        add(2);
    if (has(f, NoResistance))
        add(3);
    if (has(f, EqualTemperatures))
        add(5);
    if (has(f, NoVapourResistance))
        add(6);
    return list;
}

std::string Panel::MessageText(const PanelSettings& settings, const std::string& separator) const {
    const bool simple = settings.simpleHumidityCalculation;
    const std::uint8_t* f = results.flags;
    const std::vector<int> list = Messages(settings);
    const int first = list.empty() ? (simple ? 10 : 11) : list.front();
    std::string text = message(first) + separator;
    if ((first == 12 || first == 13) && has(f, SurfaceCondensation))
        text += message(15);
    if (has(f, LongerThanFilling))
        text += message(16, results.fillingTime);
    if (has(f, NotLongerThanFilling))
        text += message(has(f, Condensation) ? 17 : 18, results.fillingTime);
    if (has(f, LongerThanFilling) && results.fillingTime < 0)
        text += message(23);
    if ((has(f, LongerThanFilling) || has(f, NotLongerThanFilling)) && has(f, NoIsotherm))
        text += message(24);

    for (std::size_t i = 0; i < Layers.size(); ++i) {
        const Layer& layer = Layers[i];
        const LayerResults& r = layer.results;
        const std::uint8_t* lf = r.flags;
        const bool wet = has(lf, TooWet) || has(lf, HighHumidity) || has(lf, Condensation);
        if (!(has(lf, MustDry) || wet || has(lf, InZone) || has(lf, BehindVentilation)))
            continue;
        text += separator;
        text += formatText(GetText("IDS_LAYERREPORTBEGIN"),
                           {std::to_string(i + 1) + ". (" + layer.Name + ")"});
        if (has(lf, BehindVentilation))
            text += message(25);
        if (has(lf, InZone))
            text += message(27);
        if (simple) {
            if (has(lf, Condensation))
                text += message(19);
        } else if (wet) {
            if (has(lf, WithinPermitted))
                text += message(26);
            else if (has(lf, TooWet))
                text += message(20);
            else if (!layer.isKind(MaterialKind::Normal) && has(lf, Condensation))
                text += message(19);
            else
                text += message(21);
        }
        if (has(lf, NoIsotherm))
            text += message(14);
        if (has(lf, MustDry)) {
            text += GetText("IDS_LAYERHUMBEGIN");
            const int n = has(lf, NoDryingCheck) ? 9 : (has(lf, Dries) ? 28 : 29);
            text += message(n, r.dryingTime + 0.005);
        }
    }
    return text + separator;
}

} // namespace kalydor
