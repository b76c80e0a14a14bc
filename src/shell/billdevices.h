#pragma once

#include "constructions/usedmaterials.h"
#include "devicedb/devicehierarchy.h"

#include <optional>
#include <string>

namespace kalydor {

class DeviceStore;
class RadiatorFamilySource;

/// The open device table as the bill of materials reads it: piece lists, the estimate codes
/// of radiator sizes and the folders of both. Without a table it knows no device.
class DeviceTableBillDevices final : public BillDevices {
public:
    DeviceTableBillDevices(DeviceStore* store, RadiatorFamilySource* families);

    std::optional<BillPieceList> pieceList(const std::string& name) override;
    std::string radiatorEstimateCode(const std::string& family,
                                     const std::string& typeCode) override;
    std::string familyPath(const std::string& family) override;

private:
    std::string pathIn(std::optional<DeviceHierarchy>& folders, DeviceKind kind,
                       const std::string& name);

    DeviceStore* m_store;
    RadiatorFamilySource* m_families;
    std::optional<DeviceHierarchy> m_familyFolders;
    std::optional<DeviceHierarchy> m_listFolders;
};

} // namespace kalydor
