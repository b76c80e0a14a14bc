// Tables treated carelessly or with hostile intent: created over, opened read-only, damaged,
// or holding identifiers no calendar has.

#include "base/error.h"
#include "platform/scriptedprompter.h"
#include "store/identifier.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemtree.h"
#include "store/sqlitedatabase.h"
#include "store/treemodel.h"

#include "store/testitem.h"
#include "support/tempdir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sys/stat.h>
#include <variant>

namespace kalydor {
namespace {

namespace fs = std::filesystem;

std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::size_t recordCount(ItemStore& table) {
    std::size_t count = 0;
    table.forEachRecord([&count](const Reference&, std::size_t) { ++count; });
    return count;
}

// The key of the error an operation raised; empty when it raised none.
template <typename Operation> std::string errorKey(Operation&& operation) {
    try {
        operation();
    } catch (const Error& error) {
        return error.key();
    }
    return {};
}

bool hasSideFiles(const std::string& table) {
    return fs::exists(table + "-wal") || fs::exists(table + "-shm");
}

// A catalogue of 200 items with a small data block each, closed: several pages on the disk.
std::string makeCatalogue(const test::TempDir& dir, const std::string& name = "material.db") {
    ItemStore table(dir.directory(), name, TableMode::Create, TableKind::Catalogue);
    const std::string group = table.GroupOfPath(RecordType::MaterialGroup, "Zidărie", '\\');
    test::TestItem item;
    item.Note = std::string(100, 'n');
    SqliteTransaction bulk(table.database());
    for (int i = 0; i < 200; ++i) {
        table.AddRecord(RecordType::Material, group, "Cărămidă " + std::to_string(i));
        item.SaveToRecord(table);
    }
    bulk.commit();
    return table.path();
}

// "store create" over a table that holds a project's work destroyed it without a word, and
// over a catalogue another program had open deleted every material under that program.
TEST(TableCreation, AnExistingTableIsReplacedOnlyWhenAskedAndNeverWhileOpen) {
    test::TempDir dir;
    {
        ItemStore project(dir.directory(), "P", TableMode::Create);
        project.GroupOfPath(RecordType::PanelGroup, "Walls\\Outer", '\\');
    }
    EXPECT_EQ(errorKey([&] { ItemStore(dir.directory(), "P", TableMode::Create); }),
              "IDS_TABLEEXISTS");
    {
        ItemStore reopened(dir.directory(), "P", TableMode::Open);
        EXPECT_EQ(recordCount(reopened), 4u);
        // While the project is open, not even an explicit replace deletes it.
        EXPECT_EQ(errorKey([&] { ItemStore(dir.directory(), "P", TableMode::Replace); }),
                  "IDS_TABLELOCKED");
        EXPECT_EQ(recordCount(reopened), 4u);
    }
    ItemStore replaced(dir.directory(), "P", TableMode::Replace);
    EXPECT_EQ(recordCount(replaced), 2u);

    // A catalogue is shared, so its program holds no lock of its own: SQLite's locks tell
    // that a reader or a writer has it open.
    const std::string catalogue = makeCatalogue(dir);
    for (const TableMode holderMode : {TableMode::Open, TableMode::ReadOnly}) {
        ItemStore holder(dir.directory(), "material.db", holderMode, TableKind::Catalogue);
        EXPECT_EQ(errorKey([&] {
                      ItemStore(dir.directory(), "material.db", TableMode::Replace,
                                TableKind::Catalogue);
                  }),
                  "IDS_TABLELOCKED");
        EXPECT_EQ(recordCount(holder), 202u);
    }

    // Only a regular file is ever replaced: a folder named like a table stays.
    fs::create_directory(dir.file("Folder.db"));
    EXPECT_EQ(errorKey([&] { ItemStore(dir.directory(), "Folder", TableMode::Replace); }),
              "IDS_NOTATABLE");
    EXPECT_TRUE(fs::is_directory(dir.file("Folder.db")));
}

// A damaged material table stopped the program with "database disk image is malformed",
// naming no file. The damage is found at opening, the file and the fault are named, and the
// file is left exactly as it was.
TEST(DamagedTables, AreNamedWithTheirFaultAndNeverWritten) {
    test::TempDir dir;
    const std::string table = makeCatalogue(dir);
    {
        std::fstream file(table, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(3 * 4096 + 100);
        file << std::string(2000, 'Z');
    }
    const std::string damaged = fileBytes(table);
    for (const TableMode mode : {TableMode::Open, TableMode::ReadOnly}) {
        try {
            ItemStore opened(dir.directory(), "material.db", mode, TableKind::Catalogue);
            ADD_FAILURE() << "a damaged table was opened";
        } catch (const Error& error) {
            EXPECT_EQ(error.key(), "IDS_TABLEDAMAGED");
            EXPECT_NE(error.text().find(table), std::string::npos) << error.text();
            ASSERT_EQ(error.args().size(), 2u);
            EXPECT_FALSE(std::get<std::string>(error.args()[1]).empty());
        }
        EXPECT_EQ(fileBytes(table), damaged);
        EXPECT_FALSE(hasSideFiles(table));
    }
}

// Commands that only read opened the table for writing: in a read-only folder they failed
// ("attempt to write a readonly database"), on a read-only file with "disk I/O error", leaving
// "-wal" and "-shm" files behind.
TEST(ReadOnlyTables, AreReadWithoutWritingAndLeaveNothingBehind) {
    struct Case {
        const char* what;
        mode_t fileMode;
        mode_t folderMode;
    };
    for (const Case& c : {Case{"writable", 0666, 0777}, Case{"read-only file", 0444, 0777},
                          Case{"read-only folder", 0666, 0555}}) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const std::string table = makeCatalogue(dir);
        const std::string before = fileBytes(table);
        ::chmod(table.c_str(), c.fileMode);
        ::chmod(dir.path().c_str(), c.folderMode);
        {
            test::ActingAsNobody nobody;
            ASSERT_TRUE(nobody.ok());
            EXPECT_EQ(ItemStore::isWritable(table), c.fileMode == 0666 && c.folderMode == 0777);
            ItemStore reader(dir.directory(), "material.db", TableMode::ReadOnly,
                             TableKind::Catalogue);
            EXPECT_TRUE(reader.readOnly());
            EXPECT_EQ(reader.ListRecords(RecordType::Material).size(), 200u);
            EXPECT_EQ(errorKey([&] { reader.AddRecord(RecordType::MaterialGroup, "", "New"); }),
                      "IDS_TABLEREADONLY");
            ASSERT_TRUE(reader.FindRecord(RecordType::Material, "1901.01.02.", "Cărămidă 7"));
            EXPECT_EQ(errorKey([&] { reader.setCurrentData("x"); }), "IDS_TABLEREADONLY");
        }
        ::chmod(dir.path().c_str(), 0755);
        EXPECT_FALSE(hasSideFiles(table));
        EXPECT_EQ(fileBytes(table), before);
    }
}

// A reader beside a program that has the table open reads its committed changes and leaves
// that program's log alone.
TEST(ReadOnlyTables, SeeTheChangesOfTheProgramThatHasTheTableOpen) {
    test::TempDir dir;
    const std::string table = makeCatalogue(dir);
    ItemStore writer(dir.directory(), "material.db", TableMode::Open, TableKind::Catalogue);
    writer.AddRecord(RecordType::MaterialGroup, "", "Lemn");
    {
        ItemStore reader(dir.directory(), "material.db", TableMode::ReadOnly, TableKind::Catalogue);
        EXPECT_TRUE(reader.FindRecord(RecordType::MaterialGroup, "", "Lemn"));
    }
    EXPECT_TRUE(fs::exists(table + "-wal"));
    writer.AddRecord(RecordType::MaterialGroup, "", "Metal");
    EXPECT_TRUE(writer.FindRecord(RecordType::MaterialGroup, "", "Metal"));
}

// A damaged table may hold any 64-bit number where an identifier belongs. Near the limits the
// date arithmetic overflowed (the sanitizer build stopped "store dump" and "store resolve"),
// and a number outside the calendar read as the empty text, which names the root group.
TEST(StoredIdentifiers, OutOfRangeMakesTheRecordUnreadableAndNamed) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter installed(prompter);
    for (const std::int64_t day :
         {kMax, kMax - 719468, kMin, kMin + 1, std::int64_t{0}, kLastIdentifierDay + 1}) {
        SCOPED_TRACE(day);
        test::TempDir dir;
        ItemStore table(dir.directory(), "P", TableMode::Create);
        const std::string walls = table.GroupOfPath(RecordType::PanelGroup, "Walls", '\\');
        table.GroupOfPath(RecordType::PanelGroup, "Odd", '\\');
        test::TestItem item;
        for (const char* name : {"Brick", "Stone"}) {
            table.AddRecord(RecordType::Panel, walls, name);
            item.SaveToRecord(table);
        }
        const std::string value = std::to_string(day);
        table.database().exec("UPDATE Items SET ID=" + value + " WHERE Name IN ('Odd','Brick')");
        table.database().exec("UPDATE Items SET RefID=" + value + " WHERE Name='Stone'");

        std::vector<std::string> named;
        std::size_t readable = 0;
        table.forEachRecord([&](const Reference&, std::size_t) { ++readable; },
                            [&](const Error& error) {
                                EXPECT_EQ(error.key(), "IDS_BADSTOREDIDENTIFIER");
                                named.push_back(std::get<std::string>(error.args().at(0)));
                            });
        EXPECT_EQ(readable, 3u); // the header, the options and "Walls"
        std::sort(named.begin(), named.end());
        EXPECT_EQ(named, (std::vector<std::string>{"Odd", "Stone", "Walls\\Brick"}));

        // Listed, but never taken for the root group nor shown as a group.
        for (const Reference& record : table.ListRecords(RecordType::Panel))
            EXPECT_NE(record.RefID, "") << record.Name;
        TreeModel tree;
        TreeNode* root = fillGroupTree(table, tree, "Constructions", RecordType::PanelGroup);
        ASSERT_EQ(root->children().size(), 1u);
        EXPECT_EQ(root->children()[0]->caption(), "Walls");

        ASSERT_TRUE(table.FindRecord(RecordType::Panel, walls, "Brick"));
        test::TestItem loaded;
        EXPECT_EQ(errorKey([&] { (void)table.LoadItem(loaded); }), "IDS_BADSTOREDIDENTIFIER");
        EXPECT_TRUE(loaded.loadFailed());
        EXPECT_EQ(errorKey([&] { table.GroupOfPath(RecordType::PanelGroup, "Odd\\Inner", '\\'); }),
                  "IDS_BADSTOREDIDENTIFIER");
        EXPECT_FALSE(table.FindRecord(RecordType::PanelGroup, "", "Inner"));

        // A counter out of range hands out nothing.
        table.database().exec("UPDATE Items SET ID=" + value + " WHERE Type=0");
        EXPECT_EQ(errorKey([&] { table.NewIdentifier(); }), "IDS_NEWIDERROR");
    }
}

} // namespace
} // namespace kalydor
