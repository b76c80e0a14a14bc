#include "store/hierarchy.h"

#include "platform/prompter.h"
#include "store/itemstore.h"
#include "store/treemodel.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace kalydor {
namespace {

// The ancestors of a node from the top, without the root and without the node itself. A
// walk up stops when a node repeats.
std::vector<const TreeNode*> ancestorsBelowRoot(const TreeNode* node) {
    std::vector<const TreeNode*> chain;
    std::unordered_set<const TreeNode*> seen{node};
    for (const TreeNode* up = node ? node->parent() : nullptr; up && up->parent();
         up = up->parent()) {
        if (!seen.insert(up).second)
            break;
        chain.push_back(up);
    }
    std::reverse(chain.begin(), chain.end());
    return chain;
}

// Every node of the subtree below `node`, depth first, parents before children.
std::vector<TreeNode*> descendants(TreeNode* node) {
    std::vector<TreeNode*> all;
    std::vector<TreeNode*> stack;
    for (auto it = node->children().rbegin(); it != node->children().rend(); ++it)
        stack.push_back(it->get());
    while (!stack.empty()) {
        TreeNode* current = stack.back();
        stack.pop_back();
        all.push_back(current);
        for (auto it = current->children().rbegin(); it != current->children().rend(); ++it)
            stack.push_back(it->get());
    }
    return all;
}

std::string trimTrailingSpaces(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

} // namespace

Hierarchy::Hierarchy(TreeModel& tree, ItemStore* store, std::int16_t groupType,
                     std::int16_t itemType)
    : m_tree(tree)
    , m_store(store)
    , m_groupType(groupType)
    , m_itemType(itemType) {}

int Hierarchy::state(const TreeNode* node) const {
    const auto it = m_states.find(node);
    return it == m_states.end() ? NodeState::NotSelected : it->second;
}

void Hierarchy::setState(const TreeNode* node, int state) {
    m_states[node] = state;
}

int Hierarchy::stateFromChildren(const TreeNode* node) const {
    bool allSelected = true;
    bool noneSelected = true;
    for (const auto& child : node->children()) {
        const int s = state(child.get());
        allSelected = allSelected && s == NodeState::Selected;
        noneSelected = noneSelected && s == NodeState::NotSelected;
    }
    return allSelected ? NodeState::Selected
                       : (noneSelected ? NodeState::NotSelected : NodeState::Partial);
}

void Hierarchy::UpdateParents(TreeNode* node) {
    std::unordered_set<const TreeNode*> seen;
    for (TreeNode* up = node; up && seen.insert(up).second; up = up->parent()) {
        if (!up->children().empty())
            setState(up, stateFromChildren(up));
    }
}

// Groups inside the subtree, deepest first, take their state from their children.
void Hierarchy::recomputeSubtreeGroups(TreeNode* node) {
    std::vector<TreeNode*> all = descendants(node);
    all.insert(all.begin(), node);
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if ((*it)->isGroup() && !(*it)->children().empty())
            setState(*it, stateFromChildren(*it));
}

bool Hierarchy::ItemExists(const TreeNode* node) {
    if (!m_store || !node || node->isGroup())
        return false;
    std::string group = m_store->RootId();
    for (const TreeNode* ancestor : ancestorsBelowRoot(node)) {
        if (!m_store->FindRecord(m_groupType, group, ancestor->caption()))
            return false;
        group = m_store->current().ID;
    }
    return m_store->FindRecord(m_itemType, group, node->caption());
}

bool Hierarchy::deselectExisting(TreeNode* node, bool wholeSubtree) {
    bool deselected = false;
    std::vector<TreeNode*> nodes{node};
    if (wholeSubtree) {
        const std::vector<TreeNode*> below = descendants(node);
        nodes.insert(nodes.end(), below.begin(), below.end());
    }
    for (TreeNode* n : nodes) {
        if (!n->isGroup() && state(n) == NodeState::Selected && ItemExists(n)) {
            setState(n, NodeState::NotSelected);
            deselected = true;
        }
    }
    return deselected;
}

bool Hierarchy::Toggle(TreeNode* node) {
    m_conflict = false;
    if (!node)
        return false;
    const int next =
        state(node) == NodeState::Selected ? NodeState::NotSelected : NodeState::Selected;
    setState(node, next);
    if (node->isGroup()) {
        for (TreeNode* descendant : descendants(node))
            setState(descendant, next);
        if (next == NodeState::Selected && m_store)
            m_conflict = deselectExisting(node, true);
        if (m_conflict)
            recomputeSubtreeGroups(node);
    } else if (next == NodeState::Selected && m_store) {
        m_conflict = deselectExisting(node, false);
    }
    UpdateParents(node->parent());
    return m_conflict;
}

bool Hierarchy::Recheck(TreeNode* node) {
    m_conflict = false;
    if (!node)
        return false;
    if (m_store)
        m_conflict = deselectExisting(node, node->isGroup());
    if (node->isGroup())
        recomputeSubtreeGroups(node);
    UpdateParents(node->parent());
    return m_conflict;
}

bool Hierarchy::MoveNode(TreeNode* target, TreeNode* node) {
    m_conflict = false;
    if (!target || !node)
        return false;
    TreeNode* oldParent = node->parent();
    if (!m_tree.moveNode(*node, *target))
        return false;
    const bool conflict = Recheck(node);
    UpdateParents(oldParent);
    m_conflict = conflict;
    return conflict;
}

std::string Hierarchy::PathOf(const TreeNode* node, std::string_view separator) {
    std::string path;
    for (const TreeNode* ancestor : ancestorsBelowRoot(node)) {
        if (!path.empty())
            path += separator;
        path += ancestor->caption();
    }
    return path;
}

std::string Hierarchy::SplitFirst(std::string& path, std::string_view separator) {
    const std::size_t at = separator.empty() ? std::string::npos : path.find(separator);
    if (at == std::string::npos) {
        std::string first = std::move(path);
        path.clear();
        return first;
    }
    std::string first = path.substr(0, at);
    path.erase(0, at + separator.size());
    return first;
}

std::string Hierarchy::Rename(TreeNode* node, std::string caption) {
    if (!node)
        return {};
    caption = trimTrailingSpaces(std::move(caption));
    if (caption.empty() || caption == node->caption())
        return {};
    std::string refusal;
    if (!node->parent()) {
        refusal = "IDS_ROOTNAMECANNOTCHANGE";
    } else {
        for (const auto& sibling : node->parent()->children()) {
            if (sibling.get() != node && sibling->isGroup() == node->isGroup() &&
                sibling->caption() == caption) {
                refusal = "IDS_ITEMNAMEEXIST";
                break;
            }
        }
    }
    if (!refusal.empty()) {
        platform::showLanguageMessage(refusal);
        return refusal;
    }
    m_tree.setCaption(*node, std::move(caption));
    if (Recheck(node)) {
        platform::showLanguageMessage("IDS_CONFLICTEXISTEDNAMES");
        return "IDS_CONFLICTEXISTEDNAMES";
    }
    return {};
}

std::string Hierarchy::DropRefusal(const TreeNode* target, const TreeNode* node) {
    if (!target || !node || !target->isGroup() || !node->parent())
        return "IDS_CONFLICTEXISTEDNAMES";
    std::unordered_set<const TreeNode*> seen;
    for (const TreeNode* up = target; up && seen.insert(up).second; up = up->parent())
        if (up == node)
            return "IDS_CONFLICTEXISTEDNAMES";
    for (const auto& child : target->children())
        if (child->isGroup() == node->isGroup() && child->caption() == node->caption())
            return "IDS_CONFLICTEXISTEDNAMES";
    return {};
}

std::string Hierarchy::Drop(TreeNode* target, TreeNode* node) {
    std::string refusal = DropRefusal(target, node);
    if (refusal.empty() && MoveNode(target, node))
        refusal = "IDS_CONFLICTEXISTEDNAMES";
    if (!refusal.empty())
        platform::showLanguageMessage(refusal);
    return refusal;
}

} // namespace kalydor
