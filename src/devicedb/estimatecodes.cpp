#include "devicedb/estimatecodes.h"

#include "base/error.h"
#include "base/safefilewriter.h"
#include "base/textencoding.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace kalydor {
namespace {

// Splits at CR LF, LF or CR.
std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        out.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        out.push_back(text.substr(start));
    return out;
}

// A UTF-8 text in Windows-1250 bytes; characters the code page lacks become "?".
std::string toWindows1250(std::string_view utf8) {
    std::string out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = nextCodePoint(utf8, pos);
        const int byte = windows1250ByteOf(c);
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error("IDS_FILEREADERROR", {path, std::string(std::strerror(errno))},
                    "The file %s cannot be read: %s");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

std::set<std::string> knownEstimateCodes(std::string_view linkFileText) {
    std::set<std::string> known;
    for (const std::string_view line : lines(linkFileText)) {
        const std::size_t semicolon = line.find(';');
        if (semicolon != std::string_view::npos && semicolon >= 1)
            known.emplace(line.substr(0, semicolon));
    }
    return known;
}

void EstimateCodeCollection::collect(const DeviceItem& item) {
    if (const auto* family = dynamic_cast<const RadiatorFamily*>(&item);
        family && family->Sizes.size() > kMaxSizesOfAFamily)
        return;
    item.CollectEstimateCodes(*this);
}

void EstimateCodeCollection::offer(const std::string& code, const std::string& name) {
    if (code.empty() || code.front() == '@' || m_known.count(code))
        return;
    m_known.insert(code);
    m_pairs.emplace_back(code, name);
}

std::string appendEstimateCodes(std::string_view linkFileBytes,
                                const std::vector<std::pair<std::string, std::string>>& pairs) {
    const bool utf8 = isValidUtf8(linkFileBytes);
    const bool bareLf = linkFileBytes.find('\n') != std::string_view::npos &&
                        linkFileBytes.find("\r\n") == std::string_view::npos;
    const std::string_view lineEnd = bareLf ? "\n" : "\r\n";
    std::string out(linkFileBytes);
    if (!out.empty() && out.back() != '\n' && out.back() != '\r')
        out += lineEnd;
    for (const auto& [code, name] : pairs) {
        const std::string line = code + ";\t" + name;
        out += utf8 ? line : toWindows1250(line);
        out += lineEnd;
    }
    return out;
}

std::size_t
appendEstimateCodesToFile(const std::string& linkFile,
                          const std::vector<std::pair<std::string, std::string>>& pairs) {
    const std::string bytes = readFile(linkFile);
    if (pairs.empty())
        return 0;
    writeFileSafely(linkFile, appendEstimateCodes(bytes, pairs));
    return pairs.size();
}

std::set<std::string> readKnownEstimateCodes(const std::string& linkFile) {
    return knownEstimateCodes(textFromStoredBytes(readFile(linkFile)));
}

} // namespace kalydor
