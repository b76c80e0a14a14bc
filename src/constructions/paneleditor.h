#pragma once

#include "base/numberfield.h"
#include "constructions/panel.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

namespace platform {
class Window;
}

/// The typed fields of the two construction editors.
enum class PanelField {
    x,
    y,
    OutSideTemp,
    InSideTemp,
    OutSideAlpha,
    InSideAlpha,
    OutSideRelHum,
    InSideRelHum,
    RGived,
    DiffusionDays,
    ThermicMassivitateGived,
    SurfaceTemperatureDifference,
    FloorLevel,
    GroundWaterHeight,
    FundationWidth,
    EarthLambda,
    // Known constructions only.
    R,
    InfiltrationFactor,
    InfiltrationLength,
    DampFactor,
    Delay,
    Mass,
    HeatMass,
    GlassRatio,
    ThermicMassivitate,
    ms,
    ns,
    Rbc,
};

/// What an editor could not take: the message for the user and the field to go back to.
struct PanelEditorProblem {
    std::string message;
    std::optional<PanelField> field;
};

/// How the editors behave beyond the construction itself: the program options that rule
/// the surface coefficients on a type change, and the calculation settings of the project.
struct PanelEditorOptions {
    bool changeAlphas = true;
    bool askBeforeChange = true;
    PanelSettings settings;
    /// The context the layers' material editors open in (none: a layer cannot be modified).
    const ItemContext* context = nullptr;
};

/// A type a construction editor offers: its code and its text ("IDS_PANELTYPES+" code).
struct PanelTypeChoice {
    int code;
    std::string text;
};

/// What a typed field of the construction editors allows: the relative humidities lie
/// between 0 and 100 % (both excluded), the glazed share between 0 and 100 %, the
/// ground-water level at or below the ground, the massiveness and the floor-on-ground
/// coefficients of a known construction above 0; the temperatures, the floor level and the
/// other given values are free; everything else is at least 0.
FieldRule panelFieldRule(PanelField field);

/// Where the type change of a construction stands with the surface coefficients: whether
/// the defaults of the new type are to be copied, asking the user when the options say so.
bool takeDefaultAlphas(const PanelEditorOptions& options);

/// The logic of the layered construction editor. It works on a copy of the construction,
/// recalculated after every value, type and layer change; confirming copies the result back.
class LayeredPanelEditor {
public:
    LayeredPanelEditor(Panel& panel, PanelEditorOptions options);

    /// The construction as edited so far, with the results of its last calculation.
    const Panel& panel() const { return m_work; }
    Panel& workingPanel() { return m_work; }
    const PanelEditorOptions& options() const { return m_options; }

    /// The types offered: 0–8 (and the construction's own type when it came in as another).
    std::vector<PanelTypeChoice> types() const;
    /// Index of the construction's type in `types()`, -1 while none is chosen.
    int typeIndex() const;
    /// Changes the type; the default coefficients of the new type replace the typed ones
    /// under the "ChangeAlphas"/"AskBeforeChange" rule. Recalculates.
    void setType(int code);

    /// The fields the editor shows, in their order.
    static const std::vector<PanelField>& fields();
    /// Whether a field can be typed into: the floor-on-ground fields only for a floor.
    bool isEnabled(PanelField field) const;
    std::string text(PanelField field) const;
    /// The value a field stands for, as the construction holds it.
    double value(PanelField field) const;
    /// Takes a value the field's rule allows; the construction is recalculated when it
    /// changed.
    void setValue(PanelField field, double value);
    /// Takes a typed field on leaving it; on success the construction is recalculated.
    /// A number that breaks the field's rule (and a relative humidity of 100 % or more)
    /// changes nothing and gives "IDS_WRONGVALUE".
    std::optional<PanelEditorProblem> setField(PanelField field, const std::string& text);

    /// Recalculates the working copy (after its layers were changed from outside).
    void recalculate();
    /// Whether anything was changed since the editor opened (Cancel then asks first).
    bool changed() const { return m_changed; }

    /// What the editor shows of the last calculation. A value shown in red comes with the
    /// reason, the message of the finding that made it red.
    struct Results {
        std::string totalResistance;
        std::string U;                ///< W/m²K, 1 / total resistance rounded to 0.01
        std::string neededResistance; ///< "–" where no surface temperature check applies
        bool neededResistanceRed = false;
        std::string neededResistanceWhy;
        std::string dampFactor;
        std::string delay;
        bool dynamicsRed = false;
        std::string dynamicsWhy;
        std::string mass;
        std::string heatMass; ///< both masses "a / b" for an internal construction
        bool heatMassRed = false;
        std::string heatMassWhy;
        bool showFloorHeatAbsorb = false;
        std::string floorHeatAbsorb; ///< b
        std::string floorClass;      ///< the floor class of b ("cold floor" …)
        bool floorHeatAbsorbRed = false;
        std::string floorHeatAbsorbWhy;
        bool showSurfaceTemperature = false;
        /// The caption with the design outside temperature, also while the value is hidden.
        std::string surfaceTemperatureCaption;
        std::string surfaceTemperature;
        bool surfaceTemperatureRed = false;
        std::string surfaceTemperatureWhy;
        std::string heatFlux;   ///< W/m²
        std::string vapourFlux; ///< 10⁻⁶ g/(m²·s)
        std::string computedMassivitate;
        std::string status; ///< the calculation's messages, separated by blanks
    };
    Results results() const;

