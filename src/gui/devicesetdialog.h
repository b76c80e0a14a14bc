#pragma once

#include "devicedb/deviceset.h"
#include "devicedb/deviceseteditor.h"
#include "gui/filechooser.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kalydor {
class Languages;
class TreeNode;
} // namespace kalydor

namespace kalydor::gui {

/// Chooses the items of a device set: both kinds' folder trees with a check box on every
/// node. A click on a box is the editor's click (a folder takes everything below it along),
/// and every box then shows the editor's mark. A set file can be loaded into the marks or
/// written from them. The dialog works on a copy of the set: OK puts the checked items into
/// the set, Cancel leaves it as it was (a set file written meanwhile stays written).
class DeviceSetDialog : public QDialog {
    Q_OBJECT

public:
    DeviceSetDialog(DeviceSet& set, const Languages& languages, QWidget* parent = nullptr);

    QTreeWidget* tree() const { return m_view; }
    const DeviceSetEditor& editor() const { return m_editor; }
    /// The row showing a node of the editor's tree, or null.
    QTreeWidgetItem* rowOf(const TreeNode& node) const;

    /// Asks for the set files; the file dialogs unless a test puts in its own.
    FileChooser fileChooser = dialogFileChooser();

    /// The commands of the buttons: a set file chosen and loaded into the marks, or the marks
    /// written to a set file. Errors are shown; the marks stay as they were then.
    void loadSetFile();
    void saveSetFile();

    void accept() override;

private:
    void showTree();
    void showMarks();
    void clicked(QTreeWidgetItem* row);

    DeviceSet& m_set;
    DeviceSet m_working;
    DeviceSetEditor m_editor;
    QTreeWidget* m_view;
    QPushButton* m_loadButton;
    QPushButton* m_saveButton;
};

} // namespace kalydor::gui
