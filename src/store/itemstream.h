#pragma once

#include "base/memorystream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kalydor {

/// The conventions every stored item record follows: little-endian integers, one-byte flags,
/// single-precision reals, counted strings, string lists and tagged chunks.

using StringList = std::vector<std::string>;

/// Whether a record written starts with its version word: a stored record does, the copy
/// inside a clipboard or exchange stream (whose own header carries the version) does not.
enum class VersionWord : std::uint8_t { Without, With };

/// Raises "IDS_DATAREADERROR" unless the next `bytes` bytes of the value about to be read are
/// all there.
void CheckNotAtEnd(const MemoryStream& stream, std::size_t bytes = 1);

std::int16_t readInt16(MemoryStream& stream);
std::uint16_t readUInt16(MemoryStream& stream);
std::int32_t readInt32(MemoryStream& stream);
std::uint8_t readByte(MemoryStream& stream);
/// A flag byte: any value but 0 reads as set.
bool readFlag(MemoryStream& stream);
float readFloat(MemoryStream& stream);
double readDouble(MemoryStream& stream);
/// Exactly `count` raw bytes.
std::string readBytes(MemoryStream& stream, std::size_t count);

void writeInt16(MemoryStream& stream, std::int16_t value);
void writeUInt16(MemoryStream& stream, std::uint16_t value);
void writeInt32(MemoryStream& stream, std::int32_t value);
void writeByte(MemoryStream& stream, std::uint8_t value);
void writeFlag(MemoryStream& stream, bool value);
void writeFloat(MemoryStream& stream, float value);
void writeDouble(MemoryStream& stream, double value);

/// Longest text a counted string holds: its length word counts the closing NUL.
inline constexpr std::size_t kMaxCountedStringBytes = 32766;

/// A counted string: int16 n = length + 1, the bytes, a NUL. The text ends at its first NUL;
/// bytes that are not UTF-8 are read as Windows-1250.
std::string ReadString(MemoryStream& stream);
/// A text in a fixed field of `width` bytes, as the oldest records hold names: it ends at its
/// first NUL or at the field's end; bytes that are not UTF-8 are read as Windows-1250.
std::string readFixedString(MemoryStream& stream, std::size_t width);
/// Raises an error for a text longer than kMaxCountedStringBytes bytes.
void WriteString(MemoryStream& stream, const std::string& text);

/// A string list: its lines, each followed by CR LF, as one counted string. Reading splits
/// at CR LF, LF or CR; a final line break starts no further line.
StringList ReadLines(MemoryStream& stream);
void WriteLines(MemoryStream& stream, const StringList& lines);
/// The lines of a text, split as ReadLines does.
StringList splitLines(const std::string& text);

/// Longest chunk payload: its length word is an unsigned 16-bit number.
inline constexpr std::size_t kMaxChunkPayload = 65535;

/// Writes a chunk's tag and a placeholder length; returns the position of the length word.
std::size_t beginChunk(MemoryStream& stream, std::int16_t tag);
/// Patches the payload length of the chunk begun at `lengthPosition` and returns to the end.
/// Raises an error when the payload is longer than kMaxChunkPayload.
void endChunk(MemoryStream& stream, std::size_t lengthPosition);
/// The end mark of a chunk sequence (a tag 0 without length).
void writeChunkEnd(MemoryStream& stream);

struct ChunkHeader {
    std::int16_t tag = 0;
    std::uint16_t length = 0;
};
/// Reads the next chunk header; false at the end mark. The length is checked against the
/// bytes that remain ("IDS_DATAREADERROR" when the payload is cut off).
bool readChunkHeader(MemoryStream& stream, ChunkHeader& header);
/// Skips the payload of a chunk whose tag the reader does not know.
void skipChunk(MemoryStream& stream, const ChunkHeader& header);

/// Shows the language text "IDS_VERSIONERR" with the version as its printf argument through
/// the prompter. Readers call it for a version they do not know and then return false.
void reportVersionError(int version);

} // namespace kalydor
