#include "cli/clirun.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

// A 20 cm aerated-concrete wall (R = 0.2 / 0.1 = 2.0) and an EPS-insulated wall with a dense
// outer render, where vapour condenses in the insulation.
const char* kPanels = R"([
 {"Name": "BCA", "Type": "OutsideWall", "OutSideTemp": -15, "InSideTemp": 20,
  "OutSideAlpha": 24, "InSideAlpha": 8, "OutSideRelHum": 85, "InSideRelHum": 40,
  "DiffusionDays": 60, "SurfaceTemperatureDifference": 4,
  "Layers": [{"Name": "BCA", "Kind": "Normal", "Thickness": 20, "Density": 1000,
              "ThermalCond": 0.1, "HeatCapacity": 1.0, "SteamDiffResNum": 5,
              "Sorption": [0.1, 0.2, 0.3, 0.5, 0.7, 1, 1.4, 2, 3, 5], "PermitHumidity": 4}]},
 {"Name": "Condens", "Type": 0, "OutSideTemp": -15, "InSideTemp": 20,
  "OutSideAlpha": 24, "InSideAlpha": 8, "OutSideRelHum": 85, "InSideRelHum": 65,
  "DiffusionDays": 60,
  "Layers": [{"Name": "Tencuiala", "Thickness": 3, "Density": 2000, "ThermalCond": 1.0,
              "HeatCapacity": 0.9, "SteamDiffResNum": 200},
             {"Name": "Vata", "Thickness": 10, "Density": 100, "ThermalCond": 0.04,
              "HeatCapacity": 0.9, "SteamDiffResNum": 1.2},
             {"Name": "Gips", "Thickness": 1.25, "Density": 900, "ThermalCond": 0.25,
              "HeatCapacity": 0.9, "SteamDiffResNum": 8}]}
])";

TEST(PanelCommands, CalculatesConstructionsFromJson) {
    test::TempDir dir;
    const std::string file = dir.file("panels.json");
    test::writeFile(file, kPanels);
    const test::CliRun run = test::cli({"panel", "calc", file, "--diagram"});
    ASSERT_EQ(run.status, 0);
    const nlohmann::json out = nlohmann::json::parse(run.out);
    ASSERT_EQ(out.size(), 2u);
    const nlohmann::json& bca = out[0];
    EXPECT_EQ(bca["Name"], "BCA");
    // 2.0 + 1/24 + 1/8 = 2.1666667, U = 0.46; θsi = 20 − 35 / (2.1666667 · 8) = 17.98077.
    EXPECT_NEAR(bca["TotalResistance"].get<double>(), 2.1666667, 1e-6);
    EXPECT_EQ(bca["U"].get<double>(), 0.46); // the float's shortest decimal
    EXPECT_NEAR(bca["SurfaceTemperature"].get<double>(), 17.98077, 1e-4);
    EXPECT_EQ(bca["Messages"], nlohmann::json::array());
    EXPECT_EQ(bca["Layers"][0]["State"], 0);
    EXPECT_EQ(bca["Diagram"]["Saturation"].size(), 129u);

    const nlohmann::json& cond = out[1];
    EXPECT_EQ(cond["Layers"][1]["State"], 2);
    EXPECT_EQ(cond["Messages"], nlohmann::json::array({12})); // the simple check by default
    EXPECT_NE(cond["MessageText"].get<std::string>().find("(Vata)"), std::string::npos);

    // The full check and the English texts.
    const test::CliRun full = test::cli({"panel", "calc", file, "--simple-humidity", "off",
                                         "--lang", "English", "--outside-design-temp", "-20"});
    ASSERT_EQ(full.status, 0);
    const nlohmann::json fullOut = nlohmann::json::parse(full.out);
    EXPECT_NEAR(fullOut[0]["SurfaceTemperature"].get<double>(), 20 - 40 / (2.1666667 * 8), 1e-4);
    EXPECT_EQ(fullOut[1]["Messages"], nlohmann::json::array({14})); // no isotherms given
    EXPECT_NE(fullOut[1]["MessageText"], cond["MessageText"]);
}

