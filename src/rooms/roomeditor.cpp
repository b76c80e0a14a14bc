#include "rooms/roomeditor.h"

#include "base/collation.h"
#include "base/error.h"
#include "base/parsenumber.h"
#include "base/textlookup.h"
#include "constructions/panel.h"
#include "heating/projectoptions.h"
#include "platform/prompter.h"
#include "platform/settingsstore.h"
#include "rooms/radiatoroffer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kalydor {
namespace {

constexpr const char* kRoomFunctionsKey = "RoomFunctions";

constexpr std::size_t indexOf(RoomField field) {
    return static_cast<std::size_t>(field);
}

float Room::*memberOf(RoomField field) {
    switch (field) {
    case RoomField::Area:
        return &Room::Area;
    case RoomField::Height:
        return &Room::Height;
    case RoomField::Volume0:
        return &Room::Volume0;
    case RoomField::Mass1:
        return &Room::Mass1;
    case RoomField::HeatMass1:
        return &Room::HeatMass1;
    case RoomField::HeatingInSideTemp:
        return &Room::HeatingInSideTemp;
    case RoomField::Ac:
        return &Room::Ac;
    case RoomField::Ao:
        return &Room::Ao;
    case RoomField::Cm:
        return &Room::Cm;
    case RoomField::InternalSource:
        return &Room::InternalSource;
    case RoomField::AirChangeFact:
        return &Room::AirChangeFact;
    case RoomField::NumOfMens:
        return nullptr;
    case RoomField::Portion:
        return &Room::Portion;
    case RoomField::AirVolume:
        return &Room::AirVolume;
    case RoomField::FiltPower:
        return &Room::FiltPower;
    case RoomField::WindSpeed:
        return &Room::WindSpeed;
    case RoomField::EFactor:
        return &Room::EFactor;
    }
    return nullptr;
}

} // namespace

void NewBoundaryDefaults::startFrom(const ProjectOptions* options) {
    if (started)
        return;
    started = true;
    if (options != nullptr && values.OverTempWinter == 0 && values.OverTempSummer == 0) {
        values.OverTempWinter = options->Heating.InSideTemp;
        values.OverTempSummer = options->Cooling.InSideTemp;
    }
}

RoomEditor::RoomEditor(Room room, const BuildingsTable& buildings, RoomSettings settings,
                       const ProjectOptions* options, std::vector<std::string> userFunctions,
                       bool warningTempDiff)
    : m_room(std::move(room))
    , m_buildings(buildings.rows().begin(), buildings.rows().end())
    , m_settings(std::move(settings))
    , m_options(options)
    , m_warningTempDiff(warningTempDiff)
    , m_functions(numberedTexts("IDS_ROOMFUNCTION+", 1000))
    , m_outsideFromProject(m_room.OutSideTempFromProject != 0)
    , m_outsideTemp(m_room.HeatingOutSideTemp)
    , m_airFromProject(m_room.AirTempFromProject != 0)
    , m_airTemp(m_room.AirTemp)
    , m_acEntered(m_room.AcCalculated == 0)
    , m_calcFlags(m_room.CalcFlags)
    , m_sunShine(m_room.SunShineFlag)
    , m_method(m_room.FiltMode) {
    for (std::string& function : userFunctions)
        m_functions.push_back(std::move(function));
    std::sort(m_functions.begin(), m_functions.end(), NameLess{});
    m_functions.erase(std::unique(m_functions.begin(), m_functions.end()), m_functions.end());

    for (int i = 0; i < kRoomFieldCount; ++i) {
        const auto field = static_cast<RoomField>(i);
        m_values[indexOf(field)] = field == RoomField::NumOfMens
                                       ? m_room.NumOfMens
                                       : static_cast<double>(m_room.*memberOf(field));
    }
    // The room's building, else the first; with no building at all the link stays.
    if (!m_buildings.empty()) {
        m_building = 0;
        for (std::size_t i = 0; i < m_buildings.size(); ++i)
            if (m_buildings[i].ID == m_room.BuildingRef) {
                m_building = static_cast<int>(i);
                break;
            }
    }
    recalculate();
}

