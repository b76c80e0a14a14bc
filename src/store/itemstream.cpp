#include "store/itemstream.h"

#include "base/error.h"
#include "base/textencoding.h"
#include "base/textlookup.h"
#include "platform/prompter.h"

#include <bit>
#include <cstring>

namespace kalydor {
namespace {

template <typename Unsigned> Unsigned readLittleEndian(MemoryStream& stream) {
    CheckNotAtEnd(stream, sizeof(Unsigned));
    unsigned char bytes[sizeof(Unsigned)];
    stream.read(bytes, sizeof bytes);
    Unsigned value = 0;
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i)
        value = static_cast<Unsigned>(value | static_cast<Unsigned>(bytes[i]) << (8 * i));
    return value;
}

template <typename Unsigned> void writeLittleEndian(MemoryStream& stream, Unsigned value) {
    unsigned char bytes[sizeof(Unsigned)];
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    stream.write(bytes, sizeof bytes);
}

} // namespace

void CheckNotAtEnd(const MemoryStream& stream, std::size_t bytes) {
    if (stream.remaining() < std::max<std::size_t>(bytes, 1))
        throw Error("IDS_DATAREADERROR");
}

std::int16_t readInt16(MemoryStream& s) {
    return static_cast<std::int16_t>(readLittleEndian<std::uint16_t>(s));
}
std::uint16_t readUInt16(MemoryStream& s) {
    return readLittleEndian<std::uint16_t>(s);
}
std::int32_t readInt32(MemoryStream& s) {
    return static_cast<std::int32_t>(readLittleEndian<std::uint32_t>(s));
}
std::uint8_t readByte(MemoryStream& s) {
    return readLittleEndian<std::uint8_t>(s);
}
bool readFlag(MemoryStream& s) {
    return readByte(s) != 0;
}
float readFloat(MemoryStream& s) {
    return std::bit_cast<float>(readLittleEndian<std::uint32_t>(s));
}
double readDouble(MemoryStream& s) {
    return std::bit_cast<double>(readLittleEndian<std::uint64_t>(s));
}

std::string readBytes(MemoryStream& stream, std::size_t count) {
    if (count == 0)
        return {};
    CheckNotAtEnd(stream, count);
    std::string bytes(count, '\0');
    stream.read(bytes.data(), count);
    return bytes;
}

void writeInt16(MemoryStream& s, std::int16_t v) {
    writeLittleEndian(s, static_cast<std::uint16_t>(v));
}
void writeUInt16(MemoryStream& s, std::uint16_t v) {
    writeLittleEndian(s, v);
}
void writeInt32(MemoryStream& s, std::int32_t v) {
    writeLittleEndian(s, static_cast<std::uint32_t>(v));
}
void writeByte(MemoryStream& s, std::uint8_t v) {
    writeLittleEndian(s, v);
}
void writeFlag(MemoryStream& s, bool v) {
    writeByte(s, v ? 1 : 0);
}
void writeFloat(MemoryStream& s, float v) {
    writeLittleEndian(s, std::bit_cast<std::uint32_t>(v));
}
void writeDouble(MemoryStream& s, double v) {
    writeLittleEndian(s, std::bit_cast<std::uint64_t>(v));
}

std::string ReadString(MemoryStream& stream) {
    const std::int16_t n = readInt16(stream);
    if (n < 1)
        throw Error("IDS_DATAREADERROR");
    const std::string bytes = readBytes(stream, static_cast<std::size_t>(n));
    const std::size_t nul = bytes.find('\0');
    return textFromStoredBytes(std::string_view(bytes).substr(0, nul));
}

std::string readFixedString(MemoryStream& stream, std::size_t width) {
    const std::string bytes = readBytes(stream, width);
    const std::size_t nul = bytes.find('\0');
    return textFromStoredBytes(std::string_view(bytes).substr(0, nul));
}

void WriteString(MemoryStream& stream, const std::string& text) {
    if (text.size() > kMaxCountedStringBytes)
        throw Error("IDS_TEXTTOOLONG", {static_cast<std::int64_t>(kMaxCountedStringBytes)},
                    "A text longer than %d bytes cannot be stored.");
    writeInt16(stream, static_cast<std::int16_t>(text.size() + 1));
    stream.write(text.data(), text.size());
    writeByte(stream, 0);
}

StringList splitLines(const std::string& text) {
    StringList lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start =
            end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

StringList ReadLines(MemoryStream& stream) {
    return splitLines(ReadString(stream));
}

void WriteLines(MemoryStream& stream, const StringList& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    WriteString(stream, text);
}

std::size_t beginChunk(MemoryStream& stream, std::int16_t tag) {
    writeInt16(stream, tag);
    const std::size_t lengthPosition = stream.position();
    writeUInt16(stream, 0);
    return lengthPosition;
}

void endChunk(MemoryStream& stream, std::size_t lengthPosition) {
    const std::size_t end = stream.position();
    const std::size_t length = end - lengthPosition - 2;
    if (length > kMaxChunkPayload)
        throw Error("IDS_CHUNKTOOLONG", {static_cast<std::int64_t>(kMaxChunkPayload)},
                    "The item is too large to be stored: one of its parts exceeds %d bytes.");
    stream.seek(lengthPosition);
    writeUInt16(stream, static_cast<std::uint16_t>(length));
    stream.seek(end);
}

void writeChunkEnd(MemoryStream& stream) {
    writeInt16(stream, 0);
}

bool readChunkHeader(MemoryStream& stream, ChunkHeader& header) {
    header.tag = readInt16(stream);
    if (header.tag == 0)
        return false;
    header.length = readUInt16(stream);
    if (header.length > stream.remaining())
        throw Error("IDS_DATAREADERROR");
    return true;
}

void skipChunk(MemoryStream& stream, const ChunkHeader& header) {
    if (header.length > stream.remaining())
        throw Error("IDS_DATAREADERROR");
    stream.seek(stream.position() + header.length);
}

void reportVersionError(int version) {
    platform::prompter().showMessage(
        formatText(GetText("IDS_VERSIONERR"), {std::int64_t{version}}));
}

} // namespace kalydor
