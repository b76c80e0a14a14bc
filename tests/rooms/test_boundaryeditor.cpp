// The boundary dialogs' logic: which values each kind reads, their rules, the orientations
// that follow the building, and OK writing only what the chosen kind reads.

#include "rooms/boundaryeditor.h"

#include "rooms/roomfixtures.h"
#include "support/fakelanguage.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

using Field = BoundaryField;
using Kind = NumberField::Outcome::Kind;

TEST(BoundaryEditor, FieldsReadByKindAndDialog) {
    const struct {
        BoundaryDialogKind dialog;
        int kind;
        std::vector<Field> read;
        std::vector<Field> notRead;
        bool orientation;
        bool neighbour;
    } cases[] = {
        {BoundaryDialogKind::Full,
         0,
         {Field::y, Field::Mass, Field::Massivitate},
         {Field::OverTempWinter, Field::GlassRatio, Field::InfiltrationFactor, Field::Tetap},
         true,
         false},
        {BoundaryDialogKind::Full,
         2,
         {Field::Tetap, Field::FloorOverTemp, Field::ms, Field::Rbc},
         {Field::Massivitate, Field::OverTempWinter},
         false,
         false},
        {BoundaryDialogKind::Full,
         10,
         {Field::GlassRatio, Field::InfiltrationLength},
         {Field::Mass, Field::OpeningRate},
         true,
         false},
        {BoundaryDialogKind::Full,
         12,
         {Field::OpeningRate, Field::InfiltrationFactor, Field::Massivitate},
         {Field::GlassRatio, Field::Mass},
         true,
         false},
        {BoundaryDialogKind::Full,
         1,
         {Field::OverTempWinter, Field::Mass},
         {Field::Massivitate, Field::Tetap},
         false,
         true},
        {BoundaryDialogKind::Full,
         16,
         {Field::x, Field::MinA, Field::Massivitate},
         {Field::y},
         true,
         false},
        {BoundaryDialogKind::Wall,
         0,
         {Field::x, Field::y, Field::db, Field::MinA},
         {Field::k, Field::OverTempWinter},
         true,
         false},
        {BoundaryDialogKind::Wall,
         4,
         {Field::OverTempWinter},
         {Field::k, Field::Mass},
         false,
         true},
        {BoundaryDialogKind::Bridge,
         17,
         {Field::x, Field::MinA},
         {Field::db, Field::y, Field::k, Field::OverTempWinter},
         false,
         false},
    };
    for (const auto& c : cases) {
        Boundary b = test::boundary("b", static_cast<std::uint8_t>(c.kind), 1, 1, 1);
        const BoundaryEditor editor(b, c.dialog, 0);
        for (Field f : c.read)
            EXPECT_TRUE(editor.reads(f)) << c.kind << " dialog " << static_cast<int>(c.dialog)
                                         << " field " << static_cast<int>(f);
        for (Field f : c.notRead)
            EXPECT_FALSE(editor.reads(f)) << c.kind << " dialog " << static_cast<int>(c.dialog)
                                          << " field " << static_cast<int>(f);
        EXPECT_EQ(editor.readsOrientation(), c.orientation) << c.kind;
        EXPECT_EQ(editor.readsNeighbour(), c.neighbour) << c.kind;
        EXPECT_EQ(editor.deductionIsSurface(), c.kind >= 16) << c.kind;
    }
    EXPECT_EQ(BoundaryEditor::dialogFor(16), BoundaryDialogKind::Bridge);
    EXPECT_EQ(BoundaryEditor::dialogFor(2), BoundaryDialogKind::Full);
    EXPECT_EQ(BoundaryEditor::dialogFor(10), BoundaryDialogKind::Wall);
}

TEST(BoundaryEditor, NumberRules) {
    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."}};
    const struct {
        BoundaryDialogKind dialog;
        Field field;
        const char* typed;
        Kind outcome;
        double value;
    } cases[] = {
        {BoundaryDialogKind::Full, Field::x, "-1", Kind::Taken, -1},
        {BoundaryDialogKind::Wall, Field::x, "-1", Kind::Refused, 4},
        {BoundaryDialogKind::Full, Field::db, "2,9", Kind::Taken, 2},
        {BoundaryDialogKind::Full, Field::db, "-3", Kind::Taken, -3},
        {BoundaryDialogKind::Wall, Field::db, "-3", Kind::Refused, 1},
        {BoundaryDialogKind::Full, Field::db, "40000", Kind::Refused, 1}, // beyond the word
        {BoundaryDialogKind::Full, Field::k, "-0.1", Kind::Refused, 2},
        {BoundaryDialogKind::Full, Field::k, "0", Kind::Taken, 0},
        {BoundaryDialogKind::Full, Field::Massivitate, "0", Kind::Refused, 1},
        {BoundaryDialogKind::Full, Field::Tetap, "-5 °C", Kind::Taken, -5},
        {BoundaryDialogKind::Bridge, Field::MinA, "0.5 m2", Kind::Taken, 0.5},
    };
    for (const auto& c : cases) {
        const int kind = c.dialog == BoundaryDialogKind::Bridge ? 16 : 0;
        BoundaryEditor editor(test::boundary("b", static_cast<std::uint8_t>(kind), 4, 3, 2),
                              c.dialog, 0);
        EXPECT_EQ(editor.type(c.field, c.typed).kind, c.outcome) << c.typed;
        EXPECT_DOUBLE_EQ(editor.value(c.field), c.value) << c.typed;
    }
}

