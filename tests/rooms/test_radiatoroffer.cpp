// The radiator offer of the room dialog's radiator page: the table's rows and columns in both
// modes, the cell texts with their marks, the families the table's steps do not cover, the
// count of radiators, and the marks of added radiators.

#include "rooms/radiatoroffer.h"

#include "rooms/room.h"

#include "support/errorkey.h"
#include "support/fakelanguage.h"
#include "support/radiatorfamilies.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

OfferInputs inputs(float demand, bool dataSheet = false) {
    OfferInputs in;
    in.demand = demand;
    in.dataSheet = dataSheet;
    return in;
}

TEST(RadiatorOffer, CellsOfBothModes) {
    const RadiatorFamily family = testing::panelTestFamily();
    const RadiatorOffer chosen(family, inputs(800), {});
    EXPECT_EQ(chosen.rowTitles(), (std::vector<std::string>{"P11 600", "P22 600"}));
    EXPECT_EQ(chosen.columnTitles(), std::vector<std::string>{"-"}); // two lists: one column
    const struct {
        int row, column;
        const char* text;
    } cells[] = {
        {0, 0, "r:P11-600-800\n800 W\n800x600x47"},
        {1, 0, "r:P22-600-400\n700 W\n400x600x100"}, // 100 W off: within a fifth
        {2, 0, " \n-"},                              // no such row
    };
    for (const auto& c : cells)
        EXPECT_EQ(chosen.cell(c.row, c.column).text, c.text) << c.row;

    const RadiatorOffer sheet(family, inputs(800, true), {});
    EXPECT_EQ(sheet.rowTitles(), (std::vector<std::string>{"400", "800", "1200"}));
    EXPECT_EQ(sheet.columnTitles(), (std::vector<std::string>{"P11 600", "P22 600"}));
    EXPECT_EQ(sheet.cell(2, 1).text, "r:P22-600-1200\nr:2100 W\n1200x600x100");
    EXPECT_EQ(sheet.cell(0, 0).text, "g:P11-600-400\nr:400 W\n400x600x47");
    // A demand of 0 never marks the output.
    EXPECT_EQ(RadiatorOffer(family, inputs(0, true), {}).cell(2, 1).text,
              "r:P22-600-1200\n2100 W\n1200x600x100");

    // The cell's size is its data: the radiator it offers.
    const std::optional<Radiator> radiator = chosen.radiatorOf(chosen.cell(1, 0));
    ASSERT_TRUE(radiator.has_value());
    EXPECT_EQ(radiator->TypeCode, "P22-600-400");
    EXPECT_EQ(radiator->Power(), 700.0f);
    EXPECT_EQ(radiator->Depth, 100);
    EXPECT_FALSE(chosen.radiatorOf(chosen.cell(5, 0)).has_value());
}

TEST(RadiatorOffer, FamiliesTheStepsDoNotCoverAndBadInputs) {
    test::FakeLanguage language{{"IDS_WRONGVALUE", "Wrong value."}};
    RadiatorFamily three = testing::panelTestFamily();
    three.DimensionLists = {{"600", "900"}, {"11", "22"}, {"400", "800", "1200"}};
    three.MainTypes[0].DimensionIndex = {0, 0};
    three.MainTypes[1].DimensionIndex = {0, 1};
    const RadiatorOffer all(three, inputs(800), {});
    EXPECT_EQ(all.rows(), 2);
    EXPECT_EQ(all.columnTitles(), (std::vector<std::string>{"11", "22"}));
    EXPECT_EQ(all.cell(0, 1).text.substr(0, 15), "r:P22-600-400\n7");
    EXPECT_EQ(all.cell(1, 0).text, " \n-"); // no main type of height 900
    OfferInputs chosenFirst = inputs(800);
    chosenFirst.firstDimension = 1;
    EXPECT_EQ(RadiatorOffer(three, chosenFirst, {}).rowTitles(), std::vector<std::string>{"900"});

    RadiatorFamily single = testing::panelTestFamily();
    single.DimensionLists = {{"400", "800", "1200"}};
    const RadiatorOffer one(single, inputs(800), {});
    EXPECT_EQ(one.rows(), 1);
    EXPECT_EQ(one.cell(0, 0).text, " \n-");

    RadiatorFamily beyond = testing::panelTestFamily();
    beyond.MainTypes[1].FirstSize = 5;
    beyond.MainTypes[1].SizeCount = 9; // a range past the sizes: no size
    EXPECT_EQ(RadiatorOffer(beyond, inputs(800), {}).cell(1, 0).text, " \n-");

    OfferInputs level = inputs(800);
    level.backward = 90; // forward = return: refused before any cell
    EXPECT_EQ(testing::errorKey([&] { (void)RadiatorOffer(three, level, {}); }), "IDS_DTLOGERROR");
    OfferInputs none = inputs(800);
    none.count = 0;
    EXPECT_EQ(testing::errorKey([&] { (void)RadiatorOffer(three, none, {}); }), "IDS_WRONGVALUE");
    for (const char* bad : {"0", "1000", "2.5", "-1", "doi"})
        EXPECT_EQ(testing::errorKey([&] { (void)readRadiatorCount(bad); }), "IDS_WRONGVALUE")
            << bad;
    EXPECT_EQ(readRadiatorCount("3 buc"), 3);
}

TEST(RadiatorOffer, MarksOfAddedAndChangedRadiators) {
    Room room;
    Radiator one;
    one.Mark = "1";
    Radiator three = one;
    three.Mark = "3";
    room.Radiators = {one, three};
    Radiator offered;
    offered.TypeCode = "P22-600-800";
    EXPECT_EQ(AddFromOffer(room, offered, 3), (std::vector<std::string>{"2", "4", "5"}));
    ASSERT_EQ(room.Radiators.size(), 5u);
    EXPECT_EQ(room.Radiators[4].TypeCode, "P22-600-800");

    Radiator other;
    other.TypeCode = "P11-600-400";
    EXPECT_TRUE(ChangeFromOffer(room, 1, other));
    EXPECT_EQ(room.Radiators[1].Mark, "3");
    EXPECT_EQ(room.Radiators[1].TypeCode, "P11-600-400");
    EXPECT_FALSE(ChangeFromOffer(room, 9, other));
}

} // namespace
} // namespace kalydor
