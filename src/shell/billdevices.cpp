#include "shell/billdevices.h"

#include "base/error.h"
#include "devicedb/deviceitem.h"
#include "devicedb/devicestore.h"
#include "devicedb/radiatorfamilycache.h"

namespace kalydor {

DeviceTableBillDevices::DeviceTableBillDevices(DeviceStore* store, RadiatorFamilySource* families)
    : m_store(store)
    , m_families(families) {}

std::optional<BillPieceList> DeviceTableBillDevices::pieceList(const std::string& name) {
    if (m_store == nullptr)
        return std::nullopt;
    std::unique_ptr<DeviceItem> item;
    try {
        item = loadDeviceItem(*m_store, DeviceKind::PieceList, name);
    } catch (const Error&) {
        return std::nullopt; // a damaged list expands to nothing: its line stays
    }
    const auto* list = dynamic_cast<const PieceList*>(item.get());
    if (list == nullptr)
        return std::nullopt;
    BillPieceList read;
    for (const PieceListLine& line : list->Lines)
        read.entries.push_back(
            {line.Type, line.Name, line.Quantity, line.DimensionString, line.EstimateCode});
    read.path = pathIn(m_listFolders, DeviceKind::PieceList, name);
    return read;
}

std::string DeviceTableBillDevices::radiatorEstimateCode(const std::string& family,
                                                         const std::string& typeCode) {
    if (m_families == nullptr)
        return {};
    const RadiatorFamily* found = m_families->family(family);
    if (found == nullptr)
        return {};
    const RadiatorFamily::SizePosition position = found->FindSize(typeCode);
    if (!position.found())
        return {};
    return found->Sizes[static_cast<std::size_t>(position.size)].EstimateCode;
}

std::string DeviceTableBillDevices::familyPath(const std::string& family) {
    return pathIn(m_familyFolders, DeviceKind::RadiatorFamily, family);
}

std::string DeviceTableBillDevices::pathIn(std::optional<DeviceHierarchy>& folders, DeviceKind kind,
                                           const std::string& name) {
    if (m_store == nullptr)
        return {};
    if (!folders) {
        folders.emplace(kind);
        try {
            folders->load(*m_store);
        } catch (const Error&) {
            folders.emplace(kind); // a damaged folder list names no folder
        }
    }
    const int index = folders->indexOf(name);
    return index >= 0 ? folders->Paths[static_cast<std::size_t>(index)] : std::string();
}

} // namespace kalydor
