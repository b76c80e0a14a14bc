// The change of many radiators: temperatures with or without their difference kept, the
// rules that replace a family and main type, the rules file, and the change run over the
// rooms after every radiator was tried on a copy.

#include "rooms/radiatorchange.h"

#include "rooms/room.h"
#include "rooms/roombulkchange.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"

#include "rooms/roomfixtures.h"
#include "support/errorkey.h"
#include "support/fakelanguage.h"
#include "support/radiatorfamilies.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace kalydor {
namespace {

Radiator radiator(const std::string& code, float forward, float backward,
                  testing::TestFamilies& families) {
    Radiator r;
    r.Mark = "1";
    r.Family = "Panel Test";
    r.TypeCode = code;
    r.setForwardTemperature(forward);
    r.setBackwardTemperature(backward);
    r.Refresh(families, 20);
    return r;
}

TEST(RadiatorChange, TemperaturesRulesAndSizes) {
    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."}};
    testing::TestFamilies families;
    const Radiator p11 = radiator("P11-600-800", 90, 70, families);
    ASSERT_EQ(p11.Power(), 800.0f);
    const ChangeRule toP22{1, "Panel Test", "P11-600", "Panel Test", "P22-600"};
    const ChangeRule elsewhere{1, "Panel Test", "P11-600", "Radiator nou", "X"};

    const struct {
        const char* name;
        const char* forward;
        const char* backward;
        bool fix;
        bool newSize;
        std::vector<ChangeRule> rules;
        float wantForward, wantBackward;
        std::string wantFamily, wantCode;
        bool smaller; // the output at the new temperatures is below 800 W
    } cases[] = {
        {"70 keeping the difference",
         "70",
         "",
         true,
         false,
         {},
         70,
         50,
         "Panel Test",
         "P11-600-800",
         true},
        {"return alone", "", "60", false, false, {}, 90, 60, "Panel Test", "P11-600-800", false},
        {"a rule: the nearest P22 size",
         "",
         "",
         false,
         false,
         {toP22},
         90,
         70,
         "Panel Test",
         "P22-600-400",
         true},
        {"a new size at 70/50",
         "70",
         "50",
         false,
         true,
         {},
         70,
         50,
         "Panel Test",
         "P11-600-1200",
         false},
        {"an unknown new family: only the family",
         "",
         "",
         false,
         false,
         {elsewhere},
         90,
         70,
         "Radiator nou",
         "P11-600-800",
         false},
    };
    for (const auto& c : cases) {
        RadiatorChangeSettings settings =
            RadiatorChangeSettings::read(c.forward, c.backward, c.fix, c.newSize);
        settings.rules = c.rules;
        Radiator changed = p11;
        ApplyChange(changed, settings, 20, families);
        EXPECT_EQ(changed.ForwardTemperature(), c.wantForward) << c.name;
        EXPECT_EQ(changed.BackwardTemperature(), c.wantBackward) << c.name;
        EXPECT_EQ(changed.Family, c.wantFamily) << c.name;
        EXPECT_EQ(changed.TypeCode, c.wantCode) << c.name;
        if (c.smaller) {
            EXPECT_LT(changed.Power(), 800.0f) << c.name;
        }
        EXPECT_EQ(settings.qualifies(p11, families),
                  c.rules.empty() || c.rules[0].matches("Panel Test", "P11-600"))
            << c.name;
    }
    for (const auto& [forward, backward] : {std::pair{"70", "50"}, std::pair{"", ""}})
        EXPECT_EQ(testing::errorKey(
                      [&] { (void)RadiatorChangeSettings::read(forward, backward, true, false); }),
                  "IDS_FIXDTERROR");
    EXPECT_EQ(
        testing::errorKey([] { (void)RadiatorChangeSettings::read("cald", "", false, false); }),
        "IDS_WRONGVALUE");
    // Temperatures the sizing refuses leave the radiator as it was.
    RadiatorChangeSettings cold = RadiatorChangeSettings::read("15", "10", false, true);
    Radiator kept = p11;
    EXPECT_FALSE(testing::errorKey([&] { ApplyChange(kept, cold, 20, families); }).empty());
    EXPECT_EQ(kept.ForwardTemperature(), 90.0f);
}

TEST(RadiatorChange, RulesFile) {
    test::FakeLanguage language{{"IDS_RULESFILEERROR", "Line %d: %s"}};
    const std::vector<ChangeRule> rules =
        changerules::parse("Kalydor_Change_Rules\n1#Panel#P11#Panel#P22#tail\r\n\n1#Vechi#A#\xC8"
                           "elik#B\r\n");
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].NewMainType, "P22#tail"); // what follows the fourth "#"
    EXPECT_EQ(rules[1].NewFamily, "Čelik");      // Windows-1250 read as such

    for (const char* bad :
         {"", "Other\r\n", "Kalydor_Change_Rules\r\n1#A#B#C\r\n",
          "Kalydor_Change_Rules\r\n300#A#B#C#D\r\n", "Kalydor_Change_Rules\r\nx#A#B#C#D\r\n"})
        EXPECT_EQ(testing::errorKey([&] { (void)changerules::parse(bad); }), "IDS_RULESFILEERROR")
            << bad;

    const std::vector<ChangeRule> written = {{1, "A", "a", "B", "b"}, {1, "C", "c", "", ""}};
    EXPECT_EQ(changerules::write(written), "Kalydor_Change_Rules\r\n1#A#a#B#b\r\n");
    EXPECT_EQ(changerules::parse(changerules::write(written)).size(), 1u);
    EXPECT_EQ(testing::errorKey([] {
                  (void)changerules::write({{1, "A#1", "a", "B", "b"}});
              }),
              "IDS_RULESFILEERROR");
    EXPECT_EQ(testing::errorKey([] {
                  (void)changerules::write({{1, "A", "a", "B\nC", "b"}});
              }),
              "IDS_RULESFILEERROR");

    // Saving into a rules file replaces the rule of the same kind and old pair.
    test::TempDir dir;
    const std::string file = dir.file("reguli.krr");
    changerules::save(file, {{1, "A", "a", "B", "b"}, {1, "C", "c", "D", "d"}});
    changerules::save(file, {{1, "A", "a", "E", "e"}, {1, "F", "f", "G", "g"}});
    const std::vector<ChangeRule> merged = changerules::load(file);
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(merged[0].NewFamily, "E");
    EXPECT_EQ(merged[2].OldFamily, "F");

    // A damaged rules file is refused, not overwritten.
    std::ofstream(file, std::ios::binary) << "Kalydor_Change_Rules\r\nbroken line\r\n";
    EXPECT_EQ(testing::errorKey([&] {
                  changerules::save(file, {{1, "A", "a", "B", "b"}});
              }),
              "IDS_RULESFILEERROR");
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
              "Kalydor_Change_Rules\r\nbroken line\r\n");
}