std::vector<std::string> RoomEditor::buildingNames() const {
    std::vector<std::string> names;
    for (const BuildingsTableItem& row : m_buildings)
        names.push_back(row.Name);
    return names;
}

void RoomEditor::setBuilding(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_buildings.size())
        return;
    m_building = index;
    recalculate();
}

void RoomEditor::setFunction(std::string function) {
    m_room.Function = std::move(function);
}

std::optional<std::string> RoomEditor::newFunction() const {
    if (m_room.Function.empty() ||
        std::find(m_functions.begin(), m_functions.end(), m_room.Function) != m_functions.end())
        return std::nullopt;
    return m_room.Function;
}

void RoomEditor::rememberFunction(platform::SettingsStore& settings, const std::string& function) {
    settings.createKey(kRoomFunctionsKey);
    for (int n = 1;; ++n) {
        const std::string name = std::to_string(n);
        if (!settings.valueExists(kRoomFunctionsKey, name)) {
            settings.writeText(kRoomFunctionsKey, name, function);
            return;
        }
    }
}

std::vector<std::string> RoomEditor::rememberedFunctions(const platform::SettingsStore& settings) {
    std::vector<std::string> functions;
    if (!settings.keyExists(kRoomFunctionsKey))
        return functions;
    for (const std::string& name : settings.valueNames(kRoomFunctionsKey))
        if (std::optional<std::string> text = settings.readText(kRoomFunctionsKey, name);
            text && !text->empty())
            functions.push_back(std::move(*text));
    return functions;
}

FieldRule RoomEditor::rule(RoomField field) {
    switch (field) {
    case RoomField::HeatingInSideTemp:
    case RoomField::Ac:
    case RoomField::Ao:
    case RoomField::InternalSource:
    case RoomField::FiltPower:
        return FieldRule::of(NumberRule::Any);
    case RoomField::NumOfMens: {
        // A count of persons: its fraction dropped, within the stored word.
        FieldRule rule = FieldRule::wholeBetween(0, std::numeric_limits<std::int16_t>::max());
        rule.whole = FieldRule::Whole::FractionDropped;
        return rule;
    }
    default:
        return FieldRule::of(NumberRule::NotNegative);
    }
}

double RoomEditor::value(RoomField field) const {
    return m_values[indexOf(field)];
}

NumberField::Outcome RoomEditor::type(RoomField field, std::string_view text) {
    NumberField number("", rule(field));
    number.show(value(field));
    NumberField::Outcome outcome = number.leave(text);
    switch (outcome.kind) {
    case NumberField::Outcome::Kind::Taken:
        m_values[indexOf(field)] =
            field == RoomField::NumOfMens ? std::trunc(number.value()) : number.value();
        recalculate();
        break;
    case NumberField::Outcome::Kind::Refused:
        // The results stay those of the last good values.
        m_status = outcome.message;
        break;
    default:
        break;
    }
    return outcome;
}

std::string RoomEditor::projectTemperatureText() {
    return GetText("IDS_TOUT");
}

bool RoomEditor::fromProject(RoomTemperature which) const {
    return which == RoomTemperature::Outside ? m_outsideFromProject : m_airFromProject;
}

double RoomEditor::temperature(RoomTemperature which) const {
    return which == RoomTemperature::Outside ? m_outsideTemp : m_airTemp;
}

std::optional<std::string> RoomEditor::setTemperature(RoomTemperature which,
                                                      std::string_view text) {
    bool& fromProject = which == RoomTemperature::Outside ? m_outsideFromProject : m_airFromProject;
    double& temperature = which == RoomTemperature::Outside ? m_outsideTemp : m_airTemp;
    if (text == projectTemperatureText()) {
        fromProject = true;
    } else {
        try {
            temperature = ParseNumber(text, NumberRule::Any);
        } catch (const Error& error) {
            m_status = error.text();
            return m_status;
        }
        fromProject = false;
    }
    recalculate();
    return std::nullopt;
}

