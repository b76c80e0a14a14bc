#pragma once

#include "base/error.h"

#include <functional>
#include <string>

namespace kalydor::testing {

/// The language key of the error an action raises; empty when it raises none.
inline std::string errorKey(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.key();
    }
    return {};
}

} // namespace kalydor::testing
