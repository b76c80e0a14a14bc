// The records rooms carry without calculating them: the gain entries in both stored forms,
// the floor-heating field with and without its extension, and the summer table.

#include "heating/floorheatingfield.h"
#include "rooms/internalpowers.h"

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

template <class Item> std::string written(const Item& item) {
    MemoryStream out;
    item.WriteRecord(out);
    return out.bytes();
}

TEST(InternalPowers, EveryClassInBothForms) {
    std::string name32(32, 'x'); // a fixed name without its closing NUL
    struct Case {
        const char* name;
        GainKind kind;
        int roomVersion;
        std::string record;
        std::string writtenBack; // the current form; empty: the record itself
        std::function<void(const InternalPower&)> check;
    };
    const Case cases[] = {
        {"occupants, current, B 300", GainKind::Occupants, 55,
         Bytes().i16(2).i16(300).f32(1.5f).f32(80), "",
         [](const InternalPower& p) {
             const auto& m = static_cast<const ManPower&>(p);
             EXPECT_EQ(m.A, 2);
             EXPECT_EQ(m.B, 300);
             EXPECT_EQ(m.C, 1.5f);
             EXPECT_EQ(m.Value, 80.0f);
         }},
        {"occupants, oldest", GainKind::Occupants, 51, Bytes().i16(2).raw("\x09").f32(80),
         Bytes().i16(2).i16(9).f32(0).f32(80),
         [](const InternalPower& p) { EXPECT_EQ(static_cast<const ManPower&>(p).B, 9); }},
        {"lighting, current", GainKind::Lighting, 52, Bytes().f32(10).i16(-3).f32(0.8f).f32(40), "",
         [](const InternalPower& p) { EXPECT_EQ(static_cast<const LightingPower&>(p).B, -3); }},
        {"lighting, oldest", GainKind::Lighting, 50, Bytes().f32(10).raw("\xff").f32(0.8f).f32(40),
         Bytes().f32(10).i16(255).f32(0.8f).f32(40),
         [](const InternalPower& p) { EXPECT_EQ(static_cast<const LightingPower&>(p).C, 0.8f); }},
        {"air", GainKind::Air, 54,
         Bytes().i16(400).i16(2).f32(3).f32(4).i16(5).f32(6).f32(7).bits(test::kNaNBits).f32(9), "",
         [](const InternalPower& p) {
             const auto& a = static_cast<const AirPower&>(p);
             EXPECT_EQ(a.A, 400);
             EXPECT_EQ(a.E, 5);
             EXPECT_EQ(std::bit_cast<std::uint32_t>(a.H), test::kNaNBits);
         }},
        {"transport, current", GainKind::Transport, 55,
         Bytes().s("Lift").f32(1).f32(2).f32(3).f32(4).f32(5), "",
         [](const InternalPower& p) {
             EXPECT_EQ(static_cast<const TransportPower&>(p).Name, "Lift");
         }},
        {"transport, oldest: no name", GainKind::Transport, 51,
         Bytes().f32(1).f32(2).f32(3).f32(4).f32(5),
         Bytes().s("").f32(1).f32(2).f32(3).f32(4).f32(5),
         [](const InternalPower& p) {
             EXPECT_EQ(static_cast<const TransportPower&>(p).Values[3], 4.0f);
         }},
        {"other, current", GainKind::Other, 53, Bytes().s("Cuptor").f32(2).f32(1500), "",
         [](const InternalPower& p) { EXPECT_EQ(p.Value, 1500.0f); }},
        {"other, oldest: a 32-byte name without NUL", GainKind::Other, 50,
         Bytes().raw(name32).f32(2).f32(1500), Bytes().s(name32).f32(2).f32(1500),
         [&](const InternalPower& p) {
             EXPECT_EQ(static_cast<const OtherCoolingPower&>(p).Name, name32);
         }},
    };
    for (const Case& c : cases) {
        std::unique_ptr<InternalPower> entry = createInternalPower(c.kind);
        EXPECT_EQ(entry->kind(), c.kind);
        EXPECT_EQ(gainKindOfTag(gainChunkTag(c.kind)), c.kind);
        MemoryStream in(c.record);
        ASSERT_TRUE(entry->ReadRecord(in, c.roomVersion)) << c.name;
        EXPECT_EQ(in.remaining(), 0u) << c.name;
        c.check(*entry);
        const std::string expected = c.writtenBack.empty() ? c.record : c.writtenBack;
        EXPECT_EQ(written(*entry), expected) << c.name;

        // Every cut of the record fails whole and leaves a fresh entry at its defaults.
        for (std::size_t cut = 0; cut < c.record.size(); ++cut) {
            std::unique_ptr<InternalPower> fresh = createInternalPower(c.kind);
            const std::string defaults = written(*fresh);
            MemoryStream part(c.record.substr(0, cut));
            EXPECT_EQ(errorKey([&] { (void)fresh->ReadRecord(part, c.roomVersion); }),
                      "IDS_DATAREADERROR")
                << c.name << " cut at " << cut;
            EXPECT_EQ(written(*fresh), defaults) << c.name << " cut at " << cut;
        }
    }
    EXPECT_EQ(gainKindOfTag(2), std::nullopt);
    EXPECT_EQ(gainKindOfTag(8), std::nullopt);
}

