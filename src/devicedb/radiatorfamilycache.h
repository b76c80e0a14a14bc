#pragma once

#include "devicedb/deviceitem.h"

#include <map>
#include <memory>
#include <string>

namespace kalydor {

class DeviceStore;

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

} // namespace kalydor
