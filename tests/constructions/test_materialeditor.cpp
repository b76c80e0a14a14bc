#include "constructions/constructioncontext.h"
#include "constructions/materialeditor.h"

#include "support/fakelanguage.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

// The texts of the editor's messages, installed as the lookup each time a test asks: another
// test may have installed its own in between.
const test::FakeLanguage& texts() {
    static const test::FakeLanguage language{
        {"IDS_TWOTHERMALERROR", "two thermal"}, {"IDS_TWOSTEAMDIFFERROR", "two vapour"},
        {"IDS_CANNOTLESS", "isotherm falls"},   {"IDS_CANNOTLESSTHERMO", "diagram falls"},
        {"IDS_WRONGVALUE", "wrong value"},
    };
    setTextLookup(&language);
    return language;
}

Material brick() {
    Material m;
    m.Name = "Cărămidă";
    m.Kind = 0;
    m.Thickness = 25;
    m.Density = 1800;
    m.ThermalCond = 0.8f;
    m.SteamDiffResNum = 7;
    return m;
}

using Texts = std::array<std::string, kMaterialFieldCount>;
using Isotherm = std::array<std::string, Material::kIsothermPoints>;

std::string& at(Texts& t, MaterialField field) {
    return t[static_cast<std::size_t>(field)];
}

TEST(MaterialEditor, TakesValuesInOrderAndStopsAtTheFirstProblem) {
    texts();
    Material m = brick();
    MaterialEditor editor(m, nullptr, "Zidărie\\");
    EXPECT_EQ(editor.title(), "Zidărie\\ - Cărămidă");
    EXPECT_FALSE(editor.isShown(MaterialField::InitialHumidity2));

    Texts t = editor.texts();
    Isotherm iso = editor.isothermTexts();
    EXPECT_EQ(at(t, MaterialField::ThermalCond), "0.8");

    // A bad number: the field is named, nothing changes.
    at(t, MaterialField::Thickness) = "30";
    at(t, MaterialField::HeatCapacity) = "-1";
    std::optional<EditorProblem> problem = editor.apply(t, iso);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, MaterialField::HeatCapacity);
    EXPECT_EQ(problem->message, "wrong value");
    EXPECT_EQ(m.Thickness, 25);

    // Both λ and R: the conductivity is pointed at.
    at(t, MaterialField::HeatCapacity) = "0,88";
    at(t, MaterialField::ThermalRes) = "0.5";
    problem = editor.apply(t, iso);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message, "two thermal");
    EXPECT_EQ(problem->field, MaterialField::ThermalCond);

    at(t, MaterialField::ThermalRes) = "0";
    at(t, MaterialField::SteamDiffCond) = "0.02";
    problem = editor.apply(t, iso);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, MaterialField::SteamDiffCond);

    // A falling isotherm selects its row.
    at(t, MaterialField::SteamDiffCond) = "0";
    iso[0] = "1";
    iso[1] = "0.8";
    iso[9] = "3";
    problem = editor.apply(t, iso);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message, "isotherm falls");
    EXPECT_EQ(problem->row, 1);
    EXPECT_EQ(m.Sorption[0], 0);

    iso[1] = "1.2";
    EXPECT_FALSE(editor.apply(t, iso));
    EXPECT_EQ(m.Thickness, 30);
    EXPECT_FLOAT_EQ(m.HeatCapacity, 0.88f);
    EXPECT_FLOAT_EQ(m.Sorption[1], 1.2f);
}

TEST(MaterialEditor, LockedAndHiddenFieldsKeepTheirValues) {
    texts();
    Material m = brick();
    m.Flags = Material::kLockedValues | Material::kNoDensity;
    MaterialEditor editor(m, nullptr);
    EXPECT_FALSE(editor.isShown(MaterialField::Density));
    EXPECT_TRUE(editor.isReadOnly(MaterialField::ThermalCond));
    EXPECT_TRUE(editor.isReadOnly(MaterialField::PermitHumidity));
    EXPECT_FALSE(editor.isReadOnly(MaterialField::Thickness));
    EXPECT_TRUE(editor.isothermReadOnly());
    Texts t = editor.texts();
    at(t, MaterialField::Density) = "garbage";
    at(t, MaterialField::ThermalCond) = "5";
    at(t, MaterialField::Thickness) = "12";
    Isotherm iso = editor.isothermTexts();
    iso[3] = "oops";
    EXPECT_FALSE(editor.apply(t, iso));
    EXPECT_EQ(m.Thickness, 12);
    EXPECT_FLOAT_EQ(m.ThermalCond, 0.8f);
    EXPECT_EQ(m.Density, 1800);
}

