#pragma once

#include "constructions/layer.h"
#include "store/dbitem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kalydor {

class TextDocument;
class TextLookup;

/// What the calculation of a construction takes from outside the construction itself.
struct PanelSettings {
    /// The project's winter outside design temperature (Heating "OutSideTemp"), °C.
    double outsideDesignTemperature = -15;
    /// Program option "SimpleHumidityCalculation": condensation check only, short messages.
    bool simpleHumidityCalculation = true;
};

/// What the calculation of a construction leaves on it besides its stored fields. Never
/// stored; cleared at the start of every calculation.
struct PanelResults {
    double sumR = 0;                ///< Σ layer R, m²K/W
    double sumRv = 0;               ///< Σ layer Rv, m²·s·MPa/g
    double U = 0;                   ///< W/m²K, rounded to 0.01
    bool heating = false;           ///< θi > θe
    int ventilatedIndex = -1;       ///< list index of the last ventilated air layer, -1 none
    double surfaceTemperature = 0;  ///< θsi, °C
    double fillingTime = 0;         ///< days
    double dewPoint = 0;            ///< °C, warm-surface dew point (or the surface temperature)
    double warmSurfacePressure = 0; ///< Pa
    std::uint8_t flags[4] = {0, 0, 0, 0};
    /// Whether the layers' flags have been ORed into `flags` (done once per calculation).
    bool layersMerged = false;
};

/// A building construction: layered (computed from its layers and design climates) or known
/// (its values typed in). Owns its layers by value.
/// What a new construction takes from its project: the design climate of the project's
/// construction defaults and the ground values. The defaults here are those of a new project.
struct PanelDefaults {
    float OutSideTemp = -2;
    float InSideTemp = 20;
    float OutSideRelHum = 90;
    float InSideRelHum = 50;
    float DiffusionDays = 180;
    float FloorLevel = 0;
    float GroundWaterHeight = -6;
    float EarthLambda = 1.16f;
};

class Panel : public DBItem {
public:
    static constexpr std::int16_t kRecordVersion = 56;
    static constexpr int kTypeCount = 19;
    static constexpr std::uint8_t kUndefinedType = 18;

    std::uint8_t Type = kUndefinedType;
    std::int16_t Layered = 0;  ///< 0 layered, 1 known, -1 while the chooser is cancelled
    float x = 0, y = 0;        ///< m
    float Mass = 0;            ///< kg/m²
    float DampFactor = 0;      ///< ν
    float Delay = 0;           ///< ε, h
    float HeatMass = 0;        ///< kg/m², from the inner side (side 1 of an internal panel)
    float HeatMass2 = 0;       ///< kg/m², from the other side of an internal panel
    float FloorHeatAbsorb = 0; ///< b, kJ/(m²·K·s^½)
    float OutSideTemp = 0, InSideTemp = 0;     ///< °C
    float OutSideAlpha = 0, InSideAlpha = 0;   ///< W/m²K
    float OutSideRelHum = 0, InSideRelHum = 0; ///< %
    float FloorLevel = 0;                      ///< m
    float DiffusionDays = 0;                   ///< days
    float GlassRatio = 0;                      ///< %
    float InfiltrationFactor = 0;              ///< ×10⁻⁴
    float InfiltrationLength = 0;              ///< m
    std::int16_t Ordering = 0; ///< 0 layers listed from the outside inwards, 1 the reverse
    std::vector<Layer> Layers;
    float R = 0;               ///< m²K/W, the resistance others use
    float TotalResistance = 0; ///< m²K/W, computed
    float RGived = 0;
    float ThermicMassivitate = 0;
    float ComputedMassivitate = 0;
    float ThermicMassivitateGived = 0;
    float GroundWaterHeight = 0; ///< m, ≤ 0
    float FundationWidth = 0;    ///< m
    float ms = 0, ns = 0;
    float SurfaceTemperatureDifference = 0; ///< K
    float NeededResistance = 0;             ///< m²K/W
    float Rbc = 0;                          ///< m²K/W
    float EarthLambda = 0;                  ///< W/mK

    PanelResults results;

    // Type sets by code.
    static bool isOpaque(int type) { return type >= 0 && type <= 8; }
    static bool isFloorLike(int type);
    static bool isInternal(int type);
    static bool isGlazed(int type);
    static bool isOuterOpening(int type);
    static bool isBridge(int type) { return type == 16 || type == 17; }
    /// The type name of a code ("OutsideWall" …); empty for an unknown code.
    static std::string typeName(int type);
    /// The code of a type name, -1 when unknown.
    static int typeOfName(const std::string& name);
    /// Default surface coefficients αe, αi of a type (0 where the type has none).
    static void defaultAlphas(int type, float& outside, float& inside);

    /// Gives a construction being created the project's climate and ground values.
    void takeDefaults(const PanelDefaults& defaults);

    bool isKnown() const { return Layered == 1; }
    /// Layer indices in the order met walking from the outside inwards.
    std::vector<int> outsideOrder() const;

