// What a new user meets in the construction half, window by window: figures never cut,
// results that read right, one language at a time, and the small things (Tab, Cancel, the
// word that a change was stored).

#include "base/memorystream.h"
#include "constructions/material.h"
#include "constructions/paneleditor.h"
#include "constructions/registration.h"
#include "gui/airlayerdialog.h"
#include "gui/headerdelegate.h"
#include "gui/itemlistwindow.h"
#include "gui/layeredpaneldialog.h"
#include "gui/mainwindow.h"
#include "gui/materialdialog.h"
#include "gui/programoptionsdialog.h"
#include "gui/projectdialogs.h"
#include "gui/qttoolkitlanguage.h"
#include "gui/qtwindowtranslation.h"
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

#include <QAbstractAxis>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>
#include <QTreeWidget>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace kalydor::gui {
namespace {

Languages& languages() {
    return test::romanianLanguages();
}

struct Fixture {
    Fixture() {
        test::qtApplication();
        registerConstructionItems();
        languages();
    }
    ~Fixture() { languages(); }
    test::TempDir dir;
    platform::MemorySettingsStore settings;
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter scoped{prompter};
    platform::MemoryClipboard clipboard;
};

void addMaterial(ItemStore& store, const std::string& group, Material m) {
    store.AddRecord(RecordType::Material, group, m.Name);
    MemoryStream record;
    m.WriteRecord(record, VersionWord::With);
    store.setCurrentData(record.bytes());
}

// The cell texts of a list column do not fit its width.
bool cut(QTreeWidget* list, int column) {
    const QFontMetrics metrics(list->font());
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QString text = list->topLevelItem(row)->text(column);
        // The style draws a cell's text within a margin of a few pixels on each side.
        if (metrics.horizontalAdvance(text) + 8 > list->header()->sectionSize(column))
            return true;
    }
    return false;
}

