#include "rooms/room.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "heating/projectoptions.h"
#include "platform/scriptedprompter.h"
#include "store/itemstream.h"

#include "rooms/roomfixtures.h"
#include "support/errorkey.h"
#include "support/fakelanguage.h"
#include "support/radiatorfamilies.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kalydor {
namespace {

using testing::errorKey;

using test::boundary;

// A room of 20 m² × 2.5 m at 20 °C, −15 °C outside, half an air change, with a wall, a south
// window, an outside door and a floor on the ground.
Room workedRoom() {
    Room room;
    room.Name = "Birou";
    room.Area = 20;
    room.Height = 2.5f;
    room.HeatingInSideTemp = 20;
    room.FiltMode = 0;
    room.AirChangeFact = 0.5f;
    room.Ao = 0;
    room.AcCalculated = 1;
    room.Cm = 1;
    Boundary wall = boundary("Perete", 0, 5, 2.5f, 2.0f);
    wall.MinA = 2;
    wall.Mass = 300;
    wall.HeatMass = 200;
    Boundary window = boundary("Fereastră", 10, 1.25f, 1.6f, 0.5f);
    window.Compass = 180;
    window.GlassRatio = 80;
    Boundary door = boundary("Ușă", 12, 1, 2.1f, 0.4f);
    door.OpeningRate = 2;
    Boundary floor = boundary("Pardoseală", 2, 4, 5, 3.0f);
    floor.Tetap = 10;
    floor.ms = 0.5f;
    floor.ns = 1;
    floor.Rbc = 1.5f;
    floor.OutsideLength = 9;
    floor.Mass = 400;
    floor.HeatMass = 400;
    room.Boundaries = {wall, window, door, floor};
    return room;
}

TEST(RoomCalculation, ARoomWorkedByHand) {
    Room room = workedRoom();
    const std::vector<RoomFinding> findings = room.Calculate({-15, {}});
    EXPECT_TRUE(findings.empty());
    // Transmission (ti − te = 35 K, Cm 1, m 1):
    //   wall    (12.5 − 2) m² / 2.0 × 35 = 183.75 → 184 W
    //   window  2.0 m² / 0.5 × 35 = 140 W
    //   door    2.1 m² / 0.4 × 35 = 183.75 → 184 W
    //   floor   20 × (20 − 10) / 3 + 0.5 × 9 / 1.5 × 35 = 66.67 + 105 → 172 W
    EXPECT_EQ(room.Boundaries[0].HeatLoss, 184.0f);
    EXPECT_EQ(room.Boundaries[1].HeatLoss, 140.0f);
    EXPECT_EQ(room.Boundaries[2].HeatLoss, 184.0f);
    EXPECT_EQ(room.Boundaries[3].HeatLoss, 172.0f);
    // ΣA = 10.5 + 2 + 2.1 + 20 = 34.6 m², ΣQ = 680 W: Rm = 35 × 34.6 / 680 = 1.7809;
    // b = ln Rm = 0.5771, exp(b (0.1313 b − 0.6584) + 2.4) = 7.876 → 7.9 %.
    ASSERT_TRUE(room.Rm);
    EXPECT_NEAR(*room.Rm, 1.78088, 1e-5);
    EXPECT_FLOAT_EQ(room.AcComputed, 7.9f);
    // 680 × 1.079 = 733.7 → 734 W.
    EXPECT_EQ(room.TransPower, 734.0f);
    // Ventilation 35 × 25 m³/h × 1.2 / 3.6 = 291.67 W; door D = 0.38 × 2 × 2.1 × 35 = 55.86 W;
    // (291.67 + 55.86) × 1.079 = 374.98 → 375 W.
    EXPECT_NEAR(room.DoorHeat, 55.86, 1e-4);
    EXPECT_EQ(room.CalculatedFiltPower, 375.0f);
    EXPECT_EQ(room.HeatingPower, 1109.0f);
    // 80 % × 2 m² × 45 W/m², not deducted without the sunshine flag.
    EXPECT_EQ(room.SunShinePower, 72.0f);
    EXPECT_EQ(room.Volume1, 50.0f);
    // Masses: wall 10.5 × 300, floor 20 × 400; heat-storing 10.5 × 200 + 20 × 400.
    EXPECT_EQ(room.Mass0, 11150.0f);
    EXPECT_EQ(room.Mass2, 11150.0f);
    EXPECT_EQ(room.HeatMass0, 10100.0f);
    for (const Boundary& b : room.Boundaries)
        EXPECT_EQ(b.OverTempWinter, -15.0f) << b.Name;

    // With the sunshine flag the gain is deducted; a fractional internal source stays.
    room.SunShineFlag = 1;
    room.InternalSource = 12.5f;
    (void)room.Calculate({-15, {}});
    EXPECT_EQ(room.HeatingPower, 1109.0f - 72.0f - 12.5f);
}

TEST(RoomCalculation, CompensationSurchargeByMeanResistance) {
    // One inside wall of 10 m² at k 1 whose neighbour is 10 K colder gives ΣQ = 100 W; the
    // outside temperature is chosen so that Rm = (ti − te) × 10 / 100 takes each value.
    const std::pair<double, float> cases[] = {{0.6, 16.5f}, {0.61, 15.8f}, {1, 11.0f}, {2, 7.4f},
                                              {5, 5.4f},    {9.99, 4.9f},  {10, 0.0f}, {0, 16.5f}};
    for (const auto& [rm, ac] : cases) {
        Room room;
        room.HeatingInSideTemp = 20;
        room.FiltMode = 9; // no ventilation method
        Boundary wall = boundary("W", 1, 4, 2.5f, 1);
        wall.OverTempWinter = 10;
        room.Boundaries = {wall};
        (void)room.Calculate({20 - rm * 10, {}});
        EXPECT_FLOAT_EQ(room.AcComputed, ac) << rm;
    }
}

TEST(RoomCalculation, VentilationMethods) {
    struct Case {
        const char* name;
        std::function<void(Room&)> setUp;
        float filt;
    };
    const Case cases[] = {
        {"air changes on the entered volume",
         [](Room& r) {
             r.Volume0 = 30;
             r.AirChangeFact = 1;
         },
         350}, // 35 × 30 × 1.2 / 3.6
        {"a negative entered volume is none",
         [](Room& r) {
             r.Volume0 = -5;
             r.AirChangeFact = 1;
         },
         583}, // V = 50: 583.3
        {"per person",
         [](Room& r) {
             r.FiltMode = 1;
             r.NumOfMens = 3;
             r.Portion = 20;
         },
         700},
        {"known air flow",
         [](Room& r) {
             r.FiltMode = 2;
             r.AirVolume = 60;
         },
         700},
        {"own entering-air temperature",
         [](Room& r) {
             r.FiltMode = 2;
             r.AirVolume = 60;
             r.AirTempFromProject = 0;
             r.AirTemp = 5;
         },
         300},
        {"known heat ignores the air",
         [](Room& r) {
             r.FiltMode = 3;
             r.FiltPower = 123.4f;
             r.Cm = 0.94f;
         },
         116}, // 0.94 × 123.4 = 116.0
        {"unknown method", [](Room& r) { r.FiltMode = 7; }, 0},
    };
    for (const Case& c : cases) {
        Room room;
        room.Area = 20;
        room.Height = 2.5f;
        room.HeatingInSideTemp = 20;
        room.Ac = 0;
        room.AcCalculated = 0;
        c.setUp(room);
        (void)room.Calculate({-15, {}});
        EXPECT_EQ(room.CalculatedFiltPower, c.filt) << c.name;
        EXPECT_EQ(room.HeatingPower, c.filt) << c.name; // no boundaries
    }
}

TEST(RoomCalculation, InfiltrationThroughJoints) {
    Room room;
    room.HeatingInSideTemp = 20;
    room.FiltMode = 4;
    room.AcCalculated = 0;
    room.Ac = 0;
    room.EFactor = 1;
    room.WindSpeed = 8; // 8^(4/3) = 16
    Boundary window = boundary("W", 10, 1, 1, 0);
    window.InfiltrationFactor = 0.5f;
    window.InfiltrationLength = 4;
    window.db = 2;
    Boundary sheltered = window;
    sheltered.InfiltrationEnabled = 0;
    Boundary door = boundary("D", 12, 1, 2, 0);
    door.InfiltrationFactor = 1;
    door.InfiltrationLength = 1;
    door.InfiltrationEnabled = 0;
    door.OpeningRate = 1; // its opening heat counts whether or not it is exposed
    room.Boundaries = {window, sheltered, door};
    (void)room.Calculate({-15, {}});
    // S = 2 × 0.5 × 4 = 4: 35 × 4 × 1 × 16 = 2240; D = 0.38 × 1 × 2 × 35 = 26.6.
    EXPECT_EQ(room.CalculatedFiltPower, 2267.0f);

    room.WindSpeed = -1;
    const std::vector<RoomFinding> findings = room.Calculate({-15, {}});
    EXPECT_EQ(room.CalculatedFiltPower, 27.0f);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].key, "IDS_NEGATIVEWINDSPEED");
}

