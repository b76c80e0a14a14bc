#include "gui/materialforms.h"

#include "base/error.h"
#include "gui/dialogplacement.h"
#include "gui/numberfieldbinding.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

namespace kalydor::gui {
namespace {

// A chart of one curve with its axes at the bottom and on the left, so that the language
// files can caption them. The title starts empty: the language files add its lines.
QChartView* curveChart(const char* name, const QString& xTitle, const QString& yTitle) {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setLocalizeNumbers(true);
    chart->setLocale(displayLocale());
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setTitleText(xTitle);
    y->setTitleText(yTitle);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    auto* line = new QLineSeries;
    auto* points = new QScatterSeries;
    points->setMarkerSize(7);
    for (QXYSeries* series : {static_cast<QXYSeries*>(line), static_cast<QXYSeries*>(points)}) {
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    auto* view = named<QChartView>(name, chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(380, 280);
    return view;
}

// Shows the points on the chart's curve; the axes start at 0 and reach past the last point,
// their ticks on round numbers.
void plot(QChartView* view, const QList<QPointF>& points, double xMax) {
    QChart* chart = view->chart();
    const QList<QAbstractSeries*> series = chart->series();
    for (QAbstractSeries* s : series)
        static_cast<QXYSeries*>(s)->replace(points);
    double yMax = 0;
    for (const QPointF& p : points)
        yMax = std::max(yMax, p.y());
    const QList<QAbstractAxis*> axes = chart->axes();
    for (QAbstractAxis* axis : axes) {
        auto* value = static_cast<QValueAxis*>(axis);
        value->setRange(0,
                        axis->alignment() == Qt::AlignBottom ? xMax : (yMax > 0 ? yMax * 1.1 : 1));
        value->applyNiceNumbers();
    }
}

QTableWidget* grid(const char* name, int rows, const QStringList& headers) {
    auto* table = named<QTableWidget>(name, rows, static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setMinimumWidth(200);
    return table;
}

QTableWidgetItem* cell(const QString& text, bool editable) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

double number(const QString& text) {
    try {
        return MaterialEditor::parseCell(text.toStdString());
    } catch (const Error&) {
        return 0;
    }
}

} // namespace

QByteArray materialChartPng(const Material& material, const Languages& languages) {
    QList<QPointF> points;
    double xMax = 100;
    QString x;
    QString y;
    if (material.isKind(MaterialKind::Normal) && material.Sorption[9] > 0) {
        for (std::size_t i = 0; i < Material::kIsothermPoints; ++i) {
            if (material.Sorption[i] > 0)
                points << QPointF(static_cast<double>(i + 1) * 10.0, material.Sorption[i]);
        }
        x = qt(languages.GetText("ID_MATERIAL12b")) + QStringLiteral(" (%)");
        y = qt(languages.GetText("ID_MATERIAL12c")) + QStringLiteral(" (%)");
    } else if (material.isKind(MaterialKind::Air) && material.Diagram[0].thickness > 0) {
        xMax = 1;
        for (const AirLayerPoint& point : material.Diagram) {
            if (point.thickness > 0) {
                points << QPointF(point.thickness, point.resistance);
                xMax = std::max(xMax, point.thickness * 1.1);
            }
        }
        x = qt(languages.GetText("ID_MATERIAL14b")) + QStringLiteral(" (cm)");
        y = qt(languages.GetText("ID_MATERIAL14c")) + QStringLiteral(" (m²K/W)");
    } else {
        return {};
    }
    QChartView* view = curveChart("MaterialChart", x, y);
    view->chart()->setTitle(qt(material.Name));
    view->resize(480, 320);
    plot(view, points, xMax);
    const QPixmap picture = view->grab();
    delete view;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

MaterialKindDialog::MaterialKindDialog(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("MaterialTypeForm"));
    setWindowTitle(QStringLiteral("Material kind"));
    auto* group = named<QGroupBox>("KindGroup", QStringLiteral("Kind of the new material"));
    auto* kinds = new QVBoxLayout(group);
    const char* const names[] = {"NormalRadio", "ThickRadio", "AirRadio"};
    const char* const captions[] = {"Normal material", "Thin layer, coating, foil", "Air layer"};
    for (int i = 0; i < 3; ++i)
        kinds->addWidget(m_kinds[i] =
                             named<QRadioButton>(names[i], QString::fromLatin1(captions[i])));
    m_kinds[0]->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(okCancelButtons(this));
    setFixedSize(sizeHint());
}

MaterialKind MaterialKindDialog::kind() const {
    return m_kinds[1]->isChecked()   ? MaterialKind::Thick
           : m_kinds[2]->isChecked() ? MaterialKind::Air
                                     : MaterialKind::Normal;
}

void MaterialKindDialog::setKind(MaterialKind kind) {
    m_kinds[kind == MaterialKind::Thick ? 1 : kind == MaterialKind::Air ? 2 : 0]->setChecked(true);
}

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

QtMaterialDialogs::QtMaterialDialogs(const Languages& languages, platform::SettingsStore& settings)
    : m_languages(languages)
    , m_settings(settings) {}

std::optional<MaterialKind> QtMaterialDialogs::chooseKind(platform::Window* owner) {
    MaterialKindDialog dialog(QtWindow::widgetOf(owner));
    translateWindow(m_languages, dialog);
    if (execPlaced(dialog, m_settings) != QDialog::Accepted)
        return std::nullopt;
    return dialog.kind();
}

bool QtMaterialDialogs::editMaterial(MaterialEditor& editor, platform::Window* owner) {
    MaterialDialog dialog(editor, QtWindow::widgetOf(owner));
    translateWindow(m_languages, dialog);
    dialog.setWindowTitle(qt(editor.title()));
    return execPlaced(dialog, m_settings) == QDialog::Accepted;
}

bool QtMaterialDialogs::editAirMaterial(AirMaterialEditor& editor, platform::Window* owner) {
    AirLayerDialog dialog(editor, QtWindow::widgetOf(owner));
    translateWindow(m_languages, dialog);
    dialog.setWindowTitle(qt(editor.title()));
    return execPlaced(dialog, m_settings) == QDialog::Accepted;
}

} // namespace kalydor::gui
