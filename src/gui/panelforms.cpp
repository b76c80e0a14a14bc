#include "gui/panelforms.h"

#include "base/error.h"
#include "gui/dialogplacement.h"
#include "gui/headerdelegate.h"
#include "gui/numberfieldbinding.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/vapourdiagram.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"
#include "shell/programoptions.h"
#include "store/datamodule.h"
#include "store/treemodel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

constexpr int kGroupIdRole = Qt::UserRole + 1;

// A typed field of the editors: its object name (the language files caption "<name>Label"),
// its default caption, its symbol (used in the message of a refused value) and its unit.
struct FieldInfo {
    PanelField field;
    const char* name;
    const char* caption;
    const char* symbol;
    const char* unit;
};

const FieldInfo kFieldInfo[] = {
    {PanelField::x, "x", "Width x", "x", "m"},
    {PanelField::y, "y", "Height y", "y", "m"},
    {PanelField::OutSideTemp, "OutSideTemp", "Outside air temperature θe", "θe", "°C"},
    {PanelField::InSideTemp, "InSideTemp", "Inside air temperature θi", "θi", "°C"},
    {PanelField::OutSideRelHum, "OutSideRelHum", "Outside relative humidity φe", "φe", "%"},
    {PanelField::InSideRelHum, "InSideRelHum", "Inside relative humidity φi", "φi", "%"},
    {PanelField::OutSideAlpha, "OutSideAlpha", "Outside surface coefficient αe", "αe", "W/m²K"},
    {PanelField::InSideAlpha, "InSideAlpha", "Inside surface coefficient αi", "αi", "W/m²K"},
    {PanelField::DiffusionDays, "DiffusionDays", "Condensation period", "", "days"},
    {PanelField::RGived, "RGived", "Given thermal resistance R", "R", "m²K/W"},
    {PanelField::ThermicMassivitateGived, "ThermicMassivitateGived", "Given massiveness m", "m",
     "-"},
    {PanelField::SurfaceTemperatureDifference, "SurfaceTemperatureDifference",
     "Permitted difference ΔTi,max", "ΔTi,max", "K"},
    {PanelField::FloorLevel, "FloorLevel", "Floor level", "", "m"},
    {PanelField::GroundWaterHeight, "GroundWaterHeight", "Ground-water level", "", "m"},
    {PanelField::FundationWidth, "FundationWidth", "Plinth width", "", "m"},
    {PanelField::EarthLambda, "EarthLambda", "Ground conductivity λg", "λg", "W/mK"},
    {PanelField::R, "R", "Thermal resistance R", "R", "m²K/W"},
    {PanelField::InfiltrationFactor, "InfiltrationFactor", "Air permeability a", "a", "×10⁻⁴"},
    {PanelField::InfiltrationLength, "InfiltrationLength", "Joint length l", "l", "m"},
    {PanelField::DampFactor, "DampFactor", "Attenuation factor ν", "ν", "-"},
    {PanelField::Delay, "Delay", "Time delay ε", "ε", "h"},
    {PanelField::Mass, "Mass", "Mass per area m", "m", "kg/m²"},
    {PanelField::HeatMass, "HeatMass", "Heat-storing mass mt", "mt", "kg/m²"},
    {PanelField::GlassRatio, "GlassRatio", "Glazed share", "", "%"},
    {PanelField::ThermicMassivitate, "ThermicMassivitate", "Massiveness m", "m", "-"},
    {PanelField::ms, "ms", "Floor coefficient ms", "ms", "-"},
    {PanelField::ns, "ns", "Floor coefficient ns", "ns", "-"},
    {PanelField::Rbc, "Rbc", "Floor-on-ground resistance Rbc", "Rbc", "m²K/W"},
};

const FieldInfo& infoOf(PanelField field) {
    for (const FieldInfo& info : kFieldInfo)
        if (info.field == field)
            return info;
    return kFieldInfo[0];
}

// The field helper of one construction field: named by its caption, its symbol and unit
// in the message of a refused value.
NumberField numberField(PanelField field) {
    const FieldInfo& info = infoOf(field);
    return NumberField(info.caption, panelFieldRule(field), info.symbol, info.unit);
}

