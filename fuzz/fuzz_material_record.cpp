// Arbitrary bytes as a stored material record or as a layer inside a construction record:
// the readers must end with an item or the system's error, never a crash, an overlong read or
// a hang. A material that was read must write the same record again after a second read,
// and its calculations must stay finite on finite data.
//
// The first byte chooses the reader: bits 0-2 the record version 50 + n (55 and beyond are
// unknown versions), bit 3 material or layer.
//
//   build/fuzz/bin/fuzz_material_record tests/data/fuzz/material_record

#include "base/error.h"
#include "base/memorystream.h"
#include "constructions/layer.h"
#include "constructions/material.h"
#include "recordroundtrip.h"
#include "silentprompter.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace kalydor;

namespace {

void exercise(Material& m) {
    Material copy = m;
    copy.Validate();
    copy.ResistanceFromDiagram();
    for (const double phi : {0.0, 5.0, 55.0, 100.0})
        (void)copy.EquilibriumMoisture(phi);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silencePrompts();
    if (size == 0)
        return 0;
    const auto version = static_cast<std::int16_t>(50 + (data[0] & 7));
    const bool layer = (data[0] & 8) != 0;
    MemoryStream stream(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    try {
        if (layer) {
            if (version > 54)
                return 0;
            Layer l;
            l.readLayer(stream, version);
            l.computeDerivedValues(false);
            exercise(l);
            MemoryStream written;
            l.writeLayer(written);
            written.seek(0);
            Layer again;
            again.readLayer(written, 54);
            MemoryStream rewritten;
            again.writeLayer(rewritten);
            if (rewritten.bytes() != written.bytes())
                std::abort();
        } else {
            Material m;
            if (!m.ReadRecord(stream, version))
                return 0;
            exercise(m);
            kalydor::fuzz::requireStableRecord(m);
        }
    } catch (const Error&) {
        // A record cut short: the system's error, as it should be.
    }
    return 0;
}
