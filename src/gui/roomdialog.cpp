#include "gui/roomdialog.h"

#include "base/displayformat.h"
#include "base/error.h"
#include "constructions/panel.h"
#include "gui/addboundariesdialog.h"
#include "gui/boundarydialog.h"
#include "gui/dialogplacement.h"
#include "gui/headerdelegate.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/roomradiatorpage.h"
#include "gui/ventilationchangedialog.h"
#include "gui/widgets.h"
#include "gui/winddialog.h"
#include "language/languages.h"
#include "shell/programoptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

struct FieldView {
    RoomField field;
    const char* edit;
    const char* label;
    const char* caption;
};

constexpr FieldView kGeometry[] = {
    {RoomField::Area, "AreaEdit", "AreaLabel", "Floor area [m²]"},
    {RoomField::Height, "HeightEdit", "HeightLabel", "Height [m]"},
    {RoomField::Volume0, "VolumeEdit", "VolumeLabel", "Volume, 0 computed [m³]"},
    {RoomField::Mass1, "Mass1Edit", "Mass1Label", "Furnishing mass [t]"},
    {RoomField::HeatMass1, "HeatMass1Edit", "HeatMass1Label", "Furnishing heat-storing mass [t]"},
};
constexpr FieldView kLoad[] = {
    {RoomField::HeatingInSideTemp, "InsideTempEdit", "InsideTempLabel", "Inside temperature [°C]"},
    {RoomField::Ao, "AoEdit", "AoLabel", "Orientation surcharge Ao [%]"},
    {RoomField::Ac, "AcEdit", "AcLabel", "Surcharge Ac [%]"},
    {RoomField::InternalSource, "InternalSourceEdit", "InternalSourceLabel",
     "Internal heat source [W]"},
};
constexpr FieldView kVentilation[] = {
    {RoomField::AirChangeFact, "AirChangeEdit", "AirChangeLabel", "Air changes [1/h]"},
    {RoomField::NumOfMens, "PersonsEdit", "PersonsLabel", "Persons"},
    {RoomField::Portion, "PortionEdit", "PortionLabel", "Fresh air per person [m³/h]"},
    {RoomField::AirVolume, "AirVolumeEdit", "AirVolumeLabel", "Air flow [m³/h]"},
    {RoomField::FiltPower, "FiltPowerEdit", "FiltPowerLabel", "Ventilation heat [W]"},
    {RoomField::WindSpeed, "WindSpeedEdit", "WindSpeedLabel", "Wind speed v [m/s]"},
    {RoomField::EFactor, "EFactorEdit", "EFactorLabel", "Level factor E"},
};

struct ResultView {
    const char* value;
    const char* label;
    const char* caption;
};
constexpr ResultView kResults[] = {
    {"HeatingPowerValue", "HeatingPowerLabel", "Heating load [W]"},
    {"TransPowerValue", "TransPowerLabel", "Transmission [W]"},
    {"FiltPowerValue", "FiltPowerResultLabel", "Ventilation [W]"},
    {"SpecificValue", "SpecificLabel", "Per floor area [W/m²]"},
    {"AcComputedValue", "AcComputedLabel", "Computed Ac [%]"},
    {"VolumeResultValue", "VolumeResultLabel", "Volume [m³]"},
    {"MassValue", "MassLabel", "Mass [kg]"},
    {"HeatMassValue", "HeatMassLabel", "Heat-storing mass [kg]"},
};

QComboBox* temperatureBox(const char* name) {
    auto* combo = named<QComboBox>(name);
    combo->setEditable(true);
    combo->addItem(qt(RoomEditor::projectTemperatureText()));
    return combo;
}

} // namespace

