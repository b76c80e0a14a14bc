// The changes of many rooms from the command line, one case each: constructions (listed,
// chosen, changed), temperatures, moving rooms, turning them; and the refusals that change
// nothing.

#include "cli/clirun.h"
#include "support/tempdir.h"

#include "heating/radiator.h"
#include "rooms/room.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

namespace kalydor::test {
namespace {

class BulkCommands : public ::testing::Test {
protected:
    void SetUp() override {
        file = dir.file("p.db");
        ASSERT_EQ(cli({"store", "create", file}).status, 0);
        const nlohmann::json wall = {{"Name", "Perete"}, {"Type", 0},     {"db", 1},
                                     {"x", 5},           {"y", 2.5},      {"k", 2},
                                     {"Massivitate", 1}, {"Compass", 350}};
        const nlohmann::json window = {
            {"Name", "Fereastra"}, {"Type", 10},    {"db", 1}, {"x", 1}, {"y", 1}, {"k", 0.5},
            {"Massivitate", 1},    {"Compass", 350}};
        const auto room = [&](const char* name, const char* group) {
            return nlohmann::json{{"Name", name},
                                  {"Group", group},
                                  {"Building", "Casa"},
                                  {"FiltMode", 3},
                                  {"FiltPower", 100},
                                  {"AcCalculated", 0},
                                  {"Boundaries", {wall, window}}};
        };
        const nlohmann::json input = {
            {"Buildings", {{{"Name", "Casa"}}, {{"Name", "Garaj"}}}},
            {"Rooms",
             {room("Living", "Parter"), room("Baie", "Parter\\Est"), room("Pod", "Etaj")}}};
        std::ofstream(dir.file("in.json")) << input.dump();
        const CliRun made = cli({"project", "import-json", file, dir.file("in.json")});
        ASSERT_EQ(made.status, 0) << made.err;
    }

    // Each room as `project calc --dry-run` shows it, by name.
    std::map<std::string, nlohmann::json> rooms() { return calculatedRooms(file); }

    TempDir dir;
    std::string file;
};

TEST_F(BulkCommands, ConstructionsListedChosenAndChanged) {
    const CliRun dry = cli({"project", "change-constructions", file, "--kind", "OutsideWindow",
                            "--set", "k=0.8", "--dry-run"});
    ASSERT_EQ(dry.status, 0) << dry.err;
    const nlohmann::json listed = nlohmann::json::parse(dry.out)["Matches"];
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[1]["Index"], 1);
    EXPECT_EQ(rooms()["Living"]["Boundaries"][1]["k"], 0.5); // a dry run writes nothing

    // The match of the room "Baie" alone, by its index in the list.
    std::size_t baie = 0;
    for (std::size_t i = 0; i < listed.size(); ++i)
        if (listed[i]["Room"] == "Baie")
            baie = i;
    const CliRun run = cli({"project", "change-constructions", file, "--kind", "10", "--set",
                            "k=0.8", "--set", "Name=Termopan", "--only", std::to_string(baie)});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json out = nlohmann::json::parse(run.out);
    EXPECT_EQ(out["Rooms"], 1);
    EXPECT_EQ(out["Boundaries"], 1);
    std::map<std::string, nlohmann::json> now = rooms();
    EXPECT_EQ(now["Baie"]["Boundaries"][1]["k"], 0.8);
    EXPECT_EQ(now["Baie"]["Boundaries"][1]["Name"], "Termopan");
    EXPECT_EQ(now["Living"]["Boundaries"][1]["k"], 0.5);

    // Nothing found changes nothing; the buildings are totalled all the same.
    const CliRun none = cli({"project", "change-constructions", file, "--kind", "10", "--name",
                             "Nimic", "--set", "k=1"});
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_EQ(nlohmann::json::parse(none.out)["Rooms"], 0);
}

TEST_F(BulkCommands, TemperaturesMovesAndTurns) {
    const CliRun temperatures = cli({"project", "set-temperatures", file, "--inside", "24",
                                     "--outside", "-20", "--room", "Parter"});
    ASSERT_EQ(temperatures.status, 0) << temperatures.err;
    EXPECT_EQ(nlohmann::json::parse(temperatures.out)["Rooms"], 2); // Parter and Parter\Est
    std::map<std::string, nlohmann::json> now = rooms();
    EXPECT_EQ(now["Baie"]["HeatingInSideTemp"], 24.0);
    EXPECT_EQ(now["Baie"]["OutSideTempFromProject"], 0);
    EXPECT_EQ(now["Pod"]["HeatingInSideTemp"], 20.0);
    ASSERT_EQ(cli({"project", "set-temperatures", file, "--outside", "project"}).status, 0);
    EXPECT_EQ(rooms()["Baie"]["OutSideTempFromProject"], 1);

    const CliRun moved = cli({"project", "move-rooms", file, "Garaj", "--room", "Etaj\\Pod"});
    ASSERT_EQ(moved.status, 0) << moved.err;
    EXPECT_EQ(rooms()["Pod"]["Building"], "Garaj");

    const CliRun turned = cli({"project", "rotate", file, "--by", "20", "--room", "Etaj"});
    ASSERT_EQ(turned.status, 0) << turned.err;
    EXPECT_EQ(nlohmann::json::parse(turned.out)["Boundaries"], 2);
    EXPECT_EQ(rooms()["Pod"]["Boundaries"][0]["Compass"], 10);
    ASSERT_EQ(cli({"project", "rotate", file, "--mirror", "90", "--room", "Etaj"}).status, 0);
    EXPECT_EQ(rooms()["Pod"]["Boundaries"][0]["Compass"], 170);
}

TEST_F(BulkCommands, RefusalsChangeNothing) {
    const std::map<std::string, nlohmann::json> before = rooms();
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"change-constructions", file, "--kind", "10", "--set", "R=1"}, 2},
        {{"change-constructions", file, "--kind", "10", "--set", "Massivitate=0"}, 1},
        {{"change-constructions", file, "--kind", "9", "--set", "k=1"}, 1},
        {{"change-constructions", file, "--kind", "10", "--set", "k=1", "--only", "7"}, 1},
        {{"change-constructions", file, "--set", "k=1"}, 2},
        {{"set-temperatures", file, "--inside", "cald"}, 1},
        {{"set-temperatures", file, "--inside", "22", "--room", "Nicaieri"}, 1},
        {{"move-rooms", file, "Nimeni"}, 1},
        {{"rotate", file, "--by", "spre nord"}, 1},
        {{"rotate", file}, 2},
        {{"rotate", file, "--by", "1", "--mirror", "2"}, 2},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"project"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, c.status) << c.args[0] << " " << c.args.back() << ": " << run.err;
        EXPECT_FALSE(run.err.empty()) << c.args.back();
    }
    EXPECT_EQ(rooms(), before);
}

