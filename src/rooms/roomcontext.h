#pragma once

#include "rooms/room.h"
#include "store/itemcontext.h"

#include <functional>
#include <optional>

namespace kalydor {

class BuildingEditor;
class ItemStore;
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

/// The context of rooms and buildings: their dialogs, and the open project with the
/// settings its rooms are calculated with (both asked for when needed: the project changes).
class RoomContext : public ItemContext {
public:
    BuildingDialogs* buildingDialogs = nullptr;
    std::function<ItemStore*()> project;
    std::function<std::optional<RoomSettings>()> settings;
};

/// The rooms' part of a context; a context of another kind gives an empty one.
const RoomContext& roomContextOf(const ItemContext& context);

} // namespace kalydor
