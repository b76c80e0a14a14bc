#pragma once

#include <string>

namespace kalydor {

class TextLookup;

/// The decimal separator the current language writes numbers with on screen and in reports:
/// the text of "IDS_DECIMALSEPARATOR" ("," in Romanian), "." when the language has none.
/// Files (exchange, settings, JSON) keep "." whatever the language.
char displayDecimalSeparator();
/// The same for the language of a given lookup (the printing language of a report).
char decimalSeparatorOf(const TextLookup& languages);

/// A number text of the general or fixed format with its decimal point written as the
/// separator.
std::string withDecimalSeparator(std::string text, char separator);

/// A number as people read it: the general format (`precision` significant digits) with the
/// language's decimal separator.
std::string displayNumber(double value, int precision, int exponentDigits = 0);

/// A calendar date as the current language writes it: the pattern of "IDS_DATEFORMAT"
/// ("dd.MM.yyyy" in Romanian; "d", "M" without leading zero, "yy" two digits), or the
/// identifier form "yyyy.MM.dd." when the language has none.
std::string displayDate(int year, int month, int day);

/// Today's date as the current language writes it.
std::string displayToday();

} // namespace kalydor
