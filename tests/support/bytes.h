#pragma once

#include <initializer_list>
#include <string>

namespace kalydor::test {

/// A byte string written as numbers, for byte-exact expectations.
inline std::string bytes(std::initializer_list<unsigned> values) {
    std::string out;
    for (const unsigned v : values)
        out += static_cast<char>(v);
    return out;
}

} // namespace kalydor::test
