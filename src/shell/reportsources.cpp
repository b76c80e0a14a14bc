#include "shell/reportsources.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "constructions/material.h"
#include "constructions/panel.h"
#include "reports/columnlayout.h"
#include "reports/textdocument.h"
#include "shell/programoptions.h"
#include "store/dbitem.h"
#include "store/projectdata.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace kalydor {
namespace {

int clampedInt(std::int64_t value, int lowest, int highest) {
    return static_cast<int>(std::clamp<std::int64_t>(value, lowest, highest));
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
    const std::string decimal = languages.getText("IDS_DECIMALSEPARATOR");
    ReportSource sheet;
    sheet.name = material.Name;
    sheet.blocks.push_back(ReportBlock::richText(
        material.printedSheet(languages, decimal.size() == 1 ? decimal[0] : '.')));
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
