#include "base/error.h"
#include "platform/scriptedprompter.h"
#include "store/identifier.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemtree.h"
#include "store/sqlitedatabase.h"
#include "store/storehooks.h"
#include "store/treemodel.h"

#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kalydor {
namespace {

namespace fs = std::filesystem;
using RecordList = std::vector<std::pair<Reference, std::size_t>>;

RecordList allRecords(ItemStore& table) {
    RecordList records;
    table.forEachRecord(
        [&](const Reference& r, std::size_t size) { records.emplace_back(r, size); });
    return records;
}

class ProjectTable : public ::testing::Test {
protected:
    test::TempDir dir;
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter installed{prompter};
    std::unique_ptr<ItemStore> table =
        std::make_unique<ItemStore>(dir.directory(), "P", TableMode::Create);

    void TearDown() override { storeHooks() = StoreHooks(); }
};

TEST_F(ProjectTable, ANewTableHoldsTheHeaderAndTheOptionsRecord) {
    EXPECT_EQ(table->fileName(), "P.db");
    EXPECT_TRUE(fs::exists(dir.file("P.db")));
    const RecordList records = allRecords(*table);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].first, (Reference{0, "Kalydor-Ro 4.5", "1901.01.01.", "1901.01.01."}));
    EXPECT_EQ(records[1].first, (Reference{1, "", "1901.01.01.", "1901.01.01."}));
    EXPECT_EQ(table->RootId(), "1901.01.01.");

    EXPECT_EQ(table->AddRecord(RecordType::PanelGroup, "", "Walls"), "1901.01.02.");
    EXPECT_EQ(table->AddRecord(RecordType::PanelGroup, "", "Roofs"), "1901.01.03.");
    EXPECT_EQ(allRecords(*table)[0].first.ID, "1901.01.03."); // the counter in the header
    EXPECT_EQ(table->NewIdentifier(), "1901.01.04.");
}

TEST_F(ProjectTable, TheCounterSurvivesReopening) {
    table->AddRecord(RecordType::PanelGroup, "", "A");
    table.reset();
    ItemStore reopened(dir.directory(), "P.db", TableMode::Open);
    EXPECT_EQ(reopened.AddRecord(RecordType::PanelGroup, "", "B"), "1901.01.03.");
    ASSERT_TRUE(reopened.FindRecord(RecordType::PanelGroup, "1901.01.01.", "A"));
    EXPECT_EQ(reopened.current().ID, "1901.01.02.");
}

TEST(CatalogueTable, HoldsTheHeaderOnly) {
    test::TempDir dir;
    ItemStore table(dir.directory(), "material.db", TableMode::Create, TableKind::Catalogue);
    const RecordList records = allRecords(table);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].first.Type, 0);
    // Type 1 is a material group here: no nameless phantom group may exist.
    EXPECT_TRUE(table.ListRecords(RecordType::MaterialGroup).empty());
}

TEST_F(ProjectTable, NewTablesGetTheDataBlocksOfTheInstalledHooks) {
    storeHooks().newProjectDescription = [] { return std::string("desc"); };
    storeHooks().newProjectOptions = [] { return std::string("options"); };
    ItemStore other(dir.directory(), "Q", TableMode::Create);
    const RecordList records = allRecords(other);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].second, 4u);
    EXPECT_EQ(records[1].second, 7u);
}

TEST_F(ProjectTable, PathResolutionCreatesReusesAndReturnsTheRoot) {
    const std::string b = table->GroupOfPath(RecordType::PanelGroup, "A\\B", '\\');
    ASSERT_TRUE(table->FindRecord(RecordType::PanelGroup, "", "A"));
    const std::string a = table->current().ID;
    ASSERT_TRUE(table->FindRecord(RecordType::PanelGroup, a, "B"));
    EXPECT_EQ(table->current().ID, b);
    const std::size_t count = allRecords(*table).size();

    EXPECT_EQ(table->GroupOfPath(RecordType::PanelGroup, "A\\B", '\\'), b);
    EXPECT_EQ(table->GroupOfPath(RecordType::PanelGroup, "A\\B\\", '\\'), b); // trailing: nothing
    EXPECT_EQ(allRecords(*table).size(), count);
    EXPECT_EQ(table->GroupOfPath(RecordType::PanelGroup, "", '\\'), "1901.01.01.");
    // The clipboard separates with a line feed; an empty component is a group of that name.
    EXPECT_EQ(table->GroupOfPath(RecordType::PanelGroup, "A\nB", '\n'), b);
    const std::string empty = table->GroupOfPath(RecordType::PanelGroup, "A\\\\C", '\\');
    EXPECT_EQ(table->PathOfGroup(RecordType::PanelGroup, empty, '\\'), "A\\\\C\\");
}

