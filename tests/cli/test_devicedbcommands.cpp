// The device database from the command line, on the shipped sample sources: they import
// completely with believable values, travel through export and set files, and every error
// names what was wrong.

#include "cli/clirun.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace kalydor::test {
namespace {

const std::string kDevices = std::string(KALYDOR_SOURCE_DIR) + "/resources/catalogues/devices/";

std::vector<nlohmann::json> listed(const std::string& table,
                                   const std::vector<std::string>& more = {}) {
    std::vector<std::string> args{"devicedb", "list", table};
    args.insert(args.end(), more.begin(), more.end());
    return jsonLines(cli(args).out);
}

class DeviceDatabaseCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(cli({"devicedb", "create", table}).status, 0);
        const CliRun run =
            cli({"devicedb", "import", table, kDevices + "master.xml", "--no-to-all"});
        ASSERT_EQ(run.status, 0) << run.err;
        imported = nlohmann::json::parse(run.out);
    }
    TempDir dir;
    const std::string table = dir.file("Kalydor32.db");
    nlohmann::json imported;
};

TEST_F(DeviceDatabaseCommands, TheSampleSourcesImportCompletelyWithSaneValues) {
    // master.xml, then the six files it includes, castiron-spare.txt inside castiron.txt.
    EXPECT_EQ(imported["Files"], 7);
    EXPECT_EQ(imported["Added"], 13);
    EXPECT_EQ(imported["Resets"], 2);
    const std::vector<nlohmann::json> items = listed(table);
    ASSERT_EQ(items.size(), 13u);
    for (const nlohmann::json& item : items) {
        SCOPED_TRACE(item.dump());
        const std::string kind = item["Kind"] == 0 ? "radiator" : "piecelist";
        const CliRun shown = cli({"devicedb", "show", table, item["Name"], "--kind", kind});
        ASSERT_EQ(shown.status, 0) << shown.err;
        const nlohmann::json full = nlohmann::json::parse(shown.out);
        EXPECT_FALSE(full["Path"].get<std::string>().empty());
        if (item["Kind"] != 0)
            continue;
        // Every size has an output, a surface, water and an exponent of radiators, and the
        // output rises within each main type.
        for (const nlohmann::json& type : full["MainTypes"]) {
            double last = 0;
            for (int i = 0; i < type["SizeCount"].get<int>(); ++i) {
                const nlohmann::json& size = full["Sizes"][type["FirstSize"].get<int>() + i];
                const double power = size["Power"];
                EXPECT_GT(power, last) << size["Name"];
                last = power;
                EXPECT_GT(size["Surface"].get<double>(), 0);
                EXPECT_GT(size["Volume"].get<double>(), 0);
                EXPECT_GE(size["Exponent"].get<double>(), 1.2);
                EXPECT_LE(size["Exponent"].get<double>(), 1.4);
                EXPECT_GT(size["Length"].get<int>(), 0);
            }
        }
    }

    // Type 22, 600 mm high and 1 m long gives the published 1,709 W at 75/65/20 °C.
    const nlohmann::json panel = nlohmann::json::parse(
        cli({"devicedb", "show", table, "Calor tip 22", "--temperatures", "75", "65", "20"}).out);
    EXPECT_DOUBLE_EQ(panel["Ratio"].get<double>(), 1.0);
    const auto& sizes = panel["Sizes"];
    const auto metre = std::find_if(sizes.begin(), sizes.end(), [](const nlohmann::json& s) {
        return s["Name"] == "22-600-1000";
    });
    ASSERT_NE(metre, sizes.end());
    EXPECT_EQ((*metre)["PowerAt"], 1709);
    // The version-0 family is given at 90/70/20 °C and keeps 60 K: there its ratio is 1 and
    // a 1 m panel gives 1.27 × 1,709 = 2,170 W.
    const nlohmann::json old = nlohmann::json::parse(
        cli({"devicedb", "show", table, "Panou vechi T22/600", "--temperatures", "90", "70", "20"})
            .out);
    EXPECT_EQ(old["DTOrigin"], 60.0); // its source is version 0, which has no DTOrigin
    EXPECT_NEAR(old["Ratio"].get<double>(), 1.0, 1e-5);
    EXPECT_EQ(old["Sizes"][3]["PowerAt"], 2170);
    // The XML texts follow the language: the English name of the mixed family, its Romanian
    // one with --lang.
    const std::string romanian = dir.file("ro.db");
    ASSERT_EQ(cli({"devicedb", "create", romanian}).status, 0);
    ASSERT_EQ(
        cli({"devicedb", "import", romanian, kDevices + "master.xml", "--lang", "Român"}).status,
        0);
    std::vector<std::string> names;
    for (const nlohmann::json& item : listed(romanian))
        names.push_back(item["Name"]);
    EXPECT_NE(std::find(names.begin(), names.end(), "Panou Calor 11-22-33"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Alu Calor 500/350"), names.end());
}

TEST_F(DeviceDatabaseCommands, ExportSetsReductionAndEstimateCodes) {
    const std::string set = dir.file("choice.set");
    const CliRun written =
        cli({"devicedb", "set", table, set, "--write", "Calor tip 11", "@CONSOLE"});
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(jsonLines(written.out).size(), 2u);

    for (const char* file : {"out.txt", "out.xml"}) {
        SCOPED_TRACE(file);
        const CliRun exported = cli({"devicedb", "export", table, dir.file(file), "--set", set});
        ASSERT_EQ(exported.status, 0) << exported.err;
        EXPECT_EQ(nlohmann::json::parse(exported.out)["Written"], 2);
        const std::string other = dir.file(std::string(file) + ".db");
        ASSERT_EQ(cli({"devicedb", "create", other}).status, 0);
        EXPECT_EQ(
            nlohmann::json::parse(cli({"devicedb", "import", other, dir.file(file)}).out)["Added"],
            2);
    }

    const std::string small = dir.file("small.db");
    EXPECT_EQ(cli({"devicedb", "reduce", table, set, small}).out, "{\"Copied\":2}\n");
    const std::vector<nlohmann::json> reduced = listed(small);
    ASSERT_EQ(reduced.size(), 2u);
    EXPECT_EQ(reduced[0]["Path"], "Oțel\\Panouri\\Pe tipuri");
    const std::vector<nlohmann::json> marked = listed(table, {"--set", set});
    EXPECT_EQ(std::count_if(marked.begin(), marked.end(),
                            [](const nlohmann::json& i) { return i["Selected"] == true; }),
              2);

    const std::string link = dir.file("deviz.ocs");
    writeFile(link, "FONTA-580-160;\tknown\r\n");
    const std::vector<nlohmann::json> codes =
        jsonLines(cli({"devicedb", "estimate-codes", table, link}).out);
    EXPECT_GT(codes.size(), 100u);
    for (const nlohmann::json& code : codes) {
        EXPECT_NE(code["Code"].get<std::string>().front(), '@');
        EXPECT_NE(code["Code"], "FONTA-580-160");
    }
    EXPECT_EQ(jsonLines(cli({"devicedb", "estimate-codes", table, link}).out).size(), 0u);

    EXPECT_EQ(cli({"devicedb", "delete", table, "radiator", "--folder", "Oțel", "--yes"}).out,
              "{\"Deleted\":true}\n");
    EXPECT_EQ(listed(table).size(), 13u - 8u);
}

TEST_F(DeviceDatabaseCommands, ErrorsNameWhatWasWrong) {
    const std::string bad = dir.file("bad.txt");
    writeFile(
        bad, "\"KALYDOR32RADIATOR\" 1\r\n2026 1 1\r\n\"X\"\r\n\"Y\"\r\n\"\"\r\n\"DT\" 50\r\n1\r\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* inError;
    };
    const Case cases[] = {
        {{"devicedb", "list", dir.file("missing.db")}, 1, "missing.db"},
        {{"devicedb", "import", table, bad}, 1, "bad.txt"},
        {{"devicedb", "show", table, "no such family"}, 1, "no such family"},
        {{"devicedb", "show", table, "Calor tip 22", "--temperatures", "60", "70", "20"},
         1,
         "IDS_DTLOGERROR"},
        {{"devicedb", "set", table, dir.file("s.set"), "--write", "nobody"}, 1, "nobody"},
        {{"devicedb", "reduce", table, dir.file("missing.set"), dir.file("r.db")},
         1,
         "missing.set"},
        {{"devicedb", "reduce", table, dir.file("s2.set"), table}, 1, ""},
        {{"devicedb", "delete", table, "radiator"}, 2, "--folder"},
        {{"devicedb", "show", table, "x", "--kind", "boiler"}, 2, "radiator or piecelist"},
        {{"devicedb", "import", table}, 2, "source"},
    };
    ASSERT_EQ(cli({"devicedb", "set", table, dir.file("s2.set"), "--write", "@CONSOLE"}).status, 0);
    for (const Case& c : cases) {
        const CliRun run = cli(c.args);
        SCOPED_TRACE(c.args[1] + " " + run.err);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.inError), std::string::npos);
    }
    // The failed import printed what it had done: nothing, its one item being broken.
    const CliRun failed = cli({"devicedb", "import", table, bad});
    EXPECT_EQ(nlohmann::json::parse(failed.out)["Added"], 0);
    EXPECT_EQ(listed(table).size(), 13u);
}

} // namespace
} // namespace kalydor::test
