#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kalydor {

/// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view bytes);

/// Decodes Windows-1250 bytes into UTF-8. Undefined code points become U+FFFD.
std::string windows1250ToUtf8(std::string_view bytes);

/// Stored and imported texts: kept as they are when they are valid UTF-8, otherwise read as
/// the Windows-1250 bytes older installations wrote.
std::string textFromStoredBytes(std::string_view bytes);

/// The Windows-1250 byte of a code point, or -1 when the code page has none.
int windows1250ByteOf(char32_t codePoint);

/// Number of code points of a UTF-8 text (invalid bytes count one each).
std::size_t codePointCount(std::string_view utf8);

/// Decodes the code point at position pos of a UTF-8 text and advances pos. An invalid
/// sequence yields U+FFFD and advances by one byte.
char32_t nextCodePoint(std::string_view utf8, std::size_t& pos);

/// Appends the UTF-8 form of a code point.
void appendUtf8(std::string& out, char32_t codePoint);

/// The first maxCodePoints code points of a UTF-8 text.
std::string leftCodePoints(std::string_view utf8, std::size_t maxCodePoints);

/// Longest text quoted whole in a message; a longer one is cut.
inline constexpr std::size_t kMaxQuotedLength = 80;
/// A text as a message quotes it (a name, a key, a value someone typed): whole when it has at
/// most `maxCodePoints` characters, otherwise its first `maxCodePoints` followed by "…".
std::string quotedExcerpt(std::string_view utf8, std::size_t maxCodePoints = kMaxQuotedLength);

} // namespace kalydor
