#pragma once

#include "reports/reportlayout.h"

#include <string>
#include <vector>

namespace kalydor {

class ColumnLayout;
class DBItem;
class ProgramOptions;

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

} // namespace kalydor