RoomDialog::RoomDialog(RoomEditor& editor, ItemStore& project, const ProgramOptions& options,
                       NewBoundaryDefaults& defaults, RadiatorPageSource radiators, QWidget* parent)
    : QDialog(parent)
    , m_editor(editor)
    , m_project(project)
    , m_options(options)
    , m_defaults(defaults)
    , m_columns(loadColumnLayout("RoomBoundarisTitle", options.languages(), &options.store()))
    , m_building(named<QComboBox>("BuildingCombo"))
    , m_function(named<QComboBox>("FunctionCombo"))
    , m_outside(temperatureBox("OutsideTempCombo"))
    , m_air(temperatureBox("AirTempCombo"))
    , m_cm(named<QComboBox>("CmCombo"))
    , m_heating(named<QCheckBox>("HeatingCheck", QStringLiteral("Heating load")))
    , m_cooling(named<QCheckBox>("CoolingCheck", QStringLiteral("Cooling load")))
    , m_sunShine(named<QCheckBox>("SunShineCheck", QStringLiteral("Count the winter sun")))
    , m_acCheck(named<QCheckBox>("AcCheck", QStringLiteral("Own Ac")))
    , m_windButton(named<QPushButton>("WindButton", QStringLiteral("Wind table...")))
    , m_airCaption(named<QLabel>("AirTempLabel", QStringLiteral("Entering air [°C]")))
    , m_boundaries(named<QTreeWidget>("BoundaryList"))
    , m_header(new ColumnHeaderView)
    , m_status(named<QLabel>("StatusLabel"))
    , m_pages(named<QTabWidget>("RoomPages")) {
    setObjectName(QStringLiteral("RoomModifyForm"));
    setWindowTitle(qt(editor.room().Name));
    setSizeGripEnabled(true);

    for (const std::string& name : editor.buildingNames())
        m_building->addItem(qt(name));
    m_building->setCurrentIndex(editor.buildingIndex());
    connect(m_building, &QComboBox::activated, this, [this](int index) {
        m_editor.setBuilding(index);
        showResults();
    });
    m_function->setEditable(true);
    for (const std::string& function : editor.functions())
        m_function->addItem(qt(function));
    m_function->setEditText(qt(editor.room().Function));
    connect(m_function, &QComboBox::editTextChanged, this,
            [this](const QString& text) { m_editor.setFunction(text.toStdString()); });

    // Every typed number: taken on leaving its box, the results follow.
    const auto bind = [this](const FieldView& view, QGridLayout* grid, int row) {
        auto* edit = named<QLineEdit>(view.edit);
        auto* caption = named<QLabel>(view.label, QString::fromUtf8(view.caption));
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row, 1);
        m_fields[view.field] = edit;
        m_captions[view.field] = caption;
        const RoomField field = view.field;
        m_numbers
            .add(
                edit, NumberField(view.caption, RoomEditor::rule(field)), m_status,
                [this, field, edit](double) {
                    m_editor.type(field, edit->text().toStdString());
                    showResults();
                },
                caption)
            .show(m_editor.value(field));
    };

    auto* geometryBox = named<QGroupBox>("GeometryBox", QStringLiteral("Geometry"));
    auto* geometry = new QGridLayout(geometryBox);
    int row = 0;
    for (const FieldView& view : kGeometry)
        bind(view, geometry, row++);

    auto* loadBox = named<QGroupBox>("LoadBox", QStringLiteral("Heating load"));
    auto* load = new QGridLayout(loadBox);
    row = 0;
    bind(kLoad[0], load, row++);
    load->addWidget(named<QLabel>("OutsideTempLabel", QStringLiteral("Outside temperature [°C]")),
                    row, 0);
    load->addWidget(m_outside, row++, 1);
    bind(kLoad[1], load, row++);
    bind(kLoad[2], load, row++);
    load->addWidget(m_acCheck, row++, 1);
    load->addWidget(named<QLabel>("CmLabel", QStringLiteral("Massivity coefficient Cm")), row, 0);
    load->addWidget(m_cm, row++, 1);
    bind(kLoad[3], load, row++);
    load->addWidget(m_heating, row++, 1);
    load->addWidget(m_cooling, row++, 1);
    load->addWidget(m_sunShine, row++, 1);
    load->setRowStretch(row, 1);

    // The Cm box offers the two usual values; any typed value at least 0 is taken.
    m_cm->setEditable(true);
    for (const std::string& choice : RoomEditor::massivityChoices())
        m_cm->addItem(qt(choice));
    NumberFieldBinding& cm =
        m_numbers.add(m_cm->lineEdit(), NumberField("Cm", RoomEditor::rule(RoomField::Cm)),
                      m_status, [this](double) {
                          m_editor.type(RoomField::Cm, m_cm->currentText().toStdString());
                          showResults();
                      });
    cm.show(editor.value(RoomField::Cm));
    connect(m_cm, &QComboBox::activated, this, [this] {
        m_editor.type(RoomField::Cm, m_cm->currentText().toStdString());
        m_numbers.find(m_cm->lineEdit())->show(m_editor.value(RoomField::Cm));
        showResults();
    });

    auto* ventilationBox = named<QGroupBox>("VentilationBox", QStringLiteral("Ventilation"));
    auto* ventilation = new QGridLayout(ventilationBox);
    auto* methods = new QButtonGroup(this);
    row = 0;
    m_methods = addVentilationMethods(ventilation, row, methods);
    connect(methods, &QButtonGroup::idClicked, this, [this](int method) {
        m_editor.setMethod(method);
        showMethod();
        showResults();
    });
    for (const FieldView& view : kVentilation)
        bind(view, ventilation, row++);
    ventilation->addWidget(m_windButton, row++, 1);
    ventilation->addWidget(m_airCaption, row, 0);
    ventilation->addWidget(m_air, row++, 1);
    ventilation->setRowStretch(row, 1);
    connect(m_windButton, &QPushButton::clicked, this, [this] {
        const auto choice = WindDialog::choose(this, m_options.languages(), &m_options.store());
        if (!choice)
            return;
        for (const auto& [field, text] : {std::pair{RoomField::WindSpeed, choice->v},
                                          std::pair{RoomField::EFactor, choice->e}}) {
            m_fields[field]->setText(qt(text));
            m_numbers.find(m_fields[field])->leave();
        }
    });

    for (auto [combo, which] : {std::pair{m_outside, RoomTemperature::Outside},
                                std::pair{m_air, RoomTemperature::EnteringAir}}) {
        const RoomTemperature box = which;
        connect(combo->lineEdit(), &QLineEdit::editingFinished, this,
                [this, box] { temperatureLeft(box); });
        connect(combo, &QComboBox::activated, this, [this, box] { temperatureLeft(box); });
    }
    connect(m_acCheck, &QCheckBox::toggled, this, [this](bool on) {
        m_editor.setAcEntered(on);
        m_fields[RoomField::Ac]->setEnabled(on);
        showResults();
    });
    connect(m_heating, &QCheckBox::toggled, this, [this](bool on) {
        m_editor.setHeating(on);
        showResults();
    });
    connect(m_cooling, &QCheckBox::toggled, this, [this](bool on) {
        m_editor.setCooling(on);
        showResults();
    });
    connect(m_sunShine, &QCheckBox::toggled, this, [this](bool on) {
        m_editor.setSunShine(on);
        showResults();
    });

    auto* resultsBox = named<QGroupBox>("ResultsBox", QStringLiteral("Results"));
    auto* results = new QGridLayout(resultsBox);
    row = 0;
    for (const ResultView& view : kResults) {
        auto* value = named<QLabel>(view.value);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        results->addWidget(named<QLabel>(view.label, QString::fromUtf8(view.caption)), row, 0);
        results->addWidget(value, row++, 1);
        m_results[view.value] = value;
    }
    results->setRowStretch(row, 1);

    // The boundaries, in the columns of the boundary list layout; one dropped onto another
    // is deducted from it.
    m_boundaries->setRootIsDecorated(false);
    m_boundaries->setHeader(m_header);
    m_boundaries->setItemDelegate(new FullTextTipDelegate(m_boundaries));
    m_boundaries->setSelectionMode(QAbstractItemView::SingleSelection);
    m_boundaries->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_boundaries->setDragEnabled(true);
    m_boundaries->setAcceptDrops(true);
    m_boundaries->setDragDropMode(QAbstractItemView::DragDrop);
    m_boundaries->viewport()->installEventFilter(this);
    m_boundaries->setMinimumHeight(160);
    connect(m_boundaries, &QTreeWidget::itemDoubleClicked, this, [this] { modifyBoundary(); });
    connect(m_boundaries, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int column) {
                if (column != 0)
                    return;
                const int index = m_boundaries->indexOfTopLevelItem(item);
                if (index < 0)
                    return;
                const std::string name = m_editor.renameBoundary(static_cast<std::size_t>(index),
                                                                 item->text(0).toStdString());
                const QSignalBlocker blocker(m_boundaries);
                item->setText(0, qt(name));
                // The list is refilled once the edit is over: the item is still in use here.
                QMetaObject::invokeMethod(
                    this, [this] { showResults(); }, Qt::QueuedConnection);
            });
    const auto command = [this](const char* name, const char* caption,
                                const std::function<void()>& run) {
        auto* button = named<QPushButton>(name, QString::fromUtf8(caption));
        connect(button, &QPushButton::clicked, this, run);
        return button;
    };
    auto* commands = new QHBoxLayout;
    commands->addWidget(command("AddBoundaryButton", "Add...", [this] { addBoundaries(); }));
    commands->addWidget(command("ModifyBoundaryButton", "Modify...", [this] { modifyBoundary(); }));
    commands->addWidget(command("CopyBoundaryButton", "Copy", [this] { copyBoundary(); }));
    commands->addWidget(command("UpBoundaryButton", "Up", [this] { moveBoundary(true); }));
    commands->addWidget(command("DownBoundaryButton", "Down", [this] { moveBoundary(false); }));
    commands->addWidget(command("RenameBoundaryButton", "Rename", [this] {
        if (QTreeWidgetItem* item = m_boundaries->currentItem())
            m_boundaries->editItem(item, 0);
    }));
    commands->addWidget(command("DeleteBoundaryButton", "Delete", [this] { deleteBoundary(); }));
    commands->addStretch();

    auto* upper = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* identity = new QGridLayout;
    identity->addWidget(named<QLabel>("BuildingLabel", QStringLiteral("Building")), 0, 0);
    identity->addWidget(m_building, 0, 1);
    identity->addWidget(named<QLabel>("FunctionLabel", QStringLiteral("Function")), 1, 0);
    identity->addWidget(m_function, 1, 1);
    left->addLayout(identity);
    left->addWidget(geometryBox);
    left->addWidget(resultsBox);
    upper->addLayout(left);
    upper->addWidget(loadBox);
    upper->addWidget(ventilationBox);

    m_status->setWordWrap(true);
    // The heating load and boundaries on one page, the radiators on the other.
    auto* loadPage = named<QWidget>("LoadPage");
    auto* loadLayout = new QVBoxLayout(loadPage);
    loadLayout->addLayout(upper);
    loadLayout->addWidget(named<QLabel>("BoundariesLabel", QStringLiteral("Boundaries")));
    loadLayout->addWidget(m_boundaries, 1);
    loadLayout->addLayout(commands);
    m_radiatorPage = new RoomRadiatorPage(m_editor, std::move(radiators), m_status);
    connect(m_radiatorPage, &RoomRadiatorPage::radiatorsChanged, this, [this] { showResults(); });
    m_pages->addTab(loadPage, QStringLiteral("Heating load"));
    m_pages->addTab(m_radiatorPage, QStringLiteral("Radiators"));
    connect(m_pages, &QTabWidget::currentChanged, this,
            [this] { m_radiatorPage->showRadiators(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));

    showValues();
    fillBoundaries(std::nullopt);
    showResults();
}