TEST_F(ProjectTable, PathResolutionFailsInsteadOfFilingInTheRoot) {
    // A name longer than the table holds cannot become a group: the error stops the import
    // rather than putting its items into the root group.
    const std::string longName(33, 'x');
    EXPECT_THROW(table->GroupOfPath(RecordType::PanelGroup, "A\\" + longName, '\\'), Error);
    EXPECT_NO_THROW(table->GroupOfPath(RecordType::PanelGroup, std::string(32, 'y'), '\\'));
    EXPECT_NO_THROW(table->AddRecord(RecordType::Panel, "", "Ablakok és ajtók fő bejáratnál 2"));
}

TEST_F(ProjectTable, PathOfGroup) {
    const std::string b = table->GroupOfPath(RecordType::PanelGroup, "A\\B", '\\');
    EXPECT_EQ(table->PathOfGroup(RecordType::PanelGroup, b, '\\'), "A\\B\\");
    EXPECT_EQ(table->PathOfGroup(RecordType::PanelGroup, b, '/'), "A/B/");
    EXPECT_EQ(table->PathOfGroup(RecordType::PanelGroup, "1901.01.01.", '\\'), "");
    EXPECT_EQ(table->PathOfGroup(RecordType::PanelGroup, "", '\\'), "");
    EXPECT_EQ(table->PathOfGroup(RecordType::PanelGroup, "1950.01.01.", '\\'), "");
    EXPECT_EQ(table->PathOfGroup(RecordType::RoomGroup, b, '\\'), ""); // another kind's groups
}

TEST_F(ProjectTable, MoveRecordRefusals) {
    const std::string a = table->AddRecord(RecordType::PanelGroup, "", "A");
    const std::string b = table->AddRecord(RecordType::PanelGroup, a, "B");
    const std::string c = table->AddRecord(RecordType::PanelGroup, b, "C");
    table->AddRecord(RecordType::Panel, a, "Wall");
    table->AddRecord(RecordType::Panel, b, "Wall");

    EXPECT_FALSE(table->MoveRecord(RecordType::Panel, "Wall", a, a));          // already there
    EXPECT_FALSE(table->MoveRecord(RecordType::Panel, "Wall", a, b));          // name taken
    EXPECT_FALSE(table->MoveRecord(RecordType::Panel, "Nothing", a, b));       // no such record
    EXPECT_FALSE(table->MoveRecord(RecordType::PanelGroup, "A", "", a));       // under itself
    EXPECT_FALSE(table->MoveRecord(RecordType::PanelGroup, "A", "", c));       // under a descendant
    EXPECT_FALSE(table->MoveRecord(RecordType::Panel, "Wall", a, "bad text")); // no such group text

    EXPECT_TRUE(table->MoveRecord(RecordType::Panel, "Wall", a, c));
    ASSERT_TRUE(table->FindRecord(RecordType::Panel, c, "Wall"));
    EXPECT_TRUE(table->MoveRecord(RecordType::PanelGroup, "C", b, ""));
    EXPECT_EQ(table->PathOfGroup(RecordType::PanelGroup, c, '\\'), "C\\");
}

