#include "cli/commands.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "heating/projectoptions.h"
#include "store/itemstore.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <sstream>

namespace kalydor::cli {
namespace {

using Json = nlohmann::ordered_json;

// A float as the shortest number that reads back as the same float; a value that JSON
// cannot hold as a number (NaN, infinity) as its text.
Json number(float value) {
    if (!std::isfinite(value))
        return floatText(value);
    return floatAsShortDouble(value);
}

Json hydraulicJson(const HydraulicOptions& h) {
    return Json{{"ForwardTemperature", number(h.Medium.ForwardTemperature)},
                {"BackwardTemperature", number(h.Medium.BackwardTemperature)},
                {"MediumType", h.Medium.MediumType},
                {"Ro", number(h.Medium.Ro)},
                {"Nu", number(h.Medium.Nu)},
                {"SpecificHeat", number(h.Medium.SpecificHeat)},
                {"TubeType", h.TubeType},
                {"IsolationType", h.IsolationType},
                {"ValveType0", h.ValveType0},
                {"ValveType1", h.ValveType1},
                {"ValveMode0", h.ValveMode0},
                {"ValveMode1", h.ValveMode1},
                {"DefaultMakro", h.DefaultMakro},
                {"AvailablePressure", number(h.AvailablePressure)},
                {"SpeedMax", number(h.SpeedMax)},
                {"PressureProMeterMax", number(h.PressureProMeterMax)},
                {"TubeSizeMinimum", h.TubeSizeMinimum},
                {"ConnectionName0", h.ConnectionName0},
                {"ConnectionName1", h.ConnectionName1}};
}

Json coolingElementJson(const ConsumerStruct& c) {
    return Json{{"CoolingForwardTemperature", number(c.CoolingForwardTemperature)},
                {"CoolingBackwardTemperature", number(c.CoolingBackwardTemperature)},
                {"HydraulicOptions", hydraulicJson(c.Hydraulic)}};
}

std::string hexOf(const std::string& bytes) {
    std::ostringstream hex;
    for (const unsigned char byte : bytes)
        hex << std::hex << std::setw(2) << std::setfill('0') << static_cast<int>(byte);
    return hex.str();
}

Json optionsJson(const ProjectOptions& o, Json version) {
    Json hours = Json::array();
    for (std::size_t hour = 0; hour < 24; ++hour) {
        const SunPosition& sun = o.Meteorology.sun[hour];
        hours.push_back(Json{{"te", number(o.Meteorology.te[hour])},
                             {"Azimut", number(sun.Azimut)},
                             {"z", number(sun.z)},
                             {"Dir", number(sun.Dir)},
                             {"Dif", number(sun.Dif)}});
    }
    Json zeta = Json::array();
    for (const float value : o.Point.Zeta)
        zeta.push_back(number(value));
    Json rules = Json::array();
    for (const PointTypeRuleItem& rule : o.Point.Rules)
        rules.push_back(Json{{"FamilyType", rule.FamilyType},
                             {"PointType", rule.PointType},
                             {"TubeType", rule.TubeType}});
    const FloorHeatingStruct& fh = o.FloorHeating;
    return Json{
        {"Version", std::move(version)},
        {"Panel",
         {{"OutSideTemp", number(o.Panel.OutSideTemp)},
          {"InSideTemp", number(o.Panel.InSideTemp)},
          {"OutSideRelHum", number(o.Panel.OutSideRelHum)},
          {"InSideRelHum", number(o.Panel.InSideRelHum)},
          {"DiffusionDays", number(o.Panel.DiffusionDays)},
          {"FloorLevel", number(o.Panel.FloorLevel)}}},
        {"Building",
         {{"Compass", o.Building.Compass},
          {"Pollution", o.Building.Pollution},
          {"WallMassMode", o.Building.WallMassMode},
          {"UsingMode", o.Building.UsingMode},
          {"Height", number(o.Building.Height)}}},
        {"Heating",
         {{"OutSideTemp", number(o.Heating.OutSideTemp)},
          {"InSideTemp", number(o.Heating.InSideTemp)},
          {"TransFactor", number(o.Heating.TransFactor)},
          {"SunShineFlag", o.Heating.SunShineFlag},
          {"FiltMode", o.Heating.FiltMode},
          {"Portion", number(o.Heating.Portion)},
          {"AirChangeFact", number(o.Heating.AirChangeFact)},
          {"Calculate", o.Heating.Calculate}}},
        {"Cooling",
         {{"InSideTemp", number(o.Cooling.InSideTemp)}, {"Calculate", o.Cooling.Calculate}}},
        {"Meteorology",
         {{"UserDefined", o.Meteorology.UserDefined},
          {"Name", o.Meteorology.Name},
          {"Hours", std::move(hours)}}},
        {"Radiator",
         {{"Nearest", o.Radiator.Nearest},
          {"CorrectionFactor", number(o.Radiator.CorrectionFactor)},
          {"TubeLength", number(o.Radiator.TubeLength)},
          {"HydraulicOptions", hydraulicJson(o.Radiator.Hydraulic)}}},
        {"FloorHeating",
         {{"OversideTemperature", number(fh.OversideTemperature)},
          {"Oversidek", number(fh.Oversidek)},
          {"BundLength", number(fh.BundLength)},
          {"CoolingForwardTemperature", number(fh.CoolingForwardTemperature)},
          {"CoolingBackwardTemperature", number(fh.CoolingBackwardTemperature)},
          {"CoolingOversideTemperature", number(fh.CoolingOversideTemperature)},
          {"TubeLengthPlus", number(fh.TubeLengthPlus)},
          {"TubeLengthPlusMode", fh.TubeLengthPlusMode},
          {"RegisterVolume", number(fh.RegisterVolume)},
          {"HydraulicOptions", hydraulicJson(fh.Hydraulic)}}},
        {"OneTubeRound",
         {{"Nearest", o.OneTubeRound.Nearest},
          {"CorrectionFactor", number(o.OneTubeRound.CorrectionFactor)},
          {"RadiatorName", o.OneTubeRound.RadiatorName},
          {"RadiatorFamily", o.OneTubeRound.RadiatorFamily},
          {"HydraulicOptions", hydraulicJson(o.OneTubeRound.Hydraulic)}}},
        {"Consumer", coolingElementJson(o.Consumer)},
        {"HeatChanger", coolingElementJson(o.HeatChanger)},
        {"NormalSection", {{"HydraulicOptions", hydraulicJson(o.NormalSection.Hydraulic)}}},
        {"Point", {{"Zeta", std::move(zeta)}, {"Rules", std::move(rules)}}},
        {"Romanian",
         {{"H", number(o.Romanian.H)},
          {"EarthLambda", number(o.Romanian.EarthLambda)},
          {"Tetap", number(o.Romanian.Tetap)},
          {"Ao", number(o.Romanian.Ao)},
          {"AcCalculated", o.Romanian.AcCalculated},
          {"Ac", number(o.Romanian.Ac)},
          {"Cm", number(o.Romanian.Cm)},
          {"E", number(o.Romanian.E)},
          {"v", number(o.Romanian.v)}}},
        {"UnknownChunks", hexOf(o.UnknownChunks)},
    };
}

// The version word of the stored options record; null when the project has none or its data
// block is empty (the options are then the defaults).
Json storedVersion(ItemStore& table) {
    if (!table.FindRecord(1, std::string(), std::string()))
        return nullptr;
    const std::string data = table.currentData();
    if (data.size() < 2)
        return nullptr;
    return static_cast<std::int16_t>(static_cast<unsigned char>(data[0]) |
                                     static_cast<unsigned char>(data[1]) << 8);
}

int dump(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() != 1)
        throw UsageError{"one project table expected"};
    const std::filesystem::path path(args[0]);
    ItemStore table(path.has_parent_path() ? path.parent_path().string() : std::string("."),
                    path.filename().string(), TableMode::ReadOnly);
    ProjectOptions options;
    // Options that cannot be read print nothing but the reason: a version this program does
    // not know, or a record of a known version that is damaged.
    if (!options.LoadFromProject(table)) {
        const Json version = storedVersion(table);
        if (version.is_number() && version.get<int>() >= 10 &&
            version.get<int>() <= ProjectOptions::kCurrentVersion)
            throw Error("IDS_DATAREADERROR", {}, "The stored data end prematurely.");
        throw Error("IDS_OPTIONSNOTSHOWN", {table.path(), version.dump()},
                    "The project options in %s have the version %s, which this program does "
                    "not know; they are not shown.");
    }
    out << optionsJson(options, storedVersion(table))
               .dump(1, ' ', false, nlohmann::json::error_handler_t::replace)
        << '\n';
    return 0;
}

} // namespace

std::vector<Command> optionsCommands() {
    return {
        {"options", "dump", "PROJECT",
         "print the project options of a project table as one JSON object, grouped as the "
         "project settings file groups them; Version is the stored record's version (null: "
         "none stored, the defaults)",
         dump},
    };
}

} // namespace kalydor::cli
