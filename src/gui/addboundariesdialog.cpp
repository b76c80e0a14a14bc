#include "gui/addboundariesdialog.h"

#include "base/error.h"
#include "constructions/panel.h"
#include "gui/constructiontree.h"
#include "gui/widgets.h"
#include "rooms/boundaryeditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kalydor::gui {
AddBoundariesDialog::AddBoundariesDialog(ItemStore& project, NewBoundaryDefaults& defaults,
                                         std::int16_t buildingCompass, Add add, QWidget* parent)
    : QDialog(parent)
    , m_defaults(defaults)
    , m_add(std::move(add))
    , m_tree(new ConstructionTree(project, "ConstructionTree"))
    , m_orientation(named<QComboBox>("OrientationCombo"))
    , m_gradient(named<QComboBox>("GradientCombo"))
    , m_unheated(named<QCheckBox>("UnheatedCheck", QStringLiteral("Unheated on the other side")))
    , m_sunFactor(named<QComboBox>("SunFactorCombo"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("AddBoundaryForm"));
    setWindowTitle(QStringLiteral("Add boundaries"));
    setSizeGripEnabled(true);

    connect(m_tree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* row) { addRow(row); });

    // The defaults: an orientation typed outside the list is taken as typed.
    BoundaryEditor orientations(m_defaults.values, BoundaryDialogKind::Wall, buildingCompass);
    m_orientation->setEditable(true);
    for (const std::int16_t angle : orientations.orientations())
        m_orientation->addItem(qt(orientationText(angle)));
    m_orientation->setEditText(qt(orientationText(m_defaults.values.Compass)));
    const auto orientationLeft = [this, buildingCompass] {
        BoundaryEditor reader(m_defaults.values, BoundaryDialogKind::Wall, buildingCompass);
        if (const auto refusal =
                reader.setOrientation(m_orientation->currentText().toStdString())) {
            showProblem(m_status, *refusal);
            return;
        }
        m_status->clear();
        m_defaults.values.Compass = reader.orientation();
    };
    connect(m_orientation->lineEdit(), &QLineEdit::editingFinished, this, orientationLeft);
    connect(m_orientation, &QComboBox::activated, this, orientationLeft);
    for (std::size_t i = 0; i < kGradientSteps.size(); ++i)
        m_gradient->addItem(qt(GetText("IDS_GRADIENT+" + std::to_string(i))));
    m_gradient->setCurrentIndex(m_defaults.values.gradientIndex());
    connect(m_gradient, &QComboBox::activated, this, [this](int index) {
        m_defaults.values.Gradient = kGradientSteps[static_cast<std::size_t>(index)];
    });
    m_unheated->setChecked(m_defaults.values.OverSideType != 0);
    connect(m_unheated, &QCheckBox::toggled, this,
            [this](bool on) { m_defaults.values.OverSideType = on ? 1 : 0; });
    for (int i = 0; i < 3; ++i)
        m_sunFactor->addItem(qt(GetText("IDS_SUNFACTOR+" + std::to_string(i))));
    m_sunFactor->setCurrentIndex(m_defaults.values.SunFactor);
    connect(m_sunFactor, &QComboBox::activated, this,
            [this](int index) { m_defaults.values.SunFactor = static_cast<std::int16_t>(index); });
    auto* temperature = named<QLineEdit>("OverTempEdit");
    auto* temperatureCaption =
        named<QLabel>("OverTempLabel", QStringLiteral("Winter temperature on the other side [°C]"));
    m_numbers
        .add(
            temperature,
            NumberField("Winter temperature on the other side", FieldRule::of(NumberRule::Any)),
            m_status,
            [this](double value) { m_defaults.values.OverTempWinter = static_cast<float>(value); },
            temperatureCaption)
        .show(m_defaults.values.OverTempWinter);

    auto* form = new QFormLayout;
    form->addRow(named<QLabel>("OrientationLabel", QStringLiteral("Orientation")), m_orientation);
    form->addRow(named<QLabel>("GradientLabel", QStringLiteral("Tilt")), m_gradient);
    form->addRow(temperatureCaption, temperature);
    form->addRow(QString(), m_unheated);
    form->addRow(named<QLabel>("SunFactorLabel", QStringLiteral("Winter insolation")), m_sunFactor);

    auto* addButton = named<QPushButton>("AddButton", QStringLiteral("Add"));
    auto* closeButton = named<QPushButton>("CloseButton", QStringLiteral("Close"));
    connect(addButton, &QPushButton::clicked, this, [this] { addRow(m_tree->currentItem()); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(addButton);
    buttons->addWidget(closeButton);

    m_status->setWordWrap(true);
    auto* columns = new QHBoxLayout;
    columns->addWidget(m_tree, 1);
    columns->addLayout(form);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
}

void AddBoundariesDialog::addRow(QTreeWidgetItem* row) {
    if (!m_numbers.takeAll())
        return;
    std::string problem;
    const std::optional<Panel> panel = m_tree->construction(row, &problem);
    if (!panel) {
        if (!problem.empty())
            showProblem(m_status, problem);
        return;
    }
    m_status->clear();
    try {
        m_add(*panel);
    } catch (const Error& error) {
        // An undefined construction cannot become a boundary.
        platform::prompter().showMessage(error.text());
    }
}

} // namespace kalydor::gui
