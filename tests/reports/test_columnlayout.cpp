#include "reports/captionmarkup.h"
#include "reports/columnlayout.h"

#include "base/error.h"
#include "platform/memorysettingsstore.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kalydor {
namespace {

// A layout of one column with two caption lines, in the built-in text form.
std::string oneColumn(const std::string& width, const std::string& format) {
    return "2\r\n1\r\n" + width + "\r\n" + format + "\r\nCaption\r\n[unit]\r\n";
}

// Four columns with ids 0, 1, 5 and 7: name, a general real, a fixed real, an integer.
const char* const kFourColumns = "2\r\n4\r\n"
                                 "120\r\nsll0\r\nName\r\n\r\n"
                                 "50\r\ngcr1\r\nd\r\n[cm]\r\n"
                                 "-60\r\n.2Fcr5\r\nR\r\n[m\\u2\\pK/W]\r\n"
                                 "40\r\nicc7\r\nNo.\r\n\r\n";

ColumnLayout fourColumns(const std::string& name = "TestTitle") {
    ColumnLayout layout;
    layout.LoadFromText(kFourColumns, name);
    layout.Name = name;
    return layout;
}

struct FormatLineCase {
    const char* line;
    bool kept;
    ColumnType type;
    int precision;
    int digits;
    bool showZero;
    RealNumberFormat realFormat;
    ColumnAlignment caption;
    ColumnAlignment data;
    int id;
};

TEST(ListHeaderFormat, ReadsFormatLines) {
    using A = ColumnAlignment;
    using T = ColumnType;
    using R = RealNumberFormat;
    const FormatLineCase cases[] = {
        {"sll0", true, T::Text, 5, 3, true, R::General, A::Left, A::Left, 0},
        {"gcr1", true, T::Real, 5, 3, true, R::General, A::Center, A::Right, 1},
        {".2Fcr32", true, T::Real, 5, 2, false, R::Fixed, A::Center, A::Right, 32},
        {"[128].3Fcr31", true, T::Real, 5, 3, false, R::Fixed, A::Center, A::Right, 31},
        {"icc26", true, T::Integer, 5, 3, true, R::General, A::Center, A::Center, 26},
        {"Icr8", true, T::Integer, 5, 3, false, R::General, A::Center, A::Right, 8},
        {"12.4Erl300", true, T::Real, 12, 4, false, R::Scientific, A::Right, A::Left, 300},
        {"xxl4", true, T::Text, 5, 3, true, R::General, A::Left, A::Left, 4},
        // Bit 64 is one of this edition's bits: a column for editions without it is dropped.
        {"[!64]gcr9", false, T::Real, 5, 3, true, R::General, A::Center, A::Right, 9},
        {"[!1]gcr9", true, T::Real, 5, 3, true, R::General, A::Center, A::Right, 9},
        {"[1]gcr9", false, T::Real, 5, 3, true, R::General, A::Center, A::Right, 9},
    };
    for (const FormatLineCase& c : cases) {
        SCOPED_TRACE(c.line);
        ColumnLayout layout;
        layout.LoadFromText(oneColumn("50", c.line));
        ASSERT_EQ(layout.ColumnCount(), c.kept ? 1 : 0);
        if (!c.kept)
            continue;
        const ColumnFormat& column = layout.ColumnAt(0);
        EXPECT_EQ(column.ValueType, c.type);
        if (c.type == T::Real) {
            EXPECT_EQ(column.Precision, c.precision);
            EXPECT_EQ(column.Digits, c.digits);
            EXPECT_EQ(column.RealFormat, c.realFormat);
        }
        EXPECT_EQ(column.ShowZero, c.showZero);
        EXPECT_EQ(column.CaptionAlignment, c.caption);
        EXPECT_EQ(column.DataAlignment, c.data);
        EXPECT_EQ(column.ID, c.id);
        EXPECT_EQ(column.Captions, (std::vector<std::string>{"Caption", "[unit]"}));
    }
}

TEST(ListHeaderFormat, EditionMaskDecidesWhichColumnsExist) {
    ColumnLayout layout;
    layout.LoadFromText(oneColumn("50", "[128].3Fcr31"), "T", 64);
    EXPECT_EQ(layout.ColumnCount(), 0);
    layout.LoadFromText(oneColumn("50", "[!64]gcr9"), "T", 128);
    EXPECT_EQ(layout.ColumnCount(), 1);
}

TEST(ListHeaderFormat, NegativeWidthIsAHiddenColumn) {
    ColumnLayout layout;
    layout.LoadFromText(oneColumn("-12", "gcr1"));
    ASSERT_EQ(layout.ColumnCount(), 1);
    EXPECT_FALSE(layout.ColumnAt(0).Visible);
    EXPECT_EQ(layout.ColumnAt(0).Width, 12);
}

TEST(ListHeaderFormat, ReadsLineFeedOnlyTextsAlike) {
    std::string unix(kFourColumns);
    for (std::size_t at; (at = unix.find('\r')) != std::string::npos;)
        unix.erase(at, 1);
    ColumnLayout a;
    a.LoadFromText(kFourColumns);
    ColumnLayout b;
    b.LoadFromText(unix);
    EXPECT_EQ(a.Columns, b.Columns);
    EXPECT_EQ(b.ColumnAt(2).Captions[1], "[m\\u2\\pK/W]");
}

TEST(ListHeaderFormat, DamagedLayoutIsRefusedAndLeavesTheLayoutAlone) {
    const char* const damaged[] = {
        "",
        "x\r\n1\r\n",
        "2\r\n",
        "2\r\n1\r\n50\r\ngcr1\r\nonly one caption line\r\n", // truncated
        "2\r\n30000\r\n50\r\ngcr1\r\na\r\nb\r\n",            // count beyond the text
        "2\r\n1\r\nwide\r\ngcr1\r\na\r\nb\r\n",
        "2\r\n1\r\n50\r\n\r\na\r\nb\r\n",
        "2\r\n1\r\n50\r\ng\r\na\r\nb\r\n",       // no alignments, no id
        "2\r\n1\r\n50\r\ngcrx\r\na\r\nb\r\n",    // id not a number
        "2\r\n1\r\n50\r\n[12gcr1\r\na\r\nb\r\n", // mask not closed
        "2\r\n1\r\n50\r\n5.gcr1\r\na\r\nb\r\n",  // point without digits
        "2\r\n1\r\n50\r\n7cr1\r\na\r\nb\r\n",    // no type letter
        "200\r\n0\r\n",
    };
    for (const char* text : damaged) {
        SCOPED_TRACE(text);
        ColumnLayout layout = fourColumns();
        const ColumnLayout before = layout;
        try {
            layout.LoadFromText(text, "TestTitle");
            ADD_FAILURE() << "accepted";
        } catch (const Error& error) {
            EXPECT_EQ(error.key(), "IDS_COLUMNLAYOUTBAD");
        }
        EXPECT_EQ(layout.Columns, before.Columns);
        EXPECT_EQ(layout.Order, before.Order);
    }
}

TEST(ListHeaderFormat, UnknownLayoutNameIsAnError) {
    ColumnLayout layout;
    try {
        layout.Load("NoSuchTitle");
        FAIL() << "loaded";
    } catch (const Error& error) {
        EXPECT_EQ(error.key(), "IDS_COLUMNLAYOUTMISSING");
    }
}

struct RealCase {
    const char* format;
    double value;
    const char* expected;
    char separator = '.';
};

TEST(ListHeaderFormat, FormatsRealCells) {
    const RealCase cases[] = {
        {"gcr1", 0, "0"},
        {"Gcr7", 0, "-"},
        {"Gcr7", 1850, "1850"},
        {"gcr1", 2.345, "2.345"},
        {"gcr1", 123456, "1.2346E005"}, // five significant digits, three exponent digits
        {"9Gcr4", 123456, "123456"},
        {"9Gcr4", 1234567, "1234567"},
        {".2Fcr32", 2.345, "2.35"}, // rounds the decimal value a person typed, not its binary
        {".2Fcr32", 1.005, "1.01"},
        {".2fcr32", 0, "0.00"},
        {".2Fcr32", -0.001, "0.00"},
        {".2Fcr32", -3.14159, "-3.14"},
        {".0Fcr32", 99999.4, "99999"},
        // More digits before the point than the precision: the general form takes over.
        {".0Fcr32", 123456, "1.2346E5"},
        {"9.1fcr14", -15, "-15.0"},
        {"5.3Ecr1", 1234.5, "1.2345E+003"},
        {"5.3Ecr1", 0.00012, "1.2000E-004"},
        {"3.0ecr1", 0, "0.00E+0"},
        {"gcr1", 2.5, "2,5", ','},
        {".2Fcr32", 1234.5, "1234,50", ','},
    };
    for (const RealCase& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + std::to_string(c.value));
        ColumnLayout layout;
        layout.LoadFromText(oneColumn("50", c.format));
        EXPECT_EQ(layout.ColumnAt(0).FormatReal(c.value, c.separator), c.expected);
    }
}