TEST(RadiatorChange, TriedOnCopiesThenRunOverTheRooms) {
    test::FakeLanguage language{{"IDS_RADIATORCHANGEERROR", "Room %s, radiator %s: %s"}};
    testing::TestFamilies families;
    test::TempDir dir;
    ItemStore project(dir.path().string(), "p", TableMode::Create, TableKind::Project);
    const std::string group = project.GroupOfPath(RecordType::RoomGroup, "Parter", '\\');
    std::vector<Reference> rooms;
    for (const char* name : {"Living", "Baie"}) {
        Room room = test::office();
        room.Name = name;
        room.Radiators = {radiator("P11-600-800", 90, 70, families),
                          radiator("P22-600-800", 90, 70, families)};
        room.Radiators[1].Mark = "2";
        rooms.push_back({RecordType::Room, name, group,
                         project.AddRecord(RecordType::Room, group, name, room.recordBytes())});
    }
    RadiatorChangeSettings settings = RadiatorChangeSettings::read("70", "", true, false);
    settings.rules = {{1, "Panel Test", "P11-600", "Panel Test", "P22-600"}};
    const std::vector<RadiatorCandidate> candidates =
        FindRadiatorCandidates(project, rooms, settings, families);
    ASSERT_EQ(candidates.size(), 2u); // the P11 of each room
    // At 70/50 °C the 800 W demand is met nearest by the P22 of 800 mm.
    EXPECT_EQ(candidates[0].after.TypeCode, "P22-600-800");
    EXPECT_EQ(candidates[0].after.BackwardTemperature(), 50.0f);

    // The first room's only.
    const RadiatorChange change({candidates[0]}, settings, families);
    const RoomBulkResult result = ChangeRooms(project, change.rooms(),
                                              {-15,
                                               [&](Room& r, double ti) {
                                                   for (Radiator& each : r.Radiators)
                                                       each.Refresh(families, ti);
                                               }},
                                              change);
    EXPECT_EQ(result.rooms, 1u);
    EXPECT_EQ(result.changed, 1u);
    ASSERT_TRUE(project.FindRecord(RecordType::Room, group, "Living"));
    Room living;
    ASSERT_TRUE(readStoredItem(living, project.currentData()));
    EXPECT_EQ(living.Radiators[0].TypeCode, "P22-600-800");
    EXPECT_EQ(living.Radiators[0].BackwardTemperature(), 50.0f);
    EXPECT_EQ(living.Radiators[1].BackwardTemperature(), 70.0f); // not chosen

    // An error shows before anything is written, naming the room and the radiator.
    RadiatorChangeSettings cold = RadiatorChangeSettings::read("15", "10", false, true);
    try {
        (void)FindRadiatorCandidates(project, rooms, cold, families);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.key(), "IDS_RADIATORCHANGEERROR");
        // The first radiator the change meets that fails: its room and its mark.
        const std::string text = error.text();
        EXPECT_TRUE(text.rfind("Room Living, radiator 1: ", 0) == 0 ||
                    text.rfind("Room Baie, radiator 1: ", 0) == 0)
            << text;
    }
}

} // namespace
} // namespace kalydor
