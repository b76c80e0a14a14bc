// Vapour diffusion through constructions: the saturation curve, the profiles, condensation
// planes and zones, the moisture balance, the drying check and the messages.

#include "constructions/panelmoisture.h"
#include "support/fakelanguage.h"

#include "support/designclimate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kalydor {
namespace {

using namespace panelflag;

Panel wall(float thetaE, float phiE, float thetaI, float phiI) {
    Panel p;
    p.Type = 0;
    p.OutSideTemp = thetaE;
    p.OutSideRelHum = phiE;
    p.InSideTemp = thetaI;
    p.InSideRelHum = phiI;
    p.OutSideAlpha = 24;
    p.InSideAlpha = 8;
    p.DiffusionDays = 60;
    return p;
}

// A wall insulated on the inside and closed by a dense render outside: the classic case of
// condensation at the cold side of the insulation.
Panel condensingWall() {
    Panel p = wall(-15, 85, 20, 65);
    p.Layers.push_back(test::moistLayer("Tencuiala etansa", 3, 2000, 1.0f, 200, 5, 4));
    p.Layers.push_back(test::moistLayer("Vata minerala", 10, 100, 0.04f, 1.2f, 2, 6));
    p.Layers.push_back(test::moistLayer("Gips-carton", 1.25f, 900, 0.25f, 8, 4, 5));
    return p;
}

const PanelSettings kFull{-15, false};

// Message texts that show which message was chosen and with which number.
test::FakeLanguage messageTexts() {
    return test::FakeLanguage{
        {"IDS_PANELMESSAGES+10", "M10."},      {"IDS_PANELMESSAGES+11", "M11."},
        {"IDS_PANELMESSAGES+12", "M12."},      {"IDS_PANELMESSAGES+13", "M13."},
        {"IDS_PANELMESSAGES+14", "M14."},      {"IDS_PANELMESSAGES+15", "M15."},
        {"IDS_PANELMESSAGES+16", "M16 %.1f."}, {"IDS_PANELMESSAGES+17", "M17 %.1f."},
        {"IDS_PANELMESSAGES+18", "M18 %.1f."}, {"IDS_PANELMESSAGES+19", "M19."},
        {"IDS_PANELMESSAGES+20", "M20."},      {"IDS_PANELMESSAGES+21", "M21."},
        {"IDS_PANELMESSAGES+26", "M26."},      {"IDS_PANELMESSAGES+27", "M27."},
        {"IDS_PANELMESSAGES+28", "M28 %.2f."}, {"IDS_PANELMESSAGES+29", "M29."},
        {"IDS_LAYERREPORTBEGIN", "L%s:"},      {"IDS_LAYERHUMBEGIN", "D:"}};
}
const PanelSettings kSimple{-15, true};

// The saturation curve of the moisture calculation is a fifth-degree polynomial in the absolute
// temperature (T = θ + 273.15, taken as a single-precision float); worked by hand it gives
// 603.1 Pa at 0 °C, 1230.2 Pa at 10 °C and 2338.7 Pa at 20 °C, and the central difference at
// 20 °C gives 145.3 Pa/K. The psychrometric tables (ASHRAE Handbook of Fundamentals) give 611,
// 1228 and 2339 Pa over water: the fit is within 1.3 % of them from 0 °C up.
TEST(SaturationPressure, KnownPointsAndSlope) {
    EXPECT_NEAR(saturationPressure(0), 603, 3);
    EXPECT_NEAR(saturationPressure(10), 1230, 3);
    EXPECT_NEAR(saturationPressure(20), 2339, 3);
    // The slope near 20 °C is about 145 Pa/K.
    EXPECT_NEAR(saturationPressureSlope(20), 145, 3);
    // The dew point of the 20 °C / 60 % air (1403 Pa) is about 12 °C.
    const double dew = vapoursearch::dewPoint(0.6 * saturationPressure(20), -20, 20);
    EXPECT_NEAR(saturationPressure(dew), 0.6 * saturationPressure(20), 0.2);
    EXPECT_NEAR(dew, 12.0, 0.1);
}

// Damaged records and extreme climates hand the searches pressures and temperatures outside
// any physical range. Each search ends after a bounded number of halvings, and with a finite
// bracket its answer lies in the bracket whatever the other inputs are.
TEST(SaturationPressure, SearchesEndInsideTheirBracket) {
    using namespace vapoursearch;
    struct Case {
        const char* what;
        double (*search)(double, double, double, double);
        double a, b, lo, hi;
    };
    const auto dew = [](double p, double, double lo, double hi) { return dewPoint(p, lo, hi); };
    const auto tangent = [](double k, double, double lo, double hi) { return tangency(k, lo, hi); };
    const auto warmAnchor = [](double t, double p, double lo, double hi) {
        return tangentFromAnchor(t, p, lo, hi, true);
    };
    const auto coldAnchor = [](double t, double p, double lo, double hi) {
        return tangentFromAnchor(t, p, lo, hi, false);
    };
    const auto face = [](double t, double p, double lo, double hi) {
        return tangentFromFace(t, p, lo, hi);
    };
    const double inf = INFINITY;
    const Case cases[] = {
        {"dew point of NaN", dew, NAN, 0, -20, 20},
        {"dew point above every saturation", dew, 1e30, 0, -20, 20},
        {"dew point of a negative pressure", dew, -5, 0, -20, 20},
        {"tangency of an infinite slope", tangent, inf, 0, -20, 20},
        {"tangency of a negative slope", tangent, -inf, 0, -20, 20},
        {"warm anchor of NaN", warmAnchor, NAN, NAN, 0, 30},
        {"cold anchor far away", coldAnchor, -1e30, 1e30, -10, 10},
        {"face of NaN pressure", face, 5, NAN, -10, 10},
        {"face at infinity", face, inf, inf, -10, 10},
    };
    for (const Case& c : cases) {
        const double result = c.search(c.a, c.b, c.lo, c.hi);
        EXPECT_GE(result, c.lo) << c.what;
        EXPECT_LE(result, c.hi) << c.what;
    }
    // A bracket that is not finite cannot be narrowed; the search still ends.
    (void)dewPoint(1000, -inf, 20);
    (void)tangency(100, NAN, inf);
    (void)tangentFromAnchor(NAN, NAN, -inf, inf, true);
    (void)tangentFromFace(0, 0, NAN, NAN);
}

TEST(PanelDiffusion, SingleLayerWithoutCondensation) {
    Panel p = wall(-2, 90, 20, 65);
    // Aerated concrete: its temperature falls steeply enough that the air in its pores
    // stays below saturation everywhere.
    p.Layers.push_back(test::moistLayer("BCA", 30, 600, 0.2f, 8, 5, 4));
    p.Calculate(kFull);
    const LayerResults& r = p.Layers[0].results;
    const double pe = saturationPressure(-2) * 0.9;
    const double pi = saturationPressure(20) * 0.65;
    EXPECT_NEAR(r.coldPressure, pe, 1e-9);
    EXPECT_NEAR(r.warmPressure, pi, 1e-9);
    EXPECT_EQ(r.condensation, 0);
    const double rhCold = 100 * pe / saturationPressure(r.coldTemperature);
    const double rhWarm = 100 * pi / saturationPressure(r.warmTemperature);
    EXPECT_GE(r.meanRelativeHumidity, std::floor(std::min(rhCold, rhWarm)));
    EXPECT_LE(r.meanRelativeHumidity, std::ceil(std::max(rhCold, rhWarm)));
    // One flux through the whole wall: (pi − pe) / Rv with Rv = 8 · 0.3 · 5.39986.
    EXPECT_NEAR(r.inflow, (pi - pe) / (8 * 0.3 * kVapourResistancePerMu), 1e-4);
    EXPECT_EQ(r.flags[0] | r.flags[1], 0);
    EXPECT_TRUE(p.Messages(kFull).empty());
    const test::FakeLanguage texts = messageTexts();
    EXPECT_EQ(p.MessageText(kFull, "|"), "M11.||");
    p.Calculate(kSimple);
    EXPECT_EQ(p.MessageText(kSimple, "|"), "M10.||");
}

TEST(PanelDiffusion, CondensationZoneAndMoistureBalance) {
    Panel p = condensingWall();
    p.Calculate(kFull);
    const LayerResults& wool = p.Layers[1].results;
    ASSERT_EQ(wool.condensation, 2);
    // The zone lies inside the insulation, its ends on the saturation curve.
    EXPECT_GE(wool.zoneColdTemperature, wool.coldTemperature - 1e-9);
    EXPECT_LE(wool.zoneWarmTemperature, wool.warmTemperature + 1e-9);
    EXPECT_LT(wool.zoneColdTemperature, wool.zoneWarmTemperature);
    // Water condenses there: more vapour arrives than leaves.
    EXPECT_GT(wool.inflow, wool.outflow);
    EXPECT_GT(wool.outflow, 0);
    // The condensation profile never runs above saturation at a face.
    for (const Layer& layer : p.Layers) {
        const LayerResults& r = layer.results;
        EXPECT_LE(r.condensationColdPressure, saturationPressure(r.coldTemperature) + 0.1)
            << layer.Name;
        EXPECT_LE(r.condensationWarmPressure, saturationPressure(r.warmTemperature) + 0.1)
            << layer.Name;
    }
    // The flux from the room equals the inflow of the insulation (the board condenses none).
    EXPECT_NEAR(p.Layers[2].results.inflow, wool.inflow, 1e-6);
    EXPECT_TRUE(has(wool.flags, Condensation));
    EXPECT_TRUE(has(p.results.flags, Condensation));

    // Filling time: Σ (ωe − ωk')·ρ·d over the layers over the flux from the room.
    double M = 0;
    for (const Layer& l : p.Layers)
        M += (l.results.equilibriumMoisture - l.results.effectiveInitialMoisture) * l.Density *
             l.Thickness;
    EXPECT_NEAR(p.results.fillingTime, M / p.Layers[2].results.inflow * 1e5 / 3600 / 24, 1e-6);
    if (p.results.fillingTime * 24 < 60 * 24) {
        EXPECT_TRUE(has(p.results.flags, LongerThanFilling));
        EXPECT_TRUE(has(wool.flags, InZone));
        EXPECT_GT(wool.moistureIncrease, 0);
    } else {
        EXPECT_TRUE(has(p.results.flags, NotLongerThanFilling));
    }

    EXPECT_EQ(p.Messages(kSimple).size(), 1u);
    p.Calculate(kSimple);
    EXPECT_EQ(p.Messages(kSimple), std::vector<int>{12});
    const test::FakeLanguage texts = messageTexts();
    EXPECT_EQ(p.MessageText(kSimple, "|"), "M12.||L2. (Vata minerala):M19.|");
    EXPECT_FALSE(has(p.results.flags, LongerThanFilling)); // no balance in the simple check
}

TEST(PanelDiffusion, VapourBarrierOnTheColdSideGivesAPlane) {
    Panel p = wall(-15, 85, 20, 55);
    Layer foil;
    foil.Name = "Bariera";
    foil.Kind = static_cast<std::uint8_t>(MaterialKind::Thick);
    foil.Thickness = 0.02f;
    foil.ThermalCond = 0.2f;
    foil.SteamDiffRes = 500;
    p.Layers.push_back(foil);
    p.Layers.push_back(test::moistLayer("Vata", 12, 80, 0.04f, 1.1f, 2, 6));
    p.Layers.push_back(test::moistLayer("Beton", 15, 2400, 1.74f, 25, 4, 5));
    p.Calculate(kFull);
    // Vapour passes the concrete and the wool and stops at the foil: the water gathers at
    // the cold face of the wool.
    const LayerResults& wool = p.Layers[1].results;
    EXPECT_NE(wool.condensation, 0);
    EXPECT_NEAR(wool.zoneColdTemperature, wool.coldTemperature, 0.01);
    EXPECT_NEAR(wool.condensationColdPressure, saturationPressure(wool.coldTemperature), 0.1);
    EXPECT_EQ(p.Layers[2].results.condensation, 0);
}

TEST(PanelDiffusion, StopsAndTheirMessages) {
    struct Case {
        const char* what;
        float thetaE, phiE, thetaI, phiI, days;
        bool ventilated;
        PanelSettings settings;
        std::vector<int> messages;
    };
    const Case cases[] = {
        {"inside humidity 100 %", -15, 85, 20, 100, 60, false, kFull, {7}},
        {"outside humidity below 1 %", -15, 0.5f, 20, 60, 60, false, kFull, {7}},
        {"ventilated layer while cooling", 30, 60, 22, 50, 60, true, kFull, {}},
        {"no diffusion period", -15, 85, 20, 65, 0, false, kFull, {22}},
        {"no diffusion period, simple check", -15, 85, 20, 65, 0, false, kSimple, {12}},
    };
    for (const Case& c : cases) {
        Panel p = condensingWall();
        p.OutSideTemp = c.thetaE;
        p.OutSideRelHum = c.phiE;
        p.InSideTemp = c.thetaI;
        p.InSideRelHum = c.phiI;
        p.DiffusionDays = c.days;
        if (c.ventilated) {
            Layer air;
            air.Kind = static_cast<std::uint8_t>(MaterialKind::Air);
            air.ThermalRes = 0.16f;
            air.Ventilled = true;
            p.Layers.insert(p.Layers.begin(), air);
        }
        p.Calculate(c.settings);
        EXPECT_EQ(p.Messages(c.settings), c.messages) << c.what;
        if (c.ventilated) {
            EXPECT_TRUE(has(p.results.flags, VentilatedNotHeating)) << c.what;
        }
    }
}

TEST(PanelDiffusion, SurfaceCondensationLimitsTheWarmSurfacePressure) {
    Panel p = wall(-15, 85, 20, 90);
    p.Layers.push_back(test::moistLayer("Beton", 10, 2400, 1.74f, 25, 4, 5));
    p.Calculate(kSimple);
    ASSERT_TRUE(has(p.results.flags, SurfaceCondensation));
    const double surface = p.Layers[0].results.warmTemperature;
    EXPECT_NEAR(p.results.warmSurfacePressure, saturationPressure(surface), 1e-9);
    // The dew point of the room air lies between the surface and the air temperature.
    EXPECT_GT(p.results.dewPoint, surface);
    EXPECT_LT(p.results.dewPoint, 20);
    EXPECT_NEAR(saturationPressure(p.results.dewPoint), saturationPressure(20) * 0.9, 0.5);
    const std::vector<int> messages = p.Messages(kSimple);
    EXPECT_NE(std::find(messages.begin(), messages.end(), 15), messages.end());
}

TEST(PanelDiffusion, BuiltInMoistureDriesWithinTheYear) {
    // A brick wall built wet (6 % > its 5 % saturation value) with a permeable render.
    Panel p = wall(-15, 85, 20, 55);
    p.Layers.push_back(test::moistLayer("Tencuiala", 2, 1700, 0.87f, 10, 4, 5));
    p.Layers.push_back(test::moistLayer("Caramida", 25, 1800, 0.8f, 8, 5, 4));
    p.Layers[1].InitialHumidity = 6;
    p.Layers.push_back(test::moistLayer("Tencuiala", 1.5f, 1600, 0.7f, 10, 4, 5));
    p.Calculate(kFull);
    const LayerResults& brick = p.Layers[1].results;
    ASSERT_TRUE(has(brick.flags, MustDry));
    EXPECT_TRUE(has(brick.flags, Dries));
    EXPECT_GT(brick.dryingTime, 0);
    EXPECT_TRUE(has(p.results.flags, Dries));
    const test::FakeLanguage texts = messageTexts();
    const std::string text = p.MessageText(kFull, "|");
    char expected[64];
    std::snprintf(expected, sizeof expected, "D:M28 %.2f.|", brick.dryingTime + 0.005);
    EXPECT_NE(text.find("|L2. (Caramida):"), std::string::npos) << text;
    EXPECT_NE(text.find(expected), std::string::npos) << text;
    const double permeableDrying = brick.dryingTime;

    // Between vapour-tight layers the wet layer dries far more slowly, if at all.
    Layer tight;
    tight.Name = "Folie";
    tight.Kind = static_cast<std::uint8_t>(MaterialKind::Thick);
    tight.Thickness = 0.02f;
    tight.ThermalCond = 0.2f;
    tight.SteamDiffRes = 1e6f;
    p.Layers.insert(p.Layers.begin() + 2, tight);
    p.Layers.insert(p.Layers.begin() + 1, tight);
    p.Calculate(kFull);
    const LayerResults& enclosed = p.Layers[2].results;
    ASSERT_TRUE(has(enclosed.flags, MustDry));
    if (has(enclosed.flags, Dries)) {
        EXPECT_GT(enclosed.dryingTime, 1000 * permeableDrying);
    } else {
        EXPECT_FALSE(has(p.results.flags, Dries));
        const std::vector<int> messages = p.Messages(kFull);
        EXPECT_NE(std::find(messages.begin(), messages.end(), 13), messages.end());
    }
}

// A 20 cm concrete wall cast in place (wet: 8 % against 5 % at saturation, 4 % allowed) behind
// 10 cm of external EPS and a thin render, plastered inside: the concrete must dry out
// towards the room and through the insulation over the standard year.
Panel wetConcreteWall() {
    Panel p = wall(-15, 85, 20, 55);
    p.Layers.push_back(test::moistLayer("Tencuiala", 0.5f, 1800, 0.7f, 25, 2, 1));
    p.Layers.push_back(test::moistLayer("EPS", 10, 20, 0.04f, 40, 1, 1));
    p.Layers.push_back(test::moistLayer("Beton", 20, 2400, 1.74f, 25, 5, 4));
    p.Layers[2].InitialHumidity = 8;
    p.Layers.push_back(test::moistLayer("Tencuiala", 1.5f, 1600, 0.7f, 10, 4, 5));
    return p;
}

TEST(PanelDiffusion, DryingTimeUsesTheYearsMeanFlux) {
    // The calculation's net monthly fluxes out of the concrete, January to December, in
    // 10^-6 g/(m²s): -54.17 -54.35 -54.60 -50.29 -48.83 -53.59 -63.07 -53.74 -48.76 -49.09
    // -52.48 -53.61; their sum is -636.589 and their mean -53.049. The surplus moisture
    // ρ·d·(w_i - w_m) = 2400 · 20 · (8 - 4) = 192000, and 0.003171 (10^5 / seconds per year)
    // turns the mean flux into years: t = -0.003171 · 192000 / -53.049 = 11.48 years. Dividing
    // by the sum instead would give twelve times less, 0.96 years.
    Panel p = wetConcreteWall();
    p.Calculate(kFull);
    const LayerResults& concrete = p.Layers[2].results;
    ASSERT_TRUE(has(concrete.flags, MustDry));
    ASSERT_TRUE(has(concrete.flags, Dries));
    EXPECT_NEAR(concrete.dryingTime, 11.477, 0.01);

    // The same wall listed from the inside outwards dries in the same time.
    Panel reversed = wetConcreteWall();
    std::reverse(reversed.Layers.begin(), reversed.Layers.end());
    reversed.Ordering = 1;
    reversed.Calculate(kFull);
    const LayerResults& same = reversed.Layers[1].results;
    ASSERT_TRUE(has(same.flags, Dries));
    EXPECT_NEAR(same.dryingTime, concrete.dryingTime, 1e-6);
}

TEST(PanelDiffusion, DiagramFollowsTheProfiles) {
    Panel p = condensingWall();
    p.Calculate(kSimple);
    const PanelDiagram t = panelDiagram(p, DiagramAxis::Temperature);
    ASSERT_EQ(t.saturation.size(), 129u);
    EXPECT_DOUBLE_EQ(t.saturation.front().first, -15);
    EXPECT_DOUBLE_EQ(t.saturation.back().first, 20);
    ASSERT_EQ(t.plain.size(), 2 + 2 * p.Layers.size());
    EXPECT_GT(t.condensation.size(), t.plain.size()); // it follows saturation in the zone
    const PanelDiagram d = panelDiagram(p, DiagramAxis::Distance);
    // From half a unit outside the outer surface to half a unit beyond the inner one.
    EXPECT_NEAR(d.saturation.front().first, -0.5, 1e-9);
    EXPECT_NEAR(d.saturation.back().first, (3 + 10 + 1.25) * 0.01 + 0.5, 1e-9);
    for (std::size_t i = 1; i < d.condensation.size(); ++i)
        EXPECT_GE(d.condensation[i].first, d.condensation[i - 1].first - 1e-9) << i;
}

TEST(PanelDiffusion, DiagramMarksTheLayerFaces) {
    // Listed from the outside, and the same wall listed from the inside: the faces are
    // the same, each tagged with the list index of the layer it begins.
    for (const std::int16_t ordering : std::initializer_list<std::int16_t>{0, 1}) {
        Panel p = condensingWall();
        if (ordering == 1)
            std::reverse(p.Layers.begin(), p.Layers.end());
        p.Ordering = ordering;
        p.Calculate(kSimple);
        const auto index = [&](int fromOutside) {
            return ordering == 0 ? fromOutside : 2 - fromOutside;
        };

        const PanelDiagram t = panelDiagram(p, DiagramAxis::Temperature);
        ASSERT_EQ(t.boundaries.size(), 4u) << int(ordering);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(t.boundaries[k].layer, index(k));
            EXPECT_DOUBLE_EQ(t.boundaries[k].x, p.Layers[index(k)].results.firstTemperature);
        }
        EXPECT_EQ(t.boundaries[3].layer, -1);
        EXPECT_DOUBLE_EQ(t.boundaries[3].x, p.Layers[index(2)].results.secondTemperature);
        // Between the air temperatures, rising towards the warm inside.
        EXPECT_GT(t.boundaries[0].x, -15);
        EXPECT_LT(t.boundaries[3].x, 20);
        for (int k = 1; k < 4; ++k)
            EXPECT_GT(t.boundaries[k].x, t.boundaries[k - 1].x) << k;

        const PanelDiagram d = panelDiagram(p, DiagramAxis::Distance);
        ASSERT_EQ(d.boundaries.size(), 4u);
        const double expected[] = {0, 0.03, 0.13, 0.1425};
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(d.boundaries[k].x, expected[k], 1e-6) << k;
            EXPECT_EQ(d.boundaries[k].layer, k < 3 ? index(k) : -1);
        }
    }
    // No diagram, no faces: no layers, or layers never calculated.
    Panel empty = wall(-15, 85, 20, 65);
    empty.Calculate(kSimple);
    EXPECT_TRUE(panelDiagram(empty, DiagramAxis::Distance).boundaries.empty());
    const PanelDiagram fresh = panelDiagram(condensingWall(), DiagramAxis::Temperature);
    EXPECT_TRUE(fresh.boundaries.empty());
    EXPECT_TRUE(fresh.saturation.empty());
}

} // namespace
} // namespace kalydor
