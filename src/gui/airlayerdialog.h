#pragma once

#include "constructions/materialeditor.h"
#include "gui/numberfieldbinding.h"

#include <QDialog>

class QChartView;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace kalydor::gui {

/// The editor of air layers: thickness, ventilated flag, in layer mode the vapour-pressure
/// offset, and the resistance-by-thickness diagram with its chart.
class AirLayerDialog : public QDialog {
    Q_OBJECT

public:
    AirLayerDialog(AirMaterialEditor& editor, QWidget* parent = nullptr);

    QLineEdit* thickness() const { return m_thickness; }
    QLineEdit* resistance() const { return m_resistance; }
    QLineEdit* steamRes() const { return m_steamRes; }
    QCheckBox* ventilated() const { return m_ventilated; }
    QTableWidget* diagram() const { return m_diagram; }
    QLabel* status() const { return m_status; }
    int plottedPoints() const;

    void accept() override;
    /// Cancel asks before changes are thrown away.
    void reject() override;

private:
    AirMaterialEditor::Fields takeFields() const;
    void showDiagram(const AirMaterialEditor::Fields& fields);
    void diagramEdited(int row, int column);
    void redrawChart();

    AirMaterialEditor& m_editor;
    QLineEdit* m_thickness;
    QLineEdit* m_resistance;
    QLineEdit* m_steamRes;
    QCheckBox* m_ventilated;
    QTableWidget* m_diagram;
    QChartView* m_chart;
    QLabel* m_status;
    NumberFieldSet m_numbers;
};

} // namespace kalydor::gui
