#pragma once

#include "heating/heatingmedium.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kalydor {

class MemoryStream;

/// A network node a heating element joins.
struct ConnectionPoint {
    std::string Name;
    std::int16_t Size = 0;
    std::int16_t Size2 = 0; ///< only in the oldest records
};

/// One local resistance of an element (a valve, a bend, a fitting); carried for the pipe
/// network, used by no calculation of this program.
struct HydraulicResistance {
    std::int16_t Count = 1;
    std::string Text1;
    std::string Text2;
    std::string Text3;
    std::int16_t Code1 = 0;
    std::int16_t Code2 = 0;
    float Value1 = 0;
    std::int16_t Code3 = 0;
    std::int16_t Code4 = 0;
    float Value2 = 0;
    float Value3 = 0;
    std::int16_t Code5 = 0;
};

/// One circuit of an element: its output, its mass flow and its medium.
struct HydraulicSide {
    std::int16_t Active = 0;
    float Power = 0;    ///< W
    float MassFlow = 0; ///< kg/h
    HeatingMedium Medium;
    std::array<float, 7> SideValues1{};
    std::array<std::string, 2> SideTexts;
    /// Carried values; the third of side 0 is the flow coefficient Kv of the valve body.
    std::array<float, 7> SideValues2{};
};

/// The data of a heating element as a pipe-network element: its two nodes, the texts that
/// choose its pipe, valves and insulation, its local resistances and two sides. Only side 0's
/// output, mass flow and medium and its Kv take part in calculations; every other value is
/// kept so that stored projects keep it.
class Hydraulic {
public:
    Hydraulic();

    /// Record forms: 256 and 257 carry an extra word per node, 256 no `Value3` per resistance.
    static constexpr int kCurrentVersion = 258;

    std::uint8_t ElementKind = 0; ///< 0 for radiators; not stored
    std::array<ConnectionPoint, 2> Points;
    std::array<std::string, 3> Texts1;
    float Values1A = 0;
    float Values1B = 0;
    std::int16_t Values1C = 0;
    float Values1D = 0;
    std::array<std::int16_t, 4> Codes1{};
    float Values2A = 0;
    float Values2B = 0;
    std::int16_t Values2C = 0;
    std::array<std::string, 3> Texts2;
    struct Choice {
        std::string Text1;
        std::int16_t Code = 0;
        std::string Text2;
        std::string Text3;
    };
    std::array<Choice, 2> Choices;
    std::vector<HydraulicResistance> Resists;
    std::array<HydraulicSide, 2> Sides;
    std::int16_t Flag = 0;
    std::array<std::string, 4> Texts3; ///< not stored

    float Kv() const { return Sides[0].SideValues2[2]; }
    void setKv(float kv) { Sides[0].SideValues2[2] = kv; }

    /// Reads a record of version 256 to 258 (0 is 258). Another version is reported to the
    /// user and gives false; data that end early raise "IDS_DATAREADERROR". Either way the
    /// element keeps its values unless the whole record was read.
    bool ReadRecord(MemoryStream& stream, int version);
    /// Writes the record in the current form.
    void WriteRecord(MemoryStream& stream) const;
};

} // namespace kalydor
