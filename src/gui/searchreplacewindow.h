#pragma once

#include "shell/itemsearch.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;

namespace kalydor {
class Languages;
}

namespace kalydor::gui {

class ItemListWindow;

/// The one search-and-replace window of the program. It always works on the active list
/// window, which the main window names through `activeList`.
class SearchReplaceWindow : public QDialog {
    Q_OBJECT

public:
    SearchReplaceWindow(const Languages& languages, std::function<ItemListWindow*()> activeList,
                        QWidget* parent = nullptr);

    QLineEdit* pattern() const { return m_pattern; }
    QLineEdit* replacement() const { return m_replacement; }
    QCheckBox* exactCase() const { return m_exactCase; }
    QCheckBox* fromStart() const { return m_fromStart; }
    QCheckBox* currentGroupOnly() const { return m_currentGroupOnly; }

    /// Runs a command on the active list and shows where it stopped.
    void run(SearchRequest::Command command);

private:
    const Languages& m_languages;
    std::function<ItemListWindow*()> m_activeList;
    QLineEdit* m_pattern;
    QLineEdit* m_replacement;
    QCheckBox* m_exactCase;
    QCheckBox* m_fromStart;
    QCheckBox* m_currentGroupOnly;
};

} // namespace kalydor::gui
