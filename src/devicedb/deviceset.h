#pragma once

#include "devicedb/devicehierarchy.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class DeviceStore;

/// The header of a set file.
inline constexpr std::string_view kSetFileHeader = "Kalydor 3.0 Set file";
/// The section names of a set file, by kind.
inline constexpr std::string_view kSetFileSections[] = {"[RADIATORS]", "[ITEMLISTS]"};

/// What a set file lists: the item names of each kind, and which kinds had a section.
struct DeviceSetFile {
    std::array<std::vector<std::string>, 2> names;
    std::array<bool, 2> hasSection{false, false};

    bool operator==(const DeviceSetFile&) const = default;
};

/// Reads the bytes of a set file: the header as a counted string, then sections, each a name
/// (a counted string), a 32-bit count and that many names. Sections of an unknown name are
/// skipped. The whole file is read before anything is returned; a wrong header, a count that
/// is negative or larger than the bytes that remain could hold, or a file cut short raise
/// "IDS_SETFILEERROR".
DeviceSetFile readDeviceSetFile(std::string_view bytes);
/// The bytes of a set file holding both sections.
std::string writeDeviceSetFile(const DeviceSetFile& file);

/// Whether a set keeps a flag per item.
enum class SetSelection : std::uint8_t { Without, With };

/// One item a walk through a set yields.
struct DeviceSetEntry {
    DeviceKind kind = DeviceKind::RadiatorFamily;
    std::string name;
    std::string path;

    bool operator==(const DeviceSetEntry&) const = default;
};

/// A choice of items of the device table (for export, printing, maintenance): the folder lists
/// of both kinds with a flag per item, saved to and loaded from set files. While AllItems is
/// set every item counts as selected, whatever its flag.
class DeviceSet {
public:
    /// The folder lists of both kinds read from the table (their errors are raised); with a
    /// selection, every flag cleared.
    DeviceSet(DeviceStore& store, SetSelection selection);
    /// A set over lists already read (radiator families first, then piece lists).
    DeviceSet(DeviceHierarchy radiatorFamilies, DeviceHierarchy pieceLists, SetSelection selection);

    std::string FileName;
    bool WithSelection;
    bool AllItems = true;

    DeviceHierarchy& hierarchy(DeviceKind kind);
    const DeviceHierarchy& hierarchy(DeviceKind kind) const;

    /// Reads a set file and, only when the whole file could be read, applies it: every flag
    /// of each kind the file has a section for is cleared and the flags of the names listed
    /// that exist are set; AllItems is cleared and FileName becomes `path`. A file that cannot
    /// be read or is not a set file raises "IDS_SETFILEERROR" (its text followed by the path in
    /// brackets) and the set stays as it was.
    void loadFile(const std::string& path);
    /// Applies what a set file lists, as loadFile does.
    void apply(const DeviceSetFile& file);
    /// Writes the selected names of both kinds to a set file, replacing it safely; FileName
    /// becomes `path`.
    void saveFile(const std::string& path);
    /// The selected names of both kinds, in list order.
    DeviceSetFile selection() const;

    /// Position of a walk through the selected items; a new one starts at the beginning.
    struct Position {
        std::size_t kind = 0;
        std::size_t index = 0;
    };
    /// The next selected item from `position` on (radiator families first, each kind in list
    /// order), advancing the position; nothing at the end.
    std::optional<DeviceSetEntry> next(Position& position) const;
    bool isSelected(DeviceKind kind, std::string_view name) const;
    /// Sets or clears the flag of an item (starting the kind's flags when there are none);
    /// false when the item is not listed.
    bool select(DeviceKind kind, std::string_view name, bool selected);

private:
    bool selectedAt(const DeviceHierarchy& list, std::size_t index) const;

    std::array<DeviceHierarchy, 2> m_lists;
};

} // namespace kalydor
