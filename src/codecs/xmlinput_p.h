#pragma once

// What the XML reader does to a document's bytes before libxml2 sees them: they are turned
// into UTF-8, and the attributes of every start tag are counted.

#include <array>
#include <cstddef>
#include <iconv.h>
#include <string>
#include <string_view>

namespace kalydor::xmlinput {

/// The value of the encoding pseudo-attribute of the XML declaration at the start of an
/// ASCII-compatible document, or "" when there is no declaration or it names no encoding.
std::string_view declaredEncoding(std::string_view document);

/// Turns a document into UTF-8 piece by piece, so that libxml2 (and the attribute count) only
/// ever see UTF-8. UTF-8 documents pass unchanged; a document declared ISO-8859-2 or
/// Windows-1250, or one that declares nothing and is not valid UTF-8, is read as Windows-1250
/// (older installations wrote Windows-1250 bytes under the ISO-8859-2 label); UTF-16 and
/// UCS-4 documents (told by their first bytes) and every other declared encoding go through
/// iconv.
class Utf8Transcoder {
public:
    Utf8Transcoder() = default;
    ~Utf8Transcoder();
    Utf8Transcoder(const Utf8Transcoder&) = delete;
    Utf8Transcoder& operator=(const Utf8Transcoder&) = delete;

    /// Chooses the conversion for the document; false (with the reason) when its encoding is
    /// not supported.
    bool open(std::string_view document, std::string& error);
    /// True when the bytes are converted, so that libxml2 must ignore the declared encoding.
    bool converts() const { return m_mode != Mode::Utf8; }
    /// Converts the next piece (`last` for the final one); `out` views the UTF-8, valid until
    /// the next call. False at bytes that are not valid in the encoding: `out` then holds what
    /// came before them and `error` says what is wrong.
    bool convert(std::string_view piece, bool last, std::string_view& out, std::string& error);

private:
    enum class Mode { Utf8, Windows1250, Iconv };
    bool openIconv(const std::string& encoding, std::string& error);
    bool convertIconv(std::string_view piece, bool last, std::string& error);

    Mode m_mode = Mode::Utf8;
    iconv_t m_iconv = reinterpret_cast<iconv_t>(-1);
    std::string m_encoding;
    std::size_t m_skip = 0; // a byte-order mark iconv would keep
    std::string m_carry;    // an incomplete character at the end of the last piece
    std::string m_joined;
    std::string m_buffer;
    std::array<std::string, 128> m_windows1250High;
};

/// Counts the attributes of every start tag in UTF-8 text, following just enough of the
/// syntax (quotes, comments, CDATA sections, processing instructions, the document type
/// declaration) to know where tags are. libxml2's check for repeated attributes grows with the
/// square of their number, so a crafted element with a hundred thousand of them stalls it for
/// minutes; the reader refuses such an element before libxml2 sees it.
class AttributeGuard {
public:
    explicit AttributeGuard(std::size_t maxAttributes)
        : m_maxAttributes(maxAttributes) {}

    /// Checks the next piece; `offset` is the number of bytes before it. Returns the offset of
    /// the "<" of the first tag with more than the allowed attributes, or npos.
    std::size_t check(std::string_view piece, std::size_t offset);

private:
    enum class State {
        Text,
        Open,
        Bang,
        BangDash,
        Comment,
        CData,
        Pi,
        EndTag,
        Tag,
        TagQuote,
        DocType,
        MarkupDecl,
        DeclQuote,
        Subset,
        SubsetOpen,
    };

    void begin(State state) {
        m_state = state;
        m_run = 0;
    }

    std::size_t m_maxAttributes;
    State m_state = State::Text;
    State m_return = State::Text;
    bool m_inSubset = false;
    char m_quote = 0;
    int m_run = 0;
    std::size_t m_attributes = 0;
    std::size_t m_tagStart = 0;
};

} // namespace kalydor::xmlinput
