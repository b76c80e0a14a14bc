// The read-only views of the device database: a family's sizes follow the main type and
// temperatures typed; temperatures that do not fit say so instead of showing rows.

#include "gui/piecelistdialog.h"
#include "gui/radiatorfamilydialog.h"

#include "devicedb/samplefamily.h"
#include "support/fakelanguage.h"
#include "support/qtapplication.h"
#include "support/qtwidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

QString cell(QTableWidget* table, int row, int column) {
    return table->item(row, column) ? table->item(row, column)->text() : QString();
}

TEST(RadiatorViewForm, FollowsMainTypeAndTemperatures) {
    test::qtApplication();
    const test::FakeLanguage language{{"IDS_DECIMALSEPARATOR", ","},
                                      {"IDS_DTLOGERROR", "temperatures do not fit"}};
    const RadiatorFamily family = test::sampleFamily();
    RadiatorFamilyDialog dialog(family);
    ASSERT_EQ(dialog.sizes()->rowCount(), 3);
    EXPECT_EQ(cell(dialog.sizes(), 0, 1), "806"); // 90/70/20 °C
    EXPECT_EQ(cell(dialog.sizes(), 0, 2), "1,920");

    // 75/65/20 °C: ΔT_log = 10 / ln(55/45) = 49.83 K, over 50 K 0.99666; 640 W × 0.99666^1.33
    // = 637 W.
    test::typeAndLeave(dialog.temperature(2), "75");
    test::typeAndLeave(dialog.temperature(1), "65 °C");
    EXPECT_EQ(cell(dialog.sizes(), 0, 1), "637");

    dialog.mainTypes()->setCurrentIndex(1);
    ASSERT_EQ(dialog.sizes()->rowCount(), 2);
    EXPECT_EQ(cell(dialog.sizes(), 1, 0), "11-300-500");

    // A return temperature above the flow temperature empties the rows and says why.
    test::typeAndLeave(dialog.temperature(1), "80");
    EXPECT_EQ(dialog.sizes()->rowCount(), 0);
    EXPECT_EQ(dialog.status()->text(), "temperatures do not fit");
}

TEST(PieceListViewForm, ShowsEveryLine) {
    test::qtApplication();
    const test::FakeLanguage language{{"IDS_NUMBEROFPIECES", "pcs"}};
    PieceListDialog dialog(test::samplePieceList());
    ASSERT_EQ(dialog.lines()->rowCount(), 3);
    EXPECT_EQ(cell(dialog.lines(), 0, 3), "pcs");
    EXPECT_EQ(cell(dialog.lines(), 2, 1), "");
}

} // namespace
} // namespace kalydor::gui
