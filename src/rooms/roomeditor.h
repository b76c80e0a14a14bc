#pragma once

#include "base/numberfield.h"
#include "rooms/buildingstable.h"
#include "rooms/room.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class ItemStore;
class Panel;
class ProjectOptions;
class RadiatorFamilySource;
namespace platform {
class SettingsStore;
}

/// The typed number fields of the room dialog. The outside and entering-air temperatures
/// have boxes of their own: their first entry takes the project's temperature.
enum class RoomField {
    Area,
    Height,
    Volume0,
    Mass1,
    HeatMass1,
    HeatingInSideTemp,
    Ac,
    Ao,
    Cm,
    InternalSource,
    AirChangeFact,
    NumOfMens,
    Portion,
    AirVolume,
    FiltPower,
    WindSpeed,
    EFactor,
};
inline constexpr int kRoomFieldCount = static_cast<int>(RoomField::EFactor) + 1;

/// Which temperature box a text is typed into.
enum class RoomTemperature { Outside, EnteringAir };

/// The defaults of boundaries added to rooms: kept for the program's run, so that the next
/// room starts from the last choices.
struct NewBoundaryDefaults {
    Boundary values;
    bool started = false;
    /// The neighbour temperatures start from the project's winter and summer inside
    /// temperatures when both are 0.
    void startFrom(const ProjectOptions* options);
};

/// The logic of the room dialog over a copy of the room: its building and function lists,
/// every typed value with its rule, the ventilation method with the method's own values, the
/// results kept current after every change, and the commands on the boundary list.
class RoomEditor {
public:
    /// `userFunctions` are the functions the user typed before (settings "RoomFunctions"),
    /// `warningTempDiff` the program option that checks neighbour temperatures.
    RoomEditor(Room room, const BuildingsTable& buildings, RoomSettings settings,
               const ProjectOptions* options, std::vector<std::string> userFunctions,
               bool warningTempDiff);

    /// The room as applied, with the results of its last good calculation.
    const Room& room() const { return m_room; }
    /// The message of the last apply or calculation that failed; empty when all is well.
    const std::string& status() const { return m_status; }
    /// The open project's options (new boundaries take its ground and inside temperatures).
    const ProjectOptions* projectOptions() const { return m_options; }

    /// The building list: the table's row names; the chosen row (-1 with an empty table: the
    /// room keeps its link).
    std::vector<std::string> buildingNames() const;
    int buildingIndex() const { return m_building; }
    void setBuilding(int index);

    /// The language's room functions followed by the user's, sorted, without repeats.
    const std::vector<std::string>& functions() const { return m_functions; }
    void setFunction(std::string function);
    /// The function OK stores under "RoomFunctions" (not empty, not listed); none otherwise.
    std::optional<std::string> newFunction() const;
    /// Stores a new function under the next free value name "1", "2", … of "RoomFunctions".
    static void rememberFunction(platform::SettingsStore& settings, const std::string& function);
    static std::vector<std::string> rememberedFunctions(const platform::SettingsStore& settings);

    static FieldRule rule(RoomField field);
    double value(RoomField field) const;
    /// Takes a typed number as leaving its field does, and recalculates.
    NumberField::Outcome type(RoomField field, std::string_view text);

    /// The entries of a temperature box: first the project's temperature ("IDS_TOUT").
    static std::string projectTemperatureText();
    bool fromProject(RoomTemperature which) const;
    double temperature(RoomTemperature which) const;
    /// The box's text: its first entry takes the project's temperature, anything else is read
    /// as a number (refused with the message of a wrong value).
    std::optional<std::string> setTemperature(RoomTemperature which, std::string_view text);

    /// The entries of the `Cm` box.
    static std::vector<std::string> massivityChoices() { return {"1,0", "0,94"}; }

    /// Ventilation method 0–4; the dialog shows the method's own boxes.
    int method() const { return m_method; }
    void setMethod(int method);
    /// The value boxes of a method.
    static std::vector<RoomField> methodFields(int method);
    /// Whether the entering-air box belongs to the chosen method (every one but 3).
    bool usesEnteringAir() const { return m_method != 3; }

