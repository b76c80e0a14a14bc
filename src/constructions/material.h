#pragma once

#include "store/dbitem.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class TextDocument;
class TextLookup;

/// The kind of a material, chosen once when it is created.
enum class MaterialKind : std::uint8_t {
    Normal = 0,    ///< full thermal, vapour and moisture data, sorption isotherm
    Thick = 1,     ///< coatings, sheets, paints, foils: no moisture data
    Air = 2,       ///< air layer: resistance by thickness, ventilated flag
    Undefined = 16 ///< a new material whose kind has not been chosen yet
};

/// The name of a kind code as used in lists and XML ("Normal", "Thick", "Air", "Undefined");
/// codes 3 to 15 have the empty name, other codes none at all.
std::string materialKindName(int code);

/// One point of an air layer's resistance-by-thickness diagram; a thickness of 0 or less
/// marks an empty point.
struct AirLayerPoint {
    float thickness = 0;  ///< cm
    float resistance = 0; ///< m²K/W
};

/// A building material with its thermal and vapour properties. Stored materials live in the
/// material table; every layer of a construction carries a full copy of one. A value of 0
/// means "not given" for every numeric field.
class Material : public DBItem {
public:
    static constexpr std::int16_t kRecordVersion = 54;
    static constexpr std::size_t kIsothermPoints = 10;
    static constexpr std::size_t kDiagramPoints = 8;

    /// Flags bit 0: the catalogue values are locked in the editor.
    static constexpr std::uint16_t kLockedValues = 0x0001;
    /// Flags bit 1: density does not apply (hidden, printed as "-").
    static constexpr std::uint16_t kNoDensity = 0x0002;

    std::uint8_t Kind = static_cast<std::uint8_t>(MaterialKind::Undefined);
    std::uint16_t Flags = 0;
    float Thickness = 0;       ///< cm
    float Density = 0;         ///< kg/m³
    float ThermalCond = 0;     ///< λ, W/mK
    float ThermalRes = 0;      ///< R, m²K/W (for an air layer: at its thickness)
    float HeatCapacity = 0;    ///< c, kJ/kgK
    float SteamDiffCond = 0;   ///< δ, g/(m·s·MPa)
    float SteamDiffRes = 0;    ///< Rv, m²·s·MPa/g
    float SteamDiffResNum = 0; ///< μ
    float InitialHumidity = 0; ///< ωk, mass %
    float PermitHumidity = 0;  ///< ωm, mass %
    /// Equilibrium moisture (mass %) at 10, 20 … 100 % relative humidity; 0 is no point.
    std::array<float, kIsothermPoints> Sorption{};
    std::array<AirLayerPoint, kDiagramPoints> Diagram{};
    bool Ventilled = false;

    MaterialKind kind() const { return static_cast<MaterialKind>(Kind); }
    bool isKind(MaterialKind k) const { return Kind == static_cast<std::uint8_t>(k); }
    /// Normal and Thick materials carry thermal and vapour data.
    bool hasMaterialData() const { return Kind <= 1; }

    bool ReadRecord(MemoryStream& stream, std::int16_t version) override;
    bool WriteRecord(MemoryStream& stream, VersionWord versionWord) override;
    bool CopyTo(ClipboardDocument& stream, const ItemContext& context, ClipboardCopy what) override;
    /// The material list's columns ("MaterialItemsTitle"): 0 name, 1 thickness, 2 λ, 3 R,
    /// 4 δ, 5 Rv, 6 c, 7 density ("-" when it does not apply), 8 ωk, 9 ωm, 10 μ.
    std::string ColumnText(int columnId, const ListColumns& columns) const override;
    /// The material's record of the text and XML exchange files.
    bool WriteText(TextDocument& stream, const std::string& groupPath) override;
    void ReadText(TextTokenReader& reader, int recordVersion) override;
    void WriteXml(XmlWriter& writer, const std::string& groupPath) override;
    bool ReadXml(XmlReader& parser, std::string& groupPath) override;
    /// Asks for the kind of a new material, then opens the editor of its kind.
    bool Edit(platform::Window* owner, const ItemContext& context) override;
    /// The material's report in a clipboard stream: the fields as text and rich text, the
    /// isotherm or diagram as a small table, and a spreadsheet row (with the table's title
    /// row when the sheet is empty).
    void writeReport(ClipboardDocument& stream) const;
    /// The rich text of the material's printed sheet: the name and properties as its copy has
    /// them, then the isotherm (a "Normal" material with a positive 100 % point) or the air
    /// layer's diagram as lines of values on right tab stops.
    std::string printedSheet(const TextLookup& languages, char decimalSeparator) const;
    /// Whether the printed sheet shows a chart: the isotherm or the diagram it lists.
    bool hasPrintedChart() const;

    /// The first failing check, 0 when the material is valid: 1 both λ and R given; 2 more
    /// than one of δ, Rv, μ given; 4–12 an isotherm point below an earlier one (point index
    /// + 4); 13 isotherm points without the 100 % point; for air layers 2–8 the first
    /// diagram point (1-based) not beyond its predecessor. Sorts the diagram in place.
    int Validate();

    /// Sorts the diagram by thickness in place, empty points last; equal thicknesses keep
    /// their order.
    void SortDiagram();
    /// The air layer's resistance at its thickness from the diagram, stored in ThermalRes.
    void ResistanceFromDiagram();
    /// Whether the diagram has at least one point.
    bool hasDiagram() const;
    /// Equilibrium moisture content (mass %) at a relative humidity in percent, from the
    /// sorption isotherm; 0 when the material has none.
    double EquilibriumMoisture(double relativeHumidity) const;

protected:
    /// The name and the property paragraphs, as text (when asked) and rich text.
    void writeProperties(TextDocument* text, TextDocument& rtf) const;
    void writeCells(ClipboardDocument& stream, const std::vector<double>& xs,
                    const std::vector<double>& ys) const;
    /// The material fields in the layout of a record version (no version word).
    void readMaterial(MemoryStream& stream, std::int16_t version);
    void writeMaterial(MemoryStream& stream) const;

    /// The open field element while an XML element is read: its tag and its index attribute
    /// ("RelHumidity" or "x").
    struct XmlField {
        std::string tag;
        std::string index;
    };
    /// Exchange values on one line: kind, flags and the kind's values, each followed by a tab.
    void writeMaterialText(TextDocument& stream) const;
    /// Reads them; a text version below 1 has no flags value.
    void readMaterialText(TextTokenReader& reader, int textVersion);
    /// The field elements of the XML form, each on a new line after `indent`.
    void writeMaterialXml(XmlWriter& writer, std::string_view indent) const;
    /// Takes one part of an element being read: a start tag opens a field, content sets the
    /// open field, "AirLayer" (start or empty-element tag) sets the ventilated flag.
    void readMaterialXmlPart(const XmlReader& parser, XmlField& field);
};

/// The kind code of a kind name: the first of codes 0 to 15 whose name equals it, else 16.
int materialKindOfName(std::string_view name);

} // namespace kalydor
