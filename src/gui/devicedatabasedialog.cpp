#include "gui/devicedatabasedialog.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "devicedb/deviceitem.h"
#include "devicedb/devicestore.h"
#include "gui/devicesetdialog.h"
#include "gui/dialogplacement.h"
#include "gui/piecelistdialog.h"
#include "gui/qtwindowtranslation.h"
#include "gui/radiatorfamilydialog.h"
#include "gui/widgets.h"
#include "platform/prompter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace kalydor::gui {
namespace {

// What a row of the tree carries: whether it is an item, and on a kind's top row the kind.
constexpr int kItemRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;

// The buttons of the commands, top to bottom: object name, built-in caption and command.
struct CommandButton {
    const char* name;
    const char* caption;
    void (DeviceDatabaseDialog::*command)();
};
constexpr CommandButton kButtons[] = {
    {"LoadButton", "&Load...", &DeviceDatabaseDialog::loadSources},
    {"ExportButton", "&Export...", &DeviceDatabaseDialog::exportItems},
    {"CheckButton", "C&heck...", &DeviceDatabaseDialog::checkItem},
    {"DeleteButton", "&Delete", &DeviceDatabaseDialog::deleteSelected},
    {"ChooseTableButton", "Choose data&base...", &DeviceDatabaseDialog::chooseTable},
    {"ReduceButton", "&Reduced database...", &DeviceDatabaseDialog::writeReducedTable},
    {"EstimateCodesButton", "E&stimate codes...", &DeviceDatabaseDialog::appendEstimateCodes},
};

bool isItem(const QTreeWidgetItem* row) {
    return row && row->data(0, kItemRole).toBool();
}

void addRows(QTreeWidgetItem* parent, const TreeNode& node) {
    for (const std::unique_ptr<TreeNode>& child : node.children()) {
        auto* row = new QTreeWidgetItem(parent, {qt(child->caption())});
        row->setData(0, kItemRole, child->role() == TreeNodeRole::Item);
        addRows(row, *child);
    }
}

std::int64_t number(std::size_t n) {
    return static_cast<std::int64_t>(n);
}

std::string text(const char* key, const TextArgs& args) {
    return formatText(GetText(key), args);
}

// Runs a command's work; its error is shown and the dialog goes on. False after an error.
bool showingErrors(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
    } catch (const std::exception& error) {
        platform::prompter().showMessage(error.what());
    }
    return false;
}

std::string loadReport(const DeviceLoadResult& result) {
    std::string report =
        text("IDS_DEVICELOADRESULT", {number(result.files), number(result.added),
                                      number(result.replaced), number(result.kept)});
    if (result.resets > 0)
        report += "\n" + text("IDS_DEVICELOADRESETS", {number(result.resets)});
    return report;
}

std::string exportReport(const DeviceExportResult& result, const std::string& file) {
    if (!result.fileWritten)
        return GetText("IDS_DEVICEEXPORTNOTHING");
    std::string report = text("IDS_DEVICEEXPORTRESULT", {number(result.written), file});
    if (result.unreadable > 0 || result.missing > 0)
        report += "\n" + text("IDS_DEVICEEXPORTSKIPPED",
                              {number(result.unreadable), number(result.missing)});
    return report;
}

} // namespace

