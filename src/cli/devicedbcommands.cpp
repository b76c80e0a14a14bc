// The device database from the command line: "devicedb create", "import", "export", "list",
// "show", "delete", "set", "reduce" and "estimate-codes". Each command opens exactly the table
// it is given, never the one the desktop program's settings name.

#include "cli/commands.h"
#include "cli/terminalprompter.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/numberformat.h"
#include "devicedb/devicedatabaseeditor.h"
#include "devicedb/devicehierarchy.h"
#include "devicedb/deviceset.h"
#include "devicedb/devicestore.h"
#include "devicedb/radiatorsizing.h"
#include "platform/scriptedprompter.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>

namespace kalydor::cli {
namespace {

using nlohmann::json;

// Options of a command: the positional arguments and the values of named options.
struct Parsed {
    std::vector<std::string> positional;
    std::vector<std::string> flags;
    std::map<std::string, std::vector<std::string>> values;

    bool has(const std::string& flag) const {
        return std::find(flags.begin(), flags.end(), flag) != flags.end();
    }
    std::optional<std::string> value(const std::string& name) const {
        const auto found = values.find(name);
        if (found == values.end() || found->second.empty())
            return std::nullopt;
        return found->second.front();
    }
};

// `flags` take no value, `single` one, `multiple` every argument up to the next option.
Parsed parse(const std::vector<std::string>& args, std::initializer_list<const char*> flags,
             std::initializer_list<std::pair<const char*, int>> options) {
    Parsed parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            parsed.positional.push_back(arg);
            continue;
        }
        if (std::find_if(flags.begin(), flags.end(), [&](const char* f) { return arg == f; }) !=
            flags.end()) {
            parsed.flags.push_back(arg);
            continue;
        }
        const auto option = std::find_if(options.begin(), options.end(),
                                         [&](const auto& o) { return arg == o.first; });
        if (option == options.end())
            throw UsageError{"unknown option " + arg};
        std::vector<std::string>& values = parsed.values[arg];
        const int count = option->second;
        if (count < 0) {
            while (i + 1 < args.size() && args[i + 1].compare(0, 2, "--") != 0)
                values.push_back(args[++i]);
            if (values.empty())
                throw UsageError{arg + " needs at least one value"};
        } else {
            for (int n = 0; n < count; ++n) {
                if (i + 1 >= args.size())
                    throw UsageError{arg + " needs " + std::to_string(count) + " value(s)"};
                values.push_back(args[++i]);
            }
        }
    }
    return parsed;
}

void expectPositional(const Parsed& parsed, std::size_t count, const char* what) {
    if (parsed.positional.size() != count)
        throw UsageError{what};
}

DeviceKind kindOfName(const std::string& name) {
    if (name == "radiator")
        return DeviceKind::RadiatorFamily;
    if (name == "piecelist")
        return DeviceKind::PieceList;
    throw UsageError{"the kind is radiator or piecelist"};
}

double number(const std::string& text) {
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || text.empty())
        throw UsageError{"not a number: " + text};
    return value;
}

json dateJson(const DeviceDate& date) {
    if (date.empty())
        return nullptr;
    return fmt::format("{:04}-{:02}-{:02}", date.year, date.month, date.day);
}

