#include "shell/reportsources.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "base/numberformat.h"
#include "base/textlookup.h"
#include "constructions/material.h"
#include "constructions/panel.h"
#include "constructions/usedmaterials.h"
#include "reports/columnlayout.h"
#include "reports/textdocument.h"
#include "rooms/building.h"
#include "rooms/lowestflow.h"
#include "rooms/room.h"
#include "shell/programoptions.h"
#include "store/dbitem.h"
#include "store/projectdata.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace kalydor {
namespace {

int clampedInt(std::int64_t value, int lowest, int highest) {
    return static_cast<int>(std::clamp<std::int64_t>(value, lowest, highest));
}

// The caption above a table of a sheet, in the language's text of the key.
ReportBlock tableCaption(const TextLookup& languages, const std::string& key) {
    return ReportBlock::richText("{\\pard\\plain\\sb180\\sa60\\b\\f5\\fs20 " +
                                 rtfText(languages.getText(key)) + "\\par}");
}

// A table block of rows the caller fills, one per entry, in the layout's shown columns.
template <class Entry, class Text>
ReportBlock tableOf(const ColumnLayout& layout, const std::vector<Entry>& entries, Text text) {
    const std::vector<int> ids = layout.visibleColumnIds();
    std::vector<std::vector<std::string>> rows;
    for (const Entry& entry : entries) {
        std::vector<std::string> row;
        for (const int id : ids)
            row.push_back(text(entry, id));
        rows.push_back(std::move(row));
    }
    return ReportBlock::table(reportColumns(layout), std::move(rows));
}

} // namespace

PrintOptions printOptionsOf(const ProgramOptions& options) {
    PrintOptions print;
    // Margins are typed as whole millimetres; beyond a metre they are no margins of a page.
    print.leftMargin = clampedInt(options.LeftMargin, 0, 1000);
    print.topMargin = clampedInt(options.TopMargin, 0, 1000);
    print.rightMargin = clampedInt(options.RightMargin, 0, 1000);
    print.bottomMargin = clampedInt(options.BottomMargin, 0, 1000);
    print.forceNewPage = options.ForceNewPage;
    print.colorPrinting = options.ColorPrinting;
    print.programSign = options.ProgramSign;
    print.firmHeaderText = options.FirmaHeaderText;
    print.firmHeaderPageMode = options.FirmaHeaderPageMode;
    print.firmHeaderFontSize = options.FirmaHeaderFontSize;
    print.firmHeaderLogoMode = options.FirmaHeaderLogoMode;
    print.firmHeaderLogoResolution = options.FirmaHeaderLogoResolution;
    const ListFontAttributes font =
        ListFontAttributes::create(options.store(), ListFontAttributes::Report);
    print.font.name = font.name;
    print.font.pointSize = clampedInt(font.size, 0, 200);
    return print;
}

std::vector<ReportColumn> reportColumns(const ColumnLayout& layout) {
    std::vector<ReportColumn> columns;
    for (int position = 0; position < layout.ColumnCount(); ++position) {
        const ColumnFormat& format = layout.ColumnAt(position);
        if (!format.Visible)
            continue;
        ReportColumn column;
        for (int line = 0; line < layout.TitleLineCount; ++line)
            column.captions.push_back(format.Caption(line));
        column.width = std::max<int>(1, format.Width);
        column.alignRight = format.DataAlignment == ColumnAlignment::Right;
        column.alignCenter = format.DataAlignment == ColumnAlignment::Center;
        columns.push_back(std::move(column));
    }
    return columns;
}

ReportSource listTableSource(std::string name, const ColumnLayout& layout,
                             const std::vector<const DBItem*>& items) {
    std::vector<std::vector<std::string>> rows;
    const std::vector<int> ids = layout.visibleColumnIds();
    for (const DBItem* item : items) {
        std::vector<std::string> row;
        for (const int id : ids)
            row.push_back(item->ColumnText(id, layout));
        rows.push_back(std::move(row));
    }
    ReportSource source;
    source.name = std::move(name);
    source.blocks.push_back(ReportBlock::table(reportColumns(layout), std::move(rows)));
    return source;
}

