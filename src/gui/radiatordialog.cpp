#include "gui/radiatordialog.h"

#include "gui/dialogplacement.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "shell/programoptions.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace kalydor::gui {
namespace {

// Axis ranges that end on round numbers a little beyond the largest value.
double roundedUp(double value) {
    if (!(value > 0))
        return 1;
    const double step = std::pow(10.0, std::floor(std::log10(value)));
    return std::ceil(value / step * 2) * step / 2;
}

} // namespace

RadiatorDialog::RadiatorDialog(RadiatorEditor& editor, QWidget* parent)
    : QDialog(parent)
    , m_editor(editor)
    , m_family(named<QComboBox>("FamilyCombo"))
    , m_mainType(named<QComboBox>("MainTypeCombo"))
    , m_typeCode(named<QLabel>("TypeCodeValue"))
    , m_decrease(named<QToolButton>("DecreaseButton"))
    , m_increase(named<QToolButton>("IncreaseButton"))
    , m_dimensions(named<QLabel>("DimensionsValue"))
    , m_output(named<QLabel>("OutputValue"))
    , m_flow(named<QLabel>("FlowValue"))
    , m_unit(named<QComboBox>("UnitCombo"))
    , m_mediumType(named<QLabel>("MediumTypeValue"))
    , m_ro(named<QLabel>("RoValue"))
    , m_nu(named<QLabel>("NuValue"))
    , m_specificHeat(named<QLabel>("SpecificHeatValue"))
    // The view owns the chart it is made with (a chart set later would orphan its own).
    , m_chart(named<QChartView>("PowerChart", new QChart))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("RadiatorModifyForm"));
    setWindowTitle(QStringLiteral("Radiator"));

    for (const std::string& name : editor.families())
        m_family->addItem(qt(name));
    connect(m_family, &QComboBox::activated, this, [this](int index) {
        m_editor.selectFamily(index);
        refresh();
    });
    connect(m_mainType, &QComboBox::activated, this, [this](int index) {
        m_editor.selectMainType(index);
        refresh();
    });
    m_decrease->setArrowType(Qt::DownArrow);
    m_increase->setArrowType(Qt::UpArrow);
    connect(m_decrease, &QToolButton::clicked, this, [this] {
        m_editor.decrease();
        refresh();
    });
    connect(m_increase, &QToolButton::clicked, this, [this] {
        m_editor.increase();
        refresh();
    });
    m_unit->addItem(QStringLiteral("m³/h"));
    m_unit->addItem(QStringLiteral("l/min"));
    connect(m_unit, &QComboBox::activated, this, [this](int index) {
        m_editor.setFlowUnit(index == 1 ? FlowUnit::LitresPerMinute : FlowUnit::CubicMetresPerHour);
        refresh();
    });

    auto* choice = new QFormLayout;
    choice->addRow(named<QLabel>("FamilyLabel", QStringLiteral("Family")), m_family);
    choice->addRow(named<QLabel>("MainTypeLabel", QStringLiteral("Main type")), m_mainType);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(m_typeCode, 1);
    sizeRow->addWidget(m_decrease);
    sizeRow->addWidget(m_increase);
    choice->addRow(named<QLabel>("TypeLabel", QStringLiteral("Type")), sizeRow);
    choice->addRow(named<QLabel>("SizeLabel", QStringLiteral("Dimensions")), m_dimensions);

    // Temperatures and factor: taken as each field is left, and together on OK.
    const struct {
        RadiatorField field;
        const char* edit;
        const char* label;
        const char* caption;
    } typed[] = {
        {RadiatorField::Forward, "ForwardEdit", "ForwardLabel", "Flow temperature [°C]"},
        {RadiatorField::Return, "ReturnEdit", "ReturnLabel", "Return temperature [°C]"},
        {RadiatorField::Factor, "FactorEdit", "FactorLabel", "Installation factor"},
    };
    for (const auto& t : typed) {
        auto* edit = named<QLineEdit>(t.edit);
        auto* caption = named<QLabel>(t.label, QString::fromUtf8(t.caption));
        choice->addRow(caption, edit);
        m_fields[t.field] = edit;
        const RadiatorField field = t.field;
        m_numbers
            .add(
                edit, NumberField(t.caption, RadiatorEditor::rule(field)), m_status,
                [this, field](double value) {
                    m_editor.setValue(field, value);
                    refresh();
                },
                caption)
            .show(editor.value(field));
    }

    auto* results = new QFormLayout;
    results->addRow(named<QLabel>("OutputCaption", QStringLiteral("Heat output")), m_output);
    auto* flowRow = new QHBoxLayout;
    flowRow->addWidget(m_flow, 1);
    flowRow->addWidget(m_unit);
    results->addRow(named<QLabel>("FlowCaption", QStringLiteral("Volume flow")), flowRow);
    results->addRow(named<QLabel>("MediumCaption", QStringLiteral("Medium")), m_mediumType);
    results->addRow(named<QLabel>("RoCaption", QStringLiteral("Density")), m_ro);
    results->addRow(named<QLabel>("NuCaption", QStringLiteral("Viscosity")), m_nu);
    results->addRow(named<QLabel>("SpecificHeatCaption", QStringLiteral("Specific heat")),
                    m_specificHeat);

    QChart* chart = m_chart->chart();
    chart->setLocalizeNumbers(true);
    chart->setLocale(displayLocale());
    chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumSize(420, 300);

    auto* left = new QVBoxLayout;
    left->addLayout(choice);
    left->addLayout(results);
    left->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addWidget(m_chart, 1);
    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    refresh();
}

