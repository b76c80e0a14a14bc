#pragma once

#include "platform/clipboard.h"

namespace kalydor::platform {

/// A clipboard held in memory: used by the tests and by command-line runs.
class MemoryClipboard final : public Clipboard {
public:
    void setEntries(const std::vector<ClipboardEntry>& entries) override;
    bool hasFormat(std::string_view format) const override;
    std::optional<std::string> data(std::string_view format) const override;

    /// The entries in the order they were published.
    const std::vector<ClipboardEntry>& entries() const { return m_entries; }

private:
    std::vector<ClipboardEntry> m_entries;
};

} // namespace kalydor::platform