void RoomEditor::setMethod(int method) {
    if (method < 0 || method > 4)
        return;
    m_method = method;
    recalculate();
}

std::vector<RoomField> RoomEditor::methodFields(int method) {
    switch (method) {
    case 0:
        return {RoomField::AirChangeFact};
    case 1:
        return {RoomField::NumOfMens, RoomField::Portion};
    case 2:
        return {RoomField::AirVolume};
    case 3:
        return {RoomField::FiltPower};
    case 4:
        return {RoomField::WindSpeed, RoomField::EFactor};
    default:
        return {};
    }
}

void RoomEditor::setAcEntered(bool entered) {
    m_acEntered = entered;
    recalculate();
}

void RoomEditor::setHeating(bool on) {
    m_calcFlags = static_cast<std::int16_t>(on ? (m_calcFlags | 1) : (m_calcFlags & ~1));
    recalculate();
}

void RoomEditor::setCooling(bool on) {
    m_calcFlags = static_cast<std::int16_t>(on ? (m_calcFlags | 2) : (m_calcFlags & ~2));
    recalculate();
}

void RoomEditor::setSunShine(bool on) {
    m_sunShine = on ? 1 : 0;
    recalculate();
}

void RoomEditor::apply() {
    Room& r = m_room;
    if (m_building >= 0) {
        const BuildingsTableItem& row = m_buildings[static_cast<std::size_t>(m_building)];
        r.LinkToBuilding(row.ID, row.data);
        r.BuildingName = row.Name;
    }
    const auto take = [&](RoomField field) {
        r.*memberOf(field) = static_cast<float>(m_values[indexOf(field)]);
    };
    for (RoomField field : {RoomField::Area, RoomField::Height, RoomField::Volume0,
                            RoomField::Mass1, RoomField::HeatMass1, RoomField::HeatingInSideTemp,
                            RoomField::Ao, RoomField::Cm, RoomField::InternalSource})
        take(field);
    r.CalcFlags = m_calcFlags;
    r.OutSideTempFromProject = m_outsideFromProject ? 1 : 0;
    if (!m_outsideFromProject)
        r.HeatingOutSideTemp = static_cast<float>(m_outsideTemp);
    r.AcCalculated = m_acEntered ? 0 : 1;
    if (m_acEntered)
        take(RoomField::Ac);
    r.SunShineFlag = m_sunShine;
    r.FiltMode = static_cast<std::int16_t>(m_method);
    for (RoomField field : methodFields(m_method)) {
        if (field == RoomField::NumOfMens)
            r.NumOfMens = static_cast<std::int16_t>(m_values[indexOf(field)]);
        else
            take(field);
    }
    if (usesEnteringAir()) {
        r.AirTempFromProject = m_airFromProject ? 1 : 0;
        if (!m_airFromProject)
            r.AirTemp = static_cast<float>(m_airTemp);
    }
}

void RoomEditor::calculate() {
    try {
        const std::vector<RoomFinding> findings = m_room.Calculate(m_settings);
        m_status = findings.empty() ? std::string() : findings.front().text();
    } catch (const Error& error) {
        m_status = error.text();
    }
}

void RoomEditor::recalculate() {
    apply();
    if (const std::optional<std::string> refusal = m_room.CheckBoundaries(m_warningTempDiff)) {
        m_status = *refusal;
        return;
    }
    calculate();
}

std::optional<std::string> RoomEditor::accept() {
    apply();
    if (std::optional<std::string> refusal = m_room.CheckBoundaries(m_warningTempDiff)) {
        m_status = *refusal;
        return refusal;
    }
    try {
        (void)m_room.Calculate(m_settings);
    } catch (const Error& error) {
        // Stored so, the room's results would not belong to its values.
        m_status = error.text();
        return m_status;
    }
    return std::nullopt;
}

std::optional<std::size_t> RoomEditor::addBoundary(const Panel& panel,
                                                   std::optional<std::size_t> after,
                                                   const Boundary& defaults,
                                                   const Boundary::EditBoundary& edit) {
    Boundary made;
    if (!made.CreateFromPanel(panel, m_room.Height, m_room.Building.Compass, defaults, m_options,
                              edit))
        return std::nullopt;
    std::vector<Boundary>& list = m_room.Boundaries;
    const std::size_t at = after && *after < list.size() ? *after + 1 : list.size();
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), std::move(made));
    recalculate();
    return at;
}

