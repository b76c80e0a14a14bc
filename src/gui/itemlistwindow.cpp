#include "gui/itemlistwindow.h"

#include "base/error.h"
#include "constructions/panel.h"
#include "exchange/textexchange.h"
#include "gui/columnlayoutdialog.h"
#include "gui/dialogplacement.h"
#include "gui/headerdelegate.h"
#include "gui/materialcurves.h"
#include "gui/panelchart.h"
#include "gui/progresswindow.h"
#include "gui/qttoolkitlanguage.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/selectiondialog.h"
#include "gui/vapourdiagramwindow.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/clipboard.h"
#include "platform/prompter.h"
#include "reports/clipboarddocument.h"
#include "shell/programoptions.h"
#include "store/itemstore.h"
#include "store/itemtree.h"
#include "store/treemodel.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QSplitter>

#include <optional>

namespace kalydor::gui {
namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kCaptionRole = Qt::UserRole + 1;

// The group tree: it takes rows dropped from the item list, and its own nodes dropped on
// other nodes.
class GroupTree final : public QTreeWidget {
public:
    GroupTree(ItemListWindow& window, std::function<bool(QTreeWidgetItem*)> dropRow,
              std::function<bool(QTreeWidgetItem*, QTreeWidgetItem*)> dropNode)
        : m_window(window)
        , m_dropRow(std::move(dropRow))
        , m_dropNode(std::move(dropNode)) {
        setDragEnabled(true);
        setAcceptDrops(true);
        setDropIndicatorShown(true);
        setDragDropMode(QAbstractItemView::DragDrop);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override { event->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent* event) override {
        if (itemAt(event->position().toPoint()))
            event->acceptProposedAction();
        else
            event->ignore();
    }
    void dropEvent(QDropEvent* event) override {
        QTreeWidgetItem* target = itemAt(event->position().toPoint());
        if (target && event->source() == m_window.itemList())
            m_dropRow(target);
        else if (target && event->source() == this && currentItem())
            m_dropNode(currentItem(), target);
        // The tree is rebuilt by the handlers; nothing moves by itself.
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
    }

private:
    ItemListWindow& m_window;
    std::function<bool(QTreeWidgetItem*)> m_dropRow;
    std::function<bool(QTreeWidgetItem*, QTreeWidgetItem*)> m_dropNode;
};

// The item list: a dragged row carries the item's drag text for other programs, when it has
// one (constructions), besides what the list's own drop needs.
class ItemRows final : public QTreeWidget {
public:
    std::function<std::string(const std::string&)> dragTextOf;

protected:
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override {
        QMimeData* mime = QTreeWidget::mimeData(items);
        if (mime && items.size() == 1 && dragTextOf) {
            const std::string text =
                dragTextOf(items.front()->data(0, kIdRole).toString().toStdString());
            if (!text.empty())
                mime->setText(qt(text));
        }
        return mime;
    }
};

void addNodes(QTreeWidgetItem* parent, const TreeNode& node) {
    for (const std::unique_ptr<TreeNode>& child : node.children()) {
        auto* item = new QTreeWidgetItem(parent, {qt(child->caption())});
        item->setData(0, kIdRole, qt(child->identifier().value_or("")));
        item->setData(0, kCaptionRole, qt(child->caption()));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        addNodes(item, *child);
    }
}

bool isDescendant(const QTreeWidgetItem* node, const QTreeWidgetItem* of) {
    for (const QTreeWidgetItem* p = node; p; p = p->parent()) {
        if (p == of)
            return true;
    }
    return false;
}

} // namespace

ItemListWindow::ItemListWindow(ItemKind kind, ItemStore& store, ProgramOptions& options,
                               platform::Clipboard& clipboard, NamePrompt namePrompt,
                               QWidget* parent)
    : QWidget(parent)
    , m_options(options)
    , m_clipboard(clipboard)
    , m_namePrompt(std::move(namePrompt))
    , m_logic(kind, store, options.languages(), options.store())
    , m_owner(std::make_unique<QtWindow>(this))
    , m_list(named<ItemRows>("ItemList"))
    , m_header(new ColumnHeaderView) {
    setObjectName(QString::fromLatin1(m_logic.kind().listName) + QStringLiteral("Form"));
    m_tree = new GroupTree(
        *this, [this](QTreeWidgetItem* node) { return dropSelectedItemOn(node); },
        [this](QTreeWidgetItem* node, QTreeWidgetItem* target) {
            if (!node->parent() || isDescendant(target, node) || node->parent() == target)
                return false;
            const bool moved =
                m_logic.moveGroup(node->data(0, kCaptionRole).toString().toStdString(),
                                  parentIdOf(node), nodeId(target));
            if (moved)
                rebuildTree();
            return moved;
        });
    m_tree->setObjectName(QStringLiteral("GroupTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_list->setHeader(m_header);
    m_list->setItemDelegate(new FullTextTipDelegate(m_list));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_list->setDragEnabled(true);
    m_list->setDragDropMode(QAbstractItemView::DragOnly);
    // A material's copy carries its chart, a construction's its vapour diagram.
    m_logic.addPicture = [this](const DBItem& item, ClipboardDocument& stream) {
        QByteArray png;
        if (const auto* material = dynamic_cast<const Material*>(&item))
            png = materialChartPng(*material, m_options.languages());
        else if (const auto* panel = dynamic_cast<const Panel*>(&item))
            png = panelChartPng(*panel, diagramAxisOption(m_options.XIsDistance),
                                &m_options.languages());
        if (!png.isEmpty())
            stream.SetBitmap(png.toStdString());
    };
    static_cast<ItemRows*>(m_list)->dragTextOf = [this](const std::string& name) {
        return m_logic.dragText(name);
    };

    // The list font of the program options for both trees.
    const ListFontAttributes font =
        ListFontAttributes::create(options.store(), ListFontAttributes::List);
    QFont listFont = m_list->font();
    if (!font.name.empty())
        listFont.setFamily(qt(font.name));
    if (font.size > 0)
        listFont.setPointSize(static_cast<int>(font.size));
    m_list->setFont(listFont);
    m_tree->setFont(listFont);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_tree);
    splitter->addWidget(m_list);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({220, 680});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    buildCommands();
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { groupSelected(); });
    connect(m_tree, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* node) { treeItemRenamed(node); });
    connect(m_list, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* row) { listItemRenamed(row); });
    connect(m_list, &QTreeWidget::itemActivated, this, [this] { modifyItem(); });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { updateCommands(); });

    translateWindow(options.languages(), *this);
    rebuildTree();
    resize(900, 480);
}

