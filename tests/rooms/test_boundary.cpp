#include "rooms/boundary.h"

#include "base/memorystream.h"
#include "constructions/panel.h"
#include "heating/projectoptions.h"
#include "store/dbitem.h"
#include "store/itemstream.h"

#include "rooms/roomfixtures.h"
#include "support/errorkey.h"
#include "support/fakelanguage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kalydor {
namespace {

using testing::errorKey;

// An unnamed piece of a kind.
Boundary make(std::uint8_t type, float x, float y, float k, float massivitate = 1) {
    return test::boundary({}, type, x, y, k, massivitate);
}

struct Outcome {
    double heatLoss;
    double mass;
    double heatMass;
    double sun;
};

Outcome run(Boundary& b, TransmissionConditions c = {20, -15, 1}) {
    TransmissionSums sums;
    std::vector<BoundaryFinding> findings;
    b.ComputeTransmission(c, sums, findings);
    EXPECT_EQ(sums.transPower, b.HeatLoss);
    return {b.HeatLoss, sums.mass, sums.heatMass, sums.sunShine};
}

TEST(BoundaryKinds, SetsOfTheKindTable) {
    struct Row {
        int type;
        bool inside, outside, opaque, glazed, leaky, door, bridge, groundLike;
    };
    const Row rows[] = {
        {0, false, true, true, false, false, false, false, false},
        {1, true, false, true, false, false, false, false, false},
        {2, false, false, true, false, false, false, false, true},
        {6, false, false, true, false, false, false, false, true},
        {9, false, false, false, false, false, false, false, true},
        {10, false, true, false, true, true, false, false, false},
        {11, true, false, false, true, false, false, false, false},
        {12, false, true, false, false, true, true, false, false},
        {14, false, true, false, true, true, true, false, false},
        {15, false, true, false, true, false, false, false, false},
        {16, false, true, false, false, false, false, true, false},
        {17, true, false, false, false, false, false, true, false},
        {18, false, false, false, false, false, false, false, true},
        {40, false, false, false, false, false, false, false, false},
    };
    using namespace boundarykind;
    for (const Row& r : rows) {
        EXPECT_EQ(isInside(r.type), r.inside) << r.type;
        EXPECT_EQ(isOutside(r.type), r.outside) << r.type;
        EXPECT_EQ(isOpaque(r.type), r.opaque) << r.type;
        EXPECT_EQ(isGlazed(r.type), r.glazed) << r.type;
        EXPECT_EQ(isLeaky(r.type), r.leaky) << r.type;
        EXPECT_EQ(isDoor(r.type), r.door) << r.type;
        EXPECT_EQ(isBridge(r.type), r.bridge) << r.type;
        EXPECT_EQ(isGroundLike(r.type), r.groundLike) << r.type;
    }
    // Derived sets: the door belongs to the opaque outside ones.
    for (const int type : {0, 3, 12})
        EXPECT_TRUE(isOpaqueOutside(type)) << type;
    for (const int type : {10, 14, 15})
        EXPECT_TRUE(isOutsideGlazing(type)) << type;
}

TEST(BoundaryTransmission, FiguresOfTheKindGroups) {
    struct Case {
        const char* name;
        Boundary boundary;
        Outcome expected;
    };
    Boundary inside = make(1, 4, 2.5f, 0.5f);
    inside.OverTempWinter = 15;
    inside.Mass = 300;
    inside.HeatMass = 100;
    inside.MinA = 0;
    Boundary insideCold = make(1, 1, 1, 1);
    insideCold.OverTempWinter = 22.5f; // −2.5 W: rounded half up to −2
    Boundary insideNoK = make(1, 4, 2.5f, 0);
    insideNoK.Mass = 300;
    Boundary insideDoor = make(13, 1, 2, 0.5f);
    insideDoor.OverTempWinter = 10;
    insideDoor.Mass = 300;
    Boundary wall = make(0, 5, 2.5f, 2.0f);
    wall.MinA = 2;
    wall.Mass = 300;
    wall.HeatMass = 200;
    Boundary bridge = make(16, 3, 0, 0.5f);
    bridge.db = 2;
    bridge.GrossArea = 7; // the entered surface only shows
    Boundary floor = make(2, 4, 5, 3.0f);
    floor.Tetap = 10;
    floor.ms = 0.5f;
    floor.ns = 1;
    floor.Rbc = 1.5f;
    floor.OutsideLength = 9;
    floor.InsideLength = 2;
    floor.FloorOverTemp = 5;
    floor.Mass = 400;
    Boundary window = make(10, 1, 2, 0.5f);
    window.Compass = 180;
    window.GlassRatio = 80;
    const Case cases[] = {
        // 10 m² × (20 − 15) / 0.5 = 100 W; half its mass, all of its heat-storing mass.
        {"inside wall", inside, {100, 10 * 300 * 0.5, 10 * 100, 0}},
        {"inside wall at -2.5 W rounds to -2", insideCold, {-2, 0, 0, 0}},
        {"inside wall without k", insideNoK, {0, 10 * 300 * 0.5, 0, 0}},
        // 2 m² × (20 − 10) / 0.5 = 40 W; a door stores no mass.
        {"inside door: no mass", insideDoor, {40, 0, 0, 0}},
        // 1 × 10.5 × 1.0 / 2.0 × 35 = 183.75 → 184; 10.5 m² × 300 kg/m².
        {"outside wall", wall, {184, 10.5 * 300, 10.5 * 200, 0}},
        // 2 × 3 m × 1 / 0.5 × 35 = 420.
        {"bridge", bridge, {420, 0, 0, 0}},
        // 20 × 10 / 3 + 1 × 0.5 / 1 × 9 / 1.5 × 35 + 2 / 1 / 1.5 × 15 = 66.67 + 105 + 20.
        {"floor with edges", floor, {192, 20 * 400, 0, 0}},
        // 2 / 0.5 × 35 = 140; 80 % × 2 m² × 45 W/m² = 72 W.
        {"south window", window, {140, 0, 0, 72}},
    };
    for (const Case& c : cases) {
        Boundary b = c.boundary;
        const Outcome o = run(b);
        EXPECT_EQ(o.heatLoss, c.expected.heatLoss) << c.name;
        EXPECT_NEAR(o.mass, c.expected.mass, 1e-6) << c.name;
        EXPECT_NEAR(o.heatMass, c.expected.heatMass, 1e-6) << c.name;
        EXPECT_NEAR(o.sun, c.expected.sun, 1e-6) << c.name;
        if (!boundarykind::isInside(b.Type)) {
            EXPECT_EQ(b.OverTempWinter, -15.0f) << c.name;
        }
    }
    Boundary measured = bridge;
    run(measured);
    EXPECT_EQ(measured.GrossArea, 7.0f); // a bridge's surface is never measured
}

TEST(BoundaryTransmission, WinterSolarFactorByOrientationAndTilt) {
    struct Case {
        std::int16_t compass, gradient, sunFactor;
        std::optional<double> factor;
    };
    const Case cases[] = {
        {180, 90, 0, 45}, {180, 90, 1, 25}, {180, 90, 2, std::nullopt}, {180, 75, 0, 47},
        {0, 15, 0, 10},   {100, 30, 1, 12}, {-90, 90, 0, 15}, // −90° is 270°: row up to 285
        {0, 0, 0, 15},    {0, 0, 1, 10},    // horizontal, whatever the orientation
        {180, 10, 0, 15}, {180, -5, 1, 10}, // below the 15° step: the flat pair
        {359, 90, 0, 0},  {720, 90, 0, 0},
    };
    for (const Case& c : cases) {
        Boundary b = make(10, 1, 1, 1);
        b.Compass = c.compass;
        b.Gradient = c.gradient;
        b.SunFactor = c.sunFactor;
        EXPECT_EQ(b.winterSolarFactor(), c.factor)
            << c.compass << "° tilt " << c.gradient << " option " << c.sunFactor;
    }
    Boundary wall = make(0, 1, 1, 1);
    EXPECT_FALSE(wall.winterSolarFactor());
}

TEST(BoundaryTransmission, MendedCases) {
    struct Case {
        const char* name;
        Boundary boundary;
        double heatLoss;
        std::vector<BoundaryFinding> findings;
    };
    Boundary floorNoNs = make(2, 4, 5, 2);
    floorNoNs.Tetap = 10;
    floorNoNs.ns = 0;
    floorNoNs.OutsideLength = 9;
    Boundary floorNegativeRbc = floorNoNs;
    floorNegativeRbc.ns = 1;
    floorNegativeRbc.Rbc = -1;
    Boundary noMassivity = make(0, 2, 5, 2, 0);
    Boundary negativeMassivity = make(0, 2, 5, 2, -1);
    Boundary infinite = make(0, std::numeric_limits<float>::max(), 10, 1e-30f);
    const Case cases[] = {
        // 20 × 10 / 2 = 100; the edges are left out.
        {"floor with ns 0", floorNoNs, 100, {BoundaryFinding::FloorEdgesLeftOut}},
        {"floor with a negative Rbc", floorNegativeRbc, 100, {BoundaryFinding::FloorEdgesLeftOut}},
        {"no massivity", noMassivity, 0, {BoundaryFinding::NoMassivity}},
        {"negative massivity", negativeMassivity, -175, {BoundaryFinding::NoMassivity}},
        // The loss and both masses of an infinite area count 0.
        {"overflowing loss",
         infinite,
         0,
         {BoundaryFinding::NotFinite, BoundaryFinding::NotFinite, BoundaryFinding::NotFinite}},
    };
    for (const Case& c : cases) {
        Boundary b = c.boundary;
        TransmissionSums sums;
        std::vector<BoundaryFinding> findings;
        b.ComputeTransmission({20, -15, 1}, sums, findings);
        EXPECT_EQ(b.HeatLoss, c.heatLoss) << c.name;
        EXPECT_EQ(findings, c.findings) << c.name;
        EXPECT_TRUE(std::isfinite(sums.transPower)) << c.name;
    }
}

class PlainColumns final : public ListColumns {
public:
    std::vector<int> visibleColumnIds() const override { return {}; }
};

TEST(BoundaryColumns, TextsAndSets) {
    test::FakeLanguage language{{"IDS_PANELTYPES+10", "Window"},  {"IDS_COMPASS+0", "N"},
                                {"IDS_COMPASS+4", "S"},           {"IDS_COMPASS+7", "NW"},
                                {"IDS_SUNFACTOR+1", "half"},      {"IDS_GRADIENT+0", "vertical"},
                                {"IDS_GRADIENT+6", "horizontal"}, {"IDS_PANELTYPES+2", "Floor"}};
    const PlainColumns columns;
    Boundary window = make(10, 1.5f, 2, 0.5f);
    window.Name = "W1";
    window.Compass = 180;
    window.SunFactor = 1;
    window.db = 2;
    window.InfiltrationLength = 7;
    const std::pair<int, std::string> cases[] = {
        {0, "W1"}, {1, "Window"}, {9, "180° (S)"}, {10, "half"}, {11, "vertical"},
        {7, "0"},  {19, "2"},     {26, "14"},      {28, "0"},    {6, ""},
    };
    for (const auto& [column, text] : cases)
        EXPECT_EQ(window.ColumnText(column, columns), text) << column;

    const std::pair<std::int16_t, std::string> compass[] = {
        {359, "359° (N)"}, {338, "338° (N)"}, {337, "337° (NW)"}, {0, "0° (N)"}};
    for (const auto& [angle, text] : compass) {
        window.Compass = angle;
        EXPECT_EQ(window.compassText(), text) << angle;
    }
    window.Gradient = 0;
    EXPECT_EQ(window.compassText(), "-");
    EXPECT_EQ(window.ColumnText(11, columns), "horizontal");
    Boundary floor = make(2, 1, 1, 1);
    floor.ms = 0.5f;
    EXPECT_EQ(floor.ColumnText(9, columns), "-");
    EXPECT_EQ(floor.ColumnText(10, columns), "-");
    EXPECT_EQ(floor.ColumnText(28, columns), "0.5");
    Boundary wall = make(0, 1, 1, 1);
    wall.ms = 0.5f;
    EXPECT_EQ(wall.ColumnText(28, columns), "0");
}

TEST(BoundaryChecks, NeighbourTemperatureAndDeduction) {
    Boundary inside = make(1, 1, 1, 1);
    inside.OverTempWinter = 20.05f;
    inside.OverTempSummer = 30;
    EXPECT_EQ(inside.CheckNeighbourTemperatures(20, 26, 3), "IDS_NOTWINTERTEMPDIFFERENT");
    EXPECT_EQ(inside.CheckNeighbourTemperatures(20, 26, 2), std::nullopt);
    inside.OverTempSummer = 26;
    EXPECT_EQ(inside.CheckNeighbourTemperatures(20, 26, 2), "IDS_NOTSUMMERTEMPDIFFERENT");
    Boundary outside = make(0, 1, 1, 1);
    EXPECT_EQ(outside.CheckNeighbourTemperatures(-15, 26, 3), std::nullopt);

    Boundary window = make(10, 1, 2, 1);
    window.GrossArea = 2;
    Boundary wall = make(0, 5, 3, 1);
    wall.MinA = 1;
    window.DeductFrom(wall);
    EXPECT_EQ(wall.MinA, 3.0f);
}

TEST(BoundaryCreation, FromAConstruction) {
    Panel panel;
    panel.Name = "Perete";
    panel.Type = 0;
    panel.x = 5;
    panel.R = 2.5f;
    panel.ThermicMassivitate = 1.1f;
    panel.Mass = 350;
    panel.GlassRatio = 60;
    Boundary templ;
    templ.Compass = 90;
    templ.Absorption = 0.5f;
    templ.OverTempWinter = 12; // an inside value: not for a wall
    ProjectOptions options;
    options.Romanian.Tetap = 8;
    Boundary b;
    std::int16_t compassSeen = 0;
    ASSERT_TRUE(b.CreateFromPanel(panel, 2.7f, 45, templ, &options,
                                  [&](Boundary& edited, std::int16_t buildingCompass) {
                                      compassSeen = buildingCompass;
                                      edited.db = 2;
                                      return true;
                                  }));
    EXPECT_EQ(compassSeen, 45);
    EXPECT_EQ(b.Name, "Perete");
    EXPECT_EQ(b.y, 2.7f); // the room height for a wall without a height
    EXPECT_EQ(b.k, 2.5f);
    EXPECT_EQ(b.Massivitate, 1.1f);
    EXPECT_EQ(b.Mass, 350.0f);
    EXPECT_EQ(b.Tetap, 8.0f);
    EXPECT_EQ(b.Compass, 90);
    EXPECT_EQ(b.Absorption, 0.5f);
    EXPECT_EQ(b.OverTempWinter, 0.0f);
    EXPECT_EQ(b.GlassRatio, 100.0f); // only outside glazing takes the construction's
    EXPECT_FLOAT_EQ(b.GrossArea, 2 * 5 * 2.7f);

    // A bridge keeps the surface entered in its dialog.
    Panel bridgePanel;
    bridgePanel.Type = 16;
    bridgePanel.x = 4;
    Boundary bridge;
    ASSERT_TRUE(bridge.CreateFromPanel(bridgePanel, 2.7f, 0, templ, nullptr,
                                       [](Boundary& edited, std::int16_t) {
                                           edited.GrossArea = 1.5f;
                                           return true;
                                       }));
    EXPECT_EQ(bridge.GrossArea, 1.5f);
    EXPECT_EQ(bridge.Tetap, 10.0f); // no project: the default ground temperature

    Boundary cancelled;
    cancelled.Name = "before";
    EXPECT_FALSE(cancelled.CreateFromPanel(panel, 2.7f, 0, templ, nullptr,
                                           [](Boundary&, std::int16_t) { return false; }));
    EXPECT_EQ(cancelled.Name, "before");
    Panel undefined;
    undefined.Type = 18;
    EXPECT_EQ(
        errorKey([&] { (void)cancelled.CreateFromPanel(undefined, 2.7f, 0, templ, nullptr, {}); }),
        "IDS_UNDEFINEDPANEL");
}

} // namespace
} // namespace kalydor
