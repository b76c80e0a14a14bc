#pragma once

#include "store/storehooks.h"

#include <string>
#include <vector>

namespace kalydor {

class ItemStore;

/// What converting a project's rooms and buildings did.
struct ConversionResult {
    /// Buildings moved to the root that found their name taken there: "old → new".
    std::vector<std::string> renamed;
    /// Records that could not be read: skipped, never written.
    std::vector<std::string> unreadable;
};

/// Converts the rooms and buildings of a project of the oldest format, in one change: every
/// building moves to the root group (a second one of a name there gets a free name), each
/// room that names its building by the building's name is linked to the first building of
/// that name, and every building is stored in the current form. Projects of the later old
/// format need nothing of their rooms and buildings.
ConversionResult ConvertProjectItems(ItemStore& store, bool oldestFormat,
                                     const ConversionProgress& progress = {});

} // namespace kalydor
