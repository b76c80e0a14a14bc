#include "reports/textdocument.h"

#include "base/resources.h"
#include "base/textencoding.h"
#include "base/textlookup.h"

namespace kalydor {

std::string escapeRtfSpecials(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\\' || c == '{' || c == '}')
            out += '\\';
        out += c;
    }
    return out;
}

namespace {

void appendRtfCodeUnit(std::string& rtf, unsigned unit) {
    // RTF reads the number of "\u" as a signed 16-bit value; "?" stands in for readers
    // without Unicode.
    const int value = unit > 0x7FFF ? int(unit) - 0x10000 : int(unit);
    rtf += "\\u";
    rtf += std::to_string(value);
    rtf += '?';
}

} // namespace

void appendRtfUnicode(std::string& rtf, std::string_view utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const unsigned char byte = static_cast<unsigned char>(utf8[pos]);
        if (byte < 0x80) {
            rtf += char(byte);
            ++pos;
            continue;
        }
        const char32_t c = nextCodePoint(utf8, pos);
        if (c > 0xFFFF) {
            const char32_t v = c - 0x10000;
            appendRtfCodeUnit(rtf, 0xD800 + (v >> 10));
            appendRtfCodeUnit(rtf, 0xDC00 + (v & 0x3FF));
        } else {
            appendRtfCodeUnit(rtf, c);
        }
    }
}

TextDocument::TextDocument(const TextLookup& languages, TextStreamKind kind)
    : m_languages(languages)
    , m_kind(kind) {}

std::string TextDocument::Escape(std::string_view text) const {
    if (!EscapeFlag)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

void TextDocument::Write(std::string_view text) {
    if (m_kind == TextStreamKind::Rtf)
        appendRtfUnicode(m_text, text);
    else
        m_text.append(text);
}

void TextDocument::writeFormatted(const std::string& format, TextArgs args) {
    if (format.empty())
        return;
    if (m_kind == TextStreamKind::Rtf) {
        for (TextArg& arg : args) {
            if (auto* text = std::get_if<std::string>(&arg))
                *text = escapeRtfSpecials(*text);
        }
    }
    Write(formatText(format, args, DecimalSeparator));
}

void TextDocument::WriteStringTableText(int n) {
    Write(m_languages.stringTableText(n));
}

void TextDocument::PrintfText(int n, const std::string& value) {
    writeFormatted(m_languages.stringTableText(n), {value});
}

void TextDocument::PrintfReal(int n, double value, bool condition) {
    if (condition)
        writeFormatted(m_languages.stringTableText(n), {value});
}

void TextDocument::PrintfReals(int n, double first, double second, bool condition) {
    if (condition)
        writeFormatted(m_languages.stringTableText(n), {first, second});
}

void TextDocument::PrintfInt(int n, std::int16_t value, bool condition) {
    if (condition)
        writeFormatted(m_languages.stringTableText(n), {std::int64_t(value)});
}

void TextDocument::PrintfKeyText(std::string_view key, const std::string& value) {
    writeFormatted(m_languages.getText(key), {value});
}

void TextDocument::PrintfKeyReal(std::string_view key, double value, bool condition) {
    if (condition)
        writeFormatted(m_languages.getText(key), {value});
}

void TextDocument::WriteKeyText(std::string_view key, bool condition) {
    if (condition)
        Write(m_languages.getText(key));
}

} // namespace kalydor
