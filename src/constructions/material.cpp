#include "constructions/material.h"

#include "base/memorystream.h"
#include "constructions/materialeditor.h"
#include "reports/clipboardstream.h"
#include "store/itemstream.h"

#include <algorithm>
#include <utility>

namespace kalydor {
namespace {

// A diagram point with a thickness of 0 or less is empty.
bool isEmpty(const AirLayerPoint& point) {
    return !(point.thickness > 0);
}

void readDiagram(MyMemoryStream& stream, std::array<AirLayerPoint, Material::kDiagramPoints>& d) {
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

bool Material::ReadRecord(MyMemoryStream& stream, std::int16_t version) {
    if (version == 0)
        version = kRecordVersion;
    if (version < 50 || version > kRecordVersion) {
        reportVersionError(version);
        return false;
    }
    readMaterial(stream, version);
    return true;
}

void Material::readMaterial(MyMemoryStream& stream, std::int16_t version) {
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

bool Material::WriteRecord(MyMemoryStream& stream, bool withVersion) {
    if (withVersion)
        writeInt16(stream, kRecordVersion);
    writeMaterial(stream);
    return true;
}

void Material::writeMaterial(MyMemoryStream& stream) const {
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

// The binary part of a copy: the name and the record in the current layout. The report
// text and table cells of a copy are written by the material list's copy command.
bool Material::CopyTo(TClipboardStream& stream, platform::Window*) {
    WriteString(stream.privateStream(), Name);
    return WriteRecord(stream.privateStream(), false);
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

bool Material::Edit(platform::Window* owner) {
    return editMaterial(*this, nullptr, GroupName, owner);
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
    for (std::size_t i = 0; i < Sorption.size() && (i + 1) * 10.0 <= phi; ++i) {
        if (Sorption[i] > 0) {
            lowerX = (i + 1) * 10.0;
            lowerValue = Sorption[i];
        }
    }
    double upperX = 100;
    double upperValue = Sorption[9];
    // The 10 % point is never the upper one.
    for (std::size_t n = 8; n >= 1 && (n + 1) * 10.0 >= phi; --n) {
        if (Sorption[n] > 0) {
            upperX = (n + 1) * 10.0;
            upperValue = Sorption[n];
        }
    }
    if (lowerX == upperX)
        return lowerValue;
    return lowerValue + (upperValue - lowerValue) * (phi - lowerX) / (upperX - lowerX);
}

} // namespace kalydor
