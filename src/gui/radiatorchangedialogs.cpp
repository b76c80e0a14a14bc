#include "gui/radiatorchangedialogs.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "base/textlookup.h"
#include "devicedb/deviceitem.h"
#include "devicedb/deviceset.h"
#include "devicedb/radiatorfamilycache.h"
#include "gui/confirmationlist.h"
#include "gui/filechooser.h"
#include "gui/widgets.h"
#include "language/languages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <set>

namespace kalydor::gui {
namespace {

constexpr int kFamilyRole = Qt::UserRole;

// The folders of the type tree the user opened, kept for the next opening in this run.
std::set<QString>& openFolders() {
    static std::set<QString> folders;
    return folders;
}

QString folderKey(const QTreeWidgetItem* item) {
    QString key;
    for (const QTreeWidgetItem* at = item; at != nullptr; at = at->parent())
        key = at->text(0) + QLatin1Char('\\') + key;
    return key;
}

QString dimensions(const Radiator& r) {
    return QStringLiteral("%1x%2x%3").arg(r.Length).arg(r.Height).arg(r.Depth);
}

} // namespace

void fillRadiatorFamilyTree(QTreeWidget* tree,
                            const std::vector<std::pair<std::string, std::string>>& families) {
    tree->clear();
    tree->setHeaderHidden(true);
    for (const auto& [path, name] : families) {
        QTreeWidgetItem* parentItem = nullptr;
        for (const std::string& folder : splitText(path, '\\')) {
            if (folder.empty())
                continue;
            QTreeWidgetItem* found = nullptr;
            const int count = parentItem ? parentItem->childCount() : tree->topLevelItemCount();
            for (int i = 0; i < count && found == nullptr; ++i) {
                QTreeWidgetItem* child = parentItem ? parentItem->child(i) : tree->topLevelItem(i);
                if (child->text(0) == qt(folder) && !child->data(0, kFamilyRole).isValid())
                    found = child;
            }
            if (found == nullptr)
                found = parentItem ? new QTreeWidgetItem(parentItem, {qt(folder)})
                                   : new QTreeWidgetItem(tree, {qt(folder)});
            parentItem = found;
        }
        auto* item = parentItem ? new QTreeWidgetItem(parentItem, {qt(name)})
                                : new QTreeWidgetItem(tree, {qt(name)});
        item->setData(0, kFamilyRole, qt(name));
    }
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (openFolders().count(folderKey(*it)) != 0)
            (*it)->setExpanded(true);
    QObject::connect(tree, &QTreeWidget::itemExpanded, tree,
                     [](QTreeWidgetItem* item) { openFolders().insert(folderKey(item)); });
    QObject::connect(tree, &QTreeWidget::itemCollapsed, tree,
                     [](QTreeWidgetItem* item) { openFolders().erase(folderKey(item)); });
}

std::string familyOfRow(const QTreeWidgetItem* row) {
    const QVariant family = row ? row->data(0, kFamilyRole) : QVariant();
    return family.isValid() ? family.toString().toStdString() : std::string();
}

std::vector<std::pair<std::string, std::string>> radiatorFamiliesOf(const DeviceSet& set) {
    std::vector<std::pair<std::string, std::string>> families;
    const DeviceHierarchy& list = set.hierarchy(DeviceKind::RadiatorFamily);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (set.isSelected(DeviceKind::RadiatorFamily, list.Names[i]))
            families.emplace_back(i < list.Paths.size() ? list.Paths[i] : std::string(),
                                  list.Names[i]);
    return families;
}

RadiatorTypeDialog::RadiatorTypeDialog(std::vector<std::pair<std::string, std::string>> families,
                                       RadiatorFamilySource& source, QWidget* parent)
    : QDialog(parent)
    , m_source(source)
    , m_tree(named<QTreeWidget>("FamilyTree"))
    , m_mainTypes(named<QListWidget>("MainTypeList"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("SelectRadiatorTypeForm"));
    setWindowTitle(QStringLiteral("Radiator type"));
    fillRadiatorFamilyTree(m_tree, families);
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { chooseFamily(familyOfRow(item)); });
    connect(m_mainTypes, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    m_tree->setMinimumSize(280, 300);
    auto* lists = new QHBoxLayout;
    lists->addWidget(m_tree, 2);
    lists->addWidget(m_mainTypes, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
}

RadiatorTypeDialog::~RadiatorTypeDialog() = default;

void RadiatorTypeDialog::chooseFamily(const std::string& family) {
    m_family = family;
    m_mainTypes->clear();
    const RadiatorFamily* found = family.empty() ? nullptr : m_source.family(family);
    if (found == nullptr)
        return;
    for (const RadiatorMainType& mainType : found->MainTypes)
        m_mainTypes->addItem(qt(mainType.MainTypeName));
}

void RadiatorTypeDialog::accept() {
    QListWidgetItem* mainType = m_mainTypes->currentItem();
    if (m_family.empty() || mainType == nullptr) {
        showProblem(m_status, GetText("IDS_CHOOSEMAINTYPE"));
        return;
    }
    m_chosen = std::make_pair(m_family, mainType->text().toStdString());
    QDialog::accept();
}

RadiatorChangeDialog::RadiatorChangeDialog(ChooseType chooseType, const Languages& languages,
                                           QWidget* parent)
    : QDialog(parent)
    , m_chooseType(std::move(chooseType))
    , m_languages(languages)
    , m_forward(named<QLineEdit>("ForwardEdit"))
    , m_backward(named<QLineEdit>("ReturnEdit"))
    , m_fix(
          named<QCheckBox>("FixDifferenceCheck", QStringLiteral("Keep the temperature difference")))
    , m_newSize(named<QCheckBox>("NewSizeCheck", QStringLiteral("Choose a new size")))
    , m_rules(named<QTreeWidget>("RuleList"))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("ChangeRadiatorForm"));
    setWindowTitle(QStringLiteral("Change radiators"));
    auto* form = new QFormLayout;
    form->addRow(named<QLabel>("ForwardLabel", QStringLiteral("Flow temperature [°C]")), m_forward);
    form->addRow(named<QLabel>("ReturnLabel", QStringLiteral("Return temperature [°C]")),
                 m_backward);
    form->addRow(QString(), m_fix);
    form->addRow(QString(), m_newSize);
    m_rules->setRootIsDecorated(false);
    m_rules->setColumnCount(4);
    m_rules->setHeaderLabels(qt(m_languages.GetText("IDS_RULEHEADERS")).split(QLatin1Char(';')));
    m_rules->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_rules->setMinimumSize(520, 160);
    const auto button = [this](const char* name, const char* caption, auto run) {
        auto* b = named<QPushButton>(name, QString::fromUtf8(caption));
        connect(b, &QPushButton::clicked, this, run);
        return b;
    };
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(button("AddRuleButton", "Add rule...", [this] { addRule(); }));
    buttons->addWidget(button("DeleteRuleButton", "Delete rule", [this] { deleteRule(); }));
    const QString filter = qt(m_languages.GetText("IDS_RULESFILTER"));
    buttons->addWidget(button("SaveRulesButton", "Save rules...", [this, filter] {
        int chosen = 0;
        const QString file = dialogFileChooser().save(this, windowTitle(), {filter}, chosen);
        if (!file.isEmpty())
            saveRules(withExtensionOf(file, filter).toStdString());
    }));
    buttons->addWidget(button("LoadRulesButton", "Load rules...", [this, filter] {
        const QStringList files =
            dialogFileChooser().open(this, windowTitle(), {filter}, FileCount::One);
        if (!files.isEmpty())
            loadRules(files.front().toStdString());
    }));
    buttons->addStretch();
    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(named<QLabel>("RulesLabel", QStringLiteral("Rules (none: every radiator)")));
    layout->addWidget(m_rules);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
}

