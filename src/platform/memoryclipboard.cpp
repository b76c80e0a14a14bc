#include "platform/memoryclipboard.h"

#include <algorithm>

namespace kalydor::platform {

void MemoryClipboard::setEntries(const std::vector<ClipboardEntry>& entries) {
    m_entries = entries;
}

bool MemoryClipboard::hasFormat(std::string_view format) const {
    return data(format).has_value();
}

std::optional<std::string> MemoryClipboard::data(std::string_view format) const {
    // A format published twice holds its last bytes, as on a system clipboard.
    const auto it = std::find_if(m_entries.rbegin(), m_entries.rend(),
                                 [&](const ClipboardEntry& e) { return e.format == format; });
    if (it == m_entries.rend())
        return std::nullopt;
    return it->bytes;
}

} // namespace kalydor::platform
