// kalydor: the desktop program of the heating design tool.

#include "base/error.h"
#include "base/installlayout.h"
#include "base/version.h"
#include "constructions/registration.h"
#include "devicedb/devicestore.h"
#include "gui/buildingdialog.h"
#include "gui/mainwindow.h"
#include "gui/qtfiletrash.h"
#include "gui/qtmaterialdialogs.h"
#include "gui/qtpaneldialogs.h"
#include "gui/qtprompter.h"
#include "gui/qtsettingsstore.h"
#include "gui/roomdialog.h"
#include "gui/splash.h"
#include "language/languages.h"
#include "platform/prompter.h"
#include "rooms/room.h"
#include "shell/materialtable.h"
#include "shell/programoptions.h"
#include "shell/projects.h"
#include "store/itemstore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <exception>
#include <memory>
#include <string>

namespace {

// Errors that escape a command are shown in a message box and the program goes on.
class Application final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const kalydor::Error& error) {
            kalydor::platform::prompter().showMessage(error.text());
        } catch (const std::exception& error) {
            kalydor::platform::prompter().showMessage(error.what());
        }
        return false;
    }
};

// Where a table shipped with the program is used from: its data folder, or — when that folder
// cannot be written (an installed copy) — a copy in the user's data folder made on first
// start. Empty when the program has no such file.
QString shippedTablePath(const QString& dataFolder, const QString& fileName) {
    const QString shipped = QDir(dataFolder).filePath(fileName);
    if (!QFileInfo::exists(shipped))
        return {};
    if (QFileInfo(dataFolder).isWritable())
        return shipped;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString copy = QDir(folder).filePath(fileName);
    if (!QFileInfo::exists(copy)) {
        QDir().mkpath(folder);
        QFile::copy(shipped, copy);
        QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    return copy;
}

} // namespace

int main(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vendara"));
    QApplication::setApplicationName(QString::fromUtf8(kalydor::gui::kApplicationTitle));
    QApplication::setApplicationVersion(
        QString::fromUtf8(kalydor::programVersion().data(),
                          static_cast<qsizetype>(kalydor::programVersion().size())));

    // The program's data: beside it in a build, in <prefix>/share/kalydor once installed.
    const QString dataFolder = QString::fromStdString(
        kalydor::programDataDirectory(QApplication::applicationDirPath().toStdString()));

    // The splash first: the picture named like the program, or the slide show of the
    // folder the settings name.
    QElapsedTimer started;
    started.start();
    kalydor::gui::QtSettingsStore settings;
    const QString slideShow =
        QString::fromStdString(settings.textOr("ProgramOptions", "SlideShowDir", ""));
    kalydor::gui::SplashWindow splash(kalydor::gui::splashPictures(
        dataFolder, QFileInfo(QApplication::applicationFilePath()).fileName(), slideShow));
    splash.setSlideShow(!slideShow.isEmpty());
    splash.show();
    QApplication::processEvents();

    // The language tables, loaded once from the program directory; the program options
    // choose the interface and printing languages.
    kalydor::Languages languages;
    languages.LoadLanguages(dataFolder.toStdString() + "/languages/*.xm?");
    kalydor::setTextLookup(&languages);
    kalydor::ProgramOptions options(settings, languages);

    kalydor::registerConstructionItems();
    kalydor::gui::QtMaterialDialogs materialDialogs(languages, settings);

    kalydor::ProjectSession session(options, settings);
    kalydor::installProjectHooks(session, options);
    // Rooms are made with the options of the project open at that moment.
    kalydor::registerRoomItems([&session] { return session.options(); });
    kalydor::gui::QtFileTrash trash;

    // Messages and questions are message boxes from here on; they belong to the main window
    // once it exists.
    kalydor::gui::QtPrompter prompter;
    kalydor::platform::setPrompter(&prompter);

    // The material table: beside the program or the user's copy (see shippedTablePath).
    // One that cannot be used is named with its fault, and the program may start without it.
    std::unique_ptr<kalydor::ItemStore> materials;
    const QString table = shippedTablePath(dataFolder, QStringLiteral("material.db"));
    if (!table.isEmpty()) {
        kalydor::MaterialTableOpening opening =
            kalydor::OpenMaterialTable(QFileInfo(table).path().toStdString());
        if (opening.quit) {
            kalydor::platform::setPrompter(nullptr);
            return 1;
        }
        materials = std::move(opening.table);
    }

    // The device table: the one the user chose, else the shipped one (beside the program or
    // the user's copy). One that does not open is no reason to stop: the program runs
    // without radiator families and piece lists, and the main window says why.
    std::unique_ptr<kalydor::DeviceStore> devices;
    std::string deviceFault;
    {
        const QString deviceTableName =
            QString::fromUtf8(kalydor::kDefaultDeviceTableName.data(),
                              static_cast<qsizetype>(kalydor::kDefaultDeviceTableName.size()));
        QString shipped = shippedTablePath(dataFolder, deviceTableName);
        if (shipped.isEmpty())
            shipped = QDir(dataFolder).filePath(deviceTableName);
        try {
            devices = kalydor::DeviceStore::open(
                kalydor::deviceTablePath(settings, shipped.toStdString()));
        } catch (const kalydor::Error& error) {
            deviceFault = error.text();
        } catch (const std::exception& error) {
            deviceFault = error.what();
        }
    }

    // The construction editors take their layers from the material table.
    kalydor::gui::QtPanelDialogs panelDialogs(options, [&materials] { return materials.get(); });

    kalydor::gui::MainWindow window;
    window.setProgramOptions(&options);
    window.setItemDialogs(&materialDialogs, &panelDialogs);
    kalydor::gui::QtBuildingDialogs buildingDialogs(options);
    kalydor::gui::QtRoomDialogs roomDialogs(options);
    roomDialogs.radiatorSource = [&window] { return window.radiatorPageSource(); };
    window.setBuildingDialogs(&buildingDialogs, &roomDialogs);
    window.setMaterialStore(materials.get());
    window.setProjectSession(&session, &trash);
    window.retranslate();
    prompter.setParent(&window);
    // After the program options: the active set comes from the set file they name.
    window.setDeviceTable(std::move(devices), deviceFault);
    splash.waitUntilDone(started);
    splash.finish(&window);
    if (settings.boolOr("", "Maximized", false))
        window.showMaximized();
    else
        window.show();
    window.openFromCommandLine(QApplication::arguments().mid(1));
    const int status = QApplication::exec();
    kalydor::platform::setPrompter(nullptr);
    kalydor::setTextLookup(nullptr);
    return status;
}
