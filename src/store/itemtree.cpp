#include "store/itemtree.h"

#include "store/identifier.h"
#include "store/itemstore.h"
#include "store/reference.h"
#include "store/treemodel.h"

#include <unordered_map>
#include <vector>

namespace kalydor {

TreeNode* fillGroupTree(ItemStore& store, TreeModel& tree, const std::string& rootCaption,
                        std::int16_t groupType) {
    tree.clear();
    TreeNode* root = tree.addRoot(rootCaption, store.RootId());

    // A group may be listed before its parent (records are ordered by their parent's
    // identifier), so passes repeat until one attaches nothing; groups whose parent never
    // appears (orphans, cycles) stay out of the tree.
    std::vector<Reference> pending = store.ListRecords(groupType);
    std::unordered_map<std::string, TreeNode*> nodes{{store.RootId(), root}};
    bool attached = true;
    while (attached && !pending.empty()) {
        attached = false;
        std::vector<Reference> later;
        for (Reference& group : pending) {
            // A group whose identifier is out of range cannot be read: it names no node.
            if (!identifierDay(group.ID))
                continue;
            const auto parent = nodes.find(group.RefID);
            if (parent == nodes.end()) {
                later.push_back(std::move(group));
                continue;
            }
            if (parent->second->childWithCaption(group.Name))
                continue;
            TreeNode* node = tree.addChild(*parent->second, group.Name, group.ID);
            nodes.emplace(group.ID, node);
            attached = true;
        }
        pending = std::move(later);
    }
    root->expanded = true;
    root->selected = true;
    return root;
}

void fillItemTree(ItemStore& store, std::int16_t itemType, TreeModel& tree, TreeNode* root) {
    if (!root)
        return;
    std::unordered_map<std::string, TreeNode*> groups;
    std::vector<TreeNode*> stack{root};
    while (!stack.empty()) {
        TreeNode* node = stack.back();
        stack.pop_back();
        if (node->identifier())
            groups.emplace(*node->identifier(), node);
        for (const auto& child : node->children())
            stack.push_back(child.get());
    }
    for (const Reference& item : store.ListRecords(itemType)) {
        const auto group = groups.find(item.RefID);
        if (group != groups.end())
            tree.addChild(*group->second, item.Name, std::nullopt);
    }
}

} // namespace kalydor
