#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

/// What a node of a tree stands for: a folder (a group, a root) or an item.
enum class TreeNodeRole : std::uint8_t { Group, Item };

/// One node of a group tree: a caption, its role and, for the root and group nodes of the
/// item store's trees, the group's identifier text. A node may carry a small number of its
/// builder's (a device tree keeps the item's kind there).
class TreeNode {
public:
    TreeNode() = default;
    ~TreeNode();
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    const std::string& caption() const { return m_caption; }
    const std::optional<std::string>& identifier() const { return m_identifier; }
    /// The role given when the node was added. A node added with an identifier text alone
    /// is a group node when that text begins with a decimal digit, an item node otherwise.
    TreeNodeRole role() const { return m_role; }
    bool isGroup() const { return m_role == TreeNodeRole::Group; }
    /// The builder's number given when the node was added (0 when none was).
    int data() const { return m_data; }

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
    TreeNodeRole m_role = TreeNodeRole::Item;
    int m_data = 0;
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
    /// A root or child of an explicit role, without identifier text, carrying `data`.
    TreeNode* addRoot(std::string caption, TreeNodeRole role, int data = 0);
    TreeNode* addChild(TreeNode& parent, std::string caption, TreeNodeRole role, int data = 0);
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
    static std::unique_ptr<TreeNode> makeNode(std::string caption,
                                              std::optional<std::string> identifier,
                                              TreeNodeRole role, int data);
    TreeNode* attachRoot(std::unique_ptr<TreeNode> node);
    TreeNode* attachChild(TreeNode& parent, std::unique_ptr<TreeNode> node);

    std::vector<std::unique_ptr<TreeNode>> m_roots;
};

} // namespace kalydor
