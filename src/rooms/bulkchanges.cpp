#include "rooms/bulkchanges.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "base/textlookup.h"
#include "constructions/panel.h"
#include "rooms/room.h"
#include "rooms/roombulkchange.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace kalydor {
namespace {

using namespace boundarykind;

constexpr std::size_t at(ConstructionField field) {
    return static_cast<std::size_t>(field);
}

// The rule a new value keeps: the resistance any number, the massivity and the floor's edge
// values above 0, the others at least 0.
NumberRule ruleOf(ConstructionField field) {
    switch (field) {
    case ConstructionField::k:
        return NumberRule::Any;
    case ConstructionField::Massivitate:
    case ConstructionField::ms:
    case ConstructionField::ns:
    case ConstructionField::Rbc:
        return NumberRule::Positive;
    default:
        return NumberRule::NotNegative;
    }
}

float Boundary::*memberOf(ConstructionField field) {
    switch (field) {
    case ConstructionField::k:
        return &Boundary::k;
    case ConstructionField::Massivitate:
        return &Boundary::Massivitate;
    case ConstructionField::DampFactor:
        return &Boundary::DampFactor;
    case ConstructionField::Delay:
        return &Boundary::Delay;
    case ConstructionField::InSideAlpha:
        return &Boundary::InSideAlpha;
    case ConstructionField::Mass:
        return &Boundary::Mass;
    case ConstructionField::HeatMass:
        return &Boundary::HeatMass;
    case ConstructionField::GlassRatio:
        return &Boundary::GlassRatio;
    case ConstructionField::InfiltrationFactor:
        return &Boundary::InfiltrationFactor;
    case ConstructionField::ms:
        return &Boundary::ms;
    case ConstructionField::ns:
        return &Boundary::ns;
    case ConstructionField::Rbc:
        return &Boundary::Rbc;
    case ConstructionField::Name:
        break;
    }
    return nullptr;
}

// Whether a value belongs to a boundary of a kind.
bool appliesTo(ConstructionField field, int kind) {
    switch (field) {
    case ConstructionField::Name:
    case ConstructionField::k:
    case ConstructionField::Massivitate:
        return true;
    case ConstructionField::DampFactor:
    case ConstructionField::Delay:
    case ConstructionField::InSideAlpha:
    case ConstructionField::Mass:
    case ConstructionField::HeatMass:
        return isOpaque(kind);
    case ConstructionField::GlassRatio:
    case ConstructionField::InfiltrationFactor:
        return isOutsideGlazing(kind);
    case ConstructionField::ms:
    case ConstructionField::ns:
    case ConstructionField::Rbc:
        return kind == kFloor;
    }
    return false;
}

int normalized(long long angle) {
    return static_cast<int>(((angle % 360) + 360) % 360);
}

// A typed angle as whole degrees within one turn: read as typed, its fraction dropped, and
// reduced before it is counted, so that no size of number can overflow.
int degreesOf(std::string_view text) {
    const double typed = std::trunc(ParseNumber(text, NumberRule::Any));
    return normalized(static_cast<long long>(std::fmod(typed, 360.0)));
}

} // namespace

bool ConstructionSearch::matches(const Boundary& boundary) const {
    return boundary.Type == kind && (!name || boundary.Name == *name) && (!k || boundary.k == *k);
}

const std::vector<int>& ConstructionSearch::kinds() {
    static const std::vector<int> list = {0,  1,  2,  3,  4,  5,  6,  7, 8,
                                          10, 11, 12, 13, 14, 15, 16, 17};
    return list;
}

ConstructionSearch ConstructionSearch::of(const Panel& construction) {
    ConstructionSearch search;
    search.kind = construction.Type;
    search.name = construction.Name;
    search.k = construction.R;
    return search;
}

