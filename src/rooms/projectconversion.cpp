#include "rooms/projectconversion.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "rooms/building.h"
#include "rooms/buildingstable.h"
#include "rooms/room.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"
#include "store/sqlitedatabase.h"

namespace kalydor {
namespace {

// A name not taken in the root group: "Bloc (2)", "Bloc (3)" …
std::string freeName(ItemStore& store, const std::string& name) {
    for (int n = 2;; ++n) {
        const std::string candidate = name + " (" + std::to_string(n) + ")";
        if (!store.FindRecord(RecordType::Building, store.RootId(), candidate))
            return candidate;
    }
}

} // namespace

ConversionResult ConvertProjectItems(ItemStore& store, bool oldestFormat,
                                     const ConversionProgress& progress) {
    ConversionResult result;
    if (!oldestFormat)
        return result;
    SqliteTransaction transaction(store.database());

    // The buildings to the root, in list order: the first of a name keeps it.
    for (const Reference& record : store.ListRecords(RecordType::Building)) {
        if (record.RefID == store.RootId())
            continue;
        std::string name = record.Name;
        if (store.FindRecord(RecordType::Building, store.RootId(), name)) {
            name = freeName(store, record.Name);
            store.RenameRecord(RecordType::Building, record.RefID, record.Name, name);
            result.renamed.push_back(record.Name + " → " + name);
        }
        store.MoveRecord(RecordType::Building, name, record.RefID, store.RootId());
    }

    // Every building in the current form.
    std::vector<std::pair<Reference, std::string>> buildings;
    store.scanRecords(RecordType::Building, [&](const Reference& record, const std::string& data) {
        buildings.emplace_back(record, data);
    });
    for (std::size_t i = 0; i < buildings.size(); ++i) {
        const auto& [record, data] = buildings[i];
        if (progress)
            progress(i + 1, buildings.size());
        Building building;
        building.Name = record.Name;
        if (!readStoredItem(building, data)) {
            result.unreadable.push_back(record.Name);
            continue;
        }
        if (store.FindRecord(record.Type, record.RefID, record.Name))
            store.setCurrentData(building.recordBytes());
    }

    // Rooms name their building by its name there: linked to the first of that name.
    const BuildingsTable table = BuildingsTable::load(store);
    std::vector<std::pair<Reference, std::string>> rooms;
    store.scanRecords(RecordType::Room, [&](const Reference& record, const std::string& data) {
        rooms.emplace_back(record, data);
    });
    const std::size_t total = buildings.size() + rooms.size();
    std::size_t done = buildings.size();
    for (const auto& [record, data] : rooms) {
        if (progress)
            progress(++done, total);
        Room room;
        room.Name = record.Name;
        if (!readStoredItem(room, data)) {
            result.unreadable.push_back(record.Name);
            continue;
        }
        const BuildingsTableItem* building = table.byName(room.BuildingRef);
        if (building == nullptr)
            continue;
        room.LinkToBuilding(building->ID, building->data);
        if (store.FindRecord(record.Type, record.RefID, record.Name))
            store.setCurrentData(room.recordBytes());
    }
    transaction.commit();
    return result;
}

} // namespace kalydor
