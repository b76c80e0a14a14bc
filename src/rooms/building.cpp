#include "rooms/building.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "base/textlookup.h"
#include "reports/clipboarddocument.h"
#include "rooms/buildingeditor.h"
#include "rooms/linkedcopy.h"
#include "rooms/projectrecalculation.h"
#include "rooms/room.h"
#include "rooms/roomcontext.h"
#include "store/itemstream.h"

#include <cmath>

namespace kalydor {
namespace {

enum Tag : std::int16_t { kEnd = 0, kMain = 1, kSettlement = 3 };

// How many settlement entries are looked for at most: the list ends at the first key
// without a text.
constexpr int kMaxSettlements = 10000;

} // namespace

std::vector<SettlementEntry> settlementList() {
    std::vector<SettlementEntry> list;
    for (int n = 0; n < kMaxSettlements; ++n) {
        const std::string text = GetText("IDS_SETTLEMENTNAME+" + std::to_string(n));
        if (text.empty())
            break;
        const std::vector<std::string> parts = splitText(text, ';');
        SettlementEntry entry;
        if (parts.size() < 6)
            continue; // too few values: not offered
        for (const std::string& name : splitText(parts[0], ','))
            if (!trimmedText(name).empty())
                entry.names.push_back(trimmedText(name));
        bool numbers = true;
        for (std::size_t i = 0; i < entry.values.size(); ++i) {
            try {
                entry.values[i] = ParseNumber(parts[i + 1]);
            } catch (const Error&) {
                numbers = false;
            }
        }
        if (numbers)
            list.push_back(std::move(entry));
    }
    return list;
}

std::optional<int> settlementEntryOf(const std::vector<SettlementEntry>& list,
                                     const std::string& typed) {
    const std::string name = trimmedText(typed);
    for (std::size_t n = 0; n < list.size(); ++n)
        for (const std::string& candidate : list[n].names)
            if (candidate == name)
                return static_cast<int>(n);
    return std::nullopt;
}

BuildingData Building::data() const {
    BuildingData d;
    d.Pollution = Pollution;
    d.WallMassMode = WallMassMode;
    d.Compass = Compass;
    d.SettlementName = SettlementName;
    d.BuildingCategory = BuildingCategory;
    d.SeaLevel = SeaLevel;
    d.SettlementTemp = SettlementTemp;
    d.SettlementSwing = SettlementSwing;
    return d;
}

void Building::FromRoom(const Room& room) {
    Pollution = room.Building.Pollution;
    WallMassMode = room.Building.WallMassMode;
    SummerValue = room.Summer.values[0];
    Compass = 0;
    SettlementName = room.Building.SettlementName;
    BuildingCategory = room.Building.BuildingCategory;
    SeaLevel = room.Building.SeaLevel;
    SettlementTemp = room.Building.SettlementTemp;
    SettlementSwing = room.Building.SettlementSwing;
}

void Building::SetClimate(const std::vector<SettlementEntry>& list) {
    if (const std::optional<int> entry = settlementEntryOf(list, SettlementName)) {
        const SettlementEntry& e = list[static_cast<std::size_t>(*entry)];
        if (BuildingCategory >= 0 && BuildingCategory <= 4)
            SettlementTemp =
                static_cast<float>(e.values[static_cast<std::size_t>(BuildingCategory)]);
        SettlementSwing = static_cast<float>(e.values[4]);
        return;
    }
    constexpr double kCategoryTerm[] = {5, 4, 3, 2};
    if (BuildingCategory >= 0 && BuildingCategory <= 3) {
        const double temp = 18 + (static_cast<double>(SeaLevel) - 500) / 150 +
                            kCategoryTerm[static_cast<std::size_t>(BuildingCategory)];
        if (std::isfinite(temp))
            SettlementTemp = static_cast<float>(temp);
    }
    SettlementSwing = 7;
}

const RoomContext& roomContextOf(const ItemContext& context) {
    static const RoomContext none;
    const auto* rooms = dynamic_cast<const RoomContext*>(&context);
    return rooms ? *rooms : none;
}

bool Building::Edit(platform::Window* owner, const ItemContext& context) {
    const RoomContext& rooms = roomContextOf(context);
    ItemStore* project = rooms.project ? rooms.project() : nullptr;
    const std::optional<RoomSettings> settings = rooms.settings ? rooms.settings() : std::nullopt;
    if (rooms.buildingDialogs == nullptr || project == nullptr || !settings)
        return false;
    BuildingEditor editor(*this, *project, *settings);
    if (!rooms.buildingDialogs->editBuilding(editor, owner))
        return false;
    *this = editor.building();
    return true;
}

bool Building::ReadRecord(MemoryStream& s, std::int16_t version) {
    const int form = version == 0 ? kCurrentVersion : version;
    if (form < 50 || form > kCurrentVersion) {
        reportVersionError(version);
        setLoadFailed(true);
        return false;
    }
    Building read(*this);
    try {
        if (form == kCurrentVersion) {
            for (;;) {
                const std::int16_t tag = readInt16(s);
                if (tag == kEnd)
                    break;
                const std::uint16_t length = readUInt16(s);
                switch (tag) {
                case kMain:
                    read.Pollution = readInt16(s);
                    read.WallMassMode = readInt16(s);
                    read.UsingMode = readInt16(s);
                    read.Compass = readInt16(s);
                    read.SummerValue = readFloat(s);
                    read.HeatingLoss = readFloat(s);
                    read.CalculatedMass = readFloat(s);
                    read.ParentID = ReadString(s);
                    read.CoolingLoad.read(s, HourlyCoolingLoad::kComponents);
                    break;
                case kSettlement:
                    read.SettlementName = ReadString(s);
                    read.BuildingCategory = readInt16(s);
                    read.SeaLevel = readFloat(s);
                    read.SettlementTemp = readFloat(s);
                    read.SettlementSwing = readFloat(s);
                    break;
                default: // a chunk of a later form
                    (void)readBytes(s, length);
                    break;
                }
            }
        } else {
            read.Pollution = readInt16(s);
            read.WallMassMode = readInt16(s);
            read.UsingMode = readInt16(s);
            read.Compass = readInt16(s);
            if (form == 52)
                read.SummerValue = readFloat(s);
            read.HeatingLoss = readFloat(s);
            read.CalculatedMass = readFloat(s);
            read.CoolingLoad.read(s, form == 50 ? 7 : HourlyCoolingLoad::kComponents);
            read.ParentID = form >= 51 ? ReadString(s) : std::string();
        }
    } catch (const Error&) {
        setLoadFailed(true);
        throw;
    }
    *this = std::move(read);
    setLoadFailed(false);
    return true;
}

bool Building::WriteRecord(MemoryStream& s, VersionWord versionWord) {
    if (versionWord == VersionWord::With)
        writeInt16(s, kCurrentVersion);
    std::size_t chunk = beginChunk(s, kMain);
    writeInt16(s, Pollution);
    writeInt16(s, WallMassMode);
    writeInt16(s, UsingMode);
    writeInt16(s, Compass);
    writeFloat(s, SummerValue);
    writeFloat(s, HeatingLoss);
    writeFloat(s, CalculatedMass);
    WriteString(s, ParentID);
    CoolingLoad.write(s);
    endChunk(s, chunk);
    chunk = beginChunk(s, kSettlement);
    WriteString(s, SettlementName);
    writeInt16(s, BuildingCategory);
    writeFloat(s, SeaLevel);
    writeFloat(s, SettlementTemp);
    writeFloat(s, SettlementSwing);
    endChunk(s, chunk);
    writeChunkEnd(s);
    return true;
}

std::string Building::ColumnText(int columnId, const ListColumns& columns) const {
    switch (columnId) {
    case 0:
        return Name;
    case 1:
        return std::isfinite(HeatingLoss) ? columns.formatReal(columnId, HeatingLoss)
                                          : formatGeneral(HeatingLoss, 5);
    case 2:
        return LowestFlow ? columns.formatReal(columnId, *LowestFlow) : std::string("-");
    default:
        return {};
    }
}

bool Building::CopyTo(ClipboardDocument& stream, const ItemContext& context, ClipboardCopy what) {
    if (what == ClipboardCopy::WithReport) {
        // Its rooms and totals as the project holds them now; the copied record stays as
        // stored.
        const RoomContext& rooms = roomContextOf(context);
        ItemStore* project = rooms.project ? rooms.project() : nullptr;
        Building shown = *this;
        std::vector<Room> collected;
        if (project != nullptr)
            collected = CollectRooms(*project, shown, true, true).rooms;
        shown.writeReport(stream, collected);
    }
    return copyWithLinkName(*this, stream, ParentName);
}

bool Building::PasteFrom(MemoryStream& binaryPart) {
    return pasteWithLinkName(*this, binaryPart, ParentName);
}

} // namespace kalydor
