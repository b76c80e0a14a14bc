#include "rooms/projectrecalculation.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "rooms/building.h"
#include "rooms/buildingstable.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"
#include "store/sqlitedatabase.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <set>

namespace kalydor {
namespace {

void store(ItemStore& items, const Reference& record, DBItem& item) {
    if (!items.FindRecord(record.Type, record.RefID, record.Name))
        throw Error("IDS_RECORDGONE", {record.Name}, "The record \"%s\" no longer exists.");
    items.setCurrentData(item.recordBytes());
}

std::string label(const Reference& record) {
    return record.Name;
}

// Per building identifier, the totals of its own rooms, in store order; each room is also
// added to every building above its own.
class TotalsByBuilding {
public:
    explicit TotalsByBuilding(const BuildingsTable& table)
        : m_table(table) {}

    void add(const RoomContribution& room) {
        const BuildingsTableItem* own = m_table.byId(room.BuildingRef);
        if (own == nullptr)
            return; // a room whose building is gone counts in no total
        m_totals[own->ID].add(room);
        for (const BuildingsTableItem* above : m_table.ancestors(own->ID))
            m_totals[above->ID].add(room);
    }
    BuildingTotals of(const std::string& id) const {
        const auto found = m_totals.find(id);
        return found != m_totals.end() ? found->second : BuildingTotals{};
    }

private:
    const BuildingsTable& m_table;
    std::map<std::string, BuildingTotals> m_totals;
};

// Stores every building with its totals; false when the progress callback stopped it.
bool storeBuildings(ItemStore& items, const TotalsByBuilding& totals, RecalculationResult& result,
                    std::size_t& done, std::size_t total, const RecalculationProgress& progress) {
    std::vector<std::pair<Reference, std::string>> buildings;
    items.scanRecords(RecordType::Building, [&](const Reference& record, const std::string& data) {
        buildings.emplace_back(record, data);
    });
    for (const auto& [record, data] : buildings) {
        Building building;
        building.Name = record.Name;
        if (!readStoredItem(building, data)) {
            result.unreadable.push_back(label(record));
        } else {
            totals.of(record.ID).applyTo(building);
            store(items, record, building);
            ++result.buildings;
        }
        if (progress && !progress(++done, total))
            return false;
    }
    return true;
}

} // namespace

RoomContribution RoomContribution::of(const Room& room) {
    RoomContribution contribution{room.BuildingRef,  (room.CalcFlags & 1) != 0,
                                  room.HeatingPower, room.RadiatorPowerSum(),
                                  room.Mass2,        room.Area};
    for (const double value :
         {contribution.heatingLoss, contribution.radiators, contribution.mass, contribution.area})
        contribution.counts = contribution.counts && std::isfinite(value);
    return contribution;
}

void BuildingTotals::add(const RoomContribution& room) {
    if (!room.counts)
        return;
    heatingLoss += room.heatingLoss;
    radiators += room.radiators;
    mass += room.mass;
    area += room.area;
}

void BuildingTotals::applyTo(Building& building) const {
    building.HeatingLoss = static_cast<float>(heatingLoss);
    building.RadiatorsPowerSum = static_cast<float>(radiators);
    building.CalculatedMass = area > 0 ? static_cast<float>(std::floor(mass / area)) : 0.0f;
}

RecalculationResult RecalculateProject(ItemStore& items, const RoomSettings& settings,
                                       const RecalculationProgress& progress) {
    RecalculationResult result;
    SqliteTransaction transaction(items.database());
    const BuildingsTable table = BuildingsTable::load(items);
    TotalsByBuilding totals(table);
    std::vector<std::pair<Reference, std::string>> rooms;
    items.scanRecords(RecordType::Room, [&](const Reference& record, const std::string& data) {
        rooms.emplace_back(record, data);
    });
    const std::size_t total = rooms.size() + table.rows().size();
    std::size_t done = 0;
    for (const auto& [record, data] : rooms) {
        Room room;
        room.Name = record.Name;
        if (!readStoredItem(room, data)) {
            result.unreadable.push_back(label(record));
        } else {
            std::vector<RoomFinding> findings;
            bool calculated = false;
            try {
                findings = room.Calculate(settings);
                calculated = !room.hasMissingThermalValues();
            } catch (const Error& error) {
                // A radiator the refresh cannot find: the room stays as stored.
                findings.push_back({error.key(), {}});
                result.unchanged.push_back({label(record), {error.text()}});
            }
            if (calculated) {
                store(items, record, room);
                ++result.rooms;
            } else if (room.hasMissingThermalValues()) {
                RecalculationResult::Unchanged entry{label(record), {}};
                for (const RoomFinding& finding : findings)
                    entry.messages.push_back(finding.text());
                result.unchanged.push_back(std::move(entry));
            }
            totals.add(RoomContribution::of(room));
        }
        if (progress && !progress(++done, total)) {
            result.stopped = true;
            return result; // the transaction rolls back
        }
    }
    if (!storeBuildings(items, totals, result, done, total, progress)) {
        result.stopped = true;
        return result;
    }
    transaction.commit();
    return result;
}

RecalculationResult RecollectBuildings(ItemStore& items, const RecalculationProgress& progress,
                                       const KnownContributions& known) {
    RecalculationResult result;
    SqliteTransaction transaction(items.database());
    const BuildingsTable table = BuildingsTable::load(items);
    TotalsByBuilding totals(table);
    // When the caller knows every room (a change of all of them), no room is read again.
    bool allKnown = !known.empty();
    if (allKnown) {
        const std::vector<Reference> rooms = items.ListRecords(RecordType::Room);
        allKnown = std::all_of(rooms.begin(), rooms.end(), [&](const Reference& record) {
            return known.count({record.RefID, record.Name}) != 0;
        });
        if (allKnown)
            for (const Reference& record : rooms)
                totals.add(known.at({record.RefID, record.Name}));
    }
    if (!allKnown) {
        items.scanRecords(RecordType::Room, [&](const Reference& record, const std::string& data) {
            if (const auto found = known.find({record.RefID, record.Name}); found != known.end()) {
                totals.add(found->second);
                return;
            }
            Room room;
            if (readStoredItem(room, data))
                totals.add(RoomContribution::of(room));
        });
    }
    std::size_t done = 0;
    if (!storeBuildings(items, totals, result, done, table.rows().size(), progress)) {
        result.stopped = true;
        return result;
    }
    transaction.commit();
    return result;
}

bool BuildingHasReferences(ItemStore& items, const std::string& buildingId) {
    bool found = false;
    items.scanRecords(RecordType::Building, [&](const Reference&, const std::string& data) {
        Building building;
        found = found || (readStoredItem(building, data) && building.ParentID == buildingId);
    });
    items.scanRecords(RecordType::Room, [&](const Reference&, const std::string& data) {
        Room room;
        found = found || !readStoredItem(room, data) || room.BuildingRef == buildingId;
    });
    return found;
}

CollectedRooms CollectRooms(ItemStore& items, Building& building, bool totals, bool keepRooms) {
    CollectedRooms collected;
    const BuildingsTable table = BuildingsTable::load(items);
    // The buildings below this one, depth first, each once and never itself.
    std::set<std::string> seen{building.ID};
    std::set<std::string> below;
    std::function<void(const std::string&)> descend = [&](const std::string& id) {
        for (const BuildingsTableItem& row : table.rows()) {
            if (row.ParentID != id || !seen.insert(row.ID).second)
                continue;
            collected.descendants.push_back({RecordType::Building, row.Name, row.RefID, row.ID});
            below.insert(row.ID);
            descend(row.ID);
        }
    };
    descend(building.ID);
    BuildingTotals sums;
    std::vector<Room> ownRooms;
    std::vector<Room> descendantRooms;
    items.scanRecords(RecordType::Room, [&](const Reference& record, const std::string& data) {
        Room room;
        if (!readStoredItem(room, data))
            return;
        const bool own = !room.BuildingRef.empty() && room.BuildingRef == building.ID;
        if (own)
            collected.own.push_back(record);
        else if (below.count(room.BuildingRef) != 0)
            collected.descendantRooms.push_back(record);
        else
            return;
        sums.add(room);
        if (keepRooms) {
            room.Name = record.Name;
            room.ID = record.ID;
            room.GroupID = record.RefID;
            room.BuildingName = table.RowName(room.BuildingRef);
            (own ? ownRooms : descendantRooms).push_back(std::move(room));
        }
    });
    if (totals)
        sums.applyTo(building);
    collected.rooms = std::move(ownRooms);
    std::move(descendantRooms.begin(), descendantRooms.end(), std::back_inserter(collected.rooms));
    return collected;
}

} // namespace kalydor
