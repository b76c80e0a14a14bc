#include "codecs/compressing.h"

#include "base/error.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace kalydor {
namespace {

constexpr unsigned kClearCode = 256;
constexpr unsigned kEndCode = 257;
constexpr unsigned kFirstStringCode = 258;
constexpr unsigned kDictionarySize = 4096;
constexpr unsigned kFirstWidth = 9;

[[noreturn]] void throwDamaged() {
    throw Error("IDS_COMPRESSERROR", {}, "The compressed data is damaged.");
}

[[noreturn]] void throwTooLarge() {
    throw Error("IDS_EXPANDTOOLARGE", {},
                "The expanded data would be too large; the compressed data are probably damaged.");
}

// Makes room for at least `extra` bytes behind `used` in `buffer` (its size is the capacity in
// use; the caller trims it at the end). Doubling keeps the cost per byte constant.
void makeRoom(std::string& buffer, std::size_t used, std::size_t extra) {
    if (buffer.size() - used >= extra)
        return;
    buffer.resize(std::max(buffer.size() * 2, used + extra + 64));
}

// Packs codes most significant bit first. Whole bytes leave the bit buffer 32 bits at a time,
// which gives the same bytes as writing each byte as soon as 8 bits are pending. The caller
// reserves room for a run of codes beforehand, so writing one checks nothing. The writer is
// attached to an output string for a piece of work and detached after it; the bits not yet
// making up 32 stay pending in between, so a code can be produced piece by piece.
class CodeWriter {
public:
    void attach(std::string& out) {
        m_out = &out;
        m_used = out.size();
        m_to = out.data() + m_used;
    }

    // Room for `bytes` more bytes of code, and for the bits still pending and the four bytes
    // put() stores ahead.
    void reserve(std::size_t bytes) {
        m_used = static_cast<std::size_t>(m_to - m_out->data());
        makeRoom(*m_out, m_used, bytes + 16);
        m_to = m_out->data() + m_used;
    }

    // The four bytes are stored every time and kept only when 32 bits were pending: a branch
    // here would be mispredicted about every third code.
    void put(unsigned code, unsigned width) {
        m_bits = (m_bits << width) | code;
        m_count += width;
        const unsigned full = m_count >= 32 ? 1 : 0;
        m_count -= 32 * full;
        const auto word = static_cast<std::uint32_t>(m_bits >> m_count);
        m_to[0] = static_cast<char>(word >> 24);
        m_to[1] = static_cast<char>(word >> 16);
        m_to[2] = static_cast<char>(word >> 8);
        m_to[3] = static_cast<char>(word);
        m_to += 4 * full;
    }

    // Writes the pending bits; the last partial byte is padded with zero bits on the right.
    void flushBits() {
        reserve(8);
        while (m_count >= 8) {
            m_count -= 8;
            *m_to++ = static_cast<char>(m_bits >> m_count);
        }
        if (m_count > 0)
            *m_to++ = static_cast<char>(m_bits << (8 - m_count));
        m_count = 0;
    }

    // Cuts the output after the whole bytes written.
    void detach() {
        m_out->resize(static_cast<std::size_t>(m_to - m_out->data()));
        m_out = nullptr;
        m_to = nullptr;
    }

private:
    std::string* m_out = nullptr;
    std::size_t m_used = 0;
    char* m_to = nullptr;
    std::uint64_t m_bits = 0;
    unsigned m_count = 0;
};

// The encoder's dictionary: (prefix code, next byte) -> code, an open-addressing hash table of
// 16,384 slots (Fibonacci hashing, linear probing). A slot holds the 20-bit key above the
// 12-bit code; 0 is empty (no string code is 0). At most 3838 strings are entered before a
// clear, so the table stays less than a quarter full and nearly every lookup takes one probe.
class EncodeDictionary {
public:
    EncodeDictionary() { clear(); }

    void clear() { m_slots.fill(0); }

    // The code of (prefix, byte), or 0 with `slot` set to where it is to be entered.
    unsigned find(unsigned prefix, unsigned byte, std::size_t& slot) const {
        const std::uint32_t key = (prefix << 8) | byte;
        std::size_t at = (key * 0x9E3779B1u) >> (32 - kSlotBits);
        for (;;) {
            const std::uint32_t entry = m_slots[at];
            if (entry == 0) {
                slot = at;
                return 0;
            }
            if ((entry >> 12) == key)
                return entry & 0xFFF;
            at = (at + 1) & (kSlots - 1);
        }
    }

