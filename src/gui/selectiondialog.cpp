#include "gui/selectiondialog.h"

#include "gui/namedialog.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"
#include "shell/itemlist.h"
#include "store/hierarchy.h"
#include "store/itemstore.h"
#include "store/itemtree.h"

#include <QDropEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>
#include <set>
#include <utility>

namespace kalydor::gui {
namespace {

const TreeNode* nodeOf(const QTreeWidgetItem* row) {
    return row ? static_cast<const TreeNode*>(row->data(0, Qt::UserRole).value<void*>()) : nullptr;
}

void addRows(QTreeWidgetItem* parent, const TreeNode& node) {
    for (const std::unique_ptr<TreeNode>& child : node.children()) {
        auto* row = new QTreeWidgetItem(parent, {qt(child->caption())});
        row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(child.get())));
        addRows(row, *child);
    }
}

} // namespace

SelectionDialog::SelectionDialog(ItemStore& store, ItemKind kind, const Languages& languages,
                                 bool importing, QWidget* parent)
    : QDialog(parent)
    , m_store(store)
    , m_kind(kind)
    , m_view(named<QTreeWidget>("SelectionTree"))
    , m_all(named<QRadioButton>("AllItemsRadio", QStringLiteral("All items")))
    , m_ticked(named<QRadioButton>("TickedItemsRadio", QStringLiteral("Ticked items only")))
    , m_languages(languages)
    , m_importing(importing) {}

SelectionDialog::SelectionDialog(ItemStore& store, ItemKind kind, const Languages& languages,
                                 QWidget* parent)
    : SelectionDialog(store, kind, languages, false, parent) {
    const ItemListKind& constants = itemListKind(kind);
    const std::string category =
        languages.GetText("IDS_PRINTCATEGORY+" + std::to_string(kindNumber(kind)));
    TreeNode* root = fillGroupTree(store, m_model, category, constants.groupType);
    fillItemTree(store, constants.itemType, m_model, root);
    m_hierarchy =
        std::make_unique<Hierarchy>(m_model, nullptr, constants.groupType, constants.itemType);
    build(root, languages);
    setWindowTitle(qt(root->caption()));
}

SelectionDialog::SelectionDialog(ItemStore& store, ItemKind kind,
                                 const std::vector<ItemListLogic::ExportEntry>& entries,
                                 const Languages& languages, QWidget* parent)
    : SelectionDialog(store, kind, languages, true, parent) {
    const ItemListKind& constants = itemListKind(kind);
    const std::string category =
        languages.GetText("IDS_PRINTCATEGORY+" + std::to_string(kindNumber(kind)));
    // Group nodes carry "1", item nodes "P" and the entry's position.
    TreeNode* root = m_model.addRoot(category, "1");
    for (const ItemListLogic::ExportEntry& entry : entries) {
        TreeNode* parentNode = root;
        std::string path = entry.path;
        while (!path.empty()) {
            const std::string part = Hierarchy::SplitFirst(path, "\n");
            TreeNode* child = parentNode->childWithCaption(part);
            parentNode = child ? child : m_model.addChild(*parentNode, part, "1");
        }
        m_model.addChild(*parentNode, entry.name, "P" + std::to_string(entry.position));
    }
    m_hierarchy =
        std::make_unique<Hierarchy>(m_model, &store, constants.groupType, constants.itemType);
    build(root, languages);
    setWindowTitle(qt(languages.GetText("IDS_IMPORTTITLE") + category));
    m_ticked->setChecked(true);
    m_all->setEnabled(false);
    m_view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    showTree();
    m_view->setDragDropMode(QAbstractItemView::InternalMove);
    m_view->viewport()->installEventFilter(this);
    auto* newGroup = named<QPushButton>("NewGroupButton", QStringLiteral("New group..."));
    connect(newGroup, &QPushButton::clicked, this, [this] {
        const QTreeWidgetItem* current = m_view->currentItem();
        const TreeNode* groupNode = current ? nodeOf(current) : m_root;
        if (groupNode && !groupNode->isGroup())
            groupNode = groupNode->parent();
        NameRequest request;
        request.group = true;
        request.parentNode = groupNode;
        NameDialog dialog(m_languages, request, this);
        if (dialog.exec() == QDialog::Accepted)
            addGroup(dialog.name());
    });
    static_cast<QVBoxLayout*>(layout())->insertWidget(1, newGroup);
    translateWindow(m_languages, *this);
}

void SelectionDialog::build(TreeNode* root, const Languages& languages) {
    setObjectName(QStringLiteral("SelectionForm"));
    setSizeGripEnabled(true);
    m_view->setHeaderHidden(true);
    m_root = root;
    showTree();
    connect(m_view, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* row) { toggle(row); });
    connect(m_view, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* row) {
        const TreeNode* node = nodeOf(row);
        if (node && qt(node->caption()) != row->text(0)) {
            renamed(row);
            return;
        }
        // A tick set with the mouse on the box toggles like a double click.
        const bool checked = row->checkState(0) == Qt::Checked;
        if (checked != (m_hierarchy->state(node) == 1))
            toggle(row);
    });
    m_all->setChecked(true);
    auto* choice = new QHBoxLayout;
    choice->addWidget(m_all);
    choice->addWidget(m_ticked);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    layout->addLayout(choice);
    layout->addWidget(okCancelButtons(this));
    translateWindow(languages, *this);
    showStates();
    resize(420, 520);
}