    // The layer list.
    int layerCount() const { return static_cast<int>(m_work.Layers.size()); }
    /// Adds a copy of a material as a layer after `selected` (at the end when `selected` is
    /// not a layer): a material whose kind was never chosen is refused with
    /// "IDS_UNDEFINEDMATER"; otherwise `askThickness` sets the new layer's thickness and
    /// may cancel the addition. Returns the new layer's index, or -1 when nothing was added.
    int addMaterial(const Material& material, int selected,
                    const std::function<bool(Layer&)>& askThickness);
    /// Deletes a layer after the "IDS_WANTLAYERDELETE" question; true when deleted.
    bool deleteLayer(int index);
    /// Swaps a layer with its neighbour above (`up`) or below; returns the layer's new
    /// index (unchanged at the end of the list).
    int moveLayer(int index, bool up);
    /// Renames a layer in place: trailing blanks are dropped and an empty name keeps the
    /// old one. Returns the name the layer has afterwards.
    std::string renameLayer(int index, const std::string& name);
    /// Opens the material editor of a layer in layer mode; true when it was confirmed.
    bool modifyLayer(int index, platform::Window* owner);
    void setOrdering(int ordering);

    /// Checks the construction can be confirmed ("IDS_NOPANELTYPEERR" without a type) and
    /// copies it back into the edited construction.
    std::optional<PanelEditorProblem> confirm();

private:
    Panel& m_panel;
    Panel m_work;
    PanelEditorOptions m_options;
    bool m_changed = false;
};

/// The logic of the known construction editor: the typed values of the type's pages,
/// taken all together on confirm.
class KnownPanelEditor {
public:
    KnownPanelEditor(Panel& panel, PanelEditorOptions options);

    const Panel& panel() const { return m_work; }
    /// The types offered: 0–8 and 10–17 (and the construction's own type when another).
    std::vector<PanelTypeChoice> types() const;
    int typeIndex() const;
    /// Whether the type was changed since the editor opened.
    bool typeChanged() const { return m_work.Type != m_panel.Type; }
    /// Changes the type; the inner coefficient of the new type replaces the typed one under
    /// the "ChangeAlphas"/"AskBeforeChange" rule. `typedAlpha` is what the field shows now.
    /// Returns the text the inner coefficient field is to show.
    std::string setType(int code, const std::string& typedAlpha);

    /// The pages of fields: the wall page for opaque constructions, the opening page for
    /// glazed constructions and outer openings, the floor page for a floor.
    bool showsWallPage() const;
    bool showsOpeningPage() const;
    bool showsFloorPage() const;
    /// Whether a field is shown for the current type.
    bool isShown(PanelField field) const;
    /// The fields of the editor, in the order they are taken.
    static const std::vector<PanelField>& fields();
    /// The text a field starts with. A massiveness or floor coefficient never typed (0)
    /// starts as 1, their neutral value, so that a new construction can be confirmed.
    std::string text(PanelField field) const;
    /// The value a field starts with (1 for a massiveness or floor coefficient never typed).
    double value(PanelField field) const;

    /// Takes every shown field in order and, when all are good and a type is chosen, copies
    /// the construction back. On a problem nothing of the edited construction changes.
    std::optional<PanelEditorProblem> confirm(const std::function<std::string(PanelField)>& typed);

private:
    Panel& m_panel;
    Panel m_work;
    PanelEditorOptions m_options;
};

/// The thickness asked for each material added as a layer: shown with 3 significant digits,
/// taken as a number greater than 0 (raises "IDS_WRONGVALUE" otherwise): a layer without
/// thickness has no place in a construction. An air layer's
/// resistance is taken again from its diagram, so that it belongs to the new thickness.
std::string layerThicknessText(const Layer& layer);
void setLayerThickness(Layer& layer, const std::string& text);

/// The dialogs of the construction editors. The desktop installs its implementation;
/// without one, editing a construction opens nothing and changes nothing.
class PanelDialogs {
public:
    virtual ~PanelDialogs() = default;
    /// Asks whether a new construction is layered (false) or known (true); none when
    /// cancelled.
    virtual std::optional<bool> chooseKnown(platform::Window* owner) = 0;
    virtual bool editLayered(LayeredPanelEditor& editor, platform::Window* owner) = 0;
    virtual bool editKnown(KnownPanelEditor& editor, platform::Window* owner) = 0;
    /// The program options the editors follow.
    virtual PanelEditorOptions editorOptions() const = 0;
};

} // namespace kalydor
