#pragma once

#include "base/error.h"
#include "reports/reportlayout.h"
#include "store/itemstore.h"
#include "store/reference.h"

#include <memory>
#include <optional>

#include <string>
#include <vector>

namespace kalydor {

class Building;
class ColumnLayout;
class DBItem;
class Material;
class Panel;
struct PanelSettings;
struct ProjectData;
class ProgramOptions;
class RadiatorFamilySource;
class Room;
class TextLookup;
class UsedMaterials;
struct LowestFlowResult;

/// The first page number of a printout as typed: a whole number from 1 to 99999, or none.
std::optional<int> firstPageNumber(const std::string& text);

/// The choices of the printing dialog as typed; kept for the program's run.
struct PrintForm {
    std::string title;
    bool numberPages = true;
    std::string firstPage = "1";
    bool fileName = true;
    bool date = true;
    bool projectData = true; ///< the project description on the first page (project items)
    std::string onlyPages;   ///< printed numbers and ranges; empty: every page
    /// The chosen formats of the category ("IDS_PRINTINGCONTROLS+" n), by n.
    std::vector<int> formats;

    /// The choices of one printout: "IDS_WRONGVALUE" for a first page number that is not a
    /// whole number from 1 to 99999. The file name and date are given when chosen.
    PrintChoices choices(const std::string& projectFile, const std::string& date,
                         const std::string& signature) const;
    bool hasFormat(int n) const;
};

/// The page settings of the program options, for printing: margins, the switches, the firm
/// header and the report font. The logo's picture is not read here (its size needs a picture
/// reader): the caller loads it.
PrintOptions printOptionsOf(const ProgramOptions& options);

/// The shown columns of a layout as printed table columns, in display order: the caption
/// lines, the widths and the data alignment.
std::vector<ReportColumn> reportColumns(const ColumnLayout& layout);

/// A list table as a report source: one row per item with the texts the item gives for the
/// layout's shown columns.
ReportSource listTableSource(std::string name, const ColumnLayout& layout,
                             const std::vector<const DBItem*>& items);

/// A material's printed sheet as a report source (its chart, drawn by the windows' code, is
/// added by the caller).
ReportSource materialSheetSource(const Material& material, const TextLookup& languages);

/// A construction's printed sheet, calculated with `settings`: its properties, its layer table
/// through `layers` (when given, for a layered one) and its moisture messages (when asked
/// for).
ReportSource constructionSheetSource(Panel& panel, const TextLookup& languages,
                                     const PanelSettings& settings, const ColumnLayout* layers,
                                     bool messages);

/// A room's printed sheet, the room as calculated by the caller: its result lines (the
/// heating part when asked for; outside temperatures from the project's
/// `projectOutsideTemp`), then its boundaries through `boundaries` and its radiators through
/// `radiators` when those are given.
ReportSource roomSheetSource(const Room& room, const TextLookup& languages,
                             double projectOutsideTemp, bool heatingPart,
                             const ColumnLayout* boundaries, const ColumnLayout* radiators,
                             RadiatorFamilySource& families);

/// A building's printed sheet: its result lines (the heating part when asked for), the table
/// of its rooms through `roomColumns` when given (own rooms first), and its energy table
/// through `energy`, whose headings print though it has no rows.
ReportSource buildingSheetSource(const Building& building, const std::vector<Room>& rooms,
                                 const TextLookup& languages, bool heatingPart,
                                 const ColumnLayout* roomColumns, const ColumnLayout& energy);

/// The heat-pump check of a building as blocks of its sheet: a heading, the lowest flow
/// temperature with the return `spread` kelvin lower and the rooms that limit it, then a
/// table of the rooms with the flow each needs and its weakest radiator (or why it is left
/// out).
std::vector<ReportBlock> lowestFlowBlocks(const LowestFlowResult& result, double spread,
                                          const TextLookup& languages);

/// The chosen lines of the bill of materials as a printed table: name, estimate code and
/// quantity in the layout's columns.
ReportSource billTableSource(const UsedMaterials& bill, const std::vector<std::size_t>& chosen,
                             const ColumnLayout& layout);

/// The items of records loaded for printing, in the order given; a record that cannot be read
/// is left out and its name added to `skipped`. Printing changes no record.
template <class Item>
std::vector<std::unique_ptr<Item>> loadReportItems(ItemStore& store,
                                                   const std::vector<Reference>& records,
                                                   std::vector<std::string>& skipped) {
    std::vector<std::unique_ptr<Item>> items;
    for (const Reference& record : records) {
        auto item = std::make_unique<Item>();
        item->Name = record.Name;
        item->ID = record.ID;
        item->GroupID = record.RefID;
        bool loaded = false;
        try {
            loaded =
                store.FindRecord(record.Type, record.RefID, record.Name) && store.LoadItem(*item);
        } catch (const Error&) {
            loaded = false;
        }
        if (loaded)
            items.push_back(std::move(item));
        else
            skipped.push_back(record.Name);
    }
    return items;
}

/// The project description as the first page prints it: the building, customer and planner
/// lines with their labels, and the date when there is one (string-table entries 1280-1284).
/// Empty when the description is.
std::string projectDataRtf(const ProjectData& data, const TextLookup& languages);

/// Today's date as the printouts show it (day.month.year).
std::string printedDate();

} // namespace kalydor
