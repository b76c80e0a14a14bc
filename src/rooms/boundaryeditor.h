#pragma once

#include "base/numberfield.h"
#include "rooms/boundary.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

/// The three boundary dialogs: the full one with every value of the chosen kind, the short
/// wall dialog (measures, orientation or neighbour temperature) and the bridge dialog (length
/// and surface).
enum class BoundaryDialogKind { Full, Wall, Bridge };

/// The typed number fields of the boundary dialogs.
enum class BoundaryField {
    x,
    y,
    MinA, ///< the deduction; a bridge's surface in the full and bridge dialogs
    db,
    OverTempWinter,
    Tetap,
    FloorOverTemp,
    k,
    InfiltrationFactor,
    InfiltrationLength,
    OpeningRate,
    OutsideLength,
    InsideLength,
    Mass,
    HeatMass,
    DampFactor,
    Delay,
    InSideAlpha,
    GlassRatio,
    Massivitate,
    ms,
    ns,
    Rbc,
};
inline constexpr int kBoundaryFieldCount = static_cast<int>(BoundaryField::Rbc) + 1;

/// The logic of the boundary dialogs over a copy of the boundary: which values the chosen kind
/// shows and reads, their number rules, the kind, orientation and tilt choices. Typed values
/// are held until OK, which writes only those the chosen kind reads.
class BoundaryEditor {
public:
    /// `buildingCompass` turns the orientation choices with the building.
    BoundaryEditor(Boundary boundary, BoundaryDialogKind dialog, std::int16_t buildingCompass);

    /// The dialog a boundary made from a construction is edited in: bridges in the bridge
    /// dialog, floors on the ground in the full one, every other kind in the wall dialog.
    static BoundaryDialogKind dialogFor(int kind);

    BoundaryDialogKind dialog() const { return m_dialog; }
    const Boundary& boundary() const { return m_boundary; }
    int kind() const { return m_kind; }

    /// The kinds the full dialog offers (not 9, wall against the ground, nor 18, undefined).
    static const std::vector<int>& offeredKinds();
    /// Chooses a kind (full dialog only); the shown fields follow it.
    void setKind(int kind);

    /// Whether the dialog shows and reads a field for the chosen kind.
    bool reads(BoundaryField field) const;
    /// Whether the orientation and tilt are shown (outside kinds), or the neighbour side
    /// (inside kinds), or the winter insolation option (outside glazing).
    bool readsOrientation() const;
    bool readsNeighbour() const;
    bool readsSunFactor() const;
    /// The deduction box holds a bridge's surface and is captioned "IDS_SURFACE" so.
    bool deductionIsSurface() const;

    FieldRule rule(BoundaryField field) const;
    double value(BoundaryField field) const;
    /// Takes a typed number as leaving its field does.
    NumberField::Outcome type(BoundaryField field, std::string_view text);

    /// The eight orientations a, a + 45, … a + 315 following the building, as texts
    /// ("180° (S)").
    std::vector<std::int16_t> orientations() const;
    /// A chosen or typed orientation: the leading number of the text, truncated ("180° (S)"
    /// is 180); a number outside int16 is refused with the message of a wrong value.
    std::optional<std::string> setOrientation(std::string_view text);
    std::int16_t orientation() const { return m_compass; }
    /// Index into `kGradientSteps`.
    int gradientIndex() const;
    void setGradientIndex(int index);
    void setNeighbourUnheated(bool unheated) { m_overSideType = unheated ? 1 : 0; }
    bool neighbourUnheated() const { return m_overSideType != 0; }
    void setSunFactor(int option);
    int sunFactor() const { return m_sunFactor; }

    /// The glazing table's daytime coefficient (W/m²K): `k` := 1 / coefficient; nothing for
    /// a coefficient that is not above 0 or not finite.
    void takeGlazingCoefficient(double dayCoefficient);
    /// An infiltration factor chosen from the table.
    void takeInfiltrationFactor(double factor);

    /// OK: "IDS_NOPANELTYPEERR" when no kind is chosen; otherwise writes the read values into
    /// the boundary and gives none.
    std::optional<std::string> accept();

private:
    bool isOffered(int kind) const;

    Boundary m_boundary;
    BoundaryDialogKind m_dialog;
    std::int16_t m_buildingCompass;
    int m_kind;
    std::array<double, kBoundaryFieldCount> m_values{};
    std::int16_t m_compass;
    std::int16_t m_gradient;
    std::int16_t m_overSideType;
    std::int16_t m_sunFactor;
};

} // namespace kalydor
