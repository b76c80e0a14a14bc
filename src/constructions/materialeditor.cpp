#include "constructions/materialeditor.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "base/textlookup.h"
#include "constructions/constructioncontext.h"

namespace kalydor {
namespace {

float parseField(const std::string& text) {
    return static_cast<float>(ParseNumber(text, NumberRule::NotNegative));
}

// A typed field of an editor by its rule; raises "IDS_WRONGVALUE" for a value it refuses.
float parseField(const std::string& text, MaterialField field, bool layerMode) {
    const float value = parseField(text);
    if (!materialFieldRule(field, layerMode).allows(value))
        throw Error("IDS_WRONGVALUE");
    return value;
}

std::string titleOf(const Material& material, const Layer* layer, const std::string& groupPath) {
    if (layer || groupPath.empty())
        return material.Name;
    return groupPath + " - " + material.Name;
}

// The fields of the editor in their order, bound to the material and layer values.
std::array<float*, kMaterialFieldCount> fieldValues(Material& m, Layer* layer,
                                                    float& spareFilling) {
    return {&m.Thickness,       &m.Density,
            &m.HeatCapacity,    &m.ThermalCond,
            &m.ThermalRes,      &m.SteamDiffCond,
            &m.SteamDiffRes,    &m.SteamDiffResNum,
            &m.InitialHumidity, layer ? &layer->InitialHumidity2 : &spareFilling,
            &m.PermitHumidity};
}

} // namespace

std::string editorText(float value) {
    return displayNumber(value, 7);
}

FieldRule materialFieldRule(MaterialField field, bool layerMode) {
    return FieldRule::of(field == MaterialField::Thickness && layerMode ? NumberRule::Positive
                                                                        : NumberRule::NotNegative);
}

MaterialEditor::MaterialEditor(Material& material, Layer* layer, std::string groupPath)
    : m_material(material)
    , m_layer(layer)
    , m_groupPath(std::move(groupPath)) {}

std::string MaterialEditor::title() const {
    return titleOf(m_material, m_layer, m_groupPath);
}

bool MaterialEditor::isShown(MaterialField field) const {
    switch (field) {
    case MaterialField::Density:
        return (m_material.Flags & Material::kNoDensity) == 0;
    case MaterialField::InitialHumidity:
    case MaterialField::PermitHumidity:
        return isNormal();
    case MaterialField::InitialHumidity2:
        return isNormal() && layerMode();
    default:
        return true;
    }
}

bool MaterialEditor::isReadOnly(MaterialField field) const {
    if ((m_material.Flags & Material::kLockedValues) == 0)
        return false;
    switch (field) {
    case MaterialField::Thickness:
    case MaterialField::InitialHumidity:
    case MaterialField::InitialHumidity2:
        return false;
    default:
        return true;
    }
}

bool MaterialEditor::isothermReadOnly() const {
    return (m_material.Flags & Material::kLockedValues) != 0;
}

std::array<std::string, kMaterialFieldCount> MaterialEditor::texts() const {
    float spare = 0;
    const auto values = fieldValues(m_material, m_layer, spare);
    std::array<std::string, kMaterialFieldCount> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = editorText(*values[i]);
    return texts;
}

std::array<std::string, Material::kIsothermPoints> MaterialEditor::isothermTexts() const {
    std::array<std::string, Material::kIsothermPoints> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = editorText(m_material.Sorption[i]);
    return texts;
}

float MaterialEditor::parseCell(const std::string& text) {
    return parseField(text);
}

std::optional<EditorProblem>
MaterialEditor::apply(const std::array<std::string, kMaterialFieldCount>& texts,
                      const std::array<std::string, Material::kIsothermPoints>& isotherm) {
    Material candidate = m_material;
    float filling = m_layer ? m_layer->InitialHumidity2 : 0;
    float spare = 0;
    const auto values = fieldValues(candidate, nullptr, spare);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto field = static_cast<MaterialField>(i);
        if (!isShown(field) || isReadOnly(field))
            continue;
        try {
            const float value = parseField(texts[i], field, layerMode());
            if (field == MaterialField::InitialHumidity2)
                filling = value;
            else
                *values[i] = value;
        } catch (const Error& error) {
            return EditorProblem{error.text(), field};
        }
    }
    if (isNormal() && !isothermReadOnly()) {
        for (std::size_t i = 0; i < isotherm.size(); ++i) {
            try {
                candidate.Sorption[i] = parseField(isotherm[i]);
            } catch (const Error& error) {
                return EditorProblem{error.text(), std::nullopt, static_cast<int>(i)};
            }
        }
    }
    switch (const int code = candidate.Validate()) {
    case 0:
        break;
    case 1:
        return EditorProblem{GetText("IDS_TWOTHERMALERROR"), MaterialField::ThermalCond};
    case 2:
        return EditorProblem{GetText("IDS_TWOSTEAMDIFFERROR"), MaterialField::SteamDiffCond};
    default:
        return EditorProblem{GetText("IDS_CANNOTLESS"), std::nullopt, code - 4};
    }
    m_material = candidate;
    if (m_layer)
        m_layer->InitialHumidity2 = filling;
    return std::nullopt;
}

