#include "store/identifier.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

TEST(Identifier, TextsAndDays) {
    EXPECT_EQ(identifierText(kRootDay), kRootIdentifier);
    EXPECT_EQ(identifierText(kRootDay + 1), "1901.01.02.");
    EXPECT_EQ(identifierText(kRootDay + 365), "1902.01.01.");
    EXPECT_EQ(identifierDay("1901.01.01."), kRootDay);
    EXPECT_EQ(identifierDay("2000.02.29."), kRootDay + 36218);
    EXPECT_EQ(identifierText(*identifierDay("2024.12.31.")), "2024.12.31.");
    EXPECT_EQ(identifierText(*identifierDay("9999.12.31.") + 1), ""); // the counter's end

    // Only the exact form of a real date is an identifier.
    for (const char* text :
         {"", "1901.01.01", "1901-01-01.", "1901.1.01.", "1901.13.01.", "1901.02.29.",
          "2100.02.29.", "0000.01.01.", "1901.01.0x.", " 1901.01.01.", "1901.01.01.."}) {
        EXPECT_FALSE(identifierDay(text).has_value()) << text;
    }
}

} // namespace
} // namespace kalydor