// μ 100000 showed as "1000…", an air layer's name lost its flow direction: a list fits its
// columns to their content, numbers whatever the user set, and a cut text has a tooltip.
TEST(NoFigureIsCut, ListColumnsFitTheirContent) {
    Fixture f;
    ProgramOptions options(f.settings, languages());
    ItemStore store(f.dir.path().string(), "material", TableMode::Create, TableKind::Catalogue);
    const std::string group = store.GroupOfPath(RecordType::MaterialGroup, "Folii", '\\');
    Material foil;
    foil.Name = "Folie barieră vapori PE 0,2 mm";
    foil.Kind = static_cast<std::uint8_t>(MaterialKind::Thick);
    foil.Thickness = 0.02f;
    foil.ThermalCond = 0.4f;
    foil.SteamDiffResNum = 100000;
    addMaterial(store, group, foil);
    Material airLayer;
    airLayer.Name = "Aer 2 cm, flux termic orizontal";
    airLayer.Kind = static_cast<std::uint8_t>(MaterialKind::Air);
    airLayer.Thickness = 2;
    airLayer.ThermalRes = 0.17f;
    addMaterial(store, group, airLayer);

    ItemListWindow window(ItemKind::Material, store, options, f.clipboard, NamePrompt{});
    window.resize(1100, 400);
    window.show();
    ASSERT_TRUE(window.selectGroupById(group));
    QTreeWidget* list = window.itemList();
    test::saveScreenshot(window, "NoFigureIsCut-materials", true);
    // Every number column shows its widest number whole.
    const ColumnLayout& layout = window.logic().columns();
    auto* header = static_cast<ColumnHeaderView*>(list->header());
    int muColumn = -1;
    for (int column = 0; column < list->columnCount(); ++column) {
        const ColumnFormat* format = header->sectionColumn(column);
        ASSERT_NE(format, nullptr);
        if (format->ID == 10)
            muColumn = column;
        if (format->ValueType != ColumnType::Text) {
            EXPECT_FALSE(cut(list, column)) << "column id " << format->ID;
        }
    }
    ASSERT_GE(muColumn, 0);
    ASSERT_TRUE(window.selectItem(foil.Name));
    EXPECT_TRUE(list->currentItem()->text(muColumn).startsWith(QStringLiteral("100000")));
    // The names fit, within the largest width a text column takes by itself.
    EXPECT_GE(
        header->sectionSize(0),
        std::min(ColumnHeaderView::kMaxFittedWidth,
                 QFontMetrics(list->font()).horizontalAdvance(QString::fromStdString(foil.Name))));
    EXPECT_LE(header->sectionSize(0), ColumnHeaderView::kMaxFittedWidth);
    EXPECT_FALSE(layout.UserSettings);

    // A width the user drags stays, over a change of group; a number column still widens.
    header->resizeSection(0, 60);
    header->resizeSection(muColumn, 10);
    window.reloadList();
    EXPECT_EQ(header->sectionSize(0), 60);
    EXPECT_FALSE(cut(list, muColumn));
    // The name cut by the user's width shows whole in a tooltip.
    auto* delegate = qobject_cast<FullTextTipDelegate*>(list->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    ASSERT_TRUE(window.selectItem(foil.Name));
    const QModelIndex cell = list->currentIndex().siblingAtColumn(0);
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualRect(cell);
    QHelpEvent help(QEvent::ToolTip, option.rect.center(), list->mapToGlobal(option.rect.center()));
    EXPECT_TRUE(delegate->helpEvent(&help, list, option, cell));
    EXPECT_EQ(QToolTip::text().toStdString(), foil.Name);
}

// θsi's caption named the design temperature only after the first recalculation; b showed its
// class between the number and the unit; a needed resistance that does not apply showed 0.
TEST(ResultsReadRight, CaptionsUnitsDashesAndReasons) {
    Fixture f;
    Panel wall = test::outsideWall("Perete");
    wall.Layers.push_back(test::massLayer("Cărămidă", 25, 1800, 0.8f, 0.88f, 7));
    Layer air;
    air.Name = "Aer";
    air.Kind = static_cast<std::uint8_t>(MaterialKind::Air);
    air.Thickness = 2;
    air.ThermalRes = 0.17f;
    wall.Layers.push_back(air); // an air layer on the inner side: no attenuation
    PanelEditorOptions options;
    options.changeAlphas = false;
    options.settings.outsideDesignTemperature = -15;
    LayeredPanelEditor editor(wall, options);
    LayeredPanelDialog form(editor, nullptr, languages(), f.settings, false, nullptr);
    translateWindow(languages(), form);
    form.show();
    EXPECT_TRUE(form.resultCaption("SurfaceTemperature")->text().contains(QStringLiteral("-15")))
        << form.resultCaption("SurfaceTemperature")->text().toStdString();
    EXPECT_EQ(form.result("NeededResistance")->text(), QStringLiteral("–"));
    // A value in red says why.
    EXPECT_EQ(form.result("DampFactor")->toolTip().toStdString(),
              languages().GetText("IDS_PANELMESSAGES+4"));
    EXPECT_TRUE(form.result("TotalResistance")->toolTip().isEmpty());

    QComboBox* type = form.typeCombo();
    type->setCurrentIndex(type->findData(2));
    emit type->activated(type->findData(2));
    const QString b = form.result("FloorHeatAbsorb")->text();
    EXPECT_NO_THROW(ParseNumber(b.toStdString()));
    auto* floorClass = form.findChild<QLabel*>(QStringLiteral("FloorClassValue"));
    ASSERT_NE(floorClass, nullptr);
    EXPECT_FALSE(floorClass->text().isEmpty());
    EXPECT_FALSE(b.contains(floorClass->text()));
    QApplication::processEvents();
    // The class is shown whole beside the unit.
    EXPECT_GE(floorClass->width(), floorClass->sizeHint().width());
    test::saveScreenshot(form, "ResultsReadRight-floor");
}

// A step of 1, 2 or 5 times a power of ten.
bool round(double step) {
    const double decade = std::pow(10.0, std::floor(std::log10(step)));
    const double factor = step / decade;
    for (const double nice : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (std::fabs(factor - nice) < 1e-9)
            return true;
    }
    return false;
}

// The air-layer chart showed 0.044 and 8.3 on its axes.
TEST(ResultsReadRight, ChartAxesTickOnRoundNumbers) {
    Fixture f;
    Material air;
    air.Name = "Aer";
    air.Kind = static_cast<std::uint8_t>(MaterialKind::Air);
    air.Thickness = 3;
    air.Diagram[0] = {0.5f, 0.11f};
    air.Diagram[1] = {2, 0.16f};
    air.Diagram[2] = {7.5f, 0.18f};
    AirMaterialEditor editor(air, nullptr);
    AirLayerDialog form(editor);
    translateWindow(languages(), form);
    const QList<QAbstractAxis*> axes = form.findChild<QChartView*>()->chart()->axes();
    ASSERT_EQ(axes.size(), 2);
    for (QAbstractAxis* axis : axes) {
        auto* value = static_cast<QValueAxis*>(axis);
        const double step = (value->max() - value->min()) / (value->tickCount() - 1);
        EXPECT_TRUE(round(step)) << value->min() << " … " << value->max();
        EXPECT_TRUE(round(value->max()) || value->max() / step == std::floor(value->max() / step))
            << value->max();
    }
}

// The legend of the diagram picture on the clipboard was cut off.
TEST(ResultsReadRight, DiagramPictureHoldsItsWholeLegend) {
    Fixture f;
    Panel wall = test::outsideWall("Perete");
    wall.Layers.push_back(test::massLayer("Cărămidă", 25, 1800, 0.8f, 0.88f, 7));
    wall.Calculate({});
    std::unique_ptr<QChart> chart(panelDiagramChart(wall, DiagramAxis::Distance, languages()));
    ASSERT_TRUE(chart->legend()->isVisible());
    const QSizeF laidOut = legibleDiagramSize(*chart, QSizeF(560, 360));
    EXPECT_GE(laidOut.width(), chart->legend()->effectiveSizeHint(Qt::PreferredSize).width());
    EXPECT_NEAR(laidOut.width() / laidOut.height(), 560.0 / 360.0, 1e-6);
}

// Under the Romanian interface the standard buttons and the file dialogs were English, and
// the file dialog of a new project offered "Open".
TEST(OneLanguage, StandardButtonsAndFileDialogsSpeakTheInterfaceLanguage) {
    Fixture f;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Kalydor-Ro S"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    translateStandardButtons(box);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("Da"));
    EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("Nu"));

    const struct {
        ProjectFileDialog::Purpose purpose;
        const char* accept;
    } purposes[] = {{ProjectFileDialog::Purpose::New, "&Creează"},
                    {ProjectFileDialog::Purpose::Open, "&Deschide"},
                    {ProjectFileDialog::Purpose::Delete, "Șt&erge"},
                    {ProjectFileDialog::Purpose::SaveAs, "&Salvează"}};
    for (const auto& p : purposes) {
        ProjectFileDialog dialog(p.purpose, QStringLiteral("Proiect"),
                                 QStringLiteral("Proiecte (*.db)|*.db"), {});
        EXPECT_EQ(dialog.labelText(QFileDialog::Accept), QString::fromUtf8(p.accept));
        EXPECT_EQ(dialog.labelText(QFileDialog::FileName), QStringLiteral("Nume fișier:"));
        EXPECT_EQ(dialog.labelText(QFileDialog::Reject), QStringLiteral("Renunță"));
    }
}

