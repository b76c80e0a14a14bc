#pragma once

#include "reports/reportlayout.h"

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor::gui {

/// What a PDF printout wrote: the pages laid out and the pages put into the file.
struct PdfPrintout {
    std::size_t pages = 0;
    std::size_t printed = 0;
    bool stopped = false; ///< the layout was stopped: no file was written
};

/// The resolution reports are laid out at for PDF files.
inline constexpr int kPdfResolution = 300;

/// Lays out the sources on A4 pages with the metrics of a PDF page and writes the pages that
/// the only-pages field `onlyPages` names (all when it is empty; "IDS_BADPAGELIST" when it
/// names none) to a PDF file. `progress` is told the sources laid out, then the pages drawn.
/// The file is written whole or not at all: a stop (`progress` returning false) or an error
/// leaves no file and an old one as it was. Raises
/// "IDS_FILEWRITEERROR" when the PDF cannot be made or written.
PdfPrintout writeReportPdf(const std::string& fileName, const std::vector<ReportSource>& sources,
                           const PrintOptions& options, const PrintChoices& choices,
                           std::string_view onlyPages = {},
                           const std::function<bool(std::size_t, std::size_t)>& progress = {});

/// Reads the firm header's logo picture into the options (its bytes and size); a file that
/// is not a picture Qt reads leaves the options without a logo.
void loadLogo(const std::string& fileName, PrintOptions& options);

} // namespace kalydor::gui
