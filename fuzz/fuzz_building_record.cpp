// Arbitrary bytes as the data block of a building: the first byte picks the version (50 + n
// mod 5, so 54 must be refused). Reading must end with the building read, a reported version
// or the system's error; a building that was read is written, read back and written to the
// same bytes.
//
//   build/fuzz/bin/fuzz_building_record tests/data/fuzz/building_record

#include "base/error.h"
#include "base/memorystream.h"
#include "rooms/building.h"
#include "silentprompter.h"
#include "store/itemstream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kalydor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silencePrompts();
    if (size == 0)
        return 0;
    const auto version = static_cast<std::int16_t>(50 + data[0] % 5);
    MemoryStream stream(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    Building building;
    try {
        if (!building.ReadRecord(stream, version))
            return 0;
    } catch (const Error&) {
        return 0;
    }
    std::string written;
    try {
        written = building.recordBytes();
    } catch (const Error&) {
        return 0; // texts that outgrow a counted string or a chunk are refused
    }
    MemoryStream again(written);
    Building reread;
    const std::int16_t current = readInt16(again);
    if (!reread.ReadRecord(again, current) || reread.recordBytes() != written)
        std::abort();
    return 0;
}
