#include "gui/mainwindow.h"
#include "gui/qtwindowtranslation.h"
#include "language/languages.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include "support/qtapplication.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace kalydor::gui {
namespace {

TEST(MainWindow, StartsWithTitleMenusAndOnlyWorkingCommandsEnabled) {
    test::qtApplication();
    MainWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Kalydor-Ro S"));

    QStringList menus;
    for (QAction* action : window.menuBar()->actions())
        menus << action->text().remove(QLatin1Char('&'));
    EXPECT_EQ(menus,
              (QStringList{"File", "Lists", "Tools", "Database", "Options", "Window", "Help"}));

    for (const char* working : {"exit", "cascade", "tileHorizontally", "tileVertically",
                                "minimizeAll", "arrangeIcons", "about"}) {
        ASSERT_NE(window.command(working), nullptr) << working;
        EXPECT_TRUE(window.command(working)->isEnabled()) << working;
    }
    for (const char* later : {"newProject", "openProject", "materials", "constructions",
                              "programOptions", "deviceDatabase", "helpContents"}) {
        ASSERT_NE(window.command(later), nullptr) << later;
        EXPECT_FALSE(window.command(later)->isEnabled()) << later;
    }

    window.command("exit")->trigger();
    EXPECT_FALSE(window.isVisible());
}

TEST(MainWindow, WindowCommandsLayOutTheChildWindows) {
    test::qtApplication();
    MainWindow window;
    window.resize(800, 600);
    window.show();
    QMdiArea* area = window.childArea();
    for (int i = 0; i < 2; ++i)
        area->addSubWindow(new QWidget)->show();
    const QList<QMdiSubWindow*> children = area->subWindowList();
    const int width = area->viewport()->width();
    const int height = area->viewport()->height();

    window.command("tileVertically")->trigger();
    EXPECT_EQ(children[0]->geometry(), QRect(0, 0, width / 2, height));
    EXPECT_EQ(children[1]->geometry(), QRect(width / 2, 0, width / 2, height));

    window.command("tileHorizontally")->trigger();
    EXPECT_EQ(children[0]->geometry(), QRect(0, 0, width, height / 2));
    EXPECT_EQ(children[1]->geometry(), QRect(0, height / 2, width, height / 2));

    window.command("minimizeAll")->trigger();
    for (QMdiSubWindow* child : children) {
        EXPECT_TRUE(child->isMinimized());
        EXPECT_EQ(child->geometry().bottom(), height - 1);
    }
    EXPECT_LT(children[0]->geometry().right(), children[1]->geometry().left());
}

// Every menu and every command of the main window is captioned by each shipped interface
// language: a command left in the built-in English would show in a Romanian menu.
TEST(MainWindow, ShippedLanguagesCaptionEveryMenuAndCommand) {
    test::qtApplication();
    TLanguages languages;
    languages.LoadLanguages(std::string(KALYDOR_SOURCE_DIR) + "/resources/languages/*.xm?");
    std::vector<std::string> ids;
    languages.ListLanguages(ids, true);
    ASSERT_EQ(ids.size(), 2u);

    MainWindow builtIn;
    for (const std::string& id : ids) {
        SCOPED_TRACE(id);
        languages.SelectInterfaceLanguage(id);
        MainWindow window;
        translateWindow(languages, window);
        const TLanguageForm* form = nullptr;
        for (const TLanguageForm& candidate : languages.lookupLanguage()->forms) {
            if (candidate.name == "MainForm")
                form = &candidate;
        }
        ASSERT_NE(form, nullptr);
        std::set<std::string> translated;
        for (const TLanguageFormItem& item : form->items)
            translated.insert(item.name);

        for (QAction* action : window.findChildren<QAction*>()) {
            const std::string name = action->objectName().toStdString();
            if (name.empty() || action->isSeparator())
                continue;
            EXPECT_TRUE(translated.count(name)) << name;
            EXPECT_FALSE(action->text().isEmpty()) << name;
        }
        for (QMenu* menu : window.findChildren<QMenu*>())
            EXPECT_TRUE(translated.count(menu->objectName().toStdString()))
                << menu->objectName().toStdString();
        if (id == "Român") {
            EXPECT_EQ(window.command("exit")->text(), QStringLiteral("&Ieșire"));
            EXPECT_NE(window.command("materials")->text(), builtIn.command("materials")->text());
        }
    }
}

} // namespace
} // namespace kalydor::gui
