// The exchange files from the command line: "exchange export" and "exchange import".

#include "cli/commands.h"
#include "cli/terminalprompter.h"

#include "base/error.h"
#include "constructions/panel.h"
#include "constructions/registration.h"
#include "exchange/textexchange.h"
#include "heating/projectoptions.h"
#include "platform/prompter.h"
#include "store/itemstore.h"

#include <filesystem>
#include <iostream>
#include <ostream>
#include <string>

namespace kalydor::cli {
namespace {

namespace fs = std::filesystem;

ItemKind kindOfName(const std::string& name) {
    if (name == "material")
        return ItemKind::Material;
    if (name == "panel")
        return ItemKind::Construction;
    throw UsageError{"--kind takes material or panel"};
}

struct Arguments {
    std::string table;
    std::string file;
    ItemKind kind = ItemKind::Material;
    StandingAnswer standing = StandingAnswer::None;
};

Arguments parse(const std::vector<std::string>& args, bool import) {
    Arguments parsed;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--kind") {
            if (i + 1 >= args.size())
                throw UsageError{"--kind needs material or panel"};
            parsed.kind = kindOfName(args[++i]);
        } else if (import && arg == "--yes-to-all") {
            parsed.standing = StandingAnswer::YesToAll;
        } else if (import && arg == "--no-to-all") {
            parsed.standing = StandingAnswer::NoToAll;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"unknown option " + arg};
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2)
        throw UsageError{"a table file and an exchange file expected"};
    parsed.table = positional[0];
    parsed.file = positional[1];
    return parsed;
}

ItemStore openTable(const Arguments& arguments, TableMode mode) {
    const fs::path path(arguments.table);
    return ItemStore(
        path.has_parent_path() ? path.parent_path().string() : ".", path.filename().string(), mode,
        arguments.kind == ItemKind::Material ? TableKind::Catalogue : TableKind::Project);
}

int exportItems(const std::vector<std::string>& args, std::ostream& out) {
    const Arguments arguments = parse(args, false);
    TerminalPrompter prompter;
    PrompterScope scope(&prompter);
    ItemStore table = openTable(arguments, TableMode::ReadOnly);
    const ExportResult result =
        ExportItems(table, arguments.kind, ItemsInTreeOrder(table, arguments.kind), arguments.file);
    // The items left out were named on the standard error stream.
    out << "written " << result.written << ", unreadable " << result.unreadable;
    if (result.missing > 0)
        out << ", gone " << result.missing;
    out << (result.fileWritten ? "" : ", no file written (nothing to export)") << '\n';
    return result.leftOut.empty() ? 0 : 1;
}

int importItems(const std::vector<std::string>& args, std::ostream& out) {
    const Arguments arguments = parse(args, true);
    TerminalPrompter prompter;
    PrompterScope scope(&prompter);
    ItemStore table = openTable(arguments, TableMode::Open);
    // Imported constructions are stored calculated: for a project with its outside design
    // temperature, for a catalogue with the default one.
    PanelSettings settings;
    if (arguments.kind == ItemKind::Construction && table.kind() == TableKind::Project) {
        ProjectOptions options;
        if (options.LoadFromProject(table))
            settings.outsideDesignTemperature = options.Heating.OutSideTemp;
    }
    // The user's choice on the command line outranks an "AUTOYES" in the file.
    OverwriteAnswers answers;
    answers.standing = arguments.standing;
    const ImportResult result = ImportItems(table, arguments.kind, arguments.file, answers,
                                            constructionImportOptions(settings));
    // Each item not imported was named on the standard error stream; the rest is stored.
    out << "added " << result.added << ", replaced " << result.replaced << ", kept " << result.kept
        << ", skipped " << result.skipped << '\n';
    return result.failed || result.skipped > 0 ? 1 : 0;
}

} // namespace

std::vector<Command> exchangeCommands() {
    return {
        {"exchange", "export", "TABLE FILE [--kind material|panel]",
         "writes every item of the table to a text exchange file, or to an XML exchange file "
         "when FILE ends in \"xml\"",
         exportItems},
        {"exchange", "import", "TABLE FILE [--kind material|panel] [--yes-to-all|--no-to-all]",
         "reads a text or XML exchange file into the table; without a to-all option a stored "
         "namesake is replaced only when the terminal answers yes",
         importItems},
    };
}

} // namespace kalydor::cli
