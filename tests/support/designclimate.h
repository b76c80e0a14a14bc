#pragma once

#include "constructions/panel.h"

#include <string>

namespace kalydor::test {

/// A "Normal" layer with the values the thermal calculation reads (thickness in cm, density,
/// λ, specific heat c, vapour resistance factor μ) and no moisture data.
inline Layer massLayer(const char* name, float cm, float density, float lambda, float c,
                       float mu = 0) {
    Layer l;
    l.Name = name;
    l.Kind = static_cast<std::uint8_t>(MaterialKind::Normal);
    l.Thickness = cm;
    l.Density = density;
    l.ThermalCond = lambda;
    l.HeatCapacity = c;
    l.SteamDiffResNum = mu;
    return l;
}

/// A "Normal" layer for the moisture calculation: specific heat 0.9 kJ/kgK, a simple sorption
/// isotherm rising to `w100` % at 100 % relative humidity, and the permitted moisture.
inline Layer moistLayer(const char* name, float cm, float density, float lambda, float mu,
                        float w100, float permit = 0) {
    Layer l = massLayer(name, cm, density, lambda, 0.9f, mu);
    l.PermitHumidity = permit;
    for (std::size_t i = 0; i < 10; ++i)
        l.Sorption[i] = w100 * static_cast<float>((i + 1) * (i + 1)) / 100;
    return l;
}

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
