// The glazing coefficient table: entries read from the language texts, fields taken from
// the end, and what a damaged entry gives.

#include "constructions/glazingtable.h"
#include "support/fakelanguage.h"
#include "support/shippedlanguages.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kalydor {
namespace {

struct EntryCase {
    const char* text;
    const char* name;
    double day;
    std::array<double, 4> night;
};

TEST(GlazingTable, FieldsAreTakenFromTheEnd) {
    const EntryCase cases[] = {
        {"Geam dublu;2.9;2.1;1.9;1.6;1.2", "Geam dublu", 2.9, {2.1, 1.9, 1.6, 1.2}},
        // The name keeps its own semicolons.
        {"Geam; dublu; cu aer;2.8;2.19;1.83;1.55;1.41",
         "Geam; dublu; cu aer",
         2.8,
         {2.19, 1.83, 1.55, 1.41}},
        // Decimal commas, blanks around the numbers, an empty field is 0.
        {"Fereastră;5,00; 3.33 ;;2.04;1.82", "Fereastră", 5, {3.33, 0, 2.04, 1.82}},
        {";1;2;3;4;5", "", 1, {2, 3, 4, 5}},
        {"Exponent;1e0;0.5E1;+2;3;4", "Exponent", 1, {5, 2, 3, 4}},
    };
    for (const EntryCase& c : cases) {
        const GlazingEntry entry = parseGlazingEntry(c.text);
        EXPECT_TRUE(entry.valid) << c.text;
        EXPECT_EQ(entry.name, c.name) << c.text;
        EXPECT_DOUBLE_EQ(entry.day, c.day) << c.text;
        for (std::size_t m = 0; m < 4; ++m)
            EXPECT_DOUBLE_EQ(entry.night[m], c.night[m]) << c.text << " mode " << m;
    }
}

TEST(GlazingTable, AFieldThatIsNoCoefficientMarksTheEntry) {
    // Each bad field is NaN, never a silent 0; the other fields keep their values.
    const struct {
        const char* text;
        int badField; // 0 day, 1..4 night of mode 0..3; -1 all (too few fields)
    } cases[] = {
        {"Geam;2,9;x;1.9;1.6;1.2", 1},     {"Geam;2.9;2.1;1.9;1.6;1.2 W", 4},
        {"Geam;-2.9;2.1;1.9;1.6;1.2", 0},  {"Geam;2.9;2.1;1.9;inf;1.2", 3},
        {"Geam;2.9;2.1;1.9;1.6", -1},      {"Geam simplu", -1},
        {"Geam;2.9;2.1;1.9;+-1.6;1.2", 3},
    };
    for (const auto& c : cases) {
        const GlazingEntry entry = parseGlazingEntry(c.text);
        EXPECT_FALSE(entry.valid) << c.text;
        EXPECT_EQ(std::isnan(entry.day), c.badField <= 0) << c.text;
        for (int m = 0; m < 4; ++m)
            EXPECT_EQ(std::isnan(entry.night[m]), c.badField == -1 || c.badField == m + 1)
                << c.text << " mode " << m;
        if (c.badField == -1)
            EXPECT_EQ(entry.name, c.text);
        else
            EXPECT_EQ(entry.name, "Geam");
    }
    const GlazingTable table({parseGlazingEntry("Geam;2,9;x;1.9;1.6;1.2")});
    EXPECT_FALSE(table.coefficients(0, 2).has_value());
}

TEST(GlazingTable, EntriesComeFromTheLanguageUpToTheFirstEmptyText) {
    {
        const test::FakeLanguage language{
            {"IDS_KUTYPES+0", "Geam simplu;5.00;3.33;2.56;2.04;1.82"},
            {"IDS_KUTYPES+1", "Geam; dublu;2.9;2.1;1.9;1.6;1.2"},
            {"IDS_KUTYPES+3", "după golul de la 2: nu se citește;1;1;1;1;1"},
        };
        const GlazingTable table = GlazingTable::fromLanguage(textLookup());
        ASSERT_EQ(table.entries().size(), 2u);
        EXPECT_EQ(table.entries()[1].name, "Geam; dublu");
        const auto chosen = table.coefficients(1, 2);
        ASSERT_TRUE(chosen.has_value());
        EXPECT_DOUBLE_EQ(chosen->day, 2.9);
        EXPECT_DOUBLE_EQ(chosen->night, 1.6);
        EXPECT_DOUBLE_EQ(table.coefficients(0, 3)->night, 1.82);
        EXPECT_FALSE(table.coefficients(2, 0).has_value());
        EXPECT_FALSE(table.coefficients(0, 4).has_value());
        EXPECT_FALSE(table.coefficients(-1, 0).has_value());
    }
    const test::FakeLanguage noTable{{"IDS_KUTYPES+1", "Geam;1;1;1;1;1"}};
    EXPECT_TRUE(GlazingTable::fromLanguage(textLookup()).entries().empty());
}

TEST(GlazingTable, TheShippedTablesAreComplete) {
    // Every shipped language offers a table whose entries all read as coefficients.
    Languages& shipped = test::shippedLanguages();
    std::vector<std::string> ids;
    shipped.ListLanguages(ids, false);
    ASSERT_FALSE(ids.empty());
    for (const std::string& id : ids) {
        shipped.SelectPrintingLanguage(id);
        shipped.UsePrintingLanguage = true;
        const GlazingTable table = GlazingTable::fromLanguage(shipped);
        shipped.UsePrintingLanguage = false;
        ASSERT_FALSE(table.entries().empty()) << id;
        for (const GlazingEntry& entry : table.entries()) {
            EXPECT_TRUE(entry.valid) << id << ": " << entry.name;
            EXPECT_FALSE(entry.name.empty()) << id;
            // Night shading never lets more heat through than the bare glazing by day.
            for (const double night : entry.night)
                EXPECT_LE(night, entry.day) << id << ": " << entry.name;
        }
    }
}

} // namespace
} // namespace kalydor
