#pragma once

#include "shell/itemlist.h"
#include "store/reference.h"
#include "store/treemodel.h"

#include <QDialog>

#include <memory>
#include <vector>

class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kalydor {
class ItemStore;
class Hierarchy;
class Languages;
} // namespace kalydor

namespace kalydor::gui {

/// Chooses the items of a kind for an export: a check tree of the groups and items, all
/// items or only the ticked ones. A double click ticks or unticks a node (a group with all
/// it holds) and switches to the ticked items.
class SelectionDialog : public QDialog {
    Q_OBJECT

public:
    SelectionDialog(ItemStore& store, ItemKind kind, const Languages& languages,
                    QWidget* parent = nullptr);
    /// The import form: the tree of the entries of a multi-item export on the clipboard.
    /// Ticking an item that exists in the store at its path is refused; nodes can be renamed
    /// in place; OK needs at least one ticked item.
    SelectionDialog(ItemStore& store, ItemKind kind,
                    const std::vector<ItemListLogic::ExportEntry>& entries,
                    const Languages& languages, QWidget* parent = nullptr);
    ~SelectionDialog() override;

    QTreeWidget* tree() const { return m_view; }
    QRadioButton* allItems() const { return m_all; }
    QRadioButton* tickedItems() const { return m_ticked; }
    /// Ticks or unticks the node shown by a tree row.
    void toggle(QTreeWidgetItem* row);

    /// The chosen items in tree order.
    std::vector<Reference> chosenItems() const;
    /// Import form: moves a node (with what it holds) under a group node, as a drop does.
    bool moveNode(QTreeWidgetItem* row, QTreeWidgetItem* target);
    /// Import form: a new group under the selected group node, named through the name
    /// dialog; returns its row.
    QTreeWidgetItem* addGroup(const std::string& name);

    /// Import form: the ticked entries in tree order, with their paths and names as the tree
    /// now shows them.
    std::vector<ItemListLogic::ExportEntry> chosenEntries() const;

    void accept() override;

private:
    SelectionDialog(ItemStore& store, ItemKind kind, const Languages& languages, bool importing,
                    QWidget* parent);
    void build(TreeNode* root, const Languages& languages);
    void showStates();
    void renamed(QTreeWidgetItem* row);
    void showTree();
    bool eventFilter(QObject* watched, QEvent* event) override;

    ItemStore& m_store;
    ItemKind m_kind;
    TreeModel m_model;
    std::unique_ptr<Hierarchy> m_hierarchy;
    TreeNode* m_root = nullptr;
    QTreeWidget* m_view;
    QRadioButton* m_all;
    QRadioButton* m_ticked;
    const Languages& m_languages;
    bool m_importing = false;
};

} // namespace kalydor::gui
