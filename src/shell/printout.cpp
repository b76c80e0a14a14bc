#include "shell/printout.h"

#include "constructions/material.h"
#include "devicedb/radiatorfamilycache.h"
#include "reports/columnlayout.h"
#include "rooms/building.h"
#include "rooms/buildingstable.h"
#include "rooms/lowestflow.h"
#include "rooms/projectrecalculation.h"
#include "shell/reportsources.h"
#include "store/itemstore.h"

#include <algorithm>

namespace kalydor {
namespace {

// A family source that knows no family: the radiators print their sizes as unknown.
class NoFamilies final : public RadiatorFamilySource {
public:
    const RadiatorFamily* family(const std::string&) override { return nullptr; }
};

// A room as calculated now, in memory; one whose calculation fails (a radiator whose family
// is gone) prints as stored, as a failed calculation leaves the room as it was.
void calculateForPrinting(Room& room, const RoomSettings& settings) {
    try {
        (void)room.Calculate(settings);
    } catch (const Error&) {
    }
}

// The printed table of a kind that goes with a format, in the user's layout.
ColumnLayout tableLayout(const PrintoutRequest& request, int format, const TextLookup& languages) {
    for (const PrintedTable& table : printedTablesOf(request.kind))
        if (table.format == format)
            return loadColumnLayout(table.layout, languages, request.layouts, table.settingsName);
    return {};
}

bool has(const PrintoutRequest& request, int format) {
    return std::find(request.formats.begin(), request.formats.end(), format) !=
           request.formats.end();
}

std::vector<const DBItem*> rowsOf(const auto& items) {
    std::vector<const DBItem*> rows;
    for (const auto& item : items)
        rows.push_back(item.get());
    return rows;
}

void materials(ItemStore& store, const PrintoutRequest& request, const TextLookup& languages,
               Printout& printout) {
    const auto items = loadReportItems<Material>(store, request.records, printout.skipped);
    if (has(request, printformat::kSheets)) {
        for (const auto& material : items) {
            ReportSource sheet = materialSheetSource(*material, languages);
            if (material->hasPrintedChart() && request.materialChart)
                if (std::optional<ReportBlock> chart = request.materialChart(*material))
                    sheet.blocks.push_back(std::move(*chart));
            printout.sources.push_back(std::move(sheet));
        }
    }
    if (has(request, printformat::kTable))
        printout.sources.push_back(listTableSource(
            "table", tableLayout(request, printformat::kTable, languages), rowsOf(items)));
}

void constructions(ItemStore& store, const PrintoutRequest& request, const TextLookup& languages,
                   Printout& printout) {
    const auto items = loadReportItems<Panel>(store, request.records, printout.skipped);
    if (has(request, printformat::kSheets)) {
        const ColumnLayout layers = tableLayout(request, printformat::kLayers, languages);
        for (const auto& panel : items) {
            ReportSource sheet =
                constructionSheetSource(*panel, languages, request.panelSettings,
                                        has(request, printformat::kLayers) ? &layers : nullptr,
                                        has(request, printformat::kMessages));
            // The diagram of the construction as just calculated for its sheet.
            if (request.panelDiagram)
                if (std::optional<ReportBlock> diagram = request.panelDiagram(*panel))
                    sheet.blocks.push_back(std::move(*diagram));
            printout.sources.push_back(std::move(sheet));
        }
    }
    if (has(request, printformat::kTable))
        printout.sources.push_back(listTableSource(
            "table", tableLayout(request, printformat::kTable, languages), rowsOf(items)));
}

void rooms(ItemStore& store, const PrintoutRequest& request, const TextLookup& languages,
           Printout& printout) {
    auto items = loadReportItems<Room>(store, request.records, printout.skipped);
    const BuildingsTable buildings = BuildingsTable::load(store);
    NoFamilies none;
    RadiatorFamilySource& families = request.families ? *request.families : none;
    for (auto& room : items) {
        room->BuildingName = buildings.RowName(room->BuildingRef);
        calculateForPrinting(*room, request.roomSettings);
    }
    if (has(request, printformat::kSheets)) {
        const ColumnLayout boundaries = tableLayout(request, printformat::kBoundaries, languages);
        const ColumnLayout radiators = tableLayout(request, printformat::kRadiators, languages);
        for (const auto& room : items)
            printout.sources.push_back(roomSheetSource(
                *room, languages, request.roomSettings.projectOutsideTemp,
                has(request, printformat::kHeating),
                has(request, printformat::kBoundaries) ? &boundaries : nullptr,
                has(request, printformat::kRadiators) ? &radiators : nullptr, families));
    }
    if (has(request, printformat::kTable))
        printout.sources.push_back(listTableSource(
            "table", tableLayout(request, printformat::kTable, languages), rowsOf(items)));
}

void buildings(ItemStore& store, const PrintoutRequest& request, const TextLookup& languages,
               Printout& printout) {
    auto items = loadReportItems<Building>(store, request.records, printout.skipped);
    if (!has(request, printformat::kSheets))
        return;
    const BuildingsTable table = BuildingsTable::load(store);
    const ColumnLayout roomColumns = tableLayout(request, printformat::kRooms, languages);
    const ColumnLayout energy = tableLayout(request, printformat::kSheets, languages);
    for (auto& building : items) {
        building->ParentName = table.RowName(building->ParentID);
        // Its rooms as calculated now, and the totals of those, in memory.
        CollectedRooms collected = CollectRooms(store, *building, false, true);
        BuildingTotals totals;
        for (Room& room : collected.rooms) {
            calculateForPrinting(room, request.roomSettings);
            totals.add(room);
        }
        totals.applyTo(*building);
        ReportSource sheet = buildingSheetSource(
            *building, collected.rooms, languages, has(request, printformat::kHeating),
            has(request, printformat::kRooms) ? &roomColumns : nullptr, energy);
        // With the heating part, the heat-pump check of its rooms as chosen.
        if (has(request, printformat::kHeating)) {
            NoFamilies none;
            RadiatorFamilySource& families = request.families ? *request.families : none;
            for (ReportBlock& block : lowestFlowBlocks(
                     LowestFlowOfRooms(collected.rooms, request.heatPumpSpread, families),
                     request.heatPumpSpread, languages))
                sheet.blocks.push_back(std::move(block));
        }
        printout.sources.push_back(std::move(sheet));
    }
}

} // namespace

std::vector<int> printFormatsOf(ItemKind kind) {
    using namespace printformat;
    switch (kind) {
    case ItemKind::Material:
        return {kSheets, kTable};
    case ItemKind::Construction:
        return {kSheets, kTable, kLayers, kMessages};
    case ItemKind::Room:
        return {kSheets, kHeating, kTable, kBoundaries, kRadiators};
    case ItemKind::Building:
        return {kSheets, kHeating, kRooms};
    }
    return {};
}

std::vector<PrintedTable> printedTablesOf(ItemKind kind) {
    using namespace printformat;
    switch (kind) {
    case ItemKind::Material:
        return {{"MaterialItemsTitle", "MaterialTableReport", kTable, "IDS_PRINTINGCONTROLS+1"}};
    case ItemKind::Construction:
        return {{"PanelItemsTitle", "PanelTableReport", kTable, "IDS_PRINTINGCONTROLS+1"},
                {"PanelLayersTitle", "LayerTableReport", kLayers, "IDS_PRINTINGCONTROLS+2"}};
    case ItemKind::Room:
        return {
            {"RoomItemsTitle", "RoomTableReport", kTable, "IDS_PRINTINGCONTROLS+1"},
            {"RoomBoundarisTitle", "BoundaryTableReport", kBoundaries, "IDS_PRINTINGCONTROLS+5"},
            {"RadiatorsReportTitle", "RadiatorTableReport", kRadiators, "IDS_PRINTINGCONTROLS+6"}};
    case ItemKind::Building:
        // The energy table is part of every building sheet.
        return {
            {"BuildingRoomsTitle", "BuildingRoomsTableReport", kRooms, "IDS_PRINTINGCONTROLS+7"},
            {"BuildingEnergeticTitle", "BuildingEnergeticTableReport", kSheets,
             "CID_ENERGETICTABLE"}};
    }
    return {};
}

Printout buildPrintout(ItemStore& store, const PrintoutRequest& request,
                       const TextLookup& languages) {
    Printout printout;
    switch (request.kind) {
    case ItemKind::Material:
        materials(store, request, languages, printout);
        break;
    case ItemKind::Construction:
        constructions(store, request, languages, printout);
        break;
    case ItemKind::Room:
        rooms(store, request, languages, printout);
        break;
    case ItemKind::Building:
        buildings(store, request, languages, printout);
        break;
    }
    return printout;
}

} // namespace kalydor
