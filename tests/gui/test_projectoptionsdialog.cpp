#include "gui/projectoptionsdialog.h"

#include "base/error.h"
#include "language/languages.h"
#include "platform/scriptedprompter.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "support/qtapplication.h"
#include "support/tempdir.h"

#include "support/qtwidgets.h"
#include "support/shippedlanguages.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace kalydor::gui {
namespace {

using test::shippedLanguages;

using test::child;

QRadioButton* choice(QWidget& form, const char* group, int index) {
    return child<QGroupBox>(form, group)->findChildren<QRadioButton*>().at(index);
}

class ProjektOptionsForm : public ::testing::Test {
protected:
    void SetUp() override {
        test::qtApplication();
        languages.SelectInterfaceLanguage("Român");
        languages.SelectPrintingLanguage("Român");
        setTextLookup(&languages);
        project = std::make_unique<ItemStore>(dir.directory(), "Project", TableMode::Create);
        options = std::make_unique<ProjectOptions>();
        ASSERT_TRUE(options->LoadFromProject(*project));
    }
    void TearDown() override { setTextLookup(nullptr); }

    void setText(QWidget& form, const char* edit, const char* text) {
        child<QLineEdit>(form, edit)->setText(QString::fromUtf8(text));
    }

    Languages& languages = shippedLanguages();
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
    test::TempDir dir;
    std::unique_ptr<ItemStore> project;
    std::unique_ptr<ProjectOptions> options;
};

TEST_F(ProjektOptionsForm, ShowsTheOptionsAndSavesOnlyValidFields) {
    ProjectOptionsDialog form(*options, *project, languages);
    EXPECT_EQ(child<QLineEdit>(form, "HEdit")->text(), QStringLiteral("-6"));
    EXPECT_EQ(child<QLineEdit>(form, "AirChangeFactEdit")->text(), QStringLiteral("0,8"));
    EXPECT_EQ(child<QLineEdit>(form, "ForwardTemperatureEdit")->text(), QStringLiteral("90"));
    EXPECT_TRUE(choice(form, "WallMassModeGroup", 1)->isChecked());
    EXPECT_TRUE(choice(form, "NearestGroup", 0)->isChecked());
    auto* filtMode = child<QComboBox>(form, "FiltModeCombo");
    EXPECT_EQ(filtMode->currentText(), QStringLiteral("Număr de schimburi de aer pe oră"));
    EXPECT_FALSE(child<QLabel>(form, "ReadOnlyLabel")->isVisibleTo(&form));
    auto* pages = child<QTabWidget>(form, "PageControl1");
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        test::saveScreenshot(form, ("ProjektOptionsForm-" + std::to_string(page)).c_str());
    }
    pages->setCurrentIndex(0);

    // A ground water level at ground level is refused: the status line names the field and
    // what it allows, its page comes to the front, nothing is saved.
    setText(form, "HeatingInSideTempEdit", "21,5");
    pages->setCurrentIndex(2);
    setText(form, "HEdit", "0");
    form.accept();
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(
        child<QLabel>(form, "StatusLabel")->text(),
        QStringLiteral("Nivelul apei freatice (m, sub teren negativ): se acceptă valoare < 0"));
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(options->Heating.InSideTemp, 20.0f);

    setText(form, "HEdit", "-0,5");
    filtMode->setCurrentIndex(2);
    choice(form, "NearestGroup", 1)->setChecked(true);
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.changes().needsRecalculation());
    ProjectOptions stored;
    ASSERT_TRUE(stored.LoadFromProject(*project));
    EXPECT_EQ(stored.Romanian.H, -0.5f);
    EXPECT_EQ(stored.Heating.InSideTemp, 21.5f);
    EXPECT_EQ(stored.Heating.FiltMode, 2);
    EXPECT_EQ(stored.Radiator.Nearest, 0);
}

TEST_F(ProjektOptionsForm, RelativeHumidityOfZeroIsRefusedOnItsPage) {
    ProjectOptionsDialog form(*options, *project, languages);
    child<QTabWidget>(form, "PageControl1")->setCurrentIndex(3);
    setText(form, "InSideRelHumEdit", "0");
    form.accept();
    EXPECT_FALSE(child<QLabel>(form, "StatusLabel")->text().isEmpty());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(child<QTabWidget>(form, "PageControl1")->currentIndex(), 0);
}

