#include "shell/itemlist.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "exchange/textexchange.h"
#include "language/languages.h"
#include "platform/clipboard.h"
#include "platform/prompter.h"
#include "reports/clipboarddocument.h"
#include "rooms/building.h"
#include "rooms/buildingstable.h"
#include "rooms/pasteditems.h"
#include "rooms/projectrecalculation.h"
#include "rooms/room.h"
#include "rooms/roomcontext.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"
#include "store/sqlitedatabase.h"

#include <algorithm>
#include <filesystem>

namespace kalydor {
namespace {

const ItemListKind kKinds[] = {
    {ItemKind::Material, RecordType::MaterialGroup, RecordType::Material, "MaterialList",
     "MaterialItemsTitle", true},
    {ItemKind::Construction, RecordType::PanelGroup, RecordType::Panel, "PanelList",
     "PanelItemsTitle", true},
    {ItemKind::Room, RecordType::RoomGroup, RecordType::Room, "RoomList", "RoomItemsTitle", false},
    {ItemKind::Building, RecordType::BuildingGroup, RecordType::Building, "BuildingList",
     "BuildingItemsTitle", false},
};

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string trimTrailingSpaces(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

void showKey(const Languages& languages, const char* key) {
    platform::prompter().showMessage(languages.GetText(key));
}

} // namespace

const ItemListKind& itemListKind(ItemKind kind) {
    if (!isItemKind(kind))
        throw Error::withText("IDS_NOSUCHKIND",
                              "There is no item kind " + std::to_string(kindNumber(kind)));
    return kKinds[kindNumber(kind) - 1];
}

std::string exchangeFileName(const std::string& typed, ExchangeFileType type) {
    if (type == ExchangeFileType::Any || typed.empty())
        return typed;
    const std::string extension = type == ExchangeFileType::Xml ? ".xml" : ".txt";
    const std::string name = std::filesystem::path(typed).filename().string();
    if (name.size() >= extension.size() &&
        lowerAscii(name.substr(name.size() - extension.size())) == extension)
        return typed;
    return typed + extension;
}

ItemListLogic::ItemListLogic(ItemKind kind, ItemStore& store, const Languages& languages,
                             platform::SettingsStore& settings)
    : m_kind(itemListKind(kind))
    , m_store(store)
    , m_languages(languages)
    , m_settings(settings)
    , m_columns(loadColumnLayout(m_kind.layoutName, languages, &settings, m_kind.listName)) {}

void ItemListLogic::reloadColumns() {
    m_columns = loadColumnLayout(m_kind.layoutName, m_languages, &m_settings, m_kind.listName);
    reload();
}

std::string ItemListLogic::categoryTitle() const {
    return m_languages.GetText("IDS_PRINTCATEGORY+" + std::to_string(kindNumber(m_kind.kind)));
}

std::string ItemListLogic::caption() const {
    if (m_captionPath.empty())
        return categoryTitle();
    std::string caption;
    for (const std::string& part : m_captionPath)
        caption += (caption.empty() ? "" : " - ") + part;
    return caption;
}

std::string ItemListLogic::selectedGroupCaption() const {
    return m_captionPath.empty() ? std::string() : m_captionPath.back();
}

void ItemListLogic::selectGroup(std::vector<std::string> captionPath, std::string groupId) {
    m_captionPath = groupId.empty() ? std::vector<std::string>{} : std::move(captionPath);
    m_groupId = std::move(groupId);
    reload();
}

std::unique_ptr<DBItem> ItemListLogic::loadItem(const std::string& name) const {
    if (m_groupId.empty() || !m_store.FindRecord(m_kind.itemType, m_groupId, name))
        return nullptr;
    std::unique_ptr<DBItem> item = CreateItemOfKind(m_kind.kind);
    if (!item)
        throw Error::withText("IDS_NOSUCHKIND", "This program has no items of this kind yet.");
    const Reference& record = m_store.current();
    item->Name = record.Name;
    item->ID = record.ID;
    item->GroupID = record.RefID;
    item->GroupName = selectedGroupCaption();
    std::string path = m_store.PathOfGroup(m_kind.groupType, record.RefID, '\\');
    if (!path.empty())
        path.pop_back();
    item->GroupPath = path;
    item->GroupSlashPath = m_store.PathOfGroup(m_kind.groupType, record.RefID, '/');
    try {
        (void)m_store.LoadItem(*item);
    } catch (const Error&) {
        item->setLoadFailed(true);
    }
    return item;
}

void ItemListLogic::reload() {
    m_rows.clear();
    if (m_groupId.empty())
        return;
    // Rooms show their building's name: one table of the buildings for the whole list.
    std::optional<BuildingsTable> buildings;
    if (m_kind.kind == ItemKind::Room)
        buildings = BuildingsTable::load(m_store);
    // Buildings show the heat-pump check of their rooms when its column is shown.
    const std::vector<int> shown = m_columns.visibleColumnIds();
    const auto& lowestFlow = roomContextOf(itemContext()).lowestFlow;
    const bool checkFlow = m_kind.kind == ItemKind::Building && lowestFlow &&
                           std::find(shown.begin(), shown.end(), 2) != shown.end();
    for (const Reference& record : m_store.ListRecordsInGroup(m_kind.itemType, m_groupId)) {
        Row row;
        row.name = record.Name;
        const std::unique_ptr<DBItem> item = loadItem(record.Name);
        if (item) {
            row.unreadable = item->loadFailed();
            if (auto* room = dynamic_cast<Room*>(item.get()); room && buildings)
                room->BuildingName = buildings->RowName(room->BuildingRef);
            if (auto* building = dynamic_cast<Building*>(item.get());
                building && checkFlow && !row.unreadable)
                building->LowestFlow = lowestFlow(*building);
            item->FillListRow(row.texts, m_columns);
        }
        if (row.texts.caption.empty() && row.texts.subItems.empty())
            row.texts.caption = record.Name;
        m_rows.push_back(std::move(row));
    }
}

int ItemListLogic::rowOf(const std::string& name) const {
    const auto it = std::find_if(m_rows.begin(), m_rows.end(),
                                 [&](const Row& row) { return row.name == name; });
    return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

const ItemContext& ItemListLogic::itemContext() const {
    static const ItemContext none;
    return m_context ? *m_context : none;
}

bool ItemListLogic::editItem(const std::string& name, platform::Window* owner) {
    const std::unique_ptr<DBItem> item = loadItem(name);
    if (!item)
        return false;
    if (item->loadFailed()) {
        // A record that cannot be read is never edited nor written over.
        platform::prompter().showMessage(
            formatText(m_languages.GetText("IDS_UNREADABLEITEM"), {name}));
        return false;
    }
    const bool confirmed = item->Edit(owner, itemContext());
    if (confirmed)
        withBuildingTotals([&] {
            if (!m_store.FindRecord(m_kind.itemType, m_groupId, name))
                return false;
            item->SaveToRecord(m_store);
            return true;
        });
    reload();
    return confirmed;
}

bool ItemListLogic::editNewItem(DBItem& item, platform::Window* owner) {
    const bool confirmed = item.Edit(owner, itemContext());
    withBuildingTotals([&] {
        if (!m_store.FindRecord(m_kind.itemType, m_groupId, item.Name))
            return false;
        if (confirmed)
            item.SaveToRecord(m_store);
        else
            m_store.DeleteItem(m_kind.itemType, m_groupId, item.Name);
        return true;
    });
    reload();
    return confirmed;
}

bool ItemListLogic::itemCreated(const std::string& name, platform::Window* owner) {
    // The record was created with `newItemRecord()`, the project's defaults in it.
    const std::unique_ptr<DBItem> item = loadItem(name);
    if (!item || item->loadFailed())
        return false;
    return editNewItem(*item, owner);
}

bool ItemListLogic::withBuildingTotals(const std::function<bool()>& change) {
    if (!hasLinks())
        return change();
    SqliteTransaction transaction(m_store.database());
    if (!change())
        return false;
    (void)RecollectBuildings(m_store);
    transaction.commit();
    return true;
}

std::vector<ItemKind> listsShowingChangesOf(ItemKind changed) {
    switch (changed) {
    case ItemKind::Room:
        return {ItemKind::Building};
    case ItemKind::Building:
        return {ItemKind::Room};
    default:
        return {};
    }
}

bool ItemListLogic::hasLinks() const {
    return m_kind.kind == ItemKind::Room || m_kind.kind == ItemKind::Building;
}

std::optional<std::string> ItemListLogic::newItemRefusal() const {
    if (m_kind.kind == ItemKind::Room && m_store.ListRecords(RecordType::Building).empty())
        return std::string("IDS_NEEDBUILDING");
    return std::nullopt;
}

bool ItemListLogic::hasEditor() const {
    return m_kind.kind == ItemKind::Material || m_kind.kind == ItemKind::Construction ||
           m_kind.kind == ItemKind::Room || m_kind.kind == ItemKind::Building;
}

std::string ItemListLogic::newItemRecord() const {
    const std::unique_ptr<DBItem> item = CreateItemOfKind(m_kind.kind);
    if (!item)
        return {};
    if (prepareNewItem)
        prepareNewItem(*item);
    return item->recordBytes();
}

std::optional<std::string> ItemListLogic::copyRecord(const std::string& source) const {
    const std::unique_ptr<DBItem> item = loadItem(source);
    if (!item || item->loadFailed())
        return std::nullopt;
    return item->recordBytes();
}

bool ItemListLogic::itemCopied(const std::string& newName, platform::Window* owner) {
    // The copy's record was created with the source's data: its editor opens on it, and
    // cancelling removes the copy as it removes any item being created.
    const std::unique_ptr<DBItem> item = loadItem(newName);
    if (!item || item->loadFailed())
        return false;
    return editNewItem(*item, owner);
}

std::string ItemListLogic::renameItem(const std::string& oldName, const std::string& typed) {
    if (typed == oldName)
        return {};
    const std::string name = trimTrailingSpaces(typed);
    if (name.empty() || name == oldName)
        return {};
    if (m_store.FindRecord(m_kind.itemType, m_groupId, name))
        return "IDS_ITEMNAMEEXIST";
    m_store.RenameRecord(m_kind.itemType, m_groupId, oldName, name);
    reload();
    return {};
}

std::string ItemListLogic::renameGroup(const std::string& parentId, const std::string& oldName,
                                       const std::string& typed) {
    if (typed == oldName)
        return {};
    if (parentId.empty())
        return "IDS_ROOTNAMECANNOTCHANGE";
    const std::string name = trimTrailingSpaces(typed);
    if (name.empty() || name == oldName)
        return {};
    if (m_store.FindRecord(m_kind.groupType, parentId, name))
        return "IDS_GROUPNAMEEXIST";
    m_store.RenameRecord(m_kind.groupType, parentId, oldName, name);
    if (!m_captionPath.empty() && m_captionPath.back() == oldName)
        m_captionPath.back() = name;
    return {};
}

std::string ItemListLogic::textOf(const char* key, const std::string& argument) const {
    return formatText(m_languages.GetText(key), {argument});
}

bool ItemListLogic::deleteItem(const std::string& name) {
    if (!platform::prompter().askYesNo(textOf("IDS_WANTITEMDELETE", name),
                                       platform::DefaultButton::No))
        return false;
    if (!withBuildingTotals([&] { return m_store.DeleteItem(m_kind.itemType, m_groupId, name); })) {
        showKey(m_languages, "IDS_BUILDINGHASROOMREF");
        return false;
    }
    reload();
    return true;
}

bool ItemListLogic::deleteGroup(const std::string& parentId, const std::string& name,
                                const std::string& groupId, const std::function<void()>& started) {
    if (parentId.empty() || groupId == m_store.RootId()) {
        showKey(m_languages, "IDS_ROOTCANNOTDELETE");
        return false;
    }
    if (!platform::prompter().askYesNo(textOf("IDS_WANTGROUPDELETE", name),
                                       platform::DefaultButton::No))
        return false;
    if (started)
        started();
    // Depth first: every subgroup (always the first one left) before the group itself.
    const std::function<bool(const std::string&, const std::string&, const std::string&)>
        removeGroup = [&](const std::string& parent, const std::string& groupName,
                          const std::string& id) {
            for (;;) {
                const std::vector<Reference> children =
                    m_store.ListRecordsInGroup(m_kind.groupType, id);
                if (children.empty())
                    break;
                if (!removeGroup(id, children.front().Name, children.front().ID))
                    return false;
            }
            return m_store.DeleteGroup(m_kind.groupType, m_kind.itemType, groupName, id, parent);
        };
    const bool deleted = withBuildingTotals([&] { return removeGroup(parentId, name, groupId); });
    if (!deleted)
        showKey(m_languages, "IDS_BUILDINGHASROOMREF");
    if (deleted && m_groupId == groupId)
        selectGroup({}, {});
    else
        reload();
    return deleted;
}

std::string ItemListLogic::privateFormat(bool exportForm) const {
    return privateClipboardFormat(m_kind.kind, exportForm);
}

bool ItemListLogic::copyToClipboard(const std::string& name, platform::Clipboard& clipboard,
                                    ClipboardCopy what, bool cut) {
    const std::unique_ptr<DBItem> item = loadItem(name);
    if (!item || item->loadFailed())
        return false;
    if (hasLinks())
        nameLinksForCopy(BuildingsTable::load(m_store), *item);
    ClipboardDocument stream(m_languages);
    if (!item->CopyTo(stream, itemContext(), what))
        return false;
    if (addPicture)
        addPicture(*item, stream);
    stream.CopyToClipboard(clipboard, privateFormat(false));
    if (cut) {
        // A building that still has rooms stays; the cut is then a copy, and says so.
        if (!withBuildingTotals(
                [&] { return m_store.DeleteItem(m_kind.itemType, m_groupId, name); }))
            showKey(m_languages, "IDS_BUILDINGHASROOMREF");
        reload();
    }
    return true;
}

bool ItemListLogic::canPaste(const platform::Clipboard& clipboard) const {
    return !m_groupId.empty() && clipboard.hasFormat(privateFormat(false));
}

std::optional<std::string> ItemListLogic::paste(const platform::Clipboard& clipboard,
                                                const NameAsker& askName) {
    if (m_groupId.empty())
        return std::nullopt;
    ClipboardDocument stream(m_languages);
    if (!stream.PasteFromClipboard(clipboard, privateFormat(false)))
        return std::nullopt;
    std::unique_ptr<DBItem> item = CreateItemOfKind(m_kind.kind);
    if (!item || !item->PasteFrom(stream.privateStream()))
        return std::nullopt;
    // Rooms and buildings: one change of the links made (a building created for a room
    // included) and the record.
    std::optional<SqliteTransaction> transaction;
    if (hasLinks()) {
        transaction.emplace(m_store.database());
        BuildingsTable buildings = BuildingsTable::load(m_store);
        linkPastedItem(m_store, buildings, *item, roomSettings ? roomSettings() : std::nullopt);
    }
    // The record is created with the pasted data: by the name dialog when the name is taken.
    std::string name = item->Name;
    const std::string data = item->recordBytes();
    if (m_store.FindRecord(m_kind.itemType, m_groupId, name)) {
        if (!platform::prompter().askYesNo(m_languages.GetText("IDS_PASTEITEMNAMEEXIST"),
                                           platform::DefaultButton::Yes))
            return std::nullopt;
        const std::optional<std::string> chosen = askName(name, data);
        if (!chosen || !m_store.FindRecord(m_kind.itemType, m_groupId, *chosen))
            return std::nullopt;
        name = *chosen;
    } else {
        m_store.AddRecord(m_kind.itemType, m_groupId, name, data);
    }
    if (transaction) {
        (void)RecollectBuildings(m_store);
        transaction->commit();
    }
    reload();
    return name;
}

void ItemListLogic::exportToClipboard(const std::vector<Reference>& items,
                                      platform::Clipboard& clipboard, ClipboardCopy what) {
    ClipboardDocument stream(m_languages);
    stream.MultiItem = true;
    std::optional<BuildingsTable> buildings;
    if (hasLinks())
        buildings = BuildingsTable::load(m_store);
    for (const Reference& reference : items) {
        bool loaded = false;
        const std::unique_ptr<DBItem> item =
            LoadReferencedItem(m_store, m_kind.kind, reference, loaded);
        if (!item || !loaded)
            continue; // gone, or unreadable: left out
        std::string path = m_store.PathOfGroup(m_kind.groupType, reference.RefID, '\n');
        if (!path.empty())
            path.pop_back();
        if (buildings)
            nameLinksForCopy(*buildings, *item);
        const std::size_t placeholder = stream.BeginEntry(path, reference.Name);
        item->CopyTo(stream, itemContext(), what);
        stream.EndEntry(placeholder);
    }
    // The end entry: no path, no name, and -1 where an entry has its end offset.
    WriteString(stream.privateStream(), {});
    WriteString(stream.privateStream(), {});
    writeInt32(stream.privateStream(), -1);
    stream.CopyToClipboard(clipboard, privateFormat(true));
}

std::vector<ItemListLogic::ExportEntry>
ItemListLogic::clipboardExport(const platform::Clipboard& clipboard) const {
    std::vector<ExportEntry> entries;
    const std::optional<std::string> bytes = clipboard.data(privateFormat(true));
    if (!bytes)
        return entries;
    MemoryStream stream(*bytes);
    while (stream.remaining() > 0) {
        const std::size_t start = stream.position();
        const std::string path = ReadString(stream);
        const std::string name = ReadString(stream);
        const std::int32_t end = readInt32(stream);
        if (path.empty() && name.empty() && end == -1)
            break;
        stream.seek(start);
        ExportEntry entry;
        const std::int32_t checkedEnd =
            ClipboardDocument::ReadEntry(stream, entry.path, entry.name);
        entry.position = stream.position();
        entries.push_back(std::move(entry));
        stream.seek(static_cast<std::size_t>(checkedEnd));
    }
    return entries;
}

int ItemListLogic::importFromClipboard(
    const platform::Clipboard& clipboard, const std::vector<ExportEntry>& chosen,
    const std::function<void(std::size_t, std::size_t)>& progress) {
    const std::optional<std::string> bytes = clipboard.data(privateFormat(true));
    if (!bytes)
        return 0;
    // The whole import is one transaction (one commit; a program stopped half-way leaves the
    // table as it was); an error that ends it keeps the items stored before.
    SqliteTransaction import(m_store.database());
    int stored = 0;
    // One table for the whole import: buildings made for the rooms join it.
    std::optional<BuildingsTable> buildings;
    if (hasLinks())
        buildings = BuildingsTable::load(m_store);
    const std::optional<RoomSettings> settings = roomSettings ? roomSettings() : std::nullopt;
    try {
        std::size_t done = 0;
        for (const ExportEntry& entry : chosen) {
            if (progress)
                progress(++done, chosen.size());
            MemoryStream stream(*bytes);
            stream.seek(entry.position);
            std::unique_ptr<DBItem> item = CreateItemOfKind(m_kind.kind);
            if (!item || !item->PasteFrom(stream))
                continue;
            if (buildings)
                linkPastedItem(m_store, *buildings, *item, settings);
            std::string path = entry.path;
            if (!normalizeImportedPath(path, '\n'))
                throw badGroupPathError(path);
            const std::string groupId = m_store.GroupOfPath(m_kind.groupType, path, '\n');
            m_store.AddRecord(m_kind.itemType, groupId, entry.name, item->recordBytes());
            ++stored;
        }
    } catch (...) {
        import.commit();
        reload();
        throw;
    }
    if (buildings)
        (void)RecollectBuildings(m_store);
    import.commit();
    reload();
    return stored;
}

std::string ItemListLogic::dragText(const std::string& name) const {
    const std::unique_ptr<DBItem> item = loadItem(name);
    if (!item || item->loadFailed())
        return {};
    return item->DragText();
}

bool ItemListLogic::moveItem(const std::string& name, const std::string& targetGroupId) {
    if (!m_store.MoveRecord(m_kind.itemType, name, m_groupId, targetGroupId)) {
        showKey(m_languages, "IDS_CONFLICTEXISTEDNAMES");
        return false;
    }
    reload();
    return true;
}

bool ItemListLogic::moveGroup(const std::string& name, const std::string& parentId,
                              const std::string& targetGroupId) {
    if (!m_store.MoveRecord(m_kind.groupType, name, parentId, targetGroupId)) {
        showKey(m_languages, "IDS_CONFLICTEXISTEDNAMES");
        return false;
    }
    return true;
}

} // namespace kalydor
