#pragma once

#include "heating/heatingmedium.h"
#include "store/itemstream.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kalydor {

class Error;
class MemoryStream;
class ItemStore;

/// Thermal and hydraulic defaults of one kind of heating element. The limits are carried and
/// stored for the hydraulic network; no calculation of the program reads them.
struct HydraulicOptions {
    HeatingMedium Medium;
    std::string TubeType;
    std::string IsolationType;
    std::string ValveType0;
    std::string ValveType1;
    std::int16_t ValveMode0 = 0;
    std::int16_t ValveMode1 = 0;
    std::string DefaultMakro;
    float AvailablePressure = 20000.0f; ///< Pa
    float SpeedMax = 0.5f;              ///< m/s
    float PressureProMeterMax = 100.0f; ///< Pa/m
    std::int16_t TubeSizeMinimum = 0;   ///< mm
    /// Name templates of the two network nodes the element creates ("$U" route, "$P" partial
    /// route, "$H" room, "$R" radiator index, "$N" element name).
    std::string ConnectionName0;
    std::string ConnectionName1;
};

/// Defaults of new layered constructions.
struct PanelOptions {
    float OutSideTemp = -2.0f;    ///< °C
    float InSideTemp = 20.0f;     ///< °C
    float OutSideRelHum = 90.0f;  ///< %
    float InSideRelHum = 50.0f;   ///< %
    float DiffusionDays = 180.0f; ///< length of the vapour diffusion period, days
    float FloorLevel = 0.0f;      ///< m
};

/// Defaults of new buildings and rooms.
struct BuildingOptions {
    std::int16_t Compass = 0;      ///< orientation, degrees
    std::int16_t Pollution = 0;    ///< 0 urban, 1 clean rural, 2 especially clean
    std::int16_t WallMassMode = 1; ///< 0 light (at most 350 kg/m²), 1 medium or heavy
    std::int16_t UsingMode = 0;    ///< 0 continuous, 1 intermittent use
    float Height = 2.7f;           ///< room height, m
};

/// Defaults of the winter heating load of new rooms.
struct HeatingOptions {
    float OutSideTemp = -15.0f; ///< outside design temperature, °C
    float InSideTemp = 20.0f;   ///< inside design temperature, °C
    float TransFactor = 1.0f;
    std::int16_t SunShineFlag = 0;
    std::int16_t FiltMode = 0;  ///< ventilation mode 0..4, named by "IDS_FILTMODES+n"
    float Portion = 30.0f;      ///< fresh air per person, m³/h
    float AirChangeFact = 0.8f; ///< air changes, 1/h
    std::int16_t Calculate = 1;
};

/// Defaults of the summer cooling load.
struct CoolingOptions {
    float InSideTemp = 26.0f; ///< °C
    std::int16_t Calculate = 1;
};

/// The sun of one hour of the summer weather table.
struct SunPosition {
    float Azimut = 0.0f;
    float z = 0.0f;
    float Dir = 0.0f; ///< direct radiation
    float Dif = 0.0f; ///< diffuse radiation
};

/// Hourly summer weather.
struct MeteorologyStruct {
    std::int16_t UserDefined = 0; ///< nonzero: user data instead of the standard data
    std::string Name;
    std::array<float, 24> te{}; ///< outside air temperature of each hour, °C
    std::array<SunPosition, 24> sun{};
};

/// Two-pipe radiators.
struct RadiatorStruct {
    std::int16_t Nearest = 1; ///< nonzero: the size nearest in power; zero: the size above
    float CorrectionFactor = 1.0f;
    HydraulicOptions Hydraulic;
    float TubeLength = 0.0f; ///< connection pipe length, m
};

/// Floor and surface heating and cooling circuits.
struct FloorHeatingStruct {
    float OversideTemperature = -15.0f; ///< below the heated floor, °C
    float Oversidek = 0.5f;             ///< W/m²K downwards
    float BundLength = 300.0f;
    HydraulicOptions Hydraulic;
    float CoolingForwardTemperature = 15.0f;
    float CoolingBackwardTemperature = 18.0f;
    float CoolingOversideTemperature = 32.0f;
    float TubeLengthPlus = 0.0f;
    std::int16_t TubeLengthPlusMode = 1; ///< 0 per cent, 1 metres
    float RegisterVolume = 20.0f;        ///< kg/h per register
};

/// One-tube radiator rounds.
struct OneTubeRoundStruct {
    std::int16_t Nearest = 1;
    float CorrectionFactor = 1.0f;
    std::string RadiatorName;
    std::string RadiatorFamily;
    HydraulicOptions Hydraulic;
};

