#pragma once

#include "rooms/room.h"

#include <optional>

namespace kalydor {

class Building;
class BuildingsTable;
class DBItem;
class ItemStore;

/// Before a room or building is copied: the names its links travel under (a room's building,
/// a building's parent), since identifiers mean nothing in another project.
void nameLinksForCopy(const BuildingsTable& table, DBItem& item);

/// Before a pasted or imported room or building is stored in a project.
/// A room keeps its link when it still names a building of the name it carries (a paste
/// within its project); otherwise it is linked to the first building of that name, made from
/// the room's copy of its data when there is none, and an empty name unlinks it. It is then
/// recalculated with the project's settings, so that it does not keep another project's
/// results.
/// A building keeps its parent when that still has the name it carries; otherwise its parent
/// is the first building of that name, and none when there is no such building.
void linkPastedItem(ItemStore& store, BuildingsTable& table, DBItem& item,
                    const std::optional<RoomSettings>& settings);

} // namespace kalydor
