// "panel calc": the calculation of constructions described in JSON, for scripts.

#include "cli/commands.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "constructions/panel.h"
#include "constructions/panelmoisture.h"
#include "heating/floattext.h"
#include "language/languages.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace kalydor::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using nlohmann::ordered_json;

constexpr const char* kDefaultLanguage = "Român";

std::string programDirectory() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : self.parent_path().string();
}

struct CalcOptions {
    std::string file;
    PanelSettings settings;
    std::string language = kDefaultLanguage;
    bool diagram = false;
    DiagramAxis axis = DiagramAxis::Temperature;
};

double parseTemperature(const std::string& text) {
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || !std::isfinite(value))
        throw UsageError{"--outside-design-temp needs a number, not \"" + text + "\""};
    return value;
}

CalcOptions parseOptions(const std::vector<std::string>& args) {
    CalcOptions options;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 == args.size())
                throw UsageError{a + " needs a value"};
            return args[++i];
        };
        if (a == "--outside-design-temp") {
            options.settings.outsideDesignTemperature = parseTemperature(value());
        } else if (a == "--simple-humidity") {
            const std::string& v = value();
            if (v != "on" && v != "off")
                throw UsageError{"--simple-humidity takes on or off"};
            options.settings.simpleHumidityCalculation = v == "on";
        } else if (a == "--lang") {
            options.language = value();
        } else if (a == "--diagram") {
            options.diagram = true;
        } else if (a == "--distance") {
            options.diagram = true;
            options.axis = DiagramAxis::Distance;
        } else if (a.starts_with("--")) {
            throw UsageError{"unknown option " + a};
        } else {
            rest.push_back(a);
        }
    }
    if (rest.size() != 1)
        throw UsageError{"one JSON file expected"};
    options.file = rest[0];
    return options;
}

// Reading of one JSON object, with the place of a bad value in every message.
class Reader {
public:
    Reader(const json& object, std::string where)
        : m_object(object)
        , m_where(std::move(where)) {
        if (!object.is_object())
            fail("an object expected");
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error(m_where + ": " + what);
    }

    bool has(const char* key) const { return m_object.contains(key); }

    float number(const char* key) const {
        if (!has(key))
            return 0;
        const json& v = m_object.at(key);
        if (!v.is_number())
            fail(std::string("\"") + key + "\" must be a number");
        const double d = v.get<double>();
        if (!std::isfinite(static_cast<float>(d)))
            fail(std::string("\"") + key + "\" is out of range");
        return static_cast<float>(d);
    }

    long integer(const char* key, long lo, long hi) const {
        if (!has(key))
            return 0;
        const json& v = m_object.at(key);
        if (v.is_boolean())
            return v.get<bool>() ? 1 : 0;
        if (!v.is_number_integer() || v.get<long long>() < lo || v.get<long long>() > hi)
            fail(std::string("\"") + key + "\" must be a whole number from " + std::to_string(lo) +
                 " to " + std::to_string(hi));
        return static_cast<long>(v.get<long long>());
    }

    std::string text(const char* key) const {
        if (!has(key))
            return {};
        const json& v = m_object.at(key);
        if (!v.is_string())
            fail(std::string("\"") + key + "\" must be a text");
        return v.get<std::string>();
    }

    // A code given by its name or by its number.
    int code(const char* key, int (*byName)(const std::string&), bool (*valid)(long)) const {
        if (!has(key))
            return -2;
        const json& v = m_object.at(key);
        if (v.is_string()) {
            const int c = byName(v.get<std::string>());
            if (c < 0)
                fail(std::string("unknown \"") + key + "\" \"" + v.get<std::string>() + "\"");
            return c;
        }
        if (!v.is_number_integer() || !valid(static_cast<long>(v.get<long long>())))
            fail(std::string("unknown \"") + key + "\" " + v.dump());
        return static_cast<int>(v.get<long long>());
    }