TEST(ListHeaderFormat, MultiplierAppliesWithOwnCaptionsOnly) {
    ColumnLayout layout;
    layout.LoadFromText(oneColumn("50", "9Gcr4"));
    ColumnFormat& column = layout.ColumnAt(0);
    column.Multiplier = 0.001;
    EXPECT_EQ(column.FormatReal(2500), "2500");
    column.OwnCaptions = true;
    EXPECT_EQ(column.FormatReal(2500), "2.5");
    layout.DecimalSeparator = ',';
    EXPECT_EQ(layout.FormatReal(0, 2500), "2,5");
    EXPECT_EQ(column.FormatReal(0), "-");
}

TEST(ListHeaderFormat, FormatsIntegerCells) {
    ColumnLayout layout;
    layout.LoadFromText(oneColumn("50", "icc26"));
    ColumnFormat& column = layout.ColumnAt(0);
    EXPECT_EQ(column.FormatInteger(0), "0");
    EXPECT_EQ(column.FormatInteger(-12), "-12");
    EXPECT_EQ(column.FormatNumber(2.5), "3");
    column.ShowZero = false;
    EXPECT_EQ(column.FormatInteger(0), "-");
    EXPECT_EQ(column.FormatNumber(0.2), "-");
}

TEST(ListHeaderFormat, DisplayPositionsAndVisibleIds) {
    ColumnLayout layout = fourColumns();
    EXPECT_EQ(layout.visibleColumnIds(), (std::vector<int>{0, 1, 7}));
    layout.Swap(1, 3);
    EXPECT_EQ(layout.ColumnAt(1).ID, 7);
    EXPECT_EQ(layout.ColumnAt(3).ID, 1);
    EXPECT_EQ(layout.visibleColumnIds(), (std::vector<int>{0, 7, 1}));
    ASSERT_NE(layout.FindColumn(5), nullptr);
    EXPECT_EQ(layout.FindColumn(5)->Width, 60);
    EXPECT_EQ(layout.FindColumn(6), nullptr);
}

