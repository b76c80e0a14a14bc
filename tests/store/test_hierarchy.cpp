#include "platform/scriptedprompter.h"
#include "store/groupname.h"
#include "store/grouppathdictionary.h"
#include "store/hierarchy.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/treemodel.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

using platform::ScopedPrompter;
using platform::ScriptedPrompter;

// An import tree: group nodes carry "1", item nodes "P" and an offset.
class HierarchyTest : public ::testing::Test {
protected:
    void SetUp() override {
        store = std::make_unique<ItemStore>(dir.directory(), "m.db", TableMode::Create,
                                            TableKind::Catalogue);
        // The store holds A\x.
        const std::string a = store->GroupOfPath(RecordType::MaterialGroup, "A", '\\');
        store->AddRecord(RecordType::Material, a, "x");

        root = tree.addRoot("Materials", "1");
        groupA = tree.addChild(*root, "A", "1");
        x = tree.addChild(*groupA, "x", "P1");
        y = tree.addChild(*groupA, "y", "P2");
        groupB = tree.addChild(*groupA, "B", "1");
        z = tree.addChild(*groupB, "z", "P3");
    }

    test::TempDir dir;
    std::unique_ptr<ItemStore> store;
    TreeModel tree;
    TreeNode *root, *groupA, *groupB, *x, *y, *z;
    ScriptedPrompter prompter;
    ScopedPrompter scope{prompter};
};

TEST_F(HierarchyTest, ToggleGroupDeselectsExistingItems) {
    Hierarchy h(tree, store.get(), RecordType::MaterialGroup, RecordType::Material);
    EXPECT_TRUE(h.ItemExists(x));
    EXPECT_FALSE(h.ItemExists(y));
    EXPECT_TRUE(h.Toggle(groupA));
    EXPECT_EQ(h.state(x), NodeState::NotSelected);
    EXPECT_EQ(h.state(y), NodeState::Selected);
    EXPECT_EQ(h.state(groupB), NodeState::Selected);
    EXPECT_EQ(h.state(groupA), NodeState::Partial);
    EXPECT_EQ(h.state(root), NodeState::Partial);

    // From partly selected the group selects again, and x is refused again.
    EXPECT_TRUE(h.Toggle(groupA));
    EXPECT_EQ(h.state(groupA), NodeState::Partial);
    EXPECT_EQ(h.state(x), NodeState::NotSelected);
}

TEST_F(HierarchyTest, ToggleItemAndGroupWithoutStore) {
    Hierarchy h(tree, nullptr, RecordType::MaterialGroup, RecordType::Material);
    EXPECT_FALSE(h.Toggle(x));
    EXPECT_EQ(h.state(x), NodeState::Selected);
    EXPECT_EQ(h.state(groupA), NodeState::Partial);
    h.Toggle(groupA);
    EXPECT_EQ(h.state(z), NodeState::Selected);
    EXPECT_EQ(h.state(root), NodeState::Selected);
    h.Toggle(groupA);
    EXPECT_EQ(h.state(z), NodeState::NotSelected);
    EXPECT_EQ(h.state(root), NodeState::NotSelected);
}

TEST_F(HierarchyTest, GroupWhoseItemsAllExistEndsNotSelected) {
    Hierarchy h(tree, store.get(), RecordType::MaterialGroup, RecordType::Material);
    TreeNode* only = tree.addChild(*root, "A2", "1");
    const std::string a2 = store->GroupOfPath(RecordType::MaterialGroup, "A2", '\\');
    store->AddRecord(RecordType::Material, a2, "q");
    TreeNode* q = tree.addChild(*only, "q", "P9");
    EXPECT_TRUE(h.Toggle(only));
    EXPECT_EQ(h.state(q), NodeState::NotSelected);
    EXPECT_EQ(h.state(only), NodeState::NotSelected);
}

TEST_F(HierarchyTest, RenameAndDropRules) {
    Hierarchy h(tree, store.get(), RecordType::MaterialGroup, RecordType::Material);
    EXPECT_EQ(h.Rename(groupA, "A "), "");
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(h.Rename(root, "R"), "IDS_ROOTNAMECANNOTCHANGE");
    EXPECT_EQ(h.Rename(y, "x"), "IDS_ITEMNAMEEXIST");
    EXPECT_EQ(y->caption(), "y");
    EXPECT_EQ(h.Rename(y, "   "), "");
    EXPECT_EQ(y->caption(), "y");

    // Renaming a selected item to the name of a stored one deselects it.
    h.Toggle(z);
    EXPECT_EQ(h.state(z), NodeState::Selected);
    EXPECT_EQ(h.Rename(z, "w"), "");
    EXPECT_EQ(z->caption(), "w");

    EXPECT_EQ(Hierarchy::DropRefusal(groupB, groupA), "IDS_CONFLICTEXISTEDNAMES");
    EXPECT_EQ(Hierarchy::DropRefusal(groupA, groupA), "IDS_CONFLICTEXISTEDNAMES");
    EXPECT_EQ(Hierarchy::DropRefusal(x, z), "IDS_CONFLICTEXISTEDNAMES");
    // Dropping the selected y into B keeps it; dropping a selected "x" into A conflicts.
    TreeNode* x2 = tree.addChild(*groupB, "x", "P4");
    h.Toggle(x2);
    EXPECT_EQ(h.Drop(groupA, x2), "IDS_CONFLICTEXISTEDNAMES"); // A already has an x
    EXPECT_EQ(x2->parent(), groupB);
    EXPECT_EQ(h.Drop(root, x2), "");
    EXPECT_EQ(x2->parent(), root);
    EXPECT_EQ(h.state(x2), NodeState::Selected);
    EXPECT_EQ(h.Drop(groupA, x2), "IDS_CONFLICTEXISTEDNAMES");
}

