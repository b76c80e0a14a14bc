// Arbitrary bytes as a set file of the device database: the reader must end with the names
// of each kind or "IDS_SETFILEERROR", never a crash, an overlong read, a huge allocation or a
// hang. What was read must be written and read back to the same names, and applying it to a
// set must flag exactly the listed names of each kind it has a section for.
//
//   build/fuzz/bin/fuzz_device_set_file tests/data/fuzz/device_set_file

#include "base/error.h"
#include "devicedb/deviceset.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace kalydor;

namespace {

DeviceSet smallSet() {
    DeviceHierarchy families(DeviceKind::RadiatorFamily);
    families.put("F1", "A");
    families.put("F2", "A\\B");
    DeviceHierarchy pieces(DeviceKind::PieceList);
    pieces.put("P1", "");
    return DeviceSet(std::move(families), std::move(pieces), SetSelection::With);
}

bool listed(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DeviceSetFile file;
    try {
        file = readDeviceSetFile(bytes);
    } catch (const Error& error) {
        if (error.key() != "IDS_SETFILEERROR")
            std::abort();
        return 0;
    }

    std::string written;
    try {
        written = writeDeviceSetFile(file);
    } catch (const Error& error) {
        // A name read as Windows-1250 may grow beyond a counted string in UTF-8.
        if (error.key() != "IDS_TEXTTOOLONG")
            std::abort();
        return 0;
    }
    const DeviceSetFile again = readDeviceSetFile(written);
    if (again.names != file.names)
        std::abort();

    DeviceSet set = smallSet();
    set.apply(file);
    if (set.AllItems)
        std::abort();
    for (const DeviceKind kind : kDeviceKinds) {
        const auto k = static_cast<std::size_t>(deviceKindNumber(kind));
        const DeviceHierarchy& list = set.hierarchy(kind);
        for (const std::string& name : list.Names) {
            const bool expected = file.hasSection[k] && listed(file.names[k], name);
            if (set.isSelected(kind, name) != expected)
                std::abort();
        }
    }
    DeviceSet::Position position;
    std::size_t walked = 0;
    while (set.next(position))
        ++walked;
    if (walked > set.hierarchy(DeviceKind::RadiatorFamily).size() +
                     set.hierarchy(DeviceKind::PieceList).size())
        std::abort();
    return 0;
}
