#include "platform/settingsstore.h"

#include <charconv>

namespace kalydor::platform {

std::vector<std::string> splitKeyPath(const std::string& key) {
    std::vector<std::string> levels;
    std::size_t start = 0;
    while (start <= key.size()) {
        const std::size_t slash = key.find('/', start);
        const std::size_t end = slash == std::string::npos ? key.size() : slash;
        if (end > start)
            levels.push_back(key.substr(start, end - start));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return levels;
}

std::optional<std::int64_t> integerFromText(const std::string& text) {
    std::int64_t value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(begin, end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

std::optional<bool> boolFromText(const std::string& text) {
    if (text == "true" || text == "1")
        return true;
    if (text == "false" || text == "0")
        return false;
    return std::nullopt;
}

} // namespace kalydor::platform
