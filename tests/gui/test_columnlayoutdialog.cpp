#include "gui/columnlayoutdialog.h"
#include "gui/headerdelegate.h"

#include "base/textlookup.h"
#include "language/languages.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>

#include "support/qtapplication.h"

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

Languages englishLanguages() {
    Language language;
    language.id = "English";
    language.userInterface = true;
    language.strings["ID_NEEDFIRSTCOLUMN"] = "The first column cannot be hidden.";
    language.strings["IDS_WRONGVALUE"] = "Wrong value.";
    LanguageForm form;
    form.name = "ChangeHeaderForm";
    form.propertyIds = {"Caption"};
    form.values = {"Columns of the materials list"};
    language.forms.push_back(form);
    Languages languages;
    languages.addLanguage(std::move(language));
    languages.SelectInterfaceLanguage("English");
    return languages;
}

class ChangeHeaderFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::qtApplication();
        setTextLookup(&languages);
        layout.Load("MaterialItemsTitle");
    }
    void TearDown() override { setTextLookup(nullptr); }

    template <typename T> T* child(ColumnLayoutDialog& form, const char* name) {
        T* widget = form.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    Languages languages = englishLanguages();
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter scope{prompter};
    platform::MemorySettingsStore store;
    ColumnLayout layout;
};

TEST_F(ChangeHeaderFormTest, UncheckingTheFirstColumnIsRefused) {
    ColumnLayoutDialog form(layout, languages, store);
    EXPECT_EQ(form.windowTitle(), "Columns of the materials list");
    auto* list = child<QListWidget>(form, "ColumnList");
    ASSERT_EQ(list->count(), 11);
    EXPECT_EQ(list->item(2)->text(), "λ thermal conductivity [W/mK]");
    list->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0], "The first column cannot be hidden.");
    list->item(3)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(layout.ColumnAt(3).Visible);
}

TEST_F(ChangeHeaderFormTest, OkAppliesAndStores) {
    ColumnLayoutDialog form(layout, languages, store);
    auto* list = child<QListWidget>(form, "ColumnList");
    list->setCurrentRow(1);
    child<QLineEdit>(form, "WidthEdit")->setText("1");
    child<QPushButton>(form, "DownButton")->click();
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_EQ(layout.ColumnAt(2).ID, 1);
    EXPECT_EQ(layout.ColumnAt(2).Width, 3);
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(form.layoutChanged());
    EXPECT_EQ(store.readText("Headers/MaterialItemsTitle", "1"), "3cr5.3g");
    EXPECT_EQ(store.readText("Headers/MaterialItemsTitle", "Order"), "0,2,1,3,4,5,6,7,8,9,10");
}

TEST_F(ChangeHeaderFormTest, BadValueKeepsTheDialogOpen) {
    ColumnLayoutDialog form(layout, languages, store);
    child<QListWidget>(form, "ColumnList")->setCurrentRow(2);
    child<QLineEdit>(form, "PrecisionEdit")->setText("0");
    form.accept();
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.statusText(), "Wrong value.");
    EXPECT_FALSE(store.keyExists("Headers/MaterialItemsTitle"));
}

TEST_F(ChangeHeaderFormTest, CancelRestoresTheLayout) {
    const ColumnLayout before = layout;
    ColumnLayoutDialog form(layout, languages, store);
    auto* list = child<QListWidget>(form, "ColumnList");
    list->item(4)->setCheckState(Qt::Unchecked);
    list->setCurrentRow(5);
    child<QGroupBox>(form, "OwnCaptionsGroup")->setChecked(true);
    child<QLineEdit>(form, "MultiplierEdit")->setText("0,5");
    list->setCurrentRow(6); // applies the settings of row 5
    ASSERT_TRUE(layout.ColumnAt(5).OwnCaptions);
    form.reject();
    EXPECT_FALSE(form.layoutChanged());
    EXPECT_EQ(layout.Columns, before.Columns);
    EXPECT_EQ(layout.Order, before.Order);
    EXPECT_FALSE(store.keyExists("Headers"));
}

