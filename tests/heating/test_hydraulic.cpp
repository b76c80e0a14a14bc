#include "heating/hydraulic.h"

#include "base/error.h"
#include "platform/scriptedprompter.h"

#include "heating/radiatorfixtures.h"
#include "support/errorkey.h"
#include "support/fakelanguage.h"

#include <gtest/gtest.h>

#include <bit>

namespace kalydor {
namespace {

using test::Bytes;
using testing::errorKey;

class HydraulicRecord : public ::testing::Test {
protected:
    test::FakeLanguage language{{"IDS_NORMALWATER", "Apă"},
                                {"IDS_VERSIONERR", "Version %d is unknown."},
                                {"IDS_DATAREADERROR", "Damaged record."}};
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};

    static std::string written(const Hydraulic& h) {
        MemoryStream out;
        h.WriteRecord(out);
        return out.bytes();
    }
};

TEST_F(HydraulicRecord, DefaultsOfANewElement) {
    const Hydraulic h;
    EXPECT_EQ(h.Sides[0].Active, 1);
    EXPECT_EQ(h.Sides[1].Active, 0);
    for (const HydraulicSide& side : h.Sides) {
        EXPECT_EQ(side.Medium.MediumType, "Apă");
        EXPECT_EQ(side.Medium.Ro, 971.9f);
        EXPECT_EQ(side.Medium.Nu, 3.673e-7f);
        EXPECT_EQ(side.Medium.SpecificHeat, 4173.0f);
        EXPECT_EQ(side.Power, 0.0f);
    }
    EXPECT_EQ(h.Kv(), 0.0f);
    EXPECT_TRUE(h.Resists.empty());
    EXPECT_EQ(HydraulicResistance{}.Count, 1);
}

// A record assembled from the stored layout lands in the right fields and is written back
// byte for byte, a NaN's payload included.
TEST_F(HydraulicRecord, CurrentFormReadsIntoItsFieldsAndWritesBackIdentical) {
    const std::string record = test::hydraulicRecord(2, true);
    for (const int version : {258, 0}) {
        Hydraulic h;
        MemoryStream in(record);
        ASSERT_TRUE(h.ReadRecord(in, version)) << version;
        EXPECT_EQ(in.remaining(), 0u);
        EXPECT_EQ(h.Points[0].Name, "N0");
        EXPECT_EQ(h.Points[1].Size, 13);
        EXPECT_EQ(h.Points[1].Size2, 0);
        EXPECT_EQ(h.Texts1[2], "T1c");
        EXPECT_EQ(h.Values1C, 3);
        EXPECT_EQ(h.Values1D, 4.5f);
        EXPECT_EQ(h.Codes1, (std::array<std::int16_t, 4>{5, 6, 31, 32}));
        EXPECT_EQ(h.Choices[1].Code, 10);
        EXPECT_EQ(h.Choices[1].Text3, "C1c");
        const HydraulicSide& side = h.Sides[0];
        EXPECT_EQ(side.SideTexts[1], "S1");
        EXPECT_EQ(side.SideValues2,
                  (std::array<float, 7>{9.5f, 11.5f, 12.5f, 33.5f, 13.5f, 34.5f, 0.0f}));
        EXPECT_EQ(side.SideValues1,
                  (std::array<float, 7>{17.5f, 18.5f, 19.5f, 20.5f, 21.5f, 14.5f, 7.5f}));
        EXPECT_EQ(h.Kv(), 12.5f);
        EXPECT_EQ(side.MassFlow, 15.5f);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(side.Power), test::kNaNBits);
        EXPECT_EQ(side.Medium.ForwardTemperature, 90.0f);
        EXPECT_EQ(side.Medium.SpecificHeat, 4173.0f);
        EXPECT_EQ(h.Flag, 22);
        ASSERT_EQ(h.Resists.size(), 2u);
        EXPECT_EQ(h.Resists[1].Text2, "R2.2");
        EXPECT_EQ(h.Resists[1].Value3, 2.75f);
        EXPECT_EQ(h.Resists[1].Code5, 24);
        EXPECT_EQ(h.Texts2[1], "T2b");
        EXPECT_EQ(h.Sides[1].Active, 1);
        EXPECT_EQ(h.Sides[1].Medium.MediumType, "Glycol");
        EXPECT_EQ(h.Sides[1].SideValues2[6], 206.0f);
        EXPECT_EQ(h.Values2B, 42.5f);
        EXPECT_EQ(h.Values2C, 43);
        EXPECT_EQ(written(h), record);

        // A copy shares nothing and writes the same.
        Hydraulic copy = h;
        h.Resists[0].Text1 = "changed";
        EXPECT_EQ(written(copy), record);
    }
}

TEST_F(HydraulicRecord, SeventhSideValueIsNotStored) {
    Hydraulic h;
    h.Sides[0].SideValues2[6] = 5.0f;
    MemoryStream stream(written(h));
    Hydraulic back;
    ASSERT_TRUE(back.ReadRecord(stream, 258));
    EXPECT_EQ(back.Sides[0].SideValues2[6], 0.0f);
    EXPECT_EQ(written(back), written(h));
}

