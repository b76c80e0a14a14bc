#include "gui/bulkchangedialogs.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "gui/confirmationlist.h"
#include "gui/constructiontree.h"
#include "gui/dialogplacement.h"
#include "gui/headerdelegate.h"
#include "gui/infiltrationdialog.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "rooms/buildingstable.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

struct ValueView {
    ConstructionField field;
    const char* edit;
    const char* label;
    const char* caption;
};

constexpr ValueView kValueViews[] = {
    {ConstructionField::Name, "NewNameEdit", "NewNameLabel", "Name"},
    {ConstructionField::k, "NewKEdit", "NewKLabel", "Thermal resistance R [m²K/W]"},
    {ConstructionField::Massivitate, "NewMassivitateEdit", "NewMassivitateLabel",
     "Massivity coefficient"},
    {ConstructionField::DampFactor, "NewDampFactorEdit", "NewDampFactorLabel", "Damping factor"},
    {ConstructionField::Delay, "NewDelayEdit", "NewDelayLabel", "Time lag [h]"},
    {ConstructionField::InSideAlpha, "NewInSideAlphaEdit", "NewInSideAlphaLabel",
     "Inner surface coefficient [W/m²K]"},
    {ConstructionField::Mass, "NewMassEdit", "NewMassLabel", "Mass [kg/m²]"},
    {ConstructionField::HeatMass, "NewHeatMassEdit", "NewHeatMassLabel",
     "Heat-storing mass [kg/m²]"},
    {ConstructionField::GlassRatio, "NewGlassRatioEdit", "NewGlassRatioLabel", "Glazed part [%]"},
    {ConstructionField::InfiltrationFactor, "NewInfiltrationEdit", "NewInfiltrationLabel",
     "Joint infiltration factor i"},
    {ConstructionField::ms, "NewMsEdit", "NewMsLabel", "Edge coefficient m"},
    {ConstructionField::ns, "NewNsEdit", "NewNsLabel", "Edge coefficient n"},
    {ConstructionField::Rbc, "NewRbcEdit", "NewRbcLabel", "Edge resistance Rbc [m²K/W]"},
};

QComboBox* temperatureBox(const char* name) {
    auto* combo = named<QComboBox>(name);
    combo->setEditable(true);
    combo->addItem(QString());
    combo->addItem(qt(GetText("IDS_TOUT")));
    combo->setCurrentIndex(0);
    return combo;
}

} // namespace

std::optional<Panel> chooseConstruction(ItemStore& project, const Languages& languages,
                                        platform::SettingsStore* settings, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ChoosePanelForm"));
    dialog.setWindowTitle(QStringLiteral("Constructions"));
    auto* tree = new ConstructionTree(project, "ConstructionTree");
    auto* status = named<QLabel>("StatusLabel");
    std::optional<Panel> chosen;
    const auto take = [&](QTreeWidgetItem* row) {
        std::string problem;
        chosen = tree->construction(row, &problem);
        if (chosen)
            dialog.accept();
        else if (!problem.empty())
            showProblem(status, problem);
    };
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, &dialog,
                     [&](QTreeWidgetItem* row) { take(row); });
    auto* buttons = okCancelButtons(&dialog);
    QObject::disconnect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog,
                     [&] { take(tree->currentItem()); });
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(tree);
    layout->addWidget(status);
    layout->addWidget(buttons);
    translateWindow(languages, dialog);
    if (execPlaced(dialog, settings) != QDialog::Accepted)
        return std::nullopt;
    return chosen;
}

