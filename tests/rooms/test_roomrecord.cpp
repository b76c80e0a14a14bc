// Room records of every version built field by field from the stored layout: what they hold
// lands in the right fields, the current form writes back byte for byte, older forms come out
// in the current one, and damaged records fail whole.

#include "rooms/room.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "platform/scriptedprompter.h"
#include "reports/clipboarddocument.h"
#include "store/itemcontext.h"
#include "store/itemstream.h"

#include "heating/radiatorfixtures.h"
#include "support/errorkey.h"
#include "support/fakelanguage.h"

#include <gtest/gtest.h>

#include <bit>

namespace kalydor {
namespace {

using test::Bytes;
using testing::errorKey;

// Chunk 1 with distinct values; hours h, component c hold h + c / 10.
std::string mainChunk() {
    Bytes b;
    b.s("Birou");
    for (int i = 0; i < 10; ++i)
        b.f32(10.0f + static_cast<float>(i)); // Area 10 … HeatMass2 19
    b.s("B-1").f32(21).i16(0).f32(-18).f32(1.1f).i16(1).f32(55.5f).i16(4).i16(3);
    b.f32(25).f32(0.7f).i16(0).f32(-5).f32(60).f32(100);
    b.f32(700).f32(72).f32(300).f32(928).f32(25);
    for (int h = 0; h < 24; ++h)
        for (int c = 0; c < 8; ++c)
            b.f32(static_cast<float>(h) + static_cast<float>(c) / 10);
    b.i16(1).i16(2).i16(1).i16(45);
    return b;
}

std::string boundaryCurrent(const std::string& name, std::uint8_t type) {
    Bytes b;
    b.s(name).i16(type).i16(1).f32(4).f32(2.5f).f32(0).f32(300).f32(150).i16(180).i16(90);
    b.f32(0).f32(0).f32(0).f32(0.7f).f32(0.9f).f32(100).f32(0).f32(0);
    b.f32(2).f32(1).f32(0).f32(1).f32(1).f32(0).f32(10).f32(0).f32(0).f32(0).i16(1);
    b.i16(0).f32(1).i16(0).f32(1).f32(0).raw(std::string(12, '\x02'));
    b.f32(-15).f32(0).i16(0).f32(10);
    return b;
}

std::string currentRecord(bool withUnknown) {
    Bytes b;
    b.chunk(1, mainChunk());
    b.chunk(10, Bytes().f32(1).f32(2).f32(3).i16(4));
    b.chunk(11, Bytes().f32(5).i16(1).f32(3).f32(7.9f).f32(0.94f).f32(1).f32(4));
    b.chunk(12, Bytes().s("Cluj").i16(2).f32(410).f32(-18).f32(12));
    b.chunk(2, boundaryCurrent("Perete", 0));
    b.chunk(2, boundaryCurrent("Fereastră", 10));
    b.chunk(3, Bytes().i16(2).i16(300).f32(1.5f).f32(80));       // occupants, B 300
    b.chunk(7, Bytes().s("Cuptor").f32(2).bits(test::kNaNBits)); // other, NaN value
    b.chunk(8, Bytes()
                   .chunk(201, test::radiatorNamesChunk())
                   .i16(202)
                   .u16(0)
                   .raw(test::hydraulicRecord(1))
                   .i16(200)
                   .u16(0));
    // The floor-heating field: base part and extension (94 bytes with empty texts).
    Bytes floor;
    floor.s("").s("").f32(1).i16(2).f32(3).f32(4).f32(5).i16(-1);
    for (int i = 0; i < 7; ++i)
        floor.f32(0);
    floor.i16(-1).i16(1).i16(0).i16(0);
    for (int i = 0; i < 8; ++i)
        floor.f32(0);
    b.chunk(9, floor);
    if (withUnknown)
        b.chunk(77, "future");
    b.i16(0);
    return b;
}

class RoomRecord : public ::testing::Test {
protected:
    test::FakeLanguage language{{"IDS_VERSIONERR", "Version %d is unknown."},
                                {"IDS_NORMALWATER", "Water"}};
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};

