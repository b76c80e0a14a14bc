#pragma once

#include "base/memorystream.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kalydor {

/// The largest expansion a decoder allows by default: a stored device item or a language file
/// is far smaller, so a stream that expands beyond this is damaged or crafted.
inline constexpr std::size_t kDefaultMaxExpandedSize = 256u * 1024 * 1024;

/// The dictionary coder of the device items and of compressed language files: Lempel-Ziv-Welch
/// with codes of 9 to 12 bits (13 for a clear code written on a full dictionary), packed most
/// significant bit first. Code 256 clears the dictionary, 257 ends the stream, new strings get
/// 258 to 4095. The stored items depend on this layout bit for bit.
class Compressing {
public:
    /// Returns the code of `input` (empty input: empty code, not even a clear code).
    static std::string Encode(std::string_view input);
    /// Expands a code; raises kalydor::Error ("IDS_COMPRESSERROR") on a damaged stream and
    /// ("IDS_EXPANDTOOLARGE") when the expanded bytes would exceed `maxOutput`.
    static std::string Decode(std::string_view input,
                              std::size_t maxOutput = kDefaultMaxExpandedSize);

    /// Stream forms: read `in` from its position to its end, write at the position of `out`.
    static void Encode(MyMemoryStream& in, MyMemoryStream& out);
    static void Decode(MyMemoryStream& in, MyMemoryStream& out,
                       std::size_t maxOutput = kDefaultMaxExpandedSize);
};

} // namespace kalydor
