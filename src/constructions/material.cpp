#include "constructions/material.h"

#include "base/displayformat.h"
#include "base/memorystream.h"
#include "base/numberformat.h"
#include "constructions/materialeditor.h"
#include "language/languages.h"
#include "reports/clipboarddocument.h"
#include "store/itemstream.h"

#include <algorithm>
#include <utility>

namespace kalydor {
namespace {

// A diagram point with a thickness of 0 or less is empty.
bool isEmpty(const AirLayerPoint& point) {
    return !(point.thickness > 0);
}

void readDiagram(MemoryStream& stream, std::array<AirLayerPoint, Material::kDiagramPoints>& d) {
    for (AirLayerPoint& point : d) {
        point.thickness = readFloat(stream);
        point.resistance = readFloat(stream);
    }
}

} // namespace

std::string materialKindName(int code) {
    switch (code) {
    case 0:
        return "Normal";
    case 1:
        return "Thick";
    case 2:
        return "Air";
    case 16:
        return "Undefined";
    default:
        return {};
    }
}

bool Material::ReadRecord(MemoryStream& stream, std::int16_t version) {
    const bool stored = version != 0;
    if (version == 0)
        version = kRecordVersion;
    if (version < 50 || version > kRecordVersion) {
        reportVersionError(version);
        return false;
    }
    readMaterial(stream, version);
    // A stored material of a kind without values keeps its thickness behind the flags (older
    // records end there); the clipboard's record is followed by other data, so only a stored
    // record has it.
    if (stored && version >= 53 && !hasMaterialData() && !isKind(MaterialKind::Air) &&
        stream.remaining() >= 4)
        Thickness = readFloat(stream);
    return true;
}

void Material::readMaterial(MemoryStream& stream, std::int16_t version) {
    if (version >= 53) {
        Kind = static_cast<std::uint8_t>(readUInt16(stream) & 0xFF);
        Untouched = static_cast<std::int16_t>(readUInt16(stream));
        Flags = version >= 54 ? readUInt16(stream) : 0;
        if (hasMaterialData()) {
            for (float* field : {&Thickness, &Density, &ThermalCond, &ThermalRes, &HeatCapacity,
                                 &SteamDiffCond, &SteamDiffRes, &SteamDiffResNum})
                *field = readFloat(stream);
            if (isKind(MaterialKind::Normal)) {
                InitialHumidity = readFloat(stream);
                PermitHumidity = readFloat(stream);
                for (float& point : Sorption)
                    point = readFloat(stream);
            }
        } else if (isKind(MaterialKind::Air)) {
            Thickness = readFloat(stream);
            ThermalRes = readFloat(stream);
            readDiagram(stream, Diagram);
            Ventilled = readByte(stream) != 0;
        }
        return;
    }

    // The old layout of versions 50 to 52.
    Flags = 0;
    if (version == 50) {
        Kind = static_cast<std::uint8_t>(MaterialKind::Normal);
        Untouched = 0;
    } else {
        std::uint16_t word = readUInt16(stream);
        Untouched = 0;
        if (word & 0x80) {
            word &= ~std::uint16_t{0x80};
            Untouched = 1;
        }
        Kind = static_cast<std::uint8_t>(word & 0xFF);
    }
    Thickness = readFloat(stream);
    if (hasMaterialData()) {
        // The moisture fields were stored for thick materials too.
        for (float* field : {&Density, &ThermalCond, &ThermalRes, &HeatCapacity, &SteamDiffCond,
                             &SteamDiffRes, &InitialHumidity, &PermitHumidity})
            *field = readFloat(stream);
        for (float& point : Sorption)
            point = readFloat(stream);
        SteamDiffResNum = version == 52 ? readFloat(stream) : 0;
    } else if (isKind(MaterialKind::Air)) {
        ThermalRes = readFloat(stream);
        readDiagram(stream, Diagram);
        Ventilled = readByte(stream) != 0;
        readBytes(stream, version == 52 ? 7 : 3);
    }
}

bool Material::WriteRecord(MemoryStream& stream, VersionWord versionWord) {
    if (versionWord == VersionWord::With)
        writeInt16(stream, kRecordVersion);
    writeMaterial(stream);
    if (versionWord == VersionWord::With && !hasMaterialData() && !isKind(MaterialKind::Air))
        writeFloat(stream, Thickness);
    return true;
}

void Material::writeMaterial(MemoryStream& stream) const {
    writeUInt16(stream, Kind);
    writeUInt16(stream, static_cast<std::uint16_t>(Untouched));
    writeUInt16(stream, Flags);
    if (hasMaterialData()) {
        for (const float field : {Thickness, Density, ThermalCond, ThermalRes, HeatCapacity,
                                  SteamDiffCond, SteamDiffRes, SteamDiffResNum})
            writeFloat(stream, field);
        if (isKind(MaterialKind::Normal)) {
            writeFloat(stream, InitialHumidity);
            writeFloat(stream, PermitHumidity);
            for (const float point : Sorption)
                writeFloat(stream, point);
        }
    } else if (isKind(MaterialKind::Air)) {
        writeFloat(stream, Thickness);
        writeFloat(stream, ThermalRes);
        for (const AirLayerPoint& point : Diagram) {
            writeFloat(stream, point.thickness);
            writeFloat(stream, point.resistance);
        }
        writeByte(stream, Ventilled ? 1 : 0);
    }
}

bool Material::CopyTo(ClipboardDocument& stream, const ItemContext&, ClipboardCopy what) {
    if (what == ClipboardCopy::WithReport)
        writeReport(stream);
    WriteString(stream.privateStream(), Name);
    return WriteRecord(stream.privateStream(), VersionWord::Without);
}

namespace {

constexpr int kTextBase = 544;
constexpr int kRtfBase = 576;
constexpr int kRtfLabelHumidity = 589;
constexpr int kRtfLabelMoisture = 590;
constexpr int kRtfLabelThickness = 592;
constexpr int kRtfLabelResistance = 593;
constexpr int kRtfRowStart = 594;
// The printed sheet's isotherm and diagram: a title, then lines of values on tab stops.
constexpr int kPrintIsothermTitle = 608;
constexpr int kPrintHumidityLine = 609;
constexpr int kPrintMoistureLine = 610;
constexpr int kPrintDiagramTitle = 611;
constexpr int kPrintThicknessLine = 612;
constexpr int kPrintResistanceLine = 613;
// Rich-text tables of the isotherm and the diagram: the label cell ends at 3816 twips, every
// value cell is 576 twips wide.
constexpr int kFirstCellBoundary = 3816;
constexpr int kValueCellWidth = 576;

std::string valueCell(double value) {
    return "\\pard\\plain\\intbl\\s35\\qr\\f4\\fs18 " + displayNumber(value, 4);
}

// One rich-text table row: the label cell, then a cell per value.
void rtfRow(ClipboardDocument& stream, int labelFormat, const std::vector<double>& values) {
    stream.rtf().WriteStringTableText(kRtfRowStart);
    stream.CellBoundary(kFirstCellBoundary);
    for (std::size_t i = 1; i <= values.size(); ++i)
        stream.CellBoundary(kFirstCellBoundary + static_cast<int>(i) * kValueCellWidth);
    stream.rtf().WriteStringTableText(labelFormat);
    for (const double value : values)
        stream.Cell(valueCell(value));
    stream.EndRow();
}

} // namespace

void Material::writeProperties(TextDocument* text, TextDocument& rtf) const {
    const auto field = [&](int offset, float value) {
        if (text != nullptr)
            text->PrintfReal(kTextBase + offset, value, value > 0);
        rtf.PrintfReal(kRtfBase + offset, value, value > 0);
    };
    if (text != nullptr)
        text->PrintfText(kTextBase, Name);
    rtf.PrintfText(kRtfBase, Name);
    field(1, Thickness);
    if (isKind(MaterialKind::Air)) {
        field(5, ThermalRes);
        if (Ventilled) {
            if (text != nullptr)
                text->WriteStringTableText(kTextBase + 11);
            rtf.WriteStringTableText(kRtfBase + 11);
        }
    } else if (hasMaterialData()) {
        if (!(Flags & kNoDensity))
            field(2, Density);
        field(3, HeatCapacity);
        field(4, ThermalCond);
        field(5, ThermalRes);
        field(6, SteamDiffCond);
        field(7, SteamDiffRes);
        field(8, SteamDiffResNum);
        if (isKind(MaterialKind::Normal)) {
            field(9, InitialHumidity);
            field(10, PermitHumidity);
        }
    }
}

bool Material::hasPrintedChart() const {
    return (isKind(MaterialKind::Normal) && Sorption[9] > 0) ||
           (isKind(MaterialKind::Air) && Diagram[0].thickness > 0);
}

std::string Material::printedSheet(const TextLookup& languages, char decimalSeparator) const {
    TextDocument rtf(languages, TextStreamKind::Rtf);
    rtf.DecimalSeparator = decimalSeparator;
    writeProperties(nullptr, rtf);
    // A line of values on right tab stops: the label, then a tab before each value.
    const auto line = [&](int format, const std::vector<double>& values) {
        rtf.WriteStringTableText(format);
        for (const double value : values) {
            std::string shown = displayNumber(value, 4);
            if (decimalSeparator != '.')
                std::replace(shown.begin(), shown.end(), '.', decimalSeparator);
            rtf.Write("\\tab " + shown);
        }
        rtf.Write("\\par \r\n");
    };
    if (isKind(MaterialKind::Normal) && Sorption[9] > 0) {
        std::vector<double> humidity;
        std::vector<double> moisture;
        for (std::size_t i = 0; i < Sorption.size(); ++i) {
            if (Sorption[i] > 0) {
                humidity.push_back(static_cast<double>(i + 1) * 10.0);
                moisture.push_back(Sorption[i]);
            }
        }
        rtf.WriteStringTableText(kPrintIsothermTitle);
        line(kPrintHumidityLine, humidity);
        line(kPrintMoistureLine, moisture);
    } else if (isKind(MaterialKind::Air) && Diagram[0].thickness > 0) {
        std::vector<double> thickness;
        std::vector<double> resistance;
        for (const AirLayerPoint& point : Diagram) {
            if (point.thickness > 0) {
                thickness.push_back(point.thickness);
                resistance.push_back(point.resistance);
            }
        }
        rtf.WriteStringTableText(kPrintDiagramTitle);
        line(kPrintThicknessLine, thickness);
        line(kPrintResistanceLine, resistance);
    }
    return rtf.takeText();
}

void Material::writeReport(ClipboardDocument& stream) const {
    TextDocument& text = stream.text();
    TextDocument& rtf = stream.rtf();
    stream.WriteItemRtfHeader("MaterialRTFHeader");
    writeProperties(&text, rtf);

    // The isotherm or the diagram as a small table.
    std::vector<double> xs;
    std::vector<double> ys;
    if (isKind(MaterialKind::Normal) && Sorption[9] > 0) {
        for (std::size_t i = 0; i < Sorption.size(); ++i) {
            if (Sorption[i] > 0) {
                xs.push_back(static_cast<double>(i + 1) * 10.0);
                ys.push_back(Sorption[i]);
            }
        }
        text.WriteStringTableText(556);
        for (std::size_t i = 0; i < xs.size(); ++i)
            text.PrintfReals(557, xs[i], ys[i]);
        rtf.WriteStringTableText(588);
        rtfRow(stream, kRtfLabelHumidity, xs);
        rtfRow(stream, kRtfLabelMoisture, ys);
    } else if (isKind(MaterialKind::Air) && Diagram[0].thickness > 0) {
        for (const AirLayerPoint& point : Diagram) {
            if (point.thickness > 0) {
                xs.push_back(point.thickness);
                ys.push_back(point.resistance);
            }
        }
        text.WriteStringTableText(558);
        for (std::size_t i = 0; i < xs.size(); ++i)
            text.PrintfReals(559, xs[i], ys[i]);
        rtf.WriteStringTableText(591);
        rtfRow(stream, kRtfLabelThickness, xs);
        rtfRow(stream, kRtfLabelResistance, ys);
    }

    writeCells(stream, xs, ys);
}

void Material::writeCells(ClipboardDocument& stream, const std::vector<double>& xs,
                          const std::vector<double>& ys) const {
    BiffWriter& sheet = stream.sheet();
    const TextLookup& languages = stream.text().languages();
    const bool single = !stream.MultiItem;
    const auto title = [&](int n) {
        sheet.TextCell(languages.getText("IDS_MATERBIFFTITLE+" + std::to_string(n)));
    };
    if (sheet.empty()) {
        sheet.BeginSheet();
        for (int n = 0; n <= 10; ++n)
            title(n);
        if (single) {
            const int first = isKind(MaterialKind::Air) ? 14 : 11;
            title(first);
            sheet.NewRow();
            sheet.GoToColumn(11);
            title(first + 1);
            title(first + 2);
        }
        sheet.NewRow();
    }
    sheet.TextCell(Name);
    sheet.NumberCell(Thickness);
    if (hasMaterialData()) {
        sheet.NumberCellIf(Density, !(Flags & kNoDensity));
        for (const float value :
             {HeatCapacity, ThermalCond, ThermalRes, SteamDiffCond, SteamDiffRes, SteamDiffResNum})
            sheet.NumberCell(value);
        if (isKind(MaterialKind::Normal)) {
            sheet.NumberCell(InitialHumidity);
            sheet.NumberCell(PermitHumidity);
        }
    } else if (isKind(MaterialKind::Air)) {
        sheet.GoToColumn(5);
        sheet.NumberCell(ThermalRes);
    }
    if (single && (isKind(MaterialKind::Normal) || isKind(MaterialKind::Air))) {
        sheet.GoToColumn(11);
        sheet.NumberCell(0);
        sheet.NumberCell(0);
        for (std::size_t i = 0; i < xs.size(); ++i) {
            sheet.NewRow();
            sheet.GoToColumn(11);
            sheet.NumberCell(xs[i]);
            sheet.NumberCell(ys[i]);
        }
    }
    sheet.NewRow();
}

std::string Material::ColumnText(int columnId, const ListColumns& columns) const {
    const auto real = [&](float value) { return columns.formatReal(columnId, value); };
    switch (columnId) {
    case 1:
        return real(Thickness);
    case 2:
        return real(ThermalCond);
    case 3:
        return real(ThermalRes);
    case 4:
        return real(SteamDiffCond);
    case 5:
        return real(SteamDiffRes);
    case 6:
        return real(HeatCapacity);
    case 7:
        return (Flags & kNoDensity) ? std::string("-") : real(Density);
    case 8:
        return real(InitialHumidity);
    case 9:
        return real(PermitHumidity);
    case 10:
        return real(SteamDiffResNum);
    default:
        return DBItem::ColumnText(columnId, columns);
    }
}

bool Material::Edit(platform::Window* owner, const ItemContext& context) {
    return editMaterial(*this, nullptr, GroupName, owner, context);
}

void Material::SortDiagram() {
    // Neighbour exchanges: a point moves in front of an empty neighbour or of one with a
    // greater thickness; equal thicknesses keep their order.
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (std::size_t i = 1; i < Diagram.size(); ++i) {
            const AirLayerPoint& left = Diagram[i - 1];
            const AirLayerPoint& point = Diagram[i];
            if (!isEmpty(point) && (isEmpty(left) || left.thickness > point.thickness)) {
                std::swap(Diagram[i - 1], Diagram[i]);
                swapped = true;
            }
        }
    }
}

