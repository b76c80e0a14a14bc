#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kalydor {

class ItemStore;
class TreeModel;
class TreeNode;

/// Selection states of the nodes of a check tree.
namespace NodeState {
inline constexpr int Selected = 1;
inline constexpr int Partial = 2; ///< groups only: some children selected
inline constexpr int NotSelected = 3;
} // namespace NodeState

/// The selection model of a check tree of groups and items, used to pick items for export,
/// import, printing and bulk changes. With a store attached, an item that already exists in
/// the store cannot be selected (the conflict flag tells that one was refused).
class Hierarchy {
public:
    Hierarchy(TreeModel& tree, ItemStore* store, std::int16_t groupType, std::int16_t itemType);

    TreeModel& tree() { return m_tree; }
    /// The state of a node; a node never set is not selected.
    int state(const TreeNode* node) const;
    void setState(const TreeNode* node, int state);
    /// Set when the last operation deselected an item because it already exists.
    bool conflict() const { return m_conflict; }

    /// Switches a node between selected and not selected (a group passes its new state to all
    /// its descendants); returns the conflict flag.
    bool Toggle(TreeNode* node);
    /// Re-applies the existence test after a rename or move; returns the conflict flag.
    bool Recheck(TreeNode* node);
    /// Moves a node with its subtree under a group node; returns the conflict flag.
    bool MoveNode(TreeNode* target, TreeNode* node);
    /// Recomputes the state of the node (when it has children) and of each ancestor.
    void UpdateParents(TreeNode* node);
    /// Whether the item of an item node is already in the store (nothing is created).
    bool ItemExists(const TreeNode* node);

    /// The captions of the node's ancestors below the root, from the top, joined by the
    /// separator; empty for a node directly under the root.
    static std::string PathOf(const TreeNode* node, std::string_view separator);
    /// Removes the first component and its separator from the path and returns it.
    static std::string SplitFirst(std::string& path, std::string_view separator);

    /// Renames a node of a tree that allows it. Returns the language key of the refusal
    /// (the old caption stays), "IDS_CONFLICTEXISTEDNAMES" when the new name deselected
    /// existing items, or the empty text. The message is shown.
    std::string Rename(TreeNode* node, std::string caption);
    /// The key of the refusal of dropping `node` on `target`, or the empty text when the drop
    /// is allowed.
    static std::string DropRefusal(const TreeNode* target, const TreeNode* node);
    /// Drops a node on a group node: checks the drop rules, moves it and rechecks. Returns the
    /// key of the message shown, or the empty text.
    std::string Drop(TreeNode* target, TreeNode* node);

private:
    int stateFromChildren(const TreeNode* node) const;
    void recomputeSubtreeGroups(TreeNode* node);
    bool deselectExisting(TreeNode* node, bool wholeSubtree);

    TreeModel& m_tree;
    ItemStore* m_store;
    std::int16_t m_groupType;
    std::int16_t m_itemType;
    bool m_conflict = false;
    std::unordered_map<const TreeNode*, int> m_states;
};

} // namespace kalydor
