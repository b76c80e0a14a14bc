#include "cli/terminalprompter.h"

#include <iostream>
#include <string>

namespace kalydor::cli {

void TerminalPrompter::showMessage(const std::string& text) {
    std::cerr << text << '\n';
}

bool TerminalPrompter::askYesNo(const std::string& text, platform::DefaultButton defaultButton,
                                platform::QuestionIcon) {
    std::cerr << text << " [y/n] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer) || answer.empty())
        return defaultButton == platform::DefaultButton::Yes;
    return answer[0] == 'y' || answer[0] == 'Y';
}

platform::OverwriteAnswer TerminalPrompter::askOverwrite(const std::string& text) {
    while (true) {
        std::cerr << text << "\n  [y]es, [n]o, [a]ll yes, [N]one: " << std::flush;
        std::string answer;
        if (!std::getline(std::cin, answer))
            return platform::OverwriteAnswer::No;
        if (answer == "y" || answer == "Y" || answer == "yes")
            return platform::OverwriteAnswer::Yes;
        if (answer == "n" || answer == "no")
            return platform::OverwriteAnswer::No;
        if (answer == "a" || answer == "A" || answer == "all")
            return platform::OverwriteAnswer::YesToAll;
        if (answer == "N" || answer == "none")
            return platform::OverwriteAnswer::NoToAll;
    }
}

} // namespace kalydor::cli
