#include "codecs/xmlinput_p.h"

#include "base/textencoding.h"
#include "codecs/xmlencoding_p.h"

#include <cerrno>
#include <cstring>

namespace kalydor::xmlinput {
namespace {

bool isXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isTagMark(char c) {
    return c == '"' || c == '\'' || c == '=' || c == '>';
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Labels that name a form of Unicode wider than a byte. libxml2 reads a document that bears
// such a label in eight-bit characters as UTF-8, and so does this reader.
bool isWideUnicodeLabel(std::string_view label) {
    const std::string key = xmlencoding::labelKey(label);
    return key == "utf16" || key == "utf16le" || key == "utf16be" || key == "ucs2" ||
           key == "iso10646ucs2" || key == "utf32" || key == "ucs4" || key == "iso10646ucs4";
}

} // namespace

std::string_view declaredEncoding(std::string_view document) {
    const std::string_view head = document.substr(0, 1024);
    if (head.size() < 6 || !startsWith(head, "<?xml") || !isXmlSpace(head[5]))
        return {};
    const std::string_view declaration = head.substr(0, head.find("?>"));
    std::size_t pos = declaration.find("encoding");
    if (pos == std::string_view::npos)
        return {};
    pos += 8;
    while (pos < declaration.size() && isXmlSpace(declaration[pos]))
        ++pos;
    if (pos >= declaration.size() || declaration[pos] != '=')
        return {};
    ++pos;
    while (pos < declaration.size() && isXmlSpace(declaration[pos]))
        ++pos;
    if (pos >= declaration.size() || (declaration[pos] != '"' && declaration[pos] != '\''))
        return {};
    const std::size_t end = declaration.find(declaration[pos], pos + 1);
    if (end == std::string_view::npos)
        return {};
    return declaration.substr(pos + 1, end - pos - 1);
}

Utf8Transcoder::~Utf8Transcoder() {
    if (m_iconv != reinterpret_cast<iconv_t>(-1))
        iconv_close(m_iconv);
}

bool Utf8Transcoder::open(std::string_view document, std::string& error) {
    const std::string_view head = document.substr(0, 4);
    // Forms told by the first bytes (a byte-order mark, or "<" or "<?" in a wide form).
    const struct {
        std::string_view start;
        const char* encoding;
        std::size_t mark;
    } wide[] = {
        {{"\0\0\xFE\xFF", 4}, "UCS-4BE", 4}, {{"\xFF\xFE\0\0", 4}, "UCS-4LE", 4},
        {{"\0\0\0<", 4}, "UCS-4BE", 0},      {{"<\0\0\0", 4}, "UCS-4LE", 0},
        {"\xFE\xFF", "UTF-16BE", 2},         {"\xFF\xFE", "UTF-16LE", 2},
        {{"\0<", 2}, "UTF-16BE", 0},         {{"<\0", 2}, "UTF-16LE", 0},
    };
    for (const auto& form : wide) {
        if (startsWith(head, form.start)) {
            m_skip = form.mark;
            return openIconv(form.encoding, error);
        }
    }
    if (startsWith(head, "\x4C\x6F\xA7\x94")) {
        error = "EBCDIC documents are not supported";
        return false;
    }
    if (startsWith(document, "\xEF\xBB\xBF"))
        return true;
    const std::string_view label = declaredEncoding(document);
    if (xmlencoding::isIso88592(label) || xmlencoding::isWindows1250(label) ||
        (label.empty() && !isValidUtf8(document))) {
        m_mode = Mode::Windows1250;
        for (int b = 0x80; b < 0x100; ++b)
            m_windows1250High[b - 0x80] = windows1250ToUtf8(std::string(1, static_cast<char>(b)));
        return true;
    }
    if (label.empty() || xmlencoding::isUtf8(label) || isWideUnicodeLabel(label))
        return true;
    return openIconv(std::string(label), error);
}

bool Utf8Transcoder::openIconv(const std::string& encoding, std::string& error) {
    m_iconv = iconv_open("UTF-8", encoding.c_str());
    if (m_iconv == reinterpret_cast<iconv_t>(-1)) {
        error = "the character encoding \"" + encoding + "\" is not supported";
        return false;
    }
    m_mode = Mode::Iconv;
    m_encoding = encoding;
    return true;
}

bool Utf8Transcoder::convert(std::string_view piece, bool last, std::string_view& out,
                             std::string& error) {
    switch (m_mode) {
    case Mode::Utf8:
        out = piece;
        return true;
    case Mode::Windows1250: {
        m_buffer.clear();
        m_buffer.reserve(piece.size() + piece.size() / 4);
        std::size_t pos = 0;
        while (pos < piece.size()) {
            std::size_t run = pos;
            while (run < piece.size() && static_cast<unsigned char>(piece[run]) < 0x80)
                ++run;
            m_buffer.append(piece.data() + pos, run - pos);
            if (run == piece.size())
                break;
            m_buffer += m_windows1250High[static_cast<unsigned char>(piece[run]) - 0x80];
            pos = run + 1;
        }
        out = m_buffer;
        return true;
    }
    case Mode::Iconv:
        break;
    }
    const bool converted = convertIconv(piece, last, error);
    out = m_buffer;
    return converted;
}

bool Utf8Transcoder::convertIconv(std::string_view piece, bool last, std::string& error) {
    const std::size_t skipped = std::min(m_skip, piece.size());
    piece.remove_prefix(skipped);
    m_skip -= skipped;
    std::string_view input = piece;
    if (!m_carry.empty()) {
        m_joined = m_carry;
        m_joined.append(piece);
        input = m_joined;
        m_carry.clear();
    }
    m_buffer.clear();
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        const std::size_t used = m_buffer.size();
        m_buffer.resize(used + 2 * inLeft + 16);
        char* outPos = m_buffer.data() + used;
        std::size_t outLeft = m_buffer.size() - used;
        const std::size_t result = iconv(m_iconv, &in, &inLeft, &outPos, &outLeft);
        m_buffer.resize(m_buffer.size() - outLeft);
        if (result != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        if (errno == EINVAL && !last) {
            m_carry.assign(in, inLeft); // completed by the next piece
            break;
        }
        error = errno == EINVAL ? "the document ends inside a character"
                                : "the bytes are not valid " + m_encoding;
        return false;
    }
    return true;
}

std::size_t AttributeGuard::check(std::string_view piece, std::size_t offset) {
    for (std::size_t i = 0; i < piece.size(); ++i) {
        char c = piece[i];
        switch (m_state) {
        case State::Text: {
            const void* next = std::memchr(piece.data() + i, '<', piece.size() - i);
            if (next == nullptr)
                return std::string_view::npos;
            i = static_cast<std::size_t>(static_cast<const char*>(next) - piece.data());
            m_tagStart = offset + i;
            m_state = State::Open;
            m_inSubset = false;
            break;
        }
        case State::Open:
            if (c == '!') {
                m_state = State::Bang;
            } else if (c == '?') {
                begin(State::Pi);
            } else if (c == '/') {
                m_state = State::EndTag;
            } else {
                m_state = State::Tag;
                m_attributes = 0;
            }
            break;
        case State::Bang:
            if (c == '-')
                m_state = State::BangDash;
            else if (c == '[' && !m_inSubset)
                begin(State::CData);
            else
                m_state = m_inSubset ? State::MarkupDecl : State::DocType;
            break;
        case State::BangDash:
            if (c == '-')
                begin(State::Comment);
            else
                m_state = m_inSubset ? State::MarkupDecl : State::DocType;
            break;
        case State::Comment:
        case State::CData:
        case State::Pi: {
            const char closing = m_state == State::Comment ? '-'
                                 : m_state == State::CData ? ']'
                                                           : '?';
            const int needed = m_state == State::Pi ? 1 : 2;
            if (c == '>' && m_run >= needed)
                m_state = m_inSubset ? State::Subset : State::Text;
            m_run = c == closing ? m_run + 1 : 0;
            break;
        }
        case State::EndTag:
            if (c == '>')
                m_state = State::Text;
            break;
        case State::Tag:
            // Names, white space and "/" between the marks that matter: skipped at once.
            while (i + 1 < piece.size() && !isTagMark(c))
                c = piece[++i];
            if (c == '"' || c == '\'') {
                m_quote = c;
                m_state = State::TagQuote;
            } else if (c == '=') {
                if (++m_attributes > m_maxAttributes)
                    return m_tagStart;
            } else if (c == '>') {
                m_state = State::Text;
            }
            break;
        case State::DocType:
        case State::MarkupDecl:
            if (c == '"' || c == '\'') {
                m_quote = c;
                m_return = m_state;
                m_state = State::DeclQuote;
            } else if (c == '[' && m_state == State::DocType) {
                m_inSubset = true;
                m_state = State::Subset;
            } else if (c == '>') {
                m_state = m_state == State::DocType ? State::Text : State::Subset;
            }
            break;
        case State::TagQuote:
        case State::DeclQuote: {
            const void* closing = std::memchr(piece.data() + i, m_quote, piece.size() - i);
            if (closing == nullptr)
                return std::string_view::npos;
            i = static_cast<std::size_t>(static_cast<const char*>(closing) - piece.data());
            m_state = m_state == State::TagQuote ? State::Tag : m_return;
            break;
        }
        case State::Subset:
            if (c == '<') {
                m_state = State::SubsetOpen;
            } else if (c == ']') {
                m_inSubset = false;
                m_state = State::DocType;
            }
            break;
        case State::SubsetOpen:
            if (c == '!')
                m_state = State::Bang;
            else if (c == '?')
                begin(State::Pi);
            else
                m_state = State::MarkupDecl;
            break;
        }
    }
    return std::string_view::npos;
}

} // namespace kalydor::xmlinput
