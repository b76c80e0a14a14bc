// The changes of many rooms from the command line: constructions, temperatures, the building
// and the orientation of the rooms a command is given (all when none).

#include "cli/commands.h"
#include "cli/jsoninput.h"
#include "cli/projectaccess.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "base/textlookup.h"
#include "constructions/panel.h"
#include "devicedb/devicestore.h"
#include "devicedb/radiatorfamilycache.h"
#include "rooms/buildingstable.h"
#include "rooms/bulkchanges.h"
#include "rooms/radiatorchange.h"
#include "rooms/roombulkchange.h"
#include "store/itemkinds.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>

namespace kalydor::cli {
namespace {

using ordered_json = nlohmann::ordered_json;

// The language of texts the commands compare with ("IDS_TOUT") and of their messages.
constexpr const char* kDefaultLanguage = "Român";

// The arguments of a bulk command: the project (and the command's own positional arguments),
// options with a value (some of them repeatable) and switches.
struct BulkArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>, std::less<>> values;
    std::set<std::string, std::less<>> switches;
    std::optional<std::string> value(std::string_view option) const {
        const auto found = values.find(option);
        return found == values.end() ? std::nullopt : std::optional(found->second.back());
    }
    std::vector<std::string> all(std::string_view option) const {
        const auto found = values.find(option);
        return found == values.end() ? std::vector<std::string>{} : found->second;
    }
};

BulkArguments parseBulk(const std::vector<std::string>& args,
                        const std::vector<std::string_view>& valueOptions,
                        const std::vector<std::string_view>& switchOptions,
                        std::size_t positionalCount, const std::string& positionalWanted) {
    BulkArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (std::find(valueOptions.begin(), valueOptions.end(), arg) != valueOptions.end()) {
            if (i + 1 >= args.size())
                throw UsageError{arg + " needs a value"};
            parsed.values[arg].push_back(args[++i]);
        } else if (std::find(switchOptions.begin(), switchOptions.end(), arg) !=
                   switchOptions.end()) {
            parsed.switches.insert(arg);
        } else if (arg.starts_with("--")) {
            throw UsageError{"unknown option " + arg};
        } else {
            parsed.positional.push_back(arg);
        }
    }
    if (parsed.positional.size() != positionalCount)
        throw UsageError{positionalWanted + " expected"};
    return parsed;
}

// The project a bulk command changes, with what its rooms are calculated with.
struct OpenProject {
    OpenProject(const std::string& file, const BulkArguments& arguments)
        : language(arguments.value("--lang").value_or(kDefaultLanguage))
        , project(openCurrentProject(file, false))
        , options(loadOptions(*project, file))
        , calculation(options)
        , rooms(chooseRooms(*project, arguments.all("--room"))) {}
    LanguageScope language;
    std::unique_ptr<ItemStore> project;
    ProjectOptions options;
    ProjectCalculation calculation;
    std::vector<Reference> rooms;
};

// The result of a change as JSON: rooms stored, the boundaries it changed, buildings
// totalled, and the rooms left as they were with the reason. Exit 1 when a room was left.
int report(const RoomBulkResult& result, ordered_json out, const char* changedKey,
           std::ostream& stream) {
    out["Rooms"] = result.rooms;
    if (changedKey != nullptr)
        out[changedKey] = result.changed;
    out["Buildings"] = result.buildings;
    ordered_json skipped = ordered_json::array();
    for (const RoomBulkResult::Skipped& room : result.skipped)
        skipped.push_back({{"Room", room.room}, {"Reason", room.reason}});
    out["Skipped"] = skipped;
    stream << out.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
    return result.skipped.empty() ? 0 : 1;
}

const std::vector<std::string_view> kCommon = {"--room", "--lang"};

std::vector<std::string_view> with(std::vector<std::string_view> more) {
    more.insert(more.end(), kCommon.begin(), kCommon.end());
    return more;
}

int kindOf(const std::string& text) {
    int kind = Panel::typeOfName(text);
    if (kind < 0) {
        try {
            const double number = ParseNumber(text, NumberRule::NotNegative);
            kind = number == std::trunc(number) && number < 256 ? static_cast<int>(number) : -1;
        } catch (const Error&) {
            kind = -1;
        }
    }
    const std::vector<int>& kinds = ConstructionSearch::kinds();
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end())
        throw std::runtime_error("--kind: \"" + text +
                                 "\" is not a construction kind a boundary can have");
    return kind;
}

