// The logic of the construction editors: typed values and their rules, the type change with
// the surface coefficients, the layer list operations and what is shown of the calculation.

#include "constructions/constructioncontext.h"
#include "constructions/paneleditor.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "base/numberformat.h"
#include "platform/scriptedprompter.h"
#include "support/designclimate.h"
#include "support/fakelanguage.h"

#include <gtest/gtest.h>

#include <map>

namespace kalydor {
namespace {

using platform::ScopedPrompter;
using platform::ScriptedPrompter;

class PanelEditorTest : public ::testing::Test {
protected:
    test::FakeLanguage language{
        {"IDS_WRONGVALUE", "wrong value"},
        {"IDS_NOPANELTYPEERR", "choose a type"},
        {"IDS_OVERWRITEALPHA", "replace the coefficients?"},
        {"IDS_WANTLAYERDELETE", "delete %s?"},
        {"IDS_UNDEFINEDMATER", "kind not chosen"},
        {"IDS_SURFACETEMPERATURE", "θsi at θe="},
        {"IDS_SURFACETEMPERATURE+1", " °C"},
        {"IDS_WARMFLOOR", "warm"},
        {"IDS_COLDFLOOR", "cold"},
        {"IDS_HALFWARMFLOOR", "half warm"},
        {"IDS_PANELTYPES+0", "Outside wall"},
        {"IDS_PANELTYPES+1", "Inside wall"},
        {"IDS_PANELTYPES+2", "Floor"},
        {"IDS_PANELTYPES+9", "Wall in earth"},
        {"IDS_PANELTYPES+10", "Window"},
        {"IDS_PANELMESSAGES+4", "no attenuation"},
        {"IDS_SURFACEDIFFERENCEHINT", "surface too cold"},
        {"IDS_DECIMALSEPARATOR", ","},
    };
    ScriptedPrompter prompter;
    ScopedPrompter scoped{prompter};
};

Panel brickWall() {
    Panel wall = test::outsideWall("Perete");
    wall.Layers.push_back(test::massLayer("Tencuială", 2, 1700, 0.87f, 0.84f, 10));
    wall.Layers.push_back(test::massLayer("Cărămidă", 25, 1800, 0.8f, 0.88f, 7));
    wall.Layers.push_back(test::massLayer("Polistiren", 10, 20, 0.04f, 1.46f, 40));
    return wall;
}

PanelEditorOptions options(bool changeAlphas, bool ask) {
    PanelEditorOptions o;
    o.changeAlphas = changeAlphas;
    o.askBeforeChange = ask;
    o.settings.outsideDesignTemperature = -15;
    return o;
}

TEST_F(PanelEditorTest, TypedValuesFollowTheirRulesAndRecalculate) {
    Panel wall = brickWall();
    LayeredPanelEditor editor(wall, options(true, false));
    const float total = editor.panel().TotalResistance;
    EXPECT_GT(total, 2.5f);

    struct Case {
        PanelField field;
        const char* text;
        bool accepted;
    };
    const Case cases[] = {
        {PanelField::x, "-1", false},
        {PanelField::OutSideAlpha, "-0.5", false},
        {PanelField::InSideRelHum, "0", false},
        {PanelField::InSideRelHum, "100", false},
        {PanelField::OutSideRelHum, "99.5", true},
        {PanelField::GroundWaterHeight, "0.5", false},
        {PanelField::GroundWaterHeight, "-2", true},
        {PanelField::OutSideTemp, "-20", true},
        {PanelField::ThermicMassivitateGived, "-1", true},
        {PanelField::y, "abc", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string before = editor.text(c.field);
        const std::optional<PanelEditorProblem> problem = editor.setField(c.field, c.text);
        EXPECT_EQ(!problem, c.accepted);
        if (problem) {
            EXPECT_EQ(problem->message, "wrong value");
            EXPECT_EQ(problem->field, c.field);
            EXPECT_EQ(editor.text(c.field), before);
        }
    }
    // The colder outside air was taken and the construction calculated for it; the edited
    // construction itself is untouched until the editor is confirmed.
    EXPECT_EQ(editor.panel().OutSideTemp, -20);
    EXPECT_EQ(wall.OutSideTemp, -15);
    EXPECT_EQ(editor.setField(PanelField::OutSideAlpha, "0"), std::nullopt);
    EXPECT_NEAR(editor.panel().TotalResistance, total - 1.0 / 24, 1e-4);
    EXPECT_FALSE(editor.confirm());
    EXPECT_EQ(wall.OutSideTemp, -20);
    EXPECT_EQ(wall.OutSideAlpha, 0);
    EXPECT_TRUE(prompter.questions().empty());
}

TEST_F(PanelEditorTest, FloorFieldsOnlyForAFloor) {
    Panel wall = brickWall();
    LayeredPanelEditor editor(wall, options(false, false));
    EXPECT_FALSE(editor.isEnabled(PanelField::EarthLambda));
    EXPECT_TRUE(editor.isEnabled(PanelField::OutSideTemp));
    editor.setType(2);
    EXPECT_TRUE(editor.isEnabled(PanelField::EarthLambda));
    EXPECT_TRUE(editor.isEnabled(PanelField::GroundWaterHeight));
}

TEST_F(PanelEditorTest, TypeChangeAndTheSurfaceCoefficients) {
    struct Case {
        bool changeAlphas;
        bool ask;
        int answer; // -1 no question expected, 0 No, 1 Yes
        float outside, inside;
    };
    // From an outside wall with 20/7.5 typed to an inside wall (defaults 8/8).
    const Case cases[] = {
        {true, false, -1, 8, 8},
        {true, true, 1, 8, 8},
        {true, true, 0, 20, 7.5f},
        {false, true, -1, 20, 7.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.changeAlphas << c.ask << c.answer);
        ScriptedPrompter answers;
        ScopedPrompter scopedAnswers(answers);
        if (c.answer >= 0)
            answers.scriptYesNo(c.answer == 1);
        Panel wall = brickWall();
        wall.OutSideAlpha = 20;
        wall.InSideAlpha = 7.5f;
        LayeredPanelEditor editor(wall, options(c.changeAlphas, c.ask));
        editor.setType(1);
        EXPECT_EQ(editor.panel().Type, 1);
        EXPECT_EQ(editor.panel().OutSideAlpha, c.outside);
        EXPECT_EQ(editor.panel().InSideAlpha, c.inside);
        EXPECT_EQ(answers.questions().size(), c.answer >= 0 ? 1u : 0u);
        if (!answers.questions().empty()) {
            EXPECT_EQ(answers.questions()[0].text, "replace the coefficients?");
        }
        EXPECT_TRUE(answers.scriptUsed());
        // The internal wall shows both heat-storing masses.
        EXPECT_NE(editor.results().heatMass.find(" / "), std::string::npos);
    }
}

TEST_F(PanelEditorTest, ConfirmNeedsAType) {
    Panel fresh;
    LayeredPanelEditor editor(fresh, options(true, false));
    EXPECT_EQ(editor.typeIndex(), -1);
    EXPECT_EQ(editor.types().size(), 9u);
    const std::optional<PanelEditorProblem> problem = editor.confirm();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message, "choose a type");
    EXPECT_EQ(fresh.Type, Panel::kUndefinedType);
    editor.setType(0);
    EXPECT_EQ(editor.panel().OutSideAlpha, 24);
    EXPECT_FALSE(editor.confirm());
    EXPECT_EQ(fresh.Type, 0);

    // An imported wall in earth keeps its type offered.
    Panel earth = brickWall();
    earth.Type = 9;
    LayeredPanelEditor earthEditor(earth, options(true, false));
    ASSERT_GE(earthEditor.typeIndex(), 0);
    EXPECT_EQ(earthEditor.types()[static_cast<std::size_t>(earthEditor.typeIndex())].text,
              "Wall in earth");
}

TEST_F(PanelEditorTest, AddingMaterials) {
    Panel wall = brickWall();
    LayeredPanelEditor editor(wall, options(true, false));
    const float total = editor.panel().TotalResistance;

    Material undefined;
    undefined.Name = "Nou";
    bool asked = false;
    const auto thickness = [&asked](const char* text) {
        return [&asked, text](Layer& layer) {
            asked = true;
            if (!text)
                return false;
            setLayerThickness(layer, text);
            return true;
        };
    };
    EXPECT_EQ(editor.addMaterial(undefined, 0, thickness("5")), -1);
    EXPECT_FALSE(asked);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0], "kind not chosen");
    EXPECT_EQ(editor.layerCount(), 3);

