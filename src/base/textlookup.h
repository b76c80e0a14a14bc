#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

/// A caption a language gives one column line of a list layout: `code` is the column id plus
/// 256 times the caption line (0-based).
struct ListTitleEntry {
    std::int16_t code = 0;
    std::string text;
};

/// Source of every user-visible text: the language tables implement it. Errors, messages,
/// documents and column layouts fetch their texts through it, so they never depend on the
/// language code.
class TextLookup {
public:
    virtual ~TextLookup() = default;
    /// The text of a language key; the empty text when the key has none.
    virtual std::string getText(std::string_view key) const = 0;
    /// Replaces each placeholder "#KEY#" with the key's text ("\#" is a literal "#"); the
    /// text as it is without a language.
    virtual std::string expandPlaceholders(std::string_view text) const {
        return std::string(text);
    }
    /// Entry n of the program's string table with its placeholders replaced.
    std::string stringTableText(int n) const;
    /// The language's captions for the list layout of this name; none without a language or
    /// without a translation of that layout.
    virtual std::vector<ListTitleEntry> listTitles(std::string_view layoutName) const {
        (void)layoutName;
        return {};
    }
};

/// Installs the process-wide lookup (the loaded language tables). nullptr restores the
/// lookup without language, which answers every key with the empty text.
void setTextLookup(const TextLookup* lookup);
const TextLookup& textLookup();

/// The text of a language key in the current language; empty when missing.
std::string GetText(std::string_view key);

/// The texts of a numbered family of keys ("IDS_ROOMFUNCTION+" 0, 1, …) until a key has no
/// text, at most `most` of them.
std::vector<std::string> numberedTexts(std::string_view key, int most);

/// A text without the blanks and tabs at its ends.
std::string trimmedText(std::string_view text);
/// The parts of a text between separators, as they are (an empty text is one empty part).
std::vector<std::string> splitText(std::string_view text, char separator);

} // namespace kalydor
