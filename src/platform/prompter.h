#pragma once

#include <cstdint>
#include <string>

namespace kalydor::platform {

enum class DefaultButton { Yes, No };
enum class QuestionIcon { Question, Warning };

/// Answers of the overwrite question of the imports.
enum class OverwriteAnswer { Yes, No, YesToAll, NoToAll };

/// A to-all answer to every overwrite question of an import or a load, given before it
/// starts (on the command line): the questions are then not asked.
enum class StandingAnswer : std::uint8_t { None, YesToAll, NoToAll };

/// How the core shows messages and asks questions. Every box carries the application title
/// "Kalydor-Ro S"; the desktop shows real message boxes, tests script the answers.
class Prompter {
public:
    virtual ~Prompter() = default;

    /// A message box with the exclamation icon and an OK button.
    virtual void showMessage(const std::string& text) = 0;
    /// A message box that reports what was done (the information icon and an OK button).
    virtual void showInformation(const std::string& text) { showMessage(text); }
    /// A Yes/No question; true for Yes.
    virtual bool askYesNo(const std::string& text, DefaultButton defaultButton,
                          QuestionIcon icon = QuestionIcon::Question) = 0;
    /// The four-answer question asked before an import replaces a stored item.
    virtual OverwriteAnswer askOverwrite(const std::string& text) = 0;
};

/// The prompter the core uses. The desktop installs its message boxes at start-up; without
/// one, messages go to the standard error stream and questions get their default answer
/// (No for the overwrite question), which is what a program without a user must do.
Prompter& prompter();
/// Installs a prompter (nullptr restores the console one). The caller keeps ownership.
void setPrompter(Prompter* prompter);

/// Shows the language text of a key as a message box.
void showLanguageMessage(const std::string& key);

} // namespace kalydor::platform
