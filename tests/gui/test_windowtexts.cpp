// One language at a time: every text a window shows has its translation in both shipped
// language files, and the mnemonics of every menu are unique in both.

#include "constructions/paneleditor.h"
#include "constructions/registration.h"
#include "constructions/usedmaterials.h"
#include "devicedb/deviceset.h"
#include "devicedb/devicestore.h"
#include "gui/addboundariesdialog.h"
#include "gui/airlayerdialog.h"
#include "gui/boundarydialog.h"
#include "gui/buildingdialog.h"
#include "gui/bulkchangedialogs.h"
#include "gui/columnlayoutdialog.h"
#include "gui/devicedatabasedialog.h"
#include "gui/devicesetdialog.h"
#include "gui/infiltrationdialog.h"
#include "gui/itemlistwindow.h"
#include "gui/knownpaneldialog.h"
#include "gui/layeredpaneldialog.h"
#include "gui/layerselectiondialog.h"
#include "gui/mainwindow.h"
#include "gui/materialdialog.h"
#include "gui/materialkinddialog.h"
#include "gui/namedialog.h"
#include "gui/paneltypedialog.h"
#include "gui/printdialog.h"
#include "gui/printpreview.h"
#include "gui/programoptionsdialog.h"
#include "gui/projectdialogs.h"
#include "gui/projectoptionsdialog.h"
#include "gui/qtwindowtranslation.h"
#include "gui/radiatorchangedialogs.h"
#include "gui/radiatordialog.h"
#include "gui/roomdialog.h"
#include "gui/searchreplacewindow.h"
#include "gui/selectiondialog.h"
#include "gui/thicknessdialog.h"
#include "gui/usedmaterialsdialogs.h"
#include "gui/vapourdiagramwindow.h"
#include "gui/ventilationchangedialog.h"
#include "gui/winddialog.h"
#include "language/languages.h"
#include "platform/memoryclipboard.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"
#include "shell/programoptions.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "support/designclimate.h"
#include "support/qtapplication.h"
#include "support/radiatorfamilies.h"
#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>

namespace kalydor::gui {
namespace {

// Labels whose text is data or a message, not a caption of the window.
const std::set<std::string> kDataLabels = {
    "StatusLabel",         "StatusLine",
    "MaterialName",        "ReadOnlyLabel",
    "LogoPreview",         "FloorClassValue",
    "ListFontDescription", "ReportFontDescription",
    "ColumnPreview",       "SurfaceTemperatureCaption",
};

// A unit written with a word ("days") rather than symbols ("m²K/W", "kJ/kgK"): three
// lower-case letters in a row.
bool isWordy(const QString& text) {
    int run = 0;
    for (const QChar c : text) {
        run = c.isLower() ? run + 1 : 0;
        if (run >= 3)
            return true;
    }
    return false;
}

bool hasLetters(const QString& text) {
    for (const QChar c : text) {
        if (c.isLetter())
            return true;
    }
    return false;
}

const LanguageForm* formOf(const Language& language, const std::string& name) {
    for (const LanguageForm& form : language.forms) {
        if (form.name == name)
            return &form;
    }
    return nullptr;
}

// The property values a language gives a control of a window.
std::vector<std::string> values(const LanguageForm* form, const std::string& item,
                                const std::string& property) {
    std::vector<std::string> found;
    if (!form)
        return found;
    for (const LanguageFormItem& entry : form->items) {
        if (entry.name != item)
            continue;
        for (std::size_t i = 0; i < entry.propertyIds.size(); ++i) {
            if (entry.propertyIds[i] == property)
                found.push_back(entry.values[i]);
        }
    }
    return found;
}

// The texts of a window that have no translation in a language: named captions without an
// entry, option buttons their group does not list, unnamed captions (a language file cannot
// reach them).
std::vector<std::string> untranslated(QWidget& window, const Language& language) {
    const std::string windowName = window.objectName().toStdString();
    const LanguageForm* form = formOf(language, windowName);
    std::vector<std::string> missing;
    if (!form)
        missing.push_back("window " + windowName);
    const auto need = [&](const QObject* object, const char* property = "Caption") {
        const std::string name = object->objectName().toStdString();
        if (values(form, name, property).empty())
            missing.push_back(name.empty() ? std::string("(unnamed)") : name);
    };
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const std::string name = widget->objectName().toStdString();
        if (name.starts_with("qt_")) // the toolkit's own parts (scroll areas, tab bars)
            continue;
        if (auto* radio = qobject_cast<QRadioButton*>(widget); radio && name.empty()) {
            // An entry of a group of options: the group lists its entries.
            auto* group = qobject_cast<QGroupBox*>(radio->parentWidget());
            const int index =
                group ? static_cast<int>(group->findChildren<QRadioButton*>().indexOf(radio)) : -1;
            if (!group ||
                index >=
                    static_cast<int>(
                        values(form, group->objectName().toStdString(), "Items.Strings").size()))
                missing.push_back("option " + radio->text().toStdString());
            continue;
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (hasLetters(button->text()) && !widget->inherits("QToolButton"))
                need(button);
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            if (hasLetters(group->title()))
                need(group);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            // Unnamed labels and units are symbols, the same in every language; a unit
            // written as a word is not.
            const bool symbol = name.empty() || (name.ends_with("Unit") && !isWordy(label->text()));
            if (!symbol && hasLetters(label->text()) && !kDataLabels.count(name) &&
                !name.ends_with("Value"))
                need(label);
        } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i)
                need(tabs->widget(i));
        }
    }
    for (QAction* action : window.findChildren<QAction*>()) {
        const std::string name = action->objectName().toStdString();
        if (action->isSeparator() || action->text().isEmpty() || name.starts_with("recent") ||
            name.starts_with("qt_") || (name.empty() && action->menu()))
            continue;
        need(action);
    }
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        if (!menu->title().isEmpty())
            need(menu);
    }
    return missing;
}

