#include "shell/itemlist.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "constructions/constructioncontext.h"
#include "constructions/materialeditor.h"
#include "constructions/panel.h"
#include "constructions/registration.h"
#include "platform/memoryclipboard.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"
#include "platform/window.h"
#include "store/groupname.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"

#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace kalydor {
namespace {

using platform::ScopedPrompter;
using platform::ScriptedPrompter;

// A material catalogue with a few materials in two groups.
class ItemListTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerConstructionItems();
        languages().SelectInterfaceLanguage("English");
        store = std::make_unique<ItemStore>(dir.path().string(), "material", TableMode::Create,
                                            TableKind::Catalogue);
        masonry = store->GroupOfPath(RecordType::MaterialGroup, "Masonry", '\\');
        bricks = store->GroupOfPath(RecordType::MaterialGroup, "Masonry\\Bricks", '\\');
        insulation = store->GroupOfPath(RecordType::MaterialGroup, "Insulation", '\\');
        addMaterial(masonry, "Solid brick", 0.8f);
        addMaterial(masonry, "Hollow brick", 0.45f);
        addMaterial(bricks, "Clinker", 1.0f);
        list = std::make_unique<ItemListLogic>(ItemKind::Material, *store, languages(), settings);
    }

    static Languages& languages() { return test::shippedLanguages(); }

    void addMaterial(const std::string& group, const std::string& name, float lambda) {
        Material m;
        m.Name = name;
        m.Kind = 0;
        m.Thickness = 25;
        m.ThermalCond = lambda;
        store->AddRecord(RecordType::Material, group, name);
        MemoryStream record;
        m.WriteRecord(record, VersionWord::With);
        store->setCurrentData(record.bytes());
    }

    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const ItemListLogic::Row& row : list->rows())
            result.push_back(row.name);
        return result;
    }

    test::TempDir dir;
    platform::MemorySettingsStore settings;
    std::unique_ptr<ItemStore> store;
    std::unique_ptr<ItemListLogic> list;
    std::string masonry, bricks, insulation;
    ScriptedPrompter prompter;
    ScopedPrompter scoped{prompter};
};

TEST_F(ItemListTest, SelectedGroupShowsItsItemsThroughTheColumns) {
    EXPECT_EQ(list->caption(), languages().GetText("IDS_PRINTCATEGORY+1"));
    list->selectGroup({"Materials", "Masonry"}, masonry);
    EXPECT_EQ(list->caption(), "Materials - Masonry");
    EXPECT_EQ(names(), (std::vector<std::string>{"Hollow brick", "Solid brick"}));
    const ItemListLogic::Row& row = list->rows()[1];
    EXPECT_EQ(row.texts.caption, "Solid brick");
    ASSERT_FALSE(row.texts.subItems.empty());
    EXPECT_EQ(row.texts.subItems[0], list->columns().formatReal(1, 25)); // thickness column
    list->selectGroup({}, {});
    EXPECT_TRUE(list->rows().empty());
}

TEST_F(ItemListTest, RenameDeleteAndMove) {
    list->selectGroup({"Materials", "Masonry"}, masonry);
    EXPECT_EQ(list->renameItem("Solid brick", "Hollow brick"), "IDS_ITEMNAMEEXIST");
    EXPECT_EQ(list->renameItem("Solid brick", "   "), "");
    EXPECT_EQ(list->renameItem("Solid brick", "Full brick  "), "");
    EXPECT_EQ(names(), (std::vector<std::string>{"Full brick", "Hollow brick"}));

    prompter.scriptYesNo(false);
    EXPECT_FALSE(list->deleteItem("Full brick"));
    EXPECT_EQ(prompter.questions().back().defaultButton, platform::DefaultButton::No);
    prompter.scriptYesNo(true);
    EXPECT_TRUE(list->deleteItem("Full brick"));
    EXPECT_EQ(names(), std::vector<std::string>{"Hollow brick"});

    // Into a group that already holds the name: refused.
    addMaterial(insulation, "Hollow brick", 0.1f);
    EXPECT_FALSE(list->moveItem("Hollow brick", insulation));
    EXPECT_EQ(prompter.messages().back(), languages().GetText("IDS_CONFLICTEXISTEDNAMES"));
    EXPECT_TRUE(list->moveItem("Hollow brick", bricks));
    EXPECT_TRUE(list->rows().empty());

    EXPECT_EQ(list->renameGroup("", "Materials", "Other"), "IDS_ROOTNAMECANNOTCHANGE");
    EXPECT_EQ(list->renameGroup(store->RootId(), "Masonry", "Insulation"), "IDS_GROUPNAMEEXIST");
    EXPECT_EQ(list->renameGroup(store->RootId(), "Masonry", "Walls"), "");
    EXPECT_EQ(list->caption(), "Materials - Walls");
}

