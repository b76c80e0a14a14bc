// Arbitrary bytes as a device item's data: its binary form as it is, or as the table stores
// it, compressed. The readers must end with an item or the system's error, never a crash, an
// overlong read, an expansion beyond its bound or a hang. An item that was read must pack and
// unpack to the same binary form, and its lookups must stay inside its lists.
//
// The first byte chooses the reader: bit 0 the kind (radiator family, piece list), bit 1 the
// compressed form.
//
//   build/fuzz/bin/fuzz_device_record tests/data/fuzz/device_record

#include "base/error.h"
#include "base/memorystream.h"
#include "devicedb/deviceitem.h"
#include "silentprompter.h"
#include "store/treemodel.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace kalydor;

namespace {

std::string binaryOf(const DeviceItem& item) {
    MemoryStream stream;
    item.WriteBinary(stream);
    return stream.bytes();
}

class Codes final : public EstimateCodeCollector {
public:
    void offer(const std::string&, const std::string&) override { ++count; }
    std::size_t count = 0;
};

void exercise(const DeviceItem& item) {
    Codes codes;
    item.CollectEstimateCodes(codes);
    TreeModel tree;
    item.FillTree(tree);
    const auto* family = dynamic_cast<const RadiatorFamily*>(&item);
    if (!family)
        return;
    for (std::size_t i = 0; i < family->Sizes.size(); ++i) {
        const std::string& code = family->Sizes[i].Name;
        const RadiatorFamily::SizePosition at = family->FindSize(code);
        if (!at.found() || at.size > static_cast<int>(i))
            std::abort();
        (void)family->NextSize(code);
        (void)family->PreviousSize(code);
        (void)family->sizeDimensions(static_cast<int>(i));
    }
    for (std::size_t t = 0; t < family->MainTypes.size(); ++t) {
        (void)family->MainTypeKv(static_cast<int>(t));
        const RadiatorMainType& type = family->MainTypes[t];
        (void)family->MainTypeAt(type.DimensionIndex.empty() ? 0 : type.DimensionIndex[0],
                                 type.DimensionIndex.size() < 2 ? 0 : type.DimensionIndex[1]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silencePrompts();
    if (size == 0)
        return 0;
    const DeviceKind kind = (data[0] & 1) ? DeviceKind::PieceList : DeviceKind::RadiatorFamily;
    const bool compressed = (data[0] & 2) != 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::unique_ptr<DeviceItem> item = createDeviceItem(kind);
    try {
        if (compressed) {
            item->unpack(bytes);
        } else {
            MemoryStream stream{std::string(bytes)};
            item->ReadBinary(stream);
        }
    } catch (const Error&) {
        return 0;
    }
    exercise(*item);

    std::string packed;
    try {
        packed = item->packed();
    } catch (const Error& error) {
        // A text read as Windows-1250 may grow beyond a counted string in UTF-8.
        if (error.key() != "IDS_TEXTTOOLONG")
            std::abort();
        return 0;
    }
    const std::unique_ptr<DeviceItem> again = createDeviceItem(kind);
    again->unpack(packed);
    if (binaryOf(*again) != binaryOf(*item))
        std::abort();
    return 0;
}
