#pragma once

#include "heating/hydraulic.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kalydor {

class BiffWriter;
class ClipboardDocument;
class ListColumns;
class MemoryStream;
class RadiatorFamily;
class RadiatorFamilySource;
struct RadiatorSize;
struct RadiatorStruct;

/// The radiator's line of a bill of materials.
struct RadiatorMaterialLine {
    int kind = 0;     ///< 0: a device
    std::string code; ///< the type code
    std::string name; ///< the family
    double quantity = 1;
    std::string unit; ///< "IDS_NUMBEROFPIECES"
};

/// The record version of the radiators inside a room record of a version: 52 → 52, 53 → 102,
/// 54 → 103, 55 and 0 → 104; 0 for a room version without radiators of a known form.
int radiatorVersionOfRoom(int roomVersion);

/// Water mass flow (kg/h) that carries a heat output (W) between forward and return
/// temperature (°C). Raises "IDS_DTLOGERROR" unless forward > return, both finite, and
/// "IDS_MEDIUMERROR" for a specific heat that is not a positive number.
double massFlowOf(double power, double forward, double backward, double specificHeat);
/// Volume flow (m³/h) of a mass flow (kg/h); nothing for a density that is not positive.
std::optional<double> volumeFlowOf(double massFlow, double ro);
/// l/min per m³/h, as the radiator dialog shows the flow.
inline constexpr double kLitresPerMinutePerCubicMetrePerHour = 16.666666;

/// One two-pipe radiator of a room: a size of a radiator family named by its type code, its
/// output at its own water temperatures and the room temperature, the mass flow that output
/// needs and the size's dimensions. Operations that need the family find it through a
/// `RadiatorFamilySource`; each either succeeds whole or raises and leaves every field as it
/// was.
class Radiator {
public:
    Radiator() = default;
    /// A new radiator with the project's installation factor and water temperatures.
    explicit Radiator(const RadiatorStruct& options);

    static constexpr int kCurrentVersion = 104;

    std::string Mark;     ///< label within its room
    std::string Family;   ///< radiator family name
    std::string TypeCode; ///< type code of the chosen size
    float InstallationFactor = 1.0f;
    std::int16_t Length = 0; ///< mm
    std::int16_t Height = 0; ///< mm
    std::int16_t Depth = 0;  ///< mm
    kalydor::Hydraulic Hydraulic;

    float Power() const { return Hydraulic.Sides[0].Power; }
    float MassFlow() const { return Hydraulic.Sides[0].MassFlow; }
    float ForwardTemperature() const { return Hydraulic.Sides[0].Medium.ForwardTemperature; }
    float BackwardTemperature() const { return Hydraulic.Sides[0].Medium.BackwardTemperature; }
    float Ro() const { return Hydraulic.Sides[0].Medium.Ro; }
    float SpecificHeat() const { return Hydraulic.Sides[0].Medium.SpecificHeat; }
    float Kv() const { return Hydraulic.Kv(); }
    void setPower(float power) { Hydraulic.Sides[0].Power = power; }
    void setMassFlow(float massFlow) { Hydraulic.Sides[0].MassFlow = massFlow; }
    void setForwardTemperature(float t) { Hydraulic.Sides[0].Medium.ForwardTemperature = t; }
    void setBackwardTemperature(float t) { Hydraulic.Sides[0].Medium.BackwardTemperature = t; }

    /// Volume flow in m³/h; nothing when the medium's density is not positive.
    std::optional<double> VolumeFlow() const;

    /// Takes a size from the offer table: family, type code, factor, output, temperatures and
    /// dimensions, and the mass flow they need.
    void SetFromChoice(const std::string& family, const std::string& typeCode, float factor,
                       float power, float forward, float backward, std::int16_t length,
                       std::int16_t height, std::int16_t depth);
    /// Output, mass flow, dimensions and Kv of the size of `TypeCode` in `family` at room
    /// temperature `ti`. "IDS_UNKNOWEDTYPE" when the family has no such size.
    void Recalculate(const RadiatorFamily& family, double ti);
    /// Finds the family ("IDS_UNKNOWEDTYPE" when there is none) and recalculates.
    void Refresh(RadiatorFamilySource& families, double ti);
    /// The next (previous) size of the same main type; "IDS_CANNOTINCREASE"
    /// ("IDS_CANNOTDECREASE") at its end, "IDS_UNKNOWEDTYPE" for an unknown family or size.
    void Increase(RadiatorFamilySource& families, double ti);
    void Decrease(RadiatorFamilySource& families, double ti);
    /// The first size of a main type of the family; "IDS_UNKNOWEDTYPE" for a main type that is
    /// not there or has no sizes.
    void ChangeMainType(RadiatorFamilySource& families, int mainType, double ti);

    /// The size's `Current` flag; false for an unknown family or size.
    bool IsCurrentSize(RadiatorFamilySource& families) const;
    /// Adds the size's heating surface (m²) and water content (l); nothing when unknown.
    void AddSurfaceAndVolume(RadiatorFamilySource& families, double& surface, double& volume) const;
    /// The size's estimate code; empty when unknown.
    std::string EstimateCode(RadiatorFamilySource& families) const;
    RadiatorMaterialLine UsedMaterial() const;
    /// The index of the main type holding the size, -1 when the family or size is unknown.
    int MainTypeIndex(RadiatorFamilySource& families) const;

    /// The text of a column of the room's radiator list and of the radiators report list.
    std::string ColumnText(int column, const ListColumns& columns,
                           RadiatorFamilySource& families) const;
    /// The radiator's row of a room report's radiator table, after the table header when
    /// `first` is set.
    void WriteReportRow(ClipboardDocument& document, bool first) const;
    /// The building report's row: the room name, "/" and the mark in the first cell; the header
    /// when `header` is set.
    void WriteBuildingReportRow(ClipboardDocument& document, bool header,
                                const std::string& roomName) const;
    /// The radiator as one table row in text, rich text and spreadsheet cells.
    void CopyRow(ClipboardDocument& document) const;
    /// The radiator as one spreadsheet row: mark, type code, factor, output, forward and
    /// return temperature, length, height, depth.
    void WriteSheetRow(BiffWriter& sheet) const;

    /// Reads a record of version 52 or 102 to 104 (0 is 104). Another version is reported
    /// and gives false; data that end early raise "IDS_DATAREADERROR". Either way the radiator
    /// keeps its values unless the whole record was read.
    bool ReadRecord(MemoryStream& stream, int version);
    /// Writes the record in the current form (104).
    void WriteRecord(MemoryStream& stream) const;

private:
    const RadiatorFamily& familyOrRaise(RadiatorFamilySource& families) const;
    const RadiatorSize* size(RadiatorFamilySource& families) const;
    void stepTo(const RadiatorFamily& family, const std::string& typeCode, double ti);
};

} // namespace kalydor
