#include "codecs/texttokenreader.h"

#include "base/error.h"
#include "base/textencoding.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kalydor {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFallback[] = {
    "%s, line %d: an integer was expected.",
    "%s, line %d: a real number was expected.",
    "%s, line %d: a quoted text was expected.",
    "%s, line %d: the file ends unexpectedly.",
    "%s, line %d: wrong record keyword for this list.",
    "%s, line %d: unsupported version or data layout.",
    "%s, line %d: the included file cannot be read or may not be included.",
    "%s, line %d: the name is empty or too long.",
    "%s, line %d: the line is longer than 1 MB.",
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kBufferSize = 64 * 1024;

[[noreturn]] void throwReadError(const std::string& path, const std::string& reason) {
    throw Error("IDS_FILEREADERROR", {path, reason}, "The file %s cannot be read: %s");
}

// UTF-8 checked piece by piece: a sequence cut at the end of one piece is completed by the
// next. False at the first byte that cannot be UTF-8.
class Utf8Check {
public:
    bool feed(std::string_view piece) {
        if (!m_carry.empty()) {
            // Complete the cut sequence from the front of this piece.
            const std::size_t wanted = sequenceLength(m_carry[0]) - m_carry.size();
            const std::size_t taken = std::min(wanted, piece.size());
            m_carry.append(piece.substr(0, taken));
            piece.remove_prefix(taken);
            if (taken < wanted)
                return true; // a very short piece; the rest comes later
            if (!isValidUtf8(m_carry))
                return false;
            m_carry.clear();
        }
        const std::size_t cut = cutPoint(piece);
        m_carry.assign(piece.substr(cut));
        return valid(piece.substr(0, cut));
    }
    /// True when nothing is left cut at the end.
    bool finish() const { return m_carry.empty(); }

private:
    static std::size_t sequenceLength(char lead) {
        const auto c = static_cast<unsigned char>(lead);
        return c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    }
    // Where an incomplete sequence at the end of the piece begins (the size when none does).
    static std::size_t cutPoint(std::string_view piece) {
        for (std::size_t back = 1; back <= 3 && back <= piece.size(); ++back) {
            const auto c = static_cast<unsigned char>(piece[piece.size() - back]);
            if (c < 0x80)
                break;
            if (c >= 0xC0)
                return sequenceLength(static_cast<char>(c)) > back ? piece.size() - back
                                                                   : piece.size();
        }
        return piece.size();
    }
    // ASCII runs are passed over quickly; the rest is decoded.
    static bool valid(std::string_view bytes) {
        std::size_t pos = 0;
        while (pos < bytes.size()) {
            if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
                ++pos;
                continue;
            }
            const std::size_t start = pos;
            if (nextCodePoint(bytes, pos) == 0xFFFD && pos - start == 1)
                return false;
        }
        return true;
    }

    std::string m_carry;
};

std::string identityOf(const std::string& path) {
    std::error_code code;
    const fs::path canonical = fs::weakly_canonical(fs::absolute(path, code), code);
    return code ? path : canonical.string();
}

} // namespace

// The lines of a file or of bytes in memory, read through a fixed buffer. The pieces between
// line feeds are the lines, and the piece after the last one too (even when empty); each is
// given without its carriage return and in UTF-8. A leading byte-order mark is skipped.
class TextTokenReader::LineSource {
public:
    enum class Next { Line, End, TooLong };
    virtual ~LineSource() = default;

    Next next(std::string& line) {
        if (m_done)
            return Next::End;
        m_raw.clear();
        bool passingOver = false; // the rest of a long comment line
        while (true) {
            if (m_pos == m_end && !fill()) {
                m_done = true;
                break;
            }
            const char* begin = m_buffer.data() + m_pos;
            const std::size_t available = m_end - m_pos;
            const auto* feed = static_cast<const char*>(std::memchr(begin, '\n', available));
            const std::size_t length = feed ? static_cast<std::size_t>(feed - begin) : available;
            if (!passingOver) {
                m_raw.append(begin, length);
                if (m_raw.size() > kMaxLineLength) {
                    const std::size_t first = m_raw.find_first_not_of(" \t");
                    if (first == std::string::npos) {
                        m_raw.clear(); // blanks carry nothing
                    } else if (m_raw[first] == ';') {
                        m_raw.resize(first + 1);
                        passingOver = true;
                    } else {
                        return Next::TooLong;
                    }
                }
            }
            m_pos += length;
            if (feed) {
                ++m_pos;
                break;
            }
        }
        if (!m_raw.empty() && m_raw.back() == '\r')
            m_raw.pop_back();
        if (m_windows1250)
            line = windows1250ToUtf8(m_raw);
        else
            line.swap(m_raw);
        return Next::Line;
    }

protected:
    /// Up to `size` more bytes; 0 at the end.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;

