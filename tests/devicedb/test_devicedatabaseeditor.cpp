// The maintenance commands of the device database, with a scripted prompter: loading sources
// with their questions, resets and a fault in the middle of a file; export, deletion, the
// reduced table and the estimate codes.

#include "devicedb/devicedatabaseeditor.h"

#include "base/error.h"
#include "devicedb/devicehierarchy.h"
#include "devicedb/deviceset.h"
#include "devicedb/devicestore.h"
#include "devicedb/devicetext.h"
#include "platform/scriptedprompter.h"

#include "devicedb/devicetestfiles.h"
#include "devicedb/samplefamily.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kalydor {
namespace {

using platform::OverwriteAnswer;
using platform::ScopedPrompter;
using platform::ScriptedPrompter;

// A text source holding items, ended by "END".
std::string source(std::initializer_list<const DeviceItem*> items, const std::string& before = {}) {
    std::string text = before;
    for (const DeviceItem* item : items)
        writeDeviceText(text, *item);
    writeDeviceTextEnd(text);
    return text;
}

RadiatorFamily family(const std::string& name, const std::string& path) {
    RadiatorFamily f = test::sampleFamily();
    f.Name = name;
    f.Path = path;
    return f;
}

class DeviceMaintenance : public ::testing::Test {
protected:
    void SetUp() override { table = DeviceStore::create(dir.file("Kalydor32.db")); }
    std::string write(const std::string& name, const std::string& text) {
        test::writeBytes(dir.file(name), text);
        return dir.file(name);
    }
    std::vector<std::string> names(DeviceKind kind) {
        DeviceHierarchy folders(kind);
        folders.load(*table);
        return folders.Names;
    }

    const test::FakeLanguage language{{"IDS_OVERWRITEITEM", "replace %s - %s?"},
                                      {"IDS_WANTGROUPDELETE", "delete folder %s?"},
                                      {"IDS_WANTITEMDELETE", "delete %s?"}};
    test::TempDir dir;
    std::unique_ptr<DeviceStore> table;
    ScriptedPrompter prompter;
    ScopedPrompter scope{prompter};
};

TEST_F(DeviceMaintenance, LoadAsksBeforeReplacingAndCounts) {
    const RadiatorFamily a = family("A", "Oțel");
    const RadiatorFamily b = family("B", "Oțel");
    const PieceList p = test::samplePieceList();
    DeviceDatabaseEditor editor(*table);
    DeviceLoadResult first;
    editor.load({write("one.txt", source({&a, &b, &p}))}, StandingAnswer::None, first);
    EXPECT_EQ(first.added, 3u);
    EXPECT_EQ(first.files, 1u);
    EXPECT_TRUE(prompter.overwriteQuestions().empty());
    EXPECT_EQ(names(DeviceKind::RadiatorFamily), (std::vector<std::string>{"A", "B"}));

    // A second load: A declined, B replaced; a to-all answer holds for the rest of the load.
    RadiatorFamily changed = family("A", "Oțel");
    changed.Sizes[0].Power = 1;
    const RadiatorFamily b2 = family("B", "Oțel\\Nou");
    const RadiatorFamily c = family("C", "");
    prompter.scriptOverwrite(OverwriteAnswer::No);
    prompter.scriptOverwrite(OverwriteAnswer::YesToAll);
    DeviceLoadResult second;
    editor.load({write("two.txt", source({&changed, &b2, &c, &p}))}, StandingAnswer::None, second);
    EXPECT_EQ(second.kept, 1u);
    EXPECT_EQ(second.replaced, 2u);
    EXPECT_EQ(second.added, 1u);
    ASSERT_EQ(prompter.overwriteQuestions().size(), 2u);
    EXPECT_EQ(prompter.overwriteQuestions()[0], "replace Oțel - A?");
    EXPECT_EQ(editor.check(DeviceKind::RadiatorFamily, "A")->kind(), DeviceKind::RadiatorFamily);
    const std::unique_ptr<DeviceItem> storedA = editor.check(DeviceKind::RadiatorFamily, "A");
    const auto* stored = dynamic_cast<const RadiatorFamily*>(storedA.get());
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Sizes[0].Power, a.Sizes[0].Power); // declined: the old data stayed
    EXPECT_EQ(editor.check(DeviceKind::RadiatorFamily, "B")->Path, "Oțel\\Nou");

    // A standing answer and AUTOYES need no question.
    DeviceLoadResult third;
    editor.load({write("three.txt", source({&a}))}, StandingAnswer::NoToAll, third);
    EXPECT_EQ(third.kept, 1u);
    DeviceLoadResult fourth;
    editor.load({write("four.txt", source({&a}, "\"AUTOYES\"\r\n"))}, StandingAnswer::None, fourth);
    EXPECT_EQ(fourth.replaced, 1u);
    EXPECT_EQ(prompter.overwriteQuestions().size(), 2u);
}

TEST_F(DeviceMaintenance, ResetEmptiesTableAndFolderLists) {
    const RadiatorFamily a = family("A", "X");
    const RadiatorFamily b = family("B", "Y");
    DeviceDatabaseEditor editor(*table);
    DeviceLoadResult result;
    editor.load({write("a.txt", source({&a})), write("b.txt", source({&b}, "\"RESET\"\r\n"))},
                StandingAnswer::None, result);
    EXPECT_EQ(result.resets, 1u);
    EXPECT_EQ(result.files, 2u);
    EXPECT_EQ(names(DeviceKind::RadiatorFamily), (std::vector<std::string>{"B"}));
    EXPECT_EQ(editor.check(DeviceKind::RadiatorFamily, "A"), nullptr);
}