TEST_F(ChangeHeaderFormTest, CaptionMarkupIsMeasuredAsDrawn) {
    QFont font("DejaVu Sans", 10);
    const QFontMetrics metrics(font);
    // The short form of a caption stops at "\;": only the Greek letter remains.
    EXPECT_EQ(captionWidth(font, "\\fl\\;\\p thermal conductivity", true),
              metrics.horizontalAdvance(QString::fromUtf8("λ")));
    EXPECT_GT(captionWidth(font, "\\fl\\;\\p thermal conductivity", false),
              metrics.horizontalAdvance("thermal conductivity"));
    // A superscript is drawn smaller than the same digit in line.
    EXPECT_LT(captionWidth(font, "m\\u2", false), metrics.horizontalAdvance("m2"));
}

// Screenshots of the dialog and of a list header, for a person to look at.
TEST_F(ChangeHeaderFormTest, Screenshots) {
    const std::string directory = std::string(KALYDOR_PROGRAM_DIR) + "/../";
    ColumnLayoutDialog form(layout, languages, store);
    form.resize(form.sizeHint());
    const QPixmap dialog = form.grab();
    EXPECT_FALSE(dialog.isNull());
    EXPECT_TRUE(dialog.save(QString::fromStdString(directory + "changeheaderform.png")));

    QTreeWidget list;
    auto* header = new ColumnHeaderView(&list);
    list.setHeader(header);
    header->setColumnLayout(&layout);
    list.setColumnCount(static_cast<int>(layout.visibleColumnIds().size()));
    header->applyColumnWidths();
    auto* row = new QTreeWidgetItem(&list);
    row->setText(0, "Beton armat");
    row->setText(2, QString::fromStdString(layout.FindColumn(2)->FormatReal(1.74, ',')));
    list.resize(900, 120);
    const QImage image = list.grab().toImage();
    EXPECT_TRUE(image.save(QString::fromStdString(directory + "listheader.png")));
    EXPECT_GE(header->sizeHint().height(), 2 * QFontMetrics(header->font()).height());
    // The captions are drawn over the section background: "Name" inks the first section.
    int ink = 0;
    for (int y = 0; y < header->height(); ++y) {
        for (int x = 0; x < 150; ++x)
            ink += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    }
    EXPECT_GT(ink, 20);
}

} // namespace
} // namespace kalydor::gui
namespace kalydor::gui {
namespace {

// The leftmost and rightmost dark column of a caption drawn into a white strip.
std::pair<int, int> inkedColumns(std::string_view caption, ColumnAlignment alignment) {
    QImage image(200, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(QFont("DejaVu Sans", 10));
    painter.setPen(Qt::black);
    drawCaption(painter, QRect(0, 0, 200, 20), caption, alignment, true);
    painter.end();
    int left = 200;
    int right = -1;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

TEST(DrawCaption, AlignsTheMeasuredCaption) {
    test::qtApplication();
    const auto [leftStart, leftEnd] = inkedColumns("\\fl\\;\\p thermal", ColumnAlignment::Left);
    ASSERT_GE(leftEnd, leftStart) << "nothing drawn";
    EXPECT_LT(leftStart, 10);
    EXPECT_LT(leftEnd, 20); // the short form is the one letter
    const auto [rightStart, rightEnd] = inkedColumns("\\fl\\;\\p thermal", ColumnAlignment::Right);
    EXPECT_GT(rightStart, 180);
    EXPECT_GT(rightEnd, 190);
    const auto [centreStart, centreEnd] = inkedColumns("m\\u2", ColumnAlignment::Center);
    EXPECT_NEAR((centreStart + centreEnd) / 2, 100, 6);
}

} // namespace
} // namespace kalydor::gui
