// kalydor-cli: the core of the heating design tool from the command line.
// Exit status: 0 success, 1 an error of the work itself (message on stderr), 2 wrong usage.

#include "base/error.h"
#include "base/textlookup.h"
#include "base/version.h"
#include "cli/commands.h"

#include "base/installlayout.h"
#include "constructions/registration.h"
#include "language/languages.h"
#include "rooms/room.h"

#include <filesystem>
#include <iostream>

namespace kalydor::cli {

std::string programDirectory() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return programDataDirectory(ec ? std::string(".") : self.parent_path().string());
}

} // namespace kalydor::cli

namespace {

using kalydor::cli::Command;

// The language of the messages: English, unless "--lang" names another language (the commands
// that print texts take that option too). Installed for the whole run.
void selectMessageLanguage(kalydor::Languages& languages, const std::vector<std::string>& args) {
    languages.LoadLanguages(kalydor::cli::programDirectory() + "/languages/*.xm?");
    std::string id = "English";
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == "--lang")
            id = args[i + 1];
    for (const std::string& candidate : {id, std::string("English")}) {
        languages.UsePrintingLanguage = false;
        languages.SelectInterfaceLanguage(candidate);
        if (!languages.InterfaceLanguageId().empty())
            break;
        // A language not meant for the user interface still gives its texts.
        languages.SelectPrintingLanguage(candidate);
        languages.UsePrintingLanguage = true;
        const kalydor::Language* found = languages.lookupLanguage();
        if (found && found->id == candidate)
            break;
    }
    kalydor::setTextLookup(&languages);
}

// An error as the command line shows it: the text in the message language, then its key in
// brackets (what a script or a support request can refer to); the key alone when no language
// has a text for it.
std::string messageOf(const kalydor::Error& error, const kalydor::Languages& languages) {
    const std::string text = error.textIn(languages);
    return text.empty() ? error.key() : text + " [" + error.key() + "]";
}

std::vector<Command> allCommands() {
    std::vector<Command> commands = kalydor::cli::storeCommands();
    for (Command& command : kalydor::cli::languageCommands())
        commands.push_back(std::move(command));
    for (Command& command : kalydor::cli::lzwCommands())
        commands.push_back(std::move(command));
    for (Command& command : kalydor::cli::optionsCommands())
        commands.push_back(std::move(command));
    for (Command& command : kalydor::cli::materialCommands())
        commands.push_back(std::move(command));
    for (Command& command : kalydor::cli::panelCommands())
        commands.push_back(std::move(command));
    for (Command& command : kalydor::cli::roomCommands())
        commands.push_back(std::move(command));
    for (Command& command : kalydor::cli::bulkCommands())
        commands.push_back(std::move(command));
    for (Command& command : kalydor::cli::settingsCommands())
        commands.push_back(std::move(command));
    for (Command& command : kalydor::cli::reportCommands())
        commands.push_back(std::move(command));
    for (Command& command : kalydor::cli::radiatorCommands())
        commands.push_back(std::move(command));
    for (Command& command : kalydor::cli::exchangeCommands())
        commands.push_back(std::move(command));
    for (Command& command : kalydor::cli::deviceDatabaseCommands())
        commands.push_back(std::move(command));
    return commands;
}

void printUsage(std::ostream& out, const std::vector<Command>& commands) {
    out << "usage: kalydor-cli GROUP COMMAND [ARGUMENTS]\n       kalydor-cli "
           "--version\n\ncommands:\n";
    for (const Command& c : commands)
        out << "  " << c.group << ' ' << c.name << ' ' << c.arguments << "\n      " << c.summary
            << '\n';
}

} // namespace

int main(int argc, char** argv) {
    kalydor::registerConstructionItems();
    // Without a project, a room read from a table takes the plain defaults.
    kalydor::registerRoomItems({});
    const std::vector<Command> commands = allCommands();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "kalydor-cli " << kalydor::programVersion() << '\n';
        return 0;
    }
    kalydor::Languages languages;
    selectMessageLanguage(languages, args);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        printUsage(args.empty() ? std::cerr : std::cout, commands);
        return args.empty() ? 2 : 0;
    }
    if (args.size() < 2) {
        printUsage(std::cerr, commands);
        return 2;
    }
    for (const Command& command : commands) {
        if (command.group != args[0] || command.name != args[1])
            continue;
        try {
            return command.run(std::vector<std::string>(args.begin() + 2, args.end()), std::cout);
        } catch (const kalydor::cli::UsageError& error) {
            std::cerr << "kalydor-cli: " << error.message << "\nusage: kalydor-cli "
                      << command.group << ' ' << command.name << ' ' << command.arguments << '\n';
            return 2;
        } catch (const kalydor::Error& error) {
            std::cerr << "kalydor-cli: " << messageOf(error, languages) << '\n';
            return 1;
        } catch (const std::exception& error) {
            std::cerr << "kalydor-cli: " << error.what() << '\n';
            return 1;
        }
    }
    std::cerr << "kalydor-cli: unknown command \"" << args[0] << ' ' << args[1] << "\"\n";
    printUsage(std::cerr, commands);
    return 2;
}
