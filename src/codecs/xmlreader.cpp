#include "codecs/xmlreader.h"

#include "codecs/xmlinput_p.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kalydor {
namespace {

// The document goes to libxml2 in pieces of this size, and Scan asks for the next piece only
// when the parts of the last one are used up: the parts waiting in memory stay few.
constexpr std::size_t kChunkSize = 64 * 1024;

bool isXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Trims XML white space and turns inner runs of it into one space.
void normalizeSpace(const std::string& text, std::string& out) {
    out.clear();
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && isXmlSpace(text[pos]))
            ++pos;
        std::size_t end = pos;
        while (end < text.size() && !isXmlSpace(text[end]))
            ++end;
        if (end == pos)
            break;
        if (!out.empty())
            out += ' ';
        out.append(text, pos, end - pos);
        pos = end;
    }
}

// libxml2 hands attribute values to a SAX reader with every "&" written as "&#38;" (so that
// a tree builder can re-read them); every "&" it gives starts such a reference.
void appendAttributeValue(std::string& out, const xmlChar* begin, const xmlChar* end) {
    const std::string_view value(reinterpret_cast<const char*>(begin),
                                 static_cast<std::size_t>(end - begin));
    if (value.find('&') == std::string_view::npos) {
        out.assign(value);
        return;
    }
    out.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        out += value[i];
        if (value[i] == '&' && value.substr(i, 5) == "&#38;")
            i += 4;
    }
}

void appendQualifiedName(std::string& out, const xmlChar* prefix, const xmlChar* localName) {
    out.clear();
    if (prefix != nullptr) {
        out += reinterpret_cast<const char*>(prefix);
        out += ':';
    }
    out += reinterpret_cast<const char*>(localName);
}

struct Attribute {
    std::string name;
    std::string value;
};

// One part as Scan delivers it. Parts are kept in a pool and reused, so that their strings
// keep their capacity from one piece of the document to the next.
struct Part {
    XmlPart type = XmlPart::Other;
    std::string name;
    std::string content;
    std::vector<Attribute> attributes;
    std::size_t attributeCount = 0;

    Attribute& addAttribute() {
        if (attributeCount == attributes.size())
            attributes.emplace_back();
        return attributes[attributeCount++];
    }
};

} // namespace

class XmlReader::Scanner {
public:
    ~Scanner() { release(); }

    bool load(std::string bytes, std::string sourceName, std::size_t maxSize) {
        release();
        m_fileName = std::move(sourceName);
        m_document.clear();
        m_loadError.clear();
        m_errorText.clear();
        m_started = false;
        m_finished = false;
        m_failed = false;
        m_current = &m_none;
        if (bytes.size() > maxSize) {
            m_loadError = "the document is larger than " + std::to_string(maxSize) + " bytes";
            return false;
        }
        m_document = std::move(bytes);
        return true;
    }

    bool failLoad(std::string sourceName, std::string reason) {
        load({}, std::move(sourceName), 0);
        m_loadError = std::move(reason);
        return false;
    }

    void start() {
        release();
        m_started = true;
        m_finished = false;
        m_failed = false;
        m_refused = false;
        m_outOfMemory = false;
        m_errorText.clear();
        m_fed = 0;
        m_partCount = 0;
        m_nextPart = 0;
        m_text.clear();
        m_lastTagName.clear();
        m_skipEnd = false;
        m_fedUtf8 = 0;
        m_linesFed = 0;
        m_transcoder = std::make_unique<xmlinput::Utf8Transcoder>();
        m_guard = std::make_unique<xmlinput::AttributeGuard>(kMaxXmlAttributes);
        m_current = &m_none;
        if (!m_loadError.empty()) {
            m_finished = true;
            m_failed = true;
            m_errorText = m_loadError;
            return;
        }
        std::string unsupported;
        if (!m_transcoder->open(m_document, unsupported)) {
            m_finished = true;
            m_failed = true;
            m_errorText = "line 1: " + unsupported;
            return;
        }
        static const xmlSAXHandler handler = makeHandler();
        m_context = xmlCreatePushParserCtxt(const_cast<xmlSAXHandler*>(&handler), this, nullptr, 0,
                                            nullptr);
        if (m_context == nullptr) {
            m_finished = true;
            m_failed = true;
            m_errorText = "libxml2 could not create a parser";
            return;
        }
        // Never the network, never a DTD, no external or internal entity replaced beyond the
        // predefined ones and character references. Converted documents reach libxml2 as UTF-8
        // whatever they declare.
        int options = XML_PARSE_NONET;
        if (m_transcoder->converts())
            options |= XML_PARSE_IGNORE_ENC;
        xmlCtxtUseOptions(m_context, options);
    }

