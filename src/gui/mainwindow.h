#pragma once

#include <QHash>
#include <QMainWindow>

class QAction;
class QMdiArea;
class QMenu;

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

private:
    void buildMenus();
    void tileHorizontally();
    void tileVertically();
    void minimizeAll();
    void arrangeIcons();
    void showAbout();

    QMdiArea* m_childArea;
    QHash<QString, QAction*> m_commands;
};

} // namespace kalydor::gui
