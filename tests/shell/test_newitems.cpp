// Items created from a list window: a new construction starts from the project's options,
// and a creation cancelled at any step leaves nothing behind.

#include "constructions/constructioncontext.h"
#include "constructions/paneleditor.h"
#include "constructions/registration.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"
#include "shell/itemlist.h"
#include "shell/programoptions.h"
#include "shell/projects.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <optional>

namespace kalydor {
namespace {

// The construction dialogs as a user answers them: the chooser's answer (none: cancelled),
// and the editor confirmed or cancelled; what the editor opened with is kept.
class AnsweringDialogs final : public PanelDialogs {
public:
    std::optional<bool> known = false;
    bool confirm = true;
    std::optional<Panel> opened;

    std::optional<bool> chooseKnown(platform::Window*) override { return known; }
    bool editLayered(LayeredPanelEditor& editor, platform::Window*) override {
        opened = editor.panel();
        return confirm && !editor.confirm();
    }
    bool editKnown(KnownPanelEditor& editor, platform::Window*) override {
        opened = editor.panel();
        return false;
    }
    PanelEditorOptions editorOptions() const override { return {}; }
};

class NewConstruction : public ::testing::Test {
protected:
    void SetUp() override {
        registerConstructionItems();
        context.panelDialogs = &dialogs;
        ASSERT_TRUE(session.OpenProject(dir.file("Bloc"), true));
        // A project whose construction defaults are not those of a new project.
        ProjectOptions& options = *session.options();
        options.Panel.OutSideTemp = -18;
        options.Panel.InSideTemp = 22;
        options.Panel.OutSideRelHum = 85;
        options.Panel.InSideRelHum = 55;
        options.Panel.DiffusionDays = 120;
        options.Panel.FloorLevel = -0.8f;
        options.Romanian.H = -3.5f;
        options.Romanian.EarthLambda = 2.1f;
        group = session.store()->GroupOfPath(RecordType::PanelGroup, "Pereți", '\\');
        list = std::make_unique<ItemListLogic>(ItemKind::Construction, *session.store(), languages,
                                               settings);
        list->prepareNewItem = [this](DBItem& item) {
            prepareNewProjectItem(item, *session.options());
        };
        list->setItemContext(context);
        list->selectGroup({"Elemente", "Pereți"}, group);
    }

    // The name dialog has made the record; the list goes on with the creation.
    bool create(const std::string& name) {
        session.store()->AddRecord(RecordType::Panel, group, name, list->newItemRecord());
        return list->itemCreated(name, nullptr);
    }
    bool stored(const std::string& name) {
        return session.store()->FindRecord(RecordType::Panel, group, name);
    }

    test::TempDir dir;
    platform::MemorySettingsStore settings;
    Languages& languages = test::shippedLanguages();
    ProgramOptions programOptions{settings, languages};
    ProjectSession session{programOptions, settings};
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter scoped{prompter};
    AnsweringDialogs dialogs;
    ConstructionContext context;
    std::string group;
    std::unique_ptr<ItemListLogic> list;
};

TEST_F(NewConstruction, StartsFromTheProjectsClimateAndGround) {
    ASSERT_TRUE(create("Perete nou"));
    ASSERT_TRUE(dialogs.opened);
    const Panel& p = *dialogs.opened;
    EXPECT_EQ(p.OutSideTemp, -18);
    EXPECT_EQ(p.InSideTemp, 22);
    EXPECT_EQ(p.OutSideRelHum, 85);
    EXPECT_EQ(p.InSideRelHum, 55);
    EXPECT_EQ(p.DiffusionDays, 120);
    EXPECT_EQ(p.FloorLevel, -0.8f);
    EXPECT_EQ(p.GroundWaterHeight, -3.5f);
    EXPECT_EQ(p.EarthLambda, 2.1f);
    // An outside wall with its surface coefficients, rather than no type at all.
    EXPECT_EQ(p.Type, 0);
    EXPECT_EQ(p.OutSideAlpha, 24);
    EXPECT_EQ(p.InSideAlpha, 8);

    const std::unique_ptr<DBItem> read = list->loadItem("Perete nou");
    ASSERT_TRUE(read);
    EXPECT_EQ(static_cast<Panel&>(*read).InSideRelHum, 55);
}

TEST_F(NewConstruction, CancelledAtAnyStepLeavesNothingBehind) {
    // The layered-or-known question cancelled.
    dialogs.known = std::nullopt;
    EXPECT_FALSE(create("Nedefinit"));
    EXPECT_FALSE(stored("Nedefinit"));
    EXPECT_EQ(list->rowOf("Nedefinit"), -1);

    // The editor cancelled.
    dialogs.known = false;
    dialogs.confirm = false;
    EXPECT_FALSE(create("Renunțat"));
    EXPECT_FALSE(stored("Renunțat"));

    // A copy whose editor is cancelled goes too; its source stays as it was.
    dialogs.confirm = true;
    ASSERT_TRUE(create("Sursă"));
    session.store()->AddRecord(RecordType::Panel, group, "Copie",
                               list->copyRecord("Sursă").value());
    dialogs.confirm = false;
    dialogs.opened.reset();
    EXPECT_FALSE(list->itemCopied("Copie", nullptr));
    EXPECT_FALSE(stored("Copie"));
    EXPECT_TRUE(stored("Sursă"));
    // A copy keeps the values of its source, not the project's.
    ASSERT_TRUE(dialogs.opened);
    EXPECT_EQ(dialogs.opened->Name, "Copie");
}

} // namespace
} // namespace kalydor
