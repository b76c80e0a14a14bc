#pragma once

// Boundaries for the tests of rooms and boundaries.

#include "rooms/boundary.h"

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

} // namespace kalydor::test
