#include "base/version.h"

namespace kalydor {

std::string_view programVersion() {
    return KALYDOR_VERSION;
}

} // namespace kalydor
