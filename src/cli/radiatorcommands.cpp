// "radiator calc": the radiator rules (thermal ratio, size output, mass flow, size choice,
// power chart) for requests described in JSON, for scripts and for checking catalogue figures.

#include "cli/commands.h"
#include "cli/jsoninput.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "devicedb/deviceitem.h"
#include "devicedb/radiatorsizing.h"
#include "heating/powercurve.h"
#include "heating/radiator.h"

#include <functional>
#include <ostream>

namespace kalydor::cli {
namespace {

using nlohmann::ordered_json;

constexpr const char* kDefaultLanguage = "Român";
constexpr float kWaterSpecificHeat = 4173.0f;
constexpr float kWaterDensity = 971.9f;

// The keys of the thermal ratio, given instead of a ratio.
const std::vector<std::string_view> kRatioKeys = {"Forward", "Return", "Room", "DTLog", "DTOrigin"};

// One request's values, read key by key: numbers as float32, switches nonzero = set, and a
// missing required key named with the request.
class RequestReader {
public:
    RequestReader(const json& object, const std::string& where, std::vector<std::string_view> keys)
        : m_reader(object, where, withCommonKeys(std::move(keys)))
        , m_where(where) {}

    bool has(const char* key) const { return m_reader.has(key); }
    [[noreturn]] void fail(const std::string& what) const { m_reader.fail(what); }
    const json& at(const char* key) const { return m_reader.at(key); }

    float number(const char* key) const {
        if (!has(key))
            fail(std::string("\"") + key + "\" is missing");
        return m_reader.checked(m_reader.at(key), key, NumberRule::Any);
    }
    float number(const char* key, float fallback) const {
        return has(key) ? number(key) : fallback;
    }
    bool flag(const char* key, bool fallback) const {
        if (!has(key))
            return fallback;
        const json& v = m_reader.at(key);
        if (v.is_boolean())
            return v.get<bool>();
        return number(key) != 0;
    }
    std::int16_t whole(const char* key) const {
        if (!has(key))
            fail(std::string("\"") + key + "\" is missing");
        return static_cast<std::int16_t>(m_reader.integer(key, -32768, 32767));
    }
    std::string text(const char* key) const { return m_reader.text(key); }

    // The ratio given, or the one of the temperatures and the rating.
    std::function<double()> ratio() const {
        if (has("Ratio")) {
            for (const std::string_view key : kRatioKeys)
                if (has(std::string(key).c_str()))
                    fail("give \"Ratio\" or the temperatures, not both (\"" + std::string(key) +
                         "\")");
            const double given = number("Ratio");
            return [given] { return given; };
        }
        const RadiatorRating rating = this->rating();
        const double te = number("Forward"), tv = number("Return"), ti = number("Room");
        return [=] { return ThermalRatio(rating, te, tv, ti); };
    }
    RadiatorRating rating() const {
        return {static_cast<std::int16_t>(flag("DTLog", false) ? 1 : 0), number("DTOrigin", 60.0f),
                m_where};
    }

private:
    static std::vector<std::string_view> withCommonKeys(std::vector<std::string_view> keys) {
        keys.insert(keys.end(), {"op", "Id"});
        return keys;
    }

