// "report pdf" read back by real PDF readers (pdfinfo, pdftotext from poppler-utils); the
// copies of rooms, buildings and the bill of materials; the bill itself.
#include "cli/clirun.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace kalydor::test {
namespace {

namespace fs = std::filesystem;

#ifdef KALYDOR_WITH_QT

bool hasPoppler() {
    return std::system("command -v pdftotext >/dev/null 2>&1 && command -v pdfinfo >/dev/null "
                       "2>&1") == 0;
}

std::string pdfText(const fs::path& pdf) {
    return commandOutput("pdftotext -layout " + quoted(pdf.string()) + " - 2>/dev/null");
}

std::string pageText(const fs::path& pdf, int page) {
    return commandOutput("pdftotext -layout -f " + std::to_string(page) + " -l " +
                         std::to_string(page) + " " + quoted(pdf.string()) + " - 2>/dev/null");
}

int pdfPages(const fs::path& pdf) {
    const std::string info = commandOutput("pdfinfo " + quoted(pdf.string()) + " 2>/dev/null");
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

const std::string kMaterials = std::string(KALYDOR_PROGRAM_DIR) + "/material.db";

// The material list in Romanian: the Romanian letters, the title and the numbers of the pages
// (counted from the first page number) come out of the PDF as they went in.
TEST(ReportPdf, MaterialListReadsBackWithItsTitleAndPageNumbers) {
    if (!hasPoppler())
        GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    TempDir dir;
    const fs::path pdf = dir.path() / "materiale.pdf";
    const CliRun run =
        cli({"report", "pdf", kMaterials, pdf.string(), "--kind", "materials", "--title",
             "Catalog de materiale", "--first-page", "5", "--lang", "Român"});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json result = nlohmann::json::parse(run.out);
    const int pages = result["Pages"].get<int>();
    ASSERT_GE(pages, 2);
    EXPECT_EQ(result["Printed"].get<int>(), pages);
    EXPECT_EQ(pdfPages(pdf), pages);
    const std::string text = pdfText(pdf);
    EXPECT_NE(text.find("Catalog de materiale"), std::string::npos);
    EXPECT_NE(text.find("Beton ușor"), std::string::npos);
    EXPECT_NE(text.find("Denumire"), std::string::npos); // the headings, in Romanian
    // The title line ends with the page's printed number, counted from 5.
    EXPECT_NE(pageText(pdf, 1).find("Catalog de materiale"), std::string::npos);
    EXPECT_NE(pageText(pdf, 1).find(" 5\n"), std::string::npos);
    EXPECT_NE(pageText(pdf, pages).find(" " + std::to_string(4 + pages) + "\n"), std::string::npos);
}

// A material's sheet: its properties, the isotherm as lines of values and the isotherm's
// chart (its axis titles come out of the PDF as text), then the list when asked for.
TEST(ReportPdf, MaterialSheetWithItsIsothermAndChart) {
    if (!hasPoppler())
        GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    TempDir dir;
    const fs::path pdf = dir.path() / "caramida.pdf";
    const CliRun run =
        cli({"report", "pdf", kMaterials, pdf.string(), "--kind", "materials", "--parts",
             "sheets,table", "--item", "Zidărie\\Cărămidă plină", "--lang", "Român"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = pdfText(pdf);
    for (const char* expected : {"Cărămidă plină", "Izoterma de sorbție", "Umiditate relativă [%]",
                                 "Umiditate relativă (%)", "Denumire"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    EXPECT_EQ(cli({"report", "pdf", kMaterials, pdf.string(), "--kind", "materials", "--parts",
                   "sheets,other"})
                  .status,
              2);
}

// Only-pages: the pages named are written; a list naming none is refused and no file is
// written (an old one stays as it was).
TEST(ReportPdf, OnlyPagesAndRefusals) {
    if (!hasPoppler())
        GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    TempDir dir;
    const fs::path pdf = dir.path() / "doua.pdf";
    const CliRun second =
        cli({"report", "pdf", kMaterials, pdf.string(), "--kind", "materials", "--pages", "2-9"});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(nlohmann::json::parse(second.out)["Printed"].get<int>(),
              nlohmann::json::parse(second.out)["Pages"].get<int>() - 1);
    EXPECT_EQ(pdfPages(pdf), nlohmann::json::parse(second.out)["Printed"].get<int>());

    const fs::path old = dir.path() / "old.pdf";
    std::ofstream(old) << "old";
    struct Case {
        std::vector<std::string> extra;
        int status;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"--pages", "40"}, 1, "IDS_BADPAGELIST"},      {{"--pages", "x-"}, 1, "IDS_BADPAGELIST"},
        {{"--item", "Nu există"}, 1, "IDS_RECORDGONE"}, {{"--kind", "walls"}, 2, "--kind"},
        {{"--first-page", "0"}, 2, "--first-page"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"report",     "pdf",    kMaterials,
                                         old.string(), "--kind", "materials"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, c.status) << c.extra[0];
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        std::ifstream in(old);
        std::string kept;
        std::getline(in, kept);
        EXPECT_EQ(kept, "old") << c.extra[0];
    }
}

// The page of a program settings file: its firm header on every page; a settings file that is
// not there is refused.
TEST(ReportPdf, PageFromAProgramSettingsFile) {
    if (!hasPoppler())
        GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    TempDir dir;
    const fs::path ini = dir.path() / "kalydor.ini";
    std::ofstream(ini) << "[ProgramOptions]\nFirmaHeaderText=Instal Proiect SRL Cluj\n"
                          "FirmaHeaderPageMode=2\nLeftMargin=30\n";
    const fs::path pdf = dir.path() / "antet.pdf";
    const CliRun run = cli({"report", "pdf", kMaterials, pdf.string(), "--kind", "materials",
                            "--settings", ini.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const int pages = nlohmann::json::parse(run.out)["Pages"].get<int>();
    ASSERT_GE(pages, 2);
    EXPECT_NE(pageText(pdf, 1).find("Instal Proiect SRL Cluj"), std::string::npos);
    EXPECT_NE(pageText(pdf, pages).find("Instal Proiect SRL Cluj"), std::string::npos);
    const CliRun missing = cli({"report", "pdf", kMaterials, pdf.string(), "--kind", "materials",
                                "--settings", (dir.path() / "nu.ini").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("nu.ini"), std::string::npos) << missing.err;
}

// The constructions of a project, one table row each.
TEST(ReportPdf, ConstructionListOfAProject) {
    if (!hasPoppler())
        GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    TempDir dir;
    const fs::path project = dir.path() / "Demo.db";
    fs::copy_file(std::string(KALYDOR_PROGRAM_DIR) + "/demo/Demo.db", project);
    const fs::path pdf = dir.path() / "constructii.pdf";
    const CliRun run = cli({"report", "pdf", project.string(), pdf.string(), "--kind",
                            "constructions", "--no-date", "--no-file-name"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = pdfText(pdf);
    EXPECT_GE(pdfPages(pdf), 1);
    EXPECT_NE(text.find("Cărămidă 37,5"), std::string::npos);
    EXPECT_EQ(text.find(project.string()), std::string::npos); // no file name asked for

    // The sheets: properties in the language's numbers, the layer table and the messages of
    // each layered construction, calculated for the project's outside design temperature.
    const fs::path sheets = dir.path() / "fise.pdf";
    const CliRun run2 =
        cli({"report", "pdf", project.string(), sheets.string(), "--kind", "constructions",
             "--parts", "sheets,layers,messages", "--lang", "Român"});
    ASSERT_EQ(run2.status, 0) << run2.err;
    const std::string sheetText = pdfText(sheets);
    // The vapour diagram of each layered construction follows its messages.
    for (const char* expected : {"Rezistență termică:", "Strat", "Tencuială de",
                                 "Evaluarea higrotermică", "Presiunea vaporilor"})
        EXPECT_NE(sheetText.find(expected), std::string::npos) << expected;
    // The value stands at its tab stop, right of the caption (34 bytes).
    const std::size_t caption = sheetText.find("Temperatura exterioară de calcul:");
    ASSERT_NE(caption, std::string::npos);
    const std::size_t value = sheetText.find_first_not_of(' ', caption + 34);
    EXPECT_EQ(sheetText.substr(value, 5), "-15,0");
    EXPECT_EQ(cli({"report", "pdf", kMaterials, sheets.string(), "--kind", "materials", "--parts",
                   "layers"})
                  .status,
              2);
}

#endif

// A house of two buildings (the upper floor a part of the house) and two rooms, one with a
// panel radiator of the shipped device table whose size expands through its piece lists.
class RoomReports : public ::testing::Test {
protected:
    void SetUp() override {
        file = (dir.path() / "casa.db").string();
        ASSERT_EQ(cli({"store", "create", file}).status, 0);
        const nlohmann::json wall = {
            {"Name", "Perete nord"}, {"Type", 0},   {"db", 1}, {"x", 5}, {"y", 2.5}, {"k", 2},
            {"Massivitate", 1},      {"Compass", 0}};
        const nlohmann::json window = {
            {"Name", "Fereastră"}, {"Type", 10},  {"db", 2}, {"x", 1}, {"y", 1.2}, {"k", 0.5},
            {"Massivitate", 1},    {"Compass", 0}};
        const auto radiator = [](const char* mark) {
            return nlohmann::json{{"Mark", mark},
                                  {"Family", "Panou Calor panels 11-22-33"},
                                  {"TypeCode", "22-600-1000"},
                                  {"Forward", 70},
                                  {"Return", 55},
                                  {"Power", 1200}};
        };
        const nlohmann::json input = {
            {"Buildings", {{{"Name", "Casa"}}, {{"Name", "Etaj"}, {"Parent", "Casa"}}}},
            {"Rooms",
             {{{"Name", "Cameră de zi"},
               {"Function", "Living"},
               {"Building", "Casa"},
               {"Area", 20},
               {"Height", 2.5},
               {"FiltMode", 0},
               {"AirChangeFact", 0.5},
               {"Boundaries", {wall, window}},
               {"Radiators", {radiator("R1"), radiator("R2")}}},
              {{"Name", "Dormitor"},
               {"Building", "Etaj"},
               {"Area", 12},
               {"Height", 2.5},
               {"FiltMode", 4},
               {"Boundaries", {wall}}}}}};
        std::ofstream(dir.path() / "in.json") << input.dump();
        const CliRun made =
            cli({"project", "import-json", file, (dir.path() / "in.json").string()});
        ASSERT_EQ(made.status, 0) << made.err;
    }

    // The rooms as the recalculation gives them, by name.
    std::map<std::string, nlohmann::json> calculated() { return calculatedRooms(file); }

    std::string copy(const std::vector<std::string>& extra) {
        const fs::path out = dir.path() / "copie";
        std::vector<std::string> args = {"report", "copy", file, out.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        std::ifstream in(out, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    TempDir dir;
    std::string file;
};

// The text copy of a room: lines 0-7 always, the heating part with the line of its
// ventilation method, the radiators' sum; the building's copy names its parent.
TEST_F(RoomReports, CopiesWriteTheResultLinesOfTheirConditions) {
    const std::map<std::string, nlohmann::json> rooms = calculated();
    const long load = std::lround(rooms.at("Cameră de zi")["HeatingPower"].get<double>());
    const std::string living =
        copy({"--kind", "rooms", "--item", "Cameră de zi", "--form", "text"});
    for (const std::string& line :
         {std::string("Cameră de zi\r\n"), std::string("Function: Living\r\n"),
          std::string("Building: Casa\r\n"), std::string("Floor area: 20.0 m^2\r\n"),
          std::string("Ventilation method: Air changes per hour\r\n"),
          std::string("Air changes: 0.50 1/h\r\n"),
          "Heating load: " + std::to_string(load) + " W\r\n", std::string("Radiator output: ")})
        EXPECT_NE(living.find(line), std::string::npos) << line << "\n" << living;
    for (const char* absent : {"Wind speed", "Number of persons"})
        EXPECT_EQ(living.find(absent), std::string::npos) << absent;

    // Infiltration by wind: the level factor and the wind speed, no radiators.
    const std::string bedroom = copy({"--kind", "rooms", "--item", "Dormitor", "--form", "text"});
    for (const char* line :
         {"Level correction factor E: ", "Wind speed: 5.0 m/s", "Entering air temperature: -15.0"})
        EXPECT_NE(bedroom.find(line), std::string::npos) << line << "\n" << bedroom;
    EXPECT_EQ(bedroom.find("Radiator output"), std::string::npos);

    const std::string upper = copy({"--kind", "buildings", "--item", "Etaj", "--form", "text"});
    EXPECT_NE(upper.find("Building part: Etaj\r\nPart of: Casa\r\n"), std::string::npos) << upper;
    const std::string house = copy({"--kind", "buildings", "--item", "Casa", "--form", "text"});
    EXPECT_EQ(house.find("Building: Casa\r\n"), 0u) << house;
    EXPECT_NE(house.find("Heating load: "), std::string::npos);
}

// The rich-text copy: the prologue, the boundary table with its blanks (the window's row has
// no deduction, the wall's orientation is shown), the radiator table; the building's rooms
// with their loads, own rooms before those of the part below.
TEST_F(RoomReports, RichTextCopiesCarryTheirTables) {
    const std::string rtf =
        copy({"--kind", "rooms", "--item", "Cameră de zi", "--form", "rtf", "--lang", "Român"});
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    for (const char* expected :
         {"Elementele de construc", "Perete nord", "Corpuri de \\u238?nc", "22-600-1000", "R2"})
        EXPECT_NE(rtf.find(expected), std::string::npos) << expected;
    const std::string house =
        copy({"--kind", "buildings", "--item", "Casa", "--form", "rtf", "--lang", "Român"});
    const std::size_t living = house.find("Camer\\u259? de zi");
    const std::size_t bedroom = house.find("Dormitor");
    ASSERT_NE(living, std::string::npos) << house;
    ASSERT_NE(bedroom, std::string::npos);
    EXPECT_LT(living, bedroom);
    const std::string cells = copy({"--kind", "buildings", "--item", "Casa", "--form", "html"});
    for (const char* expected : {"Air pollution class", "Urban", "Cameră de zi", "Dormitor"})
        EXPECT_NE(cells.find(expected), std::string::npos) << expected;
    EXPECT_FALSE(copy({"--kind", "rooms", "--item", "Dormitor", "--form", "biff"}).empty());
}

// The bill: two equal radiators give one line of two pieces, their size's "@" code expands
// through the nested piece lists, quantities multiplied; the export file is Windows-1250
// with the "no code" text where a line has none.
TEST_F(RoomReports, BillOfMaterialsExpandsThePieceLists) {
    const fs::path csv = dir.path() / "deviz.csv";
    const CliRun run = cli({"report", "bom", file, "--export", csv.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json out = nlohmann::json::parse(run.out);
    std::map<std::string, nlohmann::json> lines;
    for (const nlohmann::json& line : out["Lines"])
        lines[line["Name"]] = line;
    struct Expected {
        const char* name;
        const char* code;
        double quantity;
        const char* unit;
        const char* group;
    };
    for (const Expected& e : std::vector<Expected>{
             {"Panou Calor panels 11-22-33", "RP22-600", 2, "22/600", "Accesorii"},
             {"Consolă de perete", "CP-100", 4, "buc.", "Accesorii\\Console"},
             {"Diblu 8 mm", "DB-8", 8, "buc.", "Accesorii\\Console"},
             {"Robinet aerisire 1/2\"", "AER-12", 2, "pcs", "Accesorii"}}) {
        ASSERT_EQ(lines.count(e.name), 1u) << e.name << "\n" << run.out;
        const nlohmann::json& line = lines[e.name];
        EXPECT_EQ(line["EstimateCode"], e.code) << e.name;
        EXPECT_EQ(line["Quantity"].get<double>(), e.quantity) << e.name;
        EXPECT_EQ(line["Unit"], e.unit) << e.name;
        EXPECT_EQ(line["GroupText"], e.group) << e.name;
    }
    EXPECT_EQ(lines.size(), 4u) << run.out; // the "@" lines are gone
    EXPECT_TRUE(out["Warnings"].empty());
    std::ifstream in(csv, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // "ă" is one Windows-1250 byte (0xE3); the name's quote is doubled.
    EXPECT_NE(bytes.find("\"CP-100\";4;buc.;\"Consol\xE3 de perete\";;;;;;;\r\n"),
              std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("\"AER-12\";2;pcs;\"Robinet aerisire 1/2\"\"\";;;;;;;\r\n"),
              std::string::npos)
        << bytes;
}

#ifdef KALYDOR_WITH_QT

// The room sheets and the building sheet in Romanian, read back from the PDF.
TEST_F(RoomReports, SheetsOfRoomsAndBuildingsReadBack) {
    if (!hasPoppler())
        GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    const std::map<std::string, nlohmann::json> rooms = calculated();
    const auto bytes = [&] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string before = bytes();
    const fs::path pdf = dir.path() / "incaperi.pdf";
    const CliRun run = cli({"report", "pdf", file, pdf.string(), "--kind", "rooms", "--parts",
                            "sheets,heating,boundaries,radiators,table", "--lang", "Român"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = pdfText(pdf);
    const long load = std::lround(rooms.at("Cameră de zi")["HeatingPower"].get<double>());
    for (const std::string& expected :
         {std::string("Cameră de zi"), std::string("Suprafața pardoselii:"),
          std::string("Necesar de căldură:"), std::to_string(load),
          std::string("Elementele de construcție ale încăperii"), std::string("Perete nord"),
          std::string("Corpuri de încălzire"), std::string("22-600-1000"),
          std::string("Viteza vântului:")})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;

    // Without the heating part a sheet stops after the masses.
    const fs::path bare = dir.path() / "fara.pdf";
    ASSERT_EQ(cli({"report", "pdf", file, bare.string(), "--kind", "rooms", "--parts", "sheets",
                   "--item", "Dormitor"})
                  .status,
              0);
    const std::string bareText = pdfText(bare);
    EXPECT_NE(bareText.find("Heat-storing mass:"), std::string::npos) << bareText;
    EXPECT_EQ(bareText.find("Heating load:"), std::string::npos) << bareText;

    const fs::path building = dir.path() / "cladire.pdf";
    const CliRun built = cli({"report", "pdf", file, building.string(), "--kind", "buildings",
                              "--item", "Casa", "--lang", "Român"});
    ASSERT_EQ(built.status, 0) << built.err;
    const std::string buildingText = pdfText(building);
    for (const char* expected : {"Clădire: Casa", "Încăperile clădirii", "Cameră de zi", "Dormitor",
                                 "Suprafețele anvelopei clădirii"})
        EXPECT_NE(buildingText.find(expected), std::string::npos) << expected << "\n"
                                                                  << buildingText;

    const fs::path bill = dir.path() / "deviz.pdf";
    ASSERT_EQ(cli({"report", "pdf", file, bill.string(), "--kind", "bom"}).status, 0);
    EXPECT_NE(pdfText(bill).find("Consolă de perete"), std::string::npos);
    EXPECT_EQ(cli({"report", "pdf", file, bill.string(), "--kind", "buildings", "--parts", "table"})
                  .status,
              2);
    // Printing calculated the rooms and totalled the buildings in memory only.
    EXPECT_EQ(bytes(), before);
    // Kept for a look when asked for.
    if (const char* keep = std::getenv("KALYDOR_SCREENSHOT_DIR"))
        for (const fs::path& made : {pdf, building, bill})
            fs::copy_file(made, fs::path(keep) / made.filename(),
                          fs::copy_options::overwrite_existing);
}

#endif

} // namespace
} // namespace kalydor::test