// Adds the rows of some fields to a form: caption, line edit and unit.
void addFieldRows(QFormLayout* form, std::initializer_list<PanelField> fields,
                  std::map<PanelField, QLineEdit*>& edits,
                  std::map<PanelField, std::pair<QFormLayout*, QLabel*>>* rows) {
    for (const PanelField field : fields) {
        const FieldInfo& info = infoOf(field);
        const QByteArray labelName = QByteArray(info.name) + "Label";
        auto* label = named<QLabel>(labelName.constData(), QString::fromUtf8(info.caption));
        auto* edit = named<QLineEdit>(info.name);
        edit->setAlignment(Qt::AlignRight);
        edit->setFixedWidth(80);
        auto* row = new QHBoxLayout;
        row->addWidget(edit);
        const QByteArray unitName = QByteArray(info.name) + "Unit";
        row->addWidget(named<QLabel>(unitName.constData(), QString::fromUtf8(info.unit)));
        row->addStretch();
        label->setBuddy(edit);
        form->addRow(label, row);
        edits[field] = edit;
        (*rows)[field] = {form, label};
    }
}

QFormLayout* groupForm(QVBoxLayout* into, const char* name, const char* caption) {
    auto* group = named<QGroupBox>(name, QString::fromUtf8(caption));
    auto* form = new QFormLayout(group);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    into->addWidget(group);
    return form;
}

// An editor's title: the construction's group path, " - " and its name.
QString editorTitle(const Panel& panel) {
    return qt(panel.GroupPath.empty() ? panel.Name : panel.GroupPath + " - " + panel.Name);
}

void showRed(QLabel* label, bool red) {
    label->setStyleSheet(red ? QStringLiteral("color: #c00000; font-weight: bold;") : QString());
}

void showProblem(QLabel* status, const std::string& message) {
    status->setText(qt(message));
    status->setStyleSheet(QStringLiteral("color: #c00000;"));
}

void fillTypeCombo(QComboBox* combo, const std::vector<PanelTypeChoice>& types, int current) {
    combo->clear();
    for (const PanelTypeChoice& type : types)
        combo->addItem(qt(type.text), type.code);
    combo->setCurrentIndex(current);
}

QPushButton* button(QHBoxLayout* row, const char* name, const char* caption) {
    auto* b = named<QPushButton>(name, QString::fromUtf8(caption));
    row->addWidget(b);
    return b;
}

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

// ---------------------------------------------------------------------------------------------

PanelTypeDialog::PanelTypeDialog(QWidget* parent)
    : QDialog(parent)
    , m_layered(named<QRadioButton>("Laminated", QStringLiteral("Layered construction")))
    , m_known(named<QRadioButton>("Knowed", QStringLiteral("Construction with known values"))) {
    setObjectName(QStringLiteral("PanelTypeForm"));
    setWindowTitle(QStringLiteral("New construction"));
    auto* group = named<QGroupBox>("KindGroup", QStringLiteral("The new construction is"));
    auto* kinds = new QVBoxLayout(group);
    kinds->addWidget(m_layered);
    kinds->addWidget(m_known);
    m_layered->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(okCancelButtons(this));
}

bool PanelTypeDialog::known() const {
    return m_known->isChecked();
}

void PanelTypeDialog::setKnown(bool known) {
    (known ? m_known : m_layered)->setChecked(true);
}

// ---------------------------------------------------------------------------------------------

