// Arbitrary bytes as a multi-item export pasted from the clipboard: the entry reader must
// end with the entries or the system's error, never a crash, an overlong read or a hang.
//
//   build/fuzz/bin/fuzz_clipboard_entries tests/data/fuzz/clipboard_entries

#include "base/error.h"
#include "base/memorystream.h"
#include "reports/clipboarddocument.h"
#include "store/itemstream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace kalydor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryStream stream(std::string(reinterpret_cast<const char*>(data), size));
    std::string groupPath;
    std::string name;
    try {
        std::size_t entries = 0;
        for (;;) {
            const std::size_t start = stream.position();
            const std::int32_t end = ClipboardDocument::ReadEntry(stream, groupPath, name);
            if (end < 0)
                break;
            // The item reads what it knows of its data, then the reader moves to the entry's
            // end, as the paste of an export does.
            if (stream.remaining() > 0)
                ReadString(stream);
            if (std::size_t(end) <= start || std::size_t(end) > stream.size())
                std::abort(); // the reader let through an offset that cannot make progress
            stream.seek(std::size_t(end));
            if (++entries > size)
                std::abort();
        }
    } catch (const Error&) {
    }
    return 0;
}
