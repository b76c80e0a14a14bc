#pragma once

#include "base/numberfield.h"
#include "heating/powercurve.h"
#include "heating/radiator.h"

#include <string>
#include <vector>

namespace kalydor {

class RadiatorFamilySource;
namespace platform {
class Window;
}

/// The fields of the radiator dialog a number is typed into.
enum class RadiatorField { Forward, Return, Factor };

/// The logic of the radiator dialog. It edits a copy of a radiator at the room's temperature:
/// every change goes through the radiator's own operations, which either succeed whole or
/// raise; an error is shown in the status line and the radiator stays as it was.
class RadiatorEditor {
public:
    /// `setFamilies` are the radiator families of the active device set, offered for choice
    /// (the radiator's own family is offered too when the set lacks it).
    RadiatorEditor(const Radiator& radiator, double roomTemperature, RadiatorFamilySource& families,
                   std::vector<std::string> setFamilies);

    const Radiator& radiator() const { return m_radiator; }
    /// Whether anything was changed since the editor opened.
    bool changed() const { return m_changed; }
    double roomTemperature() const { return m_roomTemperature; }

    const std::vector<std::string>& families() const { return m_families; }
    int familyIndex() const;
    /// The main types of the radiator's family, and the one holding its size (-1: none).
    std::vector<std::string> mainTypes() const;
    int mainTypeIndex() const;
    const std::string& typeCode() const { return m_radiator.TypeCode; }
    /// Shown green: a commonly stocked size; red otherwise (or when unknown).
    bool isCurrentSize() const;
    /// "L x H x D mm".
    std::string dimensionsText() const;
    /// The output in W.
    std::string outputText() const;
    /// The volume flow in the chosen unit; empty without a density above 0.
    std::string flowText() const;
    FlowUnit flowUnit() const { return m_unit; }
    void setFlowUnit(FlowUnit unit) { m_unit = unit; }
    /// The medium, shown and not edited: its name, density, viscosity and specific heat.
    struct MediumTexts {
        std::string type, ro, nu, specificHeat;
    };
    MediumTexts medium() const;
    /// The output and the volume flow against the return temperature at the radiator's
    /// forward temperature; empty when the family or the size is unknown or the temperatures
    /// do not fit.
    std::vector<PowerCurvePoint> chart() const;
    /// The last error's text; empty after a change that succeeded.
    const std::string& status() const { return m_status; }

    /// A family of `families()`: the same type code when the family has it, else the first
    /// size of its first main type.
    void selectFamily(int index);
    /// The first size of a main type.
    void selectMainType(int index);
    void increase();
    void decrease();

    /// The rule and the value in use of a typed field (temperatures any number, the factor
    /// at least 0).
    static FieldRule rule(RadiatorField field);
    double value(RadiatorField field) const;
    /// Takes a value the field's rule allows and recalculates; false (with the status) when
    /// the recalculation refuses it, the radiator then unchanged.
    bool setValue(RadiatorField field, double value);
    /// Takes a typed text as leaving the field does: the shared number handling, then
    /// `setValue`. A text the rule refuses changes nothing.
    NumberField::Outcome type(RadiatorField field, std::string_view text);

private:
    template <class Change> bool apply(Change change);

    Radiator m_radiator;
    double m_roomTemperature;
    RadiatorFamilySource& m_source;
    std::vector<std::string> m_families;
    FlowUnit m_unit = FlowUnit::CubicMetresPerHour;
    std::string m_status;
    bool m_changed = false;
};

/// How the room editor opens the radiator dialog (none on the command line).
class RadiatorDialogs {
public:
    virtual ~RadiatorDialogs() = default;
    /// Shows the dialog over `owner`; true when the user confirmed the edited radiator.
    virtual bool editRadiator(RadiatorEditor& editor, platform::Window* owner) = 0;
};

} // namespace kalydor
