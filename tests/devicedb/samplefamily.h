#pragma once

#include "devicedb/deviceitem.h"

namespace kalydor::test {

// A small steel-panel family with three dimension lists (heights, types, lengths): two main
// types (600 mm type 22 and 300 mm type 11) of three and two sizes. Outputs are those of a
// type 22 panel of 1,600 W/m and a type 11 panel of 480 W/m at 75/65/20 °C, scaled by length.
inline RadiatorFamily sampleFamily() {
    RadiatorFamily f;
    f.Name = "Panou T22/T11";
    f.Path = "Oțel\\Panouri";
    f.Date = {2026, 3, 14};
    f.HomePage = "https://example.com/panouri";
    f.DTLog = 1;
    f.DTOrigin = 50.0f;
    f.DimensionLists = {{"300", "600"}, {"11", "22"}, {"400", "500", "600"}};
    f.MainTypes = {
        {"T22-600", {1, 1}, 0, 3, 0.85f},
        {"T11-300", {0, 0}, 3, 2, 0.6f},
    };
    f.Sizes = {
        {"22-600-400", 0, 640.0f, 1.92f, 2.4f, 1.33f, 1, 400, 600, 100, "P22.600.400"},
        {"22-600-500", 1, 800.0f, 2.4f, 3.0f, 1.33f, 0, 500, 600, 100, "P22.600.500"},
        {"22-600-600", 2, 960.0f, 2.88f, 3.6f, 1.33f, 1, 600, 600, 100, "@SET-22"},
        {"11-300-400", 0, 192.0f, 0.36f, 0.9f, 1.27f, 1, 400, 300, 60, "P11.300.400"},
        {"11-300-500", 1, 240.0f, 0.45f, 1.1f, 1.27f, 0, 500, 300, 60, ""},
    };
    return f;
}

// A piece list naming a family, another list and a line of neither kind.
inline PieceList samplePieceList() {
    PieceList p;
    p.Name = "@SET-22";
    p.Path = "Accesorii";
    p.Date = {2026, 3, 15};
    p.Lines = {
        {"Consolă perete", 1, 2.0f, "", "C-100"},
        {"Panou T22/T11", 0, 1.0f, "600", "P22"},
        {"Dop aerisire", 2, 0.5f, "1/2\"", ""},
    };
    return p;
}

} // namespace kalydor::test