// The header shows the layout the logic owns; it must let go before the logic is gone (the
// child widgets outlive the members).
ItemListWindow::~ItemListWindow() {
    m_header->setColumnLayout(nullptr);
}

QAction* ItemListWindow::command(const QString& name) const {
    return m_commands.value(name);
}

void ItemListWindow::buildCommands() {
    struct Entry {
        const char* name;
        const char* caption;
        QKeySequence key;
        bool tree;
        void (ItemListWindow::*run)();
    };
    const Entry entries[] = {
        {"createGroup", "New group...", {}, true, &ItemListWindow::createGroup},
        {"renameGroup", "Rename group", QKeySequence(Qt::Key_F2), true,
         &ItemListWindow::renameGroup},
        {"deleteGroup", "Delete group", {}, true, &ItemListWindow::deleteGroup},
        {"createItem", "New...", QKeySequence::New, false, &ItemListWindow::createItem},
        {"copyItem", "Duplicate...", {}, false, &ItemListWindow::copyItem},
        {"modifyItem", "Modify...", {}, false, &ItemListWindow::modifyItem},
        {"renameItem", "Rename", {}, false, nullptr},
        {"deleteItem", "Delete", QKeySequence::Delete, false, &ItemListWindow::deleteItem},
        {"copy", "Copy", QKeySequence::Copy, false, nullptr},
        {"cut", "Cut", QKeySequence::Cut, false, nullptr},
        {"paste", "Paste", QKeySequence::Paste, false, &ItemListWindow::paste},
        {"columns", "Columns...", {}, false, &ItemListWindow::editColumns},
        {"searchReplace", "Search and replace...", QKeySequence::Find, false, nullptr},
        {"exportClipboard", "Export...", {}, false, &ItemListWindow::exportToClipboard},
        {"importClipboard", "Import...", {}, false, &ItemListWindow::importFromClipboard},
        {"exportFile", "Export to file...", {}, false, &ItemListWindow::exportFile},
        {"importFile", "Import from file...", {}, false, &ItemListWindow::importFile},
    };
    for (const Entry& entry : entries) {
        auto* action = new QAction(QString::fromLatin1(entry.caption), this);
        action->setObjectName(QString::fromLatin1(entry.name));
        if (!entry.key.isEmpty()) {
            action->setShortcut(entry.key);
            action->setShortcutContext(Qt::WidgetShortcut);
        }
        if (entry.run)
            connect(action, &QAction::triggered, this, entry.run);
        (entry.tree ? static_cast<QWidget*>(m_tree) : m_list)->addAction(action);
        m_commands.insert(QString::fromLatin1(entry.name), action);
    }
    connect(m_commands.value("renameItem"), &QAction::triggered, this, [this] {
        if (QTreeWidgetItem* row = m_list->currentItem())
            m_list->editItem(row, 0);
    });
    connect(m_commands.value("searchReplace"), &QAction::triggered, this, [this] {
        if (openSearch)
            openSearch();
    });
    connect(m_commands.value("copy"), &QAction::triggered, this, [this] { copyOrCut(false); });
    connect(m_commands.value("cut"), &QAction::triggered, this, [this] { copyOrCut(true); });
    // Only materials and constructions travel in exchange files.
    for (const char* name : {"exportFile", "importFile"})
        m_commands.value(QString::fromLatin1(name))->setVisible(m_logic.kind().fileExchange);
    m_tree->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);
    updateCommands();
}

