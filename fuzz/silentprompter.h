#pragma once

#include "platform/prompter.h"

#include <string>

namespace kalydor::fuzz {

/// A prompter that shows nothing and answers No: readers under fuzzing report version
/// errors and other messages, which would only flood the output.
class SilentPrompter final : public platform::Prompter {
public:
    void showMessage(const std::string&) override {}
    bool askYesNo(const std::string&, platform::DefaultButton, platform::QuestionIcon) override {
        return false;
    }
    platform::OverwriteAnswer askOverwrite(const std::string&) override {
        return platform::OverwriteAnswer::No;
    }
};

/// Installs the silent prompter once.
inline void silencePrompts() {
    static SilentPrompter prompter;
    platform::setPrompter(&prompter);
}

} // namespace kalydor::fuzz