// The older forms: 256 and 257 carry an extra word per node, 256 no Value3 per resistance.
TEST_F(HydraulicRecord, OlderFormsReadTheirExtraWordsAndLackValue3) {
    for (const int version : {256, 257}) {
        Bytes record;
        record.chunk(101, test::hydraulicPointsChunk(true));
        record.chunk(102, test::resistancePayload(1, version > 256));
        record.i16(100).u16(0);
        Hydraulic h;
        MemoryStream in(record);
        ASSERT_TRUE(h.ReadRecord(in, version)) << version;
        EXPECT_EQ(in.remaining(), 0u) << version;
        EXPECT_EQ(h.Points[0].Size2, 12) << version;
        EXPECT_EQ(h.Points[1].Size2, 14) << version;
        EXPECT_EQ(h.Flag, 22) << version;
        ASSERT_EQ(h.Resists.size(), 1u);
        EXPECT_EQ(h.Resists[0].Value3, version > 256 ? 1.75f : 0.0f) << version;
        EXPECT_EQ(h.Resists[0].Code5, 14) << version;
    }
}

TEST_F(HydraulicRecord, ShortAndUnknownChunks) {
    Hydraulic before;
    before.Codes1 = {1, 2, 3, 4};
    before.Values2B = 9.0f;
    before.Resists.resize(3);
    struct Case {
        const char* name;
        std::string record;
        std::array<std::int16_t, 4> codes;
        float values2B;
        float sideValue3;
    };
    const Case cases[] = {
        {"103 of 8 bytes: two floats only",
         Bytes().chunk(103, Bytes().f32(7.5f).f32(8.5f)).i16(100).u16(0),
         {1, 2, 3, 4},
         9.0f,
         7.5f},
        {"103 of 12 bytes: codes too",
         Bytes().chunk(103, Bytes().i16(30).i16(40).f32(7.5f).f32(8.5f)).i16(100).u16(0),
         {1, 2, 30, 40},
         9.0f,
         7.5f},
        {"106 of 6 bytes: no second float",
         Bytes().chunk(106, Bytes().f32(1.5f).i16(7)).i16(100).u16(0),
         {1, 2, 3, 4},
         9.0f,
         0.0f},
        {"unknown tags and a tag 0 are skipped",
         Bytes()
             .chunk(777, "abcdef")
             .chunk(0, "xy")
             .chunk(106, Bytes().f32(1.5f).f32(2.5f).i16(7))
             .i16(100)
             .u16(0),
         {1, 2, 3, 4},
         2.5f,
         0.0f},
    };
    for (const Case& c : cases) {
        Hydraulic h = before;
        MemoryStream in(c.record);
        ASSERT_TRUE(h.ReadRecord(in, 258)) << c.name;
        EXPECT_EQ(in.remaining(), 0u) << c.name;
        EXPECT_EQ(h.Codes1, c.codes) << c.name;
        EXPECT_EQ(h.Values2B, c.values2B) << c.name;
        EXPECT_EQ(h.Sides[0].SideValues2[3], c.sideValue3) << c.name;
        EXPECT_TRUE(h.Resists.empty()) << c.name; // the list is emptied before reading
    }
}

TEST_F(HydraulicRecord, DamagedRecordsAndUnknownVersionsChangeNothing) {
    Hydraulic before;
    before.Flag = 77;
    before.Resists.resize(1);
    const std::string record = test::hydraulicRecord(2);
    const std::string expected = written(before);
    // Every cut of the record, and a chunk that claims more than there is.
    std::vector<std::string> damaged;
    for (std::size_t cut = 0; cut < record.size(); cut += 7)
        damaged.push_back(record.substr(0, cut));
    damaged.push_back(record.substr(0, record.size() - 1));
    damaged.push_back(Bytes().chunk(101, "ab", 500));
    damaged.push_back(Bytes().chunk(101, "ab").i16(100).u16(0)); // a chunk cut inside
    for (const std::string& bytes : damaged) {
        Hydraulic h = before;
        MemoryStream in(bytes);
        EXPECT_EQ(errorKey([&] { (void)h.ReadRecord(in, 258); }), "IDS_DATAREADERROR")
            << bytes.size() << " bytes";
        EXPECT_EQ(written(h), expected) << bytes.size() << " bytes";
    }
    for (const int version : {255, 259, 1, -1}) {
        Hydraulic h = before;
        MemoryStream in(record);
        EXPECT_FALSE(h.ReadRecord(in, version)) << version;
        EXPECT_EQ(written(h), expected) << version;
    }
    EXPECT_EQ(prompter.messages(),
              (std::vector<std::string>{"Version 255 is unknown.", "Version 259 is unknown.",
                                        "Version 1 is unknown.", "Version -1 is unknown."}));
}

} // namespace
} // namespace kalydor