TEST(PanelCommands, BadInputIsAnErrorAndBadUseAUsageError) {
    test::TempDir dir;
    const std::string bad = dir.file("bad.json");
    for (const char* text : {"{\"Layers\": [", "{\"Type\": \"Tower\"}", "{\"x\": \"wide\"}",
                             "{\"Layers\": [{\"Kind\": \"Stone\"}]}", "[1, 2]",
                             "{\"Layers\": [{\"Sorption\": [1,2,3,4,5,6,7,8,9,10,11]}]}"}) {
        test::writeFile(bad, text);
        EXPECT_EQ(test::cli({"panel", "calc", bad}).status, 1) << text;
    }
    EXPECT_EQ(test::cli({"panel", "calc", dir.file("missing.json")}).status, 1);
    EXPECT_EQ(test::cli({"panel", "calc"}).status, 2);
    EXPECT_EQ(test::cli({"panel", "calc", bad, "--simple-humidity", "maybe"}).status, 2);
    EXPECT_EQ(test::cli({"panel", "calc", bad, "--outside-design-temp", "cold"}).status, 2);
}

// The constructions written out as an exchange file (either form) and calculated again from
// it give the same results; the shipped construction catalogue is such a file.
TEST(PanelCommands, ExchangeFilesInAndOut) {
    test::TempDir dir;
    test::writeFile(dir.file("panels.json"), kPanels);
    const test::CliRun fromJson =
        test::cli({"panel", "calc", dir.file("panels.json"), "--export", dir.file("panels.xml")});
    ASSERT_EQ(fromJson.status, 0);
    ASSERT_EQ(
        test::cli({"panel", "calc", dir.file("panels.json"), "--export", dir.file("panels.txt")})
            .status,
        0);
    const nlohmann::json expected = nlohmann::json::parse(fromJson.out);
    for (const char* file : {"panels.xml", "panels.txt"}) {
        SCOPED_TRACE(file);
        const test::CliRun again = test::cli({"panel", "calc", dir.file(file)});
        ASSERT_EQ(again.status, 0);
        const nlohmann::json results = nlohmann::json::parse(again.out);
        ASSERT_EQ(results.size(), expected.size());
        for (std::size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i]["Name"], expected[i]["Name"]);
            EXPECT_NEAR(results[i]["R"].get<double>(), expected[i]["R"].get<double>(), 1e-4);
            EXPECT_EQ(results[i]["Messages"], expected[i]["Messages"]);
        }
    }

    const test::CliRun catalogue =
        test::cli({"panel", "calc",
                   std::string(KALYDOR_SOURCE_DIR) + "/resources/catalogues/constructions.xml"});
    ASSERT_EQ(catalogue.status, 0);
    EXPECT_EQ(nlohmann::json::parse(catalogue.out).size(), 10u);
    test::writeFile(dir.file("broken.xml"), "<Kalydor32Project><Kalydor32Panel Type=");
    EXPECT_EQ(test::cli({"panel", "calc", dir.file("broken.xml")}).status, 1);
}