TEST(RoomCalculation, RadiatorsAreRefreshedOrTheRoomStaysAsItWas) {
    testing::TestFamilies families;
    Room room = workedRoom();
    Radiator radiator;
    radiator.Family = "Panel Test";
    radiator.TypeCode = "P22-600-800";
    radiator.setForwardTemperature(90);
    radiator.setBackwardTemperature(70);
    room.Radiators = {radiator};
    RoomSettings settings{-15, [&](Room& r, double ti) {
                              for (Radiator& each : r.Radiators)
                                  each.Refresh(families, ti);
                          }};
    (void)room.Calculate(settings);
    EXPECT_EQ(room.Radiators[0].Power(), 1400.0f);
    EXPECT_EQ(room.RadiatorPowerSum(), 1400.0);

    // A radiator whose family is gone: the error reaches the caller, nothing is kept.
    Room before = room;
    room.HeatingInSideTemp = 22;
    families.remove("Panel Test");
    EXPECT_EQ(errorKey([&] { (void)room.Calculate(settings); }), "IDS_UNKNOWEDTYPE");
    EXPECT_EQ(room.HeatingPower, before.HeatingPower);
    EXPECT_EQ(room.Boundaries[0].HeatLoss, before.Boundaries[0].HeatLoss);
}

TEST(RoomDefaults, FromTheProjectOrWithout) {
    const Room bare;
    EXPECT_EQ(bare.HeatingInSideTemp, 20.0f);
    EXPECT_EQ(bare.HeatingOutSideTemp, -15.0f);
    EXPECT_EQ(bare.AirTemp, -15.0f);
    EXPECT_EQ(bare.CoolingInSideTemp, 26.0f);
    EXPECT_EQ(bare.CalcFlags, 3);
    EXPECT_EQ(bare.Height, 0.0f);
    EXPECT_EQ(bare.Cm, 1.0f);
    EXPECT_EQ(bare.WindSpeed, 5.0f);

    ProjectOptions options;
    options.Building.Height = 3.1f;
    options.Heating.OutSideTemp = -18;
    options.Heating.InSideTemp = 22;
    options.Heating.Calculate = 0;
    options.Romanian.Cm = 0.94f;
    options.Panel.OutSideTemp = -2; // the construction's outside temperature is not the room's
    const Room room(&options);
    EXPECT_EQ(room.Height, 3.1f);
    EXPECT_EQ(room.HeatingInSideTemp, 22.0f);
    EXPECT_EQ(room.HeatingOutSideTemp, -18.0f);
    EXPECT_EQ(room.AirTemp, -18.0f);
    EXPECT_EQ(room.CalcFlags, 2);
    EXPECT_EQ(room.Cm, 0.94f);
    EXPECT_EQ(room.Portion, 30.0f);
}