    const Material wool = test::massLayer("Vată", 10, 100, 0.04f, 0.84f, 1);
    EXPECT_EQ(editor.addMaterial(wool, 0, thickness(nullptr)), -1);
    EXPECT_TRUE(asked);
    EXPECT_EQ(editor.layerCount(), 3);
    EXPECT_EQ(editor.panel().TotalResistance, total);

    // Added after the selected layer with the typed thickness, and calculated at once.
    EXPECT_EQ(editor.addMaterial(wool, 0, thickness("5")), 1);
    ASSERT_EQ(editor.layerCount(), 4);
    EXPECT_EQ(editor.panel().Layers[1].Name, "Vată");
    EXPECT_EQ(editor.panel().Layers[1].Thickness, 5);
    EXPECT_NEAR(editor.panel().TotalResistance, total + 0.05 / 0.04, 1e-3);
    // Nothing selected: at the end.
    EXPECT_EQ(editor.addMaterial(wool, -1, thickness("2")), 4);
}

TEST_F(PanelEditorTest, LayerOperations) {
    Panel wall = brickWall();
    LayeredPanelEditor editor(wall, options(true, false));

    prompter.scriptYesNo(false);
    EXPECT_FALSE(editor.deleteLayer(1));
    ASSERT_EQ(prompter.questions().size(), 1u);
    EXPECT_EQ(prompter.questions()[0].text, "delete Cărămidă?");
    EXPECT_EQ(prompter.questions()[0].defaultButton, platform::DefaultButton::No);
    EXPECT_EQ(editor.layerCount(), 3);

    EXPECT_EQ(editor.moveLayer(2, true), 1);
    EXPECT_EQ(editor.panel().Layers[1].Name, "Polistiren");
    // Calculated again: the numbers shown with the layers follow the list.
    EXPECT_EQ(editor.panel().Layers[1].results.number, 2);
    EXPECT_EQ(editor.panel().Layers[2].results.number, 3);
    EXPECT_EQ(editor.moveLayer(0, true), 0);
    EXPECT_EQ(editor.moveLayer(2, false), 2);

    EXPECT_EQ(editor.renameLayer(0, "Tencuială var  "), "Tencuială var");
    EXPECT_EQ(editor.renameLayer(0, "   "), "Tencuială var");

    prompter.scriptYesNo(true);
    EXPECT_TRUE(editor.deleteLayer(0));
    EXPECT_EQ(editor.layerCount(), 2);
    EXPECT_EQ(wall.Layers.size(), 3u);
    EXPECT_TRUE(prompter.scriptUsed());
}

