#pragma once

#include "devicedb/radiatorsizing.h"
#include "rooms/radiatoroffer.h"
#include "rooms/roomeditor.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class QTreeWidget;

namespace kalydor {
class RadiatorFamilySource;
}

namespace kalydor::gui {

/// What the radiator page needs from the program: the device table's families, those of the
/// active set with their folders, how sizes are chosen, the project's medium temperatures and
/// installation factor, and how a radiator is edited (none: the edit button is disabled).
struct RadiatorPageSource {
    RadiatorFamilySource* families = nullptr;
    std::vector<std::pair<std::string, std::string>> offered;
    SizeChoiceOptions choice;
    float forward = 90;
    float backward = 70;
    float factor = 1;
    std::function<bool(Radiator& radiator, double ti, QWidget* parent)> edit;
    /// Lets the user choose the active set's items; the families then offered, or nothing
    /// when the choice was cancelled (none: the set button is disabled).
    std::function<std::optional<std::vector<std::pair<std::string, std::string>>>(QWidget* parent)>
        chooseSet;
};

/// The offer table as a Qt model: each cell computed when it is shown.
class OfferModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    void setOffer(std::unique_ptr<RadiatorOffer> offer);
    const RadiatorOffer* offer() const { return m_offer.get(); }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::unique_ptr<RadiatorOffer> m_offer;
};

/// The radiator page of the room dialog: the family tree of the active set, the offer's
/// inputs and table, and the room's radiators with their commands.
class RoomRadiatorPage : public QWidget {
    Q_OBJECT

public:
    RoomRadiatorPage(RoomEditor& editor, RadiatorPageSource source, QLabel* status,
                     QWidget* parent = nullptr);

    QTreeWidget* familyTree() const { return m_tree; }
    QLineEdit* countEdit() const { return m_count; }
    QLineEdit* demandEdit() const { return m_demand; }
    QCheckBox* dataSheet() const { return m_dataSheet; }
    QTableView* offerTable() const { return m_table; }
    QTreeWidget* radiatorList() const { return m_radiators; }
    const OfferModel& model() const { return m_model; }

    /// The set button: the active set chosen anew and the family tree rebuilt from it.
    void chooseSet();
    /// Chooses a family (as its tree row does) and rebuilds the offer.
    void chooseFamily(const std::string& family);
    /// Rebuilds the offer from the page's boxes; a bad box or temperatures the sizing
    /// refuses go to the status line and leave the table empty.
    void rebuildOffer();
    /// The offer's cell at (row, column) added n times, or put in place of the selected
    /// radiator; an empty cell does nothing.
    void addFromOffer(int row, int column);
    void changeFromOffer(int row, int column);
    /// Shows the room's radiators (after any command) and the remaining demand.
    void showRadiators();

signals:
    /// The room's radiators changed: the results are to be shown again.
    void radiatorsChanged();

private:
    std::optional<std::size_t> selectedRadiator() const;
    void afterCommand(bool changed);

    RoomEditor& m_editor;
    RadiatorPageSource m_source;
    QLabel* m_status;
    std::string m_family;
    QTreeWidget* m_tree;
    QLineEdit* m_forward;
    QLineEdit* m_backward;
    QLineEdit* m_factor;
    QLineEdit* m_count;
    QLineEdit* m_demand;
    QComboBox* m_firstDimension;
    QCheckBox* m_dataSheet;
    QTableView* m_table;
    OfferModel m_model;
    QTreeWidget* m_radiators;
};

} // namespace kalydor::gui
