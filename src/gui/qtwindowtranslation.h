#pragma once

#include "language/translatablewindow.h"

#include <QPointer>

#include <map>
#include <memory>

class QObject;
class QWidget;

namespace kalydor {
class Languages;
}

namespace kalydor::gui {

/// A Qt window as window translation sees it: the window's object name is its name, and
/// its controls are the child objects (widgets, actions, chart series, dialogs) found by
/// object name. Each translated property lands on the matching Qt property.
class QtTranslatableWindow final : public TranslatableWindow {
public:
    explicit QtTranslatableWindow(QWidget& window);
    ~QtTranslatableWindow() override;

    std::string windowName() const override;
    void setCaption(const std::string& text) override;
    void setHint(const std::string& text) override;
    void setHelpFile(const std::string& text) override;
    TranslatableControl* control(const std::string& name) override;

private:
    QPointer<QWidget> m_window;
    std::map<std::string, std::unique_ptr<TranslatableControl>> m_controls;
};

/// Translates a window into the interface language.
void translateWindow(const Languages& languages, QWidget& window);

/// A file-type list written as "Projects (*.db)|*.db|All files|*" turned into the name
/// filters of a Qt file dialog ("Projects (*.db)", "All files (*)").
QStringList nameFiltersOf(const QString& filter);

} // namespace kalydor::gui
