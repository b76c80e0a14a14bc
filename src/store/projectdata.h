#pragma once

#include "store/itemstream.h"

#include <cstdint>
#include <string>

namespace kalydor {

class MemoryStream;
class ItemStore;

/// The description of a project, kept in the data block of the project table's header
/// record: who the building is for, who designs it, and when.
struct ProjectData {
    static constexpr std::int16_t kCurrentVersion = 11;

    StringList Building;
    StringList Customer;
    StringList Planner;
    StringList Comment;
    /// The project date as text (as the interface language writes dates when filled in
    /// automatically).
    std::string Date;

    /// The description of a new project: the planner lines of the program options, and
    /// today's date when the options ask for it.
    static ProjectData forNewProject(const StringList& planner, bool initDate);

    /// Reads a data block: version word and the layout of that version (11 written, 10 read).
    /// An empty block leaves the description empty. An unknown version is reported and gives
    /// false with the description empty; damaged data raises "IDS_DATAREADERROR".
    bool Read(MemoryStream& stream);
    /// The data block in the current layout.
    std::string recordBytes() const;

    /// Loads the description from the project's header record; empty when there is none.
    /// False when the stored description could not be read.
    bool LoadFromProject(ItemStore& project);
    /// Writes the description into the header record and commits; false (nothing written)
    /// when the project has no header record.
    bool SaveProjectData(ItemStore& project) const;
};

} // namespace kalydor
