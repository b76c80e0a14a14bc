#include "heating/radiatoreditor.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "devicedb/deviceitem.h"
#include "devicedb/radiatorfamilycache.h"
#include "devicedb/radiatorsizing.h"

#include <algorithm>

namespace kalydor {

RadiatorEditor::RadiatorEditor(const Radiator& radiator, double roomTemperature,
                               RadiatorFamilySource& families, std::vector<std::string> setFamilies)
    : m_radiator(radiator)
    , m_roomTemperature(roomTemperature)
    , m_source(families)
    , m_families(std::move(setFamilies)) {
    if (!radiator.Family.empty() &&
        std::find(m_families.begin(), m_families.end(), radiator.Family) == m_families.end())
        m_families.insert(m_families.begin(), radiator.Family);
}

template <class Change> bool RadiatorEditor::apply(Change change) {
    Radiator changed = m_radiator;
    try {
        change(changed);
    } catch (const Error& error) {
        m_status = error.text().empty() ? error.key() : error.text();
        return false;
    }
    m_radiator = std::move(changed);
    m_status.clear();
    m_changed = true;
    return true;
}

int RadiatorEditor::familyIndex() const {
    const auto found = std::find(m_families.begin(), m_families.end(), m_radiator.Family);
    return found == m_families.end() ? -1 : static_cast<int>(found - m_families.begin());
}

std::vector<std::string> RadiatorEditor::mainTypes() const {
    std::vector<std::string> names;
    if (const RadiatorFamily* family = m_source.family(m_radiator.Family))
        for (const RadiatorMainType& type : family->MainTypes)
            names.push_back(type.MainTypeName);
    return names;
}

int RadiatorEditor::mainTypeIndex() const {
    return m_radiator.MainTypeIndex(m_source);
}

bool RadiatorEditor::isCurrentSize() const {
    return m_radiator.IsCurrentSize(m_source);
}

std::string RadiatorEditor::dimensionsText() const {
    return std::to_string(m_radiator.Length) + " x " + std::to_string(m_radiator.Height) + " x " +
           std::to_string(m_radiator.Depth) + " mm";
}

std::string RadiatorEditor::outputText() const {
    return displayNumber(m_radiator.Power(), 6) + " W";
}

std::string RadiatorEditor::flowText() const {
    const std::optional<double> flow = m_radiator.VolumeFlow();
    if (!flow)
        return {};
    if (m_unit == FlowUnit::LitresPerMinute)
        return displayNumber(*flow * kLitresPerMinutePerCubicMetrePerHour, 4) + " l/min";
    return displayNumber(*flow, 4) + " m³/h";
}

RadiatorEditor::MediumTexts RadiatorEditor::medium() const {
    const HeatingMedium& m = m_radiator.Hydraulic.Sides[0].Medium;
    return {m.MediumType, displayNumber(m.Ro, 6) + " kg/m³", displayNumber(m.Nu, 4) + " m²/s",
            displayNumber(m.SpecificHeat, 6) + " J/kgK"};
}

std::vector<PowerCurvePoint> RadiatorEditor::chart() const {
    const RadiatorFamily* family = m_source.family(m_radiator.Family);
    if (family == nullptr)
        return {};
    const RadiatorFamily::SizePosition at = family->FindSize(m_radiator.TypeCode);
    if (!at.found())
        return {};
    const RadiatorSize& size = family->Sizes[static_cast<std::size_t>(at.size)];
    PowerCurveInput input;
    input.rating = ratingOf(*family);
    input.power = size.Power;
    input.exponent = size.Exponent;
    input.forward = m_radiator.ForwardTemperature();
    input.room = m_roomTemperature;
    input.factor = m_radiator.InstallationFactor;
    input.specificHeat = m_radiator.SpecificHeat();
    input.ro = m_radiator.Ro();
    input.unit = m_unit;
    try {
        return PowerCurve(input);
    } catch (const Error&) {
        return {};
    }
}

void RadiatorEditor::selectFamily(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_families.size())
        return;
    const std::string name = m_families[static_cast<std::size_t>(index)];
    if (name == m_radiator.Family)
        return;
    apply([&](Radiator& r) {
        const RadiatorFamily* family = m_source.family(name);
        if (family == nullptr)
            throw Error("IDS_UNKNOWEDTYPE");
        r.Family = name;
        if (family->FindSize(r.TypeCode).found())
            r.Recalculate(*family, m_roomTemperature);
        else
            r.ChangeMainType(m_source, 0, m_roomTemperature);
    });
}

void RadiatorEditor::selectMainType(int index) {
    apply([&](Radiator& r) { r.ChangeMainType(m_source, index, m_roomTemperature); });
}

void RadiatorEditor::increase() {
    apply([&](Radiator& r) { r.Increase(m_source, m_roomTemperature); });
}

void RadiatorEditor::decrease() {
    apply([&](Radiator& r) { r.Decrease(m_source, m_roomTemperature); });
}

FieldRule RadiatorEditor::rule(RadiatorField field) {
    return field == RadiatorField::Factor ? FieldRule::of(NumberRule::NotNegative)
                                          : FieldRule::of(NumberRule::Any);
}

double RadiatorEditor::value(RadiatorField field) const {
    switch (field) {
    case RadiatorField::Forward:
        return m_radiator.ForwardTemperature();
    case RadiatorField::Return:
        return m_radiator.BackwardTemperature();
    case RadiatorField::Factor:
        return m_radiator.InstallationFactor;
    }
    return 0;
}

bool RadiatorEditor::setValue(RadiatorField field, double value) {
    return apply([&](Radiator& r) {
        const auto v = static_cast<float>(value);
        switch (field) {
        case RadiatorField::Forward:
            r.setForwardTemperature(v);
            break;
        case RadiatorField::Return:
            r.setBackwardTemperature(v);
            break;
        case RadiatorField::Factor:
            r.InstallationFactor = v;
            break;
        }
        r.Refresh(m_source, m_roomTemperature);
    });
}

NumberField::Outcome RadiatorEditor::type(RadiatorField field, std::string_view text) {
    NumberField number("", rule(field));
    number.show(value(field));
    NumberField::Outcome outcome = number.leave(text);
    if (outcome.kind == NumberField::Outcome::Kind::Taken && !setValue(field, number.value())) {
        outcome.kind = NumberField::Outcome::Kind::Refused;
        outcome.message = m_status;
    }
    return outcome;
}

} // namespace kalydor
