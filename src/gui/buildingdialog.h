#pragma once

#include "gui/numberfieldbinding.h"
#include "rooms/buildingeditor.h"
#include "rooms/roomcontext.h"

#include <QDialog>

#include <map>

class QComboBox;
class QLabel;
class QLineEdit;

namespace kalydor {
class ProgramOptions;
}

namespace kalydor::gui {

/// The building dialog: site data, parent building, and the climate the settlement gives.
class BuildingDialog : public QDialog {
    Q_OBJECT

public:
    BuildingDialog(BuildingEditor& editor, QWidget* parent = nullptr);

    QComboBox* parentCombo() const { return m_parent; }
    QComboBox* categoryCombo() const { return m_category; }
    QLineEdit* settlementEdit() const { return m_settlement; }
    QLineEdit* field(BuildingField which) const { return m_fields.at(which); }
    QLabel* temperatureLabel() const { return m_temperature; }
    QLabel* swingLabel() const { return m_swing; }
    QLabel* status() const { return m_status; }

    void accept() override;

private:
    void showClimate();
    void settlementLeft();

    BuildingEditor& m_editor;
    QComboBox* m_pollution;
    QComboBox* m_wallMass;
    QComboBox* m_category;
    QComboBox* m_parent;
    QLineEdit* m_settlement;
    QLabel* m_temperature;
    QLabel* m_swing;
    QLabel* m_status;
    std::map<BuildingField, QLineEdit*> m_fields;
    NumberFieldSet m_numbers;
};

/// The desktop's building dialog for the buildings list.
class QtBuildingDialogs final : public BuildingDialogs {
public:
    explicit QtBuildingDialogs(const ProgramOptions& options)
        : m_options(options) {}
    bool editBuilding(BuildingEditor& editor, platform::Window* owner) override;

private:
    const ProgramOptions& m_options;
};

} // namespace kalydor::gui
