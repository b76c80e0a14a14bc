// Arbitrary bytes as one of the records a room carries: the first byte picks the
// floor-heating field or a gain class, the second the room version (50–55 or 0). Reading must
// end with the record read, a reported version or the system's error; what was read is
// written, read back in the current form and written to the same bytes.
//
//   build/fuzz/bin/fuzz_carried_records tests/data/fuzz/carried_records

#include "base/error.h"
#include "base/memorystream.h"
#include "heating/floorheatingfield.h"
#include "recordroundtrip.h"
#include "rooms/internalpowers.h"
#include "silentprompter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kalydor;

namespace {

// A gain entry of one kind, made fresh for each read.
struct GainEntry {
    static inline GainKind kind = GainKind::Occupants;
    std::unique_ptr<InternalPower> entry = createInternalPower(kind);
    bool ReadRecord(MemoryStream& stream, int version) {
        return entry->ReadRecord(stream, version);
    }
    bool WriteRecord(MemoryStream& stream) const { return entry->WriteRecord(stream); }
};

template <class Item> void check(Item& item, MemoryStream& stream, int version) {
    try {
        if (!item.ReadRecord(stream, version))
            return;
    } catch (const Error&) {
        return;
    }
    fuzz::requireStableVersionedRecord(item, 55);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silencePrompts();
    if (size < 2)
        return 0;
    const int pick = data[0] % 6;
    const int roomVersion = data[1] % 7 == 6 ? 0 : 50 + data[1] % 7;
    MemoryStream stream(std::string(reinterpret_cast<const char*>(data + 2), size - 2));
    if (pick == 0) {
        FloorHeatingField field;
        check(field, stream, roomVersion);
    } else {
        GainEntry::kind = static_cast<GainKind>(pick - 1);
        GainEntry entry;
        check(entry, stream, roomVersion);
    }
    return 0;
}
