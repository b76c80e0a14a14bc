// An import is one transaction of the store: one commit however many items it brings, a
// program stopped half-way leaves the table as it was, and another program's changes neither
// break into it nor end it half-way.

#include "base/error.h"
#include "constructions/material.h"
#include "constructions/registration.h"
#include "exchange/textexchange.h"
#include "platform/scriptedprompter.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace kalydor {
namespace {

using platform::ScopedPrompter;
using platform::ScriptedPrompter;

// A text exchange file of `count` materials in the group `group`.
std::string materialsText(const std::string& group, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "\"KALYDOR32MATERIAL\" 1\r\n2024 5 6\r\n\"" + group + "\"\r\n\"Material " +
                std::to_string(i) + "\"\r\n1\t0\t\r\n25\t1800\t0,8\t0\t0\t0\t0\t8\t\r\n\r\n";
    return text;
}

// Every record of a table with its data block, to compare a table with itself later.
std::vector<std::pair<Reference, std::string>> contents(ItemStore& table) {
    std::vector<std::pair<Reference, std::string>> records;
    std::vector<Reference> all;
    table.forEachRecord([&all](const Reference& record, std::size_t) { all.push_back(record); });
    for (const Reference& record : all) {
        EXPECT_TRUE(table.FindRecord(record.Type, record.RefID, record.Name));
        records.emplace_back(record, table.currentData());
    }
    return records;
}

class ImportTransaction : public ::testing::Test {
protected:
    void SetUp() override {
        registerConstructionItems();
        store = std::make_unique<ItemStore>(dir.directory(), "material.db", TableMode::Create,
                                            TableKind::Catalogue);
    }
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir.file(name), std::ios::binary) << text;
        return dir.file(name);
    }

    ImportResult import(const std::string& file, const ImportOptions& options = {}) {
        OverwriteAnswers answers;
        return ImportItems(*store, ItemKind::Material, file, answers, options);
    }

    test::TempDir dir;
    std::unique_ptr<ItemStore> store;
    ScriptedPrompter prompter;
    ScopedPrompter scope{prompter};
};

// Each imported item was two durable commits (its record, then its data block); on a disk
// where a commit waits ~3 ms, 1,000 materials took seven seconds.
TEST_F(ImportTransaction, IsOneCommitInTheTextAndTheXmlForm) {
    const std::string text =
        write("in.txt", materialsText("Zidărie\\\\Cărămizi", 40) + "\"END\"\r\n");
    std::uint64_t commits = store->database().commits();
    ImportResult result = import(text);
    ASSERT_FALSE(result.failed) << result.message;
    EXPECT_EQ(result.added, 40);
    EXPECT_EQ(store->database().commits() - commits, 1u);

    const std::string xml = dir.file("out.xml");
    ASSERT_EQ(
        ExportItems(*store, ItemKind::Material, ItemsInTreeOrder(*store, ItemKind::Material), xml)
            .written,
        40);
    store = std::make_unique<ItemStore>(dir.directory(), "other.db", TableMode::Create,
                                        TableKind::Catalogue);
    commits = store->database().commits();
    result = import(xml);
    ASSERT_FALSE(result.failed) << result.message;
    EXPECT_EQ(result.added, 40);
    EXPECT_EQ(store->database().commits() - commits, 1u);
}

// The items read before an error that ends the import stay stored: committed once, with the
// error.
TEST_F(ImportTransaction, AnErrorThatEndsTheImportKeepsWhatCameBefore) {
    const std::string file =
        write("in.txt", materialsText("A", 3) + "\"KALYDOR32MATERIAL\" 1\r\n2024 1 1\r\n\"A\"");
    const std::uint64_t commits = store->database().commits();
    const ImportResult result = import(file);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.added, 3);
    EXPECT_EQ(store->database().commits() - commits, 1u);
    EXPECT_EQ(store->ListRecords(RecordType::Material).size(), 3u);
    EXPECT_EQ(prompter.messages().size(), 1u);
}