TEST_F(ProjectTable, RenameRecord) {
    const std::string a = table->AddRecord(RecordType::PanelGroup, "", "A");
    table->AddRecord(RecordType::Panel, a, "Old");
    table->AddRecord(RecordType::Panel, a, "Taken");
    table->RenameRecord(RecordType::Panel, a, "Old", "New");
    EXPECT_FALSE(table->FindRecord(RecordType::Panel, a, "Old"));
    EXPECT_TRUE(table->FindRecord(RecordType::Panel, a, "New"));
    table->RenameRecord(RecordType::Panel, a, "Missing", "Other"); // nothing happens
    EXPECT_FALSE(table->FindRecord(RecordType::Panel, a, "Other"));
    EXPECT_THROW(table->RenameRecord(RecordType::Panel, a, "New", "Taken"), Error);
    EXPECT_THROW(table->RenameRecord(RecordType::Panel, a, "New", std::string(33, 'n')), Error);
    EXPECT_TRUE(table->FindRecord(RecordType::Panel, a, "New"));
}

TEST_F(ProjectTable, IdentifiersAreAcceptedOnlyInTheirExactForm) {
    table->AddRecord(RecordType::Panel, "", "Wall");
    EXPECT_TRUE(table->FindRecord(RecordType::Panel, "", "Wall"));
    EXPECT_TRUE(table->FindRecord(RecordType::Panel, "1901.01.01.", "Wall"));
    for (const char* bad : {"1901.1.1.", "x", "1901.01.01", "0"})
        EXPECT_FALSE(table->FindRecord(RecordType::Panel, bad, "Wall")) << bad;
    EXPECT_THROW(table->AddRecord(RecordType::Panel, "garbage", "Wall2"), Error);
    EXPECT_FALSE(table->FindRecordById(RecordType::Panel, "garbage").has_value());
}

