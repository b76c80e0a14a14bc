#include "heating/radiatoreditor.h"

#include "devicedb/radiatorsizing.h"

#include "support/fakelanguage.h"
#include "support/radiatorfamilies.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kalydor {
namespace {

using testing::TestFamilies;

// A second family with other type codes and one code in common with the test family.
RadiatorFamily otherFamily() {
    RadiatorFamily f = testing::panelTestFamily();
    f.Name = "Other";
    f.DTOrigin = 50;
    f.DTLog = 0;
    for (RadiatorSize& size : f.Sizes)
        if (size.Name != "P22-600-800")
            size.Name = "O-" + size.Name;
    return f;
}

class RadiatorEditorTest : public ::testing::Test {
protected:
    RadiatorEditorTest() {
        families.add(otherFamily());
        radiator.Family = "Panel Test";
        radiator.TypeCode = "P22-600-400";
        radiator.setForwardTemperature(90);
        radiator.setBackwardTemperature(70);
        radiator.Refresh(families, 20);
    }
    test::FakeLanguage language{{"IDS_CANNOTINCREASE", "No larger size."},
                                {"IDS_CANNOTDECREASE", "No smaller size."},
                                {"IDS_DTLOGERROR", "Temperatures do not fit."},
                                {"IDS_UNKNOWEDTYPE", "Unknown type."}};
    TestFamilies families;
    Radiator radiator;

