#include "shell/projects.h"

#include "base/displayformat.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "platform/filetrash.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"
#include "shell/programoptions.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"
#include "store/storehooks.h"

#include "support/fakelanguage.h"
#include "support/shippedlanguages.h"
#include "support/tempdir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace kalydor {
namespace {

using platform::MemorySettingsStore;

void touch(const std::string& path) {
    std::ofstream(path) << "x";
}

TEST(ProjectNames, OpenAndSaveDialogChecks) {
    test::TempDir dir;
    touch(dir.file("P.db"));
    const std::string open = dir.file("Open.db");
    struct Case {
        std::string name;
        bool extensionDiffers;
        bool isNew;
        const char* key;
    };
    const Case openCases[] = {
        {dir.file("P"), false, true, "IDS_PROJEKTEXISTERROR"}, // ".db" added for the test
        {dir.file("P"), false, false, ""},
        {dir.file("New"), false, true, ""},
        {dir.file("New.txt"), true, true, "IDS_PROJEKTEXTERROR"},
        {"/any/where/MATERIAL.db", false, false, "Kalydor32.dbPROHIBITEDPROJEKTNAMES"},
        {"/any/where/material", false, false, "Kalydor32.dbPROHIBITEDPROJEKTNAMES"},
        {"Kalydor32.DB", false, true, "Kalydor32.dbPROHIBITEDPROJEKTNAMES"},
    };
    for (const Case& c : openCases)
        EXPECT_EQ(checkOpenDialogName(c.name, c.extensionDiffers, c.isNew), c.key) << c.name;

    EXPECT_EQ(checkSaveDialogName(open, false, open), "IDS_PROJEKTNAMEERROR");
    EXPECT_EQ(checkSaveDialogName(dir.file("Open"), false, open), "IDS_PROJEKTNAMEERROR");
    EXPECT_EQ(checkSaveDialogName(dir.file("P.db"), false, open), "IDS_PROJEKTEXISTERROR");
    EXPECT_EQ(checkSaveDialogName(dir.file("material.db"), false, open),
              "Kalydor32.dbPROHIBITEDPROJEKTNAMES");
    EXPECT_EQ(checkSaveDialogName(dir.file("Copy.xyz"), true, open), "IDS_PROJEKTEXTERROR");
    EXPECT_EQ(checkSaveDialogName(dir.file("Copy"), false, open), "");
}

TEST(ProjectNames, RecentProjectsKeepTheLastFourWithoutRepeats) {
    MemorySettingsStore settings;
    for (const char* name : {"/p/A.db", "/p/B.db", "/p/C.db", "/p/D.db", "/p/E.db"})
        rememberRecentProject(settings, name);
    EXPECT_EQ(recentProjects(settings),
              (std::vector<std::string>{"/p/E.db", "/p/D.db", "/p/C.db", "/p/B.db"}));
    rememberRecentProject(settings, "/P/c.DB");
    EXPECT_EQ(recentProjects(settings),
              (std::vector<std::string>{"/P/c.DB", "/p/E.db", "/p/D.db", "/p/B.db"}));
}

// A project opened by a relative name ("demo/Demo.db" from the program's folder) must open
// again when the program starts elsewhere.
TEST(ProjectNames, RecentProjectsAreRememberedByTheirAbsoluteNames) {
    MemorySettingsStore settings;
    const std::filesystem::path here = std::filesystem::current_path();
    rememberRecentProject(settings, "demo/Demo.db");
    ASSERT_EQ(recentProjects(settings).size(), 1u);
    EXPECT_EQ(recentProjects(settings).front(), (here / "demo" / "Demo.db").string());
    rememberRecentProject(settings, "./demo/../demo/Demo.db"); // the same file: no repeat
    EXPECT_EQ(recentProjects(settings).size(), 1u);
}

TEST(ProjektData, RecordVersions) {
    ProjectData data;
    data.Building = {"Bloc de locuințe", "Str. Lungă 5"};
    data.Customer = {"SC Termo SRL"};
    data.Planner = {"Ing. Ana Pop"};
    data.Comment = {"fără"};
    data.Date = "2026.12.10.";
    MemoryStream stream(data.recordBytes());
    ProjectData read;
    ASSERT_TRUE(read.Read(stream));
    EXPECT_EQ(read.recordBytes(), data.recordBytes());
    EXPECT_EQ(read.Building, data.Building);

    // Version 10: a length, then up to five NUL-ended texts; here only three.
    const std::string texts = std::string("Bloc\0Client\0Proiectant\0", 24);
    MemoryStream old;
    writeInt16(old, 10);
    writeInt16(old, static_cast<std::int16_t>(texts.size()));
    old.write(texts);
    old.seek(0);
    ProjectData ten;
    ASSERT_TRUE(ten.Read(old));
    EXPECT_EQ(ten.Building, StringList{"Bloc"});
    EXPECT_EQ(ten.Customer, StringList{"Client"});
    EXPECT_EQ(ten.Planner, StringList{"Proiectant"});
    EXPECT_TRUE(ten.Date.empty());
    EXPECT_TRUE(ten.Comment.empty());

    platform::ScriptedPrompter prompter;
    const platform::ScopedPrompter scoped(prompter);
    MemoryStream unknown;
    writeInt16(unknown, 12);
    WriteLines(unknown, {"x"});
    unknown.seek(0);
    ProjectData twelve = data;
    EXPECT_FALSE(twelve.Read(unknown));
    EXPECT_TRUE(twelve.Building.empty());
    EXPECT_EQ(prompter.messages().size(), 1u);

    MemoryStream empty;
    EXPECT_TRUE(twelve.Read(empty));

    MemoryStream cut(data.recordBytes().substr(0, 9));
    EXPECT_THROW(twelve.Read(cut), Error);
}

class RecordingTrash final : public platform::FileTrash {
public:
    bool moveToTrash(const std::vector<std::string>& paths) override {
        moved = paths;
        return true;
    }
    std::vector<std::string> moved;
};

TEST(ProjectSession, NewOpenSaveAsAndDelete) {
    test::TempDir dir;
    MemorySettingsStore settings;
    Languages& languages = test::shippedLanguages();
    ProgramOptions programOptions(settings, languages);
    programOptions.Planer = {"Ing. Ana Pop", "Cluj"};
    ProjectSession session(programOptions, settings);
    installProjectHooks(session, programOptions);
    int changes = 0;
    session.changed = [&] { ++changes; };

    ASSERT_TRUE(session.OpenProject(dir.file("First"), true));
    ASSERT_TRUE(session.isOpen());
    EXPECT_EQ(session.data()->Planner, (StringList{"Ing. Ana Pop", "Cluj"}));
    EXPECT_EQ(session.data()->Date, displayToday());
    EXPECT_FALSE(session.options()->loadFailed());

    // Some content: a group with an item, and a described project.
    ItemStore& store = *session.store();
    const std::string group = store.GroupOfPath(RecordType::PanelGroup, "Pereți", '\\');
    store.AddRecord(RecordType::Panel, group, "Perete exterior");
    const std::string counter = store.NewIdentifier();
    session.data()->Customer = {"SC Termo SRL"};
    session.SaveProjectData();
    const std::string firstPath = session.path();

    ASSERT_TRUE(session.SaveAs(dir.file("Copy")));
    EXPECT_EQ(session.path(), dir.file("Copy.db"));
    EXPECT_EQ(session.data()->Customer, StringList{"SC Termo SRL"});
    EXPECT_EQ(session.store()->ListRecords(RecordType::Panel).size(), 1u);
    // The identifier counter came along: the next identifier follows the old one.
    EXPECT_GT(session.store()->NewIdentifier(), counter);
    EXPECT_EQ(recentProjects(settings).front(), dir.file("Copy.db"));
    EXPECT_EQ(recentProjects(settings)[1], firstPath);

    session.CloseProject();
    EXPECT_FALSE(session.isOpen());
    EXPECT_GE(changes, 4);

    ASSERT_TRUE(session.OpenProject(firstPath, false));
    EXPECT_EQ(session.data()->Customer, StringList{"SC Termo SRL"});
    session.CloseProject();

    platform::ScriptedPrompter prompter;
    const platform::ScopedPrompter scoped(prompter);
    RecordingTrash trash;
    prompter.scriptYesNo(false);
    EXPECT_FALSE(DeleteProject(firstPath, trash));
    EXPECT_TRUE(trash.moved.empty());
    EXPECT_EQ(prompter.questions()[0].defaultButton, platform::DefaultButton::No);
    prompter.scriptYesNo(true);
    // The chosen name as it is: another letter case names another file.
    EXPECT_FALSE(DeleteProject(dir.file("First.DB"), trash));
    prompter.scriptYesNo(true);
    EXPECT_TRUE(DeleteProject(firstPath, trash));
    ASSERT_FALSE(trash.moved.empty());
    EXPECT_EQ(trash.moved[0], firstPath);
    storeHooks() = StoreHooks{};
}

// A copy that fails part-way is not left open or on the disk, and the user is told.
TEST(ProjectSession, FailedSaveAsLeavesNoHalfMadeCopy) {
    test::TempDir dir;
    MemorySettingsStore settings;
    ProgramOptions programOptions(settings, test::shippedLanguages());
    ProjectSession session(programOptions, settings);
    ASSERT_TRUE(session.OpenProject(dir.file("Old"), true));
    const std::string old = session.path();
    // The old project disappears while the copy is being made (it is closed first).
    session.closing = [&] {
        if (session.path() == old)
            std::filesystem::rename(old, dir.file("Moved.db"));
    };
    platform::ScriptedPrompter prompter;
    const platform::ScopedPrompter scoped(prompter);
    EXPECT_FALSE(session.SaveAs(dir.file("Copy")));
    EXPECT_FALSE(session.isOpen());
    EXPECT_FALSE(std::filesystem::exists(dir.file("Copy.db")));
    EXPECT_EQ(prompter.messages().size(), 1u);
}

// A project whose options record cannot be read opens with read-only options, and the user
// is told why: a record of a newer program and one cut short alike (the latter made the
// project unopenable).
TEST(ProjectSession, OptionsThatCannotBeReadOpenReadOnlyAndSayWhy) {
    test::TempDir dir;
    MemorySettingsStore settings;
    ProgramOptions programOptions(settings, test::shippedLanguages());
    ProjectSession session(programOptions, settings);
    installProjectHooks(session, programOptions);
    test::FakeLanguage language{{"IDS_VERSIONERR", "Version %d."},
                                {"IDS_DATAREADERROR", "Damaged."},
                                {"IDS_PROJEKTOPTIONSREADONLY", "Read-only options."}};
    platform::ScriptedPrompter prompter;
    const platform::ScopedPrompter scoped(prompter);

    ASSERT_TRUE(session.OpenProject(dir.file("P"), true));
    ASSERT_TRUE(session.store()->FindRecord(RecordType::ProjectOptions, "", ""));
    const std::string record = session.store()->currentData();
    session.CloseProject();
    const struct {
        const char* what;
        std::string stored;
        const char* reason;
    } cases[] = {
        {"newer version", std::string("\x63\x00", 2) + record.substr(2), "Version 99."},
        {"cut short", record.substr(0, record.size() / 2), "Damaged."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        {
            ItemStore project(dir.directory(), "P", TableMode::Open);
            ASSERT_TRUE(project.FindRecord(RecordType::ProjectOptions, "", ""));
            project.setCurrentData(c.stored);
        }
        const std::size_t shown = prompter.messages().size();
        ASSERT_TRUE(session.OpenProject(dir.file("P.db"), false));
        EXPECT_TRUE(session.options()->loadFailed());
        ASSERT_EQ(prompter.messages().size(), shown + 2);
        EXPECT_EQ(prompter.messages()[shown], c.reason);
        EXPECT_EQ(prompter.messages()[shown + 1], "Read-only options.");
        session.CloseProject();
        ItemStore project(dir.directory(), "P", TableMode::Open);
        ASSERT_TRUE(project.FindRecord(RecordType::ProjectOptions, "", ""));
        EXPECT_EQ(project.currentData(), c.stored);
    }
    storeHooks() = StoreHooks{};
}

// A project in a folder this program may not write could not be opened at all. It opens for
// reading; a change is refused with a message instead of an engine error.
TEST(ProjectSession, AProjectThatCannotBeWrittenOpensReadOnly) {
    test::TempDir dir;
    MemorySettingsStore settings;
    ProgramOptions programOptions(settings, test::shippedLanguages());
    ProjectSession session(programOptions, settings);
    ASSERT_TRUE(session.OpenProject(dir.file("P"), true));
    session.store()->GroupOfPath(RecordType::PanelGroup, "Pereți", '\\');
    const std::string path = session.path();
    session.CloseProject();

    ::chmod(dir.path().c_str(), 0555);
    {
        test::ActingAsNobody nobody;
        ASSERT_TRUE(nobody.ok());
        ASSERT_TRUE(session.OpenProject(path, false));
        EXPECT_TRUE(session.readOnly());
        EXPECT_EQ(session.store()->ListRecords(RecordType::PanelGroup).size(), 1u);
        try {
            session.SaveProjectData();
            ADD_FAILURE() << "a read-only project was written";
        } catch (const Error& error) {
            EXPECT_EQ(error.key(), "IDS_TABLEREADONLY");
        }
        session.CloseProject();
    }
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
    EXPECT_FALSE(std::filesystem::exists(path + "-shm"));

    ASSERT_TRUE(session.OpenProject(path, false));
    EXPECT_FALSE(session.readOnly());
    session.CloseProject();
}

// A table of another program, or one whose header record is gone, is not opened, and the
// user learns why instead of seeing nothing happen.
TEST(ProjectSession, ATableThatIsNoProjectIsNamedWithTheReason) {
    const struct {
        const char* what;
        const char* damage;
        const char* key;
        const char* text;  ///< of the key, with the file and what else it names
        const char* named; ///< what the message quotes besides the file
    } cases[] = {
        {"foreign header", "UPDATE Items SET Name='Kalydor-Hu 4.5' WHERE Type=0",
         "IDS_PROJEKTFOREIGN", "IDS_PROJEKTFOREIGN %s %s", "Kalydor-Hu 4.5"},
        {"no header", "DELETE FROM Items WHERE Type=0", "IDS_PROJEKTNOHEADER",
         "IDS_PROJEKTNOHEADER %s", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        std::string path;
        {
            ItemStore table(dir.directory(), "Other", TableMode::Create);
            table.database().exec(c.damage);
            path = table.path();
        }
        MemorySettingsStore settings;
        ProgramOptions programOptions(settings, test::shippedLanguages());
        ProjectSession session(programOptions, settings);
        test::FakeLanguage language{{c.key, c.text}};
        platform::ScriptedPrompter prompter;
        const platform::ScopedPrompter scoped(prompter);
        EXPECT_FALSE(session.OpenProject(path, false));
        EXPECT_FALSE(session.isOpen());
        ASSERT_EQ(prompter.messages().size(), 1u);
        EXPECT_NE(prompter.messages()[0].find(path), std::string::npos) << prompter.messages()[0];
        EXPECT_EQ(prompter.messages()[0].rfind(c.key, 0), 0u) << prompter.messages()[0];
        EXPECT_NE(prompter.messages()[0].find(c.named), std::string::npos);
    }
}

} // namespace
} // namespace kalydor
