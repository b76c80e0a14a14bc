// Printouts: room sheets laid out on pages (the fixed canvas, so that only the layout is
// measured), a PDF of 200 sheets and a building's room table written through Qt, and the
// drawing of a laid-out page.
//
// The sheets are built in code with the shape of a room's printed sheet: a heading, a dozen
// property lines with tab stops, a table of 6 boundaries and one of 2 radiators.
#include "platform/fixedcanvas.h"
#include "reports/reportlayout.h"

#ifdef KALYDOR_WITH_QT
#include "gui/reportpdf.h"

#include <QGuiApplication>
#endif

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace kalydor {
namespace {

ReportSource roomSheet(int n) {
    ReportSource sheet;
    std::string rtf = "\\pard\\plain\\fs28\\b Încăperea " + std::to_string(n) + "\\par\\pard ";
    const char* lines[] = {"Suprafața pardoselii",
                           "Înălțimea",
                           "Volumul",
                           "Temperatura interioară",
                           "Temperatura exterioară",
                           "Schimburi de aer",
                           "Necesar de căldură",
                           "Transmisie",
                           "Ventilare",
                           "Adaos Ac",
                           "Pe suprafața pardoselii",
                           "Masa de acumulare"};
    int i = 0;
    for (const char* line : lines)
        rtf += "\\tx3600\\tqr\\tx6000 " + rtfText(line) + "\\tab " +
               std::to_string(10 + (n * 7 + i++) % 90) + ",5\\par ";
    sheet.blocks.push_back(ReportBlock::richText(rtf));
    std::vector<ReportColumn> columns;
    for (const char* caption : {"Element", "Orientare", "x [m]", "y [m]", "n", "A [m\\u2]",
                                "R [m\\u2K/W]", "Δθ [K]", "Q [W]", "Q\\dT\\p [W]"})
        columns.push_back({{caption}, 40, true, false});
    columns.front().width = 120;
    columns.front().alignRight = false;
    std::vector<std::vector<std::string>> rows;
    for (int b = 0; b < 6; ++b)
        rows.push_back({"Perete exterior cărămidă " + std::to_string(b), "N", "4,50", "2,70", "1",
                        "12,15", "3,17", "35", std::to_string(130 + b * 7), "-"});
    sheet.blocks.push_back(ReportBlock::table(columns, rows));
    std::vector<ReportColumn> radiatorColumns;
    for (const char* caption : {"Marcaj", "Tip", "Q [W]", "L [mm]"})
        radiatorColumns.push_back({{caption}, 60, false, false});
    sheet.blocks.push_back(
        ReportBlock::table(radiatorColumns, {{"1", "22-600-1000", "1612", "1000"},
                                             {"2", "11-600-800", "742", "800"}}));
    return sheet;
}

std::vector<ReportSource> sheets(int rooms) {
    std::vector<ReportSource> all;
    for (int n = 1; n <= rooms; ++n)
        all.push_back(roomSheet(n));
    return all;
}

PrintOptions options() {
    PrintOptions o;
    o.font = {"DejaVu Serif", 10};
    o.firmHeaderPageMode = 2;
    o.firmHeaderText = {"Instal Proiect SRL", "Cluj-Napoca"};
    return o;
}

PrintChoices choices() {
    PrintChoices c;
    c.title = "Necesarul de căldură";
    c.fileName = "/home/proiecte/Casa.db";
    c.date = "11.12.2026";
    c.signature = "Kalydor";
    return c;
}

// Room sheets laid out at 300 dpi; the counter is the time per sheet, which stays flat as the
// printout grows.
void BM_LayoutRoomSheets(benchmark::State& state) {
    const std::vector<ReportSource> all = sheets(static_cast<int>(state.range(0)));
    std::size_t pages = 0;
    for (auto _ : state) {
        platform::FixedCanvas canvas(300);
        ReportLayout layout(canvas, PaperGeometry::a4(300), options(), choices());
        layout.layout(all);
        pages = layout.pageCount();
    }
    state.counters["Pages"] = static_cast<double>(pages);
    state.counters["PerSheet"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}
BENCHMARK(BM_LayoutRoomSheets)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond);

// Drawing a page from the kept layout: the last page costs what the first does.
void drawPage(benchmark::State& state, bool last) {
    const std::vector<ReportSource> all = sheets(200);
    platform::FixedCanvas canvas(300);
    ReportLayout layout(canvas, PaperGeometry::a4(300), options(), choices());
    layout.layout(all);
    const std::size_t page = last ? layout.pageCount() - 1 : 0;
    for (auto _ : state) {
        platform::FixedCanvas target(300);
        layout.drawPage(page, target);
        benchmark::DoNotOptimize(target.texts().size());
    }
}
void BM_DrawFirstPage(benchmark::State& state) {
    drawPage(state, false);
}
void BM_DrawLastPage(benchmark::State& state) {
    drawPage(state, true);
}
BENCHMARK(BM_DrawFirstPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawLastPage)->Unit(benchmark::kMicrosecond);

#ifdef KALYDOR_WITH_QT
// 200 room sheets and a building's table of its 200 rooms, laid out with Qt's fonts and
// written as a PDF file.
void BM_PdfOf200Sheets(benchmark::State& state) {
    std::vector<ReportSource> all = sheets(200);
    ReportSource building;
    std::vector<std::vector<std::string>> rows;
    for (int n = 1; n <= 200; ++n)
        rows.push_back({"Încăperea " + std::to_string(n), "24,5", "20", std::to_string(800 + n)});
    building.blocks.push_back(ReportBlock::table({{{"Încăpere"}, 120, false, false},
                                                  {{"A [m\\u2]"}, 40, true, false},
                                                  {{"θi [°C]"}, 40, true, false},
                                                  {{"Q [W]"}, 40, true, false}},
                                                 rows));
    all.push_back(building);
    const std::string file =
        (std::filesystem::temp_directory_path() / "kalydor-bench-report.pdf").string();
    std::size_t pages = 0;
    for (auto _ : state)
        pages = gui::writeReportPdf(file, all, options(), choices()).pages;
    state.counters["Pages"] = static_cast<double>(pages);
    std::remove(file.c_str());
}
BENCHMARK(BM_PdfOf200Sheets)->Unit(benchmark::kMillisecond)->Iterations(3);
#endif

} // namespace
} // namespace kalydor

int main(int argc, char** argv) {
#ifdef KALYDOR_WITH_QT
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
