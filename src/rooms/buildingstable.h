#pragma once

#include "rooms/room.h"

#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

namespace kalydor {

class ItemStore;

/// One building of the project as the rooms need it: its name, where and under which
/// identifier it is stored, its parent, and the values rooms copy.
struct BuildingsTableItem {
    std::string Name;
    std::string RefID;
    std::string ID;
    std::string ParentID;
    BuildingData data;
    float SummerValue = 0;
    bool readable = true; ///< false: the record could not be read (its values are defaults)
};

/// The buildings of a project, in the order the store lists them.
class BuildingsTable {
public:
    BuildingsTable() = default;
    // The index points into the rows: a table moves, it is not copied.
    BuildingsTable(const BuildingsTable&) = delete;
    BuildingsTable& operator=(const BuildingsTable&) = delete;
    BuildingsTable(BuildingsTable&&) noexcept = default;
    BuildingsTable& operator=(BuildingsTable&&) noexcept = default;

    /// One row per building item of the project.
    static BuildingsTable load(ItemStore& store);

    /// The rows; a row keeps its address when others are added.
    const std::deque<BuildingsTableItem>& rows() const { return m_rows; }
    /// Set when a row was added.
    bool changed() const { return m_changed; }

    /// The name of the building with this identifier; empty when there is none.
    std::string RowName(const std::string& id) const;
    const BuildingsTableItem* byId(const std::string& id) const;
    const BuildingsTableItem* byName(const std::string& name) const;
    /// The first building of the name; without one and with a room given, a new building
    /// made from the room's copy of its building's data, stored in the root group and added.
    const BuildingsTableItem* FindOrCreate(ItemStore& store, const std::string& name,
                                           const Room* room);
    /// Whether walking up from `parentId` through the parents reaches `buildingId` (or
    /// `parentId` is it): such a parent would make a loop.
    bool wouldLoop(const std::string& buildingId, const std::string& parentId) const;
    /// The buildings above one, nearest first, each once, never the building itself (a loop
    /// of old files ends the walk).
    std::vector<const BuildingsTableItem*> ancestors(const std::string& id) const;

private:
    void add(BuildingsTableItem row);

    std::deque<BuildingsTableItem> m_rows;
    std::unordered_map<std::string, const BuildingsTableItem*> m_byId;
    bool m_changed = false;
};

} // namespace kalydor
