#include "gui/layeredpaneldialog.h"

#include "base/error.h"
#include "gui/dialogplacement.h"
#include "gui/headerdelegate.h"
#include "gui/layerselectiondialog.h"
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

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

QFormLayout* groupForm(QVBoxLayout* into, const char* name, const char* caption) {
    auto* group = named<QGroupBox>(name, QString::fromUtf8(caption));
    auto* form = new QFormLayout(group);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    into->addWidget(group);
    return form;
}

void showRed(QLabel* label, bool red) {
    label->setStyleSheet(red ? QStringLiteral("color: #c00000; font-weight: bold;") : QString());
}

} // namespace

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

} // namespace kalydor::gui