    RadiatorEditor editor(std::vector<std::string> set = {"Panel Test", "Other"}) {
        return RadiatorEditor(radiator, 20, families, std::move(set));
    }
};

TEST_F(RadiatorEditorTest, WhatTheDialogShows) {
    RadiatorEditor e = editor({"Other"});
    // The radiator's own family is offered although the set lacks it.
    EXPECT_EQ(e.families(), (std::vector<std::string>{"Panel Test", "Other"}));
    EXPECT_EQ(e.familyIndex(), 0);
    EXPECT_EQ(e.mainTypes(), (std::vector<std::string>{"P11-600", "P22-600"}));
    EXPECT_EQ(e.mainTypeIndex(), 1);
    EXPECT_FALSE(e.isCurrentSize());
    EXPECT_EQ(e.dimensionsText(), "400 x 600 x 100 mm");
    EXPECT_EQ(e.outputText(), "700 W");
    EXPECT_EQ(e.medium().specificHeat, "4173 J/kgK");
    const std::string cubic = e.flowText();
    EXPECT_NE(cubic.find(" m³/h"), std::string::npos);
    e.setFlowUnit(FlowUnit::LitresPerMinute);
    // 700 / 20 / 4173 × 3600 / 971.9 × 16.666666 = 0.5178 l/min.
    EXPECT_EQ(e.flowText(), "0.5178 l/min");
    EXPECT_FALSE(e.changed());

    // The chart: return temperatures 21 … 87 °C at 90 °C forward, flow in l/min.
    const std::vector<PowerCurvePoint> points = e.chart();
    ASSERT_EQ(points.size(), 67u);
    EXPECT_EQ(points[49].returnTemperature, 70.0);
    EXPECT_EQ(points[49].power, 700.0f);
    ASSERT_TRUE(points[49].flow);
    EXPECT_NEAR(*points[49].flow, 0.5178, 1e-4);
}

TEST_F(RadiatorEditorTest, EventsAndTheirRefusals) {
    struct Case {
        const char* name;
        std::function<void(RadiatorEditor&)> action;
        std::string typeCode; // after the action
        std::string status;
    };
    const Case cases[] = {
        {"increase", [](RadiatorEditor& e) { e.increase(); }, "P22-600-800", ""},
        {"decrease at the first size", [](RadiatorEditor& e) { e.decrease(); }, "P22-600-400",
         "No smaller size."},
        {"increase at the last size",
         [](RadiatorEditor& e) {
             e.increase();
             e.increase();
             e.increase();
         },
         "P22-600-1200", "No larger size."},
        {"main type", [](RadiatorEditor& e) { e.selectMainType(0); }, "P11-600-400", ""},
        {"main type outside the family", [](RadiatorEditor& e) { e.selectMainType(5); },
         "P22-600-400", "Unknown type."},
        {"family without the code: its first size", [](RadiatorEditor& e) { e.selectFamily(1); },
         "O-P11-600-400", ""},
        {"family with the code keeps it",
         [](RadiatorEditor& e) {
             e.increase();
             e.selectFamily(1);
         },
         "P22-600-800", ""},
        {"forward below the return",
         [](RadiatorEditor& e) { EXPECT_FALSE(e.setValue(RadiatorField::Forward, 60)); },
         "P22-600-400", "Temperatures do not fit."},
    };
    for (const Case& c : cases) {
        RadiatorEditor e = editor();
        c.action(e);
        EXPECT_EQ(e.typeCode(), c.typeCode) << c.name;
        EXPECT_EQ(e.status(), c.status) << c.name;
    }
    // A family change with the code recalculates at the other rating: arithmetic over 50 K,
    // (80 − 20) / 50 = 1.2; 1400 × 1.2^1.3 = 1774.4 → 1774 W.
    RadiatorEditor e = editor();
    e.increase();
    e.selectFamily(1);
    EXPECT_EQ(e.radiator().Family, "Other");
    EXPECT_EQ(e.radiator().Power(), 1774.0f);
    EXPECT_TRUE(e.changed());
}

TEST_F(RadiatorEditorTest, TypedFields) {
    struct Case {
        const char* name;
        RadiatorField field;
        const char* text;
        NumberField::Outcome::Kind kind;
        float forward, back, factor, power;
    };
    using Kind = NumberField::Outcome::Kind;
    const Case cases[] = {
        // 90/55/20: checked below.
        {"forward and return", RadiatorField::Return, "55", Kind::Taken, 90, 55, 1, 0},
        {"factor with a unit typed after it", RadiatorField::Factor, "1.1 x", Kind::Taken, 90, 70,
         1.1f, 770},
        {"negative factor", RadiatorField::Factor, "-1", Kind::Refused, 90, 70, 1, 700},
        {"letters", RadiatorField::Factor, "abc", Kind::Refused, 90, 70, 1, 700},
        {"empty", RadiatorField::Forward, "", Kind::Refused, 90, 70, 1, 700},
        {"return above forward", RadiatorField::Return, "95", Kind::Refused, 90, 70, 1, 700},
        {"return at the room", RadiatorField::Return, "20", Kind::Refused, 90, 70, 1, 700},
    };
    for (const Case& c : cases) {
        RadiatorEditor e = editor();
        const NumberField::Outcome outcome = e.type(c.field, c.text);
        EXPECT_EQ(outcome.kind, c.kind) << c.name;
        EXPECT_EQ(e.radiator().ForwardTemperature(), c.forward) << c.name;
        EXPECT_EQ(e.radiator().BackwardTemperature(), c.back) << c.name;
        EXPECT_EQ(e.radiator().InstallationFactor, c.factor) << c.name;
        if (c.power > 0) {
            EXPECT_EQ(e.radiator().Power(), c.power) << c.name;
        }
        if (c.kind == Kind::Refused) {
            EXPECT_FALSE(outcome.message.empty()) << c.name;
        }
    }
    RadiatorEditor e = editor();
    e.type(RadiatorField::Return, "55");
    const double ratio = 35 / std::log(70.0 / 35.0) / 59.44;
    EXPECT_EQ(e.radiator().Power(), std::floor(std::pow(ratio, 1.3f) * 700 + 0.5));
}

TEST_F(RadiatorEditorTest, UnknownFamilyShowsNoChart) {
    radiator.Family = "Gone";
    RadiatorEditor e = editor();
    EXPECT_TRUE(e.chart().empty());
    EXPECT_TRUE(e.mainTypes().empty());
    EXPECT_EQ(e.mainTypeIndex(), -1);
    e.increase();
    EXPECT_EQ(e.status(), "Unknown type.");
    EXPECT_FALSE(e.changed());
}

} // namespace
} // namespace kalydor
