#pragma once

#include "devicedb/deviceitem.h"
#include "store/treemodel.h"

#include <string>
#include <unordered_map>

namespace kalydor {

class DeviceSet;

/// The check mark of a node in the set dialog.
enum class CheckMark : std::uint8_t { Checked = 1, Partly = 2, Unchecked = 3 };

/// The logic of the set dialog: both kinds' folder trees with a check mark on every node.
/// Clicking an item toggles it; clicking a folder (or a kind's root) sets it and everything
/// below it to checked, unless it was checked, then to unchecked; every folder above then
/// shows checked when all its children are, unchecked when none is, partly checked otherwise.
/// Only confirming (or saving) changes the set.
class DeviceSetEditor {
public:
    /// The marks start from the set: an item is checked when the set selects it (every item
    /// while the set has no set file in force).
    explicit DeviceSetEditor(DeviceSet& set);

    const TreeModel& tree() const { return m_tree; }
    CheckMark mark(const TreeNode& node) const;
    void click(const TreeNode& node);

    /// Applies a set file to the set and shows its selection ("IDS_SETFILEERROR" leaves both
    /// the set and the marks as they were).
    void loadFile(const std::string& path);
    /// Puts the checked items into the set and writes it to a set file.
    void saveFile(const std::string& path);
    /// Puts the checked items into the set: exactly those are selected from now on.
    void confirm();

    /// The kind and name of an item node.
    static DeviceKind kindOf(const TreeNode& item);
    /// The folder path of a node below its kind's root ("" for the root and its items).
    static std::string folderPath(const TreeNode& node);

private:
    void fill();
    void setBelow(const TreeNode& node, CheckMark mark);
    void settleAncestors(const TreeNode& node);
    CheckMark settle(const TreeNode& node);
    void collect();

    DeviceSet& m_set;
    TreeModel m_tree;
    std::unordered_map<const TreeNode*, CheckMark> m_marks;
};

} // namespace kalydor
