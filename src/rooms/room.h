#pragma once

#include "heating/floorheatingfield.h"
#include "heating/radiator.h"
#include "rooms/boundary.h"
#include "rooms/internalpowers.h"
#include "store/dbitem.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

class ProjectOptions;
class TextDocument;
class TextLookup;

/// The building values a room keeps a copy of, refreshed whenever it is linked to its
/// building.
struct BuildingData {
    std::int16_t Pollution = 0;
    std::int16_t WallMassMode = 0;
    std::int16_t Compass = 0; ///< building orientation, degrees
    std::string SettlementName;
    std::int16_t BuildingCategory = 0;
    float SeaLevel = 0; ///< m
    float SettlementTemp = 0;
    float SettlementSwing = 0;
};

/// Summer values the room carries: three numbers and a word.
struct SummerResults {
    std::array<float, 3> values{};
    std::int16_t code = 0;
};

/// What a room's calculation takes from outside the room: the project's winter outside
/// temperature and the refresh of the room's radiators (step 10; absent: they keep their
/// values).
struct RoomSettings {
    double projectOutsideTemp = -15;
    std::function<void(class Room& room, double ti)> refreshRadiators;
};

/// Something the calculation did not take as given, with the boundary it concerns (if any).
struct RoomFinding {
    std::string key;      ///< its language text, a format taking the boundary name
    std::string boundary; ///< the boundary's name, or empty
    std::string text() const;
    bool operator==(const RoomFinding&) const = default;
};

/// One heated space of the project: geometry, design temperatures, how its ventilation heat
/// is found, the surcharges of the heating-load method, its boundaries, radiators,
/// floor-heating fields and internal gains, and the results of its heating-load calculation.
class Room final : public DBItem {
public:
    /// The defaults of a new room: from the project's options when there are any.
    explicit Room(const ProjectOptions* options = nullptr);
    Room(const Room& other);
    Room& operator=(const Room& other);
    Room(Room&&) noexcept = default;
    Room& operator=(Room&&) noexcept = default;
    ~Room() override;

    static constexpr std::int16_t kCurrentVersion = 55;

    // Input.
    std::string Function;
    float Area = 0;    ///< m²
    float Height = 0;  ///< m
    float Volume0 = 0; ///< m³; 0: the computed volume
    float Mass1 = 0;   ///< t
    float HeatMass1 = 0;
    std::string BuildingRef;
    float HeatingInSideTemp = 20;
    std::int16_t OutSideTempFromProject = 1;
    float HeatingOutSideTemp = -15;
    float TransFactor = 1;
    std::int16_t SunShineFlag = 0;
    float InternalSource = 0; ///< W
    std::int16_t FiltMode = 0;
    std::int16_t NumOfMens = 0;
    float Portion = 0;
    float AirChangeFact = 0;
    std::int16_t AirTempFromProject = 1;
    float AirTemp = -15;
    float AirVolume = 0; ///< m³/h
    float FiltPower = 0; ///< W
    float CoolingInSideTemp = 26;
    std::int16_t CalcFlags = 3;
    float Ao = 0;
    std::int16_t AcCalculated = 1;
    float Ac = 0;
    float Cm = 1;
    float EFactor = 1;
    float WindSpeed = 5;
    BuildingData Building;
    SummerResults Summer;

    // Results.
    float Volume1 = 0;
    float Mass0 = 0, Mass2 = 0;
    float HeatMass0 = 0, HeatMass2 = 0;
    float TransPower = 0;
    float SunShinePower = 0;
    float CalculatedFiltPower = 0;
    float HeatingPower = 0;
    float AcComputed = 0;
    HourlyCoolingLoad CoolingLoad;
    /// Of the last calculation, not stored: the mean thermal resistance (none without a
    /// transmission loss) and the doors' opening heat.
    std::optional<double> Rm;
    double DoorHeat = 0;

    // Owned lists.
    std::vector<Boundary> Boundaries;
    std::vector<std::unique_ptr<InternalPower>> Gains; ///< in the order read, every kind
    std::vector<Radiator> Radiators;
    std::vector<FloorHeatingField> FloorFields;
    /// Chunks of tags this program does not know, kept verbatim and written back.
    std::vector<std::pair<std::int16_t, std::string>> UnknownChunks;

    // Transient texts.
    std::string BuildingName;
    std::array<std::string, 2> ListTexts;

    /// Volume used: Volume0 when above 0, else Volume1.
    double volume() const;
    double transmissionOutsideTemp(double projectOutsideTemp) const;
    double enteringAirTemp(double projectOutsideTemp) const;
    double acInUse() const;

    void ResetResults();
    /// The heating-load calculation. Nothing of it is kept when it fails (a radiator the
    /// refresh cannot find raises its error), nor when a boundary lacks its thermal values
    /// (those are reported). Returns what it did not take as given.
    std::vector<RoomFinding> Calculate(const RoomSettings& settings);
    /// The first boundary that fails the neighbour-temperature check: its name followed by the
    /// text of the failure. The program option `WarningTempDiff` turns the check on.
    std::optional<std::string> CheckBoundaries(bool warningTempDiff) const;
    void LinkToBuilding(const std::string& identifier, const BuildingData& data);
    /// Sum of the radiators' outputs, W.
    double RadiatorPowerSum() const;
    void MoveBoundary(std::size_t i, std::size_t j);
    /// Asks "IDS_WANTBOUNDARYDELETE" and removes the boundary on Yes.
    bool DeleteBoundary(std::size_t i);
    bool hasMissingThermalValues() const;

    /// The result lines of the room's report in plain text (when given) and rich text, in
    /// report order. The heating part is written when asked for and the room computes its
    /// heating load; the outside temperatures the room takes from the project are
    /// `projectOutsideTemp`.
    void writeResultLines(TextDocument* text, TextDocument& rtf, bool heatingPart,
                          double projectOutsideTemp) const;
    /// The result lines of the printed sheet, numbers as the language writes them.
    std::string printedSheet(const TextLookup& languages, bool heatingPart,
                             double projectOutsideTemp) const;
    /// The report part of a clipboard copy: the result lines, the boundary and radiator
    /// tables in rich text, and the boundaries and radiators as spreadsheet rows.
    void writeReport(ClipboardDocument& stream, double projectOutsideTemp) const;
    /// One bill line per radiator: its size's type code as the name, the size's estimate
    /// code, one piece, in its family's folder of the device table.
    void AddUsedMaterials(UsedMaterials& bill) const override;

    bool ReadRecord(MemoryStream& stream, std::int16_t version) override;
    bool WriteRecord(MemoryStream& stream, VersionWord versionWord) override;
    std::string ColumnText(int columnId, const ListColumns& columns) const override;
    /// The room dialog through the context's room dialogs, on a copy taken back on OK.
    bool Edit(platform::Window* owner, const ItemContext& context) override;
    /// With the report: the room calculated afresh (on a copy) with the context's settings
    /// writes its report part; then its name, record and building name.
    bool CopyTo(ClipboardDocument& stream, const ItemContext& context, ClipboardCopy what) override;
    bool PasteFrom(MemoryStream& binaryPart) override;

private:
    void readFlat(MemoryStream& stream, int version);
    void readChunks(MemoryStream& stream, int version);
};

/// Registers the room kind so that rooms are made with the open project's options.
void registerRoomItems(std::function<const ProjectOptions*()> currentOptions);

} // namespace kalydor