    JsonObjectReader m_reader;
    std::string m_where;
};

double shortNumber(float value) {
    return floatAsShortDouble(value);
}

ordered_json optionalNumber(const std::optional<double>& value) {
    return value ? ordered_json(*value) : ordered_json(nullptr);
}

// The sizes of a request, each read with its own keys.
std::vector<RadiatorSize> sizesOf(const RequestReader& request, const std::string& where,
                                  bool byPosition) {
    if (!request.has("Sizes"))
        request.fail("\"Sizes\" is missing");
    const json& list = request.at("Sizes");
    if (!list.is_array())
        request.fail("\"Sizes\" must be an array");
    std::vector<RadiatorSize> sizes;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string place = where + ", size " + std::to_string(i + 1);
        RadiatorSize size;
        if (byPosition) {
            const RequestReader s(list[i], place, {"Name", "DimensionIndex"});
            size.Name = s.text("Name");
            size.DimensionIndex = s.whole("DimensionIndex");
        } else {
            const RequestReader s(list[i], place, {"Name", "Power", "Exponent", "Current"});
            size.Name = s.text("Name");
            size.Power = s.number("Power");
            size.Exponent = s.number("Exponent");
            size.Current = s.flag("Current", false) ? 1 : 0;
        }
        sizes.push_back(std::move(size));
    }
    return sizes;
}

using Calculation = std::function<ordered_json()>;

std::vector<std::string_view> ratioForm(std::vector<std::string_view> keys) {
    keys.push_back("Ratio");
    keys.insert(keys.end(), kRatioKeys.begin(), kRatioKeys.end());
    return keys;
}

// Reads a request whole before anything is calculated: a request that is not well formed
// fails the command; one that is calculated may still fail alone.
Calculation readRequest(const json& object, const std::string& where) {
    if (!object.is_object() || !object.contains("op") || !object["op"].is_string())
        throw std::runtime_error(where + ": \"op\" is missing or not a text");
    const std::string op = object["op"].get<std::string>();
    if (op == "ThermalRatio") {
        const RequestReader r(object, where, kRatioKeys);
        const RadiatorRating rating = r.rating();
        const double te = r.number("Forward"), tv = r.number("Return"), ti = r.number("Room");
        return [=] {
            ordered_json out;
            out["DeltaT"] = MeanTemperatureDifference(rating, te, tv, ti);
            out["Ratio"] = ThermalRatio(rating, te, tv, ti);
            return out;
        };
    }
    if (op == "SizePower") {
        const RequestReader r(object, where, ratioForm({"Power", "Exponent", "Factor"}));
        RadiatorSize size;
        size.Power = r.number("Power");
        size.Exponent = r.number("Exponent");
        const double factor = r.number("Factor", 1.0f);
        const std::function<double()> ratio = r.ratio();
        return [=] {
            const double value = ratio();
            ordered_json out;
            out["Ratio"] = value;
            out["Q"] = shortNumber(SizePower(size, value, factor));
            return out;
        };
    }
    if (op == "MassFlow") {
        const RequestReader r(object, where, {"Power", "Forward", "Return", "SpecificHeat", "Ro"});
        const float power = r.number("Power"), forward = r.number("Forward"),
                    backward = r.number("Return");
        const float specificHeat = r.number("SpecificHeat", kWaterSpecificHeat);
        const float ro = r.number("Ro", kWaterDensity);
        return [=] {
            // Held as the radiator holds it: a float.
            const auto massFlow =
                static_cast<float>(massFlowOf(power, forward, backward, specificHeat));
            const std::optional<double> volume = volumeFlowOf(massFlow, ro);
            ordered_json out;
            out["MassFlow"] = shortNumber(massFlow);
            out["VolumeFlow"] = optionalNumber(volume);
            out["VolumeFlowLpm"] = optionalNumber(
                volume ? std::optional(*volume * kLitresPerMinutePerCubicMetrePerHour)
                       : std::nullopt);
            return out;
        };
    }
    if (op == "ChooseSize") {
        const RequestReader r(
            object, where,
            ratioForm({"Demand", "Sizes", "Factor", "Nearest", "OnlyCurrentRadiators"}));
        const double demand = r.number("Demand");
        const double factor = r.number("Factor", 1.0f);
        const SizeChoiceOptions options{r.flag("Nearest", true),
                                        r.flag("OnlyCurrentRadiators", false)};
        const std::vector<RadiatorSize> sizes = sizesOf(r, where, false);
        const std::function<double()> ratio = r.ratio();
        return [=] {
            const double value = ratio();
            ordered_json powers = ordered_json::array();
            for (const RadiatorSize& size : sizes)
                powers.push_back(shortNumber(SizePower(size, value, factor)));
            const int index = ChooseSize(sizes, value, demand, factor, options);
            ordered_json out;
            out["Ratio"] = value;
            out["Powers"] = powers;
            out["Index"] = index;
            out["Name"] = index < 0 ? ordered_json(nullptr)
                                    : ordered_json(sizes[static_cast<std::size_t>(index)].Name);
            out["Q"] = index < 0 ? ordered_json(nullptr)
                                 : ordered_json(powers[static_cast<std::size_t>(index)]);
            return out;
        };
    }
    if (op == "ChooseSizeAt") {
        const RequestReader r(object, where, {"Position", "Sizes"});
        const int position = r.whole("Position");
        const std::vector<RadiatorSize> sizes = sizesOf(r, where, true);
        return [=] {
            const int index = ChooseSizeAt(sizes, position);
            ordered_json out;
            out["Index"] = index;
            out["Name"] = index < 0 ? ordered_json(nullptr)
                                    : ordered_json(sizes[static_cast<std::size_t>(index)].Name);
            return out;
        };
    }
    if (op == "PowerCurve") {
        const RequestReader r(object, where,
                              {"Power", "Exponent", "Forward", "Room", "DTLog", "DTOrigin",
                               "Factor", "SpecificHeat", "Ro", "Unit"});
        PowerCurveInput input;
        input.rating = r.rating();
        input.power = r.number("Power");
        input.exponent = r.number("Exponent");
        input.forward = r.number("Forward");
        input.room = r.number("Room");
        input.factor = r.number("Factor", 1.0f);
        input.specificHeat = r.number("SpecificHeat", kWaterSpecificHeat);
        input.ro = r.number("Ro", kWaterDensity);
        const std::string unit = r.has("Unit") ? r.text("Unit") : "m3/h";
        if (unit != "m3/h" && unit != "l/min")
            r.fail("\"Unit\" must be \"m3/h\" or \"l/min\"");
        input.unit = unit == "l/min" ? FlowUnit::LitresPerMinute : FlowUnit::CubicMetresPerHour;
        return [=] {
            ordered_json points = ordered_json::array();
            for (const PowerCurvePoint& p : PowerCurve(input))
                points.push_back(
                    {p.returnTemperature, shortNumber(p.power), optionalNumber(p.flow)});
            ordered_json out;
            out["Points"] = points;
            return out;
        };
    }
    throw std::runtime_error(where + ": unknown \"op\" \"" + quotedExcerpt(op) + "\"");
}

std::string placeOfRequest(std::size_t number, const json& object) {
    std::string place = "request " + std::to_string(number);
    if (object.is_object() && object.contains("Id"))
        place += " " + quotedExcerpt(object["Id"].dump());
    return place;
}

int calc(const std::vector<std::string>& args, std::ostream& out) {
    const CommandArguments arguments =
        parseCommandArguments(args, {"--lang"}, {}, "request file (FILE.json)");
    const LanguageScope scope(arguments.value("--lang", kDefaultLanguage));
    const json input = readJsonFile(arguments.file);
    std::vector<const json*> requests;
    if (input.is_array()) {
        for (const json& request : input)
            requests.push_back(&request);
    } else {
        requests.push_back(&input);
    }
    std::vector<Calculation> calculations;
    for (std::size_t i = 0; i < requests.size(); ++i)
        calculations.push_back(readRequest(*requests[i], placeOfRequest(i + 1, *requests[i])));

    ordered_json output = ordered_json::array();
    bool failed = false;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const json& request = *requests[i];
        ordered_json entry;
        entry["op"] = request["op"];
        if (request.contains("Id"))
            entry["Id"] = request["Id"];
        try {
            const ordered_json results = calculations[i]();
            for (const auto& [key, value] : results.items())
                entry[key] = value;
        } catch (const Error& error) {
            failed = true;
            entry["Error"] = error.key();
            entry["Message"] = error.text();
        }
        output.push_back(std::move(entry));
    }
    out << output.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
    return failed ? 1 : 0;
}

} // namespace

std::vector<Command> radiatorCommands() {
    return {
        {"radiator", "calc", "FILE.json [--lang ID]",
         "apply the radiator rules to requests given as JSON (one object or an array): each "
         "has an \"op\" (ThermalRatio, SizePower, MassFlow, ChooseSize, ChooseSizeAt, "
         "PowerCurve), an optional \"Id\" echoed in its result, and the op's keys; prints the "
         "results as JSON, a failed request with its \"Error\" and \"Message\"",
         calc},
    };
}

} // namespace kalydor::cli
