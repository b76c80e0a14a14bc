#include "base/displayformat.h"

#include "base/numberformat.h"
#include "base/textlookup.h"

#include <algorithm>
#include <chrono>

namespace kalydor {

char displayDecimalSeparator() {
    return decimalSeparatorOf(textLookup());
}

char decimalSeparatorOf(const TextLookup& languages) {
    const std::string separator = languages.getText("IDS_DECIMALSEPARATOR");
    return separator.size() == 1 ? separator[0] : '.';
}

std::string withDecimalSeparator(std::string text, char separator) {
    if (separator != '.')
        std::replace(text.begin(), text.end(), '.', separator);
    return text;
}

std::string displayNumber(double value, int precision, int exponentDigits) {
    return withDecimalSeparator(formatGeneral(value, precision, exponentDigits),
                                displayDecimalSeparator());
}

namespace {

std::string padded(int value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return digits;
}

} // namespace

std::string displayDate(int year, int month, int day) {
    std::string pattern = GetText("IDS_DATEFORMAT");
    if (pattern.empty())
        pattern = "yyyy.MM.dd.";
    std::string text;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        if (c == 'y')
            text += run == 2 ? padded(year % 100, 2) : padded(year, run);
        else if (c == 'M')
            text += padded(month, run >= 2 ? 2 : 1);
        else if (c == 'd')
            text += padded(day, run >= 2 ? 2 : 1);
        else
            text.append(run, c);
        i += run;
    }
    return text;
}

std::string displayToday() {
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    const std::chrono::year_month_day date{today};
    return displayDate(static_cast<int>(date.year()), static_cast<int>(unsigned(date.month())),
                       static_cast<int>(unsigned(date.day())));
}

} // namespace kalydor
