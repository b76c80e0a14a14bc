#pragma once

#include "rooms/projectrecalculation.h"
#include "rooms/room.h"
#include "store/reference.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kalydor {

class ItemStore;

/// What a change of many rooms did.
struct RoomBulkResult {
    std::size_t rooms = 0;   ///< rooms changed, recalculated and stored
    std::size_t changed = 0; ///< boundaries or radiators the change counted
    std::size_t buildings = 0;
    /// Rooms left as they were, with the reason (gone, unreadable, calculation refused).
    struct Skipped {
        std::string room;
        std::string reason;
    };
    std::vector<Skipped> skipped;
    bool stopped = false; ///< the progress callback stopped it: nothing was kept
};

/// The chosen rooms read in one pass over the stored rooms (not a lookup each), then visited
/// in the order chosen, each once; rooms gone or unreadable are passed over.
void VisitChosenRooms(ItemStore& store, const std::vector<Reference>& rooms,
                      const std::function<void(const Reference& record, const Room& room)>& visit);

/// A change of one room: false leaves the room as it is; `changed` counts the boundaries or
/// radiators it changed.
using RoomChange = std::function<bool(const Reference& record, Room& room, std::size_t& changed)>;

/// Changes the chosen rooms one by one (load, `change`, recalculate, store), then totals
/// every building again: one transaction, so a stop or a store error keeps nothing. A room
/// whose calculation fails is left as it was and named. The records are read in one pass; a
/// room chosen twice is changed once.
RoomBulkResult ChangeRooms(ItemStore& store, const std::vector<Reference>& rooms,
                           const RoomSettings& settings, const RoomChange& change,
                           const RecalculationProgress& progress = {});

} // namespace kalydor
