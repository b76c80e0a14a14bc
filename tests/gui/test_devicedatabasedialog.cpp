// The maintenance of the device database and the set dialog, offscreen: the buttons follow the
// chosen row, the commands reach the editor with the files a chooser gives, and their results
// and errors are shown; the set dialog's boxes show the editor's marks.

#include "gui/devicedatabasedialog.h"
#include "gui/devicesetdialog.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "devicedb/devicehierarchy.h"
#include "devicedb/deviceset.h"
#include "devicedb/devicestore.h"
#include "devicedb/devicetext.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"

#include "devicedb/devicetestfiles.h"
#include "devicedb/samplefamily.h"
#include "devicedb/sampletable.h"
#include "support/qtapplication.h"
#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kalydor::gui {
namespace {

using platform::ScopedPrompter;
using platform::ScriptedPrompter;

const QString kRadiators = QStringLiteral("Radiatoare");
const QString kPieceLists = QStringLiteral("Liste de piese");
const QString kPanel = QStringLiteral("Panou T22/T11");
const QString kCastIron = QStringLiteral("Fontă 500");
const QString kSet = QStringLiteral("@SET-22");

RadiatorFamily family(const std::string& name, const std::string& path) {
    RadiatorFamily f = test::sampleFamily();
    f.Name = name;
    f.Path = path;
    return f;
}

std::string sourceText(const std::vector<const DeviceItem*>& items) {
    std::string text;
    for (const DeviceItem* item : items)
        writeDeviceText(text, *item);
    writeDeviceTextEnd(text);
    return text;
}

// A device table of two families (in "Oțel\Panouri" and "Fontă") and a piece list
// (in "Accesorii"), with the Romanian texts.
struct DeviceTableFixture : ::testing::Test {
    DeviceTableFixture() {
        test::qtApplication();
        test::romanianLanguages();
        table = DeviceStore::create(dir.file("Kalydor32.db"));
        const RadiatorFamily panel = test::sampleFamily();
        const RadiatorFamily castIron = family("Fontă 500", "Fontă");
        const PieceList set = test::samplePieceList();
        test::storeItems(*table, {&panel, &castIron, &set});
    }
    ~DeviceTableFixture() override { setTextLookup(nullptr); }

    std::unique_ptr<DeviceDatabaseDialog> dialog() {
        return std::make_unique<DeviceDatabaseDialog>(*table, settings, test::shippedLanguages());
    }
    std::string message(const char* key, const TextArgs& args) const {
        return formatText(GetText(key), args);
    }

