#include "heating/radiator.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "base/memorystream.h"
#include "base/numberformat.h"
#include "base/textlookup.h"
#include "devicedb/deviceitem.h"
#include "devicedb/radiatorfamilycache.h"
#include "devicedb/radiatorsizing.h"
#include "heating/projectoptions.h"
#include "reports/clipboarddocument.h"
#include "store/dbitem.h"
#include "store/itemstream.h"

#include <cmath>
#include <span>

namespace kalydor {
namespace {

enum Tag : std::int16_t {
    kEnd = 200,
    kNames = 201,
    kHydraulic = 202,
};

[[noreturn]] void unknownType() {
    throw Error("IDS_UNKNOWEDTYPE");
}

// Cell boundaries of the radiator tables, as their header resources draw them.
constexpr int kRoomCells[] = {1000, 3426, 4326, 5426, 6326, 7226, 8426, 9626, 10826};
constexpr int kBuildingCells[] = {2426, 4426, 5226, 6326, 7126, 7926, 8826, 9826, 10826};
constexpr const char* kRowStart = "\\trowd\\trgaph57\\trleft0\\trkeep";
constexpr const char* kLeft = "\\pard\\plain\\s35\\ql\\intbl\\f4\\fs18 ";
constexpr const char* kRight = "\\pard\\plain\\s35\\qr\\intbl\\f4\\fs18 ";

// The numbers of a radiator row with their significant digits: factor, output, forward and
// return temperature, length, height, depth.
struct RowNumber {
    double value;
    int digits;
};

std::vector<RowNumber> rowNumbers(const Radiator& r) {
    return {{r.InstallationFactor, 3},          {r.Power(), 5},
            {r.ForwardTemperature(), 3},        {r.BackwardTemperature(), 3},
            {static_cast<double>(r.Length), 5}, {static_cast<double>(r.Height), 4},
            {static_cast<double>(r.Depth), 4}};
}

void writeRow(ClipboardDocument& document, std::span<const int> cells, const std::string& firstCell,
              const Radiator& r) {
    document.rtf().Write(kRowStart);
    for (const int boundary : cells)
        document.CellBoundary(boundary);
    document.rtf().Write("\r\n");
    document.Cell(kLeft + escapeRtfSpecials(firstCell));
    document.Cell(kLeft + escapeRtfSpecials(r.TypeCode));
    for (const RowNumber& number : rowNumbers(r))
        document.Cell(kRight + displayNumber(number.value, number.digits));
    document.EndRow();
}

} // namespace

int radiatorVersionOfRoom(int roomVersion) {
    switch (roomVersion) {
    case 52:
        return 52;
    case 53:
        return 102;
    case 54:
        return 103;
    case 55:
    case 0:
        return 104;
    default:
        return 0;
    }
}

double massFlowOf(double power, double forward, double backward, double specificHeat) {
    if (!std::isfinite(forward) || !std::isfinite(backward) || !(forward > backward))
        throw Error("IDS_DTLOGERROR");
    if (!std::isfinite(specificHeat) || specificHeat <= 0)
        throw Error("IDS_MEDIUMERROR");
    return power / (forward - backward) / specificHeat * 3600.0;
}

std::optional<double> volumeFlowOf(double massFlow, double ro) {
    if (!std::isfinite(ro) || ro <= 0)
        return std::nullopt;
    return massFlow / ro;
}

Radiator::Radiator(const RadiatorStruct& options)
    : InstallationFactor(options.CorrectionFactor) {
    setForwardTemperature(options.Hydraulic.Medium.ForwardTemperature);
    setBackwardTemperature(options.Hydraulic.Medium.BackwardTemperature);
}

std::optional<double> Radiator::VolumeFlow() const {
    return volumeFlowOf(MassFlow(), Ro());
}

void Radiator::SetFromChoice(const std::string& family, const std::string& typeCode, float factor,
                             float power, float forward, float backward, std::int16_t length,
                             std::int16_t height, std::int16_t depth) {
    const double massFlow = massFlowOf(power, forward, backward, SpecificHeat());
    Family = family;
    TypeCode = typeCode;
    InstallationFactor = factor;
    setPower(power);
    setForwardTemperature(forward);
    setBackwardTemperature(backward);
    setMassFlow(static_cast<float>(massFlow));
    Length = length;
    Height = height;
    Depth = depth;
}

void Radiator::Recalculate(const RadiatorFamily& family, double ti) {
    // The cache owns the family: a missing size only raises, nothing is released.
    const RadiatorFamily::SizePosition at = family.FindSize(TypeCode);
    if (!at.found() || at.mainType < 0)
        unknownType();
    const RadiatorSize& size = family.Sizes[static_cast<std::size_t>(at.size)];
    const double ratio = ThermalRatio(family, ForwardTemperature(), BackwardTemperature(), ti);
    const float power = SizePower(size, ratio, InstallationFactor);
    const double massFlow =
        massFlowOf(power, ForwardTemperature(), BackwardTemperature(), SpecificHeat());
    setPower(power);
    setMassFlow(static_cast<float>(massFlow));
    Length = size.Length;
    Height = size.Height;
    Depth = size.Width;
    Hydraulic.setKv(family.MainTypeKv(at.mainType));
}

const RadiatorFamily& Radiator::familyOrRaise(RadiatorFamilySource& families) const {
    const RadiatorFamily* family = families.family(Family);
    if (family == nullptr)
        unknownType();
    return *family;
}

void Radiator::Refresh(RadiatorFamilySource& families, double ti) {
    Recalculate(familyOrRaise(families), ti);
}

void Radiator::stepTo(const RadiatorFamily& family, const std::string& typeCode, double ti) {
    Radiator changed = *this;
    changed.TypeCode = typeCode;
    changed.Recalculate(family, ti);
    *this = std::move(changed);
}

void Radiator::Increase(RadiatorFamilySource& families, double ti) {
    const RadiatorFamily& family = familyOrRaise(families);
    if (family.FindSize(TypeCode).mainType < 0)
        unknownType();
    const std::optional<std::string> next = family.NextSize(TypeCode);
    if (!next)
        throw Error("IDS_CANNOTINCREASE");
    stepTo(family, *next, ti);
}

void Radiator::Decrease(RadiatorFamilySource& families, double ti) {
    const RadiatorFamily& family = familyOrRaise(families);
    if (family.FindSize(TypeCode).mainType < 0)
        unknownType();
    const std::optional<std::string> previous = family.PreviousSize(TypeCode);
    if (!previous)
        throw Error("IDS_CANNOTDECREASE");
    stepTo(family, *previous, ti);
}

void Radiator::ChangeMainType(RadiatorFamilySource& families, int mainType, double ti) {
    const RadiatorFamily& family = familyOrRaise(families);
    const std::span<const RadiatorSize> sizes = sizesOfMainType(family, mainType);
    if (sizes.empty())
        unknownType();
    stepTo(family, sizes.front().Name, ti);
}

const RadiatorSize* Radiator::size(RadiatorFamilySource& families) const {
    const RadiatorFamily* family = families.family(Family);
    if (family == nullptr)
        return nullptr;
    const RadiatorFamily::SizePosition at = family->FindSize(TypeCode);
    return at.found() ? &family->Sizes[static_cast<std::size_t>(at.size)] : nullptr;
}

bool Radiator::IsCurrentSize(RadiatorFamilySource& families) const {
    const RadiatorSize* found = size(families);
    return found != nullptr && found->Current != 0;
}

void Radiator::AddSurfaceAndVolume(RadiatorFamilySource& families, double& surface,
                                   double& volume) const {
    if (const RadiatorSize* found = size(families)) {
        surface += found->Surface;
        volume += found->Volume;
    }
}

std::string Radiator::EstimateCode(RadiatorFamilySource& families) const {
    const RadiatorSize* found = size(families);
    return found != nullptr ? found->EstimateCode : std::string();
}

int Radiator::MainTypeIndex(RadiatorFamilySource& families) const {
    const RadiatorFamily* family = families.family(Family);
    return family != nullptr ? family->FindSize(TypeCode).mainType : -1;
}

RadiatorMaterialLine Radiator::UsedMaterial() const {
    return {0, TypeCode, Family, 1.0, GetText("IDS_NUMBEROFPIECES")};
}

std::string Radiator::ColumnText(int column, const ListColumns& columns,
                                 RadiatorFamilySource& families) const {
    // A value read from a damaged record may be no number: it shows as text, it never
    // reaches a format that rounds to an integer.
    const auto real = [&](double value) {
        return std::isfinite(value) ? columns.formatReal(column, value) : formatGeneral(value, 5);
    };
    switch (column) {
    case 0:
        return Mark;
    case 1:
        return Family;
    case 2:
        return (IsCurrentSize(families) ? "\\green " : "\\red ") + TypeCode;
    case 3:
        return real(Power());
    case 4:
        return real(ForwardTemperature());
    case 5:
        return real(BackwardTemperature());
    case 6:
        return real(InstallationFactor);
    case 8:
        return columns.formatInteger(column, Length);
    case 9:
        return columns.formatInteger(column, Height);
    case 10:
        return columns.formatInteger(column, Depth);
    default:
        return {};
    }
}

void Radiator::WriteReportRow(ClipboardDocument& document, bool first) const {
    if (first)
        document.WriteRtfHeader("RadiatorTable");
    writeRow(document, kRoomCells, Mark, *this);
}

void Radiator::WriteBuildingReportRow(ClipboardDocument& document, bool header,
                                      const std::string& roomName) const {
    if (header)
        document.WriteRtfHeader("Radiator2Table");
    writeRow(document, kBuildingCells, roomName + "/" + Mark, *this);
}

void Radiator::CopyRow(ClipboardDocument& document) const {
    std::string line = Mark + "\t" + TypeCode;
    for (const RowNumber& number : rowNumbers(*this))
        line += "\t" + displayNumber(number.value, number.digits);
    BiffWriter& sheet = document.sheet();
    if (sheet.empty())
        sheet.BeginSheet();
    WriteSheetRow(sheet);
    document.text().Write(line + "\r\n");
    writeRow(document, kRoomCells, Mark, *this);
}

void Radiator::WriteSheetRow(BiffWriter& sheet) const {
    sheet.TextCell(Mark);
    sheet.TextCell(TypeCode);
    for (const RowNumber& number : rowNumbers(*this))
        sheet.NumberCell(number.value);
    sheet.NewRow();
}

bool Radiator::ReadRecord(MemoryStream& stream, int version) {
    if (version == 0)
        version = kCurrentVersion;
    Radiator read = *this;
    if (version == 52) {
        read.Mark = ReadString(stream);
        read.Family = ReadString(stream);
        read.TypeCode = ReadString(stream);
        read.InstallationFactor = readFloat(stream);
        read.setPower(readFloat(stream));
        read.setForwardTemperature(readFloat(stream));
        read.setBackwardTemperature(readFloat(stream));
        read.setMassFlow(readFloat(stream));
        read.Length = readInt16(stream);
        read.Height = readInt16(stream);
        read.Depth = readInt16(stream);
        *this = std::move(read);
        return true;
    }
    if (version < 102 || version > kCurrentVersion) {
        reportVersionError(version);
        return false;
    }
    for (;;) {
        const std::int16_t tag = readInt16(stream);
        const std::uint16_t length = readUInt16(stream);
        if (tag == kEnd)
            break;
        if (tag == kHydraulic) {
            // The element record follows inline with its own end mark; the length word is 0.
            if (!read.Hydraulic.ReadRecord(stream, version - 102 + 256))
                return false;
            continue;
        }
        MemoryStream payload(readBytes(stream, length));
        if (tag == kNames) {
            read.Mark = ReadString(payload);
            read.Family = ReadString(payload);
            read.TypeCode = ReadString(payload);
            read.InstallationFactor = readFloat(payload);
            read.Length = readInt16(payload);
            read.Height = readInt16(payload);
            read.Depth = readInt16(payload);
        }
    }
    *this = std::move(read);
    return true;
}

void Radiator::WriteRecord(MemoryStream& stream) const {
    const std::size_t chunk = beginChunk(stream, kNames);
    WriteString(stream, Mark);
    WriteString(stream, Family);
    WriteString(stream, TypeCode);
    writeFloat(stream, InstallationFactor);
    writeInt16(stream, Length);
    writeInt16(stream, Height);
    writeInt16(stream, Depth);
    endChunk(stream, chunk);
    writeInt16(stream, kHydraulic);
    writeUInt16(stream, 0);
    Hydraulic.WriteRecord(stream);
    writeInt16(stream, kEnd);
    writeUInt16(stream, 0);
}

} // namespace kalydor