json itemJson(const DeviceItem& item, const std::optional<double>& ratio) {
    json out = {{"Kind", static_cast<int>(item.kind())},
                {"Name", item.Name},
                {"Path", item.Path},
                {"Date", dateJson(item.Date)},
                {"Version", item.Version}};
    if (const auto* family = dynamic_cast<const RadiatorFamily*>(&item)) {
        out["HomePage"] = family->HomePage;
        out["DTLog"] = family->DTLog;
        out["DTOrigin"] = floatAsShortDouble(family->DTOrigin);
        out["DimensionLists"] = family->DimensionLists;
        json types = json::array();
        for (const RadiatorMainType& type : family->MainTypes)
            types.push_back({{"MainTypeName", type.MainTypeName},
                             {"DimensionIndex", type.DimensionIndex},
                             {"FirstSize", type.FirstSize},
                             {"SizeCount", type.SizeCount},
                             {"kvValue", floatAsShortDouble(type.kvValue)}});
        out["MainTypes"] = types;
        if (ratio)
            out["Ratio"] = *ratio;
        json sizes = json::array();
        for (const RadiatorSize& size : family->Sizes) {
            json s = {{"Name", size.Name},
                      {"DimensionIndex", size.DimensionIndex},
                      {"Power", floatAsShortDouble(size.Power)},
                      {"Surface", floatAsShortDouble(size.Surface)},
                      {"Volume", floatAsShortDouble(size.Volume)},
                      {"Exponent", floatAsShortDouble(size.Exponent)},
                      {"Current", size.Current},
                      {"Length", size.Length},
                      {"Height", size.Height},
                      {"Width", size.Width},
                      {"EstimateCode", size.EstimateCode}};
            if (ratio)
                s["PowerAt"] = SizePower(size, *ratio, 1.0);
            sizes.push_back(s);
        }
        out["Sizes"] = sizes;
    } else if (const auto* list = dynamic_cast<const PieceList*>(&item)) {
        json lines = json::array();
        for (const PieceListLine& line : list->Lines)
            lines.push_back({{"Name", line.Name},
                             {"Type", line.Type},
                             {"Quantity", floatAsShortDouble(line.Quantity)},
                             {"DimensionString", line.DimensionString},
                             {"EstimateCode", line.EstimateCode}});
        out["Lines"] = lines;
    }
    return out;
}

std::unique_ptr<DeviceStore> openTable(const std::string& path) {
    return DeviceStore::open(path);
}

// A set over the table: with a set file, what it selects; without, every item.
std::unique_ptr<DeviceSet> setOf(DeviceStore& table, const std::optional<std::string>& file) {
    auto set =
        std::make_unique<DeviceSet>(table, file ? SetSelection::With : SetSelection::Without);
    if (file)
        set->loadFile(*file);
    return set;
}

int create(const std::vector<std::string>& args, std::ostream& out) {
    const Parsed parsed = parse(args, {}, {});
    expectPositional(parsed, 1, "one table file expected");
    DeviceStore::create(parsed.positional[0]);
    out << parsed.positional[0] << '\n';
    return 0;
}

int import(const std::vector<std::string>& args, std::ostream& out) {
    const Parsed parsed = parse(args, {"--yes-to-all", "--no-to-all"}, {{"--lang", 1}});
    if (parsed.positional.size() < 2)
        throw UsageError{"a table and at least one source file expected"};
    if (parsed.has("--yes-to-all") && parsed.has("--no-to-all"))
        throw UsageError{"--yes-to-all and --no-to-all exclude each other"};
    const StandingAnswer answer = parsed.has("--yes-to-all")  ? StandingAnswer::YesToAll
                                  : parsed.has("--no-to-all") ? StandingAnswer::NoToAll
                                                              : StandingAnswer::None;
    TerminalPrompter prompter;
    PrompterScope scope(&prompter);
    std::unique_ptr<DeviceStore> table = openTable(parsed.positional[0]);
    DeviceDatabaseEditor editor(*table);
    DeviceLoadResult result;
    const auto print = [&] {
        out << json{{"Files", result.files},
                    {"Added", result.added},
                    {"Replaced", result.replaced},
                    {"Kept", result.kept},
                    {"Resets", result.resets}}
                   .dump()
            << '\n';
    };
    try {
        editor.load({parsed.positional.begin() + 1, parsed.positional.end()}, answer, result);
    } catch (const Error&) {
        print(); // what was stored before the fault stays stored
        throw;
    }
    print();
    return 0;
}

int exportItems(const std::vector<std::string>& args, std::ostream& out) {
    const Parsed parsed = parse(args, {}, {{"--set", 1}});
    expectPositional(parsed, 2, "a table and an export file expected");
    std::unique_ptr<DeviceStore> table = openTable(parsed.positional[0]);
    const std::unique_ptr<DeviceSet> set = setOf(*table, parsed.value("--set"));
    DeviceDatabaseEditor editor(*table);
    const DeviceExportResult result = editor.exportItems(*set, parsed.positional[1]);
    out << json{{"Written", result.written},
                {"Unreadable", result.unreadable},
                {"Missing", result.missing},
                {"RootItems", result.rootItems}}
               .dump()
        << '\n';
    return 0;
}

