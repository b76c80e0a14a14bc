// The heat-pump check: the lowest flow temperature at which a room's radiators, as chosen,
// still cover its design heating load.

#include "rooms/lowestflow.h"

#include "support/radiatorfamilies.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kalydor::test {
namespace {

Radiator radiator(const char* mark, const char* size) {
    Radiator r;
    r.Mark = mark;
    r.Family = "Panel Test";
    r.TypeCode = size;
    return r;
}

Room roomWith(std::vector<Radiator> radiators, float load, float ti = 20) {
    Room room;
    room.Name = "Baie";
    room.CalcFlags = 3;
    room.HeatingInSideTemp = ti;
    room.HeatingPower = load;
    room.Radiators = std::move(radiators);
    return room;
}

// Worked by hand. "Panel Test" is rated with the logarithmic mean difference at 90/70/20 °C
// (59.44 K for its 60 K), exponent 1.3; the size P11-600-800 gives 800 W there.
//
// A room at 20 °C needs 480 W. The radiator gives floor(r^1.3 × 800 + 0.5) W, so it needs
// r^1.3 × 800 ≥ 479.5, r ≥ 0.599375^(1/1.3) = 0.674545, ΔT_log ≥ 0.674545 × 59.44 = 40.095 K.
// With the return 5 K below the flow: 5 / ln((tf − 20)/(tf − 25)) = 40.095 gives
// (tf − 20)/(tf − 25) = e^0.124704 = 1.132816 and tf = 8.3204 / 0.132816 = 62.65 °C, which the
// check gives as 62.7 °C (at 62.6 °C the radiator gives 479 W, at 62.7 °C 480 W).
//
// With 10 K spread in a bathroom at 24 °C the same radiator and load need 69.4 °C (69.30 by
// the same steps); with P11-600-400 and P11-600-800 together for 900 W, 70.2 °C, the smaller
// radiator the weaker.
TEST(LowestFlow, HandWorkedRooms) {
    testing::TestFamilies families;
    struct Case {
        const char* what;
        Room room;
        double spread;
        double flow;
        const char* limiting;
    };
    const std::vector<Case> cases = {
        {"one radiator", roomWith({radiator("R1", "P11-600-800")}, 480), 5, 62.7, "R1"},
        {"bathroom at 24 °C, 10 K", roomWith({radiator("R1", "P11-600-800")}, 480, 24), 10, 69.4,
         "R1"},
        {"two radiators",
         roomWith({radiator("R1", "P11-600-800"), radiator("R2", "P11-600-400")}, 900), 5, 70.2,
         "R2"},
    };
    for (const Case& c : cases) {
        const RoomLowestFlow result = LowestFlowOfRoom(c.room, c.spread, families);
        ASSERT_TRUE(result.flow.has_value()) << c.what;
        EXPECT_DOUBLE_EQ(*result.flow, c.flow) << c.what;
        EXPECT_EQ(result.limitingRadiator, c.limiting) << c.what;
        EXPECT_EQ(result.gap, LowestFlowGap::None) << c.what;
    }

    // An installation factor of 0.9 asks for more: the output is r^1.3 × 800 × 0.9.
    Room covered = roomWith({radiator("R1", "P11-600-800")}, 480);
    covered.Radiators[0].InstallationFactor = 0.9f;
    EXPECT_GT(*LowestFlowOfRoom(covered, 5, families).flow, 62.7);
    // A load the radiators meet at the lowest possible flow needs no more than that.
    EXPECT_DOUBLE_EQ(
        *LowestFlowOfRoom(roomWith({radiator("R1", "P11-600-800")}, 0), 5, families).flow, 25.1);
}

// Rooms the check leaves out, each with its reason.
TEST(LowestFlow, RoomsLeftOut) {
    testing::TestFamilies families;
    Room floor = roomWith({radiator("R1", "P11-600-800")}, 480);
    floor.FloorFields.resize(1);
    Room notComputed = roomWith({radiator("R1", "P11-600-800")}, 480);
    notComputed.CalcFlags = 2;
    Room unknown = roomWith({radiator("R1", "P11-600-800"), radiator("R9", "P99")}, 480);
    const struct {
        Room room;
        LowestFlowGap gap;
    } cases[] = {
        {roomWith({}, 480), LowestFlowGap::NoRadiators},
        {floor, LowestFlowGap::FloorHeating},
        {notComputed, LowestFlowGap::NoHeatingLoad},
        {unknown, LowestFlowGap::UnknownRadiator},
        {roomWith({radiator("R1", "P11-600-800")}, 5000), LowestFlowGap::NotReached},
    };
    for (const auto& c : cases) {
        const RoomLowestFlow result = LowestFlowOfRoom(c.room, 5, families);
        EXPECT_EQ(result.gap, c.gap);
        EXPECT_FALSE(result.flow.has_value());
    }
}

} // namespace
} // namespace kalydor::test