void RadiatorDialog::refresh() {
    {
        const QSignalBlocker blockFamily(m_family);
        m_family->setCurrentIndex(m_editor.familyIndex());
        const QSignalBlocker blockType(m_mainType);
        m_mainType->clear();
        for (const std::string& name : m_editor.mainTypes())
            m_mainType->addItem(qt(name));
        m_mainType->setCurrentIndex(m_editor.mainTypeIndex());
    }
    m_typeCode->setText(qt(m_editor.typeCode()));
    m_typeCode->setStyleSheet(m_editor.isCurrentSize() ? QStringLiteral("color: #007a00;")
                                                       : QStringLiteral("color: #c00000;"));
    m_dimensions->setText(qt(m_editor.dimensionsText()));
    m_output->setText(qt(m_editor.outputText()));
    m_flow->setText(qt(m_editor.flowText()));
    m_unit->setCurrentIndex(m_editor.flowUnit() == FlowUnit::LitresPerMinute ? 1 : 0);
    const RadiatorEditor::MediumTexts medium = m_editor.medium();
    m_mediumType->setText(qt(medium.type));
    m_ro->setText(qt(medium.ro));
    m_nu->setText(qt(medium.nu));
    m_specificHeat->setText(qt(medium.specificHeat));
    for (const auto& [field, edit] : m_fields) {
        NumberFieldBinding* binding = m_numbers.find(edit);
        if (binding != nullptr && !binding->refused())
            binding->show(m_editor.value(field));
    }
    if (!m_numbers.anyRefused()) {
        m_status->setText(qt(m_editor.status()));
        m_status->setStyleSheet(m_editor.status().empty() ? QString()
                                                          : QStringLiteral("color: #c00000;"));
    }
    plot();
}

void RadiatorDialog::plot() {
    QChart* chart = m_chart->chart();
    chart->removeAllSeries();
    // Removed axes come back into our hands: they are deleted here.
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    const std::vector<PowerCurvePoint> points = m_editor.chart();
    auto* power = new QLineSeries;
    power->setName(QStringLiteral("Q [W]"));
    auto* flow = new QLineSeries;
    flow->setName(m_editor.flowUnit() == FlowUnit::LitresPerMinute ? QStringLiteral("V [l/min]")
                                                                   : QStringLiteral("V [m³/h]"));
    double maxPower = 0, maxFlow = 0, first = 0, last = 1;
    for (const PowerCurvePoint& p : points) {
        power->append(p.returnTemperature, p.power);
        maxPower = std::max(maxPower, static_cast<double>(p.power));
        if (p.flow) {
            flow->append(p.returnTemperature, *p.flow);
            maxFlow = std::max(maxFlow, *p.flow);
        }
    }
    if (!points.empty()) {
        first = points.front().returnTemperature;
        last = points.back().returnTemperature;
    }
    auto* x = new QValueAxis;
    x->setTitleText(QStringLiteral("t_ret [°C]"));
    x->setRange(first, std::max(last, first + 1));
    x->setLabelFormat(QStringLiteral("%.0f"));
    auto* yPower = new QValueAxis;
    yPower->setRange(0, roundedUp(maxPower));
    yPower->setLabelFormat(QStringLiteral("%.0f"));
    auto* yFlow = new QValueAxis;
    yFlow->setRange(0, roundedUp(maxFlow));
    // Ticks on round numbers.
    for (QValueAxis* axis : {x, yPower, yFlow})
        axis->applyNiceNumbers();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(yPower, Qt::AlignLeft);
    chart->addAxis(yFlow, Qt::AlignRight);
    chart->addSeries(power);
    power->attachAxis(x);
    power->attachAxis(yPower);
    if (flow->count() > 0) {
        chart->addSeries(flow);
        flow->attachAxis(x);
        flow->attachAxis(yFlow);
    } else {
        delete flow; // no density above 0: no flow to show
        yFlow->setVisible(false);
    }
}

void RadiatorDialog::accept() {
    if (!m_numbers.takeAll())
        return;
    QDialog::accept();
}

void RadiatorDialog::reject() {
    if ((m_editor.changed() || m_numbers.anyEdited()) && !mayDiscardChanges())
        return;
    QDialog::reject();
}

bool QtRadiatorDialogs::editRadiator(RadiatorEditor& editor, platform::Window* owner) {
    RadiatorDialog dialog(editor, QtWindow::widgetOf(owner));
    translateWindow(m_options.languages(), dialog);
    return execPlaced(dialog, m_options.store()) == QDialog::Accepted;
}

} // namespace kalydor::gui
