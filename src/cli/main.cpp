// kalydor-cli: the core of the heating design tool from the command line.
// Exit status: 0 success, 1 an error of the work itself (message on stderr), 2 wrong usage.

#include "base/error.h"
#include "base/version.h"
#include "cli/commands.h"
#include "constructions/registration.h"

#include <iostream>

namespace {

using kalydor::cli::Command;

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
    for (Command& command : kalydor::cli::exchangeCommands())
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
    const std::vector<Command> commands = allCommands();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "kalydor-cli " << kalydor::programVersion() << '\n';
        return 0;
    }
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
            std::cerr << "kalydor-cli: " << error.what() << '\n';
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