int Material::Validate() {
    if (hasMaterialData()) {
        if (ThermalCond > 0 && ThermalRes > 0)
            return 1;
        const int vapourValues =
            (SteamDiffCond != 0) + (SteamDiffRes != 0) + (SteamDiffResNum != 0);
        if (vapourValues > 1)
            return 2;
    }
    if (isKind(MaterialKind::Normal)) {
        float lastPositive = 0;
        bool anyPositive = false;
        for (std::size_t i = 0; i < Sorption.size(); ++i) {
            if (!(Sorption[i] > 0))
                continue;
            if (anyPositive && Sorption[i] < lastPositive)
                return static_cast<int>(i) + 4;
            lastPositive = Sorption[i];
            anyPositive = true;
        }
        if (anyPositive && !(Sorption[9] > 0))
            return 13;
    }
    if (isKind(MaterialKind::Air)) {
        SortDiagram();
        for (std::size_t i = 1; i < Diagram.size() && !isEmpty(Diagram[i]); ++i) {
            const AirLayerPoint& previous = Diagram[i - 1];
            if (Diagram[i].thickness == previous.thickness ||
                Diagram[i].resistance < previous.resistance)
                return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

bool Material::hasDiagram() const {
    return std::any_of(Diagram.begin(), Diagram.end(),
                       [](const AirLayerPoint& p) { return !isEmpty(p); });
}

void Material::ResistanceFromDiagram() {
    double resistance = 0;
    if (Thickness > 0) {
        double previousThickness = 0;
        double previousResistance = 0;
        for (const AirLayerPoint& point : Diagram) {
            if (isEmpty(point))
                break;
            if (Thickness < point.thickness) {
                resistance = previousResistance + (point.resistance - previousResistance) *
                                                      (Thickness - previousThickness) /
                                                      (point.thickness - previousThickness);
                break;
            }
            resistance = point.resistance;
            previousThickness = point.thickness;
            previousResistance = point.resistance;
        }
    }
    ThermalRes = static_cast<float>(resistance);
}

double Material::EquilibriumMoisture(double relativeHumidity) const {
    if (!isKind(MaterialKind::Normal) || !(Sorption[9] > 0))
        return 0;
    const double phi = std::clamp(relativeHumidity, 0.0, 100.0);
    double lowerX = 0;
    double lowerValue = 0;
    for (std::size_t i = 0; i < Sorption.size() && static_cast<double>(i + 1) * 10.0 <= phi; ++i) {
        if (Sorption[i] > 0) {
            lowerX = static_cast<double>(i + 1) * 10.0;
            lowerValue = Sorption[i];
        }
    }
    double upperX = 100;
    double upperValue = Sorption[9];
    // The 10 % point is never the upper one.
    for (std::size_t n = 8; n >= 1 && static_cast<double>(n + 1) * 10.0 >= phi; --n) {
        if (Sorption[n] > 0) {
            upperX = static_cast<double>(n + 1) * 10.0;
            upperValue = Sorption[n];
        }
    }
    if (lowerX == upperX)
        return lowerValue;
    return lowerValue + (upperValue - lowerValue) * (phi - lowerX) / (upperX - lowerX);
}

} // namespace kalydor
