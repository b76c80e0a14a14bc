// What a room and a building write into a printed report and a clipboard copy: their result
// lines as text and rich text, the tables of boundaries, radiators and rooms, and the
// spreadsheet rows.

#include "base/displayformat.h"
#include "base/numberformat.h"
#include "base/textlookup.h"
#include "constructions/usedmaterials.h"
#include "language/languages.h"
#include "reports/clipboarddocument.h"
#include "rooms/building.h"
#include "rooms/room.h"

#include <cmath>
#include <optional>
#include <span>
#include <string>

namespace kalydor {
namespace {

using boundarykind::isBridge;
using boundarykind::isOutside;
using boundarykind::isOutsideGlazing;

constexpr int kRoomText = 896;
constexpr int kRoomRtf = 936;
constexpr int kBuildingText = 1088;
constexpr int kBuildingRtf = 1120;

// Cell boundaries of the rich-text tables, as their header resources draw them.
constexpr int kBoundaryCells[] = {2426, 3026, 3926, 4826, 5826, 6826, 7826, 8826, 9826, 10826};
constexpr int kRoomCells[] = {3026, 6026, 7626, 9226, 10826};
constexpr const char* kRowStart = "\\trowd\\trgaph57\\trleft0\\trkeep";
constexpr const char* kLeft = "\\pard\\plain\\s35\\ql\\intbl\\f4\\fs18 ";
constexpr const char* kRight = "\\pard\\plain\\s35\\qr\\intbl\\f4\\fs18 ";

// Writes the same result line k into the text (when there is one) and the rich text.
class ResultLines {
public:
    ResultLines(TextDocument* text, TextDocument& rtf, int textBase, int rtfBase)
        : m_text(text)
        , m_rtf(rtf)
        , m_textBase(textBase)
        , m_rtfBase(rtfBase) {}

