#include "gui/projectoptionsdialog.h"

#include "base/error.h"
#include "gui/numberfieldbinding.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "gui/winddialog.h"
#include "language/languages.h"
#include "platform/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

using Number = ProjectOptionsFields::Number;

// The page of the dialog that shows a field.
int pageOf(Number field) {
    switch (field) {
    case Number::PanelOutSideTemp:
    case Number::PanelInSideTemp:
    case Number::OutSideRelHum:
    case Number::InSideRelHum:
    case Number::DiffusionDays:
    case Number::FloorLevel:
    case Number::H:
    case Number::EarthLambda:
        return 0;
    case Number::Compass:
    case Number::Height:
        return 1;
    case Number::RadiatorForwardTemperature:
    case Number::RadiatorBackwardTemperature:
    case Number::CorrectionFactor:
        return 3;
    default:
        return 2;
    }
}

int checkedIndex(const std::vector<QRadioButton*>& buttons) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked())
            return static_cast<int>(i);
    }
    return -1;
}

void check(const std::vector<QRadioButton*>& buttons, int index) {
    if (index >= 0 && index < static_cast<int>(buttons.size()))
        buttons[static_cast<std::size_t>(index)]->setChecked(true);
}

} // namespace

ProjectOptionsDialog::ProjectOptionsDialog(ProjectOptions& options, ItemStore& project,
                                           const Languages& languages, QWidget* parent)
    : QDialog(parent)
    , m_languages(languages)
    , m_editor(options, project)
    , m_fields(m_editor.fields())
    , m_pages(named<QTabWidget>("PageControl1"))
    , m_readOnlyNote(named<QLabel>("ReadOnlyLabel"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("ProjektOptionsForm"));
    setWindowTitle(QStringLiteral("Project options"));
    m_pages->setUsesScrollButtons(false);
    m_pages->setElideMode(Qt::ElideNone);
    m_pages->addTab(buildPanelPage(), QStringLiteral("Constructions"));
    m_pages->addTab(buildBuildingPage(), QStringLiteral("Building"));
    m_pages->addTab(buildHeatingPage(), QStringLiteral("Heating"));
    m_pages->addTab(buildRadiatorPage(), QStringLiteral("Radiators"));

    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(m_readOnlyNote);
    layout->addWidget(m_status);
    // The settings file: another project's options reused, or these kept for later.
    auto* load = named<QPushButton>("LoadSettingsButton", QStringLiteral("Load..."));
    auto* save = named<QPushButton>("SaveSettingsButton", QStringLiteral("Save..."));
    connect(load, &QPushButton::clicked, this, &ProjectOptionsDialog::loadSettings);
    connect(save, &QPushButton::clicked, this, &ProjectOptionsDialog::saveSettings);
    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* row = new QHBoxLayout;
    row->addWidget(load);
    row->addWidget(save);
    row->addStretch();
    row->addWidget(buttons);
    layout->addLayout(row);
    // Each number is checked as it is left, named by the caption beside it.
    for (std::size_t i = 0; i < m_numbers.size(); ++i) {
        QLineEdit* edit = m_numbers[i];
        QLabel* caption = nullptr;
        for (QFormLayout* form : findChildren<QFormLayout*>()) {
            if (auto* label = qobject_cast<QLabel*>(form->labelForField(edit)))
                caption = label;
        }
        const auto field = static_cast<Number>(i);
        m_fieldSet.add(edit,
                       NumberField(caption ? caption->text().toStdString() : std::string(),
                                   projectOptionsFieldRule(field)),
                       m_status, {}, caption);
    }

    translateWindow(languages, *this);
    // Options that could not be read from the project are shown but cannot be saved.
    m_readOnlyNote->setWordWrap(true);
    m_readOnlyNote->setText(qt(projectOptionsReadOnlyError().text()));
    m_readOnlyNote->setVisible(m_editor.readOnly());
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!m_editor.readOnly());
    load->setEnabled(!m_editor.readOnly());
    save->setEnabled(!m_editor.readOnly());
    showFields();
}

void ProjectOptionsDialog::loadSettings() {
    auto* button = findChild<QPushButton*>(QStringLiteral("LoadSettingsButton"));
    const QStringList files = m_files.open(
        this, titleOf(button), {qt(m_languages.GetText("IDS_SETTINGSFILTER"))}, FileCount::One);
    if (files.isEmpty())
        return;
    try {
        if (!m_editor.loadSettings(files.front().toStdString())) {
            showProblem(m_status, m_languages.GetText("IDS_SETTINGSINCOMPLETE"));
            return;
        }
    } catch (const Error& error) {
        showProblem(m_status, error.text());
        return;
    }
    m_fields = m_editor.fields();
    showFields();
    m_status->clear();
}

