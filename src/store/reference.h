#pragma once

#include <cstdint>
#include <string>

namespace kalydor {

/// Names one record of an item table. Two references designate the same record when their
/// `Type`, `RefID` and `Name` are equal; the `ID` is what survives renaming and moving.
struct Reference {
    std::int16_t Type = 0;
    std::string Name;
    std::string RefID;
    std::string ID;

    bool sameRecord(const Reference& other) const {
        return Type == other.Type && RefID == other.RefID && Name == other.Name;
    }
    bool operator==(const Reference&) const = default;
};

/// A reference followed by the position of one sub-object inside the referenced item (a
/// boundary of a room, for the bulk changes).
struct ReferenceAndIndex {
    Reference reference;
    std::int16_t Index = 0;
    bool operator==(const ReferenceAndIndex&) const = default;
};

} // namespace kalydor
