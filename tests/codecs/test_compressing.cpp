#include "base/error.h"
#include "codecs/compressing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/bytes.h"

namespace kalydor {
namespace {

using test::bytes;

struct Code {
    unsigned value;
    unsigned width;
};

// Lays codes out most significant bit first, the last byte padded with zero bits: how a
// stream is built by hand for the damaged-stream cases.
class BitPacker {
public:
    void put(unsigned value, unsigned width) {
        for (unsigned bit = width; bit-- > 0;)
            putBit((value >> bit) & 1u);
    }
    void put(const std::vector<Code>& codes) {
        for (const Code& code : codes)
            put(code.value, code.width);
    }
    // Copies the first `count` bits of another stream.
    void copyBits(const std::string& stream, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            putBit((static_cast<unsigned char>(stream[i / 8]) >> (7 - i % 8)) & 1u);
    }
    const std::string& bytes() const { return m_bytes; }

private:
    void putBit(unsigned bit) {
        if (m_bits % 8 == 0)
            m_bytes += '\0';
        if (bit)
            m_bytes.back() = static_cast<char>(m_bytes.back() | (0x80 >> (m_bits % 8)));
        ++m_bits;
    }
    std::string m_bytes;
    std::size_t m_bits = 0;
};

std::string pack(const std::vector<Code>& codes) {
    BitPacker packer;
    packer.put(codes);
    return packer.bytes();
}

unsigned bitsAt(const std::string& stream, std::size_t offset, unsigned width) {
    unsigned value = 0;
    for (std::size_t i = offset; i < offset + width; ++i)
        value = (value << 1) | ((static_cast<unsigned char>(stream.at(i / 8)) >> (7 - i % 8)) & 1u);
    return value;
}

// The coder as a textbook writes it, with an ordered map for the dictionary: slow and plain, a
// reference for the code sequence and widths. `entered[i]` is the code entered on reading byte
// i (0 when byte i extended the current string), which tells for every prefix of the input
// which entry the coder made last.
struct TextbookCode {
    std::vector<Code> codes;
    std::vector<unsigned> entered;
};

TextbookCode textbookEncode(const std::string& input) {
    TextbookCode result;
    if (input.empty())
        return result;
    std::map<std::pair<unsigned, unsigned char>, unsigned> dictionary; // (string, byte) -> code
    unsigned next = 258;
    unsigned width = 9;
    result.codes.push_back({256, width});
    result.entered.push_back(0);
    unsigned current = static_cast<unsigned char>(input[0]);
    for (std::size_t i = 1; i < input.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(input[i]);
        if (const auto found = dictionary.find({current, byte}); found != dictionary.end()) {
            current = found->second;
            result.entered.push_back(0);
            continue;
        }
        result.codes.push_back({current, width});
        dictionary[{current, byte}] = next;
        result.entered.push_back(next);
        if (++next == (1u << width))
            ++width;
        if (next == 4096) {
            result.codes.push_back({256, width});
            dictionary.clear();
            next = 258;
            width = 9;
        }
        current = byte;
    }
    result.codes.push_back({current, width});
    result.codes.push_back({257, width});
    return result;
}

// Lines of a language file: compressible text with a varied vocabulary.
std::string languageText(std::size_t size, unsigned seed) {
    static const char* const words[] = {
        "Radiator", "heat",  "loss",   "room",     "valve",  "pipe",   "boiler",  "floor",
        "wall",     "outer", "design", "flow",     "return", "power",  "project", "Ţeavă",
        "calcul",   "zone",  "window", "pressure", "pump",   "losses", "total",   "catalogue"};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size) {
        text += "<item id=\"IDS_";
        text += std::to_string(random() % 5000);
        text += "\" value=\"";
        for (auto n = 1 + random() % 6; n > 0; --n) {
            text += words[random() % std::size(words)];
            text += n > 1 ? " " : "";
        }
        text += "\"/>\r\n";
    }
    text.resize(size);
    return text;
}

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string out(size, '\0');
    for (char& c : out)
        c = static_cast<char>(random());
    return out;
}

// Bytes in which no pair of neighbours repeats within 65,536 bytes (a de Bruijn sequence of
// order 2): every code of its stream is a single byte, so the stream's layout can be worked
// out by hand.
std::string distinctPairs(std::size_t size) {
    std::string cycle;
    for (unsigned a = 0; a < 256; ++a) {
        cycle += static_cast<char>(a);
        for (unsigned b = a + 1; b < 256; ++b) {
            cycle += static_cast<char>(a);
            cycle += static_cast<char>(b);
        }
    }
    std::string out;
    while (out.size() < size)
        out += cycle;
    out.resize(size);
    return out;
}

struct DataKind {
    const char* name;
    std::function<std::string(std::size_t)> make;
};

const DataKind kDataKinds[] = {
    {"language text", [](std::size_t n) { return languageText(n, 1); }},
    {"random bytes", [](std::size_t n) { return randomBytes(n, 2); }},
    {"one repeated byte", [](std::size_t n) { return std::string(n, 'a'); }},
    {"distinct pairs", distinctPairs},
};

