#include "rooms/pasteditems.h"

#include "base/error.h"
#include "rooms/building.h"
#include "rooms/buildingstable.h"

namespace kalydor {

void nameLinksForCopy(const BuildingsTable& table, DBItem& item) {
    if (auto* room = dynamic_cast<Room*>(&item))
        room->BuildingName = table.RowName(room->BuildingRef);
    else if (auto* building = dynamic_cast<Building*>(&item))
        building->ParentName = table.RowName(building->ParentID);
}

void linkPastedItem(ItemStore& store, BuildingsTable& table, DBItem& item,
                    const std::optional<RoomSettings>& settings) {
    if (auto* room = dynamic_cast<Room*>(&item)) {
        const BuildingsTableItem* linked = table.byId(room->BuildingRef);
        if (room->BuildingName.empty()) {
            room->BuildingRef.clear();
        } else if (linked == nullptr || linked->Name != room->BuildingName) {
            linked = table.FindOrCreate(store, room->BuildingName, room);
        }
        if (linked != nullptr)
            room->LinkToBuilding(linked->ID, linked->data);
        if (settings) {
            try {
                (void)room->Calculate(*settings);
            } catch (const Error&) {
                // A radiator whose family is not in this device table: the room is stored
                // with the values it came with, as a recalculation of the project would.
            }
        }
        return;
    }
    if (auto* building = dynamic_cast<Building*>(&item)) {
        if (building->ParentID.empty())
            return;
        const BuildingsTableItem* parent = table.byId(building->ParentID);
        if (parent == nullptr || parent->Name != building->ParentName)
            parent = building->ParentName.empty() ? nullptr : table.byName(building->ParentName);
        building->ParentID = parent != nullptr ? parent->ID : std::string();
    }
}

} // namespace kalydor
