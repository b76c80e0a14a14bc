#include "language/languageloader.h"

#include "codecs/xmlreader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <optional>

namespace kalydor {
namespace {

bool isStart(const XmlReader& parser, std::string_view name) {
    return parser.CurPartType() == XmlPart::StartTag && parser.CurName() == name;
}

bool isEnd(const XmlReader& parser, std::string_view name) {
    return parser.CurPartType() == XmlPart::EndTag && parser.CurName() == name;
}

std::optional<int> integerAttribute(const XmlReader& parser, std::string_view name) {
    const std::string text = parser.CurAttr(name);
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

void readStrings(XmlReader& parser, Language& language) {
    while (parser.Scan() && !isEnd(parser, "strings")) {
        if (isStart(parser, "item"))
            language.strings[parser.CurAttr("id")] = parser.CurAttr("value");
    }
}

void readProperty(const XmlReader& parser, std::vector<std::string>& ids,
                  std::vector<std::string>& values) {
    std::string id = parser.CurAttr("id");
    if (id.empty())
        return;
    ids.push_back(std::move(id));
    values.push_back(parser.CurAttr("value"));
}

void readFormItem(XmlReader& parser, LanguageFormItem& item) {
    while (parser.Scan() && !isEnd(parser, "formitem")) {
        if (isStart(parser, "property"))
            readProperty(parser, item.propertyIds, item.values);
    }
}

void readForm(XmlReader& parser, LanguageForm& form) {
    while (parser.Scan() && !isEnd(parser, "form")) {
        if (isStart(parser, "property")) {
            readProperty(parser, form.propertyIds, form.values);
        } else if (isStart(parser, "formitem")) {
            LanguageFormItem& item = form.items.emplace_back();
            item.name = parser.CurAttr("name");
            item.type = parser.CurAttr("type");
            readFormItem(parser, item);
        }
    }
}

// A caption line of a column: the content right after a "columnitem" start tag. The code is
// computed in 16 bits as the column layouts store it.
void readTitle(XmlReader& parser, LanguageTitle& title) {
    std::optional<std::int16_t> pending;
    while (parser.Scan() && !isEnd(parser, "title")) {
        if (isStart(parser, "columnitem")) {
            const std::optional<int> id = integerAttribute(parser, "id");
            const std::optional<int> row = integerAttribute(parser, "row");
            pending.reset();
            if (id && row) {
                const unsigned code =
                    static_cast<unsigned>(*id) + 256u * static_cast<unsigned>((*row - 1) & 0xFF);
                pending = static_cast<std::int16_t>(code & 0xFFFF);
            }
        } else if (parser.CurPartType() == XmlPart::Content && pending) {
            title.codes.push_back(*pending);
            title.texts.push_back(parser.CurContent());
            pending.reset();
        } else {
            pending.reset();
        }
    }
}

} // namespace

Language readLanguage(XmlReader& parser) {
    Language language;
    parser.Normalize = true;
    parser.StartScan();
    while (parser.Scan()) {
        if (parser.CurPartType() != XmlPart::StartTag)
            continue;
        const std::string& name = parser.CurName();
        if (name == "language") {
            language.id = parser.CurAttr("id");
            language.userInterface = parser.CurAttr("UserInterface") == "yes";
        } else if (name == "strings") {
            readStrings(parser, language);
        } else if (name == "form") {
            LanguageForm& form = language.forms.emplace_back();
            form.name = parser.CurAttr("name");
            readForm(parser, form);
        } else if (name == "title") {
            LanguageTitle& title = language.titles.emplace_back();
            title.name = parser.CurAttr("name");
            readTitle(parser, title);
        }
    }
    return language;
}

bool matchesPattern(const std::string& name, const std::string& pattern) {
    // Iterative wildcard match with back-tracking to the last "*".
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t star = std::string::npos;
    std::size_t resume = 0;
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<std::string> matchingFiles(const std::string& directory, const std::string& pattern) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (it->is_regular_file(ec) && matchesPattern(name, pattern))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back((fs::path(directory) / name).string());
    return paths;
}

} // namespace kalydor