    bool next(bool normalize) {
        if (!m_started)
            start();
        m_normalize = normalize;
        while (m_nextPart == m_partCount) {
            if (m_finished) {
                m_current = &m_none;
                return false;
            }
            m_partCount = 0;
            m_nextPart = 0;
            feed();
        }
        m_current = &m_parts[m_nextPart++];
        return true;
    }

    const Part& current() const { return *m_current; }
    const std::string& fileName() const { return m_fileName; }
    bool endedOnError() const { return m_failed || (!m_started && !m_loadError.empty()); }
    std::string errorText() const { return m_started ? m_errorText : m_loadError; }

private:
    // Hands the next piece of the document to libxml2, which turns it into parts.
    void feed() {
        const ErrorRedirect redirect(this);
        const std::size_t size = std::min(kChunkSize, m_document.size() - m_fed);
        const std::string_view raw(m_document.data() + m_fed, size);
        m_fed += size;
        bool last = m_fed == m_document.size();

        // A fault found before libxml2 sees the bytes: bytes that are not valid in the
        // document's encoding, or an element with too many attributes. The document then ends
        // there; the parts before it are still delivered.
        std::string fault;
        std::string_view piece;
        if (!m_transcoder->convert(raw, last, piece, fault))
            last = true;
        bool faultAtEnd = !fault.empty();
        const std::size_t tooMany = m_guard->check(piece, m_fedUtf8);
        if (tooMany != std::string_view::npos) {
            fault = "an element has more than " + std::to_string(kMaxXmlAttributes) + " attributes";
            faultAtEnd = tooMany >= m_fedUtf8;
            piece = piece.substr(0, faultAtEnd ? tooMany - m_fedUtf8 : 0);
            last = true;
        }
        m_fedUtf8 += piece.size();
        m_linesFed += static_cast<std::size_t>(std::count(piece.begin(), piece.end(), '\n'));

        if (fault.empty()) {
            xmlParseChunk(m_context, piece.data(), static_cast<int>(piece.size()), last ? 1 : 0);
        } else {
            xmlParseChunk(m_context, piece.data(), static_cast<int>(piece.size()), 0);
            // The line of the fault: where the bytes fed end, or, for a tag that began in an
            // earlier piece, where libxml2 waits for its end.
            const std::size_t line = faultAtEnd || m_context->input == nullptr
                                         ? m_linesFed + 1
                                         : static_cast<std::size_t>(m_context->input->line);
            setError("line " + std::to_string(line) + ": " + fault, false);
            m_refused = true;
            xmlParseChunk(m_context, nullptr, 0, 1);
        }
        if (last || m_refused || !m_context->wellFormed)
            finish();
    }

    void finish() {
        flushText();
        m_finished = true;
        m_failed = m_refused || !m_context->wellFormed;
        if (m_failed && (m_errorText.empty() || m_outOfMemory))
            m_errorText = m_outOfMemory ? "out of memory while reading the document"
                                        : "the document is not well-formed";
        release();
    }

    void release() {
        if (m_context == nullptr)
            return;
        // libxml2 keeps declared entities in a document of its own even for a SAX reader.
        if (m_context->myDoc != nullptr)
            xmlFreeDoc(m_context->myDoc);
        m_context->myDoc = nullptr;
        xmlFreeParserCtxt(m_context);
        m_context = nullptr;
    }

    void setError(std::string text, bool refuse) {
        if (m_errorText.empty())
            m_errorText = std::move(text);
        if (refuse) {
            m_refused = true;
            if (m_context != nullptr)
                xmlStopParser(m_context);
        }
    }

    Part& newPart(XmlPart type) {
        if (m_partCount == m_parts.size())
            m_parts.emplace_back();
        Part& part = m_parts[m_partCount++];
        part.type = type;
        part.attributeCount = 0;
        part.content.clear();
        return part;
    }

    // Character data collected since the last markup becomes one content part.
    void flushText() {
        if (m_text.empty())
            return;
        if (m_normalize) {
            normalizeSpace(m_text, m_normalized);
            if (!m_normalized.empty()) {
                Part& part = newPart(XmlPart::Content);
                part.name = m_lastTagName;
                part.content.swap(m_normalized);
            }
        } else {
            Part& part = newPart(XmlPart::Content);
            part.name = m_lastTagName;
            part.content.swap(m_text);
        }
        m_text.clear();
    }

    // A callback must not let an exception (memory running out) pass through libxml2's C
    // code: the scan is stopped instead, and ends on an error.
    template <typename Body> static void guarded(void* context, Body&& body) noexcept {
        Scanner& s = *static_cast<Scanner*>(context);
        try {
            body(s);
        } catch (...) {
            s.m_outOfMemory = true;
            s.m_refused = true;
            if (s.m_context != nullptr)
                xmlStopParser(s.m_context);
        }
    }

