// The printing dialog and the preview, offscreen.
#include "gui/printdialog.h"
#include "gui/printpreview.h"
#include "gui/usedmaterialsdialogs.h"

#include "constructions/usedmaterials.h"

#include "base/textlookup.h"
#include "gui/qtwindowtranslation.h"
#include "language/languages.h"
#include "platform/scriptedprompter.h"

#include "support/qtapplication.h"
#include "support/qtwidgets.h"
#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kalydor::gui {
namespace {

std::vector<ReportSource> paragraphs(int count) {
    ReportSource source;
    std::string rtf;
    for (int i = 1; i <= count; ++i)
        rtf += "\\pard Paragraful " + std::to_string(i) + " cu diacritice: \\u537?\\u539?\\par ";
    source.blocks.push_back(ReportBlock::richText(rtf));
    return {source};
}

// The dialog takes what was typed into the run's choices; a first page number that is none,
// or no format, is refused and the choices stay as they were.
TEST(PrintingForm, TakesTheChoicesOrRefusesThem) {
    test::qtApplication();
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
    struct Case {
        const char* firstPage;
        bool tableChecked;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"3", true, true}, {"0", true, false}, {"3a", true, false},
        {"", true, false}, {"2", false, true}, // the sheets stay chosen
    };
    for (const Case& c : cases) {
        PrintForm form;
        PrintDialog dialog(ItemKind::Material, form);
        dialog.findChild<QLineEdit*>("TitleEdit")->setText("Materiale");
        dialog.findChild<QLineEdit*>("FirstPageEdit")->setText(c.firstPage);
        QListWidget* formats = dialog.formatList();
        ASSERT_EQ(formats->count(), 2);
        EXPECT_EQ(formats->item(0)->checkState(), Qt::Checked); // sheets, the first format
        formats->item(1)->setCheckState(c.tableChecked ? Qt::Checked : Qt::Unchecked);
        dialog.finish(PrintDialog::Command::Pdf);
        EXPECT_EQ(dialog.command() == PrintDialog::Command::Pdf, c.accepted) << c.firstPage;
        EXPECT_EQ(form.title == "Materiale", c.accepted) << c.firstPage;
        if (c.accepted) {
            EXPECT_EQ(form.formats,
                      c.tableChecked ? std::vector<int>({0, 1}) : std::vector<int>{0});
        }
    }
    EXPECT_EQ(prompter.messages().size(), 3u);

    const std::string directory = qEnvironmentVariable("KALYDOR_SCREENSHOT_DIR").toStdString();
    if (!directory.empty()) {
        Languages& languages = test::shippedLanguages();
        languages.SelectInterfaceLanguage("Român");
        setTextLookup(&languages);
        PrintForm form;
        PrintDialog dialog(ItemKind::Construction, form);
        translateWindow(languages, dialog);
        dialog.show();
        QApplication::processEvents();
        dialog.grab().save(QString::fromStdString(directory + "/printdialog.png"));
        test::romanianLanguages();
    }

    // Nothing to print is refused as well.
    PrintForm form;
    PrintDialog dialog(ItemKind::Construction, form);
    dialog.formatList()->item(0)->setCheckState(Qt::Unchecked);
    dialog.finish(PrintDialog::Command::Preview);
    EXPECT_EQ(dialog.command(), PrintDialog::Command::None);
}

// The printed tables of the kind are listed; the columns button opens the chosen one's editor.
TEST(PrintingForm, ColumnsOfEachPrintedTable) {
    test::qtApplication();
    struct Case {
        ItemKind kind;
        std::vector<std::string> settingsNames;
    };
    const std::vector<Case> cases = {
        {ItemKind::Material, {"MaterialTableReport"}},
        {ItemKind::Construction, {"PanelTableReport", "LayerTableReport"}},
        {ItemKind::Room, {"RoomTableReport", "BoundaryTableReport", "RadiatorTableReport"}},
        {ItemKind::Building, {"BuildingRoomsTableReport", "BuildingEnergeticTableReport"}},
    };
    for (const Case& c : cases) {
        PrintForm form;
        PrintDialog dialog(c.kind, form);
        std::vector<std::string> opened;
        dialog.editColumns = [&](const PrintedTable& table) {
            opened.push_back(table.settingsName);
        };
        auto* columns = dialog.findChild<QPushButton*>("ColumnsButton");
        ASSERT_EQ(dialog.tableChoice()->count(), static_cast<int>(c.settingsNames.size()));
        for (int i = 0; i < dialog.tableChoice()->count(); ++i) {
            dialog.tableChoice()->setCurrentIndex(i);
            columns->click();
        }
        EXPECT_EQ(opened, c.settingsNames);
    }
}

