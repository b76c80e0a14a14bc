// Tables treated carelessly or with hostile intent: holding identifiers no calendar has.

#include "base/error.h"
#include "platform/scriptedprompter.h"
#include "store/datamodule.h"
#include "store/identifier.h"
#include "store/itemkinds.h"
#include "store/sqlitedatabase.h"
#include "store/treemodel.h"

#include "store/testitem.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <variant>

namespace kalydor {
namespace {

// The key of the error an operation raised; empty when it raised none.
template <typename Operation> std::string errorKey(Operation&& operation) {
    try {
        operation();
    } catch (const Error& error) {
        return error.key();
    }
    return {};
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
        TDataModuleForm table(dir.directory(), "P", TableMode::Create);
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
        TreeNode* root = table.FillGroupTree(tree, "Constructions", RecordType::PanelGroup, true);
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
