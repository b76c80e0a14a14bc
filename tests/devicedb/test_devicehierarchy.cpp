#include "devicedb/devicehierarchy.h"

#include "base/error.h"
#include "devicedb/devicestore.h"
#include "store/sqlitedatabase.h"
#include "store/treemodel.h"

#include "devicedb/devicetestfiles.h"
#include "support/bytes.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kalydor {
namespace {

using test::errorKey;

// Pieces of a stored record: little-endian int16 and counted strings.
std::string i16(int v) {
    return test::bytes({static_cast<unsigned>(v) & 0xFF, (static_cast<unsigned>(v) >> 8) & 0xFF});
}
std::string str(const std::string& s) {
    return i16(static_cast<int>(s.size()) + 1) + s + std::string(1, '\0');
}

using Names = std::vector<std::string>;

void expectParallel(const DeviceHierarchy& h) {
    EXPECT_EQ(h.Paths.size(), h.Names.size());
    EXPECT_TRUE(h.Values.empty() || h.Values.size() == h.Names.size());
    EXPECT_TRUE(h.Selected.empty() || h.Selected.size() == h.Names.size());
}

TEST(DeviceHierarchy, RecordFormsByteForByte) {
    DeviceHierarchy h(DeviceKind::PieceList);
    h.put("Set A", "Accesorii\\Robineți");
    h.put("Set B", "");
    EXPECT_EQ(h.recordDate(), (DeviceDate{1901, 1, 1}));
    EXPECT_EQ(h.recordData(),
              i16(2) + str("Set A") + str("Accesorii\\Robineți") + str("Set B") + str(""));

    h.put("Set B", "", 7);
    EXPECT_EQ(h.recordDate(), (DeviceDate{1901, 1, 2}));
    EXPECT_EQ(h.recordData(), i16(2) + str("Set A") + str("Accesorii\\Robineți") + i16(0) +
                                  str("Set B") + str("") + i16(7));

    test::TempDir dir;
    auto store = DeviceStore::create(dir.file("t.db"));
    h.save(*store);
    EXPECT_EQ(store->find(16385, "Hierarchy"),
              (DeviceRecord{16385, "Hierarchy", {1901, 1, 2}, h.recordData()}));
    DeviceHierarchy loaded(DeviceKind::PieceList);
    loaded.load(*store);
    EXPECT_EQ(loaded.Names, h.Names);
    EXPECT_EQ(loaded.Paths, h.Paths);
    EXPECT_EQ(loaded.Values, h.Values);
    // The other kind has no record: an empty list.
    DeviceHierarchy families(DeviceKind::RadiatorFamily);
    families.put("stale", "");
    families.load(*store);
    EXPECT_EQ(families.size(), 0u);
}

TEST(DeviceHierarchy, ReadsEveryStoredForm) {
    struct Case {
        const char* what;
        DeviceDate date;
        std::string data;
        Names names;
        Names paths;
        std::vector<std::int16_t> values;
    };
    const Case cases[] = {
        {"without values", {1901, 1, 1}, i16(1) + str("F") + str("A\\B"), {"F"}, {"A\\B"}, {}},
        {"with values",
         {1901, 1, 2},
         i16(2) + str("F") + str("A") + i16(-3) + str("G") + str("") + i16(12),
         {"F", "G"},
         {"A", ""},
         {-3, 12}},
        {"no entries", {1901, 1, 2}, i16(0), {}, {}, {}},
        {"older form", {}, str("F\r\nG\r\n") + str("A\r\nB\r\n"), {"F", "G"}, {"A", "B"}, {}},
        {"older form, fewer paths",
         {},
         str("F\r\nG\r\nH\r\n") + str("A\r\n"),
         {"F", "G", "H"},
         {"A", "", ""},
         {}},
        {"older form, fewer names", {}, str("F") + str("A\r\nB"), {"F", ""}, {"A", "B"}, {}},
        {"older form, empty", {}, str("") + str(""), {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeviceHierarchy h(DeviceKind::RadiatorFamily);
        h.read(c.date, c.data);
        EXPECT_EQ(h.Names, c.names);
        EXPECT_EQ(h.Paths, c.paths);
        EXPECT_EQ(h.Values, c.values);
    }
}

TEST(DeviceHierarchy, ADamagedRecordLeavesTheListsEmpty) {
    const std::string good = i16(2) + str("F") + str("A") + str("G") + str("B");
    struct Case {
        const char* what;
        DeviceDate date;
        std::string data;
    };
    const Case cases[] = {
        {"cut short", {1901, 1, 1}, good.substr(0, good.size() - 1)},
        {"values missing", {1901, 1, 2}, good},
        {"negative count", {1901, 1, 1}, i16(-1)},
        {"count beyond the data", {1901, 1, 1}, i16(32767) + str("F") + str("A")},
        {"empty data", {1901, 1, 1}, ""},
        {"unknown form", {1901, 1, 3}, good},
        {"older form cut short", {}, str("F\r\nG")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeviceHierarchy h(DeviceKind::RadiatorFamily);
        h.put("stale", "X", 1);
        h.clearSelection();
        EXPECT_EQ(errorKey([&] { h.read(c.date, c.data); }), "IDS_DATAREADERROR");
        EXPECT_EQ(h.size(), 0u);
        EXPECT_TRUE(h.Paths.empty());
        EXPECT_TRUE(h.Values.empty());
        EXPECT_TRUE(h.Selected.empty());
    }
    // The same through the table.
    test::TempDir dir;
    auto store = DeviceStore::create(dir.file("t.db"));
    store->put(16384, "Hierarchy", {1901, 1, 1}, i16(-1));
    DeviceHierarchy h(DeviceKind::RadiatorFamily);
    h.put("stale", "X");
    EXPECT_EQ(errorKey([&] { h.load(*store); }), "IDS_DATAREADERROR");
    EXPECT_EQ(h.size(), 0u);
}

TEST(DeviceHierarchy, ListsThatCannotBeStoredAreRefusedBeforeWriting) {
    test::TempDir dir;
    auto store = DeviceStore::create(dir.file("t.db"));
    DeviceHierarchy saved(DeviceKind::RadiatorFamily);
    saved.put("F", "A");
    saved.save(*store);
    const auto before = store->find(16384, "Hierarchy");

    DeviceHierarchy tooMany(DeviceKind::RadiatorFamily);
    tooMany.Names.assign(32768, "n");
    tooMany.Paths.assign(32768, "");
    DeviceHierarchy notParallel(DeviceKind::RadiatorFamily);
    notParallel.Names = {"F", "G"};
    notParallel.Paths = {"A"};
    DeviceHierarchy valuesNotParallel(DeviceKind::RadiatorFamily);
    valuesNotParallel.Names = {"F", "G"};
    valuesNotParallel.Paths = {"A", "B"};
    valuesNotParallel.Values = {1};
    for (const DeviceHierarchy* h : {&tooMany, &notParallel, &valuesNotParallel}) {
        EXPECT_EQ(errorKey([&] { h->save(*store); }), "IDS_RADIATORDATAERROR");
        EXPECT_EQ(store->find(16384, "Hierarchy"), before);
    }
    // The largest list that fits is written and read back.
    DeviceHierarchy largest(DeviceKind::RadiatorFamily);
    largest.Names.assign(32767, "n");
    largest.Paths.assign(32767, "");
    largest.save(*store);
    DeviceHierarchy read(DeviceKind::RadiatorFamily);
    read.load(*store);
    EXPECT_EQ(read.size(), 32767u);
}

TEST(DeviceHierarchy, PutAndRemoveKeepTheListsParallel) {
    DeviceHierarchy h(DeviceKind::RadiatorFamily);
    h.put("A", "X");
    h.put("B", "Y");
    h.clearSelection();
    h.Selected[1] = true;
    h.put("C", "Z", 5); // values come into use: 0 for the entries before
    h.put("A", "X\\Nou");
    h.put("D", "W");
    h.put("B", "Y", 9);
    expectParallel(h);
    EXPECT_EQ(h.Names, (Names{"A", "B", "C", "D"}));
    EXPECT_EQ(h.Paths, (Names{"X\\Nou", "Y", "Z", "W"}));
    EXPECT_EQ(h.Values, (std::vector<std::int16_t>{0, 9, 5, 0}));
    EXPECT_EQ(h.Selected, (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(h.indexOf("C"), 2);
    EXPECT_EQ(h.indexOf("c"), -1);

    EXPECT_TRUE(h.remove("B"));
    EXPECT_FALSE(h.remove("B"));
    expectParallel(h);
    EXPECT_EQ(h.Names, (Names{"A", "C", "D"}));
    EXPECT_EQ(h.Paths, (Names{"X\\Nou", "Z", "W"}));
    EXPECT_EQ(h.Values, (std::vector<std::int16_t>{0, 5, 0}));
    EXPECT_EQ(h.Selected, (std::vector<bool>{false, false, false}));

    h.Selected[1] = true;
    h.keepSelected();
    EXPECT_EQ(h.Names, (Names{"C"}));
    EXPECT_EQ(h.Values, (std::vector<std::int16_t>{5}));
    expectParallel(h);
    h.clear();
    EXPECT_EQ(h.size(), 0u);
    expectParallel(h);
}

// Folders A, A\B and AB: deleting A takes A and A\B, never AB, whose name only begins alike.
TEST(DeviceHierarchy, DeletingAFolderTakesItsSubfoldersAndTheirItems) {
    struct Case {
        const char* folder;
        Names kept;
    };
    const Case cases[] = {
        {"A", {"in AB", "at top"}},
        {"A\\", {"in AB", "at top"}},
        {"A\\B", {"in A", "in AB", "in A 2", "at top"}},
        {"AB", {"in A", "in A\\B", "in A 2", "at top"}},
        {"", {}},
        {"C", {"in A", "in A\\B", "in AB", "in A 2", "at top"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        test::TempDir dir;
        auto store = DeviceStore::create(dir.file("t.db"));
        DeviceHierarchy h(DeviceKind::PieceList);
        for (const auto& [name, path] : {std::pair{"in A", "A"},
                                         {"in A\\B", "A\\B"},
                                         {"in AB", "AB"},
                                         {"in A 2", "A"},
                                         {"at top", ""}}) {
            h.put(name, path, 1);
            store->put(1, name, {}, "data");
        }
        h.clearSelection();
        h.save(*store);

        h.deleteFolder(*store, c.folder);
        expectParallel(h);
        EXPECT_EQ(h.Names, c.kept);
        std::vector<std::string> stored;
        for (const DeviceRecord& r : store->records(1))
            stored.push_back(r.Name);
        std::sort(stored.begin(), stored.end());
        Names sortedKept = c.kept;
        std::sort(sortedKept.begin(), sortedKept.end());
        EXPECT_EQ(stored, sortedKept);
        DeviceHierarchy reloaded(DeviceKind::PieceList);
        reloaded.load(*store);
        EXPECT_EQ(reloaded.Names, c.kept);
    }
}

TEST(DeviceHierarchy, AFailedFolderDeletionChangesNothing) {
    test::TempDir dir;
    auto store = DeviceStore::create(dir.file("t.db"));
    DeviceHierarchy h(DeviceKind::RadiatorFamily);
    h.put("F", "A");
    h.put("G", "A\\B");
    store->put(0, "F", {}, "f");
    store->put(0, "G", {}, "g");
    h.save(*store);
    // A list that cannot be stored (paths not parallel) is refused after the records were
    // deleted in the transaction: the deletion is rolled back.
    h.Paths.push_back("stray");
    EXPECT_FALSE(errorKey([&] { h.deleteFolder(*store, "A\\B"); }).empty());
    EXPECT_EQ(h.Names, (Names{"F", "G"}));
    EXPECT_EQ(store->records(0).size(), 2u);
}

TEST(DeviceHierarchy, TreeOfFoldersAndItems) {
    test::FakeLanguage language{{"IDS_DEVICEDBTYPES+0", "Radiatoare"},
                                {"IDS_DEVICEDBTYPES+1", "Liste de piese"}};
    DeviceHierarchy h(DeviceKind::PieceList);
    EXPECT_EQ(h.Title, "Liste de piese");
    EXPECT_EQ(DeviceHierarchy(DeviceKind::RadiatorFamily).Title, "Radiatoare");
    h.put("p1", "Oțel\\Panouri");
    h.put("p2", "Oțel");
    h.put("p3", "");
    h.put("Oțel", "Oțel\\Panouri\\"); // an item named like a folder stays an item
    h.clearSelection();
    h.Selected[0] = true;

    TreeModel all;
    TreeNode* root = h.buildTree(all);
    EXPECT_EQ(root->caption(), "Liste de piese");
    EXPECT_TRUE(root->isGroup());
    ASSERT_EQ(root->children().size(), 2u);
    const TreeNode* steel = root->children()[0].get();
    const TreeNode* p3 = root->children()[1].get();
    EXPECT_EQ(steel->caption(), "Oțel");
    EXPECT_EQ(steel->role(), TreeNodeRole::Group);
    EXPECT_EQ(p3->caption(), "p3");
    EXPECT_EQ(p3->role(), TreeNodeRole::Item);
    EXPECT_EQ(p3->data(), 2); // kind 1 + 1
    ASSERT_EQ(steel->children().size(), 2u);
    const TreeNode* panels = steel->children()[0].get();
    EXPECT_EQ(panels->caption(), "p2");
    EXPECT_EQ(steel->children()[1]->caption(), "Panouri");
    panels = steel->children()[1].get();
    EXPECT_TRUE(panels->isGroup());
    ASSERT_EQ(panels->children().size(), 2u);
    EXPECT_EQ(panels->children()[0]->caption(), "Oțel");
    EXPECT_EQ(panels->children()[0]->role(), TreeNodeRole::Item);
    EXPECT_EQ(panels->children()[1]->caption(), "p1");
    EXPECT_EQ(all.nodeCount(), 7u);

    TreeModel selected;
    h.buildTree(selected, DeviceTreeItems::OnlySelected);
    std::vector<std::string> captions;
    selected.forEach([&](const TreeNode& node) { captions.push_back(node.caption()); });
    EXPECT_EQ(captions, (Names{"Liste de piese", "Oțel", "Panouri", "p1"}));
}

} // namespace
} // namespace kalydor
