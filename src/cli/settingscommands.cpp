// The project settings file from the command line: a project's options saved to a ".kps"
// file, or a file's settings loaded into a project as the options dialog's Load and OK do.

#include "cli/commands.h"
#include "cli/jsoninput.h"
#include "cli/projectaccess.h"

#include "heating/projectoptionseditor.h"
#include "heating/projectsettingsfile.h"
#include "rooms/projectrecalculation.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <ostream>
#include <stdexcept>

namespace kalydor::cli {
namespace {

constexpr const char* kDefaultLanguage = "Român";

// "PROJECT FILE.kps [--lang ID]": the project opened, the settings file named.
struct SettingsArguments {
    explicit SettingsArguments(const std::vector<std::string>& args)
        : arguments(parsed(args))
        , language(arguments.value("--lang", kDefaultLanguage))
        , project(openCurrentProject(args[0], false))
        , options(loadOptions(*project, args[0])) {}
    static CommandArguments parsed(const std::vector<std::string>& args) {
        if (args.size() < 2 || args[0].starts_with("--") || args[1].starts_with("--"))
            throw UsageError{"a project file and a settings file expected"};
        return parseCommandArguments(std::vector<std::string>(args.begin() + 1, args.end()),
                                     {"--lang"}, {}, "settings file");
    }
    CommandArguments arguments;
    LanguageScope language;
    std::unique_ptr<ItemStore> project;
    ProjectOptions options;
};

int save(const std::vector<std::string>& args, std::ostream& out) {
    SettingsArguments a(args);
    ProjectOptionsEditor editor(a.options, *a.project);
    editor.saveSettings(editor.fields(), a.arguments.file);
    out << nlohmann::json{{"Written", a.arguments.file}}.dump() << '\n';
    return 0;
}

int load(const std::vector<std::string>& args, std::ostream& out) {
    SettingsArguments a(args);
    ItemStore* project = a.project.get();
    const std::string& file = a.arguments.file;
    ProjectOptionsEditor editor(a.options, *project);
    // As the dialog's Load and OK: the settings are checked and stored, and the rooms and
    // buildings recalculated with them, in one change, when the outside temperature or the
    // weather switch changed.
    std::optional<RecalculationResult> recalculated;
    editor.setRecalculation([&](const ProjectOptions& saved) {
        ProjectCalculation calculation(saved);
        recalculated = RecalculateProject(*project, calculation.settings);
        return true;
    });
    if (!editor.loadSettings(file))
        throw std::runtime_error(file + ": no complete project settings; nothing loaded");
    (void)editor.confirm(editor.fields());
    nlohmann::ordered_json result;
    result["Recalculated"] = recalculated.has_value();
    result["Rooms"] = recalculated ? recalculated->rooms : 0;
    result["Buildings"] = recalculated ? recalculated->buildings : 0;
    result["Unreadable"] = recalculated ? recalculated->unreadable : std::vector<std::string>{};
    out << result.dump(2) << '\n';
    return recalculated && !recalculated->unreadable.empty() ? 1 : 0;
}

} // namespace

std::vector<Command> settingsCommands() {
    return {
        {"settings", "save", "PROJECT FILE.kps [--lang ID]",
         "write the project's options to a settings file (written whole or not at all)", save},
        {"settings", "load", "PROJECT FILE.kps [--lang ID]",
         "take a settings file's values as the project's options, as the options dialog's "
         "Load and OK do; rooms and buildings are recalculated with them when the outside "
         "temperature or the weather switch changed. Prints Recalculated, Rooms, Buildings",
         load},
    };
}

} // namespace kalydor::cli
