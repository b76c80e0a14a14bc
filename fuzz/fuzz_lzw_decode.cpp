// Arbitrary bytes as a compressed device item or language file: expanding ends with bytes or
// the system's error, never a crash, an overlong read, a hang or an unbounded expansion. And
// the same bytes compressed and expanded again must come back unchanged.
//
//   build/fuzz/bin/fuzz_lzw_decode tests/data/fuzz/lzw_decode

#include "base/error.h"
#include "codecs/compressing.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace kalydor;

namespace {

// A small cap keeps crafted streams that expand a thousandfold fast to run.
constexpr std::size_t kMaxExpanded = 1 << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const std::string expanded = Compressing::Decode(bytes, kMaxExpanded);
        if (expanded.size() > kMaxExpanded)
            std::abort();
    } catch (const Error&) {
    }

    // The cap is the exact size: the coder's own stream must fit it.
    const std::string code = Compressing::Encode(bytes);
    if (Compressing::Decode(code, size) != bytes)
        std::abort();
    return 0;
}