AirMaterialEditor::AirMaterialEditor(Material& material, Layer* layer, std::string groupPath)
    : m_material(material)
    , m_layer(layer)
    , m_groupPath(std::move(groupPath)) {}

std::string AirMaterialEditor::title() const {
    return titleOf(m_material, m_layer, m_groupPath);
}

AirMaterialEditor::Fields AirMaterialEditor::fields() const {
    Fields f;
    f.thickness = editorText(m_material.Thickness);
    f.ventilated = m_material.Ventilled;
    f.steamRes = m_layer ? editorText(m_layer->SteamRes) : std::string("0");
    f.resistance = editorText(m_material.ThermalRes);
    for (std::size_t i = 0; i < f.diagram.size(); ++i) {
        const AirLayerPoint& point = m_material.Diagram[i];
        f.diagram[i] = {editorText(point.thickness), editorText(point.resistance)};
    }
    return f;
}

std::optional<EditorProblem> AirMaterialEditor::apply(Fields& f) {
    Material candidate = m_material;
    float steamRes = m_layer ? m_layer->SteamRes : 0;
    try {
        candidate.Thickness = parseField(f.thickness, MaterialField::Thickness, layerMode());
    } catch (const Error& error) {
        return EditorProblem{error.text(), MaterialField::Thickness};
    }
    candidate.Ventilled = f.ventilated;
    if (m_layer) {
        try {
            steamRes = parseField(f.steamRes);
        } catch (const Error& error) {
            return EditorProblem{error.text(), MaterialField::SteamRes};
        }
    }
    try {
        candidate.ThermalRes = parseField(f.resistance);
    } catch (const Error& error) {
        return EditorProblem{error.text(), MaterialField::ThermalRes};
    }
    for (std::size_t i = 0; i < f.diagram.size(); ++i) {
        try {
            candidate.Diagram[i] = {parseField(f.diagram[i].first),
                                    parseField(f.diagram[i].second)};
        } catch (const Error& error) {
            return EditorProblem{error.text(), std::nullopt, static_cast<int>(i)};
        }
    }
    const int code = candidate.Validate();
    // The diagram is shown sorted whatever the outcome.
    for (std::size_t i = 0; i < f.diagram.size(); ++i) {
        const AirLayerPoint& point = candidate.Diagram[i];
        f.diagram[i] = {editorText(point.thickness), editorText(point.resistance)};
    }
    if (code != 0)
        return EditorProblem{GetText("IDS_CANNOTLESSTHERMO"), std::nullopt, code - 1};
    // A resistance kept from another thickness would give a wrong U: with a diagram the
    // resistance always follows the thickness.
    if (candidate.hasDiagram())
        candidate.ResistanceFromDiagram();
    f.resistance = editorText(candidate.ThermalRes);
    m_material = candidate;
    if (m_layer)
        m_layer->SteamRes = steamRes;
    return std::nullopt;
}

bool editMaterial(Material& material, Layer* layer, const std::string& groupPath,
                  platform::Window* owner, const ItemContext& context) {
    MaterialDialogs* dialogs = constructionContextOf(context).materialDialogs;
    if (!dialogs)
        return false;
    if (material.isKind(MaterialKind::Undefined)) {
        const std::optional<MaterialKind> kind = dialogs->chooseKind(owner);
        if (!kind)
            return false;
        material.Kind = static_cast<std::uint8_t>(*kind);
    }
    bool confirmed = false;
    if (material.hasMaterialData()) {
        MaterialEditor editor(material, layer, groupPath);
        confirmed = dialogs->editMaterial(editor, owner);
    } else if (material.isKind(MaterialKind::Air)) {
        AirMaterialEditor editor(material, layer, groupPath);
        confirmed = dialogs->editAirMaterial(editor, owner);
    }
    material.Untouched = 0;
    return confirmed;
}

} // namespace kalydor
