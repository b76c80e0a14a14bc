#include "exchange/parserstream.h"

#include "base/error.h"
#include "base/textencoding.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>

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
    "%s, line %d: the included file cannot be read, includes itself or is nested too deeply.",
    "%s, line %d: the name is empty or too long.",
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string readFileBytes(const std::string& path) {
    std::error_code code;
    const fs::file_status status = fs::status(path, code);
    if (code || !fs::is_regular_file(status))
        throw Error("IDS_FILEREADERROR", {path, std::string("not a readable file")},
                    "The file %s cannot be read: %s");
    const auto size = fs::file_size(path, code);
    if (code || size > TParserStream::kMaxFileSize)
        throw Error("IDS_FILEREADERROR", {path, std::string("the file is too large")},
                    "The file %s cannot be read: %s");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw Error("IDS_FILEREADERROR", {path, std::string(std::strerror(errno))},
                    "The file %s cannot be read: %s");
    std::string bytes(static_cast<std::size_t>(size), '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

std::string identityOf(const std::string& path) {
    std::error_code code;
    const fs::path canonical = fs::weakly_canonical(fs::absolute(path, code), code);
    return code ? path : canonical.string();
}

} // namespace

void throwTextFormatError(TextFormatError error, const std::string& fileName, int lineIndex) {
    const int n = static_cast<int>(error);
    const std::string key = "IDS_TEXTCONVERTERROR+" + std::to_string(n);
    Error full(key, {fileName, std::int64_t{lineIndex}}, kFallback[n]);
    if (codePointCount(full.text()) <= 255)
        throw full;
    throw Error::withText(key, leftCodePoints(full.text(), 255));
}

std::string exchangeTextFromBytes(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return isValidUtf8(bytes) ? std::string(bytes) : windows1250ToUtf8(bytes);
}

TParserStream::TParserStream(const std::string& fileName)
    : TParserStream(readFileBytes(fileName), fileName, identityOf(fileName), 0, {}) {}

TParserStream::TParserStream(std::string bytes, std::string fileName)
    : TParserStream(std::move(bytes), fileName, identityOf(fileName), 0, {}) {}

TParserStream::TParserStream(std::string bytes, std::string fileName, std::string identity,
                             int depth, std::vector<std::string> ancestors)
    : m_lines(splitLines(exchangeTextFromBytes(bytes)))
    , m_fileName(std::move(fileName))
    , m_identity(std::move(identity))
    , m_depth(depth)
    , m_ancestors(std::move(ancestors))
    , m_loader(readFileBytes) {
    m_ancestors.push_back(m_identity);
}

TParserStream::~TParserStream() = default;

void TParserStream::setIncludeLoader(IncludeLoader loader) {
    m_loader = loader ? std::move(loader) : IncludeLoader(readFileBytes);
}

TParserStream& TParserStream::innermost() {
    TParserStream* reader = this;
    while (reader->m_included)
        reader = reader->m_included.get();
    return *reader;
}

const TParserStream& TParserStream::innermost() const {
    const TParserStream* reader = this;
    while (reader->m_included)
        reader = reader->m_included.get();
    return *reader;
}

const std::string& TParserStream::FileName() const {
    return innermost().m_fileName;
}

int TParserStream::LineIndex() const {
    const TParserStream& reader = innermost();
    return static_cast<int>(std::min(reader.m_line, reader.m_lines.size()));
}

int TParserStream::IncludeDepth() const {
    return innermost().m_depth;
}

void TParserStream::fail(TextFormatError error) const {
    throwTextFormatError(error, m_fileName, static_cast<int>(std::min(m_line, m_lines.size())));
}

std::string_view TParserStream::rest() const {
    if (m_line >= m_lines.size())
        return {};
    return std::string_view(m_lines[m_line]).substr(std::min(m_column, m_lines[m_line].size()));
}

void TParserStream::SkipBlank() {
    TParserStream& r = innermost();
    while (r.m_line < r.m_lines.size()) {
        const std::string& line = r.m_lines[r.m_line];
        while (r.m_column < line.size() && isBlank(line[r.m_column]))
            ++r.m_column;
        if (r.m_column < line.size() && line[r.m_column] != ';')
            return;
        ++r.m_line;
        r.m_column = 0;
    }
    r.fail(TextFormatError::UnexpectedEnd);
}

std::string TParserStream::NextString() {
    SkipBlank();
    TParserStream& r = innermost();
    const std::string& line = r.m_lines[r.m_line];
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

std::int32_t TParserStream::NextInt() {
    SkipBlank();
    TParserStream& r = innermost();
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

float TParserStream::NextReal() {
    SkipBlank();
    TParserStream& r = innermost();
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

void TParserStream::include(const std::string& name) {
    TParserStream& r = innermost();
    fs::path path(name);
    // A relative name is taken from the folder of the file that includes it.
    if (!path.is_absolute())
        path = fs::path(r.m_fileName).parent_path() / path;
    const std::string resolved = path.string();
    const std::string identity = identityOf(resolved);
    if (r.m_depth + 1 > kMaxIncludeDepth ||
        std::find(r.m_ancestors.begin(), r.m_ancestors.end(), identity) != r.m_ancestors.end())
        r.fail(TextFormatError::BadInclude);
    std::string bytes;
    try {
        bytes = r.m_loader(resolved);
    } catch (const std::exception&) {
        r.fail(TextFormatError::BadInclude);
    }
    auto nested = std::unique_ptr<TParserStream>(
        new TParserStream(std::move(bytes), resolved, identity, r.m_depth + 1, r.m_ancestors));
    nested->m_loader = r.m_loader;
    r.m_included = std::move(nested);
}

NextRecordResult TParserStream::NextRecord(TextRecordHeader& header) {
    while (true) {
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
            // Close the innermost include: find its parent.
            TParserStream* parent = this;
            while (parent->m_included->m_included)
                parent = parent->m_included.get();
            parent->m_included.reset();
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