ThicknessDialog::ThicknessDialog(Layer& layer, QWidget* parent)
    : QDialog(parent)
    , m_layer(layer)
    , m_thickness(named<QLineEdit>("Thickness", qt(layerThicknessText(layer))))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("InitThicknesForm"));
    setWindowTitle(qt(layer.Name));
    auto* form = new QFormLayout;
    auto* row = new QHBoxLayout;
    m_thickness->setAlignment(Qt::AlignRight);
    row->addWidget(m_thickness);
    row->addWidget(new QLabel(QStringLiteral("cm")));
    auto* caption = named<QLabel>("ThicknessLabel", QStringLiteral("Thickness d"));
    form->addRow(caption, row);
    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(named<QLabel>("MaterialName", qt(layer.Name)));
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    // A catalogue material without a thickness must get one: the dialog starts on the
    // thickness as it is, and a layer of no thickness is refused.
    m_numbers
        .add(m_thickness,
             NumberField("Thickness d", FieldRule::of(NumberRule::Positive), "d", "cm", 3),
             m_status, {}, caption)
        .show(layer.Thickness);
    m_thickness->selectAll();
}

void ThicknessDialog::accept() {
    // The thickness is judged even when it was not typed: a catalogue material without one
    // would otherwise become a layer of none.
    NumberFieldBinding* thickness = m_numbers.find(m_thickness);
    thickness->forgetRefusal();
    if (!thickness->leave())
        return;
    try {
        setLayerThickness(m_layer, m_thickness->text().toStdString());
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
        m_thickness->setFocus();
        m_thickness->selectAll();
        return;
    }
    QDialog::accept();
}

bool askLayerThickness(QWidget* parent, Layer& layer, const Languages& languages,
                       platform::SettingsStore& settings) {
    ThicknessDialog dialog(layer, parent);
    translateWindow(languages, dialog);
    dialog.setWindowTitle(qt(layer.Name));
    return execPlaced(dialog, settings) == QDialog::Accepted;
}

// ---------------------------------------------------------------------------------------------

LayerListView::LayerListView(LayeredPanelEditor& editor, const Languages& languages,
                             platform::SettingsStore& settings, const char* objectName)
    : m_editor(editor)
    , m_columns(LoadListHeaderFormat("PanelLayersTitle", languages, &settings))
    , m_list(named<QTreeWidget>(objectName))
    , m_header(new ColumnHeaderView) {
    m_list->setRootIsDecorated(false);
    m_list->setHeader(m_header);
    m_list->setItemDelegate(new FullTextTipDelegate(m_list));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_list->setMinimumHeight(140);
    QObject::connect(
        m_list, &QTreeWidget::itemChanged, m_list, [this](QTreeWidgetItem* item, int column) {
            if (m_filling || column != 0)
                return;
            const int index = m_list->indexOfTopLevelItem(item);
            const std::string name = m_editor.renameLayer(index, item->text(0).toStdString());
            m_filling = true;
            item->setText(0, qt(name));
            m_filling = false;
        });
}

LayerListView::~LayerListView() {
    m_header->setColumnLayout(nullptr);
}

void LayerListView::fill(int selected) {
    m_filling = true;
    m_list->clear();
    const std::vector<int> ids = m_columns.visibleColumnIds();
    m_list->setColumnCount(static_cast<int>(std::max<std::size_t>(ids.size(), 1)));
    m_header->setColumnLayout(&m_columns);
    if (!m_widthsApplied) {
        m_header->applyColumnWidths();
        m_widthsApplied = true;
    }
    const Panel& panel = m_editor.panel();
    for (const Layer& layer : panel.Layers) {
        ListRow row;
        layer.FillListRow(row, m_columns);
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, qt(row.caption.empty() ? layer.Name : row.caption));
        for (std::size_t i = 0; i < row.subItems.size(); ++i)
            item->setText(static_cast<int>(i + 1), qt(row.subItems[i]));
        for (std::size_t i = 1; i < ids.size(); ++i) {
            const ColumnFormat* column = m_header->sectionColumn(static_cast<int>(i));
            if (column && column->DataAlignment == ColumnAlignment::Right)
                item->setTextAlignment(static_cast<int>(i), Qt::AlignRight | Qt::AlignVCenter);
        }
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    if (selected >= 0 && selected < m_list->topLevelItemCount())
        m_list->setCurrentItem(m_list->topLevelItem(selected));
    m_header->fitColumns();
    m_filling = false;
}

int LayerListView::selected() const {
    QTreeWidgetItem* item = m_list->currentItem();
    return item ? m_list->indexOfTopLevelItem(item) : -1;
}

