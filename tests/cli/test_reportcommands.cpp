// "report pdf" read back by real PDF readers (pdfinfo, pdftotext from poppler-utils).
#include "cli/clirun.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kalydor::test {
namespace {

namespace fs = std::filesystem;

#ifdef KALYDOR_WITH_QT

bool hasPoppler() {
    return std::system("command -v pdftotext >/dev/null 2>&1 && command -v pdfinfo >/dev/null "
                       "2>&1") == 0;
}

std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer;
        std::size_t n = 0;
        while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            out.append(buffer.data(), n);
        pclose(pipe);
    }
    return out;
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
        {{"--item", "Nu există"}, 1, "IDS_RECORDGONE"}, {{"--kind", "rooms"}, 2, "--kind"},
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
    for (const char* expected : {"Rezistență termică:", "Temperatura exterioară de calcul:-15,0",
                                 "Strat", "Tencuială de", "Evaluarea higrotermică"})
        EXPECT_NE(sheetText.find(expected), std::string::npos) << expected;
    EXPECT_EQ(cli({"report", "pdf", kMaterials, sheets.string(), "--kind", "materials", "--parts",
                   "layers"})
                  .status,
              2);
}

#endif

} // namespace
} // namespace kalydor::test