// After a switch to English the list headers and the search window stayed Romanian, About
// was English under Romanian, and the manual was English only.
TEST(OneLanguage, ASwitchRetranslatesTheOpenWindows) {
    Fixture f;
    Languages& shipped = languages();
    ProgramOptions options(f.settings, shipped);
    ItemStore store(f.dir.path().string(), "material", TableMode::Create, TableKind::Catalogue);
    const std::string group = store.GroupOfPath(RecordType::MaterialGroup, "Zidărie", '\\');
    Material brick;
    brick.Name = "Cărămidă";
    brick.Kind = 0;
    brick.ThermalCond = 0.8f;
    addMaterial(store, group, brick);

    MainWindow window;
    window.setProgramOptions(&options);
    window.setMaterialStore(&store);
    window.retranslate();
    EXPECT_TRUE(window.aboutText().contains(QStringLiteral("Versiunea")));
    window.openList(ItemKind::Material);
    ItemListWindow* list = window.listWindow(ItemKind::Material);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->selectGroupById(group));
    const auto caption = [list](int id) {
        return list->logic().columns().FindColumn(id)->Caption(0);
    };
    const auto lambdaText = [list] {
        auto* header = static_cast<ColumnHeaderView*>(list->itemList()->header());
        for (int column = 0; column < list->itemList()->columnCount(); ++column) {
            if (header->sectionColumn(column)->ID == 2)
                return list->itemList()->topLevelItem(0)->text(column);
        }
        return QString();
    };
    const std::string romanianName = caption(0);
    EXPECT_TRUE(lambdaText().contains(QLatin1Char(','))) << lambdaText().toStdString();
    window.showSearchReplace();
    auto* search = window.findChild<QDialog*>(QStringLiteral("SearchReplaceForm"));
    ASSERT_NE(search, nullptr);
    const QString romanianSearch = search->windowTitle();

    shipped.SelectInterfaceLanguage("English");
    window.retranslate();
    EXPECT_NE(caption(0), romanianName);
    EXPECT_FALSE(lambdaText().contains(QLatin1Char(','))) << lambdaText().toStdString();
    EXPECT_NE(search->windowTitle(), romanianSearch);
    EXPECT_TRUE(window.aboutText().contains(QStringLiteral("Version")));

    // Help opens the manual of the interface language; English when there is no other.
    test::TempDir manuals;
    for (const char* name : {"kalydor.html", "kalydor.ro.html"})
        std::ofstream(manuals.file(name)) << "<html></html>";
    const QString folder = QString::fromStdString(manuals.path().string());
    EXPECT_TRUE(
        manualPath(folder, QStringLiteral("kalydor")).endsWith(QStringLiteral("/kalydor.html")));
    shipped.SelectInterfaceLanguage("Român");
    EXPECT_TRUE(
        manualPath(folder, QStringLiteral("kalydor")).endsWith(QStringLiteral("/kalydor.ro.html")));
    window.retranslate();
}