int list(const std::vector<std::string>& args, std::ostream& out) {
    const Parsed parsed = parse(args, {}, {{"--set", 1}});
    expectPositional(parsed, 1, "one table file expected");
    std::unique_ptr<DeviceStore> table = openTable(parsed.positional[0]);
    const std::unique_ptr<DeviceSet> set = setOf(*table, parsed.value("--set"));
    for (const DeviceKind kind : kDeviceKinds) {
        const DeviceHierarchy& folders = set->hierarchy(kind);
        std::map<std::string, DeviceDate> dates;
        for (const DeviceRecord& record : table->records(itemRecordType(kind)))
            dates[record.Name] = record.Date;
        const auto line = [&](const std::string& name, const std::string& path) {
            const auto date = dates.find(name);
            out << json{{"Kind", static_cast<int>(kind)},
                        {"Name", name},
                        {"Path", path},
                        {"Date", date == dates.end() ? json(nullptr) : dateJson(date->second)},
                        {"Selected", set->isSelected(kind, name)}}
                       .dump()
                << '\n';
        };
        for (std::size_t i = 0; i < folders.Names.size(); ++i) {
            line(folders.Names[i], folders.Paths[i]);
            dates.erase(folders.Names[i]);
        }
        // Items no folder list names (a damaged list) are listed too, in the root.
        for (const auto& [name, date] : dates)
            line(name, "");
    }
    return 0;
}

int show(const std::vector<std::string>& args, std::ostream& out) {
    const Parsed parsed = parse(args, {}, {{"--kind", 1}, {"--temperatures", 3}, {"--raw", 1}});
    expectPositional(parsed, 2, "a table and an item name expected");
    const DeviceKind kind = kindOfName(parsed.value("--kind").value_or(std::string("radiator")));
    std::unique_ptr<DeviceStore> table = openTable(parsed.positional[0]);
    DeviceDatabaseEditor editor(*table);
    const std::unique_ptr<DeviceItem> item = editor.check(kind, parsed.positional[1]);
    if (!item)
        throw Error::withText("IDS_UNKNOWEDTYPE", "There is no device item \"" +
                                                      parsed.positional[1] + "\" of this kind.");
    std::optional<double> ratio;
    if (const auto found = parsed.values.find("--temperatures"); found != parsed.values.end()) {
        const auto* family = dynamic_cast<const RadiatorFamily*>(item.get());
        if (!family)
            throw UsageError{"--temperatures needs a radiator family"};
        ratio = ThermalRatio(*family, number(found->second[0]), number(found->second[1]),
                             number(found->second[2]));
    }
    if (const std::optional<std::string> raw = parsed.value("--raw")) {
        MemoryStream stream;
        item->WriteBinary(stream);
        std::ofstream file(*raw, std::ios::binary | std::ios::trunc);
        file << stream.bytes();
        if (!file)
            throw Error("IDS_FILEWRITEERROR", {*raw}, "The file %s cannot be written.");
    }
    out << itemJson(*item, ratio).dump(2) << '\n';
    return 0;
}

int remove(const std::vector<std::string>& args, std::ostream& out) {
    const Parsed parsed = parse(args, {"--yes"}, {{"--folder", 1}, {"--item", 1}});
    expectPositional(parsed, 2, "a table and a kind (radiator or piecelist) expected");
    const std::optional<std::string> folder = parsed.value("--folder");
    const std::optional<std::string> item = parsed.value("--item");
    if (folder.has_value() == item.has_value())
        throw UsageError{"either --folder PATH or --item NAME"};
    const DeviceKind kind = kindOfName(parsed.positional[1]);
    TerminalPrompter terminal;
    platform::ScriptedPrompter confirmed;
    for (int i = 0; i < 2; ++i)
        confirmed.scriptYesNo(true);
    PrompterScope scope(parsed.has("--yes") ? static_cast<platform::Prompter*>(&confirmed)
                                            : &terminal);
    std::unique_ptr<DeviceStore> table = openTable(parsed.positional[0]);
    DeviceDatabaseEditor editor(*table);
    const bool deleted =
        folder ? editor.deleteFolder(kind, *folder) : editor.deleteItem(kind, *item);
    out << json{{"Deleted", deleted}}.dump() << '\n';
    return 0;
}

