#include "gui/mainwindow.h"
#include "base/safefilewriter.h"
#include "constructions/usedmaterials.h"
#include "gui/qtprocesslauncher.h"
#include "gui/usedmaterialsdialogs.h"
#include "reports/clipboarddocument.h"
#include "shell/billdevices.h"

#include "base/error.h"
#include "base/installlayout.h"
#include "base/textlookup.h"
#include "base/version.h"
#include "constructions/material.h"
#include "constructions/panel.h"
#include "constructions/registration.h"
#include "devicedb/deviceset.h"
#include "devicedb/devicestore.h"
#include "exchange/textexchange.h"
#include "gui/bulkchangedialogs.h"
#include "gui/columnlayoutdialog.h"
#include "gui/devicedatabasedialog.h"
#include "gui/devicesetdialog.h"
#include "gui/dialogplacement.h"
#include "gui/filechooser.h"
#include "gui/itemlistwindow.h"
#include "gui/materialcurves.h"
#include "gui/namedialog.h"
#include "gui/panelchart.h"
#include "gui/printdialog.h"
#include "gui/printpreview.h"
#include "gui/programoptionsdialog.h"
#include "gui/progresswindow.h"
#include "gui/projectdialogs.h"
#include "gui/projectoptionsdialog.h"
#include "gui/qtclipboard.h"
#include "gui/qtprompter.h"
#include "gui/qttoolkitlanguage.h"
#include "gui/qtwindowtranslation.h"
#include "gui/radiatorchangedialogs.h"
#include "gui/radiatordialog.h"
#include "gui/reportpdf.h"
#include "gui/searchreplacewindow.h"
#include "gui/selectiondialog.h"
#include "gui/vapourdiagramwindow.h"
#include "gui/ventilationchangedialog.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/clipboard.h"
#include "platform/prompter.h"
#include "platform/settingsstore.h"
#include "reports/columnlayout.h"
#include "rooms/building.h"
#include "rooms/buildingstable.h"
#include "rooms/lowestflow.h"
#include "rooms/projectrecalculation.h"
#include "rooms/roombulkchange.h"
#include "shell/printout.h"
#include "shell/programoptions.h"
#include "shell/projects.h"
#include "store/itemkinds.h"
#include "store/projectdata.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QStatusBar>
#include <QUrl>

#include <algorithm>
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
    {"&File", "recent1", "&1"},
    {"&File", "recent2", "&2"},
    {"&File", "recent3", "&3"},
    {"&File", "recent4", "&4"},
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

// Where the settings keep the set file the active set came from (the application's own key).
constexpr const char* kLastSetFileValue = "LastSetFile";

