#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kalydor {

/// Item identifiers are calendar days used as numbers. The table stores them as Julian day
/// numbers (so SQLite's date() shows them as dates); everywhere else they are texts of the
/// exact form "yyyy.MM.dd.". The root group is 1 January 1901, and every new identifier is
/// the day after the last one handed out.
inline constexpr std::string_view kRootIdentifier = "1901.01.01.";
inline constexpr std::int64_t kRootDay = 2415386; // Julian day number of 1901-01-01

/// The first and last day numbers that are identifiers: 0001-01-01 and 9999-12-31.
inline constexpr std::int64_t kFirstIdentifierDay = 1721426;
inline constexpr std::int64_t kLastIdentifierDay = 5373484;

/// True for a day number of the years 1 to 9999. A day read from a table is checked with it
/// before any arithmetic: a damaged table may hold any 64-bit number.
constexpr bool isIdentifierDay(std::int64_t julianDay) {
    return julianDay >= kFirstIdentifierDay && julianDay <= kLastIdentifierDay;
}

/// The identifier text of a day number; empty for a day outside the years 1 to 9999.
std::string identifierText(std::int64_t julianDay);

/// The text of an identifier read from a table: its "yyyy.MM.dd." form, or for a number out
/// of range "?" followed by the number, a text that names no record and is never taken for
/// the root group.
std::string storedIdentifierText(std::int64_t julianDay);

/// The day number of an identifier text, accepted only in the exact form "yyyy.MM.dd." of a
/// real calendar date; anything else gives nothing.
std::optional<std::int64_t> identifierDay(std::string_view text);

} // namespace kalydor
