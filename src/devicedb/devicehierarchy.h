#pragma once

#include "devicedb/deviceitem.h"
#include "devicedb/devicestore.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class TreeModel;
class TreeNode;

/// The key ("Group") of a kind's folder-list record.
inline constexpr std::string_view kHierarchyRecordName = "Hierarchy";
/// The folder separator of the items' paths.
inline constexpr char kDevicePathSeparator = '\\';

/// Which items a device tree shows.
enum class DeviceTreeItems : std::uint8_t { All, OnlySelected };

/// The folder list of one kind of the device table: which folder each item is in, with an
/// optional number per item and, while a selection is made, a flag per item. The lists are
/// parallel: entry i is Names[i] in Paths[i] (Values[i], Selected[i] when those are in use).
///
/// The list is stored as the record (kind | 16384, "Hierarchy"): an int16 count and per entry
/// the name, the path and, when values are kept, the value. The record's date tells the form:
/// 1901-01-02 with values, 1901-01-01 without; an older form without date holds two texts,
/// the names and the paths, one entry per line.
class DeviceHierarchy {
public:
    /// An empty list titled with the kind's language text ("IDS_DEVICEDBTYPES+" n).
    explicit DeviceHierarchy(DeviceKind kind);

    DeviceKind Kind;
    std::string Title;
    std::vector<std::string> Names;
    std::vector<std::string> Paths;
    /// Empty, or one value per entry.
    std::vector<std::int16_t> Values;
    /// Empty without selection, or one flag per entry.
    std::vector<bool> Selected;

    std::size_t size() const { return Names.size(); }

    /// Replaces the lists with the kind's stored record; empty lists when there is none.
    /// A damaged record raises "IDS_DATAREADERROR" and leaves the lists empty.
    void load(DeviceStore& store);
    /// Writes the kind's record (within the caller's transaction when one is open). Raises,
    /// before anything is written, for lists that are not parallel or hold more than
    /// kMaxDeviceCount entries ("IDS_RADIATORDATAERROR" with the kind's title).
    void save(DeviceStore& store) const;

    /// The record's date and data block for the lists, checked as `save` checks them.
    DeviceDate recordDate() const;
    std::string recordData() const;
    /// Replaces the lists with what a record holds; "IDS_DATAREADERROR" for a damaged record,
    /// the lists left empty then.
    void read(const DeviceDate& date, std::string_view data);

    /// Puts an item into a folder: its entry is updated when the name is listed, else one is
    /// appended (with value 0 and no selection where those lists are in use).
    void put(const std::string& name, const std::string& path);
    /// The same, with the entry's value; the values come into use when they were not.
    void put(const std::string& name, const std::string& path, std::int16_t value);
    /// The entry of exactly this name, or -1.
    int indexOf(std::string_view name) const;
    /// Removes the entry of this name from every list; false when it is not listed.
    bool remove(std::string_view name);
    /// Deletes a folder with its subfolders: every entry whose path is `path` or begins with
    /// `path` followed by the separator loses its item record and its entry, from the last
    /// entry to the first; the empty path deletes every entry of the kind. The records and the
    /// list are written in one transaction, and the lists change only when it has been
    /// committed. Returns the number of entries deleted.
    std::size_t deleteFolder(DeviceStore& store, std::string_view path);
    /// Starts a selection: one cleared flag per entry.
    void clearSelection();
    /// Whether entry i is selected (false without a selection).
    bool isSelected(std::size_t index) const;
    /// Keeps only the selected entries (every entry when no selection is made).
    void keepSelected();
    /// Empties every list.
    void clear();

    /// A root titled with the kind's title holding the folders and items; see addItems.
    TreeNode* buildTree(TreeModel& tree, DeviceTreeItems which = DeviceTreeItems::All) const;
    /// Adds the folders of each entry's path below `root` (missing ones created, as group
    /// nodes) and the entry's item under its folder (an item node carrying the kind + 1).
    void addItems(TreeModel& tree, TreeNode& root, DeviceTreeItems which) const;

private:
    void removeAt(std::size_t index);
};

} // namespace kalydor
