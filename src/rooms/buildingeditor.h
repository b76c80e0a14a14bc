#pragma once

#include "base/numberfield.h"
#include "rooms/building.h"
#include "rooms/buildingstable.h"
#include "rooms/room.h"

#include <optional>
#include <string>
#include <vector>

namespace kalydor {

class ItemStore;

/// The typed number fields of the building dialog.
enum class BuildingField { Compass, SeaLevel };

/// The logic of the building dialog over the building being edited (a copy the caller
/// stores): the site fields with their lists, the parent building, the climate the settlement
/// gives, and on confirmation the question whether the rooms follow changed site data.
class BuildingEditor {
public:
    BuildingEditor(Building building, ItemStore& project, RoomSettings settings);

    const Building& building() const { return m_building; }

    /// The choices of the lists, in the language's texts.
    static std::vector<std::string> pollutionClasses();
    static std::vector<std::string> wallMassClasses();
    static std::vector<std::string> categories();
    const std::vector<SettlementEntry>& settlements() const { return m_settlements; }
    /// The parent list: an empty entry (no parent), then every other building.
    const std::vector<std::string>& parents() const { return m_parentNames; }
    int parentIndex() const;

    void setPollution(int index);
    void setWallMass(int index);
    void setCategory(int index);
    /// A typed settlement; the climate follows at once.
    void setSettlement(const std::string& typed);
    /// The name of the list a typed beginning completes to, ignoring case and accents
    /// ("Bucuresti" finds "București"); none when no name begins so.
    std::optional<std::string> completeSettlement(const std::string& typed) const;
    /// The list name a typed name is, ignoring case and accents ("Bucuresti" is "București");
    /// none when it is no list name.
    std::optional<std::string> matchSettlement(const std::string& typed) const;
    /// A parent from `parents()`; "IDS_ROUNDINBUILDINGSREF" when this building is above it
    /// (the parent stays as it was).
    std::optional<std::string> setParent(int index);

    static FieldRule rule(BuildingField field);
    double value(BuildingField field) const;
    /// Takes a typed number as leaving its field does (`Compass` truncated, within int16).
    NumberField::Outcome type(BuildingField field, std::string_view text);

    /// The climate values shown live.
    float settlementTemp() const { return m_building.SettlementTemp; }
    float settlementSwing() const { return m_building.SettlementSwing; }

    /// What OK needs: whether the rooms are asked about ("IDS_ROOMSRECALC").
    bool asksAboutRooms() const;
    enum class RoomsAnswer { Yes, No, Cancel };
    /// Confirms: Yes recalculates the building's own rooms with its data, No puts the site
    /// values back as they were at opening (other changes stay), Cancel keeps the dialog open
    /// (false). Then the building's totals are collected.
    bool confirm(RoomsAnswer answer);

private:
    Building m_building;
    Building m_opened;
    ItemStore& m_project;
    RoomSettings m_settings;
    BuildingsTable m_table;
    std::vector<SettlementEntry> m_settlements;
    std::vector<std::string> m_parentNames;
    std::vector<std::string> m_parentIds;
};

/// Copies a building's data into its own rooms, recalculates them and stores them.
void RecalculateRooms(ItemStore& project, const Building& building, const RoomSettings& settings);

} // namespace kalydor
