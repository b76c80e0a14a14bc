#pragma once

#include "base/error.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kalydor::test {

inline std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

inline bool hasSideFiles(const std::string& table) {
    return std::filesystem::exists(table + "-wal") || std::filesystem::exists(table + "-shm") ||
           std::filesystem::exists(table + "-journal");
}

// The key of the error an operation raised; empty when it raised none.
template <typename Operation> std::string errorKey(Operation&& operation) {
    try {
        operation();
    } catch (const Error& error) {
        return error.key();
    }
    return {};
}

} // namespace kalydor::test
