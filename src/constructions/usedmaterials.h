#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

class ClipboardDocument;
class ItemStore;
class TextLookup;

/// One line of the bill of materials: a device or part with its cost-estimate code and the
/// quantity built into the project.
struct UsedMaterialItem {
    std::uint8_t Type = 0; ///< device type; its text is "IDS_DEVICEDBTYPES+" the type
    std::string Name;
    std::string EstimateCode; ///< may be empty; "@" and a piece list's name expands
    std::string Unit;
    float Quantity = 0;
    std::string GroupText; ///< where the device is kept in the device table
    std::int32_t Flag = 0;
    /// The piece lists this line was expanded from, outermost first (not shown anywhere): a
    /// list met again on its own chain is a cycle.
    std::vector<std::string> ExpandedFrom;
};

/// A piece list as the bill reads it from the device table: its lines and its folder.
struct BillPieceList {
    struct Entry {
        std::int16_t Type = 0;
        std::string Name;
        float Quantity = 0;
        std::string DimensionString; ///< the unit; empty means pieces
        std::string EstimateCode;
    };
    std::vector<Entry> entries;
    std::string path;
};

/// The device table as the bill sees it.
class BillDevices {
public:
    virtual ~BillDevices() = default;
    /// The piece list of exactly this name, or none when the table has no such list (or none
    /// is open, or its record cannot be read).
    virtual std::optional<BillPieceList> pieceList(const std::string& name) = 0;
    /// The estimate code of a radiator size; empty when the family or size is unknown.
    virtual std::string radiatorEstimateCode(const std::string& family,
                                             const std::string& typeCode) = 0;
    /// The folder of a radiator family in the device table; empty when it is not listed.
    virtual std::string familyPath(const std::string& family) = 0;
};

/// Told how far the bill got (rooms read of the total); returning false stops it.
using BillProgress = std::function<bool(std::size_t done, std::size_t total)>;

/// The bill of materials: the devices built into the project's rooms, merged over the whole
/// project, expanded through the device table's piece lists and sorted.
class UsedMaterials {
public:
    explicit UsedMaterials(BillDevices* devices = nullptr);

    /// The bill of a project: every stored room adds its devices, then the piece lists are
    /// expanded and the lines sorted. A room that cannot be read is named in `unreadable`.
    /// False when the progress callback stopped it (the lines are then incomplete).
    bool Build(ItemStore& project, const BillProgress& progress = {});

    BillDevices* devices() const { return m_devices; }
    const std::vector<UsedMaterialItem>& lines() const { return m_lines; }
    /// Rooms that could not be read, and piece lists left unexpanded because they contain
    /// themselves (named once each).
    const std::vector<std::string>& unreadable() const { return m_unreadable; }
    const std::vector<std::string>& cycles() const { return m_cycles; }

    /// Adds a line: a line of the same type, name and estimate code takes the quantity (and
    /// nothing else); otherwise the line is appended.
    void Add(UsedMaterialItem line);
    /// Replaces every line whose code is "@" and a piece list's name (or, failing that, the
    /// whole code) by the list's entries, quantities multiplied, and repeats while a pass
    /// replaced anything. A list reached again from itself is left as its line and named in
    /// `cycles()`.
    void Expand();
    /// Ascending by type, then by name as the language sorts.
    void Sort();

    /// The lines of these indexes as a copy: text lines, the rich-text table under
    /// "UsedMaterialsRTFHeader" and "USEDMATERIALSTABLE", and spreadsheet rows under the titles
    /// "IDS_USEDMATERIALSBIFFTITLE+" n.
    void WriteCopy(ClipboardDocument& stream, const std::vector<std::size_t>& chosen) const;
    /// The export file of these lines for a cost-estimating program, in the Windows-1250 code
    /// page, one line each ended by CR LF.
    std::string ExportText(const std::vector<std::size_t>& chosen,
                           const TextLookup& languages) const;

private:
    BillDevices* m_devices;
    std::vector<UsedMaterialItem> m_lines;
    std::vector<std::string> m_unreadable;
    std::vector<std::string> m_cycles;
};

/// One line of the export file (UTF-8, without its line end): the quoted estimate code (or
/// the text of "IDS_KTETEL" when it has none), the quantity with 6 significant digits, the
/// unit, the quoted name, and seven more separators. Quotes inside a quoted field are
/// doubled; line breaks become blanks, and so does ";" in the unit.
std::string usedMaterialExportLine(const UsedMaterialItem& line, const TextLookup& languages);

} // namespace kalydor
