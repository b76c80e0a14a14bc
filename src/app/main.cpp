// kalydor: the desktop program of the heating design tool.

#include "base/error.h"
#include "constructions/registration.h"
#include "gui/mainwindow.h"
#include "gui/materialforms.h"
#include "gui/qtfiletrash.h"
#include "gui/qtprompter.h"
#include "gui/qtsettingsstore.h"
#include "language/languages.h"
#include "platform/prompter.h"
#include "shell/programoptions.h"
#include "shell/projects.h"

#include <QApplication>
#include <QMessageBox>

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

} // namespace

int main(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vendara"));
    QApplication::setApplicationName(QString::fromUtf8(kalydor::gui::kApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(KALYDOR_VERSION));

    // The language tables, loaded once from the program directory; the program options
    // choose the interface and printing languages.
    kalydor::TLanguages languages;
    languages.LoadLanguages(QApplication::applicationDirPath().toStdString() + "/languages/*.xm?");
    kalydor::setTextLookup(&languages);
    kalydor::gui::QtSettingsStore settings;
    kalydor::TProgramOptions options(settings, languages);

    kalydor::registerConstructionItems();
    kalydor::gui::QtMaterialDialogs materialDialogs(languages, settings);
    kalydor::setMaterialDialogs(&materialDialogs);

    kalydor::ProjectSession session(options, settings);
    kalydor::installProjectHooks(session, options);
    kalydor::gui::QtFileTrash trash;

    kalydor::gui::MainWindow window;
    window.setProgramOptions(&options);
    window.setProjectSession(&session, &trash);
    window.retranslate();
    kalydor::gui::QtPrompter prompter(&window);
    kalydor::platform::setPrompter(&prompter);
    if (settings.boolOr("", "Maximized", false))
        window.showMaximized();
    else
        window.show();
    window.openFromCommandLine(QApplication::arguments().mid(1));
    const int status = QApplication::exec();
    kalydor::platform::setPrompter(nullptr);
    kalydor::setMaterialDialogs(nullptr);
    kalydor::setTextLookup(nullptr);
    return status;
}
