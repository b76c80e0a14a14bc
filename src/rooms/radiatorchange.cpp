#include "rooms/radiatorchange.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "base/parsenumber.h"
#include "base/safefilewriter.h"
#include "base/textencoding.h"
#include "base/textlookup.h"
#include "devicedb/deviceitem.h"
#include "devicedb/radiatorfamilycache.h"
#include "rooms/room.h"
#include "rooms/roombulkchange.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace kalydor {
namespace {

Error rulesError(std::size_t line, const std::string& why) {
    return Error("IDS_RULESFILEERROR", {static_cast<std::int64_t>(line), why},
                 "The rules file is not usable (line %d): %s");
}

// The name of the main type a radiator's size belongs to; empty when the family or the size
// is unknown.
std::string mainTypeName(const Radiator& radiator, RadiatorFamilySource& families) {
    const RadiatorFamily* family = families.family(radiator.Family);
    if (family == nullptr)
        return {};
    const int mainType = radiator.MainTypeIndex(families);
    if (mainType < 0 || static_cast<std::size_t>(mainType) >= family->MainTypes.size())
        return {};
    return family->MainTypes[static_cast<std::size_t>(mainType)].MainTypeName;
}

const ChangeRule* firstMatch(const std::vector<ChangeRule>& rules, const std::string& family,
                             const std::string& mainType) {
    for (const ChangeRule& rule : rules)
        if (rule.matches(family, mainType))
            return &rule;
    return nullptr;
}

std::string radiatorBytes(const Radiator& radiator) {
    MemoryStream stream;
    radiator.WriteRecord(stream);
    return stream.takeBytes();
}

} // namespace

bool ChangeRule::matches(const std::string& family, const std::string& mainType) const {
    return RuleKind == 1 && OldFamily == family && OldMainType == mainType;
}

namespace changerules {

std::vector<ChangeRule> parse(std::string_view raw) {
    const std::string text = textFromStoredBytes(raw);
    std::vector<ChangeRule> rules;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    bool header = false;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!header) {
            if (line != kHeader)
                throw rulesError(lineNumber,
                                 "it does not begin with \"" + std::string(kHeader) + "\"");
            header = true;
            continue;
        }
        if (line.empty())
            continue;
        // Split at each "#" in turn: what follows the fourth is the new main type.
        std::vector<std::string> parts;
        std::size_t from = 0;
        for (int i = 0; i < 4; ++i) {
            const std::size_t hash = line.find('#', from);
            if (hash == std::string::npos)
                throw rulesError(lineNumber, "a rule has five parts separated by \"#\"");
            parts.push_back(line.substr(from, hash - from));
            from = hash + 1;
        }
        parts.push_back(line.substr(from));
        int kind = -1;
        const auto [ptr, error] =
            std::from_chars(parts[0].data(), parts[0].data() + parts[0].size(), kind);
        if (error != std::errc() || ptr != parts[0].data() + parts[0].size() || kind < 0 ||
            kind > 255)
            throw rulesError(lineNumber, "the kind of a rule is a whole number from 0 to 255");
        rules.push_back({static_cast<std::uint8_t>(kind), parts[1], parts[2], parts[3], parts[4]});
    }
    if (!header)
        throw rulesError(1, "the file is empty");
    return rules;
}

std::string write(const std::vector<ChangeRule>& rules) {
    std::string text(kHeader);
    text += "\r\n";
    std::size_t line = 1;
    for (const ChangeRule& rule : rules) {
        if (rule.NewFamily.empty())
            continue;
        ++line;
        for (const std::string* name :
             {&rule.OldFamily, &rule.OldMainType, &rule.NewFamily, &rule.NewMainType})
            if (name->find_first_of("#\r\n") != std::string::npos)
                throw rulesError(line, "the name \"" + quotedExcerpt(*name) +
                                           "\" holds a \"#\" or a line break");
        text += std::to_string(rule.RuleKind) + "#" + rule.OldFamily + "#" + rule.OldMainType +
                "#" + rule.NewFamily + "#" + rule.NewMainType + "\r\n";
    }
    return text;
}