TEST(InternalPowers, DefaultsCopiesAndHours) {
    EXPECT_EQ(LightingPower{}.C, 1.0f);
    EXPECT_EQ(AirPower{}.E, 1);
    ManPower man;
    man.Value = 5;
    man.Hours[13] = 7;
    const std::unique_ptr<InternalPower> copy = man.clone();
    EXPECT_EQ(copy->Value, 5.0f);
    EXPECT_EQ(copy->Hours[13], 7.0f);
    man.resetHours();
    EXPECT_EQ(man.Hours[13], 0.0f);
    EXPECT_EQ(copy->Hours[13], 7.0f);

    test::FakeLanguage language{{"IDS_VERSIONERR", "Version %d is unknown."}};
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
    MemoryStream in(Bytes().i16(1).i16(2).f32(3).f32(4).str());
    EXPECT_FALSE(man.ReadRecord(in, 56));
    EXPECT_EQ(prompter.messages(), std::vector<std::string>{"Version 56 is unknown."});
}

TEST(HourlyCoolingLoad, SevenOrEightComponentsAnHour) {
    Bytes seven, eight;
    for (int h = 0; h < 24; ++h) {
        for (int c = 0; c < 8; ++c) {
            const auto value = static_cast<float>(h * 10 + c);
            eight.f32(value);
            if (c != 4)
                seven.f32(value);
        }
    }
    HourlyCoolingLoad load;
    MemoryStream in(seven.str());
    load.read(in, 7);
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(load.values[3], (std::array<float, 8>{30, 31, 32, 33, 0, 35, 36, 37}));
    MemoryStream out;
    load.write(out);
    EXPECT_EQ(out.size(), 24u * 8 * 4);

    MemoryStream full(eight.str());
    load.read(full, 8);
    MemoryStream again;
    load.write(again);
    EXPECT_EQ(again.bytes(), eight.str());
}

// The smallest field: two empty texts (3 bytes each) and 88 bytes of values.
std::string smallestField() {
    Bytes b;
    b.s("").s("").f32(1).i16(2).f32(3).f32(4).f32(5).i16(-1);
    for (int i = 0; i < 7; ++i)
        b.f32(static_cast<float>(10 + i));
    b.i16(-1);
    b.i16(7).i16(8).i16(9);
    for (int i = 0; i < 8; ++i)
        b.f32(static_cast<float>(20 + i));
    return b;
}

TEST(FloorHeatingField, ExtensionByRoomVersion) {
    const std::string record = smallestField();
    ASSERT_EQ(record.size(), 94u);
    FloorHeatingField field;
    field.TransientValue = 3;
    MemoryStream in(record);
    ASSERT_TRUE(field.ReadRecord(in, 55));
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(field.Code1, 2);
    EXPECT_EQ(field.Values5To11[6], 16.0f);
    EXPECT_EQ(field.Code4, 7);
    EXPECT_EQ(field.Values12To19[7], 27.0f);
    EXPECT_EQ(field.TransientValue, 0.0f);
    MemoryStream out;
    field.WriteRecord(out);
    EXPECT_EQ(out.bytes(), record);

    // Rooms 52 and 53 hold only the base part: the extension keeps its defaults, and writing
    // adds it.
    for (const int version : {52, 53}) {
        FloorHeatingField old;
        MemoryStream base(record.substr(0, 94 - 38));
        ASSERT_TRUE(old.ReadRecord(base, version)) << version;
        EXPECT_EQ(base.remaining(), 0u);
        EXPECT_EQ(old.Code4, 1);
        EXPECT_EQ(old.Code5, 0);
        EXPECT_EQ(old.Values12To19, (std::array<float, 8>{}));
        MemoryStream widened;
        old.WriteRecord(widened);
        EXPECT_EQ(widened.size(), 94u);
    }
    for (std::size_t cut = 0; cut < record.size(); cut += 3) {
        FloorHeatingField kept;
        kept.Text1 = "kept";
        MemoryStream part(record.substr(0, cut));
        EXPECT_EQ(errorKey([&] { (void)kept.ReadRecord(part, 55); }), "IDS_DATAREADERROR") << cut;
        EXPECT_EQ(kept.Text1, "kept");
    }
}

} // namespace
} // namespace kalydor
