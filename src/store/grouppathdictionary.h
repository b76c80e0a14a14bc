#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class ItemStore;

/// A snapshot of the group records of one group type, taken when a report is prepared; it
/// answers the path of a group identifier without going back to the store.
class GroupPathDictionary {
public:
    /// Loads the groups of the store; nothing without a store (no project open).
    GroupPathDictionary(ItemStore* store, std::int16_t groupType);

    struct Entry {
        std::string name;
        std::string refId;
        std::string id;
    };
    const std::vector<Entry>& entries() const { return m_entries; }
    void add(Entry entry) { m_entries.push_back(std::move(entry)); }

    /// The names from the top down to the group joined by the separator, without a trailing
    /// one; the walk up ends at an identifier that is no entry (the root, a missing parent)
    /// or one met before. Empty for an unknown identifier.
    std::string PathOf(const std::string& groupId, std::string_view separator) const;

private:
    std::vector<Entry> m_entries;
};

} // namespace kalydor