void LayerListView::addOrderingChoice(QBoxLayout* row) {
    m_outsideIn = named<QRadioButton>("OutsideIn", QStringLiteral("Kívülről befelé"));
    m_insideOut = named<QRadioButton>("InsideOut", QStringLiteral("Belülről kifelé"));
    row->addWidget(m_outsideIn);
    row->addWidget(m_insideOut);
    showOrdering();
    QObject::connect(m_insideOut, &QRadioButton::toggled, m_list, [this](bool on) {
        m_editor.setOrdering(on ? 1 : 0);
        if (m_changed)
            m_changed(selected());
    });
}

void LayerListView::showOrdering() {
    if (m_outsideIn)
        (m_editor.panel().Ordering == 1 ? m_insideOut : m_outsideIn)->setChecked(true);
}

void LayerListView::addCommands(QBoxLayout* row, QWidget* owner, const LayerCommandNames& names) {
    const auto add = [row](const char* name, const char* caption) {
        auto* b = named<QPushButton>(name, QString::fromUtf8(caption));
        row->addWidget(b);
        return b;
    };
    QObject::connect(add(names.modify, "Modify..."), &QPushButton::clicked, m_list,
                     [this, owner] { modifySelected(owner); });
    QObject::connect(add(names.up, "Up"), &QPushButton::clicked, m_list, [this] {
        runOnSelected([this](int i) { return m_editor.moveLayer(i, true); });
    });
    QObject::connect(add(names.down, "Down"), &QPushButton::clicked, m_list, [this] {
        runOnSelected([this](int i) { return m_editor.moveLayer(i, false); });
    });
    QObject::connect(add(names.remove, "Delete"), &QPushButton::clicked, m_list, [this] {
        runOnSelected([this](int i) {
            return m_editor.deleteLayer(i) ? std::min(i, m_editor.layerCount() - 1) : i;
        });
    });
}

void LayerListView::modifySelected(QWidget* owner) {
    runOnSelected([this, owner](int i) {
        QtWindow window(owner);
        m_editor.modifyLayer(i, &window);
        return i;
    });
}

void LayerListView::runOnSelected(const std::function<int(int)>& command) {
    const int index = selected();
    if (index < 0)
        return;
    const int after = command(index);
    if (m_changed)
        m_changed(after);
    else
        fill(after);
}

// ---------------------------------------------------------------------------------------------

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

// ---------------------------------------------------------------------------------------------