// A kill of the program in the middle of an import left records without data (11 of 20
// kills), which read back as all-zero "Undefined" materials. Killed half-way, the import
// leaves the table as it was before.
TEST_F(ImportTransaction, AProgramKilledHalfWayLeavesTheTableAsItWas) {
    ASSERT_FALSE(import(write("first.txt", materialsText("Lemn", 5) + "\"END\"\r\n")).failed);
    const auto before = contents(*store);
    const std::string file = write("in.txt", materialsText("Zidărie", 30) + "\"END\"\r\n");
    store.reset(); // no connection crosses the fork

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ItemStore table(dir.directory(), "material.db", TableMode::Open, TableKind::Catalogue);
        int seen = 0;
        const ImportOptions killed{[&seen](DBItem&) {
            if (++seen == 12)
                ::raise(SIGKILL);
        }};
        OverwriteAnswers answers;
        ImportItems(table, ItemKind::Material, file, answers, killed);
        ::_exit(3); // not reached
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

    store = std::make_unique<ItemStore>(dir.directory(), "material.db", TableMode::Open,
                                        TableKind::Catalogue);
    EXPECT_EQ(contents(*store), before);
}

// Two imports into one catalogue at once: one stopped part-way with "database is locked"
// (5 of 8 runs). The import takes the table's write lock for its whole length, so nobody
// changes the table in its middle...
TEST_F(ImportTransaction, NoOtherProgramChangesTheTableInItsMiddle) {
    SqliteDatabase other(store->path(), SqliteOpen::ExistingFile);
    other.setBusyTimeout(0);
    int attempts = 0;
    int refused = 0;
    const ImportOptions tryingToWrite{[&](DBItem&) {
        ++attempts;
        try {
            other.exec("BEGIN IMMEDIATE");
            other.exec("ROLLBACK");
        } catch (const Error& error) {
            refused += error.key() == "IDS_TABLEBUSY";
        }
    }};
    const ImportResult result =
        import(write("in.txt", materialsText("A", 5) + "\"END\"\r\n"), tryingToWrite);
    ASSERT_FALSE(result.failed) << result.message;
    EXPECT_EQ(attempts, 5);
    EXPECT_EQ(refused, 5);
}

// ...and when another program holds the table longer than the import waits, nothing is
// stored and the message says that the table is busy.
TEST_F(ImportTransaction, WhenTheWaitForAnotherProgramFailsNothingIsStored) {
    test::FakeLanguage language{{"IDS_TABLEBUSY", "busy: %s"}};
    const std::string text = write("in.txt", materialsText("A", 5) + "\"END\"\r\n");
    const std::string xml = dir.file("in.xml");
    ASSERT_FALSE(import(text).failed);
    ExportItems(*store, ItemKind::Material, ItemsInTreeOrder(*store, ItemKind::Material), xml);
    store = std::make_unique<ItemStore>(dir.directory(), "empty.db", TableMode::Create,
                                        TableKind::Catalogue);
    store->database().setBusyTimeout(50);

    for (const std::string& file : {text, xml}) {
        SCOPED_TRACE(file);
        const auto before = contents(*store);
        SqliteDatabase other(store->path(), SqliteOpen::ExistingFile);
        other.exec("BEGIN IMMEDIATE");
        const ImportResult result = import(file);
        EXPECT_TRUE(result.failed);
        EXPECT_EQ(result.message.rfind("busy: ", 0), 0u) << result.message;
        EXPECT_NE(result.message.find("empty.db"), std::string::npos) << result.message;
        EXPECT_EQ(result.stored(), 0);
        EXPECT_EQ(prompter.messages().back(), result.message);
        other.exec("ROLLBACK");
        EXPECT_EQ(contents(*store), before);
    }
}

// Two programs importing into one catalogue at the same moment both store everything: the
// second waits for the first.
TEST_F(ImportTransaction, TwoProgramsImportingAtOnceBothStoreEverything) {
    const std::string files[] = {write("a.txt", materialsText("A", 150) + "\"END\"\r\n"),
                                 write("b.txt", materialsText("B", 150) + "\"END\"\r\n")};
    store.reset();
    std::vector<pid_t> children;
    for (const std::string& file : files) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ItemStore table(dir.directory(), "material.db", TableMode::Open, TableKind::Catalogue);
            OverwriteAnswers answers;
            const ImportResult result = ImportItems(table, ItemKind::Material, file, answers, {});
            ::_exit(!result.failed && result.added == 150 ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    store = std::make_unique<ItemStore>(dir.directory(), "material.db", TableMode::Open,
                                        TableKind::Catalogue);
    EXPECT_EQ(store->ListRecords(RecordType::Material).size(), 300u);
}

} // namespace
} // namespace kalydor