    static std::string written(Room& room) {
        MemoryStream out;
        room.WriteRecord(out, VersionWord::Without);
        return out.bytes();
    }
};

TEST_F(RoomRecord, CurrentFormIntoItsFieldsAndBackByteForByte) {
    const std::string record = currentRecord(true);
    for (const std::int16_t version : {std::int16_t{55}, std::int16_t{0}}) {
        Room room;
        MemoryStream in(record);
        ASSERT_TRUE(room.ReadRecord(in, version));
        EXPECT_EQ(in.remaining(), 0u);
        EXPECT_EQ(room.Function, "Birou");
        EXPECT_EQ(room.Area, 10.0f);
        EXPECT_EQ(room.HeatMass2, 19.0f);
        EXPECT_EQ(room.BuildingRef, "B-1");
        EXPECT_EQ(room.HeatingInSideTemp, 21.0f);
        EXPECT_EQ(room.OutSideTempFromProject, 0);
        EXPECT_EQ(room.FiltMode, 4);
        EXPECT_EQ(room.AirTemp, -5.0f);
        EXPECT_EQ(room.HeatingPower, 928.0f);
        EXPECT_EQ(room.CoolingLoad.values[23][7], 23.7f);
        EXPECT_EQ(room.CalcFlags, 1);
        EXPECT_EQ(room.Building.Compass, 45);
        EXPECT_EQ(room.Summer.code, 4);
        EXPECT_EQ(room.AcComputed, 7.9f);
        EXPECT_EQ(room.WindSpeed, 4.0f);
        EXPECT_EQ(room.Building.SettlementName, "Cluj");
        ASSERT_EQ(room.Boundaries.size(), 2u);
        EXPECT_EQ(room.Boundaries[1].Name, "Fereastră");
        EXPECT_EQ(room.Boundaries[1].Type, 10);
        EXPECT_EQ(room.Boundaries[0].k, 2.0f);
        EXPECT_FALSE(room.Boundaries[0].MissingThermalValues);
        ASSERT_EQ(room.Gains.size(), 2u);
        EXPECT_EQ(static_cast<ManPower&>(*room.Gains[0]).B, 300);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(room.Gains[1]->Value), test::kNaNBits);
        ASSERT_EQ(room.Radiators.size(), 1u);
        EXPECT_EQ(room.Radiators[0].TypeCode, "P22-600-800");
        ASSERT_EQ(room.FloorFields.size(), 1u);
        EXPECT_EQ(room.FloorFields[0].Code1, 2);
        ASSERT_EQ(room.UnknownChunks.size(), 1u);
        EXPECT_EQ(room.UnknownChunks[0].second, "future");
        EXPECT_EQ(written(room), record) << version;

        // A copy shares nothing with its source and writes the same.
        Room copy = room;
        room.Gains[0]->Value = 1;
        room.Boundaries[0].Name = "changed";
        EXPECT_EQ(written(copy), record);
    }
}

// The oldest form: no chunks, fixed 32-byte texts, hours of seven components, counted
// boundaries and entries.
std::string flatRecord(int version, std::int16_t boundaries, std::int16_t occupants) {
    Bytes b;
    std::string function = "Dormitor";
    function.resize(32, '\0');
    b.raw(function);
    for (int i = 0; i < 10; ++i)
        b.f32(static_cast<float>(i));
    std::string building = "B-9";
    building.resize(32, '\0');
    b.raw(building);
    b.f32(20).f32(-15).f32(1).i16(0).f32(0).i16(0).i16(2);
    b.f32(30).f32(0.5f).f32(-15).f32(0).f32(0);
    b.f32(700).f32(0).f32(200).f32(900).f32(26);
    for (int h = 0; h < 24; ++h)
        for (int c = 0; c < 7; ++c)
            b.f32(static_cast<float>(h * 10 + c));
    b.i16(boundaries).i16(occupants).i16(0).i16(0).i16(0);
    if (version == 51)
        b.i16(1);
    for (int i = 0; i < boundaries; ++i) {
        std::string name = "Perete vechi";
        name.resize(32, '\0');
        b.raw(name).raw(std::string(1, '\0')).i16(1).f32(4).f32(2.5f).f32(0).f32(300).f32(0);
        b.i16(0).i16(90).f32(0).f32(0).f32(0).f32(0.7f).f32(0.9f).i16(0).i16(100);
        b.i16(0).f32(1).i16(0).f32(1).f32(0).raw(std::string(12, '\0'));
        b.f32(-15).f32(0).i16(0).f32(10);
    }
    for (int i = 0; i < occupants; ++i)
        b.i16(3).raw(std::string(1, '\x07')).f32(75);
    return b;
}