LayeredPanelDialog::LayeredPanelDialog(LayeredPanelEditor& editor, ItemStore* materials,
                                       const Languages& languages,
                                       platform::SettingsStore& settings, bool xIsDistance,
                                       ThicknessPrompt askThickness, QWidget* parent)
    : QDialog(parent)
    , m_editor(editor)
    , m_materials(materials)
    , m_languages(languages)
    , m_settings(settings)
    , m_xIsDistance(xIsDistance)
    , m_askThickness(std::move(askThickness))
    , m_type(named<QComboBox>("PanelType"))
    , m_layers(editor, languages, settings, "Layers")
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("PanelModifyForm"));
    setWindowTitle(qt(editor.panel().Name));
    setSizeGripEnabled(true);

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(named<QLabel>("PanelTypeLabel", QStringLiteral("Type")));
    typeRow->addWidget(m_type, 1);
    fillTypeCombo(m_type, editor.types(), editor.typeIndex());
    connect(m_type, &QComboBox::activated, this, &LayeredPanelDialog::typeChosen);

    auto* values = new QVBoxLayout;
    auto* given = new QVBoxLayout;
    addFieldRows(groupForm(values, "ClimateGroup", "Design climate"),
                 {PanelField::OutSideTemp, PanelField::InSideTemp, PanelField::OutSideRelHum,
                  PanelField::InSideRelHum, PanelField::OutSideAlpha, PanelField::InSideAlpha,
                  PanelField::DiffusionDays},
                 m_fields, &m_rows);
    addFieldRows(groupForm(values, "SizeGroup", "Dimensions"), {PanelField::x, PanelField::y},
                 m_fields, &m_rows);
    addFieldRows(groupForm(given, "GivenGroup", "Given values"),
                 {PanelField::RGived, PanelField::ThermicMassivitateGived,
                  PanelField::SurfaceTemperatureDifference},
                 m_fields, &m_rows);
    addFieldRows(groupForm(given, "FloorGroup", "Floor on the ground"),
                 {PanelField::FloorLevel, PanelField::GroundWaterHeight, PanelField::FundationWidth,
                  PanelField::EarthLambda},
                 m_fields, &m_rows);
    values->addStretch();
    given->addStretch();
    // Every field is taken when it is left; the construction is recalculated at once.
    for (auto& [field, edit] : m_fields) {
        const PanelField which = field;
        NumberFieldBinding& binding = m_numbers.add(
            edit, numberField(field), m_status,
            [this, which](double value) { fieldTaken(which, value); }, m_rows.at(field).second);
        binding.show(editor.value(field));
    }

    // The results, each as a caption, a value and a unit.
    struct ResultInfo {
        const char* name;
        const char* caption;
        const char* unit;
    };
    const ResultInfo results[] = {
        {"TotalResistance", "Total thermal resistance R", "m²K/W"},
        {"U", "Heat transfer coefficient U", "W/m²K"},
        {"NeededResistance", "Needed thermal resistance", "m²K/W"},
        {"DampFactor", "Attenuation factor ν", "-"},
        {"Delay", "Time delay ε", "h"},
        {"Mass", "Mass per area m", "kg/m²"},
        {"HeatMass", "Heat-storing mass mt", "kg/m²"},
        {"FloorHeatAbsorb", "Floor heat absorption b", "kJ/m²Ks½"},
        {"SurfaceTemperature", "Inner surface temperature θsi", "°C"},
        {"HeatFlux", "Heat flux q", "W/m²"},
        {"VapourFlux", "Vapour flux g", "10⁻⁶ g/m²s"},
        {"ComputedMassivitate", "Computed massiveness m", "-"},
    };
    auto* resultGroup = named<QGroupBox>("ResultsGroup", QStringLiteral("Results"));
    auto* resultForm = new QFormLayout(resultGroup);
    m_resultForm = resultForm;
    for (const ResultInfo& info : results) {
        // The caption of θsi names the design outside temperature; it is the editor's, not
        // the language file's, so that translating the window leaves it whole.
        const bool surface = std::string_view(info.name) == "SurfaceTemperature";
        const QByteArray labelName = QByteArray(info.name) + (surface ? "Caption" : "Label");
        const QByteArray valueName = QByteArray(info.name) + "Value";
        auto* caption = named<QLabel>(labelName.constData(), QString::fromUtf8(info.caption));
        auto* value = named<QLabel>(valueName.constData());
        value->setMinimumWidth(90);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto* row = new QHBoxLayout;
        row->addWidget(value);
        row->addWidget(new QLabel(QString::fromUtf8(info.unit)));
        // The floor class follows b and its unit.
        if (std::string_view(info.name) == "FloorHeatAbsorb") {
            m_floorClass = named<QLabel>("FloorClassValue");
            row->addWidget(m_floorClass);
        }
        row->addStretch();
        resultForm->addRow(caption, row);
        m_results[info.name] = value;
        m_resultCaptions[info.name] = caption;
    }
    auto* resultColumn = new QVBoxLayout;
    resultColumn->addWidget(resultGroup);
    resultColumn->addStretch();

    auto* upper = new QHBoxLayout;
    upper->addLayout(values);
    upper->addLayout(given);
    upper->addLayout(resultColumn, 1);

    auto* layersGroup = named<QGroupBox>("LayersGroup", QStringLiteral("Layers"));
    auto* layersLayout = new QVBoxLayout(layersGroup);
    m_layers.setChanged([this](int selected) { refresh(selected); });
    auto* orderRow = new QHBoxLayout;
    m_layers.addOrderingChoice(orderRow);
    orderRow->addStretch();
    layersLayout->addLayout(orderRow);
    layersLayout->addWidget(m_layers.widget(), 1);
    auto* commands = new QHBoxLayout;
    QPushButton* add = button(commands, "AddLayerButton", "Add layers...");
    m_layers.addCommands(
        commands, this,
        {"ModifyLayerButton", "LayerUpButton", "LayerDownButton", "DeleteLayerButton"});
    commands->addStretch();
    QPushButton* diagram = button(commands, "DiagramButton", "Vapour diagram...");
    layersLayout->addLayout(commands);
    connect(add, &QPushButton::clicked, this, &LayeredPanelDialog::selectLayers);
    connect(m_layers.widget(), &QTreeWidget::itemDoubleClicked, this,
            [this] { m_layers.modifySelected(this); });
    connect(diagram, &QPushButton::clicked, this, [this] { showDiagram(); });

    m_status->setWordWrap(true);
    m_status->setMinimumHeight(36);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_status->setFrameShape(QFrame::StyledPanel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(typeRow);
    layout->addLayout(upper);
    layout->addWidget(layersGroup, 1);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    resize(1240, 660);
    refresh();
}