TEST(ListHeaderFormat, SettingsRoundTrip) {
    ColumnLayout layout = fourColumns();
    layout.Swap(0, 2); // order 5, 1, 0, 7
    layout.Swap(1, 3); // order 5, 7, 0, 1
    ColumnFormat& real = layout.Columns[1];
    real.Visible = false;
    real.Width = 71;
    real.RealFormat = RealNumberFormat::Scientific;
    real.Precision = 4;
    real.Digits = 2;
    real.ShowZero = false;
    real.OwnCaptions = true;
    real.OwnCaption1 = "d | \\fl\\p, mm";
    real.OwnCaption2 = "";
    real.Multiplier = 0.001;
    layout.Columns[2].Visible = true;
    layout.Columns[3].CaptionAlignment = ColumnAlignment::Right;

    platform::MemorySettingsStore store;
    layout.SaveSettings(store);
    EXPECT_EQ(store.readText("Headers/TestTitle", "Order"), "5,7,0,1");
    EXPECT_EQ(store.readText("Headers/TestTitle", "1"), "-71cr4.2E\td | \\fl\\p, mm\t\t0.001");
    EXPECT_EQ(store.readText("Headers/TestTitle", "0"), "120lls");
    EXPECT_EQ(store.readText("Headers/TestTitle", "7"), "40rci");

    ColumnLayout reloaded = fourColumns();
    reloaded.LoadSettings(store);
    EXPECT_EQ(reloaded.Order, layout.Order);
    EXPECT_EQ(reloaded.Columns, layout.Columns);
}

TEST(ListHeaderFormat, OrderSkipsMissingIdsAndAppendsUnlistedColumns) {
    platform::MemorySettingsStore store;
    // 99 was a column of an older layout; 1 is listed twice by a hand-edited setting.
    store.writeText("Headers/TestTitle", "Order", "5, 99,x,,1,1");
    ColumnLayout layout = fourColumns();
    layout.LoadSettings(store);
    std::vector<int> ids;
    for (int position = 0; position < layout.ColumnCount(); ++position)
        ids.push_back(layout.ColumnAt(position).ID);
    EXPECT_EQ(ids, (std::vector<int>{5, 1, 0, 7}));
    // The hidden column 5 became the first one shown: the row caption needs it visible.
    EXPECT_TRUE(layout.ColumnAt(0).Visible);
}