class PlainColumns final : public ListColumns {
public:
    std::vector<int> visibleColumnIds() const override { return {}; }
};

TEST(RoomColumns, HeatingFlagAndDivisors) {
    Room room = workedRoom();
    room.BuildingName = "Bloc A";
    Radiator radiator;
    radiator.setPower(800);
    room.Radiators = {radiator};
    (void)room.Calculate({-15, {}});
    const PlainColumns columns;
    struct Case {
        int column;
        std::int16_t calcFlags;
        float area;
        const char* text;
    };
    const Case cases[] = {
        {0, 3, 20, "Birou"},  {2, 3, 20, "20"},   {4, 3, 20, "1109"},    {4, 2, 20, "0"},
        {8, 3, 20, "55.45"},  {8, 2, 20, "0"},    {8, 3, 0, "0"},        {10, 3, 20, "50"},
        {12, 3, 20, "557.5"}, {12, 3, 0, "0"},    {15, 3, 20, "Bloc A"}, {16, 3, 20, "800"},
        {19, 3, 20, "22.18"}, {21, 3, 20, "309"}, {21, 2, 20, "-800"},   {6, 3, 20, ""},
    };
    for (const Case& c : cases) {
        room.CalcFlags = c.calcFlags;
        room.Area = c.area;
        EXPECT_EQ(room.ColumnText(c.column, columns), c.text) << c.column << " " << c.calcFlags;
    }
    // A damaged stored load (no number, or beyond any whole number) shows as a blank, never
    // rounded into an integer.
    room.CalcFlags = 3;
    for (const float damaged : {std::numeric_limits<float>::infinity(),
                                std::numeric_limits<float>::quiet_NaN(), 1e20f, -1e20f}) {
        room.HeatingPower = damaged;
        EXPECT_EQ(room.ColumnText(4, columns), "") << damaged;
    }
}

