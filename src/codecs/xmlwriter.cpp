#include "codecs/xmlwriter.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "base/safefilewriter.h"
#include "base/textencoding.h"
#include "codecs/xmlencoding_p.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace kalydor {
namespace {

// Code points of the ISO-8859-2 bytes 0xA0 to 0xFF (0x80 to 0x9F are the C1 controls).
constexpr std::array<char16_t, 96> kIso88592High = {
    0x00A0, 0x0104, 0x02D8, 0x0141, 0x00A4, 0x013D, 0x015A, 0x00A7, 0x00A8, 0x0160, 0x015E, 0x0164,
    0x0179, 0x00AD, 0x017D, 0x017B, 0x00B0, 0x0105, 0x02DB, 0x0142, 0x00B4, 0x013E, 0x015B, 0x02C7,
    0x00B8, 0x0161, 0x015F, 0x0165, 0x017A, 0x02DD, 0x017E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102,
    0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170,
    0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3,
    0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// The byte of a character that Windows-1250 and ISO-8859-2 both give the same meaning, or 0.
// Every such character lies below U+02E0.
class SharedCodePage {
public:
    SharedCodePage() {
        for (std::size_t i = 0; i < kIso88592High.size(); ++i) {
            const char32_t cp = kIso88592High[i];
            if (windows1250ByteOf(cp) == static_cast<int>(0xA0 + i))
                m_byteOf[cp] = static_cast<unsigned char>(0xA0 + i);
        }
    }
    unsigned char byteOf(char32_t cp) const { return cp < m_byteOf.size() ? m_byteOf[cp] : 0; }

private:
    std::array<unsigned char, 0x2E0> m_byteOf{};
};

const SharedCodePage& sharedCodePage() {
    static const SharedCodePage table;
    return table;
}

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// Characters XML 1.0 does not allow anywhere, not even as references.
bool isForbiddenInXml(char32_t cp) {
    return (cp < 0x20 && cp != '\t' && cp != '\n' && cp != '\r') || cp == 0xFFFE || cp == 0xFFFF;
}

// ASCII that goes into every document as it is.
bool isPlainAscii(unsigned char c) {
    return (c >= 0x20 && c < 0x80) || c == '\t' || c == '\n' || c == '\r';
}

void appendReference(std::string& out, char32_t cp) {
    out += "&#";
    out += std::to_string(static_cast<std::uint32_t>(cp));
    out += ';';
}

// Element content: "&" and "<" are escaped, and the ">" of a "]]>" (which would end a CDATA
// section that does not exist).
std::string escapeContent(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 8);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>' && i >= 2 && value[i - 1] == ']' && value[i - 2] == ']')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

// Attribute values also escape the double quote that delimits them, and keep tab and line
// breaks as references: a reader turns literal ones into spaces.
std::string escapeAttribute(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 8);
    for (const char c : value) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

XmlWriter::Charset charsetOf(std::string_view label) {
    if (xmlencoding::isUtf8(label))
        return XmlWriter::Charset::Utf8;
    if (xmlencoding::isIso88592(label))
        return XmlWriter::Charset::Iso88592;
    return XmlWriter::Charset::Ascii;
}

std::string attribute(std::string_view name, std::string_view text) {
    std::string out;
    out.reserve(name.size() + text.size() + 4);
    out += name;
    out += "=\"";
    out += text;
    out += "\" ";
    return out;
}

} // namespace

XmlWriter::XmlWriter(const std::string& fileName, std::string root, std::string encoding)
    : m_root(std::move(root))
    , m_fileName(fileName)
    , m_encoding(std::move(encoding))
    , m_charset(charsetOf(m_encoding)) {
    if (!m_fileName.empty())
        m_file = std::make_unique<SafeFileWriter>(m_fileName);
    putAscii("<?xml version=\"1.0\" encoding=\"");
    put(m_encoding);
    putAscii("\" ?>");
    putAscii(kCrLf);
    putAscii("<");
    put(m_root);
    putAscii(">");
    putAscii(kCrLf);
}