void expectError(const std::string& key, const std::function<void()>& run,
                 const std::string& what) {
    try {
        run();
        ADD_FAILURE() << what << ": no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.key(), key) << what;
    }
}

void expectDamaged(const std::string& stream, const std::string& what) {
    expectError(
        "IDS_COMPRESSERROR", [&] { Compressing::Decode(stream); }, what);
}

TEST(Compressing, KnownStreams) {
    const struct {
        std::string data;
        std::string stream;
    } cases[] = {
        {"", ""},
        // Codes 256, 97, 98, 99, 257 of 9 bits each.
        {"abc", bytes({0x80, 0x18, 0x4C, 0x46, 0x38, 0x08})},
        // 256, 97, 258, 257: code 258 is read in the step that enters it (KwKwK).
        {"aaa", bytes({0x80, 0x18, 0x60, 0x50, 0x10})},
        // 256, 97, 258, 259, 257: the same twice over.
        {"aaaaaa", bytes({0x80, 0x18, 0x60, 0x50, 0x38, 0x08})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Compressing::Encode(c.data), c.stream) << c.data;
        EXPECT_EQ(Compressing::Decode(c.stream), c.data) << c.data;
    }
}

// A dictionary filled up: the coder enters code 4095 while writing the 3838th code after the
// clear code, then writes the clear code with 13 bits and starts again at 9 bits.
TEST(Compressing, ClearCodeOfThirteenBitsAfterCode4095) {
    const std::string data = distinctPairs(3840);
    const std::string stream = Compressing::Encode(data);
    // The clear code, then 254 codes of 9 bits, 512 of 10, 1024 of 11 and 2048 of 12.
    const std::size_t clearAt = 9 + 254 * 9 + 512 * 10 + 1024 * 11 + 2048 * 12;
    EXPECT_EQ(bitsAt(stream, 0, 9), 256u);
    EXPECT_EQ(bitsAt(stream, 9 + 253 * 9, 9), static_cast<unsigned char>(data[253]));
    EXPECT_EQ(bitsAt(stream, 9 + 254 * 9, 10), static_cast<unsigned char>(data[254]));
    EXPECT_EQ(bitsAt(stream, clearAt - 12, 12), static_cast<unsigned char>(data[3837]));
    EXPECT_EQ(bitsAt(stream, clearAt, 13), 256u);
    EXPECT_EQ(bitsAt(stream, clearAt + 13, 9), static_cast<unsigned char>(data[3838]));
    EXPECT_EQ(bitsAt(stream, clearAt + 22, 9), static_cast<unsigned char>(data[3839]));
    EXPECT_EQ(bitsAt(stream, clearAt + 31, 9), 257u);
    EXPECT_EQ(stream.size(), (clearAt + 40 + 7) / 8);
    EXPECT_EQ(Compressing::Decode(stream), data);
}

TEST(Compressing, MatchesTheTextbookCoderBitForBit) {
    for (const DataKind& kind : kDataKinds) {
        for (const std::size_t size : {1u, 2u, 300u, 2000u, 9000u, 40000u}) {
            const std::string data = kind.make(size);
            const std::string stream = Compressing::Encode(data);
            EXPECT_EQ(stream, pack(textbookEncode(data).codes)) << kind.name << ", " << size;
        }
    }
}

TEST(Compressing, RoundTripsAcrossWidthsAndClears) {
    std::vector<std::size_t> sizes;
    for (std::size_t size = 0; size <= 600; ++size)
        sizes.push_back(size);
    for (std::size_t size = 601; size < 1'000'000; size = size * 3 / 2 + 7)
        sizes.push_back(size);
    for (const DataKind& kind : kDataKinds) {
        const std::string all = kind.make(sizes.back());
        for (const std::size_t size : sizes) {
            const std::string data = all.substr(0, size);
            ASSERT_EQ(Compressing::Decode(Compressing::Encode(data)), data)
                << kind.name << ", " << size << " bytes";
        }
    }
}

