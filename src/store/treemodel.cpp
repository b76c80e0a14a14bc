#include "store/treemodel.h"

#include "base/collation.h"

#include <algorithm>

namespace kalydor {
namespace {

// Depth-first, with an explicit stack: a tree read from a damaged table may be very deep.
void visitAll(const TreeNode& node, const std::function<bool(const TreeNode&)>& visit) {
    std::vector<const TreeNode*> stack{&node};
    while (!stack.empty()) {
        const TreeNode* current = stack.back();
        stack.pop_back();
        if (!visit(*current))
            return;
        const auto& children = current->children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back(it->get());
    }
}

std::unique_ptr<TreeNode>* insertSorted(std::vector<std::unique_ptr<TreeNode>>& siblings,
                                        std::unique_ptr<TreeNode> node) {
    const auto at = std::upper_bound(
        siblings.begin(), siblings.end(), node,
        [](const std::unique_ptr<TreeNode>& a, const std::unique_ptr<TreeNode>& b) {
            return compareNames(a->caption(), b->caption()) < 0;
        });
    return &*siblings.insert(at, std::move(node));
}

// The role of a node the item store's trees add by identifier: its groups' identifiers are
// dates, which begin with a digit.
TreeNodeRole roleOfIdentifier(const std::optional<std::string>& identifier) {
    return identifier && !identifier->empty() && (*identifier)[0] >= '0' && (*identifier)[0] <= '9'
               ? TreeNodeRole::Group
               : TreeNodeRole::Item;
}

} // namespace

// Frees the subtree without recursion, so that a very deep tree cannot exhaust the stack.
TreeNode::~TreeNode() {
    std::vector<std::unique_ptr<TreeNode>> pending = std::move(m_children);
    while (!pending.empty()) {
        std::unique_ptr<TreeNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->m_children)
            pending.push_back(std::move(child));
        node->m_children.clear();
    }
}

TreeNode* TreeNode::childWithCaption(const std::string& caption) const {
    for (const auto& child : m_children) {
        if (child->m_caption == caption)
            return child.get();
    }
    return nullptr;
}

std::unique_ptr<TreeNode> TreeModel::makeNode(std::string caption,
                                              std::optional<std::string> identifier,
                                              TreeNodeRole role, int data) {
    auto node = std::make_unique<TreeNode>();
    node->m_caption = std::move(caption);
    node->m_identifier = std::move(identifier);
    node->m_role = role;
    node->m_data = data;
    return node;
}

TreeNode* TreeModel::attachRoot(std::unique_ptr<TreeNode> node) {
    m_roots.push_back(std::move(node));
    return m_roots.back().get();
}

TreeNode* TreeModel::attachChild(TreeNode& parent, std::unique_ptr<TreeNode> node) {
    node->m_parent = &parent;
    return insertSorted(parent.m_children, std::move(node))->get();
}

TreeNode* TreeModel::addRoot(std::string caption, std::optional<std::string> identifier) {
    const TreeNodeRole role = roleOfIdentifier(identifier);
    return attachRoot(makeNode(std::move(caption), std::move(identifier), role, 0));
}

TreeNode* TreeModel::addChild(TreeNode& parent, std::string caption,
                              std::optional<std::string> identifier) {
    const TreeNodeRole role = roleOfIdentifier(identifier);
    return attachChild(parent, makeNode(std::move(caption), std::move(identifier), role, 0));
}

TreeNode* TreeModel::addRoot(std::string caption, TreeNodeRole role, int data) {
    return attachRoot(makeNode(std::move(caption), std::nullopt, role, data));
}

TreeNode* TreeModel::addChild(TreeNode& parent, std::string caption, TreeNodeRole role, int data) {
    return attachChild(parent, makeNode(std::move(caption), std::nullopt, role, data));
}

namespace {

std::unique_ptr<TreeNode> detachChild(std::vector<std::unique_ptr<TreeNode>>& siblings,
                                      const TreeNode& node) {
    const auto it = std::find_if(siblings.begin(), siblings.end(),
                                 [&node](const auto& child) { return child.get() == &node; });
    if (it == siblings.end())
        return nullptr;
    std::unique_ptr<TreeNode> owned = std::move(*it);
    siblings.erase(it);
    return owned;
}

} // namespace

void TreeModel::setCaption(TreeNode& node, std::string caption) {
    if (!node.m_parent) {
        node.m_caption = std::move(caption);
        return;
    }
    std::unique_ptr<TreeNode> owned = detachChild(node.m_parent->m_children, node);
    owned->m_caption = std::move(caption);
    insertSorted(node.m_parent->m_children, std::move(owned));
}

bool TreeModel::moveNode(TreeNode& node, TreeNode& newParent) {
    if (!node.m_parent)
        return false;
    for (const TreeNode* up = &newParent; up; up = up->m_parent)
        if (up == &node)
            return false;
    std::unique_ptr<TreeNode> owned = detachChild(node.m_parent->m_children, node);
    owned->m_parent = &newParent;
    insertSorted(newParent.m_children, std::move(owned));
    return true;
}

std::size_t TreeModel::nodeCount() const {
    std::size_t count = 0;
    forEach([&count](const TreeNode&) { ++count; });
    return count;
}

int TreeModel::absoluteIndex(const TreeNode* node) const {
    int index = 0;
    int found = -1;
    forEach([&](const TreeNode& visited) {
        if (&visited == node)
            found = index;
        ++index;
    });
    return found;
}

TreeNode* TreeModel::findByIdentifier(TreeNode& from, const std::string& identifier) {
    const TreeNode* found = nullptr;
    visitAll(from, [&](const TreeNode& node) {
        if (node.m_identifier && *node.m_identifier == identifier)
            found = &node;
        return found == nullptr;
    });
    return const_cast<TreeNode*>(found);
}

void TreeModel::forEach(const std::function<void(const TreeNode&)>& visit) const {
    for (const auto& root : m_roots)
        visitAll(*root, [&visit](const TreeNode& node) {
            visit(node);
            return true;
        });
}

} // namespace kalydor