RoomDialog::~RoomDialog() {
    m_header->setColumnLayout(nullptr);
}

QComboBox* RoomDialog::temperatureCombo(RoomTemperature which) const {
    return which == RoomTemperature::Outside ? m_outside : m_air;
}

QLabel* RoomDialog::result(const char* name) const {
    return m_results.at(name);
}

void RoomDialog::showValues() {
    for (auto [combo, which] : {std::pair{m_outside, RoomTemperature::Outside},
                                std::pair{m_air, RoomTemperature::EnteringAir}})
        combo->setEditText(m_editor.fromProject(which)
                               ? qt(RoomEditor::projectTemperatureText())
                               : qt(displayNumber(m_editor.temperature(which), 7)));
    const QSignalBlocker heating(m_heating), cooling(m_cooling), sun(m_sunShine), ac(m_acCheck);
    m_heating->setChecked(m_editor.heating());
    m_cooling->setChecked(m_editor.cooling());
    m_sunShine->setChecked(m_editor.sunShine());
    m_acCheck->setChecked(m_editor.acEntered());
    m_fields[RoomField::Ac]->setEnabled(m_editor.acEntered());
    m_methods[static_cast<std::size_t>(std::clamp(m_editor.method(), 0, 4))]->setChecked(true);
    showMethod();
}

