#include "gui/devicesetdialog.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "platform/prompter.h"
#include "store/treemodel.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>
#include <functional>

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

Qt::CheckState checkState(CheckMark mark) {
    switch (mark) {
    case CheckMark::Checked:
        return Qt::Checked;
    case CheckMark::Partly:
        return Qt::PartiallyChecked;
    case CheckMark::Unchecked:
        break;
    }
    return Qt::Unchecked;
}

// Runs a command of the dialog; its error is shown, and the dialog goes on.
void showingErrors(const std::function<void()>& command) {
    try {
        command();
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
    } catch (const std::exception& error) {
        platform::prompter().showMessage(error.what());
    }
}

QStringList setFileFilters() {
    return {qt(GetText("IDS_DEVICESETFILTER")), qt(GetText("IDS_ALLFILESFILTER"))};
}

} // namespace

DeviceSetDialog::DeviceSetDialog(DeviceSet& set, const Languages& languages, QWidget* parent)
    : QDialog(parent)
    , m_set(set)
    , m_working(set)
    , m_editor(m_working)
    , m_view(named<QTreeWidget>("SetTree"))
    , m_loadButton(named<QPushButton>("LoadSetButton", QStringLiteral("&Load set file...")))
    , m_saveButton(named<QPushButton>("SaveSetButton", QStringLiteral("&Save set file..."))) {
    setObjectName(QStringLiteral("DeviceSetForm"));
    setWindowTitle(QStringLiteral("Device set"));
    setSizeGripEnabled(true);
    m_view->setHeaderHidden(true);
    // The marks are the editor's: no tristate logic of the toolkit decides a folder's box.
    connect(m_view, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* row) { clicked(row); });

    connect(m_loadButton, &QPushButton::clicked, this, &DeviceSetDialog::loadSetFile);
    connect(m_saveButton, &QPushButton::clicked, this, &DeviceSetDialog::saveSetFile);
    auto* files = new QHBoxLayout;
    files->addWidget(m_loadButton);
    files->addWidget(m_saveButton);
    files->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(files);
    layout->addWidget(okCancelButtons(this));
    translateWindow(languages, *this);
    showTree();
    resize(420, 520);
}

void DeviceSetDialog::showTree() {
    const QSignalBlocker blocker(m_view);
    m_view->clear();
    for (const std::unique_ptr<TreeNode>& root : m_editor.tree().roots()) {
        auto* top = new QTreeWidgetItem(m_view, {qt(root->caption())});
        top->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(root.get())));
        addRows(top, *root);
        top->setExpanded(true);
    }
    for (QTreeWidgetItemIterator it(m_view); *it; ++it)
        (*it)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    showMarks();
}

void DeviceSetDialog::showMarks() {
    const QSignalBlocker blocker(m_view);
    for (QTreeWidgetItemIterator it(m_view); *it; ++it) {
        if (const TreeNode* node = nodeOf(*it))
            (*it)->setCheckState(0, checkState(m_editor.mark(*node)));
    }
}

// A changed box is a click: the editor decides what every box shows next.
void DeviceSetDialog::clicked(QTreeWidgetItem* row) {
    const TreeNode* node = nodeOf(row);
    if (!node)
        return;
    if (row->checkState(0) != checkState(m_editor.mark(*node)))
        m_editor.click(*node);
    showMarks();
}

QTreeWidgetItem* DeviceSetDialog::rowOf(const TreeNode& node) const {
    for (QTreeWidgetItemIterator it(m_view); *it; ++it) {
        if (nodeOf(*it) == &node)
            return *it;
    }
    return nullptr;
}

void DeviceSetDialog::loadSetFile() {
    if (!fileChooser.open)
        return;
    const QStringList files =
        fileChooser.open(this, titleOf(m_loadButton), setFileFilters(), FileCount::One);
    if (files.isEmpty())
        return;
    showingErrors([&] { m_editor.loadFile(files.first().toStdString()); });
    // The editor builds its tree anew after a load; a refused file left it as it was.
    showTree();
}

void DeviceSetDialog::saveSetFile() {
    if (!fileChooser.save)
        return;
    const QStringList filters = setFileFilters();
    int chosen = 0;
    QString file = fileChooser.save(this, titleOf(m_saveButton), filters, chosen);
    if (file.isEmpty())
        return;
    file = withExtensionOf(file, filters.value(chosen));
    showingErrors([&] { m_editor.saveFile(file.toStdString()); });
}

void DeviceSetDialog::accept() {
    m_editor.confirm();
    m_set = m_working;
    QDialog::accept();
}

} // namespace kalydor::gui
