#include "language/languages.h"

#include "base/resources.h"
#include "codecs/compressing.h"
#include "codecs/xmlreader.h"
#include "language/languageloader.h"
#include "language/translatablewindow.h"
#include "language/windowtranslation.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kalydor {
namespace {

// A compressed language file expands to well under this; a larger result is damage.
constexpr std::size_t kMaxLanguageFileSize = 64u * 1024 * 1024;

bool endsWithXml(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".xml";
}

bool readFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

void Languages::LoadLanguages(const std::string& pattern) {
    const std::filesystem::path full(pattern);
    const std::string directory = full.has_parent_path() ? full.parent_path().string() : ".";
    for (const std::string& path : matchingFiles(directory, full.filename().string())) {
        XmlReader parser;
        try {
            if (endsWithXml(path)) {
                if (!parser.LoadFromFile(path))
                    continue;
            } else {
                // Compressed languages are expanded in memory: no file of ours lands in the
                // shared temporary folder.
                std::string packed;
                if (!readFile(path, packed))
                    continue;
                if (!parser.LoadFromBuffer(Compressing::Decode(packed, kMaxLanguageFileSize), path))
                    continue;
            }
            addLanguage(parser);
        } catch (const std::exception&) {
            // A file that cannot be read or expanded is skipped; the others still load.
        }
    }
}

void Languages::addLanguage(XmlReader& parser) {
    m_languages.push_back(readLanguage(parser));
}

void Languages::SelectInterfaceLanguage(const std::string& id) {
    m_interface = -1;
    for (std::size_t i = 0; i < m_languages.size(); ++i) {
        if (m_languages[i].id == id && m_languages[i].userInterface) {
            m_interface = static_cast<int>(i);
            return;
        }
    }
}

void Languages::SelectPrintingLanguage(const std::string& id) {
    m_printing = m_interface;
    for (std::size_t i = 0; i < m_languages.size(); ++i) {
        if (m_languages[i].id == id) {
            m_printing = static_cast<int>(i);
            return;
        }
    }
}

std::string Languages::InterfaceLanguageId() const {
    return m_interface < 0 ? std::string() : m_languages[m_interface].id;
}

std::string Languages::PrintingLanguageId() const {
    return m_printing < 0 ? std::string() : m_languages[m_printing].id;
}

void Languages::ListLanguages(std::vector<std::string>& list, bool interfaceOnly) const {
    list.clear();
    for (const Language& language : m_languages) {
        if (!interfaceOnly || language.userInterface)
            list.push_back(language.id);
    }
}

const Language* Languages::lookupLanguage() const {
    const int index = UsePrintingLanguage ? m_printing : m_interface;
    return index < 0 ? nullptr : &m_languages[index];
}

std::string Languages::GetText(std::string_view key) const {
    const Language* language = lookupLanguage();
    if (!language)
        return {};
    const auto it = language->strings.find(key);
    return it == language->strings.end() ? std::string() : it->second;
}

std::string Languages::ExpandPlaceholders(std::string_view text) const {
    if (!lookupLanguage())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t hash = text.find('#', pos);
        if (hash == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        if (hash > pos && text[hash - 1] == '\\') {
            out.append(text.substr(pos, hash - 1 - pos));
            out += '#';
            pos = hash + 1;
            continue;
        }
        out.append(text.substr(pos, hash - pos));
        const std::size_t close = text.find('#', hash + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(hash + 1));
            break;
        }
        out += GetText(text.substr(hash + 1, close - hash - 1));
        pos = close + 1;
    }
    return out;
}

std::vector<ListTitleEntry> Languages::listTitles(std::string_view layoutName) const {
    std::vector<ListTitleEntry> entries;
    const Language* language = lookupLanguage();
    if (!language)
        return entries;
    for (const LanguageTitle& title : language->titles) {
        if (title.name != layoutName)
            continue;
        const std::size_t count = std::min(title.codes.size(), title.texts.size());
        for (std::size_t i = 0; i < count; ++i)
            entries.push_back({title.codes[i], title.texts[i]});
        break;
    }
    return entries;
}

std::string Languages::StringTableText(int n) const {
    return ExpandPlaceholders(stringTableEntry(n));
}

void Languages::TranslateForm(TranslatableWindow& window) const {
    if (m_interface < 0)
        return;
    if (const LanguageForm* form = findForm(m_languages[m_interface], window.windowName()))
        applyForm(*form, window);
}

void Languages::TranslateFormForPrinting(TranslatableWindow& window) const {
    const int index = m_printing >= 0 ? m_printing : m_interface;
    if (index < 0)
        return;
    if (const LanguageForm* form = findForm(m_languages[index], window.windowName()))
        applyForm(*form, window);
}

} // namespace kalydor
