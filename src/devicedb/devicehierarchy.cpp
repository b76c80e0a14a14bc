#include "devicedb/devicehierarchy.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/textlookup.h"
#include "store/itemstream.h"
#include "store/sqlitedatabase.h"
#include "store/treemodel.h"

#include <algorithm>
#include <map>
#include <utility>

namespace kalydor {
namespace {

// The record's date names its form.
constexpr DeviceDate kFormWithoutValues{1901, 1, 1};
constexpr DeviceDate kFormWithValues{1901, 1, 2};

[[noreturn]] void readError() {
    throw Error("IDS_DATAREADERROR");
}

// Whether an entry's path is the folder or lies below it.
bool inFolder(std::string_view entryPath, std::string_view folder) {
    if (folder.empty() || entryPath == folder)
        return true;
    return entryPath.size() > folder.size() && entryPath.substr(0, folder.size()) == folder &&
           entryPath[folder.size()] == kDevicePathSeparator;
}

template <class List> void eraseAt(List& list, std::size_t index) {
    if (index < list.size())
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
}

} // namespace

DeviceHierarchy::DeviceHierarchy(DeviceKind kind)
    : Kind(kind)
    , Title(GetText("IDS_DEVICEDBTYPES+" + std::to_string(deviceKindNumber(kind)))) {}

void DeviceHierarchy::load(DeviceStore& store) {
    clear();
    const std::optional<DeviceRecord> record =
        store.find(hierarchyRecordType(Kind), std::string(kHierarchyRecordName));
    if (record)
        read(record->Date, record->Data);
}

void DeviceHierarchy::save(DeviceStore& store) const {
    const std::string data = recordData();
    store.put(hierarchyRecordType(Kind), std::string(kHierarchyRecordName), recordDate(), data);
}

DeviceDate DeviceHierarchy::recordDate() const {
    return Values.empty() ? kFormWithoutValues : kFormWithValues;
}

std::string DeviceHierarchy::recordData() const {
    const bool withValues = !Values.empty();
    if (Paths.size() != Names.size() || (withValues && Values.size() != Names.size()) ||
        Names.size() > kMaxDeviceCount)
        throw Error("IDS_RADIATORDATAERROR", {Title},
                    "The data of the device item \"%s\" do not fit together.");
    MemoryStream stream;
    writeInt16(stream, static_cast<std::int16_t>(Names.size()));
    for (std::size_t i = 0; i < Names.size(); ++i) {
        WriteString(stream, Names[i]);
        WriteString(stream, Paths[i]);
        if (withValues)
            writeInt16(stream, Values[i]);
    }
    return stream.takeBytes();
}

void DeviceHierarchy::read(const DeviceDate& date, std::string_view data) {
    clear();
    std::vector<std::string> names;
    std::vector<std::string> paths;
    std::vector<std::int16_t> values;
    try {
        MemoryStream stream{std::string(data)};
        if (date.empty()) {
            // The older form: the names and the paths each as one text, a line per entry.
            names = splitLines(ReadString(stream));
            paths = splitLines(ReadString(stream));
            const std::size_t count = std::max(names.size(), paths.size());
            names.resize(count);
            paths.resize(count);
        } else {
            if (date != kFormWithValues && date != kFormWithoutValues)
                readError();
            const bool withValues = date == kFormWithValues;
            const std::int16_t count = readInt16(stream);
            if (count < 0)
                readError();
            for (std::int16_t i = 0; i < count; ++i) {
                names.push_back(ReadString(stream));
                paths.push_back(ReadString(stream));
                if (withValues)
                    values.push_back(readInt16(stream));
            }
        }
    } catch (const Error&) {
        readError();
    }
    Names = std::move(names);
    Paths = std::move(paths);
    Values = std::move(values);
}

void DeviceHierarchy::put(const std::string& name, const std::string& path) {
    const int index = indexOf(name);
    if (index >= 0) {
        Paths[static_cast<std::size_t>(index)] = path;
        return;
    }
    Names.push_back(name);
    Paths.push_back(path);
    if (!Values.empty())
        Values.resize(Names.size(), 0);
    if (!Selected.empty())
        Selected.resize(Names.size(), false);
}

void DeviceHierarchy::put(const std::string& name, const std::string& path, std::int16_t value) {
    Values.resize(Names.size(), 0);
    put(name, path);
    Values.resize(Names.size(), 0);
    Values[static_cast<std::size_t>(indexOf(name))] = value;
}

int DeviceHierarchy::indexOf(std::string_view name) const {
    const auto it = std::find(Names.begin(), Names.end(), name);
    return it == Names.end() ? -1 : static_cast<int>(it - Names.begin());
}

bool DeviceHierarchy::remove(std::string_view name) {
    const int index = indexOf(name);
    if (index < 0)
        return false;
    removeAt(static_cast<std::size_t>(index));
    return true;
}

void DeviceHierarchy::removeAt(std::size_t index) {
    eraseAt(Names, index);
    eraseAt(Paths, index);
    eraseAt(Values, index);
    eraseAt(Selected, index);
}

std::size_t DeviceHierarchy::deleteFolder(DeviceStore& store, std::string_view path) {
    std::string_view folder = path;
    if (!folder.empty() && folder.back() == kDevicePathSeparator)
        folder.remove_suffix(1);
    DeviceHierarchy kept = *this;
    std::vector<std::string> deleted;
    for (std::size_t i = kept.size(); i-- > 0;) {
        if (inFolder(kept.Paths[i], folder)) {
            deleted.push_back(kept.Names[i]);
            kept.removeAt(i);
        }
    }
    if (deleted.empty())
        return 0;
    SqliteTransaction transaction(store.database());
    for (const std::string& name : deleted)
        store.deleteRecord(itemRecordType(Kind), name);
    kept.save(store);
    transaction.commit();
    *this = std::move(kept);
    return deleted.size();
}

void DeviceHierarchy::clearSelection() {
    Selected.assign(Names.size(), false);
}

bool DeviceHierarchy::isSelected(std::size_t index) const {
    return index < Selected.size() && Selected[index];
}

void DeviceHierarchy::keepSelected() {
    if (Selected.empty())
        return;
    for (std::size_t i = size(); i-- > 0;) {
        if (!isSelected(i))
            removeAt(i);
    }
}

void DeviceHierarchy::clear() {
    Names.clear();
    Paths.clear();
    Values.clear();
    Selected.clear();
}

TreeNode* DeviceHierarchy::buildTree(TreeModel& tree, DeviceTreeItems which) const {
    TreeNode* root = tree.addRoot(Title, TreeNodeRole::Group);
    addItems(tree, *root, which);
    return root;
}

void DeviceHierarchy::addItems(TreeModel& tree, TreeNode& root, DeviceTreeItems which) const {
    // Folders met before, so that a long list does not search its siblings for each entry.
    std::map<std::pair<const TreeNode*, std::string_view>, TreeNode*> folders;
    const auto folderIn = [&](TreeNode& parent, std::string_view caption) {
        const auto key = std::make_pair(static_cast<const TreeNode*>(&parent), caption);
        if (const auto it = folders.find(key); it != folders.end())
            return it->second;
        TreeNode* folder = nullptr;
        for (const auto& child : parent.children()) {
            if (child->isGroup() && child->caption() == caption) {
                folder = child.get();
                break;
            }
        }
        if (!folder)
            folder = tree.addChild(parent, std::string(caption), TreeNodeRole::Group);
        folders.emplace(key, folder);
        return folder;
    };
    const int data = deviceKindNumber(Kind) + 1;
    for (std::size_t i = 0; i < Names.size(); ++i) {
        if (which == DeviceTreeItems::OnlySelected && !isSelected(i))
            continue;
        TreeNode* folder = &root;
        const std::string_view path = i < Paths.size() ? std::string_view(Paths[i]) : "";
        std::size_t start = 0;
        while (start <= path.size()) {
            std::size_t end = path.find(kDevicePathSeparator, start);
            if (end == std::string_view::npos)
                end = path.size();
            if (end > start)
                folder = folderIn(*folder, path.substr(start, end - start));
            start = end + 1;
        }
        tree.addChild(*folder, Names[i], TreeNodeRole::Item, data);
    }
}

} // namespace kalydor
