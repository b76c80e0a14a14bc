#include "constructions/paneleditor.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "base/textlookup.h"
#include "constructions/constructioncontext.h"
#include "constructions/materialeditor.h"
#include "constructions/panelmoisture.h"
#include "platform/prompter.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

namespace kalydor {
namespace {

using namespace panelflag;

// The sign rule a typed value of a field must satisfy.
NumberRule ruleOf(PanelField field) {
    switch (field) {
    case PanelField::OutSideRelHum:
    case PanelField::InSideRelHum:
    case PanelField::ThermicMassivitate:
    case PanelField::ms:
    case PanelField::ns:
    case PanelField::Rbc:
        return NumberRule::Positive;
    case PanelField::GroundWaterHeight:
        return NumberRule::NotPositive;
    case PanelField::OutSideTemp:
    case PanelField::InSideTemp:
    case PanelField::FloorLevel:
    case PanelField::ThermicMassivitateGived:
    case PanelField::FundationWidth:
    case PanelField::SurfaceTemperatureDifference:
    case PanelField::EarthLambda:
        return NumberRule::Any;
    default:
        return NumberRule::NotNegative;
    }
}

// The value of a construction a typed field stands for; `P` is Panel or const Panel.
template <class P> auto fieldOf(P& p, PanelField field) -> decltype(&p.x) {
    switch (field) {
    case PanelField::x:
        return &p.x;
    case PanelField::y:
        return &p.y;
    case PanelField::OutSideTemp:
        return &p.OutSideTemp;
    case PanelField::InSideTemp:
        return &p.InSideTemp;
    case PanelField::OutSideAlpha:
        return &p.OutSideAlpha;
    case PanelField::InSideAlpha:
        return &p.InSideAlpha;
    case PanelField::OutSideRelHum:
        return &p.OutSideRelHum;
    case PanelField::InSideRelHum:
        return &p.InSideRelHum;
    case PanelField::RGived:
        return &p.RGived;
    case PanelField::DiffusionDays:
        return &p.DiffusionDays;
    case PanelField::ThermicMassivitateGived:
        return &p.ThermicMassivitateGived;
    case PanelField::SurfaceTemperatureDifference:
        return &p.SurfaceTemperatureDifference;
    case PanelField::FloorLevel:
        return &p.FloorLevel;
    case PanelField::GroundWaterHeight:
        return &p.GroundWaterHeight;
    case PanelField::FundationWidth:
        return &p.FundationWidth;
    case PanelField::EarthLambda:
        return &p.EarthLambda;
    case PanelField::R:
        return &p.R;
    case PanelField::InfiltrationFactor:
        return &p.InfiltrationFactor;
    case PanelField::InfiltrationLength:
        return &p.InfiltrationLength;
    case PanelField::DampFactor:
        return &p.DampFactor;
    case PanelField::Delay:
        return &p.Delay;
    case PanelField::Mass:
        return &p.Mass;
    case PanelField::HeatMass:
        return &p.HeatMass;
    case PanelField::GlassRatio:
        return &p.GlassRatio;
    case PanelField::ThermicMassivitate:
        return &p.ThermicMassivitate;
    case PanelField::ms:
        return &p.ms;
    case PanelField::ns:
        return &p.ns;
    case PanelField::Rbc:
        return &p.Rbc;
    }
    return nullptr;
}

bool isFloorField(PanelField field) {
    return field == PanelField::FloorLevel || field == PanelField::GroundWaterHeight ||
           field == PanelField::FundationWidth || field == PanelField::EarthLambda;
}

std::vector<PanelTypeChoice> typeChoices(const std::vector<int>& codes, int current) {
    std::vector<PanelTypeChoice> choices;
    for (const int code : codes)
        choices.push_back({code, GetText("IDS_PANELTYPES+" + std::to_string(code))});
    // A type the editor does not offer (an imported "WallInEarth") stays choosable, so
    // that opening the construction does not lose it.
    const bool offered = std::find(codes.begin(), codes.end(), current) != codes.end();
    if (!offered && current >= 0 && current < Panel::kUndefinedType) {
        choices.push_back({current, GetText("IDS_PANELTYPES+" + std::to_string(current))});
        std::sort(
            choices.begin(), choices.end(),
            [](const PanelTypeChoice& a, const PanelTypeChoice& b) { return a.code < b.code; });
    }
    return choices;
}

int indexOfType(const std::vector<PanelTypeChoice>& choices, int code) {
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (choices[i].code == code)
            return static_cast<int>(i);
    return -1;
}

std::vector<int> codes(std::initializer_list<std::pair<int, int>> ranges) {
    std::vector<int> all;
    for (const auto& [from, to] : ranges)
        for (int code = from; code <= to; ++code)
            all.push_back(code);
    return all;
}

PanelEditorProblem wrongValue(PanelField field) {
    return {Error("IDS_WRONGVALUE").text(), field};
}

// A result as the editor shows it: a few significant digits, enough for the engineer.
std::string shown(double value, int digits = 4) {
    return displayNumber(value, digits);
}

} // namespace

FieldRule panelFieldRule(PanelField field) {
    const FieldRule rule = FieldRule::of(ruleOf(field));
    switch (field) {
    case PanelField::OutSideRelHum:
    case PanelField::InSideRelHum:
        return rule.below(100);
    case PanelField::GlassRatio:
        return rule.atMost(100);
    default:
        return rule;
    }
}

bool takeDefaultAlphas(const PanelEditorOptions& options) {
    if (!options.changeAlphas)
        return false;
    if (!options.askBeforeChange)
        return true;
    return platform::prompter().askYesNo(GetText("IDS_OVERWRITEALPHA"),
                                         platform::DefaultButton::Yes);
}

// ---------------------------------------------------------------------------------------------
// Layered constructions

LayeredPanelEditor::LayeredPanelEditor(Panel& panel, PanelEditorOptions options)
    : m_panel(panel)
    , m_work(panel)
    , m_options(std::move(options)) {
    m_work.Layered = 0;
    recalculate();
}

std::vector<PanelTypeChoice> LayeredPanelEditor::types() const {
    return typeChoices(codes({{0, 8}}), m_work.Type);
}

int LayeredPanelEditor::typeIndex() const {
    return indexOfType(types(), m_work.Type);
}

void LayeredPanelEditor::setType(int code) {
    if (code == m_work.Type)
        return;
    m_work.Type = static_cast<std::uint8_t>(code);
    m_changed = true;
    if (takeDefaultAlphas(m_options))
        Panel::defaultAlphas(code, m_work.OutSideAlpha, m_work.InSideAlpha);
    recalculate();
}

const std::vector<PanelField>& LayeredPanelEditor::fields() {
    static const std::vector<PanelField> all{
        PanelField::x,
        PanelField::y,
        PanelField::OutSideTemp,
        PanelField::InSideTemp,
        PanelField::OutSideRelHum,
        PanelField::InSideRelHum,
        PanelField::OutSideAlpha,
        PanelField::InSideAlpha,
        PanelField::DiffusionDays,
        PanelField::RGived,
        PanelField::ThermicMassivitateGived,
        PanelField::SurfaceTemperatureDifference,
        PanelField::FloorLevel,
        PanelField::GroundWaterHeight,
        PanelField::FundationWidth,
        PanelField::EarthLambda,
    };
    return all;
}

bool LayeredPanelEditor::isEnabled(PanelField field) const {
    return !isFloorField(field) || m_work.Type == 2;
}

std::string LayeredPanelEditor::text(PanelField field) const {
    return editorText(*fieldOf(m_work, field));
}

double LayeredPanelEditor::value(PanelField field) const {
    const float* source = fieldOf(m_work, field);
    return source ? *source : 0.0;
}

void LayeredPanelEditor::setValue(PanelField field, double value) {
    float* target = fieldOf(m_work, field);
    if (!target || !panelFieldRule(field).allows(value))
        return;
    if (*target != static_cast<float>(value)) {
        *target = static_cast<float>(value);
        m_changed = true;
        recalculate();
    }
}

std::optional<PanelEditorProblem> LayeredPanelEditor::setField(PanelField field,
                                                               const std::string& text) {
    if (!fieldOf(m_work, field))
        return std::nullopt;
    double parsed = 0;
    try {
        parsed = ParseNumber(text, ruleOf(field));
    } catch (const Error& error) {
        return PanelEditorProblem{error.text(), field};
    }
    if (!panelFieldRule(field).allows(parsed))
        return wrongValue(field);
    setValue(field, parsed);
    return std::nullopt;
}

void LayeredPanelEditor::recalculate() {
    m_work.Calculate(m_options.settings);
}

LayeredPanelEditor::Results LayeredPanelEditor::results() const {
    const Panel& p = m_work;
    const std::uint8_t* f = p.results.flags;
    Results shownResults;
    shownResults.totalResistance = shown(p.TotalResistance);
    shownResults.U =
        withDecimalSeparator(fmt::format("{:.2f}", p.results.U), displayDecimalSeparator());
    // The needed resistance exists only where the surface temperature is checked.
    shownResults.neededResistance = p.NeededResistance > 0 ? shown(p.NeededResistance) : "–";
    shownResults.neededResistanceRed = has(f, SurfaceDifferenceExceeded);
    const std::string surfaceWhy =
        shownResults.neededResistanceRed ? GetText("IDS_SURFACEDIFFERENCEHINT") : std::string();
    shownResults.neededResistanceWhy = surfaceWhy;
    if (Panel::isOpaque(p.Type)) {
        shownResults.dampFactor = shown(p.DampFactor);
        shownResults.delay = shown(p.Delay);
    }
    shownResults.dynamicsRed = has(f, NoDynamics);
    if (shownResults.dynamicsRed)
        shownResults.dynamicsWhy = GetText("IDS_PANELMESSAGES+4");
    shownResults.mass = shown(p.Mass);
    shownResults.heatMass = shown(p.HeatMass);
    if (Panel::isInternal(p.Type))
        shownResults.heatMass += " / " + shown(p.HeatMass2);
    shownResults.heatMassRed = has(f, NoHeatMass);
    if (shownResults.heatMassRed)
        shownResults.heatMassWhy = GetText("IDS_NOHEATMASSHINT");
    shownResults.showFloorHeatAbsorb = Panel::isFloorLike(p.Type);
    if (shownResults.showFloorHeatAbsorb) {
        shownResults.floorHeatAbsorb = shown(p.FloorHeatAbsorb, 3);
        shownResults.floorClass = GetText(Panel::floorClassKey(p.FloorHeatAbsorb));
    }
    shownResults.floorHeatAbsorbRed = has(f, FloorIncomplete);
    if (shownResults.floorHeatAbsorbRed)
        shownResults.floorHeatAbsorbWhy = GetText("IDS_FLOORINCOMPLETEHINT");
    shownResults.surfaceTemperatureCaption =
        GetText("IDS_SURFACETEMPERATURE") +
        displayNumber(m_options.settings.outsideDesignTemperature, 4) +
        GetText("IDS_SURFACETEMPERATURE+1");
    shownResults.showSurfaceTemperature =
        Panel::isOpaque(p.Type) && !Panel::isInternal(p.Type) && p.OutSideTemp < p.InSideTemp;
    if (shownResults.showSurfaceTemperature) {
        shownResults.surfaceTemperature = shown(p.results.surfaceTemperature, 3);
        shownResults.surfaceTemperatureRed = has(f, SurfaceDifferenceExceeded);
        shownResults.surfaceTemperatureWhy = surfaceWhy;
    }
    if (p.TotalResistance > 0)
        shownResults.heatFlux =
            shown(std::fabs(p.InSideTemp - p.OutSideTemp) / p.TotalResistance, 3);
    if (p.results.sumRv > 0) {
        const double pe = saturationPressure(p.OutSideTemp) * p.OutSideRelHum / 100;
        const double pi = saturationPressure(p.InSideTemp) * p.InSideRelHum / 100;
        shownResults.vapourFlux = shown(std::fabs(pi - pe) / p.results.sumRv, 3);
    }
    shownResults.computedMassivitate = shown(p.ComputedMassivitate, 3);
    shownResults.status = p.MessageText(m_options.settings, " ");
    return shownResults;
}

int LayeredPanelEditor::addMaterial(const Material& material, int selected,
                                    const std::function<bool(Layer&)>& askThickness) {
    if (material.isKind(MaterialKind::Undefined)) {
        platform::showLanguageMessage("IDS_UNDEFINEDMATER");
        return -1;
    }
    Layer layer(material);
    if (!askThickness || !askThickness(layer))
        return -1;
    const int at = selected >= 0 && selected < layerCount() ? selected + 1 : layerCount();
    m_work.Layers.insert(m_work.Layers.begin() + at, std::move(layer));
    m_changed = true;
    recalculate();
    return at;
}

bool LayeredPanelEditor::deleteLayer(int index) {
    if (index < 0 || index >= layerCount())
        return false;
    const std::string question = formatText(GetText("IDS_WANTLAYERDELETE"),
                                            {m_work.Layers[static_cast<std::size_t>(index)].Name});
    if (!platform::prompter().askYesNo(question, platform::DefaultButton::No))
        return false;
    m_work.Layers.erase(m_work.Layers.begin() + index);
    m_changed = true;
    recalculate();
    return true;
}

int LayeredPanelEditor::moveLayer(int index, bool up) {
    const int other = up ? index - 1 : index + 1;
    if (index < 0 || index >= layerCount() || other < 0 || other >= layerCount())
        return index;
    std::swap(m_work.Layers[static_cast<std::size_t>(index)],
              m_work.Layers[static_cast<std::size_t>(other)]);
    m_changed = true;
    recalculate();
    return other;
}

std::string LayeredPanelEditor::renameLayer(int index, const std::string& name) {
    if (index < 0 || index >= layerCount())
        return {};
    Layer& layer = m_work.Layers[static_cast<std::size_t>(index)];
    std::string trimmed = name;
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t'))
        trimmed.pop_back();
    if (!trimmed.empty() && trimmed != layer.Name) {
        layer.Name = trimmed;
        m_changed = true;
    }
    return layer.Name;
}

bool LayeredPanelEditor::modifyLayer(int index, platform::Window* owner) {
    if (index < 0 || index >= layerCount())
        return false;
    const bool confirmed = m_options.context && m_work.Layers[static_cast<std::size_t>(index)].Edit(
                                                    owner, *m_options.context);
    m_changed = m_changed || confirmed;
    recalculate();
    return confirmed;
}

void LayeredPanelEditor::setOrdering(int ordering) {
    const auto value = static_cast<std::int16_t>(ordering != 0 ? 1 : 0);
    if (value == m_work.Ordering)
        return;
    m_work.Ordering = value;
    m_changed = true;
    recalculate();
}

std::optional<PanelEditorProblem> LayeredPanelEditor::confirm() {
    if (!Panel::isOpaque(m_work.Type) && m_work.Type != 9)
        return PanelEditorProblem{GetText("IDS_NOPANELTYPEERR"), std::nullopt};
    m_panel = m_work;
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// Known constructions

KnownPanelEditor::KnownPanelEditor(Panel& panel, PanelEditorOptions options)
    : m_panel(panel)
    , m_work(panel)
    , m_options(std::move(options)) {
    m_work.Layered = 1;
}

std::vector<PanelTypeChoice> KnownPanelEditor::types() const {
    return typeChoices(codes({{0, 8}, {10, 17}}), m_work.Type);
}

int KnownPanelEditor::typeIndex() const {
    return indexOfType(types(), m_work.Type);
}

std::string KnownPanelEditor::setType(int code, const std::string& typedAlpha) {
    if (code == m_work.Type)
        return typedAlpha;
    m_work.Type = static_cast<std::uint8_t>(code);
    // Windows, doors and bridges have no default coefficient: what was typed stays.
    float outside = 0;
    float inside = 0;
    Panel::defaultAlphas(code, outside, inside);
    if (inside <= 0 || !takeDefaultAlphas(m_options))
        return typedAlpha;
    return editorText(inside);
}

bool KnownPanelEditor::showsWallPage() const {
    return Panel::isOpaque(m_work.Type);
}

bool KnownPanelEditor::showsOpeningPage() const {
    return Panel::isGlazed(m_work.Type) || Panel::isOuterOpening(m_work.Type);
}

bool KnownPanelEditor::showsFloorPage() const {
    return m_work.Type == 2;
}

const std::vector<PanelField>& KnownPanelEditor::fields() {
    static const std::vector<PanelField> all{
        PanelField::x,
        PanelField::y,
        PanelField::R,
        PanelField::ThermicMassivitate,
        PanelField::InSideAlpha,
        PanelField::Mass,
        PanelField::HeatMass,
        PanelField::DampFactor,
        PanelField::Delay,
        PanelField::GlassRatio,
        PanelField::InfiltrationFactor,
        PanelField::InfiltrationLength,
        PanelField::ms,
        PanelField::ns,
        PanelField::Rbc,
    };
    return all;
}

bool KnownPanelEditor::isShown(PanelField field) const {
    const int type = m_work.Type;
    switch (field) {
    case PanelField::y:
        return !Panel::isBridge(type);
    case PanelField::InfiltrationFactor:
    case PanelField::InfiltrationLength:
        return Panel::isOuterOpening(type);
    case PanelField::DampFactor:
    case PanelField::Delay:
    case PanelField::InSideAlpha:
    case PanelField::Mass:
    case PanelField::HeatMass:
        return Panel::isOpaque(type);
    case PanelField::GlassRatio:
        return Panel::isGlazed(type);
    case PanelField::ms:
    case PanelField::ns:
    case PanelField::Rbc:
        return type == 2;
    default:
        return true;
    }
}

double KnownPanelEditor::value(PanelField field) const {
    const float value = *fieldOf(m_work, field);
    const bool neutralOne = field == PanelField::ThermicMassivitate || field == PanelField::ms ||
                            field == PanelField::ns;
    return neutralOne && !(value > 0) ? 1.0f : value;
}

std::string KnownPanelEditor::text(PanelField field) const {
    return editorText(static_cast<float>(value(field)));
}

std::optional<PanelEditorProblem>
KnownPanelEditor::confirm(const std::function<std::string(PanelField)>& typed) {
    const int type = m_work.Type;
    if (!(Panel::isOpaque(type) || (type >= 9 && type <= 17)))
        return PanelEditorProblem{GetText("IDS_NOPANELTYPEERR"), std::nullopt};
    Panel result = m_work;
    for (const PanelField field : fields()) {
        if (!isShown(field))
            continue;
        double parsed = 0;
        try {
            parsed = ParseNumber(typed(field), ruleOf(field));
        } catch (const Error& error) {
            return PanelEditorProblem{error.text(), field};
        }
        if (!panelFieldRule(field).allows(parsed))
            return wrongValue(field);
        *fieldOf(result, field) = static_cast<float>(parsed);
    }
    result.Layered = 1;
    m_panel = result;
    m_work = result;
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------

std::string layerThicknessText(const Layer& layer) {
    return displayNumber(layer.Thickness, 3);
}

void setLayerThickness(Layer& layer, const std::string& text) {
    layer.Thickness = static_cast<float>(ParseNumber(text, NumberRule::Positive));
    if (layer.isKind(MaterialKind::Air) && layer.hasDiagram())
        layer.ResistanceFromDiagram();
}

bool Panel::Edit(platform::Window* owner, const ItemContext& context) {
    const ConstructionContext& constructions = constructionContextOf(context);
    PanelDialogs* dialogs = constructions.panelDialogs;
    if (!dialogs)
        return false;
    if (Type == kUndefinedType) {
        const std::optional<bool> known = dialogs->chooseKnown(owner);
        if (!known) {
            Layered = -1;
            return false;
        }
        Layered = *known ? 1 : 0;
        // A new construction starts as the commonest one, an outside wall with its surface
        // coefficients, rather than as nothing the results could be read for.
        Type = 0;
        defaultAlphas(Type, OutSideAlpha, InSideAlpha);
    }
    PanelEditorOptions options = dialogs->editorOptions();
    options.settings = constructions.settings;
    options.context = &context;
    bool confirmed = false;
    if (isKnown()) {
        KnownPanelEditor editor(*this, options);
        confirmed = dialogs->editKnown(editor, owner);
    } else {
        LayeredPanelEditor editor(*this, options);
        confirmed = dialogs->editLayered(editor, owner);
    }
    if (confirmed && !isKnown())
        Calculate(options.settings);
    Untouched = 0;
    return confirmed;
}

} // namespace kalydor
