#pragma once

#include "constructions/materialeditor.h"
#include "gui/numberfieldbinding.h"

#include <QDialog>

#include <array>
#include <string>

class QChartView;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace kalydor::gui {

/// The editor of "Normal" and "Thick" materials (and of a layer's material): the thermal and
/// vapour values, the moisture values and the sorption isotherm with its chart.
class MaterialDialog : public QDialog {
    Q_OBJECT

public:
    MaterialDialog(MaterialEditor& editor, QWidget* parent = nullptr);

    QLineEdit* field(MaterialField which) const { return m_fields[static_cast<int>(which)]; }
    QTableWidget* isotherm() const { return m_isotherm; }
    QChartView* chart() const { return m_chart; }
    /// Points the chart shows: the positive isotherm points.
    int plottedPoints() const;

    void accept() override;
    /// Cancel asks before changes are thrown away.
    void reject() override;

private:
    void isothermEdited(int row, int column);
    void redrawChart();
    std::array<std::string, Material::kIsothermPoints> isothermTexts() const;

    MaterialEditor& m_editor;
    std::array<QLineEdit*, kMaterialFieldCount> m_fields{};
    QTableWidget* m_isotherm;
    QChartView* m_chart;
    QLabel* m_status;
    NumberFieldSet m_numbers;
};

} // namespace kalydor::gui
