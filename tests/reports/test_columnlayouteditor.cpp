#include "reports/columnlayouteditor.h"

#include "base/textlookup.h"
#include "language/languages.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

Languages englishLanguages() {
    Language language;
    language.id = "English";
    language.userInterface = true;
    language.strings["ID_NEEDFIRSTCOLUMN"] = "The first column cannot be hidden.";
    language.strings["IDS_WRONGVALUE"] = "Wrong value.";
    Languages languages;
    languages.addLanguage(std::move(language));
    languages.SelectInterfaceLanguage("English");
    return languages;
}

// Name, a general real (heat flow), a hidden fixed real and an integer.
ColumnLayout editedLayout() {
    ColumnLayout layout;
    layout.LoadFromText("2\r\n4\r\n"
                        "120\r\nsll0\r\nName\r\n\r\n"
                        "60\r\n9Gcr4\r\nQ\\;\\p heating load\r\n[W]\r\n"
                        "-60\r\n.2Fcr5\r\nR\r\n[m\\u2\\pK/W]\r\n"
                        "40\r\nicc7\r\nNo.\r\n\r\n",
                        "EditedTitle");
    layout.Name = "EditedTitle";
    return layout;
}

class ChangeHeaderTest : public ::testing::Test {
protected:
    // Error texts come through the process-wide lookup, as in the program.
    void SetUp() override { setTextLookup(&languages); }
    void TearDown() override { setTextLookup(nullptr); }

    Languages languages = englishLanguages();
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter scope{prompter};
    ColumnLayout layout = editedLayout();
    ColumnLayoutEditor editor{layout, languages};
};

TEST_F(ChangeHeaderTest, FirstColumnCannotBeHidden) {
    EXPECT_FALSE(editor.SetVisible(0, false));
    EXPECT_TRUE(editor.IsVisible(0));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0], "The first column cannot be hidden.");

    EXPECT_TRUE(editor.SetVisible(1, false));
    EXPECT_FALSE(layout.ColumnAt(1).Visible);
    EXPECT_EQ(prompter.messages().size(), 1u);
}

// Reordering must not sneak a hidden column into the first place either.
TEST_F(ChangeHeaderTest, MovesKeepAVisibleFirstColumn) {
    ASSERT_FALSE(editor.IsVisible(2));
    EXPECT_TRUE(editor.MoveUp(2)); // hidden R to the second place
    EXPECT_EQ(layout.ColumnAt(1).ID, 5);
    EXPECT_FALSE(editor.MoveUp(1));
    EXPECT_FALSE(editor.MoveDown(0));
    EXPECT_EQ(prompter.messages().size(), 2u);
    EXPECT_EQ(layout.ColumnAt(0).ID, 0);

    EXPECT_TRUE(editor.MoveDown(2));
    EXPECT_EQ(layout.ColumnAt(3).ID, 4);
    EXPECT_FALSE(editor.MoveDown(3));
    EXPECT_FALSE(editor.MoveUp(0));
    EXPECT_EQ(editor.EntryText(1), "R [m²K/W]");
}

struct ApplyCase {
    const char* what;
    int position;
    ColumnSettings (*edit)(ColumnSettings);
    bool accepted;
    ColumnSettingsError::Field field;
};