void ProjectOptionsDialog::saveSettings() {
    if (!m_fieldSet.takeAll())
        return;
    const ProjectOptionsFields fields = takeFields();
    if (const std::optional<Number> bad = m_editor.invalidField(fields)) {
        showFieldError(*bad);
        return;
    }
    auto* button = findChild<QPushButton*>(QStringLiteral("SaveSettingsButton"));
    const QString filter = qt(m_languages.GetText("IDS_SETTINGSFILTER"));
    int chosen = 0;
    const QString file = m_files.save(this, titleOf(button), {filter}, chosen);
    if (file.isEmpty())
        return;
    try {
        m_editor.saveSettings(fields, withExtensionOf(file, filter).toStdString());
        m_status->clear();
    } catch (const Error& error) {
        showProblem(m_status, error.text());
    }
}

QLineEdit* ProjectOptionsDialog::numberEdit(Number field, const char* name) {
    QLineEdit* edit = named<QLineEdit>(name);
    edit->setMaximumWidth(90);
    m_numbers[static_cast<std::size_t>(field)] = edit;
    return edit;
}

QGroupBox* ProjectOptionsDialog::choiceGroup(const char* name, const QString& caption,
                                             std::initializer_list<const char*> captions,
                                             std::vector<QRadioButton*>& buttons) {
    auto* group = named<QGroupBox>(name, caption);
    auto* layout = new QVBoxLayout(group);
    for (const char* text : captions) {
        auto* button = new QRadioButton(QString::fromUtf8(text), group);
        buttons.push_back(button);
        layout->addWidget(button);
    }
    return group;
}

