#include "shell/reportsources.h"

#include "reports/columnlayout.h"
#include "shell/programoptions.h"
#include "store/dbitem.h"

#include <algorithm>

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

} // namespace kalydor
