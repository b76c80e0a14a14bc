#pragma once

#include "devicedb/radiatorsizing.h"
#include "heating/radiator.h"
#include "store/reference.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class ItemStore;
class RadiatorFamilySource;
class Room;

/// One rule of the radiator change: radiators of a family and main type take another.
struct ChangeRule {
    std::uint8_t RuleKind = 1;
    std::string OldFamily;
    std::string OldMainType;
    std::string NewFamily;
    std::string NewMainType;
    bool matches(const std::string& family, const std::string& mainType) const;
    bool operator==(const ChangeRule&) const = default;
};

/// The rules file (".krr"): the header line "Kalydor_Change_Rules", then one rule a line,
/// `RuleKind#OldFamily#OldMainType#NewFamily#NewMainType`, lines ended by CR LF.
namespace changerules {
inline constexpr std::string_view kHeader = "Kalydor_Change_Rules";
/// The most a rules file may hold.
inline constexpr std::size_t kMaxFileSize = 16u * 1024 * 1024;

/// The rules of a file's text (UTF-8, or Windows-1250 when it is no UTF-8; LF and empty lines
/// accepted). A text without the header, a line without its four "#" or a kind beyond 0–255
/// raises "IDS_RULESFILEERROR" naming the line.
std::vector<ChangeRule> parse(std::string_view text);
/// The file's text of rules; rules with an empty new family are left out. A name holding
/// "#" or a line break would read back as another rule: "IDS_RULESFILEERROR".
std::string write(const std::vector<ChangeRule>& rules);
/// The rules of `existing` with each of `rules` replacing the one of the same kind and old
/// pair, or appended.
std::vector<ChangeRule> merge(std::vector<ChangeRule> existing,
                              const std::vector<ChangeRule>& rules);
/// A rules file read ("IDS_FILEREADERROR" when it cannot be; larger than kMaxFileSize is
/// refused).
std::vector<ChangeRule> load(const std::string& fileName);
/// Saves the rules into a file, merged with the rules it holds when it is a rules file (a
/// malformed one is refused, not overwritten); written whole or not at all.
void save(const std::string& fileName, const std::vector<ChangeRule>& rules);
} // namespace changerules

/// What the radiator change does: new water temperatures (each optional; keeping the
/// difference needs exactly one), the rules, and whether a new size is chosen.
struct RadiatorChangeSettings {
    std::optional<float> forward;
    std::optional<float> backward;
    bool fixTemperatureDiff = false;
    bool calculateNewSize = false;
    std::vector<ChangeRule> rules;
    SizeChoiceOptions choice;

    /// Reads the temperature boxes (empty: unchanged; "IDS_WRONGVALUE" for a bad one);
    /// "IDS_FIXDTERROR" when the difference is to be kept without exactly one of them.
    static RadiatorChangeSettings read(std::string_view forward, std::string_view backward,
                                       bool fixTemperatureDiff, bool calculateNewSize);

    /// Whether a radiator is changed: every one without rules, else one a rule matches.
    bool qualifies(const Radiator& radiator, RadiatorFamilySource& families) const;
};

/// Changes one radiator of a room heated to `ti`: the temperatures, the first matching rule's
/// family and main type, a new size when a rule matched or one is asked for, then its output.
/// A family or temperatures the sizing refuses raise, the radiator as it was.
void ApplyChange(Radiator& radiator, const RadiatorChangeSettings& settings, double ti,
                 RadiatorFamilySource& families);

/// One radiator the change would touch, with what it would become.
struct RadiatorCandidate {
    Reference room;
    std::size_t index = 0; ///< position in the room's radiators
    Radiator before;
    Radiator after;
};

/// The radiators of the chosen rooms the change touches, each changed on a copy so that an
/// error shows before anything is written (its message names the room and the radiator's
/// `Mark`). Rooms gone or unreadable are passed over.
std::vector<RadiatorCandidate> FindRadiatorCandidates(ItemStore& store,
                                                      const std::vector<Reference>& rooms,
                                                      const RadiatorChangeSettings& settings,
                                                      RadiatorFamilySource& families);

/// The change of the confirmed candidates, as the bulk runner applies it to each room.
class RadiatorChange {
public:
    RadiatorChange(std::vector<RadiatorCandidate> chosen, RadiatorChangeSettings settings,
                   RadiatorFamilySource& families);
    std::vector<Reference> rooms() const { return m_rooms; }
    bool operator()(const Reference& record, Room& room, std::size_t& changed) const;

private:
    RadiatorChangeSettings m_settings;
    RadiatorFamilySource* m_families;
    std::vector<Reference> m_rooms;
    /// A radiator as it was when tried (its record) and what it became.
    struct Tried {
        std::size_t index = 0;
        std::string beforeBytes;
        Radiator after;
    };
    /// Per room, the radiators tried.
    std::map<std::pair<std::string, std::string>, std::vector<Tried>> m_positions;
};

} // namespace kalydor