TEST(MaterialEditor, LayerModeOffersTheFillingMoisture) {
    texts();
    Layer layer(brick());
    MaterialEditor editor(layer, &layer, "Zidărie\\");
    EXPECT_EQ(editor.title(), "Cărămidă");
    EXPECT_TRUE(editor.isShown(MaterialField::InitialHumidity2));
    Texts t = editor.texts();
    at(t, MaterialField::InitialHumidity2) = "6,5";
    at(t, MaterialField::Thickness) = "38";
    layer.ThermalCondFactor = 0.2f;
    EXPECT_FALSE(editor.apply(t, editor.isothermTexts()));
    EXPECT_FLOAT_EQ(layer.InitialHumidity2, 6.5f);
    EXPECT_EQ(layer.Thickness, 38);
    EXPECT_FLOAT_EQ(layer.ThermalCondFactor, 0.2f); // layer values outside the editor stay

    // A layer of no thickness has no place in a construction; a stored material may leave its
    // thickness open.
    at(t, MaterialField::Thickness) = "0";
    const std::optional<EditorProblem> problem = editor.apply(t, editor.isothermTexts());
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, MaterialField::Thickness);
    EXPECT_EQ(layer.Thickness, 38);
    Material stored = brick();
    MaterialEditor catalogue(stored, nullptr, "Zidărie\\");
    Texts open = catalogue.texts();
    at(open, MaterialField::Thickness) = "0";
    EXPECT_FALSE(catalogue.apply(open, catalogue.isothermTexts()));
    EXPECT_EQ(stored.Thickness, 0);
}

TEST(AirMaterialEditor, SortsChecksAndTakesTheResistanceFromTheDiagram) {
    texts();
    Layer air;
    air.Name = "Aer";
    air.Kind = 2;
    AirMaterialEditor editor(air, &air);
    AirMaterialEditor::Fields f = editor.fields();
    f.thickness = "3";
    f.ventilated = true;
    f.steamRes = "15";
    f.diagram[0] = {"5", "0.18"};
    f.diagram[1] = {"1", "0.2"};
    std::optional<EditorProblem> problem = editor.apply(f);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message, "diagram falls");
    EXPECT_EQ(problem->row, 1); // second pair after sorting
    EXPECT_EQ(f.diagram[0].first, "1");
    EXPECT_EQ(air.Thickness, 0);

    f.diagram[0].second = "0.1";
    ASSERT_FALSE(editor.apply(f));
    EXPECT_NEAR(air.ThermalRes, 0.14, 1e-6);
    EXPECT_EQ(f.resistance, "0.14");
    EXPECT_TRUE(air.Ventilled);
    EXPECT_EQ(air.SteamRes, 15);

    // Without a diagram the typed resistance stays.
    Material plain;
    plain.Kind = 2;
    AirMaterialEditor noDiagram(plain, nullptr);
    AirMaterialEditor::Fields g = noDiagram.fields();
    g.thickness = "4";
    g.resistance = "0,17";
    ASSERT_FALSE(noDiagram.apply(g));
    EXPECT_FLOAT_EQ(plain.ThermalRes, 0.17f);
}

class ScriptedDialogs final : public MaterialDialogs {
public:
    std::optional<MaterialKind> chooseKind(platform::Window*) override {
        ++kindQuestions;
        return kind;
    }
    bool editMaterial(MaterialEditor&, platform::Window*) override {
        ++materialEditors;
        return true;
    }
    bool editAirMaterial(AirMaterialEditor&, platform::Window*) override {
        ++airEditors;
        return true;
    }
    std::optional<MaterialKind> kind;
    int kindQuestions = 0, materialEditors = 0, airEditors = 0;
};

TEST(MaterialEdit, NewMaterialAsksForItsKindFirst) {
    ScriptedDialogs dialogs;
    ConstructionContext context;
    context.materialDialogs = &dialogs;
    Material fresh;
    fresh.Untouched = 1;
    EXPECT_FALSE(fresh.Edit(nullptr, context)); // cancelled kind question
    EXPECT_TRUE(fresh.isKind(MaterialKind::Undefined));
    EXPECT_EQ(dialogs.materialEditors + dialogs.airEditors, 0);

    dialogs.kind = MaterialKind::Air;
    EXPECT_TRUE(fresh.Edit(nullptr, context));
    EXPECT_TRUE(fresh.isKind(MaterialKind::Air));
    EXPECT_EQ(dialogs.airEditors, 1);
    EXPECT_EQ(fresh.Untouched, 0);

    Material known = brick();
    EXPECT_TRUE(known.Edit(nullptr, context));
    EXPECT_EQ(dialogs.kindQuestions, 2);
    EXPECT_EQ(dialogs.materialEditors, 1);
    // Without dialogs in its context (the command line) a material cannot be edited.
    EXPECT_FALSE(known.Edit(nullptr, ConstructionContext{}));
}

} // namespace
} // namespace kalydor
