#include "cli/clirun.h"
#include "constructions/panel.h"
#include "constructions/registration.h"
#include "store/datamodule.h"
#include "store/itemkinds.h"
#include "store/reference.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

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
    EXPECT_EQ(panels.out, "added 9, replaced 0, kept 0, skipped 0\n");

    // The constructions were stored calculated: every layered one has its resistance.
    registerConstructionItems();
    TDataModuleForm project(dir.path().string(), "Project.db", TableMode::Open, TableKind::Project);
    int layered = 0;
    for (const Reference& record : project.ListRecords(RecordType::Panel)) {
        bool loaded = false;
        const std::unique_ptr<DBItem> item = LoadReferencedItem(project, 2, record, loaded);
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

} // namespace
} // namespace kalydor::test
