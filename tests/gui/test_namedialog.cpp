#include "gui/namedialog.h"
#include "language/languages.h"
#include "platform/scriptedprompter.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "support/qtapplication.h"
#include "support/tempdir.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace kalydor {
namespace {

TEST(NameDialog, TypingLimitOkStateAndExistingNames) {
    test::qtApplication();
    test::TempDir dir;
    ItemStore store(dir.directory(), "m.db", TableMode::Create, TableKind::Catalogue);
    store.AddRecord(RecordType::Material, store.RootId(), "Brick");
    Languages languages;
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter scope(prompter);

    gui::NameDialog dialog(languages,
                           {"", false, store.RootId(), RecordType::Material, &store, nullptr, {}});
    EXPECT_EQ(dialog.objectName(), "NameForm");
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    dialog.nameEdit()->insert(QString(32, QChar(u'a')));
    EXPECT_EQ(dialog.nameEdit()->text().size(), 31);
    EXPECT_TRUE(dialog.okButton()->isEnabled());

    dialog.nameEdit()->setText("   ");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(prompter.messages().empty());

    dialog.nameEdit()->setText("Brick ");
    dialog.accept();
    EXPECT_EQ(prompter.messages().size(), 1u);
    EXPECT_TRUE(dialog.name().empty());

    dialog.nameEdit()->setText("Stone  ");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.name(), "Stone");
    EXPECT_TRUE(store.FindRecord(RecordType::Material, store.RootId(), "Stone"));
    EXPECT_EQ(store.current().ID, dialog.id());
}

} // namespace
} // namespace kalydor
