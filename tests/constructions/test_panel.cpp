// The construction item: its stored record in the current and the old layouts, and the
// thermal values of layered constructions checked against hand calculations.

#include "constructions/panel.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "store/itemstream.h"
#include "support/designclimate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace kalydor {
namespace {

using namespace panelflag;

Layer airLayer(float cm, float R, bool ventilated) {
    Layer l;
    l.Name = "Aer";
    l.Kind = static_cast<std::uint8_t>(MaterialKind::Air);
    l.Thickness = cm;
    l.ThermalRes = R;
    l.Ventilled = ventilated;
    l.SteamRes = ventilated ? 12.5f : 0;
    l.Diagram[0] = {2, 0.16f};
    return l;
}

Panel outsideWall() {
    Panel p;
    p.Name = "Perete exterior";
    p.Type = 0;
    p.OutSideTemp = -15;
    p.InSideTemp = 20;
    p.OutSideAlpha = 24;
    p.InSideAlpha = 8;
    p.OutSideRelHum = 85;
    p.InSideRelHum = 60;
    p.DiffusionDays = 60;
    return p;
}

std::string recordOf(Panel& p) {
    MemoryStream s;
    p.WriteRecord(s, VersionWord::With);
    return s.bytes();
}

TEST(PanelRecord, CurrentLayoutRoundTripsByteForByteAndSkipsUnknownChunks) {
    Panel p = outsideWall();
    p.x = 4.5f;
    p.y = 2.75f;
    p.Ordering = 1;
    p.RGived = 3;
    p.GroundWaterHeight = -3;
    p.InfiltrationFactor = 1.5f;
    p.Layers.push_back(test::massLayer("Cărămidă", 25, 1800, 0.8f, 0.87f, 8));
    p.Layers.back().Sorption[9] = 4;
    p.Layers.back().InitialHumidity2 = 2.5f;
    p.Layers.push_back(airLayer(2, 0.16f, true));
    Layer foil;
    foil.Name = "Folie";
    foil.Kind = static_cast<std::uint8_t>(MaterialKind::Thick);
    foil.Thickness = 0.02f;
    foil.SteamDiffRes = 300;
    foil.ThermalCondFactor = 0.1f;
    p.Layers.push_back(foil);
    p.Calculate({});

    const std::string bytes = recordOf(p);
    MemoryStream in(bytes);
    ASSERT_EQ(readInt16(in), 56);
    Panel back;
    ASSERT_TRUE(back.ReadRecord(in, 56));
    EXPECT_EQ(recordOf(back), bytes);
    ASSERT_EQ(back.Layers.size(), 3u);
    EXPECT_EQ(back.Layers[0].Name, "Cărămidă");
    EXPECT_FLOAT_EQ(back.Layers[0].InitialHumidity2, 2.5f);
    EXPECT_TRUE(back.Layers[1].Ventilled);
    EXPECT_EQ(back.Ordering, 1);
    EXPECT_FLOAT_EQ(back.R, 3);

    // A chunk of a later version in front of the end mark is passed over by its length.
    std::string withUnknown = bytes.substr(0, bytes.size() - 2);
    withUnknown += std::string("\x09\x00\x03\x00xyz", 7);
    withUnknown += std::string("\x00\x00", 2);
    MemoryStream in2(withUnknown.substr(2));
    Panel skipped;
    ASSERT_TRUE(skipped.ReadRecord(in2, 0)); // version 0 reads the current layout
    EXPECT_EQ(recordOf(skipped), bytes);

    // A record cut inside a chunk is an error, not a half-read construction.
    MemoryStream cut(bytes.substr(2, 40));
    Panel partial;
    EXPECT_THROW(partial.ReadRecord(cut, 56), Error);
}

TEST(PanelRecord, UnknownVersionsAreRefused) {
    for (const std::int16_t version : std::initializer_list<std::int16_t>{49, 57, -1}) {
        MemoryStream in(std::string(64, '\0'));
        Panel p;
        EXPECT_FALSE(p.ReadRecord(in, version)) << version;
    }
}

// Old records, written field by field as the older program versions laid them out.
void writeFloats(MemoryStream& s, std::initializer_list<float> values) {
    for (const float v : values)
        writeFloat(s, v);
}

TEST(PanelRecord, OldLayoutsReadWithTheirLayerLayouts) {
    // Version 53: a layered wall with one layer of the 32-byte name layout.
    MemoryStream s;
    writeByte(s, 0x00);
    writeFloats(s, {3, 2.5f, 450, 0, 0, 0, 0}); // x, y, Mass, DampFactor, masses, b
    writeInt16(s, 1);
    writeFloats(s, {-15, 20, 24, 8, 85, 60, 0, 60}); // climates, alphas, level, days
    writeFloat(s, 7.5f);                             // Delay (versions 52-54)
    std::string name = "Zidărie";
    name.resize(32, '\0');
    s.write(name);
    writeUInt16(s, 0x80); // kind Normal, untouched
    writeFloats(s, {25, 1800, 0.8f, 0, 0.87f, 0, 0, 2, 5});
    writeFloats(s, {0, 0, 0, 0, 0, 0, 0, 0, 0, 4}); // sorption
    writeFloat(s, 8);                               // μ
    writeFloat(s, 0.25f);                           // ThermalCondFactor
    writeByte(s, 0);                                // Ventilled
    writeFloat(s, 0);                               // SteamRes
    MemoryStream in(s.bytes());
    Panel p;
    ASSERT_TRUE(p.ReadRecord(in, 53));
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(p.Type, 0);
    EXPECT_EQ(p.Layered, 0);
    EXPECT_FLOAT_EQ(p.x, 3);
    EXPECT_FLOAT_EQ(p.Delay, 7.5f);
    EXPECT_FLOAT_EQ(p.InSideRelHum, 60);
    EXPECT_FLOAT_EQ(p.DiffusionDays, 60);
    ASSERT_EQ(p.Layers.size(), 1u);
    EXPECT_EQ(p.Layers[0].Name, "Zidărie");
    EXPECT_FLOAT_EQ(p.Layers[0].SteamDiffResNum, 8);
    EXPECT_FLOAT_EQ(p.Layers[0].ThermalCondFactor, 0.25f);
    EXPECT_FLOAT_EQ(p.Layers[0].InitialHumidity2, 0);

    // Version 54: the type byte with bit 7 marks a known construction (0x8A: a window).
    MemoryStream k;
    writeByte(k, 0x8A);
    writeFloats(k, {1.2f, 1.5f, 0, 0, 0, 0, 0});
    writeInt16(k, 0);
    writeFloat(k, 8);                 // InSideAlpha
    writeInt16(k, 0);                 // ignored
    writeFloat(k, 70);                // GlassRatio
    k.write(std::string(30, '\x55')); // skipped
    writeFloat(k, 0);                 // Delay
    writeInt16(k, 1);                 // Ordering
    MemoryStream kin(k.bytes());
    Panel known;
    ASSERT_TRUE(known.ReadRecord(kin, 54));
    EXPECT_EQ(kin.remaining(), 0u);
    EXPECT_EQ(known.Type, 10);
    EXPECT_TRUE(known.isKnown());
    EXPECT_FLOAT_EQ(known.GlassRatio, 70);
    EXPECT_FLOAT_EQ(known.InSideAlpha, 8);
    EXPECT_EQ(known.Ordering, 1);

    // Versions 50 and 51 have neither Delay nor Ordering.
    MemoryStream o;
    writeByte(o, 0x02);
    writeFloats(o, {1, 1, 0, 0, 0, 0, 0});
    writeInt16(o, 0);
    writeFloats(o, {5, 20, 0, 6, 80, 55, -1, 30});
    MemoryStream oin(o.bytes());
    Panel floor;
    ASSERT_TRUE(floor.ReadRecord(oin, 51));
    EXPECT_EQ(oin.remaining(), 0u);
    EXPECT_EQ(floor.Type, 2);
    EXPECT_FLOAT_EQ(floor.FloorLevel, -1);
}

TEST(PanelCalculation, WallResistanceSurfaceTemperatureAndMasses) {
    Panel p = outsideWall();
    p.SurfaceTemperatureDifference = 4;
    // d = 20 cm, λ = 0.1: R = 0.2 / 0.1 = 2.0 m²K/W; mass 0.2 · 1000 = 200 kg/m².
    p.Layers.push_back(test::massLayer("Beton celular", 20, 1000, 0.1f, 1.0f, 5));
    p.Calculate({});
    // 2.0 + 1/24 + 1/8 = 2.1666667; U = 1/2.1666667 = 0.4615 → 0.46.
    EXPECT_NEAR(p.TotalResistance, 2.1666667, 1e-6);
    EXPECT_NEAR(p.results.U, 0.46, 1e-9);
    EXPECT_NEAR(p.R, 2.1666667, 1e-6);
    EXPECT_FLOAT_EQ(p.Mass, 200);
    // Heat-storing mass up to R = 0.15 from the inside: 200 · 0.15 / 2.0 = 15.
    EXPECT_FLOAT_EQ(p.HeatMass, 15);
    // s = √(1 · 1000 · 0.1 · 0.0727220) = 2.69670, D = 5.3934: 1.225 − 0.2697 < 1 → 1.
    EXPECT_FLOAT_EQ(p.ThermicMassivitate, 1);
    // Δθ = 35 · 1 / (2.1666667 · 8) = 2.01923 → θsi = 17.98077; Rnec = 35 / (8 · 4) = 1.09375.
    EXPECT_NEAR(p.results.surfaceTemperature, 17.98077, 1e-4);
    EXPECT_NEAR(p.NeededResistance, 1.09375, 1e-6);
    EXPECT_FALSE(has(p.results.flags, SurfaceDifferenceExceeded));

    // A stricter permitted difference than the 2.02 K reached is flagged; with the project's
    // design temperature at −20 the drop is 40 / 17.3333 = 2.3077 K.
    p.SurfaceTemperatureDifference = 1.5f;
    p.RGived = 3;
    p.Calculate({-20, true});
    EXPECT_TRUE(has(p.results.flags, SurfaceDifferenceExceeded));
    EXPECT_NEAR(p.results.surfaceTemperature, 20 - 40 / (2.1666667 * 8), 1e-4);
    EXPECT_FLOAT_EQ(p.R, 3);              // the given resistance is the one used
    EXPECT_NEAR(p.results.U, 0.46, 1e-9); // U still follows the computed total
}

TEST(PanelCalculation, MissingCoefficientsAndStops) {
    struct Case {
        const char* what;
        int type;
        float alphaE, alphaI;
        Bit expected;
    };
    const Case cases[] = {
        {"no αe", 0, 0, 8, OutsideAlphaMissing},
        {"no αi", 0, 24, 0, InsideAlphaMissing},
        {"neither", 0, 0, 0, BothAlphasMissing},
        {"floor needs no αe", 2, 0, 0, InsideAlphaMissing},
    };
    for (const Case& c : cases) {
        Panel p = outsideWall();
        p.Type = static_cast<std::uint8_t>(c.type);
        p.OutSideAlpha = c.alphaE;
        p.InSideAlpha = c.alphaI;
        p.Layers.push_back(test::massLayer("Zid", 20, 1000, 0.5f, 0.9f, 5));
        p.Calculate({});
        EXPECT_TRUE(has(p.results.flags, c.expected)) << c.what;
        const int count = has(p.results.flags, OutsideAlphaMissing) +
                          has(p.results.flags, InsideAlphaMissing) +
                          has(p.results.flags, BothAlphasMissing);
        EXPECT_EQ(count, 1) << c.what;
    }
    // A bridge reports no missing coefficient.
    Panel bridge = outsideWall();
    bridge.Type = 16;
    bridge.OutSideAlpha = 0;
    bridge.Layers.push_back(test::massLayer("Zid", 20, 1000, 0.5f, 0.9f, 5));
    bridge.Calculate({});
    EXPECT_FALSE(has(bridge.results.flags, OutsideAlphaMissing));

    Panel empty = outsideWall();
    empty.Calculate({});
    EXPECT_TRUE(has(empty.results.flags, NoLayersOrHumidity));
    EXPECT_EQ(empty.Messages({}), std::vector<int>{7});
}

TEST(PanelCalculation, FloorOnGround) {
    Panel p = outsideWall();
    p.Type = 2;
    p.OutSideAlpha = 0;
    p.InSideAlpha = 6;
    p.OutSideTemp = 5;
    p.FloorLevel = -1;
    p.GroundWaterHeight = -3;
    p.EarthLambda = 2;
    p.FundationWidth = 0.5f;
    p.Layers.push_back(test::massLayer("Beton", 10, 2400, 1.74f, 0.84f, 25));
    p.Calculate({});
    // ΣR = 0.1/1.74 = 0.057471; + 1/6 + ground (−1 − (−3)) / 2 = 1.0.
    EXPECT_NEAR(p.TotalResistance, 0.057471 + 1.0 / 6 + 1.0, 1e-5);
    // L = (2·4 − 1)·π/2 = 10.9956; ms = exp(0.1008 ln²L − 0.691 ln L + 0.4195) = 0.518004.
    EXPECT_NEAR(p.ms, 0.518004, 1e-5);
    EXPECT_FLOAT_EQ(p.ns, 1); // λg ≥ 2
    // z = 1, h = 4, w = 0.5: Rbc = w·H + G with the cubic coefficients = 0.508993.
    EXPECT_NEAR(p.Rbc, 0.508993, 1e-5);
    // A single concrete slab, τ = 10² · 2400 · 0.84 · 0.1 / 1.74 = 11586 s ≥ 2160:
    // b = √(0.84 · 2400 · 1000 · 1.74) = 1872.92 → 1.873 kJ/(m²K s^½), a cold floor.
    EXPECT_NEAR(p.FloorHeatAbsorb, 1.873, 1e-6);
    EXPECT_STREQ(Panel::floorClassKey(p.FloorHeatAbsorb), "IDS_COLDFLOOR");

    // Ground water above the floor adds nothing; a poorer ground conductivity changes ns:
    // z = 1, λg = 1.5: Q0·2.25 + Q1·1.5 + Q2 = 1.210675.
    p.GroundWaterHeight = -0.5f;
    p.EarthLambda = 1.5f;
    p.Calculate({});
    EXPECT_NEAR(p.TotalResistance, 0.057471 + 1.0 / 6, 1e-5);
    EXPECT_NEAR(p.ns, 1.210675, 1e-5);

    // Parquet on the slab: τ = 1² · 600 · 2.5 · 0.1 / 0.2 = 750 s, so the slab is reached.
    // b_top = √(2.5 · 600 · 1000 · 0.2) = 547.72, r = 1872.92 / 547.72 = 3.4195, the
    // coefficients interpolated at 750 s between the 720 s and 1080 s rows give f = 0.09467,
    // b = 547.72 · 1.09467 = 599.58 → 0.600, a warm floor.
    p.Layers.push_back(test::massLayer("Parchet", 1, 600, 0.2f, 2.5f, 50));
    p.Calculate({});
    EXPECT_NEAR(p.FloorHeatAbsorb, 0.600, 1e-6);
    EXPECT_STREQ(Panel::floorClassKey(p.FloorHeatAbsorb), "IDS_WARMFLOOR");
}

TEST(PanelCalculation, InternalWallStoresHeatFromBothSides) {
    Panel p = outsideWall();
    p.Type = 1;
    p.OutSideTemp = 20;
    p.OutSideAlpha = 8;
    // ΣR = 0.1 + 0.1 = 0.2 → limit 0.1 on each side.
    p.Layers.push_back(test::massLayer("Beton", 10, 2000, 1.0f, 0.84f, 20));
    p.Layers.push_back(test::massLayer("Zidarie", 10, 1000, 1.0f, 0.84f, 8));
    p.Calculate({});
    EXPECT_FLOAT_EQ(p.HeatMass, 100);  // the last layer up to R = 0.1: all its 100 kg/m²
    EXPECT_FLOAT_EQ(p.HeatMass2, 200); // the first layer: all its 200 kg/m²
    EXPECT_FLOAT_EQ(p.Mass, 300);
    EXPECT_TRUE(has(p.results.flags, EqualTemperatures));
    EXPECT_EQ(p.Messages({}), std::vector<int>{5});

    // Outside the 0.6-1.2 kJ/kgK range the mass counts as m·c·1.25.
    p.Layers[1].HeatCapacity = 2.0f;
    p.Calculate({});
    EXPECT_FLOAT_EQ(p.HeatMass, 250);
}

// The attenuation and delay of the daily wave from the transfer matrices of the layers
// and surface films: θe / θsi = (Fe · L1 · L2 …)₁₁ + (Fe · L1 · L2 …)₁₂ · αi.
std::complex<double> waveRatio(const std::vector<Layer>& outsideFirst, double ae, double ai) {
    using C = std::complex<double>;
    C m11 = 1, m12 = 1 / ae, m21 = 0, m22 = 1;
    for (const Layer& l : outsideFirst) {
        const double lambda = l.ThermalCond;
        const double d = l.Thickness * 0.01;
        const C k = std::sqrt(
            C(0, 2 * std::numbers::pi / 86400 * l.HeatCapacity * 1000 * l.Density / lambda));
        const C a = std::cosh(k * d), b = std::sinh(k * d) / (lambda * k),
                c = lambda * k * std::sinh(k * d);
        const C n11 = m11 * a + m12 * c, n12 = m11 * b + m12 * a;
        const C n21 = m21 * a + m22 * c, n22 = m21 * b + m22 * a;
        m11 = n11, m12 = n12, m21 = n21, m22 = n22;
    }
    return m11 + m12 * ai;
}

TEST(PanelCalculation, DampingAndDelayAgreeWithTransferMatrices) {
    Panel p = outsideWall();
    p.Layers.push_back(test::massLayer("Tencuiala", 2, 1700, 0.87f, 0.84f, 10));
    p.Layers.push_back(test::massLayer("Caramida", 25, 1800, 0.8f, 0.87f, 8));
    p.Layers.push_back(test::massLayer("Tencuiala", 1.5f, 1600, 0.7f, 0.84f, 10));
    p.Calculate({});
    const std::complex<double> ratio = waveRatio(p.Layers, 24, 8);
    double phase = std::arg(ratio);
    if (phase < 0)
        phase += 2 * std::numbers::pi;
    EXPECT_NEAR(p.DampFactor, std::abs(ratio), 0.0051);
    EXPECT_NEAR(p.Delay, phase * 12 / std::numbers::pi, 0.051);
    EXPECT_GT(p.DampFactor, 5);
    EXPECT_FALSE(has(p.results.flags, NoDynamics));

    // Listed from the inside outwards the same wall gives the same values.
    Panel reversed = p;
    std::reverse(reversed.Layers.begin(), reversed.Layers.end());
    reversed.Ordering = 1;
    reversed.Calculate({});
    EXPECT_FLOAT_EQ(reversed.DampFactor, p.DampFactor);
    EXPECT_FLOAT_EQ(reversed.Delay, p.Delay);

    // An air layer on the room side cannot start the walk: flagged, ν and ε still given.
    p.Layers.push_back(airLayer(2, 0.16f, false));
    p.Calculate({});
    EXPECT_TRUE(has(p.results.flags, NoDynamics));
    EXPECT_TRUE(has(p.Layers.back().results.flags, NoDynamics));
}

// The daily wave through metres of heavy construction is attenuated beyond any number the
// stored field can hold (the factors of thirty layers multiply past 1E100), and a layer of
// absurd values makes the power series itself overflow. Either way the attenuation is held at
// its bound, the step is flagged as failed, and no result is left infinite or undefined.
TEST(PanelCalculation, DampingThatOverflowsIsBoundedAndFlagged) {
    struct Case {
        const char* what;
        std::vector<Layer> layers;
    };
    const Case cases[] = {
        {"thirty layers of a dense insulation, 6 m",
         std::vector<Layer>(30, test::massLayer("Izolatie grea", 20, 2400, 0.04f, 0.84f, 5))},
        {"a layer whose series overflows",
         {test::massLayer("Tencuiala", 2, 1700, 0.87f, 0.84f, 10),
          test::massLayer("Absurd", 20, 1e4f, 1e-30f, 10, 5)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Panel p = outsideWall();
        p.Layers = c.layers;
        p.Calculate({});
        EXPECT_TRUE(has(p.results.flags, NoDynamics));
        EXPECT_FLOAT_EQ(p.DampFactor, 1e38f);
        for (const float value :
             {p.DampFactor, p.Delay, p.Mass, p.HeatMass, p.HeatMass2, p.FloorHeatAbsorb,
              p.TotalResistance, p.R, p.ThermicMassivitate, p.NeededResistance})
            EXPECT_TRUE(std::isfinite(value)) << value;
        for (const double value : {p.results.U, p.results.surfaceTemperature, p.results.sumR,
                                   p.results.sumRv, p.results.fillingTime, p.results.dewPoint})
            EXPECT_TRUE(std::isfinite(value)) << value;
        EXPECT_GE(p.Delay, 0);
    }
}

} // namespace
} // namespace kalydor
