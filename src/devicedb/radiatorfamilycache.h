#pragma once

#include "devicedb/deviceitem.h"

#include <map>
#include <memory>
#include <string>

namespace kalydor {

class DeviceStore;

/// Where radiator operations find the family a radiator names: the device table through its
/// cache in the program, a fixed family in tests and tools.
class RadiatorFamilySource {
public:
    virtual ~RadiatorFamilySource() = default;
    /// The family of this name, or nothing when there is none (or no device table is open).
    virtual const RadiatorFamily* family(const std::string& name) = 0;
};

/// The radiator families the sizing has read from the device table, by name: each is read
/// once and then shared until the cache is cleared (when the table changes or another is
/// chosen).
class RadiatorFamilyCache {
public:
    /// The family of this name: the cached one, else read from the table. Nothing, and
    /// nothing kept, when the table has no such family or its record cannot be read.
    const RadiatorFamily* get(DeviceStore& store, const std::string& name);
    void clear() { m_families.clear(); }
    std::size_t size() const { return m_families.size(); }

private:
    std::map<std::string, std::unique_ptr<RadiatorFamily>, std::less<>> m_families;
};

/// The families of an open device table, each read once through the cache.
class CachedRadiatorFamilies final : public RadiatorFamilySource {
public:
    CachedRadiatorFamilies(DeviceStore* store, RadiatorFamilyCache& cache)
        : m_store(store)
        , m_cache(cache) {}
    const RadiatorFamily* family(const std::string& name) override;

private:
    DeviceStore* m_store;
    RadiatorFamilyCache& m_cache;
};

} // namespace kalydor
