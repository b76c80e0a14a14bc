#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

/// One node of a group tree: a caption and, for the root and group nodes, the group's
/// identifier text.
class TreeNode {
public:
    TreeNode() = default;
    ~TreeNode();
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    const std::string& caption() const { return m_caption; }
    const std::optional<std::string>& identifier() const { return m_identifier; }
    /// A node is a group node when it has an identifier text that begins with a decimal
    /// digit; every other node is an item node.
    bool isGroup() const;

    TreeNode* parent() const { return m_parent; }
    const std::vector<std::unique_ptr<TreeNode>>& children() const { return m_children; }
    /// The child with exactly this caption, or nullptr.
    TreeNode* childWithCaption(const std::string& caption) const;

    bool expanded = false;
    bool selected = false;

private:
    friend class TreeModel;
    std::string m_caption;
    std::optional<std::string> m_identifier;
    TreeNode* m_parent = nullptr;
    std::vector<std::unique_ptr<TreeNode>> m_children;
};

/// The plain tree the group and item trees are built in; the windows show it. Siblings are
/// kept in the order names are shown to people (case- and accent-insensitive).
class TreeModel {
public:
    TreeNode* addRoot(std::string caption, std::optional<std::string> identifier);
    TreeNode* addChild(TreeNode& parent, std::string caption,
                       std::optional<std::string> identifier);
    void clear() { m_roots.clear(); }
    /// Changes a node's caption and puts it back in its place among its siblings.
    void setCaption(TreeNode& node, std::string caption);
    /// Moves a node with its subtree under another parent (not a root, not into its own
    /// subtree: the call is then ignored); the node objects stay the same.
    bool moveNode(TreeNode& node, TreeNode& newParent);

    const std::vector<std::unique_ptr<TreeNode>>& roots() const { return m_roots; }
    /// Number of nodes in the whole tree.
    std::size_t nodeCount() const;
    /// Position of a node among all nodes, counted depth-first from the first root; -1 when
    /// the node is not in this tree.
    int absoluteIndex(const TreeNode* node) const;
    /// Depth-first search below (and including) `from` for the first node with this identifier.
    static TreeNode* findByIdentifier(TreeNode& from, const std::string& identifier);
    /// Visits every node depth-first.
    void forEach(const std::function<void(const TreeNode&)>& visit) const;

private:
    std::vector<std::unique_ptr<TreeNode>> m_roots;
};

} // namespace kalydor
