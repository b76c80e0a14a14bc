#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kalydor {

/// The largest XML document the reader takes: the biggest documents of the system (device
/// database sources, expanded language files) are a small fraction of it.
inline constexpr std::size_t kMaxXmlDocumentSize = 256u * 1024 * 1024;

/// The most attributes one element may carry. The system's elements have a few dozen; the
/// limit keeps libxml2's duplicate-attribute check, which grows with the square of the count,
/// from stalling on a crafted document.
inline constexpr std::size_t kMaxXmlAttributes = 256;

/// What one `Scan` step delivered. Comments and processing instructions are `Other`.
enum class XmlPart { StartTag, EmptyElementTag, EndTag, Content, Other };

/// The event-style reader of every XML document of the system, built on libxml2's push
/// parser. Every declared encoding arrives as UTF-8; a document declared "ISO-8859-2" is read
/// as Windows-1250, which older installations wrote under that label; a document without an
/// encoding declaration that is not valid UTF-8 is read as Windows-1250 as well.
///
/// A malformed document delivers every part before the fault and then ends; `EndedOnError`
/// tells it apart from a complete one. External entities, DTDs and the network are never
/// loaded; a document that declares entities is refused (it ends on an error before its first
/// part), so entity expansion cannot blow up.
class XmlReader {
public:
    XmlReader();
    ~XmlReader();
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    /// Reads the file; false when it cannot be read or is larger than `MaxDocumentSize`
    /// (`ErrorText` says why). A malformed document still loads: the scan finds the fault.
    bool LoadFromFile(const std::string& fileName);
    /// Takes the document from memory; `sourceName` is what `FileName` reports.
    bool LoadFromBuffer(std::string bytes, std::string sourceName = {});

    /// With normalisation, content has its white space trimmed and inner runs turned into one
    /// space, and content that becomes empty is not reported. Attribute values are never
    /// normalised beyond what XML itself does.
    bool Normalize = true;
    /// Documents above this size are refused by the loaders.
    std::size_t MaxDocumentSize = kMaxXmlDocumentSize;

    /// Starts (or restarts) the scan at the beginning of the loaded document.
    void StartScan();
    /// Steps to the next part; false at the end of the document or after a fault. Starts the
    /// scan when `StartScan` was not called.
    bool Scan();

    /// The current part; `Other` before the first and after the last part.
    XmlPart CurPartType() const;
    /// For a tag its name (with its prefix, as written); for content the name of the last tag
    /// scanned before it, also when that was an end tag; for a processing instruction its
    /// target; empty for a comment.
    const std::string& CurName() const;
    /// For content the text with references replaced (adjacent text and CDATA sections are one
    /// part); for a comment or a processing instruction its text.
    const std::string& CurContent() const;
    /// The value of an attribute of the current start or empty-element tag, references
    /// replaced; empty when the attribute is missing or the part is no such tag.
    std::string CurAttr(std::string_view name) const;

    /// The loaded file's name, or the source name given with the buffer.
    const std::string& FileName() const;
    /// True when the scan ended on a malformed or refused document (or nothing could be
    /// loaded).
    bool EndedOnError() const;
    /// libxml2's message with line and column of the first fault, or the reason a document
    /// was refused; empty when there is none.
    std::string ErrorText() const;

private:
    class Scanner;
    std::unique_ptr<Scanner> m_scanner;
};

} // namespace kalydor
