#include "gui/mainwindow.h"

#include "gui/dialogplacement.h"
#include "gui/programoptionsform.h"
#include "gui/qtprompter.h"
#include "gui/qtwindowtranslation.h"
#include "shell/programoptions.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>

#include <functional>

namespace kalydor::gui {
namespace {

// The command table of the main window: menu, command name and caption. A command without
// a handler below stays disabled until its subsystem exists.
struct CommandEntry {
    const char* menu;
    const char* name;
    const char* caption;
};

constexpr CommandEntry kCommands[] = {
    {"&File", "newProject", "&New project..."},
    {"&File", "openProject", "&Open project..."},
    {"&File", "projectData", "Project &data..."},
    {"&File", "closeProject", "&Close project"},
    {"&File", "saveAs", "Save &as..."},
    {"&File", "deleteProject", "De&lete project..."},
    {"&File", nullptr, nullptr},
    {"&File", "print", "&Print..."},
    {"&File", "usedMaterialsPrint", "Used materials: print..."},
    {"&File", "usedMaterialsExport", "Used materials: export"},
    {"&File", "usedMaterialsExportFile", "Used materials: export to file..."},
    {"&File", nullptr, nullptr},
    {"&File", "exit", "E&xit"},
    {"&Lists", "materials", "&Materials"},
    {"&Lists", "constructions", "&Constructions"},
    {"&Lists", "rooms", "&Rooms"},
    {"&Lists", "buildings", "&Buildings"},
    {"&Tools", "changeConstructions", "Change &constructions..."},
    {"&Tools", "changeTemperatures", "Change &temperatures..."},
    {"&Tools", "changeInfiltration", "Change winter &infiltration..."},
    {"&Tools", "rotateRooms", "R&otate and mirror rooms..."},
    {"&Tools", "moveRooms", "&Move rooms to another building..."},
    {"&Tools", "changeRadiators", "Change &radiators..."},
    {"&Database", "deviceDatabase", "&Device database..."},
    {"&Options", "programOptions", "&Program options..."},
    {"&Options", "projectOptions", "P&roject options..."},
    {"&Window", "cascade", "&Cascade"},
    {"&Window", "tileHorizontally", "Tile &horizontally"},
    {"&Window", "tileVertically", "Tile &vertically"},
    {"&Window", "minimizeAll", "&Minimise all"},
    {"&Window", "arrangeIcons", "&Arrange icons"},
    {"&Help", "helpContents", "&Contents"},
    {"&Help", "helpSearch", "&Search"},
    {"&Help", "helpOnHelp", "&Help on help"},
    {"&Help", nullptr, nullptr},
    {"&Help", "about", "&About..."},
};

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_childArea(new QMdiArea(this)) {
    // The name under which the language files translate this window.
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setCentralWidget(m_childArea);
    buildMenus();
    // The options dialog needs the options of the run; see setProgramOptions.
    m_commands.value("programOptions")->setEnabled(false);
    resize(1024, 720);
}

void MainWindow::buildMenus() {
    const QHash<QString, std::function<void()>> handlers = {
        {"exit", [this] { close(); }},
        {"cascade", [this] { m_childArea->cascadeSubWindows(); }},
        {"tileHorizontally", [this] { tileHorizontally(); }},
        {"tileVertically", [this] { tileVertically(); }},
        {"minimizeAll", [this] { minimizeAll(); }},
        {"arrangeIcons", [this] { arrangeIcons(); }},
        {"about", [this] { showAbout(); }},
        {"programOptions", [this] { editProgramOptions(); }},
    };

    QHash<QString, QMenu*> menus;
    for (const CommandEntry& entry : kCommands) {
        const QString menuTitle = QString::fromUtf8(entry.menu);
        QMenu*& menu = menus[menuTitle];
        if (!menu) {
            menu = menuBar()->addMenu(menuTitle);
            menu->setObjectName(QString(menuTitle).remove(QLatin1Char('&')));
        }
        if (!entry.name) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(entry.caption));
        const QString name = QString::fromUtf8(entry.name);
        action->setObjectName(name);
        const auto handler = handlers.find(name);
        if (handler != handlers.end())
            connect(action, &QAction::triggered, this, handler.value());
        else
            action->setEnabled(false);
        m_commands.insert(name, action);
    }
    m_commands.value("exit")->setShortcut(QKeySequence::Quit);
}

// One window above the other, each the full width of the area.
void MainWindow::tileHorizontally() {
    const QList<QMdiSubWindow*> windows = m_childArea->subWindowList();
    if (windows.isEmpty())
        return;
    const QRect area = m_childArea->viewport()->rect();
    const int height = area.height() / windows.size();
    int y = 0;
    for (QMdiSubWindow* window : windows) {
        window->showNormal();
        window->setGeometry(0, y, area.width(), height);
        y += height;
    }
}

// Windows side by side, each the full height of the area.
void MainWindow::tileVertically() {
    const QList<QMdiSubWindow*> windows = m_childArea->subWindowList();
    if (windows.isEmpty())
        return;
    const QRect area = m_childArea->viewport()->rect();
    const int width = area.width() / windows.size();
    int x = 0;
    for (QMdiSubWindow* window : windows) {
        window->showNormal();
        window->setGeometry(x, 0, width, area.height());
        x += width;
    }
}

void MainWindow::minimizeAll() {
    for (QMdiSubWindow* window : m_childArea->subWindowList())
        window->showMinimized();
    arrangeIcons();
}

// Lines the minimised windows up along the bottom edge of the area.
void MainWindow::arrangeIcons() {
    const QRect area = m_childArea->viewport()->rect();
    int x = 0;
    int y = area.bottom();
    for (QMdiSubWindow* window : m_childArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= size.height();
        }
        window->move(x, y - size.height() + 1);
        x += size.width();
    }
}

void MainWindow::setProgramOptions(TProgramOptions* options) {
    m_options = options;
    m_commands.value("programOptions")->setEnabled(options != nullptr);
}

void MainWindow::editProgramOptions() {
    if (!m_options)
        return;
    TProgramOptionsForm dialog(*m_options, this);
    if (execPlaced(dialog, m_options->store()) != QDialog::Accepted)
        return;
    retranslate();
    m_options->SaveProgramOptions();
}

void MainWindow::retranslate() {
    if (m_options)
        translateWindow(m_options->languages(), *this);
    updateCaption();
}

// The caption names the program (and, once projects open here, the open project).
void MainWindow::updateCaption() {
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
}

void MainWindow::showAbout() {
    QMessageBox::about(
        this, QString::fromUtf8(kApplicationTitle),
        QStringLiteral("<h3>%1</h3><p>Version %2</p><p>Heating design: building "
                       "materials, constructions, rooms and radiators.</p>")
            .arg(QString::fromUtf8(kApplicationTitle), QApplication::applicationVersion()));
}

} // namespace kalydor::gui
