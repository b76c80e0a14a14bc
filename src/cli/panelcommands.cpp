// "panel calc": the calculation of constructions described in JSON, for scripts.

#include "cli/commands.h"
#include "cli/jsoninput.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "base/safefilewriter.h"
#include "base/textencoding.h"
#include "base/textlookup.h"
#include "codecs/texttokenreader.h"
#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"
#include "constructions/panel.h"
#include "constructions/panelmoisture.h"
#include "exchange/textexchange.h"
#include "exchange/xmlexchange.h"
#include "language/languages.h"
#include "reports/textdocument.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace kalydor::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using nlohmann::ordered_json;

constexpr const char* kDefaultLanguage = "Român";

struct CalcOptions {
    std::string file;
    PanelSettings settings;
    std::string language = kDefaultLanguage;
    bool diagram = false;
    DiagramAxis axis = DiagramAxis::Temperature;
    std::string exportFile;
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
        } else if (a == "--export") {
            options.exportFile = value();
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
        throw UsageError{"one construction file expected (JSON, text or XML exchange file)"};
    options.file = rest[0];
    return options;
}

int kindOfName(const std::string& name) {
    for (const int code : {0, 1, 2, 16})
        if (materialKindName(code) == name)
            return code;
    return -1;
}

Layer layerFromJson(const json& object, const std::string& where) {
    const JsonObjectReader in(object, where,
                              {"Name", "Kind", "Flags", "Thickness", "Density", "ThermalCond",
                               "ThermalRes", "HeatCapacity", "SteamDiffCond", "SteamDiffRes",
                               "SteamDiffResNum", "InitialHumidity", "PermitHumidity", "Sorption",
                               "Diagram", "Ventilled", "ThermalCondFactor", "SteamRes",
                               "InitialHumidity2"});
    Layer layer;
    layer.Name = in.text("Name");
    const int kind =
        in.code("Kind", kindOfName, [](long c) { return c == 0 || c == 1 || c == 2 || c == 16; });
    layer.Kind = static_cast<std::uint8_t>(kind == -2 ? 0 : kind);
    layer.Flags = static_cast<std::uint16_t>(in.integer("Flags", 0, 65535));
    // Every value of a material is at least 0, as its editor takes them.
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
        for (std::size_t i = 0; i < points.size(); ++i)
            layer.Sorption[i] = in.checked(points[i], "Sorption", NumberRule::NotNegative);
    }
    if (in.has("Diagram")) {
        const json& points = in.at("Diagram");
        if (!points.is_array() || points.size() > Material::kDiagramPoints)
            in.fail("\"Diagram\" must be an array of at most 8 [thickness, resistance] pairs");
        for (std::size_t i = 0; i < points.size(); ++i) {
            const json& pair = points[i];
            if (!pair.is_array() || pair.size() != 2)
                in.fail("\"Diagram\" must be an array of at most 8 [thickness, resistance] pairs");
            layer.Diagram[i] = {in.checked(pair[0], "Diagram", NumberRule::NotNegative),
                                in.checked(pair[1], "Diagram", NumberRule::NotNegative)};
        }
    }
    layer.Ventilled = in.integer("Ventilled", 0, 1) != 0;
    layer.ThermalCondFactor = in.number("ThermalCondFactor");
    layer.SteamRes = in.number("SteamRes");
    layer.InitialHumidity2 = in.number("InitialHumidity2");
    // A layer of mass with neither a conductivity nor a resistance would count as no layer at
    // all in the resistance: refused rather than calculated.
    if ((layer.isKind(MaterialKind::Normal) || layer.isKind(MaterialKind::Thick)) &&
        !(layer.ThermalCond > 0) && !(layer.ThermalRes > 0))
        throw Error("IDS_JSONNORESISTANCE", {where},
                    "%s: a layer of this kind needs \"ThermalCond\" or \"ThermalRes\" greater "
                    "than 0.");
    return layer;
}

