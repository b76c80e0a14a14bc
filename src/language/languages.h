#pragma once

#include "base/textlookup.h"
#include "language/language.h"

#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class XmlReader;
class TranslatableWindow;

/// The language tables: every loaded language, the one the user interface speaks and the one
/// reports are printed in. Every user-visible text is looked up here by its key.
class Languages final : public TextLookup {
public:
    /// Loads every file matching the pattern ("<program dir>/languages/*.xm?"): files named
    /// ".xml" as they are, any other match expanded with the dictionary decoder first. Files are
    /// taken in the sorted order of their names; one that cannot be read is skipped silently.
    void LoadLanguages(const std::string& pattern);
    /// Adds the language of one document (used by the loader and by tests).
    void addLanguage(XmlReader& parser);
    void addLanguage(Language language) { m_languages.push_back(std::move(language)); }

    /// The first language with this id that is meant for the user interface; none otherwise.
    void SelectInterfaceLanguage(const std::string& id);
    /// The first language with this id, or the interface language when there is none.
    void SelectPrintingLanguage(const std::string& id);
    std::string InterfaceLanguageId() const;
    std::string PrintingLanguageId() const;
    /// The ids of the loaded languages in load order; with `interfaceOnly` only those meant
    /// for the user interface.
    void ListLanguages(std::vector<std::string>& list, bool interfaceOnly) const;

    /// The text of a key in the current lookup language; empty when missing.
    std::string GetText(std::string_view key) const;
    std::string getText(std::string_view key) const override { return GetText(key); }
    /// Replaces each placeholder "#KEY#" with the key's text ("\#" is a literal "#", a lone
    /// "#" is dropped); unchanged when no language is selected.
    std::string ExpandPlaceholders(std::string_view text) const;
    std::string expandPlaceholders(std::string_view text) const override {
        return ExpandPlaceholders(text);
    }
    /// The list titles of the current lookup language for a layout.
    std::vector<ListTitleEntry> listTitles(std::string_view layoutName) const override;
    /// Entry n of the program's string table with its placeholders replaced.
    std::string StringTableText(int n) const;

    /// Translates a window into the interface language.
    void TranslateForm(TranslatableWindow& window) const;
    /// Translates a window into the printing language (the interface language when none is
    /// selected), also when that language is not meant for the user interface.
    void TranslateFormForPrinting(TranslatableWindow& window) const;

    /// While set, every lookup uses the printing language (reports being prepared).
    bool UsePrintingLanguage = false;

    const std::vector<Language>& languages() const { return m_languages; }
    /// The language lookups currently use, or null.
    const Language* lookupLanguage() const;

private:
    std::vector<Language> m_languages;
    // Indexes into m_languages; -1 for none.
    int m_interface = -1;
    int m_printing = -1;
};

} // namespace kalydor
