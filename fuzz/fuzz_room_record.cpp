// Arbitrary bytes as the data block of a room: the first byte picks the version (50 + n mod
// 8, so 56 and 57 must be refused). Reading must end with the room read, a reported version
// or the system's error; a room that was read is calculated, every list column is taken, and
// its record is written, read back and written to the same bytes.
//
//   build/fuzz/bin/fuzz_room_record tests/data/fuzz/room_record

#include "base/error.h"
#include "base/memorystream.h"
#include "recordroundtrip.h"
#include "rooms/room.h"
#include "silentprompter.h"
#include "store/itemstream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kalydor;

namespace {

class AllColumns final : public ListColumns {
public:
    std::vector<int> visibleColumnIds() const override { return {}; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silencePrompts();
    if (size == 0)
        return 0;
    const auto version = static_cast<std::int16_t>(50 + data[0] % 8);
    MemoryStream stream(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    Room room;
    try {
        if (!room.ReadRecord(stream, version))
            return 0;
    } catch (const Error&) {
        return 0;
    }
    std::string written;
    try {
        written = room.recordBytes();
    } catch (const Error&) {
        return 0; // texts that outgrow a counted string or a chunk are refused
    }
    MemoryStream again(written);
    Room reread;
    const std::int16_t current = readInt16(again);
    if (!reread.ReadRecord(again, current) || reread.recordBytes() != written)
        std::abort();

    // The calculation and every column of the lists, on what was read.
    (void)room.Calculate({-15, {}});
    const AllColumns columns;
    for (int column = 0; column <= 40; ++column) {
        (void)room.ColumnText(column, columns);
        for (const Boundary& boundary : room.Boundaries)
            (void)boundary.ColumnText(column, columns);
    }
    return 0;
}
