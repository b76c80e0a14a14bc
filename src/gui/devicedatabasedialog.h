#pragma once

#include "devicedb/devicedatabaseeditor.h"
#include "devicedb/deviceset.h"
#include "gui/filechooser.h"
#include "store/treemodel.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kalydor {
class DeviceItem;
class DeviceStore;
class Languages;
namespace platform {
class SettingsStore;
}
} // namespace kalydor

namespace kalydor::gui {

/// The maintenance of the device database: the folder trees of both kinds as the table holds
/// them, the table's file, and the commands of the editor — load source files, export, check
/// an item, delete an item or a folder, choose another table, write a reduced table and hand
/// new estimate codes to the estimating program. The trees are read again after each command.
class DeviceDatabaseDialog : public QDialog {
    Q_OBJECT

public:
    DeviceDatabaseDialog(DeviceStore& table, platform::SettingsStore& settings,
                         const Languages& languages, QWidget* parent = nullptr);
    ~DeviceDatabaseDialog() override;

    QTreeWidget* tree() const { return m_view; }
    QLabel* tableFile() const { return m_tableFile; }
    QPushButton* button(const char* name) const;
    /// The table the dialog works on (another one after "choose database").
    DeviceStore& table() const { return *m_table; }
    /// The row of an item or folder by its captions from the kind's title down ("Radiators",
    /// "Oțel", "Panou"), or null.
    QTreeWidgetItem* rowAt(const QStringList& captions) const;

    /// Asks for the files of the commands; the file dialogs unless a test puts in its own.
    FileChooser fileChooser = dialogFileChooser();
    /// Lets the user choose the items of a set for an export or a reduced table; false when
    /// cancelled. The set dialog unless a test puts in its own.
    std::function<bool(DeviceSet& set)> chooseItems;
    /// Shows an item read from the table; the family or piece-list view unless a test puts in
    /// its own.
    std::function<void(const DeviceItem& item)> showItem;
    /// Takes over a table the user chose: the owner keeps it open from then on and lets go of
    /// the one it had. Without an owner the dialog keeps the table itself.
    std::function<void(std::unique_ptr<DeviceStore> table)> tableChosen;

    /// The commands of the buttons; errors are shown and the dialog goes on.
    void loadSources();
    void exportItems();
    void checkItem();
    void deleteSelected();
    void chooseTable();
    void writeReducedTable();
    void appendEstimateCodes();

private:
    void rebuild();
    void updateButtons();
    /// The kind of the tree a row belongs to.
    DeviceKind kindOf(const QTreeWidgetItem* row) const;
    QStringList captionsOf(const QTreeWidgetItem* row) const;
    QString openFile(QPushButton* command, const QStringList& filters);
    QString saveFile(QPushButton* command, const QStringList& filters);

    DeviceStore* m_table;
    std::unique_ptr<DeviceStore> m_ownTable;
    platform::SettingsStore& m_settings;
    const Languages& m_languages;
    std::unique_ptr<DeviceDatabaseEditor> m_editor;
    std::unique_ptr<DeviceSet> m_browsing;
    TreeModel m_model;
    QTreeWidget* m_view;
    QLabel* m_tableFile;
};

} // namespace kalydor::gui
