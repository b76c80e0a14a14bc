#pragma once

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

namespace kalydor::test {

/// The child widget of this name; a test failure when there is none.
template <class Widget> Widget* child(QWidget& parent, const char* name) {
    auto* widget = parent.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

/// Types a text into a field and leaves it with Tab, as the user does.
inline void typeAndLeave(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
}

/// Leaves a field with Tab without typing.
inline void leave(QLineEdit* edit) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
}

/// Presses a key in a widget; true when the widget (or its filters) took it.
inline bool press(QWidget* widget, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

} // namespace kalydor::test
