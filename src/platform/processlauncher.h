#pragma once

#include <string>
#include <vector>

namespace kalydor::platform {

/// Starts a program detached from this one; false when it could not be started.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    virtual bool startDetached(const std::string& program,
                               const std::vector<std::string>& arguments) = 0;
};

} // namespace kalydor::platform
