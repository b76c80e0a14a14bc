#pragma once

#include "rooms/room.h"
#include "store/itemcontext.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

class Building;
class BuildingEditor;
class ItemStore;
class ProjectOptions;
class RoomEditor;
namespace platform {
class Window;
}

/// How the building's editor is shown (none on the command line: an edit is then refused).
class BuildingDialogs {
public:
    virtual ~BuildingDialogs() = default;
    /// Shows the building dialog over `owner`; true when the user confirmed.
    virtual bool editBuilding(BuildingEditor& editor, platform::Window* owner) = 0;
};

/// How the room's editor is shown, and the program settings it takes.
class RoomDialogs {
public:
    virtual ~RoomDialogs() = default;
    /// The room functions the user typed before ("RoomFunctions").
    virtual std::vector<std::string> roomFunctions() const = 0;
    /// Stores a function typed for the first time, so that it is offered next time.
    virtual void rememberRoomFunction(const std::string& function) = 0;
    /// The program option that checks the neighbour temperatures of inside boundaries.
    virtual bool checksNeighbourTemperatures() const = 0;
    /// Shows the room dialog over `owner`; the project gives the constructions new
    /// boundaries are made from. True when the user confirmed.
    virtual bool editRoom(RoomEditor& editor, ItemStore& project, platform::Window* owner) = 0;
};

/// The context of rooms and buildings: their dialogs, and the open project with the
/// settings its rooms are calculated with (both asked for when needed: the project changes).
class RoomContext : public ItemContext {
public:
    BuildingDialogs* buildingDialogs = nullptr;
    RoomDialogs* roomDialogs = nullptr;
    std::function<ItemStore*()> project;
    std::function<const ProjectOptions*()> options;
    std::function<std::optional<RoomSettings>()> settings;
    /// The heat-pump check of a building's rooms for its list column (none without a device
    /// table or when a room falls short).
    std::function<std::optional<double>(const Building&)> lowestFlow;
};

/// The rooms' part of a context; a context of another kind gives an empty one.
const RoomContext& roomContextOf(const ItemContext& context);

} // namespace kalydor