// "--only 0,2,5": the list entries to change, by their 0-based index.
template <class Entry>
std::vector<Entry> onlyChosen(const std::vector<Entry>& matches,
                              const std::optional<std::string>& only) {
    if (!only)
        return matches;
    std::vector<Entry> chosen;
    for (const std::string& part : splitText(*only, ',')) {
        const std::string index = trimmedText(part);
        std::size_t used = 0;
        unsigned long value = 0;
        try {
            value = std::stoul(index, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != index.size() || value >= matches.size())
            throw std::runtime_error("--only: \"" + index +
                                     "\" is not the index of a match (0 to " +
                                     std::to_string(matches.size()) + " - 1)");
        chosen.push_back(matches[value]);
    }
    return chosen;
}

int changeConstructions(const std::vector<std::string>& args, std::ostream& out) {
    const BulkArguments arguments =
        parseBulk(args, with({"--kind", "--name", "--k", "--set", "--only"}), {"--dry-run"}, 1,
                  "a project file");
    // An unknown field is wrong use; the values are read before anything is opened.
    ConstructionValues values;
    std::vector<std::pair<ConstructionField, std::string>> settings;
    for (const std::string& assignment : arguments.all("--set")) {
        const std::size_t equals = assignment.find('=');
        const std::optional<ConstructionField> field =
            equals == std::string::npos
                ? std::nullopt
                : ConstructionValues::fieldNamed(assignment.substr(0, equals));
        if (!field)
            throw UsageError{"--set FIELD=VALUE: \"" + assignment +
                             "\" names no field (Name, k, Massivitate, DampFactor, Delay, "
                             "InSideAlpha, Mass, HeatMass, GlassRatio, InfiltrationFactor, ms, "
                             "ns, Rbc)"};
        settings.emplace_back(*field, assignment.substr(equals + 1));
    }
    const std::optional<std::string> kind = arguments.value("--kind");
    if (!kind)
        throw UsageError{"--kind KIND is needed"};
    OpenProject open(arguments.positional[0], arguments);
    for (const auto& [field, text] : settings)
        values.set(field, text);
    ConstructionSearch search;
    search.kind = kindOf(*kind);
    search.name = arguments.value("--name");
    if (const std::optional<std::string> k = arguments.value("--k"))
        search.k = static_cast<float>(ParseNumber(*k, NumberRule::Any));

    const std::vector<BoundaryMatch> found = FindMatches(*open.project, open.rooms, search);
    ordered_json matches = ordered_json::array();
    for (std::size_t i = 0; i < found.size(); ++i)
        matches.push_back({{"Index", i},
                           {"Room", found[i].where.reference.Name},
                           {"Boundary", found[i].boundaryName},
                           {"k", floatAsShortDouble(found[i].k)},
                           {"x", floatAsShortDouble(found[i].x)},
                           {"y", floatAsShortDouble(found[i].y)},
                           {"Orientation", found[i].orientation}});
    ordered_json output;
    output["Matches"] = matches;
    const std::vector<BoundaryMatch> chosen = onlyChosen(found, arguments.value("--only"));
    if (arguments.switches.count("--dry-run") != 0) {
        out << output.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
        return 0;
    }
    const ConstructionChange change(chosen, values);
    // No match changes no room; the buildings are totalled all the same.
    return report(ChangeRooms(*open.project, change.rooms(), open.calculation.settings, change),
                  output, "Boundaries", out);
}

// A temperature box: "project" takes the project's temperature.
std::string temperatureBox(const std::optional<std::string>& typed) {
    if (!typed)
        return {};
    if (*typed == "project")
        return GetText("IDS_TOUT");
    if (typed->empty())
        throw std::runtime_error("a temperature or \"project\" expected");
    return *typed;
}

int setTemperatures(const std::vector<std::string>& args, std::ostream& out) {
    const BulkArguments arguments =
        parseBulk(args, with({"--outside", "--inside", "--air"}), {}, 1, "a project file");
    OpenProject open(arguments.positional[0], arguments);
    std::optional<std::string> inside = arguments.value("--inside");
    if (inside && inside->empty())
        throw std::runtime_error("--inside: a temperature expected");
    const TemperatureChange change = TemperatureChange::read(
        temperatureBox(arguments.value("--outside")), inside.value_or(std::string()),
        temperatureBox(arguments.value("--air")));
    return report(ChangeRooms(*open.project, open.rooms, open.calculation.settings, change), {},
                  nullptr, out);
}

int moveRooms(const std::vector<std::string>& args, std::ostream& out) {
    const BulkArguments arguments =
        parseBulk(args, with({}), {}, 2, "a project file and a building");
    OpenProject open(arguments.positional[0], arguments);
    const std::string& wanted = arguments.positional[1];
    const BuildingsTable table = BuildingsTable::load(*open.project);
    // A name, or the group path and name when names repeat.
    std::vector<const BuildingsTableItem*> found;
    for (const BuildingsTableItem& row : table.rows()) {
        const std::string path =
            open.project->PathOfGroup(RecordType::BuildingGroup, row.RefID, '\\') + row.Name;
        if (row.Name == wanted || path == wanted)
            found.push_back(&row);
    }
    if (found.empty())
        throw std::runtime_error("no building \"" + wanted + "\"");
    if (found.size() > 1)
        throw std::runtime_error("more than one building is named \"" + wanted +
                                 "\": give its group path and name");
    const BuildingMove change(found.front()->ID);
    ordered_json output;
    output["Building"] = found.front()->Name;
    return report(ChangeRooms(*open.project, open.rooms, open.calculation.settings, change), output,
                  nullptr, out);
}

int rotate(const std::vector<std::string>& args, std::ostream& out) {
    const BulkArguments arguments =
        parseBulk(args, with({"--by", "--mirror"}), {}, 1, "a project file");
    const std::optional<std::string> by = arguments.value("--by");
    const std::optional<std::string> axis = arguments.value("--mirror");
    if (by.has_value() == axis.has_value())
        throw UsageError{"either --by DEG or --mirror AXIS"};
    OpenProject open(arguments.positional[0], arguments);
    const OrientationChange change =
        by ? OrientationChange::rotation(*by) : OrientationChange::mirror(*axis);
    return report(ChangeRooms(*open.project, open.rooms, open.calculation.settings, change), {},
                  "Boundaries", out);
}

// "--rule OF#OM#NF#NM": one rule of kind 1, read as a line of a rules file.
ChangeRule ruleOf(const std::string& text) {
    const std::vector<ChangeRule> rules =
        changerules::parse(std::string(changerules::kHeader) + "\n1#" + text + "\n");
    if (rules.size() != 1)
        throw std::runtime_error("--rule: \"" + text + "\" is no rule OF#OM#NF#NM");
    return rules.front();
}

int changeRadiators(const std::vector<std::string>& args, std::ostream& out) {
    const BulkArguments arguments =
        parseBulk(args,
                  with({"--forward", "--return", "--rules", "--rule", "--device-db",
                        "--only-current", "--only"}),
                  {"--keep-difference", "--new-size", "--dry-run"}, 1, "a project file");
    const std::optional<std::string> onlyCurrent = arguments.value("--only-current");
    if (onlyCurrent && *onlyCurrent != "on" && *onlyCurrent != "off")
        throw UsageError{"--only-current on|off"};
    OpenProject open(arguments.positional[0], arguments);
    // Every value and rule is read before any room is touched.
    RadiatorChangeSettings settings =
        RadiatorChangeSettings::read(arguments.value("--forward").value_or(std::string()),
                                     arguments.value("--return").value_or(std::string()),
                                     arguments.switches.count("--keep-difference") != 0,
                                     arguments.switches.count("--new-size") != 0);
    if (const std::optional<std::string> file = arguments.value("--rules"))
        settings.rules = changerules::load(*file);
    for (const std::string& rule : arguments.all("--rule"))
        settings.rules.push_back(ruleOf(rule));
    settings.choice.Nearest = open.options.Radiator.Nearest != 0;
    settings.choice.OnlyCurrentRadiators = onlyCurrent == std::optional<std::string>("on");

    // The device table beside the program, or the one named.
    std::unique_ptr<DeviceStore> named;
    RadiatorFamilyCache namedCache;
    std::unique_ptr<CachedRadiatorFamilies> namedFamilies;
    RadiatorFamilySource* families = open.calculation.families.get();
    RoomSettings roomSettings = open.calculation.settings;
    if (const std::optional<std::string> table = arguments.value("--device-db")) {
        named = DeviceStore::open(*table);
        namedFamilies = std::make_unique<CachedRadiatorFamilies>(named.get(), namedCache);
        families = namedFamilies.get();
        roomSettings.refreshRadiators = [families](Room& room, double ti) {
            for (Radiator& radiator : room.Radiators)
                radiator.Refresh(*families, ti);
        };
    }

    const std::vector<RadiatorCandidate> found =
        FindRadiatorCandidates(*open.project, open.rooms, settings, *families);
    ordered_json matches = ordered_json::array();
    for (std::size_t i = 0; i < found.size(); ++i) {
        const Radiator& before = found[i].before;
        const Radiator& after = found[i].after;
        matches.push_back({{"Index", i},
                           {"Room", found[i].room.Name},
                           {"Mark", before.Mark},
                           {"OldTypeCode", before.TypeCode},
                           {"NewTypeCode", after.TypeCode},
                           {"OldPower", floatAsShortDouble(before.Power())},
                           {"NewPower", floatAsShortDouble(after.Power())},
                           {"Length", after.Length},
                           {"Height", after.Height},
                           {"Depth", after.Depth}});
    }
    ordered_json output;
    output["Matches"] = matches;
    if (arguments.switches.count("--dry-run") != 0) {
        out << output.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
        return 0;
    }
    const RadiatorChange change(onlyChosen(found, arguments.value("--only")), settings, *families);
    return report(ChangeRooms(*open.project, change.rooms(), roomSettings, change), output,
                  "Radiators", out);
}

} // namespace

