#pragma once

#include <string_view>

namespace kalydor {

/// The one order in which names are shown to people (tree siblings, list rows, export
/// order): case and accents are ignored, so "Ablak", "ablak" and "Ábla" sort together; names
/// equal under that rule are ordered by their bytes, so only identical names compare equal.
/// Returns a negative number, 0 or a positive number like strcmp.
int compareNames(std::string_view a, std::string_view b);

/// Whether a name begins with a typed text under the same rule: case and accents ignored
/// ("Bucuresti" begins "București").
bool nameStartsWith(std::string_view name, std::string_view typed);

/// Strict weak order for sorting with compareNames.
struct NameLess {
    bool operator()(std::string_view a, std::string_view b) const { return compareNames(a, b) < 0; }
};

} // namespace kalydor
