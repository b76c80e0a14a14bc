#pragma once

#include "constructions/paneleditor.h"
#include "gui/layerlistview.h"
#include "gui/numberfieldbinding.h"
#include "gui/thicknessdialog.h"

#include <QDialog>
#include <QPointer>

#include <map>
#include <string>
#include <utility>

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace kalydor {
class ItemStore;
class Languages;
namespace platform {
class SettingsStore;
}
} // namespace kalydor

namespace kalydor::gui {

class VapourDiagramWindow;

/// The editor of a layered construction: its type, climates and given values, the layer
/// list, and the results recalculated after every change.
class LayeredPanelDialog : public QDialog {
    Q_OBJECT

public:
    LayeredPanelDialog(LayeredPanelEditor& editor, ItemStore* materials, const Languages& languages,
                       platform::SettingsStore& settings, bool xIsDistance,
                       ThicknessPrompt askThickness, QWidget* parent = nullptr);
    ~LayeredPanelDialog() override;

    QComboBox* typeCombo() const { return m_type; }
    QLineEdit* field(PanelField which) const { return m_fields.at(which); }
    /// The value label of a result ("TotalResistance", "DampFactor", "HeatMass", …).
    QLabel* result(const char* name) const;
    /// The caption label of a result.
    QLabel* resultCaption(const char* name) const { return m_resultCaptions.at(name); }
    QLabel* status() const { return m_status; }
    QTreeWidget* layerList() const { return m_layers.widget(); }
    /// Opens the layer selection dialog (modal).
    void selectLayers();
    /// Opens (or brings up) the diagram window following this construction.
    VapourDiagramWindow* showDiagram();

    void accept() override;
    /// Cancel asks before changes are thrown away.
    void reject() override;

private:
    void fieldTaken(PanelField which, double value);
    void typeChosen(int index);
    /// Shows the results of the last calculation and the layers with one selected.
    void refresh(int selectedLayer);
    void refresh();

    LayeredPanelEditor& m_editor;
    ItemStore* m_materials;
    const Languages& m_languages;
    platform::SettingsStore& m_settings;
    bool m_xIsDistance;
    ThicknessPrompt m_askThickness;
    QComboBox* m_type;
    std::map<PanelField, QLineEdit*> m_fields;
    std::map<PanelField, std::pair<QFormLayout*, QLabel*>> m_rows; ///< the form and caption
    NumberFieldSet m_numbers;
    std::map<std::string, QLabel*> m_results;
    std::map<std::string, QLabel*> m_resultCaptions;
    QLabel* m_floorClass = nullptr;
    QFormLayout* m_resultForm = nullptr;
    LayerListView m_layers;
    QLabel* m_status;
    QPointer<VapourDiagramWindow> m_diagram;
};

} // namespace kalydor::gui
