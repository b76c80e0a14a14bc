#pragma once

#include <string>

namespace kalydor {

/// The heating medium of an element and its design temperatures.
struct HeatingMedium {
    float ForwardTemperature = 0.0f;  ///< supply temperature, °C
    float BackwardTemperature = 0.0f; ///< return temperature, °C
    std::string MediumType;           ///< medium name
    float Ro = 971.9f;                ///< density, kg/m³
    float Nu = 3.673e-7f;             ///< kinematic viscosity, m²/s
    float SpecificHeat = 4173.0f;     ///< J/kgK
};

} // namespace kalydor