    const json& at(const char* key) const { return m_object.at(key); }
    const std::string& where() const { return m_where; }

private:
    const json& m_object;
    std::string m_where;
};

int kindOfName(const std::string& name) {
    for (const int code : {0, 1, 2, 16})
        if (materialKindName(code) == name)
            return code;
    return -1;
}

Layer layerFromJson(const json& object, const std::string& where) {
    const Reader in(object, where);
    Layer layer;
    layer.Name = in.text("Name");
    const int kind =
        in.code("Kind", kindOfName, [](long c) { return c == 0 || c == 1 || c == 2 || c == 16; });
    layer.Kind = static_cast<std::uint8_t>(kind == -2 ? 0 : kind);
    layer.Flags = static_cast<std::uint16_t>(in.integer("Flags", 0, 65535));
    layer.Thickness = in.number("Thickness");
    layer.Density = in.number("Density");
    layer.ThermalCond = in.number("ThermalCond");
    layer.ThermalRes = in.number("ThermalRes");
    layer.HeatCapacity = in.number("HeatCapacity");
    layer.SteamDiffCond = in.number("SteamDiffCond");
    layer.SteamDiffRes = in.number("SteamDiffRes");
    layer.SteamDiffResNum = in.number("SteamDiffResNum");
    layer.InitialHumidity = in.number("InitialHumidity");
    layer.PermitHumidity = in.number("PermitHumidity");
    if (in.has("Sorption")) {
        const json& points = in.at("Sorption");
        if (!points.is_array() || points.size() > Material::kIsothermPoints)
            in.fail("\"Sorption\" must be an array of at most 10 numbers");
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (!points[i].is_number())
                in.fail("\"Sorption\" must be an array of at most 10 numbers");
            layer.Sorption[i] = points[i].get<float>();
        }
    }
    if (in.has("Diagram")) {
        const json& points = in.at("Diagram");
        if (!points.is_array() || points.size() > Material::kDiagramPoints)
            in.fail("\"Diagram\" must be an array of at most 8 [thickness, resistance] pairs");
        for (std::size_t i = 0; i < points.size(); ++i) {
            const json& pair = points[i];
            if (!pair.is_array() || pair.size() != 2 || !pair[0].is_number() ||
                !pair[1].is_number())
                in.fail("\"Diagram\" must be an array of at most 8 [thickness, resistance] pairs");
            layer.Diagram[i] = {pair[0].get<float>(), pair[1].get<float>()};
        }
    }
    layer.Ventilled = in.integer("Ventilled", 0, 1) != 0;
    layer.ThermalCondFactor = in.number("ThermalCondFactor");
    layer.SteamRes = in.number("SteamRes");
    layer.InitialHumidity2 = in.number("InitialHumidity2");
    return layer;
}

