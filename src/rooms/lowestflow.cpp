#include "rooms/lowestflow.h"

#include "base/error.h"
#include "devicedb/radiatorfamilycache.h"
#include "devicedb/radiatorsizing.h"
#include "rooms/building.h"
#include "rooms/buildingstable.h"
#include "rooms/projectrecalculation.h"
#include "store/dbitem.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kalydor {
namespace {

// One radiator as the check sees it: its family and size, and its installation factor.
struct RatedRadiator {
    const RadiatorFamily* family;
    const RadiatorSize* size;
    double factor;
    std::string mark;
};

// The radiator's output at a flow temperature, W; 0 where the water would not be warmer than
// the room all the way round.
double outputAt(const RatedRadiator& r, double flow, double spread, double ti) {
    try {
        const double ratio = ThermalRatio(*r.family, flow, flow - spread, ti);
        return SizePower(*r.size, ratio, r.factor);
    } catch (const Error&) {
        return 0;
    }
}

double sumAt(const std::vector<RatedRadiator>& radiators, double flow, double spread, double ti) {
    double sum = 0;
    for (const RatedRadiator& r : radiators)
        sum += outputAt(r, flow, spread, ti);
    return sum;
}

} // namespace

RoomLowestFlow LowestFlowOfRoom(const Room& room, double spread, RadiatorFamilySource& families) {
    RoomLowestFlow result;
    result.room = room.Name;
    result.building = room.BuildingName;
    result.load = room.HeatingPower;
    if ((room.CalcFlags & 1) == 0) {
        result.gap = LowestFlowGap::NoHeatingLoad;
        return result;
    }
    if (!room.FloorFields.empty()) {
        result.gap = LowestFlowGap::FloorHeating;
        return result;
    }
    if (room.Radiators.empty()) {
        result.gap = LowestFlowGap::NoRadiators;
        return result;
    }
    std::vector<RatedRadiator> radiators;
    for (const Radiator& radiator : room.Radiators) {
        const RadiatorFamily* family = families.family(radiator.Family);
        const RadiatorFamily::SizePosition position = family != nullptr
                                                          ? family->FindSize(radiator.TypeCode)
                                                          : RadiatorFamily::SizePosition{};
        if (!position.found()) {
            result.gap = LowestFlowGap::UnknownRadiator;
            result.limitingRadiator = radiator.Mark;
            return result;
        }
        radiators.push_back({family, &family->Sizes[static_cast<std::size_t>(position.size)],
                             radiator.InstallationFactor, radiator.Mark});
    }
    const double ti = room.HeatingInSideTemp;
    const double load = std::max(0.0, static_cast<double>(room.HeatingPower));
    // The water must stay warmer than the room: the return at least a hundredth above it.
    double low = ti + spread + 0.01;
    double high = kHighestFlowTemperature;
    if (!(low < high) || !std::isfinite(load) || sumAt(radiators, high, spread, ti) < load) {
        result.gap = LowestFlowGap::NotReached;
        return result;
    }
    if (sumAt(radiators, low, spread, ti) < load) {
        // The output grows with the flow temperature: halve the interval that holds the point.
        while (high - low > 0.01) {
            const double middle = (low + high) / 2;
            (sumAt(radiators, middle, spread, ti) >= load ? high : low) = middle;
        }
    } else {
        high = low;
    }
    const double flow = std::ceil(high * 10 - 1e-9) / 10;
    result.flow = flow;
    double weakest = std::numeric_limits<double>::infinity();
    for (const RatedRadiator& r : radiators) {
        const double output = outputAt(r, flow, spread, ti);
        if (output < weakest) {
            weakest = output;
            result.limitingRadiator = r.mark;
        }
    }
    return result;
}

LowestFlowResult LowestFlowOfProject(ItemStore& project, double spread,
                                     RadiatorFamilySource& families, const RoomSettings& settings,
                                     const std::string& buildingId) {
    LowestFlowResult result;
    std::vector<Room> rooms;
    if (!buildingId.empty()) {
        Building building;
        building.ID = buildingId;
        rooms = CollectRooms(project, building, false, true).rooms;
    } else {
        const BuildingsTable buildings = BuildingsTable::load(project);
        project.scanRecords(RecordType::Room,
                            [&](const Reference& record, const std::string& data) {
                                Room room;
                                if (!readStoredItem(room, data)) {
                                    result.unreadable.push_back(record.Name);
                                    return;
                                }
                                room.Name = record.Name;
                                room.BuildingName = buildings.RowName(room.BuildingRef);
                                rooms.push_back(std::move(room));
                            });
    }
    for (Room& room : rooms) {
        try {
            (void)room.Calculate(settings);
        } catch (const Error&) {
            // A radiator whose family is gone leaves the room as stored; the check names it.
        }
    }
    LowestFlowResult checked = LowestFlowOfRooms(rooms, spread, families);
    checked.unreadable = std::move(result.unreadable);
    return checked;
}

LowestFlowResult LowestFlowOfRooms(const std::vector<Room>& rooms, double spread,
                                   RadiatorFamilySource& families) {
    LowestFlowResult result;
    for (const Room& room : rooms)
        result.rooms.push_back(LowestFlowOfRoom(room, spread, families));
    // A room its radiators cannot heat even at the highest flow limits the whole check.
    for (const RoomLowestFlow& room : result.rooms)
        if (room.gap == LowestFlowGap::NotReached)
            result.limiting.push_back(room.room);
    if (!result.limiting.empty())
        return result;
    for (const RoomLowestFlow& room : result.rooms)
        if (room.flow && (!result.flow || *room.flow > *result.flow))
            result.flow = room.flow;
    for (const RoomLowestFlow& room : result.rooms)
        if (room.flow && result.flow && *room.flow == *result.flow)
            result.limiting.push_back(room.room);
    return result;
}

std::string lowestFlowGapKey(LowestFlowGap gap) {
    return "IDS_LOWESTFLOWGAP+" + std::to_string(static_cast<int>(gap));
}

} // namespace kalydor
