#include "reports/captionmarkup.h"
#include "reports/columnlayout.h"

#include "language/languages.h"
#include "platform/memorysettingsstore.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace kalydor {
namespace {

std::int16_t code(int id, int row) {
    return static_cast<std::int16_t>(id + 256 * (row - 1));
}

// Languages with one interface language that carries the given list titles.
Languages languagesWith(std::vector<LanguageTitle> titles) {
    Language language;
    language.id = "Test";
    language.userInterface = true;
    language.titles = std::move(titles);
    Languages languages;
    languages.addLanguage(std::move(language));
    languages.SelectInterfaceLanguage("Test");
    return languages;
}

// Two columns share id 5, as a layout may show one value twice.
const char* const kLayout = "2\r\n3\r\n"
                            "100\r\nsll0\r\nName\r\n\r\n"
                            "50\r\ngcr5\r\nQ\r\n[W]\r\n"
                            "50\r\n.1fcr5\r\nQ again\r\n[W]\r\n";

TEST(TranslateListTitles, ReplacesCaptionLinesByIdAndRow) {
    const Languages languages = languagesWith({
        {"Other", {code(0, 1)}, {"wrong title"}},
        {"Layout",
         {code(5, 2), code(5, 3), code(0, 1), code(9, 1), code(5, 129)},
         {"[kW]", "third line", "Denumire", "no such column", "negative row"}},
        {"Layout", {code(0, 1)}, {"second title of the same name"}},
    });
    ColumnLayout layout;
    layout.LoadFromText(kLayout);
    TranslateListTitles(languages, layout, "Layout");
    EXPECT_EQ(layout.Columns[0].Captions, (std::vector<std::string>{"Denumire", ""}));
    EXPECT_EQ(layout.Columns[1].Captions, (std::vector<std::string>{"Q", "[kW]"}));
    EXPECT_EQ(layout.Columns[2].Captions, (std::vector<std::string>{"Q again", "[kW]"}));
}

TEST(TranslateListTitles, NamesMatchExactlyAndNeedALanguage) {
    const Languages languages = languagesWith({{"Layout", {code(0, 1)}, {"Denumire"}}});
    ColumnLayout layout;
    layout.LoadFromText(kLayout);
    TranslateListTitles(languages, layout, "layout");
    EXPECT_EQ(layout.Columns[0].Captions[0], "Name");

    Languages none;
    TranslateListTitles(none, layout, "Layout");
    EXPECT_EQ(layout.Columns[0].Captions[0], "Name");
}

// Every built-in layout with the column ids its items answer, in this order.
const std::map<std::string, std::vector<int>> kShippedLayouts = {
    {"MaterialItemsTitle", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    {"PanelLayersTitle",
     {0, 26, 1, 2, 3, 4, 5, 10, 6, 7, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}},
    {"PanelItemsTitle", {0, 1, 2, 3, 32, 31, 5, 6, 9, 7, 8, 27, 25, 26, 28, 29, 30}},
    {"UsedMaterialsTableTitle", {0, 1, 2}},
    {"RoomItemsTitle", {0, 1, 15, 2, 10, 3, 4, 16, 21, 8, 19, 12, 5}},
    {"RoomBoundarisTitle",
     {0, 1, 19, 2, 3, 4, 5, 32, 9, 11, 10, 16, 18, 7, 21, 25, 26, 27, 28, 29, 30}},
    {"BuildingRoomsTitle", {0, 1, 15, 2, 10, 3, 4, 16, 8}},
    {"BuildingEnergeticTitle", {0, 9, 11, 32, 4}},
    {"RadiatorsReportTitle", {0, 1, 2, 3, 4, 5, 6, 8, 9, 10}},
    {"RoomRadiatorsTitle", {0, 1, 2, 3, 4, 5, 6, 8, 9, 10}},
    {"RoomPanelChangeTitle", {40, 0, 32, 2, 3, 9}},
};

TEST(ShippedLayouts, LoadWithTheItemsColumnIds) {
    for (const auto& [name, ids] : kShippedLayouts) {
        SCOPED_TRACE(name);
        ColumnLayout layout;
        layout.Load(name);
        EXPECT_EQ(layout.TitleLineCount, 2);
        std::vector<int> loaded;
        for (const ColumnFormat& column : layout.Columns) {
            loaded.push_back(column.ID);
            EXPECT_GE(column.Width, 20) << column.ID;
            EXPECT_FALSE(column.Captions[0].empty()) << column.ID;
            // Every caption reads as text: no markup code is left over.
            EXPECT_EQ(PlainCaption(column.Captions[0], false).find('\\'), std::string::npos);
            EXPECT_EQ(PlainCaption(column.Captions[1], false).find('\\'), std::string::npos);
        }
        EXPECT_EQ(loaded, ids);
        EXPECT_EQ(std::set<int>(loaded.begin(), loaded.end()).size(), loaded.size());
        EXPECT_TRUE(layout.ColumnAt(0).Visible);
        EXPECT_EQ(layout.ColumnAt(0).ValueType, ColumnType::Text);
    }
}

// Values an engineer meets in these lists (temperatures, thicknesses, resistances, densities,
// vapour factors) never turn into scientific notation; heat flows reach whole buildings.
TEST(ShippedLayouts, RealisticValuesNeverShowScientificNotation) {
    const double everyday[] = {0, 0.035, -15, 0.5, 1, 2.345, 20.5, 999, 7850, 12345};
    const double buildingTotals[] = {123456, 1234567};
    for (const auto& [name, ids] : kShippedLayouts) {
        ColumnLayout layout;
        layout.Load(name);
        for (const ColumnFormat& column : layout.Columns) {
            if (column.ValueType == ColumnType::Text)
                continue;
            SCOPED_TRACE(name + " column " + std::to_string(column.ID));
            for (const double value : everyday)
                EXPECT_EQ(column.FormatNumber(value).find('E'), std::string::npos) << value;
            if (column.Captions[1] == "[W]") {
                EXPECT_EQ(column.FormatNumber(123456), "123456");
                for (const double value : buildingTotals)
                    EXPECT_EQ(column.FormatNumber(value).find('E'), std::string::npos);
                // A user's multiplier of 0.001 turns watts into kilowatts.
                ColumnFormat kilowatts = column;
                kilowatts.OwnCaptions = true;
                kilowatts.Multiplier = 0.001;
                EXPECT_EQ(kilowatts.FormatNumber(2500), "2.5");
            }
        }
    }
}

TEST(ShippedLayouts, LoadedForAListWithTranslationAndUserSettings) {
    const Languages languages =
        languagesWith({{"MaterialItemsTitle", {code(2, 1)}, {"\\fl\\;\\p conductivitate"}}});
    platform::MemorySettingsStore store;
    store.writeText("Headers/MaterialTableReport", "Order", "7,0");
    store.writeText("Headers/MaterialTableReport", "7", "80rrg");

    const ColumnLayout layout =
        loadColumnLayout("materialitemstitle", languages, &store, "MaterialTableReport");
    EXPECT_EQ(layout.Name, "MaterialTableReport");
    EXPECT_EQ(layout.ColumnAt(0).ID, 7);
    EXPECT_EQ(layout.ColumnAt(0).Width, 80);
    EXPECT_TRUE(layout.ColumnAt(0).ShowZero);
    EXPECT_EQ(layout.ColumnAt(1).ID, 0);
    ASSERT_NE(layout.FindColumn(2), nullptr);
    // The translation is looked up by the name as given; the built-in caption stays.
    EXPECT_EQ(layout.FindColumn(2)->Captions[0], "\\fl\\;\\p thermal conductivity");

    const ColumnLayout exact = loadColumnLayout("MaterialItemsTitle", languages, nullptr);
    EXPECT_EQ(exact.FindColumn(2)->Captions[0], "\\fl\\;\\p conductivitate");
    EXPECT_EQ(exact.Name, "MaterialItemsTitle");
    // Stored settings are the user's: the list keeps their widths instead of fitting its own.
    EXPECT_TRUE(layout.UserSettings);
    EXPECT_FALSE(exact.UserSettings);
}

// A list shows its numbers with the decimal separator of its language: aluminium's λ of 160
// reads "160,000" in Romanian, never "160.000", which a Romanian reads as 160 thousand.
TEST(ShippedLayouts, NumbersTakeTheDecimalSeparatorOfTheLanguage) {
    Language romanian;
    romanian.id = "Român";
    romanian.userInterface = true;
    romanian.strings = {{"IDS_DECIMALSEPARATOR", ","}};
    Language english;
    english.id = "English";
    english.userInterface = true;
    english.strings = {{"IDS_DECIMALSEPARATOR", "."}};
    Languages languages;
    languages.addLanguage(std::move(romanian));
    languages.addLanguage(std::move(english));
    const struct {
        const char* language;
        const char* lambda;
        const char* mu;
    } cases[] = {{"Român", "160,000", "100000,0"},
                 {"English", "160.000", "100000.0"},
                 {"", "160.000", "100000.0"}};
    for (const auto& c : cases) {
        languages.SelectInterfaceLanguage(c.language);
        ColumnLayout layout = loadColumnLayout("MaterialItemsTitle", languages, nullptr);
        ColumnFormat lambda = *layout.FindColumn(2);
        lambda.RealFormat = RealNumberFormat::Fixed;
        lambda.Digits = 3;
        EXPECT_EQ(lambda.FormatReal(160, layout.DecimalSeparator), c.lambda) << c.language;
        EXPECT_EQ(layout.formatReal(10, 100000), c.mu) << c.language;
    }
}

} // namespace
} // namespace kalydor