XmlWriter::~XmlWriter() = default;

void XmlWriter::WriteRaw(std::string_view text) {
    requireOpen();
    put(text);
}

void XmlWriter::WriteElement(std::string_view tag, std::string_view attributes,
                             std::string_view value, ElementEnd end, ValueQuotes quotes) {
    requireOpen();
    putAscii("<");
    put(tag);
    if (!attributes.empty()) {
        putAscii(" ");
        put(attributes);
    }
    putAscii(">");
    if (quotes == ValueQuotes::Double)
        putAscii("\"");
    if (value.find_first_of("&<>") == std::string_view::npos)
        put(value);
    else
        put(escapeContent(value));
    if (quotes == ValueQuotes::Double)
        putAscii("\"");
    if (end == ElementEnd::EndTag)
        WriteEndTag(tag);
}

void XmlWriter::WriteEndTag(std::string_view tag) {
    requireOpen();
    putAscii("</");
    put(tag);
    putAscii(">");
}

void XmlWriter::WriteEncoded(std::string_view bytes) {
    requireOpen();
    putAscii(bytes);
}

void XmlWriter::Finish() {
    requireOpen();
    putAscii(kCrLf);
    putAscii(kCrLf);
    WriteEndTag(m_root);
    putAscii(kCrLf);
    m_finished = true;
    if (!m_file) {
        m_memory.seek(0);
        return;
    }
    m_file->commit();
}

std::string XmlWriter::RealAttribute(std::string_view name, double value, int precision,
                                     int digits) {
    return attribute(name, formatGeneral(value, precision, digits));
}

std::string XmlWriter::IntAttribute(std::string_view name, std::int64_t value) {
    return attribute(name, std::to_string(value));
}

std::string XmlWriter::TextAttribute(std::string_view name, std::string_view value) {
    return attribute(name, escapeAttribute(value));
}

// Markup of our own: ASCII, written as it is. A write that fails ends the document: the
// temporary file is gone and nothing more may be written.
void XmlWriter::putAscii(std::string_view ascii) {
    if (!m_file) {
        m_memory.write(ascii);
        return;
    }
    try {
        m_file->write(ascii);
    } catch (...) {
        m_finished = true;
        throw;
    }
}

// A text piece in the document's encoding. Plain ASCII runs go out as they are; a character
// XML does not allow (a control character, or a broken UTF-8 sequence) becomes U+FFFD.
void XmlWriter::put(std::string_view utf8) {
    if (std::all_of(utf8.begin(), utf8.end(),
                    [](char c) { return isPlainAscii(static_cast<unsigned char>(c)); })) {
        putAscii(utf8);
        return;
    }
    std::string out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t run = pos;
        while (run < utf8.size() && isPlainAscii(static_cast<unsigned char>(utf8[run])))
            ++run;
        out.append(utf8.substr(pos, run - pos));
        pos = run;
        if (pos == utf8.size())
            break;
        const std::size_t start = pos;
        char32_t cp = nextCodePoint(utf8, pos);
        const bool broken = cp == 0xFFFD && pos - start == 1;
        if (broken || isForbiddenInXml(cp))
            cp = 0xFFFD;
        switch (m_charset) {
        case Charset::Utf8:
            if (cp == 0xFFFD)
                out += kReplacementUtf8;
            else
                out.append(utf8.substr(start, pos - start));
            break;
        case Charset::Iso88592:
            if (const unsigned char byte = sharedCodePage().byteOf(cp))
                out += static_cast<char>(byte);
            else
                appendReference(out, cp);
            break;
        case Charset::Ascii:
            appendReference(out, cp);
            break;
        }
    }
    putAscii(out);
}

void XmlWriter::requireOpen() const {
    if (m_finished)
        throw std::logic_error("XML document " + m_root + " written after Finish");
}

} // namespace kalydor
