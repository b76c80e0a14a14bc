#pragma once

#include "base/memorystream.h"
#include "store/itemstream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace kalydor::test {

/// A stored options record from tests/data/heating (made by make_projektoptions_records.py).
/// A missing file fails the test.
inline std::string optionsFixture(const std::string& name) {
    const std::string path = std::string(KALYDOR_TEST_DATA) + "/heating/" + name;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("missing fixture " + path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

/// Builds records by hand: little-endian words, floats and chunks.
class RecordBuilder {
public:
    RecordBuilder& i16(std::int16_t v) {
        writeInt16(m_stream, v);
        return *this;
    }
    RecordBuilder& f32(float v) {
        writeFloat(m_stream, v);
        return *this;
    }
    RecordBuilder& raw(const std::string& bytes) {
        m_stream.write(bytes);
        return *this;
    }
    /// A chunk with the given payload and, unless told otherwise, its true length.
    RecordBuilder& chunk(std::int16_t tag, const std::string& payload) {
        return chunk(tag, payload, static_cast<std::uint16_t>(payload.size()));
    }
    RecordBuilder& chunk(std::int16_t tag, const std::string& payload, std::uint16_t length) {
        writeInt16(m_stream, tag);
        writeUInt16(m_stream, length);
        m_stream.write(payload);
        return *this;
    }
    std::string bytes() const { return m_stream.bytes(); }

private:
    MemoryStream m_stream;
};

/// The payload of a chunk built from words and floats.
inline std::string payload(std::initializer_list<float> floats,
                           std::initializer_list<std::int16_t> words = {}) {
    MemoryStream s;
    for (const float f : floats)
        writeFloat(s, f);
    for (const std::int16_t w : words)
        writeInt16(s, w);
    return s.bytes();
}

} // namespace kalydor::test
