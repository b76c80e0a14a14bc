#include "base/resources.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace kalydor {

// Generated at build time from the files under resources/.
extern const std::pair<std::string_view, std::string_view> kEmbeddedResources[];

std::string_view embeddedResource(std::string_view name) {
    for (const auto* entry = kEmbeddedResources; !entry->first.empty(); ++entry) {
        if (entry->first == name)
            return entry->second;
    }
    return {};
}

std::string_view namedResource(std::string_view folder, std::string_view name) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (const auto* entry = kEmbeddedResources; !entry->first.empty(); ++entry) {
        std::string_view path = entry->first;
        if (path.size() <= folder.size() + 1 || !path.starts_with(folder) ||
            path[folder.size()] != '/')
            continue;
        path.remove_prefix(folder.size() + 1);
        path = path.substr(0, path.rfind('.'));
        if (path.size() == name.size() &&
            std::equal(path.begin(), path.end(), name.begin(),
                       [&](char a, char b) { return lower(a) == lower(b); }))
            return entry->second;
    }
    return {};
}

namespace {

std::string unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i]) {
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            out += '\\';
            out += text[i];
            break;
        }
    }
    return out;
}

const std::map<int, std::string>& stringTable() {
    static const std::map<int, std::string> table = [] {
        std::map<int, std::string> entries;
        parseStringTable(embeddedResource("stringtable.txt"), entries);
        return entries;
    }();
    return table;
}

} // namespace

void parseStringTable(std::string_view source, std::map<int, std::string>& entries) {
    while (!source.empty()) {
        const std::size_t end = source.find('\n');
        std::string_view line = source.substr(0, end);
        source = end == std::string_view::npos ? std::string_view() : source.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t tab = line.find('\t');
        int number = 0;
        const auto parsed =
            std::from_chars(line.data(), line.data() + std::min(tab, line.size()), number);
        if (tab == std::string_view::npos || parsed.ec != std::errc() ||
            parsed.ptr != line.data() + tab)
            continue;
        entries[number] = unescape(line.substr(tab + 1));
    }
}

std::string stringTableEntry(int n) {
    const auto& table = stringTable();
    const auto it = table.find(n);
    return it == table.end() ? std::string() : it->second;
}

} // namespace kalydor
