#pragma once

#include "platform/filetrash.h"

namespace kalydor::gui {

/// The desktop's trash through Qt.
class QtFileTrash final : public platform::FileTrash {
public:
    bool moveToTrash(const std::vector<std::string>& paths) override;
};

} // namespace kalydor::gui
