#include "gui/winddialog.h"

#include "gui/dialogplacement.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

WindChoices& remembered() {
    static WindChoices choices;
    return choices;
}

QTreeWidget* tableList(const char* name, int columns, const char* headers) {
    auto* list = named<QTreeWidget>(name);
    list->setHeaderLabels(qt(GetText(headers)).split(QLatin1Char(';')));
    list->setRootIsDecorated(false);
    list->setColumnCount(columns);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->setMinimumWidth(460);
    return list;
}

int rowOf(const QTreeWidget* list) {
    QTreeWidgetItem* item = list->currentItem();
    return item ? list->indexOfTopLevelItem(item) : -1;
}

} // namespace

WindDialog::WindDialog(QWidget* parent)
    : QDialog(parent)
    , m_tables(WindTables::load())
    , m_situations(tableList("SituationList", 3, "IDS_WINDHEADERS"))
    , m_highRise(named<QCheckBox>("HighRiseCheck", QStringLiteral("High-rise building")))
    , m_storeys(named<QComboBox>("StoreysCombo"))
    , m_levels(tableList("LevelList", 2, "IDS_LEVELHEADERS"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("WindForm"));
    setWindowTitle(QStringLiteral("Wind speed and level factor"));
    const WindChoices start = remembered();
    for (const WindRow& row : m_tables.situations()) {
        auto* item = new QTreeWidgetItem(m_situations);
        item->setText(0, qt(row.situation));
        item->setText(1, qt(row.zone));
        item->setText(2, qt(row.v));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (start.situation >= 0 && start.situation < m_situations->topLevelItemCount())
        m_situations->setCurrentItem(m_situations->topLevelItem(start.situation));
    for (const int count : kStoreyCounts)
        m_storeys->addItem(QString::number(count));
    m_storeys->setCurrentIndex(start.storeys);
    m_highRise->setChecked(start.highRise);
    fillLevels();
    if (start.level >= 0 && start.level < m_levels->topLevelItemCount())
        m_levels->setCurrentItem(m_levels->topLevelItem(start.level));

    connect(m_highRise, &QCheckBox::toggled, this, [this] { fillLevels(); });
    connect(m_storeys, &QComboBox::currentIndexChanged, this, [this] { fillLevels(); });
    connect(m_situations, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(m_levels, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });

    auto* storeyRow = new QHBoxLayout;
    storeyRow->addWidget(m_highRise);
    storeyRow->addStretch();
    storeyRow->addWidget(named<QLabel>("StoreysLabel", QStringLiteral("Storeys")));
    storeyRow->addWidget(m_storeys);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(named<QLabel>("SituationLabel", QStringLiteral("Situation and wind zone")));
    layout->addWidget(m_situations);
    layout->addLayout(storeyRow);
    layout->addWidget(named<QLabel>("LevelLabel", QStringLiteral("Level of the room")));
    layout->addWidget(m_levels);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
}

void WindDialog::fillLevels() {
    const int selected = rowOf(m_levels);
    const int storeys = m_storeys->currentIndex();
    m_levels->clear();
    for (std::size_t i = 0; i < m_tables.levels().size(); ++i) {
        const int level = static_cast<int>(i);
        auto* item = new QTreeWidgetItem(m_levels);
        item->setText(0, qt(m_tables.levels()[i].level));
        item->setText(1, qt(m_tables.factor(level, storeys)));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        // A storey the building does not have cannot be chosen.
        if (!m_tables.levelSelectable(level, storeys))
            item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
    }
    if (selected >= 0 && selected < m_levels->topLevelItemCount() &&
        m_tables.levelSelectable(selected, storeys))
        m_levels->setCurrentItem(m_levels->topLevelItem(selected));
    const bool highRise = m_highRise->isChecked();
    m_levels->setEnabled(highRise);
    m_storeys->setEnabled(highRise);
}

WindChoices WindDialog::choices() const {
    WindChoices choices;
    choices.situation = rowOf(m_situations);
    choices.highRise = m_highRise->isChecked();
    choices.storeys = m_storeys->currentIndex();
    choices.level = rowOf(m_levels);
    return choices;
}

void WindDialog::accept() {
    const WindChoices now = choices();
    m_chosen = m_tables.choose(now);
    if (!m_chosen) {
        showProblem(m_status,
                    GetText(now.situation < 0 ? "IDS_CHOOSESITUATION" : "IDS_CHOOSELEVEL"));
        return;
    }
    remembered() = now;
    QDialog::accept();
}

std::optional<WindTables::Choice> WindDialog::choose(QWidget* parent, const Languages& languages,
                                                     platform::SettingsStore* settings) {
    WindDialog dialog(parent);
    translateWindow(languages, dialog);
    if (execPlaced(dialog, settings) != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}

} // namespace kalydor::gui
