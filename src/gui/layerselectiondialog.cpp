#include "gui/layerselectiondialog.h"

#include "base/error.h"
#include "gui/dialogplacement.h"
#include "gui/headerdelegate.h"
#include "gui/numberfieldbinding.h"
#include "gui/panelfields.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/vapourdiagramwindow.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"
#include "shell/programoptions.h"
#include "store/itemstore.h"
#include "store/treemodel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

constexpr int kGroupIdRole = Qt::UserRole + 1;

void addTreeNodes(QTreeWidgetItem* into, const TreeNode& node) {
    for (const std::unique_ptr<TreeNode>& child : node.children()) {
        if (!child->isGroup())
            continue;
        auto* item = new QTreeWidgetItem(into, {qt(child->caption())});
        item->setData(0, kGroupIdRole, qt(child->identifier().value_or("")));
        addTreeNodes(item, *child);
    }
}

} // namespace

LayerSelectionDialog::LayerSelectionDialog(LayeredPanelEditor& editor, ItemStore* materials,
                                           const Languages& languages,
                                           platform::SettingsStore& settings,
                                           ThicknessPrompt askThickness, QWidget* parent)
    : QDialog(parent)
    , m_editor(editor)
    , m_picker(materials ? std::make_unique<MaterialPicker>(*materials) : nullptr)
    , m_tree(std::make_unique<TreeModel>())
    , m_askThickness(std::move(askThickness))
    , m_groups(named<QTreeWidget>("MaterialGroups"))
    , m_materials(named<QListWidget>("Materials"))
    , m_layers(editor, languages, settings, "Layers") {
    setObjectName(QStringLiteral("SelectLayersForm"));
    setWindowTitle(QStringLiteral("Layers"));
    setSizeGripEnabled(true);

    m_groups->setHeaderHidden(true);
    if (m_picker) {
        const TreeNode* root =
            m_picker->fillGroupTree(*m_tree, languages.GetText("IDS_PRINTCATEGORY+1"));
        if (root) {
            auto* top = new QTreeWidgetItem(m_groups, {qt(root->caption())});
            top->setData(0, kGroupIdRole, qt(root->identifier().value_or("")));
            addTreeNodes(top, *root);
            top->setExpanded(true);
        }
    }
    connect(m_groups, &QTreeWidget::currentItemChanged, this, [this] { showMaterials(); });
    connect(m_materials, &QListWidget::itemDoubleClicked, this, [this] { addSelected(); });

    auto* left = new QVBoxLayout;
    left->addWidget(named<QLabel>("GroupsLabel", QStringLiteral("Material groups")));
    left->addWidget(m_groups, 1);
    left->addWidget(named<QLabel>("MaterialsLabel", QStringLiteral("Materials")));
    left->addWidget(m_materials, 1);
    auto* addRow = new QHBoxLayout;
    QPushButton* add = button(addRow, "AddButton", "Add as layer →");
    addRow->addStretch();
    left->addLayout(addRow);
    connect(add, &QPushButton::clicked, this, [this] { addSelected(); });

    auto* right = new QVBoxLayout;
    m_layers.setChanged([this](int selected) {
        m_layers.fill(selected);
        emit layersChanged();
    });
    auto* order = named<QGroupBox>("OrderingGroup", QStringLiteral("Layers listed"));
    m_layers.addOrderingChoice(new QHBoxLayout(order));
    right->addWidget(order);
    right->addWidget(m_layers.widget(), 1);
    auto* commands = new QHBoxLayout;
    m_layers.addCommands(commands, this,
                         {"ModifyButton", "UpButton", "DownButton", "DeleteButton"});
    commands->addStretch();
    right->addLayout(commands);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addLayout(right, 3);
    auto* close = new QDialogButtonBox;
    QPushButton* closeButton = close->addButton(QDialogButtonBox::Close);
    closeButton->setObjectName(QStringLiteral("CloseButton"));
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(close);
    resize(920, 520);
    m_layers.fill(-1);
}

LayerSelectionDialog::~LayerSelectionDialog() = default;

bool LayerSelectionDialog::selectGroup(const QStringList& path) {
    QTreeWidgetItem* node = m_groups->topLevelItem(0);
    for (const QString& caption : path) {
        QTreeWidgetItem* found = nullptr;
        for (int i = 0; node && i < node->childCount() && !found; ++i)
            if (node->child(i)->text(0) == caption)
                found = node->child(i);
        node = found;
    }
    if (!node)
        return false;
    m_groups->setCurrentItem(node);
    return true;
}

void LayerSelectionDialog::showMaterials() {
    m_materials->clear();
    QTreeWidgetItem* group = m_groups->currentItem();
    if (!group || !m_picker)
        return;
    const std::string id = group->data(0, kGroupIdRole).toString().toStdString();
    for (const Reference& material : m_picker->materialsOf(id))
        m_materials->addItem(qt(material.Name));
}

void LayerSelectionDialog::addSelected() {
    QTreeWidgetItem* group = m_groups->currentItem();
    QListWidgetItem* chosen = m_materials->currentItem();
    if (!group || !chosen || !m_picker)
        return;
    std::optional<Material> material;
    try {
        material = m_picker->load(group->data(0, kGroupIdRole).toString().toStdString(),
                                  chosen->text().toStdString());
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
        return;
    }
    if (!material)
        return;
    const int added = m_editor.addMaterial(*material, m_layers.selected(), [this](Layer& layer) {
        return m_askThickness && m_askThickness(this, layer);
    });
    if (added < 0)
        return;
    m_layers.fill(added);
    emit layersChanged();
}

} // namespace kalydor::gui