    static void onStartElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                               const xmlChar* /*uri*/, int namespaceCount,
                               const xmlChar** namespaces, int attributeCount,
                               int /*defaultedCount*/, const xmlChar** attributes) {
        guarded(context, [&](Scanner& s) {
            s.flushText();
            // libxml2 reports the start right after the attributes, before the "/>" or ">"; at the
            // end of a truncated document it also reports a tag that lacks them, which is no part.
            const xmlParserInputPtr input = s.m_context->input;
            const xmlChar* cur = input != nullptr ? input->cur : nullptr;
            const bool empty =
                cur != nullptr && cur + 1 < input->end && cur[0] == '/' && cur[1] == '>';
            s.m_skipEnd = false;
            if (!empty && (cur == nullptr || cur >= input->end || cur[0] != '>'))
                return;
            Part& part = s.newPart(empty ? XmlPart::EmptyElementTag : XmlPart::StartTag);
            appendQualifiedName(part.name, prefix, localName);
            for (int i = 0; i < namespaceCount; ++i) {
                Attribute& attribute = part.addAttribute();
                const xmlChar* declaredPrefix = namespaces[2 * i];
                appendQualifiedName(attribute.name,
                                    declaredPrefix != nullptr ? BAD_CAST "xmlns" : nullptr,
                                    declaredPrefix != nullptr ? declaredPrefix : BAD_CAST "xmlns");
                const xmlChar* uri = namespaces[2 * i + 1];
                attribute.value = uri != nullptr ? reinterpret_cast<const char*>(uri) : "";
            }
            for (int i = 0; i < attributeCount; ++i) {
                const xmlChar** fields = attributes + 5 * i; // local name, prefix, URI, value, end
                Attribute& attribute = part.addAttribute();
                appendQualifiedName(attribute.name, fields[1], fields[0]);
                appendAttributeValue(attribute.value, fields[3], fields[4]);
            }
            s.m_lastTagName = part.name;
            s.m_skipEnd = empty;
        });
    }

    static void onEndElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                             const xmlChar* /*uri*/) {
        guarded(context, [&](Scanner& s) {
            // An empty-element tag is one part; libxml2 reports its end at once.
            if (s.m_skipEnd) {
                s.m_skipEnd = false;
                return;
            }
            s.flushText();
            Part& part = s.newPart(XmlPart::EndTag);
            appendQualifiedName(part.name, prefix, localName);
            s.m_lastTagName = part.name;
        });
    }

    static void onCharacters(void* context, const xmlChar* text, int length) {
        guarded(context, [&](Scanner& s) {
            s.m_text.append(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
        });
    }

    // Comments and processing instructions of the document type declaration are no parts.
    bool inDocumentType() const { return m_context->inSubset != 0; }

    static void onComment(void* context, const xmlChar* text) {
        guarded(context, [&](Scanner& s) {
            if (s.inDocumentType())
                return;
            s.flushText();
            Part& part = s.newPart(XmlPart::Other);
            part.name.clear();
            part.content = reinterpret_cast<const char*>(text);
        });
    }

    static void onProcessingInstruction(void* context, const xmlChar* target, const xmlChar* data) {
        guarded(context, [&](Scanner& s) {
            if (s.inDocumentType())
                return;
            s.flushText();
            Part& part = s.newPart(XmlPart::Other);
            part.name = reinterpret_cast<const char*>(target);
            part.content = data != nullptr ? reinterpret_cast<const char*>(data) : "";
        });
    }

    // Entities declared by the document could expand without bound (and the system's
    // documents have none): such a document is refused at its first declaration.
    static void refuseEntity(Scanner& s, const xmlChar* name) {
        const int line = s.m_context->input != nullptr ? s.m_context->input->line : 0;
        s.setError("line " + std::to_string(line) + ": the document declares the entity \"" +
                       reinterpret_cast<const char*>(name) +
                       "\"; entity declarations are not accepted",
                   true);
    }

    static void onEntityDeclaration(void* context, const xmlChar* name, int, const xmlChar*,
                                    const xmlChar*, xmlChar*) {
        guarded(context, [&](Scanner& s) { refuseEntity(s, name); });
    }

    static void onUnparsedEntityDeclaration(void* context, const xmlChar* name, const xmlChar*,
                                            const xmlChar*, const xmlChar*) {
        guarded(context, [&](Scanner& s) { refuseEntity(s, name); });
    }

    static void onError(void* context, xmlErrorPtr error) {
        if (error == nullptr || error->level != XML_ERR_FATAL)
            return;
        guarded(context, [&](Scanner& s) {
            std::string message = error->message != nullptr ? error->message : "unknown error";
            while (!message.empty() && isXmlSpace(message.back()))
                message.pop_back();
            s.setError("line " + std::to_string(error->line) + ", column " +
                           std::to_string(error->int2) + ": " + message,
                       false);
        });
    }

    static xmlSAXHandler makeHandler() {
        xmlInitParser();
        xmlSAXHandler handler;
        std::memset(&handler, 0, sizeof handler);
        handler.initialized = XML_SAX2_MAGIC;
        handler.startElementNs = &onStartElement;
        handler.endElementNs = &onEndElement;
        handler.characters = &onCharacters;
        handler.ignorableWhitespace = &onCharacters;
        handler.cdataBlock = &onCharacters;
        handler.comment = &onComment;
        handler.processingInstruction = &onProcessingInstruction;
        handler.entityDecl = &onEntityDeclaration;
        handler.unparsedEntityDecl = &onUnparsedEntityDeclaration;
        handler.serror = &onError;
        return handler;
    }

    // Errors libxml2 raises outside the parser context (encoding conversion) come to this
    // scanner too, instead of going to the standard error stream.
    class ErrorRedirect {
    public:
        explicit ErrorRedirect(Scanner* scanner)
            : m_handler(xmlStructuredError)
            , m_context(xmlStructuredErrorContext) {
            xmlSetStructuredErrorFunc(scanner, &onError);
        }
        ~ErrorRedirect() { xmlSetStructuredErrorFunc(m_context, m_handler); }
        ErrorRedirect(const ErrorRedirect&) = delete;
        ErrorRedirect& operator=(const ErrorRedirect&) = delete;

    private:
        xmlStructuredErrorFunc m_handler;
        void* m_context;
    };

    std::string m_document;
    std::string m_fileName;
    std::string m_loadError;

    xmlParserCtxtPtr m_context = nullptr;
    bool m_started = false;
    bool m_finished = false;
    bool m_failed = false;
    bool m_refused = false;
    bool m_outOfMemory = false;
    bool m_normalize = true;
    std::string m_errorText;
    std::size_t m_fed = 0;
    std::size_t m_fedUtf8 = 0;
    std::size_t m_linesFed = 0;
    std::unique_ptr<xmlinput::Utf8Transcoder> m_transcoder;
    std::unique_ptr<xmlinput::AttributeGuard> m_guard;

    std::vector<Part> m_parts;
    std::size_t m_partCount = 0;
    std::size_t m_nextPart = 0;
    const Part* m_current = &m_none;
    Part m_none;

    std::string m_text;
    std::string m_normalized;
    std::string m_lastTagName;
    bool m_skipEnd = false;
};