void RoomDialog::showMethod() {
    // Only the chosen method's boxes are shown; the entering air belongs to all but the
    // known heat.
    const std::vector<RoomField> own = RoomEditor::methodFields(m_editor.method());
    for (const FieldView& view : kVentilation) {
        const bool shown = std::find(own.begin(), own.end(), view.field) != own.end();
        m_fields[view.field]->setVisible(shown);
        m_captions[view.field]->setVisible(shown);
    }
    m_windButton->setVisible(m_editor.method() == 4);
    m_air->setVisible(m_editor.usesEnteringAir());
    m_airCaption->setVisible(m_editor.usesEnteringAir());
}

void RoomDialog::showResults() {
    const Room& room = m_editor.room();
    const auto show = [this](const char* name, double value, int precision) {
        m_results[name]->setText(qt(displayNumber(value, precision)));
    };
    show("HeatingPowerValue", room.HeatingPower, 7);
    show("TransPowerValue", room.TransPower, 7);
    show("FiltPowerValue", room.CalculatedFiltPower, 7);
    show("SpecificValue", room.Area > 0 ? room.HeatingPower / static_cast<double>(room.Area) : 0,
         4);
    show("AcComputedValue", room.AcComputed, 4);
    show("VolumeResultValue", room.volume(), 5);
    show("MassValue", room.Mass2, 6);
    show("HeatMassValue", room.HeatMass2, 6);
    if (m_editor.status().empty())
        m_status->clear();
    else
        showProblem(m_status, m_editor.status());
    fillBoundaries(selectedBoundary());
}