void ItemListWindow::updateCommands() {
    const bool group = selectedNode() != nullptr;
    const bool row = m_list->currentItem() != nullptr;
    m_commands.value("renameGroup")->setEnabled(group);
    m_commands.value("deleteGroup")->setEnabled(group);
    m_commands.value("createGroup")->setEnabled(group);
    m_commands.value("createItem")->setEnabled(group && m_logic.hasEditor());
    for (const char* name : {"copyItem", "modifyItem", "renameItem", "deleteItem", "copy", "cut"})
        m_commands.value(QString::fromLatin1(name))->setEnabled(row);
    m_commands.value("modifyItem")->setEnabled(row && m_logic.hasEditor());
    m_commands.value("paste")->setEnabled(m_logic.canPaste(m_clipboard));
    m_commands.value("importClipboard")
        ->setEnabled(m_clipboard.hasFormat(privateClipboardFormat(kind(), true)));
}

std::string ItemListWindow::nodeId(const QTreeWidgetItem* node) {
    return node ? node->data(0, kIdRole).toString().toStdString() : std::string();
}

std::string ItemListWindow::parentIdOf(const QTreeWidgetItem* node) {
    return node && node->parent() ? nodeId(node->parent()) : std::string();
}

QTreeWidgetItem* ItemListWindow::selectedNode() const {
    return m_tree->currentItem();
}

std::string ItemListWindow::selectedItemName() const {
    const QTreeWidgetItem* row = m_list->currentItem();
    return row ? row->data(0, kIdRole).toString().toStdString() : std::string();
}

