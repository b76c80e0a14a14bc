#pragma once

#include "constructions/materialeditor.h"
#include "gui/numberfieldbinding.h"

#include <QDialog>

#include <array>

class QChartView;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTableWidget;

namespace kalydor::platform {
class SettingsStore;
}

namespace kalydor {
class Languages;
}

namespace kalydor::gui {

/// Chooses the kind of a new material: "Normal", "Thick" or "Air".
class MaterialKindDialog : public QDialog {
    Q_OBJECT

public:
    explicit MaterialKindDialog(QWidget* parent = nullptr);
    MaterialKind kind() const;
    void setKind(MaterialKind kind);

private:
    std::array<QRadioButton*, 3> m_kinds;
};

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

/// The chart of a material as a PNG picture: the sorption isotherm of a "Normal" material
/// with its 100 % point, the resistance-by-thickness diagram of an air layer with points;
/// empty for a material without one.
QByteArray materialChartPng(const Material& material, const Languages& languages);

/// The material dialogs of the desktop: translated, placed where they were last closed.
class QtMaterialDialogs final : public MaterialDialogs {
public:
    QtMaterialDialogs(const Languages& languages, platform::SettingsStore& settings);

    std::optional<MaterialKind> chooseKind(platform::Window* owner) override;
    bool editMaterial(MaterialEditor& editor, platform::Window* owner) override;
    bool editAirMaterial(AirMaterialEditor& editor, platform::Window* owner) override;

private:
    const Languages& m_languages;
    platform::SettingsStore& m_settings;
};

} // namespace kalydor::gui
