#pragma once

#include "devicedb/devicehierarchy.h"
#include "devicedb/devicestore.h"

#include <vector>

namespace kalydor::test {

// Stores items in a device table with their folder entries, as a load leaves them.
inline void storeItems(DeviceStore& table, const std::vector<const DeviceItem*>& items) {
    DeviceHierarchy families(DeviceKind::RadiatorFamily);
    DeviceHierarchy lists(DeviceKind::PieceList);
    families.load(table);
    lists.load(table);
    for (const DeviceItem* item : items) {
        storeDeviceItem(table, *item);
        (item->kind() == DeviceKind::RadiatorFamily ? families : lists).put(item->Name, item->Path);
    }
    families.save(table);
    lists.save(table);
}

} // namespace kalydor::test
