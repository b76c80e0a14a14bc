#include "base/error.h"
#include "platform/scriptedprompter.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"

#include "store/testitem.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <variant>

namespace kalydor {
namespace {

using test::TestItem;

class ItemRecords : public ::testing::Test {
protected:
    test::TempDir dir;
    ItemStore table{dir.directory(), "items", TableMode::Create};
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter installed{prompter};
    test::FakeLanguage language{{"IDS_VERSIONERR", "Unknown record version %d."}};

    void storeBlock(const std::string& name, const std::string& data) {
        table.AddRecord(RecordType::Panel, "", name, data);
    }
};

TEST_F(ItemRecords, SaveAndLoadRoundTrip) {
    TestItem item;
    item.Note = "Tégla fal";
    item.Value = 0.1f;
    table.AddRecord(RecordType::Panel, "", "Wall");
    ASSERT_TRUE(item.SaveToRecord(table));

    ASSERT_TRUE(table.FindRecord(RecordType::Panel, "", "Wall"));
    TestItem loaded;
    ASSERT_TRUE(table.LoadItem(loaded));
    EXPECT_EQ(loaded.Note, "Tégla fal");
    EXPECT_EQ(loaded.Value, 0.1f);
    EXPECT_TRUE(prompter.messages().empty());

    // With a stream given, the record goes into it without version and the table is untouched.
    MemoryStream clip;
    loaded.SaveToRecord(table, &clip);
    MemoryStream expected;
    writeFloat(expected, 0.1f);
    WriteString(expected, "Tégla fal");
    EXPECT_EQ(clip.bytes(), expected.bytes());
}

// Every item is stored with its version word. An item record without data is what a program
// stopped between creating a record and writing its data left behind: read as a default item
// it would go out as an "Undefined" material and be kept over the real one on the next import.
TEST_F(ItemRecords, AnEmptyBlockIsACutOffStoreAndUnreadable) {
    const std::string walls = table.GroupOfPath(RecordType::PanelGroup, "Walls\\Outer", '\\');
    table.AddRecord(RecordType::Panel, walls, "Empty");
    TestItem item;
    try {
        (void)table.LoadItem(item);
        ADD_FAILURE() << "an empty block was read";
    } catch (const Error& error) {
        EXPECT_EQ(error.key(), "IDS_EMPTYITEMRECORD");
        ASSERT_EQ(error.args().size(), 1u);
        EXPECT_EQ(std::get<std::string>(error.args()[0]), "Walls\\Outer\\Empty");
    }
    EXPECT_TRUE(item.loadFailed());
    EXPECT_THROW(item.SaveToRecord(table), Error);
    EXPECT_EQ(table.currentData(), "");
}

// The identifier, the record and its data block are one commit: a stop in between cannot
// leave a record without its data.
TEST_F(ItemRecords, ARecordIsCreatedWithItsDataInOneCommit) {
    TestItem item;
    item.Note = "Cărămidă";
    const std::uint64_t before = table.database().commits();
    table.AddRecord(RecordType::Panel, "", "Brick", item.recordBytes());
    EXPECT_EQ(table.database().commits() - before, 1u);

    ASSERT_TRUE(table.FindRecord(RecordType::Panel, "", "Brick"));
    TestItem loaded;
    ASSERT_TRUE(table.LoadItem(loaded));
    EXPECT_EQ(loaded.Note, "Cărămidă");
}

TEST_F(ItemRecords, AnOlderVersionIsReadInItsLayout) {
    MemoryStream old;
    writeInt16(old, 2);
    writeFloat(old, 7.0f);
    storeBlock("Old", old.bytes());
    TestItem item;
    EXPECT_TRUE(table.LoadItem(item));
    EXPECT_EQ(item.Value, 7.0f);
}

// A record written by a newer program: the user is told, the item keeps its values, and the
// record is never overwritten by the half-read item.
TEST_F(ItemRecords, AnUnknownVersionIsReportedAndTheRecordProtected) {
    MemoryStream block;
    writeInt16(block, 57);
    storeBlock("Newer", block.bytes());

    TestItem item;
    item.Note = "before";
    EXPECT_FALSE(table.LoadItem(item));
    EXPECT_EQ(prompter.messages(), std::vector<std::string>{"Unknown record version 57."});
    EXPECT_EQ(item.Note, "before");
    EXPECT_TRUE(item.loadFailed());
    EXPECT_THROW(item.SaveToRecord(table), Error);
    EXPECT_EQ(table.currentData(), block.bytes());
}

TEST_F(ItemRecords, ATruncatedBlockRaisesTheReadErrorAndIsProtected) {
    const struct {
        const char* what;
        std::string data;
    } cases[] = {
        {"half a version word", std::string(1, '\x03')},
        {"version only", std::string("\x03\x00", 2)},
        {"float cut off", std::string("\x03\x00\x00\x00", 4)},
        {"string cut off", std::string("\x03\x00\x00\x00\xC0\x3F\x09\x00", 8)},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        storeBlock("Cut" + std::to_string(n++), c.data);
        TestItem item;
        try {
            (void)table.LoadItem(item);
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_EQ(error.key(), "IDS_DATAREADERROR");
        }
        EXPECT_TRUE(item.loadFailed());
        EXPECT_THROW(item.SaveToRecord(table), Error);
        EXPECT_EQ(table.currentData(), c.data);
    }
}

TEST(DBItem, PasteTurnsEveryErrorIntoFalse) {
    TestItem source;
    source.Name = "Window";
    source.Note = "triple glazing";
    MemoryStream clip;
    WriteString(clip, source.Name);
    source.WriteRecord(clip, VersionWord::Without);

    MemoryStream good(clip.bytes());
    TestItem pasted;
    EXPECT_TRUE(pasted.PasteFrom(good));
    EXPECT_EQ(pasted.Name, "Window");
    EXPECT_EQ(pasted.Note, "triple glazing");

    for (std::size_t cut = 0; cut < clip.size(); ++cut) {
        MemoryStream truncated(clip.bytes().substr(0, cut));
        TestItem item;
        EXPECT_FALSE(item.PasteFrom(truncated)) << "cut at " << cut;
    }
}

TEST(DBItem, FillListRowShowsTheNameInNameColumns) {
    struct Columns final : ListColumns {
        std::vector<int> visibleColumnIds() const override { return {0, 3, 0}; }
    };
    TestItem item;
    item.Name = "Roof";
    ListRow row;
    item.FillListRow(row, Columns());
    EXPECT_EQ(row.caption, "Roof");
    EXPECT_EQ(row.subItems, (std::vector<std::string>{"", "Roof"}));

    // The first visible column gives the caption, whatever its id.
    struct Reordered final : ListColumns {
        std::vector<int> visibleColumnIds() const override { return {3, 0}; }
    };
    ListRow reordered;
    item.FillListRow(reordered, Reordered());
    EXPECT_EQ(reordered.caption, "");
    EXPECT_EQ(reordered.subItems, std::vector<std::string>{"Roof"});
}

TEST(ItemKinds, RegisteredClassesOnly) {
    EXPECT_EQ(CreateItemOfKind(ItemKind::Construction),
              nullptr); // no class registered for constructions here
    registerItemKind(ItemKind::Construction, [] { return std::make_unique<TestItem>(); });
    const std::unique_ptr<DBItem> item = CreateItemOfKind(ItemKind::Construction);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->Name.empty() && item->ID.empty() && item->GroupID.empty());
    EXPECT_EQ(item->Untouched, 0);
    registerItemKind(ItemKind::Construction, nullptr);
    // A number cast to a kind that is not one of the four makes nothing.
    for (const int number : {0, 5, -1}) {
        EXPECT_EQ(CreateItemOfKind(static_cast<ItemKind>(number)), nullptr) << number;
        EXPECT_EQ(itemTypeOfKind(static_cast<ItemKind>(number)), -1) << number;
    }
    EXPECT_EQ(itemTypeOfKind(ItemKind::Room), RecordType::Room);
    EXPECT_EQ(groupTypeOfKind(ItemKind::Building), RecordType::BuildingGroup);
    EXPECT_EQ(groupTypeOfKind(ItemKind::Material), RecordType::MaterialGroup);
}

} // namespace
} // namespace kalydor
