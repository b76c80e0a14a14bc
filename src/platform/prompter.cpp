#include "platform/prompter.h"

#include "base/textlookup.h"

#include <iostream>

namespace kalydor::platform {
namespace {

class ConsolePrompter final : public Prompter {
public:
    void showMessage(const std::string& text) override { std::cerr << text << '\n'; }
    bool askYesNo(const std::string& text, DefaultButton defaultButton, QuestionIcon) override {
        std::cerr << text << '\n';
        return defaultButton == DefaultButton::Yes;
    }
    OverwriteAnswer askOverwrite(const std::string& text) override {
        std::cerr << text << '\n';
        return OverwriteAnswer::No;
    }
};

ConsolePrompter consolePrompter;
Prompter* current = &consolePrompter;

} // namespace

Prompter& prompter() {
    return *current;
}

void setPrompter(Prompter* p) {
    current = p ? p : &consolePrompter;
}

void showLanguageMessage(const std::string& key) {
    prompter().showMessage(GetText(key));
}

} // namespace kalydor::platform