    test::TempDir dir;
    std::unique_ptr<DeviceStore> table;
    platform::MemorySettingsStore settings;
    ScriptedPrompter prompter;
    ScopedPrompter scope{prompter};
};

const QStringList kPanelRow = {kRadiators, QStringLiteral("Oțel"), QStringLiteral("Panouri"),
                               kPanel};

using DeviceDatabaseForm = DeviceTableFixture;

TEST_F(DeviceDatabaseForm, ShowsTheTreesAndTheTableAndEnablesCommandsByTheChosenRow) {
    const auto form = dialog();
    EXPECT_EQ(form->objectName(), QStringLiteral("DeviceDatabaseForm"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Baza de date a corpurilor de încălzire"));
    EXPECT_EQ(form->tableFile()->text().toStdString(), table->path());
    ASSERT_EQ(form->tree()->topLevelItemCount(), 2);
    EXPECT_EQ(form->tree()->topLevelItem(0)->text(0), kRadiators);
    EXPECT_EQ(form->tree()->topLevelItem(1)->text(0), kPieceLists);
    test::saveScreenshot(*form, "DeviceDatabaseForm", true);

    struct Case {
        const char* what;
        QStringList row; // empty: nothing chosen
        bool check;
        bool erase;
    } cases[] = {
        {"nothing chosen", {}, false, false},
        {"a kind", {kRadiators}, false, true},
        {"a folder", {kRadiators, QStringLiteral("Oțel")}, false, true},
        {"a family", kPanelRow, true, true},
        {"a piece list", {kPieceLists, QStringLiteral("Accesorii"), kSet}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->tree()->clearSelection();
        if (!c.row.isEmpty()) {
            QTreeWidgetItem* row = form->rowAt(c.row);
            ASSERT_NE(row, nullptr);
            form->tree()->setCurrentItem(row);
        }
        EXPECT_EQ(form->button("CheckButton")->isEnabled(), c.check);
        EXPECT_EQ(form->button("DeleteButton")->isEnabled(), c.erase);
    }
}

// The question decides: declined, the item stays; confirmed, it leaves the table and the tree,
// and so does a folder with everything in it.
TEST_F(DeviceDatabaseForm, DeleteAsksAndRebuildsTheTree) {
    const auto form = dialog();
    form->tree()->setCurrentItem(form->rowAt(kPanelRow));
    prompter.scriptYesNo(false);
    form->button("DeleteButton")->click();
    EXPECT_NE(form->rowAt(kPanelRow), nullptr);
    ASSERT_EQ(prompter.questions().size(), 1u);
    EXPECT_EQ(prompter.questions()[0].text, message("IDS_WANTITEMDELETE", {kPanel.toStdString()}));

    prompter.scriptYesNo(true);
    form->button("DeleteButton")->click();
    EXPECT_EQ(form->rowAt(kPanelRow), nullptr);
    EXPECT_EQ(loadDeviceItem(*table, DeviceKind::RadiatorFamily, kPanel.toStdString()), nullptr);
    EXPECT_NE(form->rowAt({kRadiators, QStringLiteral("Fontă"), kCastIron}), nullptr);
    // The deleted row was the chosen one: nothing is chosen now.
    EXPECT_FALSE(form->button("DeleteButton")->isEnabled());

    form->tree()->setCurrentItem(form->rowAt({kPieceLists, QStringLiteral("Accesorii")}));
    prompter.scriptYesNo(true);
    form->button("DeleteButton")->click();
    EXPECT_EQ(prompter.questions().back().text,
              message("IDS_WANTGROUPDELETE", {std::string("Accesorii")}));
    EXPECT_EQ(form->rowAt({kPieceLists, QStringLiteral("Accesorii")}), nullptr);
    EXPECT_EQ(loadDeviceItem(*table, DeviceKind::PieceList, kSet.toStdString()), nullptr);
    EXPECT_TRUE(prompter.scriptUsed());
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(DeviceDatabaseForm, LoadStoresTheChosenSourcesAndSaysWhatItDid) {
    const RadiatorFamily fresh = family("Nou 600", "Oțel\\Noi");
    const RadiatorFamily changed = family("Fontă 500", "Fontă");
    const std::string source = dir.file("surse.txt");
    test::writeBytes(source, sourceText({&fresh, &changed}));
    const auto form = dialog();
    QStringList filters;
    FileCount count = FileCount::One;
    QStringList answer = {QString::fromStdString(source)};
    form->fileChooser.open = [&](QWidget*, const QString&, const QStringList& offered,
                                 FileCount allowed) {
        filters = offered;
        count = allowed;
        return answer;
    };
    prompter.scriptOverwrite(platform::OverwriteAnswer::No);
    form->button("LoadButton")->click();

    EXPECT_EQ(count, FileCount::Several);
    ASSERT_FALSE(filters.isEmpty());
    EXPECT_TRUE(filters.first().contains(QStringLiteral("*.txt *.xml")));
    EXPECT_NE(form->rowAt({kRadiators, QStringLiteral("Oțel"), QStringLiteral("Noi"),
                           QStringLiteral("Nou 600")}),
              nullptr);
    EXPECT_NE(loadDeviceItem(*table, DeviceKind::RadiatorFamily, "Nou 600"), nullptr);
    ASSERT_EQ(prompter.informations().size(), 1u);
    // One file: one family added, the stored one kept after the question.
    EXPECT_EQ(prompter.informations()[0],
              message("IDS_DEVICELOADRESULT",
                      {std::int64_t{1}, std::int64_t{1}, std::int64_t{0}, std::int64_t{1}}));
    EXPECT_TRUE(prompter.messages().empty());

    // A file that cannot be read: the error and the counts so far, and the dialog goes on.
    answer = {QString::fromStdString(dir.file("lipsă.txt"))};
    form->button("LoadButton")->click();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_NE(prompter.messages()[0].find("lipsă.txt"), std::string::npos);
    EXPECT_NE(prompter.messages()[0].find(
                  message("IDS_DEVICELOADRESULT",
                          {std::int64_t{0}, std::int64_t{0}, std::int64_t{0}, std::int64_t{0}})),
              std::string::npos);
    EXPECT_NE(form->rowAt({kRadiators, QStringLiteral("Oțel"), QStringLiteral("Noi"),
                           QStringLiteral("Nou 600")}),
              nullptr);
}

// Export and the reduced table write what the set chosen selects, to the file chosen, with
// the extension of the type chosen.
TEST_F(DeviceDatabaseForm, ExportAndReducedTableWriteTheChosenItems) {
    const auto form = dialog();
    int setsOffered = 0;
    form->chooseItems = [&](DeviceSet& set) {
        ++setsOffered;
        // A fresh set of the table: every item until the user chooses.
        EXPECT_TRUE(set.AllItems);
        EXPECT_TRUE(set.WithSelection);
        set.AllItems = false;
        set.select(DeviceKind::PieceList, kSet.toStdString(), true);
        return true;
    };
    QString saveAs;
    form->fileChooser.save = [&](QWidget*, const QString&, const QStringList&, int& chosen) {
        chosen = 0;
        return saveAs;
    };

    saveAs = QString::fromStdString(dir.file("piese"));
    form->button("ExportButton")->click();
    const std::string exported = test::fileBytes(dir.file("piese.xml"));
    EXPECT_NE(exported.find("@SET-22"), std::string::npos);
    EXPECT_EQ(exported.find("22-600-400"), std::string::npos); // a size of the family
    ASSERT_EQ(prompter.informations().size(), 1u);
    EXPECT_EQ(prompter.informations()[0],
              message("IDS_DEVICEEXPORTRESULT", {std::int64_t{1}, dir.file("piese.xml")}));

    saveAs = QString::fromStdString(dir.file("redus"));
    form->button("ReduceButton")->click();
    EXPECT_EQ(setsOffered, 2);
    const std::unique_ptr<DeviceStore> reduced = DeviceStore::open(dir.file("redus.db"));
    EXPECT_NE(loadDeviceItem(*reduced, DeviceKind::PieceList, kSet.toStdString()), nullptr);
    EXPECT_EQ(loadDeviceItem(*reduced, DeviceKind::RadiatorFamily, kPanel.toStdString()), nullptr);
    ASSERT_EQ(prompter.informations().size(), 2u);
    EXPECT_EQ(prompter.informations()[1],
              message("IDS_DEVICEREDUCERESULT", {std::int64_t{1}, dir.file("redus.db")}));

    // The open table itself is refused, and nothing is asked or written after a cancel.
    saveAs = QString::fromStdString(table->path());
    form->button("ReduceButton")->click();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_NE(prompter.messages()[0].find(table->path()), std::string::npos);
    form->chooseItems = [](DeviceSet&) { return false; };
    saveAs = QString::fromStdString(dir.file("nimic"));
    form->button("ExportButton")->click();
    EXPECT_FALSE(std::filesystem::exists(dir.file("nimic.xml")));
    EXPECT_EQ(prompter.informations().size(), 2u);
}

TEST_F(DeviceDatabaseForm, CheckShowsTheStoredItemWithItsFolder) {
    const auto form = dialog();
    std::vector<std::string> shown;
    form->showItem = [&](const DeviceItem& item) { shown.push_back(item.Path + "|" + item.Name); };
    form->tree()->setCurrentItem(form->rowAt({kPieceLists, QStringLiteral("Accesorii"), kSet}));
    form->button("CheckButton")->click();
    form->tree()->setCurrentItem(form->rowAt(kPanelRow));
    form->button("CheckButton")->click();
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Accesorii|@SET-22", "Oțel\\Panouri|Panou T22/T11"}));

    // Listed but no longer stored: said so, nothing shown.
    table->deleteRecord(itemRecordType(DeviceKind::RadiatorFamily), kPanel.toStdString());
    form->button("CheckButton")->click();
    EXPECT_EQ(shown.size(), 2u);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0], message("IDS_DEVICEITEMMISSING", {kPanel.toStdString()}));
}

// Another table: the dialog and its owner switch to it, and the settings name it; one that is
// not a device table is refused with its fault, and the one open stays.
TEST_F(DeviceDatabaseForm, ChooseDatabaseSwitchesOnlyToATableThatOpens) {
    const std::string otherPath = dir.file("Alt.db");
    {
        const std::unique_ptr<DeviceStore> other = DeviceStore::create(otherPath);
        const RadiatorFamily only = family("Singura", "");
        test::storeItems(*other, {&only});
    }
    test::writeBytes(dir.file("text.db"), "nu este un tabel");
    const auto form = dialog();
    std::unique_ptr<DeviceStore> taken;
    form->tableChosen = [&](std::unique_ptr<DeviceStore> chosen) { taken = std::move(chosen); };
    QString answer = QString::fromStdString(dir.file("text.db"));
    form->fileChooser.open = [&](QWidget*, const QString&, const QStringList&, FileCount) {
        return QStringList{answer};
    };

    form->button("ChooseTableButton")->click();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_NE(prompter.messages()[0].find("text.db"), std::string::npos);
    EXPECT_EQ(taken, nullptr);
    EXPECT_EQ(&form->table(), table.get());
    EXPECT_FALSE(settings.readText(std::string(kDeviceTableSettingsKey),
                                   std::string(kDeviceTableSettingsValue)));
    EXPECT_NE(form->rowAt(kPanelRow), nullptr);

    answer = QString::fromStdString(otherPath);
    form->button("ChooseTableButton")->click();
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(&form->table(), taken.get());
    EXPECT_EQ(form->tableFile()->text().toStdString(), otherPath);
    EXPECT_EQ(settings.textOr(std::string(kDeviceTableSettingsKey),
                              std::string(kDeviceTableSettingsValue), ""),
              otherPath);
    EXPECT_EQ(form->rowAt(kPanelRow), nullptr);
    EXPECT_NE(form->rowAt({kRadiators, QStringLiteral("Singura")}), nullptr);
}

TEST_F(DeviceDatabaseForm, EstimateCodesAppendsTheNewOnesAndSaysHowMany) {
    const std::string link = dir.file("legaturi.ocs");
    test::writeBytes(link, "P22.600.400;Panou 22 400\r\nC-100;Consolă\r\n");
    const auto form = dialog();
    form->fileChooser.open = [&](QWidget*, const QString&, const QStringList& filters, FileCount) {
        EXPECT_TRUE(filters.first().contains(QStringLiteral("*.ocs")));
        return QStringList{QString::fromStdString(link)};
    };
    form->button("EstimateCodesButton")->click();
    // The families' codes P22.600.500 and P11.300.400 (one "@" code and an empty one are
    // not codes; both families offer the same) and the piece list's P22.
    ASSERT_EQ(prompter.informations().size(), 1u);
    EXPECT_EQ(prompter.informations()[0],
              message("IDS_ESTIMATECODESAPPENDED", {std::int64_t{3}, link}));
    const std::string written = test::fileBytes(link);
    for (const char* code : {"P22.600.500;", "P11.300.400;", "P22;"})
        EXPECT_NE(written.find(code), std::string::npos) << code;
}

using DeviceSetForm = DeviceTableFixture;

Qt::CheckState shown(const DeviceSetDialog& form, const QStringList& captions) {
    for (QTreeWidgetItemIterator it(form.tree()); *it; ++it) {
        QStringList path;
        for (const QTreeWidgetItem* row = *it; row; row = row->parent())
            path.prepend(row->text(0));
        if (path == captions)
            return (*it)->checkState(0);
    }
    ADD_FAILURE() << captions.join('/').toStdString();
    return Qt::Unchecked;
}

QTreeWidgetItem* rowOf(const DeviceSetDialog& form, const QStringList& captions) {
    for (QTreeWidgetItemIterator it(form.tree()); *it; ++it) {
        QStringList path;
        for (const QTreeWidgetItem* row = *it; row; row = row->parent())
            path.prepend(row->text(0));
        if (path == captions)
            return *it;
    }
    return nullptr;
}

// A click on a folder's box checks everything below it, and the boxes above show partly
// checked; OK puts exactly the checked items into the set, Cancel leaves the set as it was.
TEST_F(DeviceSetForm, ClickingAFolderChecksItsItemsAndOnlyOkChangesTheSet) {
    for (const bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        DeviceSet set(*table, SetSelection::With);
        set.AllItems = false; // nothing chosen yet
        DeviceSetDialog form(set, test::shippedLanguages());
        EXPECT_EQ(form.objectName(), QStringLiteral("DeviceSetForm"));
        EXPECT_EQ(shown(form, kPanelRow), Qt::Unchecked);

        QTreeWidgetItem* steel = rowOf(form, {kRadiators, QStringLiteral("Oțel")});
        ASSERT_NE(steel, nullptr);
        steel->setCheckState(0, Qt::Checked);
        EXPECT_EQ(shown(form, kPanelRow), Qt::Checked);
        EXPECT_EQ(shown(form, {kRadiators, QStringLiteral("Oțel"), QStringLiteral("Panouri")}),
                  Qt::Checked);
        EXPECT_EQ(shown(form, {kRadiators}), Qt::PartiallyChecked);
        EXPECT_EQ(shown(form, {kRadiators, QStringLiteral("Fontă"), kCastIron}), Qt::Unchecked);
        EXPECT_EQ(shown(form, {kPieceLists}), Qt::Unchecked);

        if (ok)
            form.accept();
        else
            form.reject();
        EXPECT_EQ(set.isSelected(DeviceKind::RadiatorFamily, kPanel.toStdString()), ok);
        EXPECT_FALSE(set.isSelected(DeviceKind::RadiatorFamily, kCastIron.toStdString()));
        EXPECT_FALSE(set.isSelected(DeviceKind::PieceList, kSet.toStdString()));
        EXPECT_FALSE(set.AllItems);
    }
}

// The box of a partly checked folder follows the editor (partly becomes all), not the
// toolkit's tristate cycle; an item's click toggles only that item.
TEST_F(DeviceSetForm, BoxesShowTheEditorsMarks) {
    DeviceSet set(*table, SetSelection::With);
    DeviceSetDialog form(set, test::shippedLanguages());
    // A fresh set has every item.
    EXPECT_EQ(shown(form, {kRadiators}), Qt::Checked);
    rowOf(form, kPanelRow)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(shown(form, kPanelRow), Qt::Unchecked);
    EXPECT_EQ(shown(form, {kRadiators, QStringLiteral("Oțel")}), Qt::Unchecked);
    EXPECT_EQ(shown(form, {kRadiators}), Qt::PartiallyChecked);
    EXPECT_EQ(shown(form, {kRadiators, QStringLiteral("Fontă"), kCastIron}), Qt::Checked);
    form.tree()->expandAll();
    test::saveScreenshot(form, "DeviceSetForm", true);

    rowOf(form, {kRadiators})->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(shown(form, {kRadiators}), Qt::Checked);
    EXPECT_EQ(shown(form, kPanelRow), Qt::Checked);
    rowOf(form, {kRadiators})->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(shown(form, kPanelRow), Qt::Unchecked);
    EXPECT_EQ(shown(form, {kPieceLists}), Qt::Checked);
}

// A set file written from the marks loads back; a file that is not a set file is named with
// its fault and the marks stay.
TEST_F(DeviceSetForm, SetFilesSaveAndLoadTheMarks) {
    DeviceSet set(*table, SetSelection::With);
    set.AllItems = false;
    DeviceSetDialog form(set, test::shippedLanguages());
    rowOf(form, {kPieceLists})->setCheckState(0, Qt::Checked);
    form.fileChooser.save = [&](QWidget*, const QString&, const QStringList& filters, int& chosen) {
        EXPECT_TRUE(filters.first().contains(QStringLiteral("*.set")));
        chosen = 0;
        return QString::fromStdString(dir.file("piese"));
    };
    form.saveSetFile();
    ASSERT_TRUE(std::filesystem::exists(dir.file("piese.set")));

    DeviceSet other(*table, SetSelection::With);
    DeviceSetDialog second(other, test::shippedLanguages());
    QString answer = QString::fromStdString(dir.file("Kalydor32.db"));
    second.fileChooser.open = [&](QWidget*, const QString&, const QStringList&, FileCount) {
        return QStringList{answer};
    };
    second.loadSetFile();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_NE(prompter.messages()[0].find(GetText("IDS_SETFILEERROR")), std::string::npos);
    EXPECT_EQ(shown(second, kPanelRow), Qt::Checked);

    answer = QString::fromStdString(dir.file("piese.set"));
    second.loadSetFile();
    EXPECT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(shown(second, kPanelRow), Qt::Unchecked);
    EXPECT_EQ(shown(second, {kPieceLists, QStringLiteral("Accesorii"), kSet}), Qt::Checked);
    second.accept();
    EXPECT_EQ(other.FileName, dir.file("piese.set"));
    EXPECT_TRUE(other.isSelected(DeviceKind::PieceList, kSet.toStdString()));
    EXPECT_FALSE(other.isSelected(DeviceKind::RadiatorFamily, kPanel.toStdString()));
}

} // namespace
} // namespace kalydor::gui
