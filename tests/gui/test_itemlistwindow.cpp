#include "gui/itemlistwindow.h"
#include "gui/searchreplacewindow.h"
#include "gui/selectiondialog.h"

#include "base/memorystream.h"
#include "constructions/material.h"
#include "constructions/registration.h"
#include "platform/memoryclipboard.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"
#include "shell/programoptions.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>

#include "support/qtapplication.h"
#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

void addMaterial(ItemStore& store, const std::string& group, const std::string& name,
                 float lambda) {
    Material m;
    m.Name = name;
    m.Kind = 0;
    m.Thickness = 25;
    m.ThermalCond = lambda;
    m.Density = 1800;
    store.AddRecord(RecordType::Material, group, name);
    MemoryStream record;
    m.WriteRecord(record, VersionWord::With);
    store.setCurrentData(record.bytes());
}

TEST(ItemListWindow, GroupsItemsAndCommands) {
    test::qtApplication();
    registerConstructionItems();
    test::TempDir dir;
    platform::MemorySettingsStore settings;
    Languages& languages = test::shippedLanguages();
    languages.SelectInterfaceLanguage("Român");
    ProgramOptions options(settings, languages);
    ItemStore store(dir.path().string(), "material", TableMode::Create, TableKind::Catalogue);
    const std::string masonry = store.GroupOfPath(RecordType::MaterialGroup, "Zidărie", '\\');
    const std::string insulation = store.GroupOfPath(RecordType::MaterialGroup, "Izolații", '\\');
    addMaterial(store, masonry, "Cărămidă plină", 0.8f);
    addMaterial(store, masonry, "Cărămidă cu goluri", 0.45f);
    platform::MemoryClipboard clipboard;
    platform::ScriptedPrompter prompter;
    const platform::ScopedPrompter scoped(prompter);

    // The name dialog as the user answers it: a new record under the typed name.
    std::vector<std::string> typed;
    NamePrompt prompt = [&](QWidget*, bool group, const std::string& parentId, const std::string&,
                            const std::string& itemData) -> std::optional<std::string> {
        if (typed.empty())
            return std::nullopt;
        const std::string name = typed.front();
        typed.erase(typed.begin());
        store.AddRecord(group ? RecordType::MaterialGroup : RecordType::Material, parentId, name,
                        itemData);
        return name;
    };
    ItemListWindow window(ItemKind::Material, store, options, clipboard, prompt);
    window.show();
    QTreeWidget* tree = window.groupTree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0).toStdString(), languages.GetText("IDS_PRINTCATEGORY+1"));
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("Izolații")); // sorted as people read

    ASSERT_TRUE(window.selectGroupById(masonry));
    EXPECT_EQ(window.itemList()->topLevelItemCount(), 2);
    EXPECT_EQ(window.windowTitle().toStdString(),
              languages.GetText("IDS_PRINTCATEGORY+1") + " - Zidărie");
    EXPECT_GT(window.itemList()->columnCount(), 5);
    test::saveScreenshot(window, "ItemListWindow");

    // Copy and paste into the other group through the clipboard.
    ASSERT_TRUE(window.selectItem("Cărămidă plină"));
    window.command("copy")->trigger();
    ASSERT_TRUE(window.selectGroupById(insulation));
    EXPECT_TRUE(window.command("paste")->isEnabled());
    window.command("paste")->trigger();
    EXPECT_EQ(window.itemList()->topLevelItemCount(), 1);

    // A new group under the selected one.
    typed = {"Vată minerală"};
    window.command("createGroup")->trigger();
    EXPECT_EQ(store.ListRecords(RecordType::MaterialGroup).size(), 3u);

    // Dropping a row on a group node moves the item there.
    ASSERT_TRUE(window.selectItem("Cărămidă plină"));
    QTreeWidgetItem* masonryNode = nullptr;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->text(0) == QStringLiteral("Zidărie"))
            masonryNode = *it;
    }
    ASSERT_NE(masonryNode, nullptr);
    EXPECT_FALSE(window.dropSelectedItemOn(masonryNode)); // that name is taken there
    EXPECT_EQ(prompter.messages().back(), languages.GetText("IDS_CONFLICTEXISTEDNAMES"));

    // The search window works on this list: it finds the row in its group and selects it.
    SearchReplaceWindow search(languages, [&window] { return &window; });
    EXPECT_EQ(search.windowTitle(), QStringLiteral("Căutare și înlocuire"));
    search.pattern()->setText(QStringLiteral("cărămidă cu*"));
    search.fromStart()->setChecked(true);
    search.run(SearchRequest::Command::Search);
    EXPECT_EQ(window.logic().selectedGroupId(), masonry);
    EXPECT_EQ(window.selectedItem(), "Cărămidă cu goluri");
    ASSERT_TRUE(window.selectGroupById(insulation));
    ASSERT_TRUE(window.selectItem("Cărămidă plină"));

    // Delete with the question answered Yes.
    prompter.scriptYesNo(true);
    window.command("deleteItem")->trigger();
    EXPECT_EQ(window.itemList()->topLevelItemCount(), 0);
}