ConstructionChangeDialog::ConstructionChangeDialog(ItemStore& project, const Languages& languages,
                                                   platform::SettingsStore* settings,
                                                   QWidget* parent)
    : QDialog(parent)
    , m_project(project)
    , m_languages(languages)
    , m_settings(settings)
    , m_kind(named<QComboBox>("KindCombo"))
    , m_searchName(named<QLineEdit>("SearchNameEdit"))
    , m_searchK(named<QLineEdit>("SearchKEdit"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("ChangePanelsForm"));
    setWindowTitle(QStringLiteral("Change constructions"));
    for (const int kind : ConstructionSearch::kinds())
        m_kind->addItem(qt(GetText("IDS_PANELTYPES+" + std::to_string(kind))), kind);
    m_kind->setCurrentIndex(0);

    auto* searchBox = named<QGroupBox>("SearchBox", QStringLiteral("Boundaries to change"));
    auto* search = new QFormLayout(searchBox);
    search->addRow(named<QLabel>("KindLabel", QStringLiteral("Kind")), m_kind);
    search->addRow(named<QLabel>("SearchNameLabel", QStringLiteral("Name (empty: any)")),
                   m_searchName);
    search->addRow(named<QLabel>("SearchKLabel", QStringLiteral("R exactly (empty: any)")),
                   m_searchK);
    auto* searchButton = named<QPushButton>("SearchPanelButton", QStringLiteral("Construction..."));
    search->addRow(QString(), searchButton);
    connect(searchButton, &QPushButton::clicked, this, [this] {
        if (const auto panel = chooseConstruction(m_project, m_languages, m_settings, this))
            takeSearch(*panel);
    });

    auto* valuesBox = named<QGroupBox>("NewValuesBox", QStringLiteral("New values (empty: kept)"));
    auto* values = new QFormLayout(valuesBox);
    for (const ValueView& view : kValueViews) {
        auto* edit = named<QLineEdit>(view.edit);
        values->addRow(named<QLabel>(view.label, QString::fromUtf8(view.caption)), edit);
        m_values[view.field] = edit;
    }
    auto* newButton = named<QPushButton>("NewPanelButton", QStringLiteral("Construction..."));
    auto* joints = named<QPushButton>("InfiltrationButton", QStringLiteral("Joint table..."));
    auto* valueButtons = new QHBoxLayout;
    valueButtons->addWidget(newButton);
    valueButtons->addWidget(joints);
    values->addRow(QString(), valueButtons);
    connect(newButton, &QPushButton::clicked, this, [this] {
        if (const auto panel = chooseConstruction(m_project, m_languages, m_settings, this))
            takeValues(*panel);
    });
    connect(joints, &QPushButton::clicked, this, [this] {
        if (const auto factor = InfiltrationDialog::choose(this, m_languages, m_settings))
            m_values[ConstructionField::InfiltrationFactor]->setText(qt(displayNumber(*factor, 7)));
    });

    m_status->setWordWrap(true);
    auto* columns = new QHBoxLayout;
    columns->addWidget(searchBox, 1);
    columns->addWidget(valuesBox, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
}

void ConstructionChangeDialog::takeSearch(const Panel& construction) {
    const ConstructionSearch search = ConstructionSearch::of(construction);
    const int index = m_kind->findData(search.kind);
    if (index >= 0)
        m_kind->setCurrentIndex(index);
    m_searchName->setText(qt(construction.Name));
    // The resistance as stored: the shortest text that reads back as the same float.
    m_searchK->setText(qt(floatText(construction.R)));
}

void ConstructionChangeDialog::takeValues(const Panel& construction) {
    const ConstructionValues values = ConstructionValues::of(construction);
    for (const ValueView& view : kValueViews)
        m_values[view.field]->setText(qt(values.text(view.field)));
}

void ConstructionChangeDialog::accept() {
    // Every box is read before any room is touched.
    ConstructionSearch search;
    ConstructionValues values;
    try {
        search.kind = m_kind->currentData().toInt();
        const std::string name = m_searchName->text().toStdString();
        if (!name.empty())
            search.name = name;
        const std::string k = m_searchK->text().trimmed().toStdString();
        if (!k.empty())
            search.k = static_cast<float>(ParseNumber(k, NumberRule::Any));
        for (const ValueView& view : kValueViews) {
            QString text = m_values[view.field]->text();
            if (view.field != ConstructionField::Name)
                text = text.trimmed();
            values.set(view.field, text.toStdString());
        }
    } catch (const Error& error) {
        showProblem(m_status, error.text());
        return;
    }
    m_search = std::move(search);
    m_newValues = std::move(values);
    QDialog::accept();
}

MatchListDialog::MatchListDialog(std::vector<BoundaryMatch> matches, const Languages& languages,
                                 platform::SettingsStore* settings, QWidget* parent)
    : QDialog(parent)
    , m_matches(std::move(matches))
    , m_columns(loadColumnLayout("RoomPanelChangeTitle", languages, settings))
    , m_list(named<QTreeWidget>("MatchList"))
    , m_header(new ColumnHeaderView)
    , m_all(named<QRadioButton>("AllRadio", QStringLiteral("All")))
    , m_selected(named<QRadioButton>("SelectedRadio", QStringLiteral("The selected ones"))) {
    setObjectName(QStringLiteral("ChangePanelListForm"));
    setWindowTitle(QStringLiteral("Boundaries found"));
    setSizeGripEnabled(true);
    m_list->setRootIsDecorated(false);
    m_list->setHeader(m_header);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const std::vector<int> ids = m_columns.visibleColumnIds();
    m_list->setColumnCount(static_cast<int>(std::max<std::size_t>(ids.size(), 1)));
    m_header->setColumnLayout(&m_columns);
    m_header->applyColumnWidths();
    for (const BoundaryMatch& match : m_matches) {
        auto* row = new QTreeWidgetItem(m_list);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            // The room's name, then the boundary's own columns.
            const std::string text = ids[i] == 40 ? match.where.reference.Name
                                                  : match.boundary.ColumnText(ids[i], m_columns);
            row->setText(static_cast<int>(i), qt(text));
            const ColumnFormat* column = m_header->sectionColumn(static_cast<int>(i));
            if (column && column->DataAlignment == ColumnAlignment::Right)
                row->setTextAlignment(static_cast<int>(i), Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    m_header->fitColumns();
    m_list->setMinimumSize(560, 260);
    QHBoxLayout* radios = allOrSelectedChoice(m_list, m_all, m_selected);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(radios);
    layout->addWidget(okCancelButtons(this));
}

MatchListDialog::~MatchListDialog() {
    m_header->setColumnLayout(nullptr);
}

std::vector<BoundaryMatch> MatchListDialog::chosen() const {
    return chosenRows(m_list, m_all, m_matches);
}

TemperatureChangeDialog::TemperatureChangeDialog(QWidget* parent)
    : QDialog(parent)
    , m_outside(temperatureBox("OutsideTempCombo"))
    , m_inside(named<QLineEdit>("InsideTempEdit"))
    , m_air(temperatureBox("AirTempCombo"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("ChangeTemperaturesForm"));
    setWindowTitle(QStringLiteral("Change temperatures"));
    auto* form = new QFormLayout;
    form->addRow(named<QLabel>("OutsideTempLabel", QStringLiteral("Outside temperature [°C]")),
                 m_outside);
    form->addRow(named<QLabel>("InsideTempLabel", QStringLiteral("Inside temperature [°C]")),
                 m_inside);
    form->addRow(named<QLabel>("AirTempLabel", QStringLiteral("Entering air [°C]")), m_air);
    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        named<QLabel>("EmptyKeepsLabel", QStringLiteral("An empty box keeps the rooms' value.")));
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
}

void TemperatureChangeDialog::accept() {
    try {
        m_change = TemperatureChange::read(m_outside->currentText().trimmed().toStdString(),
                                           m_inside->text().trimmed().toStdString(),
                                           m_air->currentText().trimmed().toStdString());
    } catch (const Error& error) {
        showProblem(m_status, error.text());
        return;
    }
    QDialog::accept();
}

MoveRoomsDialog::MoveRoomsDialog(ItemStore& project, const BuildingsTable& buildings,
                                 QWidget* parent)
    : QDialog(parent)
    , m_list(named<QListWidget>("BuildingList"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("MoveRoomsForm"));
    setWindowTitle(QStringLiteral("Move rooms"));
    for (const BuildingsTableItem& row : buildings.rows()) {
        // Names are unique per group only: the group path tells same-named buildings apart.
        const std::string path = project.PathOfGroup(RecordType::BuildingGroup, row.RefID, '\\');
        m_list->addItem(qt(path + row.Name));
        m_ids.push_back(row.ID);
    }
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(named<QLabel>("BuildingLabel", QStringLiteral("Move the rooms to")));
    layout->addWidget(m_list);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
}

void MoveRoomsDialog::accept() {
    const int row = m_list->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_ids.size()) {
        showProblem(m_status, GetText("IDS_CHOOSEBUILDING"));
        return;
    }
    m_building = m_ids[static_cast<std::size_t>(row)];
    QDialog::accept();
}

RotateRoomsDialog::RotateRoomsDialog(QWidget* parent)
    : QDialog(parent)
    , m_rotate(named<QRadioButton>("RotateRadio", QStringLiteral("Rotate clockwise by")))
    , m_mirror(named<QRadioButton>("MirrorRadio", QStringLiteral("Mirror about the direction")))
    , m_angle(named<QLineEdit>("AngleEdit"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("RotateRoomsForm"));
    setWindowTitle(QStringLiteral("Rotate and mirror rooms"));
    m_rotate->setChecked(true);
    auto* choice = new QButtonGroup(this);
    choice->addButton(m_rotate);
    choice->addButton(m_mirror);
    auto* grid = new QGridLayout;
    grid->addWidget(m_rotate, 0, 0);
    grid->addWidget(m_mirror, 1, 0);
    grid->addWidget(named<QLabel>("AngleLabel", QStringLiteral("Angle [°]")), 2, 0);
    grid->addWidget(m_angle, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
}

void RotateRoomsDialog::accept() {
    const std::string text = m_angle->text().trimmed().toStdString();
    try {
        m_change = m_mirror->isChecked() ? OrientationChange::mirror(text)
                                         : OrientationChange::rotation(text);
    } catch (const Error& error) {
        showProblem(m_status, error.text());
        return;
    }
    QDialog::accept();
}

} // namespace kalydor::gui
