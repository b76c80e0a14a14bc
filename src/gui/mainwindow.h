#pragma once

#include "constructions/constructioncontext.h"
#include "devicedb/radiatorfamilycache.h"
#include "gui/printdialog.h"
#include "gui/roomradiatorpage.h"
#include "rooms/projectrecalculation.h"
#include "rooms/room.h"
#include "rooms/roombulkchange.h"
#include "rooms/roomcontext.h"
#include "shell/reportsources.h"
#include "store/itemkinds.h"

#include <QHash>
#include <QMainWindow>
#include <QMap>

#include <memory>
#include <optional>
#include <string>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;

namespace kalydor {
class BillDevices;
class DeviceSet;
class DeviceStore;
class ProjectSession;
class ItemStore;
class ProgramOptions;
class UsedMaterials;
namespace platform {
class Clipboard;
class FileTrash;
} // namespace platform
} // namespace kalydor

namespace kalydor::gui {

class ItemListWindow;
class PrintJob;
class SearchReplaceWindow;

/// The frame of the application: the command menus and the area that hosts the item list
/// windows. Commands that the program cannot carry out yet are shown disabled.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    /// The action of a command by its name ("exit", "cascade", "newProject", ...), or null.
    QAction* command(const QString& name) const { return m_commands.value(name); }
    QMdiArea* childArea() const { return m_childArea; }

    /// Gives the window the program options of the run (and through them the languages and
    /// the settings store); the options command is enabled from then on.
    void setProgramOptions(ProgramOptions* options);

    /// Opens the program options dialog; after OK the window speaks the chosen language and
    /// the options are saved.
    void editProgramOptions();

    /// Translates the window into the interface language and renews its caption.
    void retranslate();

    /// Gives the window the dialogs of the items' editors; the list windows' items open them.
    void setItemDialogs(MaterialDialogs* materials, PanelDialogs* panels);
    /// The dialogs the building and room lists open.
    void setBuildingDialogs(BuildingDialogs* buildings, RoomDialogs* rooms);
    /// The context the list windows give their items: the dialogs and how constructions are
    /// calculated for the open project.
    const ConstructionContext& itemContext() const { return m_itemContext; }

    /// Gives the window the project of the run; the project commands work from then on.
    void setProjectSession(ProjectSession* session, platform::FileTrash* trash);

    /// The project commands (each asks for its file through the project file dialog).
    void newProject();
    void openProject();
    void closeProject();
    void saveProjectAs();
    void deleteProject();
    void editProjectData();
    void editProjectOptions();
    /// Opens recent project k (1 to 4).
    void openRecent(int k);
    /// Opens a project without a dialog (command line, recent entry); errors are shown.
    bool openProjectFile(const std::string& path);
    /// Opens the first argument that is not an option ("-x", "/x") as a project.
    void openFromCommandLine(const QStringList& arguments);

    /// The commands follow the project state: enabled or shown with or without a project,
    /// the recent-project entries, the caption.
    void updateCommands();

