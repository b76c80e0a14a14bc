#pragma once

#include <cstdint>
#include <string>

namespace kalydor {

class ItemStore;
class TreeModel;
class TreeNode;

/// Empties the tree and builds the group tree of a group type of the store under a root node
/// captioned `rootCaption`; returns that root node (expanded and selected).
TreeNode* fillGroupTree(ItemStore& store, TreeModel& tree, const std::string& rootCaption,
                        std::int16_t groupType);
/// Adds one node per item record of the type under its group node below `root`.
void fillItemTree(ItemStore& store, std::int16_t itemType, TreeModel& tree, TreeNode* root);

} // namespace kalydor