void ItemListWindow::rebuildTree() {
    const std::string selected = nodeId(selectedNode());
    TreeModel model;
    const TreeNode* root =
        fillGroupTree(m_logic.store(), model, m_logic.categoryTitle(), m_logic.kind().groupType);
    m_filling = true;
    m_tree->clear();
    auto* top = new QTreeWidgetItem(m_tree, {qt(root->caption())});
    top->setData(0, kIdRole, qt(root->identifier().value_or("")));
    top->setData(0, kCaptionRole, qt(root->caption()));
    top->setFlags(top->flags() | Qt::ItemIsEditable);
    addNodes(top, *root);
    m_tree->sortItems(0, Qt::AscendingOrder);
    top->setExpanded(true);
    m_filling = false;
    if (selected.empty() || !selectGroupById(selected))
        groupSelected();
}

bool ItemListWindow::selectGroupById(const std::string& id) {
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if (nodeId(*it) == id) {
            m_tree->setCurrentItem(*it);
            groupSelected();
            return true;
        }
    }
    return false;
}

void ItemListWindow::groupSelected() {
    if (m_filling)
        return;
    std::vector<std::string> path;
    for (const QTreeWidgetItem* node = selectedNode(); node; node = node->parent())
        path.insert(path.begin(), node->text(0).toStdString());
    m_logic.selectGroup(path, nodeId(selectedNode()));
    setWindowTitle(qt(m_logic.caption()));
    if (parentWidget())
        parentWidget()->setWindowTitle(windowTitle());
    showRows();
}

void ItemListWindow::reloadList() {
    m_logic.reload();
    showRows();
}

void ItemListWindow::showRows() {
    const std::string current = selectedItemName();
    m_filling = true;
    m_list->clear();
    const std::vector<int> ids = m_logic.columns().visibleColumnIds();
    m_list->setColumnCount(static_cast<int>(std::max<std::size_t>(ids.size(), 1)));
    m_header->setColumnLayout(&m_logic.columns());
    // The layout's widths when it is new; afterwards the widths shown stay, dragged or not.
    if (!m_widthsApplied) {
        m_header->applyColumnWidths();
        m_widthsApplied = true;
    }
    for (const ItemListLogic::Row& row : m_logic.rows()) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, qt(row.texts.caption));
        for (std::size_t i = 0; i < row.texts.subItems.size(); ++i)
            item->setText(static_cast<int>(i + 1), qt(row.texts.subItems[i]));
        for (std::size_t i = 0; i < ids.size(); ++i) {
            const ColumnFormat* column = m_header->sectionColumn(static_cast<int>(i));
            if (column && column->DataAlignment != ColumnAlignment::Left)
                item->setTextAlignment(static_cast<int>(i),
                                       column->DataAlignment == ColumnAlignment::Right
                                           ? Qt::AlignRight | Qt::AlignVCenter
                                           : Qt::AlignCenter);
        }
        item->setData(0, kIdRole, qt(row.name));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        if (row.name == current)
            m_list->setCurrentItem(item);
    }
    m_header->fitColumns();
    m_filling = false;
    updateCommands();
}

bool ItemListWindow::selectItem(const std::string& name) {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = m_list->topLevelItem(i);
        if (row->data(0, kIdRole).toString().toStdString() == name) {
            m_list->setCurrentItem(row);
            m_list->scrollToItem(row);
            return true;
        }
    }
    return false;
}

void ItemListWindow::retranslate() {
    translateWindow(m_options.languages(), *this);
    // The column captions and number texts follow the language too.
    m_header->setColumnLayout(nullptr);
    m_logic.reloadColumns();
    m_widthsApplied = false;
    rebuildTree();
}

void ItemListWindow::createGroup() {
    QTreeWidgetItem* node = selectedNode();
    if (!node)
        return;
    const std::string parentId = nodeId(node);
    if (m_namePrompt(this, true, parentId, {}, {})) {
        rebuildTree(); // the node is gone with the old tree
        selectGroupById(parentId);
        emit changeStored();
    }
}

void ItemListWindow::renameGroup() {
    if (QTreeWidgetItem* node = selectedNode())
        m_tree->editItem(node, 0);
}

