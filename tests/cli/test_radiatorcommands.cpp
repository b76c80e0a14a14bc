// The radiator rules from the command line: one file with every request kind, figures checked
// against published factors and hand calculations, and requests that are refused.

#include "cli/clirun.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kalydor::test {
namespace {

const std::string kRequests = std::string(KALYDOR_TEST_DATA) + "/radiator/requests.json";

nlohmann::json byId(const nlohmann::json& results, const std::string& id) {
    for (const nlohmann::json& result : results)
        if (result.contains("Id") && result["Id"] == id)
            return result;
    ADD_FAILURE() << "no result " << id;
    return {};
}

TEST(RadiatorCommands, EveryRequestKindWithItsFigures) {
    const CliRun run = cli({"radiator", "calc", kRequests, "--lang", "English"});
    // Three requests fail alone: the command reports them and exits 1.
    EXPECT_EQ(run.status, 1) << run.err;
    const nlohmann::json results = nlohmann::json::parse(run.out);
    ASSERT_EQ(results.size(), 15u);

    // EN 442: 70/55/20 against the 75/65/20 rating, n 1.3: 0.802.
    const nlohmann::json log = byId(results, "log 70/55");
    EXPECT_NEAR(std::pow(log["Ratio"].get<double>(), 1.3), 0.802, 0.0005);
    EXPECT_NEAR(log["DeltaT"].get<double>(), 15 / std::log(50.0 / 35.0), 1e-9);
    EXPECT_NEAR(byId(results, "catalogue point")["Ratio"].get<double>(), 1.0, 1e-5);
    // (62.5 − 20) / 50 = 0.85; 0.85^1.3 × 1000 = 809.66 → 810 W.
    EXPECT_EQ(byId(results, "arithmetic 70/55")["Q"], 810.0);
    EXPECT_EQ(byId(results, "given ratio")["Q"], 891.0);

    const nlohmann::json flow = byId(results, "1000 W at 90/70");
    EXPECT_NEAR(flow["MassFlow"].get<double>(), 43.13, 0.005);
    EXPECT_NEAR(flow["VolumeFlowLpm"].get<double>(), flow["VolumeFlow"].get<double>() * 16.666666,
                1e-12);
    EXPECT_TRUE(byId(results, "no density")["VolumeFlow"].is_null());
    EXPECT_EQ(byId(results, "70/70")["Error"], "IDS_DTLOGERROR");
    EXPECT_EQ(byId(results, "no specific heat")["Error"], "IDS_MEDIUMERROR");
    const nlohmann::json origin = byId(results, "bad origin");
    EXPECT_EQ(origin["Error"], "IDS_RADIATORDATAERROR");
    EXPECT_NE(origin["Message"].get<std::string>().find("request"), std::string::npos);

    const nlohmann::json reaching = byId(results, "reaching 500 W");
    EXPECT_EQ(reaching["Index"], 2);
    EXPECT_EQ(reaching["Name"], "c");
    EXPECT_EQ(reaching["Powers"], nlohmann::json({400.0, 480.0, 520.0, 600.0}));
    EXPECT_EQ(byId(results, "nearest, current only")["Name"], "c");
    const nlohmann::json none = byId(results, "no sizes");
    EXPECT_EQ(none["Index"], -1);
    EXPECT_TRUE(none["Name"].is_null());
    EXPECT_EQ(byId(results, "by position")["Name"], "y");

    // Returns 21 … 27 °C for a forward of 30 °C at 20 °C; the flow in l/min.
    const nlohmann::json chart = byId(results, "chart")["Points"];
    ASSERT_EQ(chart.size(), 7u);
    EXPECT_EQ(chart[0][0], 21.0);
    const double q = chart[6][1].get<double>();
    EXPECT_NEAR(chart[6][2].get<double>(), q / 3 / 4173 / 971.9 * 3600 * 16.666666, 1e-6);
    const nlohmann::json dry = byId(results, "chart m3/h, no density")["Points"];
    ASSERT_EQ(dry.size(), 2u);
    EXPECT_TRUE(dry[0][2].is_null());
}

TEST(RadiatorCommands, RequestsThatAreNotWellFormedFailTheCommand) {
    TempDir dir;
    const std::string file = dir.file("request.json");
    struct Case {
        const char* json;
        const char* message; // part of the error, naming request and key
    };
    const Case cases[] = {
        {R"({"op":"MassFlow","Id":"a","Power":1000,"Forward":90})", "request 1 \"a\": \"Return\""},
        {R"([{"op":"ThermalRatio","Forward":90,"Return":70,"Room":20},
             {"op":"SizePower","Power":"x","Exponent":1,"Ratio":1}])",
         "request 2: \"Power\" must be a number"},
        {R"({"op":"MassFlow","Power":1000,"Forward":90,"Return":70,"Rho":1})", "Rho"},
        {R"({"op":"Nope"})", "unknown \"op\""},
        {R"({"op":"SizePower","Power":1,"Exponent":1,"Ratio":1,"Forward":90})", "not both"},
        {R"({"op":"ChooseSize","Demand":1,"Ratio":1,"Sizes":[{"Power":1}]})",
         "request 1, size 1: \"Exponent\""},
        {R"({"op":"MassFlow","Power":1e39,"Forward":90,"Return":70})", "Power"},
        {R"({"op":"PowerCurve","Power":1,"Exponent":1,"Forward":90,"Room":20,"Unit":"K"})",
         "\"Unit\""},
        {R"({"op":"ChooseSizeAt","Position":1.5,"Sizes":[]})", "\"Position\""},
        {"[1]", "\"op\""},
        {"nonsense", "not valid JSON"},
    };
    for (const Case& c : cases) {
        std::ofstream(file, std::ios::binary) << c.json;
        const CliRun run = cli({"radiator", "calc", file, "--lang", "English"});
        EXPECT_EQ(run.status, 1) << c.json;
        EXPECT_TRUE(run.out.empty()) << c.json;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.json << "\n" << run.err;
    }
    EXPECT_EQ(cli({"radiator", "calc"}).status, 2);
    EXPECT_EQ(cli({"radiator", "calc", file, "--unit"}).status, 2);
}

} // namespace
} // namespace kalydor::test