TEST_F(ItemListTest, DeletingAGroupTakesItsSubgroupsAndItems) {
    store->GroupOfPath(RecordType::MaterialGroup, "Masonry\\Bricks\\Old", '\\');
    list->selectGroup({"Materials", "Masonry"}, masonry);
    prompter.scriptYesNo(true);
    EXPECT_TRUE(list->deleteGroup(store->RootId(), "Masonry", masonry));
    EXPECT_TRUE(store->ListRecords(RecordType::Material).empty());
    const std::vector<Reference> groups = store->ListRecords(RecordType::MaterialGroup);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].Name, "Insulation");
    EXPECT_TRUE(list->rows().empty());
    EXPECT_FALSE(list->deleteGroup("", "Materials", store->RootId()));
    EXPECT_EQ(prompter.messages().back(), languages().GetText("IDS_ROOTCANNOTDELETE"));
}

TEST_F(ItemListTest, CopyCutAndPasteThroughTheClipboard) {
    platform::MemoryClipboard clipboard;
    list->selectGroup({"Materials", "Masonry"}, masonry);
    EXPECT_FALSE(list->canPaste(clipboard));
    ASSERT_TRUE(list->copyToClipboard("Solid brick", clipboard, ClipboardCopy::RecordOnly, false));

    list->selectGroup({"Materials", "Insulation"}, insulation);
    ASSERT_TRUE(list->canPaste(clipboard));
    const auto noDialog = [](const std::string&, const std::string&) -> std::optional<std::string> {
        ADD_FAILURE() << "no name dialog expected";
        return std::nullopt;
    };
    EXPECT_EQ(list->paste(clipboard, noDialog), "Solid brick");
    EXPECT_EQ(names(), std::vector<std::string>{"Solid brick"});

    // The name is taken now: "No" ends the paste, "Yes" asks for a new name.
    prompter.scriptYesNo(false);
    EXPECT_FALSE(list->paste(clipboard, noDialog));
    prompter.scriptYesNo(true);
    const auto nameDialog = [&](const std::string& initial,
                                const std::string& data) -> std::optional<std::string> {
        EXPECT_EQ(initial, "Solid brick");
        store->AddRecord(RecordType::Material, insulation, "Solid brick 2", data);
        return std::string("Solid brick 2");
    };
    EXPECT_EQ(list->paste(clipboard, nameDialog), "Solid brick 2");
    const std::unique_ptr<DBItem> pasted = list->loadItem("Solid brick 2");
    ASSERT_TRUE(pasted);
    EXPECT_FLOAT_EQ(static_cast<Material&>(*pasted).ThermalCond, 0.8f);

    ASSERT_TRUE(list->copyToClipboard("Solid brick 2", clipboard, ClipboardCopy::RecordOnly, true));
    EXPECT_EQ(names(), std::vector<std::string>{"Solid brick"});
    EXPECT_TRUE(prompter.scriptUsed());
}