void ItemListWindow::treeItemRenamed(QTreeWidgetItem* node) {
    if (m_filling)
        return;
    const std::string old = node->data(0, kCaptionRole).toString().toStdString();
    const std::string typed = node->text(0).toStdString();
    const std::string key = m_logic.renameGroup(parentIdOf(node), old, typed);
    if (!key.empty())
        platform::prompter().showMessage(m_options.languages().GetText(key));
    else if (typed != old)
        emit changeStored();
    rebuildTree();
}

void ItemListWindow::deleteGroup() {
    QTreeWidgetItem* node = selectedNode();
    if (!node)
        return;
    std::optional<BusyIndicator> busy;
    const bool deleted =
        m_logic.deleteGroup(parentIdOf(node), node->data(0, kCaptionRole).toString().toStdString(),
                            nodeId(node), [&] { busy.emplace(this, node->text(0)); });
    busy.reset();
    rebuildTree();
    if (deleted)
        emit changeStored();
}

void ItemListWindow::createItem() {
    const std::string group = m_logic.selectedGroupId();
    if (group.empty() || !m_logic.hasEditor())
        return;
    if (const std::optional<std::string> refusal = m_logic.newItemRefusal()) {
        platform::prompter().showMessage(m_options.languages().GetText(*refusal));
        return;
    }
    const std::optional<std::string> name =
        m_namePrompt(this, false, group, {}, m_logic.newItemRecord());
    if (!name)
        return;
    m_logic.reload();
    showRows();
    selectItem(*name);
    const bool stored = m_logic.itemCreated(*name, m_owner.get());
    showRows();
    if (stored) {
        selectItem(*name);
        emit changeStored();
    }
}

void ItemListWindow::copyItem() {
    const std::string source = selectedItemName();
    if (source.empty())
        return;
    const std::optional<std::string> record = m_logic.copyRecord(source);
    if (!record) {
        platform::prompter().showMessage(
            formatText(m_options.languages().GetText("IDS_UNREADABLEITEM"), {source}));
        return;
    }
    const std::optional<std::string> name =
        m_namePrompt(this, false, m_logic.selectedGroupId(), source, *record);
    if (!name)
        return;
    const bool stored = m_logic.itemCopied(*name, m_owner.get());
    showRows();
    selectItem(stored ? *name : source);
    if (stored)
        emit changeStored();
}

void ItemListWindow::modifyItem() {
    const std::string name = selectedItemName();
    if (name.empty() || !m_logic.hasEditor())
        return;
    const bool stored = m_logic.editItem(name, m_owner.get());
    showRows();
    if (stored)
        emit changeStored();
}

void ItemListWindow::listItemRenamed(QTreeWidgetItem* row) {
    if (m_filling)
        return;
    const std::string old = row->data(0, kIdRole).toString().toStdString();
    const std::string typed = row->text(0).toStdString();
    const std::string key = m_logic.renameItem(old, typed);
    if (!key.empty())
        platform::prompter().showMessage(m_options.languages().GetText(key));
    m_logic.reload();
    showRows();
    if (key.empty() && typed != old)
        emit changeStored();
}

void ItemListWindow::deleteItem() {
    const std::string name = selectedItemName();
    if (!name.empty() && m_logic.deleteItem(name)) {
        showRows();
        emit changeStored();
    }
}

void ItemListWindow::copyOrCut(bool cut) {
    const std::string name = selectedItemName();
    if (!name.empty() &&
        m_logic.copyToClipboard(name, m_clipboard, ClipboardCopy::WithReport, cut)) {
        showRows();
        if (cut)
            emit changeStored();
    }
}

void ItemListWindow::paste() {
    const std::optional<std::string> name =
        m_logic.paste(m_clipboard, [this](const std::string& initial, const std::string& record) {
            return m_namePrompt(this, false, m_logic.selectedGroupId(), initial, record);
        });
    showRows();
    if (name) {
        selectItem(*name);
        emit changeStored();
    }
}