void RadiatorChangeDialog::setRules(std::vector<ChangeRule> rules) {
    m_ruleItems = std::move(rules);
    showRules();
}

void RadiatorChangeDialog::showRules() {
    m_rules->clear();
    for (const ChangeRule& rule : m_ruleItems)
        new QTreeWidgetItem(m_rules, {qt(rule.OldFamily), qt(rule.OldMainType), qt(rule.NewFamily),
                                      qt(rule.NewMainType)});
}

void RadiatorChangeDialog::addRule() {
    const auto from = m_chooseType();
    if (!from)
        return;
    const auto to = m_chooseType();
    if (!to)
        return;
    ChangeRule rule{1, from->first, from->second, to->first, to->second};
    // A rule for the same old type replaces the one listed.
    std::vector<ChangeRule> rules = changerules::merge(m_ruleItems, {rule});
    setRules(std::move(rules));
}

void RadiatorChangeDialog::deleteRule() {
    const int row = m_rules->indexOfTopLevelItem(m_rules->currentItem());
    if (row < 0)
        return;
    m_ruleItems.erase(m_ruleItems.begin() + row);
    showRules();
}

void RadiatorChangeDialog::saveRules(const std::string& fileName) {
    try {
        changerules::save(fileName, m_ruleItems);
        m_status->clear();
    } catch (const Error& error) {
        showProblem(m_status, error.text());
    }
}

void RadiatorChangeDialog::loadRules(const std::string& fileName) {
    try {
        setRules(changerules::load(fileName));
        m_status->clear();
    } catch (const Error& error) {
        showProblem(m_status, error.text());
    }
}

void RadiatorChangeDialog::accept() {
    try {
        RadiatorChangeSettings settings = RadiatorChangeSettings::read(
            m_forward->text().trimmed().toStdString(), m_backward->text().trimmed().toStdString(),
            m_fix->isChecked(), m_newSize->isChecked());
        settings.rules = m_ruleItems;
        m_settings = std::move(settings);
    } catch (const Error& error) {
        showProblem(m_status, error.text());
        return;
    }
    QDialog::accept();
}

RadiatorChangeListDialog::RadiatorChangeListDialog(std::vector<RadiatorCandidate> candidates,
                                                   QWidget* parent)
    : QDialog(parent)
    , m_candidates(std::move(candidates))
    , m_list(named<QTreeWidget>("RadiatorList"))
    , m_all(named<QRadioButton>("AllRadio", QStringLiteral("All")))
    , m_selected(named<QRadioButton>("SelectedRadio", QStringLiteral("The selected ones"))) {
    setObjectName(QStringLiteral("ChangeRadiatorListForm"));
    setWindowTitle(QStringLiteral("Radiators to change"));
    setSizeGripEnabled(true);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels(qt(GetText("IDS_RADIATORCHANGEHEADERS")).split(QLatin1Char(';')));
    for (const RadiatorCandidate& c : m_candidates) {
        auto* row = new QTreeWidgetItem(
            m_list, {qt(c.room.Name), qt(c.before.Mark), qt(c.before.TypeCode),
                     qt(c.after.TypeCode), qt(displayNumber(std::round(c.before.Power()), 7)),
                     qt(displayNumber(std::round(c.after.Power()), 7)), dimensions(c.after)});
        for (const int column : {4, 5})
            row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->setMinimumSize(620, 260);
    QHBoxLayout* radios = allOrSelectedChoice(m_list, m_all, m_selected);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(radios);
    layout->addWidget(okCancelButtons(this));
}

std::vector<RadiatorCandidate> RadiatorChangeListDialog::chosen() const {
    return chosenRows(m_list, m_all, m_candidates);
}

} // namespace kalydor::gui