void SelectionDialog::showTree() {
    const QSignalBlocker blocker(m_view);
    m_view->clear();
    auto* top = new QTreeWidgetItem(m_view, {qt(m_root->caption())});
    top->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(m_root)));
    addRows(top, *m_root);
    m_view->expandAll();
    if (m_importing) {
        for (QTreeWidgetItemIterator it(m_view); *it; ++it)
            (*it)->setFlags((*it)->flags() | Qt::ItemIsEditable);
    }
}

bool SelectionDialog::moveNode(QTreeWidgetItem* row, QTreeWidgetItem* target) {
    auto* node = const_cast<TreeNode*>(nodeOf(row));
    auto* group = const_cast<TreeNode*>(nodeOf(target));
    if (!node || !group || !m_hierarchy->Drop(group, node).empty())
        return false;
    showTree();
    showStates();
    return true;
}

QTreeWidgetItem* SelectionDialog::addGroup(const std::string& name) {
    QTreeWidgetItem* selected =
        m_view->currentItem() ? m_view->currentItem() : m_view->topLevelItem(0);
    auto* parent = const_cast<TreeNode*>(nodeOf(selected));
    if (parent && !parent->isGroup())
        parent = parent->parent();
    if (!parent)
        return nullptr;
    TreeNode* group = m_model.addChild(*parent, name, "1");
    showTree();
    showStates();
    for (QTreeWidgetItemIterator it(m_view); *it; ++it) {
        if (nodeOf(*it) == group)
            return *it;
    }
    return nullptr;
}

// Drops inside the import tree move nodes under a group; nothing moves by itself.
bool SelectionDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view->viewport() && event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        QTreeWidgetItem* target = m_view->itemAt(drop->position().toPoint());
        if (target && m_view->currentItem())
            moveNode(m_view->currentItem(), target);
        drop->setDropAction(Qt::IgnoreAction);
        drop->accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// A node renamed in place: the hierarchy checks the name (and the existing items).
void SelectionDialog::renamed(QTreeWidgetItem* row) {
    auto* node = const_cast<TreeNode*>(nodeOf(row));
    m_hierarchy->Rename(node, row->text(0).toStdString());
    const QSignalBlocker blocker(m_view);
    row->setText(0, qt(node->caption()));
    showStates();
}

void SelectionDialog::accept() {
    if (m_importing && chosenEntries().empty()) {
        platform::prompter().showMessage(m_languages.GetText("IDS_NOSELECTION"));
        return;
    }
    QDialog::accept();
}

std::vector<ItemListLogic::ExportEntry> SelectionDialog::chosenEntries() const {
    std::vector<ItemListLogic::ExportEntry> entries;
    for (QTreeWidgetItemIterator it(m_view); *it; ++it) {
        const TreeNode* node = nodeOf(*it);
        if (!node || node->isGroup() || m_hierarchy->state(node) != 1)
            continue;
        const std::string& id = node->identifier().value_or("");
        if (id.size() < 2 || id[0] != 'P')
            continue;
        ItemListLogic::ExportEntry entry;
        entry.path = Hierarchy::PathOf(node, "\n");
        entry.name = node->caption();
        entry.position = std::stoul(id.substr(1));
        entries.push_back(std::move(entry));
    }
    return entries;
}

SelectionDialog::~SelectionDialog() = default;

void SelectionDialog::toggle(QTreeWidgetItem* row) {
    const TreeNode* node = nodeOf(row);
    if (!node)
        return;
    m_hierarchy->Toggle(const_cast<TreeNode*>(node));
    m_ticked->setChecked(true);
    showStates();
}

// Ticked (1), partly ticked (2: a group with some of its nodes ticked) or unticked (3).
void SelectionDialog::showStates() {
    const QSignalBlocker blocker(m_view);
    for (QTreeWidgetItemIterator it(m_view); *it; ++it) {
        const int state = m_hierarchy->state(nodeOf(*it));
        (*it)->setCheckState(0, state == 1   ? Qt::Checked
                                : state == 2 ? Qt::PartiallyChecked
                                             : Qt::Unchecked);
    }
}

std::vector<Reference> SelectionDialog::chosenItems() const {
    const ItemListKind& constants = itemListKind(m_kind);
    const bool all = m_all->isChecked();
    std::vector<Reference> items;
    for (QTreeWidgetItemIterator it(m_view); *it; ++it) {
        const TreeNode* node = nodeOf(*it);
        if (!node || node->isGroup() || !node->parent())
            continue;
        if (!all && m_hierarchy->state(node) != 1)
            continue;
        const std::string groupId = node->parent()->identifier().value_or("");
        if (m_store.FindRecord(constants.itemType, groupId, node->caption()))
            items.push_back(m_store.current());
    }
    if (!all)
        return items;
    // All items means every stored one, also those whose group the tree cannot show (gone,
    // or in a cycle of parents).
    std::set<std::pair<std::string, std::string>> chosen;
    for (const Reference& item : items)
        chosen.emplace(item.RefID, item.Name);
    for (Reference& item : m_store.ListRecords(constants.itemType))
        if (!chosen.contains({item.RefID, item.Name}))
            items.push_back(std::move(item));
    return items;
}

} // namespace kalydor::gui
