#include "gui/materialdialog.h"

#include "base/error.h"
#include "gui/dialogplacement.h"
#include "gui/materialcurves.h"
#include "gui/numberfieldbinding.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"

#include <QChart>
#include <QChartView>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QXYSeries>

namespace kalydor::gui {

MaterialDialog::MaterialDialog(MaterialEditor& editor, QWidget* parent)
    : QDialog(parent)
    , m_editor(editor)
    , m_isotherm(grid("IsothermGrid", Material::kIsothermPoints,
                      {QStringLiteral("φ (%)"), QStringLiteral("ω (%)")}))
    , m_chart(curveChart("IsothermChart", QStringLiteral("Relative humidity (%)"),
                         QStringLiteral("Moisture content (%)")))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("MaterialModifyForm"));
    setWindowTitle(qt(editor.title()));
    setSizeGripEnabled(true);

    struct FieldRow {
        MaterialField field;
        const char* name;
        const char* label;
        const char* symbol;
        const char* unit;
    };
    const FieldRow rows[] = {
        {MaterialField::Thickness, "Thickness", "Thickness d", "d", "cm"},
        {MaterialField::Density, "Density", "Density ρ", "ρ", "kg/m³"},
        {MaterialField::HeatCapacity, "HeatCapacity", "Specific heat c", "c", "kJ/kgK"},
        {MaterialField::ThermalCond, "ThermalCond", "Thermal conductivity λ", "λ", "W/mK"},
        {MaterialField::ThermalRes, "ThermalRes", "Thermal resistance R", "R", "m²K/W"},
        {MaterialField::SteamDiffCond, "SteamDiffCond", "Vapour permeability δ", "δ", "g/msMPa"},
        {MaterialField::SteamDiffRes, "SteamDiffRes", "Vapour resistance Rv", "Rv", "m²sMPa/g"},
        {MaterialField::SteamDiffResNum, "SteamDiffResNum", "Vapour resistance factor μ", "μ", "-"},
        {MaterialField::InitialHumidity, "InitialHumidity", "Initial moisture ωk", "ωk", "%"},
        {MaterialField::InitialHumidity2, "InitialHumidity2", "Filling moisture", "", "%"},
        {MaterialField::PermitHumidity, "PermitHumidity", "Permitted moisture ωm", "ωm", "%"},
    };
    auto* form = new QFormLayout;
    const std::array<std::string, kMaterialFieldCount> texts = editor.texts();
    for (const FieldRow& row : rows) {
        const auto index = static_cast<std::size_t>(row.field);
        auto* edit = named<QLineEdit>((std::string(row.name) + "Edit").c_str(), qt(texts[index]));
        edit->setAlignment(Qt::AlignRight);
        edit->setReadOnly(editor.isReadOnly(row.field));
        edit->setMaximumWidth(110);
        m_fields[index] = edit;
        auto* line = new QHBoxLayout;
        line->addWidget(edit);
        line->addWidget(new QLabel(QString::fromUtf8(row.unit)));
        line->addStretch();
        auto* label =
            named<QLabel>((std::string(row.name) + "Label").c_str(), QString::fromUtf8(row.label));
        form->addRow(label, line);
        if (!editor.isShown(row.field))
            form->setRowVisible(label, false);
        // Checked as it is left; the field keeps the exact value it shows until it is typed in.
        NumberFieldBinding& binding =
            m_numbers.add(edit,
                          NumberField(row.label, materialFieldRule(row.field, editor.layerMode()),
                                      row.symbol, row.unit),
                          m_status, {}, label);
        binding.show(ParseNumber(texts[index]));
        edit->setText(qt(texts[index]));
    }

    const std::array<std::string, Material::kIsothermPoints> isotherm = editor.isothermTexts();
    for (int row = 0; row < static_cast<int>(Material::kIsothermPoints); ++row) {
        m_isotherm->setItem(row, 0, cell(QString::number((row + 1) * 10), false));
        m_isotherm->setItem(row, 1, cell(qt(isotherm[row]), !editor.isothermReadOnly()));
    }
    connect(m_isotherm, &QTableWidget::cellChanged, this, &MaterialDialog::isothermEdited);
    auto* moisture = named<QGroupBox>("IsothermGroup", QStringLiteral("Sorption isotherm"));
    auto* moistureLayout = new QHBoxLayout(moisture);
    moistureLayout->addWidget(m_isotherm);
    moistureLayout->addWidget(m_chart, 1);
    moisture->setVisible(editor.isNormal());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(moisture, 1);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    redrawChart();
}

std::array<std::string, Material::kIsothermPoints> MaterialDialog::isothermTexts() const {
    std::array<std::string, Material::kIsothermPoints> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = m_isotherm->item(static_cast<int>(i), 1)->text().toStdString();
    return texts;
}

// A cell is read as soon as it is typed; a bad number is named in the status line.
void MaterialDialog::isothermEdited(int row, int column) {
    if (column != 1)
        return;
    try {
        MaterialEditor::parseCell(m_isotherm->item(row, 1)->text().toStdString());
        m_status->clear();
    } catch (const Error& error) {
        m_status->setText(qt(error.text()));
    }
    redrawChart();
}

void MaterialDialog::redrawChart() {
    QList<QPointF> points;
    for (int row = 0; row < static_cast<int>(Material::kIsothermPoints); ++row) {
        const double value = number(m_isotherm->item(row, 1)->text());
        if (value > 0)
            points << QPointF((row + 1) * 10.0, value);
    }
    plot(m_chart, points, 100);
}

int MaterialDialog::plottedPoints() const {
    return static_cast<int>(static_cast<QXYSeries*>(m_chart->chart()->series().first())->count());
}

void MaterialDialog::accept() {
    if (!m_numbers.takeAll())
        return;
    std::array<std::string, kMaterialFieldCount> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = m_fields[i]->text().toStdString();
    const std::optional<EditorProblem> problem = m_editor.apply(texts, isothermTexts());
    if (!problem) {
        QDialog::accept();
        return;
    }
    platform::prompter().showMessage(problem->message);
    if (problem->field) {
        QLineEdit* edit = field(*problem->field);
        edit->setFocus();
        edit->selectAll();
    } else if (problem->row >= 0) {
        m_isotherm->setFocus();
        m_isotherm->setCurrentCell(problem->row, 1);
    }
}

void MaterialDialog::reject() {
    bool changed = m_numbers.anyEdited() || isothermTexts() != m_editor.isothermTexts();
    const std::array<std::string, kMaterialFieldCount> shown = m_editor.texts();
    for (std::size_t i = 0; i < shown.size(); ++i)
        changed = changed || m_fields[i]->text().toStdString() != shown[i];
    if (changed && !mayDiscardChanges())
        return;
    QDialog::reject();
}

} // namespace kalydor::gui
