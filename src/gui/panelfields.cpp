#include "gui/panelfields.h"

#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kalydor::gui {
namespace {

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

} // namespace

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

} // namespace kalydor::gui