void RoomDialog::fillBoundaries(std::optional<std::size_t> selected) {
    const QSignalBlocker blocker(m_boundaries);
    m_boundaries->clear();
    const std::vector<int> ids = m_columns.visibleColumnIds();
    m_boundaries->setColumnCount(static_cast<int>(std::max<std::size_t>(ids.size(), 1)));
    m_header->setColumnLayout(&m_columns);
    if (!m_widthsApplied) {
        m_header->applyColumnWidths();
        m_widthsApplied = true;
    }
    for (const Boundary& boundary : m_editor.room().Boundaries) {
        auto* item = new QTreeWidgetItem(m_boundaries);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            item->setText(static_cast<int>(i), qt(boundary.ColumnText(ids[i], m_columns)));
            const ColumnFormat* column = m_header->sectionColumn(static_cast<int>(i));
            if (i > 0 && column && column->DataAlignment == ColumnAlignment::Right)
                item->setTextAlignment(static_cast<int>(i), Qt::AlignRight | Qt::AlignVCenter);
        }
        // The first column is the name, edited in place.
        if (!ids.empty() && ids.front() == 0)
            item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    if (selected && static_cast<int>(*selected) < m_boundaries->topLevelItemCount())
        m_boundaries->setCurrentItem(m_boundaries->topLevelItem(static_cast<int>(*selected)));
    m_header->fitColumns();
}

std::optional<std::size_t> RoomDialog::selectedBoundary() const {
    QTreeWidgetItem* item = m_boundaries->currentItem();
    const int index = item ? m_boundaries->indexOfTopLevelItem(item) : -1;
    return index < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(index));
}

void RoomDialog::afterBoundaryCommand(std::optional<std::size_t> selected) {
    fillBoundaries(selected ? selected : selectedBoundary());
    showResults();
}

void RoomDialog::temperatureLeft(RoomTemperature which) {
    QComboBox* combo = temperatureCombo(which);
    if (m_editor.setTemperature(which, combo->currentText().toStdString())) {
        showProblem(m_status, m_editor.status());
        return;
    }
    showResults();
}

bool RoomDialog::editBoundary(Boundary& boundary, BoundaryDialogKind dialog) {
    BoundaryEditor editor(boundary, dialog, m_editor.room().Building.Compass);
    BoundaryDialog window(editor, &m_options.languages(), &m_options.store(), this);
    translateWindow(m_options.languages(), window);
    window.setWindowTitle(qt(boundary.Name));
    if (execPlaced(window, m_options.store()) != QDialog::Accepted)
        return false;
    boundary = editor.boundary();
    return true;
}