const std::vector<std::pair<std::string_view, ConstructionField>>& ConstructionValues::fields() {
    static const std::vector<std::pair<std::string_view, ConstructionField>> list = {
        {"Name", ConstructionField::Name},
        {"k", ConstructionField::k},
        {"Massivitate", ConstructionField::Massivitate},
        {"DampFactor", ConstructionField::DampFactor},
        {"Delay", ConstructionField::Delay},
        {"InSideAlpha", ConstructionField::InSideAlpha},
        {"Mass", ConstructionField::Mass},
        {"HeatMass", ConstructionField::HeatMass},
        {"GlassRatio", ConstructionField::GlassRatio},
        {"InfiltrationFactor", ConstructionField::InfiltrationFactor},
        {"ms", ConstructionField::ms},
        {"ns", ConstructionField::ns},
        {"Rbc", ConstructionField::Rbc},
    };
    return list;
}

std::optional<ConstructionField> ConstructionValues::fieldNamed(std::string_view name) {
    for (const auto& [key, field] : fields())
        if (key == name)
            return field;
    return std::nullopt;
}

void ConstructionValues::set(ConstructionField field, std::string_view text) {
    if (field == ConstructionField::Name) {
        if (text.empty())
            m_name.reset();
        else
            m_name = std::string(text);
        return;
    }
    if (text.empty()) {
        m_numbers[at(field)].reset();
        return;
    }
    m_numbers[at(field)] = static_cast<float>(ParseNumber(text, ruleOf(field)));
}

ConstructionValues ConstructionValues::of(const Panel& p) {
    // What a boundary made from the construction copies: the resistance, the massivity and
    // the floor's edge values always, the joint factor for leaky kinds, the masses for opaque
    // kinds and the glass ratio for outside glazing. A value its box would refuse (an edge
    // value of 0 of a construction that is no floor) stays empty.
    ConstructionValues values;
    values.m_name = p.Name;
    const auto set = [&](ConstructionField field, float value) {
        if (std::isfinite(value) && (ruleOf(field) != NumberRule::Positive || value > 0) &&
            (ruleOf(field) != NumberRule::NotNegative || value >= 0))
            values.m_numbers[at(field)] = value;
    };
    set(ConstructionField::k, p.R);
    set(ConstructionField::Massivitate, p.ThermicMassivitate);
    set(ConstructionField::ms, p.ms);
    set(ConstructionField::ns, p.ns);
    set(ConstructionField::Rbc, p.Rbc);
    if (isLeaky(p.Type))
        set(ConstructionField::InfiltrationFactor, p.InfiltrationFactor);
    if (isOpaque(p.Type)) {
        set(ConstructionField::DampFactor, p.DampFactor);
        set(ConstructionField::Delay, p.Delay);
        set(ConstructionField::InSideAlpha, p.InSideAlpha);
        set(ConstructionField::Mass, p.Mass);
        set(ConstructionField::HeatMass, p.HeatMass);
    }
    if (isOutsideGlazing(p.Type))
        set(ConstructionField::GlassRatio, p.GlassRatio);
    return values;
}

bool ConstructionValues::empty() const {
    return !m_name && std::none_of(m_numbers.begin(), m_numbers.end(),
                                   [](const std::optional<float>& v) { return v.has_value(); });
}

std::string ConstructionValues::text(ConstructionField field) const {
    if (field == ConstructionField::Name)
        return m_name.value_or(std::string());
    const std::optional<float>& value = m_numbers[at(field)];
    return value ? floatText(*value) : std::string();
}

void ConstructionValues::applyTo(Boundary& boundary) const {
    if (m_name)
        boundary.Name = *m_name;
    for (const auto& [key, field] : fields()) {
        const std::optional<float>& value = m_numbers[at(field)];
        if (field != ConstructionField::Name && value && appliesTo(field, boundary.Type))
            boundary.*memberOf(field) = *value;
    }
}

