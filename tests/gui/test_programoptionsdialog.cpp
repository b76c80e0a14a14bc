#include "gui/dialogplacement.h"
#include "gui/mainwindow.h"
#include "gui/programoptionsdialog.h"

#include "language/languages.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"
#include "shell/programoptions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include "support/qtapplication.h"
#include "support/tempdir.h"

#include "support/qtwidgets.h"
#include "support/shippedlanguages.h"

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

using platform::MemorySettingsStore;
using platform::ScopedPrompter;
using platform::ScriptedPrompter;

using test::shippedLanguages;

using test::child;

TEST(ProgramOptionsForm, ShowsTheOptionsTranslatedAndAppliesOnlyValidFields) {
    test::qtApplication();
    MemorySettingsStore store;
    // The languages are also the program's text lookup, as at start-up.
    Languages& languages = test::romanianLanguages();
    ProgramOptions options(store, languages);
    options.FirmaHeaderPageMode = 1;
    options.XIsDistance = true;
    ScriptedPrompter prompter;
    const ScopedPrompter scoped(prompter);

    ProgramOptionsDialog form(options);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Opțiuni program"));
    EXPECT_EQ(child<QLineEdit>(form, "RightMarginEdit")->text(), QStringLiteral("15"));
    EXPECT_TRUE(child<QRadioButton>(form, "FirstPageRadio")->isChecked());
    EXPECT_EQ(child<QComboBox>(form, "HeaderFontSizeCombo")->currentText(), QStringLiteral("12"));
    auto* switches = child<QListWidget>(form, "SwitchList");
    ASSERT_EQ(switches->count(), 9);
    EXPECT_EQ(switches->item(2)->checkState(), Qt::Checked); // XIsDistance
    EXPECT_EQ(switches->item(0)->text().left(12), QStringLiteral("La schimbare"));
    auto* interface = child<QComboBox>(form, "InterfaceLanguageCombo");
    EXPECT_EQ(interface->currentText(), QStringLiteral("Român"));
    EXPECT_EQ(child<QLabel>(form, "ListFontDescription")->text(),
              QStringLiteral("Mărime 10 pt, font MS Sans Serif"));
    for (int page = 0; page < 7; ++page) {
        child<QTabWidget>(form, "PageControl1")->setCurrentIndex(page);
        test::saveScreenshot(form, ("ProgramOptionsForm-" + std::to_string(page)).c_str());
    }
    child<QTabWidget>(form, "PageControl1")->setCurrentIndex(0);

    // A margin that is not a whole number: refused in the status line, named with what it
    // allows, the field focused, nothing applied.
    child<QLineEdit>(form, "TopMarginEdit")->setText(QStringLiteral("30"));
    test::typeAndLeave(child<QLineEdit>(form, "LeftMarginEdit"), QStringLiteral("12,5"));
    switches->item(8)->setCheckState(Qt::Checked);
    form.accept();
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(child<QLabel>(form, "StatusLabel")->text(),
              QStringLiteral("Stânga: se acceptă 0 ≤ valoare ≤ 1000, număr întreg"));
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(options.TopMargin, 20);
    EXPECT_FALSE(options.DoubleWidthTree);

    child<QLineEdit>(form, "LeftMarginEdit")->setText(QStringLiteral("12"));
    child<QRadioButton>(form, "RightLogoRadio")->setChecked(true);
    interface->setCurrentText(QStringLiteral("English"));
    child<QTabWidget>(form, "PageControl1")->setCurrentIndex(4);
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(options.LeftMargin, 12);
    EXPECT_EQ(options.TopMargin, 30);
    EXPECT_EQ(options.FirmaHeaderLogoMode, 2);
    EXPECT_TRUE(options.DoubleWidthTree);
    EXPECT_EQ(languages.InterfaceLanguageId(), "English");

    // The next dialog of the run opens on the page last shown, in the new language.
    ProgramOptionsDialog again(options);
    EXPECT_EQ(child<QTabWidget>(again, "PageControl1")->currentIndex(), 4);
    EXPECT_EQ(again.windowTitle(), QStringLiteral("Program options"));
    languages.SelectInterfaceLanguage("Român");
    languages.SelectPrintingLanguage("Român");
    ProgramOptionsEditor::rememberedPage = 0;
}

