#pragma once

// What the project commands share: opening a project of the current format, its options,
// the settings its rooms are calculated with, and the rooms a command is given.

#include "devicedb/devicestore.h"
#include "devicedb/radiatorfamilycache.h"
#include "heating/projectoptions.h"
#include "rooms/room.h"
#include "store/itemstore.h"
#include "store/reference.h"

#include <memory>
#include <string>
#include <vector>

namespace kalydor::cli {

/// A project of the current format, opened for its commands. An older one is converted only
/// with `convert` (no question asked; the report goes to standard error).
std::unique_ptr<ItemStore> openCurrentProject(const std::string& file, bool convert);

/// The project's options; an error naming the file when they cannot be read.
ProjectOptions loadOptions(ItemStore& project, const std::string& file);

/// The settings rooms are calculated with: the project's outside temperature, and radiators
/// refreshed from the device table beside the program when there is one (without it they
/// keep their values).
struct ProjectCalculation {
    /// With `deviceTable` that table is opened (its error raised) instead of the one beside
    /// the program.
    explicit ProjectCalculation(const ProjectOptions& options, const std::string& deviceTable = {});
    ProjectCalculation(const ProjectCalculation&) = delete;
    ProjectCalculation& operator=(const ProjectCalculation&) = delete;
    std::unique_ptr<DeviceStore> devices;
    RadiatorFamilyCache cache;
    std::unique_ptr<CachedRadiatorFamilies> families;
    RoomSettings settings;
};

/// The rooms named by "\"-separated paths: a room's group path and name, or a group, which
/// takes every room below it; none names every room. An unknown path is an error.
std::vector<Reference> chooseRooms(ItemStore& project, const std::vector<std::string>& paths);

} // namespace kalydor::cli