struct Fixture {
    Fixture() {
        test::qtApplication();
        registerConstructionItems();
        test::romanianLanguages();
        materials = std::make_unique<ItemStore>(dir.path().string(), "material", TableMode::Create,
                                                TableKind::Catalogue);
        devices = DeviceStore::create(dir.file("Kalydor32.db"));
    }
    test::TempDir dir;
    platform::MemorySettingsStore settings;
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter scoped{prompter};
    platform::MemoryClipboard clipboard;
    std::unique_ptr<ItemStore> materials;
    std::unique_ptr<DeviceStore> devices;
};

// Every window of the construction half, made as the program makes it.
std::map<std::string, std::function<std::unique_ptr<QWidget>()>> windows(Fixture& f) {
    static Panel wall;
    static Panel known;
    static Material material;
    static Material air;
    static Layer layer;
    static ProjectData data;
    static ProjectOptions projektOptions;
    static ColumnLayout columns;
    wall = test::outsideWall("Perete");
    wall.Layers.push_back(test::massLayer("Cărămidă", 25, 1800, 0.8f, 0.88f, 7));
    known.Layered = 1;
    known.Type = 2;
    material.Kind = 0;
    air.Kind = static_cast<std::uint8_t>(MaterialKind::Air);
    layer = test::massLayer("Cărămidă", 25, 1800, 0.8f, 0.88f, 7);
    Languages& languages = test::shippedLanguages();
    static std::unique_ptr<LayeredPanelEditor> layered;
    static std::unique_ptr<KnownPanelEditor> knownEditor;
    static std::unique_ptr<MaterialEditor> materialEditor;
    static std::unique_ptr<AirMaterialEditor> airEditor;
    static std::unique_ptr<ProgramOptions> programOptions;
    layered = std::make_unique<LayeredPanelEditor>(wall, PanelEditorOptions{});
    knownEditor = std::make_unique<KnownPanelEditor>(known, PanelEditorOptions{});
    materialEditor = std::make_unique<MaterialEditor>(material, nullptr);
    airEditor = std::make_unique<AirMaterialEditor>(air, nullptr);
    programOptions = std::make_unique<ProgramOptions>(f.settings, languages);
    columns = loadColumnLayout("MaterialItemsTitle", languages, nullptr);
    ItemStore* materials = f.materials.get();
    static testing::TestFamilies families;
    static Radiator radiator;
    radiator.Family = "Panel Test";
    radiator.TypeCode = "P22-600-800";
    radiator.setForwardTemperature(90);
    radiator.setBackwardTemperature(70);
    static std::unique_ptr<RadiatorEditor> radiatorEditor;
    radiatorEditor = std::make_unique<RadiatorEditor>(radiator, 20, families,
                                                      std::vector<std::string>{"Panel Test"});
    static std::unique_ptr<ItemStore> project;
    project = std::make_unique<ItemStore>(f.dir.path().string(), "project", TableMode::Create,
                                          TableKind::Project);
    static std::unique_ptr<BuildingEditor> buildingEditor;
    buildingEditor = std::make_unique<BuildingEditor>(Building{}, *project, RoomSettings{});
    static std::unique_ptr<RoomEditor> roomEditor;
    static BuildingsTable noBuildings;
    static NewBoundaryDefaults boundaryDefaults;
    roomEditor = std::make_unique<RoomEditor>(Room{}, noBuildings, RoomSettings{}, nullptr,
                                              std::vector<std::string>{}, true);
    static std::array<std::unique_ptr<BoundaryEditor>, 3> boundaryEditors;
    for (const BoundaryDialogKind dialog :
         {BoundaryDialogKind::Full, BoundaryDialogKind::Wall, BoundaryDialogKind::Bridge}) {
        Boundary boundary;
        boundary.Type = dialog == BoundaryDialogKind::Bridge ? 16 : 10;
        boundaryEditors[static_cast<std::size_t>(dialog)] =
            std::make_unique<BoundaryEditor>(boundary, dialog, 0);
    }
    static std::unique_ptr<DeviceSet> deviceSet;
    deviceSet = std::make_unique<DeviceSet>(*f.devices, SetSelection::With);
    return {
        {"MainForm", [] { return std::make_unique<MainWindow>(); }},
        {"ProgramOptionsForm",
         [] { return std::make_unique<ProgramOptionsDialog>(*programOptions); }},
        {"ProjektOptionsForm",
         [materials, &languages] {
             return std::make_unique<ProjectOptionsDialog>(projektOptions, *materials, languages);
         }},
        {"ProjektDataForm", [] { return std::make_unique<ProjectDataDialog>(data); }},
        {"PanelTypeForm", [] { return std::make_unique<PanelTypeDialog>(); }},
        {"PanelModifyForm",
         [&languages, &f] {
             return std::make_unique<LayeredPanelDialog>(*layered, nullptr, languages, f.settings,
                                                         false, nullptr);
         }},
        {"PanelModifyForm2", [] { return std::make_unique<KnownPanelDialog>(*knownEditor); }},
        {"RadiatorModifyForm", [] { return std::make_unique<RadiatorDialog>(*radiatorEditor); }},
        {"BuildingModifyForm", [] { return std::make_unique<BuildingDialog>(*buildingEditor); }},
        {"RoomModifyForm",
         [] {
             return std::make_unique<RoomDialog>(*roomEditor, *project, *programOptions,
                                                 boundaryDefaults);
         }},
        {"BoundaryModifyForm",
         [&languages, &f] {
             return std::make_unique<BoundaryDialog>(*boundaryEditors[0], &languages, &f.settings);
         }},
        {"WallModifyForm",
         [] { return std::make_unique<BoundaryDialog>(*boundaryEditors[1], nullptr, nullptr); }},
        {"BridgeModifyForm",
         [] { return std::make_unique<BoundaryDialog>(*boundaryEditors[2], nullptr, nullptr); }},
        {"AddBoundaryForm",
         [] {
             return std::make_unique<AddBoundariesDialog>(*project, boundaryDefaults, 0,
                                                          [](const Panel&) {});
         }},
        {"InfiltrationForm", [] { return std::make_unique<InfiltrationDialog>(); }},
        {"ChangePanelsForm",
         [&languages] {
             return std::make_unique<ConstructionChangeDialog>(*project, languages, nullptr);
         }},
        {"ChangePanelListForm",
         [&languages] {
             return std::make_unique<MatchListDialog>(std::vector<BoundaryMatch>{}, languages,
                                                      nullptr);
         }},
        {"ChangeTemperaturesForm", [] { return std::make_unique<TemperatureChangeDialog>(); }},
        {"MoveRoomsForm", [] { return std::make_unique<MoveRoomsDialog>(*project, noBuildings); }},
        {"RotateRoomsForm", [] { return std::make_unique<RotateRoomsDialog>(); }},
        {"SelectRadiatorTypeForm",
         [] {
             return std::make_unique<RadiatorTypeDialog>(
                 std::vector<std::pair<std::string, std::string>>{{"Oțel\\Panouri", "Panel Test"}},
                 families);
         }},
        {"ChangeRadiatorForm",
         [&languages] {
             return std::make_unique<RadiatorChangeDialog>(
                 [] { return std::optional<std::pair<std::string, std::string>>(); }, languages);
         }},
        {"ChangeRadiatorListForm",
         [] {
             return std::make_unique<RadiatorChangeListDialog>(std::vector<RadiatorCandidate>{});
         }},
        {"WindForm", [] { return std::make_unique<WindDialog>(); }},
        {"PrintingForm",
         [] {
             static PrintForm form;
             return std::make_unique<PrintDialog>(ItemKind::Material, form);
         }},
        {"PreviewForm",
         [] {
             static PrintJob job({}, PrintOptions{}, PrintChoices{}, std::string());
             return std::make_unique<PreviewDialog>(job, nullptr);
         }},
        {"UsedMaterialsPrintingForm",
         [] {
             static UsedMaterials bill;
             return std::make_unique<UsedMaterialsPrintDialog>(bill);
         }},
        {"UsedMaterialsExportForm",
         [] {
             static UsedMaterials bill;
             return std::make_unique<UsedMaterialsExportDialog>(bill);
         }},
        {"ChangeFiltrationForm",
         [&languages] { return std::make_unique<VentilationChangeDialog>(&languages, nullptr); }},
        {"InitThicknesForm", [] { return std::make_unique<ThicknessDialog>(layer); }},
        {"SelectLayersForm",
         [&languages, &f, materials] {
             return std::make_unique<LayerSelectionDialog>(*layered, materials, languages,
                                                           f.settings, nullptr);
         }},
        {"PanelDiagramForm",
         [&languages] {
             return std::make_unique<VapourDiagramWindow>(wall, languages,
                                                          DiagramAxis::Temperature);
         }},
        {"MaterialTypeForm", [] { return std::make_unique<MaterialKindDialog>(); }},
        {"MaterialModifyForm", [] { return std::make_unique<MaterialDialog>(*materialEditor); }},
        {"AirMaterialModifyForm", [] { return std::make_unique<AirLayerDialog>(*airEditor); }},
        {"SearchReplaceForm",
         [&languages] { return std::make_unique<SearchReplaceWindow>(languages, nullptr); }},
        {"NameForm",
         [&languages] { return std::make_unique<NameDialog>(languages, NameRequest{}); }},
        {"SelectionForm",
         [&languages, materials] {
             return std::make_unique<SelectionDialog>(*materials, ItemKind::Material, languages);
         }},
        {"ChangeHeaderForm",
         [&languages, &f] {
             return std::make_unique<ColumnLayoutDialog>(columns, languages, f.settings);
         }},
        {"DeviceDatabaseForm",
         [&languages, &f] {
             return std::make_unique<DeviceDatabaseDialog>(*f.devices, f.settings, languages);
         }},
        {"DeviceSetForm",
         [&languages] { return std::make_unique<DeviceSetDialog>(*deviceSet, languages); }},
        {"MaterialListForm",
         [materials, &f] {
             return std::make_unique<ItemListWindow>(ItemKind::Material, *materials,
                                                     *programOptions, f.clipboard, NamePrompt{});
         }},
    };
}

