#include "store/identifier.h"

#include <gtest/gtest.h>

#include <limits>

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

// Day numbers come from the table, and a damaged table may hold any 64-bit number: the
// conversion must neither overflow (the sanitizer build stopped on it) nor invent a date.
TEST(Identifier, StoredNumbersOutsideTheCalendar) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(identifierText(kFirstIdentifierDay), "0001.01.01.");
    EXPECT_EQ(identifierText(kLastIdentifierDay), "9999.12.31.");
    EXPECT_EQ(identifierDay("0001.01.01."), kFirstIdentifierDay);
    for (const std::int64_t day : {kMax, kMax - 1, kMax - 719468, kMin, kMin + 1, std::int64_t{0},
                                   kFirstIdentifierDay - 1, kLastIdentifierDay + 1}) {
        SCOPED_TRACE(day);
        EXPECT_EQ(identifierText(day), "");
        const std::string stored = storedIdentifierText(day);
        EXPECT_EQ(stored, "?" + std::to_string(day));
        EXPECT_FALSE(identifierDay(stored));
    }
    EXPECT_EQ(storedIdentifierText(kRootDay), kRootIdentifier);
}

} // namespace
} // namespace kalydor
