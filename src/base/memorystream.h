#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kalydor {

/// The in-memory byte stream an item's data block is read into and written from: a byte
/// buffer with a position. Writing at the position overwrites and grows the buffer; reading
/// takes bytes from the position on.
class MemoryStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::string bytes)
        : m_bytes(std::move(bytes)) {}

    std::size_t size() const { return m_bytes.size(); }
    std::size_t position() const { return m_position; }
    /// Bytes between the position and the end (0 when the position is beyond the end).
    std::size_t remaining() const {
        return m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
    }
    void seek(std::size_t position) { m_position = position; }
    /// Keeps room for this many bytes, so that writing up to them copies nothing.
    void reserve(std::size_t bytes) { m_bytes.reserve(bytes); }

    /// Copies up to `count` bytes from the position into `out` and advances; returns how many.
    std::size_t read(void* out, std::size_t count);
    /// Writes the bytes at the position (filling a gap behind the end with zeros) and advances.
    void write(const void* data, std::size_t count);
    void write(std::string_view data) { write(data.data(), data.size()); }

    const std::string& bytes() const { return m_bytes; }
    std::string takeBytes() {
        m_position = 0;
        return std::move(m_bytes);
    }
    void clear() {
        m_bytes.clear();
        m_position = 0;
    }

private:
    std::string m_bytes;
    std::size_t m_position = 0;
};

} // namespace kalydor