TEST_F(DeviceMaintenance, AFaultKeepsWhatCameBeforeWithItsFolders) {
    const RadiatorFamily a = family("A", "X");
    const RadiatorFamily b = family("B", "X");
    std::string broken = source({&a});
    broken.resize(broken.size() - std::string("\"END\"\r\n").size());
    writeDeviceText(broken, b);
    broken.resize(broken.size() / 2 + broken.size() / 4); // B cut off in its sizes
    DeviceDatabaseEditor editor(*table);
    DeviceLoadResult result;
    EXPECT_THROW(editor.load({write("cut.txt", broken)}, StandingAnswer::None, result), Error);
    EXPECT_EQ(result.added, 1u);
    EXPECT_EQ(result.files, 0u);
    EXPECT_EQ(names(DeviceKind::RadiatorFamily), (std::vector<std::string>{"A"}));
    EXPECT_NE(editor.check(DeviceKind::RadiatorFamily, "A"), nullptr);
}

TEST_F(DeviceMaintenance, ExportDeleteReduceAndEstimateCodes) {
    const RadiatorFamily a = family("A", "Oțel");
    const RadiatorFamily b = family("B", "Oțel\\Vechi");
    const PieceList p = test::samplePieceList();
    DeviceDatabaseEditor editor(*table);
    DeviceLoadResult loaded;
    editor.load({write("all.txt", source({&a, &b, &p}))}, StandingAnswer::None, loaded);

    // Export of everything, as text and as XML, reads back to the same items.
    DeviceSet all(*table, SetSelection::Without);
    const DeviceExportResult text = editor.exportItems(all, dir.file("out.txt"));
    EXPECT_EQ(text.written, 3u);
    EXPECT_TRUE(text.fileWritten);
    EXPECT_EQ(editor.exportItems(all, dir.file("out.XML")).written, 3u);
    std::unique_ptr<DeviceStore> other = DeviceStore::create(dir.file("other.db"));
    DeviceDatabaseEditor otherEditor(*other);
    DeviceLoadResult back;
    otherEditor.load({dir.file("out.txt"), dir.file("out.XML")}, StandingAnswer::YesToAll, back);
    EXPECT_EQ(back.added, 3u);
    EXPECT_EQ(back.replaced, 3u);

    // The reduced table holds only the chosen items and their folder entries.
    DeviceSet chosen(*table, SetSelection::With);
    chosen.select(DeviceKind::RadiatorFamily, "B", true);
    chosen.AllItems = false;
    EXPECT_EQ(editor.reduce(chosen, dir.file("small.db")), 1u);
    {
        std::unique_ptr<DeviceStore> small = DeviceStore::open(dir.file("small.db"));
        DeviceDatabaseEditor smallEditor(*small);
        EXPECT_EQ(smallEditor.check(DeviceKind::RadiatorFamily, "A"), nullptr);
        EXPECT_EQ(smallEditor.check(DeviceKind::RadiatorFamily, "B")->Path, "Oțel\\Vechi");
    }
    EXPECT_EQ(test::errorKey([&] { editor.reduce(chosen, table->path()); }), "IDS_TABLELOCKED");
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("")))
        EXPECT_EQ(entry.path().filename().string().find(".part-"), std::string::npos);

    // New codes of both kinds go to the link file; "@" codes and known ones do not.
    test::writeBytes(dir.file("deviz.ocs"), "P22.600.400;\tknown\r\n");
    const auto pairs = editor.appendEstimateCodes(dir.file("deviz.ocs"));
    EXPECT_EQ(pairs.size(), 4u); // P22.600.500, P11.300.400, C-100, P22
    EXPECT_EQ(test::fileBytes(dir.file("deviz.ocs")).substr(0, 20), "P22.600.400;\tknown\r\n");

    // Deleting asks first; declined, nothing goes.
    prompter.scriptYesNo(false);
    EXPECT_FALSE(editor.deleteFolder(DeviceKind::RadiatorFamily, "Oțel"));
    EXPECT_EQ(names(DeviceKind::RadiatorFamily).size(), 2u);
    prompter.scriptYesNo(true);
    EXPECT_TRUE(editor.deleteItem(DeviceKind::PieceList, p.Name));
    EXPECT_TRUE(names(DeviceKind::PieceList).empty());
    prompter.scriptYesNo(true);
    EXPECT_TRUE(editor.deleteFolder(DeviceKind::RadiatorFamily, "Oțel"));
    EXPECT_TRUE(names(DeviceKind::RadiatorFamily).empty());
    EXPECT_EQ(editor.check(DeviceKind::RadiatorFamily, "B"), nullptr);
}

TEST_F(DeviceMaintenance, XmlExportReportsItemsInNoFolder) {
    // The XML form requires a folder: an item of the root is written but named, since reading
    // the file back refuses it.
    const RadiatorFamily root = family("R", "");
    const RadiatorFamily inFolder = family("F", "Oțel");
    DeviceDatabaseEditor editor(*table);
    DeviceLoadResult loaded;
    editor.load({write("root.txt", source({&root, &inFolder}))}, StandingAnswer::None, loaded);
    DeviceSet all(*table, SetSelection::Without);
    EXPECT_EQ(editor.exportItems(all, dir.file("out.xml")).rootItems,
              std::vector<std::string>{"R"});
    EXPECT_TRUE(editor.exportItems(all, dir.file("out.txt")).rootItems.empty());
}

} // namespace
} // namespace kalydor
