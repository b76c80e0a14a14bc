#include "gui/buildingdialog.h"

#include "base/displayformat.h"
#include "base/textlookup.h"
#include "gui/dialogplacement.h"
#include "gui/qtprompter.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "shell/programoptions.h"

#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

QComboBox* comboOf(const char* name, const std::vector<std::string>& items, int current) {
    auto* combo = named<QComboBox>(name);
    for (const std::string& item : items)
        combo->addItem(qt(item));
    combo->setCurrentIndex(current);
    return combo;
}

} // namespace

BuildingDialog::BuildingDialog(BuildingEditor& editor, QWidget* parent)
    : QDialog(parent)
    , m_editor(editor)
    , m_pollution(comboOf("PollutionCombo", BuildingEditor::pollutionClasses(),
                          editor.building().Pollution))
    , m_wallMass(comboOf("WallMassCombo", BuildingEditor::wallMassClasses(),
                         editor.building().WallMassMode))
    , m_category(comboOf("CategoryCombo", BuildingEditor::categories(),
                         editor.building().BuildingCategory))
    , m_parent(comboOf("ParentCombo", editor.parents(), editor.parentIndex()))
    , m_settlement(named<QLineEdit>("SettlementEdit"))
    , m_temperature(named<QLabel>("SettlementTempValue"))
    , m_swing(named<QLabel>("SettlementSwingValue"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("BuildingModifyForm"));
    setWindowTitle(qt(editor.building().Name));

    connect(m_pollution, &QComboBox::activated, this,
            [this](int index) { m_editor.setPollution(index); });
    connect(m_wallMass, &QComboBox::activated, this,
            [this](int index) { m_editor.setWallMass(index); });
    connect(m_category, &QComboBox::activated, this, [this](int index) {
        m_editor.setCategory(index);
        showClimate();
    });
    connect(m_parent, &QComboBox::activated, this, [this](int index) {
        if (const std::optional<std::string> refusal = m_editor.setParent(index)) {
            showProblem(m_status, *refusal);
            m_parent->setCurrentIndex(m_editor.parentIndex());
        } else {
            m_status->clear();
        }
    });

    // The settlement list is offered as the user types; leaving the field completes a
    // beginning typed without its accents to the list's name.
    QStringList names;
    for (const SettlementEntry& entry : editor.settlements())
        for (const std::string& name : entry.names)
            names << qt(name);
    auto* completer = new QCompleter(names, m_settlement);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    m_settlement->setCompleter(completer);
    m_settlement->setText(qt(editor.building().SettlementName));
    connect(m_settlement, &QLineEdit::editingFinished, this, &BuildingDialog::settlementLeft);

    auto* form = new QFormLayout;
    form->addRow(named<QLabel>("PollutionLabel", QStringLiteral("Air pollution")), m_pollution);
    form->addRow(named<QLabel>("WallMassLabel", QStringLiteral("Building character")), m_wallMass);
    form->addRow(named<QLabel>("CategoryLabel", QStringLiteral("Building category")), m_category);
    form->addRow(named<QLabel>("ParentLabel", QStringLiteral("Part of building")), m_parent);
    form->addRow(named<QLabel>("SettlementLabel", QStringLiteral("Settlement")), m_settlement);
    const struct {
        BuildingField field;
        const char* edit;
        const char* label;
        const char* caption;
    } typed[] = {
        {BuildingField::SeaLevel, "SeaLevelEdit", "SeaLevelLabel", "Altitude [m]"},
        {BuildingField::Compass, "CompassEdit", "CompassLabel", "Orientation [°]"},
    };
    for (const auto& t : typed) {
        auto* edit = named<QLineEdit>(t.edit);
        auto* caption = named<QLabel>(t.label, QString::fromUtf8(t.caption));
        form->addRow(caption, edit);
        m_fields[t.field] = edit;
        const BuildingField field = t.field;
        NumberFieldBinding& binding = m_numbers.add(
            edit, NumberField(t.caption, BuildingEditor::rule(field)), m_status,
            [this, field, edit](double) {
                m_editor.type(field, edit->text().toStdString());
                showClimate();
            },
            caption);
        binding.show(editor.value(field));
    }
    form->addRow(named<QLabel>("SettlementTempLabel", QStringLiteral("Climate temperature [°C]")),
                 m_temperature);
    form->addRow(named<QLabel>("SettlementSwingLabel", QStringLiteral("Climate swing [K]")),
                 m_swing);
    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    showClimate();
}

void BuildingDialog::settlementLeft() {
    std::string typed = m_settlement->text().toStdString();
    // A list name typed without its accents becomes the list's name: "Bucuresti" is
    // "București", and takes its climate.
    if (const std::optional<std::string> name = m_editor.matchSettlement(typed)) {
        typed = *name;
        m_settlement->setText(qt(typed));
    }
    m_editor.setSettlement(typed);
    showClimate();
}

void BuildingDialog::showClimate() {
    m_temperature->setText(qt(displayNumber(m_editor.settlementTemp(), 4)));
    m_swing->setText(qt(displayNumber(m_editor.settlementSwing(), 4)));
}

void BuildingDialog::accept() {
    if (!m_numbers.takeAll())
        return;
    settlementLeft();
    BuildingEditor::RoomsAnswer answer = BuildingEditor::RoomsAnswer::Yes;
    if (m_editor.asksAboutRooms()) {
        const QMessageBox::StandardButton chosen = QMessageBox::question(
            this, QString::fromUtf8(kApplicationTitle), qt(GetText("IDS_ROOMSRECALC")),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        answer = chosen == QMessageBox::Yes  ? BuildingEditor::RoomsAnswer::Yes
                 : chosen == QMessageBox::No ? BuildingEditor::RoomsAnswer::No
                                             : BuildingEditor::RoomsAnswer::Cancel;
    }
    if (m_editor.confirm(answer))
        QDialog::accept();
}

bool QtBuildingDialogs::editBuilding(BuildingEditor& editor, platform::Window* owner) {
    BuildingDialog dialog(editor, QtWindow::widgetOf(owner));
    translateWindow(m_options.languages(), dialog);
    dialog.setWindowTitle(qt(editor.building().Name));
    return execPlaced(dialog, m_options.store()) == QDialog::Accepted;
}

} // namespace kalydor::gui