    /// Reads everything once to learn the encoding: Windows-1250 unless all of it (after a
    /// byte-order mark) is UTF-8. The source must then start over.
    void learnEncoding() {
        Utf8Check check;
        bool first = true;
        bool valid = true;
        for (std::size_t n; valid && (n = read(m_buffer.data(), m_buffer.size())) > 0;) {
            std::string_view piece(m_buffer.data(), n);
            if (first && piece.substr(0, kByteOrderMark.size()) == kByteOrderMark)
                piece.remove_prefix(kByteOrderMark.size());
            first = false;
            valid = check.feed(piece);
        }
        m_windows1250 = !(valid && check.finish());
    }

private:
    bool fill() {
        m_pos = 0;
        m_end = read(m_buffer.data(), m_buffer.size());
        if (m_start) {
            m_start = false;
            if (std::string_view(m_buffer.data(), m_end).substr(0, kByteOrderMark.size()) ==
                kByteOrderMark)
                m_pos = kByteOrderMark.size();
        }
        return m_pos < m_end;
    }

    std::vector<char> m_buffer = std::vector<char>(kBufferSize);
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_start = true;
    bool m_done = false;
    bool m_windows1250 = false;
    std::string m_raw;
};

namespace {

class MemoryLineSource final : public TextTokenReader::LineSource {
public:
    explicit MemoryLineSource(std::string bytes)
        : m_bytes(std::move(bytes)) {
        learnEncoding();
        m_offset = 0;
    }

protected:
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, m_bytes.size() - m_offset);
        std::memcpy(buffer, m_bytes.data() + m_offset, n);
        m_offset += n;
        return n;
    }

private:
    std::string m_bytes;
    std::size_t m_offset = 0;
};

class FileLineSource final : public TextTokenReader::LineSource {
public:
    explicit FileLineSource(const std::string& path)
        : m_path(path) {
        // Opened without waiting, so that a pipe named by mistake is refused, not waited on.
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (m_fd < 0)
            throwReadError(path, std::strerror(errno));
        struct stat status {};
        if (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            ::close(m_fd);
            throwReadError(path, "not a readable file");
        }
        try {
            learnEncoding();
            if (::lseek(m_fd, 0, SEEK_SET) != 0)
                throwReadError(path, std::strerror(errno));
        } catch (...) {
            ::close(m_fd);
            throw;
        }
    }
    ~FileLineSource() override { ::close(m_fd); }

protected:
    std::size_t read(char* buffer, std::size_t size) override {
        while (true) {
            const ssize_t n = ::read(m_fd, buffer, size);
            if (n >= 0)
                return static_cast<std::size_t>(n);
            if (errno != EINTR)
                throwReadError(m_path, std::strerror(errno));
        }
    }

private:
    std::string m_path;
    int m_fd = -1;
};

} // namespace

Error textFormatError(TextFormatError error, const std::string& fileName, int lineIndex) {
    const int n = static_cast<int>(error);
    const std::string key = "IDS_TEXTCONVERTERROR+" + std::to_string(n);
    Error full(key, {fileName, std::int64_t{lineIndex}}, kFallback[n]);
    if (codePointCount(full.text()) <= 255)
        return full;
    return Error::withText(key, leftCodePoints(full.text(), 255));
}

void throwTextFormatError(TextFormatError error, const std::string& fileName, int lineIndex) {
    throw textFormatError(error, fileName, lineIndex);
}

TextTokenReader::TextTokenReader(const std::string& fileName)
    : TextTokenReader(std::make_unique<FileLineSource>(fileName), fileName, identityOf(fileName), 0,
                      {}) {}

TextTokenReader::TextTokenReader(std::string bytes, std::string fileName)
    : TextTokenReader(std::make_unique<MemoryLineSource>(std::move(bytes)), fileName,
                      identityOf(fileName), 0, {}) {}