TEST_F(ItemListTest, MultiItemExportAndImportThroughTheClipboard) {
    platform::MemoryClipboard clipboard;
    std::vector<Reference> items = store->ListRecords(RecordType::Material);
    ASSERT_EQ(items.size(), 3u);
    list->exportToClipboard(items, clipboard, ClipboardCopy::WithReport);
    EXPECT_TRUE(clipboard.hasFormat("Material Export 3.0"));
    EXPECT_FALSE(clipboard.data("Text").value_or("").empty()); // the report parts too

    std::vector<ItemListLogic::ExportEntry> entries = list->clipboardExport(clipboard);
    ASSERT_EQ(entries.size(), 3u);
    std::vector<std::string> paths;
    for (const auto& entry : entries)
        paths.push_back(entry.path + "|" + entry.name);
    EXPECT_NE(std::find(paths.begin(), paths.end(), "Masonry\nBricks|Clinker"), paths.end());

    // Into another table, one of them under a new name.
    ItemStore other(dir.path().string(), "other", TableMode::Create, TableKind::Catalogue);
    ItemListLogic target(ItemKind::Material, other, languages(), settings);
    entries.erase(entries.begin());
    entries[0].name = "Renamed";
    std::vector<std::size_t> counted;
    EXPECT_EQ(target.importFromClipboard(clipboard, entries,
                                         [&](std::size_t done, std::size_t total) {
                                             EXPECT_EQ(total, 2u);
                                             counted.push_back(done);
                                         }),
              2);
    EXPECT_EQ(counted, (std::vector<std::size_t>{1, 2}));
    const std::vector<Reference> stored = other.ListRecords(RecordType::Material);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_TRUE(
        other.FindRecord(RecordType::Material,
                         other.GroupOfPath(RecordType::MaterialGroup, "Masonry", '\\'),
                         "Renamed") ||
        other.FindRecord(RecordType::Material,
                         other.GroupOfPath(RecordType::MaterialGroup, "Masonry\\Bricks", '\\'),
                         "Renamed"));

    // A damaged export is an error, not a crash.
    clipboard.setEntries(
        {{"Material Export 3.0", std::string("\x02\x00x\x00\x02\x00y\x00\xFF\xFF\x00\x7F", 12)}});
    EXPECT_THROW(list->clipboardExport(clipboard), Error);
}

TEST_F(ItemListTest, OnlyConstructionsOfferADragText) {
    list->selectGroup({"Materials", "Masonry"}, masonry);
    EXPECT_EQ(list->dragText("Solid brick"), "");

    ItemStore project(dir.path().string(), "Project", TableMode::Create);
    const std::string walls = project.GroupOfPath(RecordType::PanelGroup, "Walls", '\\');
    Panel wall;
    wall.Name = "W1";
    wall.Type = 0;
    project.AddRecord(RecordType::Panel, walls, "W1");
    MemoryStream record;
    wall.WriteRecord(record, VersionWord::With);
    project.setCurrentData(record.bytes());
    ItemListLogic panels(ItemKind::Construction, project, languages(), settings);
    panels.selectGroup({"Constructions", "Walls"}, walls);
    const std::string text = panels.dragText("W1");
    EXPECT_EQ(text.substr(0, text.find('\n')), "Source=Kalydor_00");
    EXPECT_NE(text.find("kdszerkezet=\"Walls/W1\"\n"), std::string::npos);
    EXPECT_NE(text.find("<ItemPath>Walls</ItemPath>"), std::string::npos);
}

// An editor that doubles the thickness, as a user typing into it would.
class DoublingDialogs final : public MaterialDialogs {
public:
    std::optional<MaterialKind> chooseKind(platform::Window*) override {
        return MaterialKind::Thick;
    }
    bool editMaterial(MaterialEditor& editor, platform::Window*) override {
        auto texts = editor.texts();
        texts[0] = std::to_string(2 * std::stod(texts[0]));
        return !editor.apply(texts, editor.isothermTexts());
    }
    bool editAirMaterial(AirMaterialEditor&, platform::Window*) override { return false; }
};

