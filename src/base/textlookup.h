#pragma once

#include <string>
#include <string_view>

namespace kalydor {

/// Source of every user-visible text: the language tables implement it. Errors and messages
/// of the lower layers fetch their texts through it, so they never depend on the language code.
class TextLookup {
public:
    virtual ~TextLookup() = default;
    /// The text of a language key; the empty text when the key has none.
    virtual std::string getText(std::string_view key) const = 0;
};

/// Installs the process-wide lookup (the loaded language tables). nullptr restores the
/// lookup without language, which answers every key with the empty text.
void setTextLookup(const TextLookup* lookup);
const TextLookup& textLookup();

/// The text of a language key in the current language; empty when missing.
std::string GetText(std::string_view key);

} // namespace kalydor