std::vector<Command> bulkCommands() {
    const std::string rooms =
        " ROOMS (--room PATH…: a room's \"\\\"-separated group path and name, or a group for "
        "every room below it; none: every room). Prints Rooms, Buildings and Skipped (Room, "
        "Reason) as JSON; all or nothing; exit 1 when a room was left as it was";
    return {
        {"project", "change-constructions",
         "PROJECT --kind KIND [--name N] [--k R] --set FIELD=VALUE... [--room PATH]... "
         "[--dry-run] [--only I,J...] [--lang ID]",
         "give the boundaries of a kind (and name, and resistance exactly) new construction "
         "values; FIELD one of Name, k, Massivitate, DampFactor, Delay, InSideAlpha, Mass, "
         "HeatMass, GlassRatio, InfiltrationFactor, ms, ns, Rbc. Matches lists them with a "
         "0-based Index; --dry-run stops there, --only changes the listed ones." +
             rooms,
         changeConstructions},
        {"project", "set-temperatures",
         "PROJECT [--outside T|project] [--inside T] [--air T|project] [--room PATH]... "
         "[--lang ID]",
         "set the winter outside, inside and entering-air temperatures of rooms." + rooms,
         setTemperatures},
        {"project", "move-rooms", "PROJECT BUILDING [--room PATH]... [--lang ID]",
         "link rooms to another building (its name, or group path and name)." + rooms, moveRooms},
        {"project", "change-radiators",
         "PROJECT [--forward T] [--return T] [--keep-difference] [--new-size] [--rules FILE] "
         "[--rule OF#OM#NF#NM]... [--device-db FILE] [--only-current on|off] [--room PATH]... "
         "[--dry-run] [--only I,J...] [--lang ID]",
         "give radiators new water temperatures (--keep-difference: only one of them), replace "
         "families and main types by rules (from a .krr file or given), choose new sizes; "
         "each radiator is tried first (an error changes nothing). Matches lists them with a "
         "0-based Index; --dry-run stops there, --only changes the listed ones. Sizes follow "
         "the project's nearest-size option; --only-current prefers stocked sizes (off)." +
             rooms,
         changeRadiators},
        {"project", "rotate", "PROJECT --by DEG|--mirror AXIS [--room PATH]... [--lang ID]",
         "turn the outside boundaries of rooms clockwise by DEG, or mirror them about the "
         "direction AXIS." +
             rooms,
         rotate},
    };
}

} // namespace kalydor::cli