// The active set over a table: the items of a set file when one is named, else every item.
// A set file that cannot be read is named with its fault, and the set keeps every item.
std::unique_ptr<DeviceSet> openDeviceSet(DeviceStore& table, const std::string& setFile) {
    std::unique_ptr<DeviceSet> set;
    try {
        set = std::make_unique<DeviceSet>(table, SetSelection::With);
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
        set =
            std::make_unique<DeviceSet>(DeviceHierarchy(DeviceKind::RadiatorFamily),
                                        DeviceHierarchy(DeviceKind::PieceList), SetSelection::With);
    }
    if (!setFile.empty()) {
        try {
            set->loadFile(setFile);
        } catch (const Error& error) {
            platform::prompter().showMessage(error.text());
        }
    }
    return set;
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_childArea(new QMdiArea(this)) {
    // The name under which the language files translate this window.
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    initRoomContext();
    setCentralWidget(m_childArea);
    buildMenus();
    // The options dialog needs the options of the run, the project commands the project
    // session; see setProgramOptions and setProjectSession.
    updateCommands();
    resize(1024, 720);
}

// The list windows go first: they hold the stores, and their "destroyed" signal must not
// reach a half-destroyed main window.
MainWindow::~MainWindow() {
    const QList<QMdiSubWindow*> windows = m_lists.values();
    m_lists.clear();
    for (QMdiSubWindow* window : windows) {
        disconnect(window, nullptr, this, nullptr);
        delete window;
    }
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
        {"deviceDatabase", [this] { editDeviceDatabase(); }},
        {"newProject", [this] { newProject(); }},
        {"openProject", [this] { openProject(); }},
        {"closeProject", [this] { closeProject(); }},
        {"saveAs", [this] { saveProjectAs(); }},
        {"deleteProject", [this] { deleteProject(); }},
        {"projectData", [this] { editProjectData(); }},
        {"projectOptions", [this] { editProjectOptions(); }},
        {"changeInfiltration", [this] { changeVentilation(); }},
        {"changeConstructions", [this] { changeConstructions(); }},
        {"changeTemperatures", [this] { changeTemperatures(); }},
        {"moveRooms", [this] { moveRooms(); }},
        {"rotateRooms", [this] { rotateRooms(); }},
        {"changeRadiators", [this] { changeRadiators(); }},
        {"print", [this] { print(); }},
        {"usedMaterialsPrint", [this] { printUsedMaterials(); }},
        {"usedMaterialsExport", [this] { exportUsedMaterials(false); }},
        {"usedMaterialsExportFile", [this] { exportUsedMaterials(true); }},
        {"materials", [this] { openList(ItemKind::Material); }},
        {"constructions", [this] { openList(ItemKind::Construction); }},
        {"rooms", [this] { openList(ItemKind::Room); }},
        {"buildings", [this] { openList(ItemKind::Building); }},
        {"helpContents", [this] { showHelp("contents"); }},
        {"helpSearch", [this] { showHelp("contents"); }},
        {"helpOnHelp", [this] { showHelp("help"); }},
        {"recent1", [this] { openRecent(1); }},
        {"recent2", [this] { openRecent(2); }},
        {"recent3", [this] { openRecent(3); }},
        {"recent4", [this] { openRecent(4); }},
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
    const int height = area.height() / static_cast<int>(windows.size());
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
    const int width = area.width() / static_cast<int>(windows.size());
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

void MainWindow::setProgramOptions(ProgramOptions* options) {
    m_options = options;
    updateCommands();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_session)
        m_session->CloseProject();
    if (m_options)
        m_options->store().writeBool("", "Maximized", isMaximized());
    releaseDeviceTable();
    QMainWindow::closeEvent(event);
}

void MainWindow::setDeviceTable(std::unique_ptr<DeviceStore> table, const std::string& fault) {
    m_activeSet.reset();
    m_radiatorFamilies.clear();
    m_deviceTable = std::move(table);
    if (m_deviceTable) {
        const std::string setFile =
            m_options ? m_options->store().textOr("", kLastSetFileValue, "") : std::string();
        m_activeSet = openDeviceSet(*m_deviceTable, setFile);
    } else {
        statusBar()->showMessage(qt(formatText(GetText("IDS_DEVICEDBNOTOPEN"), {fault})));
    }
    updateCommands();
}

void MainWindow::releaseDeviceTable() {
    if (m_options && m_activeSet) {
        const bool fromFile = !m_activeSet->AllItems && !m_activeSet->FileName.empty();
        m_options->store().writeText("", kLastSetFileValue,
                                     fromFile ? m_activeSet->FileName : std::string());
    }
    m_activeSet.reset();
    m_radiatorFamilies.clear();
    m_deviceTable.reset();
}

void MainWindow::editDeviceDatabase() {
    if (!m_deviceTable || !m_options || (m_session && m_session->isOpen()))
        return;
    const std::string setFile = m_activeSet && !m_activeSet->AllItems ? m_activeSet->FileName : "";
    {
        DeviceDatabaseDialog dialog(*m_deviceTable, m_options->store(), m_options->languages(),
                                    this);
        // Another table chosen in the dialog is the program's from then on.
        dialog.tableChosen = [this](std::unique_ptr<DeviceStore> table) {
            m_activeSet.reset();
            m_radiatorFamilies.clear();
            m_deviceTable = std::move(table);
        };
        execPlaced(dialog, m_options->store());
    }
    m_radiatorFamilies.clear();
    m_activeSet = openDeviceSet(*m_deviceTable, setFile);
    updateCommands();
}

void MainWindow::setProjectSession(ProjectSession* session, platform::FileTrash* trash) {
    m_session = session;
    m_trash = trash;
    if (session) {
        session->changed = [this] { updateCommands(); };
        // The lists of the project's items close with the project.
        session->closing = [this] {
            for (const ItemKind kind :
                 {ItemKind::Construction, ItemKind::Room, ItemKind::Building}) {
                if (QMdiSubWindow* window = m_lists.value(kind)) {
                    m_lists.remove(kind);
                    delete window;
                }
            }
        };
    }
    updateCommands();
}

void MainWindow::setMaterialStore(ItemStore* store) {
    m_materialStore = store;
    updateCommands();
}

void MainWindow::showSearchReplace() {
    if (!m_options)
        return;
    if (!m_searchForm) {
        m_searchForm = new SearchReplaceWindow(
            m_options->languages(),
            [this]() -> ItemListWindow* {
                QMdiSubWindow* active = m_childArea->activeSubWindow();
                return active ? qobject_cast<ItemListWindow*>(active->widget()) : nullptr;
            },
            this);
        restorePlacement(*m_searchForm, m_options->store());
    }
    m_searchForm->show();
    m_searchForm->raise();
}

ItemListWindow* MainWindow::listWindow(ItemKind kind) const {
    QMdiSubWindow* window = m_lists.value(kind);
    return window ? qobject_cast<ItemListWindow*>(window->widget()) : nullptr;
}

void MainWindow::openList(ItemKind kind) {
    if (QMdiSubWindow* open = m_lists.value(kind)) {
        m_childArea->setActiveSubWindow(open);
        open->showNormal();
        return;
    }
    ItemStore* store = kind == ItemKind::Material         ? m_materialStore
                       : m_session && m_session->isOpen() ? m_session->store()
                                                          : nullptr;
    if (!store || !m_options)
        return;
    if (!m_clipboard)
        m_clipboard = std::make_unique<QtClipboard>();
    const Languages& languages = m_options->languages();
    platform::SettingsStore& settings = m_options->store();
    NamePrompt prompt = [store, &languages, &settings,
                         kind](QWidget* parent, bool group, const std::string& parentId,
                               const std::string& initial,
                               const std::string& itemData) -> std::optional<std::string> {
        const ItemListKind& constants = itemListKind(kind);
        NameRequest request;
        request.initialName = initial;
        request.group = group;
        request.parentId = parentId;
        request.type = group ? constants.groupType : constants.itemType;
        request.store = store;
        request.itemData = itemData;
        NameDialog dialog(languages, request, parent);
        if (execPlaced(dialog, settings) != QDialog::Accepted)
            return std::nullopt;
        return dialog.name();
    };
    auto* list = new ItemListWindow(kind, *store, *m_options, *m_clipboard, prompt);
    list->openSearch = [this] { showSearchReplace(); };
    // A new construction takes the climate and ground values of the open project.
    if (kind == ItemKind::Construction) {
        list->logic().prepareNewItem = [this](DBItem& item) {
            if (m_session && m_session->isOpen())
                prepareNewProjectItem(item, *m_session->options());
        };
    }
    // Pasted and imported rooms are calculated for this project.
    list->logic().roomSettings = [this] { return roomSettings(); };
    connect(list, &ItemListWindow::changeStored, this, [this, kind] {
        // The lists that show what the change changed follow it.
        for (const ItemKind other : listsShowingChangesOf(kind))
            if (ItemListWindow* shown = listWindow(other))
                shown->reloadList();
        showChangeStored();
    });
    // Imported constructions are calculated for the open project's outside design
    // temperature and the program's humidity check.
    list->importOptions = [this] { return constructionImportOptions(m_itemContext.settings); };
    if (kind == ItemKind::Room || kind == ItemKind::Building)
        list->logic().setItemContext(m_roomContext);
    else
        list->logic().setItemContext(m_itemContext);
    QMdiSubWindow* window = m_childArea->addSubWindow(list);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(list->windowTitle());
    connect(window, &QObject::destroyed, this, [this, kind, window] {
        if (m_lists.value(kind) == window)
            m_lists.remove(kind);
    });
    m_lists.insert(kind, window);
    // Each new list a little below and to the right of the ones already open, within the area.
    const int step = 28 * (static_cast<int>(m_childArea->subWindowList().size()) - 1);
    window->resize(std::min(900, m_childArea->width()), std::min(480, m_childArea->height()));
    window->move(std::max(0, std::min(step, m_childArea->width() - window->width())),
                 std::max(0, std::min(step, m_childArea->height() - window->height())));
    window->show();
}

void MainWindow::updateCommands() {
    const bool ready = m_options && m_session;
    const bool open = ready && m_session->isOpen();
    updateCalculationSettings();
    const auto set = [this](const char* name, bool visible, bool enabled) {
        QAction* action = m_commands.value(QString::fromLatin1(name));
        action->setVisible(visible);
        action->setEnabled(enabled);
    };
    set("programOptions", true, m_options != nullptr);
    set("newProject", true, ready && !open);
    set("openProject", true, ready && !open);
    set("closeProject", true, open);
    set("projectData", open, open);
    set("saveAs", open, open);
    set("projectOptions", open, open);
    for (const char* change : {"changeInfiltration", "changeConstructions", "changeTemperatures",
                               "moveRooms", "rotateRooms", "changeRadiators"})
        set(change, true, open);
    set("deleteProject", !open, ready && !open);
    set("print", true, ready && (m_materialStore != nullptr || open));
    for (const char* bill :
         {"usedMaterialsPrint", "usedMaterialsExport", "usedMaterialsExportFile"})
        set(bill, open, open);
    // The device database is kept up only while no project uses it.
    set("deviceDatabase", true, ready && !open && m_deviceTable != nullptr);
    // A list is offered when its store is there and its items exist in this program.
    const auto listAvailable = [](ItemKind kind) { return CreateItemOfKind(kind) != nullptr; };
    set("materials", m_materialStore != nullptr,
        ready && m_materialStore && listAvailable(ItemKind::Material));
    const std::pair<const char*, ItemKind> projectLists[] = {
        {"constructions", ItemKind::Construction},
        {"rooms", ItemKind::Room},
        {"buildings", ItemKind::Building}};
    for (const auto& [name, kind] : projectLists)
        set(name, true, open && listAvailable(kind));
    const std::vector<std::string> recent =
        ready && !open ? recentProjects(m_options->store()) : std::vector<std::string>{};
    for (std::size_t k = 1; k <= kRecentProjectCount; ++k) {
        QAction* action = m_commands.value(QStringLiteral("recent%1").arg(k));
        const bool shown = k <= recent.size();
        action->setVisible(shown);
        action->setEnabled(shown);
        if (shown)
            action->setText(QStringLiteral("&%1 %2").arg(k).arg(qt(recent[k - 1])));
    }
    updateCaption();
}

QString MainWindow::chooseProjectFile(int purpose, const char* titleKey) {
    ProjectFileDialog dialog(static_cast<ProjectFileDialog::Purpose>(purpose),
                             qt(GetText(titleKey)), qt(GetText("Kalydor32.dbPROJEKTFILTERS")),
                             m_session && m_session->isOpen() ? m_session->path() : std::string(),
                             this);
    if (execPlaced(dialog, m_options->store()) != QDialog::Accepted ||
        dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

void MainWindow::newProject() {
    if (!m_session || m_session->isOpen())
        return;
    const QString file =
        chooseProjectFile(static_cast<int>(ProjectFileDialog::Purpose::New), "IDS_NEWPROJEKTTITLE");
    if (file.isEmpty() || !m_session->OpenProject(file.toStdString(), true))
        return;
    if (m_options->ViewProjektData)
        editProjectData();
}

void MainWindow::openProject() {
    if (!m_session || m_session->isOpen())
        return;
    const QString file = chooseProjectFile(static_cast<int>(ProjectFileDialog::Purpose::Open),
                                           "IDS_OPENPROJEKTTITLE");
    if (!file.isEmpty())
        openProjectFile(file.toStdString());
}

bool MainWindow::openProjectFile(const std::string& path) {
    if (!m_session)
        return false;
    // A project of an older format is converted on opening: its progress is shown once it
    // starts.
    std::optional<ProgressWindow> converting;
    m_session->conversionProgress = [this, &converting](std::size_t done, std::size_t total) {
        if (!converting)
            converting.emplace(this, qt(m_options->languages().GetText("IDS_CONVERTING")), false);
        converting->step(done, total);
    };
    bool opened = false;
    try {
        opened = m_session->OpenProject(path, false);
    } catch (const Error& error) {
        converting.reset();
        platform::prompter().showMessage(error.text());
    }
    m_session->conversionProgress = {};
    return opened;
}

// Arguments starting with "-" are options; everything else names a project ("/" begins an
// absolute path here, not an option).
void MainWindow::openFromCommandLine(const QStringList& arguments) {
    // "--list=rooms" (or materials, constructions, buildings) opens that list afterwards.
    static const QHash<QString, ItemKind> lists = {
        {QStringLiteral("materials"), ItemKind::Material},
        {QStringLiteral("constructions"), ItemKind::Construction},
        {QStringLiteral("rooms"), ItemKind::Room},
        {QStringLiteral("buildings"), ItemKind::Building}};
    std::optional<ItemKind> list;
    for (const QString& argument : arguments) {
        if (argument.startsWith(QStringLiteral("--list="))) {
            const auto named = lists.find(argument.mid(7));
            if (named != lists.end())
                list = named.value();
            continue;
        }
        if (argument.startsWith(QLatin1Char('-')))
            continue;
        if (m_session && !m_session->isOpen())
            openProjectFile(argument.toStdString());
    }
    const bool open = m_session && m_session->isOpen();
    if (list && (open || *list == ItemKind::Material)) {
        openList(*list);
        if (QMdiSubWindow* window = m_childArea->activeSubWindow())
            window->showMaximized();
    }
}

void MainWindow::openRecent(int k) {
    QAction* action = m_commands.value(QStringLiteral("recent%1").arg(k));
    // The caption is "&k " followed by the file name.
    if (action && !m_session->isOpen())
        openProjectFile(action->text().mid(3).toStdString());
}

void MainWindow::closeProject() {
    if (m_session)
        m_session->CloseProject();
}

void MainWindow::saveProjectAs() {
    if (!m_session || !m_session->isOpen())
        return;
    const QString file = chooseProjectFile(static_cast<int>(ProjectFileDialog::Purpose::SaveAs),
                                           "IDS_COPYPROJEKTTITLE");
    if (!file.isEmpty())
        m_session->SaveAs(file.toStdString());
}

void MainWindow::deleteProject() {
    if (!m_session || m_session->isOpen() || !m_trash)
        return;
    const QString file = chooseProjectFile(static_cast<int>(ProjectFileDialog::Purpose::Delete),
                                           "IDS_DELETEPROJEKTTITLE");
    if (!file.isEmpty())
        DeleteProject(file.toStdString(), *m_trash);
    updateCommands();
}

void MainWindow::editProjectData() {
    if (!m_session || !m_session->isOpen())
        return;
    ProjectData edited = *m_session->data();
    ProjectDataDialog dialog(edited, this);
    translateWindow(m_options->languages(), dialog);
    if (execPlaced(dialog, m_options->store()) != QDialog::Accepted)
        return;
    *m_session->data() = edited;
    m_session->SaveProjectData();
    showChangeStored();
}

void MainWindow::editProjectOptions() {
    if (!m_session || !m_session->isOpen())
        return;
    ProjectOptionsDialog dialog(*m_session->options(), *m_session->store(), m_options->languages(),
                                this);
    // A new winter outside temperature changes every room's load and every building's total:
    // the rooms are recalculated with the saved options before they are committed, so that
    // the options and the rooms never disagree.
    std::optional<RecalculationResult> recalculated;
    dialog.setRecalculation([this, &recalculated](const ProjectOptions& saved) {
        std::optional<RoomSettings> settings = roomSettings();
        if (!settings)
            return true;
        settings->projectOutsideTemp = saved.Heating.OutSideTemp;
        recalculated = runRecalculation(*settings);
        return !recalculated->stopped;
    });
    const bool accepted = execPlaced(dialog, m_options->store()) == QDialog::Accepted;
    if (accepted)
        showChangeStored();
    updateCalculationSettings();
    if (accepted && recalculated)
        showRecalculation(*recalculated);
}

std::optional<RoomSettings> MainWindow::roomSettings() {
    if (!m_session || !m_session->isOpen())
        return std::nullopt;
    RoomSettings settings;
    settings.projectOutsideTemp = m_session->options()->Heating.OutSideTemp;
    // Without a device table the radiators keep their values.
    if (m_deviceTable)
        settings.refreshRadiators = [this](Room& room, double ti) {
            CachedRadiatorFamilies families(m_deviceTable.get(), m_radiatorFamilies);
            for (Radiator& radiator : room.Radiators)
                radiator.Refresh(families, ti);
        };
    return settings;
}

RecalculationResult MainWindow::runRecalculation(const RoomSettings& settings) {
    ProgressWindow progress(this, qt(m_options->languages().GetText("IDS_RECALCULATING")), true);
    return RecalculateProject(*m_session->store(), settings, progress.callback());
}

void MainWindow::recalculateProject() {
    if (!m_session || !m_session->isOpen())
        return;
    if (const std::optional<RoomSettings> settings = roomSettings())
        showRecalculation(runRecalculation(*settings));
}

void MainWindow::reportSkipped(const std::vector<std::string>& named) {
    if (named.empty())
        return;
    std::string list;
    for (const std::string& name : named)
        list += "\n" + name;
    platform::prompter().showMessage(
        formatText(m_options->languages().GetText("IDS_RECALCSKIPPED"), {list}));
}

void MainWindow::showRecalculation(const RecalculationResult& result) {
    std::vector<std::string> named = result.unreadable;
    for (const RecalculationResult::Unchanged& room : result.unchanged)
        named.push_back(room.room + (room.messages.empty() ? "" : ": " + room.messages.front()));
    reportSkipped(named);
    reloadRoomLists();
}

void MainWindow::reloadRoomLists() {
    for (const ItemKind kind : {ItemKind::Room, ItemKind::Building})
        if (ItemListWindow* list = listWindow(kind))
            list->reloadList();
    showChangeStored();
}

std::optional<std::vector<Reference>> MainWindow::chooseRooms() {
    SelectionDialog choice(*m_session->store(), ItemKind::Room, m_options->languages(), this);
    if (execPlaced(choice, m_options->store()) != QDialog::Accepted)
        return std::nullopt;
    std::vector<Reference> rooms = choice.chosenItems();
    if (rooms.empty())
        return std::nullopt;
    return rooms;
}

void MainWindow::applyRoomChange(const QString& what, const std::vector<Reference>& rooms,
                                 const RoomChange& change, bool ask) {
    const std::optional<RoomSettings> settings = roomSettings();
    if (!settings)
        return;
    Languages& languages = m_options->languages();
    // The change and how many rooms it touches are told first.
    if (ask && !platform::prompter().askYesNo(
                   formatText(languages.GetText("IDS_BULKCHANGEQUESTION"),
                              {what.toStdString(), static_cast<std::int64_t>(rooms.size())}),
                   platform::DefaultButton::Yes))
        return;
    RoomBulkResult result;
    {
        ProgressWindow progress(this, qt(languages.GetText("IDS_RECALCULATING")), true);
        result = ChangeRooms(*m_session->store(), rooms, *settings, change, progress.callback());
    }
    if (result.stopped)
        return;
    std::vector<std::string> named;
    for (const RoomBulkResult::Skipped& skipped : result.skipped)
        named.push_back(skipped.room + (skipped.reason.empty() ? "" : ": " + skipped.reason));
    reportSkipped(named);
    reloadRoomLists();
}

// Runs a bulk-change dialog; every box is read on its OK, before the rooms are chosen, so no
// room is touched by a bad value.
template <class Dialog> bool MainWindow::runChangeDialog(Dialog& dialog) {
    translateWindow(m_options->languages(), dialog);
    return execPlaced(dialog, m_options->store()) == QDialog::Accepted;
}

void MainWindow::changeVentilation() {
    if (!m_session || !m_session->isOpen())
        return;
    VentilationChangeDialog dialog(&m_options->languages(), &m_options->store(), this);
    if (!runChangeDialog(dialog) || !dialog.change())
        return;
    if (const auto rooms = chooseRooms())
        applyRoomChange(dialog.windowTitle(), *rooms, *dialog.change(), true);
}

void MainWindow::changeTemperatures() {
    if (!m_session || !m_session->isOpen())
        return;
    TemperatureChangeDialog dialog(this);
    if (!runChangeDialog(dialog) || !dialog.change())
        return;
    if (const auto rooms = chooseRooms())
        applyRoomChange(dialog.windowTitle(), *rooms, *dialog.change(), true);
}

void MainWindow::moveRooms() {
    if (!m_session || !m_session->isOpen())
        return;
    const BuildingsTable buildings = BuildingsTable::load(*m_session->store());
    MoveRoomsDialog dialog(*m_session->store(), buildings, this);
    if (!runChangeDialog(dialog) || !dialog.building())
        return;
    if (const auto rooms = chooseRooms())
        applyRoomChange(dialog.windowTitle(), *rooms, BuildingMove(*dialog.building()), true);
}

void MainWindow::rotateRooms() {
    if (!m_session || !m_session->isOpen())
        return;
    RotateRoomsDialog dialog(this);
    if (!runChangeDialog(dialog) || !dialog.change())
        return;
    if (const auto rooms = chooseRooms())
        applyRoomChange(dialog.windowTitle(), *rooms, *dialog.change(), true);
}

namespace {

// The printing language for the texts of a whole printout, the interface language after it.
class PrintingLanguage {
public:
    explicit PrintingLanguage(Languages& languages)
        : m_languages(languages)
        , m_was(languages.UsePrintingLanguage) {
        m_languages.UsePrintingLanguage = true;
    }
    ~PrintingLanguage() { m_languages.UsePrintingLanguage = m_was; }
    PrintingLanguage(const PrintingLanguage&) = delete;
    PrintingLanguage& operator=(const PrintingLanguage&) = delete;

private:
    Languages& m_languages;
    bool m_was;
};

} // namespace

void MainWindow::print() {
    if (!m_options)
        return;
    // The kind of the active list window; the materials without one and no project.
    std::optional<ItemKind> kind;
    QMdiSubWindow* active = m_childArea->activeSubWindow();
    for (auto it = m_lists.cbegin(); it != m_lists.cend(); ++it)
        if (it.value() == active)
            kind = it.key();
    if (!kind)
        kind = ItemKind::Material;
    ItemStore* store = *kind == ItemKind::Material        ? m_materialStore
                       : m_session && m_session->isOpen() ? m_session->store()
                                                          : nullptr;
    if (store == nullptr || printFormatsOf(*kind).empty()) {
        statusBar()->showMessage(qt(GetText("IDS_NOPRINTOUT")));
        return;
    }
    Languages& languages = m_options->languages();
    PrintDialog dialog(*kind, m_printForm, this);
    translateWindow(languages, dialog);
    dialog.chooseItems = [&]() -> std::optional<std::vector<Reference>> {
        SelectionDialog choice(*store, *kind, languages, &dialog);
        if (execPlaced(choice, m_options->store()) != QDialog::Accepted)
            return std::nullopt;
        return choice.chosenItems();
    };
    dialog.editColumns = [&](const PrintedTable& table) {
        editPrintedColumns(table.layout, table.settingsName, &dialog);
    };
    dialog.setupPrinter = [&] { setupPrinter(&dialog); };
    if (execPlaced(dialog, m_options->store()) != QDialog::Accepted)
        return;

    std::unique_ptr<PrintJob> job;
    std::vector<std::string> skipped;
    std::unique_ptr<CachedRadiatorFamilies> families;
    try {
        const PrintingLanguage printing(languages);
        PrintOptions options = printOptionsOf(*m_options);
        loadLogo(m_options->FirmaHeaderLogoName, options);
        PrintoutRequest request;
        request.kind = *kind;
        request.records =
            dialog.items() ? *dialog.items() : store->ListRecords(itemTypeOfKind(*kind));
        request.formats = m_printForm.formats;
        request.layouts = &m_options->store();
        request.panelSettings = m_itemContext.settings;
        if (*kind == ItemKind::Room || *kind == ItemKind::Building) {
            const std::optional<RoomSettings> settings = roomSettings();
            if (!settings)
                return;
            request.roomSettings = *settings;
            families =
                std::make_unique<CachedRadiatorFamilies>(m_deviceTable.get(), m_radiatorFamilies);
            request.families = families.get();
        }
        const bool color = options.colorPrinting;
        request.materialChart = [&languages, color](const Material& material) {
            return std::optional<ReportBlock>(materialChartBlock(material, languages, color));
        };
        const DiagramAxis axis = diagramAxisOption(m_options->XIsDistance);
        request.panelDiagram = [&languages, axis, color](const Panel& panel) {
            return panelDiagramBlock(panel, axis, languages, color);
        };
        Printout printout = buildPrintout(*store, request, languages);
        std::vector<ReportSource> sources = std::move(printout.sources);
        skipped = std::move(printout.skipped);
        PrintChoices choices = m_printForm.choices(store->path(), printedDate(),
                                                   "Kalydor " + std::string(programVersion()));
        if (*kind != ItemKind::Material && m_printForm.projectData) {
            ProjectData description;
            if (description.LoadFromProject(*store))
                choices.projectData = projectDataRtf(description, languages);
        }
        ProgressWindow progress(this, qt(languages.GetText("IDS_PRINTING")), true);
        job = std::make_unique<PrintJob>(std::move(sources), options, choices,
                                         m_printForm.onlyPages, progress.callback());
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
        return;
    }
    if (job->stopped())
        return; // cancelled while the pages were laid out: nothing is printed
    if (!skipped.empty()) {
        std::string names;
        for (const std::string& name : skipped)
            names += (names.empty() ? "" : ", ") + name;
        statusBar()->showMessage(qt(formatText(GetText("IDS_NOTPRINTED"), {names})));
    }
    runPrintJob(*job, dialog.command(), dialog.windowTitle());
}

void MainWindow::runPrintJob(const PrintJob& job, PrintDialog::Command command,
                             const QString& title) {
    Languages& languages = m_options->languages();
    const PrintingLanguage printing(languages);
    switch (command) {
    case PrintDialog::Command::Preview: {
        PreviewDialog preview(job, &m_options->store(), this);
        translateWindow(languages, preview);
        execPlaced(preview, m_options->store());
        break;
    }
    case PrintDialog::Command::Print: {
        QPrintDialog choose(&printer(), this);
        if (choose.exec() == QDialog::Accepted) {
            try {
                ProgressWindow progress(this, qt(languages.GetText("IDS_PRINTING")), true);
                job.print(printer(), progress.callback());
            } catch (const Error& error) {
                platform::prompter().showMessage(error.text());
            }
        }
        break;
    }
    case PrintDialog::Command::Pdf: {
        int chosen = 0;
        const QString file =
            dialogFileChooser().save(this, title, {QStringLiteral("PDF (*.pdf)")}, chosen);
        if (file.isEmpty())
            break;
        try {
            ProgressWindow progress(this, qt(languages.GetText("IDS_PRINTING")), true);
            job.writePdf(withExtensionOf(file, QStringLiteral("PDF (*.pdf)")).toStdString(),
                         progress.callback());
        } catch (const Error& error) {
            platform::prompter().showMessage(error.text());
        }
        break;
    }
    case PrintDialog::Command::None:
        break;
    }
}

std::unique_ptr<UsedMaterials> MainWindow::buildBill() {
    if (!m_session || !m_session->isOpen())
        return nullptr;
    m_billFamilies =
        std::make_unique<CachedRadiatorFamilies>(m_deviceTable.get(), m_radiatorFamilies);
    m_billDevices =
        std::make_unique<DeviceTableBillDevices>(m_deviceTable.get(), m_billFamilies.get());
    auto bill = std::make_unique<UsedMaterials>(m_billDevices.get());
    Languages& languages = m_options->languages();
    const PrintingLanguage printing(languages);
    ProgressWindow progress(this, qt(languages.GetText("IDS_USEDMATERIALSBUILDING")), true);
    if (!bill->Build(*m_session->store(), progress.callback()))
        return nullptr; // cancelled
    std::vector<std::string> notes;
    for (const std::string& room : bill->unreadable())
        notes.push_back(formatText(GetText("IDS_BILLUNREADABLE"), {room}));
    for (const std::string& list : bill->cycles())
        notes.push_back(formatText(GetText("IDS_PIECELISTCYCLE"), {list}));
    for (const std::string& note : notes)
        platform::prompter().showMessage(note);
    if (bill->lines().empty()) {
        platform::prompter().showMessage(GetText("IDS_NOUSEDMATERIALS"));
        return nullptr;
    }
    return bill;
}

void MainWindow::printUsedMaterials() {
    const std::unique_ptr<UsedMaterials> bill = buildBill();
    if (!bill)
        return;
    Languages& languages = m_options->languages();
    UsedMaterialsPrintDialog dialog(*bill, this);
    translateWindow(languages, dialog);
    dialog.editColumns = [&] {
        editPrintedColumns("UsedMaterialsTableTitle", "UsedMaterialsTableReport", &dialog);
    };
    dialog.setupPrinter = [&] { setupPrinter(&dialog); };
    if (execPlaced(dialog, m_options->store()) != QDialog::Accepted)
        return;
    std::unique_ptr<PrintJob> job;
    try {
        const PrintingLanguage printing(languages);
        PrintOptions options = printOptionsOf(*m_options);
        loadLogo(m_options->FirmaHeaderLogoName, options);
        std::vector<ReportSource> sources = {
            billTableSource(*bill, dialog.chosen(),
                            loadColumnLayout("UsedMaterialsTableTitle", languages,
                                             &m_options->store(), "UsedMaterialsTableReport"))};
        PrintChoices choices = m_printForm.choices(m_session->store()->path(), printedDate(),
                                                   "Kalydor " + std::string(programVersion()));
        ProgressWindow progress(this, qt(languages.GetText("IDS_PRINTING")), true);
        job = std::make_unique<PrintJob>(std::move(sources), options, choices, std::string(),
                                         progress.callback());
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
        return;
    }
    if (!job->stopped())
        runPrintJob(*job, dialog.command(), dialog.windowTitle());
}

void MainWindow::exportUsedMaterials(bool toFile) {
    const std::unique_ptr<UsedMaterials> bill = buildBill();
    if (!bill)
        return;
    Languages& languages = m_options->languages();
    UsedMaterialsExportDialog dialog(*bill, this);
    translateWindow(languages, dialog);
    if (execPlaced(dialog, m_options->store()) != QDialog::Accepted)
        return;
    if (!toFile) {
        const PrintingLanguage printing(languages);
        ClipboardDocument document(languages);
        bill->WriteCopy(document, dialog.chosen());
        document.CopyToClipboard(*m_clipboard);
        return;
    }
    const QString filter = QStringLiteral("CSV (*.csv)");
    int chosen = 0;
    const QString file = dialogFileChooser().save(this, dialog.windowTitle(), {filter}, chosen);
    if (file.isEmpty())
        return;
    const std::string name = withExtensionOf(file, filter).toStdString();
    try {
        const PrintingLanguage printing(languages);
        SafeFileWriter out(name);
        out.write(bill->ExportText(dialog.chosen(), languages));
        out.commit();
        QtProcessLauncher launcher;
        startEstimateProgram(*m_options, name, launcher);
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
    }
}

void MainWindow::editPrintedColumns(const char* layoutName, const char* settingsName,
                                    QWidget* parent) {
    Languages& languages = m_options->languages();
    ColumnLayout layout =
        loadColumnLayout(layoutName, languages, &m_options->store(), settingsName);
    ColumnLayoutDialog columns(layout, languages, m_options->store(), parent);
    translateWindow(languages, columns);
    execPlaced(columns, m_options->store());
}

void MainWindow::setupPrinter(QWidget* parent) {
    QPageSetupDialog setup(&printer(), parent);
    setup.exec();
}

QPrinter& MainWindow::printer() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

RadiatorPageSource MainWindow::radiatorPageSource() {
    RadiatorPageSource source;
    m_pageFamilies =
        std::make_unique<CachedRadiatorFamilies>(m_deviceTable.get(), m_radiatorFamilies);
    source.families = m_pageFamilies.get();
    if (m_activeSet)
        source.offered = radiatorFamiliesOf(*m_activeSet);
    if (m_options)
        source.choice.OnlyCurrentRadiators = m_options->OnlyCurrentRadiators;
    if (m_session && m_session->isOpen()) {
        const RadiatorStruct& radiators = m_session->options()->Radiator;
        source.choice.Nearest = radiators.Nearest != 0;
        source.forward = radiators.Hydraulic.Medium.ForwardTemperature;
        source.backward = radiators.Hydraulic.Medium.BackwardTemperature;
        source.factor = radiators.CorrectionFactor;
    }
    // The families the radiator dialog offers follow the set chosen on the page.
    const auto names = std::make_shared<std::vector<std::string>>();
    const auto nameOffered =
        [names](const std::vector<std::pair<std::string, std::string>>& offered) {
            names->clear();
            for (const auto& [path, name] : offered)
                names->push_back(name);
        };
    nameOffered(source.offered);
    if (m_activeSet && m_options) {
        source.chooseSet = [this, nameOffered](QWidget* parent)
            -> std::optional<std::vector<std::pair<std::string, std::string>>> {
            if (!m_activeSet)
                return std::nullopt;
            DeviceSetDialog dialog(*m_activeSet, m_options->languages(), parent);
            if (execPlaced(dialog, m_options->store()) != QDialog::Accepted)
                return std::nullopt;
            std::vector<std::pair<std::string, std::string>> offered =
                radiatorFamiliesOf(*m_activeSet);
            nameOffered(offered);
            return offered;
        };
    }
    RadiatorFamilySource* families = m_pageFamilies.get();
    source.edit = [this, families, names](Radiator& radiator, double ti, QWidget* parent) {
        RadiatorEditor editor(radiator, ti, *families, *names);
        RadiatorDialog dialog(editor, parent);
        translateWindow(m_options->languages(), dialog);
        if (execPlaced(dialog, m_options->store()) != QDialog::Accepted)
            return false;
        radiator = editor.radiator();
        return true;
    };
    return source;
}

void MainWindow::changeRadiators() {
    if (!m_session || !m_session->isOpen())
        return;
    Languages& languages = m_options->languages();
    CachedRadiatorFamilies families(m_deviceTable.get(), m_radiatorFamilies);
    const std::vector<std::pair<std::string, std::string>> offered =
        m_activeSet ? radiatorFamiliesOf(*m_activeSet)
                    : std::vector<std::pair<std::string, std::string>>{};
    RadiatorChangeDialog dialog(
        [&]() -> std::optional<std::pair<std::string, std::string>> {
            RadiatorTypeDialog types(offered, families, this);
            if (!runChangeDialog(types))
                return std::nullopt;
            return types.chosen();
        },
        languages, this);
    if (!runChangeDialog(dialog) || !dialog.settings())
        return;
    RadiatorChangeSettings settings = *dialog.settings();
    settings.choice.Nearest = m_session->options()->Radiator.Nearest != 0;
    settings.choice.OnlyCurrentRadiators = m_options->OnlyCurrentRadiators;
    const std::optional<std::vector<Reference>> rooms = chooseRooms();
    if (!rooms)
        return;
    // Every radiator is tried on a copy first: an error shows before anything is written.
    std::vector<RadiatorCandidate> candidates;
    try {
        candidates = FindRadiatorCandidates(*m_session->store(), *rooms, settings, families);
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
        return;
    }
    std::vector<RadiatorCandidate> chosen;
    if (!candidates.empty()) {
        RadiatorChangeListDialog list(std::move(candidates), this);
        if (!runChangeDialog(list))
            return;
        chosen = list.chosen();
    }
    const RadiatorChange change(std::move(chosen), settings, families);
    applyRoomChange(dialog.windowTitle(), change.rooms(), change, false);
}

void MainWindow::changeConstructions() {
    if (!m_session || !m_session->isOpen())
        return;
    Languages& languages = m_options->languages();
    ConstructionChangeDialog dialog(*m_session->store(), languages, &m_options->store(), this);
    if (!runChangeDialog(dialog))
        return;
    const std::optional<std::vector<Reference>> rooms = chooseRooms();
    if (!rooms)
        return;
    std::vector<BoundaryMatch> matches = FindMatches(*m_session->store(), *rooms, dialog.search());
    // The list is the question: nothing found shows none and changes no room; the buildings
    // are totalled all the same.
    std::vector<BoundaryMatch> chosen;
    if (!matches.empty()) {
        MatchListDialog list(std::move(matches), languages, &m_options->store(), this);
        if (runChangeDialog(list))
            chosen = list.chosen();
    }
    const ConstructionChange change(chosen, dialog.values());
    applyRoomChange(dialog.windowTitle(), change.rooms(), change, false);
}

void MainWindow::editProgramOptions() {
    if (!m_options)
        return;
    ProgramOptionsDialog dialog(*m_options, this);
    if (execPlaced(dialog, m_options->store()) != QDialog::Accepted)
        return;
    retranslate();
    m_options->SaveProgramOptions();
    updateCalculationSettings();
}

void MainWindow::retranslate() {
    if (m_options) {
        applyToolkitLanguage(m_options->languages());
        translateWindow(m_options->languages(), *this);
        if (m_searchForm)
            translateWindow(m_options->languages(), *m_searchForm);
    }
    for (const ItemKind kind : m_lists.keys()) {
        if (ItemListWindow* list = listWindow(kind))
            list->retranslate();
    }
    updateCaption();
}

void MainWindow::showChangeStored() {
    statusBar()->showMessage(qt(GetText("IDS_CHANGESTORED")), 6000);
}

void MainWindow::updateCalculationSettings() {
    if (!m_options)
        return;
    PanelSettings settings;
    if (m_session && m_session->isOpen())
        settings.outsideDesignTemperature = m_session->options()->Heating.OutSideTemp;
    settings.simpleHumidityCalculation = m_options->SimpleHumidityCalculation;
    m_itemContext.settings = settings;
}

void MainWindow::setBuildingDialogs(BuildingDialogs* buildings, RoomDialogs* rooms) {
    m_roomContext.buildingDialogs = buildings;
    m_roomContext.roomDialogs = rooms;
}

// What rooms and buildings ask of the open project; set once, they follow the project.
void MainWindow::initRoomContext() {
    m_roomContext.options = [this]() -> const ProjectOptions* {
        return m_session && m_session->isOpen() ? m_session->options() : nullptr;
    };
    m_roomContext.project = [this]() -> ItemStore* {
        return m_session && m_session->isOpen() ? m_session->store() : nullptr;
    };
    m_roomContext.settings = [this] { return roomSettings(); };
    // The buildings list's heat-pump check, with the return 5 K below the flow.
    // The rooms are read as stored: every change stores them calculated, so the column
    // agrees with the rooms list without calculating every room again at each reload.
    m_roomContext.lowestFlow = [this](const Building& building) -> std::optional<double> {
        if (!m_session || !m_session->isOpen() || !m_deviceTable)
            return std::nullopt;
        CachedRadiatorFamilies families(m_deviceTable.get(), m_radiatorFamilies);
        Building collected = building;
        return LowestFlowOfRooms(CollectRooms(*m_session->store(), collected, false, true).rooms, 5,
                                 families)
            .flow;
    };
}

void MainWindow::setItemDialogs(MaterialDialogs* materials, PanelDialogs* panels) {
    m_itemContext.materialDialogs = materials;
    m_itemContext.panelDialogs = panels;
}

// The caption names the program and, while a project is open, the project's file, and
// says when the project is open for reading only.
void MainWindow::updateCaption() {
    QString caption = QString::fromUtf8(kApplicationTitle);
    if (m_session && m_session->isOpen()) {
        caption += QStringLiteral(" - ") + qt(m_session->path());
        if (m_session->readOnly() && m_options)
            caption +=
                QStringLiteral(" ") + qt(m_options->languages().GetText("IDS_READONLYCAPTION"));
    }
    setWindowTitle(caption);
}

// The manual beside the program in the interface language (named like the program, with
// the language's suffix, ".html"), in the desktop's browser; its search is the browser's.
void MainWindow::showHelp(const char* section) {
    const QString manual =
        manualPath(QString::fromStdString(
                       programDataDirectory(QApplication::applicationDirPath().toStdString())),
                   QFileInfo(QApplication::applicationFilePath()).completeBaseName());
    QUrl url = QUrl::fromLocalFile(manual);
    url.setFragment(QString::fromLatin1(section));
    if (!QFileInfo::exists(manual) || !QDesktopServices::openUrl(url))
        platform::prompter().showMessage(
            formatText(GetText("IDS_NOHELPFILE"), {manual.toStdString()}));
}

void MainWindow::showAbout() {
    QMessageBox about(QMessageBox::Information, QString::fromUtf8(kApplicationTitle), aboutText(),
                      QMessageBox::Ok, this);
    about.setObjectName(QStringLiteral("AboutBox"));
    about.setTextFormat(Qt::RichText);
    translateStandardButtons(about);
    about.exec();
}

QString MainWindow::aboutText() const {
    const std::string version(programVersion());
    return QStringLiteral("<h3>%1</h3><p>%2</p><p>%3</p>")
        .arg(QString::fromUtf8(kApplicationTitle),
             qt(formatText(GetText("IDS_ABOUTVERSION"), {version})).toHtmlEscaped(),
             qt(GetText("IDS_ABOUTTEXT")).toHtmlEscaped());
}

} // namespace kalydor::gui
