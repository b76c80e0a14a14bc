#include "cli/clirun.h"
#include "constructions/panel.h"
#include "constructions/registration.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/reference.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kalydor::test {
namespace {

const std::string kCatalogue =
    std::string(KALYDOR_SOURCE_DIR) + "/resources/catalogues/materials.txt";

// The material list without identifiers, by group and name.
std::vector<std::string> comparable(const std::string& table) {
    std::vector<std::string> rows;
    for (nlohmann::json row : jsonLines(cli({"material", "list", table}).out)) {
        row.erase("ID");
        rows.push_back(row.dump());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

TEST(ExchangeCommands, CatalogueImportsAndTravelsThroughBothFormats) {
    TempDir dir;
    const std::string table = dir.file("m.db");
    ASSERT_EQ(cli({"store", "create", table, "--catalogue"}).status, 0);
    const CliRun first = cli({"exchange", "import", table, kCatalogue, "--kind", "material"});
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(first.out.substr(0, 9), "added 43,");

    // A second import with no-to-all keeps every stored item.
    const CliRun again = cli({"exchange", "import", table, kCatalogue, "--no-to-all"});
    EXPECT_EQ(again.out, "added 0, replaced 0, kept 43, skipped 0\n");

    const std::string xml = dir.file("out.Xml");
    ASSERT_EQ(cli({"exchange", "export", table, xml}).status, 0);
    EXPECT_EQ(std::system(("xmllint --noout " + quoted(xml) + " 2>/dev/null").c_str()), 0);
    const std::string text = dir.file("out.txt");
    ASSERT_EQ(cli({"exchange", "export", table, text}).status, 0);

    for (const std::string& file : {xml, text}) {
        SCOPED_TRACE(file);
        const std::string other =
            dir.file(std::filesystem::path(file).extension().string() + ".db");
        ASSERT_EQ(cli({"store", "create", other, "--catalogue"}).status, 0);
        EXPECT_EQ(cli({"exchange", "import", other, file, "--yes-to-all"}).out,
                  "added 43, replaced 0, kept 0, skipped 0\n");
        EXPECT_EQ(comparable(other), comparable(table));
    }
}

TEST(ExchangeCommands, BrokenFilesFailAndWrongUseIsUsage) {
    TempDir dir;
    const std::string table = dir.file("m.db");
    ASSERT_EQ(cli({"store", "create", table, "--catalogue"}).status, 0);
    writeFile(dir.file("bad.txt"), "\"KALYDOR32MATERIAL\" 1\r\n2024 1 1\r\n\"\"\r\n\"a\"\r\n1 x");
    EXPECT_EQ(cli({"exchange", "import", table, dir.file("bad.txt")}).status, 1);
    writeFile(dir.file("bad.xml"), "<Kalydor32Project><Kalydor32Material>");
    EXPECT_EQ(cli({"exchange", "import", table, dir.file("bad.xml")}).status, 1);
    EXPECT_EQ(cli({"exchange", "import", table}).status, 2);
    EXPECT_EQ(cli({"exchange", "export", table, dir.file("x.txt"), "--kind", "room"}).status, 2);
    // Nothing to export: no text file is written.
    EXPECT_EQ(cli({"exchange", "export", table, dir.file("none.txt")}).status, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.txt")));
}

// Materials of a kind without values (an empty or unknown type) keep their thickness from an
// XML file through the table and back out; their path ends with the separator, as paths
// printed by "material list" do, and adds no group.
TEST(ExchangeCommands, XmlKeepsTheThicknessOfMaterialsWithoutValues) {
    TempDir dir;
    const std::string table = dir.file("m.db");
    ASSERT_EQ(cli({"store", "create", table, "--catalogue"}).status, 0);
    const auto item = [](const std::string& type, const std::string& name) {
        return "<Kalydor32Material Type=\"" + type + "\"><ItemHeader><ItemName>" + name +
               "</ItemName><ItemPath>Metale\\</ItemPath></ItemHeader><Thickness>7.5</Thickness>"
               "</Kalydor32Material>";
    };
    writeFile(dir.file("in.xml"), "<?xml version=\"1.0\"?><Kalydor32Project>" + item("", "gol") +
                                      item("Necunoscut", "altul") + "</Kalydor32Project>");
    const CliRun imported = cli({"exchange", "import", table, dir.file("in.xml")});
    ASSERT_EQ(imported.status, 0);
    EXPECT_EQ(imported.out, "added 2, replaced 0, kept 0, skipped 0\n");
    const std::string out = dir.file("out.xml");
    ASSERT_EQ(cli({"exchange", "export", table, out}).status, 0);
    const std::string xml = readFile(out);
    for (const char* start :
         {"<Kalydor32Material Type=\"\" >", "<Kalydor32Material Type=\"Undefined\" >"}) {
        const std::size_t at = xml.find(start);
        ASSERT_NE(at, std::string::npos) << start << "\n" << xml;
        const std::size_t thickness = xml.find("<Thickness>", at);
        EXPECT_EQ(xml.substr(thickness, 26), "<Thickness>7.5</Thickness>") << start;
    }
    EXPECT_NE(xml.find("<ItemPath>Metale</ItemPath>"), std::string::npos) << xml;
}

// Every item of the shipped catalogues is stored: a name too long for the store or a value
// the reader refuses would silently shrink the catalogue.
TEST(ExchangeCommands, ShippedCataloguesImportCompletely) {
    TempDir dir;
    const std::string catalogues = std::string(KALYDOR_SOURCE_DIR) + "/resources/catalogues/";
    ASSERT_EQ(cli({"store", "create", dir.file("material.db"), "--catalogue"}).status, 0);
    const CliRun materials =
        cli({"exchange", "import", dir.file("material.db"), catalogues + "materials.txt", "--kind",
             "material", "--no-to-all"});
    EXPECT_EQ(materials.status, 0);
    EXPECT_EQ(materials.out, "added 43, replaced 0, kept 0, skipped 0\n");
    ASSERT_EQ(cli({"store", "create", dir.file("Project")}).status, 0);
    const CliRun panels = cli({"exchange", "import", dir.file("Project.db"),
                               catalogues + "constructions.xml", "--kind", "panel", "--no-to-all"});
    EXPECT_EQ(panels.status, 0);
    EXPECT_EQ(panels.out, "added 10, replaced 0, kept 0, skipped 0\n");

    // The constructions were stored calculated: every layered one has its resistance.
    registerConstructionItems();
    ItemStore project(dir.path().string(), "Project.db", TableMode::Open, TableKind::Project);
    int layered = 0;
    for (const Reference& record : project.ListRecords(RecordType::Panel)) {
        bool loaded = false;
        const std::unique_ptr<DBItem> item =
            LoadReferencedItem(project, ItemKind::Construction, record, loaded);
        ASSERT_TRUE(item && loaded) << record.Name;
        const auto& panel = static_cast<const Panel&>(*item);
        if (panel.isKnown())
            continue;
        ++layered;
        EXPECT_GT(panel.TotalResistance, 0.3f) << record.Name;
        EXPECT_EQ(panel.R, panel.RGived > 0 ? panel.RGived : panel.TotalResistance);
    }
    EXPECT_GE(layered, 6);
}

std::string materialRecord(const std::string& name, const std::string& thickness = "2") {
    return "\"KALYDOR32MATERIAL\" 1\r\n2024 1 1\r\n\"Beton\"\r\n\"" + name + "\"\r\n1\t0\t\r\n" +
           thickness + "\t2400\t1.74\t0\t0.84\t0\t0\t20\t\r\n\r\n";
}

// A shipped catalogue that starts with "AUTOYES" must not replace what the user chose to keep
// with --no-to-all; without an option on the command line the file's AUTOYES answers.
TEST(ExchangeCommands, TheCommandLineAnswerOutranksAutoYes) {
    TempDir dir;
    const std::string table = dir.file("m.db");
    ASSERT_EQ(cli({"store", "create", table, "--catalogue"}).status, 0);
    writeFile(dir.file("mine.txt"), materialRecord("Beton armat", "30") + "\"END\"\r\n");
    ASSERT_EQ(cli({"exchange", "import", table, dir.file("mine.txt")}).status, 0);
    writeFile(dir.file("shipped.txt"),
              "\"AUTOYES\"\r\n" + materialRecord("Beton armat", "10") + "\"END\"\r\n");
    const auto thickness = [&] {
        return jsonLines(cli({"material", "list", table}).out).at(0)["Thickness"].get<double>();
    };

    const CliRun kept = cli({"exchange", "import", table, dir.file("shipped.txt"), "--no-to-all"});
    EXPECT_EQ(kept.status, 0);
    EXPECT_EQ(kept.out, "added 0, replaced 0, kept 1, skipped 0\n");
    EXPECT_EQ(thickness(), 30);

    const CliRun replaced = cli({"exchange", "import", table, dir.file("shipped.txt")});
    EXPECT_EQ(replaced.out, "added 0, replaced 1, kept 0, skipped 0\n");
    EXPECT_EQ(thickness(), 10);
}

// Both imports store what they can and then end with status 1, the counts on the standard
// output and every item left out named on the standard error, with long texts cut.
TEST(ExchangeCommands, ItemsNotImportedAreNamedAfterTheRestIsStored) {
    TempDir dir;
    const std::string table = dir.file("m.db");
    ASSERT_EQ(cli({"store", "create", table, "--catalogue"}).status, 0);

    writeFile(dir.file("names.txt"), materialRecord("a") + materialRecord(std::string(40, 'n')) +
                                         materialRecord("b") + "\"END\"\r\n");
    const CliRun text = cli({"exchange", "import", table, dir.file("names.txt")});
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(text.out, "added 2, replaced 0, kept 0, skipped 1\n");
    EXPECT_NE(text.err.find("names.txt, line 10"), std::string::npos) << text.err;

    const auto element = [](const std::string& name) {
        return "<Kalydor32Material Type=\"Thick\"><ItemHeader><ItemName>" + name +
               "</ItemName><ItemPath>X</ItemPath></ItemHeader><Thickness>2</Thickness>"
               "</Kalydor32Material>";
    };
    const std::string huge(5u << 20, 'h');
    writeFile(dir.file("names.xml"), "<?xml version=\"1.0\"?><Kalydor32Project>" + element("c") +
                                         element(huge) + element("d") + "</Kalydor32Project>");
    const CliRun xml = cli({"exchange", "import", table, dir.file("names.xml")});
    EXPECT_EQ(xml.status, 1);
    EXPECT_EQ(xml.out, "added 2, replaced 0, kept 0, skipped 1\n");
    EXPECT_NE(xml.err.find(std::string(80, 'h') + "…"), std::string::npos);
    EXPECT_LT(xml.err.size(), 1000u);

    const CliRun missing = cli({"exchange", "import", table, dir.file("absent.xml")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("The XML file is not imported"), std::string::npos);
}

TEST(ExchangeCommands, ExportNamesTheItemsItLeavesOut) {
    TempDir dir;
    const std::string table = dir.file("m.db");
    ASSERT_EQ(cli({"store", "create", table, "--catalogue"}).status, 0);
    writeFile(dir.file("in.txt"),
              materialRecord("Beton armat") + materialRecord("Beton simplu") + "\"END\"\r\n");
    ASSERT_EQ(cli({"exchange", "import", table, dir.file("in.txt")}).status, 0);
    {
        ItemStore store(dir.directory(), "m.db", TableMode::Open, TableKind::Catalogue);
        const std::string group = store.GroupOfPath(RecordType::MaterialGroup, "Beton", '\\');
        ASSERT_TRUE(store.FindRecord(RecordType::Material, group, "Beton simplu"));
        store.setCurrentData(std::string("\x63\x00", 2)); // a version no program wrote
    }
    for (const char* out : {"out.txt", "out.xml"}) {
        const CliRun run = cli({"exchange", "export", table, dir.file(out)});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "written 1, unreadable 1\n");
        EXPECT_NE(run.err.find("Beton\\Beton simplu"), std::string::npos) << run.err;
    }
}

// The peak resident memory of one kalydor-cli run in kB, measured by the system (getrusage of
// the child); -1 when the run failed.
long peakKilobytes(const std::vector<std::string>& args) {
    const std::string program = std::string(KALYDOR_PROGRAM_DIR) + "/kalydor-cli";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}

// Text exchange files are read line by line: neither the size of a file nor a chain of
// included files nor one enormous comment line makes the import hold the file in memory.
// Three chained files of about 30 MB each (together more than the 64 MB allowed), each with
// one material, against the same materials in a file of a few lines.
TEST(ExchangeCommands, TextImportMemoryDoesNotGrowWithTheFiles) {
    TempDir dir;
    const auto material = [](const std::string& name) {
        return "\"KALYDOR32MATERIAL\" 1\r\n2024 1 1\r\n\"\"\r\n\"" + name +
               "\"\r\n1\t0\t\r\n2\t3\t4\t0\t5\t0\t0\t6\t\r\n\r\n";
    };
    const std::size_t size = 30u << 20;
    {
        std::ofstream top(dir.file("top.txt"), std::ios::binary);
        top << "\"INCLUDE\" \"long-comment.txt\"\r\n" << material("top") << "\"END\"\r\n";
        // One comment line of the whole size.
        std::ofstream comment(dir.file("long-comment.txt"), std::ios::binary);
        comment << "\"INCLUDE\" \"blank-lines.txt\"\r\n;" << std::string(size, 'c') << "\r\n"
                << material("comment") << "\"END\"\r\n";
        // Short blank and comment lines.
        std::ofstream blank(dir.file("blank-lines.txt"), std::ios::binary);
        const std::string lines = std::string(4000, ' ') + "\r\n; a comment \r\n  \t \r\n\r\n";
        for (std::size_t written = 0; written < size; written += lines.size())
            blank << lines;
        blank << material("blank") << "\"END\"\r\n";
    }
    {
        std::ofstream small(dir.file("small.txt"), std::ios::binary);
        small << material("top") << material("comment") << material("blank") << "\"END\"\r\n";
    }
    const auto peak = [&](const std::string& file) {
        const std::string table = dir.file(file + ".db");
        EXPECT_EQ(cli({"store", "create", table, "--catalogue"}).status, 0);
        const long kb = peakKilobytes({"exchange", "import", table, dir.file(file)});
        EXPECT_EQ(jsonLines(cli({"material", "list", table}).out).size(), 3u) << file;
        return kb;
    };
    const long small = peak("small.txt");
    const long large = peak("top.txt");
    ASSERT_GT(small, 0);
    ASSERT_GT(large, 0);
    EXPECT_LT(large - small, 64 * 1024) << "peak " << large << " kB against " << small << " kB";
}

} // namespace
} // namespace kalydor::test
