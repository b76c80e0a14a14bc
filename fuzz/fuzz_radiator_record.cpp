// Arbitrary bytes as a radiator record inside a room, its hydraulic record inline: reading
// must end with the radiator read, a reported version error or the system's error, never a
// crash, an overlong read or a hang. The first byte picks the form (52, 102, 103, 104 or 0);
// a radiator that was read is written and read again to the same bytes.
//
//   build/fuzz/bin/fuzz_radiator_record tests/data/fuzz/radiator_record

#include "base/error.h"
#include "base/memorystream.h"
#include "heating/radiator.h"
#include "recordroundtrip.h"
#include "silentprompter.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace kalydor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silencePrompts();
    if (size == 0)
        return 0;
    constexpr int kForms[] = {52, 102, 103, 104, 0};
    const int version = kForms[data[0] % std::size(kForms)];
    MemoryStream stream(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    Radiator radiator;
    try {
        if (!radiator.ReadRecord(stream, version))
            return 0;
    } catch (const Error&) {
        return 0;
    }
    fuzz::requireStableVersionedRecord(radiator, Radiator::kCurrentVersion);
    return 0;
}
