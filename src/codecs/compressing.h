#pragma once

#include "base/memorystream.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kalydor {

/// The largest expansion a decoder allows by default: a stored device item or a language file
/// is far smaller, so a stream that expands beyond this is damaged or crafted.
inline constexpr std::size_t kDefaultMaxExpandedSize = 256u * 1024 * 1024;

/// Hands out up to `size` bytes of a coded or plain stream into `buffer`; 0 at its end.
using LzwSource = std::function<std::size_t(char* buffer, std::size_t size)>;
/// Takes the next piece of an expanded stream.
using LzwSink = std::function<void(std::string_view bytes)>;

/// The encoder of `Compressing` fed piece by piece, so a stream of any length is coded in
/// fixed memory. The code is the same, bit for bit, however the input is cut.
class LzwEncoder {
public:
    LzwEncoder();
    ~LzwEncoder();
    LzwEncoder(const LzwEncoder&) = delete;
    LzwEncoder& operator=(const LzwEncoder&) = delete;

    /// Codes the next piece of input; the whole code bytes ready so far are appended to `out`.
    void feed(std::string_view input, std::string& out);
    /// Ends the stream (the last string and the end code) and appends the rest of the code;
    /// the encoder is then ready for a new stream.
    void finish(std::string& out);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

/// Expands a code read from `source`, handing the bytes to `sink` as they are ready (in
/// pieces of at most a few megabytes). Raises the errors of `Compressing::Decode`; the sink may
/// have been given part of the bytes before a damage is found.
void LzwDecode(const LzwSource& source, const LzwSink& sink,
               std::size_t maxOutput = kDefaultMaxExpandedSize);

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
    static void Encode(MemoryStream& in, MemoryStream& out);
    static void Decode(MemoryStream& in, MemoryStream& out,
                       std::size_t maxOutput = kDefaultMaxExpandedSize);
};

} // namespace kalydor
