#include "gui/searchreplacewindow.h"

#include "gui/itemlistwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kalydor::gui {

SearchReplaceWindow::SearchReplaceWindow(const Languages& languages,
                                         std::function<ItemListWindow*()> activeList,
                                         QWidget* parent)
    : QDialog(parent)
    , m_languages(languages)
    , m_activeList(std::move(activeList))
    , m_pattern(named<QLineEdit>("PatternEdit"))
    , m_replacement(named<QLineEdit>("ReplacementEdit"))
    , m_exactCase(named<QCheckBox>("ExactCaseCheck", QStringLiteral("Case and accents matter")))
    , m_fromStart(named<QCheckBox>("FromStartCheck", QStringLiteral("From the beginning")))
    , m_currentGroupOnly(
          named<QCheckBox>("CurrentGroupCheck", QStringLiteral("Only in the current group"))) {
    setObjectName(QStringLiteral("SearchReplaceForm"));
    setWindowTitle(QStringLiteral("Search and replace"));
    auto* form = new QFormLayout;
    form->addRow(named<QLabel>("PatternLabel", QStringLiteral("Search for")), m_pattern);
    form->addRow(named<QLabel>("ReplacementLabel", QStringLiteral("Replace with")), m_replacement);
    form->addRow(m_exactCase);
    form->addRow(m_fromStart);
    form->addRow(m_currentGroupOnly);
    auto* buttons = new QHBoxLayout;
    const struct {
        const char* name;
        const char* caption;
        SearchRequest::Command command;
    } commands[] = {
        {"SearchButton", "Search", SearchRequest::Command::Search},
        {"ReplaceButton", "Replace", SearchRequest::Command::Replace},
        {"ReplaceAllButton", "Replace all", SearchRequest::Command::ReplaceAll},
    };
    for (const auto& c : commands) {
        auto* button = named<QPushButton>(c.name, QString::fromLatin1(c.caption));
        const SearchRequest::Command command = c.command;
        connect(button, &QPushButton::clicked, this, [this, command] { run(command); });
        buttons->addWidget(button);
    }
    auto* close = named<QPushButton>("CloseButton", QStringLiteral("Close"));
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    translateWindow(languages, *this);
}

void SearchReplaceWindow::run(SearchRequest::Command command) {
    ItemListWindow* list = m_activeList ? m_activeList() : nullptr;
    if (!list)
        return;
    SearchRequest request;
    request.command = command;
    request.pattern = m_pattern->text().toStdString();
    request.replacement = m_replacement->text().toStdString();
    request.exactCase = m_exactCase->isChecked();
    request.fromStart = m_fromStart->isChecked();
    request.currentGroupOnly = m_currentGroupOnly->isChecked();
    const std::string selected = list->selectedItem();
    const SearchOutcome outcome = searchAndReplace(list->logic(), request, selected);
    if (outcome.found) {
        list->selectGroupById(outcome.groupId);
        list->selectItem(outcome.itemName);
    } else {
        list->reloadList();
    }
    if (!outcome.messageKey.empty()) {
        if (outcome.informative)
            platform::prompter().showInformation(outcome.messageText(m_languages));
        else
            platform::prompter().showMessage(outcome.messageText(m_languages));
    }
    // The next search goes on from where this one stopped.
    m_fromStart->setChecked(false);
}

} // namespace kalydor::gui