TEST_F(RoomRecord, OldestFormsComeOutInTheCurrentOne) {
    for (const int version : {50, 51}) {
        Room room;
        MemoryStream in(flatRecord(version, 1, 2));
        ASSERT_TRUE(room.ReadRecord(in, static_cast<std::int16_t>(version))) << version;
        EXPECT_EQ(in.remaining(), 0u) << version;
        EXPECT_EQ(room.Function, "Dormitor");
        EXPECT_EQ(room.BuildingRef, "B-9");
        EXPECT_EQ(room.NumOfMens, 2);
        EXPECT_EQ(room.CalcFlags, version == 51 ? 1 : 3);
        EXPECT_EQ(room.OutSideTempFromProject, 0);
        EXPECT_EQ(room.AirTempFromProject, 0);
        // Hour 2: components 20 21 22 23, air 0, then 24 25 26.
        EXPECT_EQ(room.CoolingLoad.values[2],
                  (std::array<float, 8>{20, 21, 22, 23, 0, 24, 25, 26}));
        ASSERT_EQ(room.Boundaries.size(), 1u);
        EXPECT_EQ(room.Boundaries[0].Name, "Perete vechi");
        EXPECT_EQ(room.Boundaries[0].GlassRatio, 100.0f);
        EXPECT_TRUE(room.Boundaries[0].MissingThermalValues);
        ASSERT_EQ(room.Gains.size(), 2u);
        const auto& man = static_cast<const ManPower&>(*room.Gains[1]);
        EXPECT_EQ(man.A, 3);
        EXPECT_EQ(man.B, 7);
        EXPECT_EQ(man.C, 0.0f);
        EXPECT_EQ(man.Value, 75.0f);

        // Written as 55 with the marks of the boundaries that lack their thermal values.
        const std::string current = written(room);
        Room again;
        MemoryStream back(current);
        ASSERT_TRUE(again.ReadRecord(back, 55));
        EXPECT_TRUE(again.Boundaries[0].MissingThermalValues);
        EXPECT_EQ(again.Gains.size(), 2u);
        EXPECT_EQ(again.CoolingLoad.values[2][4], 0.0f);
        EXPECT_EQ(written(again), current);
    }
}

TEST_F(RoomRecord, BoundariesWithoutThermalValuesAreNotRecalculated) {
    // A 53 record: boundaries without k, massivity, floor, door and joint values.
    Bytes boundary53;
    boundary53.s("Perete").i16(0).i16(1).f32(4).f32(2.5f).f32(0).f32(300).f32(150).i16(180);
    boundary53.i16(90).f32(0).f32(0).f32(0).f32(0.7f).f32(0.9f).f32(100);
    boundary53.i16(0).f32(1).i16(0).f32(1).f32(0).raw(std::string(12, '\0'));
    boundary53.f32(-15).f32(0).i16(0).f32(10);
    const std::string record = Bytes().chunk(1, mainChunk()).chunk(2, boundary53).i16(0);
    Room room;
    MemoryStream in(record);
    ASSERT_TRUE(room.ReadRecord(in, 53));
    ASSERT_TRUE(room.Boundaries[0].MissingThermalValues);
    const std::vector<RoomFinding> findings = room.Calculate({-15, {}});
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].key, "IDS_MISSINGTHERMALVALUES");
    EXPECT_EQ(findings[0].boundary, "Perete");
    EXPECT_EQ(room.HeatingPower, 928.0f); // the stored result stays
    EXPECT_EQ(room.TransPower, 700.0f);
}

