#include "cli/commands.h"

#include "base/error.h"
#include "constructions/material.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <filesystem>
#include <iostream>
#include <ostream>

namespace kalydor::cli {
namespace {

namespace fs = std::filesystem;

// A stored float as the shortest decimal that reads back to the same float, so 0.8 shows
// as 0.8 and not as its double expansion.
double jsonNumber(float value) {
    const std::string text = fmt::format("{}", value);
    double number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

nlohmann::json materialJson(const Material& m, const std::string& groupPath) {
    nlohmann::json sorption = nlohmann::json::array();
    for (const float point : m.Sorption)
        sorption.push_back(jsonNumber(point));
    nlohmann::json diagram = nlohmann::json::array();
    for (const AirLayerPoint& point : m.Diagram)
        diagram.push_back({jsonNumber(point.thickness), jsonNumber(point.resistance)});
    return {{"Name", m.Name},
            {"ID", m.ID},
            {"Group", groupPath},
            {"Kind", m.Kind},
            {"KindName", materialKindName(m.Kind)},
            {"Flags", m.Flags},
            {"Untouched", m.Untouched},
            {"Thickness", jsonNumber(m.Thickness)},
            {"Density", jsonNumber(m.Density)},
            {"ThermalCond", jsonNumber(m.ThermalCond)},
            {"ThermalRes", jsonNumber(m.ThermalRes)},
            {"HeatCapacity", jsonNumber(m.HeatCapacity)},
            {"SteamDiffCond", jsonNumber(m.SteamDiffCond)},
            {"SteamDiffRes", jsonNumber(m.SteamDiffRes)},
            {"SteamDiffResNum", jsonNumber(m.SteamDiffResNum)},
            {"InitialHumidity", jsonNumber(m.InitialHumidity)},
            {"PermitHumidity", jsonNumber(m.PermitHumidity)},
            {"Sorption", sorption},
            {"Diagram", diagram},
            {"Ventilled", m.Ventilled}};
}

// Every material of a material table, one JSON object a line in list order. A material
// whose record cannot be read is reported on the standard error stream and makes the
// command fail after the others have been listed.
int list(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() != 1)
        throw UsageError{"one material table expected"};
    const fs::path path(args[0]);
    ItemStore table(path.has_parent_path() ? path.parent_path().string() : ".",
                    path.filename().string(), TableMode::ReadOnly, TableKind::Catalogue);
    int failed = 0;
    for (const Reference& record : table.ListRecords(RecordType::Material)) {
        Material material;
        material.Name = record.Name;
        material.ID = record.ID;
        material.GroupID = record.RefID;
        bool loaded = false;
        std::string problem;
        try {
            loaded = table.FindRecord(record.Type, record.RefID, record.Name) &&
                     table.LoadItem(material);
        } catch (const Error& error) {
            problem = error.text();
        }
        if (!loaded) {
            std::cerr << "kalydor-cli: the material \"" << record.Name << "\" cannot be read"
                      << (problem.empty() ? "" : ": " + problem) << '\n';
            ++failed;
            continue;
        }
        const std::string group = table.PathOfGroup(RecordType::MaterialGroup, record.RefID, '\\');
        out << materialJson(material, group)
                   .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
            << '\n';
    }
    return failed == 0 ? 0 : 1;
}

} // namespace

std::vector<Command> materialCommands() {
    return {
        {"material", "list", "TABLE",
         "list the materials of a material table as JSON, one a line, every field", list},
    };
}

} // namespace kalydor::cli
