#include "rooms/ventilationtables.h"

#include "base/error.h"
#include "base/parsenumber.h"
#include "base/textlookup.h"

#include <cstddef>

namespace kalydor {
namespace {

std::vector<std::string> parts(const std::string& entry) {
    std::vector<std::string> split = splitText(entry, ';');
    for (std::string& part : split)
        part = trimmedText(part);
    return split;
}

// The entries of a numbered table of the language. A table of thousands of rows is no
// table: the read stops there.
std::vector<std::string> entries(const std::string& key) {
    return numberedTexts(key, 10000);
}

// Part i of an entry, or empty when the entry has fewer.
std::string part(const std::vector<std::string>& split, std::size_t i) {
    return i < split.size() ? split[i] : std::string();
}

} // namespace

std::vector<InfiltrationRow> infiltrationTable(bool metal) {
    std::vector<InfiltrationRow> rows;
    for (const std::string& entry :
         entries(metal ? "IDS_METALWINDOWINFILTRATION+" : "IDS_WOODWINDOWINFILTRATION+")) {
        InfiltrationRow row;
        // An entry without parts is a row with neither name nor values.
        if (entry.find(';') != std::string::npos) {
            const std::vector<std::string> split = parts(entry);
            row.name = split[0];
            for (std::size_t i = 0; i < row.values.size(); ++i)
                row.values[i] = part(split, i + 1);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

int InfiltrationChoices::column(bool metal) const {
    const int kind = buildingKind == 1 ? 1 : 0;
    const int ratio = (metal ? metalClass : woodClass) == 1 ? 1 : 0;
    return 2 * kind + ratio;
}

double infiltrationValue(const std::string& shown) {
    try {
        return ParseNumber(shown, NumberRule::Any);
    } catch (const Error&) {
        return 0;
    }
}

WindTables WindTables::load() {
    WindTables tables;
    for (const std::string& entry : entries("IDS_WINDSPEEDTABLE+")) {
        if (entry.find(';') == std::string::npos)
            continue;
        const std::vector<std::string> split = parts(entry);
        tables.m_situations.push_back({split[0], part(split, 1), part(split, 2)});
    }
    for (const std::string& entry : entries("IDS_FLOORLEVELTABLE+")) {
        if (entry.find(';') == std::string::npos)
            continue;
        const std::vector<std::string> split = parts(entry);
        LevelRow row{split[0], {}};
        for (std::size_t i = 0; i < row.factors.size(); ++i)
            row.factors[i] = part(split, i + 1);
        tables.m_levels.push_back(std::move(row));
    }
    return tables;
}

std::string WindTables::factor(int level, int storeys) const {
    if (level < 0 || static_cast<std::size_t>(level) >= m_levels.size() || storeys < 0 ||
        static_cast<std::size_t>(storeys) >= kStoreyCounts.size())
        return {};
    return m_levels[static_cast<std::size_t>(level)].factors[static_cast<std::size_t>(storeys)];
}

bool WindTables::levelSelectable(int level, int storeys) const {
    const std::string text = factor(level, storeys);
    try {
        (void)ParseNumber(text, NumberRule::NotNegative);
        return !text.empty();
    } catch (const Error&) {
        return false; // "-": the building has no such level
    }
}

std::optional<WindTables::Choice> WindTables::choose(const WindChoices& choices) const {
    if (choices.situation < 0 || static_cast<std::size_t>(choices.situation) >= m_situations.size())
        return std::nullopt;
    Choice choice{m_situations[static_cast<std::size_t>(choices.situation)].v, "1"};
    if (choices.highRise) {
        if (!levelSelectable(choices.level, choices.storeys))
            return std::nullopt;
        choice.e = factor(choices.level, choices.storeys);
    }
    return choice;
}

} // namespace kalydor