/// Consumers of known power; the primary side of heat exchangers and mixing valves has the
/// same shape.
struct ConsumerStruct {
    float CoolingForwardTemperature = 6.0f;
    float CoolingBackwardTemperature = 12.0f;
    HydraulicOptions Hydraulic;
};
using HeatChangerStruct = ConsumerStruct;

/// Ordinary pipe sections.
struct NormalSectionStruct {
    HydraulicOptions Hydraulic;
};

/// Which junction type and pipe a junction family gets.
struct PointTypeRuleItem {
    std::int16_t FamilyType = 0; ///< junction family, named by "IDS_POINTDBFAMILYS+n"
    std::string PointType;
    std::string TubeType;
};

/// Network junctions: the local resistance coefficients and the junction type rules.
struct PointStruct {
    /// Contraction, expansion, T-branch perpendicular and straight leg, T-union perpendicular
    /// and straight leg, exit from a distributor, entry into a collector.
    std::array<float, 8> Zeta{0.2f, 0.1f, 2.0f, 0.2f, 1.5f, 1.2f, 0.5f, 1.0f};
    std::vector<PointTypeRuleItem> Rules;
};

/// Ground and wind data of the heating-load method.
struct RomanianOptions {
    float H = -6.0f;           ///< ground water level, m (below ground: negative)
    float EarthLambda = 1.16f; ///< W/mK
    float Tetap = 10.0f;       ///< ground temperature, °C
    float Ao = 0.0f;
    std::int16_t AcCalculated = 1;
    float Ac = 0.0f;
    float Cm = 1.0f;
    float E = 1.0f; ///< level correction factor
    float v = 5.0f; ///< wind speed, m/s
};

/// The calculation defaults of one project. One object lives while a project is open: built
/// with the defaults, then loaded from the project's options record, saved back when the user
/// confirms the options dialog. An object whose record could not be read keeps the values it
/// had and refuses to be saved, so a damaged or newer record is never overwritten.
class ProjectOptions {
public:
    /// The version written; versions 10 to 13 are read.
    static constexpr std::int16_t kCurrentVersion = 13;

    enum class LoadState {
        NotLoaded, ///< constructed, no record read yet
        Loaded,    ///< read from the project (or the project had no stored data)
        Failed,    ///< the stored record could not be read: the options are read-only
    };

    /// Every default; the medium name and the radiator connection names come from the
    /// language tables.
    ProjectOptions();

    PanelOptions Panel;
    BuildingOptions Building;
    HeatingOptions Heating;
    CoolingOptions Cooling;
    MeteorologyStruct Meteorology;
    RadiatorStruct Radiator;
    FloorHeatingStruct FloorHeating;
    OneTubeRoundStruct OneTubeRound;
    ConsumerStruct Consumer;
    HeatChangerStruct HeatChanger;
    NormalSectionStruct NormalSection;
    PointStruct Point;
    RomanianOptions Romanian;
    /// The chunks of the stored record that this version does not interpret, verbatim (tag,
    /// length, payload); written back unchanged before the end mark.
    std::string UnknownChunks;

    /// Reads the options record from the project's store. An empty data block or a missing
    /// record leaves the values as they are and gives true. An unknown version
    /// ("IDS_VERSIONERR") and damaged data ("IDS_DATAREADERROR") are shown and give false:
    /// the values stay as they were and the object becomes read-only.
    bool LoadFromProject(ItemStore& project);
    /// Writes the options into the project's options record and commits; false (nothing
    /// written) when the project has no options record. Raises "IDS_PROJEKTOPTIONSREADONLY"
    /// when the options could not be loaded, and passes on write errors with the record
    /// unchanged.
    bool SaveToProject(ItemStore& project) const;

    /// Reads a record body of the given version (the version word already read). False after
    /// an unknown version (reported); an error for damaged data. Only a complete read changes
    /// the values.
    bool ReadRecord(MemoryStream& stream, std::int16_t version);
    /// Writes the record of the current version, with its version word when asked.
    void WriteRecord(MemoryStream& stream, VersionWord versionWord = VersionWord::With) const;
    /// The data block as written into the options record.
    std::string recordBytes() const;

    LoadState loadState() const { return m_loadState; }
    bool loadFailed() const { return m_loadState == LoadState::Failed; }

private:
    LoadState m_loadState = LoadState::NotLoaded;
};

/// The error raised when options that could not be read from the project are to be saved.
Error projectOptionsReadOnlyError();

/// The store's project-options steps, installed by the program at start-up: a new project
/// table gets the default options record, and converting a project of an older format
/// reloads the options of the open project, which `currentOptions` names (nullptr when no
/// options object exists yet; the reload is then skipped).
void installProjectOptionsHooks(std::function<ProjectOptions*()> currentOptions);

} // namespace kalydor
