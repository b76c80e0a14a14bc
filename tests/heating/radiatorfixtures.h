#pragma once

// Radiator and hydraulic records built field by field from the stored layout, independent of
// the writer under test.

#include "base/memorystream.h"
#include "store/itemstream.h"

#include <bit>
#include <cstdint>
#include <string>

namespace kalydor::test {

/// A byte string assembled from the stored field types.
class Bytes {
public:
    Bytes& s(const std::string& text) {
        WriteString(m_stream, text);
        return *this;
    }
    Bytes& i16(std::int16_t v) {
        writeInt16(m_stream, v);
        return *this;
    }
    Bytes& u16(std::uint16_t v) {
        writeUInt16(m_stream, v);
        return *this;
    }
    Bytes& f32(float v) {
        writeFloat(m_stream, v);
        return *this;
    }
    Bytes& bits(std::uint32_t v) { return f32(std::bit_cast<float>(v)); }
    Bytes& raw(const std::string& bytes) {
        m_stream.write(bytes);
        return *this;
    }
    /// A chunk: tag, the payload's true length (unless given), payload.
    Bytes& chunk(std::int16_t tag, const std::string& payload) {
        return chunk(tag, payload, static_cast<std::uint16_t>(payload.size()));
    }
    Bytes& chunk(std::int16_t tag, const std::string& payload, std::uint16_t length) {
        i16(tag);
        u16(length);
        return raw(payload);
    }
    std::string str() const { return m_stream.bytes(); }
    operator std::string() const { return str(); }

private:
    MemoryStream m_stream;
};

/// A quiet NaN with a payload that a conversion through double would not keep bit for bit in
/// every case: it must come back exactly.
inline constexpr std::uint32_t kNaNBits = 0x7fc0'1234u;

/// Chunk 101 of a hydraulic record with every field distinct: nodes "N0" 11 and "N1" 13
/// (with the older forms' extra words 12 and 14), texts "T1a".."T1c", values 1.5, 2.5, 3,
/// 4.5, codes 5 and 6, side 0's seventh value 7.5, choices ("C0a", 8, "C0b", "C0c") and
/// ("C1a", 10, "C1b", "C1c") with side texts "S0", "S1" and values 9.5, 11.5, Kv 12.5,
/// 13.5, 14.5, mass flow 15.5 kg/h, output 16.5 W, 90/70 °C, side values 17.5..21.5, the
/// medium "Water" 971.9 / 3.673e-7 / 4173, flag 22. With `nanPower` the output is a NaN.
inline std::string hydraulicPointsChunk(bool olderForm, bool nanPower = false) {
    Bytes b;
    b.s("N0").i16(11);
    if (olderForm)
        b.i16(12);
    b.s("N1").i16(13);
    if (olderForm)
        b.i16(14);
    b.s("T1a").s("T1b").s("T1c");
    b.f32(1.5f).f32(2.5f).i16(3).f32(4.5f);
    b.i16(5).i16(6);
    b.f32(7.5f);
    b.s("C0a").i16(8).s("C0b").s("C0c").s("S0").f32(9.5f);
    b.s("C1a").i16(10).s("C1b").s("C1c").s("S1").f32(11.5f);
    b.f32(12.5f).f32(13.5f).f32(14.5f).f32(15.5f);
    if (nanPower)
        b.bits(kNaNBits);
    else
        b.f32(16.5f);
    b.f32(90).f32(70);
    b.f32(17.5f).f32(18.5f).f32(19.5f).f32(20.5f).f32(21.5f);
    b.s("Water").f32(971.9f).f32(3.673e-7f).f32(4173.0f);
    b.i16(22);
    return b;
}

/// A resistance numbered n: count n, texts "Rn.1".."Rn.3", codes and values derived from n;
/// `Value3` only in the forms after 256.
inline std::string resistancePayload(int n, bool withValue3) {
    const auto k = static_cast<std::int16_t>(n * 10);
    Bytes b;
    b.i16(static_cast<std::int16_t>(n));
    const std::string prefix = "R" + std::to_string(n) + ".";
    b.s(prefix + "1").s(prefix + "2").s(prefix + "3");
    b.i16(k).i16(static_cast<std::int16_t>(k + 1)).f32(static_cast<float>(n) + 0.25f);
    b.i16(static_cast<std::int16_t>(k + 2)).i16(static_cast<std::int16_t>(k + 3));
    b.f32(static_cast<float>(n) + 0.5f);
    if (withValue3)
        b.f32(static_cast<float>(n) + 0.75f);
    b.i16(static_cast<std::int16_t>(k + 4));
    return b;
}

/// Chunk 105: both sides' activity (1, 1) and side 1 with distinct values.
inline std::string hydraulicSidesChunk() {
    Bytes b;
    b.i16(1).i16(1).f32(500).f32(21.5f);
    for (int i = 0; i < 7; ++i)
        b.f32(100.0f + static_cast<float>(i));
    b.s("side1 a").s("side1 b");
    for (int i = 0; i < 7; ++i)
        b.f32(200.0f + static_cast<float>(i));
    b.f32(55).f32(45).s("Glycol").f32(1030).f32(4e-6f).f32(3800);
    return b;
}

/// A complete record in the current form (258) with the resistances 1..n.
inline std::string hydraulicRecord(int resistances, bool nanPower = false) {
    Bytes b;
    b.chunk(101, hydraulicPointsChunk(false, nanPower));
    b.chunk(103, Bytes().i16(31).i16(32).f32(33.5f).f32(34.5f));
    for (int n = 1; n <= resistances; ++n)
        b.chunk(102, resistancePayload(n, true));
    b.chunk(104, Bytes().s("T2a").s("T2b").s("T2c"));
    b.chunk(105, hydraulicSidesChunk());
    b.chunk(106, Bytes().f32(41.5f).f32(42.5f).i16(43));
    b.i16(100).u16(0);
    return b;
}

/// The names chunk of a radiator record.
inline std::string radiatorNamesChunk() {
    return Bytes().s("R1").s("Panel Test").s("P22-600-800").f32(1.1f).i16(800).i16(600).i16(100);
}

} // namespace kalydor::test
