#pragma once

#include "gui/numberfieldbinding.h"
#include "rooms/roomeditor.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidgetItem;

namespace kalydor {
class ItemStore;
class Panel;
} // namespace kalydor

namespace kalydor::gui {

class ConstructionTree;

/// The project's constructions by group, and the defaults new boundaries take (orientation,
/// tilt, unheated neighbour, its winter temperature, winter insolation). A double click or
/// Add hands the chosen construction to the room dialog; the dialog stays open for more.
class AddBoundariesDialog : public QDialog {
    Q_OBJECT

public:
    /// `add` makes a boundary of a construction with the defaults; `buildingCompass` turns
    /// the orientation choices with the building.
    using Add = std::function<void(const Panel& construction)>;
    AddBoundariesDialog(ItemStore& project, NewBoundaryDefaults& defaults,
                        std::int16_t buildingCompass, Add add, QWidget* parent = nullptr);

    ConstructionTree* constructions() const { return m_tree; }
    QLabel* status() const { return m_status; }
    /// Adds the construction of a tree row (nothing for a group row).
    void addRow(QTreeWidgetItem* row);

private:
    NewBoundaryDefaults& m_defaults;
    Add m_add;
    ConstructionTree* m_tree;
    QComboBox* m_orientation;
    QComboBox* m_gradient;
    QCheckBox* m_unheated;
    QComboBox* m_sunFactor;
    QLabel* m_status;
    NumberFieldSet m_numbers;
};

} // namespace kalydor::gui
