#include "base/error.h"
#include "store/itemstream.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "support/bytes.h"

namespace kalydor {
namespace {

using test::bytes;

void expectDataReadError(const std::function<void()>& read) {
    try {
        read();
        ADD_FAILURE() << "the read did not fail";
    } catch (const Error& error) {
        EXPECT_EQ(error.key(), "IDS_DATAREADERROR");
    }
}

TEST(CountedString, ByteExactEncoding) {
    const struct {
        std::string text;
        std::string encoded;
    } cases[] = {
        {"abc", bytes({0x04, 0x00, 'a', 'b', 'c', 0x00})},
        {"", bytes({0x01, 0x00, 0x00})},
        {"ő", bytes({0x03, 0x00, 0xC5, 0x91, 0x00})}, // UTF-8 bytes are counted, not letters
    };
    for (const auto& c : cases) {
        MemoryStream out;
        WriteString(out, c.text);
        EXPECT_EQ(out.bytes(), c.encoded) << c.text;
        MemoryStream in(c.encoded);
        EXPECT_EQ(ReadString(in), c.text);
        EXPECT_EQ(in.remaining(), 0u);
    }
}

TEST(CountedString, ReadingDamagedOrOldData) {
    // Ends right after the length word.
    expectDataReadError([] {
        MemoryStream s(bytes({0x04, 0x00}));
        ReadString(s);
    });
    // Length longer than the bytes that remain: nothing is allocated or read past the end.
    expectDataReadError([] {
        MemoryStream s(bytes({0xFF, 0x7F, 'a'}));
        ReadString(s);
    });
    // A length word of 0 or below is no counted string.
    for (const auto& damaged : {bytes({0x00, 0x00}), bytes({0xFF, 0xFF, 0x00})}) {
        expectDataReadError([&] {
            MemoryStream s(damaged);
            ReadString(s);
        });
    }
    // The text ends at its first NUL; bytes that are not UTF-8 are Windows-1250.
    MemoryStream early(bytes({0x05, 0x00, 'a', 0x00, 'b', 'c', 0x00}));
    EXPECT_EQ(ReadString(early), "a");
    EXPECT_EQ(early.remaining(), 0u);
    MemoryStream old(bytes({0x05, 0x00, 'F', 0xE1, 'l', 0x00, 0x00}));
    EXPECT_EQ(ReadString(old), "Fál");
}

TEST(CountedString, WritingRefusesATextItsLengthWordCannotHold) {
    MemoryStream out;
    WriteString(out, std::string(kMaxCountedStringBytes, 'x'));
    MemoryStream in(out.bytes());
    EXPECT_EQ(ReadString(in).size(), kMaxCountedStringBytes);

    MemoryStream tooLong;
    EXPECT_THROW(WriteString(tooLong, std::string(kMaxCountedStringBytes + 1, 'x')), Error);
}

TEST(StringList, LinesSplitAtAnyLineBreakWithoutATrailingEmptyLine) {
    MemoryStream out;
    WriteLines(out, {"first", "", "third"});
    EXPECT_EQ(out.bytes(), bytes({0x11, 0x00}) + "first\r\n\r\nthird\r\n" + std::string(1, '\0'));
    MemoryStream in(out.bytes());
    EXPECT_EQ(ReadLines(in), (StringList{"first", "", "third"}));

    const struct {
        const char* text;
        StringList lines;
    } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"", {}},
        {"\r\n", {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitLines(c.text), c.lines) << c.text;

    // Saving a list read back adds no line, however often it is done.
    StringList lines = {"x", "y"};
    for (int round = 0; round < 3; ++round) {
        MemoryStream s;
        WriteLines(s, lines);
        s.seek(0);
        lines = ReadLines(s);
    }
    EXPECT_EQ(lines, (StringList{"x", "y"}));
}

TEST(Numbers, LittleEndianAndBitExactFloats) {
    MemoryStream out;
    writeInt16(out, -2);
    writeInt32(out, 0x01020304);
    writeFlag(out, true);
    const float nan = std::bit_cast<float>(0x7FC01234u); // a NaN with a payload
    writeFloat(out, 20.5f);
    writeFloat(out, nan);
    EXPECT_EQ(out.bytes().substr(0, 7), bytes({0xFE, 0xFF, 0x04, 0x03, 0x02, 0x01, 0x01}));

    MemoryStream in(out.bytes());
    EXPECT_EQ(readInt16(in), -2);
    EXPECT_EQ(readInt32(in), 0x01020304);
    EXPECT_TRUE(readFlag(in));
    EXPECT_EQ(readFloat(in), 20.5f);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(readFloat(in)), 0x7FC01234u);

    // The whole value must be there, not just its first byte.
    expectDataReadError([] {
        MemoryStream s(bytes({1, 2, 3}));
        readInt32(s);
    });
    expectDataReadError([] {
        MemoryStream s(bytes({1}));
        readInt16(s);
    });
    expectDataReadError([] {
        MemoryStream s;
        readFlag(s);
    });
}

TEST(Chunks, LengthsArePatchedAndChecked) {
    MemoryStream out;
    const std::size_t at = beginChunk(out, 3);
    out.write("0123456789", 10);
    endChunk(out, at);
    writeChunkEnd(out);
    EXPECT_EQ(out.bytes(), bytes({0x03, 0x00, 0x0A, 0x00}) + "0123456789" + bytes({0, 0}));

    MemoryStream in(out.bytes());
    ChunkHeader header;
    ASSERT_TRUE(readChunkHeader(in, header));
    EXPECT_EQ(header.tag, 3);
    EXPECT_EQ(header.length, 10);
    skipChunk(in, header);
    EXPECT_FALSE(readChunkHeader(in, header));

    // A length beyond the bytes that remain is damaged data, never a long read.
    expectDataReadError([] {
        MemoryStream s(bytes({0x01, 0x00, 0xFF, 0xFF, 'a'}));
        ChunkHeader h;
        readChunkHeader(s, h);
    });
    // The length word is unsigned: a payload of 40000 bytes is read back as such.
    MemoryStream big;
    const std::size_t bigAt = beginChunk(big, 2);
    big.write(std::string(40000, 'b'));
    endChunk(big, bigAt);
    MemoryStream bigIn(big.bytes());
    ASSERT_TRUE(readChunkHeader(bigIn, header));
    EXPECT_EQ(header.length, 40000);

    // A payload the length word cannot hold is refused, not wrapped.
    MemoryStream huge;
    const std::size_t hugeAt = beginChunk(huge, 2);
    huge.write(std::string(kMaxChunkPayload + 1, 'h'));
    EXPECT_THROW(endChunk(huge, hugeAt), Error);
}

} // namespace
} // namespace kalydor
