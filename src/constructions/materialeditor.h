#pragma once

#include "base/numberfield.h"
#include "constructions/layer.h"
#include "constructions/material.h"

#include <array>
#include <optional>
#include <string>

namespace kalydor {

namespace platform {
class Window;
}

/// The number fields of the material editor, in the order they are taken on confirm.
enum class MaterialField {
    Thickness,
    Density,
    HeatCapacity,
    ThermalCond,
    ThermalRes,
    SteamDiffCond,
    SteamDiffRes,
    SteamDiffResNum,
    InitialHumidity,
    InitialHumidity2, ///< the layer's filling moisture; only when editing a layer
    PermitHumidity,
    /// The air-layer editor's vapour-pressure offset of a ventilated layer (layer mode).
    SteamRes,
};
/// The fields of the material editor proper (all but SteamRes).
inline constexpr std::size_t kMaterialFieldCount = 11;

/// What an editor could not accept: the message and where the user is to look.
struct EditorProblem {
    std::string message;
    std::optional<MaterialField> field; ///< the field to focus
    int row = -1;                       ///< the grid row to select (isotherm point, diagram pair)
};

/// A value as an editor shows it: up to 7 significant digits with the language's decimal
/// separator, "0" for nothing given.
std::string editorText(float value);

/// What a typed field of the material editors allows: every value at least 0, and the
/// thickness of a layer greater than 0 (a layer without thickness has no place in a
/// construction).
FieldRule materialFieldRule(MaterialField field, bool layerMode);

/// The logic of the material editor for "Normal" and "Thick" materials: what it shows, which
/// fields can be changed, and taking the typed values back (every number at least 0), then
/// checking the material. Works on a stored material or, in layer mode, on a layer's copy.
class MaterialEditor {
public:
    /// `layer` is the layer being edited (layer mode) or null; `groupPath` is the path of the
    /// stored material's group.
    MaterialEditor(Material& material, Layer* layer, std::string groupPath = {});

    /// The dialog title: the group path, " - " and the name; a layer's bare name.
    std::string title() const;
    bool layerMode() const { return m_layer != nullptr; }
    bool isNormal() const { return m_material.isKind(MaterialKind::Normal); }

    /// Whether a field is shown (density not for materials without one; the moisture fields
    /// only for "Normal"; the filling moisture only in layer mode).
    bool isShown(MaterialField field) const;
    /// Whether a field is locked: the catalogue values of a material flagged so.
    bool isReadOnly(MaterialField field) const;
    /// Whether the sorption isotherm is locked.
    bool isothermReadOnly() const;

    std::array<std::string, kMaterialFieldCount> texts() const;
    std::array<std::string, Material::kIsothermPoints> isothermTexts() const;

    /// Reads one isotherm cell as it is typed; raises "IDS_WRONGVALUE" for a bad number.
    static float parseCell(const std::string& text);

    /// Takes the typed values in field order and checks the material. On a problem nothing
    /// is changed and the problem is returned; otherwise the material (and the layer) take
    /// the values.
    std::optional<EditorProblem>
    apply(const std::array<std::string, kMaterialFieldCount>& texts,
          const std::array<std::string, Material::kIsothermPoints>& isotherm);

private:
    Material& m_material;
    Layer* m_layer;
    std::string m_groupPath;
};

/// The logic of the air-layer editor: thickness, ventilated flag, in layer mode the
/// vapour-pressure offset (Pa), and the resistance-by-thickness diagram.
class AirMaterialEditor {
public:
    AirMaterialEditor(Material& material, Layer* layer, std::string groupPath = {});

    std::string title() const;
    bool layerMode() const { return m_layer != nullptr; }

    struct Fields {
        std::string thickness;
        bool ventilated = false;
        std::string steamRes; ///< Pa, layer mode only
        /// Resistance at the thickness; used only while the diagram has no point.
        std::string resistance;
        std::array<std::pair<std::string, std::string>, Material::kDiagramPoints> diagram;
    };
    Fields fields() const;

    /// Takes the values, sorts and checks the diagram, then sets the resistance from the
    /// diagram (or keeps the typed one when the diagram is empty). On a problem the sorted
    /// diagram is returned in `fields` for showing and nothing else changes.
    std::optional<EditorProblem> apply(Fields& fields);

private:
    Material& m_material;
    Layer* m_layer;
    std::string m_groupPath;
};

/// The dialogs of the material editors. The desktop installs its implementation; without
/// one, editing a material opens nothing and changes nothing.
class MaterialDialogs {
public:
    virtual ~MaterialDialogs() = default;
    /// Asks for the kind of a new material; none when cancelled.
    virtual std::optional<MaterialKind> chooseKind(platform::Window* owner) = 0;
    /// Runs the material editor until it is confirmed (true) or cancelled (false).
    virtual bool editMaterial(MaterialEditor& editor, platform::Window* owner) = 0;
    virtual bool editAirMaterial(AirMaterialEditor& editor, platform::Window* owner) = 0;
};

/// Edits a material (or, with `layer`, a layer's material in layer mode): asks for the kind of
/// a new material first, then opens the editor of its kind. Clears the item's untouched flag
/// afterwards. True when the user confirmed; false without material dialogs in `context`.
bool editMaterial(Material& material, Layer* layer, const std::string& groupPath,
                  platform::Window* owner, const ItemContext& context);

} // namespace kalydor
