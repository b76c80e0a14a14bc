#pragma once

#include "reports/columnlayout.h"
#include "rooms/room.h"
#include "store/dbitem.h"
#include "store/itemcontext.h"
#include "store/itemkinds.h"
#include "store/reference.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

class ClipboardDocument;
class ItemStore;
class Languages;

namespace platform {
class Clipboard;
class SettingsStore;
class Window;
} // namespace platform

/// What distinguishes the list windows of the four item kinds.
struct ItemListKind {
    ItemKind kind = ItemKind::Material;
    std::int16_t groupType = 0;
    std::int16_t itemType = 0;
    const char* listName = "";   ///< settings name of the column layout
    const char* layoutName = ""; ///< built-in column layout
    bool fileExchange = false;   ///< export and import to files (materials, constructions)
};

/// The constants of kinds 1 (materials) to 4 (buildings); raises for another kind.
const ItemListKind& itemListKind(ItemKind kind);

/// The file types the export dialog offers, in the order of its filters.
enum class ExchangeFileType { Text, Xml, Any };
/// The name an export is written under. The type chosen in the dialog decides: a name
/// without its extension gets ".txt" or ".xml" (the form follows the name's extension);
/// with "all files" the name stays as typed.
std::string exchangeFileName(const std::string& typed, ExchangeFileType type);

/// The logic of an item list window: the items of the selected group as list rows, and the
/// commands on items and groups over the store. The window shows what it holds and asks the
/// user through the prompter; the name dialog and the editors are run by the caller.
class ItemListLogic {
public:
    ItemListLogic(ItemKind kind, ItemStore& store, const Languages& languages,
                  platform::SettingsStore& settings);

    const ItemListKind& kind() const { return m_kind; }
    ItemStore& store() const { return m_store; }
    ColumnLayout& columns() { return m_columns; }
    /// Loads the column layout again in the current language (after a language switch) and
    /// refills the rows.
    void reloadColumns();

    /// The category title of the kind (the root group's caption).
    std::string categoryTitle() const;
    /// The window caption: the captions from the root down to the selected group joined by
    /// " - ", or the category title without a selected group.
    std::string caption() const;

    /// Selects a group (its captions from the root down, and its identifier) and reloads the
    /// list; an empty identifier deselects.
    void selectGroup(std::vector<std::string> captionPath, std::string groupId);
    const std::string& selectedGroupId() const { return m_groupId; }
    std::string selectedGroupCaption() const;

    struct Row {
        std::string name;
        ListRow texts;
        bool unreadable = false; ///< the stored data could not be read
    };
    const std::vector<Row>& rows() const { return m_rows; }
    /// Reloads every row of the selected group through the column layout.
    void reload();
    /// The row of an item, or -1.
    int rowOf(const std::string& name) const;

    /// A new item of the kind loaded from its record in the selected group; null when there
    /// is no such record. An item whose data cannot be read comes back marked so.
    std::unique_ptr<DBItem> loadItem(const std::string& name) const;

    /// Runs the item's editor and stores it when the user confirmed; the row follows.
    bool editItem(const std::string& name, platform::Window* owner);
    /// The data block a new item's record is created with (by the name dialog): the item
    /// with its defaults and the open project's (`prepareNewItem`), so that the record never
    /// exists without its data.
    std::string newItemRecord() const;
    /// Why no new item can be created now: a room belongs to a building, so rooms need one in
    /// the project ("IDS_NEEDBUILDING"). Nothing when an item can be created.
    std::optional<std::string> newItemRefusal() const;
    /// Whether items of the kind can be created and edited here.
    bool hasEditor() const;
    /// Whether the kind's items link to others by identifier (rooms, buildings): copies carry
    /// the linked names, pastes link by them.
    bool hasLinks() const;
    /// The data block a copy of an item of the selected group is created with; nothing when
    /// the item is gone or cannot be read (an unreadable item is not copied).
    std::optional<std::string> copyRecord(const std::string& source) const;
    /// After the name dialog created the record of a new item with `newItemRecord()`: the
    /// item gets its editor and is stored when confirmed. Cancelling the creation at any step
    /// (a kind chooser, the editor) removes the record again.
    bool itemCreated(const std::string& name, platform::Window* owner);
    /// After the name dialog created the record of a copy with `copyRecord(source)`: the
    /// editor on the copy; confirmed, it is stored, cancelled, the copy goes.
    bool itemCopied(const std::string& newName, platform::Window* owner);
    /// The settings pasted and imported rooms are recalculated with (the open project's);
    /// unset, they keep the results they came with.
    std::function<std::optional<RoomSettings>()> roomSettings;
    /// Gives an item being created the defaults of the open project (set by the program).
    std::function<void(DBItem& item)> prepareNewItem;
    /// The context the items' editors, copies and reports get (the program's dialogs and the
    /// open project's settings); the list keeps a reference. Without one, an edit is refused
    /// and a copy's report is calculated with default settings.
    void setItemContext(const ItemContext& context) { m_context = &context; }
    const ItemContext& itemContext() const;

