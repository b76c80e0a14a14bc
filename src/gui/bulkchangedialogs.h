#pragma once

#include "reports/columnlayout.h"
#include "rooms/bulkchanges.h"

#include <QDialog>

#include <map>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTreeWidget;

namespace kalydor {
class BuildingsTable;
class ItemStore;
class Languages;
} // namespace kalydor
namespace kalydor::platform {
class SettingsStore;
}

namespace kalydor::gui {

class ColumnHeaderView;
class ConstructionTree;

/// Picks one of the project's constructions from its tree; none when cancelled.
std::optional<Panel> chooseConstruction(ItemStore& project, const Languages& languages,
                                        platform::SettingsStore* settings, QWidget* parent);

/// The construction change: which boundaries (kind, optional name and resistance) and their
/// new values, each box left empty leaving its value. OK reads every box.
class ConstructionChangeDialog : public QDialog {
    Q_OBJECT

public:
    ConstructionChangeDialog(ItemStore& project, const Languages& languages,
                             platform::SettingsStore* settings, QWidget* parent = nullptr);

    QComboBox* kindCombo() const { return m_kind; }
    QLineEdit* searchName() const { return m_searchName; }
    QLineEdit* searchK() const { return m_searchK; }
    QLineEdit* newValue(ConstructionField field) const { return m_values.at(field); }
    QLabel* status() const { return m_status; }
    /// Fills the search side or the new values from a construction.
    void takeSearch(const Panel& construction);
    void takeValues(const Panel& construction);

    const ConstructionSearch& search() const { return m_search; }
    const ConstructionValues& values() const { return m_newValues; }

    void accept() override;

private:
    ItemStore& m_project;
    const Languages& m_languages;
    platform::SettingsStore* m_settings;
    QComboBox* m_kind;
    QLineEdit* m_searchName;
    QLineEdit* m_searchK;
    std::map<ConstructionField, QLineEdit*> m_values;
    QLabel* m_status;
    ConstructionSearch m_search;
    ConstructionValues m_newValues;
};

/// The boundaries a construction change found, in the "RoomPanelChangeTitle" columns: all of
/// them, or the selected ones.
class MatchListDialog : public QDialog {
    Q_OBJECT

public:
    MatchListDialog(std::vector<BoundaryMatch> matches, const Languages& languages,
                    platform::SettingsStore* settings, QWidget* parent = nullptr);
    ~MatchListDialog() override;

    QTreeWidget* list() const { return m_list; }
    QRadioButton* allRadio() const { return m_all; }
    QRadioButton* selectedRadio() const { return m_selected; }
    /// The entries OK takes.
    std::vector<BoundaryMatch> chosen() const;

private:
    std::vector<BoundaryMatch> m_matches;
    ColumnLayout m_columns;
    QTreeWidget* m_list;
    ColumnHeaderView* m_header;
    QRadioButton* m_all;
    QRadioButton* m_selected;
};

/// The temperatures of many rooms: outside and entering air (the first entry takes the
/// project's), inside; an empty box leaves the rooms' value.
class TemperatureChangeDialog : public QDialog {
    Q_OBJECT

public:
    explicit TemperatureChangeDialog(QWidget* parent = nullptr);
    QComboBox* outside() const { return m_outside; }
    QLineEdit* inside() const { return m_inside; }
    QComboBox* air() const { return m_air; }
    QLabel* status() const { return m_status; }
    const std::optional<TemperatureChange>& change() const { return m_change; }
    void accept() override;

private:
    QComboBox* m_outside;
    QLineEdit* m_inside;
    QComboBox* m_air;
    QLabel* m_status;
    std::optional<TemperatureChange> m_change;
};

/// The building rooms are moved to.
class MoveRoomsDialog : public QDialog {
    Q_OBJECT

public:
    MoveRoomsDialog(ItemStore& project, const BuildingsTable& buildings, QWidget* parent = nullptr);
    QListWidget* buildings() const { return m_list; }
    /// The chosen building's identifier.
    const std::optional<std::string>& building() const { return m_building; }
    void accept() override;

private:
    std::vector<std::string> m_ids;
    QListWidget* m_list;
    QLabel* m_status;
    std::optional<std::string> m_building;
};

/// Turning rooms: a rotation by an angle or a mirror about a direction.
class RotateRoomsDialog : public QDialog {
    Q_OBJECT

public:
    explicit RotateRoomsDialog(QWidget* parent = nullptr);
    QRadioButton* rotate() const { return m_rotate; }
    QRadioButton* mirror() const { return m_mirror; }
    QLineEdit* angle() const { return m_angle; }
    QLabel* status() const { return m_status; }
    const std::optional<OrientationChange>& change() const { return m_change; }
    void accept() override;

private:
    QRadioButton* m_rotate;
    QRadioButton* m_mirror;
    QLineEdit* m_angle;
    QLabel* m_status;
    std::optional<OrientationChange> m_change;
};

} // namespace kalydor::gui
