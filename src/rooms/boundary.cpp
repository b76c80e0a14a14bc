#include "rooms/boundary.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/numberformat.h"
#include "base/textlookup.h"
#include "constructions/panel.h"
#include "heating/projectoptions.h"
#include "store/dbitem.h"
#include "store/itemstream.h"

#include <cmath>

namespace kalydor {

namespace boundarykind {

bool isInside(int type) {
    return Panel::isInternal(type);
}

bool isOutside(int type) {
    switch (type) {
    case 0:
    case 3:
    case 10:
    case 12:
    case 14:
    case 15:
    case 16:
        return true;
    default:
        return false;
    }
}

bool isOpaque(int type) {
    return type >= 0 && type <= 8;
}

bool isGlazed(int type) {
    return Panel::isGlazed(type);
}

bool isLeaky(int type) {
    return type == 10 || type == 12 || type == 14;
}

bool isDoor(int type) {
    return type == 12 || type == 14;
}

bool isBridge(int type) {
    return type == 16 || type == 17;
}

bool isOutsideGlazing(int type) {
    return isOutside(type) && isGlazed(type);
}

bool isOpaqueOutside(int type) {
    return isOutside(type) && !isGlazed(type) && !isBridge(type);
}

bool isGroundLike(int type) {
    return type == 2 || type == 6 || type == 9 || type == 18;
}

} // namespace boundarykind

namespace {

using namespace boundarykind;

// Winter solar gain, W per m² of glazing, by orientation row (up to the bound in degrees) and
// tilt column (90 … 15°), for insolation options 0 and 1.
constexpr std::array<int, 7> kOrientationBounds = {75, 120, 165, 195, 240, 285, 360};
constexpr int kSolarGain[7][6][2] = {
    {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {10, 7}},
    {{15, 10}, {16, 11}, {17, 12}, {17, 12}, {17, 12}, {16, 12}},
    {{30, 20}, {30, 20}, {30, 20}, {30, 20}, {25, 18}, {20, 14}},
    {{45, 25}, {47, 26}, {45, 25}, {40, 23}, {35, 22}, {26, 18}},
    {{30, 20}, {30, 20}, {30, 20}, {30, 20}, {25, 18}, {20, 14}},
    {{15, 10}, {16, 11}, {17, 12}, {17, 12}, {17, 12}, {16, 12}},
    {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {10, 7}},
};
// A horizontal surface, whatever its orientation.
constexpr int kFlatGain[2] = {15, 10};

// Whole watts as the heating-load method rounds: half up, in floating point.
double rounded(double value) {
    return std::floor(value + 0.5);
}

// An angle brought into 0..359.
int normalisedAngle(int angle) {
    return ((angle % 360) + 360) % 360;
}

void note(std::vector<BoundaryFinding>& findings, BoundaryFinding finding) {
    findings.push_back(finding);
}

// A contribution that is no number counts 0 and is reported.
double finite(double value, std::vector<BoundaryFinding>& findings) {
    if (std::isfinite(value))
        return value;
    note(findings, BoundaryFinding::NotFinite);
    return 0;
}

} // namespace

double Boundary::workingMeasure() const {
    if (isBridge(Type))
        return static_cast<double>(db) * x;
    return static_cast<double>(GrossArea) - MinA;
}

void Boundary::ComputeTransmission(const TransmissionConditions& c, TransmissionSums& sums,
                                   std::vector<BoundaryFinding>& findings) {
    if (!isBridge(Type))
        GrossArea = static_cast<float>(static_cast<double>(db) * x * y);
    const double b = workingMeasure();
    if (isInside(Type)) {
        if (k > 0)
            HeatLoss =
                static_cast<float>(finite(rounded(b * (c.ti - OverTempWinter) / k), findings));
        sums.transPower += HeatLoss;
        if (isOpaque(Type)) {
            sums.mass += finite(b * Mass * 0.5, findings);
            sums.heatMass += finite(b * HeatMass, findings);
        }
    } else {
        OverTempWinter = static_cast<float>(c.te);
        double loss = HeatLoss;
        if (k > 0) {
            if (Type == kFloor) {
                loss = b * (c.ti - Tetap) / k;
                if (ns > 0 && Rbc > 0) {
                    loss += c.cm * ms / ns * OutsideLength / Rbc * (c.ti - c.te) +
                            InsideLength / ns / Rbc * (c.ti - FloorOverTemp);
                } else {
                    note(findings, BoundaryFinding::FloorEdgesLeftOut);
                }
            } else {
                if (Massivitate <= 0)
                    note(findings, BoundaryFinding::NoMassivity);
                loss = c.cm * b * Massivitate / k * (c.ti - c.te);
            }
        }
        HeatLoss = static_cast<float>(finite(rounded(loss), findings));
        sums.transPower += HeatLoss;
        if (isOpaque(Type)) {
            sums.mass += finite(b * Mass, findings);
            sums.heatMass += finite(b * HeatMass, findings);
        }
    }
    if (const std::optional<double> factor = winterSolarFactor())
        sums.sunShine += finite(GlassRatio * b * *factor * 0.01, findings);
}

int Boundary::gradientIndex() const {
    for (std::size_t i = 0; i < kGradientSteps.size(); ++i) {
        if (kGradientSteps[i] <= Gradient)
            return static_cast<int>(i);
    }
    return static_cast<int>(kGradientSteps.size()) - 1;
}

std::optional<double> Boundary::winterSolarFactor() const {
    if (!isOutsideGlazing(Type) || (SunFactor != 0 && SunFactor != 1))
        return std::nullopt;
    const int column = gradientIndex();
    // The horizontal, and tilts below the 15° step, take the pair of a flat surface: the
    // table has no column for them.
    if (Gradient == 0 || column >= static_cast<int>(kGradientSteps.size()) - 1)
        return kFlatGain[SunFactor];
    const int angle = normalisedAngle(Compass);
    std::size_t row = 0;
    while (row + 1 < kOrientationBounds.size() && kOrientationBounds[row] < angle)
        ++row;
    return kSolarGain[row][column][SunFactor];
}

std::optional<std::string> Boundary::CheckNeighbourTemperatures(double winterInside,
                                                                double summerInside,
                                                                std::int16_t calcFlags) const {
    if (!isInside(Type))
        return std::nullopt;
    if ((calcFlags & 1) != 0 && std::fabs(winterInside - OverTempWinter) < 0.1)
        return std::string("IDS_NOTWINTERTEMPDIFFERENT");
    if ((calcFlags & 2) != 0 && std::fabs(summerInside - OverTempSummer) < 0.1)
        return std::string("IDS_NOTSUMMERTEMPDIFFERENT");
    return std::nullopt;
}

void Boundary::DeductFrom(Boundary& target) const {
    target.MinA += GrossArea;
}

bool Boundary::CreateFromPanel(const Panel& panel, float roomHeight, std::int16_t buildingCompass,
                               const Boundary& t, const ProjectOptions* options,
                               const EditBoundary& edit) {
    if (panel.Type == kUndefined)
        throw Error("IDS_UNDEFINEDPANEL");
    Boundary made;
    made.Name = panel.Name;
    made.Type = static_cast<std::uint8_t>(panel.Type);
    made.db = 1;
    made.x = panel.x;
    made.y = panel.y;
    if (made.y == 0 && (made.Type == 0 || made.Type == 1 || made.Type == 3 || made.Type == 4))
        made.y = roomHeight;
    made.k = panel.R;
    made.Massivitate = panel.ThermicMassivitate;
    made.ms = panel.ms;
    made.ns = panel.ns;
    made.Rbc = panel.Rbc;
    made.Tetap = options != nullptr ? options->Romanian.Tetap : RomanianOptions{}.Tetap;
    if (isLeaky(made.Type)) {
        made.InfiltrationFactor = panel.InfiltrationFactor;
        made.InfiltrationLength = panel.InfiltrationLength;
    }
    if (isOpaque(made.Type)) {
        made.Mass = panel.Mass;
        made.HeatMass = panel.HeatMass;
        made.DampFactor = panel.DampFactor;
        made.Delay = panel.Delay;
        made.InSideAlpha = panel.InSideAlpha;
    }
    if (isOutsideGlazing(made.Type))
        made.GlassRatio = panel.GlassRatio;
    made.Compass = t.Compass;
    made.Gradient = t.Gradient;
    if (isOpaqueOutside(made.Type)) {
        made.Absorption = t.Absorption;
        made.Emission = t.Emission;
    }
    if (isInside(made.Type)) {
        made.OverTempWinter = t.OverTempWinter;
        made.OverTempSummer = t.OverTempSummer;
        made.OverSideType = t.OverSideType;
    }
    if (isOutsideGlazing(made.Type)) {
        made.SunFactor = t.SunFactor;
        made.GlassFactor = t.GlassFactor;
        made.ShadowMode = t.ShadowMode;
        made.ShadowFactor = t.ShadowFactor;
        made.ShadowTangent = t.ShadowTangent;
        made.Covering = t.Covering;
    }
    if (edit && !edit(made, buildingCompass))
        return false;
    // A bridge's surface is the one entered: only the others are measured.
    if (!isBridge(made.Type))
        made.GrossArea = static_cast<float>(static_cast<double>(made.db) * made.x * made.y);
    made.MissingThermalValues = false;
    *this = std::move(made);
    return true;
}

std::string orientationText(int angle) {
    const int sector = normalisedAngle(angle + 22) / 45;
    return std::to_string(angle) + "° (" + GetText("IDS_COMPASS+" + std::to_string(sector)) + ")";
}

std::string Boundary::compassText() const {
    if (!isOutside(Type) || Gradient == 0)
        return "-";
    return orientationText(Compass);
}

std::string Boundary::ColumnText(int column, const ListColumns& columns) const {
    const auto real = [&](double value) {
        return std::isfinite(value) ? columns.formatReal(column, value) : formatGeneral(value, 5);
    };
    const bool floor = Type == kFloor;
    switch (column) {
    case 0:
        return Name;
    case 1:
        return GetText("IDS_PANELTYPES+" + std::to_string(Type));
    case 2:
        return real(x);
    case 3:
        return real(y);
    case 4:
        return real(GrossArea);
    case 5:
        return real(MinA);
    case 7:
        return real(isOpaque(Type) ? Mass : 0.0f);
    case 9:
        return compassText();
    case 10:
        return isOutsideGlazing(Type) ? GetText("IDS_SUNFACTOR+" + std::to_string(SunFactor))
                                      : std::string("-");
    case 11:
        return isOutside(Type) ? GetText("IDS_GRADIENT+" + std::to_string(gradientIndex()))
                               : std::string("-");
    case 16:
        return real(OverTempWinter);
    case 18:
        return real(HeatLoss);
    case 19:
        return columns.formatInteger(column, db);
    case 21:
        return real(isOpaque(Type) ? HeatMass : 0.0f);
    case 25:
        return real(InfiltrationFactor);
    case 26:
        return real(static_cast<double>(db) * InfiltrationLength);
    case 27:
        return real(Massivitate);
    case 28:
        return real(floor ? ms : 0.0f);
    case 29:
        return real(floor ? ns : 0.0f);
    case 30:
        return real(floor ? Rbc : 0.0f);
    case 32:
        return real(k);
    default:
        return {};
    }
}

void Boundary::Load(MemoryStream& s, int roomVersion) {
    Boundary b = *this;
    const bool oldest = roomVersion == 50 || roomVersion == 51;
    const bool current = roomVersion >= 54 || roomVersion == 0;
    if (oldest) {
        b.Name = readFixedString(s, 32);
        b.Type = readByte(s);
        b.TypeHighByte = 0;
    } else {
        b.Name = ReadString(s);
        const auto word = static_cast<std::uint16_t>(readInt16(s));
        b.Type = static_cast<std::uint8_t>(word & 0xff);
        b.TypeHighByte = static_cast<std::uint8_t>(word >> 8);
    }
    b.db = readInt16(s);
    b.x = readFloat(s);
    b.y = readFloat(s);
    b.MinA = readFloat(s);
    b.Mass = readFloat(s);
    b.HeatMass = readFloat(s);
    b.Compass = readInt16(s);
    b.Gradient = readInt16(s);
    b.DampFactor = readFloat(s);
    b.Delay = readFloat(s);
    b.InSideAlpha = readFloat(s);
    b.Absorption = readFloat(s);
    b.Emission = readFloat(s);
    if (oldest) {
        (void)readInt16(s);
        b.GlassRatio = readInt16(s);
    } else {
        b.GlassRatio = readFloat(s);
    }
    if (current) {
        b.InfiltrationFactor = readFloat(s);
        b.InfiltrationLength = readFloat(s);
        b.k = readFloat(s);
        b.Rbc = readFloat(s);
        b.ms = readFloat(s);
        b.ns = readFloat(s);
        b.Massivitate = readFloat(s);
        b.OutsideLength = readFloat(s);
        b.Tetap = readFloat(s);
        b.InsideLength = readFloat(s);
        b.FloorOverTemp = readFloat(s);
        b.OpeningRate = readFloat(s);
        b.InfiltrationEnabled = readInt16(s);
    }
    b.MissingThermalValues = !current;
    b.SunFactor = readInt16(s);
    b.GlassFactor = readFloat(s);
    b.ShadowMode = readInt16(s);
    b.ShadowFactor = readFloat(s);
    b.ShadowTangent = readFloat(s);
    const std::string covering = readBytes(s, b.Covering.size());
    for (std::size_t i = 0; i < b.Covering.size(); ++i)
        b.Covering[i] = static_cast<std::uint8_t>(covering[i]);
    b.OverTempWinter = readFloat(s);
    b.OverTempSummer = readFloat(s);
    b.OverSideType = readInt16(s);
    b.GrossArea = readFloat(s);
    *this = std::move(b);
}

void Boundary::Save(MemoryStream& s) const {
    WriteString(s, Name);
    writeInt16(s, static_cast<std::int16_t>(static_cast<std::uint16_t>(Type) |
                                            static_cast<std::uint16_t>(TypeHighByte << 8)));
    writeInt16(s, db);
    for (const float value : {x, y, MinA, Mass, HeatMass})
        writeFloat(s, value);
    writeInt16(s, Compass);
    writeInt16(s, Gradient);
    for (const float value : {DampFactor, Delay, InSideAlpha, Absorption, Emission, GlassRatio,
                              InfiltrationFactor, InfiltrationLength, k, Rbc, ms, ns, Massivitate,
                              OutsideLength, Tetap, InsideLength, FloorOverTemp, OpeningRate})
        writeFloat(s, value);
    writeInt16(s, InfiltrationEnabled);
    writeInt16(s, SunFactor);
    writeFloat(s, GlassFactor);
    writeInt16(s, ShadowMode);
    writeFloat(s, ShadowFactor);
    writeFloat(s, ShadowTangent);
    s.write(Covering.data(), Covering.size());
    writeFloat(s, OverTempWinter);
    writeFloat(s, OverTempSummer);
    writeInt16(s, OverSideType);
    writeFloat(s, GrossArea);
}

} // namespace kalydor
