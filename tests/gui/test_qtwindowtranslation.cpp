#include "gui/qtwindowtranslation.h"
#include "language/languages.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "support/qtapplication.h"

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

LanguageFormItem item(std::string name, std::string type,
                      std::vector<std::pair<std::string, std::string>> properties) {
    LanguageFormItem formItem{std::move(name), std::move(type), {}, {}};
    for (auto& [id, value] : properties) {
        formItem.propertyIds.push_back(id);
        formItem.values.push_back(value);
    }
    return formItem;
}

// A small dialog translated into Romanian: each control type gets the properties the type
// table allows, on the Qt property that shows them.
TEST(QtWindowTranslation, TranslatesARealDialog) {
    test::qtApplication();
    QDialog dialog;
    dialog.setObjectName("TTestForm_2");
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel("Name", &dialog);
    label->setObjectName("NameLabel");
    auto* ok = new QPushButton("OK", &dialog);
    ok->setObjectName("OkButton");
    auto* kind = new QComboBox(&dialog);
    kind->setObjectName("KindBox");
    kind->addItems({"Solid", "Moist"});
    auto* mode = new QGroupBox("Mode", &dialog);
    mode->setObjectName("ModeGroup");
    auto* modeLayout = new QVBoxLayout(mode);
    for (const char* text : {"Inside out", "Outside in"})
        modeLayout->addWidget(new QRadioButton(text, mode));
    auto* layers = new QTreeWidget(&dialog);
    layers->setObjectName("Layers");
    layers->setHeaderLabels({"Name", "d"});
    auto* tabs = new QTabWidget(&dialog);
    auto* wallPage = new QWidget;
    wallPage->setObjectName("WallPage");
    tabs->addTab(wallPage, "Wall");
    auto* nameEdit = new QLineEdit(&dialog);
    nameEdit->setObjectName("NameEdit");
    auto* save = new QAction("Save", &dialog);
    save->setObjectName("SaveAction");
    for (QWidget* w :
         std::initializer_list<QWidget*>{label, ok, kind, mode, layers, tabs, nameEdit})
        layout->addWidget(w);

    LanguageForm form;
    form.name = "TTestForm";
    form.propertyIds = {"Caption"};
    form.values = {"Material nou"};
    form.items = {
        item("NameLabel", "TLabel", {{"Caption", "Denumire"}, {"Hint", "Numele materialului"}}),
        item("OkButton", "TButton", {{"Caption", "Acceptă"}}),
        item("KindBox", "TComboBox",
             {{"Items.Strings", "Solid"}, {"Items.Strings", "Umed"}, {"Items.Strings", "Extra"}}),
        item("ModeGroup", "TRadioGroup",
             {{"Caption", "Ordine"},
              {"Items.Strings", "Dinspre interior"},
              {"Items.Strings", "Dinspre exterior"}}),
        item("Layers", "TListView",
             {{"Columns.item.Caption", "Strat"}, {"Columns.item.Caption", "d [cm]"}}),
        item("WallPage", "TTabSheet", {{"Caption", "Perete"}}),
        item("NameEdit", "TEdit", {{"Text", "fără nume"}, {"Caption", "ignored for an edit"}}),
        item("SaveAction", "TAction", {{"Caption", "Salvează"}, {"Hint", "Salvează proiectul"}}),
    };
    Language romanian;
    romanian.id = "Român";
    romanian.userInterface = true;
    romanian.forms.push_back(form);
    Languages languages;
    languages.addLanguage(romanian);
    languages.SelectInterfaceLanguage("Român");

    translateWindow(languages, dialog);

    EXPECT_EQ(dialog.windowTitle(), QString("Material nou"));
    EXPECT_EQ(label->text(), QString("Denumire"));
    EXPECT_EQ(label->toolTip(), QString("Numele materialului"));
    EXPECT_EQ(ok->text(), QString("Acceptă"));
    EXPECT_EQ(kind->count(), 2); // only existing entries are set
    EXPECT_EQ(kind->itemText(1), QString("Umed"));
    EXPECT_EQ(mode->title(), QString("Ordine"));
    const QList<QRadioButton*> buttons = mode->findChildren<QRadioButton*>();
    EXPECT_EQ(buttons[0]->text(), QString("Dinspre interior"));
    EXPECT_EQ(buttons[1]->text(), QString("Dinspre exterior"));
    EXPECT_EQ(layers->headerItem()->text(1), QString("d [cm]"));
    EXPECT_EQ(tabs->tabText(0), QString("Perete"));
    EXPECT_EQ(nameEdit->text(), QString("fără nume"));
    EXPECT_EQ(save->text(), QString("Salvează"));
    EXPECT_EQ(save->statusTip(), QString("Salvează proiectul"));
}

TEST(QtWindowTranslation, FileTypeLists) {
    EXPECT_EQ(nameFiltersOf("Projects (*.db)|*.db|All files|*.*;*"),
              (QStringList{"Projects (*.db)", "All files (*.* *)"}));
    EXPECT_TRUE(nameFiltersOf("").isEmpty());
}

} // namespace
} // namespace kalydor::gui