std::optional<int> firstPageNumber(const std::string& text) {
    std::size_t used = 0;
    int number = 0;
    try {
        number = std::stoi(text, &used);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (used != text.size() || number < 1 || number > 99999)
        return std::nullopt;
    return number;
}

PrintChoices PrintForm::choices(const std::string& projectFile, const std::string& today,
                                const std::string& signature) const {
    PrintChoices choices;
    choices.title = title;
    choices.numberPages = numberPages;
    const std::optional<int> first = firstPageNumber(firstPage);
    if (!first)
        throw Error("IDS_WRONGVALUE");
    choices.firstPageNumber = *first;
    if (fileName)
        choices.fileName = projectFile;
    if (date)
        choices.date = today;
    choices.signature = signature;
    return choices;
}

bool PrintForm::hasFormat(int n) const {
    return std::find(formats.begin(), formats.end(), n) != formats.end();
}

ReportSource materialSheetSource(const Material& material, const TextLookup& languages) {
    ReportSource sheet;
    sheet.name = material.Name;
    sheet.blocks.push_back(
        ReportBlock::richText(material.printedSheet(languages, decimalSeparatorOf(languages))));
    return sheet;
}

ReportSource constructionSheetSource(Panel& panel, const TextLookup& languages,
                                     const PanelSettings& settings, const ColumnLayout* layers,
                                     bool messages) {
    ReportSource sheet;
    sheet.name = panel.Name;
    sheet.blocks.push_back(ReportBlock::richText(panel.printedSheet(languages, settings)));
    if (layers != nullptr && !panel.isKnown() && !panel.Layers.empty()) {
        std::vector<const DBItem*> rows;
        for (const Layer& layer : panel.Layers)
            rows.push_back(&layer);
        sheet.blocks.push_back(listTableSource({}, *layers, rows).blocks.front());
    }
    if (messages) {
        std::string text = panel.printedMessages(languages, settings);
        if (!text.empty())
            sheet.blocks.push_back(ReportBlock::richText(std::move(text)));
    }
    return sheet;
}

ReportSource roomSheetSource(const Room& room, const TextLookup& languages,
                             double projectOutsideTemp, bool heatingPart,
                             const ColumnLayout* boundaries, const ColumnLayout* radiators,
                             RadiatorFamilySource& families) {
    ReportSource sheet;
    sheet.name = room.Name;
    sheet.blocks.push_back(
        ReportBlock::richText(room.printedSheet(languages, heatingPart, projectOutsideTemp)));
    if (boundaries != nullptr) {
        sheet.blocks.push_back(tableCaption(languages, "CID_BOUNDARYTABLE1"));
        sheet.blocks.push_back(
            tableOf(*boundaries, room.Boundaries, [&](const Boundary& boundary, int id) {
                return boundary.ColumnText(id, *boundaries);
            }));
    }
    if (radiators != nullptr && !room.Radiators.empty()) {
        sheet.blocks.push_back(tableCaption(languages, "CID_RADIATORTABLE"));
        sheet.blocks.push_back(
            tableOf(*radiators, room.Radiators, [&](const Radiator& radiator, int id) {
                return radiator.ColumnText(id, *radiators, families);
            }));
    }
    return sheet;
}

ReportSource buildingSheetSource(const Building& building, const std::vector<Room>& rooms,
                                 const TextLookup& languages, bool heatingPart,
                                 const ColumnLayout* roomColumns, const ColumnLayout& energy) {
    ReportSource sheet;
    sheet.name = building.Name;
    sheet.blocks.push_back(ReportBlock::richText(building.printedSheet(languages, heatingPart)));
    if (roomColumns != nullptr) {
        sheet.blocks.push_back(tableCaption(languages, "CID_ROOMTABLE"));
        sheet.blocks.push_back(tableOf(*roomColumns, rooms, [&](const Room& room, int id) {
            return room.ColumnText(id, *roomColumns);
        }));
    }
    // The outer surfaces of the building are not gathered: the table is its headings.
    sheet.blocks.push_back(tableCaption(languages, "CID_ENERGETICTABLE"));
    sheet.blocks.push_back(ReportBlock::table(reportColumns(energy), {}));
    return sheet;
}

std::vector<ReportBlock> lowestFlowBlocks(const LowestFlowResult& result, double spread,
                                          const TextLookup& languages) {
    const auto text = [&](const char* key) { return rtfText(languages.getText(key)); };
    const char decimal = decimalSeparatorOf(languages);
    const auto temperature = [&](double value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.1f", value);
        return withDecimalSeparator(buffer, decimal);
    };
    std::string rtf =
        "{\\pard\\plain\\sb180\\sa60\\b\\f5\\fs20 " + text("IDS_LOWESTFLOWTITLE") + "\\par}";
    rtf += "{\\pard\\plain\\tqr\\tx6000\\tx6072\\f4\\fs20 " + text("IDS_LOWESTFLOWSPREAD") +
           ":\\tab " + temperature(spread) + "\\tab K\\par}";
    rtf += "{\\pard\\plain\\tqr\\tx6000\\tx6072\\f4\\fs20 " + text("IDS_LOWESTFLOWRESULT") +
           ":\\tab " + (result.flow ? temperature(*result.flow) : std::string("-")) +
           "\\tab \\u176?C\\par}";
    std::string limiting;
    for (const std::string& room : result.limiting)
        limiting += (limiting.empty() ? "" : ", ") + room;
    rtf += "{\\pard\\plain\\tx4000\\f4\\fs20 " + text("IDS_LOWESTFLOWLIMITING") + ":\\tab " +
           rtfText(limiting.empty() ? "-" : limiting) + "\\par}";
    std::vector<ReportBlock> blocks{ReportBlock::richText(std::move(rtf))};
    std::vector<ReportColumn> columns = {
        {{languages.getText("IDS_LOWESTFLOWCOLUMN+0")}, 120, false, false},
        {{languages.getText("IDS_LOWESTFLOWCOLUMN+1"), "[W]"}, 40, true, false},
        {{languages.getText("IDS_LOWESTFLOWCOLUMN+2"), "[°C]"}, 45, true, false},
        {{languages.getText("IDS_LOWESTFLOWCOLUMN+3")}, 130, false, false}};
    std::vector<std::vector<std::string>> rows;
    for (const RoomLowestFlow& room : result.rooms) {
        const std::optional<std::int64_t> load = roundedWhole(room.load);
        rows.push_back({room.room, load ? std::to_string(*load) : std::string(),
                        room.flow ? temperature(*room.flow) : std::string("-"),
                        room.gap == LowestFlowGap::None
                            ? room.limitingRadiator
                            : languages.getText(lowestFlowGapKey(room.gap))});
    }
    blocks.push_back(ReportBlock::table(std::move(columns), std::move(rows)));
    return blocks;
}

ReportSource billTableSource(const UsedMaterials& bill, const std::vector<std::size_t>& chosen,
                             const ColumnLayout& layout) {
    std::vector<const UsedMaterialItem*> lines;
    for (const std::size_t index : chosen)
        if (index < bill.lines().size())
            lines.push_back(&bill.lines()[index]);
    ReportSource source;
    source.name = "bill";
    source.blocks.push_back(tableOf(layout, lines, [&](const UsedMaterialItem* line, int id) {
        switch (id) {
        case 0:
            return line->Name;
        case 1:
            return line->EstimateCode;
        case 2:
            return layout.formatReal(id, line->Quantity);
        default:
            return std::string();
        }
    }));
    return source;
}

std::string projectDataRtf(const ProjectData& data, const TextLookup& languages) {
    TextDocument rtf(languages, TextStreamKind::Rtf);
    const auto lines = [&](int first, const StringList& list) {
        for (std::size_t i = 0; i < list.size(); ++i)
            rtf.PrintfText(i == 0 ? first : 1284, list[i]);
    };
    lines(1280, data.Building);
    lines(1281, data.Customer);
    lines(1282, data.Planner);
    if (!data.Date.empty())
        rtf.PrintfText(1283, data.Date);
    return rtf.takeText();
}

std::string printedDate() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%d.%m.%Y", &local);
    return text;
}

} // namespace kalydor