QWidget* ProjectOptionsDialog::buildPanelPage() {
    auto* page = named<QWidget>("PanelSheet");
    auto* air = named<QGroupBox>("PanelAirGroup", QStringLiteral("Design air conditions"));
    auto* airForm = new QFormLayout(air);
    airForm->addRow(
        named<QLabel>("PanelOutSideTempLabel", QStringLiteral("Outside temperature (°C)")),
        numberEdit(Number::PanelOutSideTemp, "PanelOutSideTempEdit"));
    airForm->addRow(
        named<QLabel>("PanelInSideTempLabel", QStringLiteral("Inside temperature (°C)")),
        numberEdit(Number::PanelInSideTemp, "PanelInSideTempEdit"));
    airForm->addRow(
        named<QLabel>("OutSideRelHumLabel", QStringLiteral("Outside relative humidity (%)")),
        numberEdit(Number::OutSideRelHum, "OutSideRelHumEdit"));
    airForm->addRow(
        named<QLabel>("InSideRelHumLabel", QStringLiteral("Inside relative humidity (%)")),
        numberEdit(Number::InSideRelHum, "InSideRelHumEdit"));
    airForm->addRow(
        named<QLabel>("DiffusionDaysLabel", QStringLiteral("Vapour diffusion period (days)")),
        numberEdit(Number::DiffusionDays, "DiffusionDaysEdit"));
    airForm->addRow(named<QLabel>("FloorLevelLabel", QStringLiteral("Floor level (m)")),
                    numberEdit(Number::FloorLevel, "FloorLevelEdit"));
    auto* ground = named<QGroupBox>("GroundGroup", QStringLiteral("Ground"));
    auto* groundForm = new QFormLayout(ground);
    groundForm->addRow(named<QLabel>("HLabel", QStringLiteral("Ground water level (m)")),
                       numberEdit(Number::H, "HEdit"));
    groundForm->addRow(
        named<QLabel>("EarthLambdaLabel", QStringLiteral("Ground thermal conductivity (W/mK)")),
        numberEdit(Number::EarthLambda, "EarthLambdaEdit"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(air);
    layout->addWidget(ground);
    layout->addStretch();
    return page;
}

QWidget* ProjectOptionsDialog::buildBuildingPage() {
    auto* page = named<QWidget>("BuildingSheet");
    auto* usingMode = choiceGroup("UsingModeGroup", QStringLiteral("Use"),
                                  {"Continuous", "Intermittent"}, m_usingModes);
    auto* wallMass = choiceGroup("WallMassModeGroup", QStringLiteral("Walls"),
                                 {"Light (at most 350 kg/m²)", "Medium or heavy (over 350 kg/m²)"},
                                 m_wallMassModes);
    auto* pollution = choiceGroup("PollutionGroup", QStringLiteral("Air pollution"),
                                  {"Urban", "Clean rural", "Especially clean"}, m_pollutions);
    auto* form = new QFormLayout;
    form->addRow(named<QLabel>("CompassLabel", QStringLiteral("Orientation (degrees)")),
                 numberEdit(Number::Compass, "CompassEdit"));
    form->addRow(named<QLabel>("HeightLabel", QStringLiteral("Room height (m)")),
                 numberEdit(Number::Height, "HeightEdit"));
    auto* layout = new QGridLayout(page);
    layout->addWidget(usingMode, 0, 0);
    layout->addWidget(wallMass, 0, 1);
    layout->addWidget(pollution, 1, 0);
    layout->addLayout(form, 1, 1, Qt::AlignTop);
    layout->setRowStretch(2, 1);
    return page;
}

QWidget* ProjectOptionsDialog::buildHeatingPage() {
    auto* page = named<QWidget>("HeatingSheet");
    m_heatingCalculate =
        named<QCheckBox>("HeatingCalculateCheck", QStringLiteral("Calculate the heating load"));
    m_sunShine =
        named<QCheckBox>("SunShineCheck", QStringLiteral("Take the solar gain into account"));
    m_acCalculated = named<QCheckBox>("AcCalculatedCheck", QStringLiteral("Calculate Ac"));
    m_filtMode = named<QComboBox>("FiltModeCombo");
    // The ventilation modes are a numbered family of the language tables.
    for (int mode = 0; mode <= 4; ++mode)
        m_filtMode->addItem(qt(m_languages.GetText("IDS_FILTMODES+" + std::to_string(mode))));

    auto* temperatures = new QFormLayout;
    temperatures->addRow(
        named<QLabel>("HeatingOutSideTempLabel", QStringLiteral("Outside design temperature (°C)")),
        numberEdit(Number::HeatingOutSideTemp, "HeatingOutSideTempEdit"));
    temperatures->addRow(
        named<QLabel>("HeatingInSideTempLabel", QStringLiteral("Inside design temperature (°C)")),
        numberEdit(Number::HeatingInSideTemp, "HeatingInSideTempEdit"));
    temperatures->addRow(named<QLabel>("TetapLabel", QStringLiteral("Ground temperature (°C)")),
                         numberEdit(Number::Tetap, "TetapEdit"));

    auto* ventilation = named<QGroupBox>("VentilationGroup", QStringLiteral("Ventilation"));
    auto* ventilationForm = new QFormLayout(ventilation);
    ventilationForm->addRow(named<QLabel>("FiltModeLabel", QStringLiteral("Method")), m_filtMode);
    ventilationForm->addRow(
        named<QLabel>("PortionLabel", QStringLiteral("Fresh air per person (m³/h)")),
        numberEdit(Number::Portion, "PortionEdit"));
    ventilationForm->addRow(
        named<QLabel>("AirChangeFactLabel", QStringLiteral("Air changes (1/h)")),
        numberEdit(Number::AirChangeFact, "AirChangeFactEdit"));
    ventilationForm->addRow(named<QLabel>("vLabel", QStringLiteral("Wind speed (m/s)")),
                            numberEdit(Number::v, "vEdit"));
    ventilationForm->addRow(named<QLabel>("ELabel", QStringLiteral("Level correction factor")),
                            numberEdit(Number::E, "EEdit"));
    auto* wind = named<QPushButton>("WindButton", QStringLiteral("Wind table..."));
    ventilationForm->addRow(QString(), wind);
    connect(wind, &QPushButton::clicked, this, [this] {
        const auto choice = WindDialog::choose(this, m_languages, nullptr);
        if (!choice)
            return;
        for (const auto& [field, text] :
             {std::pair{Number::v, choice->v}, std::pair{Number::E, choice->e}}) {
            QLineEdit* edit = m_numbers[static_cast<std::size_t>(field)];
            edit->setText(qt(text));
            m_fieldSet.find(edit)->leave();
        }
    });

    auto* coefficients = named<QGroupBox>("CoefficientGroup", QStringLiteral("Coefficients"));
    auto* coefficientForm = new QFormLayout(coefficients);
    coefficientForm->addRow(m_acCalculated);
    coefficientForm->addRow(named<QLabel>("AcLabel", QStringLiteral("Ac")),
                            numberEdit(Number::Ac, "AcEdit"));
    coefficientForm->addRow(named<QLabel>("AoLabel", QStringLiteral("Ao")),
                            numberEdit(Number::Ao, "AoEdit"));
    coefficientForm->addRow(named<QLabel>("CmLabel", QStringLiteral("Cm")),
                            numberEdit(Number::Cm, "CmEdit"));

    auto* layout = new QGridLayout(page);
    layout->addWidget(m_heatingCalculate, 0, 0);
    layout->addWidget(m_sunShine, 0, 1);
    layout->addLayout(temperatures, 1, 0);
    layout->addWidget(coefficients, 1, 1);
    layout->addWidget(ventilation, 2, 0, 1, 2);
    layout->setRowStretch(3, 1);
    return page;
}

QWidget* ProjectOptionsDialog::buildRadiatorPage() {
    auto* page = named<QWidget>("RadiatorSheet");
    auto* nearest =
        choiceGroup("NearestGroup", QStringLiteral("Radiator size"),
                    {"The size nearest in power", "The size that covers the load"}, m_nearest);
    auto* form = new QFormLayout;
    form->addRow(
        named<QLabel>("ForwardTemperatureLabel", QStringLiteral("Forward temperature (°C)")),
        numberEdit(Number::RadiatorForwardTemperature, "ForwardTemperatureEdit"));
    form->addRow(
        named<QLabel>("BackwardTemperatureLabel", QStringLiteral("Return temperature (°C)")),
        numberEdit(Number::RadiatorBackwardTemperature, "BackwardTemperatureEdit"));
    form->addRow(named<QLabel>("CorrectionFactorLabel", QStringLiteral("Correction factor")),
                 numberEdit(Number::CorrectionFactor, "CorrectionFactorEdit"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(nearest);
    layout->addLayout(form);
    layout->addStretch();
    return page;
}

void ProjectOptionsDialog::showFields() {
    const ProjectOptionsFields& f = m_fields;
    for (std::size_t i = 0; i < m_numbers.size(); ++i) {
        double value = 0;
        try {
            value = ParseNumber(f.numbers[i]);
        } catch (const Error&) {
        }
        m_fieldSet.find(m_numbers[i])->show(value, f.numbers[i]);
    }
    check(m_usingModes, f.usingMode);
    check(m_wallMassModes, f.wallMassMode);
    check(m_pollutions, f.pollution);
    check(m_nearest, f.nearest ? 0 : 1);
    m_filtMode->setCurrentIndex(f.filtMode >= 0 && f.filtMode <= 4 ? f.filtMode : -1);
    m_heatingCalculate->setChecked(f.heatingCalculate);
    m_sunShine->setChecked(f.sunShineFlag);
    m_acCalculated->setChecked(f.acCalculated);
}

// The fields as the controls hold them; a choice the controls cannot show (a stored code
// outside the offered ones) stays as it was.
ProjectOptionsFields ProjectOptionsDialog::takeFields() const {
    ProjectOptionsFields f = m_fields;
    for (std::size_t i = 0; i < m_numbers.size(); ++i)
        f.numbers[i] = m_numbers[i]->text().toStdString();
    const auto take = [](int& field, int index) {
        if (index >= 0)
            field = index;
    };
    take(f.usingMode, checkedIndex(m_usingModes));
    take(f.wallMassMode, checkedIndex(m_wallMassModes));
    take(f.pollution, checkedIndex(m_pollutions));
    take(f.filtMode, m_filtMode->currentIndex());
    f.nearest = checkedIndex(m_nearest) != 1;
    f.heatingCalculate = m_heatingCalculate->isChecked();
    f.sunShineFlag = m_sunShine->isChecked();
    f.acCalculated = m_acCalculated->isChecked();
    return f;
}

void ProjectOptionsDialog::showFieldError(Number field) {
    // A stored value the field does not allow, never typed: the field helper names it and
    // its rule like any refused value.
    QLineEdit* edit = m_numbers[static_cast<std::size_t>(field)];
    m_pages->setCurrentIndex(pageOf(field));
    NumberFieldBinding* binding = m_fieldSet.find(edit);
    binding->forgetRefusal();
    binding->leave();
    edit->setFocus();
    edit->selectAll();
}

void ProjectOptionsDialog::accept() {
    if (!m_fieldSet.takeAll()) {
        // The page of the refused field comes to the front with it.
        for (std::size_t i = 0; i < m_numbers.size(); ++i) {
            if (m_fieldSet.find(m_numbers[i])->refused())
                m_pages->setCurrentIndex(pageOf(static_cast<Number>(i)));
        }
        return;
    }
    const ProjectOptionsFields fields = takeFields();
    if (const std::optional<Number> bad = m_editor.invalidField(fields)) {
        showFieldError(*bad);
        return;
    }
    try {
        m_changes = m_editor.confirm(fields);
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
        return;
    }
    QDialog::accept();
}

void ProjectOptionsDialog::reject() {
    try {
        m_editor.cancel();
    } catch (const Error& error) {
        // The options stay read-only; the dialog closes all the same.
        platform::prompter().showMessage(error.text());
    }
    QDialog::reject();
}

} // namespace kalydor::gui
