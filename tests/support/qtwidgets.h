#pragma once

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

} // namespace kalydor::test