TEST_F(ProjectTable, NamesAreExactKeysListedInReadingOrder) {
    for (const char* name : {"beton", "Ablak", "ablak", "Ajtó", "Ábra"})
        table->AddRecord(RecordType::Panel, "", name);
    std::vector<std::string> names;
    for (const Reference& r : table->ListRecords(RecordType::Panel))
        names.push_back(r.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Ablak", "ablak", "Ábra", "Ajtó", "beton"}));
    EXPECT_THROW(table->AddRecord(RecordType::Panel, "", "Ablak"), Error); // unique key
}

TEST_F(ProjectTable, GroupTreeAttachesAGroupCreatedBeforeItsParent) {
    // "Child" is made first in the root; then its new parent is made and "Child" moved
    // under it, so the child's record is listed before its parent's.
    const std::string child = table->AddRecord(RecordType::RoomGroup, "", "Child");
    const std::string parent = table->AddRecord(RecordType::RoomGroup, "", "Parent");
    const std::string grandchild = table->AddRecord(RecordType::RoomGroup, child, "Grandchild");
    ASSERT_TRUE(table->MoveRecord(RecordType::RoomGroup, "Child", "", parent));
    table->AddRecord(RecordType::Room, grandchild, "Kitchen");
    table->AddRecord(RecordType::Room, "", "Hall");
    table->AddRecord(RecordType::Room, "2010.01.01.", "Orphan");

    TreeModel tree;
    tree.addRoot("stale", std::nullopt);
    TreeNode* root = fillGroupTree(*table, tree, "Rooms", RecordType::RoomGroup);
    fillItemTree(*table, RecordType::Room, tree, root);

    ASSERT_EQ(tree.roots().size(), 1u);
    EXPECT_EQ(tree.absoluteIndex(root), 0);
    EXPECT_TRUE(root->expanded && root->selected);
    EXPECT_EQ(root->caption(), "Rooms");
    ASSERT_EQ(root->children().size(), 2u);
    EXPECT_EQ(root->children()[0]->caption(), "Hall");
    EXPECT_FALSE(root->children()[0]->isGroup());
    const TreeNode& parentNode = *root->children()[1];
    EXPECT_EQ(parentNode.caption(), "Parent");
    EXPECT_TRUE(parentNode.isGroup());
    ASSERT_EQ(parentNode.children().size(), 1u);
    const TreeNode& childNode = *parentNode.children()[0];
    EXPECT_EQ(childNode.identifier(), child);
    ASSERT_EQ(childNode.children().size(), 1u);
    EXPECT_EQ(childNode.children()[0]->caption(), "Grandchild");
    ASSERT_EQ(childNode.children()[0]->children().size(), 1u);
    EXPECT_EQ(childNode.children()[0]->children()[0]->caption(), "Kitchen");
    EXPECT_EQ(tree.nodeCount(), 6u); // the orphan item is left out
}

TEST_F(ProjectTable, DeleteGroupStopsAtARefusedItem) {
    const std::string group = table->AddRecord(RecordType::BuildingGroup, "", "Site");
    table->AddRecord(RecordType::Building, group, "A first");
    table->AddRecord(RecordType::Building, group, "B with rooms");
    table->AddRecord(RecordType::Building, group, "C last");
    storeHooks().mayDeleteItem = [](ItemStore&, const Reference& item) {
        return item.Name != "B with rooms";
    };

    EXPECT_FALSE(
        table->DeleteGroup(RecordType::BuildingGroup, RecordType::Building, "Site", group, ""));
    EXPECT_FALSE(table->FindRecord(RecordType::Building, group, "A first"));
    EXPECT_TRUE(table->FindRecord(RecordType::Building, group, "B with rooms"));
    EXPECT_TRUE(table->FindRecord(RecordType::Building, group, "C last"));
    EXPECT_TRUE(table->FindRecord(RecordType::BuildingGroup, "", "Site"));

    storeHooks().mayDeleteItem = nullptr;
    EXPECT_TRUE(
        table->DeleteGroup(RecordType::BuildingGroup, RecordType::Building, "Site", group, ""));
    EXPECT_TRUE(table->ListRecords(RecordType::Building).empty());
    EXPECT_TRUE(table->ListRecords(RecordType::BuildingGroup).empty());
    EXPECT_TRUE(table->DeleteItem(RecordType::Building, "", "never there"));
}

// A damaged table whose groups name each other as parents must not hang any walk up the tree.
TEST_F(ProjectTable, ACycleOfParentsEndsTheWalks) {
    const std::string a = table->AddRecord(RecordType::PanelGroup, "", "A");
    const std::string b = table->AddRecord(RecordType::PanelGroup, a, "B");
    table->database().exec("UPDATE Items SET RefID=" + std::to_string(*identifierDay(b)) +
                           " WHERE Type=32 AND Name='A'");
    EXPECT_EQ(table->PathOfGroup(RecordType::PanelGroup, b, '\\'), "A\\B\\");
    EXPECT_FALSE(table->MoveRecord(RecordType::PanelGroup, "Z", "", b));
    TreeModel tree;
    TreeNode* root = fillGroupTree(*table, tree, "Constructions", RecordType::PanelGroup);
    EXPECT_TRUE(root->children().empty());
}

struct VersionCase {
    const char* header;
    bool asked;
    bool answer;
    bool accepted;
    const char* afterwards;
};

TEST_F(ProjectTable, CheckProjectVersion) {
    test::FakeLanguage language({{"IDS_PROJEKTCONVERSION", "Convert the project?"}});
    const VersionCase cases[] = {
        {"Kalydor-Ro 4.5", false, false, true, "Kalydor-Ro 4.5"},
        {"Kalydor-Ro 4.0", true, true, true, "Kalydor-Ro 4.5"},
        {"Kalydor-Ro 4.0", true, false, false, "Kalydor-Ro 4.0"},
        {"", true, true, true, "Kalydor-Ro 4.5"},
        {"Kalydor-Ro 3.2", false, false, false, "Kalydor-Ro 3.2"},
        {"Kalydor-Hu 4.5", false, false, false, "Kalydor-Hu 4.5"},
    };
    bool oldestSeen = false;
    storeHooks().convertProject = [&](ItemStore&, bool oldest, const ConversionProgress&) {
        oldestSeen = oldest;
    };
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(std::string("header \"") + c.header + "\" answer " +
                     (c.answer ? "Yes" : "No"));
        table->database().exec(std::string("UPDATE Items SET Name='") + c.header +
                               "' WHERE Type=0");
        platform::ScriptedPrompter answers;
        platform::ScopedPrompter use(answers);
        if (c.asked)
            answers.scriptYesNo(c.answer);
        oldestSeen = false;
        EXPECT_EQ(table->CheckProjectVersion(), c.accepted);
        EXPECT_TRUE(answers.scriptUsed());
        EXPECT_EQ(answers.questions().size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(answers.questions()[0].text, "Convert the project?");
        }
        EXPECT_TRUE(answers.messages().empty());
        EXPECT_EQ(table->headerName(), c.afterwards);
        EXPECT_EQ(oldestSeen, c.accepted && c.asked && std::string(c.header).empty());
        if (c.accepted) {
            EXPECT_TRUE(table->CheckProjectVersion()); // then opens without a question
        }
    }
}

