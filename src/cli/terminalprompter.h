#pragma once

#include "platform/prompter.h"

namespace kalydor::cli {

/// Messages go to the standard error stream; questions are asked on the terminal (a to-all
/// answer given on the command line answers the overwrite question before it is asked). An
/// answer that cannot be read (no terminal, end of input) is the cautious one.
class TerminalPrompter final : public platform::Prompter {
public:
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text, platform::DefaultButton defaultButton,
                  platform::QuestionIcon icon) override;
    platform::OverwriteAnswer askOverwrite(const std::string& text) override;
};

/// Installs a prompter for the lifetime of the object.
class PrompterScope {
public:
    explicit PrompterScope(platform::Prompter* prompter) { platform::setPrompter(prompter); }
    ~PrompterScope() { platform::setPrompter(nullptr); }
    PrompterScope(const PrompterScope&) = delete;
    PrompterScope& operator=(const PrompterScope&) = delete;
};

} // namespace kalydor::cli
