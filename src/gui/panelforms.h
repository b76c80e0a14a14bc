#pragma once

#include "constructions/layerselection.h"
#include "constructions/paneleditor.h"
#include "gui/numberfieldbinding.h"
#include "reports/listheaderformat.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <map>

class QBoxLayout;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;

namespace kalydor {
class ItemStore;
class Languages;
class ProgramOptions;
class TreeModel;
namespace platform {
class SettingsStore;
}
} // namespace kalydor

namespace kalydor::gui {

class ColumnHeaderView;
class VapourDiagramWindow;

/// Asks whether a new construction is built from layers ("Laminated") or has its values
/// typed in ("Knowed").
class PanelTypeDialog : public QDialog {
    Q_OBJECT

public:
    explicit PanelTypeDialog(QWidget* parent = nullptr);
    bool known() const;
    void setKnown(bool known);

private:
    QRadioButton* m_layered;
    QRadioButton* m_known;
};

/// Asks the thickness of a material being added as a layer; a bad number shows its message
/// and keeps the dialog open.
class ThicknessDialog : public QDialog {
    Q_OBJECT

public:
    ThicknessDialog(Layer& layer, QWidget* parent = nullptr);
    QLineEdit* thickness() const { return m_thickness; }
    QLabel* status() const { return m_status; }
    void accept() override;

private:
    Layer& m_layer;
    QLineEdit* m_thickness;
    QLabel* m_status;
    NumberFieldSet m_numbers;
};

/// How the construction editors ask for the thickness of a new layer (a dialog in the
/// program, scripted in tests).
using ThicknessPrompt = std::function<bool(QWidget* parent, Layer& layer)>;

/// The object names of the layer buttons of a window (the language files caption them).
struct LayerCommandNames {
    const char* modify;
    const char* up;
    const char* down;
    const char* remove;
};

/// The layer list of a layered construction as the editors show it: the "PanelLayersTitle"
/// columns with the results of the last calculation, the names edited in place, the ordering
/// choice and the layer commands. After a change it hands the layer to select to the window.
class LayerListView {
public:
    using Changed = std::function<void(int selected)>;

    LayerListView(LayeredPanelEditor& editor, const Languages& languages,
                  platform::SettingsStore& settings, const char* objectName);
    /// The header lets go of the column layout, which goes before the list's widgets do.
    ~LayerListView();
    LayerListView(const LayerListView&) = delete;
    LayerListView& operator=(const LayerListView&) = delete;
    QTreeWidget* widget() const { return m_list; }
    /// Refills the rows from the editor's construction and selects a row (-1 none).
    void fill(int selected);
    int selected() const;

    /// What the window does after the layers or their ordering changed.
    void setChanged(Changed changed) { m_changed = std::move(changed); }
    /// Adds the two ordering choices ("OutsideIn", "InsideOut") to a row.
    void addOrderingChoice(QBoxLayout* row);
    /// Checks the ordering choice of the construction's ordering.
    void showOrdering();
    QRadioButton* outsideIn() const { return m_outsideIn; }
    QRadioButton* insideOut() const { return m_insideOut; }
    /// Adds the modify, up, down and delete buttons to a row, acting on the selected layer.
    void addCommands(QBoxLayout* row, QWidget* owner, const LayerCommandNames& names);
    /// Opens the material editor of the selected layer.
    void modifySelected(QWidget* owner);

private:
    void runOnSelected(const std::function<int(int)>& command);

    LayeredPanelEditor& m_editor;
    ColumnLayout m_columns;
    QTreeWidget* m_list;
    ColumnHeaderView* m_header;
    QRadioButton* m_outsideIn = nullptr;
    QRadioButton* m_insideOut = nullptr;
    Changed m_changed;
    bool m_filling = false;
    bool m_widthsApplied = false;
};

/// Adds materials as layers: the material groups and the materials of the selected group
/// on one side, the construction's layers with their ordering and operations on the other.
/// Every change goes straight to the editor's construction.
class LayerSelectionDialog : public QDialog {
    Q_OBJECT

public:
    LayerSelectionDialog(LayeredPanelEditor& editor, ItemStore* materials,
                         const Languages& languages, platform::SettingsStore& settings,
                         ThicknessPrompt askThickness, QWidget* parent = nullptr);
    ~LayerSelectionDialog() override;

    QTreeWidget* groupTree() const { return m_groups; }
    QListWidget* materialList() const { return m_materials; }
    QTreeWidget* layerList() const { return m_layers.widget(); }
    QRadioButton* outsideIn() const { return m_layers.outsideIn(); }
    QRadioButton* insideOut() const { return m_layers.insideOut(); }
    /// Selects a group node by its path of captions below the root.
    bool selectGroup(const QStringList& path);
    /// Adds the selected material (the add button, or a double click on it).
    void addSelected();

signals:
    /// The layers or their ordering changed.
    void layersChanged();

private:
    void showMaterials();

    LayeredPanelEditor& m_editor;
    std::unique_ptr<MaterialPicker> m_picker;
    std::unique_ptr<TreeModel> m_tree;
    ThicknessPrompt m_askThickness;
    QTreeWidget* m_groups;
    QListWidget* m_materials;
    LayerListView m_layers;
};

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

/// The editor of a known construction: the type and the values of the type's pages.
class KnownPanelDialog : public QDialog {
    Q_OBJECT

public:
    KnownPanelDialog(KnownPanelEditor& editor, QWidget* parent = nullptr);

    QComboBox* typeCombo() const { return m_type; }
    QLineEdit* field(PanelField which) const { return m_fields.at(which); }
    QTabWidget* pages() const { return m_pages; }
    QLabel* status() const { return m_status; }
    void accept() override;
    /// Cancel asks before changes are thrown away.
    void reject() override;

private:
    void typeChosen(int index);
    void showPages();

    KnownPanelEditor& m_editor;
    QComboBox* m_type;
    QTabWidget* m_pages;
    std::map<PanelField, QLineEdit*> m_fields;
    std::map<PanelField, std::pair<QFormLayout*, QLabel*>> m_rows; ///< the form and caption
    QLabel* m_status;
    NumberFieldSet m_numbers;
};

/// The desktop's construction dialogs, installed at start-up.
class QtPanelDialogs final : public PanelDialogs {
public:
    QtPanelDialogs(const ProgramOptions& options, std::function<ItemStore*()> materials);

    std::optional<bool> chooseKnown(platform::Window* owner) override;
    bool editLayered(LayeredPanelEditor& editor, platform::Window* owner) override;
    bool editKnown(KnownPanelEditor& editor, platform::Window* owner) override;
    PanelEditorOptions editorOptions() const override;

private:
    const ProgramOptions& m_options;
    std::function<ItemStore*()> m_materials;
};

/// The thickness dialog as the program shows it.
bool askLayerThickness(QWidget* parent, Layer& layer, const Languages& languages,
                       platform::SettingsStore& settings);

} // namespace kalydor::gui