    /// Renames an item from its row; the message key of a refusal (the old caption stays),
    /// or empty.
    std::string renameItem(const std::string& oldName, const std::string& typed);
    /// Renames a group (not the root); the message key of a refusal, or empty.
    std::string renameGroup(const std::string& parentId, const std::string& oldName,
                            const std::string& typed);

    /// Deletes an item after the question "IDS_WANTITEMDELETE"; false when kept.
    bool deleteItem(const std::string& name);
    /// Deletes a group with its subgroups and items, depth first, after the question
    /// "IDS_WANTGROUPDELETE"; stops at the first refusal ("IDS_BUILDINGHASROOMREF"), what was
    /// deleted staying deleted. The root is refused ("IDS_ROOTCANNOTDELETE").
    /// `started` is called once the user agreed, before the deletion runs.
    bool deleteGroup(const std::string& parentId, const std::string& name,
                     const std::string& groupId, const std::function<void()>& started = {});

    /// Puts an item on the clipboard: its report text and cells and its private copy under
    /// the kind's copy format. With `cut` the record is deleted afterwards.
    bool copyToClipboard(const std::string& name, platform::Clipboard& clipboard,
                         ClipboardCopy what, bool cut);
    /// Draws the picture that goes with an item's copy (a material's chart) into the stream;
    /// set by the desktop, which can draw.
    std::function<void(const DBItem& item, ClipboardDocument& stream)> addPicture;

    /// Whether the clipboard holds an item of this kind.
    bool canPaste(const platform::Clipboard& clipboard) const;
    /// The name dialog of an item: the name typed, starting from `initial`, under which it
    /// created the record with the data block `itemData`; nothing when cancelled.
    using NameAsker = std::function<std::optional<std::string>(const std::string& initial,
                                                               const std::string& itemData)>;
    /// Pastes the clipboard's item into the selected group, its record created with its data
    /// in one change. When its name is taken there, "IDS_PASTEITEMNAMEEXIST" is asked and
    /// `askName` gives the new name, or nothing to stop. Returns the name stored under.
    std::optional<std::string> paste(const platform::Clipboard& clipboard,
                                     const NameAsker& askName);

    /// One item of a multi-item export on the clipboard: its group path (components
    /// separated by line feeds), its name and where its data begins.
    struct ExportEntry {
        std::string path;
        std::string name;
        std::size_t position = 0;
    };
    /// Puts the items on the clipboard as one multi-item export of the kind (each entry with
    /// its group path, its name, the offset of its end and its data), ended by the end entry.
    void exportToClipboard(const std::vector<Reference>& items, platform::Clipboard& clipboard,
                           ClipboardCopy what);
    /// The entries of the kind's multi-item export on the clipboard; none without one.
    /// Raises "IDS_DATAREADERROR" for damaged data.
    std::vector<ExportEntry> clipboardExport(const platform::Clipboard& clipboard) const;
    /// Stores chosen entries of the clipboard's export: each under its (possibly changed)
    /// path and name, missing groups created, all in one transaction. Returns how many were
    /// stored. `progress` is told the entries done of the total.
    int importFromClipboard(const platform::Clipboard& clipboard,
                            const std::vector<ExportEntry>& chosen,
                            const std::function<void(std::size_t, std::size_t)>& progress = {});

    /// The text offered when an item of the selected group is dragged out of the list (a
    /// construction's drag text); empty when the item offers none.
    std::string dragText(const std::string& name) const;

    /// Moves an item of the selected group into another group; false (with
    /// "IDS_CONFLICTEXISTEDNAMES") when it cannot go there.
    bool moveItem(const std::string& name, const std::string& targetGroupId);
    /// Moves a group under another one (not under itself or its own subgroups).
    bool moveGroup(const std::string& name, const std::string& parentId,
                   const std::string& targetGroupId);

private:
    /// Runs the editor of an item whose record was just made: stored when confirmed, the
    /// record removed when not.
    bool editNewItem(DBItem& item, platform::Window* owner);
    std::string privateFormat(bool exportForm) const;
    std::string textOf(const char* key, const std::string& argument) const;
    /// Runs a change of rooms or buildings with the buildings totalled again after it, in one
    /// transaction: the totals never disagree with the rooms. Other kinds just run it.
    bool withBuildingTotals(const std::function<bool()>& change);

    ItemListKind m_kind;
    ItemStore& m_store;
    const Languages& m_languages;
    const ItemContext* m_context = nullptr;
    platform::SettingsStore& m_settings;
    ColumnLayout m_columns;
    std::vector<std::string> m_captionPath;
    std::string m_groupId;
    std::vector<Row> m_rows;
};

/// The other lists that show what a change of an item kind changed: the rooms list names
/// each room's building, the buildings list shows totals over the rooms.
std::vector<ItemKind> listsShowingChangesOf(ItemKind changed);

} // namespace kalydor