LayeredPanelDialog::~LayeredPanelDialog() = default;

QLabel* LayeredPanelDialog::result(const char* name) const {
    const auto it = m_results.find(name);
    return it == m_results.end() ? nullptr : it->second;
}

void LayeredPanelDialog::fieldTaken(PanelField which, double value) {
    m_editor.setValue(which, value);
    // The field shows the value as the construction holds it.
    m_numbers.find(m_fields.at(which))->show(m_editor.value(which));
    refresh();
}

void LayeredPanelDialog::typeChosen(int index) {
    if (index < 0)
        return;
    m_editor.setType(m_type->itemData(index).toInt());
    // The default coefficients of the type may have replaced the typed ones.
    for (const PanelField field : {PanelField::OutSideAlpha, PanelField::InSideAlpha})
        m_numbers.find(m_fields.at(field))->show(m_editor.value(field));
    refresh();
}

void LayeredPanelDialog::refresh() {
    refresh(m_layers.selected());
}

void LayeredPanelDialog::refresh(int selectedLayer) {
    for (auto& [field, edit] : m_fields)
        edit->setEnabled(m_editor.isEnabled(field));
    const LayeredPanelEditor::Results shown = m_editor.results();
    // A value in red carries the reason in its tooltip.
    const auto set = [this](const char* name, const std::string& text, bool red, bool visible,
                            const std::string& why = {}) {
        QLabel* value = m_results.at(name);
        value->setText(qt(text));
        showRed(value, red);
        value->setToolTip(red ? qt(why) : QString());
        m_resultForm->setRowVisible(m_resultCaptions.at(name), visible);
    };
    const bool opaque = Panel::isOpaque(m_editor.panel().Type);
    set("TotalResistance", shown.totalResistance, false, true);
    set("U", shown.U, false, true);
    set("NeededResistance", shown.neededResistance, shown.neededResistanceRed, true,
        shown.neededResistanceWhy);
    set("DampFactor", shown.dampFactor, shown.dynamicsRed, opaque, shown.dynamicsWhy);
    set("Delay", shown.delay, shown.dynamicsRed, opaque, shown.dynamicsWhy);
    set("Mass", shown.mass, false, true);
    set("HeatMass", shown.heatMass, shown.heatMassRed, true, shown.heatMassWhy);
    set("FloorHeatAbsorb", shown.floorHeatAbsorb, shown.floorHeatAbsorbRed,
        shown.showFloorHeatAbsorb, shown.floorHeatAbsorbWhy);
    m_floorClass->setText(qt(shown.floorClass));
    set("SurfaceTemperature", shown.surfaceTemperature, shown.surfaceTemperatureRed,
        shown.showSurfaceTemperature, shown.surfaceTemperatureWhy);
    m_resultCaptions.at("SurfaceTemperature")->setText(qt(shown.surfaceTemperatureCaption));
    set("HeatFlux", shown.heatFlux, false, true);
    set("VapourFlux", shown.vapourFlux, false, true);
    set("ComputedMassivitate", shown.computedMassivitate, false, true);
    // A refused field keeps its message until it is corrected or put back.
    if (!m_numbers.anyRefused()) {
        m_status->setText(qt(shown.status));
        m_status->setStyleSheet(QString());
    }
    m_layers.fill(selectedLayer);
    if (m_diagram)
        m_diagram->refresh();
}

