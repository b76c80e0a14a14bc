#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kalydor {

class MemoryStream;

/// One surface heating or cooling circuit laid in a room. The program does not design these;
/// it reads, copies and writes them so that rooms that carry them keep them bit for bit.
class FloorHeatingField {
public:
    std::string Text1;
    std::string Text2;
    float Value1 = 0;
    std::int16_t Code1 = 0;
    float Value2 = 0;
    float TransientValue = 0; ///< not stored
    float Value3 = 0;
    float Value4 = 0;
    std::int16_t Code2 = -1;
    std::array<float, 7> Values5To11{};
    std::int16_t Code3 = -1;
    // Stored from room version 54 on.
    std::int16_t Code4 = 1;
    std::int16_t Code5 = 0;
    std::int16_t Code6 = 0;
    std::array<float, 8> Values12To19{};

    /// Reads the field as a room record of `roomVersion` holds it (the extension only above
    /// 53). Data that end early raise "IDS_DATAREADERROR" and leave the field as it was.
    bool ReadRecord(MemoryStream& stream, int roomVersion);
    /// Writes the base part and the extension.
    bool WriteRecord(MemoryStream& stream) const;
};

} // namespace kalydor
