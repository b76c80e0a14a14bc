#pragma once

#include "constructions/panel.h"

#include <string>

namespace kalydor::test {

/// An empty layered outside wall in a typical Romanian winter design climate: −15 °C and
/// 85 % outside, 20 °C and the given humidity inside, αe 24 and αi 8 W/m²K, 60 diffusion days.
inline Panel outsideWall(std::string name, float insideRelHum = 60) {
    Panel wall;
    wall.Name = std::move(name);
    wall.Type = 0;
    wall.Layered = 0;
    wall.OutSideTemp = -15;
    wall.InSideTemp = 20;
    wall.OutSideRelHum = 85;
    wall.InSideRelHum = insideRelHum;
    wall.OutSideAlpha = 24;
    wall.InSideAlpha = 8;
    wall.DiffusionDays = 60;
    return wall;
}

} // namespace kalydor::test
