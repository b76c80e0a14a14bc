#pragma once

#include "platform/prompter.h"

class QWidget;

namespace kalydor::gui {

/// Message boxes and questions as Qt message boxes titled with the application title.
class QtPrompter final : public platform::Prompter {
public:
    /// The boxes are shown over `parent` (may be null).
    explicit QtPrompter(QWidget* parent = nullptr)
        : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void showMessage(const std::string& text) override;
    void showInformation(const std::string& text) override;
    bool askYesNo(const std::string& text, platform::DefaultButton defaultButton,
                  platform::QuestionIcon icon) override;
    platform::OverwriteAnswer askOverwrite(const std::string& text) override;

private:
    QWidget* m_parent;
};

/// The application title: caption of the main window and of every message box.
inline constexpr const char* kApplicationTitle = "Kalydor-Ro S";

} // namespace kalydor::gui
