#include "rooms/roombulkchange.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"
#include "store/sqlitedatabase.h"

#include <map>
#include <optional>
#include <utility>

namespace kalydor {

void VisitChosenRooms(ItemStore& store, const std::vector<Reference>& rooms,
                      const std::function<void(const Reference& record, const Room& room)>& visit) {
    std::map<std::pair<std::string, std::string>, std::optional<std::pair<Reference, Room>>> read;
    for (const Reference& record : rooms)
        read.try_emplace({record.RefID, record.Name});
    store.scanRecords(RecordType::Room, [&](const Reference& record, const std::string& data) {
        const auto found = read.find({record.RefID, record.Name});
        if (found == read.end())
            return;
        Room room;
        room.Name = record.Name;
        if (readStoredItem(room, data))
            found->second.emplace(record, std::move(room));
    });
    for (const Reference& record : rooms) {
        const auto found = read.find({record.RefID, record.Name});
        if (found == read.end() || !found->second)
            continue;
        visit(found->second->first, found->second->second);
        read.erase(found); // a room chosen twice is visited once
    }
}

RoomBulkResult ChangeRooms(ItemStore& store, const std::vector<Reference>& rooms,
                           const RoomSettings& settings, const RoomChange& change,
                           const RecalculationProgress& progress) {
    RoomBulkResult result;
    SqliteTransaction transaction(store.database());
    // The chosen rooms' records are read in one pass over the rooms; a room chosen twice is
    // changed once.
    std::map<std::pair<std::string, std::string>, std::optional<std::string>> stored;
    for (const Reference& record : rooms)
        stored.try_emplace({record.RefID, record.Name});
    store.scanRecords(RecordType::Room, [&](const Reference& record, const std::string& data) {
        if (const auto found = stored.find({record.RefID, record.Name}); found != stored.end())
            found->second = data;
    });
    // The buildings are totalled after the rooms: they count as steps of their own.
    const std::size_t total = rooms.size() * 2;
    std::size_t done = 0;
    // The rooms stored here are totalled from what was just calculated, not read again.
    KnownContributions contributions;
    const auto changeOne = [&](const Reference& record, const std::string& data) {
        Room room;
        room.Name = record.Name;
        if (!readStoredItem(room, data)) {
            result.skipped.push_back({record.Name, GetText("IDS_DATAREADERROR")});
            return;
        }
        std::size_t changed = 0;
        if (!change(record, room, changed))
            return;
        try {
            const std::vector<RoomFinding> findings = room.Calculate(settings);
            if (room.hasMissingThermalValues()) {
                result.skipped.push_back(
                    {record.Name, findings.empty() ? std::string() : findings[0].text()});
                return;
            }
            store.setCurrentData(room.recordBytes());
            contributions[{record.RefID, record.Name}] = RoomContribution::of(room);
            ++result.rooms;
            result.changed += changed;
        } catch (const Error& error) {
            result.skipped.push_back({record.Name, error.text()});
        }
    };
    for (const Reference& record : rooms) {
        const auto found = stored.find({record.RefID, record.Name});
        if (found != stored.end()) {
            if (found->second && store.FindRecord(RecordType::Room, record.RefID, record.Name))
                changeOne(record, *found->second);
            else
                result.skipped.push_back(
                    {record.Name, formatText(GetText("IDS_RECORDGONE"), {record.Name})});
            stored.erase(found); // a room chosen twice is changed once
        }
        if (progress && !progress(++done, total)) {
            result.stopped = true;
            return result; // the transaction rolls back
        }
    }
    const RecalculationResult buildings = RecollectBuildings(
        store,
        [&](std::size_t doneBuildings, std::size_t totalBuildings) {
            if (!progress)
                return true;
            // The buildings fill the second half of the bar.
            const std::size_t share =
                totalBuildings == 0 ? rooms.size() : doneBuildings * rooms.size() / totalBuildings;
            return progress(rooms.size() + share, total);
        },
        contributions);
    if (buildings.stopped) {
        result.stopped = true;
        return result;
    }
    result.buildings = buildings.buildings;
    transaction.commit();
    return result;
}

} // namespace kalydor