    /// The material table of the program directory; without one the materials list is not
    /// offered.
    void setMaterialStore(ItemStore* store);
    /// Gives the window the device table of the run (after the program options) and makes
    /// the active set from it: the set file of the last run ("LastSetFile") when one is named,
    /// every item otherwise. Without a table the program runs on; the status bar then says
    /// once that the device database is not open, and why (`fault`).
    void setDeviceTable(std::unique_ptr<DeviceStore> table, const std::string& fault = {});
    DeviceStore* deviceTable() const { return m_deviceTable.get(); }
    /// The items the device commands work on; null without a table.
    DeviceSet* activeDeviceSet() const { return m_activeSet.get(); }
    /// The radiator families read from the device table for the sizing.
    RadiatorFamilyCache& radiatorFamilies() { return m_radiatorFamilies; }
    /// What the room dialog's radiator page offers: the device table's families, the active
    /// set's, and the project's radiator defaults (valid until the next call).
    RadiatorPageSource radiatorPageSource();
    QPrinter& printer();
    void initRoomContext();
    /// The column editor of a printed table's user layout.
    void editPrintedColumns(const char* layoutName, const char* settingsName, QWidget* parent);
    void setupPrinter(QWidget* parent);
    /// Shows a laid-out printout in the preview, prints it or writes it as PDF.
    void runPrintJob(const PrintJob& job, PrintDialog::Command command, const QString& title);
    /// The bill of materials of the open project, under a progress window; none when it was
    /// cancelled or holds no line (both said).
    std::unique_ptr<UsedMaterials> buildBill();
    void printUsedMaterials();
    /// The chosen lines of the bill to the clipboard, or to the file for the cost-estimating
    /// program, which is then offered to start.
    void exportUsedMaterials(bool toFile);
    /// Opens the maintenance of the device database (only without a project). When it closes
    /// the families read are forgotten and the active set is read again, from its set file
    /// or as every item: the table may have changed, or be another one.
    void editDeviceDatabase();
    /// Recalculates every room of the open project with its options and totals every
    /// building (after the winter outside temperature changed), with a progress window; the
    /// rooms and buildings windows show the new values.
    void recalculateProject();
    /// Recalculates the project with a progress window that can stop it.
    RecalculationResult runRecalculation(const RoomSettings& settings);
    void showRecalculation(const RecalculationResult& result);
    /// Names the rooms a change left as they were, with the reason.
    void reportSkipped(const std::vector<std::string>& named);
    /// The rooms and buildings lists show the project again.
    void reloadRoomLists();
    /// The rooms a change applies to, chosen in the group tree; none when cancelled.
    std::optional<std::vector<Reference>> chooseRooms();
    /// Changes rooms (after the question, when asked) with a progress window that can stop
    /// it; names the rooms left and reloads the lists.
    void applyRoomChange(const QString& what, const std::vector<Reference>& rooms,
                         const RoomChange& change, bool ask);
    template <class Dialog> bool runChangeDialog(Dialog& dialog);
    /// Tools: the changes of many rooms.
    void changeVentilation();
    void changeConstructions();
    void changeTemperatures();
    void moveRooms();
    void rotateRooms();
    void changeRadiators();
    /// File › Print: the printing dialog for the active list window's kind, then the
    /// preview, the printer or a PDF file.
    void print();
    /// What rooms are calculated with in the open project; none without one.
    std::optional<RoomSettings> roomSettings();

    /// Opens the list window of an item kind, or brings the open
    /// one to the front.
    void openList(ItemKind kind);
    /// The open list window of a kind, or null.
    ItemListWindow* listWindow(ItemKind kind) const;
    /// Shows the search-and-replace window, which works on the active list window.
    void showSearchReplace();
    /// Says in the status bar that a change was stored (there is no save command: each
    /// confirmed change is stored at once).
    void showChangeStored();
    /// The text of the About box in the interface language.
    QString aboutText() const;

protected:
    /// Closing the window closes the project first and remembers whether it was maximised.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void tileHorizontally();
    void tileVertically();
    void minimizeAll();
    void arrangeIcons();
    void showAbout();
    void showHelp(const char* section);

    void updateCaption();
    /// Sets how constructions are calculated — in their editors, for their copies and on
    /// import: the open project's outside design temperature and the program's humidity check.
    void updateCalculationSettings();
    /// Writes which set file the active set came from, for the next run ("" for every item),
    /// and lets go of the set and then of the device table.
    void releaseDeviceTable();
    /// The file chosen in a project dialog, or empty when cancelled.
    QString chooseProjectFile(int purpose, const char* titleKey);

    QMdiArea* m_childArea;
    ProgramOptions* m_options = nullptr;
    ConstructionContext m_itemContext;
    ProjectSession* m_session = nullptr;
    ItemStore* m_materialStore = nullptr;
    /// The printing dialog's choices, kept for the run.
    PrintForm m_printForm;
    /// The printer of the run: its page setup holds from one printout to the next.
    std::unique_ptr<QPrinter> m_printer;
    /// What the bill of materials reads the device table through, while it is built.
    std::unique_ptr<CachedRadiatorFamilies> m_billFamilies;
    std::unique_ptr<BillDevices> m_billDevices;
    // The set is declared after the table, so that it goes first.
    std::unique_ptr<DeviceStore> m_deviceTable;
    std::unique_ptr<DeviceSet> m_activeSet;
    RadiatorFamilyCache m_radiatorFamilies;
    std::unique_ptr<CachedRadiatorFamilies> m_pageFamilies;
    RoomContext m_roomContext;
    std::unique_ptr<platform::Clipboard> m_clipboard;
    QMap<ItemKind, QMdiSubWindow*> m_lists;
    SearchReplaceWindow* m_searchForm = nullptr;
    platform::FileTrash* m_trash = nullptr;
    QHash<QString, QAction*> m_commands;
};

} // namespace kalydor::gui
