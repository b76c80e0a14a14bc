#pragma once

#include <QApplication>

namespace kalydor::test {

/// The one QApplication of a GUI test program, made on first use.
inline QApplication& qtApplication() {
    static int argc = 1;
    static char name[] = "tests_gui";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

} // namespace kalydor::test
