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

int save(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() < 2 || args[0].starts_with("--") || args[1].starts_with("--"))
        throw UsageError{"a project file and a settings file expected"};
    const CommandArguments arguments = parseCommandArguments(
        std::vector<std::string>(args.begin() + 1, args.end()), {"--lang"}, {}, "settings file");
    const LanguageScope scope(arguments.value("--lang", kDefaultLanguage));
    const std::unique_ptr<ItemStore> project = openCurrentProject(args[0], false);
    ProjectOptions options = loadOptions(*project, args[0]);
    ProjectOptionsEditor editor(options, *project);
    editor.saveSettings(editor.fields(), arguments.file);
    out << nlohmann::json{{"Written", arguments.file}}.dump() << '\n';
    return 0;
}

int load(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() < 2 || args[0].starts_with("--") || args[1].starts_with("--"))
        throw UsageError{"a project file and a settings file expected"};
    const CommandArguments arguments = parseCommandArguments(
        std::vector<std::string>(args.begin() + 1, args.end()), {"--lang"}, {}, "settings file");
    const LanguageScope scope(arguments.value("--lang", kDefaultLanguage));
    const std::unique_ptr<ItemStore> project = openCurrentProject(args[0], false);
    ProjectOptions options = loadOptions(*project, args[0]);
    ProjectOptionsEditor editor(options, *project);
    // As the dialog's Load and OK: the settings are checked and stored, and the rooms and
    // buildings recalculated with them, in one change, when the outside temperature or the
    // weather switch changed.
    std::optional<RecalculationResult> recalculated;
    editor.setRecalculation([&](const ProjectOptions& saved) {
        ProjectCalculation calculation(saved);
        recalculated = RecalculateProject(*project, calculation.settings);
        return true;
    });
    if (!editor.loadSettings(arguments.file))
        throw std::runtime_error(arguments.file + ": no complete project settings; nothing loaded");
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
