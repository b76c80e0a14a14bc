#include "cli/jsoninput.h"

#include "cli/commands.h"

#include <fstream>

namespace kalydor::cli {

json readJsonFile(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot open " + fileName);
    try {
        return json::parse(file);
    } catch (const json::parse_error& error) {
        throw std::runtime_error(fileName + ": not valid JSON: " + error.what());
    }
}

CommandArguments parseCommandArguments(const std::vector<std::string>& args,
                                       const std::vector<std::string_view>& valueOptions,
                                       const std::vector<std::string_view>& switchOptions,
                                       const std::string& fileWanted) {
    const auto among = [](const std::vector<std::string_view>& list, const std::string& arg) {
        return std::find(list.begin(), list.end(), arg) != list.end();
    };
    CommandArguments parsed;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (among(valueOptions, arg)) {
            if (i + 1 == args.size())
                throw UsageError{arg + " needs a value"};
            parsed.values[arg] = args[++i];
        } else if (among(switchOptions, arg)) {
            parsed.switches.insert(arg);
        } else if (arg.starts_with("--")) {
            throw UsageError{"unknown option " + arg};
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 1)
        throw UsageError{"one " + fileWanted + " expected"};
    parsed.file = files[0];
    return parsed;
}

std::string placeOf(const std::string& what, std::size_t number, const json& object) {
    std::string place = what + " " + std::to_string(number);
    if (object.is_object() && object.contains("Name") && object["Name"].is_string())
        place += " \"" + quotedExcerpt(object["Name"].get<std::string>()) + "\"";
    return place;
}

LanguageScope::LanguageScope(const std::string& id) {
    const std::string dir = programDirectory() + "/languages";
    m_languages.LoadLanguages(dir + "/*.xm?");
    m_languages.SelectInterfaceLanguage(id);
    if (m_languages.InterfaceLanguageId().empty()) {
        m_languages.SelectPrintingLanguage(id);
        m_languages.UsePrintingLanguage = true;
    }
    const Language* found = m_languages.lookupLanguage();
    if (!found || found->id != id)
        throw Error("IDS_NOLANGUAGE", {id, dir}, "There is no language \"%s\" in %s.");
    setTextLookup(&m_languages);
}

} // namespace kalydor::cli
