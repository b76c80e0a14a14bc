#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

/// One window or door kind of the infiltration table: its name and four joint infiltration
/// factors, by building kind (many or few windows) and opening-ratio class.
struct InfiltrationRow {
    std::string name;
    std::array<std::string, 4> values;
};

/// The wooden or metal table from the language ("IDS_WOODWINDOWINFILTRATION+" n,
/// "IDS_METALWINDOWINFILTRATION+" n), read until a key has no text.
std::vector<InfiltrationRow> infiltrationTable(bool metal);

/// The choices of the infiltration dialog, kept for the program's run: the building kind (0
/// many windows, 1 few) and the opening-ratio class of each material (wood below or above 3,
/// metal below or above 6).
struct InfiltrationChoices {
    int buildingKind = 0;
    int woodClass = 0;
    int metalClass = 0;
    /// The position among a row's four values the dialog shows for a material.
    int column(bool metal) const;
};

/// A shown factor as the caller takes it: its leading number; 0 when it has none.
double infiltrationValue(const std::string& shown);

/// One situation of the wind table: the building's situation, the geographic zone and the
/// design wind speed (m/s) as the table writes it.
struct WindRow {
    std::string situation;
    std::string zone;
    std::string v;
};

/// One level range of the level-factor table with its factor E for each storey count of
/// `kStoreyCounts` ("-" where the building has no such level).
struct LevelRow {
    std::string level;
    std::array<std::string, 5> factors;
};
inline constexpr std::array<int, 5> kStoreyCounts = {12, 15, 18, 20, 25};

/// The choices of the wind dialog, kept for the program's run.
struct WindChoices {
    int situation = 0;
    bool highRise = false;
    int storeys = 0; ///< index into kStoreyCounts
    int level = 0;
};

/// The wind-speed and level-factor tables ("IDS_WINDSPEEDTABLE+" n, "IDS_FLOORLEVELTABLE+" n).
class WindTables {
public:
    static WindTables load();

    const std::vector<WindRow>& situations() const { return m_situations; }
    const std::vector<LevelRow>& levels() const { return m_levels; }
    /// The factor of a level for a storey count; empty when there is none.
    std::string factor(int level, int storeys) const;
    /// Whether a level row can be chosen for a storey count: its factor is a number.
    bool levelSelectable(int level, int storeys) const;

    /// What OK gives: the wind speed of the chosen situation and E, the chosen level's factor
    /// for a high-rise building, else "1". None when the situation or, for a high-rise
    /// building, the level cannot be chosen.
    struct Choice {
        std::string v;
        std::string e;
    };
    std::optional<Choice> choose(const WindChoices& choices) const;

private:
    std::vector<WindRow> m_situations;
    std::vector<LevelRow> m_levels;
};

} // namespace kalydor
