#include "heating/radiator.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "devicedb/radiatorsizing.h"
#include "heating/powercurve.h"
#include "heating/projectoptions.h"
#include "platform/scriptedprompter.h"
#include "reports/clipboarddocument.h"
#include "store/dbitem.h"

#include "heating/radiatorfixtures.h"
#include "support/errorkey.h"
#include "support/fakelanguage.h"
#include "support/radiatorfamilies.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

namespace kalydor {
namespace {

using test::Bytes;
using testing::errorKey;
using testing::TestFamilies;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

std::string written(const Radiator& r) {
    MemoryStream out;
    r.WriteRecord(out);
    return out.bytes();
}

class RadiatorTest : public ::testing::Test {
protected:
    test::FakeLanguage language{{"IDS_NORMALWATER", "Water"},
                                {"IDS_VERSIONERR", "Version %d is unknown."},
                                {"IDS_NUMBEROFPIECES", "pcs"}};
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
    TestFamilies families;

    // A P22 radiator at 90/70 °C with factor 1.1, refreshed at 20 °C.
    Radiator p22(const std::string& code = "P22-600-800") {
        RadiatorStruct options;
        options.CorrectionFactor = 1.1f;
        options.Hydraulic.Medium.ForwardTemperature = 90;
        options.Hydraulic.Medium.BackwardTemperature = 70;
        Radiator r(options);
        r.Mark = "R1";
        r.Family = "Panel Test";
        r.TypeCode = code;
        r.Refresh(families, 20);
        return r;
    }
};

TEST_F(RadiatorTest, RefreshTakesTheSizeAtTheRadiatorsTemperatures) {
    const Radiator r = p22();
    // 1400 W × 1.1 × 1.0000045^1.3 = 1540.01 → 1540 W; 1540 / 20 / 4173 × 3600 = 66.427 kg/h.
    EXPECT_EQ(r.Power(), 1540.0f);
    EXPECT_NEAR(r.MassFlow(), 66.4270, 1e-4);
    EXPECT_EQ(r.Length, 800);
    EXPECT_EQ(r.Height, 600);
    EXPECT_EQ(r.Depth, 100);
    EXPECT_EQ(r.Kv(), 1.2f);
    ASSERT_TRUE(r.VolumeFlow());
    EXPECT_NEAR(*r.VolumeFlow(), 66.4270 / 971.9, 1e-6);

    // At 70/55/20 the ratio is ΔT_log / 59.44: 42.06 / 59.44 = 0.7076, ^1.3 × 1540 = 1002.
    Radiator cooler = r;
    cooler.setForwardTemperature(70);
    cooler.setBackwardTemperature(55);
    cooler.Refresh(families, 20);
    const double ratio = 15 / std::log(50.0 / 35.0) / 59.44;
    EXPECT_EQ(cooler.Power(), std::floor(std::pow(ratio, 1.3f) * 1400 * 1.1f + 0.5));
}

TEST_F(RadiatorTest, MassFlowOfAChosenSize) {
    Radiator r;
    r.SetFromChoice("Panel Test", "P11-600-800", 1.0f, 1000, 90, 70, 800, 600, 47);
    // 1000 W / 20 K / 4173 J/kgK × 3600 = 43.134 kg/h.
    EXPECT_NEAR(r.MassFlow(), 43.13, 0.005);
    EXPECT_EQ(r.TypeCode, "P11-600-800");
    EXPECT_EQ(r.Depth, 47);
}

// Each refusal names its reason and leaves every field as it was.
TEST_F(RadiatorTest, FailedOperationsChangeNothing) {
    using Step = std::function<void(Radiator&, TestFamilies&)>;
    const Step nothing = [](Radiator&, TestFamilies&) {};
    struct Case {
        const char* name;
        Step prepare; // sets up radiator and families before the operation
        Step operate; // must raise and change nothing
        const char* key;
    };
    const Case cases[] = {
        {"increase at the last size",
         [](Radiator& r, TestFamilies&) { r.TypeCode = "P22-600-1200"; },
         [](Radiator& r, TestFamilies& f) { r.Increase(f, 20); }, "IDS_CANNOTINCREASE"},
        {"decrease at the first size",
         [](Radiator& r, TestFamilies&) { r.TypeCode = "P22-600-400"; },
         [](Radiator& r, TestFamilies& f) { r.Decrease(f, 20); }, "IDS_CANNOTDECREASE"},
        {"increase on a size the family lacks",
         [](Radiator& r, TestFamilies&) { r.TypeCode = "X"; },
         [](Radiator& r, TestFamilies& f) { r.Increase(f, 20); }, "IDS_UNKNOWEDTYPE"},
        {"decrease on a size the family lacks",
         [](Radiator& r, TestFamilies&) { r.TypeCode = "X"; },
         [](Radiator& r, TestFamilies& f) { r.Decrease(f, 20); }, "IDS_UNKNOWEDTYPE"},
        {"refresh of a family not in the table",
         [](Radiator&, TestFamilies& f) { f.remove("Panel Test"); },
         [](Radiator& r, TestFamilies& f) { r.Refresh(f, 20); }, "IDS_UNKNOWEDTYPE"},
        {"increase of a family not in the table",
         [](Radiator&, TestFamilies& f) { f.remove("Panel Test"); },
         [](Radiator& r, TestFamilies& f) { r.Increase(f, 20); }, "IDS_UNKNOWEDTYPE"},
        {"refresh of a size no main type holds",
         [](Radiator&, TestFamilies& f) { f["Panel Test"].MainTypes.pop_back(); },
         [](Radiator& r, TestFamilies& f) { r.Refresh(f, 20); }, "IDS_UNKNOWEDTYPE"},
        {"increase whose recalculation raises",
         [](Radiator& r, TestFamilies&) { r.setBackwardTemperature(90); },
         [](Radiator& r, TestFamilies& f) { r.Increase(f, 20); }, "IDS_DTLOGERROR"},
        {"main type outside the family", nothing,
         [](Radiator& r, TestFamilies& f) { r.ChangeMainType(f, 2, 20); }, "IDS_UNKNOWEDTYPE"},
        {"negative main type", nothing,
         [](Radiator& r, TestFamilies& f) { r.ChangeMainType(f, -1, 20); }, "IDS_UNKNOWEDTYPE"},
        {"main type without sizes",
         [](Radiator&, TestFamilies& f) { f["Panel Test"].MainTypes[0].SizeCount = 0; },
         [](Radiator& r, TestFamilies& f) { r.ChangeMainType(f, 0, 20); }, "IDS_UNKNOWEDTYPE"},
        {"main type past the size list",
         [](Radiator&, TestFamilies& f) { f["Panel Test"].MainTypes[1].FirstSize = 5; },
         [](Radiator& r, TestFamilies& f) { r.ChangeMainType(f, 1, 20); }, "IDS_UNKNOWEDTYPE"},
        {"rating that is no positive number",
         [](Radiator&, TestFamilies& f) { f["Panel Test"].DTOrigin = 0; },
         [](Radiator& r, TestFamilies& f) { r.Refresh(f, 20); }, "IDS_RADIATORDATAERROR"},
        {"absurd exponent",
         [](Radiator&, TestFamilies& f) { f["Panel Test"].Sizes[4].Exponent = 1e6f; },
         [](Radiator& r, TestFamilies& f) { r.Refresh(f, -50); }, "IDS_RADIATORDATAERROR"},
        {"forward equal to return", [](Radiator& r, TestFamilies&) { r.setForwardTemperature(70); },
         [](Radiator& r, TestFamilies& f) { r.Refresh(f, 20); }, "IDS_DTLOGERROR"},
        {"room temperature not a number", nothing,
         [](Radiator& r, TestFamilies& f) { r.Refresh(f, std::nan("")); }, "IDS_DTLOGERROR"},
        {"chosen size at 70/70", nothing,
         [](Radiator& r, TestFamilies&) {
             r.SetFromChoice("Panel Test", "P11-600-400", 1, 400, 70, 70, 400, 600, 47);
         },
         "IDS_DTLOGERROR"},
        {"chosen size with a NaN forward", nothing,
         [](Radiator& r, TestFamilies&) {
             r.SetFromChoice("Panel Test", "P11-600-400", 1, 400, kNaN, 70, 400, 600, 47);
         },
         "IDS_DTLOGERROR"},
        {"specific heat 0",
         [](Radiator& r, TestFamilies&) { r.Hydraulic.Sides[0].Medium.SpecificHeat = 0; },
         [](Radiator& r, TestFamilies& f) { r.Refresh(f, 20); }, "IDS_MEDIUMERROR"},
    };
    for (const Case& c : cases) {
        TestFamilies f;
        Radiator r = p22();
        c.prepare(r, f);
        const std::string before = written(r);
        EXPECT_EQ(errorKey([&] { c.operate(r, f); }), c.key) << c.name;
        EXPECT_EQ(written(r), before) << c.name;
    }
}

TEST_F(RadiatorTest, SteppingAndChangingTheMainType) {
    Radiator r = p22("P22-600-400");
    r.Increase(families, 20);
    EXPECT_EQ(r.TypeCode, "P22-600-800");
    EXPECT_EQ(r.Power(), 1540.0f);
    r.Decrease(families, 20);
    EXPECT_EQ(r.TypeCode, "P22-600-400");
    EXPECT_EQ(r.Length, 400);
    r.ChangeMainType(families, 0, 20);
    EXPECT_EQ(r.TypeCode, "P11-600-400");
    EXPECT_EQ(r.Kv(), 0.8f);
    EXPECT_EQ(r.Depth, 47);
    EXPECT_EQ(r.MainTypeIndex(families), 0);
}

TEST_F(RadiatorTest, WhatTheFamilyTellsAboutTheSize) {
    const Radiator current = p22("P22-600-800");
    const Radiator notCurrent = p22("P22-600-1200");
    EXPECT_TRUE(current.IsCurrentSize(families));
    EXPECT_FALSE(notCurrent.IsCurrentSize(families));
    double surface = 1, volume = 2;
    current.AddSurfaceAndVolume(families, surface, volume);
    EXPECT_NEAR(surface, 1.8, 1e-6);
    EXPECT_NEAR(volume, 6.0, 1e-6);
    EXPECT_EQ(current.EstimateCode(families), "EST-P22-600-800");

    Radiator unknown = current;
    unknown.TypeCode = "X";
    EXPECT_FALSE(unknown.IsCurrentSize(families));
    EXPECT_EQ(unknown.EstimateCode(families), "");
    EXPECT_EQ(unknown.MainTypeIndex(families), -1);
    unknown.AddSurfaceAndVolume(families, surface, volume);
    EXPECT_NEAR(surface, 1.8, 1e-6);

    const RadiatorMaterialLine line = current.UsedMaterial();
    EXPECT_EQ(line.kind, 0);
    EXPECT_EQ(line.code, "P22-600-800");
    EXPECT_EQ(line.name, "Panel Test");
    EXPECT_EQ(line.quantity, 1.0);
    EXPECT_EQ(line.unit, "pcs");
}

class PlainColumns final : public ListColumns {
public:
    std::vector<int> visibleColumnIds() const override { return {}; }
};

TEST_F(RadiatorTest, ListColumns) {
    const Radiator r = p22();
    const PlainColumns columns;
    const std::pair<int, std::string> cases[] = {
        {0, "R1"},   {1, "Panel Test"}, {2, "\\green P22-600-800"},
        {3, "1540"}, {4, "90"},         {5, "70"},
        {6, "1.1"},  {7, ""},           {8, "800"},
        {9, "600"},  {10, "100"},       {11, ""}};
    for (const auto& [column, text] : cases)
        EXPECT_EQ(r.ColumnText(column, columns, families), text) << column;
    EXPECT_EQ(p22("P22-600-1200").ColumnText(2, columns, families), "\\red P22-600-1200");

    // A damaged stored output shows as text, never rounded to an integer.
    Radiator damaged = r;
    damaged.setPower(kNaN);
    EXPECT_EQ(damaged.ColumnText(3, columns, families), formatGeneral(kNaN, 5));
    damaged.setPower(std::numeric_limits<float>::infinity());
    EXPECT_EQ(damaged.ColumnText(3, columns, families),
              formatGeneral(std::numeric_limits<double>::infinity(), 5));
}

TEST_F(RadiatorTest, ReportRowAndClipboardRow) {
    Radiator r = p22();
    r.Mark = "R{1}";
    ClipboardDocument document(textLookup());
    r.WriteReportRow(document, false);
    const std::string& rtf = document.rtf().text();
    EXPECT_NE(rtf.find("\\cellx1000"), std::string::npos);
    EXPECT_NE(rtf.find("\\ql\\intbl\\f4\\fs18 R\\{1\\}\\cell"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\qr\\intbl\\f4\\fs18 1.1\\cell"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\qr\\intbl\\f4\\fs18 1540\\cell"), std::string::npos) << rtf;

    ClipboardDocument building(textLookup());
    r.WriteBuildingReportRow(building, false, "Kitchen");
    EXPECT_NE(building.rtf().text().find("Kitchen/R\\{1\\}\\cell"), std::string::npos);
    EXPECT_NE(building.rtf().text().find("\\cellx2426"), std::string::npos);

    ClipboardDocument copy(textLookup());
    r.CopyRow(copy);
    EXPECT_EQ(copy.text().text(), "R{1}\tP22-600-800\t1.1\t1540\t90\t70\t800\t600\t100\r\n");
    EXPECT_FALSE(copy.sheet().empty());
}

// The radiators inside each room version, and the record of the current form.
TEST_F(RadiatorTest, RecordVersionsOfTheRoom) {
    const std::pair<int, int> cases[] = {{52, 52}, {53, 102}, {54, 103}, {55, 104},
                                         {0, 104}, {51, 0},   {56, 0}};
    for (const auto& [room, radiator] : cases)
        EXPECT_EQ(radiatorVersionOfRoom(room), radiator) << room;
}

TEST_F(RadiatorTest, FlatRecordOfTheOldestRooms) {
    const std::string record = Bytes()
                                   .s("R7")
                                   .s("Panel Test")
                                   .s("P11-600-800")
                                   .f32(1.05f)
                                   .f32(800)
                                   .f32(75)
                                   .f32(65)
                                   .f32(68.8f)
                                   .i16(800)
                                   .i16(600)
                                   .i16(47);
    Radiator r;
    MemoryStream in(record);
    ASSERT_TRUE(r.ReadRecord(in, 52));
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(r.Mark, "R7");
    EXPECT_EQ(r.TypeCode, "P11-600-800");
    EXPECT_EQ(r.InstallationFactor, 1.05f);
    EXPECT_EQ(r.Power(), 800.0f);
    EXPECT_EQ(r.ForwardTemperature(), 75.0f);
    EXPECT_EQ(r.BackwardTemperature(), 65.0f);
    EXPECT_EQ(r.MassFlow(), 68.8f);
    EXPECT_EQ(r.Depth, 47);
    EXPECT_EQ(r.Hydraulic.Sides[0].Medium.MediumType, "Water"); // the rest keeps its defaults

    // Written in the current form, it reads back the same.
    Radiator again;
    MemoryStream current(written(r));
    ASSERT_TRUE(again.ReadRecord(current, 104));
    EXPECT_EQ(written(again), written(r));
    EXPECT_EQ(again.MassFlow(), 68.8f);
}

TEST_F(RadiatorTest, ChunkedRecordsWithTheHydraulicRecordInline) {
    // 104: names, the element record inline after a length word of 0, the end with its word.
    const std::string record = Bytes()
                                   .chunk(201, test::radiatorNamesChunk())
                                   .i16(202)
                                   .u16(0)
                                   .raw(test::hydraulicRecord(2, true))
                                   .i16(200)
                                   .u16(0);
    Radiator r;
    MemoryStream in(record);
    ASSERT_TRUE(r.ReadRecord(in, 104));
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(r.Family, "Panel Test");
    EXPECT_EQ(r.InstallationFactor, 1.1f);
    EXPECT_EQ(r.Depth, 100);
    EXPECT_EQ(r.Kv(), 12.5f);
    EXPECT_EQ(r.Hydraulic.Resists.size(), 2u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(r.Power()), test::kNaNBits);
    EXPECT_EQ(written(r), record);

    // 102 carries the oldest element form (256): extra node words, no Value3; unknown chunks
    // (a tag 0 among them) are skipped by their length.
    const std::string older = Bytes()
                                  .chunk(0, "zz")
                                  .chunk(201, test::radiatorNamesChunk())
                                  .chunk(555, "abc")
                                  .i16(202)
                                  .u16(0)
                                  .chunk(101, test::hydraulicPointsChunk(true))
                                  .chunk(102, test::resistancePayload(1, false))
                                  .i16(100)
                                  .u16(0)
                                  .i16(200)
                                  .u16(0);
    Radiator old;
    MemoryStream oldIn(older);
    ASSERT_TRUE(old.ReadRecord(oldIn, 102));
    EXPECT_EQ(oldIn.remaining(), 0u);
    EXPECT_EQ(old.Mark, "R1");
    EXPECT_EQ(old.Hydraulic.Points[1].Size2, 14);
    EXPECT_EQ(old.Hydraulic.Resists.at(0).Value3, 0.0f);
    EXPECT_EQ(old.Power(), 16.5f);
}

TEST_F(RadiatorTest, DamagedRecordsAndUnknownVersionsChangeNothing) {
    const Radiator before = p22();
    const std::string expected = written(before);
    const std::string record = written(before);
    for (std::size_t cut = 0; cut < record.size(); cut += 5) {
        Radiator r = before;
        MemoryStream in(record.substr(0, cut));
        EXPECT_EQ(errorKey([&] { (void)r.ReadRecord(in, 104); }), "IDS_DATAREADERROR") << cut;
        EXPECT_EQ(written(r), expected) << cut;
    }
    for (const int version : {53, 101, 105, 259}) {
        Radiator r = before;
        MemoryStream in(record);
        EXPECT_FALSE(r.ReadRecord(in, version)) << version;
        EXPECT_EQ(written(r), expected) << version;
    }
    EXPECT_EQ(prompter.messages().size(), 4u);
    EXPECT_EQ(prompter.messages().back(), "Version 259 is unknown.");
}

TEST_F(RadiatorTest, VolumeFlowNeedsAPositiveDensity) {
    Radiator r = p22();
    for (const float ro : {0.0f, -1.0f, kNaN}) {
        r.Hydraulic.Sides[0].Medium.Ro = ro;
        EXPECT_FALSE(r.VolumeFlow()) << ro;
    }
    EXPECT_FALSE(volumeFlowOf(10, 0));
    EXPECT_EQ(errorKey([] { (void)massFlowOf(1000, 90, 70, -4173); }), "IDS_MEDIUMERROR");
    EXPECT_EQ(errorKey([] { (void)massFlowOf(1000, 70, 90, 4173); }), "IDS_DTLOGERROR");
}

TEST(PowerCurve, RangeUnitsAndBounds) {
    PowerCurveInput input;
    input.rating = {1, 60.0f, "F"};
    input.power = 1000;
    input.exponent = 1.3f;
    input.forward = 90;
    input.room = 20;
    std::vector<PowerCurvePoint> points = PowerCurve(input);
    // Return temperatures 21 … 87.
    ASSERT_EQ(points.size(), 67u);
    EXPECT_EQ(points.front().returnTemperature, 21.0);
    EXPECT_EQ(points.back().returnTemperature, 87.0);
    const PowerCurvePoint at70 = points[49];
    EXPECT_EQ(at70.returnTemperature, 70.0);
    EXPECT_EQ(at70.power, 1000.0f);
    ASSERT_TRUE(at70.flow);
    EXPECT_NEAR(*at70.flow, 1000.0 / 20 / 4173 / 971.9 * 3600, 1e-9);

    input.unit = FlowUnit::LitresPerMinute;
    EXPECT_NEAR(*PowerCurve(input)[49].flow, *at70.flow * 16.666666, 1e-9);
    input.ro = 0;
    EXPECT_FALSE(PowerCurve(input)[49].flow);

    struct Case {
        const char* name;
        double forward, room;
        std::size_t count;
    };
    const Case cases[] = {
        {"forward too low", 23, 20, 0},
        {"exactly one point", 24, 20, 1},
        {"a room a fraction above a degree", 90, 20.5, 67},
        {"NaN room", 90, std::nan(""), 0},
        {"infinite forward", std::numeric_limits<double>::infinity(), 20, 0},
        {"huge forward is bounded", 1e12, 20, 1000},
        {"very low room is bounded", 90, -1e300, 0},
    };
    input.ro = 971.9;
    input.exponent = 0.0f; // the same output at every ratio: only the range is tested
    for (const Case& c : cases) {
        input.forward = c.forward;
        input.room = c.room;
        std::size_t count = 0;
        const std::string key = errorKey([&] { count = PowerCurve(input).size(); });
        EXPECT_EQ(count, c.count) << c.name << " " << key;
    }
}

} // namespace
} // namespace kalydor