TEST(ProgramOptionsForm, LogoIsTakenAtOnceAndPreviewedWithinItsBox) {
    test::qtApplication();
    test::TempDir dir;
    const QString logo = QString::fromStdString(dir.file("logo.png"));
    QImage wide(400, 100, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    ASSERT_TRUE(wide.save(logo));

    MemorySettingsStore store;
    ProgramOptions options(store, shippedLanguages());
    ProgramOptionsDialog form(options);
    EXPECT_FALSE(form.loadLogo(QString::fromStdString(dir.file("missing.png"))));
    EXPECT_EQ(options.FirmaHeaderLogoName, "");
    ASSERT_TRUE(form.loadLogo(logo));
    EXPECT_EQ(options.FirmaHeaderLogoName, logo.toStdString());
    auto* preview = child<QLabel>(form, "LogoPreview");
    const QSize shown = preview->pixmap().size();
    EXPECT_LE(shown.width(), preview->contentsRect().width());
    EXPECT_LE(shown.height(), preview->contentsRect().height());
    EXPECT_NEAR(double(shown.width()) / shown.height(), 4.0, 0.1);
    // Cancel keeps the logo just chosen.
    form.reject();
    EXPECT_EQ(options.FirmaHeaderLogoName, logo.toStdString());
}

TEST(DialogPlacement, DialogReopensWhereItWasClosed) {
    test::qtApplication();
    MemorySettingsStore store;
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("TSomeForm"));
    dialog.resize(300, 200);
    dialog.move(40, 50);
    QTimer::singleShot(0, &dialog, &QDialog::accept);
    EXPECT_EQ(execPlaced(dialog, store), QDialog::Accepted);
    const auto saved = store.readText("FormPosition", "TSomeForm");
    ASSERT_TRUE(saved);

    QDialog next;
    next.setObjectName(QStringLiteral("TSomeForm"));
    restorePlacement(next, store);
    EXPECT_EQ(next.size(), QSize(300, 200));
    EXPECT_EQ(next.pos(), dialog.pos());

    // A fixed-size dialog keeps its size.
    QDialog fixed;
    fixed.setObjectName(QStringLiteral("TSomeForm"));
    fixed.setFixedSize(120, 80);
    restorePlacement(fixed, store);
    EXPECT_EQ(fixed.size(), QSize(120, 80));
}

TEST(MainWindow, ProgramOptionsCommandNeedsTheOptionsAndRetranslatesAfterOk) {
    test::qtApplication();
    MemorySettingsStore store;
    Languages& languages = shippedLanguages();
    ProgramOptions options(store, languages);
    MainWindow window;
    EXPECT_FALSE(window.command("programOptions")->isEnabled());
    window.setProgramOptions(&options);
    window.retranslate();
    EXPECT_TRUE(window.command("programOptions")->isEnabled());
    EXPECT_EQ(window.command("exit")->text(), QStringLiteral("&Ieșire"));

    // Choose English in the dialog and confirm it.
    QTimer::singleShot(0, [] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QStringLiteral("ProgramOptionsForm") && top->isVisible()) {
                top->findChild<QComboBox*>(QStringLiteral("InterfaceLanguageCombo"))
                    ->setCurrentText(QStringLiteral("English"));
                top->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
            }
        }
    });
    window.command("programOptions")->trigger();
    EXPECT_EQ(window.command("exit")->text(), QStringLiteral("E&xit"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Kalydor-Ro S"));
    EXPECT_EQ(store.readText(kProgramOptionsKey, "LanguageID"), "English");
    EXPECT_TRUE(store.valueExists("FormPosition", "ProgramOptionsForm"));
    languages.SelectInterfaceLanguage("Român");
    languages.SelectPrintingLanguage("Român");
}

} // namespace
} // namespace kalydor::gui