TextTokenReader::TextTokenReader(std::unique_ptr<LineSource> source, std::string fileName,
                                 std::string identity, int depth,
                                 std::vector<std::string> ancestors)
    : m_source(std::move(source))
    , m_fileName(std::move(fileName))
    , m_identity(std::move(identity))
    , m_depth(depth)
    , m_ancestors(std::move(ancestors)) {
    m_ancestors.push_back(m_identity);
    m_line = 0;
    switch (m_source->next(m_text)) {
    case LineSource::Next::Line:
        m_hasLine = true;
        break;
    case LineSource::Next::End:
        m_hasLine = false;
        break;
    case LineSource::Next::TooLong:
        fail(TextFormatError::LineTooLong);
    }
}

TextTokenReader::~TextTokenReader() = default;

void TextTokenReader::setIncludeLoader(IncludeLoader loader) {
    m_loader = std::move(loader);
}

void TextTokenReader::setIncludeResolver(IncludeResolver resolver) {
    m_resolver = std::move(resolver);
}

void TextTokenReader::setEndOfInputEndsFile(bool ends) {
    m_endOfInputEndsFile = ends;
}

void TextTokenReader::nextLine() {
    ++m_line;
    m_column = 0;
    switch (m_source->next(m_text)) {
    case LineSource::Next::Line:
        return;
    case LineSource::Next::End:
        m_hasLine = false;
        m_text.clear();
        return;
    case LineSource::Next::TooLong:
        fail(TextFormatError::LineTooLong);
    }
}

TextTokenReader& TextTokenReader::innermost() {
    TextTokenReader* reader = this;
    while (reader->m_included)
        reader = reader->m_included.get();
    return *reader;
}

const TextTokenReader& TextTokenReader::innermost() const {
    const TextTokenReader* reader = this;
    while (reader->m_included)
        reader = reader->m_included.get();
    return *reader;
}

const std::string& TextTokenReader::FileName() const {
    return innermost().m_fileName;
}

int TextTokenReader::LineIndex() const {
    const TextTokenReader& reader = innermost();
    return static_cast<int>(reader.m_line);
}

int TextTokenReader::IncludeDepth() const {
    return innermost().m_depth;
}

void TextTokenReader::fail(TextFormatError error) const {
    throwTextFormatError(error, m_fileName, static_cast<int>(m_line));
}

std::string_view TextTokenReader::rest() const {
    if (!m_hasLine)
        return {};
    return std::string_view(m_text).substr(std::min(m_column, m_text.size()));
}

bool TextTokenReader::skipToToken() {
    TextTokenReader& r = innermost();
    while (r.m_hasLine) {
        const std::string& line = r.m_text;
        while (r.m_column < line.size() && isBlank(line[r.m_column]))
            ++r.m_column;
        if (r.m_column < line.size() && line[r.m_column] != ';')
            return true;
        r.nextLine();
    }
    return false;
}

void TextTokenReader::SkipBlank() {
    if (!skipToToken())
        innermost().fail(TextFormatError::UnexpectedEnd);
}

std::string TextTokenReader::NextString() {
    SkipBlank();
    TextTokenReader& r = innermost();
    const std::string& line = r.m_text;
    std::size_t at = r.m_column;
    if (line[at] != '"')
        r.fail(TextFormatError::StringExpected);
    ++at;
    std::string text;
    while (true) {
        if (at >= line.size())
            r.fail(TextFormatError::StringExpected);
        const char c = line[at];
        if (c == '"')
            break;
        if (c == '\\') {
            if (at + 1 >= line.size())
                r.fail(TextFormatError::StringExpected);
            text += line[at + 1];
            at += 2;
            continue;
        }
        text += c;
        ++at;
    }
    r.m_column = at + 1;
    return text;
}

std::int32_t TextTokenReader::NextInt() {
    SkipBlank();
    TextTokenReader& r = innermost();
    const std::string_view text = r.rest();
    std::size_t at = 0;
    if (text[at] == '+' || text[at] == '-')
        ++at;
    const std::size_t digitsStart = at;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    if (at == digitsStart || (at < text.size() && !isBlank(text[at])))
        r.fail(TextFormatError::IntegerExpected);
    std::int64_t value = 0;
    const char* begin = text.data() + digitsStart;
    const auto parsed = std::from_chars(begin, text.data() + at, value);
    if (parsed.ec != std::errc() || value > std::numeric_limits<std::int32_t>::max() + 1LL)
        r.fail(TextFormatError::IntegerExpected);
    if (text[0] == '-')
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        r.fail(TextFormatError::IntegerExpected);
    r.m_column += at;
    return static_cast<std::int32_t>(value);
}

