#pragma once

#include "rooms/boundary.h"
#include "store/reference.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class ItemStore;
class Panel;
class Room;
struct BuildingsTableItem;

/// Which boundaries a construction change looks for: a kind, and optionally a name and a
/// resistance that must equal the stored ones exactly.
struct ConstructionSearch {
    int kind = 0;
    std::optional<std::string> name;
    std::optional<float> k; ///< a typed value rounded to single precision, as stored
    bool matches(const Boundary& boundary) const;
    /// The kinds that can be looked for (not 9 nor 18).
    static const std::vector<int>& kinds();
    /// Filled from a construction: its name, kind and resistance.
    static ConstructionSearch of(const Panel& construction);
};

/// The new values of a construction change, each left as it is when not given.
enum class ConstructionField {
    Name,
    k,
    Massivitate,
    DampFactor,
    Delay,
    InSideAlpha,
    Mass,
    HeatMass,
    GlassRatio,
    InfiltrationFactor,
    ms,
    ns,
    Rbc,
};
inline constexpr int kConstructionFieldCount = static_cast<int>(ConstructionField::Rbc) + 1;

class ConstructionValues {
public:
    /// The fields by the names the command line uses ("Name", "k", "Massivitate", …).
    static const std::vector<std::pair<std::string_view, ConstructionField>>& fields();
    static std::optional<ConstructionField> fieldNamed(std::string_view name);

    /// Reads a box: an empty text leaves the value as it is; a number must keep the field's
    /// rule ("IDS_WRONGVALUE" otherwise).
    void set(ConstructionField field, std::string_view text);
    /// The values a construction gives: what a boundary made from it copies, `k` its
    /// resistance and `Massivitate` its massivity.
    static ConstructionValues of(const Panel& construction);
    bool empty() const;
    /// The text a box shows for a value (empty when not given).
    std::string text(ConstructionField field) const;

    /// Writes the given values into a boundary, each only for the kinds it belongs to: name,
    /// `k` and `Massivitate` for all; the opaque values for kinds 0–8; glass ratio and joint
    /// factor for outside glazing; the floor values for kind 2.
    void applyTo(Boundary& boundary) const;

private:
    std::optional<std::string> m_name;
    std::array<std::optional<float>, kConstructionFieldCount> m_numbers{};
};

/// One boundary a construction change found: its room and position, and what the match list
/// shows of it.
struct BoundaryMatch {
    ReferenceAndIndex where;
    Boundary boundary; ///< as found, for the list's columns
    std::string boundaryName;
    float k = 0;
    float x = 0;
    float y = 0;
    std::string orientation;
};

/// The boundaries of the chosen rooms that match, in room and boundary order. Rooms gone or
/// unreadable are passed over (the change names them).
std::vector<BoundaryMatch> FindMatches(ItemStore& store, const std::vector<Reference>& rooms,
                                       const ConstructionSearch& search);

/// The construction change of the chosen matches, as the bulk runner applies it to a room:
/// the boundaries at the matched positions take the new values. A position the loaded room
/// does not have (it changed since) is passed over.
class ConstructionChange {
public:
    ConstructionChange(std::vector<BoundaryMatch> matches, ConstructionValues values);
    /// The rooms to change, each once, in the order of the matches.
    std::vector<Reference> rooms() const;
    bool operator()(const Reference& record, Room& room, std::size_t& changed) const;

private:
    std::vector<BoundaryMatch> m_matches;
    ConstructionValues m_values;
    /// The matched positions of each room (group identifier, name): each room looks up its
    /// own once, so the change stays linear in the matches.
    std::map<std::pair<std::string, std::string>, std::vector<std::int16_t>> m_positions;
};

/// The temperature change: each box optional; the outside and air boxes take the project's
/// temperature by their first entry ("IDS_TOUT").
class TemperatureChange {
public:
    /// Reads the boxes ("IDS_WRONGVALUE" for a bad number; nothing is changed yet).
    static TemperatureChange read(std::string_view outside, std::string_view inside,
                                  std::string_view air);
    void apply(Room& room) const;
    bool operator()(const Reference&, Room& room, std::size_t&) const {
        apply(room);
        return true;
    }

private:
    struct Box {
        bool given = false;
        bool fromProject = false;
        float value = 0;
    };
    static Box box(std::string_view text, bool projectEntry);
    Box m_outside, m_inside, m_air;
};

/// Moves rooms to another building: only the link changes; the room keeps its copy of the old
/// building's data until it is next linked.
class BuildingMove {
public:
    explicit BuildingMove(std::string buildingId)
        : m_id(std::move(buildingId)) {}
    bool operator()(const Reference&, Room& room, std::size_t&) const;

private:
    std::string m_id;
};

/// Rotates the outside boundaries of rooms by an angle (clockwise positive), or mirrors them
/// about an axis direction.
class OrientationChange {
public:
    /// The angle is read as typed and its fraction dropped ("IDS_WRONGVALUE" when it is no
    /// number); any size is reduced to one turn.
    static OrientationChange rotation(std::string_view angle);
    static OrientationChange mirror(std::string_view axis);
    /// The new orientation of a boundary facing `compass`, within 0–359.
    std::int16_t turn(std::int16_t compass) const;
    bool operator()(const Reference&, Room& room, std::size_t& changed) const;

private:
    OrientationChange(bool mirror, int degrees)
        : m_mirror(mirror)
        , m_degrees(degrees) {}
    bool m_mirror;
    int m_degrees; ///< within 0–359
};

} // namespace kalydor