TEST_F(PanelEditorTest, ShownResults) {
    Panel wall = brickWall();
    wall.SurfaceTemperatureDifference = 4;
    LayeredPanelEditor editor(wall, options(true, false));
    LayeredPanelEditor::Results shown = editor.results();
    EXPECT_TRUE(shown.showSurfaceTemperature);
    EXPECT_EQ(shown.surfaceTemperatureCaption, "θsi at θe=-15 °C");
    EXPECT_FALSE(shown.surfaceTemperatureRed);
    EXPECT_FALSE(shown.showFloorHeatAbsorb);
    EXPECT_FALSE(shown.dynamicsRed);
    EXPECT_TRUE(shown.dynamicsWhy.empty());
    // (20 − (−15)) / R total, with the decimal comma of the language.
    EXPECT_EQ(shown.heatFlux,
              withDecimalSeparator(formatGeneral(35.0 / editor.panel().TotalResistance, 3), ','));
    EXPECT_NE(shown.U.find(','), std::string::npos) << shown.U;
    EXPECT_NE(shown.neededResistance, "–");
    EXPECT_FALSE(shown.vapourFlux.empty());

    // An air layer on the inner side cannot be walked by the dynamic calculation.
    Layer air;
    air.Name = "Aer";
    air.Kind = static_cast<std::uint8_t>(MaterialKind::Air);
    air.Thickness = 2;
    air.ThermalRes = 0.17f;
    editor.addMaterial(air, 2, [](Layer&) { return true; });
    EXPECT_TRUE(editor.results().dynamicsRed);
    // A value in red says why.
    EXPECT_EQ(editor.results().dynamicsWhy, "no attenuation");

    // A thin wall cannot keep the inner surface within 1 K of the air.
    EXPECT_EQ(editor.setField(PanelField::SurfaceTemperatureDifference, "0.1"), std::nullopt);
    shown = editor.results();
    EXPECT_TRUE(shown.surfaceTemperatureRed);
    EXPECT_TRUE(shown.neededResistanceRed);
    EXPECT_EQ(shown.neededResistanceWhy, "surface too cold");
    EXPECT_EQ(shown.surfaceTemperatureWhy, "surface too cold");

    // Without a permitted difference there is no needed resistance: a dash, not a zero.
    editor.setValue(PanelField::SurfaceTemperatureDifference, 0);
    EXPECT_EQ(editor.results().neededResistance, "–");

    // Floors show b as a number of its unit, its class apart; the caption of θsi is there
    // before any value is shown.
    editor.setType(2);
    shown = editor.results();
    EXPECT_TRUE(shown.showFloorHeatAbsorb);
    EXPECT_NO_THROW(ParseNumber(shown.floorHeatAbsorb));
    EXPECT_EQ(shown.floorHeatAbsorb.find(' '), std::string::npos) << shown.floorHeatAbsorb;
    EXPECT_TRUE(shown.floorClass == "warm" || shown.floorClass == "cold" ||
                shown.floorClass == "half warm")
        << shown.floorClass;
    editor.setType(1);
    shown = editor.results();
    EXPECT_FALSE(shown.showSurfaceTemperature);
    EXPECT_EQ(shown.surfaceTemperatureCaption, "θsi at θe=-15 °C");
}