    void enter(std::size_t slot, unsigned prefix, unsigned byte, unsigned code) {
        m_slots[slot] = (((prefix << 8) | byte) << 12) | code;
    }

private:
    static constexpr unsigned kSlotBits = 14;
    static constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
    std::array<std::uint32_t, kSlots> m_slots;
};

} // namespace

struct LzwEncoder::State {
    EncodeDictionary dictionary;
    CodeWriter writer;
    unsigned nextCode = kFirstStringCode;
    unsigned width = kFirstWidth;
    unsigned current = 0; ///< the code of the string matched so far
    bool started = false;
};

LzwEncoder::LzwEncoder()
    : m_state(std::make_unique<State>()) {}

LzwEncoder::~LzwEncoder() = default;

void LzwEncoder::feed(std::string_view input, std::string& out) {
    if (input.empty())
        return;
    State& st = *m_state;
    const auto* next = reinterpret_cast<const unsigned char*>(input.data());
    const auto* const end = next + input.size();
    CodeWriter& writer = st.writer;
    writer.attach(out);
    if (!st.started) {
        writer.reserve(8);
        writer.put(kClearCode, st.width);
        st.current = *next++;
        st.started = true;
    }
    // Locals keep the loop's state in registers.
    EncodeDictionary& dictionary = st.dictionary;
    unsigned nextCode = st.nextCode;
    unsigned width = st.width;
    unsigned current = st.current;
    while (next != end) {
        // Every byte gives at most one code of up to 12 bits, and a clear code of 13 bits
        // follows at most every 3838 codes: two bytes of room for each byte of input.
        const auto* const blockEnd = next + std::min<std::size_t>(end - next, 1u << 16);
        writer.reserve(2 * static_cast<std::size_t>(blockEnd - next));
        while (next != blockEnd) {
            const unsigned byte = *next++;
            std::size_t slot = 0;
            if (const unsigned code = dictionary.find(current, byte, slot)) {
                current = code;
                continue;
            }
            writer.put(current, width);
            dictionary.enter(slot, current, byte, nextCode);
            ++nextCode;
            if (nextCode == (1u << width))
                ++width;
            if (nextCode == kDictionarySize) {
                // The clear code goes out at the width reached (13 bits), then everything
                // restarts.
                writer.put(kClearCode, width);
                dictionary.clear();
                nextCode = kFirstStringCode;
                width = kFirstWidth;
            }
            current = byte;
        }
    }
    st.nextCode = nextCode;
    st.width = width;
    st.current = current;
    writer.detach();
}

void LzwEncoder::finish(std::string& out) {
    State& st = *m_state;
    if (!st.started)
        return; // empty input: empty code, not even a clear code
    st.writer.attach(out);
    st.writer.reserve(8);
    st.writer.put(st.current, st.width);
    st.writer.put(kEndCode, st.width);
    st.writer.flushBits();
    st.writer.detach();
    m_state = std::make_unique<State>();
}

namespace {

// Takes codes most significant bit first from a source read in blocks; running out of bits
// before the end code means the stream is damaged.
class CodeReader {
public:
    explicit CodeReader(const LzwSource& source)
        : m_source(source) {}

    unsigned take(unsigned width) {
        if (m_count < width) {
            refill();
            if (m_count < width)
                throwDamaged();
        }
        m_count -= width;
        return static_cast<unsigned>(m_bits >> m_count) & ((1u << width) - 1);
    }

    // True when nothing at all is left to read.
    bool atEnd() {
        fillBuffer();
        return m_next == m_end && m_count == 0;
    }