// An item whose coding ends right after entry 510, 1022, 2046 or 4094: the coder writes its end
// code still at the old width, one bit narrower than the width the dictionary has reached
// when read back. Such items are stored and must expand.
TEST(Compressing, EndCodeAtTheOldWidth) {
    for (const DataKind& kind : kDataKinds) {
        const std::string all = kind.make(120'000);
        const std::vector<unsigned> entered = textbookEncode(all).entered;
        const auto firstClear = std::find(entered.begin(), entered.end(), 4095u);
        for (const unsigned lastEntry : {510u, 1022u, 2046u, 4094u}) {
            // The first such length, and the first after a clear code.
            std::vector<std::size_t> lengths;
            for (const auto from : {entered.begin(), firstClear}) {
                const auto at = std::find(from, entered.end(), lastEntry);
                if (at != entered.end())
                    lengths.push_back(static_cast<std::size_t>(at - entered.begin()) + 1);
            }
            // A byte repeated fills the dictionary slowly: 120 KB reach entry 510 only, once.
            const bool slow = std::string(kind.name) == "one repeated byte";
            EXPECT_EQ(lengths.size(), slow ? (lastEntry == 510 ? 1u : 0u) : 2u)
                << kind.name << ", last entry " << lastEntry;
            for (const std::size_t length : lengths) {
                const std::string data = all.substr(0, length);
                const TextbookCode expected = textbookEncode(data);
                ASSERT_EQ(expected.entered.back(), lastEntry);
                const std::string stream = Compressing::Encode(data);
                EXPECT_EQ(stream, pack(expected.codes));
                EXPECT_EQ(Compressing::Decode(stream), data)
                    << kind.name << ", last entry " << lastEntry << ", " << length << " bytes";
            }
        }
    }
}

TEST(Compressing, DamagedStreamsRaiseTheError) {
    // The codes of a dictionary filled up to code 4094, as the coder writes them just before
    // its 13-bit clear code.
    const std::string full = Compressing::Encode(distinctPairs(3840));
    const std::size_t clearAt = 9 + 254 * 9 + 512 * 10 + 1024 * 11 + 2048 * 12;
    const auto afterFullDictionary = [&](const std::vector<Code>& codes) {
        BitPacker packer;
        packer.copyBits(full, clearAt);
        packer.put(codes);
        return packer.bytes();
    };
    // The same prefix closed properly decodes, so each damaged case fails for its own reason.
    EXPECT_EQ(Compressing::Decode(afterFullDictionary({{256, 13}, {97, 9}, {257, 9}})),
              distinctPairs(3838) + "a");

    const struct {
        const char* what;
        std::string stream;
    } cases[] = {
        {"no leading clear code", pack({{97, 9}, {257, 9}})},
        {"only zero bytes", std::string(8, '\0')},
        {"a code beyond the dictionary", pack({{256, 9}, {97, 9}, {259, 9}, {257, 9}})},
        {"clear code then a string code", pack({{256, 9}, {258, 9}, {257, 9}})},
        {"clear code then the end code", pack({{256, 9}, {257, 9}})},
        {"two clear codes", pack({{256, 9}, {256, 9}, {97, 9}, {257, 9}})},
        {"a later clear code then a string code",
         pack({{256, 9}, {97, 9}, {98, 9}, {256, 9}, {258, 9}, {257, 9}})},
        {"no end code", pack({{256, 9}, {97, 9}, {98, 9}})},
        {"a clear code and nothing else", pack({{256, 9}})},
        {"a single byte", bytes({0x80})},
        {"a full dictionary without a clear code",
         afterFullDictionary({{97, 13}, {97, 13}, {257, 13}})},
        {"a 13-bit code beyond the dictionary", afterFullDictionary({{8191, 13}, {257, 13}})},
    };
    for (const auto& c : cases)
        expectDamaged(c.stream, c.what);
}

// A stored item cut short (a torn write, a short read) fails with the error or, where the cut
// leaves bits that read as an end code, gives the start of the item; never other bytes, never
// a crash.
TEST(Compressing, TruncatedStreams) {
    for (const std::string& data : {languageText(9000, 5), randomBytes(5000, 6)}) {
        const std::string stream = Compressing::Encode(data);
        for (std::size_t length = 0; length < stream.size(); ++length) {
            try {
                const std::string expanded = Compressing::Decode(stream.substr(0, length));
                EXPECT_EQ(expanded, data.substr(0, expanded.size())) << length;
            } catch (const Error& error) {
                EXPECT_EQ(error.key(), "IDS_COMPRESSERROR") << length;
            }
        }
    }
}

TEST(Compressing, ExpansionIsCapped) {
    for (const DataKind& kind : kDataKinds) {
        const std::string data = kind.make(50'000);
        const std::string stream = Compressing::Encode(data);
        EXPECT_EQ(Compressing::Decode(stream, data.size()), data) << kind.name;
        expectError(
            "IDS_EXPANDTOOLARGE", [&] { Compressing::Decode(stream, data.size() - 1); }, kind.name);
    }
    // A stream a few kilobytes long that expands to 8 MB stops at the cap.
    const std::string bomb = Compressing::Encode(std::string(8'000'000, '\0'));
    ASSERT_LT(bomb.size(), 10'000u);
    expectError(
        "IDS_EXPANDTOOLARGE", [&] { Compressing::Decode(bomb, 1'000'000); }, "8 MB of zeros");
}

TEST(Compressing, StreamFormsReadFromThePositionAndWriteAtTheOutputPosition) {
    const std::string data = languageText(5000, 7);
    MemoryStream source("header" + data);
    source.seek(6);
    MemoryStream coded("item:");
    coded.seek(5);
    Compressing::Encode(source, coded);
    EXPECT_EQ(source.remaining(), 0u);
    EXPECT_EQ(coded.bytes(), "item:" + Compressing::Encode(data));

    coded.seek(5);
    MemoryStream expanded("old");
    expanded.seek(3);
    Compressing::Decode(coded, expanded);
    EXPECT_EQ(coded.remaining(), 0u);
    EXPECT_EQ(expanded.bytes(), "old" + data);

    // A stream read to its end codes to nothing.
    MemoryStream empty;
    Compressing::Encode(source, empty);
    EXPECT_EQ(empty.size(), 0u);
}

} // namespace
} // namespace kalydor