    void words(int k, const std::string& value) {
        if (m_text != nullptr)
            m_text->PrintfText(m_textBase + k, value);
        m_rtf.PrintfText(m_rtfBase + k, value);
    }
    void real(int k, double value, bool condition = true) {
        if (m_text != nullptr)
            m_text->PrintfReal(m_textBase + k, value, condition);
        m_rtf.PrintfReal(m_rtfBase + k, value, condition);
    }
    void whole(int k, std::int16_t value, bool condition = true) {
        if (m_text != nullptr)
            m_text->PrintfInt(m_textBase + k, value, condition);
        m_rtf.PrintfInt(m_rtfBase + k, value, condition);
    }

private:
    TextDocument* m_text;
    TextDocument& m_rtf;
    int m_textBase;
    int m_rtfBase;
};

// A rich text of printed lines whose numbers follow the language's decimal separator.
TextDocument printedText(const TextLookup& languages) {
    TextDocument rtf(languages, TextStreamKind::Rtf);
    rtf.DecimalSeparator = decimalSeparatorOf(languages);
    return rtf;
}

void rowStart(ClipboardDocument& stream, std::span<const int> cells) {
    stream.rtf().Write(kRowStart);
    for (const int boundary : cells)
        stream.CellBoundary(boundary);
    stream.rtf().Write("\r\n");
}

// A number of a table cell; a value of a damaged record that is no number shows as text.
std::string number(double value, int digits) {
    return displayNumber(value, digits);
}

// A whole number rounded half up; blank for a value that is none.
std::string rounded(double value) {
    const std::optional<std::int64_t> whole = roundedWhole(std::floor(value + 0.5));
    return whole ? std::to_string(*whole) : std::string();
}

bool computesHeatingLoad(const Room& room) {
    return (room.CalcFlags & 1) != 0;
}

} // namespace

void Room::writeResultLines(TextDocument* text, TextDocument& rtf, bool heatingPart,
                            double projectOutsideTemp) const {
    ResultLines lines(text, rtf, kRoomText, kRoomRtf);
    lines.words(0, Name);
    lines.words(1, Function);
    lines.words(2, BuildingName);
    lines.real(3, Area);
    lines.real(4, Height);
    lines.real(5, Volume0 != 0 ? Volume0 : Volume1);
    lines.real(6, Mass2);
    lines.real(7, HeatMass2);
    if (!heatingPart || !computesHeatingLoad(*this))
        return;
    lines.real(8, HeatingInSideTemp);
    lines.real(9, transmissionOutsideTemp(projectOutsideTemp));
    lines.real(36, Cm);
    lines.real(10, 1 + (acInUse() + Ao) * 0.01);
    lines.real(11, TransPower);
    lines.words(12, GetText("IDS_FILTMODES+" + std::to_string(FiltMode)));
    lines.real(13, enteringAirTemp(projectOutsideTemp), FiltMode != 3);
    lines.real(14, AirChangeFact, FiltMode == 0);
    lines.whole(15, NumOfMens, FiltMode == 1);
    lines.real(16, Portion, FiltMode == 1);
    lines.real(17, AirVolume, FiltMode == 2);
    lines.real(34, EFactor, FiltMode == 4);
    lines.real(35, WindSpeed, FiltMode == 4);
    lines.real(18, CalculatedFiltPower);
    lines.real(19, SunShinePower, SunShineFlag != 0);
    lines.real(20, InternalSource, InternalSource != 0);
    lines.real(21, HeatingPower);
    const double radiators = RadiatorPowerSum();
    lines.real(25, radiators, radiators > 0);
}

std::string Room::printedSheet(const TextLookup& languages, bool heatingPart,
                               double projectOutsideTemp) const {
    TextDocument rtf = printedText(languages);
    writeResultLines(nullptr, rtf, heatingPart, projectOutsideTemp);
    return rtf.takeText();
}

void Room::writeReport(ClipboardDocument& stream, double projectOutsideTemp) const {
    TextDocument& rtf = stream.rtf();
    stream.WriteItemRtfHeader("RoomRTFHeader");
    writeResultLines(&stream.text(), rtf, true, projectOutsideTemp);
    const bool heating = computesHeatingLoad(*this);

    // The boundary table: a bridge has no height and no deduction; the orientation shows
    // for a tilted outside surface only.
    for (std::size_t i = 0; i < Boundaries.size(); ++i) {
        const Boundary& b = Boundaries[i];
        if (i == 0)
            stream.WriteRtfHeader("BoundaryTable1");
        const bool bridge = isBridge(b.Type);
        rowStart(stream, kBoundaryCells);
        stream.Cell(kLeft + escapeRtfSpecials(b.Name));
        stream.Cell(kRight + std::to_string(b.db));
        stream.Cell(kRight + number(b.x, 4));
        stream.CellIf(kRight + number(b.y, 4), !bridge);
        stream.Cell(kRight + number(b.GrossArea, 4));
        stream.CellIf(kRight + number(b.MinA, 4), !bridge && b.MinA != 0);
        stream.Cell(kRight + number(b.k, 4));
        stream.CellIf(kLeft + escapeRtfSpecials(b.compassText()),
                      isOutside(b.Type) && b.Gradient != 0);
        stream.Cell(kRight + number(b.OverTempWinter, 3));
        stream.Cell(kRight + rounded(b.HeatLoss));
        stream.EndRow();
    }
    for (std::size_t i = 0; i < Radiators.size(); ++i)
        Radiators[i].WriteReportRow(stream, i == 0);
    if (!Boundaries.empty() || !Radiators.empty())
        rtf.Write("\\pard\\plain\\s32\\f4\\fs20\\par\r\n");

    // The spreadsheet: the boundaries under their titles, then the radiators under theirs.
    BiffWriter& sheet = stream.sheet();
    const TextLookup& languages = stream.text().languages();
    const auto titles = [&](int first, int last) {
        for (int n = first; n <= last; ++n)
            sheet.TextCell(languages.getText("IDS_ROOMBIFFTITLE+" + std::to_string(n)));
        sheet.NewRow();
    };
    if (sheet.empty())
        sheet.BeginSheet();
    titles(0, heating ? 15 : 13);
    for (const Boundary& b : Boundaries) {
        sheet.TextCell(b.Name);
        sheet.TextCell(GetText("IDS_PANELTYPES+" + std::to_string(b.Type)));
        sheet.NumberCell(b.db);
        // Stored values are single precision: a sheet shows 1.2, not 1.20000004768372.
        for (const float value : {b.x, b.y, b.GrossArea, b.MinA, b.k, b.Mass, b.HeatMass})
            sheet.NumberCell(floatAsShortDouble(value));
        sheet.TextCell(b.compassText());
        sheet.TextCell(isOutside(b.Type)
                           ? GetText("IDS_GRADIENT+" + std::to_string(b.gradientIndex()))
                           : std::string("-"));
        sheet.NumberCell(floatAsShortDouble(b.GlassRatio));
        sheet.TextCell(isOutsideGlazing(b.Type)
                           ? GetText("IDS_SUNFACTOR+" + std::to_string(b.SunFactor))
                           : std::string("-"));
        if (heating) {
            sheet.NumberCell(floatAsShortDouble(b.OverTempWinter));
            sheet.NumberCell(floatAsShortDouble(b.HeatLoss));
        }
        sheet.NewRow();
    }
    if (!Radiators.empty()) {
        titles(16, 24);
        for (const Radiator& radiator : Radiators)
            radiator.WriteSheetRow(sheet);
    }
}

void Room::AddUsedMaterials(UsedMaterials& bill) const {
    BillDevices* devices = bill.devices();
    for (const Radiator& radiator : Radiators) {
        UsedMaterialItem line;
        line.Type = 0;
        line.Name = radiator.TypeCode;
        line.Unit = GetText("IDS_NUMBEROFPIECES");
        line.Quantity = 1;
        if (devices != nullptr) {
            line.EstimateCode = devices->radiatorEstimateCode(radiator.Family, radiator.TypeCode);
            line.GroupText = devices->familyPath(radiator.Family);
        }
        bill.Add(std::move(line));
    }
}

void Building::writeResultLines(TextDocument* text, TextDocument& rtf, bool heatingPart) const {
    ResultLines lines(text, rtf, kBuildingText, kBuildingRtf);
    if (ParentID.empty()) {
        lines.words(0, Name);
    } else {
        lines.words(1, Name);
        lines.words(2, ParentName);
    }
    if (!heatingPart)
        return;
    lines.real(4, HeatingLoss / 1000.0);
    lines.real(16, RadiatorsPowerSum / 1000.0, RadiatorsPowerSum > 0);
}

std::string Building::printedSheet(const TextLookup& languages, bool heatingPart) const {
    TextDocument rtf = printedText(languages);
    writeResultLines(nullptr, rtf, heatingPart);
    return rtf.takeText();
}

void Building::writeReport(ClipboardDocument& stream, const std::vector<Room>& rooms) const {
    TextDocument& rtf = stream.rtf();
    stream.WriteItemRtfHeader("BuildingRTFHeader");
    writeResultLines(&stream.text(), rtf, true);
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        const Room& room = rooms[i];
        if (i == 0)
            stream.WriteRtfHeader("RoomTable");
        rowStart(stream, kRoomCells);
        stream.Cell(kLeft + escapeRtfSpecials(room.Name));
        stream.Cell(kLeft + escapeRtfSpecials(room.Function));
        stream.Cell(kRight + number(room.Area, 4));
        stream.Cell(kRight + number(room.volume(), 4));
        stream.CellIf(kRight + rounded(room.HeatingPower), computesHeatingLoad(room));
        stream.EndRow();
    }
    if (!rooms.empty())
        rtf.Write("\\pard\\plain\\s32\\f4\\fs20\\par\r\n");

