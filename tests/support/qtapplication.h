#pragma once

#include <QApplication>
#include <QDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace kalydor::test {

/// The one QApplication of a GUI test program, made on first use and deleted when the last
/// test has run. Left to the static objects at exit, it would be destroyed after Qt's own
/// registry of input devices and crash when it deletes them.
inline QApplication& qtApplication() {
    static int argc = 1;
    static char name[] = "tests_gui";
    static char* argv[] = {name, nullptr};
    static QApplication* app = nullptr;
    if (!app) {
        app = new QApplication(argc, argv);
        struct Closer final : ::testing::EmptyTestEventListener {
            void OnTestProgramEnd(const ::testing::UnitTest&) override {
                delete app;
                app = nullptr;
            }
        };
        ::testing::UnitTest::GetInstance()->listeners().Append(new Closer);
    }
    return *app;
}

/// Saves a picture of a window as NAME.png into the folder named by the environment variable
/// KALYDOR_SCREENSHOT_DIR, when it is set: a way to look at dialogs built offscreen.
inline void saveScreenshot(QWidget& window, const char* name, bool keepSize = false) {
    const QString folder = qEnvironmentVariable("KALYDOR_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    if (!keepSize)
        window.adjustSize();
    window.grab().save(QDir(folder).filePath(QString::fromLatin1(name) + ".png"));
}

} // namespace kalydor::test