std::vector<ChangeRule> merge(std::vector<ChangeRule> existing,
                              const std::vector<ChangeRule>& rules) {
    for (const ChangeRule& rule : rules) {
        bool replaced = false;
        for (ChangeRule& old : existing) {
            if (old.RuleKind == rule.RuleKind && old.OldFamily == rule.OldFamily &&
                old.OldMainType == rule.OldMainType) {
                old = rule;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            existing.push_back(rule);
    }
    return existing;
}

std::vector<ChangeRule> load(const std::string& fileName) {
    std::error_code ignored;
    const auto size = std::filesystem::file_size(fileName, ignored);
    std::ifstream in(fileName, std::ios::binary);
    if (!in || ignored)
        throw Error("IDS_FILEREADERROR", {fileName, std::string("it cannot be opened")},
                    "The file %s cannot be read: %s");
    if (size > kMaxFileSize)
        throw Error("IDS_FILEREADERROR", {fileName, std::string("it is larger than 16 MiB")},
                    "The file %s cannot be read: %s");
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parse(bytes);
}

void save(const std::string& fileName, const std::vector<ChangeRule>& rules) {
    std::vector<ChangeRule> merged = rules;
    std::error_code missing;
    if (std::filesystem::exists(fileName, missing)) {
        std::ifstream in(fileName, std::ios::binary);
        std::string head(kHeader.size(), '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        // A rules file keeps its rules (a damaged one is refused, not overwritten); any other
        // file is replaced.
        if (in && head == kHeader)
            merged = merge(load(fileName), rules);
    }
    const std::string text = write(merged);
    SafeFileWriter file(fileName);
    file.write(text);
    file.commit();
}

} // namespace changerules

RadiatorChangeSettings RadiatorChangeSettings::read(std::string_view forward,
                                                    std::string_view backward,
                                                    bool fixTemperatureDiff,
                                                    bool calculateNewSize) {
    RadiatorChangeSettings settings;
    if (!forward.empty())
        settings.forward = static_cast<float>(ParseNumber(forward, NumberRule::Any));
    if (!backward.empty())
        settings.backward = static_cast<float>(ParseNumber(backward, NumberRule::Any));
    if (fixTemperatureDiff && settings.forward.has_value() == settings.backward.has_value())
        throw Error("IDS_FIXDTERROR");
    settings.fixTemperatureDiff = fixTemperatureDiff;
    settings.calculateNewSize = calculateNewSize;
    return settings;
}

bool RadiatorChangeSettings::qualifies(const Radiator& radiator,
                                       RadiatorFamilySource& families) const {
    return rules.empty() ||
           firstMatch(rules, radiator.Family, mainTypeName(radiator, families)) != nullptr;
}

void ApplyChange(Radiator& radiator, const RadiatorChangeSettings& settings, double ti,
                 RadiatorFamilySource& families) {
    Radiator r = radiator; // the radiator changes whole or not at all
    const float difference = r.ForwardTemperature() - r.BackwardTemperature();
    if (settings.forward) {
        r.setForwardTemperature(*settings.forward);
        if (settings.fixTemperatureDiff)
            r.setBackwardTemperature(*settings.forward - difference);
    }
    if (settings.backward) {
        r.setBackwardTemperature(*settings.backward);
        if (settings.fixTemperatureDiff)
            r.setForwardTemperature(*settings.backward + difference);
    }
    std::string mainType = mainTypeName(r, families);
    const ChangeRule* rule = firstMatch(settings.rules, r.Family, mainType);
    if (rule != nullptr) {
        r.Family = rule->NewFamily;
        mainType = rule->NewMainType;
    }
    if (rule != nullptr || settings.calculateNewSize) {
        const RadiatorFamily* family = families.family(r.Family);
        const int main = family != nullptr ? family->MainTypeByName(mainType) : -1;
        if (family != nullptr && main >= 0) {
            const double ratio =
                ThermalRatio(*family, r.ForwardTemperature(), r.BackwardTemperature(), ti);
            const int size =
                ChooseSize(*family, main, ratio, r.Power(), r.InstallationFactor, settings.choice);
            if (size >= 0)
                r.TypeCode = family->Sizes[static_cast<std::size_t>(size)].Name;
        }
    }
    const RadiatorFamily* family = families.family(r.Family);
    if (family != nullptr && family->FindSize(r.TypeCode).found())
        r.Recalculate(*family, ti);
    radiator = std::move(r);
}

std::vector<RadiatorCandidate> FindRadiatorCandidates(ItemStore& store,
                                                      const std::vector<Reference>& rooms,
                                                      const RadiatorChangeSettings& settings,
                                                      RadiatorFamilySource& families) {
    std::vector<RadiatorCandidate> candidates;
    VisitChosenRooms(store, rooms, [&](const Reference& record, const Room& room) {
        for (std::size_t i = 0; i < room.Radiators.size(); ++i) {
            const Radiator& radiator = room.Radiators[i];
            if (!settings.qualifies(radiator, families))
                continue;
            RadiatorCandidate candidate{record, i, radiator, radiator};
            try {
                ApplyChange(candidate.after, settings, room.HeatingInSideTemp, families);
            } catch (const Error& error) {
                // The change ends here, before anything is written; the message says where.
                throw Error("IDS_RADIATORCHANGEERROR", {record.Name, radiator.Mark, error.text()},
                            "Room %s, radiator %s: %s");
            }
            candidates.push_back(std::move(candidate));
        }
    });
    return candidates;
}

RadiatorChange::RadiatorChange(std::vector<RadiatorCandidate> chosen,
                               RadiatorChangeSettings settings, RadiatorFamilySource& families)
    : m_settings(std::move(settings))
    , m_families(&families) {
    std::set<std::pair<std::string, std::string>> seen;
    for (RadiatorCandidate& candidate : chosen) {
        const std::pair<std::string, std::string> key{candidate.room.RefID, candidate.room.Name};
        if (seen.insert(key).second)
            m_rooms.push_back(candidate.room);
        m_positions[key].push_back(
            {candidate.index, radiatorBytes(candidate.before), std::move(candidate.after)});
    }
}

bool RadiatorChange::operator()(const Reference& record, Room& room, std::size_t& changed) const {
    const auto found = m_positions.find({record.RefID, record.Name});
    if (found == m_positions.end())
        return false;
    for (const Tried& tried : found->second) {
        const std::size_t index = tried.index;
        // The room may have changed since the list was made.
        if (index >= room.Radiators.size())
            continue;
        Radiator& radiator = room.Radiators[index];
        // A radiator as it was when tried becomes what it became then; one changed since is
        // changed afresh.
        if (radiatorBytes(radiator) == tried.beforeBytes)
            radiator = tried.after;
        else
            ApplyChange(radiator, m_settings, room.HeatingInSideTemp, *m_families);
        ++changed;
    }
    return changed > 0;
}

} // namespace kalydor
