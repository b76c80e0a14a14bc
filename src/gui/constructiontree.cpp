#include "gui/constructiontree.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "gui/widgets.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"
#include "store/itemtree.h"

#include <QTreeWidgetItemIterator>

namespace kalydor::gui {
namespace {

constexpr int kNodeRole = Qt::UserRole;

void addRows(QTreeWidgetItem* parent, const TreeNode& node) {
    for (const std::unique_ptr<TreeNode>& child : node.children()) {
        auto* row = new QTreeWidgetItem(parent, {qt(child->caption())});
        row->setData(0, kNodeRole, QVariant::fromValue(static_cast<void*>(child.get())));
        addRows(row, *child);
    }
}

const TreeNode* nodeOf(const QTreeWidgetItem* row) {
    return row ? static_cast<const TreeNode*>(row->data(0, kNodeRole).value<void*>()) : nullptr;
}

} // namespace

ConstructionTree::ConstructionTree(ItemStore& project, const char* objectName, QWidget* parent)
    : QTreeWidget(parent)
    , m_project(project) {
    setObjectName(QString::fromLatin1(objectName));
    TreeNode* root = fillGroupTree(
        project, m_model,
        GetText("IDS_PRINTCATEGORY+" + std::to_string(kindNumber(ItemKind::Construction))),
        RecordType::PanelGroup);
    fillItemTree(project, RecordType::Panel, m_model, root);
    setHeaderHidden(true);
    auto* top = new QTreeWidgetItem(this, {qt(root->caption())});
    top->setData(0, kNodeRole, QVariant::fromValue(static_cast<void*>(root)));
    addRows(top, *root);
    expandAll();
    setMinimumSize(300, 260);
}

std::optional<Panel> ConstructionTree::construction(const QTreeWidgetItem* row,
                                                    std::string* problem) {
    const TreeNode* node = nodeOf(row);
    if (node == nullptr || node->isGroup() || node->parent() == nullptr ||
        !node->parent()->identifier())
        return std::nullopt;
    if (!m_project.FindRecord(RecordType::Panel, *node->parent()->identifier(), node->caption()))
        return std::nullopt;
    kalydor::Panel panel;
    panel.Name = node->caption();
    if (!readStoredItem(panel, m_project.currentData())) {
        if (problem != nullptr)
            *problem = formatText(GetText("IDS_UNREADABLEITEM"), {node->caption()});
        return std::nullopt;
    }
    return panel;
}

QTreeWidgetItem* ConstructionTree::firstConstructionRow() const {
    for (QTreeWidgetItemIterator it(const_cast<ConstructionTree*>(this)); *it; ++it) {
        const TreeNode* node = nodeOf(*it);
        if (node != nullptr && !node->isGroup())
            return *it;
    }
    return nullptr;
}

} // namespace kalydor::gui
