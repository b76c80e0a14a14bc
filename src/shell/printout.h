#pragma once

#include "constructions/panel.h"
#include "reports/reportlayout.h"
#include "rooms/room.h"
#include "store/itemkinds.h"
#include "store/reference.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kalydor {

class ItemStore;
class Material;
class RadiatorFamilySource;
class TextLookup;
namespace platform {
class SettingsStore;
}

/// The printing formats of the categories ("IDS_PRINTINGCONTROLS+" n).
namespace printformat {
inline constexpr int kSheets = 0;
inline constexpr int kTable = 1;
inline constexpr int kLayers = 2;   ///< inside each construction sheet
inline constexpr int kMessages = 3; ///< inside each construction sheet
inline constexpr int kHeating = 4;  ///< the heating part of room and building sheets
inline constexpr int kBoundaries = 5;
inline constexpr int kRadiators = 6;
inline constexpr int kRooms = 7; ///< the rooms table of building sheets
} // namespace printformat

/// The formats the printing dialog offers for a kind of item, in the order shown.
std::vector<int> printFormatsOf(ItemKind kind);

/// A table a printout of a kind may hold: its built-in layout, the name the user's own layout
/// of it is stored under, the format that prints it and the language key of its name.
struct PrintedTable {
    const char* layout;
    const char* settingsName;
    int format;
    const char* captionKey;
};
/// The printed tables of a kind, in the order of their formats.
std::vector<PrintedTable> printedTablesOf(ItemKind kind);

/// What one printout of items holds: the kind, the records, the chosen formats, and what the
/// sheets are calculated with.
struct PrintoutRequest {
    ItemKind kind = ItemKind::Material;
    std::vector<Reference> records;
    std::vector<int> formats;
    /// The user's printed table layouts ("MaterialTableReport" …); none: the built-in ones.
    const platform::SettingsStore* layouts = nullptr;
    PanelSettings panelSettings;
    RoomSettings roomSettings;
    RadiatorFamilySource* families = nullptr; ///< the radiators' families; none: unknown
    /// Kelvin between flow and return of the heat-pump check on building sheets.
    double heatPumpSpread = 5;
    /// The chart of a material's sheet, drawn by the windows' code; none prints no chart.
    std::function<std::optional<ReportBlock>(const Material&)> materialChart;
    /// The diagram of a calculated construction's sheet, drawn by the windows' code.
    std::function<std::optional<ReportBlock>(const Panel&)> panelDiagram;
};

/// The report sources of a printout, and the items that could not be read.
struct Printout {
    std::vector<ReportSource> sources;
    std::vector<std::string> skipped;
};

/// Loads the records and makes their sheets (each item's after the one before) and the list
/// table, as the formats ask. Rooms are calculated afresh and buildings totalled in memory:
/// printing changes no record. Texts come in the language of `languages`.
Printout buildPrintout(ItemStore& store, const PrintoutRequest& request,
                       const TextLookup& languages);

} // namespace kalydor
