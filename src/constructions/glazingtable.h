#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kalydor {

class TextLookup;

/// Night shading of a glazed construction, the index of its night coefficient.
enum class ShadingMode {
    Curtain = 0,
    RollerShutter = 1,
    CurtainAndRollerShutter = 2,
    InsulatedShutter = 3,
};
inline constexpr int kShadingModeCount = 4;

/// One row of the glazing coefficient table: a kind of glazing with its heat-transfer
/// coefficient by day and by night for each kind of night shading, W/m²K.
struct GlazingEntry {
    std::string name;
    double day = 0;
    std::array<double, kShadingModeCount> night{};
    /// The texts of the five number fields (day, then the four night values) as written.
    std::array<std::string, 1 + kShadingModeCount> fields;
    /// False when a number field is not a number, is negative, or the text has fewer than six
    /// fields: the bad values are NaN so that they never pass for a coefficient.
    bool valid = true;
};

/// Parses one entry "name;day;night0;night1;night2;night3". The fields are taken from the
/// end, so the name keeps any semicolons of its own. A number field is a decimal real (a
/// comma reads as the decimal point, blanks around it are ignored); an empty field is 0. A
/// field that is anything else — text, trailing characters, a negative or non-finite value
/// — gives NaN and marks the entry invalid. A text of fewer than six fields becomes an
/// invalid entry whose name is the whole text.
GlazingEntry parseGlazingEntry(const std::string& text);

/// The day and night coefficient chosen for a glazed boundary, W/m²K.
struct GlazingCoefficients {
    double day = 0;
    double night = 0;
};

/// The glazing coefficient table of the interface language: the texts "IDS_KUTYPES+" 0, 1, 2 …
/// up to the first empty one.
class GlazingTable {
public:
    GlazingTable() = default;
    explicit GlazingTable(std::vector<GlazingEntry> entries)
        : m_entries(std::move(entries)) {}
    static GlazingTable fromLanguage(const TextLookup& texts);

    const std::vector<GlazingEntry>& entries() const { return m_entries; }
    /// The day coefficient and the night coefficient of the shading mode; none for an entry
    /// or mode out of range and for an invalid entry.
    std::optional<GlazingCoefficients> coefficients(int entry, int mode) const;

private:
    std::vector<GlazingEntry> m_entries;
};

/// The entry and shading mode last confirmed in the glazing dialog; kept for the whole
/// program run, entry 0 and mode 0 at start.
struct GlazingChoice {
    int entry = 0;
    int mode = 0;
};
GlazingChoice& lastGlazingChoice();

} // namespace kalydor
