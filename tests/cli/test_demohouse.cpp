// The whole job on the demonstration house, from outside: the project made from its JSON,
// recalculated, checked against figures worked by hand, printed, its bill of materials, its
// constructions as XML re-imported with the same results, and the heat-pump check.

#include "cli/clirun.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace kalydor::test {
namespace {

namespace fs = std::filesystem;

const std::string kSource = KALYDOR_SOURCE_DIR;

bool has(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

// A project of the starter constructions (from `constructions`) and the house.
void makeHouse(const std::string& project, const std::string& constructions) {
    ASSERT_EQ(cli({"store", "create", project}).status, 0);
    const CliRun imported =
        cli({"exchange", "import", project, constructions, "--kind", "panel", "--no-to-all"});
    ASSERT_EQ(imported.status, 0) << imported.err;
    const CliRun house =
        cli({"project", "import-json", project, kSource + "/resources/demo/house.json"});
    ASSERT_EQ(house.status, 0) << house.err;
}

std::map<std::string, double> loads(const std::string& project) {
    std::map<std::string, double> byRoom;
    for (const auto& [name, room] : calculatedRooms(project))
        byRoom[name] = room["HeatingPower"].get<double>();
    return byRoom;
}

TEST(DemoHouse, TheWholeJob) {
    TempDir dir;
    const std::string project = (dir.path() / "casa.db").string();
    makeHouse(project, kSource + "/resources/catalogues/constructions.xml");

    // Worked by hand (te = -15 °C; the surcharge Ac from Rm = Δt ΣA / ΣQ, rounded to 0.1 %):
    //
    // "Hol etaj", 18 °C, 9 m², 2.6 m: north wall (3 × 2.9 − 1.8) × 33 / 3.1654 = 71.9 → 72 W,
    // its window 1.8 × 33 / 0.77 = 77.1 → 77 W, the flat roof 9 × 1.0704 × 33 / 4.5760 = 69.5
    // → 69 W; Σ 218 W over 17.7 m², Rm = 33 × 17.7 / 218 = 2.679 m²K/W, Ac = 6.5 %, so
    // QT = 218 × 1.065 = 232 W. Air: 23.4 m³ × 0.5 /h × 1.2 / 3.6 × 33 K = 128.7 W × 1.065 =
    // 137 W. Q = 369 W.
    //
    // "Dormitor copil 2", 20 °C, 14 m², by infiltration: north wall 9.8 × 35 / 3.1654 = 108 W,
    // window 1.8 × 35 / 0.77 = 82 W, west wall 10.15 × 35 / 3.1654 = 112 W, roof 14 × 1.0704
    // × 35 / 4.5760 = 115 W, the slab over the storeroom at 10 °C 9 × 10 / 0.5 = 180 W;
    // Σ 597 W over 44.75 m², Rm = 2.624, Ac = 6.6 %, QT = 636 W. Joints: 0.00747 × 5.4 m ×
    // 5^(4/3) × 35 K = 12.1 W × 1.066 = 13 W. Q = 649 W.
    //
    // The building: the nine heated rooms, 7776 W over 132 m² (59 W/m²); the storeroom does
    // not compute its load.
    const std::map<std::string, double> byRoom = loads(project);
    EXPECT_EQ(byRoom.at("Hol etaj"), 369);
    EXPECT_EQ(byRoom.at("Dormitor copil 2"), 649);
    const CliRun calc = cli({"project", "calc", project, "--dry-run"});
    ASSERT_EQ(calc.status, 0);
    const nlohmann::json calculated = nlohmann::json::parse(calc.out);
    ASSERT_EQ(calculated["Buildings"].size(), 1u);
    EXPECT_EQ(calculated["Buildings"][0]["HeatingLoss"], 7776.0);
    double heated = 0;
    for (const auto& [name, load] : byRoom)
        if (name != "Cămară")
            heated += load;
    EXPECT_EQ(heated, 7776);

    // The heat-pump check: the bathroom at 24 °C with its small radiator needs the highest
    // flow at 5 K spread.
    const CliRun lowest = cli({"project", "lowest-flow", project, "--spread", "5"});
    ASSERT_EQ(lowest.status, 0) << lowest.err;
    const nlohmann::json flow = nlohmann::json::parse(lowest.out);
    EXPECT_EQ(flow["Limiting"], nlohmann::json::array({"Baie etaj"}));
    // Its 22-600-800 gives 952 W at 70/55 °C for 867 W: about 62 °C at 5 K spread.
    EXPECT_EQ(flow["Flow"].get<double>(), 62.0);

    // The bill of materials as text: the four 22-600-600 panels on one line.
    const fs::path bill = dir.path() / "deviz.txt";
    ASSERT_EQ(
        cli({"report", "copy", project, bill.string(), "--kind", "bom", "--form", "text"}).status,
        0);
    EXPECT_NE(readFile(bill.string()).find("22-600-600\tRP22-600-600\t4\tpcs\r\n"),
              std::string::npos)
        << readFile(bill.string());

    // The rooms report as PDF, read back.
    if (has("pdftotext")) {
        const fs::path pdf = dir.path() / "incaperi.pdf";
        const CliRun printed =
            cli({"report", "pdf", project, pdf.string(), "--kind", "rooms", "--parts",
                 "sheets,heating,boundaries,radiators,table", "--lang", "Român"});
#ifdef KALYDOR_WITH_QT
        ASSERT_EQ(printed.status, 0) << printed.err;
        const std::string text =
            commandOutput("pdftotext -layout " + quoted(pdf.string()) + " - 2>/dev/null");
        for (const char* expected : {"Hol etaj", "Dormitor copil 2", "Planșeu peste",
                                     "Necesar de căldură:", "369", "649", "22-600-800"})
            EXPECT_NE(text.find(expected), std::string::npos) << expected;
        // The building sheet carries the heat-pump check with the bathroom as the limit.
        const fs::path building = dir.path() / "cladire.pdf";
        ASSERT_EQ(cli({"report", "pdf", project, building.string(), "--kind", "buildings", "--lang",
                       "Român"})
                      .status,
                  0);
        const std::string sheet =
            commandOutput("pdftotext -layout " + quoted(building.string()) + " - 2>/dev/null");
        const std::string shown = flow["Flow"].get<double>() == 62.0 ? "62,0" : "?";
        for (const std::string& expected :
             {std::string("pentru pompă de căldură"), std::string("Temperatura minimă de tur:"),
              shown, std::string("Baie etaj")})
            EXPECT_NE(sheet.find(expected), std::string::npos) << expected << "\n" << sheet;
#else
        EXPECT_NE(printed.status, 0);
#endif
    }

    // The constructions as XML that xmllint accepts, re-imported into a fresh project: the
    // house calculates the same there.
    const fs::path xml = dir.path() / "constructii.xml";
    const CliRun exported = cli({"exchange", "export", project, xml.string(), "--kind", "panel"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    if (has("xmllint")) {
        EXPECT_EQ(std::system(("xmllint --noout " + quoted(xml.string()) + " 2>/dev/null").c_str()),
                  0);
    }
    const std::string again = (dir.path() / "din-xml.db").string();
    makeHouse(again, xml.string());
    EXPECT_EQ(loads(again), byRoom);
}

} // namespace
} // namespace kalydor::test