TEST_F(HierarchyTest, MoveIntoStoredPlaceRaisesConflict) {
    Hierarchy h(tree, store.get(), RecordType::MaterialGroup, RecordType::Material);
    TreeNode* x2 = tree.addChild(*groupB, "x", "P4");
    h.Toggle(x2);
    ASSERT_EQ(h.state(x2), NodeState::Selected);
    tree.setCaption(*x, "x-old");
    EXPECT_TRUE(h.MoveNode(groupA, x2));
    EXPECT_EQ(h.state(x2), NodeState::NotSelected);
    EXPECT_EQ(h.state(groupB), NodeState::NotSelected);
}

TEST(HierarchyPaths, PathOfAndSplitFirst) {
    TreeModel tree;
    TreeNode* root = tree.addRoot("R", "1");
    TreeNode* a = tree.addChild(*root, "A", "1");
    TreeNode* b = tree.addChild(*a, "B", "1");
    TreeNode* item = tree.addChild(*b, "i", "P1");
    EXPECT_EQ(Hierarchy::PathOf(tree.addChild(*root, "top", "P2"), "\n"), "");
    EXPECT_EQ(Hierarchy::PathOf(item, "\\"), "A\\B");
    EXPECT_EQ(Hierarchy::PathOf(item, " - "), "A - B");

    std::string path = "A\\B\\C";
    EXPECT_EQ(Hierarchy::SplitFirst(path, "\\"), "A");
    EXPECT_EQ(path, "B\\C");
    path = "single";
    EXPECT_EQ(Hierarchy::SplitFirst(path, "\\"), "single");
    EXPECT_EQ(path, "");
    EXPECT_EQ(Hierarchy::SplitFirst(path, "\\"), "");
}

TEST(GroupPathDictionary, WalksUpAndStopsAtMissingOrRepeatedParents) {
    GroupPathDictionary d(nullptr, 1);
    EXPECT_TRUE(d.entries().empty());
    d.add({"A", "1901.01.01.", "1901.01.02."});
    d.add({"B", "1901.01.02.", "1901.01.03."});
    d.add({"Orphan", "1901.02.01.", "1901.01.04."});
    d.add({"L1", "1901.01.06.", "1901.01.05."});
    d.add({"L2", "1901.01.05.", "1901.01.06."});
    EXPECT_EQ(d.PathOf("1901.01.03.", "\\"), "A\\B");
    EXPECT_EQ(d.PathOf("1901.01.04.", "\\"), "Orphan");
    EXPECT_EQ(d.PathOf("1901.09.09.", "\\"), "");
    EXPECT_EQ(d.PathOf("1901.01.05.", "/"), "L2/L1");
}

TEST(GroupPathDictionary, LoadsTheStoreGroups) {
    test::TempDir dir;
    ItemStore store(dir.directory(), "m.db", TableMode::Create, TableKind::Catalogue);
    const std::string b = store.GroupOfPath(RecordType::MaterialGroup, "A\\B", '\\');
    GroupPathDictionary d(&store, RecordType::MaterialGroup);
    EXPECT_EQ(d.PathOf(b, "\\"), "A\\B");
}

TEST(NameDialogLogic, StoreAndTreeChecks) {
    test::TempDir dir;
    ItemStore store(dir.directory(), "m.db", TableMode::Create, TableKind::Catalogue);
    store.AddRecord(RecordType::MaterialGroup, store.RootId(), "Walls");
    NameEditor groups({"", true, store.RootId(), RecordType::MaterialGroup, &store, nullptr, {}});
    EXPECT_EQ(groups.accept("   ").outcome, NameEditor::Outcome::StayOpen);
    const auto taken = groups.accept("Walls  ");
    EXPECT_EQ(taken.outcome, NameEditor::Outcome::Refused);
    EXPECT_EQ(taken.messageKey, "IDS_GROUPNAMEEXIST");
    const auto made = groups.accept("Roofs ");
    ASSERT_EQ(made.outcome, NameEditor::Outcome::Accepted);
    EXPECT_EQ(made.name, "Roofs");
    EXPECT_TRUE(store.FindRecord(RecordType::MaterialGroup, store.RootId(), "Roofs"));
    EXPECT_EQ(store.current().ID, made.id);

    NameEditor items({"", false, store.RootId(), RecordType::Material, &store, nullptr, {}});
    EXPECT_EQ(items.accept("Roofs").outcome, NameEditor::Outcome::Accepted);
    EXPECT_EQ(items.accept("Roofs").messageKey, "IDS_ITEMNAMEEXIST");

    EXPECT_EQ(NameEditor::limitInput(std::string(31, 'a') + "ș").size(), 31u);
    EXPECT_EQ(NameEditor::limitInput(std::string(30, 'a') + "ș"), std::string(30, 'a') + "ș");

    TreeModel tree;
    TreeNode* root = tree.addRoot("R", "1");
    tree.addChild(*root, "G", "1");
    tree.addChild(*root, "I", "P0");
    NameEditor inTree({"", true, {}, 0, nullptr, root, {}});
    EXPECT_EQ(inTree.accept("G").messageKey, "IDS_GROUPNAMEEXIST");
    EXPECT_EQ(inTree.accept("I").outcome, NameEditor::Outcome::Accepted);
}

} // namespace
} // namespace kalydor