TEST_F(PanelEditorTest, KnownEditor) {
    Panel window;
    window.Layered = 1;
    KnownPanelEditor editor(window, options(true, false));
    EXPECT_EQ(editor.types().size(), 17u);
    EXPECT_EQ(editor.text(PanelField::ThermicMassivitate), "1");

    std::map<PanelField, std::string> typed;
    for (const PanelField field : KnownPanelEditor::fields())
        typed[field] = editor.text(field);
    const auto fields = [&typed](PanelField field) { return typed[field]; };
    std::optional<PanelEditorProblem> problem = editor.confirm(fields);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message, "choose a type");

    typed[PanelField::InSideAlpha] = editor.setType(10, typed[PanelField::InSideAlpha]);
    EXPECT_TRUE(editor.showsOpeningPage());
    EXPECT_FALSE(editor.showsWallPage());
    EXPECT_FALSE(editor.isShown(PanelField::Mass));
    typed[PanelField::x] = "1.5";
    typed[PanelField::y] = "1.2";
    typed[PanelField::R] = "0.625";
    typed[PanelField::GlassRatio] = "150";
    typed[PanelField::Mass] = "-5"; // hidden for a window: not taken
    problem = editor.confirm(fields);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, PanelField::GlassRatio);
    EXPECT_EQ(problem->message, "wrong value");
    EXPECT_EQ(window.Type, Panel::kUndefinedType);

    typed[PanelField::GlassRatio] = "70";
    EXPECT_FALSE(editor.confirm(fields));
    EXPECT_EQ(window.Type, 10);
    EXPECT_EQ(window.R, 0.625f);
    EXPECT_EQ(window.GlassRatio, 70);
    EXPECT_EQ(window.ThermicMassivitate, 1);
    EXPECT_EQ(window.Mass, 0);

    // A bridge has no height and no default coefficient: the typed one stays. A wall takes
    // the inner coefficient of its type.
    Panel bridge;
    bridge.Layered = 1;
    KnownPanelEditor bridgeEditor(bridge, options(true, false));
    EXPECT_EQ(bridgeEditor.setType(16, "3"), "3");
    EXPECT_FALSE(bridgeEditor.isShown(PanelField::y));
    EXPECT_EQ(bridgeEditor.setType(0, "3"), "8");
}

