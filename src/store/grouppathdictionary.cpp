#include "store/grouppathdictionary.h"

#include "store/itemstore.h"

#include <unordered_set>

namespace kalydor {

GroupPathDictionary::GroupPathDictionary(ItemStore* store, std::int16_t groupType) {
    if (!store)
        return;
    for (Reference& group : store->ListRecords(groupType))
        m_entries.push_back({std::move(group.Name), std::move(group.RefID), std::move(group.ID)});
}

std::string GroupPathDictionary::PathOf(const std::string& groupId,
                                        std::string_view separator) const {
    std::string path;
    std::unordered_set<std::string> seen;
    std::string current = groupId;
    while (seen.insert(current).second) {
        const Entry* found = nullptr;
        for (const Entry& entry : m_entries) {
            if (entry.id == current) {
                found = &entry;
                break;
            }
        }
        if (!found)
            break;
        path = path.empty() ? found->name : found->name + std::string(separator) + path;
        current = found->refId;
    }
    return path;
}

} // namespace kalydor
