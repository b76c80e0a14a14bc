#pragma once

#include "constructions/panel.h"
#include "store/treemodel.h"

#include <QTreeWidget>

#include <optional>
#include <string>

namespace kalydor {
class ItemStore;
}

namespace kalydor::gui {

/// The project's constructions by group, as a tree to pick one from.
class ConstructionTree : public QTreeWidget {
    Q_OBJECT

public:
    ConstructionTree(ItemStore& project, const char* objectName, QWidget* parent = nullptr);

    /// The construction of a row (none for a group row); an unreadable one gives its message.
    std::optional<kalydor::Panel> construction(const QTreeWidgetItem* row,
                                               std::string* problem = nullptr);
    /// The first construction row (tests pick it).
    QTreeWidgetItem* firstConstructionRow() const;

private:
    ItemStore& m_project;
    TreeModel m_model;
};

} // namespace kalydor::gui
