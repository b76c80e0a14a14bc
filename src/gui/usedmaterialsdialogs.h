#pragma once

#include "gui/printdialog.h"

#include <QDialog>

#include <cstddef>
#include <functional>
#include <vector>

class QTreeWidget;

namespace kalydor {
class UsedMaterials;
}

namespace kalydor::gui {

/// The lines of the bill of materials in a check tree, grouped by device type (the type's
/// language text), every line ticked to begin with; a group's box ticks its lines.
class BillLineTree {
public:
    BillLineTree(const UsedMaterials& bill, QTreeWidget* tree);
    /// The ticked lines, as indexes into the bill, in the bill's order.
    std::vector<std::size_t> chosen() const;

private:
    QTreeWidget* m_tree;
};

/// The printing dialog of the bill of materials: the lines to print, the table's columns,
/// the printer setup, then preview, print or PDF.
class UsedMaterialsPrintDialog : public QDialog {
    Q_OBJECT

public:
    UsedMaterialsPrintDialog(const UsedMaterials& bill, QWidget* parent = nullptr);

    PrintDialog::Command command() const { return m_command; }
    std::vector<std::size_t> chosen() const { return m_lines.chosen(); }
    QTreeWidget* tree() const { return m_tree; }
    /// Opens the column editor of the bill's table; set by the program.
    std::function<void()> editColumns;
    /// Opens the printer's page setup; set by the program.
    std::function<void()> setupPrinter;
    /// Closes with the command; no line ticked is refused in a message.
    void finish(PrintDialog::Command command);

private:
    QTreeWidget* m_tree;
    BillLineTree m_lines;
    PrintDialog::Command m_command = PrintDialog::Command::None;
};

/// The choice of the bill's lines for a copy or an export file.
class UsedMaterialsExportDialog : public QDialog {
    Q_OBJECT

public:
    UsedMaterialsExportDialog(const UsedMaterials& bill, QWidget* parent = nullptr);

    std::vector<std::size_t> chosen() const { return m_lines.chosen(); }
    QTreeWidget* tree() const { return m_tree; }
    /// Closes with OK; no line ticked is refused in a message.
    void accept() override;

private:
    QTreeWidget* m_tree;
    BillLineTree m_lines;
};

} // namespace kalydor::gui
