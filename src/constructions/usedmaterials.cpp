#include "constructions/usedmaterials.h"

#include "base/collation.h"
#include "base/displayformat.h"
#include "base/numberformat.h"
#include "base/textlookup.h"
#include "reports/biffwriter.h"
#include "reports/clipboarddocument.h"
#include "store/dbitem.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <span>

namespace kalydor {
namespace {

// Cell boundaries of the bill's rich-text table, as its heading resource draws them.
constexpr int kCells[] = {5026, 7426, 9226, 10826};
constexpr const char* kRowStart = "\\trowd\\trgaph57\\trleft0\\trkeep";
constexpr const char* kLeft = "\\pard\\plain\\s35\\ql\\intbl\\f4\\fs18 ";
constexpr const char* kRight = "\\pard\\plain\\s35\\qr\\intbl\\f4\\fs18 ";

bool sameLine(const UsedMaterialItem& a, const UsedMaterialItem& b) {
    return a.Type == b.Type && a.Name == b.Name && a.EstimateCode == b.EstimateCode;
}

// A field of the export line on one line: CR and LF become blanks.
std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// A quoted field: inner quotes doubled.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : oneLine(text)) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

std::string quantityText(double quantity) {
    return formatGeneral(quantity, 6);
}

} // namespace

UsedMaterials::UsedMaterials(BillDevices* devices)
    : m_devices(devices) {
    m_lines.reserve(36);
}

bool UsedMaterials::Build(ItemStore& project, const BillProgress& progress) {
    const std::size_t total = progress ? project.ListRecords(RecordType::Room).size() : 0;
    std::size_t done = 0;
    bool stopped = false;
    project.scanRecords(RecordType::Room, [&](const Reference& record, const std::string& data) {
        if (stopped)
            return;
        std::unique_ptr<DBItem> room = CreateItemOfKind(ItemKind::Room);
        if (room != nullptr && readStoredItem(*room, data)) {
            room->Name = record.Name;
            room->AddUsedMaterials(*this);
        } else {
            m_unreadable.push_back(record.Name);
        }
        if (progress && !progress(++done, total))
            stopped = true;
    });
    if (stopped)
        return false;
    Expand();
    Sort();
    return true;
}

void UsedMaterials::Add(UsedMaterialItem line) {
    for (UsedMaterialItem& existing : m_lines) {
        if (!sameLine(existing, line))
            continue;
        existing.Quantity += line.Quantity;
        // A list met on either chain is on the merged line's chain.
        for (std::string& list : line.ExpandedFrom)
            if (std::find(existing.ExpandedFrom.begin(), existing.ExpandedFrom.end(), list) ==
                existing.ExpandedFrom.end())
                existing.ExpandedFrom.push_back(std::move(list));
        return;
    }
    m_lines.push_back(std::move(line));
}

void UsedMaterials::Expand() {
    if (m_devices == nullptr)
        return;
    // Each list is read once; a code names the list after its "@", or failing that the whole
    // code does.
    std::map<std::string, std::optional<BillPieceList>> read;
    const auto listOf = [&](const std::string& name) -> const std::optional<BillPieceList>& {
        auto found = read.find(name);
        if (found == read.end())
            found = read.emplace(name, m_devices->pieceList(name)).first;
        return found->second;
    };
    std::set<std::string> cycles;
    for (bool replaced = true; replaced;) {
        replaced = false;
        std::vector<UsedMaterialItem> lines = std::move(m_lines);
        m_lines.clear();
        m_lines.reserve(lines.size());
        for (UsedMaterialItem& line : lines) {
            const std::string& code = line.EstimateCode;
            std::string listName;
            const BillPieceList* list = nullptr;
            if (code.size() > 1 && code.front() == '@') {
                listName = code.substr(1);
                if (const auto& named = listOf(listName)) {
                    list = &*named;
                } else if (const auto& whole = listOf(code)) {
                    listName = code;
                    list = &*whole;
                }
            }
            const bool onChain =
                list != nullptr && std::find(line.ExpandedFrom.begin(), line.ExpandedFrom.end(),
                                             listName) != line.ExpandedFrom.end();
            if (onChain && cycles.insert(listName).second)
                m_cycles.push_back(listName);
            if (list == nullptr || onChain) {
                Add(std::move(line));
                continue;
            }
            replaced = true;
            for (const BillPieceList::Entry& entry : list->entries) {
                UsedMaterialItem part;
                part.Type = static_cast<std::uint8_t>(std::clamp<int>(entry.Type, 0, 255));
                part.Name = entry.Name.empty() ? line.Name : entry.Name;
                part.EstimateCode = entry.EstimateCode;
                part.Unit = entry.DimensionString.empty() ? GetText("IDS_NUMBEROFPIECES")
                                                          : entry.DimensionString;
                part.Quantity = entry.Quantity * line.Quantity;
                part.GroupText = list->path;
                part.ExpandedFrom = line.ExpandedFrom;
                part.ExpandedFrom.push_back(listName);
                Add(std::move(part));
            }
        }
    }
}

void UsedMaterials::Sort() {
    std::stable_sort(m_lines.begin(), m_lines.end(),
                     [](const UsedMaterialItem& a, const UsedMaterialItem& b) {
                         if (a.Type != b.Type)
                             return a.Type < b.Type;
                         return compareNames(a.Name, b.Name) < 0;
                     });
}

void UsedMaterials::WriteCopy(ClipboardDocument& stream,
                              const std::vector<std::size_t>& chosen) const {
    TextDocument& text = stream.text();
    TextDocument& rtf = stream.rtf();
    BiffWriter& sheet = stream.sheet();
    const TextLookup& languages = text.languages();
    stream.WriteItemRtfHeader("UsedMaterialsRTFHeader");
    stream.WriteRtfHeader("USEDMATERIALSTABLE");
    if (sheet.empty())
        sheet.BeginSheet();
    for (int n = 0; n <= 3; ++n)
        sheet.TextCell(languages.getText("IDS_USEDMATERIALSBIFFTITLE+" + std::to_string(n)));
    sheet.NewRow();
    for (const std::size_t index : chosen) {
        if (index >= m_lines.size())
            continue;
        const UsedMaterialItem& line = m_lines[index];
        const std::string quantity = displayNumber(line.Quantity, 6);
        text.Write(line.Name + "\t" + line.EstimateCode + "\t" + quantity + "\t" + line.Unit +
                   "\r\n");
        rtf.Write(kRowStart);
        for (const int boundary : kCells)
            stream.CellBoundary(boundary);
        rtf.Write("\r\n");
        stream.Cell(kLeft + escapeRtfSpecials(line.Name));
        stream.Cell(kLeft + escapeRtfSpecials(line.EstimateCode));
        stream.Cell(kRight + quantity);
        stream.Cell(kLeft + escapeRtfSpecials(line.Unit));
        stream.EndRow();
        sheet.TextCell(line.Name);
        sheet.TextCell(line.EstimateCode);
        sheet.NumberCell(floatAsShortDouble(line.Quantity));
        sheet.TextCell(line.Unit);
        sheet.NewRow();
    }
    rtf.Write("\\pard\\plain\\s32\\f4\\fs20\\par\r\n");
}

std::string UsedMaterials::ExportText(const std::vector<std::size_t>& chosen,
                                      const TextLookup& languages) const {
    std::string out;
    for (const std::size_t index : chosen) {
        if (index >= m_lines.size())
            continue;
        out +=
            windows1250Bytes(usedMaterialExportLine(m_lines[index], languages), std::string::npos);
        out += "\r\n";
    }
    return out;
}

std::string usedMaterialExportLine(const UsedMaterialItem& line, const TextLookup& languages) {
    std::string unit = oneLine(line.Unit);
    std::replace(unit.begin(), unit.end(), ';', ' ');
    const std::string code =
        line.EstimateCode.empty() ? languages.getText("IDS_KTETEL") : line.EstimateCode;
    return quoted(code) + ";" + quantityText(line.Quantity) + ";" + unit + ";" + quoted(line.Name) +
           ";;;;;;;";
}

} // namespace kalydor
