#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace kalydor {

class TextLookup;

/// One printf argument of a language text: an integer, a real number or a text.
using TextArg = std::variant<std::int64_t, double, std::string>;
using TextArgs = std::vector<TextArg>;

/// Formats a language text as a printf format with the given arguments. A format that does
/// not fit its arguments (a lone "%", "%d" where a text comes, too few arguments) is returned
/// unformatted: a faulty language file must never crash the program.
std::string formatText(const std::string& format, const TextArgs& args);

/// The same, with the real numbers written with `decimalSeparator` instead of "." (the
/// literal text of the format keeps its own points).
std::string formatText(const std::string& format, const TextArgs& args, char decimalSeparator);

/// The one exception type of the system. It carries the language key that names the failure,
/// the printf arguments of that key's text and the formatted text shown to the user.
class Error : public std::runtime_error {
public:
    /// The text is the language text of the key formatted with the arguments. When the
    /// language has no text for the key, the fallback format is used instead; the system's
    /// own keys pass none, so a missing text stays empty as the language tables specify.
    explicit Error(std::string key, TextArgs args = {}, const std::string& fallbackFormat = {});

    /// An error whose text is already known (the database engine's or the operating
    /// system's own message); the key is kept for callers that test it.
    static Error withText(std::string key, std::string text);

    const std::string& key() const { return m_key; }
    const TextArgs& args() const { return m_args; }
    /// The formatted text for the user (may be empty when the language lacks the key).
    const std::string& text() const { return m_text; }
    /// The text in the language of `lookup`: the key's text there formatted with the
    /// arguments; `text()` when that language lacks the key or the text is not the key's (the
    /// operating system's or the database engine's own message).
    std::string textIn(const TextLookup& lookup) const;

private:
    struct PlainText {};
    Error(PlainText, std::string key, std::string text);

    std::string m_key;
    TextArgs m_args;
    std::string m_text;
    bool m_keyed = false; ///< the text is the key's
};

} // namespace kalydor
