#pragma once

#include "rooms/internalpowers.h"
#include "store/dbitem.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

class Room;
class TextDocument;
class TextLookup;
struct BuildingData;

/// A building of the project: the site and climate data its rooms copy, an optional parent
/// building it is part of, and totals gathered from its rooms. Rooms name their building by
/// its item identifier; the building keeps no list of them.
class Building final : public DBItem {
public:
    Building() = default;

    static constexpr std::int16_t kCurrentVersion = 53;

    std::int16_t Pollution = 0;
    std::int16_t WallMassMode = 1;
    std::int16_t UsingMode = 0;  ///< stored, not edited
    std::int16_t Compass = 0;    ///< degrees
    float SummerValue = 0;       ///< stored, not edited
    float HeatingLoss = 0;       ///< W, total of the rooms
    float RadiatorsPowerSum = 0; ///< W, total of the rooms; not stored
    float CalculatedMass = 0;    ///< kg/m²
    HourlyCoolingLoad CoolingLoad;
    std::string SettlementName;
    std::int16_t BuildingCategory = 0;
    float SeaLevel = 0; ///< m
    float SettlementTemp = 23;
    float SettlementSwing = 7;
    std::string ParentID;
    /// The parent's name a clipboard copy carries (not stored).
    std::string ParentName;
    /// The heat-pump check of its rooms as the buildings list shows it, °C (not stored;
    /// none: not checked, or a room falls short even at the highest flow).
    std::optional<double> LowestFlow;

    /// The building values a room keeps a copy of.
    BuildingData data() const;
    /// A new building's data from a room's copy of its building's data (orientation 0).
    void FromRoom(const Room& room);

    /// The climate values of the settlement: from its entry of the settlement list when the
    /// name is in it, else from the altitude and the category. A category the rule has no
    /// value for leaves `SettlementTemp` as it is.
    void SetClimate(const std::vector<struct SettlementEntry>& list);

    /// Opens the building dialog of the context; false when there is none or it was
    /// cancelled.
    bool Edit(platform::Window* owner, const ItemContext& context) override;
    bool ReadRecord(MemoryStream& stream, std::int16_t version) override;
    bool WriteRecord(MemoryStream& stream, VersionWord versionWord) override;
    std::string ColumnText(int columnId, const ListColumns& columns) const override;
    /// The result lines of the building's report in plain text (when given) and rich text:
    /// its name (and its parent's, `ParentName`), then with the heating part the totals.
    void writeResultLines(TextDocument* text, TextDocument& rtf, bool heatingPart) const;
    /// The result lines of the printed sheet, numbers as the language writes them.
    std::string printedSheet(const TextLookup& languages, bool heatingPart) const;
    /// The report part of a clipboard copy: the result lines, the table of its rooms (own
    /// rooms first) in rich text, and the building and its rooms as spreadsheet rows.
    void writeReport(ClipboardDocument& stream, const std::vector<Room>& rooms) const;
    /// With the report: its rooms collected and its totals rebuilt (on a copy) write the
    /// report part; then the name, the record and the parent's name.
    bool CopyTo(ClipboardDocument& stream, const ItemContext& context, ClipboardCopy what) override;
    bool PasteFrom(MemoryStream& binaryPart) override;
};

/// One entry of the settlement list: the names it offers and its five climate values.
struct SettlementEntry {
    std::vector<std::string> names;
    std::array<double, 5> values{};
};
/// The settlement list of the language ("IDS_SETTLEMENTNAME+" n until a key has no text);
/// an entry with too few values is left out.
std::vector<SettlementEntry> settlementList();
/// The entry whose names hold the typed name (trimmed, exact), or none.
std::optional<int> settlementEntryOf(const std::vector<SettlementEntry>& list,
                                     const std::string& typed);

} // namespace kalydor
