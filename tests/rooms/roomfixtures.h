#pragma once

// Boundaries for the tests of rooms and boundaries.

#include "rooms/boundary.h"
#include "rooms/room.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include <map>

#include <string>

namespace kalydor::test {

/// One piece of a kind with its size, resistance and massivity.
inline Boundary boundary(std::string name, std::uint8_t type, float x, float y, float k,
                         float massivitate = 1) {
    Boundary b;
    b.Name = std::move(name);
    b.Type = type;
    b.db = 1;
    b.x = x;
    b.y = y;
    b.k = k;
    b.Massivitate = massivitate;
    return b;
}

/// An office of 20 m² by 2.5 m heated to 20 °C with 100 W of known ventilation heat and no
/// surcharge, so that its load follows its boundaries: 4 × 2.5 m of outside wall with R 1.
inline Room office() {
    Room r;
    r.Name = "Birou";
    r.Area = 20;
    r.Height = 2.5f;
    r.HeatingInSideTemp = 20;
    r.AcCalculated = 0;
    r.Ac = 0;
    r.FiltMode = 3;
    r.FiltPower = 100;
    r.Boundaries = {boundary("Perete", 0, 4, 2.5f, 1)};
    return r;
}

/// The stored bytes of every room and building by name: what a change left untouched.
inline std::map<std::string, std::string> roomAndBuildingBytes(ItemStore& project) {
    std::map<std::string, std::string> bytes;
    for (const std::int16_t type : {RecordType::Room, RecordType::Building})
        project.scanRecords(
            type, [&](const Reference& r, const std::string& data) { bytes[r.Name] = data; });
    return bytes;
}

} // namespace kalydor::test
