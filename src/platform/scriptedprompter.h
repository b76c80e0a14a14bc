#pragma once

#include "platform/prompter.h"

#include <deque>
#include <string>
#include <vector>

namespace kalydor::platform {

/// A prompter for tests: records every message and question and answers questions from a
/// script. A question without a scripted answer is an error of the test and throws.
class ScriptedPrompter final : public Prompter {
public:
    struct Question {
        std::string text;
        DefaultButton defaultButton;
        QuestionIcon icon;
    };

    void scriptYesNo(bool answer) { m_yesNo.push_back(answer); }
    void scriptOverwrite(OverwriteAnswer answer) { m_overwrite.push_back(answer); }

    const std::vector<std::string>& messages() const { return m_messages; }
    /// The information messages, apart from the warnings.
    const std::vector<std::string>& informations() const { return m_informations; }
    const std::vector<Question>& questions() const { return m_questions; }
    const std::vector<std::string>& overwriteQuestions() const { return m_overwriteQuestions; }
    /// True when every scripted answer was used.
    bool scriptUsed() const { return m_yesNo.empty() && m_overwrite.empty(); }

    void showMessage(const std::string& text) override;
    void showInformation(const std::string& text) override { m_informations.push_back(text); }
    bool askYesNo(const std::string& text, DefaultButton defaultButton, QuestionIcon icon) override;
    OverwriteAnswer askOverwrite(const std::string& text) override;

private:
    std::deque<bool> m_yesNo;
    std::deque<OverwriteAnswer> m_overwrite;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_informations;
    std::vector<Question> m_questions;
    std::vector<std::string> m_overwriteQuestions;
};

/// Installs a prompter for the lifetime of a scope and restores the previous one.
class ScopedPrompter {
public:
    explicit ScopedPrompter(Prompter& p)
        : m_previous(&prompter()) {
        setPrompter(&p);
    }
    ~ScopedPrompter() { setPrompter(m_previous); }
    ScopedPrompter(const ScopedPrompter&) = delete;
    ScopedPrompter& operator=(const ScopedPrompter&) = delete;

private:
    Prompter* m_previous;
};

} // namespace kalydor::platform
