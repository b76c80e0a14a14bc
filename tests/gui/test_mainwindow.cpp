#include "base/error.h"
#include "base/textlookup.h"
#include "constructions/registration.h"
#include "devicedb/deviceset.h"
#include "devicedb/devicestore.h"
#include "gui/itemlistwindow.h"
#include "gui/mainwindow.h"
#include "gui/projectdialogs.h"
#include "gui/qtwindowtranslation.h"
#include "language/languages.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"
#include "rooms/building.h"
#include "rooms/room.h"
#include "shell/programoptions.h"
#include "shell/projects.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"
#include "store/storehooks.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>

#include "devicedb/samplefamily.h"
#include "devicedb/sampletable.h"
#include "support/qtapplication.h"
#include "support/shippedlanguages.h"
#include "support/tempdir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
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

    for (const char* working :
         {"exit", "cascade", "tileHorizontally", "tileVertically", "minimizeAll", "arrangeIcons",
          "about", "helpContents", "helpSearch", "helpOnHelp"}) {
        ASSERT_NE(window.command(working), nullptr) << working;
        EXPECT_TRUE(window.command(working)->isEnabled()) << working;
    }
    for (const char* later : {"newProject", "openProject", "materials", "constructions",
                              "programOptions", "deviceDatabase"}) {
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
    Languages languages;
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
        const LanguageForm* form = nullptr;
        for (const LanguageForm& candidate : languages.lookupLanguage()->forms) {
            if (candidate.name == "MainForm")
                form = &candidate;
        }
        ASSERT_NE(form, nullptr);
        std::set<std::string> translated;
        for (const LanguageFormItem& item : form->items)
            translated.insert(item.name);

        for (QAction* action : window.findChildren<QAction*>()) {
            const std::string name = action->objectName().toStdString();
            // The recent-project entries are captioned with file names.
            if (name.empty() || action->isSeparator() || name.starts_with("recent"))
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

TEST(MainWindow, ProjectCommandsFollowTheOpenProject) {
    test::qtApplication();
    test::TempDir dir;
    platform::MemorySettingsStore settings;
    Languages& languages = test::shippedLanguages();
    languages.SelectInterfaceLanguage("Român");
    ProgramOptions options(settings, languages);
    ProjectSession session(options, settings);
    installProjectHooks(session, options);
    MainWindow window;
    window.setProgramOptions(&options);
    window.setProjectSession(&session, nullptr);

    EXPECT_TRUE(window.command("newProject")->isEnabled());
    EXPECT_FALSE(window.command("closeProject")->isEnabled());
    EXPECT_FALSE(window.command("projectData")->isVisible());
    EXPECT_TRUE(window.command("deleteProject")->isVisible());
    EXPECT_FALSE(window.command("recent1")->isVisible());

    ASSERT_TRUE(session.OpenProject(dir.file("Bloc"), true));
    const QString path = QString::fromStdString(session.path());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Kalydor-Ro S - ") + path);
    EXPECT_FALSE(window.command("newProject")->isEnabled());
    EXPECT_TRUE(window.command("closeProject")->isEnabled());
    EXPECT_TRUE(window.command("projectData")->isVisible());
    EXPECT_FALSE(window.command("deleteProject")->isVisible());
    EXPECT_FALSE(window.command("recent1")->isVisible()); // only without a project

    window.command("closeProject")->trigger();
    EXPECT_FALSE(session.isOpen());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Kalydor-Ro S"));
    ASSERT_TRUE(window.command("recent1")->isVisible());
    EXPECT_EQ(window.command("recent1")->text(), QStringLiteral("&1 ") + path);
    window.command("recent1")->trigger();
    EXPECT_TRUE(session.isOpen());

    // Command-line arguments: options are skipped, only the first project opens (an absolute
    // path begins with "/").
    session.CloseProject();
    ASSERT_TRUE(session.OpenProject(dir.file("Second"), true));
    session.CloseProject();
    window.openFromCommandLine(
        {QStringLiteral("-maximized"), path, QString::fromStdString(dir.file("Second.db"))});
    EXPECT_EQ(QString::fromStdString(session.path()), path);
    window.close();
    EXPECT_FALSE(session.isOpen());
    storeHooks() = StoreHooks{};
}

// A project in a folder the user may not write opens for reading, and the caption says so.
TEST(MainWindow, CaptionSaysWhenTheProjectIsReadOnly) {
    test::qtApplication();
    test::TempDir dir;
    platform::MemorySettingsStore settings;
    Languages& languages = test::shippedLanguages();
    languages.SelectInterfaceLanguage("English");
    ProgramOptions options(settings, languages);
    ProjectSession session(options, settings);
    MainWindow window;
    window.setProgramOptions(&options);
    window.setProjectSession(&session, nullptr);
    ASSERT_TRUE(session.OpenProject(dir.file("Bloc"), true));
    const QString path = QString::fromStdString(session.path());
    session.CloseProject();

    ::chmod(dir.path().c_str(), 0555);
    {
        test::ActingAsNobody nobody;
        ASSERT_TRUE(nobody.ok());
        ASSERT_TRUE(window.openProjectFile(path.toStdString()));
        EXPECT_EQ(window.windowTitle(),
                  QStringLiteral("Kalydor-Ro S - ") + path + QStringLiteral(" ") +
                      QString::fromStdString(languages.GetText("IDS_READONLYCAPTION")));
        session.CloseProject();
    }
    ::chmod(dir.path().c_str(), 0755);
    ASSERT_TRUE(window.openProjectFile(path.toStdString()));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Kalydor-Ro S - ") + path);
    session.CloseProject();
}

TEST(ProjectForms, DescriptionDialogAndRefusedNames) {
    test::qtApplication();
    ProjectData data;
    data.Planner = {"Ing. Ana Pop"};
    ProjectDataDialog form(data);
    form.memo(0)->setPlainText(QStringLiteral("Bloc P+4\nStr. Lungă 5"));
    form.date()->setText(QStringLiteral("2026.12.10."));
    form.accept();
    EXPECT_EQ(data.Building, (StringList{"Bloc P+4", "Str. Lungă 5"}));
    EXPECT_EQ(data.Planner, StringList{"Ing. Ana Pop"});
    EXPECT_EQ(data.Date, "2026.12.10.");

    test::TempDir dir;
    std::ofstream(dir.file("Exists.db")) << "x";
    ProjectFileDialog create(ProjectFileDialog::Purpose::New, QString(), QString(), "");
    EXPECT_EQ(create.refusal(QString::fromStdString(dir.file("Exists"))), "IDS_PROJEKTEXISTERROR");
    EXPECT_EQ(create.refusal(QStringLiteral("/x/Material.DB")),
              "Kalydor32.dbPROHIBITEDPROJEKTNAMES");
    EXPECT_EQ(create.refusal(QStringLiteral("/x/notes.txt")), "IDS_PROJEKTEXTERROR");
    EXPECT_EQ(create.refusal(QString::fromStdString(dir.file("Fresh"))), "");
    ProjectFileDialog copy(ProjectFileDialog::Purpose::SaveAs, QString(), QString(),
                           dir.file("Open.db"));
    EXPECT_EQ(copy.refusal(QString::fromStdString(dir.file("Open.db"))), "IDS_PROJEKTNAMEERROR");
}

TEST(MainWindow, ListWindowsOpenOncePerKind) {
    test::qtApplication();
    registerConstructionItems();
    test::TempDir dir;
    platform::MemorySettingsStore settings;
    Languages& languages = test::shippedLanguages();
    languages.SelectInterfaceLanguage("Român");
    ProgramOptions options(settings, languages);
    ProjectSession session(options, settings);
    // The catalogue the build made in the program directory; a build without it is broken.
    const std::string shipped = std::string(KALYDOR_PROGRAM_DIR) + "/material.db";
    ASSERT_TRUE(std::filesystem::copy_file(shipped, dir.file("material.db")))
        << shipped << " was not made by the build";
    ItemStore materials(dir.path().string(), "material", TableMode::Open, TableKind::Catalogue);
    MainWindow window;
    window.setProgramOptions(&options);
    window.setProjectSession(&session, nullptr);
    EXPECT_FALSE(window.command("materials")->isVisible()); // no material table
    window.setMaterialStore(&materials);
    ASSERT_TRUE(window.command("materials")->isEnabled());
    EXPECT_FALSE(window.command("constructions")->isEnabled()); // no project yet

    window.resize(1000, 650);
    window.show();
    window.command("materials")->trigger();
    window.command("materials")->trigger();
    EXPECT_EQ(window.childArea()->subWindowList().size(), 1);
    ASSERT_NE(window.listWindow(ItemKind::Material), nullptr);
    // The list's items are edited, copied and reported in the window's context, which
    // follows the program options.
    EXPECT_EQ(&window.listWindow(ItemKind::Material)->logic().itemContext(), &window.itemContext());
    EXPECT_EQ(window.itemContext().settings.simpleHumidityCalculation,
              options.SimpleHumidityCalculation);

    ASSERT_TRUE(session.OpenProject(dir.file("Bloc"), true));
    ASSERT_TRUE(window.command("constructions")->isEnabled());
    window.command("constructions")->trigger();
    EXPECT_EQ(window.childArea()->subWindowList().size(), 2);
    window.retranslate();
    test::saveScreenshot(window, "MainWindowWithLists", true);
    // The project's lists close with the project; the materials list stays.
    session.CloseProject();
    EXPECT_EQ(window.childArea()->subWindowList().size(), 1);
    EXPECT_EQ(window.listWindow(ItemKind::Construction), nullptr);
    window.close();
}

// Without a device table the program runs on: the status bar says once why, and the
// maintenance is not offered. With one it is offered only while no project is open.
TEST(MainWindow, DeviceDatabaseCommandFollowsTheTableAndTheProject) {
    test::qtApplication();
    test::TempDir dir;
    platform::MemorySettingsStore settings;
    Languages& languages = test::romanianLanguages();
    ProgramOptions options(settings, languages);
    ProjectSession session(options, settings);
    MainWindow window;
    window.setProgramOptions(&options);
    window.setProjectSession(&session, nullptr);
    const QString notOpen =
        QString::fromStdString(formatText(GetText("IDS_DEVICEDBNOTOPEN"), {"Tabelul lipsește."}));
    ASSERT_TRUE(notOpen.contains(QStringLiteral("Tabelul lipsește.")));
    int said = 0;
    QObject::connect(window.statusBar(), &QStatusBar::messageChanged,
                     [&](const QString& text) { said += text == notOpen ? 1 : 0; });

    window.setDeviceTable(nullptr, "Tabelul lipsește.");
    EXPECT_EQ(window.statusBar()->currentMessage(), notOpen);
    EXPECT_FALSE(window.command("deviceDatabase")->isEnabled());
    window.retranslate();
    ASSERT_TRUE(session.OpenProject(dir.file("Bloc"), true));
    session.CloseProject();
    window.updateCommands();
    EXPECT_EQ(said, 1);
    EXPECT_FALSE(window.command("deviceDatabase")->isEnabled());
    EXPECT_EQ(window.activeDeviceSet(), nullptr);

    window.setDeviceTable(DeviceStore::create(dir.file("Kalydor32.db")));
    EXPECT_TRUE(window.command("deviceDatabase")->isEnabled());
    ASSERT_NE(window.activeDeviceSet(), nullptr);
    EXPECT_TRUE(window.activeDeviceSet()->AllItems);
    ASSERT_TRUE(session.OpenProject(dir.file("Bloc"), false));
    EXPECT_FALSE(window.command("deviceDatabase")->isEnabled());
    session.CloseProject();
    EXPECT_TRUE(window.command("deviceDatabase")->isEnabled());
    EXPECT_EQ(said, 1);
    window.close();
    setTextLookup(nullptr);
}

// The active set is the one of the last run's set file; at exit the settings keep the set
// file in force, or nothing while the set has every item. A file that is not a set file is
// named with its fault, and the set has every item.
TEST(MainWindow, ActiveSetComesFromTheLastSetFileAndIsRememberedAtExit) {
    test::qtApplication();
    test::TempDir dir;
    Languages& languages = test::romanianLanguages();
    const std::string tablePath = dir.file("Kalydor32.db");
    const std::string setFile = dir.file("ales.set");
    {
        const std::unique_ptr<DeviceStore> table = DeviceStore::create(tablePath);
        const RadiatorFamily family = test::sampleFamily();
        const PieceList list = test::samplePieceList();
        test::storeItems(*table, {&family, &list});
        DeviceSet chosen(*table, SetSelection::With);
        chosen.AllItems = false;
        chosen.select(DeviceKind::PieceList, list.Name, true);
        chosen.saveFile(setFile);
    }
    const struct Case {
        const char* what;
        std::optional<std::string> lastSetFile;
        bool allItems;
        std::size_t messages;
        std::string remembered;
    } cases[] = {
        {"no value", std::nullopt, true, 0, ""},
        {"an empty value", "", true, 0, ""},
        {"a set file", setFile, false, 0, setFile},
        {"not a set file", tablePath, true, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::MemorySettingsStore settings;
        if (c.lastSetFile)
            settings.writeText("", "LastSetFile", *c.lastSetFile);
        platform::ScriptedPrompter prompter;
        platform::ScopedPrompter scope(prompter);
        ProgramOptions options(settings, languages);
        MainWindow window;
        window.setProgramOptions(&options);
        window.setDeviceTable(DeviceStore::open(tablePath));
        ASSERT_NE(window.activeDeviceSet(), nullptr);
        EXPECT_EQ(window.activeDeviceSet()->AllItems, c.allItems);
        EXPECT_EQ(window.activeDeviceSet()->isSelected(DeviceKind::RadiatorFamily,
                                                       test::sampleFamily().Name),
                  c.allItems);
        EXPECT_EQ(prompter.messages().size(), c.messages);
        window.close();
        EXPECT_EQ(window.activeDeviceSet(), nullptr);
        EXPECT_EQ(window.deviceTable(), nullptr);
        EXPECT_EQ(settings.readText("", "LastSetFile"), c.remembered);
    }
    setTextLookup(nullptr);
}

// When the maintenance closes, the families read are forgotten and the active set is read
// again from its set file: the table may have changed meanwhile.
TEST(MainWindow, ClosingTheDeviceDatabaseRereadsTheActiveSet) {
    test::qtApplication();
    test::TempDir dir;
    Languages& languages = test::romanianLanguages();
    const std::string tablePath = dir.file("Kalydor32.db");
    const std::string setFile = dir.file("ales.set");
    const RadiatorFamily family = test::sampleFamily();
    {
        const std::unique_ptr<DeviceStore> table = DeviceStore::create(tablePath);
        test::storeItems(*table, {&family});
        DeviceSet chosen(*table, SetSelection::With);
        chosen.AllItems = false;
        chosen.select(DeviceKind::RadiatorFamily, family.Name, true);
        chosen.saveFile(setFile);
    }
    platform::MemorySettingsStore settings;
    settings.writeText("", "LastSetFile", setFile);
    ProgramOptions options(settings, languages);
    ProjectSession session(options, settings);
    MainWindow window;
    window.setProgramOptions(&options);
    window.setProjectSession(&session, nullptr);
    window.setDeviceTable(DeviceStore::open(tablePath));
    ASSERT_NE(window.radiatorFamilies().get(*window.deviceTable(), family.Name), nullptr);
    EXPECT_EQ(window.radiatorFamilies().size(), 1u);
    // Another program adds a family while this one runs.
    {
        const std::unique_ptr<DeviceStore> other = DeviceStore::open(tablePath);
        RadiatorFamily added = test::sampleFamily();
        added.Name = "Adăugată";
        test::storeItems(*other, {&added});
    }
    EXPECT_EQ(window.activeDeviceSet()->hierarchy(DeviceKind::RadiatorFamily).indexOf("Adăugată"),
              -1);

    // The dialog is closed as soon as it waits for the user.
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    window.command("deviceDatabase")->trigger();
    EXPECT_EQ(window.radiatorFamilies().size(), 0u);
    const DeviceSet* set = window.activeDeviceSet();
    ASSERT_NE(set, nullptr);
    EXPECT_GE(set->hierarchy(DeviceKind::RadiatorFamily).indexOf("Adăugată"), 0);
    EXPECT_EQ(set->FileName, setFile);
    EXPECT_FALSE(set->AllItems);
    EXPECT_TRUE(set->isSelected(DeviceKind::RadiatorFamily, family.Name));
    EXPECT_FALSE(set->isSelected(DeviceKind::RadiatorFamily, "Adăugată"));
    window.close();
    setTextLookup(nullptr);
}

} // namespace
} // namespace kalydor::gui

namespace kalydor::gui {
namespace {

// After the winter outside temperature changed, every room is recalculated with it and its
// building's total follows.
TEST(MainWindow, RecalculatesTheProjectWithItsOptions) {
    test::qtApplication();
    test::TempDir dir;
    platform::MemorySettingsStore settings;
    Languages& languages = test::shippedLanguages();
    languages.SelectInterfaceLanguage("English");
    ProgramOptions options(settings, languages);
    ProjectSession session(options, settings);
    installProjectHooks(session, options);
    MainWindow window;
    window.setProgramOptions(&options);
    window.setProjectSession(&session, nullptr);
    ASSERT_TRUE(session.OpenProject(dir.file("Bloc"), true));
    ItemStore& project = *session.store();
    Building building;
    building.Name = "Bloc";
    const std::string id =
        project.AddRecord(RecordType::Building, project.RootId(), "Bloc", building.recordBytes());
    Room room;
    room.Name = "Birou";
    room.BuildingRef = id;
    room.FiltMode = 2;
    room.AirVolume = 30; // 1.2 × (20 − te) × 30 / 3.6 = 10 W per kelvin
    room.AcCalculated = 0;
    project.AddRecord(RecordType::Room, project.GroupOfPath(RecordType::RoomGroup, "P", '\\'),
                      "Birou", room.recordBytes());

    session.options()->Heating.OutSideTemp = -20;
    window.recalculateProject();
    const auto stored = [&](std::int16_t type, const std::string& group, DBItem& item) {
        ASSERT_TRUE(project.FindRecord(type, group, item.Name));
        MemoryStream in(project.currentData());
        const std::int16_t version = readInt16(in);
        ASSERT_TRUE(item.ReadRecord(in, version));
    };
    Room after;
    after.Name = "Birou";
    stored(RecordType::Room, project.GroupOfPath(RecordType::RoomGroup, "P", '\\'), after);
    EXPECT_EQ(after.HeatingPower, 400.0f);
    Building total;
    total.Name = "Bloc";
    stored(RecordType::Building, project.RootId(), total);
    EXPECT_EQ(total.HeatingLoss, 400.0f);
    window.close();
    storeHooks() = StoreHooks{};
}

// The demonstration house as scripts/run starts it: the project given on the command line
// with "--list=rooms" opens with its rooms listed.
TEST(MainWindow, OpensTheDemonstrationHouseWithItsRooms) {
    test::qtApplication();
    registerConstructionItems();
    registerRoomItems({});
    test::TempDir dir;
    const std::string built = std::string(KALYDOR_PROGRAM_DIR) + "/demo/Demo.db";
    ASSERT_TRUE(std::filesystem::copy_file(built, dir.file("Demo.db")))
        << built << " was not made by the build";
    platform::MemorySettingsStore settings;
    Languages& languages = test::romanianLanguages();
    ProgramOptions options(settings, languages);
    ProjectSession session(options, settings);
    installProjectHooks(session, options);
    MainWindow window;
    window.setProgramOptions(&options);
    window.setProjectSession(&session, nullptr);
    window.resize(1100, 700);
    window.show();
    window.openFromCommandLine(
        {QString::fromStdString(dir.file("Demo.db")), QStringLiteral("--list=rooms")});
    ASSERT_TRUE(session.isOpen());
    ItemListWindow* rooms = window.listWindow(ItemKind::Room);
    ASSERT_NE(rooms, nullptr);
    window.retranslate();
    QApplication::processEvents();
    test::saveScreenshot(window, "DemoHouseRooms", true);

    // The buildings list shows the heat-pump check of the house: 62,0 °C at 5 K spread (the
    // bathroom upstairs limits it), once the device table gives the radiators' ratings.
    std::filesystem::copy_file(std::string(KALYDOR_PROGRAM_DIR) + "/Kalydor32.db",
                               dir.file("Kalydor32.db"));
    window.setDeviceTable(DeviceStore::open(dir.file("Kalydor32.db")));
    window.command("buildings")->trigger();
    ItemListWindow* buildings = window.listWindow(ItemKind::Building);
    ASSERT_NE(buildings, nullptr);
    ASSERT_EQ(buildings->logic().rows().size(), 1u);
    const std::vector<std::string>& cells = buildings->logic().rows()[0].texts.subItems;
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[1], "62,0");
    window.close();
    storeHooks() = StoreHooks{};
}

} // namespace
} // namespace kalydor::gui