TEST_F(PanelEditorTest, LayerThicknessAndTheAirLayerDiagram) {
    Layer air;
    air.Kind = static_cast<std::uint8_t>(MaterialKind::Air);
    air.Thickness = 1;
    air.ThermalRes = 0.14f;
    air.Diagram[0] = {1, 0.14f};
    air.Diagram[1] = {2, 0.16f};
    air.Diagram[2] = {5, 0.18f};
    EXPECT_EQ(layerThicknessText(air), "1");
    setLayerThickness(air, "3,5");
    EXPECT_EQ(air.Thickness, 3.5f);
    EXPECT_NEAR(air.ThermalRes, 0.17, 1e-6);
    EXPECT_THROW(setLayerThickness(air, "-1"), Error);
    EXPECT_THROW(setLayerThickness(air, "0"), Error); // a layer of no thickness is refused
    EXPECT_EQ(air.Thickness, 3.5f);

    // Without a diagram the typed resistance stays.
    Layer plain;
    plain.Kind = static_cast<std::uint8_t>(MaterialKind::Air);
    plain.ThermalRes = 0.15f;
    setLayerThickness(plain, "4");
    EXPECT_EQ(plain.ThermalRes, 0.15f);
}

class ScriptedPanelDialogs final : public PanelDialogs {
public:
    std::optional<bool> chosen;
    std::string opened;
    std::optional<bool> chooseKnown(platform::Window*) override {
        opened += "chooser ";
        return chosen;
    }
    bool editLayered(LayeredPanelEditor& editor, platform::Window*) override {
        opened += "layered ";
        editor.setType(0);
        return !editor.confirm();
    }
    bool editKnown(KnownPanelEditor&, platform::Window*) override {
        opened += "known ";
        return false;
    }
    PanelEditorOptions editorOptions() const override { return options(true, false); }
};

TEST_F(PanelEditorTest, EditAsksLayeredOrKnownForANewConstruction) {
    ScriptedPanelDialogs dialogs;
    ConstructionContext context;
    context.panelDialogs = &dialogs;
    Panel fresh;
    EXPECT_FALSE(fresh.Edit(nullptr, context));
    EXPECT_EQ(dialogs.opened, "chooser ");
    EXPECT_EQ(fresh.Layered, -1);

    dialogs.chosen = true;
    dialogs.opened.clear();
    EXPECT_FALSE(fresh.Edit(nullptr, context));
    EXPECT_EQ(dialogs.opened, "chooser known ");

    Panel layered;
    dialogs.chosen = false;
    dialogs.opened.clear();
    layered.Layers.push_back(test::massLayer("Cărămidă", 25, 1800, 0.8f, 0.88f, 7));
    layered.OutSideAlpha = 1; // replaced by the outside wall's default on the type change
    EXPECT_TRUE(layered.Edit(nullptr, context));
    EXPECT_EQ(dialogs.opened, "chooser layered ");
    EXPECT_EQ(layered.Type, 0);
    EXPECT_EQ(layered.OutSideAlpha, 24);
    EXPECT_GT(layered.R, 0.3f);

    // A stored construction opens its editor directly.
    dialogs.opened.clear();
    EXPECT_TRUE(layered.Edit(nullptr, context));
    EXPECT_EQ(dialogs.opened, "layered ");
}

} // namespace
} // namespace kalydor