XmlReader::XmlReader()
    : m_scanner(std::make_unique<Scanner>()) {}

XmlReader::~XmlReader() = default;

bool XmlReader::LoadFromFile(const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return m_scanner->failLoad(fileName,
                                   "cannot open " + fileName + ": " + std::strerror(errno));
    struct stat status {};
    std::string bytes;
    std::string error;
    if (::fstat(fd, &status) != 0) {
        error = std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        error = "not a regular file";
    } else if (static_cast<std::size_t>(status.st_size) > MaxDocumentSize) {
        error = "the document is larger than " + std::to_string(MaxDocumentSize) + " bytes";
    } else {
        bytes.resize(static_cast<std::size_t>(status.st_size));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                error = std::strerror(errno);
                break;
            }
            if (n == 0) {
                bytes.resize(done); // the file shrank while it was read
                break;
            }
            done += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    if (!error.empty())
        return m_scanner->failLoad(fileName, "cannot read " + fileName + ": " + error);
    return m_scanner->load(std::move(bytes), fileName, MaxDocumentSize);
}

bool XmlReader::LoadFromBuffer(std::string bytes, std::string sourceName) {
    return m_scanner->load(std::move(bytes), std::move(sourceName), MaxDocumentSize);
}

void XmlReader::StartScan() {
    m_scanner->start();
}

bool XmlReader::Scan() {
    return m_scanner->next(Normalize);
}

XmlPart XmlReader::CurPartType() const {
    return m_scanner->current().type;
}

const std::string& XmlReader::CurName() const {
    return m_scanner->current().name;
}

const std::string& XmlReader::CurContent() const {
    return m_scanner->current().content;
}

std::string XmlReader::CurAttr(std::string_view name) const {
    const Part& part = m_scanner->current();
    if (part.type != XmlPart::StartTag && part.type != XmlPart::EmptyElementTag)
        return {};
    for (std::size_t i = 0; i < part.attributeCount; ++i) {
        if (part.attributes[i].name == name)
            return part.attributes[i].value;
    }
    return {};
}

const std::string& XmlReader::FileName() const {
    return m_scanner->fileName();
}

bool XmlReader::EndedOnError() const {
    return m_scanner->endedOnError();
}

std::string XmlReader::ErrorText() const {
    return m_scanner->errorText();
}

} // namespace kalydor
