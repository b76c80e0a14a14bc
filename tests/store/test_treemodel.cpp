#include "store/treemodel.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kalydor {
namespace {

// The item store's trees tell groups by their identifiers (dates, beginning with a digit);
// other builders give the role and their own number explicitly, and no identifier.
TEST(TreeModel, RoleComesFromTheIdentifierOrIsGivenExplicitly) {
    TreeModel tree;
    TreeNode* root = tree.addRoot("Materials", "1");
    struct Case {
        const char* what;
        TreeNode* node;
        TreeNodeRole role;
        int data;
        bool hasIdentifier;
    };
    const Case cases[] = {
        {"group by identifier", tree.addChild(*root, "A", "2026.01.02."), TreeNodeRole::Group, 0,
         true},
        {"item by identifier", tree.addChild(*root, "x", "P1"), TreeNodeRole::Item, 0, true},
        {"item without identifier", tree.addChild(*root, "y", std::nullopt), TreeNodeRole::Item, 0,
         false},
        {"explicit group", tree.addChild(*root, "Folder", TreeNodeRole::Group), TreeNodeRole::Group,
         0, false},
        {"explicit item with data", tree.addChild(*root, "Panel", TreeNodeRole::Item, 2),
         TreeNodeRole::Item, 2, false},
        {"explicit root", tree.addRoot("Radiators", TreeNodeRole::Group), TreeNodeRole::Group, 0,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.node->role(), c.role);
        EXPECT_EQ(c.node->isGroup(), c.role == TreeNodeRole::Group);
        EXPECT_EQ(c.node->data(), c.data);
        EXPECT_EQ(c.node->identifier().has_value(), c.hasIdentifier);
    }
    EXPECT_TRUE(root->isGroup());
    // The role stays with the node when it moves or is renamed.
    TreeNode* folder = root->childWithCaption("Folder");
    TreeNode* panel = root->childWithCaption("Panel");
    ASSERT_TRUE(tree.moveNode(*panel, *folder));
    tree.setCaption(*panel, "Panel 2");
    EXPECT_EQ(panel->role(), TreeNodeRole::Item);
    EXPECT_EQ(panel->data(), 2);
    EXPECT_EQ(TreeModel::findByIdentifier(*root, "P1")->caption(), "x");
}

} // namespace
} // namespace kalydor
