#pragma once

#include "gui/numberfieldbinding.h"
#include "heating/radiatoreditor.h"

#include <QDialog>

#include <map>

class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace kalydor {
class ProgramOptions;
}

namespace kalydor::gui {

/// The radiator dialog: family, main type and size of a radiator, its water temperatures and
/// installation factor, what it then gives, and its output and volume flow over the return
/// temperature.
class RadiatorDialog : public QDialog {
    Q_OBJECT

public:
    RadiatorDialog(RadiatorEditor& editor, QWidget* parent = nullptr);

    QComboBox* familyCombo() const { return m_family; }
    QComboBox* mainTypeCombo() const { return m_mainType; }
    QToolButton* increaseButton() const { return m_increase; }
    QToolButton* decreaseButton() const { return m_decrease; }
    QLabel* typeCodeLabel() const { return m_typeCode; }
    QLabel* dimensionsLabel() const { return m_dimensions; }
    QLabel* outputLabel() const { return m_output; }
    QLabel* flowLabel() const { return m_flow; }
    QComboBox* unitCombo() const { return m_unit; }
    QLineEdit* field(RadiatorField which) const { return m_fields.at(which); }
    QLabel* status() const { return m_status; }
    QChartView* chart() const { return m_chart; }

    void accept() override;
    /// Cancel asks before changes are thrown away.
    void reject() override;

private:
    /// Shows the radiator as the editor holds it, and the editor's status.
    void refresh();
    void plot();

    RadiatorEditor& m_editor;
    QComboBox* m_family;
    QComboBox* m_mainType;
    QLabel* m_typeCode;
    QToolButton* m_decrease;
    QToolButton* m_increase;
    QLabel* m_dimensions;
    QLabel* m_output;
    QLabel* m_flow;
    QComboBox* m_unit;
    QLabel* m_mediumType;
    QLabel* m_ro;
    QLabel* m_nu;
    QLabel* m_specificHeat;
    QChartView* m_chart;
    QLabel* m_status;
    std::map<RadiatorField, QLineEdit*> m_fields;
    NumberFieldSet m_numbers;
};

/// The desktop's radiator dialog for the room editor.
class QtRadiatorDialogs final : public RadiatorDialogs {
public:
    explicit QtRadiatorDialogs(const ProgramOptions& options)
        : m_options(options) {}
    bool editRadiator(RadiatorEditor& editor, platform::Window* owner) override;

private:
    const ProgramOptions& m_options;
};

} // namespace kalydor::gui
