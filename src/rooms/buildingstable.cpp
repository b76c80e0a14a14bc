#include "rooms/buildingstable.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "rooms/building.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"

#include <set>

namespace kalydor {

BuildingsTable BuildingsTable::load(ItemStore& store) {
    BuildingsTable table;
    store.scanRecords(RecordType::Building, [&](const Reference& record, const std::string& data) {
        BuildingsTableItem row;
        row.Name = record.Name;
        row.RefID = record.RefID;
        row.ID = record.ID;
        Building building;
        row.readable = readStoredItem(building, data);
        if (row.readable) {
            row.ParentID = building.ParentID;
            row.data = building.data();
            row.SummerValue = building.SummerValue;
        }
        table.add(std::move(row));
    });
    return table;
}

void BuildingsTable::add(BuildingsTableItem row) {
    m_rows.push_back(std::move(row));
    // Identifiers are unique in a project; should one repeat, the first row keeps it.
    m_byId.emplace(m_rows.back().ID, &m_rows.back());
}

std::string BuildingsTable::RowName(const std::string& id) const {
    const BuildingsTableItem* row = byId(id);
    return row != nullptr ? row->Name : std::string();
}

const BuildingsTableItem* BuildingsTable::byId(const std::string& id) const {
    if (id.empty())
        return nullptr;
    const auto found = m_byId.find(id);
    return found != m_byId.end() ? found->second : nullptr;
}

const BuildingsTableItem* BuildingsTable::byName(const std::string& name) const {
    for (const BuildingsTableItem& row : m_rows)
        if (row.Name == name)
            return &row;
    return nullptr;
}

const BuildingsTableItem* BuildingsTable::FindOrCreate(ItemStore& store, const std::string& name,
                                                       const Room* room) {
    if (const BuildingsTableItem* found = byName(name))
        return found;
    if (room == nullptr || name.empty())
        return nullptr;
    Building building;
    building.FromRoom(*room);
    building.Name = name;
    BuildingsTableItem row;
    row.ID = store.AddRecord(RecordType::Building, store.RootId(), name, building.recordBytes());
    row.Name = name;
    row.RefID = store.RootId();
    row.data = building.data();
    row.SummerValue = building.SummerValue;
    add(std::move(row));
    m_changed = true;
    return &m_rows.back();
}

std::vector<const BuildingsTableItem*> BuildingsTable::ancestors(const std::string& id) const {
    std::vector<const BuildingsTableItem*> found;
    std::set<std::string> visited{id};
    const BuildingsTableItem* row = byId(id);
    while (row != nullptr && !row->ParentID.empty() && visited.insert(row->ParentID).second) {
        row = byId(row->ParentID);
        if (row != nullptr)
            found.push_back(row);
    }
    return found;
}

bool BuildingsTable::wouldLoop(const std::string& buildingId, const std::string& parentId) const {
    if (parentId.empty())
        return false;
    if (parentId == buildingId)
        return true;
    for (const BuildingsTableItem* row : ancestors(parentId))
        if (row->ID == buildingId)
            return true;
    return false;
}

} // namespace kalydor