    // The spreadsheet: the building under titles 0-3, its rooms under titles 4-9.
    BiffWriter& sheet = stream.sheet();
    const TextLookup& languages = stream.text().languages();
    const auto titles = [&](int first, int last) {
        for (int n = first; n <= last; ++n)
            sheet.TextCell(languages.getText("IDS_BUILDINGBIFFTITLE+" + std::to_string(n)));
        sheet.NewRow();
    };
    if (sheet.empty())
        sheet.BeginSheet();
    titles(0, 3);
    sheet.TextCell(Name);
    sheet.TextCell(GetText("IDS_ROMANIANPOLLUTIONTYPES+" + std::to_string(Pollution)));
    sheet.TextCell(GetText("IDS_WALLMASSTYPES+" + std::to_string(WallMassMode)));
    sheet.TextCell(GetText("IDS_BUILDINGUSINGTYPES+" + std::to_string(UsingMode)));
    sheet.NewRow();
    titles(4, 9);
    for (const Room& room : rooms) {
        sheet.TextCell(room.Name);
        sheet.TextCell(room.Function);
        sheet.NumberCell(floatAsShortDouble(room.Area));
        sheet.NumberCell(floatAsShortDouble(static_cast<float>(room.volume())));
        const double massPerArea = room.Area != 0 ? std::floor(room.Mass2 / room.Area) : 0.0;
        sheet.NumberCellIf(massPerArea, std::isfinite(massPerArea));
        sheet.NumberCell(floatAsShortDouble(room.HeatingPower));
        sheet.NewRow();
    }
}

} // namespace kalydor
