#pragma once

#include "rooms/room.h"
#include "store/reference.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kalydor {

class Building;
class BuildingsTable;
class ItemStore;

/// Told how far a recalculation got (records done of the total); returning false stops it,
/// and nothing of it is kept.
using RecalculationProgress = std::function<bool(std::size_t done, std::size_t total)>;

/// What a project-wide recalculation did.
struct RecalculationResult {
    std::size_t rooms = 0;     ///< rooms recalculated and stored
    std::size_t buildings = 0; ///< buildings totalled and stored
    /// Records that could not be read: skipped, never written.
    std::vector<std::string> unreadable;
    /// Rooms left as they were, with what the calculation said of them (a radiator whose
    /// family is gone, boundaries without their thermal values).
    struct Unchanged {
        std::string room;
        std::vector<std::string> messages;
    };
    std::vector<Unchanged> unchanged;
    bool stopped = false; ///< the progress callback stopped it: nothing was kept
};

/// What one room adds to the totals of its building and the buildings above it.
struct RoomContribution {
    std::string BuildingRef;
    bool counts = false; ///< the room computes its heating load and its values are numbers
    double heatingLoss = 0;
    double radiators = 0;
    double mass = 0;
    double area = 0;
    static RoomContribution of(const Room& room);
};
/// Contributions already known, by the room's group identifier and name.
using KnownContributions = std::map<std::pair<std::string, std::string>, RoomContribution>;

/// The totals a building gathers from its rooms and the rooms of the buildings below it.
struct BuildingTotals {
    double heatingLoss = 0;
    double radiators = 0;
    double mass = 0;
    double area = 0;
    /// Adds a room that computes its heating load (a value that is no number adds nothing).
    void add(const Room& room) { add(RoomContribution::of(room)); }
    void add(const RoomContribution& room);
    /// Writes the totals into the building as its record holds them.
    void applyTo(Building& building) const;
};

/// Every room recalculated with the project's outside temperature (and its radiators
/// refreshed through `settings`) and stored; then every building totalled over its own rooms
/// and those of the buildings below it, and stored. One transaction; each record read once.
RecalculationResult RecalculateProject(ItemStore& store, const RoomSettings& settings,
                                       const RecalculationProgress& progress = {});
/// Every building totalled over the rooms as stored, and stored (after list commands). The
/// rooms in `known` (just calculated and stored by the caller) are not read again.
RecalculationResult RecollectBuildings(ItemStore& store, const RecalculationProgress& progress = {},
                                       const KnownContributions& known = {});

/// Whether a building still has rooms or buildings below it; the check goes by the record's
/// identifier (so it holds for a building that cannot be read), and a room that cannot be
/// read counts as one of its rooms (it may be).
bool BuildingHasReferences(ItemStore& store, const std::string& buildingId);

/// The rooms of one building: its own, the buildings below it (depth first, each once) and
/// their rooms.
struct CollectedRooms {
    std::vector<Reference> own;
    std::vector<Reference> descendants;
    std::vector<Reference> descendantRooms;
    /// The rooms themselves, in the order of `own` then `descendantRooms`, when asked for;
    /// each with its name, identifiers and its building's name.
    std::vector<Room> rooms;
};
/// Collects the rooms of a building by scanning the project; with `totals` its totals are
/// set from them, with `keepRooms` the rooms read are kept.
CollectedRooms CollectRooms(ItemStore& store, Building& building, bool totals,
                            bool keepRooms = false);

} // namespace kalydor
