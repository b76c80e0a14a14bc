#include "heating/projectoptions.h"

#include "base/error.h"
#include "platform/scriptedprompter.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"
#include "store/storehooks.h"

#include "heating/projectoptionsfixtures.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>
#include <memory>

namespace kalydor {
namespace {

using test::optionsFixture;
using test::RecordBuilder;

// Reads a whole data block (version word first) into the options.
bool readBlock(ProjectOptions& options, const std::string& block) {
    MemoryStream stream(block);
    const std::int16_t version = readInt16(stream);
    return options.ReadRecord(stream, version);
}

// The record without its end mark, and the end mark: unknown chunks go between them.
std::string withoutEndMark(const std::string& record) {
    return record.substr(0, record.size() - 2);
}

class ProjectOptionsRecord : public ::testing::Test {
protected:
    test::FakeLanguage language{{"IDS_NORMALWATER", "Apă"},
                                {"IDS_RADCONNECTIONNAME1", "$H-R$R-tur"},
                                {"IDS_RADCONNECTIONNAME2", "$H-R$R-retur"},
                                {"IDS_VERSIONERR", "Version %d is unknown."},
                                {"IDS_SUMMERTIME", "Summer time is ignored."},
                                {"IDS_DATAREADERROR", "Damaged record."}};
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
};

TEST_F(ProjectOptionsRecord, DefaultsTakeTheLanguageTexts) {
    const ProjectOptions o;
    EXPECT_EQ(o.Radiator.Hydraulic.ConnectionName0, "$H-R$R-tur");
    EXPECT_EQ(o.Radiator.Hydraulic.ConnectionName1, "$H-R$R-retur");
    EXPECT_EQ(o.Radiator.Hydraulic.AvailablePressure, 10000.0f);
    EXPECT_EQ(o.NormalSection.Hydraulic.AvailablePressure, 20000.0f);
    EXPECT_EQ(o.FloorHeating.Hydraulic.Medium.ForwardTemperature, 50.0f);
    EXPECT_EQ(o.FloorHeating.Hydraulic.Medium.BackwardTemperature, 45.0f);
    for (const HydraulicOptions* h :
         {&o.Radiator.Hydraulic, &o.FloorHeating.Hydraulic, &o.OneTubeRound.Hydraulic,
          &o.Consumer.Hydraulic, &o.HeatChanger.Hydraulic, &o.NormalSection.Hydraulic}) {
        EXPECT_EQ(h->Medium.MediumType, "Apă");
        EXPECT_TRUE(h == &o.Radiator.Hydraulic || h->ConnectionName0.empty());
    }
    EXPECT_EQ(o.loadState(), ProjectOptions::LoadState::NotLoaded);
}

// A record written by another writer from the same layout reads into the right fields and is
// written back byte for byte: reader and writer agree with the stored layout, not only with
// each other.
TEST_F(ProjectOptionsRecord, Version13RoundTripsByteForByte) {
    const std::string stored = optionsFixture("projektoptions-v13.bin");
    ProjectOptions o;
    ASSERT_TRUE(readBlock(o, stored));
    EXPECT_EQ(o.Panel.OutSideTemp, 0.1f);
    EXPECT_EQ(o.Building.Height, 11.25f);
    EXPECT_EQ(o.Meteorology.Name, "București-23");
    EXPECT_EQ(o.Meteorology.sun[0].z, 26.25f); // Azimut and z stay distinct
    EXPECT_EQ(o.Meteorology.te[23], 139.25f);
    EXPECT_EQ(o.Radiator.TubeLength, 146.25f);
    // The radiator temperatures of the hydraulic chunk (read later) win over chunk 6's copy.
    EXPECT_EQ(o.Radiator.Hydraulic.Medium.ForwardTemperature, 147.25f);
    EXPECT_EQ(o.Radiator.Hydraulic.ConnectionName1, "$H-out-165");
    EXPECT_EQ(o.Radiator.Hydraulic.TubeSizeMinimum, 163);
    ASSERT_EQ(o.Point.Rules.size(), 2u);
    EXPECT_EQ(o.Point.Rules[1].TubeType, "Cu-291");
    EXPECT_EQ(o.Point.Zeta[7], 285.25f);
    EXPECT_EQ(o.NormalSection.Hydraulic.ConnectionName0, "$H-in-276");
    EXPECT_EQ(o.Romanian.v, 300.25f);
    EXPECT_TRUE(o.UnknownChunks.empty());
    EXPECT_EQ(o.loadState(), ProjectOptions::LoadState::Loaded);
    EXPECT_EQ(o.recordBytes(), stored);
}

TEST_F(ProjectOptionsRecord, DefaultsRoundTrip) {
    const ProjectOptions written;
    ProjectOptions read;
    read.Heating.OutSideTemp = 99.0f;
    read.Point.Rules.push_back({1, "x", "y"}); // cleared when a load starts
    ASSERT_TRUE(readBlock(read, written.recordBytes()));
    EXPECT_EQ(read.recordBytes(), written.recordBytes());
    EXPECT_TRUE(read.Point.Rules.empty());
}

// Values only carried for the hydraulic network keep their exact bits, whatever they hold.
TEST_F(ProjectOptionsRecord, FloatsAreKeptBitExactly) {
    ProjectOptions o;
    o.Consumer.Hydraulic.SpeedMax = std::bit_cast<float>(0x7fc12345u); // NaN with payload
    o.NormalSection.Hydraulic.Medium.Nu = std::numeric_limits<float>::denorm_min();
    o.FloorHeating.TubeLengthPlus = -0.0f;
    o.Meteorology.sun[5].Dif = std::numeric_limits<float>::infinity();
    ProjectOptions read;
    ASSERT_TRUE(readBlock(read, o.recordBytes()));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(read.Consumer.Hydraulic.SpeedMax), 0x7fc12345u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(read.FloorHeating.TubeLengthPlus), 0x80000000u);
    EXPECT_EQ(read.recordBytes(), o.recordBytes());
}

// A newer program's chunk is kept and written back once, after the ground data and before the
// end mark, however often the options are loaded and saved.
TEST_F(ProjectOptionsRecord, UnknownChunkIsKeptOnceBeforeTheEndMark) {
    const std::string stored = optionsFixture("projektoptions-v13.bin");
    const std::string unknown = RecordBuilder().chunk(30, "\x01\x02\x03").bytes();
    // The unknown chunk sits first in the stored record.
    const std::string withUnknown = stored.substr(0, 2) + unknown + stored.substr(2);
    ProjectOptions o;
    ASSERT_TRUE(readBlock(o, withUnknown));
    EXPECT_EQ(o.UnknownChunks, unknown);
    const std::string expected = withoutEndMark(stored) + unknown + std::string(2, '\0');
    EXPECT_EQ(o.recordBytes(), expected);

    ProjectOptions again;
    ASSERT_TRUE(readBlock(again, o.recordBytes()));
    EXPECT_EQ(again.UnknownChunks, unknown);
    EXPECT_EQ(again.recordBytes(), expected);
}

// A known chunk written longer by a newer writer: its extra bytes are passed over and the
// chunks after it are read from their own start.
TEST_F(ProjectOptionsRecord, LongerKnownChunkIsReadUpToItsLength) {
    const std::string record = RecordBuilder()
                                   .i16(13)
                                   .chunk(4, test::payload({24.5f}, {0, 77, 78}))
                                   .chunk(1, test::payload({-1, 21, 80, 45, 100, 0.5f, 9, 9}))
                                   .chunk(19, test::payload({-4.5f}))
                                   .i16(0)
                                   .bytes();
    // The ground chunk above is cut short: its fields end before the chunk ends.
    ProjectOptions o;
    EXPECT_THROW(readBlock(o, record), Error);

    const std::string longer = RecordBuilder()
                                   .i16(13)
                                   .chunk(4, test::payload({24.5f}, {0, 77, 78}))
                                   .chunk(1, test::payload({-1, 21, 80, 45, 100, 0.5f, 9, 9}))
                                   .i16(0)
                                   .bytes();
    ProjectOptions read;
    ASSERT_TRUE(readBlock(read, longer));
    EXPECT_EQ(read.Cooling.InSideTemp, 24.5f);
    EXPECT_EQ(read.Cooling.Calculate, 0);
    EXPECT_EQ(read.Panel.OutSideTemp, -1.0f);
    EXPECT_EQ(read.Panel.FloorLevel, 0.5f);
    EXPECT_TRUE(read.UnknownChunks.empty());
}

TEST_F(ProjectOptionsRecord, Version12KeepsTheDefaultsOfWhatItLacks) {
    ProjectOptions o;
    ASSERT_TRUE(readBlock(o, optionsFixture("projektoptions-v12.bin")));
    EXPECT_EQ(o.Panel.OutSideTemp, 0.1f);
    EXPECT_EQ(o.Radiator.CorrectionFactor, 145.25f);
    EXPECT_EQ(o.Radiator.TubeLength, 0.0f);
    EXPECT_EQ(o.Radiator.Hydraulic.ConnectionName0, "$H-R$R-tur");
    EXPECT_EQ(o.Radiator.Hydraulic.ConnectionName1, "$H-R$R-retur");
    for (const HydraulicOptions* h :
         {&o.Radiator.Hydraulic, &o.FloorHeating.Hydraulic, &o.OneTubeRound.Hydraulic,
          &o.Consumer.Hydraulic, &o.HeatChanger.Hydraulic, &o.NormalSection.Hydraulic})
        EXPECT_EQ(h->TubeSizeMinimum, 0);
    // The fields after every hydraulic record are in place: nothing was read out of step.
    EXPECT_EQ(o.FloorHeating.RegisterVolume, 172.25f);
    EXPECT_EQ(o.NormalSection.Hydraulic.ConnectionName1, "$H-out-270");
    EXPECT_EQ(o.Point.Rules.size(), 2u);
    EXPECT_EQ(o.Romanian.H, -285.25f);
}

TEST_F(ProjectOptionsRecord, Version11WithoutItsOptionalSwitches) {
    ProjectOptions o;
    ASSERT_TRUE(readBlock(o, optionsFixture("projektoptions-v11.bin")));
    EXPECT_EQ(o.Panel.OutSideTemp, -3.5f);
    EXPECT_EQ(o.Panel.DiffusionDays, 90.0f);
    EXPECT_EQ(o.Building.Height, 3.25f);
    EXPECT_EQ(o.Panel.FloorLevel, 1.5f);
    EXPECT_EQ(o.Heating.OutSideTemp, -12.0f);
    EXPECT_EQ(o.Heating.FiltMode, 3);
    EXPECT_EQ(o.Heating.AirChangeFact, 1.5f);
    EXPECT_EQ(o.Heating.Calculate, 1); // a chunk of 24 bytes has no Calculate
    EXPECT_EQ(o.Building.Compass, 90);
    EXPECT_EQ(o.Building.UsingMode, 1);
    EXPECT_EQ(o.Cooling.InSideTemp, 24.5f);
    EXPECT_EQ(o.Cooling.Calculate, 1); // nor one of 6 bytes
    EXPECT_EQ(o.Romanian.H, -6.0f);
    EXPECT_EQ(prompter.messages(), std::vector<std::string>{"Summer time is ignored."});
}

TEST_F(ProjectOptionsRecord, Version11WithItsSwitchesAndAStrayChunk) {
    const std::string heating =
        RecordBuilder().f32(-18).f32(21).f32(1).i16(0).i16(2).f32(20).f32(0.5f).i16(0).bytes();
    const std::string record = RecordBuilder()
                                   .i16(11)
                                   .chunk(259, heating)
                                   .chunk(300, "xyz")
                                   .chunk(261, test::payload({25.0f}, {0, 0}))
                                   .i16(256)
                                   .bytes();
    ProjectOptions o;
    ASSERT_TRUE(readBlock(o, record));
    EXPECT_EQ(o.Heating.OutSideTemp, -18.0f);
    EXPECT_EQ(o.Heating.Calculate, 0);
    EXPECT_EQ(o.Cooling.InSideTemp, 25.0f);
    EXPECT_EQ(o.Cooling.Calculate, 0);
    EXPECT_TRUE(o.UnknownChunks.empty());
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(ProjectOptionsRecord, Version10) {
    ProjectOptions o;
    ASSERT_TRUE(readBlock(o, optionsFixture("projektoptions-v10.bin")));
    EXPECT_EQ(o.Panel.OutSideTemp, -4.5f);
    EXPECT_EQ(o.Panel.DiffusionDays, 120.0f);
    EXPECT_EQ(o.Building.Height, 2.5f);
    EXPECT_EQ(o.Panel.FloorLevel, 0.75f);
    EXPECT_EQ(o.Heating.OutSideTemp, -15.0f);
}

TEST_F(ProjectOptionsRecord, UnknownVersionIsReportedAndChangesNothing) {
    for (const std::int16_t version : std::initializer_list<std::int16_t>{9, 14, 0, -1}) {
        SCOPED_TRACE(version);
        platform::ScriptedPrompter answers;
        platform::ScopedPrompter use(answers);
        ProjectOptions o;
        o.Heating.InSideTemp = 18.0f;
        const std::string before = o.recordBytes();
        MemoryStream stream(optionsFixture("projektoptions-v13.bin").substr(2));
        EXPECT_FALSE(o.ReadRecord(stream, version));
        EXPECT_EQ(answers.messages(),
                  std::vector<std::string>{"Version " + std::to_string(version) + " is unknown."});
        EXPECT_EQ(o.recordBytes(), before);
        EXPECT_TRUE(o.loadFailed());
    }
}

// A record cut off anywhere is an error, never a crash, and leaves the values as they were.
TEST_F(ProjectOptionsRecord, TruncatedRecordsAreErrors) {
    for (const char* name : {"projektoptions-v13.bin", "projektoptions-v12.bin",
                             "projektoptions-v11.bin", "projektoptions-v10.bin"}) {
        const std::string stored = optionsFixture(name);
        for (std::size_t size = 2; size < stored.size(); ++size) {
            SCOPED_TRACE(std::string(name) + " cut to " + std::to_string(size));
            ProjectOptions o;
            const std::string before = o.recordBytes();
            try {
                readBlock(o, stored.substr(0, size));
                ADD_FAILURE() << "read without error";
            } catch (const Error& error) {
                EXPECT_EQ(error.key(), "IDS_DATAREADERROR");
            }
            EXPECT_TRUE(o.loadFailed());
            EXPECT_EQ(o.recordBytes(), before);
        }
    }
}

TEST_F(ProjectOptionsRecord, ChunkLongerThanTheRecordIsAnError) {
    const std::string record =
        RecordBuilder().i16(13).chunk(30, "ab", 1000).i16(0).bytes(); // claims 1000 bytes
    ProjectOptions o;
    EXPECT_THROW(readBlock(o, record), Error);
    const std::string rule = RecordBuilder().i16(1).i16(30000).raw("short").bytes();
    ProjectOptions p;
    EXPECT_THROW(readBlock(p, RecordBuilder().i16(13).chunk(20, rule).i16(0).bytes()), Error);
    EXPECT_TRUE(p.Point.Rules.empty());
}

class ProjectOptionsStore : public ProjectOptionsRecord {
protected:
    void TearDown() override { storeHooks() = StoreHooks(); }

    std::unique_ptr<ItemStore> newProject(const std::string& name = "Project") {
        return std::make_unique<ItemStore>(dir.directory(), name, TableMode::Create);
    }
    static std::string storedOptions(ItemStore& project) {
        EXPECT_TRUE(project.FindRecord(RecordType::ProjectOptions, "", ""));
        return project.currentData();
    }
    static void storeOptions(ItemStore& project, const std::string& bytes) {
        ASSERT_TRUE(project.FindRecord(RecordType::ProjectOptions, "", ""));
        project.setCurrentData(bytes);
    }

    test::TempDir dir;
};

TEST_F(ProjectOptionsStore, EmptyBlockLoadsDefaultsAndSaveWritesTheRecord) {
    auto project = newProject(); // no hooks: the options record is created empty
    ASSERT_EQ(storedOptions(*project), "");
    ProjectOptions o;
    EXPECT_TRUE(o.LoadFromProject(*project));
    EXPECT_EQ(o.recordBytes(), ProjectOptions().recordBytes());

    o.Heating.OutSideTemp = -21.0f;
    o.Point.Rules.push_back({2, "TE", "Fe"});
    EXPECT_TRUE(o.SaveToProject(*project));
    project.reset();

    ItemStore reopened(dir.directory(), "Project", TableMode::Open);
    ProjectOptions read;
    EXPECT_TRUE(read.LoadFromProject(reopened));
    EXPECT_EQ(read.Heating.OutSideTemp, -21.0f);
    EXPECT_EQ(read.recordBytes(), o.recordBytes());
}

TEST_F(ProjectOptionsStore, NewProjectGetsTheDefaultRecord) {
    installProjectOptionsHooks(nullptr);
    auto project = newProject();
    EXPECT_EQ(storedOptions(*project), ProjectOptions().recordBytes());
}

TEST_F(ProjectOptionsStore, MissingRecordKeepsDefaultsAndWritesNothing) {
    auto project = newProject();
    project->database().exec("DELETE FROM Items WHERE Type=1");
    ProjectOptions o;
    o.Heating.InSideTemp = 19.0f;
    EXPECT_TRUE(o.LoadFromProject(*project));
    EXPECT_EQ(o.Heating.InSideTemp, 19.0f);
    EXPECT_FALSE(o.SaveToProject(*project));
    EXPECT_FALSE(project->FindRecord(RecordType::ProjectOptions, "", ""));
}

// Options that could not be read are never saved over the stored record: it may come from a
// newer program or be repairable. A record cut short is treated as one of a newer program:
// raised as an error, it made the project unopenable and the command line's import fail.
TEST_F(ProjectOptionsStore, FailedLoadLeavesTheRecordAlone) {
    auto project = newProject();
    const std::string newer = RecordBuilder().i16(14).chunk(1, "future").i16(0).bytes();
    const std::string damaged = optionsFixture("projektoptions-v13.bin").substr(0, 700);
    const struct {
        std::string stored;
        const char* reason;
    } cases[] = {{newer, "Version 14 is unknown."}, {damaged, "Damaged record."}};
    for (const auto& [stored, reason] : cases) {
        storeOptions(*project, stored);
        const std::size_t shown = prompter.messages().size();
        ProjectOptions o;
        o.Heating.OutSideTemp = -18.0f;
        EXPECT_FALSE(o.LoadFromProject(*project));
        ASSERT_EQ(prompter.messages().size(), shown + 1);
        EXPECT_EQ(prompter.messages().back(), reason);
        EXPECT_TRUE(o.loadFailed());
        EXPECT_EQ(o.Heating.OutSideTemp, -18.0f);
        try {
            o.SaveToProject(*project);
            ADD_FAILURE() << "saved options that failed to load";
        } catch (const Error& error) {
            EXPECT_EQ(error.key(), "IDS_PROJEKTOPTIONSREADONLY");
        }
        EXPECT_EQ(storedOptions(*project), stored);
    }
}

TEST_F(ProjectOptionsStore, WriteErrorLeavesTheRecordAlone) {
    auto project = newProject();
    ProjectOptions o;
    ASSERT_TRUE(o.SaveToProject(*project));
    const std::string before = storedOptions(*project);
    o.Meteorology.Name = std::string(40000, 'x'); // longer than a counted string holds
    EXPECT_THROW(o.SaveToProject(*project), Error);
    EXPECT_EQ(storedOptions(*project), before);
}

TEST_F(ProjectOptionsStore, CatalogueTableHasNoOptionsRecord) {
    ItemStore catalogue(dir.directory(), "material", TableMode::Create, TableKind::Catalogue);
    catalogue.AddRecord(RecordType::MaterialGroup, "", "");
    ProjectOptions o;
    EXPECT_TRUE(o.LoadFromProject(catalogue));
    EXPECT_FALSE(o.SaveToProject(catalogue));
    EXPECT_EQ(catalogue.currentData(), "");
}

// Converting a project of the previous format reloads the options of the open project from it.
TEST_F(ProjectOptionsStore, ConversionReloadsTheOpenOptions) {
    auto project = newProject();
    storeOptions(*project, optionsFixture("projektoptions-v11.bin"));
    project->database().exec("UPDATE Items SET Name='Kalydor-Ro 4.0' WHERE Type=0");
    ProjectOptions current;
    current.Romanian.H = -2.0f; // an edit of the options open before: discarded
    installProjectOptionsHooks([&current] { return &current; });
    prompter.scriptYesNo(true);

    EXPECT_TRUE(project->CheckProjectVersion());
    EXPECT_EQ(current.Heating.OutSideTemp, -12.0f);
    EXPECT_EQ(current.Romanian.H, -6.0f);
    EXPECT_EQ(current.loadState(), ProjectOptions::LoadState::Loaded);
    EXPECT_EQ(project->headerName(), "Kalydor-Ro 4.5");
}

TEST_F(ProjectOptionsStore, ConversionGoesOnWhenTheOptionsCannotBeRead) {
    auto project = newProject();
    storeOptions(*project, RecordBuilder().i16(13).chunk(1, "ab").i16(0).bytes());
    project->database().exec("UPDATE Items SET Name='' WHERE Type=0");
    ProjectOptions current;
    installProjectOptionsHooks([&current] { return &current; });
    prompter.scriptYesNo(true);

    EXPECT_TRUE(project->CheckProjectVersion());
    EXPECT_TRUE(current.loadFailed());
    EXPECT_EQ(prompter.messages(), std::vector<std::string>{"Damaged record."});
}

} // namespace
} // namespace kalydor