DeviceDatabaseDialog::DeviceDatabaseDialog(DeviceStore& table, platform::SettingsStore& settings,
                                           const Languages& languages, QWidget* parent)
    : QDialog(parent)
    , m_table(&table)
    , m_settings(settings)
    , m_languages(languages)
    , m_editor(std::make_unique<DeviceDatabaseEditor>(table))
    , m_view(named<QTreeWidget>("DeviceTree"))
    , m_tableFile(named<QLabel>("TableFileValue")) {
    setObjectName(QStringLiteral("DeviceDatabaseForm"));
    setWindowTitle(QStringLiteral("Device database"));
    setSizeGripEnabled(true);

    chooseItems = [this](DeviceSet& set) {
        DeviceSetDialog dialog(set, m_languages, this);
        return execPlaced(dialog, m_settings) == QDialog::Accepted;
    };
    showItem = [this](const DeviceItem& item) {
        const QString title = qt(item.Path.empty() ? item.Name : item.Path + " - " + item.Name);
        std::unique_ptr<QDialog> view;
        if (item.kind() == DeviceKind::RadiatorFamily)
            view = std::make_unique<RadiatorFamilyDialog>(static_cast<const RadiatorFamily&>(item),
                                                          this);
        else
            view = std::make_unique<PieceListDialog>(static_cast<const PieceList&>(item), this);
        translateWindow(m_languages, *view);
        // The window names the item; the language's caption names only its kind.
        view->setWindowTitle(title);
        execPlaced(*view, m_settings);
    };

    m_view->setHeaderHidden(true);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_view, &QTreeWidget::itemSelectionChanged, this, &DeviceDatabaseDialog::updateButtons);
    connect(m_view, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* row) {
        if (isItem(row))
            checkItem();
    });

    auto* commands = new QVBoxLayout;
    for (const CommandButton& entry : kButtons) {
        auto* command = named<QPushButton>(entry.name, QString::fromUtf8(entry.caption));
        command->setAutoDefault(false);
        connect(command, &QPushButton::clicked, this, entry.command);
        commands->addWidget(command);
        // Another table, and what is made of the whole table, stand apart from the commands
        // on its items.
        if (std::string_view(entry.name) == "DeleteButton")
            commands->addSpacing(12);
    }
    commands->addStretch();
    auto* close = named<QPushButton>("CloseButton", QStringLiteral("Close"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    commands->addWidget(close);

    m_tableFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_tableFile->setWordWrap(true);
    auto* file = new QHBoxLayout;
    file->addWidget(named<QLabel>("TableFileLabel", QStringLiteral("Device table:")));
    file->addWidget(m_tableFile, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(m_view, 1);
    left->addLayout(file);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(commands);
    translateWindow(languages, *this);
    rebuild();
    resize(620, 480);
}

DeviceDatabaseDialog::~DeviceDatabaseDialog() = default;

QPushButton* DeviceDatabaseDialog::button(const char* name) const {
    return findChild<QPushButton*>(QString::fromLatin1(name));
}

QStringList DeviceDatabaseDialog::captionsOf(const QTreeWidgetItem* row) const {
    QStringList captions;
    for (; row; row = row->parent())
        captions.prepend(row->text(0));
    return captions;
}

QTreeWidgetItem* DeviceDatabaseDialog::rowAt(const QStringList& captions) const {
    for (QTreeWidgetItemIterator it(m_view); *it; ++it) {
        if (captionsOf(*it) == captions)
            return *it;
    }
    return nullptr;
}

DeviceKind DeviceDatabaseDialog::kindOf(const QTreeWidgetItem* row) const {
    while (row->parent())
        row = row->parent();
    return static_cast<DeviceKind>(row->data(0, kKindRole).toInt());
}

// The trees read again from the table; folders open before stay open, and the row chosen
// stays chosen while it is there.
void DeviceDatabaseDialog::rebuild() {
    QSet<QString> expanded;
    QString chosen;
    for (QTreeWidgetItemIterator it(m_view); *it; ++it) {
        if ((*it)->isExpanded())
            expanded.insert(captionsOf(*it).join(QLatin1Char('\n')));
    }
    if (!m_view->selectedItems().isEmpty())
        chosen = captionsOf(m_view->selectedItems().first()).join(QLatin1Char('\n'));
    const bool first = m_view->topLevelItemCount() == 0;

    {
        const QSignalBlocker blocker(m_view);
        m_view->clear();
    }
    m_model.clear();
    const bool read = showingErrors(
        [this] { m_browsing = std::make_unique<DeviceSet>(*m_table, SetSelection::Without); });
    if (!read)
        m_browsing = std::make_unique<DeviceSet>(DeviceHierarchy(DeviceKind::RadiatorFamily),
                                                 DeviceHierarchy(DeviceKind::PieceList),
                                                 SetSelection::Without);
    {
        const QSignalBlocker blocker(m_view);
        for (const DeviceKind kind : kDeviceKinds) {
            const TreeNode* root = m_browsing->hierarchy(kind).buildTree(m_model);
            auto* top = new QTreeWidgetItem(m_view, {qt(root->caption())});
            top->setData(0, kItemRole, false);
            top->setData(0, kKindRole, deviceKindNumber(kind));
            addRows(top, *root);
        }
        for (QTreeWidgetItemIterator it(m_view); *it; ++it) {
            const QString key = captionsOf(*it).join(QLatin1Char('\n'));
            if (first ? !(*it)->parent() : expanded.contains(key))
                (*it)->setExpanded(true);
            if (!chosen.isEmpty() && key == chosen) {
                m_view->setCurrentItem(*it);
                chosen.clear();
            }
        }
    }
    m_tableFile->setText(qt(m_table->path()));
    updateButtons();
}

void DeviceDatabaseDialog::updateButtons() {
    const QList<QTreeWidgetItem*> selected = m_view->selectedItems();
    const QTreeWidgetItem* row = selected.isEmpty() ? nullptr : selected.first();
    // Only an item can be checked; an item or a folder (a kind's title: the whole kind) can
    // be deleted.
    button("CheckButton")->setEnabled(isItem(row));
    button("DeleteButton")->setEnabled(row != nullptr);
}

QString DeviceDatabaseDialog::openFile(QPushButton* command, const QStringList& filters) {
    if (!fileChooser.open)
        return {};
    const QStringList files = fileChooser.open(this, titleOf(command), filters, FileCount::One);
    return files.isEmpty() ? QString() : files.first();
}

QString DeviceDatabaseDialog::saveFile(QPushButton* command, const QStringList& filters) {
    if (!fileChooser.save)
        return {};
    int chosen = 0;
    const QString file = fileChooser.save(this, titleOf(command), filters, chosen);
    return withExtensionOf(file, filters.value(chosen));
}

void DeviceDatabaseDialog::loadSources() {
    QPushButton* command = button("LoadButton");
    if (!fileChooser.open)
        return;
    const QStringList chosen =
        fileChooser.open(this, titleOf(command),
                         {qt(GetText("IDS_DEVICESOURCEFILTER")), qt(GetText("IDS_ALLFILESFILTER"))},
                         FileCount::Several);
    if (chosen.isEmpty())
        return;
    std::vector<std::string> files;
    for (const QString& file : chosen)
        files.push_back(file.toStdString());
    DeviceLoadResult result;
    std::optional<std::string> fault;
    {
        const BusyIndicator busy(this, titleOf(command));
        try {
            m_editor->load(files, StandingAnswer::None, result);
        } catch (const Error& error) {
            fault = error.text();
        } catch (const std::exception& error) {
            fault = error.what();
        }
    }
    rebuild();
    // What was stored before a fault stays stored: the counts say how far the load came.
    if (fault)
        platform::prompter().showMessage(*fault + "\n\n" + loadReport(result));
    else
        platform::prompter().showInformation(loadReport(result));
}

void DeviceDatabaseDialog::exportItems() {
    std::unique_ptr<DeviceSet> set;
    if (!showingErrors([&] { set = std::make_unique<DeviceSet>(*m_table, SetSelection::With); }) ||
        !chooseItems || !chooseItems(*set))
        return;
    QPushButton* command = button("ExportButton");
    const QString file = saveFile(command, {qt(GetText("IDS_XMLEXCHANGEFILTER")),
                                            qt(GetText("IDS_TEXTEXCHANGEFILTER")),
                                            qt(GetText("IDS_ALLFILESFILTER"))});
    if (file.isEmpty())
        return;
    DeviceExportResult result;
    bool done = false;
    {
        const BusyIndicator busy(this, titleOf(command));
        done = showingErrors([&] { result = m_editor->exportItems(*set, file.toStdString()); });
    }
    if (done)
        platform::prompter().showInformation(exportReport(result, file.toStdString()));
}

void DeviceDatabaseDialog::checkItem() {
    const QList<QTreeWidgetItem*> selected = m_view->selectedItems();
    if (selected.isEmpty() || !isItem(selected.first()))
        return;
    const QTreeWidgetItem* row = selected.first();
    const std::string name = row->text(0).toStdString();
    std::unique_ptr<DeviceItem> item;
    if (!showingErrors([&] { item = m_editor->check(kindOf(row), name); }))
        return;
    if (!item) {
        platform::prompter().showMessage(text("IDS_DEVICEITEMMISSING", {name}));
        return;
    }
    if (showItem)
        showItem(*item);
}

void DeviceDatabaseDialog::deleteSelected() {
    const QList<QTreeWidgetItem*> selected = m_view->selectedItems();
    if (selected.isEmpty())
        return;
    const QTreeWidgetItem* row = selected.first();
    const DeviceKind kind = kindOf(row);
    bool deleted = false;
    if (isItem(row)) {
        const std::string name = row->text(0).toStdString();
        showingErrors([&] { deleted = m_editor->deleteItem(kind, name); });
    } else {
        // The folders below the kind's title, joined as the folder lists keep them.
        QStringList folders = captionsOf(row);
        folders.removeFirst();
        const std::string path = folders.join(QChar(kDevicePathSeparator)).toStdString();
        showingErrors([&] { deleted = m_editor->deleteFolder(kind, path); });
    }
    if (deleted)
        rebuild();
}

void DeviceDatabaseDialog::chooseTable() {
    const QString file =
        openFile(button("ChooseTableButton"),
                 {qt(GetText("IDS_DEVICETABLEFILTER")), qt(GetText("IDS_ALLFILESFILTER"))});
    if (file.isEmpty())
        return;
    std::unique_ptr<DeviceStore> chosen;
    // A table that does not open is named with its fault; the one open stays in use.
    if (!showingErrors([&] { chosen = chooseDeviceTable(m_settings, file.toStdString()); }))
        return;
    DeviceStore& table = *chosen;
    m_editor = std::make_unique<DeviceDatabaseEditor>(table);
    m_table = &table;
    if (tableChosen)
        tableChosen(std::move(chosen));
    else
        m_ownTable = std::move(chosen);
    rebuild();
}

void DeviceDatabaseDialog::writeReducedTable() {
    std::unique_ptr<DeviceSet> set;
    if (!showingErrors([&] { set = std::make_unique<DeviceSet>(*m_table, SetSelection::With); }) ||
        !chooseItems || !chooseItems(*set))
        return;
    QPushButton* command = button("ReduceButton");
    const QString file = saveFile(
        command, {qt(GetText("IDS_DEVICETABLEFILTER")), qt(GetText("IDS_ALLFILESFILTER"))});
    if (file.isEmpty())
        return;
    std::size_t copied = 0;
    bool done = false;
    {
        const BusyIndicator busy(this, titleOf(command));
        done = showingErrors([&] { copied = m_editor->reduce(*set, file.toStdString()); });
    }
    if (done)
        platform::prompter().showInformation(
            text("IDS_DEVICEREDUCERESULT", {number(copied), file.toStdString()}));
}

void DeviceDatabaseDialog::appendEstimateCodes() {
    QPushButton* command = button("EstimateCodesButton");
    const QString file = openFile(
        command, {qt(GetText("IDS_ESTIMATELINKFILTER")), qt(GetText("IDS_ALLFILESFILTER"))});
    if (file.isEmpty())
        return;
    std::size_t appended = 0;
    bool done = false;
    {
        const BusyIndicator busy(this, titleOf(command));
        done = showingErrors(
            [&] { appended = m_editor->appendEstimateCodes(file.toStdString()).size(); });
    }
    if (done)
        platform::prompter().showInformation(
            text("IDS_ESTIMATECODESAPPENDED", {number(appended), file.toStdString()}));
}

} // namespace kalydor::gui