TEST_F(ItemListTest, EditCreateAndCopyStoreWhatTheEditorConfirmed) {
    DoublingDialogs dialogs;
    ConstructionContext context;
    context.materialDialogs = &dialogs;
    list->setItemContext(context);
    list->selectGroup({"Materials", "Masonry"}, masonry);
    ASSERT_TRUE(list->editItem("Solid brick", nullptr));
    EXPECT_FLOAT_EQ(static_cast<Material&>(*list->loadItem("Solid brick")).Thickness, 50);

    // A new item: the name dialog made the record with the defaults; the kind is chosen,
    // then it is edited.
    store->AddRecord(RecordType::Material, masonry, "Render", list->newItemRecord());
    ASSERT_TRUE(list->itemCreated("Render", nullptr));
    const std::unique_ptr<DBItem> render = list->loadItem("Render");
    EXPECT_TRUE(static_cast<Material&>(*render).isKind(MaterialKind::Thick));
    EXPECT_GE(list->rowOf("Render"), 0);

    store->AddRecord(RecordType::Material, masonry, "Solid brick copy",
                     list->copyRecord("Solid brick").value());
    ASSERT_TRUE(list->itemCopied("Solid brick copy", nullptr));
    EXPECT_FLOAT_EQ(static_cast<Material&>(*list->loadItem("Solid brick copy")).Thickness, 100);
    EXPECT_FLOAT_EQ(static_cast<Material&>(*list->loadItem("Solid brick")).Thickness, 50);

    // A record that cannot be read is neither edited nor written over.
    ASSERT_TRUE(store->FindRecord(RecordType::Material, masonry, "Hollow brick"));
    const std::string damaged("\x63\x00\x00\x00", 4);
    store->setCurrentData(damaged);
    EXPECT_FALSE(list->editItem("Hollow brick", nullptr));
    ASSERT_TRUE(store->FindRecord(RecordType::Material, masonry, "Hollow brick"));
    EXPECT_EQ(store->currentData(), damaged);
}