TEST(WindowTexts, EveryTextOfEveryWindowHasItsTranslationInBothLanguages) {
    Fixture f;
    const Languages& languages = test::shippedLanguages();
    for (const auto& [name, make] : windows(f)) {
        SCOPED_TRACE(name);
        const std::unique_ptr<QWidget> window = make();
        EXPECT_EQ(window->objectName().toStdString(), name);
        for (const Language& language : languages.languages()) {
            if (!language.userInterface)
                continue;
            for (const std::string& missing : untranslated(*window, language))
                ADD_FAILURE() << language.id << " has no text for " << name << " / " << missing;
        }
    }
    test::romanianLanguages();
}

// A mnemonic letter of a caption ("&Fișier" is f), or none.
QChar mnemonic(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (caption[i + 1] == QLatin1Char('&')) {
                ++i;
                continue;
            }
            return caption[i + 1].toLower();
        }
    }
    return {};
}

// Alt and a letter must reach one command of a menu: two commands sharing a letter (the
// rooms and the constructions once did, "&Elemente" and "Înc&eperi") make one unreachable.
TEST(WindowTexts, MnemonicsAreUniquePerMenuInBothLanguages) {
    Fixture f;
    Languages& languages = test::shippedLanguages();
    for (const char* id : {"Român", "English"}) {
        SCOPED_TRACE(id);
        languages.SelectInterfaceLanguage(id);
        MainWindow window;
        translateWindow(languages, window);
        std::map<QChar, QString> bar;
        for (QAction* menu : window.menuBar()->actions()) {
            const QChar letter = mnemonic(menu->text());
            ASSERT_FALSE(letter.isNull()) << menu->text().toStdString();
            EXPECT_TRUE(bar.emplace(letter, menu->text()).second)
                << menu->text().toStdString() << " and " << bar[letter].toStdString();
        }
        for (QMenu* menu : window.findChildren<QMenu*>()) {
            std::map<QChar, QString> seen;
            for (QAction* action : menu->actions()) {
                const QChar letter = mnemonic(action->text());
                if (letter.isNull() || action->objectName().startsWith(QLatin1String("recent")))
                    continue;
                EXPECT_TRUE(seen.emplace(letter, action->text()).second)
                    << menu->objectName().toStdString() << ": " << action->text().toStdString()
                    << " and " << seen[letter].toStdString();
            }
        }
        if (std::string(id) == "Român") {
            EXPECT_EQ(window.command("rooms")->text(), QStringLiteral("Î&ncăperi"));
        }
    }
    test::romanianLanguages();
}

} // namespace
} // namespace kalydor::gui