    bool ReadRecord(MemoryStream& stream, std::int16_t version) override;
    bool WriteRecord(MemoryStream& stream, VersionWord versionWord) override;
    /// The binary part of a copy: the name and the record without version.
    bool CopyTo(ClipboardDocument& stream, const ItemContext& context, ClipboardCopy what) override;
    /// Opens the editor of the construction (asking first whether a new one is layered or
    /// known); a confirmed layered construction comes back calculated.
    bool Edit(platform::Window* owner, const ItemContext& context) override;
    /// The construction list's columns ("PanelItemsTitle").
    std::string ColumnText(int columnId, const ListColumns& columns) const override;
    /// The construction's record of the text and XML exchange files, and the text offered
    /// when it is dragged out of its list (built from its XML form).
    bool WriteText(TextDocument& stream, const std::string& groupPath) override;
    void ReadText(TextTokenReader& reader, int recordVersion) override;
    void WriteXml(XmlWriter& writer, const std::string& groupPath) override;
    bool ReadXml(XmlReader& parser, std::string& groupPath) override;
    std::string DragText() override;

    /// The construction's report in a clipboard stream, calculated first: its properties as
    /// text and rich text, the layer and result tables, the moisture messages, and a
    /// spreadsheet row per layer (with the titles when the sheet is empty).
    void writeReport(ClipboardDocument& stream, const PanelSettings& settings);
    /// The rich text of the construction's printed sheet, calculated first: its properties as
    /// the copy writes them. The layer table is printed from the layers' list columns.
    std::string printedSheet(const TextLookup& languages, const PanelSettings& settings);
    /// The moisture messages of a calculated layered construction as a printed paragraph;
    /// empty for a known one or one without layers.
    std::string printedMessages(const TextLookup& languages, const PanelSettings& settings) const;

    /// Recalculates a layered construction: the thermal values, then the vapour diffusion,
    /// condensation and moisture balance. A known construction keeps its typed values.
    void Calculate(const PanelSettings& settings);

    /// The message numbers ("IDS_PANELMESSAGES+" n) of the last calculation, in order.
    std::vector<int> Messages(const PanelSettings& settings) const;
    /// The message text of the last calculation with the texts of the current language;
    /// `separator` goes between the parts (a line break, or a paragraph mark in a report).
    std::string MessageText(const PanelSettings& settings, const std::string& separator) const;

    /// Language key of the floor class of a floor heat absorption b (kJ/(m²·K·s^½)).
    static const char* floorClassKey(double b);

private:
    void writeLayerTables(ClipboardDocument& stream);
    /// The name and property paragraphs, as text (when asked) and rich text.
    void writeProperties(TextDocument* text, TextDocument& rtf,
                         const PanelSettings& settings) const;
    void readChunked(MemoryStream& stream, std::int16_t version);
    void readOldLayout(MemoryStream& stream, std::int16_t version);
};

/// Flag bits: byte index and bit mask, named by the finding.
namespace panelflag {
struct Bit {
    int byte;
    std::uint8_t mask;
};
inline constexpr Bit NoIsotherm{0, 0x01};
inline constexpr Bit MustDry{0, 0x02};
inline constexpr Bit Condensation{0, 0x04};
inline constexpr Bit TooWet{0, 0x08};
inline constexpr Bit SurfaceCondensation{0, 0x10};
inline constexpr Bit Dries{0, 0x20};
inline constexpr Bit NoDryingCheck{0, 0x40};
inline constexpr Bit NoDiffusionDays{0, 0x80};
inline constexpr Bit HighHumidity{1, 0x01};
inline constexpr Bit WithinPermitted{1, 0x02};
inline constexpr Bit InZone{1, 0x04};
inline constexpr Bit BehindVentilation{1, 0x08};
inline constexpr Bit LongerThanFilling{1, 0x10};
inline constexpr Bit NotLongerThanFilling{1, 0x20};
inline constexpr Bit NoMass{1, 0x40};
inline constexpr Bit NoHeatMass{1, 0x80};
inline constexpr Bit NoDynamics{2, 0x01};
inline constexpr Bit FloorIncomplete{2, 0x02};
inline constexpr Bit BothAlphasMissing{2, 0x08};
inline constexpr Bit OutsideAlphaMissing{2, 0x10};
inline constexpr Bit InsideAlphaMissing{2, 0x20};
inline constexpr Bit NoResistance{2, 0x40};
inline constexpr Bit NoVapourResistance{2, 0x80};
inline constexpr Bit EqualTemperatures{3, 0x01};
inline constexpr Bit VentilatedNotHeating{3, 0x02};
inline constexpr Bit ConstructionFailed{3, 0x04};
inline constexpr Bit SurfaceDifferenceExceeded{3, 0x08};
inline constexpr Bit NoLayersOrHumidity{3, 0x10};

inline void set(std::uint8_t* flags, Bit bit) {
    flags[bit.byte] |= bit.mask;
}
inline bool has(const std::uint8_t* flags, Bit bit) {
    return (flags[bit.byte] & bit.mask) != 0;
}
} // namespace panelflag

} // namespace kalydor