// The English option tabs ran past the dialog's edge.
TEST(OneLanguage, EveryOptionTabIsReadableInBothLanguages) {
    Fixture f;
    Languages& shipped = languages();
    for (const char* id : {"English", "Român"}) {
        f.settings.writeText(kProgramOptionsKey, "LanguageID", id);
        ProgramOptions options(f.settings, shipped);
        ASSERT_EQ(shipped.InterfaceLanguageId(), id);
        ProgramOptionsDialog form(options);
        form.show();
        auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        ASSERT_NE(pages, nullptr);
        const QTabBar* tabs = pages->tabBar();
        const QRect last = tabs->tabRect(tabs->count() - 1);
        EXPECT_LE(last.right(), tabs->width()) << id;
        for (int i = 0; i < tabs->count(); ++i)
            EXPECT_GE(tabs->tabRect(i).width(),
                      tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)))
                << id << " " << tabs->tabText(i).toStdString();
        test::saveScreenshot(form, (std::string("ProgramOptionsForm-tabs-") + id).c_str());
    }
    languages();
}

// Tab typed a tab character into the project data; it moves to the next field.
TEST(SmallThings, TabInTheProjectDataMovesToTheNextField) {
    Fixture f;
    ProjectData data;
    ProjectDataDialog form(data);
    for (QPlainTextEdit* memo : form.findChildren<QPlainTextEdit*>())
        EXPECT_TRUE(memo->tabChangesFocus()) << memo->objectName().toStdString();
}

// Cancel in an editor with changes threw them away without a word.
TEST(SmallThings, CancelAsksBeforeChangesAreThrownAway) {
    Fixture f;
    Panel wall = test::outsideWall("Perete");
    wall.Layers.push_back(test::massLayer("Cărămidă", 25, 1800, 0.8f, 0.88f, 7));
    LayeredPanelEditor editor(wall, PanelEditorOptions{});
    LayeredPanelDialog form(editor, nullptr, languages(), f.settings, false, nullptr);
    form.show();
    // Nothing changed: Cancel closes without a question.
    form.reject();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(f.prompter.questions().empty());

    form.show();
    test::typeAndLeave(form.field(PanelField::InSideTemp), QStringLiteral("22"));
    f.prompter.scriptYesNo(false); // keep the changes
    form.reject();
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(f.prompter.questions().size(), 1u);
    EXPECT_EQ(f.prompter.questions()[0].text, languages().GetText("IDS_DISCARDCHANGES"));
    EXPECT_EQ(f.prompter.questions()[0].defaultButton, platform::DefaultButton::No);
    f.prompter.scriptYesNo(true);
    form.reject();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(wall.InSideTemp, 20);

    // The same in the material editor: a typed value not left yet counts.
    Material material;
    material.Name = "Cărămidă";
    material.Kind = 0;
    material.ThermalCond = 0.8f;
    MaterialEditor materialEditor(material, nullptr);
    MaterialDialog materialForm(materialEditor);
    materialForm.show();
    materialForm.field(MaterialField::Density)->setText(QStringLiteral("1800"));
    f.prompter.scriptYesNo(false);
    materialForm.reject();
    EXPECT_TRUE(materialForm.isVisible());
    EXPECT_TRUE(f.prompter.scriptUsed());
}

// The program has no Save command; after a stored change the status bar says so.
TEST(SmallThings, TheStatusBarSaysAChangeWasStored) {
    Fixture f;
    ProgramOptions options(f.settings, languages());
    ItemStore store(f.dir.path().string(), "material", TableMode::Create, TableKind::Catalogue);
    const std::string group = store.GroupOfPath(RecordType::MaterialGroup, "Zidărie", '\\');
    Material brick;
    brick.Name = "Cărămidă";
    brick.Kind = 0;
    addMaterial(store, group, brick);
    MainWindow window;
    window.setProgramOptions(&options);
    window.setMaterialStore(&store);
    window.openList(ItemKind::Material);
    ItemListWindow* list = window.listWindow(ItemKind::Material);
    ASSERT_NE(list, nullptr);
    QSignalSpy stored(list, &ItemListWindow::changeStored);
    ASSERT_TRUE(list->selectGroupById(group));
    ASSERT_TRUE(list->selectItem("Cărămidă"));
    f.prompter.scriptYesNo(true);
    list->command("deleteItem")->trigger();
    EXPECT_EQ(stored.count(), 1);
    EXPECT_EQ(window.statusBar()->currentMessage().toStdString(),
              languages().GetText("IDS_CHANGESTORED"));
}

} // namespace
} // namespace kalydor::gui
