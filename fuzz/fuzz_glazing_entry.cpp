// Arbitrary text as one entry of the glazing coefficient table (a language file's text):
// splitting it from the end must never crash, and what it gives must hold together — a
// valid entry has finite coefficients of at least 0, its name is the start of the text, and
// the coefficients of an invalid entry can never be chosen.
//
//   build/fuzz/bin/fuzz_glazing_entry tests/data/fuzz/glazing_entry

#include "constructions/glazingtable.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kalydor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const GlazingEntry entry = parseGlazingEntry(text);
    if (text.compare(0, entry.name.size(), entry.name) != 0)
        std::abort();
    const GlazingTable table({entry});
    for (int mode = 0; mode < kShadingModeCount; ++mode) {
        const auto chosen = table.coefficients(0, mode);
        if (entry.valid != chosen.has_value())
            std::abort();
        if (chosen && !(std::isfinite(chosen->day) && chosen->day >= 0 &&
                        std::isfinite(chosen->night) && chosen->night >= 0))
            std::abort();
    }
    return 0;
}
