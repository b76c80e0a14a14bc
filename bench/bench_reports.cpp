// Printouts: room sheets laid out on pages (the fixed canvas, so that only the layout is
// measured), a PDF of 200 room sheets and their building's sheet written through Qt, and the
// drawing of a laid-out page.
//
// The rooms are built in code, each with 6 boundaries and 2 radiators, calculated, and made
// into printed sheets as File > Print makes them: result lines with the heating part, the
// boundary table and the radiator table.
#include "devicedb/radiatorfamilycache.h"
#include "language/languages.h"
#include "platform/fixedcanvas.h"
#include "reports/columnlayout.h"
#include "reports/reportlayout.h"
#include "rooms/building.h"
#include "rooms/room.h"
#include "shell/reportsources.h"

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

// Sizes print as unknown: the benchmark has no device table.
class NoFamilies final : public RadiatorFamilySource {
public:
    const RadiatorFamily* family(const std::string&) override { return nullptr; }
};

const Languages& languages() {
    static const Languages loaded = [] {
        Languages languages;
        languages.LoadLanguages(std::string(KALYDOR_LANGUAGE_DIR) + "/*.xm?");
        languages.SelectInterfaceLanguage("Român");
        return languages;
    }();
    setTextLookup(&loaded);
    return loaded;
}

Room room(int n) {
    Room r;
    r.Name = "Încăperea " + std::to_string(n);
    r.Function = "Dormitor";
    r.BuildingName = "Casa";
    r.Area = 14.5f;
    r.Height = 2.7f;
    r.AirChangeFact = 0.5f;
    const char* names[] = {"Perete exterior N", "Perete exterior E",    "Fereastră N",
                           "Perete interior",   "Planșeu peste subsol", "Planșeu sub pod"};
    const std::uint8_t types[] = {0, 0, 10, 1, 4, 3};
    for (int b = 0; b < 6; ++b) {
        Boundary boundary;
        boundary.Name = names[b] + std::string(" ") + std::to_string(n % 7);
        boundary.Type = types[b];
        boundary.db = 1;
        boundary.x = 4.5f;
        boundary.y = b == 2 ? 1.5f : 2.7f;
        boundary.k = b == 2 ? 0.5f : 2.1f;
        boundary.Massivitate = 1;
        boundary.Compass = static_cast<std::int16_t>(90 * (b % 4));
        boundary.OverTempWinter = b == 3 ? 12.0f : 5.0f;
        r.Boundaries.push_back(boundary);
    }
    for (int k = 0; k < 2; ++k) {
        Radiator radiator;
        radiator.Mark = "R" + std::to_string(k + 1);
        radiator.Family = "Panou Calor panels 11-22-33";
        radiator.TypeCode = k == 0 ? "22-600-1000" : "11-600-800";
        radiator.setForwardTemperature(70);
        radiator.setBackwardTemperature(55);
        radiator.setPower(k == 0 ? 1362 : 742);
        r.Radiators.push_back(radiator);
    }
    (void)r.Calculate(RoomSettings{});
    return r;
}

std::vector<Room> rooms(int count) {
    std::vector<Room> all;
    for (int n = 1; n <= count; ++n)
        all.push_back(room(n));
    return all;
}

std::vector<ReportSource> sheets(const std::vector<Room>& all) {
    const ColumnLayout boundaries =
        loadColumnLayout("RoomBoundarisTitle", languages(), nullptr, "BoundaryTableReport");
    const ColumnLayout radiators =
        loadColumnLayout("RadiatorsReportTitle", languages(), nullptr, "RadiatorTableReport");
    NoFamilies families;
    std::vector<ReportSource> sources;
    for (const Room& r : all)
        sources.push_back(
            roomSheetSource(r, languages(), -15, true, &boundaries, &radiators, families));
    return sources;
}

std::vector<ReportSource> sheets(int count) {
    return sheets(rooms(count));
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
// 200 room sheets and their building's sheet with its table of the 200 rooms, laid out with
// Qt's fonts and written as a PDF file.
void BM_PdfOf200Sheets(benchmark::State& state) {
    const std::vector<Room> all = rooms(200);
    std::vector<ReportSource> sources = sheets(all);
    Building building;
    building.Name = "Casa";
    building.HeatingLoss = 200000;
    const ColumnLayout roomColumns =
        loadColumnLayout("BuildingRoomsTitle", languages(), nullptr, "BuildingRoomsTableReport");
    const ColumnLayout energy = loadColumnLayout("BuildingEnergeticTitle", languages(), nullptr,
                                                 "BuildingEnergeticTableReport");
    sources.push_back(buildingSheetSource(building, all, languages(), true, &roomColumns, energy));
    const std::string file =
        (std::filesystem::temp_directory_path() / "kalydor-bench-report.pdf").string();
    std::size_t pages = 0;
    for (auto _ : state)
        pages = gui::writeReportPdf(file, sources, options(), choices()).pages;
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
