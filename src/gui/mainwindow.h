#pragma once

#include <QHash>
#include <QMainWindow>

class QAction;
class QMdiArea;
class QMenu;

namespace kalydor {
class TProgramOptions;
}

namespace kalydor::gui {

/// The frame of the application: the command menus and the area that hosts the item list
/// windows. Commands that the program cannot carry out yet are shown disabled.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);

    /// The action of a command by its name ("exit", "cascade", "newProject", ...), or null.
    QAction* command(const QString& name) const { return m_commands.value(name); }
    QMdiArea* childArea() const { return m_childArea; }

    /// Gives the window the program options of the run (and through them the languages and
    /// the settings store); the options command is enabled from then on.
    void setProgramOptions(TProgramOptions* options);

    /// Opens the program options dialog; after OK the window speaks the chosen language and
    /// the options are saved.
    void editProgramOptions();

    /// Translates the window into the interface language and renews its caption.
    void retranslate();

private:
    void buildMenus();
    void tileHorizontally();
    void tileVertically();
    void minimizeAll();
    void arrangeIcons();
    void showAbout();

    void updateCaption();

    QMdiArea* m_childArea;
    TProgramOptions* m_options = nullptr;
    QHash<QString, QAction*> m_commands;
};

} // namespace kalydor::gui
