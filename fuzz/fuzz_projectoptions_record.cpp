// Arbitrary bytes as the data block of a project options record: reading must end with the
// options read, a reported version error or the system's error, never a crash, an overlong
// read or a hang. A record that was read is written and read again to the same bytes.
//
//   build/fuzz/bin/fuzz_projectoptions_record tests/data/fuzz/projectoptions_record

#include "base/error.h"
#include "base/memorystream.h"
#include "heating/projectoptions.h"
#include "silentprompter.h"
#include "store/itemstream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kalydor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silencePrompts();
    MemoryStream stream(std::string(reinterpret_cast<const char*>(data), size));
    ProjectOptions options;
    try {
        const std::int16_t version = readInt16(stream);
        if (!options.ReadRecord(stream, version))
            return 0;
    } catch (const Error&) {
        return 0;
    }
    // What was read is written; reading that again must give the very same record.
    // Texts stored in Windows-1250 are kept as UTF-8 and may then outgrow a counted string
    // or a chunk: saving them is refused with an error and the record stays as it is.
    std::string written;
    try {
        written = options.recordBytes();
    } catch (const Error&) {
        return 0;
    }
    MemoryStream again(written);
    ProjectOptions reread;
    const std::int16_t version = readInt16(again);
    if (!reread.ReadRecord(again, version) || reread.recordBytes() != written)
        std::abort();
    return 0;
}