int set(const std::vector<std::string>& args, std::ostream& out) {
    const Parsed parsed = parse(args, {}, {{"--write", -1}});
    expectPositional(parsed, 2, "a table and a set file expected");
    std::unique_ptr<DeviceStore> table = openTable(parsed.positional[0]);
    const std::string& file = parsed.positional[1];
    if (const auto names = parsed.values.find("--write"); names != parsed.values.end()) {
        DeviceSet chosen(*table, SetSelection::With);
        for (const std::string& name : names->second) {
            const bool found = chosen.select(DeviceKind::RadiatorFamily, name, true) |
                               chosen.select(DeviceKind::PieceList, name, true);
            if (!found)
                throw Error::withText("IDS_UNKNOWEDTYPE",
                                      "There is no device item \"" + name + "\" in the table.");
        }
        chosen.AllItems = false;
        chosen.saveFile(file);
    }
    const std::unique_ptr<DeviceSet> loaded = setOf(*table, file);
    DeviceSet::Position position;
    while (const std::optional<DeviceSetEntry> entry = loaded->next(position))
        out << json{{"Kind", static_cast<int>(entry->kind)},
                    {"Name", entry->name},
                    {"Path", entry->path}}
                   .dump()
            << '\n';
    return 0;
}

int reduce(const std::vector<std::string>& args, std::ostream& out) {
    const Parsed parsed = parse(args, {}, {});
    expectPositional(parsed, 3, "a table, a set file and the new table expected");
    std::unique_ptr<DeviceStore> table = openTable(parsed.positional[0]);
    const std::unique_ptr<DeviceSet> set = setOf(*table, parsed.positional[1]);
    DeviceDatabaseEditor editor(*table);
    out << json{{"Copied", editor.reduce(*set, parsed.positional[2])}}.dump() << '\n';
    return 0;
}

int estimateCodes(const std::vector<std::string>& args, std::ostream& out) {
    const Parsed parsed = parse(args, {}, {});
    expectPositional(parsed, 2, "a table and the link file expected");
    std::unique_ptr<DeviceStore> table = openTable(parsed.positional[0]);
    DeviceDatabaseEditor editor(*table);
    for (const auto& [code, name] : editor.appendEstimateCodes(parsed.positional[1]))
        out << json{{"Code", code}, {"Name", name}}.dump() << '\n';
    return 0;
}

} // namespace

std::vector<Command> deviceDatabaseCommands() {
    return {
        {"devicedb", "create", "TABLE",
         "make a new, empty device table (an existing file is replaced)", create},
        {"devicedb", "import", "TABLE SOURCE... [--yes-to-all|--no-to-all] [--lang ID]",
         "read manufacturers' source files (XML when the name ends in xml, text otherwise) into "
         "the table and print Files, Added, Replaced, Kept and Resets, also when a fault ends the "
         "import (what came before it stays stored); --lang chooses the language of XML texts",
         import},
        {"devicedb", "export", "TABLE FILE [--set S]",
         "write the items (those set file S selects) as XML or text and print Written, "
         "Unreadable, Missing and RootItems (items in no folder, which XML cannot carry back)",
         exportItems},
        {"devicedb", "list", "TABLE [--set S]",
         "list the items of both kinds, one JSON object a line: Kind, Name, Path, Date, Selected",
         list},
        {"devicedb", "show",
         "TABLE NAME [--kind radiator|piecelist] [--temperatures TE TV TI] [--raw OUT]",
         "print one item with every field; with flow, return and room temperatures also the "
         "ratio and each size's output at them; --raw writes its binary form",
         show},
        {"devicedb", "delete", "TABLE radiator|piecelist (--folder PATH|--item NAME) [--yes]",
         "delete a folder with everything in it, or one item, after the question (--yes answers "
         "it)",
         remove},
        {"devicedb", "set", "TABLE S [--write NAME...]",
         "print what set file S selects; with --write, first write S selecting these items", set},
        {"devicedb", "reduce", "TABLE S NEWTABLE",
         "write a new table with the items set file S selects", reduce},
        {"devicedb", "estimate-codes", "TABLE LINKFILE",
         "append the estimate codes the link file does not know yet and print them", estimateCodes},
    };
}

} // namespace kalydor::cli
