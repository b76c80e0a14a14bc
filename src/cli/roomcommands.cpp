// "room calc": the winter heating load of rooms described in JSON, for scripts and for
// checking a room by hand; "project calc": every room of a project recalculated and every
// building totalled.

#include "cli/commands.h"
#include "cli/jsoninput.h"
#include "cli/projectaccess.h"
#include "cli/terminalprompter.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "base/textlookup.h"
#include "constructions/panel.h"
#include "devicedb/devicestore.h"
#include "devicedb/radiatorfamilycache.h"
#include "exchange/textexchange.h"
#include "heating/projectoptions.h"
#include "platform/prompter.h"
#include "rooms/building.h"
#include "rooms/buildingstable.h"
#include "rooms/lowestflow.h"
#include "rooms/pasteditems.h"
#include "rooms/projectrecalculation.h"
#include "rooms/room.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"
#include "store/sqlitedatabase.h"

#include <filesystem>
#include <map>
#include <optional>

#include <ostream>

namespace kalydor::cli {
namespace {

using nlohmann::ordered_json;

constexpr const char* kDefaultLanguage = "Român";

// The fields of a room and of a boundary the JSON names, by kind of value.
template <class Owner> struct Fields {
    std::vector<std::pair<const char*, float Owner::*>> reals;
    std::vector<std::pair<const char*, std::int16_t Owner::*>> words;
    std::vector<std::pair<const char*, std::string Owner::*>> texts;
};

const Fields<Room>& roomFields() {
    static const Fields<Room> fields{
        {{"Area", &Room::Area},
         {"Height", &Room::Height},
         {"Volume0", &Room::Volume0},
         {"Mass1", &Room::Mass1},
         {"HeatMass1", &Room::HeatMass1},
         {"HeatingInSideTemp", &Room::HeatingInSideTemp},
         {"HeatingOutSideTemp", &Room::HeatingOutSideTemp},
         {"TransFactor", &Room::TransFactor},
         {"InternalSource", &Room::InternalSource},
         {"Portion", &Room::Portion},
         {"AirChangeFact", &Room::AirChangeFact},
         {"AirTemp", &Room::AirTemp},
         {"AirVolume", &Room::AirVolume},
         {"FiltPower", &Room::FiltPower},
         {"CoolingInSideTemp", &Room::CoolingInSideTemp},
         {"Ao", &Room::Ao},
         {"Ac", &Room::Ac},
         {"Cm", &Room::Cm},
         {"EFactor", &Room::EFactor},
         {"WindSpeed", &Room::WindSpeed}},
        {{"OutSideTempFromProject", &Room::OutSideTempFromProject},
         {"SunShineFlag", &Room::SunShineFlag},
         {"FiltMode", &Room::FiltMode},
         {"NumOfMens", &Room::NumOfMens},
         {"AirTempFromProject", &Room::AirTempFromProject},
         {"CalcFlags", &Room::CalcFlags},
         {"AcCalculated", &Room::AcCalculated}},
        {{"Name", &Room::Name}, {"Function", &Room::Function}, {"BuildingRef", &Room::BuildingRef}},
    };
    return fields;
}

const Fields<BuildingData>& buildingFields() {
    static const Fields<BuildingData> fields{
        {{"SeaLevel", &BuildingData::SeaLevel},
         {"SettlementTemp", &BuildingData::SettlementTemp},
         {"SettlementSwing", &BuildingData::SettlementSwing}},
        {{"Pollution", &BuildingData::Pollution},
         {"WallMassMode", &BuildingData::WallMassMode},
         {"Compass", &BuildingData::Compass},
         {"BuildingCategory", &BuildingData::BuildingCategory}},
        {{"SettlementName", &BuildingData::SettlementName}},
    };
    return fields;
}

const Fields<Boundary>& boundaryFields() {
    static const Fields<Boundary> fields{
        {{"x", &Boundary::x},
         {"y", &Boundary::y},
         {"MinA", &Boundary::MinA},
         {"Mass", &Boundary::Mass},
         {"HeatMass", &Boundary::HeatMass},
         {"DampFactor", &Boundary::DampFactor},
         {"Delay", &Boundary::Delay},
         {"InSideAlpha", &Boundary::InSideAlpha},
         {"Absorption", &Boundary::Absorption},
         {"Emission", &Boundary::Emission},
         {"GlassRatio", &Boundary::GlassRatio},
         {"InfiltrationFactor", &Boundary::InfiltrationFactor},
         {"InfiltrationLength", &Boundary::InfiltrationLength},
         {"GlassFactor", &Boundary::GlassFactor},
         {"ShadowFactor", &Boundary::ShadowFactor},
         {"ShadowTangent", &Boundary::ShadowTangent},
         {"OverTempWinter", &Boundary::OverTempWinter},
         {"OverTempSummer", &Boundary::OverTempSummer},
         {"k", &Boundary::k},
         {"Rbc", &Boundary::Rbc},
         {"ms", &Boundary::ms},
         {"ns", &Boundary::ns},
         {"Massivitate", &Boundary::Massivitate},
         {"OutsideLength", &Boundary::OutsideLength},
         {"Tetap", &Boundary::Tetap},
         {"InsideLength", &Boundary::InsideLength},
         {"FloorOverTemp", &Boundary::FloorOverTemp},
         {"OpeningRate", &Boundary::OpeningRate}},
        {{"db", &Boundary::db},
         {"Compass", &Boundary::Compass},
         {"Gradient", &Boundary::Gradient},
         {"SunFactor", &Boundary::SunFactor},
         {"ShadowMode", &Boundary::ShadowMode},
         {"OverSideType", &Boundary::OverSideType},
         {"InfiltrationEnabled", &Boundary::InfiltrationEnabled}},
        {{"Name", &Boundary::Name}},
    };
    return fields;
}

// Results a room file may carry (from an earlier run): accepted, and computed afresh.
const std::vector<std::string_view> kRoomResults = {
    "Volume1",      "Mass0",      "Mass2",         "HeatMass0",
    "HeatMass2",    "TransPower", "SunShinePower", "CalculatedFiltPower",
    "HeatingPower", "AcComputed", "AcUsed",        "Rm",
    "AirTempUsed",  "DoorHeat",   "Warnings"};
const std::vector<std::string_view> kBoundaryResults = {"HeatLoss"};

template <class Owner> std::vector<std::string_view> keysOf(const Fields<Owner>& fields) {
    std::vector<std::string_view> keys;
    for (const auto& [key, member] : fields.reals)
        keys.push_back(key);
    for (const auto& [key, member] : fields.words)
        keys.push_back(key);
    for (const auto& [key, member] : fields.texts)
        keys.push_back(key);
    return keys;
}

template <class Owner>
void readFields(const JsonObjectReader& in, const Fields<Owner>& fields, Owner& owner) {
    for (const auto& [key, member] : fields.reals)
        if (in.has(key))
            owner.*member = in.checked(in.at(key), key, NumberRule::Any);
    for (const auto& [key, member] : fields.words)
        if (in.has(key))
            owner.*member = static_cast<std::int16_t>(in.integer(key, -32768, 32767));
    for (const auto& [key, member] : fields.texts)
        if (in.has(key))
            owner.*member = in.text(key);
}

int typeOf(const std::string& name) {
    return Panel::typeOfName(name);
}

bool validType(long code) {
    return code >= 0 && code <= 255;
}

// The constructions of the project a room's boundaries may be made from, by name (or by
// "group\\name"); none outside a project.
using ConstructionLookup = std::function<const Panel*(const std::string&)>;

Boundary boundaryFromJson(const json& object, const std::string& where, float groundTemp,
                          const ConstructionLookup* constructions = nullptr, float roomHeight = 0,
                          const ProjectOptions* options = nullptr) {
    std::vector<std::string_view> keys = keysOf(boundaryFields());
    keys.insert(keys.end(), {"Type", "GrossArea", "Covering", "Construction"});
    keys.insert(keys.end(), kBoundaryResults.begin(), kBoundaryResults.end());
    const JsonObjectReader in(object, where, keys);
    Boundary b;
    b.Tetap = groundTemp; // a new boundary takes the project's ground temperature
    readFields(in, boundaryFields(), b);
    if (in.has("Construction")) {
        // Made from the construction as the room dialog makes it: its kind and thermal values,
        // then the values the file gives (measures, orientation, neighbour temperature).
        if (constructions == nullptr)
            in.fail("\"Construction\" names a construction of a project: import the room into one");
        if (in.has("Type"))
            in.fail("\"Type\" comes from the construction");
        const std::string name = in.text("Construction");
        const Panel* panel = (*constructions)(name);
        if (panel == nullptr)
            in.fail("the project has no construction \"" + name + "\"");
        Boundary made;
        made.CreateFromPanel(*panel, roomHeight, 0, b, options, [&](Boundary& m, std::int16_t) {
            readFields(in, boundaryFields(), m);
            return true;
        });
        return made;
    }
    if (in.has("Type"))
        b.Type = static_cast<std::uint8_t>(in.code("Type", typeOf, validType));
    // The surface of a bridge is entered; every other kind's is measured.
    if (in.has("GrossArea") && boundarykind::isBridge(b.Type))
        b.GrossArea = in.checked(in.at("GrossArea"), "GrossArea", NumberRule::Any);
    if (in.has("Covering")) {
        const json& covering = in.at("Covering");
        if (!covering.is_array() || covering.size() != b.Covering.size())
            in.fail("\"Covering\" must be 12 whole numbers");
        for (std::size_t i = 0; i < b.Covering.size(); ++i) {
            if (!covering[i].is_number_integer() || covering[i].get<long long>() < 0 ||
                covering[i].get<long long>() > 255)
                in.fail("\"Covering\" must be 12 whole numbers from 0 to 255");
            b.Covering[i] = static_cast<std::uint8_t>(covering[i].get<long long>());
        }
    }
    return b;
}

// The keys of a room: its fields, its building copy, its boundaries and the results (ignored);
// in a project also its group and building.
std::vector<std::string_view> roomKeys(bool inProject) {
    std::vector<std::string_view> keys = keysOf(roomFields());
    const std::vector<std::string_view> building = keysOf(buildingFields());
    keys.insert(keys.end(), building.begin(), building.end());
    keys.push_back("Boundaries");
    keys.push_back("Radiators");
    keys.insert(keys.end(), kRoomResults.begin(), kRoomResults.end());
    if (inProject)
        keys.insert(keys.end(), {"Group", "Building"});
    return keys;
}

// A radiator of a room: its mark, family and size, the design temperatures and its output
// (the recalculation refreshes the output from the device table when the family is there).
Radiator radiatorFromJson(const json& object, const std::string& where) {
    const JsonObjectReader in(object, where,
                              {"Mark", "Family", "TypeCode", "InstallationFactor", "Forward",
                               "Return", "Power", "Length", "Height", "Depth"});
    Radiator radiator;
    radiator.Mark = in.text("Mark");
    radiator.Family = in.text("Family");
    radiator.TypeCode = in.text("TypeCode");
    if (in.has("InstallationFactor"))
        radiator.InstallationFactor = in.number("InstallationFactor", NumberRule::Positive);
    const float forward = in.has("Forward") ? in.number("Forward", NumberRule::Any, 200) : 70;
    const float backward = in.has("Return") ? in.number("Return", NumberRule::Any, 200) : 55;
    if (!(forward > backward))
        in.fail("\"Forward\" must be above \"Return\"");
    radiator.setForwardTemperature(forward);
    radiator.setBackwardTemperature(backward);
    radiator.setPower(in.number("Power", NumberRule::NotNegative, 1e6));
    radiator.Length = static_cast<std::int16_t>(in.integer("Length", 0, 32767));
    radiator.Height = static_cast<std::int16_t>(in.integer("Height", 0, 32767));
    radiator.Depth = static_cast<std::int16_t>(in.integer("Depth", 0, 32767));
    return radiator;
}

Room roomFromJson(const json& object, const std::string& where, const ProjectOptions& options,
                  bool inProject = false, const ConstructionLookup* constructions = nullptr) {
    const JsonObjectReader in(object, where, roomKeys(inProject));
    Room room(&options);
    readFields(in, roomFields(), room);
    readFields(in, buildingFields(), room.Building);
    if (in.has("Boundaries")) {
        const json& list = in.at("Boundaries");
        if (!list.is_array())
            in.fail("\"Boundaries\" must be an array");
        for (std::size_t i = 0; i < list.size(); ++i)
            room.Boundaries.push_back(
                boundaryFromJson(list[i], where + ", " + placeOf("boundary", i + 1, list[i]),
                                 options.Romanian.Tetap, constructions, room.Height, &options));
    }
    if (in.has("Radiators")) {
        const json& list = in.at("Radiators");
        if (!list.is_array())
            in.fail("\"Radiators\" must be an array");
        for (std::size_t i = 0; i < list.size(); ++i)
            room.Radiators.push_back(
                radiatorFromJson(list[i], where + ", " + placeOf("radiator", i + 1, list[i])));
    }
    return room;
}

double num(float value) {
    return floatAsShortDouble(value);
}

ordered_json roomJson(const Room& room, const std::vector<RoomFinding>& findings,
                      double projectOutsideTemp) {
    ordered_json out;
    out["Name"] = room.Name;
    out["Volume1"] = num(room.Volume1);
    out["Mass0"] = num(room.Mass0);
    out["Mass2"] = num(room.Mass2);
    out["HeatMass0"] = num(room.HeatMass0);
    out["HeatMass2"] = num(room.HeatMass2);
    out["TransPower"] = num(room.TransPower);
    out["SunShinePower"] = num(room.SunShinePower);
    out["CalculatedFiltPower"] = num(room.CalculatedFiltPower);
    out["HeatingPower"] = num(room.HeatingPower);
    out["AcComputed"] = num(room.AcComputed);
    out["AcUsed"] = num(static_cast<float>(room.acInUse()));
    out["Rm"] = room.Rm ? ordered_json(*room.Rm) : ordered_json(nullptr);
    out["AirTempUsed"] = room.enteringAirTemp(projectOutsideTemp);
    out["DoorHeat"] = room.DoorHeat;
    ordered_json warnings = ordered_json::array();
    for (const RoomFinding& finding : findings)
        warnings.push_back(finding.text());
    out["Warnings"] = warnings;
    ordered_json boundaries = ordered_json::array();
    for (const Boundary& b : room.Boundaries) {
        ordered_json entry;
        entry["Name"] = b.Name;
        entry["GrossArea"] = num(b.GrossArea);
        entry["HeatLoss"] = num(b.HeatLoss);
        entry["OverTempWinter"] = num(b.OverTempWinter);
        boundaries.push_back(std::move(entry));
    }
    out["Boundaries"] = boundaries;
    return out;
}

double parseOutsideTemp(const std::string& text) {
    try {
        return ParseNumber(text);
    } catch (const Error&) {
        throw UsageError{"--project-outside-temp needs a number, not \"" + text + "\""};
    }
}

int calc(const std::vector<std::string>& args, std::ostream& out) {
    const CommandArguments arguments = parseCommandArguments(
        args, {"--project-outside-temp", "--lang"}, {}, "room file (FILE.json)");
    const double outside = parseOutsideTemp(arguments.value("--project-outside-temp", "-15"));
    if (!std::isfinite(outside) || std::fabs(outside) > 100)
        throw UsageError{"--project-outside-temp must lie between -100 and 100"};
    const LanguageScope scope(arguments.value("--lang", kDefaultLanguage));
    ProjectOptions options;
    options.Heating.OutSideTemp = static_cast<float>(outside);
    const json input = readJsonFile(arguments.file);
    std::vector<Room> rooms;
    if (input.is_array()) {
        for (std::size_t i = 0; i < input.size(); ++i)
            rooms.push_back(roomFromJson(input[i], placeOf("room", i + 1, input[i]), options));
    } else {
        rooms.push_back(roomFromJson(input, placeOf("room", 1, input), options));
    }
    ordered_json output = ordered_json::array();
    for (Room& room : rooms) {
        RoomSettings settings;
        settings.projectOutsideTemp = outside;
        const std::vector<RoomFinding> findings = room.Calculate(settings);
        output.push_back(roomJson(room, findings, outside));
    }
    out << output.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
    return 0;
}

// The values of an item's fields by the names the JSON reads them under.
template <class Owner>
void writeFields(ordered_json& out, const Fields<Owner>& fields, const Owner& owner) {
    for (const auto& [key, member] : fields.reals)
        out[key] = num(owner.*member);
    for (const auto& [key, member] : fields.words)
        out[key] = owner.*member;
    for (const auto& [key, member] : fields.texts)
        out[key] = owner.*member;
}

// A stored room: its input as `room calc` reads it, then what its calculation gave.
ordered_json storedRoomJson(const Room& room, const std::string& group, const std::string& id,
                            const BuildingsTable& table, double projectOutsideTemp) {
    ordered_json out;
    out["Group"] = group;
    out["ID"] = id;
    writeFields(out, roomFields(), room);
    writeFields(out, buildingFields(), room.Building);
    out["Building"] = table.RowName(room.BuildingRef);
    const ordered_json results = roomJson(room, {}, projectOutsideTemp);
    for (const auto& [key, value] : results.items())
        if (key != "Boundaries" && key != "Warnings")
            out[key] = value;
    ordered_json boundaries = ordered_json::array();
    for (const Boundary& b : room.Boundaries) {
        ordered_json entry;
        writeFields(entry, boundaryFields(), b);
        entry["Type"] = b.Type;
        entry["GrossArea"] = num(b.GrossArea);
        entry["Covering"] = b.Covering;
        entry["HeatLoss"] = num(b.HeatLoss);
        boundaries.push_back(std::move(entry));
    }
    out["Boundaries"] = boundaries;
    return out;
}

// The buildings and rooms of a project as `project calc` prints them.
void printProject(ItemStore& project, const RoomSettings& settings,
                  const RecalculationResult& result, std::ostream& out) {
    const BuildingsTable table = BuildingsTable::load(project);
    ordered_json rooms = ordered_json::array();
    // The rooms of each building, its own and those of the buildings below it, from this one
    // pass over the rooms.
    std::map<std::string, std::vector<std::string>> ownRooms;
    std::map<std::string, std::vector<std::string>> roomsBelow;
    project.scanRecords(RecordType::Room, [&](const Reference& record, const std::string& data) {
        Room room;
        room.Name = record.Name;
        if (!readStoredItem(room, data))
            return;
        if (!room.BuildingRef.empty()) {
            ownRooms[room.BuildingRef].push_back(record.Name);
            for (const BuildingsTableItem* above : table.ancestors(room.BuildingRef))
                roomsBelow[above->ID].push_back(record.Name);
        }
        // The boundaries' losses, the mean resistance and the door heat are not stored: a
        // copy calculated again shows them (its stored results are those just written).
        Room shown = room;
        try {
            (void)shown.Calculate({settings.projectOutsideTemp, {}});
        } catch (const Error&) {
            shown = room;
        }
        rooms.push_back(
            storedRoomJson(shown, project.PathOfGroup(RecordType::RoomGroup, record.RefID, '\\'),
                           record.ID, table, settings.projectOutsideTemp));
    });
    ordered_json buildings = ordered_json::array();
    project.scanRecords(
        RecordType::Building, [&](const Reference& record, const std::string& data) {
            Building building;
            building.Name = record.Name;
            building.ID = record.ID;
            if (!readStoredItem(building, data))
                return;
            ordered_json entry;
            entry["Name"] = record.Name;
            entry["Group"] = project.PathOfGroup(RecordType::BuildingGroup, record.RefID, '\\');
            entry["ID"] = record.ID;
            entry["ParentID"] = building.ParentID;
            entry["Parent"] = table.RowName(building.ParentID);
            entry["Pollution"] = building.Pollution;
            entry["WallMassMode"] = building.WallMassMode;
            entry["UsingMode"] = building.UsingMode;
            entry["Compass"] = building.Compass;
            entry["SummerValue"] = num(building.SummerValue);
            entry["HeatingLoss"] = num(building.HeatingLoss);
            entry["CalculatedMass"] = num(building.CalculatedMass);
            entry["SettlementName"] = building.SettlementName;
            entry["BuildingCategory"] = building.BuildingCategory;
            entry["SeaLevel"] = num(building.SeaLevel);
            entry["SettlementTemp"] = num(building.SettlementTemp);
            entry["SettlementSwing"] = num(building.SettlementSwing);
            ordered_json names = ordered_json::array();
            for (const auto* lists : {&ownRooms, &roomsBelow})
                if (const auto found = lists->find(record.ID); found != lists->end())
                    for (const std::string& name : found->second)
                        names.push_back(name);
            entry["RoomCount"] = names.size();
            entry["Rooms"] = names;
            buildings.push_back(std::move(entry));
        });
    ordered_json unchanged = ordered_json::array();
    for (const RecalculationResult::Unchanged& room : result.unchanged)
        unchanged.push_back({{"Room", room.room}, {"Messages", room.messages}});
    ordered_json output;
    output["Buildings"] = buildings;
    output["Rooms"] = rooms;
    output["Unreadable"] = result.unreadable;
    output["Unchanged"] = unchanged;
    out << output.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
}

int projectCalc(const std::vector<std::string>& args, std::ostream& out) {
    const CommandArguments arguments =
        parseCommandArguments(args, {"--lang"}, {"--dry-run", "--convert"}, "project file");
    const bool dryRun = arguments.switches.count("--dry-run") != 0;
    const LanguageScope scope(arguments.value("--lang", kDefaultLanguage));
    const std::unique_ptr<ItemStore> project =
        openCurrentProject(arguments.file, arguments.switches.count("--convert") != 0);
    const ProjectOptions options = loadOptions(*project, arguments.file);
    const ProjectCalculation calculation(options);
    // A dry run keeps nothing: the recalculation runs inside a transaction never committed.
    std::optional<SqliteTransaction> dry;
    if (dryRun)
        dry.emplace(project->database());
    const RecalculationResult result = RecalculateProject(*project, calculation.settings);
    printProject(*project, calculation.settings, result, out);
    return result.unreadable.empty() ? 0 : 1;
}

// The group of an imported item: a path of group names separated by "\\", the root when empty.
std::string groupOf(ItemStore& project, std::int16_t groupType, const JsonObjectReader& in) {
    if (!in.has("Group"))
        return project.RootId();
    std::string path = in.text("Group");
    if (!normalizeImportedPath(path, '\\'))
        in.fail("\"Group\" is not a usable group path");
    return path.empty() ? project.RootId() : project.GroupOfPath(groupType, path, '\\');
}

// Stores an imported item's record under its name in its group: a taken name is refused
// unless replacing, which keeps the record's identifier. Gives the identifier.
std::string storeImported(ItemStore& project, std::int16_t type, const std::string& group,
                          const std::string& name, const std::string& data, bool replace,
                          const std::string& where) {
    if (name.empty() || name.size() > 31)
        throw std::runtime_error(where + ": a name of 1 to 31 characters is needed");
    if (project.FindRecord(type, group, name)) {
        if (!replace)
            throw std::runtime_error(where + ": \"" + name +
                                     "\" is taken in its group (--replace overwrites it)");
        project.setCurrentData(data);
        return project.current().ID;
    }
    return project.AddRecord(type, group, name, data);
}

int projectImportJson(const std::vector<std::string>& args, std::ostream& out) {
    if (args.empty() || args[0].starts_with("--"))
        throw UsageError{"a project file and a JSON file expected"};
    const std::string projectFile = args[0];
    const CommandArguments arguments =
        parseCommandArguments(std::vector<std::string>(args.begin() + 1, args.end()), {"--lang"},
                              {"--replace"}, "JSON file");
    const bool replace = arguments.switches.count("--replace") != 0;
    const LanguageScope scope(arguments.value("--lang", kDefaultLanguage));
    const json input = readJsonFile(arguments.file);
    const std::unique_ptr<ItemStore> project = openCurrentProject(projectFile, false);
    const ProjectOptions options = loadOptions(*project, projectFile);
    const ProjectCalculation calculation(options);

    const json* buildings = nullptr;
    const json* rooms = &input;
    if (input.is_object() && (input.contains("Buildings") || input.contains("Rooms"))) {
        const JsonObjectReader top(input, arguments.file, {"Buildings", "Rooms"});
        buildings = top.has("Buildings") ? &top.at("Buildings") : nullptr;
        rooms = top.has("Rooms") ? &top.at("Rooms") : nullptr;
        for (const json* list : {buildings, rooms})
            if (list != nullptr && !list->is_array())
                top.fail("\"Buildings\" and \"Rooms\" must be arrays");
    }

    // The project's constructions by name and by group path, each loaded once when a
    // boundary first names it.
    std::map<std::string, std::unique_ptr<Panel>> loadedPanels;
    const ConstructionLookup constructions = [&](const std::string& name) -> const Panel* {
        auto found = loadedPanels.find(name);
        if (found != loadedPanels.end())
            return found->second.get();
        std::unique_ptr<Panel> panel;
        for (const Reference& record : project->ListRecords(RecordType::Panel)) {
            const std::string path =
                project->PathOfGroup(RecordType::PanelGroup, record.RefID, '\\') + record.Name;
            if (record.Name != name && path != name)
                continue;
            auto candidate = std::make_unique<Panel>();
            candidate->Name = record.Name;
            if (project->FindRecord(record.Type, record.RefID, record.Name) &&
                project->LoadItem(*candidate)) {
                panel = std::move(candidate);
                break;
            }
        }
        return loadedPanels.emplace(name, std::move(panel)).first->second.get();
    };

    // Everything or nothing: a bad value, a taken name, an unknown parent or a loop leaves
    // the project as it was.
    SqliteTransaction transaction(project->database());
    const std::vector<SettlementEntry> settlements = settlementList();
    std::vector<std::tuple<std::string, std::string, std::string>> parents; // id, parent, where
    if (buildings != nullptr) {
        for (std::size_t i = 0; i < buildings->size(); ++i) {
            const json& object = (*buildings)[i];
            const std::string where = placeOf("building", i + 1, object);
            const JsonObjectReader in(object, where,
                                      {"Name", "Group", "Parent", "Pollution", "WallMassMode",
                                       "BuildingCategory", "SettlementName", "SeaLevel",
                                       "Compass"});
            Building building;
            building.Name = in.has("Name") ? in.text("Name") : std::string();
            if (in.has("Pollution"))
                building.Pollution = static_cast<std::int16_t>(in.integer("Pollution", 0, 2));
            if (in.has("WallMassMode"))
                building.WallMassMode = static_cast<std::int16_t>(in.integer("WallMassMode", 0, 1));
            if (in.has("BuildingCategory"))
                building.BuildingCategory =
                    static_cast<std::int16_t>(in.integer("BuildingCategory", 0, 4));
            if (in.has("Compass"))
                building.Compass = static_cast<std::int16_t>(in.integer("Compass", -32768, 32767));
            if (in.has("SeaLevel"))
                building.SeaLevel = in.checked(in.at("SeaLevel"), "SeaLevel", NumberRule::Any);
            if (in.has("SettlementName"))
                building.SettlementName = in.text("SettlementName");
            building.SetClimate(settlements);
            const std::string group = groupOf(*project, RecordType::BuildingGroup, in);
            const std::string id =
                storeImported(*project, RecordType::Building, group, building.Name,
                              building.recordBytes(), replace, where);
            if (in.has("Parent") && !in.text("Parent").empty())
                parents.emplace_back(id, in.text("Parent"), where);
        }
    }
    // Parents last: a building may name one that comes after it.
    if (!parents.empty()) {
        BuildingsTable table = BuildingsTable::load(*project);
        for (const auto& [id, parentName, where] : parents) {
            const BuildingsTableItem* parent = table.byName(parentName);
            if (parent == nullptr)
                throw std::runtime_error(where + ": no building \"" + parentName + "\"");
            if (table.wouldLoop(id, parent->ID))
                throw std::runtime_error(where + ": \"" + parentName +
                                         "\" is below this building: a loop");
            const BuildingsTableItem* row = table.byId(id);
            if (!project->FindRecord(RecordType::Building, row->RefID, row->Name))
                throw std::runtime_error(where + ": the building is gone");
            Building building;
            building.Name = row->Name;
            if (!readStoredItem(building, project->currentData()))
                throw std::runtime_error(where + ": the building cannot be read back");
            building.ParentID = parent->ID;
            project->setCurrentData(building.recordBytes());
            table = BuildingsTable::load(*project);
        }
    }
    if (rooms != nullptr) {
        BuildingsTable table = BuildingsTable::load(*project);
        const json one = json::array({*rooms});
        const json& list = rooms->is_array() ? *rooms : one;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string where = placeOf("room", i + 1, list[i]);
            // A new room of this project: its options fill what the file leaves out.
            Room room = roomFromJson(list[i], where, options, true, &constructions);
            const JsonObjectReader in(list[i], where, roomKeys(true));
            room.BuildingName = in.has("Building") ? in.text("Building") : std::string();
            room.BuildingRef.clear();
            linkPastedItem(*project, table, room, calculation.settings);
            const std::string group = groupOf(*project, RecordType::RoomGroup, in);
            storeImported(*project, RecordType::Room, group, room.Name, room.recordBytes(), replace,
                          where);
        }
    }
    (void)RecollectBuildings(*project);
    transaction.commit();
    const RecalculationResult shown;
    printProject(*project, calculation.settings, shown, out);
    return 0;
}

// The lowest flow temperature the radiators as chosen allow, room by room: the figure to
// know before a heat pump replaces a boiler.
int projectLowestFlow(const std::vector<std::string>& args, std::ostream& out) {
    const CommandArguments arguments = parseCommandArguments(
        args, {"--spread", "--building", "--devicedb", "--lang"}, {}, "project file");
    const LanguageScope scope(arguments.value("--lang", kDefaultLanguage));
    double spread = 5;
    if (const auto given = arguments.values.find("--spread"); given != arguments.values.end()) {
        std::size_t used = 0;
        try {
            spread = std::stod(given->second, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != given->second.size() || !(spread > 0 && spread <= 40))
            throw UsageError{"--spread takes the kelvin between flow and return, above 0 and at "
                             "most 40"};
    }
    const std::unique_ptr<ItemStore> project = openCurrentProject(arguments.file, false);
    const ProjectOptions options = loadOptions(*project, arguments.file);
    const ProjectCalculation calculation(options, arguments.value("--devicedb", {}));
    std::string buildingId;
    if (const auto named = arguments.values.find("--building"); named != arguments.values.end()) {
        const BuildingsTable buildings = BuildingsTable::load(*project);
        const BuildingsTableItem* building = buildings.byName(named->second);
        if (building == nullptr)
            throw Error("IDS_RECORDGONE", {named->second}, "The record \"%s\" no longer exists.");
        buildingId = building->ID;
    }
    const LowestFlowResult result = LowestFlowOfProject(*project, spread, *calculation.families,
                                                        calculation.settings, buildingId);
    json rooms = json::array();
    for (const RoomLowestFlow& room : result.rooms) {
        json entry;
        entry["Room"] = room.room;
        entry["Building"] = room.building;
        entry["Load"] = std::round(room.load);
        entry["Flow"] = room.flow ? json(*room.flow) : json(nullptr);
        entry["Return"] = room.flow ? json(*room.flow - spread) : json(nullptr);
        entry["LimitingRadiator"] = room.limitingRadiator;
        entry["LeftOut"] =
            room.gap == LowestFlowGap::None ? std::string() : GetText(lowestFlowGapKey(room.gap));
        rooms.push_back(std::move(entry));
    }
    json output;
    output["Spread"] = spread;
    output["Flow"] = result.flow ? json(*result.flow) : json(nullptr);
    output["Limiting"] = result.limiting;
    output["Rooms"] = std::move(rooms);
    output["Unreadable"] = result.unreadable;
    out << output.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
    return result.unreadable.empty() ? 0 : 1;
}

} // namespace

std::vector<Command> roomCommands() {
    return {
        {"room", "calc", "FILE.json [--project-outside-temp T] [--lang ID]",
         "calculate the winter heating load of rooms given as JSON (one object or an array; "
         "the room's fields, the building copy and \"Boundaries\"), the project's outside "
         "temperature T defaulting to -15 °C, and print the results as JSON",
         calc},
        {"project", "calc", "PROJECT [--dry-run] [--convert] [--lang ID]",
         "recalculate every room of a project (radiators from the device table beside the "
         "program, when there is one) and total every building; print buildings and rooms as "
         "JSON. --dry-run keeps nothing; --convert converts a project of an older format "
         "first. Exit 1 when a record could not be read",
         projectCalc},
        {"project", "import-json", "PROJECT FILE.json [--replace] [--lang ID]",
         "add buildings and rooms given as JSON ({\"Buildings\": [...], \"Rooms\": [...]}, or "
         "rooms as `room calc` reads them, with \"Group\" and \"Building\"): each room is "
         "linked to its building by name, calculated and stored, then the buildings are "
         "totalled; all or nothing. --replace overwrites items of the same name and group",
         projectImportJson},
        {"project", "lowest-flow",
         "PROJECT [--spread K] [--building NAME] [--devicedb FILE] [--lang ID]",
         "the lowest flow temperature at which every room's radiators, as chosen, still cover "
         "its design heating load, with the return K kelvin lower (default 5): per room the "
         "flow it needs and its weakest radiator, rooms without radiators or with floor "
         "heating left out and said why; Flow is the highest of them (none when a room falls "
         "short even at 110 °C) and Limiting names the rooms that need it",
         projectLowestFlow},
    };
}

} // namespace kalydor::cli
