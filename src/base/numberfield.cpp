#include "base/numberfield.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "base/textlookup.h"

#include <cmath>

namespace kalydor {
namespace {

// The language's text of a key, or the built-in English one when the language has none.
std::string textOr(std::string_view key, const char* builtIn) {
    std::string text = GetText(key);
    return text.empty() ? std::string(builtIn) : text;
}

} // namespace

FieldRule FieldRule::of(NumberRule rule) {
    FieldRule r;
    switch (rule) {
    case NumberRule::Any:
        break;
    case NumberRule::Positive:
        r.low = NumberLimit{0, false};
        break;
    case NumberRule::NotNegative:
        r.low = NumberLimit{0, true};
        break;
    case NumberRule::Negative:
        r.high = NumberLimit{0, false};
        break;
    case NumberRule::NotPositive:
        r.high = NumberLimit{0, true};
        break;
    }
    return r;
}

FieldRule FieldRule::wholeBetween(double low, double high) {
    FieldRule r;
    r.low = NumberLimit{low, true};
    r.high = NumberLimit{high, true};
    r.whole = Whole::Required;
    return r;
}

FieldRule FieldRule::below(double limit) const {
    FieldRule r = *this;
    r.high = NumberLimit{limit, false};
    return r;
}

FieldRule FieldRule::atMost(double limit) const {
    FieldRule r = *this;
    r.high = NumberLimit{limit, true};
    return r;
}

bool FieldRule::allows(double value) const {
    if (!std::isfinite(value))
        return false;
    if (low && (low->inclusive ? value < low->value : value <= low->value))
        return false;
    if (high && (high->inclusive ? value > high->value : value >= high->value))
        return false;
    return whole != Whole::Required || value == std::trunc(value);
}

std::string FieldRule::describe(const std::string& symbol, const std::string& unit) const {
    std::string text;
    if (!low && !high) {
        text = whole == Whole::Required ? textOr("IDS_FIELDWHOLENUMBER", "a whole number")
                                        : textOr("IDS_FIELDANYNUMBER", "a number");
        return unit.empty() ? text : text + " (" + unit + ")";
    }
    const std::string value = symbol.empty() ? textOr("IDS_FIELDVALUE", "value") : symbol;
    const auto number = [](double v) { return displayNumber(v, 7); };
    if (low && high) {
        text = number(low->value) + (low->inclusive ? " ≤ " : " < ") + value +
               (high->inclusive ? " ≤ " : " < ") + number(high->value);
    } else if (low) {
        text = value + (low->inclusive ? " ≥ " : " > ") + number(low->value);
    } else {
        text = value + (high->inclusive ? " ≤ " : " < ") + number(high->value);
    }
    if (!unit.empty() && unit != "-")
        text += " " + unit;
    if (whole == Whole::Required)
        text += ", " + textOr("IDS_FIELDWHOLENUMBER", "a whole number");
    return text;
}

NumberField::NumberField(std::string name, FieldRule rule, std::string symbol, std::string unit,
                         int precision)
    : m_name(std::move(name))
    , m_rule(std::move(rule))
    , m_symbol(std::move(symbol))
    , m_unit(std::move(unit))
    , m_precision(precision) {
    show(0);
}

std::string NumberField::format(double value) const {
    return displayNumber(value, m_precision);
}

void NumberField::show(double value) {
    show(value, format(value));
}

void NumberField::show(double value, std::string text) {
    m_value = value;
    m_text = std::move(text);
    m_refused = false;
}

std::string NumberField::message() const {
    return formatText(textOr("IDS_FIELDRULE", "%s: allowed is %s"),
                      {m_name, m_rule.describe(m_symbol, m_unit)});
}

NumberField::Outcome NumberField::leave(std::string_view typed) {
    // The value in use itself may be one the field does not allow (a catalogue material
    // without a thickness becoming a layer): it is judged like a typed one.
    if (!isEdited(typed) && m_rule.allows(m_value)) {
        m_refused = false;
        return {Outcome::Kind::Unchanged, m_text, {}};
    }
    // Blanks around the number are a typing habit, not a different value.
    std::string_view number = typed;
    while (!number.empty() && (number.front() == ' ' || number.front() == '\t'))
        number.remove_prefix(1);
    std::optional<double> read;
    try {
        double value = ParseNumber(number);
        if (m_rule.whole == FieldRule::Whole::FractionDropped)
            value = std::trunc(value);
        if (m_rule.allows(value))
            read = value;
    } catch (const Error&) {
    }
    if (read) {
        show(*read);
        return {Outcome::Kind::Taken, m_text, {}};
    }
    if (m_refused) {
        // The second time the user leaves a refused text, the value in use comes back: the
        // field never shows what the results do not use.
        m_refused = false;
        return {Outcome::Kind::Restored, m_text, {}};
    }
    m_refused = true;
    return {Outcome::Kind::Refused, std::string(typed), message()};
}

NumberField::Outcome NumberField::escape(std::string_view typed) {
    const bool wasRefused = m_refused;
    m_refused = false;
    if (!isEdited(typed) && !wasRefused)
        return {Outcome::Kind::Unchanged, m_text, {}};
    return {Outcome::Kind::Restored, m_text, {}};
}

} // namespace kalydor
