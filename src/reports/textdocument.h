#pragma once

#include "base/error.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kalydor {

class TextLookup;

/// How a text stream writes what it is given.
enum class TextStreamKind {
    /// UTF-8 text as it is (the plain-text copy, the text exchange files).
    PlainText,
    /// Rich text: the "%s" arguments of formatted writes are user data and get "\", "{" and
    /// "}" escaped; every non-ASCII character written is turned into "\uN?".
    Rtf,
};

/// A growing text buffer that formats values through printf-style formats taken from the
/// program's string table or the language tables. Formatted pieces may be of any length.
///
/// Formats come from files the user may edit: a format that does not fit its arguments (a
/// lone "%", "%d" where a text comes) is written unformatted instead, and a format missing
/// from its table writes nothing.
class TextDocument {
public:
    explicit TextDocument(const TextLookup& languages,
                          TextStreamKind kind = TextStreamKind::PlainText);

    TextStreamKind kind() const { return m_kind; }
    const std::string& text() const { return m_text; }
    bool empty() const { return m_text.empty(); }
    std::size_t size() const { return m_text.size(); }
    void clear() { m_text.clear(); }
    std::string takeText() { return std::move(m_text); }

    /// When set, Escape puts a backslash before each double quote and each backslash (text
    /// exchange files quote their strings this way).
    bool EscapeFlag = false;
    /// The decimal separator of the real numbers of formatted writes: a report takes its
    /// language's, files keep ".".
    char DecimalSeparator = '.';
    /// The text escaped for a quoted field when EscapeFlag is set, otherwise unchanged.
    std::string Escape(std::string_view text) const;

    /// Appends text as it stands (rich text: non-ASCII characters still become "\uN?").
    void Write(std::string_view text);
    /// Appends the text when the condition holds.
    void WriteIf(std::string_view text, bool condition) {
        if (condition)
            Write(text);
    }

    /// String-table entry n with its placeholders replaced.
    void WriteStringTableText(int n);
    /// String-table entry n as a printf format with one text.
    void PrintfText(int n, const std::string& value);
    /// String-table entry n with one real, written only when the condition holds.
    void PrintfReal(int n, double value, bool condition = true);
    /// String-table entry n with two reals, written only when the condition holds.
    void PrintfReals(int n, double first, double second, bool condition = true);
    /// String-table entry n with one 16-bit integer, written only when the condition holds.
    void PrintfInt(int n, std::int16_t value, bool condition = true);

    /// The language text of a key as a printf format with one text.
    void PrintfKeyText(std::string_view key, const std::string& value);
    /// The language text of a key with one real, written only when the condition holds.
    void PrintfKeyReal(std::string_view key, double value, bool condition = true);
    /// The language text of a key, written only when the condition holds.
    void WriteKeyText(std::string_view key, bool condition = true);

    const TextLookup& languages() const { return m_languages; }

private:
    void writeFormatted(const std::string& format, TextArgs args);

    const TextLookup& m_languages;
    TextStreamKind m_kind;
    std::string m_text;
};

/// The text with "\", "{" and "}" preceded by a backslash, so that it reads as plain text
/// inside rich text.
std::string escapeRtfSpecials(std::string_view text);

/// Appends UTF-8 text to rich text: ASCII as it is, every other character as "\uN?" with N
/// the UTF-16 code unit as a signed 16-bit number (a surrogate pair beyond U+FFFF).
void appendRtfUnicode(std::string& rtf, std::string_view utf8);

} // namespace kalydor