TEST_F(RoomRecord, DamagedRecordsAndOtherVersionsFail) {
    const std::string record = currentRecord(false);
    for (std::size_t cut = 0; cut < record.size(); cut += 41) {
        Room room;
        room.Name = "kept";
        MemoryStream in(record.substr(0, cut));
        EXPECT_EQ(errorKey([&] { (void)room.ReadRecord(in, 55); }), "IDS_DATAREADERROR") << cut;
        EXPECT_TRUE(room.loadFailed()) << cut;
        EXPECT_TRUE(room.Boundaries.empty()) << cut;
    }
    // A negative count of the oldest form.
    Room counted;
    MemoryStream negative(flatRecord(51, -1, 0));
    EXPECT_EQ(errorKey([&] { (void)counted.ReadRecord(negative, 51); }), "IDS_DATAREADERROR");
    // More counted than there is.
    MemoryStream overlong(flatRecord(51, 1, 0).substr(0, flatRecord(51, 1, 0).size() - 4));
    EXPECT_EQ(errorKey([&] { (void)counted.ReadRecord(overlong, 51); }), "IDS_DATAREADERROR");

    for (const std::int16_t version : {std::int16_t{49}, std::int16_t{56}}) {
        Room room;
        MemoryStream in(record);
        EXPECT_FALSE(room.ReadRecord(in, version));
        EXPECT_TRUE(room.loadFailed());
    }
    EXPECT_EQ(prompter.messages(),
              (std::vector<std::string>{"Version 49 is unknown.", "Version 56 is unknown."}));
}

TEST_F(RoomRecord, ClipboardCarriesTheBuildingName) {
    Room room;
    MemoryStream in(currentRecord(false));
    ASSERT_TRUE(room.ReadRecord(in, 55));
    room.Name = "Birou 2";
    room.BuildingName = "Bloc A";
    ClipboardDocument copy(textLookup());
    ASSERT_TRUE(room.CopyTo(copy, ItemContext{}, ClipboardCopy::RecordOnly));
    MemoryStream pasted(copy.privateStream().bytes());
    Room back;
    ASSERT_TRUE(back.PasteFrom(pasted));
    EXPECT_EQ(back.Name, "Birou 2");
    EXPECT_EQ(back.BuildingName, "Bloc A");
    EXPECT_EQ(written(back), written(room));
    // Without the building's name the paste fails instead of reading past the data.
    const std::string bytes = copy.privateStream().bytes();
    MemoryStream cut(bytes.substr(0, bytes.size() - 3));
    Room partial;
    EXPECT_FALSE(partial.PasteFrom(cut));
}

TEST_F(RoomRecord, RadiatorsOfEachRoomVersion) {
    // A radiator of a 54 room is the 103 form with the element record of 257.
    const std::string radiator103 = Bytes()
                                        .chunk(201, test::radiatorNamesChunk())
                                        .i16(202)
                                        .u16(0)
                                        .chunk(101, test::hydraulicPointsChunk(true))
                                        .chunk(102, test::resistancePayload(1, true))
                                        .i16(100)
                                        .u16(0)
                                        .i16(200)
                                        .u16(0);
    const std::string record = Bytes().chunk(1, mainChunk()).chunk(8, radiator103).i16(0);
    Room room;
    MemoryStream in(record);
    ASSERT_TRUE(room.ReadRecord(in, 54));
    ASSERT_EQ(room.Radiators.size(), 1u);
    EXPECT_EQ(room.Radiators[0].Hydraulic.Points[1].Size2, 14);
    EXPECT_EQ(room.Radiators[0].Hydraulic.Resists[0].Value3, 1.75f);
    // Written current, it reads back the same.
    const std::string current = written(room);
    Room again;
    MemoryStream back(current);
    ASSERT_TRUE(again.ReadRecord(back, 55));
    EXPECT_EQ(written(again), current);
}

} // namespace
} // namespace kalydor
