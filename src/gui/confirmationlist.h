#pragma once

// The choice under a list a change asks to confirm: all its rows, or the selected ones.

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QTreeWidget>

#include <cstddef>
#include <vector>

namespace kalydor::gui {

/// Makes `all` and `selected` one choice, all by default; selecting a row chooses the
/// selected ones. Gives the row that holds them.
inline QHBoxLayout* allOrSelectedChoice(QTreeWidget* list, QRadioButton* all,
                                        QRadioButton* selected) {
    auto* choice = new QButtonGroup(list);
    choice->addButton(all);
    choice->addButton(selected);
    all->setChecked(true);
    QObject::connect(list, &QTreeWidget::itemSelectionChanged, list, [list, selected] {
        if (!list->selectedItems().isEmpty())
            selected->setChecked(true);
    });
    auto* row = new QHBoxLayout;
    row->addWidget(all);
    row->addWidget(selected);
    row->addStretch();
    return row;
}

/// The entries behind the list's rows the choice takes.
template <class Entry>
std::vector<Entry> chosenRows(const QTreeWidget* list, const QRadioButton* all,
                              const std::vector<Entry>& entries) {
    if (all->isChecked())
        return entries;
    std::vector<Entry> chosen;
    for (int i = 0; i < list->topLevelItemCount() && static_cast<std::size_t>(i) < entries.size();
         ++i)
        if (list->topLevelItem(i)->isSelected())
            chosen.push_back(entries[static_cast<std::size_t>(i)]);
    return chosen;
}

} // namespace kalydor::gui