    // True when the stream holds nothing but the end code at `width` and the padding of its
    // last byte.
    bool onlyEndCodeLeft(unsigned width) {
        refill();
        if (m_next != m_end || m_count < width || m_count - width >= 8)
            return false;
        return (static_cast<unsigned>(m_bits >> (m_count - width)) & ((1u << width) - 1)) ==
               kEndCode;
    }

private:
    // Keeps at least eight bytes in the buffer while the source has more, so that an empty
    // buffer means the end of the input.
    void fillBuffer() {
        if (m_end - m_next >= 8 || m_sourceEnded)
            return;
        const std::size_t left = static_cast<std::size_t>(m_end - m_next);
        std::memmove(m_buffer.data(), m_next, left);
        std::size_t filled = left;
        while (filled < 8 && !m_sourceEnded) {
            const std::size_t got = m_source(reinterpret_cast<char*>(m_buffer.data()) + filled,
                                             m_buffer.size() - filled);
            if (got == 0)
                m_sourceEnded = true;
            filled += got;
        }
        m_next = m_buffer.data();
        m_end = m_next + filled;
    }

    void refill() {
        fillBuffer();
        if (m_count <= 32 && m_end - m_next >= 4) {
            m_bits = (m_bits << 32) | (std::uint32_t{m_next[0]} << 24) |
                     (std::uint32_t{m_next[1]} << 16) | (std::uint32_t{m_next[2]} << 8) | m_next[3];
            m_next += 4;
            m_count += 32;
            return;
        }
        while (m_count <= 56 && m_next != m_end) {
            m_bits = (m_bits << 8) | *m_next++;
            m_count += 8;
        }
    }

    const LzwSource& m_source;
    std::array<unsigned char, 65536> m_buffer;
    const unsigned char* m_next = m_buffer.data();
    const unsigned char* m_end = m_buffer.data();
    bool m_sourceEnded = false;
    std::uint64_t m_bits = 0;
    unsigned m_count = 0;
};

// The bytes expanded since the last clear code, in a buffer that grows by doubling. The strings
// of the dictionary lie in them, so they are handed on only at a clear code and at the end:
// between two clear codes there are at most 3838 strings, each at most one byte longer than
// the one before, so the buffer stays below 8 MB whatever the length of the stream. The
// caller's limit counts every byte expanded.
class ExpandedBytes {
public:
    ExpandedBytes(const LzwSink& sink, std::size_t maxOutput)
        : m_sink(sink)
        , m_maxOutput(maxOutput) {
        makeRoom(m_out, 0, 65536);
    }

    std::size_t size() const { return m_used; }

    // Room for `count` more bytes and kSpare bytes behind them; returns where they go.
    char* extend(std::size_t count) {
        if (count > m_maxOutput - m_handedOn - m_used)
            throwTooLarge();
        makeRoom(m_out, m_used, count + kSpare);
        char* to = m_out.data() + m_used;
        m_used += count;
        return to;
    }
    const char* at(std::size_t position) const { return m_out.data() + position; }

    // Copies `count` bytes from earlier in the output to `to` (`from + count <= to`). Most
    // strings are short: one 16-byte move covers them, read whole before it is written, so
    // it may overlap `to`; the bytes beyond `count` are overwritten by the next string or cut
    // off at the end.
    static void copyEarlier(char* to, const char* from, std::size_t count) {
        if (count <= kSpare) {
            char block[kSpare];
            std::memcpy(block, from, kSpare);
            std::memcpy(to, block, kSpare);
        } else {
            std::memcpy(to, from, count);
        }
    }

    static constexpr std::size_t kSpare = 16;

    // Hands the bytes on; the dictionary that referred to them has just been cleared.
    void handOn() {
        if (m_used == 0)
            return;
        m_sink(std::string_view(m_out.data(), m_used));
        m_handedOn += m_used;
        m_used = 0;
    }

private:
    const LzwSink& m_sink;
    std::string m_out;
    std::size_t m_used = 0;
    std::size_t m_handedOn = 0;
    std::size_t m_maxOutput;
};

// The decoder. Every string of its dictionary has just been written to the output: the string
// of a new code is the previous code's string followed by the first byte of the string after
// it, and both lie side by side in the output. So an entry is the place and the length of that
// occurrence, and writing a code's string is one copy within the output, not a walk along
// prefix links.
class Expander {
public:
    Expander(const LzwSource& source, const LzwSink& sink, std::size_t maxOutput)
        : m_reader(source)
        , m_out(sink, maxOutput) {}