TEST_F(ChangeHeaderTest, ChecksTypedValuesBeforeApplyingAny) {
    using F = ColumnSettingsError::Field;
    const ApplyCase cases[] = {
        {"width not a number", 1,
         [](ColumnSettings s) {
             s.Width = "wide";
             s.Precision = "7";
             return s;
         },
         false, F::Width},
        {"precision 0", 1,
         [](ColumnSettings s) {
             s.Width = "80";
             s.Precision = "0";
             return s;
         },
         false, F::Precision},
        {"precision fraction", 1,
         [](ColumnSettings s) {
             s.Precision = "4.5";
             return s;
         },
         false, F::Precision},
        {"digits beyond 18", 1,
         [](ColumnSettings s) {
             s.Digits = "19";
             return s;
         },
         false, F::Digits},
        {"multiplier 0", 1,
         [](ColumnSettings s) {
             s.OwnCaptions = true;
             s.Multiplier = "0";
             return s;
         },
         false, F::Multiplier},
        {"multiplier text", 1,
         [](ColumnSettings s) {
             s.OwnCaptions = true;
             s.Multiplier = "kilo";
             return s;
         },
         false, F::Multiplier},
        // The multiplier is not read while own captions are off.
        {"unused multiplier", 1,
         [](ColumnSettings s) {
             s.Multiplier = "kilo";
             return s;
         },
         true, F::Width},
        // A text column has no number format: its boxes are not read.
        {"text column", 0,
         [](ColumnSettings s) {
             s.Precision = "x";
             return s;
         },
         true, F::Width},
    };
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ColumnLayout before = layout;
        const std::optional<ColumnSettingsError> error =
            editor.Apply(c.position, c.edit(editor.Settings(c.position)));
        if (c.accepted) {
            EXPECT_FALSE(error);
            continue;
        }
        ASSERT_TRUE(error);
        EXPECT_EQ(error->field, c.field);
        EXPECT_EQ(error->text, "Wrong value.");
        EXPECT_EQ(layout.Columns, before.Columns);
    }
}

TEST_F(ChangeHeaderTest, AppliesTheSettingsOfAColumn) {
    ColumnSettings settings = editor.Settings(1);
    EXPECT_EQ(settings.Width, "60");
    EXPECT_EQ(settings.OwnCaption1, "Q\\;\\p heating load"); // own captions start from these
    settings.Width = "1";
    settings.ShowZero = true;
    settings.RealFormat = RealNumberFormat::Fixed;
    settings.Precision = "9";
    settings.Digits = "1";
    settings.OwnCaptions = true;
    settings.OwnCaption1 = "Q\tpasted";
    settings.OwnCaption2 = "[kW]";
    settings.Multiplier = "0,001";
    ASSERT_FALSE(editor.Apply(1, settings));

    const ColumnFormat& column = layout.ColumnAt(1);
    EXPECT_EQ(column.Width, 3);
    EXPECT_EQ(column.OwnCaption1, "Q pasted");
    EXPECT_EQ(column.FormatReal(2500), "2.5");
    EXPECT_EQ(column.FormatReal(0), "0.0");
    EXPECT_EQ(editor.EntryText(1), "Q pasted [kW]");
}

TEST_F(ChangeHeaderTest, ConfirmSavesANamedLayout) {
    ColumnSettings settings = editor.Settings(3);
    settings.Width = "55";
    ASSERT_FALSE(editor.Apply(3, settings));
    EXPECT_TRUE(editor.Changed());
    platform::MemorySettingsStore store;
    editor.Confirm(store);
    EXPECT_EQ(store.readText("Headers/EditedTitle", "7"), "55cci");

    ColumnLayout unnamed = editedLayout();
    unnamed.Name.clear();
    ColumnLayoutEditor other(unnamed, languages);
    platform::MemorySettingsStore untouched;
    other.Confirm(untouched);
    EXPECT_FALSE(untouched.keyExists("Headers"));
}

TEST_F(ChangeHeaderTest, CancelRestoresTheLayout) {
    const ColumnLayout before = layout;
    editor.SetVisible(3, false);
    editor.MoveUp(1);
    ColumnSettings settings = editor.Settings(2);
    settings.Width = "200";
    settings.OwnCaptions = true;
    ASSERT_FALSE(editor.Apply(2, settings));
    ASSERT_TRUE(editor.Changed());
    editor.Cancel();
    EXPECT_FALSE(editor.Changed());
    EXPECT_EQ(layout.Columns, before.Columns);
    EXPECT_EQ(layout.Order, before.Order);
}

} // namespace
} // namespace kalydor