Panel panelFromJson(const json& object, const std::string& where) {
    struct Field {
        const char* key;
        float Panel::*field;
        NumberRule rule;
        double maximum = std::numeric_limits<float>::max();
    };
    // The values of every construction, with the rules of the construction editors.
    static constexpr Field kFields[] = {
        {"x", &Panel::x, NumberRule::NotNegative},
        {"y", &Panel::y, NumberRule::NotNegative},
        {"OutSideTemp", &Panel::OutSideTemp, NumberRule::Any},
        {"InSideTemp", &Panel::InSideTemp, NumberRule::Any},
        {"OutSideAlpha", &Panel::OutSideAlpha, NumberRule::NotNegative},
        {"InSideAlpha", &Panel::InSideAlpha, NumberRule::NotNegative},
        {"OutSideRelHum", &Panel::OutSideRelHum, NumberRule::Positive},
        {"InSideRelHum", &Panel::InSideRelHum, NumberRule::Positive},
        {"FloorLevel", &Panel::FloorLevel, NumberRule::Any},
        {"DiffusionDays", &Panel::DiffusionDays, NumberRule::NotNegative},
        {"RGived", &Panel::RGived, NumberRule::NotNegative},
        {"ThermicMassivitateGived", &Panel::ThermicMassivitateGived, NumberRule::Any},
        {"GroundWaterHeight", &Panel::GroundWaterHeight, NumberRule::NotPositive},
        {"FundationWidth", &Panel::FundationWidth, NumberRule::Any},
        {"SurfaceTemperatureDifference", &Panel::SurfaceTemperatureDifference, NumberRule::Any},
        {"EarthLambda", &Panel::EarthLambda, NumberRule::Any},
        {"GlassRatio", &Panel::GlassRatio, NumberRule::NotNegative, 100},
        {"InfiltrationFactor", &Panel::InfiltrationFactor, NumberRule::NotNegative},
        {"InfiltrationLength", &Panel::InfiltrationLength, NumberRule::NotNegative},
    };
    // The values typed in for a known construction; a layered one computes them.
    static constexpr Field kKnown[] = {
        {"R", &Panel::R, NumberRule::NotNegative},
        {"ThermicMassivitate", &Panel::ThermicMassivitate, NumberRule::Positive},
        {"Mass", &Panel::Mass, NumberRule::NotNegative},
        {"HeatMass", &Panel::HeatMass, NumberRule::NotNegative},
        {"HeatMass2", &Panel::HeatMass2, NumberRule::NotNegative},
        {"DampFactor", &Panel::DampFactor, NumberRule::NotNegative},
        {"Delay", &Panel::Delay, NumberRule::NotNegative},
        {"FloorHeatAbsorb", &Panel::FloorHeatAbsorb, NumberRule::NotNegative},
        {"ms", &Panel::ms, NumberRule::Positive},
        {"ns", &Panel::ns, NumberRule::Positive},
        {"Rbc", &Panel::Rbc, NumberRule::Positive},
    };
    const bool known = object.is_object() && object.contains("Layered") &&
                       (object["Layered"] == 1 || object["Layered"] == true);
    // The keys of the file: the values above, and for a layered construction the known
    // construction's values are keys that have no use.
    std::vector<std::string_view> keys = {"Name", "Group", "Type", "Layered", "Ordering", "Layers"};
    std::vector<std::string_view> unused;
    for (const Field& f : kFields)
        keys.push_back(f.key);
    for (const Field& f : kKnown)
        (known ? keys : unused).push_back(f.key);
    const JsonObjectReader in(object, where, keys, unused);
    Panel p;
    p.Name = in.text("Name");
    const int type =
        in.code("Type", Panel::typeOfName, [](long c) { return c >= 0 && c < Panel::kTypeCount; });
    p.Type = static_cast<std::uint8_t>(type == -2 ? 0 : type);
    p.Layered = static_cast<std::int16_t>(in.integer("Layered", 0, 1));
    p.Ordering = static_cast<std::int16_t>(in.integer("Ordering", 0, 1));
    for (const Field& f : kFields)
        p.*(f.field) = in.number(f.key, f.rule, f.maximum);
    if (p.Layered == 1)
        for (const Field& f : kKnown)
            p.*(f.field) = in.number(f.key, f.rule, f.maximum);
    if (in.has("Layers")) {
        const json& layers = in.at("Layers");
        if (!layers.is_array())
            in.fail("\"Layers\" must be an array");
        for (std::size_t i = 0; i < layers.size(); ++i)
            p.Layers.push_back(
                layerFromJson(layers[i], where + ", " + placeOf("layer", i + 1, layers[i])));
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

bool endsWith(const std::string& name, std::string_view suffix) {
    if (name.size() < suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const char c = name[name.size() - suffix.size() + i];
        if (std::tolower(static_cast<unsigned char>(c)) != suffix[i])
            return false;
    }
    return true;
}

// Constructions of a JSON file: one object or an array of them.
std::vector<Panel> panelsOfJson(const std::string& fileName, std::vector<std::string>& groups) {
    const json input = readJsonFile(fileName);
    std::vector<Panel> panels;
    const auto take = [&](const json& object, const std::string& where) {
        panels.push_back(panelFromJson(object, where));
        groups.push_back(object.is_object() && object.contains("Group") &&
                                 object["Group"].is_string()
                             ? object["Group"].get<std::string>()
                             : std::string());
    };
    if (input.is_array()) {
        for (std::size_t i = 0; i < input.size(); ++i)
            take(input[i], placeOf("panel", i + 1, input[i]));
    } else {
        take(input, placeOf("panel", 1, input));
    }
    return panels;
}

// Constructions of an XML exchange file.
std::vector<Panel> panelsOfXml(const std::string& fileName, std::vector<std::string>& groups) {
    XmlReader parser;
    if (!parser.LoadFromFile(fileName))
        throw std::runtime_error("cannot read " + fileName);
    std::vector<Panel> panels;
    parser.StartScan();
    while (parser.Scan()) {
        if (parser.CurPartType() != XmlPart::StartTag || parser.CurName() != "Kalydor32Panel")
            continue;
        Panel panel;
        std::string group;
        if (!panel.ReadXml(parser, group))
            break;
        panels.push_back(std::move(panel));
        groups.push_back(group);
    }
    if (parser.EndedOnError())
        throw std::runtime_error(fileName + ": " + parser.ErrorText());
    return panels;
}

// Constructions of a text exchange file.
std::vector<Panel> panelsOfText(const std::string& fileName, std::vector<std::string>& groups) {
    TextTokenReader reader(fileName);
    std::vector<Panel> panels;
    TextRecordHeader header;
    for (NextRecordResult next = reader.NextRecord(header); next != NextRecordResult::End;
         next = reader.NextRecord(header)) {
        if (next != NextRecordResult::Record || header.keyword != "KALYDOR32PANEL")
            continue;
        Panel panel;
        panel.ReadText(reader, header.version);
        panel.Name = header.name;
        panels.push_back(std::move(panel));
        groups.push_back(header.groupPath);
    }
    return panels;
}

// Writes the calculated constructions as an exchange file; the format follows the name. A
// construction with a value that is not a finite number is left out and named; false then.
bool exportPanels(std::vector<Panel>& panels, const std::vector<std::string>& groups,
                  const std::string& fileName) {
    ExportResult result;
    if (endsWith(fileName, ".xml")) {
        XmlWriter writer(fileName, std::string(kExchangeXmlRoot));
        for (std::size_t i = 0; i < panels.size(); ++i) {
            writer.WriteRaw("\r\n");
            if (!WriteItemXml(writer, panels[i], groups[i]))
                exchange_detail::leaveOutNonFinite(result, groups[i], panels[i].Name);
        }
        writer.Finish();
    } else {
        Languages none;
        TextDocument text(none);
        text.EscapeFlag = true;
        for (std::size_t i = 0; i < panels.size(); ++i)
            if (!WriteItemText(text, panels[i], groups[i]))
                exchange_detail::leaveOutNonFinite(result, groups[i], panels[i].Name);
        text.Write("\"END\"\r\n");
        writeFileSafely(fileName, text.text());
    }
    exchange_detail::reportLeftOut(result);
    return result.leftOut.empty();
}

int calc(const std::vector<std::string>& args, std::ostream& out) {
    const CalcOptions options = parseOptions(args);
    std::vector<std::string> groups;
    const LanguageScope language(options.language);
    std::vector<Panel> panels = endsWith(options.file, ".json") ? panelsOfJson(options.file, groups)
                                : endsWith(options.file, ".xml")
                                    ? panelsOfXml(options.file, groups)
                                    : panelsOfText(options.file, groups);
    ordered_json output = ordered_json::array();
    for (Panel& panel : panels) {
        panel.Calculate(options.settings);
        output.push_back(panelJson(panel, options));
    }
    const bool exported =
        options.exportFile.empty() || exportPanels(panels, groups, options.exportFile);
    out << output.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
    return exported ? 0 : 1;
}

} // namespace

std::vector<Command> panelCommands() {
    return {
        {"panel", "calc",
         "FILE [--outside-design-temp T] [--simple-humidity on|off] [--lang ID] "
         "[--diagram] [--distance] [--export OUT]",
         "calculate constructions given as JSON (one object or an array, FILE.json) or in an "
         "exchange file (text, or FILE.xml) and print their thermal and moisture results as "
         "JSON; --diagram adds the diagram over the temperature, --distance over the distance "
         "through the construction; --export writes them as an exchange file (OUT.xml as XML, "
         "otherwise text), each in the group of its \"Group\" key",
         calc},
    };
}

} // namespace kalydor::cli
