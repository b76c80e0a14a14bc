// The one field helper of the editors: what a typed text does to the value in use, what
// the field shows afterwards and what the user is told.

#include "base/numberfield.h"

#include "support/fakelanguage.h"

#include <gtest/gtest.h>

#include <vector>

namespace kalydor {
namespace {

using Kind = NumberField::Outcome::Kind;

const FieldRule kRelativeHumidity = FieldRule::of(NumberRule::Positive).below(100);

struct Step {
    enum class Action { Leave, Escape } action;
    const char* typed;
    Kind kind;
    const char* shown; // what the field shows afterwards
    double valueInUse; // the value the results use afterwards
    bool message;      // a message names the field and its rule
};

struct FieldCase {
    const char* what;
    FieldRule rule;
    double start;
    std::vector<Step> steps;
};

constexpr auto Leave = Step::Action::Leave;
constexpr auto Escape = Step::Action::Escape;

TEST(NumberField, TableOfTypedTexts) {
    const test::FakeLanguage language{{"IDS_FIELDRULE", "%s: se acceptă %s"},
                                      {"IDS_DECIMALSEPARATOR", ","}};
    const FieldCase cases[] = {
        {"a unit typed after the number",
         FieldRule::of(NumberRule::NotNegative),
         10,
         {{Leave, "25 cm", Kind::Taken, "25", 25, false}}},
        {"the leading number is what is stored",
         FieldRule::of(NumberRule::Any),
         0,
         {{Leave, "-25abc", Kind::Taken, "-25", -25, false}}},
        {"a decimal comma and rubbish after it",
         FieldRule::of(NumberRule::Any),
         0,
         {{Leave, "1,x", Kind::Taken, "1", 1, false}}},
        {"a decimal comma shown as the language writes it",
         FieldRule::of(NumberRule::Any),
         0,
         {{Leave, "2.5", Kind::Taken, "2,5", 2.5, false}}},
        {"blanks before the number",
         FieldRule::of(NumberRule::Any),
         0,
         {{Leave, "  7", Kind::Taken, "7", 7, false}}},
        {"the text of the value in use",
         FieldRule::of(NumberRule::Any),
         60,
         {{Leave, "60", Kind::Unchanged, "60", 60, false}}},
        {"100 % humidity refused, then put back on the second leave",
         kRelativeHumidity,
         60,
         {{Leave, "100", Kind::Refused, "100", 60, true},
          {Leave, "100", Kind::Restored, "60", 60, false}}},
        {"a word where a humidity belongs",
         kRelativeHumidity,
         60,
         {{Leave, "abc", Kind::Refused, "abc", 60, true},
          {Escape, "abc", Kind::Restored, "60", 60, false}}},
        {"a refused value corrected",
         kRelativeHumidity,
         60,
         {{Leave, "0", Kind::Refused, "0", 60, true}, {Leave, "55", Kind::Taken, "55", 55, false}}},
        {"Escape on a typed but not yet left text",
         kRelativeHumidity,
         60,
         {{Escape, "70", Kind::Restored, "60", 60, false}}},
        {"Escape with nothing typed",
         kRelativeHumidity,
         60,
         {{Escape, "60", Kind::Unchanged, "60", 60, false}}},
        {"a layer of no thickness",
         FieldRule::of(NumberRule::Positive),
         2,
         {{Leave, "0", Kind::Refused, "0", 2, true}}},
        {"a catalogue material without thickness becoming a layer",
         FieldRule::of(NumberRule::Positive),
         0,
         {{Leave, "0", Kind::Refused, "0", 0, true}, {Leave, "3 cm", Kind::Taken, "3", 3, false}}},
        {"a margin must be whole",
         FieldRule::wholeBetween(0, 1000),
         20,
         {{Leave, "12,5", Kind::Refused, "12,5", 20, true},
          {Leave, "15 mm", Kind::Taken, "15", 15, false}}},
        {"a direction drops its fraction",
         [] {
             FieldRule r = FieldRule::wholeBetween(-32768, 32767);
             r.whole = FieldRule::Whole::FractionDropped;
             return r;
         }(),
         0,
         {{Leave, "45,7", Kind::Taken, "45", 45, false}}},
        {"a ground-water level below ground",
         FieldRule::of(NumberRule::Negative),
         -6,
         {{Leave, "0", Kind::Refused, "0", -6, true},
          {Leave, "-0,5", Kind::Taken, "-0,5", -0.5, false}}},
        {"a number too large for the record",
         FieldRule::of(NumberRule::Any),
         1,
         {{Leave, "1e39", Kind::Refused, "1e39", 1, true}}},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.what);
        NumberField field("Umiditatea relativă interioară φi", c.rule, "φi", "%");
        field.show(c.start);
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.typed);
            const NumberField::Outcome outcome =
                step.action == Leave ? field.leave(step.typed) : field.escape(step.typed);
            EXPECT_EQ(outcome.kind, step.kind);
            EXPECT_EQ(outcome.text, step.shown);
            EXPECT_DOUBLE_EQ(field.value(), step.valueInUse);
            EXPECT_EQ(field.refused(), step.kind == Kind::Refused);
            if (step.message)
                EXPECT_EQ(
                    outcome.message.rfind("Umiditatea relativă interioară φi: se acceptă ", 0), 0u)
                    << outcome.message;
            else
                EXPECT_TRUE(outcome.message.empty()) << outcome.message;
        }
    }
}

// The message says what the field allows, in the words and numbers of the language.
TEST(NumberField, MessageNamesTheFieldAndItsRule) {
    const test::FakeLanguage language{{"IDS_FIELDRULE", "%s: se acceptă %s"},
                                      {"IDS_FIELDVALUE", "valoare"},
                                      {"IDS_FIELDANYNUMBER", "un număr"},
                                      {"IDS_FIELDWHOLENUMBER", "număr întreg"},
                                      {"IDS_DECIMALSEPARATOR", ","}};
    const struct {
        FieldRule rule;
        const char* symbol;
        const char* unit;
        const char* message;
    } cases[] = {
        {kRelativeHumidity, "φi", "%", "f: se acceptă 0 < φi < 100 %"},
        {FieldRule::of(NumberRule::NotNegative), "x", "m", "f: se acceptă x ≥ 0 m"},
        {FieldRule::of(NumberRule::NotPositive), "", "m", "f: se acceptă valoare ≤ 0 m"},
        {FieldRule::of(NumberRule::Positive).atMost(2.5), "", "-",
         "f: se acceptă 0 < valoare ≤ 2,5"},
        {FieldRule::of(NumberRule::Any), "θe", "°C", "f: se acceptă un număr (°C)"},
        {FieldRule::wholeBetween(0, 1000), "", "mm",
         "f: se acceptă 0 ≤ valoare ≤ 1000 mm, număr întreg"},
    };
    for (const auto& c : cases) {
        NumberField field("f", c.rule, c.symbol, c.unit);
        EXPECT_EQ(field.message(), c.message);
    }
}

} // namespace
} // namespace kalydor
