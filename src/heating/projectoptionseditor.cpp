#include "heating/projectoptionseditor.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "base/numberformat.h"
#include "heating/projectsettingsfile.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"

#include <cmath>
#include <limits>

namespace kalydor {
namespace {

using Number = ProjectOptionsFields::Number;

// The float each number field edits; Compass is a whole number and has none.
float* floatOf(ProjectOptions& o, Number field) {
    switch (field) {
    case Number::PanelOutSideTemp:
        return &o.Panel.OutSideTemp;
    case Number::PanelInSideTemp:
        return &o.Panel.InSideTemp;
    case Number::OutSideRelHum:
        return &o.Panel.OutSideRelHum;
    case Number::InSideRelHum:
        return &o.Panel.InSideRelHum;
    case Number::DiffusionDays:
        return &o.Panel.DiffusionDays;
    case Number::FloorLevel:
        return &o.Panel.FloorLevel;
    case Number::H:
        return &o.Romanian.H;
    case Number::EarthLambda:
        return &o.Romanian.EarthLambda;
    case Number::Compass:
        return nullptr;
    case Number::Height:
        return &o.Building.Height;
    case Number::HeatingOutSideTemp:
        return &o.Heating.OutSideTemp;
    case Number::HeatingInSideTemp:
        return &o.Heating.InSideTemp;
    case Number::Ac:
        return &o.Romanian.Ac;
    case Number::Portion:
        return &o.Heating.Portion;
    case Number::AirChangeFact:
        return &o.Heating.AirChangeFact;
    case Number::Tetap:
        return &o.Romanian.Tetap;
    case Number::Ao:
        return &o.Romanian.Ao;
    case Number::Cm:
        return &o.Romanian.Cm;
    case Number::v:
        return &o.Romanian.v;
    case Number::E:
        return &o.Romanian.E;
    case Number::RadiatorForwardTemperature:
        return &o.Radiator.Hydraulic.Medium.ForwardTemperature;
    case Number::RadiatorBackwardTemperature:
        return &o.Radiator.Hydraulic.Medium.BackwardTemperature;
    case Number::CorrectionFactor:
        return &o.Radiator.CorrectionFactor;
    }
    return nullptr;
}

// The compass direction as typed: the fraction is dropped; it must fit the stored integer.
std::int16_t compassOf(const std::string& text) {
    const double value = std::trunc(ParseNumber(text, ruleOf(Number::Compass)));
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        throw Error("IDS_WRONGVALUE");
    return static_cast<std::int16_t>(value);
}

// Checks one field and gives its value (Compass as a whole number).
double valueOf(const ProjectOptionsFields& fields, Number field) {
    const std::string& text = fields.number(field);
    if (field == Number::Compass)
        return compassOf(text);
    return ParseNumber(text, ruleOf(field));
}

std::int16_t choice(int index, int last) {
    return static_cast<std::int16_t>(index < 0 ? 0 : index > last ? last : index);
}

} // namespace

NumberRule ruleOf(Number field) {
    switch (field) {
    case Number::OutSideRelHum:
    case Number::InSideRelHum:
    case Number::Height:
    case Number::Portion:
    case Number::AirChangeFact:
    case Number::RadiatorForwardTemperature:
    case Number::RadiatorBackwardTemperature:
    case Number::CorrectionFactor:
    case Number::EarthLambda:
    case Number::Cm:
    case Number::v:
    case Number::E:
        return NumberRule::Positive;
    case Number::DiffusionDays:
        return NumberRule::NotNegative;
    case Number::H:
        return NumberRule::Negative; // the ground water lies below ground level
    default:
        return NumberRule::Any;
    }
}

FieldRule projectOptionsFieldRule(Number field) {
    if (field != Number::Compass)
        return FieldRule::of(ruleOf(field));
    FieldRule rule = FieldRule::wholeBetween(std::numeric_limits<std::int16_t>::min(),
                                             std::numeric_limits<std::int16_t>::max());
    rule.whole = FieldRule::Whole::FractionDropped;
    return rule;
}

ProjectOptionsEditor::ProjectOptionsEditor(ProjectOptions& options, ItemStore& project)
    : m_options(options)
    , m_project(project)
    , m_openedOutSideTemp(options.Heating.OutSideTemp)
    , m_openedUserDefined(options.Meteorology.UserDefined)
    , m_shown(fields()) {}

ProjectOptionsFields ProjectOptionsEditor::fields() const {
    ProjectOptions& o = m_options;
    ProjectOptionsFields f;
    for (std::size_t i = 0; i < f.numbers.size(); ++i) {
        const auto field = static_cast<Number>(i);
        const float* value = floatOf(o, field);
        f.numbers[i] = value ? withDecimalSeparator(floatText(*value), displayDecimalSeparator())
                             : std::to_string(o.Building.Compass);
    }
    f.usingMode = o.Building.UsingMode;
    f.wallMassMode = o.Building.WallMassMode;
    f.pollution = o.Building.Pollution;
    f.filtMode = o.Heating.FiltMode;
    f.heatingCalculate = o.Heating.Calculate != 0;
    f.sunShineFlag = o.Heating.SunShineFlag != 0;
    f.acCalculated = o.Romanian.AcCalculated != 0;
    f.nearest = o.Radiator.Nearest != 0;
    return f;
}

std::optional<Number> ProjectOptionsEditor::invalidField(const ProjectOptionsFields& f) const {
    for (std::size_t i = 0; i < f.numbers.size(); ++i) {
        try {
            valueOf(f, static_cast<Number>(i));
        } catch (const Error&) {
            return static_cast<Number>(i);
        }
    }
    return std::nullopt;
}

ProjectOptions ProjectOptionsEditor::applied(const ProjectOptionsFields& f) const {
    if (readOnly())
        throw projectOptionsReadOnlyError();
    // Every field is checked before anything is applied.
    std::array<double, ProjectOptionsFields::kNumberCount> values{};
    for (std::size_t i = 0; i < f.numbers.size(); ++i)
        values[i] = valueOf(f, static_cast<Number>(i));

    // Applied to a copy first, so that a failed save leaves the live options as they were.
    ProjectOptions updated(m_options);
    for (std::size_t i = 0; i < f.numbers.size(); ++i) {
        // A field left as shown keeps its exact stored value.
        if (f.numbers[i] == m_shown.numbers[i])
            continue;
        const auto field = static_cast<Number>(i);
        if (float* value = floatOf(updated, field))
            *value = static_cast<float>(values[i]);
        else
            updated.Building.Compass = static_cast<std::int16_t>(values[i]);
    }
    const auto keep = [](std::int16_t& stored, int shown, int chosen, int last) {
        if (chosen != shown)
            stored = choice(chosen, last);
    };
    keep(updated.Building.UsingMode, m_shown.usingMode, f.usingMode, 1);
    keep(updated.Building.WallMassMode, m_shown.wallMassMode, f.wallMassMode, 1);
    keep(updated.Building.Pollution, m_shown.pollution, f.pollution, 2);
    keep(updated.Heating.FiltMode, m_shown.filtMode, f.filtMode, 4);
    keep(updated.Heating.Calculate, m_shown.heatingCalculate, f.heatingCalculate, 1);
    keep(updated.Heating.SunShineFlag, m_shown.sunShineFlag, f.sunShineFlag, 1);
    keep(updated.Romanian.AcCalculated, m_shown.acCalculated, f.acCalculated, 1);
    keep(updated.Radiator.Nearest, m_shown.nearest, f.nearest, 1);
    return updated;
}

ProjectOptionsChanges ProjectOptionsEditor::confirm(const ProjectOptionsFields& f) {
    ProjectOptions updated = applied(f);
    ProjectOptionsChanges changes;
    changes.outSideTempChanged = updated.Heating.OutSideTemp != m_openedOutSideTemp;
    changes.userDefinedChanged = updated.Meteorology.UserDefined != m_openedUserDefined;
    {
        SqliteTransaction transaction(m_project.database());
        updated.SaveToProject(m_project);
        if (changes.needsRecalculation() && m_recalculation && !m_recalculation(updated))
            throw Error("IDS_RECALCSTOPPED"); // rolled back: the stored options stay as they were
        transaction.commit();
    }
    m_options = std::move(updated);
    m_shown = fields();
    return changes;
}

bool ProjectOptionsEditor::cancel() {
    m_options = ProjectOptions();
    const bool loaded = m_options.LoadFromProject(m_project);
    m_shown = fields();
    return loaded;
}

void ProjectOptionsEditor::saveSettings(const ProjectOptionsFields& fields,
                                        const std::string& fileName) const {
    // The dialog's values as OK would take them; nothing is stored in the project.
    SaveSettingsFile(applied(fields), fileName);
}

bool ProjectOptionsEditor::loadSettings(const std::string& fileName) {
    if (readOnly())
        throw projectOptionsReadOnlyError();
    if (!LoadSettingsFile(m_options, fileName))
        return false;
    // The dialog shows the loaded values, and OK keeps them as loaded.
    m_shown = fields();
    return true;
}

} // namespace kalydor
