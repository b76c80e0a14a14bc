#pragma once

#include "base/error.h"
#include "codecs/xmlwriter.h"
#include "devicedb/devicesource.h"
#include "devicedb/devicetext.h"
#include "devicedb/devicexml.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace kalydor::fuzz {

/// The folder of the fuzzed load; it does not exist on the disk.
inline constexpr std::string_view kDeviceSourceFolder = "/kalydor-fuzz/db/";

/// An item a source gave must be one the program can use: checked, named, and writable in
/// both forms. A reader that hands over anything else has a fault.
inline void requireUsable(const DeviceItem& item) {
    try {
        if (const auto* family = dynamic_cast<const RadiatorFamily*>(&item))
            family->check();
        else if (const auto* list = dynamic_cast<const PieceList*>(&item))
            list->check();
        checkDeviceName(item.Name);
        XmlWriter writer({}, std::string(kDeviceXmlRoot));
        writeDeviceXml(writer, item);
    } catch (const Error&) {
        std::abort();
    }
    std::string text;
    try {
        writeDeviceText(text, item);
    } catch (const Error&) {
        // A family with one dimension list has no text form.
    }
}

/// Loads the input as the first file `first` of the folder. The included files come from
/// memory: "b" (in the folder and in "sub") is the input again, so that includes of itself
/// and deep nesting are reached; "c" is a small valid file; the input also lies outside the
/// folder, where the reader must not take it; any other file is missing.
inline void loadDeviceSource(const std::uint8_t* data, std::size_t size, const char* first,
                             const char* extension) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string folder(kDeviceSourceFolder);
    const std::string ext(extension);
    const std::string small = ext == "xml" ? "<KalydorDB><DBReset/></KalydorDB>" : "\"RESET\"";
    DeviceSourceReader reader({folder + first});
    reader.setLanguage("en");
    reader.setFileLoader([&](const std::string& path) -> std::string {
        if (path == folder + first || path == folder + "b." + ext ||
            path == folder + "sub/b." + ext || path == "/kalydor-fuzz/other/b." + ext)
            return bytes;
        if (path == folder + "c." + ext)
            return small;
        throw Error("IDS_FILEREADERROR", {path, std::string("absent")});
    });
    DeviceSourceEvents events;
    events.item = [](std::unique_ptr<DeviceItem> item) { requireUsable(*item); };
    try {
        reader.run(events);
    } catch (const Error&) {
        // A faulty source ends the load with the system's error.
    }
}

} // namespace kalydor::fuzz
