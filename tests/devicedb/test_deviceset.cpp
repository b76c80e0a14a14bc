#include "devicedb/deviceset.h"

#include "base/error.h"
#include "devicedb/devicestore.h"

#include "devicedb/devicetestfiles.h"
#include "support/bytes.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kalydor {
namespace {

using test::fileBytes;
using test::writeBytes;
using Names = std::vector<std::string>;

std::string i16(int v) {
    return test::bytes({static_cast<unsigned>(v) & 0xFF, (static_cast<unsigned>(v) >> 8) & 0xFF});
}
std::string i32(std::int64_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return test::bytes({u & 0xFF, (u >> 8) & 0xFF, (u >> 16) & 0xFF, u >> 24});
}
std::string str(const std::string& s) {
    return i16(static_cast<int>(s.size()) + 1) + s + std::string(1, '\0');
}
std::string section(const std::string& name, const Names& names) {
    std::string bytes = str(name) + i32(static_cast<std::int64_t>(names.size()));
    for (const std::string& n : names)
        bytes += str(n);
    return bytes;
}
const std::string kHeader = str("Kalydor 3.0 Set file");

// Families F1, F2, F3 and piece lists P1, P2.
DeviceSet sampleSet(SetSelection selection = SetSelection::With) {
    DeviceHierarchy families(DeviceKind::RadiatorFamily);
    families.put("F1", "Oțel");
    families.put("F2", "Oțel\\Panouri");
    families.put("F3", "");
    DeviceHierarchy pieces(DeviceKind::PieceList);
    pieces.put("P1", "Accesorii");
    pieces.put("P2", "");
    return DeviceSet(std::move(families), std::move(pieces), selection);
}

std::vector<DeviceSetEntry> walk(const DeviceSet& set) {
    std::vector<DeviceSetEntry> entries;
    DeviceSet::Position position;
    while (const std::optional<DeviceSetEntry> entry = set.next(position))
        entries.push_back(*entry);
    return entries;
}

Names selectedNames(const DeviceSet& set) {
    Names names;
    for (const DeviceSetEntry& entry : walk(set))
        names.push_back(entry.name);
    return names;
}

TEST(DeviceSet, AllItemsWalksEveryItemFamiliesFirst) {
    const DeviceSet set = sampleSet();
    EXPECT_TRUE(set.AllItems);
    EXPECT_TRUE(set.WithSelection);
    EXPECT_EQ(set.hierarchy(DeviceKind::RadiatorFamily).Selected,
              (std::vector<bool>{false, false, false}));
    const std::vector<DeviceSetEntry> expected = {
        {DeviceKind::RadiatorFamily, "F1", "Oțel"},
        {DeviceKind::RadiatorFamily, "F2", "Oțel\\Panouri"},
        {DeviceKind::RadiatorFamily, "F3", ""},
        {DeviceKind::PieceList, "P1", "Accesorii"},
        {DeviceKind::PieceList, "P2", ""},
    };
    EXPECT_EQ(walk(set), expected);
    EXPECT_TRUE(set.isSelected(DeviceKind::PieceList, "P1"));
    EXPECT_FALSE(set.isSelected(DeviceKind::PieceList, "F1"));
}

TEST(DeviceSet, ASetFileSelectsTheNamesThatStillExist) {
    test::TempDir dir;
    const std::string path = dir.file("choice.set");
    // Listed out of order, with a name that is gone and a section this program does not know.
    writeBytes(path, kHeader + section("[RADIATORS]", {"F3", "Gone", "F1"}) +
                         section("[VALVES]", {"V1", "V2"}) + section("[ITEMLISTS]", {"P2"}));
    DeviceSet set = sampleSet();
    set.loadFile(path);
    EXPECT_FALSE(set.AllItems);
    EXPECT_EQ(set.FileName, path);
    EXPECT_EQ(selectedNames(set), (Names{"F1", "F3", "P2"}));
    EXPECT_TRUE(set.isSelected(DeviceKind::RadiatorFamily, "F3"));
    EXPECT_FALSE(set.isSelected(DeviceKind::RadiatorFamily, "F2"));
    EXPECT_FALSE(set.isSelected(DeviceKind::RadiatorFamily, "Gone"));

    // A file with one section changes only that kind's flags.
    writeBytes(path, kHeader + section("[ITEMLISTS]", {"P1"}));
    set.loadFile(path);
    EXPECT_EQ(selectedNames(set), (Names{"F1", "F3", "P1"}));
}

TEST(DeviceSet, SavedFileHoldsTheSelectionAndLoadsBack) {
    test::TempDir dir;
    const std::string path = dir.file("choice.set");
    DeviceSet set = sampleSet();
    set.AllItems = false;
    ASSERT_TRUE(set.select(DeviceKind::RadiatorFamily, "F2", true));
    ASSERT_TRUE(set.select(DeviceKind::PieceList, "P1", true));
    EXPECT_FALSE(set.select(DeviceKind::PieceList, "Gone", true));
    set.saveFile(path);
    EXPECT_EQ(set.FileName, path);
    EXPECT_EQ(fileBytes(path),
              kHeader + section("[RADIATORS]", {"F2"}) + section("[ITEMLISTS]", {"P1"}));

    DeviceSet other = sampleSet(SetSelection::Without);
    other.loadFile(path);
    EXPECT_EQ(selectedNames(other), (Names{"F2", "P1"}));

    // With every item counting, every name is written.
    DeviceSet all = sampleSet();
    all.saveFile(path);
    EXPECT_EQ(fileBytes(path), kHeader + section("[RADIATORS]", {"F1", "F2", "F3"}) +
                                   section("[ITEMLISTS]", {"P1", "P2"}));
}

// A file that is not a whole set file changes nothing: no flag, not AllItems, not FileName.
TEST(DeviceSet, ABadSetFileLeavesTheSetAsItWas) {
    test::FakeLanguage language{{"IDS_SETFILEERROR", "Not a set file"}};
    test::TempDir dir;
    const std::string good =
        kHeader + section("[RADIATORS]", {"F1"}) + section("[ITEMLISTS]", {"P2"});
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"wrong header", str("Kalydor 2.0 Set file") + section("[RADIATORS]", {"F1"})},
        {"cut short", good.substr(0, good.size() - 1)},
        {"cut inside a count", kHeader + str("[RADIATORS]") + i32(1).substr(0, 2)},
        {"huge count", kHeader + str("[RADIATORS]") + i32(0x7FFFFFFF) + str("F1")},
        {"count beyond the bytes", kHeader + str("[RADIATORS]") + i32(3) + str("F1") + str("F2")},
        {"negative count", kHeader + str("[RADIATORS]") + i32(-1)},
        {"stray byte after the sections", good + "x"},
        {"empty file", ""},
        {"text file", "[RADIATORS]\r\nF1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.file("bad.set");
        writeBytes(path, c.bytes);
        DeviceSet set = sampleSet();
        set.FileName = "previous.set";
        ASSERT_TRUE(set.select(DeviceKind::RadiatorFamily, "F2", true));
        try {
            set.loadFile(path);
            ADD_FAILURE() << "loaded";
        } catch (const Error& error) {
            EXPECT_EQ(error.key(), "IDS_SETFILEERROR");
            EXPECT_EQ(error.text(), "Not a set file [" + path + "]");
        }
        EXPECT_TRUE(set.AllItems);
        EXPECT_EQ(set.FileName, "previous.set");
        EXPECT_EQ(set.hierarchy(DeviceKind::RadiatorFamily).Selected,
                  (std::vector<bool>{false, true, false}));
        EXPECT_EQ(set.hierarchy(DeviceKind::PieceList).Selected, (std::vector<bool>{false, false}));
    }
    DeviceSet set = sampleSet();
    for (const std::string& path : {dir.file("missing.set"), dir.path().string()}) {
        EXPECT_EQ(test::errorKey([&] { set.loadFile(path); }), "IDS_SETFILEERROR");
        EXPECT_TRUE(set.AllItems);
    }
}

TEST(DeviceSet, ReadsItsListsFromTheTable) {
    test::TempDir dir;
    auto store = DeviceStore::create(dir.file("t.db"));
    DeviceHierarchy pieces(DeviceKind::PieceList);
    pieces.put("P1", "A");
    pieces.put("P2", "A\\B", 3);
    pieces.save(*store);

    const DeviceSet with(*store, SetSelection::With);
    EXPECT_EQ(with.hierarchy(DeviceKind::RadiatorFamily).size(), 0u);
    EXPECT_EQ(with.hierarchy(DeviceKind::PieceList).Names, (Names{"P1", "P2"}));
    EXPECT_EQ(with.hierarchy(DeviceKind::PieceList).Selected, (std::vector<bool>{false, false}));
    const DeviceSet without(*store, SetSelection::Without);
    EXPECT_FALSE(without.WithSelection);
    EXPECT_TRUE(without.hierarchy(DeviceKind::PieceList).Selected.empty());
    EXPECT_EQ(selectedNames(without), (Names{"P1", "P2"}));
}

} // namespace
} // namespace kalydor