float TextTokenReader::NextReal() {
    SkipBlank();
    TextTokenReader& r = innermost();
    const std::string_view text = r.rest();
    std::string number;
    std::size_t at = 0;
    if (text[at] == '+' || text[at] == '-') {
        if (text[at] == '-')
            number += '-';
        ++at;
    }
    int mantissaDigits = 0;
    while (at < text.size() && isDigit(text[at])) {
        number += text[at++];
        ++mantissaDigits;
    }
    if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        number += '.';
        ++at;
        while (at < text.size() && isDigit(text[at])) {
            number += text[at++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        r.fail(TextFormatError::RealExpected);
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        number += 'e';
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            number += text[at++];
        int exponentDigits = 0;
        while (at < text.size() && isDigit(text[at])) {
            number += text[at++];
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            r.fail(TextFormatError::RealExpected);
    }
    if (at < text.size() && !isBlank(text[at]))
        r.fail(TextFormatError::RealExpected);
    double value = 0;
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), value);
    // A value beyond single precision is no number this format can carry.
    if (parsed.ec != std::errc() || !std::isfinite(static_cast<float>(value)))
        r.fail(TextFormatError::RealExpected);
    r.m_column += at;
    return static_cast<float>(value);
}

void TextTokenReader::include(const std::string& name) {
    TextTokenReader& r = innermost();
    std::string resolved;
    if (r.m_resolver) {
        try {
            resolved = r.m_resolver(r.m_fileName, name);
        } catch (const std::exception&) {
            r.fail(TextFormatError::BadInclude);
        }
    } else {
        fs::path path(name);
        // A relative name is taken from the folder of the file that includes it.
        if (!path.is_absolute())
            path = fs::path(r.m_fileName).parent_path() / path;
        resolved = path.string();
    }
    const std::string identity = identityOf(resolved);
    if (r.m_depth + 1 > kMaxIncludeDepth ||
        std::find(r.m_ancestors.begin(), r.m_ancestors.end(), identity) != r.m_ancestors.end())
        r.fail(TextFormatError::BadInclude);
    std::unique_ptr<LineSource> source;
    try {
        if (r.m_loader)
            source = std::make_unique<MemoryLineSource>(r.m_loader(resolved));
        else
            source = std::make_unique<FileLineSource>(resolved);
    } catch (const std::exception&) {
        r.fail(TextFormatError::BadInclude);
    }
    auto nested = std::unique_ptr<TextTokenReader>(
        new TextTokenReader(std::move(source), resolved, identity, r.m_depth + 1, r.m_ancestors));
    nested->m_loader = r.m_loader;
    nested->m_resolver = r.m_resolver;
    r.m_included = std::move(nested);
}

void TextTokenReader::closeInnermostInclude() {
    TextTokenReader* parent = this;
    while (parent->m_included->m_included)
        parent = parent->m_included.get();
    parent->m_included.reset();
}

NextRecordResult TextTokenReader::NextRecord(TextRecordHeader& header) {
    while (true) {
        if (m_endOfInputEndsFile && !skipToToken()) {
            if (!m_included)
                return NextRecordResult::End;
            closeInnermostInclude();
            continue;
        }
        const std::string keyword = NextString();
        if (keyword == "INCLUDE") {
            include(NextString());
            continue;
        }
        if (keyword == "RESET")
            return NextRecordResult::Reset;
        if (keyword == "AUTOYES") {
            if (onAutoYes)
                onAutoYes();
            continue;
        }
        if (keyword == "END") {
            if (!m_included)
                return NextRecordResult::End;
            closeInnermostInclude();
            continue;
        }
        header = TextRecordHeader{};
        header.keyword = keyword;
        header.version = NextInt();
        header.year = NextInt();
        header.month = NextInt();
        header.day = NextInt();
        header.groupPath = NextString();
        header.name = NextString();
        return NextRecordResult::Record;
    }
}

} // namespace kalydor