void ItemListWindow::editColumns() {
    ColumnLayoutDialog dialog(m_logic.columns(), m_options.languages(), m_options.store(), this);
    if (execPlaced(dialog, m_options.store()) == QDialog::Accepted && dialog.layoutChanged()) {
        // The widths are the user's now.
        m_logic.columns().UserSettings = true;
        m_widthsApplied = false;
        m_header->resetUserWidths();
        reloadList();
    }
}

void ItemListWindow::exportToClipboard() {
    SelectionDialog selection(m_logic.store(), kind(), m_options.languages(), this);
    if (execPlaced(selection, m_options.store()) == QDialog::Accepted)
        m_logic.exportToClipboard(selection.chosenItems(), m_clipboard, ClipboardCopy::WithReport);
    updateCommands();
}

void ItemListWindow::importFromClipboard() {
    const std::vector<ItemListLogic::ExportEntry> entries = m_logic.clipboardExport(m_clipboard);
    if (entries.empty())
        return;
    SelectionDialog selection(m_logic.store(), kind(), entries, m_options.languages(), this);
    if (execPlaced(selection, m_options.store()) != QDialog::Accepted)
        return;
    {
        ProgressWindow progress(this, windowTitle(), false);
        m_logic.importFromClipboard(
            m_clipboard, selection.chosenEntries(),
            [&progress](std::size_t done, std::size_t total) { progress.step(done, total); });
    }
    rebuildTree();
    emit changeStored();
}

void ItemListWindow::exportFile() {
    SelectionDialog selection(m_logic.store(), kind(), m_options.languages(), this);
    if (execPlaced(selection, m_options.store()) != QDialog::Accepted)
        return;
    const std::vector<Reference> items = selection.chosenItems();
    const Languages& languages = m_options.languages();
    const QStringList filters = {qt(languages.GetText("IDS_TEXTEXCHANGEFILTER")),
                                 qt(languages.GetText("IDS_XMLEXCHANGEFILTER")),
                                 qt(languages.GetText("IDS_ALLFILESFILTER"))};
    QString chosen;
    const QString file =
        chooseFileToSave(this, qt(languages.GetText("IDS_EXPORTFILETITLE")), filters, &chosen);
    if (file.isEmpty())
        return;
    // The file type chosen decides the extension, and with it the form.
    const auto type =
        static_cast<ExchangeFileType>(std::max<qsizetype>(0, filters.indexOf(chosen)));
    exportToFile(items, exchangeFileName(file.toStdString(), type));
}

void ItemListWindow::exportToFile(const std::vector<Reference>& items,
                                  const std::string& fileName) {
    ExportItems(m_logic.store(), kind(), items, fileName);
}

void ItemListWindow::importFile() {
    const Languages& languages = m_options.languages();
    const QString file =
        chooseFileToOpen(this, qt(languages.GetText("IDS_IMPORTFILETITLE")), QString(),
                         {qt(languages.GetText("IDS_EXCHANGEFILESFILTER")),
                          qt(languages.GetText("IDS_ALLFILESFILTER"))});
    if (!file.isEmpty())
        importFromFile(file.toStdString());
}

void ItemListWindow::importFromFile(const std::string& fileName) {
    const ImportOptions options = importOptions ? importOptions() : ImportOptions{};
    OverwriteAnswers answers;
    {
        const BusyIndicator busy(this, qt(fileName));
        ImportItems(m_logic.store(), kind(), fileName, answers, options);
    }
    rebuildTree();
    emit changeStored();
}

bool ItemListWindow::dropSelectedItemOn(QTreeWidgetItem* node) {
    const std::string name = selectedItemName();
    if (name.empty() || !node)
        return false;
    const bool moved = m_logic.moveItem(name, nodeId(node));
    showRows();
    if (moved)
        emit changeStored();
    return moved;
}

} // namespace kalydor::gui
