#pragma once

#include <string_view>

namespace kalydor {

/// The program's version ("major.minor.patch"), the same for the desktop program and the
/// command line; set by the build from the project's version.
std::string_view programVersion();

} // namespace kalydor
