#pragma once

#include "constructions/layerselection.h"
#include "gui/layerlistview.h"
#include "gui/thicknessdialog.h"

#include <QDialog>

#include <memory>

class QListWidget;
class QRadioButton;
class QTreeWidget;

namespace kalydor {
class ItemStore;
class Languages;
class TreeModel;
namespace platform {
class SettingsStore;
}
} // namespace kalydor

namespace kalydor::gui {

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

} // namespace kalydor::gui