// A program stopped between creating an item's record and writing its data left a record
// without data, which read back as an all-zero "Undefined" material. Every way an item comes
// into a table creates the record with its data in one commit.
TEST_F(ItemListTest, EveryNewItemRecordIsStoredWithItsDataInOneCommit) {
    platform::MemoryClipboard clipboard;
    platform::MemoryClipboard exported;
    list->selectGroup({"Materials", "Masonry"}, masonry);
    ASSERT_TRUE(list->copyToClipboard("Solid brick", clipboard, ClipboardCopy::RecordOnly, false));
    list->exportToClipboard(store->ListRecords(RecordType::Material), exported,
                            ClipboardCopy::RecordOnly);
    // The name dialog as the program runs it: it creates the record of the name typed.
    const auto nameDialog = [&](const std::string& typed, const std::string& data) {
        NameEditor dialog({{}, false, masonry, RecordType::Material, store.get(), nullptr, data});
        return dialog.accept(typed).outcome == NameEditor::Outcome::Accepted
                   ? std::optional<std::string>(typed)
                   : std::nullopt;
    };
    const struct {
        const char* what;
        std::function<void()> create;
        std::vector<std::string> created;
    } cases[] = {
        {"new item", [&] { nameDialog("Render", list->newItemRecord()); }, {"Render"}},
        {"copy",
         [&] { nameDialog("Brick copy", list->copyRecord("Solid brick").value()); },
         {"Brick copy"}},
        {"paste",
         [&] {
             list->selectGroup({"Materials", "Insulation"}, insulation);
             list->paste(clipboard, nameDialog);
         },
         {"Solid brick"}},
        {"paste under another name",
         [&] {
             list->selectGroup({"Materials", "Masonry"}, masonry);
             prompter.scriptYesNo(true);
             list->paste(clipboard, [&](const std::string&, const std::string& data) {
                 return nameDialog("Pasted", data);
             });
         },
         {"Pasted"}},
        {"import from the clipboard",
         [&] {
             std::vector<ItemListLogic::ExportEntry> entries = list->clipboardExport(exported);
             ASSERT_EQ(entries.size(), 3u);
             for (ItemListLogic::ExportEntry& entry : entries)
                 entry.path = "Imported\n" + entry.path;
             EXPECT_EQ(list->importFromClipboard(exported, entries), 3);
         },
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t before = store->ListRecords(RecordType::Material).size();
        const std::uint64_t commits = store->database().commits();
        c.create();
        EXPECT_EQ(store->database().commits() - commits, 1u);
        EXPECT_GT(store->ListRecords(RecordType::Material).size(), before);
        for (const Reference& record : store->ListRecords(RecordType::Material)) {
            bool loaded = false;
            EXPECT_TRUE(LoadReferencedItem(*store, ItemKind::Material, record, loaded));
            EXPECT_TRUE(loaded) << record.Name;
        }
        for (const std::string& name : c.created)
            EXPECT_TRUE(list->loadItem(name)) << name;
    }
}

// Read back as a default item, a record without data went out in exports as an "Undefined"
// material and was kept over the real one on the next import.
TEST_F(ItemListTest, AnItemRecordWithoutDataIsShownUnreadable) {
    store->AddRecord(RecordType::Material, masonry, "Cut off");
    list->selectGroup({"Materials", "Masonry"}, masonry);
    const int row = list->rowOf("Cut off");
    ASSERT_GE(row, 0);
    EXPECT_TRUE(list->rows()[row].unreadable);
    EXPECT_FALSE(list->editItem("Cut off", nullptr));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_FALSE(list->copyRecord("Cut off"));
}

// The file type chosen in the export dialog decides the extension, and with it the form: an
// "XML exchange" export typed without an extension is an XML file the import offers again.
TEST(ExchangeFileName, TheChosenTypeDecidesTheExtension) {
    const struct {
        const char* typed;
        ExchangeFileType type;
        const char* written;
    } cases[] = {
        {"/p/pereti", ExchangeFileType::Xml, "/p/pereti.xml"},
        {"/p/pereti", ExchangeFileType::Text, "/p/pereti.txt"},
        {"/p/pereti.XML", ExchangeFileType::Xml, "/p/pereti.XML"},
        {"/p/pereti.txt", ExchangeFileType::Xml, "/p/pereti.txt.xml"},
        {"/p/v1.2/pereti", ExchangeFileType::Text, "/p/v1.2/pereti.txt"},
        {"/p/pereti", ExchangeFileType::Any, "/p/pereti"},
        {"", ExchangeFileType::Xml, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(exchangeFileName(c.typed, c.type), c.written) << c.typed;
}

} // namespace
} // namespace kalydor

namespace kalydor {
namespace {

// Rooms belong to buildings: no new room without one; rooms and buildings have no editor yet.
TEST(ItemListKinds, RoomsNeedABuilding) {
    test::TempDir dir;
    platform::MemorySettingsStore settings;
    ItemStore project(dir.path().string(), "project", TableMode::Create, TableKind::Project);
    Languages& languages = test::shippedLanguages();
    ItemListLogic rooms(ItemKind::Room, project, languages, settings);
    EXPECT_EQ(rooms.newItemRefusal(), "IDS_NEEDBUILDING");
    EXPECT_TRUE(rooms.hasEditor());
    const std::string group = project.GroupOfPath(RecordType::BuildingGroup, "Bloc A", '\\');
    project.AddRecord(RecordType::Building, group, "Scara 1");
    EXPECT_EQ(rooms.newItemRefusal(), std::nullopt);

    ItemListLogic materials(ItemKind::Material, project, languages, settings);
    EXPECT_EQ(materials.newItemRefusal(), std::nullopt);
    EXPECT_TRUE(materials.hasEditor());

    // A change of rooms shows in the buildings list (totals), one of buildings in the rooms
    // list (building names).
    EXPECT_EQ(listsShowingChangesOf(ItemKind::Room), std::vector<ItemKind>{ItemKind::Building});
    EXPECT_EQ(listsShowingChangesOf(ItemKind::Building), std::vector<ItemKind>{ItemKind::Room});
    EXPECT_TRUE(listsShowingChangesOf(ItemKind::Material).empty());
}

} // namespace
} // namespace kalydor
