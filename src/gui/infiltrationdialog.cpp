#include "gui/infiltrationdialog.h"

#include "gui/dialogplacement.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

// The choices of the run: the next opening starts from them.
InfiltrationChoices& remembered() {
    static InfiltrationChoices choices;
    return choices;
}

QTreeWidget* tableList(const char* name) {
    auto* list = named<QTreeWidget>(name);
    list->setRootIsDecorated(false);
    list->setColumnCount(2);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    list->setMinimumWidth(420);
    list->setMinimumHeight(160);
    list->setHeaderLabels(qt(GetText("IDS_INFILTRATIONHEADERS")).split(QLatin1Char(';')));
    return list;
}

// Two exclusive choices in a box, the first or second checked.
QGroupBox* pair(const char* box, const char* boxCaption, std::array<QRadioButton*, 2>& buttons,
                const char* first, const char* firstCaption, const char* second,
                const char* secondCaption, int checked) {
    auto* group = named<QGroupBox>(box, QString::fromUtf8(boxCaption));
    auto* layout = new QHBoxLayout(group);
    buttons[0] = named<QRadioButton>(first, QString::fromUtf8(firstCaption));
    buttons[1] = named<QRadioButton>(second, QString::fromUtf8(secondCaption));
    auto* exclusive = new QButtonGroup(group);
    for (QRadioButton* button : buttons) {
        exclusive->addButton(button);
        layout->addWidget(button);
    }
    buttons[checked == 1 ? 1 : 0]->setChecked(true);
    return group;
}

} // namespace

InfiltrationDialog::InfiltrationDialog(QWidget* parent)
    : QDialog(parent)
    , m_woodRows(infiltrationTable(false))
    , m_metalRows(infiltrationTable(true))
    , m_wood(tableList("WoodList"))
    , m_metal(tableList("MetalList"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("InfiltrationForm"));
    setWindowTitle(QStringLiteral("Joint infiltration"));
    const InfiltrationChoices& choices = remembered();
    auto* options = new QHBoxLayout;
    options->addWidget(pair("BuildingKindBox", "Building", m_kinds, "ManyWindowsRadio",
                            "Many windows", "FewWindowsRadio", "Few windows",
                            choices.buildingKind));
    options->addWidget(pair("WoodClassBox", "Wood: Ab/Ak", m_woodClasses, "WoodBelowRadio",
                            "below 3", "WoodAboveRadio", "above 3", choices.woodClass));
    options->addWidget(pair("MetalClassBox", "Metal: Ab/Ak", m_metalClasses, "MetalBelowRadio",
                            "below 6", "MetalAboveRadio", "above 6", choices.metalClass));
    for (const auto* buttons : {&m_kinds, &m_woodClasses, &m_metalClasses})
        for (QRadioButton* button : *buttons)
            connect(button, &QRadioButton::toggled, this, [this](bool on) {
                if (on)
                    fill();
            });
    for (QTreeWidget* list : {m_wood, m_metal}) {
        connect(list, &QTreeWidget::itemDoubleClicked, this,
                [this](QTreeWidgetItem* row) { choose(row); });
        connect(list, &QTreeWidget::currentItemChanged, this,
                [this, list](QTreeWidgetItem* current) {
                    // One selection for both lists: OK takes the one last chosen.
                    if (current != nullptr)
                        (list == m_wood ? m_metal : m_wood)->setCurrentItem(nullptr);
                });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(named<QLabel>("WoodLabel", QStringLiteral("Wooden windows and doors")));
    layout->addWidget(m_wood);
    layout->addWidget(named<QLabel>("MetalLabel", QStringLiteral("Metal windows and doors")));
    layout->addWidget(m_metal);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    fill();
}

QRadioButton* InfiltrationDialog::ratioClass(bool metal, int ratio) const {
    return (metal ? m_metalClasses : m_woodClasses)[ratio == 1 ? 1 : 0];
}

void InfiltrationDialog::fill() {
    InfiltrationChoices& choices = remembered();
    choices.buildingKind = m_kinds[1]->isChecked() ? 1 : 0;
    choices.woodClass = m_woodClasses[1]->isChecked() ? 1 : 0;
    choices.metalClass = m_metalClasses[1]->isChecked() ? 1 : 0;
    for (const bool metal : {false, true}) {
        QTreeWidget* list = this->list(metal);
        const std::vector<InfiltrationRow>& rows = metal ? m_metalRows : m_woodRows;
        const auto column = static_cast<std::size_t>(choices.column(metal));
        list->clear();
        for (const InfiltrationRow& row : rows) {
            auto* item = new QTreeWidgetItem(list);
            item->setText(0, qt(row.name));
            item->setText(1, qt(row.values[column]));
            item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
}

void InfiltrationDialog::choose(QTreeWidgetItem* row) {
    if (row == nullptr)
        return;
    m_chosen = infiltrationValue(row->text(1).toStdString());
    QDialog::accept();
}

void InfiltrationDialog::accept() {
    QTreeWidgetItem* row = m_wood->currentItem() ? m_wood->currentItem() : m_metal->currentItem();
    if (row == nullptr) {
        showProblem(m_status, GetText("IDS_CHOOSEINFILTRATION"));
        return;
    }
    choose(row);
}

std::optional<double> InfiltrationDialog::choose(QWidget* parent, const Languages& languages,
                                                 platform::SettingsStore* settings) {
    InfiltrationDialog dialog(parent);
    translateWindow(languages, dialog);
    if (execPlaced(dialog, settings) != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}

} // namespace kalydor::gui
