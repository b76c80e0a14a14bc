#include "platform/scriptedprompter.h"

#include <stdexcept>

namespace kalydor::platform {

void ScriptedPrompter::showMessage(const std::string& text) {
    m_messages.push_back(text);
}

bool ScriptedPrompter::askYesNo(const std::string& text, DefaultButton defaultButton,
                                QuestionIcon icon) {
    m_questions.push_back({text, defaultButton, icon});
    if (m_yesNo.empty())
        throw std::logic_error("unscripted Yes/No question: " + text);
    const bool answer = m_yesNo.front();
    m_yesNo.pop_front();
    return answer;
}

OverwriteAnswer ScriptedPrompter::askOverwrite(const std::string& text) {
    m_overwriteQuestions.push_back(text);
    if (m_overwrite.empty())
        throw std::logic_error("unscripted overwrite question: " + text);
    const OverwriteAnswer answer = m_overwrite.front();
    m_overwrite.pop_front();
    return answer;
}

} // namespace kalydor::platform
