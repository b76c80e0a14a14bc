#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

class ListColumns;
class MemoryStream;
class Panel;
class ProjectOptions;

/// The kind sets of boundaries, by kind code (the construction kinds). Codes above 18, which
/// only damaged or later records hold, belong to no set.
namespace boundarykind {
bool isInside(int type);         ///< 1, 4, 5, 7, 8, 11, 13, 17
bool isOutside(int type);        ///< 0, 3, 10, 12, 14, 15, 16
bool isOpaque(int type);         ///< 0–8
bool isGlazed(int type);         ///< 10, 11, 14, 15
bool isLeaky(int type);          ///< 10, 12, 14
bool isDoor(int type);           ///< 12, 14
bool isBridge(int type);         ///< 16, 17
bool isOutsideGlazing(int type); ///< 10, 14, 15
bool isOpaqueOutside(int type);  ///< 0, 3, 12
bool isGroundLike(int type);     ///< 2, 6, 9, 18
inline constexpr std::uint8_t kFloor = 2;
inline constexpr std::uint8_t kUndefined = 18;
} // namespace boundarykind

/// The text of an orientation: "180° (S)", the angle with its compass sector.
std::string orientationText(int angle);

/// The tilt steps of outside surfaces, degrees.
inline constexpr std::array<std::int16_t, 7> kGradientSteps = {90, 75, 60, 45, 30, 15, 0};

/// What the room passes to each boundary's transmission: the winter inside temperature ti, the
/// transmission outside temperature te and the room's massivity coefficient Cm.
struct TransmissionConditions {
    double ti = 20;
    double te = -15;
    double cm = 1;
};

/// What the boundaries add up for their room.
struct TransmissionSums {
    double transPower = 0; ///< W
    double mass = 0;       ///< kg
    double heatMass = 0;   ///< kg
    double sunShine = 0;   ///< W
};

/// Something a boundary's calculation did not take as given.
enum class BoundaryFinding : std::uint8_t {
    FloorEdgesLeftOut, ///< a floor with ns or Rbc not above 0: its edge terms are left out
    NoMassivity,       ///< k above 0 but Massivitate not: the loss is computed as written
    NotFinite,         ///< a contribution that is no number counted as 0
};

/// One bounding surface of a room: a wall, window, door, floor, roof, ceiling or a thermal
/// bridge, with its construction's values copied in when it was made.
class Boundary {
public:
    std::string Name;
    std::uint8_t Type = boundarykind::kUndefined;
    std::int16_t db = 0;        ///< count of identical pieces
    float x = 0;                ///< m; the length of a bridge
    float y = 0;                ///< m
    float MinA = 0;             ///< m², deducted openings
    float GrossArea = 0;        ///< m², db × x × y; a bridge's entered surface
    float Mass = 0;             ///< kg/m²
    float HeatMass = 0;         ///< kg/m²
    std::int16_t Compass = 0;   ///< degrees, 0 north
    std::int16_t Gradient = 90; ///< degrees
    float DampFactor = 0;
    float Delay = 0;
    float InSideAlpha = 0;
    float Absorption = 0.7f;
    float Emission = 0.9f;
    float GlassRatio = 100; ///< %
    float InfiltrationFactor = 0;
    float InfiltrationLength = 0; ///< m per piece
    std::int16_t SunFactor = 0;   ///< winter insolation option 0, 1 or 2
    float GlassFactor = 1.0f;
    std::int16_t ShadowMode = 0;
    float ShadowFactor = 1.0f;
    float ShadowTangent = 0;
    std::array<std::uint8_t, 12> Covering{};
    float OverTempWinter = 0; ///< °C on the other side (inside kinds); te after a calculation
    float OverTempSummer = 0;
    std::int16_t OverSideType = 0; ///< 1: unheated on the other side
    float HeatLoss = 0;            ///< W, result; not stored
    float k = 0;                   ///< m²K/W (a bridge: mK/W)
    float Rbc = 1.0f;
    float ms = 0;
    float ns = 1.0f;
    float Massivitate = 0;
    float OutsideLength = 0; ///< m
    float Tetap = 0;         ///< ground temperature, °C
    float InsideLength = 0;  ///< m
    float FloorOverTemp = 0; ///< °C beyond the inner edge
    float OpeningRate = 0;   ///< door openings per hour
    std::int16_t InfiltrationEnabled = 1;
    /// Set when the boundary came from a record too old to hold its thermal values (no k,
    /// Massivitate, floor, door or joint values): a calculation would zero its loss. Cleared
    /// when those values are set.
    bool MissingThermalValues = false;

    /// The high byte of the stored kind word, kept so that a record writes back as read.
    std::uint8_t TypeHighByte = 0;

    /// Net area (m²) the calculation uses: GrossArea − MinA; for a bridge db × x (m).
    double workingMeasure() const;

    /// Algorithms of the transmission: areas, loss, masses and the winter solar gain.
    void ComputeTransmission(const TransmissionConditions& conditions, TransmissionSums& sums,
                             std::vector<BoundaryFinding>& findings);
    /// The winter solar gain factor (W/m² of glazing) of the boundary's orientation and tilt;
    /// nothing for a kind or option without a gain.
    std::optional<double> winterSolarFactor() const;

    /// The neighbour-temperature check of an inside boundary: the language key of the failure
    /// ("IDS_NOTWINTERTEMPDIFFERENT" or "IDS_NOTSUMMERTEMPDIFFERENT"), none when it passes.
    std::optional<std::string> CheckNeighbourTemperatures(double winterInside, double summerInside,
                                                          std::int16_t calcFlags) const;

    /// Adds this boundary's surface to the deduction of another.
    void DeductFrom(Boundary& target) const;

    /// Fills the boundary from a construction (kind 18 raises "IDS_UNDEFINEDPANEL"), takes the
    /// template's orientation, tilt and kind-set values, and lets `edit` change it; false when
    /// the edit was cancelled. The ground temperature is the project's.
    using EditBoundary = std::function<bool(Boundary&, std::int16_t buildingCompass)>;
    bool CreateFromPanel(const Panel& panel, float roomHeight, std::int16_t buildingCompass,
                         const Boundary& templateValues, const ProjectOptions* options,
                         const EditBoundary& edit);

    /// The text of a column of the room's boundary list.
    std::string ColumnText(int column, const ListColumns& columns) const;
    /// "180° (south)" or "-" for a kind that is not outside or a horizontal surface.
    std::string compassText() const;
    /// Index of the first tilt step at or below `Gradient` (6 for the horizontal and below).
    int gradientIndex() const;

    /// Reads the record of a boundary inside a room record of a version (50 to 55); raises
    /// "IDS_DATAREADERROR" when it ends early, leaving the boundary as it was.
    void Load(MemoryStream& stream, int roomVersion);
    /// Writes the current layout.
    void Save(MemoryStream& stream) const;
};

} // namespace kalydor
