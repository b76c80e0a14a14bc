#pragma once

#include "rooms/room.h"

#include <optional>
#include <string>
#include <vector>

namespace kalydor {

class ItemStore;
class RadiatorFamilySource;

/// Why a room has no lowest flow temperature of its own.
enum class LowestFlowGap : std::uint8_t {
    None,
    NoRadiators,     ///< nothing in the room to check
    FloorHeating,    ///< its floor-heating fields are not radiators
    NoHeatingLoad,   ///< the room does not compute its heating load
    UnknownRadiator, ///< a radiator whose family or size the device table does not have
    NotReached,      ///< even at the highest flow temperature the radiators fall short
};

/// The lowest flow temperature at which a room's radiators, as chosen, still cover its design
/// heating load, with the return `spread` kelvin below the flow.
struct RoomLowestFlow {
    std::string room;
    std::string building;
    double load = 0; ///< W, the design heating load
    /// °C, rounded up to a tenth; none with a gap.
    std::optional<double> flow;
    /// The radiator of the room with the smallest output at that flow: the one to enlarge
    /// first. Empty with a gap.
    std::string limitingRadiator;
    LowestFlowGap gap = LowestFlowGap::None;
};

/// The highest flow temperature the check tries, °C.
inline constexpr double kHighestFlowTemperature = 110;

/// The lowest flow temperature of one calculated room: bisection over the flow temperature
/// with each radiator's output from its family's rating, exponent and installation factor (the
/// sizing rules of the radiators), to a hundredth of a kelvin, rounded up to a tenth.
RoomLowestFlow LowestFlowOfRoom(const Room& room, double spread, RadiatorFamilySource& families);

/// The check over the rooms of a project, or of one building (its own rooms and those of the
/// buildings below it), each room calculated afresh in memory. `flow` is the highest of the
/// rooms' flows; `limiting` names the rooms that need it. When a room's radiators fall short
/// even at the highest flow, there is no flow and `limiting` names those rooms.
struct LowestFlowResult {
    std::vector<RoomLowestFlow> rooms;
    std::optional<double> flow;
    std::vector<std::string> limiting;
    std::vector<std::string> unreadable;
};
LowestFlowResult LowestFlowOfProject(ItemStore& project, double spread,
                                     RadiatorFamilySource& families, const RoomSettings& settings,
                                     const std::string& buildingId = {});

/// The same over rooms already calculated.
LowestFlowResult LowestFlowOfRooms(const std::vector<Room>& rooms, double spread,
                                   RadiatorFamilySource& families);

/// The language key of a gap's text ("IDS_LOWESTFLOWGAP+" n).
std::string lowestFlowGapKey(LowestFlowGap gap);

} // namespace kalydor
