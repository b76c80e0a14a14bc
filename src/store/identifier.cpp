#include "store/identifier.h"

#include <cstdio>

namespace kalydor {
namespace {

constexpr std::int64_t kUnixEpochJulianDay = 2440588; // 1970-01-01

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

Civil civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {y + (m <= 2), m, d};
}

bool isLeap(std::int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned daysInMonth(std::int64_t y, unsigned m) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

} // namespace

std::string identifierText(std::int64_t julianDay) {
    if (!isIdentifierDay(julianDay))
        return {};
    const Civil c = civilFromDays(julianDay - kUnixEpochJulianDay);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d.%02u.%02u.", static_cast<int>(c.year), c.month,
                  c.day);
    return buffer;
}

std::string storedIdentifierText(std::int64_t julianDay) {
    if (!isIdentifierDay(julianDay))
        return "?" + std::to_string(julianDay);
    return identifierText(julianDay);
}

std::optional<std::int64_t> identifierDay(std::string_view text) {
    if (text.size() != 11 || text[4] != '.' || text[7] != '.' || text[10] != '.')
        return std::nullopt;
    const auto number = [&](std::size_t from, std::size_t count) -> int {
        int value = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    if (year < 1 || month < 1 || month > 12 || day < 1 ||
        static_cast<unsigned>(day) > daysInMonth(year, static_cast<unsigned>(month)))
        return std::nullopt;
    return daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
           kUnixEpochJulianDay;
}

} // namespace kalydor