TEST(ListHeaderFormat, MalformedStoredColumnValuesAreIgnored) {
    const char* const malformed[] = {
        "",
        "abc",
        "40",
        "40c",
        "99999cr5.3g",
        "40cr5.g",
        "40cr7",
        "40cr5.3g junk",
        "40crg\tonly one caption",
        "40crg\ta\tb",
        "40crg\ta\tb\tzero",
        "40crg\ta\tb\t0",
        "40crg\ta\tb\t-2",
        "40crg\ta\tb\t1x",
        "--40crg",
    };
    for (const char* value : malformed) {
        SCOPED_TRACE(value);
        platform::MemorySettingsStore store;
        store.writeText("Headers/TestTitle", "1", value);
        ColumnLayout layout = fourColumns();
        const ColumnLayout before = layout;
        layout.LoadSettings(store);
        EXPECT_EQ(layout.Columns, before.Columns);
    }
}

TEST(ListHeaderFormat, StoredValuesAreReadLeniently) {
    ColumnFormat column;
    ASSERT_TRUE(ColumnLayout::ApplyColumnSettingsText("1rcG", column));
    EXPECT_EQ(column.Width, 3); // never narrower than a user may make it
    EXPECT_FALSE(column.ShowZero);
    EXPECT_EQ(column.ValueType, ColumnType::Real);
    EXPECT_EQ(column.CaptionAlignment, ColumnAlignment::Right);
    ASSERT_TRUE(ColumnLayout::ApplyColumnSettingsText("55lli\tkW\t\t0,001", column));
    EXPECT_EQ(column.ValueType, ColumnType::Integer);
    EXPECT_TRUE(column.OwnCaptions);
    EXPECT_EQ(column.OwnCaption1, "kW");
    EXPECT_DOUBLE_EQ(column.Multiplier, 0.001);
}

TEST(ListHeaderFormat, WithoutNameOrStoredKeyNothingHappens) {
    platform::MemorySettingsStore store;
    ColumnLayout layout = fourColumns("");
    layout.Columns[1].Width = 99;
    layout.SaveSettings(store);
    EXPECT_TRUE(store.subKeys("Headers").empty());

    ColumnLayout named = fourColumns();
    const ColumnLayout before = named;
    named.LoadSettings(store);
    EXPECT_EQ(named.Columns, before.Columns);
    EXPECT_EQ(named.Order, before.Order);
}

struct CaptionCase {
    const char* caption;
    bool shortForm;
    const char* plain;
};

TEST(ListHeaderFormat, CaptionMarkup) {
    const CaptionCase cases[] = {
        {"\\fl\\;\\p (thermal conductivity)", true, "λ"},
        {"\\fl\\;\\p (thermal conductivity)", false, "λ (thermal conductivity)"},
        {"[m\\u2\\pK/W]", true, "[m²K/W]"},
        // There is no Unicode subscript letter v: letters are written inline.
        {"R\\dv\\;\\p vapour resistance", true, "Rv"},
        {"\\fw\\p\\dk'", false,
         "ω"
         "k'"},
        {"\\fr \\fm \\fd \\fn \\fe \\fj", false, "ρ μ δ ν ε φ"},
        {"a\\\\b", false, "a\\b"},
        {"50\\%", false, "50\\%"},
        {"ends\\", false, "ends\\"},
        {"no markup", true, "no markup"},
    };
    for (const CaptionCase& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(PlainCaption(c.caption, c.shortForm), c.plain);
    }
}

TEST(ListHeaderFormat, CaptionRunsCarryTheFontState) {
    const std::vector<CaptionRun> runs = ParseCaption("m\\u2\\pK \\fD\\p\\dx", false);
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0].text, "m");
    EXPECT_EQ(runs[1].text, "2");
    EXPECT_EQ(runs[1].position, CaptionRun::Position::Superscript);
    EXPECT_EQ(runs[2].text, "K ");
    EXPECT_EQ(runs[2].position, CaptionRun::Position::Normal);
    EXPECT_EQ(runs[3].text, "Δ");
    EXPECT_TRUE(runs[3].symbol);
    EXPECT_EQ(runs[4].text, "x");
    EXPECT_EQ(runs[4].position, CaptionRun::Position::Subscript);
    EXPECT_FALSE(runs[4].symbol);
}

} // namespace
} // namespace kalydor
