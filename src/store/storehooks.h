#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace kalydor {

class ItemStore;
struct Reference;

/// What the store needs from the item subsystems above it. The rooms, buildings and project
/// modules install these at start-up; the store calls them without knowing those classes.
/// Told how far a conversion got: records done of the total.
using ConversionProgress = std::function<void(std::size_t done, std::size_t total)>;

struct StoreHooks {
    /// Data block of the header record of a new project table (the default project
    /// description). Unset: the block stays empty, which reads as an empty description.
    std::function<std::string()> newProjectDescription;
    /// Data block of the options record of a new project table (the default project
    /// options). Unset: the block stays empty, which reads as the default options.
    std::function<std::string()> newProjectOptions;
    /// Asked before an item record is deleted: false refuses (a building that still has
    /// rooms). Unset: every item may be deleted.
    std::function<bool(ItemStore& table, const Reference& item)> mayDeleteItem;
    /// First step of converting a project of an older format, after the user agreed: the
    /// open project's options are discarded and loaded afresh from the table. Unset: there
    /// are no options to reload.
    std::function<void(ItemStore& table)> reloadProjectOptions;
    /// Converts the items of a project of an older format, after the user agreed and the
    /// options were reloaded: for the oldest format (`oldestFormat`) moves the buildings to
    /// the root and re-links the rooms to them. Unset: a project that holds rooms or
    /// buildings cannot be converted and is refused.
    std::function<void(ItemStore& table, bool oldestFormat, const ConversionProgress& progress)>
        convertProject;
};

/// The hooks in force for the whole program.
StoreHooks& storeHooks();

} // namespace kalydor