// Radiators of the shipped device table: a Calor type 11 panel of each room becomes a type 22
// at 70/50 °C with its size chosen again.
TEST_F(BulkCommands, RadiatorsTriedThenChanged) {
    {
        ItemStore project(dir.path().string(), "p.db", TableMode::Open, TableKind::Project);
        for (const Reference& record : project.ListRecords(RecordType::Room)) {
            ASSERT_TRUE(project.FindRecord(RecordType::Room, record.RefID, record.Name));
            Room room;
            ASSERT_TRUE(readStoredItem(room, project.currentData()));
            Radiator radiator;
            radiator.Mark = "1";
            radiator.Family = "Calor tip 11";
            radiator.TypeCode = "11-600-800";
            radiator.setForwardTemperature(90);
            radiator.setBackwardTemperature(70);
            radiator.setPower(1000);
            room.Radiators = {radiator};
            project.setCurrentData(room.recordBytes());
        }
    }
    const std::vector<std::string> change = {
        "project", "change-radiators",  file,     "--forward",
        "70",      "--keep-difference", "--rule", "Calor tip 11#11/600#Calor tip 22#22/600"};
    std::vector<std::string> dry = change;
    dry.push_back("--dry-run");
    const CliRun listed = cli(dry);
    ASSERT_EQ(listed.status, 0) << listed.err;
    const nlohmann::json matches = nlohmann::json::parse(listed.out)["Matches"];
    ASSERT_EQ(matches.size(), 3u);
    EXPECT_EQ(matches[0]["OldTypeCode"], "11-600-800");
    EXPECT_EQ(matches[0]["NewTypeCode"].get<std::string>().rfind("22-600-", 0), 0u);

    std::vector<std::string> first = change;
    first.insert(first.end(), {"--only", "0"});
    const CliRun run = cli(first);
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json out = nlohmann::json::parse(run.out);
    EXPECT_EQ(out["Rooms"], 1);
    EXPECT_EQ(out["Radiators"], 1);

    // Both temperatures with the difference kept is refused; nothing changes.
    const CliRun refused = cli({"project", "change-radiators", file, "--forward", "70", "--return",
                                "50", "--keep-difference"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("IDS_FIXDTERROR"), std::string::npos) << refused.err;
    EXPECT_EQ(cli({"project", "change-radiators", file, "--rule", "A#B"}).status, 1);
}

TEST_F(BulkCommands, SettingsFileSavedAndLoaded) {
    const std::string kps = dir.file("setari.kps");
    const CliRun saved = cli({"settings", "save", file, kps});
    ASSERT_EQ(saved.status, 0) << saved.err;
    std::ifstream in(kps, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string from = "<Heating OutSideTemp=\"-15\"";
    ASSERT_NE(text.find(from), std::string::npos) << text.substr(0, 400);
    text.replace(text.find(from), from.size(), "<Heating OutSideTemp=\"-20\"");
    std::ofstream(kps, std::ios::binary) << text;

    const double before = rooms()["Pod"]["HeatingPower"];
    const CliRun loaded = cli({"settings", "load", file, kps});
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    const nlohmann::json out = nlohmann::json::parse(loaded.out);
    EXPECT_EQ(out["Recalculated"], true);
    EXPECT_EQ(out["Rooms"], 3);
    EXPECT_GT(rooms()["Pod"]["HeatingPower"].get<double>(), before);

    // A file without complete settings changes nothing.
    std::ofstream(dir.file("gol.kps")) << "<?xml version=\"1.0\"?><KalydorProjektSettings>";
    const CliRun refused = cli({"settings", "load", file, dir.file("gol.kps")});
    EXPECT_EQ(refused.status, 1);
    const nlohmann::json again = nlohmann::json::parse(cli({"settings", "load", file, kps}).out);
    EXPECT_EQ(again["Recalculated"], false); // the outside temperature is already -20
    EXPECT_EQ(cli({"settings", "save", file}).status, 2);
}

} // namespace
} // namespace kalydor::test
