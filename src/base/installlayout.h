#pragma once

#include <string>

namespace kalydor {

/// The folder the program's data files (languages, catalogues, the device table, the manual,
/// the start-up picture) are read from: beside the program in a build tree, or the installed
/// data folder "<prefix>/share/kalydor" when the program runs from "<prefix>/bin" and that
/// folder holds the languages.
std::string programDataDirectory(const std::string& programDirectory);

} // namespace kalydor
