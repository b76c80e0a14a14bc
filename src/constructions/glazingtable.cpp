// The glazing coefficient table: day and night heat-transfer coefficients of glazed
// constructions, read from the language texts, and the choice remembered during a run.

#include "constructions/glazingtable.h"

#include "base/textlookup.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kalydor {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// A decimal real as the table writes it; NaN for anything that is not a coefficient.
double coefficient(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.back()))
        text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && blank(text[start]))
        ++start;
    text.erase(0, start);
    if (text.empty())
        return 0;
    for (char& c : text) {
        if (c == ',')
            c = '.';
    }
    // from_chars takes no leading "+".
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+')
        text.erase(0, 1);
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (error != std::errc() || stop != end || !std::isfinite(value) || value < 0)
        return kNotANumber;
    return value;
}

} // namespace

GlazingEntry parseGlazingEntry(const std::string& text) {
    GlazingEntry entry;
    std::string rest = text;
    // From the end: night values of modes 3, 2, 1, 0, then the day value.
    for (int field = kShadingModeCount; field >= 0; --field) {
        const std::size_t semicolon = rest.rfind(';');
        if (semicolon == std::string::npos) {
            entry = GlazingEntry{};
            entry.name = text;
            entry.day = kNotANumber;
            entry.night.fill(kNotANumber);
            entry.valid = false;
            return entry;
        }
        entry.fields[static_cast<std::size_t>(field)] = rest.substr(semicolon + 1);
        rest.erase(semicolon);
    }
    entry.name = rest;
    entry.day = coefficient(entry.fields[0]);
    for (std::size_t mode = 0; mode < entry.night.size(); ++mode)
        entry.night[mode] = coefficient(entry.fields[mode + 1]);
    entry.valid = !std::isnan(entry.day);
    for (const double night : entry.night)
        entry.valid = entry.valid && !std::isnan(night);
    return entry;
}

GlazingTable GlazingTable::fromLanguage(const TextLookup& texts) {
    std::vector<GlazingEntry> entries;
    for (int n = 0;; ++n) {
        const std::string text = texts.getText("IDS_KUTYPES+" + std::to_string(n));
        if (text.empty())
            break;
        entries.push_back(parseGlazingEntry(text));
    }
    return GlazingTable(std::move(entries));
}

std::optional<GlazingCoefficients> GlazingTable::coefficients(int entry, int mode) const {
    if (entry < 0 || static_cast<std::size_t>(entry) >= m_entries.size() || mode < 0 ||
        mode >= kShadingModeCount)
        return std::nullopt;
    const GlazingEntry& chosen = m_entries[static_cast<std::size_t>(entry)];
    if (!chosen.valid)
        return std::nullopt;
    return GlazingCoefficients{chosen.day, chosen.night[static_cast<std::size_t>(mode)]};
}

GlazingChoice& lastGlazingChoice() {
    static GlazingChoice choice;
    return choice;
}

} // namespace kalydor