void LayeredPanelDialog::selectLayers() {
    LayerSelectionDialog dialog(m_editor, m_materials, m_languages, m_settings, m_askThickness,
                                this);
    translateWindow(m_languages, dialog);
    connect(&dialog, &LayerSelectionDialog::layersChanged, this, [this] {
        m_layers.showOrdering();
        refresh();
    });
    execPlaced(dialog, m_settings);
    refresh();
}

VapourDiagramWindow* LayeredPanelDialog::showDiagram() {
    if (!m_diagram) {
        m_diagram = new VapourDiagramWindow(m_editor.panel(), m_languages,
                                            diagramAxisOption(m_xIsDistance), this);
    }
    m_diagram->show();
    m_diagram->raise();
    return m_diagram;
}

void LayeredPanelDialog::reject() {
    if ((m_editor.changed() || m_numbers.anyEdited()) && !mayDiscardChanges())
        return;
    QDialog::reject();
}

void LayeredPanelDialog::accept() {
    // The value being typed has not been left yet when the dialog is confirmed by key.
    if (!m_numbers.takeAll())
        return;
    if (const std::optional<PanelEditorProblem> problem = m_editor.confirm()) {
        platform::prompter().showMessage(problem->message);
        m_type->setFocus();
        return;
    }
    QDialog::accept();
}

// ---------------------------------------------------------------------------------------------

KnownPanelDialog::KnownPanelDialog(KnownPanelEditor& editor, QWidget* parent)
    : QDialog(parent)
    , m_editor(editor)
    , m_type(named<QComboBox>("PanelType"))
    , m_pages(named<QTabWidget>("Pages"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("PanelModifyForm2"));
    setWindowTitle(qt(editor.panel().Name));

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(named<QLabel>("PanelTypeLabel", QStringLiteral("Type")));
    typeRow->addWidget(m_type, 1);
    fillTypeCombo(m_type, editor.types(), editor.typeIndex());
    connect(m_type, &QComboBox::activated, this, &KnownPanelDialog::typeChosen);

    auto* general = new QFormLayout;
    addFieldRows(general,
                 {PanelField::x, PanelField::y, PanelField::R, PanelField::ThermicMassivitate},
                 m_fields, &m_rows);
    const auto page = [this](const char* name, const char* caption,
                             std::initializer_list<PanelField> fields) {
        auto* widget = named<QWidget>(name);
        auto* form = new QFormLayout(widget);
        addFieldRows(form, fields, m_fields, &m_rows);
        m_pages->addTab(widget, QString::fromUtf8(caption));
    };
    page("WallPage", "Wall",
         {PanelField::InSideAlpha, PanelField::Mass, PanelField::HeatMass, PanelField::DampFactor,
          PanelField::Delay});
    page("OpeningPage", "Opening",
         {PanelField::GlassRatio, PanelField::InfiltrationFactor, PanelField::InfiltrationLength});
    page("FloorPage", "Floor", {PanelField::ms, PanelField::ns, PanelField::Rbc});
    // The values are checked as each field is left and taken together on OK.
    for (auto& [field, edit] : m_fields)
        m_numbers.add(edit, numberField(field), m_status, {}, m_rows.at(field).second)
            .show(editor.value(field));

    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(typeRow);
    layout->addLayout(general);
    layout->addWidget(m_pages);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    showPages();
}

void KnownPanelDialog::typeChosen(int index) {
    if (index < 0)
        return;
    QLineEdit* alpha = m_fields.at(PanelField::InSideAlpha);
    const std::string typed = alpha->text().toStdString();
    const std::string shown = m_editor.setType(m_type->itemData(index).toInt(), typed);
    if (shown != typed)
        m_numbers.find(alpha)->show(ParseNumber(shown));
    showPages();
}

