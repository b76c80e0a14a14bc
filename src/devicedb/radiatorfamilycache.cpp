#include "devicedb/radiatorfamilycache.h"

#include "base/error.h"
#include "devicedb/devicestore.h"

namespace kalydor {

const RadiatorFamily* RadiatorFamilyCache::get(DeviceStore& store, const std::string& name) {
    if (const auto it = m_families.find(name); it != m_families.end())
        return it->second.get();
    std::unique_ptr<DeviceItem> item;
    try {
        item = loadDeviceItem(store, DeviceKind::RadiatorFamily, name);
    } catch (const Error&) {
        // A damaged record is a family the sizing cannot use, as a missing one.
        return nullptr;
    }
    if (!item)
        return nullptr;
    std::unique_ptr<RadiatorFamily> family(static_cast<RadiatorFamily*>(item.release()));
    const RadiatorFamily* found = family.get();
    m_families.emplace(name, std::move(family));
    return found;
}

const RadiatorFamily* CachedRadiatorFamilies::family(const std::string& name) {
    return m_store != nullptr ? m_cache.get(*m_store, name) : nullptr;
}

} // namespace kalydor
