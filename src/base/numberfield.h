#pragma once

#include "base/parsenumber.h"

#include <optional>
#include <string>
#include <string_view>

namespace kalydor {

/// One end of the range a typed number may take.
struct NumberLimit {
    double value = 0;
    bool inclusive = false;
};

/// What a typed number field allows: an optional lower and upper limit and, for counts and
/// sizes in whole units, whole numbers only (or the fraction dropped, as for a direction in
/// degrees).
struct FieldRule {
    std::optional<NumberLimit> low;
    std::optional<NumberLimit> high;
    enum class Whole { No, Required, FractionDropped } whole = Whole::No;

    /// The rule of a sign rule of `ParseNumber` ("greater than 0" is a lower limit 0, not
    /// inclusive).
    static FieldRule of(NumberRule rule);
    /// Whole numbers within [low, high].
    static FieldRule wholeBetween(double low, double high);

    /// The same rule with an upper limit added.
    FieldRule below(double limit) const;
    FieldRule atMost(double limit) const;

    bool allows(double value) const;
    /// The rule as the user reads it: "0 < φi < 100 %", "x ≥ 0 m", "value ≤ 0 m", "a number";
    /// `symbol` names the value (the language's word for "value" when empty), the unit goes
    /// at the end, numbers with the language's decimal separator.
    std::string describe(const std::string& symbol, const std::string& unit) const;
};

/// The logic of one typed number field of an editor, shared by every editor of the program:
/// the field always shows the value in use.
///
/// Leaving the field reads the leading number of the text (`ParseNumber`, so that a unit may
/// be typed after it: "25 cm" is 25). A number the rule allows is taken and the field shows
/// it as taken ("-25abc" shows "-25"). Anything else is refused with a message naming the
/// field and what it allows; the field stays marked and keeps the focus. Leaving a refused
/// field again, or Escape, puts the value in use back.
class NumberField {
public:
    /// `name` is what the message calls the field (its caption), `symbol` and `unit` are
    /// used in the rule's text.
    NumberField(std::string name, FieldRule rule, std::string symbol = {}, std::string unit = {},
                int precision = 7);

    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }
    const FieldRule& rule() const { return m_rule; }

    /// Sets the value in use (from the item being edited); the field shows its text.
    void show(double value);
    /// The same with the text that shows it, when the item has its own (the shortest text
    /// that gives a stored single-precision value back exactly).
    void show(double value, std::string text);
    double value() const { return m_value; }
    /// The text of the value in use.
    const std::string& text() const { return m_text; }
    /// True while the field holds a refused text.
    bool refused() const { return m_refused; }

    /// What leaving the field did.
    struct Outcome {
        enum class Kind {
            Unchanged, ///< the text reads as the value in use; nothing to do
            Taken,     ///< a new value is in use
            Refused,   ///< the text stays, marked, with the message; the focus goes back
            Restored,  ///< a refused text was replaced by the value in use
        } kind = Kind::Unchanged;
        /// The text the field is to show (the refused text itself when refused).
        std::string text;
        std::string message; ///< for Refused
    };
    /// The user leaves the field with this text.
    Outcome leave(std::string_view typed);
    /// Escape in the field: the value in use comes back. Unchanged when the field already
    /// shows it.
    Outcome escape(std::string_view typed);
    /// Forgets that the field's text was refused: the next leave judges its text afresh
    /// (OK judges every field so, whatever happened before).
    void forgetRefusal() { m_refused = false; }
    /// Whether a text differs from what the field shows for the value in use.
    bool isEdited(std::string_view typed) const { return typed != m_text; }

    /// The message of a refused value: the field's name and what it allows.
    std::string message() const;

private:
    std::string format(double value) const;

    std::string m_name;
    FieldRule m_rule;
    std::string m_symbol;
    std::string m_unit;
    int m_precision;
    double m_value = 0;
    std::string m_text = "0";
    bool m_refused = false;
};

} // namespace kalydor
