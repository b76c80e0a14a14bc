#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kalydor {

class Room;
struct Reference;

/// The boxes of the ventilation-method change as the user filled them; an empty box leaves
/// that value of every room as it is.
struct VentilationChangeForm {
    int method = 0; ///< 0 air changes, 1 persons, 2 air flow, 3 known heat, 4 joints and wind
    std::string airChangeFact;
    std::string numOfMens;
    std::string portion;
    std::string airVolume;
    std::string filtPower;
    std::string windSpeed;
    std::string eFactor;
    /// The entering-air temperature: empty, the project's entry ("IDS_TOUT") or a number.
    std::string airTemp;
};

/// One change of the ventilation method of many rooms, read from the form before any room
/// is touched.
class VentilationChange {
public:
    /// Reads every filled box: numbers at least 0, the persons a whole number of the stored
    /// word, the entering-air temperature any number. A bad box raises "IDS_WRONGVALUE".
    static VentilationChange read(const VentilationChangeForm& form);

    /// Sets the room's method and the method's filled values; the entering air when its box
    /// was filled (not for known heat, which has no air).
    void apply(Room& room) const;
    /// The change as the bulk runner applies it to each room.
    bool operator()(const Reference&, Room& room, std::size_t&) const {
        apply(room);
        return true;
    }

    int method() const { return m_method; }

private:
    int m_method = 0;
    std::optional<float> m_airChangeFact, m_portion, m_airVolume, m_filtPower, m_windSpeed,
        m_eFactor;
    std::optional<std::int16_t> m_numOfMens;
    bool m_airSet = false;
    bool m_airFromProject = false;
    float m_airTemp = 0;
};

} // namespace kalydor
