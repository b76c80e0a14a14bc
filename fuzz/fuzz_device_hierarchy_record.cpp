// Arbitrary bytes as the folder-list record of the device table: the reader must end with
// parallel lists or the system's error (the lists then empty), never a crash, an overlong read
// or a hang. Lists that were read must be written and read back to the same lists, and their
// tree must hold every entry.
//
// The first byte chooses the record's date: 0 none (the older form of two texts),
// 1 1901-01-01 (without values), 2 1901-01-02 (with values), 3 a date of no form.
//
//   build/fuzz/bin/fuzz_device_hierarchy_record tests/data/fuzz/device_hierarchy_record

#include "base/error.h"
#include "devicedb/devicehierarchy.h"
#include "store/treemodel.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace kalydor;

namespace {

bool parallel(const DeviceHierarchy& h) {
    return h.Paths.size() == h.Names.size() &&
           (h.Values.empty() || h.Values.size() == h.Names.size()) &&
           (h.Selected.empty() || h.Selected.size() == h.Names.size());
}

DeviceDate dateOf(std::uint8_t selector) {
    switch (selector % 4) {
    case 0:
        return {};
    case 1:
        return {1901, 1, 1};
    case 2:
        return {1901, 1, 2};
    default:
        return {2026, 3, 14};
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    DeviceHierarchy h(DeviceKind::RadiatorFamily);
    try {
        h.read(dateOf(data[0]), bytes);
    } catch (const Error&) {
        // A damaged record: the lists are left empty.
        if (h.size() != 0 || !h.Paths.empty() || !h.Values.empty())
            std::abort();
        return 0;
    }
    if (!parallel(h))
        std::abort();

    std::string written;
    try {
        written = h.recordData();
    } catch (const Error& error) {
        // A name read as Windows-1250 may grow beyond a counted string in UTF-8.
        if (error.key() != "IDS_TEXTTOOLONG")
            std::abort();
        return 0;
    }
    DeviceHierarchy again(DeviceKind::RadiatorFamily);
    again.read(h.recordDate(), written);
    if (again.Names != h.Names || again.Paths != h.Paths || again.Values != h.Values)
        std::abort();

    TreeModel tree;
    h.buildTree(tree);
    if (tree.nodeCount() < h.size() + 1)
        std::abort();

    h.clearSelection();
    if (h.size() > 0)
        h.Selected[0] = true;
    h.put("fuzz", "A\\B", 1);
    h.remove(h.size() > 1 ? h.Names[0] : std::string());
    if (!parallel(h))
        std::abort();
    h.keepSelected();
    if (!parallel(h))
        std::abort();
    return 0;
}