TEST_F(ProjectTable, AnOldProjectWithRoomsIsNotMarkedConvertedWithoutItsConverter) {
    table->AddRecord(RecordType::Room, "", "Kitchen");
    table->database().exec("UPDATE Items SET Name='' WHERE Type=0");
    prompter.scriptYesNo(true);
    EXPECT_THROW(table->CheckProjectVersion(), Error);
    EXPECT_EQ(table->headerName(), "");
}

TEST_F(ProjectTable, AProjectIsOpenedByOneStoreAtATime) {
    try {
        ItemStore second(dir.directory(), "P", TableMode::Open);
        ADD_FAILURE() << "a second store opened the project";
    } catch (const Error& error) {
        EXPECT_EQ(error.key(), "IDS_TABLELOCKED");
        EXPECT_NE(error.text().find("P.db"), std::string::npos);
    }
    // Creating over it must not delete the open project either.
    EXPECT_THROW(ItemStore(dir.directory(), "P", TableMode::Create), Error);
    table->AddRecord(RecordType::Panel, "", "Still here");

    table.reset();
    EXPECT_FALSE(fs::exists(dir.file("P.db-wal"))); // checkpointed away on close
    EXPECT_FALSE(fs::exists(dir.file("P.db-shm")));
    ItemStore reopened(dir.directory(), "P", TableMode::Open);
    EXPECT_TRUE(reopened.FindRecord(RecordType::Panel, "", "Still here"));
}

TEST(OpeningTables, MissingAndForeignFilesAreRefusedAndNeverCreated) {
    test::TempDir dir;
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter installed(prompter);
    try {
        ItemStore missing(dir.directory(), "Mistyped", TableMode::Open);
        ADD_FAILURE() << "opened a missing table";
    } catch (const Error& error) {
        EXPECT_EQ(error.key(), "IDS_TABLENOTFOUND");
    }
    EXPECT_FALSE(fs::exists(dir.file("Mistyped.db")));

    std::ofstream(dir.file("text.db")) << "this is not a table\n";
    for (const TableKind kind : {TableKind::Project, TableKind::Catalogue}) {
        try {
            ItemStore foreign(dir.directory(), "text.db", TableMode::Open, kind);
            ADD_FAILURE() << "opened a text file";
        } catch (const Error& error) {
            EXPECT_EQ(error.key(), "IDS_NOTATABLE");
        }
    }
    { std::ofstream(dir.file("empty.db")); }
    EXPECT_THROW(ItemStore(dir.directory(), "empty", TableMode::Open), Error);

    // The extension is added only when it is missing.
    EXPECT_EQ(ItemStore::tableFileName("P"), "P.db");
    EXPECT_EQ(ItemStore::tableFileName("P.DB"), "P.DB");
    EXPECT_EQ(ItemStore::tableFileName("my.project"), "my.project.db");
}

} // namespace
} // namespace kalydor

namespace kalydor {
namespace {

// A bulk operation may group many changes into one transaction; the changes of the store's
// own operations then commit or roll back with it.
TEST_F(ProjectTable, ChangesInsideAnOuterTransactionCommitWithIt) {
    {
        SqliteTransaction bulk(table->database());
        table->AddRecord(RecordType::PanelGroup, "", "Dropped");
    }
    EXPECT_FALSE(table->FindRecord(RecordType::PanelGroup, "", "Dropped"));
    EXPECT_EQ(table->NewIdentifier(), "1901.01.02."); // the counter rolled back too
    {
        SqliteTransaction bulk(table->database());
        table->AddRecord(RecordType::PanelGroup, "", "Kept");
        bulk.commit();
    }
    EXPECT_TRUE(table->FindRecord(RecordType::PanelGroup, "", "Kept"));
}

} // namespace
} // namespace kalydor