TEST(ItemListWindow, SelectionExportAndImportThroughFiles) {
    test::qtApplication();
    registerConstructionItems();
    test::TempDir dir;
    platform::MemorySettingsStore settings;
    Languages& languages = test::shippedLanguages();
    languages.SelectInterfaceLanguage("Român");
    ProgramOptions options(settings, languages);
    ItemStore store(dir.path().string(), "material", TableMode::Create, TableKind::Catalogue);
    const std::string masonry = store.GroupOfPath(RecordType::MaterialGroup, "Zidărie", '\\');
    const std::string insulation = store.GroupOfPath(RecordType::MaterialGroup, "Izolații", '\\');
    addMaterial(store, masonry, "Cărămidă plină", 0.8f);
    addMaterial(store, masonry, "Cărămidă cu goluri", 0.45f);
    addMaterial(store, insulation, "Vată minerală", 0.04f);

    // Ticking the masonry group chooses its two materials, in tree order.
    SelectionDialog selection(store, ItemKind::Material, languages);
    QTreeWidgetItem* masonryRow = nullptr;
    for (QTreeWidgetItemIterator it(selection.tree()); *it; ++it) {
        if ((*it)->text(0) == QStringLiteral("Zidărie"))
            masonryRow = *it;
    }
    ASSERT_NE(masonryRow, nullptr);
    EXPECT_EQ(selection.chosenItems().size(), 3u); // all items while none is ticked
    selection.toggle(masonryRow);
    EXPECT_TRUE(selection.tickedItems()->isChecked());
    const std::vector<Reference> chosen = selection.chosenItems();
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0].Name, "Cărămidă cu goluri");

    platform::MemoryClipboard clipboard;
    NamePrompt noPrompt = [](QWidget*, bool, const std::string&, const std::string&,
                             const std::string&) { return std::optional<std::string>(); };
    ItemListWindow window(ItemKind::Material, store, options, clipboard, noPrompt);
    EXPECT_TRUE(window.command("exportFile")->isVisible());
    window.exportToFile(chosen, dir.file("zidarie.xml"));

    ItemStore other(dir.path().string(), "other", TableMode::Create, TableKind::Catalogue);
    ItemListWindow target(ItemKind::Material, other, options, clipboard, noPrompt);
    target.importFromFile(dir.file("zidarie.xml"));
    EXPECT_EQ(other.ListRecords(RecordType::Material).size(), 2u);
    EXPECT_EQ(target.groupTree()->topLevelItem(0)->childCount(), 1); // Zidărie

    // The clipboard export of every material, imported back into the other table: the
    // items it already holds cannot be ticked until they are renamed in the import tree.
    window.logic().exportToClipboard(store.ListRecords(RecordType::Material), clipboard,
                                     ClipboardCopy::RecordOnly);
    const auto entries = target.logic().clipboardExport(clipboard);
    ASSERT_EQ(entries.size(), 3u);
    platform::ScriptedPrompter prompter;
    const platform::ScopedPrompter scoped(prompter);
    SelectionDialog import(other, ItemKind::Material, entries, languages);
    EXPECT_EQ(import.windowTitle().toStdString(),
              languages.GetText("IDS_IMPORTTITLE") + languages.GetText("IDS_PRINTCATEGORY+1"));
    import.accept();
    EXPECT_EQ(prompter.messages().back(), languages.GetText("IDS_NOSELECTION"));
    QTreeWidgetItem* existing = nullptr;
    QTreeWidgetItem* fresh = nullptr;
    for (QTreeWidgetItemIterator it(import.tree()); *it; ++it) {
        if ((*it)->text(0) == QStringLiteral("Cărămidă plină"))
            existing = *it;
        if ((*it)->text(0) == QStringLiteral("Vată minerală"))
            fresh = *it;
    }
    ASSERT_TRUE(existing && fresh);
    import.toggle(existing);
    EXPECT_EQ(existing->checkState(0), Qt::Unchecked); // refused: it exists there
    import.toggle(fresh);
    existing->setText(0, QStringLiteral("Cărămidă plină 2"));
    import.toggle(existing);
    // A new group in the import tree, and the fresh item moved into it.
    import.tree()->setCurrentItem(fresh);
    QTreeWidgetItem* group = import.addGroup("Vată");
    ASSERT_NE(group, nullptr);
    for (QTreeWidgetItemIterator it(import.tree()); *it; ++it) {
        if ((*it)->text(0) == QStringLiteral("Vată minerală"))
            fresh = *it;
    }
    ASSERT_TRUE(import.moveNode(fresh, group));
    const auto chosen2 = import.chosenEntries();
    ASSERT_EQ(chosen2.size(), 2u);
    EXPECT_EQ(chosen2[0].path, "Izolații\nVată");
    EXPECT_EQ(target.logic().importFromClipboard(clipboard, chosen2), 2);
    EXPECT_EQ(other.ListRecords(RecordType::Material).size(), 4u);
}

} // namespace
} // namespace kalydor::gui
