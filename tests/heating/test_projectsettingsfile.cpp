// The project settings file: a round trip of options unlike the defaults, the digits it
// keeps, files that end early, belong to another document or hold a bad value (the options
// stay as they were), a failed save that keeps the old file, and the options dialog's load
// and save.

#include "heating/projectsettingsfile.h"

#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"
#include "heating/projectoptions.h"
#include "heating/projectoptionseditor.h"
#include "platform/scriptedprompter.h"
#include "store/itemstore.h"

#include "support/errorkey.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace kalydor {
namespace {

// Options unlike the defaults in every group, each value exact at the digits it is written
// with.
ProjectOptions unusual() {
    ProjectOptions o;
    o.Panel.OutSideTemp = -3.5f;
    o.Panel.FloorLevel = 1.25f;
    o.Building.Compass = -45;
    o.Building.UsingMode = 1;
    o.Building.Height = 3.1f;
    o.Heating.OutSideTemp = -18;
    o.Heating.Portion = 27.5f;
    o.Heating.Calculate = 0;
    o.Cooling.InSideTemp = 25.5f;
    o.Meteorology.UserDefined = 1;
    o.Meteorology.Name = "Cluj & \"vara\"";
    for (std::size_t h = 0; h < 24; ++h) {
        o.Meteorology.te[h] = static_cast<float>(h) + 0.5f;
        o.Meteorology.sun[h] = {100.0f + static_cast<float>(h), 10.0f + static_cast<float>(h),
                                200.0f + static_cast<float>(h), 50.0f + static_cast<float>(h)};
    }
    o.Radiator.Nearest = 0;
    o.Radiator.CorrectionFactor = 1.05f;
    o.Radiator.Hydraulic.Medium = {75, 65, "Glicol 30 %", 1040, 2.5e-6f, 3600};
    o.Radiator.Hydraulic.ValveType1 = "Termostatic";
    o.Radiator.Hydraulic.TubeSizeMinimum = 12;
    o.FloorHeating.BundLength = 12345;
    o.FloorHeating.TubeLengthPlusMode = 0;
    o.OneTubeRound.RadiatorFamily = "Panel";
    o.Consumer.CoolingForwardTemperature = 7;
    o.HeatChanger.Hydraulic.ConnectionName1 = "$H-retur";
    o.NormalSection.Hydraulic.SpeedMax = 0.75f;
    o.Romanian.Tetap = 8.5f;
    o.Romanian.E = 1.25f;
    o.Romanian.v = 7;
    o.Point.Zeta[7] = 1.5f;
    o.Point.Rules = {{2, "T 90°", "Cupru"}, {4, "Distribuitor", ""}};
    return o;
}

std::string written(const ProjectOptions& options) {
    XmlWriter writer("", kSettingsRoot);
    WriteSettingsXml(options, writer);
    writer.Finish();
    return writer.bytes();
}

bool readInto(ProjectOptions& options, const std::string& document) {
    XmlReader reader;
    EXPECT_TRUE(reader.LoadFromBuffer(document));
    return ReadSettingsXml(options, reader);
}

TEST(ProjectSettingsFile, RoundTripAndDigits) {
    const ProjectOptions original = unusual();
    const std::string document = written(original);
    // Each element on a line of its own; the hours and junctions as child lines.
    EXPECT_NE(document.find("\r\n<Panel OutSideTemp=\"-3.5\" "), std::string::npos);
    EXPECT_NE(
        document.find("<MeteorologyData HourIndex=\"23\" te=\"23.5\" Azimut=\"123\" z=\"33\""),
        std::string::npos);
    EXPECT_NE(document.find("</Meteorology>\r\n<Radiator "), std::string::npos);
    EXPECT_NE(
        document.find("<PointRule FamilyType=\"4\" PointType=\"Distribuitor\" TubeType=\"\"/>"),
        std::string::npos);
    ProjectOptions read;
    ASSERT_TRUE(readInto(read, document));
    EXPECT_EQ(read.recordBytes(), original.recordBytes());
    EXPECT_EQ(read.Meteorology.sun[5].Azimut, 105.0f); // Azimut and z stay apart
    EXPECT_EQ(read.Meteorology.sun[5].z, 15.0f);
    ASSERT_EQ(read.Point.Rules.size(), 2u);
    EXPECT_EQ(read.Meteorology.Name, "Cluj & \"vara\"");

    // More digits than the file keeps come back rounded.
    ProjectOptions precise;
    precise.Panel.OutSideTemp = -2.3456f;
    precise.Heating.AirChangeFact = 0.123456f;
    ProjectOptions back;
    ASSERT_TRUE(readInto(back, written(precise)));
    EXPECT_EQ(back.Panel.OutSideTemp, -2.35f);
    EXPECT_EQ(back.Heating.AirChangeFact, 0.1235f);
}

TEST(ProjectSettingsFile, IncompleteForeignOrBadFilesChangeNothing) {
    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."}};
    const std::string good = written(unusual());
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    const struct {
        const char* name;
        std::string document;
        const char* error; // none: read fails quietly
    } cases[] = {
        {"ends early", good.substr(0, good.find("<Romanian")), nullptr},
        {"another root", head + "<KalydorExport><Panel OutSideTemp=\"5\"/></KalydorExport>",
         nullptr},
        {"hour 24",
         head + "<KalydorProjektSettings><MeteorologyData HourIndex=\"24\" te=\"1\"/>"
                "</KalydorProjektSettings>",
         "IDS_WRONGVALUE"},
        {"no hour",
         head + "<KalydorProjektSettings><MeteorologyData te=\"1\"/></KalydorProjektSettings>",
         "IDS_WRONGVALUE"},
        {"junction 8",
         head + "<KalydorProjektSettings><PointZeta ZetaIndex=\"8\" ZetaValue=\"1\"/>"
                "</KalydorProjektSettings>",
         "IDS_WRONGVALUE"},
        {"beyond the word",
         head + "<KalydorProjektSettings><Building Compass=\"40000\"/></KalydorProjektSettings>",
         "IDS_WRONGVALUE"},
        {"no number",
         head + "<KalydorProjektSettings><Heating InSideTemp=\"cald\"/></KalydorProjektSettings>",
         "IDS_WRONGVALUE"},
        {"text too long",
         head + "<KalydorProjektSettings><Meteorology Name=\"" + std::string(70000, 'x') +
             "\"></Meteorology></KalydorProjektSettings>",
         "IDS_TEXTTOOLONG"},
    };
    for (const auto& c : cases) {
        ProjectOptions options = unusual();
        const std::string before = options.recordBytes();
        if (c.error == nullptr) {
            EXPECT_FALSE(readInto(options, c.document)) << c.name;
        } else {
            EXPECT_EQ(testing::errorKey([&] { (void)readInto(options, c.document); }), c.error)
                << c.name;
        }
        EXPECT_EQ(options.recordBytes(), before) << c.name;
    }

    // A missing number reads 0; what the file does not name stays.
    ProjectOptions partial;
    ASSERT_TRUE(readInto(partial, head + "<KalydorProjektSettings><Heating InSideTemp=\"21\"/>"
                                         "</KalydorProjektSettings>"));
    EXPECT_EQ(partial.Heating.InSideTemp, 21.0f);
    EXPECT_EQ(partial.Heating.OutSideTemp, 0.0f);
    EXPECT_EQ(partial.Cooling.InSideTemp, 26.0f);
}

TEST(ProjectSettingsFile, AFailedSaveKeepsTheOldFile) {
    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."}};
    test::TempDir dir;
    const std::string file = dir.file("setari.kps");
    SaveSettingsFile(unusual(), file);
    const auto content = [&] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string before = content();
    ProjectOptions broken = unusual();
    broken.Heating.OutSideTemp = std::nanf("");
    EXPECT_EQ(testing::errorKey([&] { SaveSettingsFile(broken, file); }), "IDS_WRONGVALUE");
    EXPECT_EQ(content(), before);
    ProjectOptions loaded;
    ASSERT_TRUE(LoadSettingsFile(loaded, file));
    EXPECT_EQ(loaded.recordBytes(), unusual().recordBytes());
    EXPECT_EQ(testing::errorKey([&] { (void)LoadSettingsFile(loaded, dir.file("none.kps")); }),
              "IDS_FILEREADERROR");
}

TEST(ProjectSettingsFile, TheOptionsDialogLoadsAndSaves) {
    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."}};
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
    test::TempDir dir;
    ItemStore project(dir.directory(), "Project", TableMode::Create);
    ProjectOptions options;
    ASSERT_TRUE(options.LoadFromProject(project));
    const std::string file = dir.file("setari.kps");
    SaveSettingsFile(unusual(), file);

    ProjectOptionsEditor editor(options, project);
    ASSERT_TRUE(editor.loadSettings(file));
    EXPECT_EQ(options.Heating.OutSideTemp, -18.0f); // the live options, not yet stored
    const ProjectOptionsChanges changes = editor.confirm(editor.fields());
    EXPECT_TRUE(changes.outSideTempChanged);
    ProjectOptions stored;
    ASSERT_TRUE(stored.LoadFromProject(project));
    EXPECT_EQ(stored.recordBytes(), unusual().recordBytes());

    // Save takes the dialog's fields as OK would; a bad one writes nothing.
    ProjectOptionsFields fields = editor.fields();
    fields.number(ProjectOptionsFields::Number::HeatingInSideTemp) = "19";
    editor.saveSettings(fields, dir.file("copie.kps"));
    ProjectOptions copy;
    ASSERT_TRUE(LoadSettingsFile(copy, dir.file("copie.kps")));
    EXPECT_EQ(copy.Heating.InSideTemp, 19.0f);
    EXPECT_EQ(options.Heating.InSideTemp, unusual().Heating.InSideTemp);
    fields.number(ProjectOptionsFields::Number::HeatingInSideTemp) = "cald";
    EXPECT_EQ(testing::errorKey([&] { editor.saveSettings(fields, dir.file("rea.kps")); }),
              "IDS_WRONGVALUE");
    EXPECT_FALSE(std::ifstream(dir.file("rea.kps")).good());
}

} // namespace
} // namespace kalydor
