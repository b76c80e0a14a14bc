// Arbitrary bytes as an item record and as typed numbers: every reader must end with a value
// or the system's error, never a crash, an overlong read or a hang.
//
//   build/fuzz/bin/fuzz_record_stream tests/data/fuzz/record_stream

#include "base/error.h"
#include "base/parsenumber.h"
#include "store/itemstream.h"

#include <cstddef>
#include <cstdint>

using namespace kalydor;

namespace {

// Interprets the bytes as a record of every kind of value: the first byte of each step says
// which reader comes next, as an item class with chunks and strings would call them.
void readRecord(MemoryStream& stream) {
    while (stream.remaining() > 0) {
        switch (readByte(stream) % 8) {
        case 0:
            ReadString(stream);
            break;
        case 1:
            ReadLines(stream);
            break;
        case 2:
            readFloat(stream);
            break;
        case 3:
            readInt32(stream);
            break;
        case 4:
            readInt16(stream);
            break;
        case 5: {
            ChunkHeader header;
            while (readChunkHeader(stream, header))
                skipChunk(stream, header);
            break;
        }
        case 6:
            readFlag(stream);
            break;
        default:
            readBytes(stream, readUInt16(stream));
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    MemoryStream stream(bytes);
    try {
        readRecord(stream);
    } catch (const Error&) {
    }
    for (const NumberRule rule : {NumberRule::Any, NumberRule::Positive, NumberRule::NotPositive}) {
        try {
            ParseNumber(bytes, rule);
        } catch (const Error&) {
        }
    }
    return 0;
}