TEST(BoundaryEditor, OrientationsFollowTheBuilding) {
    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."}};
    const struct {
        std::int16_t building;
        std::int16_t first;
    } cases[] = {{0, 0}, {30, -15}, {-30, 15}, {22, 22}, {23, -22}, {400, -5}};
    for (const auto& c : cases) {
        BoundaryEditor editor(test::boundary("w", 0, 1, 1, 1), BoundaryDialogKind::Wall,
                              c.building);
        const std::vector<std::int16_t> angles = editor.orientations();
        ASSERT_EQ(angles.size(), 8u);
        EXPECT_EQ(angles.front(), c.first) << c.building;
        EXPECT_EQ(angles.back(), c.first + 315) << c.building;
    }
    BoundaryEditor editor(test::boundary("w", 0, 1, 1, 1), BoundaryDialogKind::Wall, 0);
    EXPECT_EQ(editor.setOrientation("180° (S)"), std::nullopt);
    EXPECT_EQ(editor.orientation(), 180);
    EXPECT_EQ(editor.setOrientation("-37.8"), std::nullopt); // typed outside the list: as typed
    EXPECT_EQ(editor.orientation(), -37);
    EXPECT_EQ(editor.setOrientation("99999"), "Wrong value.");
    EXPECT_EQ(editor.setOrientation("south"), "Wrong value.");
    EXPECT_EQ(editor.orientation(), -37);
    editor.setGradientIndex(3);
    editor.setGradientIndex(99); // no such step: kept
    ASSERT_EQ(editor.accept(), std::nullopt);
    EXPECT_EQ(editor.boundary().Compass, -37);
    EXPECT_EQ(editor.boundary().Gradient, 45);
}

TEST(BoundaryEditor, OkWritesOnlyWhatTheKindReads) {
    test::FakeLanguage language{{"IDS_NOPANELTYPEERR", "Choose the type."}};
    Boundary wall = test::boundary("w", 0, 4, 3, 2);
    wall.Mass = 300;
    BoundaryEditor editor(wall, BoundaryDialogKind::Full, 0);
    editor.type(Field::Mass, "500");
    editor.type(Field::GlassRatio, "70");
    editor.setKind(10); // a window reads its glass ratio, not a mass
    editor.setKind(9);  // not offered: the window stays
    editor.takeGlazingCoefficient(2.5);
    editor.takeGlazingCoefficient(0); // no coefficient: k stays
    editor.takeGlazingCoefficient(-1);
    ASSERT_EQ(editor.accept(), std::nullopt);
    EXPECT_EQ(editor.boundary().Type, 10);
    EXPECT_EQ(editor.boundary().Mass, 300.0f);
    EXPECT_EQ(editor.boundary().GlassRatio, 70.0f);
    EXPECT_FLOAT_EQ(editor.boundary().k, 0.4f);

    // A kind the full dialog does not offer must be chosen first.
    Boundary earth = test::boundary("e", 9, 4, 3, 2);
    BoundaryEditor unchosen(earth, BoundaryDialogKind::Full, 0);
    EXPECT_EQ(unchosen.accept(), "Choose the type.");
    unchosen.setKind(0);
    EXPECT_EQ(unchosen.accept(), std::nullopt);

    // A bridge's deduction box is its surface; the wall's deduction is left alone.
    Boundary bridge = test::boundary("t", 16, 3, 0, 0.5f);
    bridge.GrossArea = 1;
    bridge.MinA = 7;
    BoundaryEditor bridgeEditor(bridge, BoundaryDialogKind::Bridge, 0);
    EXPECT_EQ(bridgeEditor.value(Field::MinA), 1.0);
    bridgeEditor.type(Field::MinA, "2");
    ASSERT_EQ(bridgeEditor.accept(), std::nullopt);
    EXPECT_EQ(bridgeEditor.boundary().GrossArea, 2.0f);
    EXPECT_EQ(bridgeEditor.boundary().MinA, 7.0f);

    // The full dialog clears the mark of an old record once its values were offered.
    Boundary old = test::boundary("o", 0, 4, 3, 0);
    old.MissingThermalValues = true;
    BoundaryEditor full(old, BoundaryDialogKind::Full, 0);
    full.type(Field::k, "2");
    ASSERT_EQ(full.accept(), std::nullopt);
    EXPECT_FALSE(full.boundary().MissingThermalValues);
}

} // namespace
} // namespace kalydor