Panel panelFromJson(const json& object, const std::string& where) {
    const Reader in(object, where);
    Panel p;
    p.Name = in.text("Name");
    const int type =
        in.code("Type", Panel::typeOfName, [](long c) { return c >= 0 && c < Panel::kTypeCount; });
    p.Type = static_cast<std::uint8_t>(type == -2 ? 0 : type);
    p.Layered = static_cast<std::int16_t>(in.integer("Layered", 0, 1));
    p.Ordering = static_cast<std::int16_t>(in.integer("Ordering", 0, 1));
    struct Field {
        const char* key;
        float Panel::*field;
    };
    static constexpr Field kFields[] = {
        {"x", &Panel::x},
        {"y", &Panel::y},
        {"OutSideTemp", &Panel::OutSideTemp},
        {"InSideTemp", &Panel::InSideTemp},
        {"OutSideAlpha", &Panel::OutSideAlpha},
        {"InSideAlpha", &Panel::InSideAlpha},
        {"OutSideRelHum", &Panel::OutSideRelHum},
        {"InSideRelHum", &Panel::InSideRelHum},
        {"FloorLevel", &Panel::FloorLevel},
        {"DiffusionDays", &Panel::DiffusionDays},
        {"RGived", &Panel::RGived},
        {"ThermicMassivitateGived", &Panel::ThermicMassivitateGived},
        {"GroundWaterHeight", &Panel::GroundWaterHeight},
        {"FundationWidth", &Panel::FundationWidth},
        {"SurfaceTemperatureDifference", &Panel::SurfaceTemperatureDifference},
        {"EarthLambda", &Panel::EarthLambda},
        {"GlassRatio", &Panel::GlassRatio},
        {"InfiltrationFactor", &Panel::InfiltrationFactor},
        {"InfiltrationLength", &Panel::InfiltrationLength},
    };
    for (const Field& f : kFields)
        p.*(f.field) = in.number(f.key);
    if (p.Layered == 1) {
        static constexpr Field kKnown[] = {
            {"R", &Panel::R},
            {"ThermicMassivitate", &Panel::ThermicMassivitate},
            {"Mass", &Panel::Mass},
            {"HeatMass", &Panel::HeatMass},
            {"HeatMass2", &Panel::HeatMass2},
            {"DampFactor", &Panel::DampFactor},
            {"Delay", &Panel::Delay},
            {"FloorHeatAbsorb", &Panel::FloorHeatAbsorb},
            {"ms", &Panel::ms},
            {"ns", &Panel::ns},
            {"Rbc", &Panel::Rbc},
        };
        for (const Field& f : kKnown)
            p.*(f.field) = in.number(f.key);
    }
    if (in.has("Layers")) {
        const json& layers = in.at("Layers");
        if (!layers.is_array())
            in.fail("\"Layers\" must be an array");
        for (std::size_t i = 0; i < layers.size(); ++i)
            p.Layers.push_back(
                layerFromJson(layers[i], where + ", layer " + std::to_string(i + 1)));
    }
    return p;
}

double num(double value) {
    return floatAsShortDouble(static_cast<float>(value));
}

ordered_json line(const std::vector<std::pair<double, double>>& points) {
    ordered_json out = ordered_json::array();
    for (const auto& [x, p] : points)
        out.push_back({num(x), num(p)});
    return out;
}

ordered_json panelJson(Panel& p, const CalcOptions& options) {
    const PanelResults& res = p.results;
    ordered_json layers = ordered_json::array();
    for (const Layer& layer : p.Layers) {
        const LayerResults& r = layer.results;
        layers.push_back({
            {"Name", layer.Name},
            {"FirstTemp", num(r.firstTemperature)},
            {"SecondTemp", num(r.secondTemperature)},
            {"ColdTemp", num(r.coldTemperature)},
            {"WarmTemp", num(r.warmTemperature)},
            {"Mass", num(r.mass)},
            {"R", num(r.thermalResistance)},
            {"Rv", num(r.vapourResistance)},
            {"VentilationOffset", num(r.ventilationOffset)},
            {"Inflow", num(r.inflow)},
            {"Outflow", num(r.outflow)},
            {"State", r.condensation},
            {"ZoneColdTemp", num(r.zoneColdTemperature)},
            {"ZoneWarmTemp", num(r.zoneWarmTemperature)},
            {"PlainColdPressure", num(r.coldPressure)},
            {"PlainWarmPressure", num(r.warmPressure)},
            {"ColdPressure", num(r.condensationColdPressure)},
            {"WarmPressure", num(r.condensationWarmPressure)},
            {"MeanRelHum", r.meanRelativeHumidity},
            {"EquilibriumMoisture", num(r.equilibriumMoisture)},
            {"EffectiveInitialMoisture", num(r.effectiveInitialMoisture)},
            {"EffectivePermitMoisture", num(r.effectivePermitMoisture)},
            {"MoistureIncrease", num(r.moistureIncrease)},
            {"DryingTime", num(r.dryingTime)},
            {"Flags", {r.flags[0], r.flags[1], r.flags[2], r.flags[3]}},
        });
    }
    ordered_json out = {
        {"Name", p.Name},
        {"R", num(p.R)},
        {"TotalResistance", num(p.TotalResistance)},
        {"U", num(res.U)},
        {"NeededResistance", num(p.NeededResistance)},
        {"Mass", num(p.Mass)},
        {"HeatMass", num(p.HeatMass)},
        {"HeatMass2", num(p.HeatMass2)},
        {"DampFactor", num(p.DampFactor)},
        {"Delay", num(p.Delay)},
        {"FloorHeatAbsorb", num(p.FloorHeatAbsorb)},
        {"ComputedMassivitate", num(p.ComputedMassivitate)},
        {"ThermicMassivitate", num(p.ThermicMassivitate)},
        {"ms", num(p.ms)},
        {"ns", num(p.ns)},
        {"Rbc", num(p.Rbc)},
        {"SurfaceTemperature", num(res.surfaceTemperature)},
        {"SumR", num(res.sumR)},
        {"SumRv", num(res.sumRv)},
        {"FillingTime", num(res.fillingTime)},
        {"DewPoint", num(res.dewPoint)},
        {"WarmSurfacePressure", num(res.warmSurfacePressure)},
        {"Flags", {res.flags[0], res.flags[1], res.flags[2], res.flags[3]}},
        {"Messages", p.Messages(options.settings)},
        {"MessageText", p.MessageText(options.settings, "\n")},
        {"Layers", layers},
    };
    if (options.diagram) {
        const PanelDiagram d = panelDiagram(p, options.axis);
        out["Diagram"] = {{"Saturation", line(d.saturation)},
                          {"Plain", line(d.plain)},
                          {"Condensation", line(d.condensation)}};
    }
    return out;
}

