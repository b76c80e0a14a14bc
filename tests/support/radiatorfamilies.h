#pragma once

// A small radiator family for the tests of radiators, their sizing and their dialog, and a
// family source that serves it (and any other family a test adds).

#include "devicedb/deviceitem.h"
#include "devicedb/radiatorfamilycache.h"

#include <map>
#include <string>
#include <utility>

namespace kalydor::testing {

/// "Panel Test": logarithmic rating at 60 K (the 90/70/20 °C catalogue point), two dimension
/// lists (height; length) and two main types of three sizes each, in increasing output:
///   "P11-600": P11-600-400 (400 W, current), P11-600-800 (800 W), P11-600-1200 (1200 W, current)
///   "P22-600": P22-600-400 (700 W), P22-600-800 (1400 W, current), P22-600-1200 (2100 W)
/// Exponent 1.3; length = the last number of the code, height 600, depth 47 / 100 mm.
inline RadiatorFamily panelTestFamily() {
    RadiatorFamily family;
    family.Name = "Panel Test";
    family.DTLog = 1;
    family.DTOrigin = 60.0f;
    family.DimensionLists = {{"P11 600", "P22 600"}, {"400", "800", "1200"}};
    family.MainTypes = {{"P11-600", {0}, 0, 3, 0.8f}, {"P22-600", {1}, 3, 3, 1.2f}};
    const auto size = [](std::string name, std::int16_t position, float power, std::int16_t current,
                         std::int16_t length, std::int16_t depth) {
        RadiatorSize s;
        s.Name = std::move(name);
        s.DimensionIndex = position;
        s.Power = power;
        s.Surface = length / 1000.0f;
        s.Volume = length / 200.0f;
        s.Exponent = 1.3f;
        s.Current = current;
        s.Length = length;
        s.Height = 600;
        s.Width = depth;
        s.EstimateCode = "EST-" + s.Name;
        return s;
    };
    family.Sizes = {
        size("P11-600-400", 0, 400, 1, 400, 47),    size("P11-600-800", 1, 800, 0, 800, 47),
        size("P11-600-1200", 2, 1200, 1, 1200, 47), size("P22-600-400", 0, 700, 0, 400, 100),
        size("P22-600-800", 1, 1400, 1, 800, 100),  size("P22-600-1200", 2, 2100, 0, 1200, 100)};
    return family;
}

/// Serves the families a test puts in; the test family by default.
class TestFamilies final : public RadiatorFamilySource {
public:
    TestFamilies() { add(panelTestFamily()); }
    void add(RadiatorFamily family) {
        const std::string name = family.Name;
        m_families[name] = std::move(family);
    }
    void remove(const std::string& name) { m_families.erase(name); }
    RadiatorFamily& operator[](const std::string& name) { return m_families.at(name); }
    const RadiatorFamily* family(const std::string& name) override {
        const auto found = m_families.find(name);
        return found != m_families.end() ? &found->second : nullptr;
    }

private:
    std::map<std::string, RadiatorFamily> m_families;
};

} // namespace kalydor::testing
