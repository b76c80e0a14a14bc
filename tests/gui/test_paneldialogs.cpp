// The construction editors as the engineer uses them: values refused with their message,
// the type change, the layer selection with the thickness dialog, and the known editor.

#include "base/memorystream.h"
#include "constructions/constructioncontext.h"
#include "constructions/registration.h"
#include "gui/itemlistwindow.h"
#include "gui/knownpaneldialog.h"
#include "gui/layeredpaneldialog.h"
#include "gui/layerselectiondialog.h"
#include "gui/paneltypedialog.h"
#include "gui/qtpaneldialogs.h"
#include "gui/qtwindowtranslation.h"
#include "gui/thicknessdialog.h"
#include "gui/vapourdiagramwindow.h"
#include "language/languages.h"
#include "platform/memoryclipboard.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"
#include "shell/programoptions.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "support/designclimate.h"
#include "support/qtapplication.h"
#include "support/qtwidgets.h"
#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <deque>

namespace kalydor::gui {
namespace {

Languages& languages() {
    return test::romanianLanguages();
}

QString text(const char* key) {
    return QString::fromStdString(languages().GetText(key));
}

// Plaster, brick, polystyrene and render in the Romanian design climate.
Panel realWall() {
    Panel wall = test::outsideWall("Perete exterior cărămidă");
    wall.Layers.push_back(test::massLayer("Tencuială exterioară", 1, 1800, 0.93f, 0.84f, 20));
    wall.Layers.push_back(test::massLayer("Polistiren expandat", 10, 20, 0.04f, 1.46f, 60));
    wall.Layers.push_back(test::massLayer("Cărămidă plină", 25, 1800, 0.8f, 0.88f, 7));
    wall.Layers.push_back(test::massLayer("Tencuială interioară", 1.5f, 1700, 0.87f, 0.84f, 10));
    return wall;
}

PanelEditorOptions editorOptions(bool changeAlphas, bool ask) {
    PanelEditorOptions options;
    options.changeAlphas = changeAlphas;
    options.askBeforeChange = ask;
    options.settings.outsideDesignTemperature = -15;
    return options;
}

struct Fixture {
    Fixture() {
        test::qtApplication();
        languages();
    }
    platform::MemorySettingsStore settings;
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter scoped{prompter};
};

TEST(PanelModifyForm, RefusedValueKeepsTheDialogOpen) {
    Fixture f;
    Panel wall = realWall();
    LayeredPanelEditor editor(wall, editorOptions(true, false));
    LayeredPanelDialog form(editor, nullptr, languages(), f.settings, false, nullptr);
    translateWindow(languages(), form);
    form.show();
    test::saveScreenshot(form, "PanelModifyForm");
    VapourDiagramWindow* diagram = form.showDiagram();
    QApplication::processEvents();
    test::saveScreenshot(*diagram, "PanelDiagramForm-temperature", true);
    auto* byDistance = test::child<QCheckBox>(*diagram, "xIsDistance");
    ASSERT_NE(byDistance, nullptr);
    byDistance->setChecked(true);
    EXPECT_EQ(diagram->axis(), DiagramAxis::Distance);
    QApplication::processEvents();
    test::saveScreenshot(*diagram, "PanelDiagramForm-distance", true);

    EXPECT_EQ(form.layerList()->topLevelItemCount(), 4);
    EXPECT_FALSE(form.result("TotalResistance")->text().isEmpty());
    EXPECT_TRUE(form.result("SurfaceTemperature")->isVisible());
    EXPECT_FALSE(form.result("FloorHeatAbsorb")->isVisible());

    // 100 % is refused when the field is left: the status line names the field and what it
    // allows, the field is marked, and the value in use stays 60 %.
    QLineEdit* humidity = form.field(PanelField::InSideRelHum);
    test::typeAndLeave(humidity, QStringLiteral("100"));
    const QString refusal = form.status()->text();
    EXPECT_EQ(refusal,
              QStringLiteral("Umiditatea relativă interioară φi: se acceptă 0 < φi < 100 %"));
    EXPECT_TRUE(humidity->property("refused").toBool());
    EXPECT_EQ(humidity->text(), QStringLiteral("100"));
    EXPECT_EQ(editor.panel().InSideRelHum, 60);
    // OK does not take it either.
    form.accept();
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(static_cast<QDialog&>(form).result(), QDialog::Accepted);
    EXPECT_EQ(form.status()->text(), refusal);
    // Leaving it again puts the value in use back: the field never shows what is not used.
    test::leave(humidity);
    EXPECT_EQ(humidity->text(), QStringLiteral("60"));
    EXPECT_FALSE(humidity->property("refused").toBool());
    // So does Escape, which the field takes (the dialog stays open).
    test::typeAndLeave(humidity, QStringLiteral("abc"));
    EXPECT_TRUE(test::press(humidity, Qt::Key_Escape));
    EXPECT_EQ(humidity->text(), QStringLiteral("60"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(wall.InSideRelHum, 60);

    // Leaving a field with a good value recalculates at once; the field shows what was taken.
    const QString before = form.result("TotalResistance")->text();
    test::typeAndLeave(form.field(PanelField::OutSideAlpha), QStringLiteral("0 W/m²K"));
    EXPECT_EQ(form.field(PanelField::OutSideAlpha)->text(), QStringLiteral("0"));
    EXPECT_NE(form.result("TotalResistance")->text(), before);
    test::typeAndLeave(form.field(PanelField::OutSideTemp), QStringLiteral("-25abc"));
    EXPECT_EQ(form.field(PanelField::OutSideTemp)->text(), QStringLiteral("-25"));
    EXPECT_EQ(editor.panel().OutSideTemp, -25);
    // A value typed but not left yet is taken by OK.
    humidity->setText(QStringLiteral("55,5"));
    form.accept();
    EXPECT_EQ(static_cast<QDialog&>(form).result(), QDialog::Accepted);
    EXPECT_EQ(wall.InSideRelHum, 55.5f);
    EXPECT_EQ(wall.OutSideAlpha, 0);
    EXPECT_TRUE(f.prompter.messages().empty());
}

TEST(PanelModifyForm, TypeChangeCopiesTheCoefficientsWithoutAQuestion) {
    Fixture f;
    Panel wall = realWall();
    wall.OutSideAlpha = 20;
    wall.InSideAlpha = 7;
    LayeredPanelEditor editor(wall, editorOptions(true, false));
    LayeredPanelDialog form(editor, nullptr, languages(), f.settings, false, nullptr);
    translateWindow(languages(), form);
    QComboBox* type = form.typeCombo();
    ASSERT_EQ(type->count(), 9);
    EXPECT_EQ(type->currentIndex(), 0);
    EXPECT_EQ(type->itemText(2), text("IDS_PANELTYPES+2"));
    EXPECT_FALSE(form.field(PanelField::EarthLambda)->isEnabled());

    type->setCurrentIndex(2);
    emit type->activated(2);
    EXPECT_EQ(form.field(PanelField::OutSideAlpha)->text(), QStringLiteral("0"));
    EXPECT_EQ(form.field(PanelField::InSideAlpha)->text(), QStringLiteral("6"));
    EXPECT_TRUE(form.field(PanelField::EarthLambda)->isEnabled());
    EXPECT_TRUE(form.result("FloorHeatAbsorb")->isVisibleTo(&form));
    EXPECT_TRUE(f.prompter.questions().empty());
}

TEST(PanelModifyForm, ConfirmWithoutATypeShowsItsMessage) {
    Fixture f;
    Panel fresh;
    LayeredPanelEditor editor(fresh, editorOptions(true, false));
    LayeredPanelDialog form(editor, nullptr, languages(), f.settings, false, nullptr);
    form.show();
    EXPECT_EQ(form.typeCombo()->currentIndex(), -1);
    form.accept();
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(f.prompter.messages().size(), 1u);
    EXPECT_EQ(f.prompter.messages()[0], languages().GetText("IDS_NOPANELTYPEERR"));
}

TEST(PanelModifyForm, FlagsShowInRedAndTheDiagramFollows) {
    Fixture f;
    Panel wall = realWall();
    Layer air;
    air.Name = "Aer";
    air.Kind = static_cast<std::uint8_t>(MaterialKind::Air);
    air.Thickness = 2;
    air.ThermalRes = 0.17f;
    wall.Layers.push_back(air); // innermost: the dynamic values cannot be computed
    LayeredPanelEditor editor(wall, editorOptions(true, false));
    LayeredPanelDialog form(editor, nullptr, languages(), f.settings, true, nullptr);
    EXPECT_TRUE(form.result("DampFactor")->styleSheet().contains(QStringLiteral("c00000")));
    EXPECT_FALSE(form.result("Mass")->styleSheet().contains(QStringLiteral("c00000")));

    VapourDiagramWindow* diagram = form.showDiagram();
    ASSERT_NE(diagram, nullptr);
    EXPECT_EQ(diagram->axis(), DiagramAxis::Distance);
    EXPECT_EQ(form.showDiagram(), diagram);
    const int series = static_cast<int>(diagram->chart()->series().size());
    EXPECT_GT(series, 0);
    // With equal air temperatures there is no diffusion and nothing to draw.
    test::typeAndLeave(form.field(PanelField::OutSideTemp), QStringLiteral("20"));
    EXPECT_EQ(editor.panel().OutSideTemp, 20);
    EXPECT_LT(diagram->chart()->series().size(), series);
}

// A material table with an ordinary material and one whose kind was never chosen.
struct MaterialTable {
    MaterialTable()
        : store(dir.path().string(), "material", TableMode::Create, TableKind::Catalogue) {
        masonry = store.GroupOfPath(RecordType::MaterialGroup, "Zidărie", '\\');
        add("Cărămidă plină", test::massLayer("", 25, 1800, 0.8f, 0.88f, 7));
        Material undefined;
        add("Material nou", undefined);
    }
    void add(const char* name, const Material& material) {
        store.AddRecord(RecordType::Material, masonry, name);
        MemoryStream record;
        Material copy = material;
        copy.WriteRecord(record, VersionWord::With);
        store.setCurrentData(record.bytes());
    }
    test::TempDir dir;
    ItemStore store;
    std::string masonry;
};

TEST(SelectLayersForm, AddsMaterialsThroughTheThicknessDialog) {
    Fixture f;
    MaterialTable table;
    Panel wall = test::outsideWall("Perete");
    LayeredPanelEditor editor(wall, editorOptions(true, false));
    std::vector<const char*> typed; // what the thickness dialog answers; null cancels
    ThicknessPrompt ask = [&typed](QWidget*, Layer& layer) {
        const char* answer = typed.front();
        typed.erase(typed.begin());
        if (!answer)
            return false;
        setLayerThickness(layer, answer);
        return true;
    };
    LayerSelectionDialog form(editor, &table.store, languages(), f.settings, ask);
    translateWindow(languages(), form);
    form.show();
    EXPECT_EQ(form.outsideIn()->text(), QStringLiteral("Din exterior spre interior"));
    ASSERT_TRUE(form.selectGroup({QStringLiteral("Zidărie")}));
    ASSERT_EQ(form.materialList()->count(), 2);
    test::saveScreenshot(form, "SelectLayersForm");

    // The material whose kind was never chosen: its message, no thickness asked.
    form.materialList()->setCurrentRow(1);
    ASSERT_EQ(form.materialList()->currentItem()->text(), QStringLiteral("Material nou"));
    form.addSelected();
    ASSERT_EQ(f.prompter.messages().size(), 1u);
    EXPECT_EQ(f.prompter.messages()[0], languages().GetText("IDS_UNDEFINEDMATER"));
    EXPECT_EQ(editor.layerCount(), 0);

    // The thickness dialog cancelled: nothing added.
    form.materialList()->setCurrentRow(0);
    typed = {nullptr};
    form.addSelected();
    EXPECT_EQ(editor.layerCount(), 0);
    EXPECT_EQ(form.layerList()->topLevelItemCount(), 0);

    // Confirmed: added with the typed thickness and selected; a double click adds again.
    typed = {"30", "12"};
    form.addSelected();
    ASSERT_EQ(editor.layerCount(), 1);
    EXPECT_EQ(editor.panel().Layers[0].Thickness, 30);
    EXPECT_EQ(editor.panel().Layers[0].Name, "Cărămidă plină");
    emit form.materialList()->itemDoubleClicked(form.materialList()->item(0));
    ASSERT_EQ(editor.layerCount(), 2);
    EXPECT_EQ(form.layerList()->topLevelItemCount(), 2);
    EXPECT_EQ(form.layerList()->currentItem(), form.layerList()->topLevelItem(1));

    // The ordering choice goes straight to the construction.
    form.insideOut()->setChecked(true);
    EXPECT_EQ(editor.panel().Ordering, 1);
    EXPECT_EQ(wall.Layers.size(), 0u);
}

TEST(InitThicknesForm, BadNumberKeepsTheDialogOpen) {
    Fixture f;
    Layer layer = test::massLayer("Vată minerală", 5, 100, 0.04f, 0.84f, 1);
    ThicknessDialog form(layer);
    translateWindow(languages(), form);
    form.show();
    EXPECT_EQ(form.thickness()->text(), QStringLiteral("5"));
    // A word and a layer of no thickness are refused in the dialog's status line, which names
    // the field and what it allows.
    for (const char* typed : {"zece", "0"}) {
        form.thickness()->setText(QString::fromUtf8(typed));
        form.accept();
        EXPECT_TRUE(form.isVisible()) << typed;
        EXPECT_EQ(form.status()->text(), QStringLiteral("Grosime d: se acceptă d > 0 cm")) << typed;
        EXPECT_EQ(layer.Thickness, 5) << typed;
        EXPECT_TRUE(test::press(form.thickness(), Qt::Key_Escape));
    }
    EXPECT_TRUE(f.prompter.messages().empty());
    // A catalogue material without a thickness: OK alone does not make a layer of none.
    Layer open = test::massLayer("Folie", 0, 900, 0.4f, 1.5f, 100000);
    ThicknessDialog openForm(open);
    translateWindow(languages(), openForm);
    openForm.show();
    openForm.accept();
    EXPECT_TRUE(openForm.isVisible());
    EXPECT_EQ(openForm.status()->text(), QStringLiteral("Grosime d: se acceptă d > 0 cm"));
    // A unit typed after the number is welcome.
    form.thickness()->setText(QStringLiteral("12,5 cm"));
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(layer.Thickness, 12.5f);
}

TEST(PanelModifyForm2, PagesFollowTheTypeAndTheGlassRatioIsLimited) {
    Fixture f;
    Panel window;
    window.Name = "Fereastră PVC";
    window.Layered = 1;
    KnownPanelEditor editor(window, editorOptions(true, false));
    KnownPanelDialog form(editor);
    translateWindow(languages(), form);
    form.show();
    EXPECT_FALSE(form.pages()->isVisible());

    QComboBox* type = form.typeCombo();
    const int windowIndex = type->findData(10);
    ASSERT_GE(windowIndex, 0);
    type->setCurrentIndex(windowIndex);
    emit type->activated(windowIndex);
    EXPECT_TRUE(form.pages()->isVisible());
    EXPECT_FALSE(form.pages()->isTabVisible(0));
    EXPECT_TRUE(form.pages()->isTabVisible(1));
    EXPECT_TRUE(form.field(PanelField::GlassRatio)->isVisible());
    test::saveScreenshot(form, "PanelModifyForm2");

    form.field(PanelField::R)->setText(QStringLiteral("0.77"));
    test::typeAndLeave(form.field(PanelField::GlassRatio), QStringLiteral("150"));
    EXPECT_EQ(form.status()->text(),
              QStringLiteral("Proporția suprafeței vitrate: se acceptă 0 ≤ valoare ≤ 100 %"));
    form.accept();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(window.Type, Panel::kUndefinedType);

    test::typeAndLeave(form.field(PanelField::GlassRatio), QStringLiteral("75"));
    EXPECT_TRUE(form.status()->text().isEmpty());
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(window.Type, 10);
    EXPECT_EQ(window.GlassRatio, 75);
    EXPECT_NEAR(window.R, 0.77, 1e-6);

    // A wall shows its page and takes the inner coefficient of its type.
    const int wallIndex = type->findData(0);
    type->setCurrentIndex(wallIndex);
    emit type->activated(wallIndex);
    EXPECT_TRUE(form.pages()->isTabVisible(0));
    EXPECT_FALSE(form.pages()->isTabVisible(1));
    EXPECT_EQ(form.field(PanelField::InSideAlpha)->text(), QStringLiteral("8"));
}

TEST(QtPanelDialogs, NewConstructionChooserTranslated) {
    Fixture f;
    PanelTypeDialog form;
    translateWindow(languages(), form);
    auto* layered = test::child<QRadioButton>(form, "Laminated");
    auto* known = test::child<QRadioButton>(form, "Knowed");
    EXPECT_TRUE(layered->isChecked());
    EXPECT_EQ(layered->text(), QStringLiteral("construită din straturi"));
    form.setKnown(true);
    EXPECT_TRUE(known->isChecked());
    EXPECT_TRUE(form.known());
}

// Plays the part of the engineer in front of nested modal dialogs: each step waits for a
// dialog of its class to be the active modal one, then acts on it. An action that opens a
// further dialog is queued, so that the steps go on inside that dialog's event loop.
class DialogScript {
public:
    using Action = std::function<void(QWidget*)>;
    void then(const char* className, Action action) { m_steps.push_back({className, action}); }
    void start() {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { step(); });
        m_timer.start();
    }
    bool finished() const { return m_steps.empty(); }
    static void later(std::function<void()> call) { QTimer::singleShot(0, std::move(call)); }

private:
    void step() {
        QWidget* active = QApplication::activeModalWidget();
        if (++m_ticks > 1000 || m_steps.empty()) {
            // Stuck or done: nothing may stay open behind the test.
            if (active && !m_steps.empty())
                static_cast<QDialog*>(active)->reject();
            if (m_steps.empty())
                m_timer.stop();
            return;
        }
        if (!active || m_steps.front().first != active->metaObject()->className())
            return;
        const Action action = m_steps.front().second;
        m_steps.pop_front();
        action(active);
    }

    std::deque<std::pair<std::string, Action>> m_steps;
    QTimer m_timer;
    int m_ticks = 0;
};

TEST(QtPanelDialogs, AWallBuiltFromTheConstructionList) {
    Fixture f;
    registerConstructionItems();
    ProgramOptions options(f.settings, languages());
    options.ChangeAlphas = true;
    options.AskBeforeChange = false;
    MaterialTable table;
    table.add("Tencuială decorativă", test::massLayer("", 1, 1800, 0.93f, 0.84f, 20));
    table.add("Polistiren expandat", test::massLayer("", 10, 20, 0.04f, 1.46f, 60));
    table.add("Tencuială interioară", test::massLayer("", 1.5f, 1700, 0.87f, 0.84f, 10));
    QtPanelDialogs dialogs(options, [&table] { return &table.store; });
    ConstructionContext context;
    context.panelDialogs = &dialogs;

    test::TempDir projectDir;
    ItemStore project(projectDir.path().string(), "P.db", TableMode::Create, TableKind::Project);
    const std::string walls = project.GroupOfPath(RecordType::PanelGroup, "Pereți", '\\');
    platform::MemoryClipboard clipboard;
    NamePrompt prompt = [&project](QWidget*, bool, const std::string& parentId, const std::string&,
                                   const std::string& itemData) -> std::optional<std::string> {
        project.AddRecord(RecordType::Panel, parentId, "Perete exterior", itemData);
        return std::string("Perete exterior");
    };
    ItemListWindow list(ItemKind::Construction, project, options, clipboard, prompt);
    list.logic().setItemContext(context);
    list.show();
    ASSERT_TRUE(list.selectGroupById(walls));

    DialogScript script;
    script.then("kalydor::gui::PanelTypeDialog", [](QWidget* w) {
        auto* chooser = static_cast<PanelTypeDialog*>(w);
        chooser->setKnown(false);
        chooser->accept();
    });
    script.then("kalydor::gui::LayeredPanelDialog", [](QWidget* w) {
        auto* editor = static_cast<LayeredPanelDialog*>(w);
        editor->typeCombo()->setCurrentIndex(0);
        emit editor->typeCombo()->activated(0);
        const std::pair<PanelField, const char*> climate[] = {{PanelField::OutSideTemp, "-15"},
                                                              {PanelField::InSideTemp, "20"},
                                                              {PanelField::OutSideRelHum, "85"},
                                                              {PanelField::InSideRelHum, "60"},
                                                              {PanelField::DiffusionDays, "60"}};
        for (const auto& [field, value] : climate) {
            editor->field(field)->setText(QString::fromLatin1(value));
            emit editor->field(field)->editingFinished();
        }
        DialogScript::later([editor] { editor->selectLayers(); });
    });
    // From the outside inwards, each added after the one added before it.
    const std::pair<const char*, const char*> layers[] = {{"Tencuială decorativă", "1"},
                                                          {"Polistiren expandat", "10"},
                                                          {"Cărămidă plină", "25"},
                                                          {"Tencuială interioară", "1,5"}};
    for (const auto& [material, thickness] : layers) {
        script.then("kalydor::gui::LayerSelectionDialog", [material = material](QWidget* w) {
            auto* select = static_cast<LayerSelectionDialog*>(w);
            ASSERT_TRUE(select->selectGroup({QStringLiteral("Zidărie")}));
            const QList<QListWidgetItem*> found =
                select->materialList()->findItems(QString::fromUtf8(material), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            select->materialList()->setCurrentItem(found.front());
            DialogScript::later([select] { select->addSelected(); });
        });
        script.then("kalydor::gui::ThicknessDialog", [thickness = thickness](QWidget* w) {
            auto* dialog = static_cast<ThicknessDialog*>(w);
            dialog->thickness()->setText(QString::fromLatin1(thickness));
            dialog->accept();
        });
    }
    script.then("kalydor::gui::LayerSelectionDialog", [](QWidget* w) {
        test::saveScreenshot(*w, "SelectLayersForm-wall", true);
        static_cast<QDialog*>(w)->accept();
    });
    script.then("kalydor::gui::LayeredPanelDialog", [](QWidget* w) {
        auto* editor = static_cast<LayeredPanelDialog*>(w);
        EXPECT_EQ(editor->layerList()->topLevelItemCount(), 4);
        test::saveScreenshot(*editor, "PanelModifyForm-wall", true);
        editor->accept();
    });
    script.start();
    list.command("createItem")->trigger();
    EXPECT_TRUE(script.finished());

    // The confirmed wall was stored calculated, its row shows it.
    const std::vector<Reference> stored = project.ListRecordsInGroup(RecordType::Panel, walls);
    ASSERT_EQ(stored.size(), 1u);
    bool loaded = false;
    const std::unique_ptr<DBItem> item =
        LoadReferencedItem(project, ItemKind::Construction, stored[0], loaded);
    ASSERT_TRUE(loaded);
    const auto& wall = static_cast<const Panel&>(*item);
    EXPECT_EQ(wall.Type, 0);
    EXPECT_EQ(wall.OutSideAlpha, 24);
    ASSERT_EQ(wall.Layers.size(), 4u);
    EXPECT_EQ(wall.Layers[1].Name, "Polistiren expandat");
    EXPECT_EQ(wall.Layers[3].Thickness, 1.5f);
    // 1/24 + 0.01/0.93 + 0.10/0.04 + 0.25/0.8 + 0.015/0.87 + 1/8
    EXPECT_NEAR(wall.R, 1 / 24.0 + 0.01 / 0.93 + 2.5 + 0.3125 + 0.015 / 0.87 + 0.125, 2e-3);
}

} // namespace
} // namespace kalydor::gui
