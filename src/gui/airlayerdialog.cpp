#include "gui/airlayerdialog.h"

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
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QXYSeries>

namespace kalydor::gui {

AirLayerDialog::AirLayerDialog(AirMaterialEditor& editor, QWidget* parent)
    : QDialog(parent)
    , m_editor(editor)
    , m_thickness(named<QLineEdit>("ThicknessEdit"))
    , m_resistance(named<QLineEdit>("ThermalResEdit"))
    , m_steamRes(named<QLineEdit>("SteamResEdit"))
    , m_ventilated(named<QCheckBox>("VentilledCheck", QStringLiteral("Ventilated air layer")))
    , m_diagram(grid("DiagramGrid", Material::kDiagramPoints,
                     {QStringLiteral("d (cm)"), QStringLiteral("R (m²K/W)")}))
    , m_chart(curveChart("DiagramChart", QStringLiteral("Thickness (cm)"),
                         QStringLiteral("Thermal resistance (m²K/W)")))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("AirMaterialModifyForm"));
    setWindowTitle(qt(editor.title()));
    setSizeGripEnabled(true);
    const AirMaterialEditor::Fields fields = editor.fields();
    m_thickness->setText(qt(fields.thickness));
    m_resistance->setText(qt(fields.resistance));
    m_steamRes->setText(qt(fields.steamRes));
    m_ventilated->setChecked(fields.ventilated);
    for (QLineEdit* edit : {m_thickness, m_resistance, m_steamRes}) {
        edit->setAlignment(Qt::AlignRight);
        edit->setMaximumWidth(110);
    }
    m_steamRes->setEnabled(editor.layerMode());

    auto* form = new QFormLayout;
    const auto row = [&](const char* name, const char* label, QLineEdit* edit, const char* symbol,
                         const char* unit, const FieldRule& rule) {
        auto* line = new QHBoxLayout;
        line->addWidget(edit);
        line->addWidget(new QLabel(QString::fromUtf8(unit)));
        line->addStretch();
        auto* caption = named<QLabel>(name, QString::fromUtf8(label));
        form->addRow(caption, line);
        const QString text = edit->text();
        m_numbers.add(edit, NumberField(label, rule, symbol, unit), m_status, {}, caption)
            .show(ParseNumber(text.toStdString()));
        edit->setText(text);
    };
    const FieldRule atLeastZero = FieldRule::of(NumberRule::NotNegative);
    row("ThicknessLabel", "Thickness d", m_thickness, "d", "cm",
        materialFieldRule(MaterialField::Thickness, editor.layerMode()));
    row("ThermalResLabel", "Thermal resistance R", m_resistance, "R", "m²K/W", atLeastZero);
    row("SteamResLabel", "Vapour pressure offset", m_steamRes, "", "Pa", atLeastZero);
    form->addRow(m_ventilated);

    showDiagram(fields);
    connect(m_diagram, &QTableWidget::cellChanged, this, &AirLayerDialog::diagramEdited);
    auto* diagram =
        named<QGroupBox>("DiagramGroup", QStringLiteral("Thermal resistance by thickness"));
    auto* diagramLayout = new QHBoxLayout(diagram);
    diagramLayout->addWidget(m_diagram);
    diagramLayout->addWidget(m_chart, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(diagram, 1);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    redrawChart();
}

void AirLayerDialog::showDiagram(const AirMaterialEditor::Fields& fields) {
    const QSignalBlocker blocker(m_diagram);
    for (int i = 0; i < static_cast<int>(Material::kDiagramPoints); ++i) {
        m_diagram->setItem(i, 0, cell(qt(fields.diagram[i].first), true));
        m_diagram->setItem(i, 1, cell(qt(fields.diagram[i].second), true));
    }
}

AirMaterialEditor::Fields AirLayerDialog::takeFields() const {
    AirMaterialEditor::Fields f;
    f.thickness = m_thickness->text().toStdString();
    f.resistance = m_resistance->text().toStdString();
    f.steamRes = m_steamRes->text().toStdString();
    f.ventilated = m_ventilated->isChecked();
    for (int i = 0; i < static_cast<int>(Material::kDiagramPoints); ++i)
        f.diagram[i] = {m_diagram->item(i, 0)->text().toStdString(),
                        m_diagram->item(i, 1)->text().toStdString()};
    return f;
}

void AirLayerDialog::diagramEdited(int row, int column) {
    try {
        MaterialEditor::parseCell(m_diagram->item(row, column)->text().toStdString());
        m_status->clear();
    } catch (const Error& error) {
        m_status->setText(qt(error.text()));
    }
    redrawChart();
}

void AirLayerDialog::redrawChart() {
    QList<QPointF> points;
    double xMax = 1;
    for (int i = 0; i < static_cast<int>(Material::kDiagramPoints); ++i) {
        const double x = number(m_diagram->item(i, 0)->text());
        if (x > 0) {
            points << QPointF(x, number(m_diagram->item(i, 1)->text()));
            xMax = std::max(xMax, x * 1.1);
        }
    }
    std::sort(points.begin(), points.end(),
              [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    plot(m_chart, points, xMax);
}

int AirLayerDialog::plottedPoints() const {
    return static_cast<int>(static_cast<QXYSeries*>(m_chart->chart()->series().first())->count());
}

void AirLayerDialog::accept() {
    if (!m_numbers.takeAll())
        return;
    AirMaterialEditor::Fields fields = takeFields();
    const std::optional<EditorProblem> problem = m_editor.apply(fields);
    showDiagram(fields);
    redrawChart();
    if (!problem) {
        m_numbers.find(m_resistance)->show(ParseNumber(fields.resistance));
        m_resistance->setText(qt(fields.resistance));
        QDialog::accept();
        return;
    }
    m_status->setText(qt(problem->message));
    if (problem->row >= 0) {
        m_diagram->setFocus();
        m_diagram->setCurrentCell(problem->row, 1);
    } else if (problem->field) {
        QLineEdit* edit = *problem->field == MaterialField::Thickness    ? m_thickness
                          : *problem->field == MaterialField::ThermalRes ? m_resistance
                                                                         : m_steamRes;
        edit->setFocus();
        edit->selectAll();
    }
}

void AirLayerDialog::reject() {
    const AirMaterialEditor::Fields typed = takeFields();
    const AirMaterialEditor::Fields shown = m_editor.fields();
    const bool changed = m_numbers.anyEdited() || typed.thickness != shown.thickness ||
                         typed.resistance != shown.resistance ||
                         (m_editor.layerMode() && typed.steamRes != shown.steamRes) ||
                         typed.ventilated != shown.ventilated || typed.diagram != shown.diagram;
    if (changed && !mayDiscardChanges())
        return;
    QDialog::reject();
}

} // namespace kalydor::gui
