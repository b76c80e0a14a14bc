#include "gui/ventilationchangedialog.h"

#include "base/error.h"
#include "gui/widgets.h"
#include "gui/winddialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

struct BoxView {
    const char* edit;
    const char* label;
    const char* caption;
    int method;
};

constexpr BoxView kBoxes[] = {
    {"AirChangeEdit", "AirChangeLabel", "Air changes [1/h]", 0},
    {"PersonsEdit", "PersonsLabel", "Persons", 1},
    {"PortionEdit", "PortionLabel", "Fresh air per person [m³/h]", 1},
    {"AirVolumeEdit", "AirVolumeLabel", "Air flow [m³/h]", 2},
    {"FiltPowerEdit", "FiltPowerLabel", "Ventilation heat [W]", 3},
    {"WindSpeedEdit", "WindSpeedLabel", "Wind speed v [m/s]", 4},
    {"EFactorEdit", "EFactorLabel", "Level factor E", 4},
};

} // namespace

std::array<QRadioButton*, 5> addVentilationMethods(QGridLayout* grid, int& row,
                                                   QButtonGroup* group) {
    std::array<QRadioButton*, 5> buttons{};
    for (int method = 0; method < 5; ++method) {
        const std::string name = "MethodRadio" + std::to_string(method);
        auto* button = named<QRadioButton>(name.c_str(),
                                           qt(GetText("IDS_FILTMODES+" + std::to_string(method))));
        buttons[static_cast<std::size_t>(method)] = button;
        group->addButton(button, method);
        grid->addWidget(button, row++, 0, 1, 2);
    }
    return buttons;
}

VentilationChangeDialog::VentilationChangeDialog(const Languages* languages,
                                                 platform::SettingsStore* settings, QWidget* parent)
    : QDialog(parent)
    , m_air(named<QComboBox>("AirTempCombo"))
    , m_airCaption(named<QLabel>("AirTempLabel", QStringLiteral("Entering air [°C]")))
    , m_wind(named<QPushButton>("WindButton", QStringLiteral("Wind table...")))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("ChangeFiltrationForm"));
    setWindowTitle(QStringLiteral("Change winter infiltration"));
    auto* grid = new QGridLayout;
    auto* methods = new QButtonGroup(this);
    int row = 0;
    m_methods = addVentilationMethods(grid, row, methods);
    m_methods[0]->setChecked(true);
    connect(methods, &QButtonGroup::idClicked, this, [this] { showMethod(); });
    for (const BoxView& view : kBoxes) {
        auto* edit = named<QLineEdit>(view.edit);
        auto* caption = named<QLabel>(view.label, QString::fromUtf8(view.caption));
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row++, 1);
        m_boxes[view.edit] = edit;
        m_captions[view.edit] = caption;
    }
    grid->addWidget(m_wind, row++, 1);
    grid->addWidget(m_airCaption, row, 0);
    grid->addWidget(m_air, row++, 1);
    // The air box starts empty (unchanged); its first entry is the project's temperature.
    m_air->setEditable(true);
    m_air->addItem(qt(GetText("IDS_TOUT")));
    m_air->setEditText(QString());
    if (languages != nullptr) {
        connect(m_wind, &QPushButton::clicked, this, [this, languages, settings] {
            if (const auto choice = WindDialog::choose(this, *languages, settings)) {
                m_boxes["WindSpeedEdit"]->setText(qt(choice->v));
                m_boxes["EFactorEdit"]->setText(qt(choice->e));
            }
        });
    } else {
        m_wind->setEnabled(false);
    }
    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    showMethod();
}

void VentilationChangeDialog::showMethod() {
    const int method =
        std::max(0, static_cast<int>(std::find_if(m_methods.begin(), m_methods.end(),
                                                  [](QRadioButton* b) { return b->isChecked(); }) -
                                     m_methods.begin()));
    for (const BoxView& view : kBoxes) {
        m_boxes[view.edit]->setVisible(view.method == method);
        m_captions[view.edit]->setVisible(view.method == method);
    }
    m_wind->setVisible(method == 4);
    m_air->setVisible(method != 3);
    m_airCaption->setVisible(method != 3);
}

VentilationChangeForm VentilationChangeDialog::form() const {
    VentilationChangeForm form;
    for (int method = 0; method < 5; ++method)
        if (m_methods[static_cast<std::size_t>(method)]->isChecked())
            form.method = method;
    const auto text = [this](const char* name) {
        return m_boxes.at(name)->text().trimmed().toStdString();
    };
    form.airChangeFact = text("AirChangeEdit");
    form.numOfMens = text("PersonsEdit");
    form.portion = text("PortionEdit");
    form.airVolume = text("AirVolumeEdit");
    form.filtPower = text("FiltPowerEdit");
    form.windSpeed = text("WindSpeedEdit");
    form.eFactor = text("EFactorEdit");
    form.airTemp = m_air->currentText().trimmed().toStdString();
    return form;
}

void VentilationChangeDialog::accept() {
    try {
        m_change = VentilationChange::read(form());
    } catch (const Error& error) {
        showProblem(m_status, error.text());
        return;
    }
    QDialog::accept();
}

} // namespace kalydor::gui
