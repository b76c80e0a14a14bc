#pragma once

#include "base/memorystream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kalydor {

class SafeFileWriter;

/// The encoding label of the exchange files, the settings file and the device database.
inline constexpr std::string_view kExchangeXmlEncoding = "ISO-8859-2";

/// Whether `WriteElement` closes the element with its end tag on the same line.
enum class ElementEnd { Open, EndTag };
/// Whether `WriteElement` puts the value between double quotes.
enum class ValueQuotes { None, Double };

/// The writer of every XML document of the system. On creation it writes the declaration and
/// the root's start tag, each followed by CR LF; `Finish` closes the root. Text pieces (element
/// values, attribute values, raw text) are UTF-8 inside the program and are written in the
/// document's encoding: as UTF-8 under "UTF-8"; under "ISO-8859-2" a character is a raw byte
/// only where Windows-1250 and ISO-8859-2 agree on it and a numeric character reference
/// otherwise, so the file reads the same under either code page; under any other label every
/// non-ASCII character is a reference.
///
/// A file document is written through a SafeFileWriter: into a temporary file beside the
/// target, which `Finish` renames over it, so an export that fails or is abandoned leaves the
/// old file as it was; links are followed and a target that is no regular file is refused.
class XmlWriter {
public:
    /// A document with the root element `root`, written to `fileName`, or kept in memory when
    /// the file name is empty. Raises kalydor::Error ("IDS_FILEWRITEERROR",
    /// "IDS_FILENOTREGULAR") when the file cannot be created.
    XmlWriter(const std::string& fileName, std::string root,
              std::string encoding = std::string(kExchangeXmlEncoding));
    /// An unfinished file document is discarded; the target file keeps its old content.
    ~XmlWriter();
    XmlWriter(const XmlWriter&) = delete;
    XmlWriter& operator=(const XmlWriter&) = delete;

    /// The text unchanged (converted to the document's encoding): line breaks, indentation.
    void WriteRaw(std::string_view text);
    /// "<" tag, a space and the attribute text when that is not empty, ">", then the value with
    /// "&" written as "&amp;" and "<" as "&lt;" (between double quotes when asked), then the
    /// end tag when asked. A "]]>" in the value is written "]]&gt;", as XML requires.
    void WriteElement(std::string_view tag, std::string_view attributes, std::string_view value,
                      ElementEnd end = ElementEnd::EndTag, ValueQuotes quotes = ValueQuotes::None);
    /// "</" tag ">".
    void WriteEndTag(std::string_view tag);
    /// Bytes already in the document's encoding, as another writer with the same encoding
    /// produced them (an item written into a memory document first).
    void WriteEncoded(std::string_view bytes);
    /// CR LF, CR LF, the root's end tag, CR LF. A file document then replaces its target (raises
    /// kalydor::Error "IDS_FILEWRITEERROR" when that fails); a memory document is rewound for
    /// reading. Writing after `Finish` is a programming error (std::logic_error).
    void Finish();

    /// `name="value" ` with the value in the general number format of the given precision and
    /// exponent digits.
    static std::string RealAttribute(std::string_view name, double value, int precision,
                                     int digits);
    /// `name="value" ` with the decimal value.
    static std::string IntAttribute(std::string_view name, std::int64_t value);
    /// `name="value" ` with "&", "<" and the double quote escaped, and tab, line feed and
    /// carriage return written as character references so that a reader gets them back.
    static std::string TextAttribute(std::string_view name, std::string_view value);

    const std::string& Root() const { return m_root; }
    const std::string& FileName() const { return m_fileName; }
    const std::string& Encoding() const { return m_encoding; }
    bool Finished() const { return m_finished; }

    /// The memory document (empty for a file document); after `Finish` positioned at its start.
    MemoryStream& stream() { return m_memory; }
    const std::string& bytes() const { return m_memory.bytes(); }

    /// How text pieces are turned into bytes.
    enum class Charset { Utf8, Iso88592, Ascii };

private:
    void put(std::string_view utf8);
    void putAscii(std::string_view ascii);
    void requireOpen() const;

    std::string m_root;
    std::string m_fileName;
    std::string m_encoding;
    Charset m_charset = Charset::Utf8;
    bool m_finished = false;

    MemoryStream m_memory;
    std::unique_ptr<SafeFileWriter> m_file; ///< file documents only
};

} // namespace kalydor