void KnownPanelDialog::showPages() {
    m_pages->setTabVisible(0, m_editor.showsWallPage());
    m_pages->setTabVisible(1, m_editor.showsOpeningPage());
    m_pages->setTabVisible(2, m_editor.showsFloorPage());
    m_pages->setVisible(m_editor.showsWallPage() || m_editor.showsOpeningPage() ||
                        m_editor.showsFloorPage());
    for (auto& [field, edit] : m_fields) {
        const bool shown = m_editor.isShown(field);
        edit->setEnabled(shown);
        const auto& [form, label] = m_rows.at(field);
        form->setRowVisible(label, shown);
    }
    for (int i = 0; i < m_pages->count(); ++i)
        if (m_pages->isTabVisible(i)) {
            m_pages->setCurrentIndex(i);
            break;
        }
}

void KnownPanelDialog::reject() {
    bool changed = m_editor.typeChanged() || m_numbers.anyEdited();
    for (const auto& [field, edit] : m_fields)
        changed = changed ||
                  (m_editor.isShown(field) && edit->text().toStdString() != m_editor.text(field));
    if (changed && !mayDiscardChanges())
        return;
    QDialog::reject();
}

void KnownPanelDialog::accept() {
    if (!m_numbers.takeAll())
        return;
    const std::optional<PanelEditorProblem> problem = m_editor.confirm(
        [this](PanelField field) { return m_fields.at(field)->text().toStdString(); });
    if (!problem) {
        QDialog::accept();
        return;
    }
    if (!problem->field) {
        platform::prompter().showMessage(problem->message);
        m_type->setFocus();
        return;
    }
    showProblem(m_status, problem->message);
    QLineEdit* edit = m_fields.at(*problem->field);
    for (int i = 0; i < m_pages->count(); ++i)
        if (m_pages->widget(i)->isAncestorOf(edit))
            m_pages->setCurrentIndex(i);
    edit->setFocus();
    edit->selectAll();
}

// ---------------------------------------------------------------------------------------------

QtPanelDialogs::QtPanelDialogs(const ProgramOptions& options, std::function<ItemStore*()> materials)
    : m_options(options)
    , m_materials(std::move(materials)) {}

std::optional<bool> QtPanelDialogs::chooseKnown(platform::Window* owner) {
    PanelTypeDialog dialog(QtWindow::widgetOf(owner));
    translateWindow(m_options.languages(), dialog);
    if (execPlaced(dialog, m_options.store()) != QDialog::Accepted)
        return std::nullopt;
    return dialog.known();
}

bool QtPanelDialogs::editLayered(LayeredPanelEditor& editor, platform::Window* owner) {
    const Languages& languages = m_options.languages();
    platform::SettingsStore& settings = m_options.store();
    ThicknessPrompt ask = [&languages, &settings](QWidget* parent, Layer& layer) {
        return askLayerThickness(parent, layer, languages, settings);
    };
    LayeredPanelDialog dialog(editor, m_materials ? m_materials() : nullptr, languages, settings,
                              m_options.XIsDistance, ask, QtWindow::widgetOf(owner));
    translateWindow(languages, dialog);
    dialog.setWindowTitle(editorTitle(editor.panel()));
    return execPlaced(dialog, settings) == QDialog::Accepted;
}

bool QtPanelDialogs::editKnown(KnownPanelEditor& editor, platform::Window* owner) {
    KnownPanelDialog dialog(editor, QtWindow::widgetOf(owner));
    translateWindow(m_options.languages(), dialog);
    dialog.setWindowTitle(editorTitle(editor.panel()));
    return execPlaced(dialog, m_options.store()) == QDialog::Accepted;
}

PanelEditorOptions QtPanelDialogs::editorOptions() const {
    PanelEditorOptions options;
    options.changeAlphas = m_options.ChangeAlphas;
    options.askBeforeChange = m_options.AskBeforeChange;
    return options;
}

} // namespace kalydor::gui
