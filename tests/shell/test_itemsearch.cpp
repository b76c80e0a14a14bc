#include "shell/itemsearch.h"

#include "base/memorystream.h"
#include "constructions/material.h"
#include "constructions/registration.h"
#include "platform/memorysettingsstore.h"
#include "shell/itemlist.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

using Command = SearchRequest::Command;

// Materials W1, W10 and FÁL in group A; W2 and Z in group A\B (after A in tree order).
class ItemSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerConstructionItems();
        store = std::make_unique<ItemStore>(dir.path().string(), "material", TableMode::Create,
                                            TableKind::Catalogue);
        a = store->GroupOfPath(RecordType::MaterialGroup, "A", '\\');
        b = store->GroupOfPath(RecordType::MaterialGroup, "A\\B", '\\');
        for (const auto& [group, name] :
             {std::pair{a, "W1"}, {a, "W10"}, {a, "FÁL"}, {b, "W2"}, {b, "Z"}})
            add(group, name);
        list = std::make_unique<ItemListLogic>(ItemKind::Material, *store, test::shippedLanguages(),
                                               settings);
        list->selectGroup({"Materials", "A"}, a);
    }

    void add(const std::string& group, const std::string& name) {
        Material m;
        m.Name = name;
        m.Kind = 0;
        store->AddRecord(RecordType::Material, group, name);
        MemoryStream record;
        m.WriteRecord(record, VersionWord::With);
        store->setCurrentData(record.bytes());
    }

    SearchOutcome run(Command command, const std::string& pattern, const std::string& selected,
                      const std::string& replacement = {}, bool fromStart = false,
                      bool currentGroupOnly = false) {
        SearchRequest request;
        request.command = command;
        request.pattern = pattern;
        request.replacement = replacement;
        request.fromStart = fromStart;
        request.currentGroupOnly = currentGroupOnly;
        return searchAndReplace(*list, request, selected);
    }

    bool exists(const std::string& group, const std::string& name) {
        return store->FindRecord(RecordType::Material, group, name);
    }

    test::TempDir dir;
    platform::MemorySettingsStore settings;
    std::unique_ptr<ItemStore> store;
    std::unique_ptr<ItemListLogic> list;
    std::string a, b;
};

TEST_F(ItemSearchTest, SearchWalksRowsThenGroupsInTreeOrder) {
    SearchOutcome found = run(Command::Search, "W?", "", {}, true);
    ASSERT_TRUE(found.found);
    EXPECT_EQ(found.itemName, "W1");
    EXPECT_EQ(found.groupId, a);

    // From the selected row the search goes on after it, into the next group.
    found = run(Command::Search, "W?", "W1");
    ASSERT_TRUE(found.found);
    EXPECT_EQ(found.itemName, "W2");
    EXPECT_EQ(found.groupId, b);
    EXPECT_EQ(found.captionPath.back(), "B");

    list->selectGroup(found.captionPath, found.groupId);
    const SearchOutcome end = run(Command::Search, "W?", "W2");
    EXPECT_FALSE(end.found);
    EXPECT_EQ(end.messageKey, "IDS_ENDSEARCHANDREPLACE");

    list->selectGroup({"Materials", "A"}, a);
    found = run(Command::Search, "fal", "", {}, true);
    ASSERT_TRUE(found.found);
    EXPECT_EQ(found.itemName, "FÁL");
    EXPECT_FALSE(run(Command::Search, "W2", "", {}, true, true).found); // only group A
}

TEST_F(ItemSearchTest, ReplaceRenamesTheStartingRowOrShowsTheNextMatch) {
    // Rows are in the order people read names: FÁL, W1, W10. The starting row does not
    // match: the next match is shown, nothing renamed.
    SearchOutcome outcome = run(Command::Replace, "W*", "FÁL", "X*");
    ASSERT_TRUE(outcome.found);
    EXPECT_EQ(outcome.renamed, 0);
    EXPECT_EQ(outcome.itemName, "W1");

    // Now it is the starting row: renamed, and the walk stops.
    outcome = run(Command::Replace, "W*", "W1", "X*");
    EXPECT_EQ(outcome.renamed, 1);
    EXPECT_EQ(outcome.itemName, "X1");
    EXPECT_TRUE(exists(a, "X1"));
    EXPECT_TRUE(exists(a, "W10"));
    EXPECT_TRUE(exists(b, "W2"));
}

TEST_F(ItemSearchTest, ReplaceAllAndItsRefusals) {
    add(a, "X1");
    SearchOutcome outcome = run(Command::ReplaceAll, "W*", "", "X*", true);
    // W1 would become X1, which exists: the walk stops there with the message.
    EXPECT_EQ(outcome.messageKey, "IDS_ITEMNAMEEXIST");
    EXPECT_EQ(outcome.itemName, "W1");
    EXPECT_TRUE(exists(a, "W10")); // the walk stopped before it

    store->DeleteItem(RecordType::Material, a, "X1");
    outcome = run(Command::ReplaceAll, "W*", "", "X*", true);
    // The user learns how many names changed, as news rather than as a warning.
    EXPECT_EQ(outcome.messageKey, "IDS_REPLACEDNAMES");
    EXPECT_TRUE(outcome.informative);
    EXPECT_EQ(outcome.renamed, 3);
    EXPECT_NE(outcome.messageText(test::romanianLanguages()).find('3'), std::string::npos)
        << outcome.messageText(test::romanianLanguages());
    // The walk went through group B; the list shows group A again, as the tree does.
    EXPECT_EQ(list->selectedGroupId(), a);
    EXPECT_GE(list->rowOf("X1"), 0);
    EXPECT_LT(list->rowOf("X2"), 0);
    EXPECT_TRUE(exists(a, "X1"));
    EXPECT_TRUE(exists(a, "X10"));
    EXPECT_TRUE(exists(b, "X2"));
    EXPECT_FALSE(exists(a, "W1"));

    EXPECT_EQ(run(Command::ReplaceAll, "X?", "", "Y*", true).messageKey,
              "IDS_SEARCHANDREPLACEERROR");

    outcome = run(Command::ReplaceAll, "Q*", "", "R*", true);
    EXPECT_EQ(outcome.messageKey, "IDS_NOTHINGMATCHED");
    EXPECT_TRUE(outcome.informative);
    EXPECT_EQ(outcome.renamed, 0);
}

} // namespace
} // namespace kalydor
