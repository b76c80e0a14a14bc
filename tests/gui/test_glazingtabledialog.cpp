// The glazing coefficient dialog: its rows, the choice of entry and shading, the choice
// remembered for the run, and a damaged entry that cannot be confirmed.

#include "gui/glazingtabledialog.h"

#include "language/languages.h"
#include "platform/memorysettingsstore.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

#include "support/qtapplication.h"
#include "support/qtwidgets.h"

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

GlazingTable table() {
    return GlazingTable({parseGlazingEntry("Geam simplu;5.00;3.33;2.56;2.04;1.8249"),
                         parseGlazingEntry("Geam; dublu; cu aer;2.9;2.1;1.9;1.6;1.2"),
                         parseGlazingEntry("Geam triplu;0,8;0.74;x;0.65;0.62")});
}

TEST(kuTableForm, ChoosesEntryAndShadingAndRemembersThem) {
    test::qtApplication();
    lastGlazingChoice() = {};
    {
        GlazingTableDialog form(table());
        QTableWidget* rows = form.table();
        ASSERT_EQ(rows->rowCount(), 3);
        EXPECT_EQ(rows->item(1, 0)->text(), QStringLiteral("Geam; dublu; cu aer"));
        EXPECT_EQ(rows->item(0, 1)->text(), QStringLiteral("5"));
        EXPECT_EQ(rows->item(0, 5)->text(), QStringLiteral("1.82"));
        EXPECT_EQ(rows->item(1, 4)->text(), QStringLiteral("1.6"));
        // Opens on the first entry with a curtain.
        EXPECT_EQ(form.entry(), 0);
        EXPECT_EQ(form.mode(), 0);

        form.setChoice(1, 2);
        form.accept();
        EXPECT_EQ(form.result(), QDialog::Accepted);
        ASSERT_TRUE(form.chosen().has_value());
        EXPECT_DOUBLE_EQ(form.chosen()->day, 2.9);
        EXPECT_DOUBLE_EQ(form.chosen()->night, 1.6);
    }
    EXPECT_EQ(lastGlazingChoice().entry, 1);
    EXPECT_EQ(lastGlazingChoice().mode, 2);

    // The next opening shows the remembered choice; a double click confirms another row.
    GlazingTableDialog again(table());
    EXPECT_EQ(again.entry(), 1);
    EXPECT_TRUE(test::child<QRadioButton>(again, "BothRadio")->isChecked());
    emit again.table()->cellDoubleClicked(0, 0);
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(again.chosen()->day, 5);
    EXPECT_DOUBLE_EQ(again.chosen()->night, 2.04);
    EXPECT_EQ(lastGlazingChoice().entry, 0);
    EXPECT_EQ(lastGlazingChoice().mode, 2);
    lastGlazingChoice() = {};
}

TEST(kuTableForm, ADamagedEntryShowsItsTextAndIsNotConfirmed) {
    test::qtApplication();
    lastGlazingChoice() = {1, 3};
    GlazingTableDialog form(table());
    EXPECT_EQ(form.table()->item(2, 3)->text(), QStringLiteral("x"));
    EXPECT_EQ(form.table()->item(2, 1)->text(), QStringLiteral("0.8"));
    // Every column shows without scrolling.
    form.show();
    QApplication::processEvents();
    form.adjustSize();
    QApplication::processEvents();
    EXPECT_GE(form.table()->viewport()->width(), form.table()->horizontalHeader()->length());
    test::saveScreenshot(form, "kuTableForm", true);
    form.setChoice(2, 0); // even the good value of mode 0 is not offered from a damaged row
    form.accept();
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.chosen().has_value());
    EXPECT_TRUE(form.status()->text().contains(QStringLiteral("Geam triplu")));
    EXPECT_EQ(lastGlazingChoice().entry, 1);
    EXPECT_EQ(lastGlazingChoice().mode, 3);
    // A remembered entry beyond a shorter table opens on the first one.
    lastGlazingChoice() = {7, 1};
    GlazingTableDialog shorter(GlazingTable({parseGlazingEntry("A;1;1;1;1;1")}));
    EXPECT_EQ(shorter.entry(), 0);
    EXPECT_EQ(shorter.mode(), 1);
    lastGlazingChoice() = {};
}

TEST(kuTableForm, ChooseReadsTheLanguageAndReturnsDayAndNight) {
    test::qtApplication();
    lastGlazingChoice() = {};
    Language language;
    language.id = "Test";
    language.userInterface = true;
    language.strings = {{"IDS_KUTYPES+0", "Geam simplu;5;3.33;2.56;2.04;1.82"},
                        {"IDS_KUTYPES+1", "Geam; dublu;2.9;2.1;1.9;1.6;1.2"}};
    LanguageForm form;
    form.name = "kuTableForm";
    form.propertyIds = {"Caption"};
    form.values = {"Vitraje"};
    form.items.push_back({"ShadingGroup",
                          "TRadioGroup",
                          {"Caption", "Items.Strings", "Items.Strings", "Items.Strings"},
                          {"Umbrire", "Perdea", "Obloane", "Perdea și obloane"}});
    language.forms.push_back(form);
    Languages languages;
    languages.addLanguage(language);
    languages.SelectInterfaceLanguage("Test");
    platform::MemorySettingsStore settings;

    QString caption, shading;
    int rows = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<GlazingTableDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        caption = dialog->windowTitle();
        shading = test::child<QRadioButton>(*dialog, "BothRadio")->text();
        rows = dialog->table()->rowCount();
        dialog->setChoice(1, 2);
        dialog->accept();
    });
    const auto chosen = GlazingTableDialog::choose(nullptr, languages, settings);
    EXPECT_EQ(caption, QStringLiteral("Vitraje"));
    EXPECT_EQ(shading, QStringLiteral("Perdea și obloane"));
    EXPECT_EQ(rows, 2);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_DOUBLE_EQ(chosen->first, 2.9);
    EXPECT_DOUBLE_EQ(chosen->second, 1.6);

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_FALSE(GlazingTableDialog::choose(nullptr, languages, settings).has_value());
    lastGlazingChoice() = {};
}

} // namespace
} // namespace kalydor::gui
