#pragma once

#include "platform/processlauncher.h"

namespace kalydor::gui {

/// Starts programs detached, without a shell: the arguments reach the program as they are.
class QtProcessLauncher final : public platform::ProcessLauncher {
public:
    bool startDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override;
};

} // namespace kalydor::gui
