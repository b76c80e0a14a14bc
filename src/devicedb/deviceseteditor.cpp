#include "devicedb/deviceseteditor.h"

#include "devicedb/devicehierarchy.h"
#include "devicedb/deviceset.h"

namespace kalydor {

DeviceSetEditor::DeviceSetEditor(DeviceSet& set)
    : m_set(set) {
    fill();
}

void DeviceSetEditor::fill() {
    m_tree.clear();
    m_marks.clear();
    for (const DeviceKind kind : kDeviceKinds)
        m_set.hierarchy(kind).buildTree(m_tree, DeviceTreeItems::All);
    m_tree.forEach([this](const TreeNode& node) {
        if (node.role() == TreeNodeRole::Item)
            m_marks[&node] = m_set.isSelected(kindOf(node), node.caption()) ? CheckMark::Checked
                                                                            : CheckMark::Unchecked;
    });
    for (const std::unique_ptr<TreeNode>& root : m_tree.roots())
        settle(*root);
}

CheckMark DeviceSetEditor::mark(const TreeNode& node) const {
    const auto found = m_marks.find(&node);
    return found == m_marks.end() ? CheckMark::Unchecked : found->second;
}

void DeviceSetEditor::click(const TreeNode& node) {
    if (node.role() == TreeNodeRole::Item) {
        m_marks[&node] =
            mark(node) == CheckMark::Checked ? CheckMark::Unchecked : CheckMark::Checked;
    } else {
        // A partly checked folder becomes checked: one click gives the whole folder.
        setBelow(node,
                 mark(node) == CheckMark::Checked ? CheckMark::Unchecked : CheckMark::Checked);
    }
    settleAncestors(node);
}

void DeviceSetEditor::setBelow(const TreeNode& node, CheckMark value) {
    m_marks[&node] = value;
    for (const std::unique_ptr<TreeNode>& child : node.children())
        setBelow(*child, value);
}

void DeviceSetEditor::settleAncestors(const TreeNode& node) {
    for (const TreeNode* parent = node.parent(); parent; parent = parent->parent()) {
        bool all = true;
        bool none = true;
        for (const std::unique_ptr<TreeNode>& child : parent->children()) {
            const CheckMark m = mark(*child);
            all = all && m == CheckMark::Checked;
            none = none && m == CheckMark::Unchecked;
        }
        m_marks[parent] = parent->children().empty() || none ? CheckMark::Unchecked
                          : all                              ? CheckMark::Checked
                                                             : CheckMark::Partly;
    }
}

CheckMark DeviceSetEditor::settle(const TreeNode& node) {
    if (node.role() == TreeNodeRole::Item)
        return mark(node);
    bool all = true;
    bool none = true;
    for (const std::unique_ptr<TreeNode>& child : node.children()) {
        const CheckMark m = settle(*child);
        all = all && m == CheckMark::Checked;
        none = none && m == CheckMark::Unchecked;
    }
    const CheckMark m = node.children().empty() || none ? CheckMark::Unchecked
                        : all                           ? CheckMark::Checked
                                                        : CheckMark::Partly;
    m_marks[&node] = m;
    return m;
}

void DeviceSetEditor::collect() {
    for (const DeviceKind kind : kDeviceKinds)
        m_set.hierarchy(kind).clearSelection();
    m_tree.forEach([this](const TreeNode& node) {
        if (node.role() == TreeNodeRole::Item && mark(node) == CheckMark::Checked)
            m_set.select(kindOf(node), node.caption(), true);
    });
    m_set.AllItems = false;
}

void DeviceSetEditor::loadFile(const std::string& path) {
    m_set.loadFile(path);
    fill();
}

void DeviceSetEditor::saveFile(const std::string& path) {
    collect();
    m_set.saveFile(path);
}

void DeviceSetEditor::confirm() {
    collect();
}

DeviceKind DeviceSetEditor::kindOf(const TreeNode& item) {
    return item.data() == 2 ? DeviceKind::PieceList : DeviceKind::RadiatorFamily;
}

std::string DeviceSetEditor::folderPath(const TreeNode& node) {
    std::string path;
    const TreeNode* folder = node.role() == TreeNodeRole::Item ? node.parent() : &node;
    for (; folder && folder->parent(); folder = folder->parent())
        path = path.empty() ? folder->caption() : folder->caption() + "\\" + path;
    return path;
}

} // namespace kalydor
