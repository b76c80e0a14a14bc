#pragma once

// The JSON input of the calculation commands: objects read key by key with the place of a bad
// value in every message, and the language of the messages for the run of a command.

#include "base/error.h"
#include "base/parsenumber.h"
#include "base/textencoding.h"
#include "language/languages.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor::cli {

using nlohmann::json;

/// The JSON document of a file; a file that cannot be read or is not JSON raises a message
/// naming it.
json readJsonFile(const std::string& fileName);

/// Reading of one JSON object, with the place of a bad value in every message. Every key must
/// be one the object knows: a misspelt key would otherwise leave its value at 0 and give a
/// plausible but wrong result. Keys beginning with "_" are comments.
class JsonObjectReader {
public:
    JsonObjectReader(const json& object, std::string where,
                     const std::vector<std::string_view>& keys,
                     const std::vector<std::string_view>& unused = {})
        : m_object(object)
        , m_where(std::move(where)) {
        if (!object.is_object())
            fail("an object expected");
        for (const auto& [key, value] : object.items()) {
            if (key.starts_with('_') || std::find(keys.begin(), keys.end(), key) != keys.end())
                continue;
            const std::string quoted = quotedExcerpt(key);
            if (std::find(unused.begin(), unused.end(), key) != unused.end())
                throw Error("IDS_JSONKEYNOTUSED", {m_where, quoted},
                            "%s: the key \"%s\" is not used by a construction of this kind.");
            throw Error("IDS_JSONUNKNOWNKEY", {m_where, quoted},
                        "%s: the key \"%s\" is not known; check its spelling (keys beginning "
                        "with \"_\" are comments).");
        }
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error(m_where + ": " + what);
    }

    bool has(const char* key) const { return m_object.contains(key); }

    // A number a float field can hold that keeps the field's rule (the editors' rule).
    float number(const char* key, NumberRule rule = NumberRule::NotNegative,
                 double maximum = std::numeric_limits<float>::max()) const {
        if (!has(key))
            return 0;
        return checked(m_object.at(key), key, rule, maximum);
    }

    float checked(const json& v, const char* key, NumberRule rule,
                  double maximum = std::numeric_limits<float>::max()) const {
        if (!v.is_number())
            fail(std::string("\"") + key + "\" must be a number");
        const double d = v.get<double>();
        const bool kept = rule == NumberRule::Any           ? true
                          : rule == NumberRule::Positive    ? d > 0
                          : rule == NumberRule::NotNegative ? d >= 0
                          : rule == NumberRule::Negative    ? d < 0
                                                            : d <= 0;
        if (!kept)
            throw Error("IDS_JSONRANGE+" + std::to_string(static_cast<int>(rule)),
                        {m_where, std::string(key), quotedExcerpt(v.dump())},
                        kRuleFallback[static_cast<int>(rule)]);
        if (!(std::fabs(d) <= maximum))
            throw Error("IDS_JSONRANGE+5", {m_where, std::string(key), quotedExcerpt(v.dump())},
                        "%s: \"%s\" is %s, more than this field takes.");
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
                fail(std::string("unknown \"") + key + "\" \"" +
                     quotedExcerpt(v.get<std::string>()) + "\"");
            return c;
        }
        if (!v.is_number_integer() || !valid(static_cast<long>(v.get<long long>())))
            fail(std::string("unknown \"") + key + "\" " + quotedExcerpt(v.dump()));
        return static_cast<int>(v.get<long long>());
    }

    const json& at(const char* key) const { return m_object.at(key); }
    const std::string& where() const { return m_where; }

private:
    static constexpr const char* kRuleFallback[] = {
        "%s: \"%s\" is %s.",
        "%s: \"%s\" must be greater than 0, not %s.",
        "%s: \"%s\" must not be negative, not %s.",
        "%s: \"%s\" must be less than 0, not %s.",
        "%s: \"%s\" must not be greater than 0, not %s.",
    };

    const json& m_object;
    std::string m_where;
};

/// "panel 2" or "panel 2 "Name"": where a value was found, for messages.
std::string placeOf(const std::string& what, std::size_t number, const json& object);

/// The arguments of a command: its one file, the values of the options that take one, and
/// the switches given.
struct CommandArguments {
    std::string file;
    std::map<std::string, std::string, std::less<>> values;
    std::set<std::string, std::less<>> switches;
    std::string value(std::string_view option, std::string fallback) const {
        const auto found = values.find(option);
        return found != values.end() ? found->second : fallback;
    }
};
/// Reads one file and the options; an option that is not known, one without its value or
/// not exactly one file is wrong use (`UsageError`, with `fileWanted` naming the file).
CommandArguments parseCommandArguments(const std::vector<std::string>& args,
                                       const std::vector<std::string_view>& valueOptions,
                                       const std::vector<std::string_view>& switchOptions,
                                       const std::string& fileWanted);

/// The language tables for the message texts, installed for the run of a command.
class LanguageScope {
public:
    explicit LanguageScope(const std::string& id);
    /// The messages' language comes back.
    ~LanguageScope() { setTextLookup(&m_previous); }
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;
    const Languages& languages() const { return m_languages; }

private:
    const TextLookup& m_previous = textLookup();
    Languages m_languages;
};

} // namespace kalydor::cli