// The language tables for the message texts, installed for the run of the command.
class LanguageScope {
public:
    explicit LanguageScope(const std::string& id) {
        const std::string dir = programDirectory() + "/languages";
        m_languages.LoadLanguages(dir + "/*.xm?");
        m_languages.SelectInterfaceLanguage(id);
        if (m_languages.InterfaceLanguageId().empty()) {
            m_languages.SelectPrintingLanguage(id);
            m_languages.UsePrintingLanguage = true;
        }
        const TLanguage* found = m_languages.lookupLanguage();
        if (!found || found->id != id)
            throw Error("IDS_NOLANGUAGE", {id, dir}, "There is no language \"%s\" in %s.");
        setTextLookup(&m_languages);
    }
    ~LanguageScope() { setTextLookup(nullptr); }
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

private:
    TLanguages m_languages;
};

int calc(const std::vector<std::string>& args, std::ostream& out) {
    const CalcOptions options = parseOptions(args);
    std::ifstream file(options.file, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot open " + options.file);
    json input;
    try {
        input = json::parse(file);
    } catch (const json::parse_error& error) {
        throw std::runtime_error(options.file + ": not valid JSON: " + error.what());
    }
    std::vector<Panel> panels;
    if (input.is_array()) {
        for (std::size_t i = 0; i < input.size(); ++i)
            panels.push_back(panelFromJson(input[i], "panel " + std::to_string(i + 1)));
    } else {
        panels.push_back(panelFromJson(input, "panel"));
    }
    const LanguageScope language(options.language);
    ordered_json output = ordered_json::array();
    for (Panel& panel : panels) {
        panel.Calculate(options.settings);
        output.push_back(panelJson(panel, options));
    }
    out << output.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
    return 0;
}

} // namespace

std::vector<Command> panelCommands() {
    return {
        {"panel", "calc",
         "FILE.json [--outside-design-temp T] [--simple-humidity on|off] [--lang ID] "
         "[--diagram] [--distance]",
         "calculate constructions given as JSON (one object or an array) and print their "
         "thermal and moisture results as JSON; --diagram adds the diagram over the "
         "temperature, --distance over the distance through the construction",
         calc},
    };
}

} // namespace kalydor::cli
