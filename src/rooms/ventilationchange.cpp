#include "rooms/ventilationchange.h"

#include "base/error.h"
#include "base/parsenumber.h"
#include "base/textlookup.h"
#include "rooms/room.h"

#include <cmath>
#include <limits>

namespace kalydor {
namespace {

std::optional<float> filled(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    return static_cast<float>(ParseNumber(text, NumberRule::NotNegative));
}

} // namespace

VentilationChange VentilationChange::read(const VentilationChangeForm& form) {
    if (form.method < 0 || form.method > 4)
        throw Error("IDS_WRONGVALUE");
    VentilationChange change;
    change.m_method = form.method;
    switch (form.method) {
    case 0:
        change.m_airChangeFact = filled(form.airChangeFact);
        break;
    case 1:
        if (!form.numOfMens.empty()) {
            const double persons = std::trunc(ParseNumber(form.numOfMens, NumberRule::NotNegative));
            if (persons > std::numeric_limits<std::int16_t>::max())
                throw Error("IDS_WRONGVALUE");
            change.m_numOfMens = static_cast<std::int16_t>(persons);
        }
        change.m_portion = filled(form.portion);
        break;
    case 2:
        change.m_airVolume = filled(form.airVolume);
        break;
    case 3:
        change.m_filtPower = filled(form.filtPower);
        break;
    case 4:
        change.m_windSpeed = filled(form.windSpeed);
        change.m_eFactor = filled(form.eFactor);
        break;
    default:
        break;
    }
    if (form.method != 3 && !form.airTemp.empty()) {
        change.m_airSet = true;
        change.m_airFromProject = form.airTemp == GetText("IDS_TOUT");
        if (!change.m_airFromProject)
            change.m_airTemp = static_cast<float>(ParseNumber(form.airTemp, NumberRule::Any));
    }
    return change;
}

void VentilationChange::apply(Room& room) const {
    room.FiltMode = static_cast<std::int16_t>(m_method);
    const auto set = [](float& target, const std::optional<float>& value) {
        if (value)
            target = *value;
    };
    set(room.AirChangeFact, m_airChangeFact);
    if (m_numOfMens)
        room.NumOfMens = *m_numOfMens;
    set(room.Portion, m_portion);
    set(room.AirVolume, m_airVolume);
    set(room.FiltPower, m_filtPower);
    set(room.WindSpeed, m_windSpeed);
    set(room.EFactor, m_eFactor);
    if (m_airSet) {
        room.AirTempFromProject = m_airFromProject ? 1 : 0;
        if (!m_airFromProject)
            room.AirTemp = m_airTemp;
    }
}

} // namespace kalydor
