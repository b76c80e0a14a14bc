#pragma once

#include <string>
#include <vector>

namespace kalydor::platform {

/// Moves files to the desktop's trash, where the user can still get them back.
class FileTrash {
public:
    virtual ~FileTrash() = default;
    /// Moves the files that exist; false when one of them could not be moved.
    virtual bool moveToTrash(const std::vector<std::string>& paths) = 0;
};

} // namespace kalydor::platform