    /// The "Ac" box: checked, the entered value replaces the computed one.
    bool acEntered() const { return m_acEntered; }
    void setAcEntered(bool entered);
    bool heating() const { return (m_calcFlags & 1) != 0; }
    bool cooling() const { return (m_calcFlags & 2) != 0; }
    void setHeating(bool on);
    void setCooling(bool on);
    bool sunShine() const { return m_sunShine != 0; }
    void setSunShine(bool on);

    /// Applies every value to the room and recalculates; the results of a failing
    /// calculation stay those of the last good one, its message goes to `status()`.
    void recalculate();
    /// OK: applies and calculates; the message that keeps the dialog open (a neighbour
    /// temperature the check refuses, a calculation that fails), none when the room is done.
    std::optional<std::string> accept();

    // The boundary commands; each recalculates. They give the row to select afterwards.
    /// A boundary made from a construction with the defaults, edited by `edit`, inserted after
    /// `after` (appended when none); none when refused or cancelled. An undefined construction
    /// raises "IDS_UNDEFINEDPANEL".
    std::optional<std::size_t> addBoundary(const Panel& panel, std::optional<std::size_t> after,
                                           const Boundary& defaults,
                                           const Boundary::EditBoundary& edit);
    /// Edits a copy of a boundary; it goes back when `edit` confirms.
    bool modifyBoundary(std::size_t index, const std::function<bool(Boundary&)>& edit);
    std::optional<std::size_t> copyBoundary(std::size_t index);
    std::optional<std::size_t> moveBoundary(std::size_t index, bool up);
    /// Renames in place; an empty name keeps the old one. Gives the name in use.
    std::string renameBoundary(std::size_t index, const std::string& name);
    /// Asks first (`DeleteBoundary`); the row to select after, none when nothing was deleted.
    std::optional<std::size_t> deleteBoundary(std::size_t index);
    /// One boundary dropped onto another: its surface is deducted from the target.
    bool deductBoundary(std::size_t from, std::size_t onto);

    // The radiator commands of the radiator page; each recalculates. Errors go to `status()`.
    /// `count` copies of an offered radiator, each with the smallest free mark.
    std::vector<std::string> addRadiators(const Radiator& radiator, int count);
    /// The selected radiator replaced by an offered one (its mark kept).
    bool changeRadiator(std::size_t index, const Radiator& radiator);
    /// The next or previous size of the radiator's main type; false with the reason in
    /// `status()` ("IDS_CANNOTINCREASE" at the end, "IDS_UNKNOWEDTYPE" …).
    bool stepRadiator(std::size_t index, bool up, RadiatorFamilySource& families);
    /// Edits a copy of a radiator; it goes back when `edit` confirms.
    bool modifyRadiator(std::size_t index, const std::function<bool(Radiator&)>& edit);
    /// Asks first (No is the default) and removes the radiator.
    bool deleteRadiator(std::size_t index);
    /// A new mark in place; an empty one keeps the old. Gives the mark in use.
    std::string renameRadiator(std::size_t index, const std::string& mark);

private:
    // An entry of the room edited on a copy: taken over, and the room recalculated, only when
    // the edit says so.
    template <class Entry>
    bool editCopy(std::vector<Entry>& list, std::size_t index,
                  const std::function<bool(Entry&)>& edit) {
        if (index >= list.size())
            return false;
        Entry copy = list[index];
        if (!edit(copy))
            return false;
        list[index] = std::move(copy);
        recalculate();
        return true;
    }
    void apply();
    void calculate();

    Room m_room;
    std::vector<BuildingsTableItem> m_buildings;
    RoomSettings m_settings;
    const ProjectOptions* m_options;
    bool m_warningTempDiff;
    std::vector<std::string> m_functions;
    std::string m_status;

    int m_building = -1;
    std::array<double, kRoomFieldCount> m_values{};
    bool m_outsideFromProject;
    double m_outsideTemp;
    bool m_airFromProject;
    double m_airTemp;
    bool m_acEntered;
    std::int16_t m_calcFlags;
    std::int16_t m_sunShine;
    int m_method;
};

} // namespace kalydor