    void run() {
        // An empty input is the code of an empty input.
        if (m_reader.atEnd())
            return;
        if (m_reader.take(kFirstWidth) != kClearCode)
            throwDamaged();
        while (!expandUntilClear())
            m_out.handOn();
        m_out.handOn();
    }

private:
    // Expands the codes after a clear code; true when the end code was reached, false at the
    // next clear code.
    bool expandUntilClear() {
        unsigned nextCode = kFirstStringCode;
        unsigned width = kFirstWidth;
        // The first code after a clear code is a single byte and enters nothing.
        unsigned code = m_reader.take(width);
        if (code > 255)
            throwDamaged();
        std::size_t previousStart = m_out.size();
        std::size_t previousLength = 1;
        *m_out.extend(1) = static_cast<char>(code);
        bool widened = false;

        for (;;) {
            // The encoder widens one entry later than the decoder: when its last entry was
            // 510, 1022, 2046 or 4094 it writes the end code at the old width.
            if (widened && m_reader.onlyEndCodeLeft(width - 1))
                return true;
            widened = false;
            code = m_reader.take(width);
            if (code == kEndCode)
                return true;
            if (code == kClearCode)
                return false;
            if (code > nextCode || nextCode == kDictionarySize)
                throwDamaged();

            const std::size_t start = m_out.size();
            std::size_t length = 1;
            if (code < 256) {
                *m_out.extend(1) = static_cast<char>(code);
            } else if (code < nextCode) {
                length = m_length[code];
                char* to = m_out.extend(length);
                ExpandedBytes::copyEarlier(to, m_out.at(m_start[code]), length);
            } else {
                // The code being entered, a string of the form KwKwK: the previous string
                // followed by its own first byte.
                length = previousLength + 1;
                char* to = m_out.extend(length);
                ExpandedBytes::copyEarlier(to, m_out.at(previousStart), previousLength);
                to[previousLength] = *m_out.at(previousStart);
            }

            m_start[nextCode] = previousStart;
            m_length[nextCode] = static_cast<std::uint16_t>(previousLength + 1);
            ++nextCode;
            if (nextCode + 1 == (1u << width)) {
                ++width;
                widened = true;
            }
            previousStart = start;
            previousLength = length;
        }
    }

    CodeReader m_reader;
    ExpandedBytes m_out;
    std::array<std::size_t, kDictionarySize> m_start;
    std::array<std::uint16_t, kDictionarySize> m_length;
};

// A source that hands out the bytes of one piece of memory.
LzwSource memorySource(std::string_view& input) {
    return [&input](char* buffer, std::size_t size) {
        const std::size_t n = std::min(size, input.size());
        std::memcpy(buffer, input.data(), n);
        input.remove_prefix(n);
        return n;
    };
}

void decodeInto(std::string_view input, std::string& out, std::size_t maxOutput) {
    if (input.empty())
        return;
    out.reserve(out.size() + std::min(input.size() * 3, maxOutput));
    LzwDecode(
        memorySource(input), [&out](std::string_view bytes) { out.append(bytes); }, maxOutput);
}

std::string_view unread(const MemoryStream& in) {
    if (in.remaining() == 0)
        return {};
    return std::string_view(in.bytes()).substr(in.position());
}

} // namespace

void LzwDecode(const LzwSource& source, const LzwSink& sink, std::size_t maxOutput) {
    auto expander = std::make_unique<Expander>(source, sink, maxOutput);
    expander->run();
}

std::string Compressing::Encode(std::string_view input) {
    std::string out;
    LzwEncoder encoder;
    encoder.feed(input, out);
    encoder.finish(out);
    return out;
}

std::string Compressing::Decode(std::string_view input, std::size_t maxOutput) {
    std::string out;
    decodeInto(input, out, maxOutput);
    return out;
}

void Compressing::Encode(MemoryStream& in, MemoryStream& out) {
    out.write(Encode(unread(in)));
    in.seek(in.size());
}

void Compressing::Decode(MemoryStream& in, MemoryStream& out, std::size_t maxOutput) {
    std::string expanded;
    decodeInto(unread(in), expanded, maxOutput);
    in.seek(in.size());
    out.write(expanded);
}

} // namespace kalydor