TEST(RoomCalculation, BridgesCountInTheLossNotInTheSurcharge) {
    Room room;
    room.HeatingInSideTemp = 20;
    room.FiltMode = 9;
    room.Ao = 0;
    Boundary wall = boundary("W", 0, 5, 2, 2.0f);      // 10 m² / 2 × 35 = 175 W
    Boundary bridge = boundary("B", 16, 10, 0, 0.35f); // 10 m / 0.35 × 35 = 1000 W
    bridge.GrossArea = 3;
    room.Boundaries = {wall, bridge};
    (void)room.Calculate({-15, {}});
    // Rm = 35 × 10 / 175 = 2 → Ac 7.4 %; the bridge neither in ΣA nor in ΣQ.
    ASSERT_TRUE(room.Rm);
    EXPECT_DOUBLE_EQ(*room.Rm, 2.0);
    EXPECT_FLOAT_EQ(room.AcComputed, 7.4f);
    // (175 + 1000) × 1.074 = 1261.95 → 1262 W.
    EXPECT_EQ(room.TransPower, 1262.0f);
}

TEST(RoomChecks, NeighbourTemperaturesStopAtTheFirstFailure) {
    test::FakeLanguage language{{"IDS_NOTWINTERTEMPDIFFERENT", ": same as the room in winter."}};
    Room room;
    room.HeatingInSideTemp = 20;
    Boundary first = boundary("Perete hol", 1, 3, 2.5f, 1);
    first.OverTempWinter = 15;
    Boundary second = boundary("Perete baie", 1, 3, 2.5f, 1);
    second.OverTempWinter = 20;
    Boundary third = boundary("Perete dormitor", 1, 3, 2.5f, 1);
    third.OverTempWinter = 20;
    room.Boundaries = {first, second, third};
    EXPECT_EQ(room.CheckBoundaries(true), "Perete baie: same as the room in winter.");
    EXPECT_EQ(room.CheckBoundaries(false), std::nullopt);
}

TEST(RoomLists, MoveDeleteAndLink) {
    test::FakeLanguage language{{"IDS_WANTBOUNDARYDELETE", "Delete \"%s\"?"}};
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
    Room room = workedRoom();
    room.MoveBoundary(0, 3);
    EXPECT_EQ(room.Boundaries[0].Name, "Pardoseală");
    EXPECT_EQ(room.Boundaries[3].Name, "Perete");
    room.MoveBoundary(0, 9); // outside the list: nothing
    prompter.scriptYesNo(false);
    EXPECT_FALSE(room.DeleteBoundary(1));
    prompter.scriptYesNo(true);
    EXPECT_TRUE(room.DeleteBoundary(1));
    EXPECT_EQ(room.Boundaries.size(), 3u);
    EXPECT_EQ(prompter.questions().front().text, "Delete \"Fereastră\"?");

    BuildingData data;
    data.Compass = 30;
    data.SettlementName = "Cluj";
    room.LinkToBuilding("B-7", data);
    EXPECT_EQ(room.BuildingRef, "B-7");
    EXPECT_EQ(room.Building.SettlementName, "Cluj");

    // No boundaries at all: only the ventilation part.
    room.Boundaries.clear();
    (void)room.Calculate({-15, {}});
    EXPECT_EQ(room.TransPower, 0.0f);
    EXPECT_EQ(room.AcComputed, 0.0f);
    EXPECT_FALSE(room.Rm);
}

} // namespace
} // namespace kalydor