// A stored value its field does not allow, never typed, is named with its rule as well: no
// generic "wrong value" that names neither.
TEST_F(ProjektOptionsForm, AStoredValueTheFieldRefusesIsNamedOnOk) {
    options->Panel.InSideRelHum = 0;
    ProjectOptionsDialog form(*options, *project, languages);
    child<QTabWidget>(form, "PageControl1")->setCurrentIndex(2);
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(child<QLabel>(form, "StatusLabel")->text(),
              QStringLiteral("Umiditatea relativă interioară (%): se acceptă valoare > 0"));
    EXPECT_EQ(child<QTabWidget>(form, "PageControl1")->currentIndex(), 0);
}

TEST_F(ProjektOptionsForm, NewOutsideTemperatureAsksForRecalculation) {
    ProjectOptionsDialog form(*options, *project, languages);
    setText(form, "HeatingOutSideTempEdit", "-18");
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(form.changes().outSideTempChanged);
}

// The settings file buttons: save writes the dialog's values, load shows a file's and OK
// keeps them; a file without complete settings says so and changes nothing.
TEST_F(ProjektOptionsForm, SettingsFileSavedAndLoaded) {
    const std::string file = dir.file("setari.kps");
    QString answer = QString::fromStdString(dir.file("setari"));
    FileChooser chooser;
    chooser.save = [&](QWidget*, const QString&, const QStringList&, int&) { return answer; };
    chooser.open = [&](QWidget*, const QString&, const QStringList&, FileCount) {
        return QStringList{answer};
    };
    {
        ProjectOptionsDialog form(*options, *project, languages);
        form.setFileChooser(chooser);
        setText(form, "HeatingOutSideTempEdit", "-21");
        form.saveSettings(); // the extension of the file type is added
        form.reject();
    }
    EXPECT_EQ(options->Heating.OutSideTemp, -15.0f);

    answer = QString::fromStdString(file);
    ProjectOptionsDialog form(*options, *project, languages);
    form.setFileChooser(chooser);
    form.loadSettings();
    EXPECT_EQ(child<QLineEdit>(form, "HeatingOutSideTempEdit")->text(), "-21");
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(form.changes().outSideTempChanged);
    EXPECT_EQ(options->Heating.OutSideTemp, -21.0f);

    std::ofstream(dir.file("gol.kps")) << "<?xml version=\"1.0\"?><KalydorProjektSettings>";
    answer = QString::fromStdString(dir.file("gol.kps"));
    ProjectOptionsDialog again(*options, *project, languages);
    again.setFileChooser(chooser);
    again.loadSettings();
    EXPECT_EQ(child<QLabel>(again, "StatusLabel")->text().toStdString(),
              languages.GetText("IDS_SETTINGSINCOMPLETE"));
    EXPECT_EQ(options->Heating.OutSideTemp, -21.0f);
}

TEST_F(ProjektOptionsForm, CancelRestoresTheStoredOptions) {
    options->Heating.OutSideTemp = -12.0f;
    ASSERT_TRUE(options->SaveToProject(*project));
    ProjectOptionsDialog form(*options, *project, languages);
    options->Heating.OutSideTemp = -30.0f; // changed while the dialog was open
    setText(form, "HeatingOutSideTempEdit", "-25");
    form.reject();
    EXPECT_EQ(options->Heating.OutSideTemp, -12.0f);
}

TEST_F(ProjektOptionsForm, UnreadableOptionsCannotBeSaved) {
    ASSERT_TRUE(project->FindRecord(RecordType::ProjectOptions, "", ""));
    project->setCurrentData(std::string("\x0e\x00\x00\x00", 4)); // a newer version
    ProjectOptions unreadable;
    EXPECT_FALSE(unreadable.LoadFromProject(*project));
    ProjectOptionsDialog form(unreadable, *project, languages);
    EXPECT_TRUE(child<QLabel>(form, "ReadOnlyLabel")->isVisibleTo(&form));
    EXPECT_EQ(child<QLabel>(form, "ReadOnlyLabel")->text().toStdString(),
              projectOptionsReadOnlyError().text());
    EXPECT_FALSE(child<QLabel>(form, "ReadOnlyLabel")->text().isEmpty());
    EXPECT_FALSE(child<QPushButton>(form, "OKButton")->isEnabled());
    test::saveScreenshot(form, "ProjektOptionsForm-readonly");
}

} // namespace
} // namespace kalydor::gui
