#include "cli/commands.h"

#include "base/error.h"
#include "language/languages.h"

#include <filesystem>
#include <ostream>

namespace kalydor::cli {
namespace {

namespace fs = std::filesystem;

// The language of the program when the options name none.
constexpr const char* kDefaultLanguage = "Român";

struct LanguageOptions {
    std::string directory = programDirectory() + "/languages";
    std::string language = kDefaultLanguage;
    std::vector<std::string> rest;
};

LanguageOptions parseOptions(const std::vector<std::string>& args) {
    LanguageOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--dir" || args[i] == "--lang") {
            if (i + 1 == args.size())
                throw UsageError{args[i] + " needs a value"};
            std::string& value = args[i] == "--dir" ? options.directory : options.language;
            value = args[++i];
        } else if (args[i].starts_with("--")) {
            throw UsageError{"unknown option " + args[i]};
        } else {
            options.rest.push_back(args[i]);
        }
    }
    return options;
}

Languages load(const LanguageOptions& options) {
    Languages languages;
    languages.LoadLanguages(options.directory + "/*.xm?");
    return languages;
}

int list(const std::vector<std::string>& args, std::ostream& out) {
    const LanguageOptions options = parseOptions(args);
    if (!options.rest.empty())
        throw UsageError{"no arguments expected"};
    const Languages languages = load(options);
    for (const Language& language : languages.languages())
        out << language.id << '\t' << (language.userInterface ? "yes" : "no") << '\n';
    return 0;
}

int text(const std::vector<std::string>& args, std::ostream& out) {
    const LanguageOptions options = parseOptions(args);
    if (options.rest.size() != 1)
        throw UsageError{"one key expected"};
    Languages languages = load(options);
    languages.SelectInterfaceLanguage(options.language);
    if (languages.InterfaceLanguageId().empty()) {
        // A language not meant for the user interface still prints.
        languages.SelectPrintingLanguage(options.language);
        languages.UsePrintingLanguage = true;
    }
    if (!languages.lookupLanguage())
        throw Error("IDS_NOLANGUAGE", {options.language, options.directory},
                    "There is no language \"%s\" in %s.");
    const std::string& key = options.rest[0];
    const std::string found = languages.GetText(key);
    if (found.empty())
        throw Error("IDS_NOLANGUAGETEXT", {key, options.language},
                    "The key %s has no text in the language \"%s\".");
    out << found << '\n';
    return 0;
}

} // namespace

std::vector<Command> languageCommands() {
    return {
        {"lang", "list", "[--dir DIR]",
         "list the loaded languages (id, and whether it is a user-interface language)", list},
        {"lang", "text", "KEY [--lang ID] [--dir DIR]",
         "print the text of a key in a language (default: the program's default language)", text},
    };
}

} // namespace kalydor::cli
