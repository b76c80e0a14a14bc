#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace kalydor::cli {

/// Wrong use of the command line: the usage text is printed and the exit status is 2.
struct UsageError {
    std::string message;
};

/// One command of kalydor-cli: "GROUP NAME ARGS...".
struct Command {
    std::string group;
    std::string name;
    std::string arguments; ///< usage of the arguments, for the help text
    std::string summary;
    std::function<int(const std::vector<std::string>& args, std::ostream& out)> run;
};

/// The program's data folder, with its "languages" folder and device table: where the
/// executable lies in a build tree, the installed data folder once installed.
std::string programDirectory();

/// The commands of the item store ("store create", "store dump", "store resolve").
std::vector<Command> storeCommands();

/// The commands of the language tables ("lang list", "lang text").
std::vector<Command> languageCommands();

/// The commands of the dictionary coder ("lzw encode", "lzw decode").
std::vector<Command> lzwCommands();

/// The commands of the project options ("options dump").
std::vector<Command> optionsCommands();

/// The commands of the material catalogue ("material list").
std::vector<Command> materialCommands();

/// The commands of constructions ("panel calc").
std::vector<Command> panelCommands();

/// The device database ("devicedb create", "import", "export", "list", "show", "delete", "set",
/// "reduce", "estimate-codes").
std::vector<Command> deviceDatabaseCommands();

/// The heating load of rooms ("room calc").
std::vector<Command> roomCommands();

/// The changes of many rooms ("project change-constructions", "set-temperatures",
/// "move-rooms", "rotate").
std::vector<Command> bulkCommands();

/// The project settings file ("settings save", "settings load").
std::vector<Command> settingsCommands();

/// Printed reports ("report pdf").
std::vector<Command> reportCommands();

/// The radiator rules ("radiator calc").
std::vector<Command> radiatorCommands();

/// The exchange files of materials and constructions ("exchange export", "exchange import").
std::vector<Command> exchangeCommands();

} // namespace kalydor::cli