// A misspelt key would leave its value at 0 and give a plausible, wrong result (a layer with
// no conductivity counts as no layer: U 6.0 instead of 0.46); values no field can take would
// be calculated into infinities. Each is refused, naming the key and where it stands.
TEST(PanelCommands, UnknownKeysAndValuesOutOfRangeAreRefusedByName) {
    test::TempDir dir;
    const auto wall = [](const std::string& panelExtra, const std::string& layerExtra) {
        return R"({"Name": "W", "Type": "OutsideWall", "OutSideAlpha": 24, "InSideAlpha": 8)" +
               panelExtra + R"(, "Layers": [{"Name": "Brick", "Thickness": 20, "Density": 1000,
               "HeatCapacity": 1, "SteamDiffResNum": 5)" +
               layerExtra + "}]}";
    };
    const struct {
        const char* what;
        std::string json;
        std::string message; ///< in the English message, "" when the file is taken
    } cases[] = {
        {"misspelt layer key", wall("", R"(, "ThermalCondutivity": 0.1)"),
         "panel 1 \"W\", layer 1 \"Brick\": the key “ThermalCondutivity” is not known"},
        {"misspelt construction key", wall(R"(, "InsideTemp": 20)", R"(, "ThermalCond": 0.1)"),
         "panel 1 \"W\": the key “InsideTemp” is not known"},
        {"comments", wall(R"(, "_note": "checked")", R"(, "ThermalCond": 0.1, "_src": 1)"), ""},
        {"a computed value given to a layered construction",
         wall(R"(, "R": 3)", R"(, "ThermalCond": 0.1)"), "the key “R” is not used"},
        {"no conductivity and no resistance", wall("", ""), "needs “ThermalCond”"},
        {"a sorption value beyond any float",
         wall("", R"(, "ThermalCond": 0.1, "Sorption": [1, 1e308])"), "“Sorption” is 1e+308"},
        {"a diagram value beyond any float",
         wall("", R"(, "ThermalCond": 0.1, "Diagram": [[1e308, 1]])"), "“Diagram” is 1e+308"},
        {"a negative thickness", wall("", R"(, "ThermalCond": 0.1, "ThermalRes": -1)"),
         "“ThermalRes” must not be negative"},
        {"a glazed share above 100 %", wall(R"(, "GlassRatio": 150)", R"(, "ThermalCond": 0.1)"),
         "“GlassRatio” is 150"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = dir.file("wall.json");
        test::writeFile(file, c.json);
        const test::CliRun run = test::cli({"panel", "calc", file});
        if (c.message.empty()) {
            EXPECT_EQ(run.status, 0) << run.err;
            continue;
        }
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    // The message follows the language asked for; its key stays the same.
    test::writeFile(dir.file("wall.json"), wall("", R"(, "Lambda": 1)"));
    const test::CliRun romanian =
        test::cli({"panel", "calc", dir.file("wall.json"), "--lang", "Român"});
    EXPECT_NE(romanian.err.find("cheia „Lambda” nu este cunoscută"), std::string::npos)
        << romanian.err;
    EXPECT_NE(romanian.err.find("[IDS_JSONUNKNOWNKEY]"), std::string::npos);
}

// Six metres of heavy construction in thirty layers attenuate the daily wave beyond any number
// a file can hold: the result is bounded and flagged, and both exchange files written from it
// import again.
TEST(PanelCommands, AnOverflowingAttenuationIsBoundedAndExportable) {
    test::TempDir dir;
    std::string layers;
    for (int i = 0; i < 30; ++i)
        layers += std::string(i ? "," : "") +
                  R"({"Name": "Izolatie grea", "Thickness": 20, "Density": 2400,
                      "ThermalCond": 0.04, "HeatCapacity": 0.84, "SteamDiffResNum": 5})";
    test::writeFile(dir.file("thick.json"),
                    R"({"Name": "Zid", "Type": 0, "OutSideTemp": -15, "InSideTemp": 20,
                        "OutSideAlpha": 24, "InSideAlpha": 8, "OutSideRelHum": 85,
                        "InSideRelHum": 60, "Layers": [)" +
                        layers + "]}");
    ASSERT_EQ(test::cli({"store", "create", dir.file("P")}).status, 0);
    for (const char* out : {"thick.xml", "thick.txt"}) {
        SCOPED_TRACE(out);
        const test::CliRun run =
            test::cli({"panel", "calc", dir.file("thick.json"), "--export", dir.file(out)});
        ASSERT_EQ(run.status, 0) << run.err;
        const nlohmann::json result = nlohmann::json::parse(run.out)[0];
        EXPECT_EQ(result["DampFactor"].get<double>(), 1e38);
        EXPECT_EQ(result["Flags"][2].get<int>() & 1, 1);
        const std::string written = test::readFile(dir.file(out));
        EXPECT_EQ(written.find("INF"), std::string::npos);
        EXPECT_EQ(written.find("NAN"), std::string::npos);
        const test::CliRun imported = test::cli({"exchange", "import", dir.file("P.db"),
                                                 dir.file(out), "--kind", "panel", "--yes-to-all"});
        EXPECT_EQ(imported.status, 0) << imported.err;
        EXPECT_NE(imported.out.find("skipped 0\n"), std::string::npos) << imported.out;
    }
}

} // namespace
} // namespace kalydor
