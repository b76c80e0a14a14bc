#include "devicedb/deviceviews.h"

#include "base/error.h"
#include "devicedb/deviceitem.h"

#include "devicedb/samplefamily.h"
#include "support/fakelanguage.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

TEST(DeviceViews, FamilyRowsAtTheViewTemperatures) {
    const test::FakeLanguage language{{"IDS_DECIMALSEPARATOR", ","}};
    const RadiatorFamily family = test::sampleFamily();
    // 90/70/20 °C: ΔT_log = 20 / ln(70/50) = 59.4393 K, over DTOrigin 50 a ratio of 1.18881;
    // 640 W × 1.18881^1.33 = 805.5 → 806 W.
    const std::vector<FamilyViewRow> rows = familyViewRows(family, 0, {});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (FamilyViewRow{"22-600-400", "806", "1,920", "2,40", "1,33", "+", "400",
                                      "600", "100", "P22.600.400"}));
    EXPECT_EQ(rows[1][5], "-");
    // The second main type starts at the family's fourth size: 192 W × 1.18881^1.27 = 239 W.
    EXPECT_EQ(familyViewRows(family, 1, {})[0][1], "239");
    EXPECT_TRUE(familyViewRows(family, 2, {}).empty());
    EXPECT_THROW(familyViewRows(family, 0, {20, 70, 60}), Error);
}

TEST(DeviceViews, PieceListRows) {
    const test::FakeLanguage language{{"IDS_DECIMALSEPARATOR", ","},
                                      {"IDS_NUMBEROFPIECES", "buc."}};
    const std::vector<PieceListViewRow> rows = pieceListViewRows(test::samplePieceList());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0],
              (PieceListViewRow{"Consolă perete", "KALYDOR32PIECELIST", "2", "buc.", "C-100"}));
    EXPECT_EQ(rows[1][1], "KALYDOR32RADIATOR");
    EXPECT_EQ(rows[2][1], "");
    EXPECT_EQ(rows[2][2], "0,5");
}

} // namespace
} // namespace kalydor
