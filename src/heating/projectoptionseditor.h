#pragma once

#include "base/numberfield.h"
#include "base/parsenumber.h"
#include "heating/projectoptions.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kalydor {

class ItemStore;

/// What the project options dialog shows and edits, as its controls hold it: numbers as typed
/// text, switches as booleans, choices as indexes.
struct ProjectOptionsFields {
    /// The number fields, in the order they are checked.
    enum class Number {
        PanelOutSideTemp,
        PanelInSideTemp,
        OutSideRelHum,
        InSideRelHum,
        DiffusionDays,
        FloorLevel,
        H,
        EarthLambda,
        Compass,
        Height,
        HeatingOutSideTemp,
        HeatingInSideTemp,
        Ac,
        Portion,
        AirChangeFact,
        Tetap,
        Ao,
        Cm,
        v,
        E,
        RadiatorForwardTemperature,
        RadiatorBackwardTemperature,
        CorrectionFactor,
    };
    static constexpr std::size_t kNumberCount = 23;

    std::array<std::string, kNumberCount> numbers;
    int usingMode = 0;    ///< 0 continuous, 1 intermittent
    int wallMassMode = 1; ///< 0 light, 1 medium or heavy
    int pollution = 0;    ///< 0 urban, 1 clean rural, 2 especially clean
    int filtMode = 0;     ///< 0..4
    bool heatingCalculate = true;
    bool sunShineFlag = false;
    bool acCalculated = true;
    bool nearest = true; ///< the radiator size nearest in power (else the size above)

    std::string& number(Number which) { return numbers[static_cast<std::size_t>(which)]; }
    const std::string& number(Number which) const {
        return numbers[static_cast<std::size_t>(which)];
    }
};

/// The rule a number field of the dialog must satisfy.
NumberRule ruleOf(ProjectOptionsFields::Number field);
/// The same as the field helper of the dialog takes it: `Compass` a whole number of degrees
/// (its fraction dropped) that the stored 16-bit value holds.
FieldRule projectOptionsFieldRule(ProjectOptionsFields::Number field);

/// What confirming the dialog changed that the rest of the project depends on: a new winter
/// outside temperature or weather switch means every room and building is to be recalculated.
struct ProjectOptionsChanges {
    bool outSideTempChanged = false;
    bool userDefinedChanged = false;
    bool needsRecalculation() const { return outSideTempChanged || userDefinedChanged; }
};

/// The logic of the project options dialog. It edits the live options of the open project:
/// confirm checks every field, applies them all and saves the options into the project;
/// cancel discards the live options and loads them again from the project.
class ProjectOptionsEditor {
public:
    /// Remembers the values the recalculation depends on as they are when the dialog opens.
    ProjectOptionsEditor(ProjectOptions& options, ItemStore& project);

    /// The fields as the live options hold them, numbers with the language's decimal
    /// separator.
    ProjectOptionsFields fields() const;

    /// The first number field that breaks its rule, or none.
    std::optional<ProjectOptionsFields::Number>
    invalidField(const ProjectOptionsFields& fields) const;

    /// True when the options could not be read from the project: they cannot be saved.
    bool readOnly() const { return m_options.loadFailed(); }

    /// Checks every field ("IDS_WRONGVALUE" for the first bad one, nothing changed), then
    /// applies them all, saves the options into the project and reports what changed.
    /// Options that could not be loaded are not saved ("IDS_PROJEKTOPTIONSREADONLY").
    ProjectOptionsChanges confirm(const ProjectOptionsFields& fields);

    /// Discards the live options: fresh defaults, loaded again from the project.
    bool cancel();

    /// Writes the dialog's values, checked as OK checks them, to a settings file; the project
    /// is not changed.
    void saveSettings(const ProjectOptionsFields& fields, const std::string& fileName) const;
    /// Reads a settings file into the live options (complete files only; false for a file
    /// that ends early or holds no settings, the options unchanged). The fields then show the
    /// loaded values, and OK stores them and recalculates when the outside temperature or
    /// the weather switch changed. Both raise "IDS_PROJEKTOPTIONSREADONLY" for options that
    /// could not be loaded from the project.
    bool loadSettings(const std::string& fileName);

    /// The recalculation a change of the outside temperature or the weather switch causes,
    /// run with the saved options before they are committed: the options and the rooms change
    /// together or not at all. It returns false when it was stopped; confirm then raises
    /// "IDS_RECALCSTOPPED" and nothing is changed.
    using Recalculation = std::function<bool(const ProjectOptions& saved)>;
    void setRecalculation(Recalculation recalculation) {
        m_recalculation = std::move(recalculation);
    }

private:
    /// The options with every field applied: the first bad field raises "IDS_WRONGVALUE".
    ProjectOptions applied(const ProjectOptionsFields& fields) const;

    ProjectOptions& m_options;
    ItemStore& m_project;
    float m_openedOutSideTemp;
    std::int16_t m_openedUserDefined;
    /// The texts shown when the dialog opened: a field left as shown keeps its exact value.
    ProjectOptionsFields m_shown;
    Recalculation m_recalculation;
};

} // namespace kalydor
