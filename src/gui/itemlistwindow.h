#pragma once

#include "exchange/textexchange.h"
#include "shell/itemlist.h"

#include <QTreeWidget>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QMenu;

namespace kalydor {
class ProgramOptions;
namespace platform {
class Clipboard;
}
} // namespace kalydor

namespace kalydor::gui {

class QtWindow;
class ColumnHeaderView;

/// Asks for the name of a new group or item under a parent group and creates its record (an
/// item's with the data block `itemData`, in the same change); the name, or nothing when
/// cancelled.
using NamePrompt = std::function<std::optional<std::string>(
    QWidget* parent, bool group, const std::string& parentId, const std::string& initialName,
    const std::string& itemData)>;

/// The list window of one item kind: the group tree on the left, the items of the selected
/// group on the right in the kind's column layout, and every command on groups and items.
class ItemListWindow : public QWidget {
    Q_OBJECT

public:
    ItemListWindow(ItemKind kind, ItemStore& store, ProgramOptions& options,
                   platform::Clipboard& clipboard, NamePrompt namePrompt,
                   QWidget* parent = nullptr);
    ~ItemListWindow() override;

    ItemKind kind() const { return m_logic.kind().kind; }
    ItemListLogic& logic() { return m_logic; }
    QTreeWidget* groupTree() const { return m_tree; }
    QTreeWidget* itemList() const { return m_list; }
    /// The command of a name: createGroup, renameGroup, deleteGroup, createItem, copyItem,
    /// modifyItem, renameItem, deleteItem, copy, cut, paste, columns.
    QAction* command(const QString& name) const;

    /// Selects the group node with this identifier (and shows its items).
    bool selectGroupById(const std::string& id);
    /// Selects the row of an item of the selected group.
    bool selectItem(const std::string& name);
    /// The name of the selected row's item; empty without one.
    std::string selectedItem() const { return selectedItemName(); }
    /// Rebuilds the group tree from the store, keeping the selected group when it exists.
    void rebuildTree();
    /// Reloads the rows of the selected group.
    void reloadList();
    /// Translates the window again and renews its caption (after the program options).
    void retranslate();

    /// Moves the selected item into the group of a node (the drop of a row on the tree).
    bool dropSelectedItemOn(QTreeWidgetItem* node);

    /// Opens the program's search-and-replace window (set by the main window).
    std::function<void()> openSearch;
    /// What a file import does to the items it reads (set by the main window: constructions
    /// are calculated for the open project); asked at each import.
    std::function<ImportOptions()> importOptions;

    /// Exports the chosen items to a file (text, or XML for a name ending in "xml").
    void exportToFile(const std::vector<Reference>& items, const std::string& fileName);
    /// Imports the items of an exchange file, then shows the groups again.
    void importFromFile(const std::string& fileName);

signals:
    /// A command stored a change (each confirmed change is stored at once; there is no
    /// save step).
    void changeStored();

private:
    void buildCommands();
    void groupSelected();
    void showRows();
    void updateCommands();
    void createGroup();
    void renameGroup();
    void deleteGroup();
    void createItem();
    void copyItem();
    void modifyItem();
    void deleteItem();
    void copyOrCut(bool cut);
    void paste();
    void editColumns();
    void exportFile();
    void importFile();
    void exportToClipboard();
    void importFromClipboard();
    void treeItemRenamed(QTreeWidgetItem* node);
    void listItemRenamed(QTreeWidgetItem* row);
    std::string selectedItemName() const;
    QTreeWidgetItem* selectedNode() const;
    static std::string nodeId(const QTreeWidgetItem* node);
    static std::string parentIdOf(const QTreeWidgetItem* node);

    ProgramOptions& m_options;
    platform::Clipboard& m_clipboard;
    NamePrompt m_namePrompt;
    ItemListLogic m_logic;
    std::unique_ptr<QtWindow> m_owner;
    QTreeWidget* m_tree;
    QTreeWidget* m_list;
    ColumnHeaderView* m_header;
    QHash<QString, QAction*> m_commands;
    bool m_filling = false;
    bool m_widthsApplied = false;
};

} // namespace kalydor::gui
