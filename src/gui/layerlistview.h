#pragma once

#include "constructions/paneleditor.h"
#include "reports/columnlayout.h"

#include <functional>

class QBoxLayout;
class QRadioButton;
class QTreeWidget;
class QWidget;

namespace kalydor {
class Languages;
namespace platform {
class SettingsStore;
}
} // namespace kalydor

namespace kalydor::gui {

class ColumnHeaderView;

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

} // namespace kalydor::gui
