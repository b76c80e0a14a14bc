#include "rooms/buildingeditor.h"

#include "base/collation.h"
#include "base/error.h"
#include "base/memorystream.h"
#include "base/textlookup.h"
#include "rooms/projectrecalculation.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"
#include "store/sqlitedatabase.h"

#include <cmath>

namespace kalydor {
namespace {

// The site values whose change asks whether the rooms follow.
bool sameSite(const Building& a, const Building& b) {
    return a.Pollution == b.Pollution && a.WallMassMode == b.WallMassMode &&
           a.SummerValue == b.SummerValue && a.SettlementName == b.SettlementName &&
           a.BuildingCategory == b.BuildingCategory && a.SeaLevel == b.SeaLevel;
}

} // namespace

BuildingEditor::BuildingEditor(Building building, ItemStore& project, RoomSettings settings)
    : m_building(std::move(building))
    , m_opened(m_building)
    , m_project(project)
    , m_settings(std::move(settings))
    , m_table(BuildingsTable::load(project))
    , m_settlements(settlementList()) {
    m_parentNames.emplace_back();
    m_parentIds.emplace_back();
    for (const BuildingsTableItem& row : m_table.rows()) {
        if (row.ID == m_building.ID)
            continue;
        m_parentNames.push_back(row.Name);
        m_parentIds.push_back(row.ID);
    }
}

std::vector<std::string> BuildingEditor::pollutionClasses() {
    return numberedTexts("IDS_ROMANIANPOLLUTIONTYPES+", 100);
}

std::vector<std::string> BuildingEditor::wallMassClasses() {
    return numberedTexts("IDS_WALLMASSTYPES+", 2);
}

std::vector<std::string> BuildingEditor::categories() {
    return numberedTexts("IDS_BUILDINGCATEGORY+", 100);
}

int BuildingEditor::parentIndex() const {
    for (std::size_t i = 0; i < m_parentIds.size(); ++i)
        if (m_parentIds[i] == m_building.ParentID)
            return static_cast<int>(i);
    return 0;
}

void BuildingEditor::setPollution(int index) {
    m_building.Pollution = static_cast<std::int16_t>(index);
}

void BuildingEditor::setWallMass(int index) {
    m_building.WallMassMode = static_cast<std::int16_t>(index);
}

void BuildingEditor::setCategory(int index) {
    m_building.BuildingCategory = static_cast<std::int16_t>(index);
    m_building.SetClimate(m_settlements);
}

void BuildingEditor::setSettlement(const std::string& typed) {
    m_building.SettlementName = typed;
    m_building.SetClimate(m_settlements);
}

std::optional<std::string> BuildingEditor::completeSettlement(const std::string& typed) const {
    if (typed.empty())
        return std::nullopt;
    for (const SettlementEntry& entry : m_settlements)
        for (const std::string& name : entry.names)
            if (nameStartsWith(name, typed))
                return name;
    return std::nullopt;
}

std::optional<std::string> BuildingEditor::matchSettlement(const std::string& typed) const {
    if (typed.empty())
        return std::nullopt;
    for (const SettlementEntry& entry : m_settlements)
        for (const std::string& name : entry.names)
            if (nameStartsWith(name, typed) && nameStartsWith(typed, name))
                return name;
    return std::nullopt;
}

std::optional<std::string> BuildingEditor::setParent(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_parentIds.size())
        return std::nullopt;
    const std::string& parent = m_parentIds[static_cast<std::size_t>(index)];
    if (m_table.wouldLoop(m_building.ID, parent))
        return Error("IDS_ROUNDINBUILDINGSREF").text();
    m_building.ParentID = parent;
    return std::nullopt;
}

FieldRule BuildingEditor::rule(BuildingField field) {
    if (field == BuildingField::Compass) {
        FieldRule rule = FieldRule::wholeBetween(-32768, 32767);
        rule.whole = FieldRule::Whole::FractionDropped;
        return rule;
    }
    return FieldRule::of(NumberRule::Any);
}

double BuildingEditor::value(BuildingField field) const {
    return field == BuildingField::Compass ? m_building.Compass : m_building.SeaLevel;
}

NumberField::Outcome BuildingEditor::type(BuildingField field, std::string_view text) {
    NumberField number("", rule(field));
    number.show(value(field));
    NumberField::Outcome outcome = number.leave(text);
    if (outcome.kind == NumberField::Outcome::Kind::Taken) {
        if (field == BuildingField::Compass) {
            m_building.Compass = static_cast<std::int16_t>(std::trunc(number.value()));
        } else {
            m_building.SeaLevel = static_cast<float>(number.value());
            m_building.SetClimate(m_settlements);
        }
    }
    return outcome;
}

bool BuildingEditor::asksAboutRooms() const {
    if (sameSite(m_building, m_opened) || m_building.ID.empty())
        return false;
    Building probe = m_opened;
    return !CollectRooms(m_project, probe, false).own.empty();
}

bool BuildingEditor::confirm(RoomsAnswer answer) {
    if (asksAboutRooms()) {
        switch (answer) {
        case RoomsAnswer::Cancel:
            return false;
        case RoomsAnswer::Yes:
            RecalculateRooms(m_project, m_building, m_settings);
            break;
        case RoomsAnswer::No:
            m_building.Pollution = m_opened.Pollution;
            m_building.WallMassMode = m_opened.WallMassMode;
            m_building.SummerValue = m_opened.SummerValue;
            m_building.SettlementName = m_opened.SettlementName;
            m_building.BuildingCategory = m_opened.BuildingCategory;
            m_building.SeaLevel = m_opened.SeaLevel;
            // The climate derives from those: it goes back with them.
            m_building.SettlementTemp = m_opened.SettlementTemp;
            m_building.SettlementSwing = m_opened.SettlementSwing;
            break;
        }
    }
    (void)CollectRooms(m_project, m_building, true);
    return true;
}

void RecalculateRooms(ItemStore& project, const Building& building, const RoomSettings& settings) {
    Building probe = building;
    const CollectedRooms rooms = CollectRooms(project, probe, false);
    // One change: a program stopped half-way leaves every room as it was.
    SqliteTransaction transaction(project.database());
    for (const Reference& record : rooms.own) {
        if (!project.FindRecord(record.Type, record.RefID, record.Name))
            continue;
        Room room;
        room.Name = record.Name;
        try {
            MemoryStream in(project.currentData());
            const std::int16_t version = readInt16(in);
            if (!room.ReadRecord(in, version))
                continue;
            // The rooms take the site values; each keeps its own copy of the orientation.
            BuildingData data = building.data();
            data.Compass = room.Building.Compass;
            room.LinkToBuilding(room.BuildingRef, data);
            (void)room.Calculate(settings);
        } catch (const Error&) {
            continue; // unreadable, or a radiator whose family is gone: left as stored
        }
        project.setCurrentData(room.recordBytes());
    }
    transaction.commit();
}

} // namespace kalydor
