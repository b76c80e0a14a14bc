#pragma once

#include "platform/window.h"

#include <QPointer>
#include <QWidget>

namespace kalydor::gui {

/// A widget handed to the core as the owner of the dialogs it opens.
class QtWindow final : public platform::Window {
public:
    explicit QtWindow(QWidget* widget)
        : m_widget(widget) {}
    QWidget* widget() const { return m_widget; }

    /// The widget of an owner the core passes back; null without one.
    static QWidget* widgetOf(platform::Window* owner) {
        auto* window = dynamic_cast<QtWindow*>(owner);
        return window ? window->widget() : nullptr;
    }

private:
    QPointer<QWidget> m_widget;
};

} // namespace kalydor::gui