bool RoomEditor::modifyBoundary(std::size_t index, const std::function<bool(Boundary&)>& edit) {
    return editCopy(m_room.Boundaries, index, edit);
}

std::optional<std::size_t> RoomEditor::copyBoundary(std::size_t index) {
    if (index >= m_room.Boundaries.size())
        return std::nullopt;
    m_room.Boundaries.push_back(m_room.Boundaries[index]);
    recalculate();
    return m_room.Boundaries.size() - 1;
}

std::optional<std::size_t> RoomEditor::moveBoundary(std::size_t index, bool up) {
    const std::size_t count = m_room.Boundaries.size();
    if (index >= count || (up && index == 0) || (!up && index + 1 >= count))
        return std::nullopt;
    const std::size_t other = up ? index - 1 : index + 1;
    m_room.MoveBoundary(index, other);
    recalculate();
    return other;
}

std::string RoomEditor::renameBoundary(std::size_t index, const std::string& name) {
    if (index >= m_room.Boundaries.size())
        return {};
    if (!name.empty())
        m_room.Boundaries[index].Name = name;
    // The calculation puts a new list in place: the name is read from it afterwards.
    recalculate();
    return m_room.Boundaries[index].Name;
}

std::optional<std::size_t> RoomEditor::deleteBoundary(std::size_t index) {
    if (!m_room.DeleteBoundary(index))
        return std::nullopt;
    recalculate();
    const std::size_t count = m_room.Boundaries.size();
    return count == 0 ? std::nullopt : std::optional<std::size_t>(std::min(index, count - 1));
}

bool RoomEditor::deductBoundary(std::size_t from, std::size_t onto) {
    std::vector<Boundary>& list = m_room.Boundaries;
    if (from >= list.size() || onto >= list.size() || from == onto)
        return false;
    list[from].DeductFrom(list[onto]);
    recalculate();
    return true;
}

std::vector<std::string> RoomEditor::addRadiators(const Radiator& radiator, int count) {
    std::vector<std::string> marks = AddFromOffer(m_room, radiator, count);
    recalculate();
    return marks;
}

bool RoomEditor::changeRadiator(std::size_t index, const Radiator& radiator) {
    if (!ChangeFromOffer(m_room, index, radiator))
        return false;
    recalculate();
    return true;
}

bool RoomEditor::stepRadiator(std::size_t index, bool up, RadiatorFamilySource& families) {
    if (index >= m_room.Radiators.size())
        return false;
    try {
        Radiator& radiator = m_room.Radiators[index];
        if (up)
            radiator.Increase(families, m_room.HeatingInSideTemp);
        else
            radiator.Decrease(families, m_room.HeatingInSideTemp);
    } catch (const Error& error) {
        m_status = error.text();
        return false;
    }
    recalculate();
    return true;
}

bool RoomEditor::modifyRadiator(std::size_t index, const std::function<bool(Radiator&)>& edit) {
    return editCopy(m_room.Radiators, index, edit);
}

bool RoomEditor::deleteRadiator(std::size_t index) {
    if (index >= m_room.Radiators.size())
        return false;
    const std::string question =
        formatText(GetText("IDS_WANTRADIATORDELETE"), {m_room.Radiators[index].Mark});
    if (!platform::prompter().askYesNo(question, platform::DefaultButton::No))
        return false;
    m_room.Radiators.erase(m_room.Radiators.begin() + static_cast<std::ptrdiff_t>(index));
    recalculate();
    return true;
}

std::string RoomEditor::renameRadiator(std::size_t index, const std::string& mark) {
    if (index >= m_room.Radiators.size())
        return {};
    if (!mark.empty())
        m_room.Radiators[index].Mark = mark;
    recalculate();
    return m_room.Radiators[index].Mark;
}

} // namespace kalydor