// The bill's lines by type in a check tree: a group's box ticks its lines, the choice comes
// in the bill's order, and no line chosen is refused.
TEST(UsedMaterialsForms, LinesChosenByGroupAndLine) {
    test::qtApplication();
    Languages& languages = test::romanianLanguages();
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter usePrompter{prompter};
    UsedMaterials bill;
    const auto add = [&](std::uint8_t type, const char* name, const char* code, float quantity) {
        UsedMaterialItem line;
        line.Type = type;
        line.Name = name;
        line.EstimateCode = code;
        line.Quantity = quantity;
        line.Unit = "buc.";
        bill.Add(line);
    };
    add(0, "22-600-1000", "RP22", 2);
    add(1, "Set de montaj", "@SET", 1);
    add(0, "11-300-400", "", 1);
    bill.Sort();
    UsedMaterialsExportDialog dialog(bill);
    translateWindow(languages, dialog);
    QTreeWidget* tree = dialog.tree();
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0).toStdString(), "Radiatoare");
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(dialog.chosen(), (std::vector<std::size_t>{0, 1, 2}));
    tree->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(dialog.chosen(), (std::vector<std::size_t>{2}));
    tree->topLevelItem(1)->child(0)->setCheckState(0, Qt::Unchecked);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(prompter.messages().size(), 1u);

    UsedMaterialsPrintDialog print(bill);
    translateWindow(languages, print);
    print.tree()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    print.finish(PrintDialog::Command::Pdf);
    EXPECT_EQ(print.command(), PrintDialog::Command::Pdf);
    EXPECT_EQ(print.chosen(), (std::vector<std::size_t>{0, 1}));

    const std::string directory = qEnvironmentVariable("KALYDOR_SCREENSHOT_DIR").toStdString();
    if (!directory.empty()) {
        UsedMaterialsPrintDialog shown(bill);
        translateWindow(languages, shown);
        shown.show();
        QApplication::processEvents();
        shown.grab().save(QString::fromStdString(directory + "/usedmaterialsprint.png"));
    }
}

// The preview goes through the pages by button and by printed number, and saves the PDF.
TEST(PreviewForm, PagesAndPdf) {
    test::qtApplication();
    PrintChoices choices;
    choices.title = "Titlu";
    choices.firstPageNumber = 4;
    PrintOptions options;
    options.font = {"DejaVu Serif", 10};
    const PrintJob job(paragraphs(150), options, choices, "5-6");
    const std::size_t count = job.layout().pageCount();
    ASSERT_GE(count, 3u);
    PreviewDialog preview(job, nullptr);
    auto* next = preview.findChild<QPushButton*>("NextPageButton");
    auto* last = preview.findChild<QPushButton*>("LastPageButton");
    auto* goTo = preview.findChild<QSpinBox*>("GoToPageEdit");
    EXPECT_EQ(preview.page(), 0u);
    EXPECT_FALSE(preview.findChild<QPushButton*>("PreviousPageButton")->isEnabled());
    next->click();
    EXPECT_EQ(preview.page(), 1u);
    EXPECT_EQ(goTo->value(), 5);
    last->click();
    EXPECT_EQ(preview.page(), count - 1);
    EXPECT_FALSE(next->isEnabled());
    goTo->setValue(4);
    EXPECT_EQ(preview.page(), 0u);

    test::TempDir dir;
    const std::filesystem::path pdf = dir.path() / "previzualizare.pdf";
    preview.chooseFile = [&] { return pdf.string(); };
    preview.savePdf();
    std::ifstream in(pdf, std::ios::binary);
    std::string head(5, '\0');
    in.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
    EXPECT_EQ(job.writePdf(pdf.string()).printed, 2u); // pages 5 and 6 only

    // A layout stopped by its progress window leaves nothing to show.
    std::size_t told = 0;
    const PrintJob stopped(paragraphs(5), options, choices, "", [&](std::size_t, std::size_t) {
        ++told;
        return false;
    });
    EXPECT_TRUE(stopped.stopped());
    EXPECT_FALSE(job.stopped());
    EXPECT_EQ(told, 1u);

    const std::string directory = qEnvironmentVariable("KALYDOR_SCREENSHOT_DIR").toStdString();
    if (!directory.empty()) {
        translateWindow(test::shippedLanguages(), preview);
        preview.resize(700, 900);
        preview.show();
        QApplication::processEvents();
        preview.grab().save(QString::fromStdString(directory + "/preview.png"));
    }
}

} // namespace
} // namespace kalydor::gui