std::vector<BoundaryMatch> FindMatches(ItemStore& store, const std::vector<Reference>& rooms,
                                       const ConstructionSearch& search) {
    std::vector<BoundaryMatch> matches;
    VisitChosenRooms(store, rooms, [&](const Reference& record, const Room& room) {
        for (std::size_t i = 0; i < room.Boundaries.size(); ++i) {
            const Boundary& b = room.Boundaries[i];
            if (!search.matches(b))
                continue;
            BoundaryMatch match;
            match.where = {record, static_cast<std::int16_t>(i)};
            match.boundary = b;
            match.boundaryName = b.Name;
            match.k = b.k;
            match.x = b.x;
            match.y = b.y;
            match.orientation = b.compassText();
            matches.push_back(std::move(match));
        }
    });
    return matches;
}

ConstructionChange::ConstructionChange(std::vector<BoundaryMatch> matches,
                                       ConstructionValues values)
    : m_matches(std::move(matches))
    , m_values(std::move(values)) {
    for (const BoundaryMatch& match : m_matches)
        m_positions[{match.where.reference.RefID, match.where.reference.Name}].push_back(
            match.where.Index);
}

std::vector<Reference> ConstructionChange::rooms() const {
    std::vector<Reference> list;
    std::set<std::pair<std::string, std::string>> seen;
    for (const BoundaryMatch& match : m_matches) {
        const Reference& room = match.where.reference;
        if (seen.insert({room.RefID, room.Name}).second)
            list.push_back(room);
    }
    return list;
}

bool ConstructionChange::operator()(const Reference& record, Room& room,
                                    std::size_t& changed) const {
    const auto found = m_positions.find({record.RefID, record.Name});
    if (found == m_positions.end())
        return false;
    for (const std::int16_t index : found->second) {
        // The room may have changed since the list was made: a position it does not have
        // is passed over.
        if (index < 0 || static_cast<std::size_t>(index) >= room.Boundaries.size())
            continue;
        m_values.applyTo(room.Boundaries[static_cast<std::size_t>(index)]);
        ++changed;
    }
    return changed > 0;
}

TemperatureChange::Box TemperatureChange::box(std::string_view text, bool projectEntry) {
    Box box;
    if (text.empty())
        return box;
    box.given = true;
    if (projectEntry && text == GetText("IDS_TOUT")) {
        box.fromProject = true;
        return box;
    }
    box.value = static_cast<float>(ParseNumber(text, NumberRule::Any));
    return box;
}

TemperatureChange TemperatureChange::read(std::string_view outside, std::string_view inside,
                                          std::string_view air) {
    TemperatureChange change;
    change.m_outside = box(outside, true);
    change.m_inside = box(inside, false);
    change.m_air = box(air, true);
    return change;
}

void TemperatureChange::apply(Room& room) const {
    if (m_outside.given) {
        room.OutSideTempFromProject = m_outside.fromProject ? 1 : 0;
        if (!m_outside.fromProject)
            room.HeatingOutSideTemp = m_outside.value;
    }
    if (m_inside.given)
        room.HeatingInSideTemp = m_inside.value;
    if (m_air.given) {
        room.AirTempFromProject = m_air.fromProject ? 1 : 0;
        if (!m_air.fromProject)
            room.AirTemp = m_air.value;
    }
}

bool BuildingMove::operator()(const Reference&, Room& room, std::size_t&) const {
    room.BuildingRef = m_id;
    return true;
}

OrientationChange OrientationChange::rotation(std::string_view angle) {
    return OrientationChange(false, degreesOf(angle));
}

OrientationChange OrientationChange::mirror(std::string_view axis) {
    return OrientationChange(true, degreesOf(axis));
}

std::int16_t OrientationChange::turn(std::int16_t compass) const {
    const int a = normalized(compass);
    const int turned = m_mirror ? 2 * m_degrees - a : a + m_degrees;
    return static_cast<std::int16_t>(normalized(turned));
}

bool OrientationChange::operator()(const Reference&, Room& room, std::size_t& changed) const {
    for (Boundary& boundary : room.Boundaries) {
        if (!isOutside(boundary.Type))
            continue;
        boundary.Compass = turn(boundary.Compass);
        ++changed;
    }
    return true;
}

} // namespace kalydor
