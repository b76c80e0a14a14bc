#include "cli/commands.h"

#include "base/error.h"
#include "store/itemstore.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <filesystem>
#include <iostream>
#include <ostream>

namespace kalydor::cli {
namespace {

namespace fs = std::filesystem;

struct TableLocation {
    std::string directory;
    std::string fileName;
};

TableLocation locate(const std::string& file) {
    const fs::path path(file);
    return {path.has_parent_path() ? path.parent_path().string() : std::string("."),
            path.filename().string()};
}

int create(const std::vector<std::string>& args, std::ostream& out) {
    TableKind kind = TableKind::Project;
    TableMode mode = TableMode::Create;
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (arg == "--catalogue")
            kind = TableKind::Catalogue;
        else if (arg == "--replace")
            mode = TableMode::Replace;
        else if (arg.starts_with("--"))
            throw UsageError{"unknown option " + arg};
        else
            files.push_back(arg);
    }
    if (files.size() != 1)
        throw UsageError{"one table file expected"};
    const TableLocation where = locate(files[0]);
    ItemStore table(where.directory, where.fileName, mode, kind);
    out << table.path() << '\n';
    return 0;
}

int dump(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() != 1)
        throw UsageError{"one table file expected"};
    const TableLocation where = locate(args[0]);
    // Read-only, as a catalogue: the table may be shared with a running program.
    ItemStore table(where.directory, where.fileName, TableMode::ReadOnly, TableKind::Catalogue);
    int unreadable = 0;
    table.forEachRecord(
        [&out](const Reference& record, std::size_t dataSize) {
            const nlohmann::json row = {{"Type", record.Type},
                                        {"RefID", record.RefID},
                                        {"ID", record.ID},
                                        {"Name", record.Name},
                                        {"DataSize", dataSize}};
            out << row.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        },
        [&unreadable](const Error& error) {
            std::cerr << "kalydor-cli: " << error.text() << '\n';
            ++unreadable;
        });
    return unreadable == 0 ? 0 : 1;
}

int resolve(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() != 3)
        throw UsageError{"a table file, a group type and a path expected"};
    int groupType = 0;
    const std::string& typeText = args[1];
    const auto parsed =
        std::from_chars(typeText.data(), typeText.data() + typeText.size(), groupType);
    if (parsed.ec != std::errc() || parsed.ptr != typeText.data() + typeText.size() ||
        groupType < -32768 || groupType > 32767)
        throw UsageError{"the group type must be a whole number, such as 32"};
    const TableLocation where = locate(args[0]);
    ItemStore table(where.directory, where.fileName, TableMode::Open);
    out << table.GroupOfPath(static_cast<std::int16_t>(groupType), args[2], '\\') << '\n';
    return 0;
}

} // namespace

std::vector<Command> storeCommands() {
    return {
        {"store", "create", "FILE [--catalogue] [--replace]",
         "make a new item table: a project table (header and options record) or, with "
         "--catalogue, a catalogue table such as material.db (header only); an existing file "
         "is replaced only with --replace, and never while a program has it open",
         create},
        {"store", "dump", "FILE",
         "print every record as one JSON object a line: Type, RefID, ID, Name, DataSize; a "
         "record that cannot be read is named on stderr and the exit status is 1",
         dump},
        {"store", "resolve", "FILE GROUPTYPE PATH",
         "resolve a group path (backslash separated) in a project table, creating missing "
         "groups, and print the group's identifier",
         resolve},
    };
}

} // namespace kalydor::cli