void RoomDialog::modifyBoundary() {
    if (const std::optional<std::size_t> index = selectedBoundary()) {
        if (m_editor.modifyBoundary(*index, [this](Boundary& boundary) {
                return editBoundary(boundary, BoundaryDialogKind::Full);
            }))
            afterBoundaryCommand(index);
    }
}

void RoomDialog::copyBoundary() {
    if (const std::optional<std::size_t> index = selectedBoundary())
        afterBoundaryCommand(m_editor.copyBoundary(*index));
}

void RoomDialog::moveBoundary(bool up) {
    if (const std::optional<std::size_t> index = selectedBoundary())
        afterBoundaryCommand(m_editor.moveBoundary(*index, up));
}

void RoomDialog::deleteBoundary() {
    if (const std::optional<std::size_t> index = selectedBoundary()) {
        const std::optional<std::size_t> next = m_editor.deleteBoundary(*index);
        fillBoundaries(next);
        showResults();
    }
}

void RoomDialog::deduct(int from, int onto) {
    if (from < 0 || onto < 0)
        return;
    if (m_editor.deductBoundary(static_cast<std::size_t>(from), static_cast<std::size_t>(onto)))
        afterBoundaryCommand(static_cast<std::size_t>(onto));
}

void RoomDialog::addBoundaries(const std::function<void(QDialog&)>& run) {
    m_defaults.startFrom(m_editor.projectOptions());
    // Several added boundaries keep their order after the selected one.
    std::optional<std::size_t> after = selectedBoundary();
    AddBoundariesDialog dialog(
        m_project, m_defaults, m_editor.room().Building.Compass,
        [this, &after](const Panel& construction) {
            const std::optional<std::size_t> added = m_editor.addBoundary(
                construction, after, m_defaults.values, [this](Boundary& made, std::int16_t) {
                    return editBoundary(made, BoundaryEditor::dialogFor(made.Type));
                });
            if (added) {
                after = added;
                afterBoundaryCommand(added);
            }
        },
        this);
    translateWindow(m_options.languages(), dialog);
    if (run)
        run(dialog);
    else
        execPlaced(dialog, m_options.store());
}

bool RoomDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_boundaries->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->source() == m_boundaries) {
                m_dragged = selectedBoundary() ? static_cast<int>(*selectedBoundary()) : -1;
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            QTreeWidgetItem* target = m_boundaries->itemAt(drop->position().toPoint());
            const int onto = target ? m_boundaries->indexOfTopLevelItem(target) : -1;
            drop->acceptProposedAction();
            // The list is not reordered by the drop: the surface is deducted.
            const int from = m_dragged;
            m_dragged = -1;
            if (from != onto)
                deduct(from, onto);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void RoomDialog::accept() {
    if (!m_numbers.takeAll())
        return;
    for (const RoomTemperature which : {RoomTemperature::Outside, RoomTemperature::EnteringAir}) {
        if (m_editor.setTemperature(which, temperatureCombo(which)->currentText().toStdString())) {
            showProblem(m_status, m_editor.status());
            temperatureCombo(which)->setFocus();
            return;
        }
    }
    m_editor.setFunction(m_function->currentText().trimmed().toStdString());
    if (const std::optional<std::string> refusal = m_editor.accept()) {
        showProblem(m_status, *refusal);
        return;
    }
    QDialog::accept();
}

std::vector<std::string> QtRoomDialogs::roomFunctions() const {
    return RoomEditor::rememberedFunctions(m_options.store());
}

void QtRoomDialogs::rememberRoomFunction(const std::string& function) {
    RoomEditor::rememberFunction(m_options.store(), function);
}

bool QtRoomDialogs::checksNeighbourTemperatures() const {
    return m_options.WarningTempDiff;
}

bool QtRoomDialogs::editRoom(RoomEditor& editor, ItemStore& project, platform::Window* owner) {
    RoomDialog dialog(editor, project, m_options, m_defaults,
                      radiatorSource ? radiatorSource() : RadiatorPageSource{},
                      QtWindow::widgetOf(owner));
    translateWindow(m_options.languages(), dialog);
    dialog.setWindowTitle(qt(editor.room().Name));
    return execPlaced(dialog, m_options.store()) == QDialog::Accepted;
}

} // namespace kalydor::gui
