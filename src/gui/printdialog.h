#pragma once

#include "shell/printout.h"
#include "shell/reportsources.h"
#include "store/itemkinds.h"
#include "store/reference.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace kalydor::gui {

/// The printing dialog of a list window's kind: the title, page numbers from a first number,
/// the file name and date, only some pages, the formats of the kind, and the items (all, or
/// those ticked in the group tree). It closes with the command chosen: preview, print or PDF.
/// The typed choices are the run's: the next printout starts from them.
class PrintDialog : public QDialog {
    Q_OBJECT

public:
    enum class Command { None, Preview, Print, Pdf };

    PrintDialog(ItemKind kind, PrintForm& form, QWidget* parent = nullptr);

    Command command() const { return m_command; }
    /// The items chosen with the items button; none: every item of the kind.
    const std::optional<std::vector<Reference>>& items() const { return m_items; }
    /// Opens the group tree to tick items; set by the program (a test puts in its own).
    std::function<std::optional<std::vector<Reference>>()> chooseItems;
    /// Opens the column editor of one of the kind's printed tables.
    std::function<void(const PrintedTable&)> editColumns;
    /// Opens the printer's page setup.
    std::function<void()> setupPrinter;
    /// The printed tables whose columns can be edited, in the order of their list.
    const std::vector<PrintedTable>& tables() const { return m_tables; }
    QComboBox* tableChoice() const { return m_tableChoice; }

    QListWidget* formatList() const { return m_formatList; }
    /// Takes the boxes into the form and closes with the command; a first page number that is
    /// no page number, or no format chosen, is refused in a message and the dialog stays.
    void finish(Command command);

private:
    PrintForm& m_form;
    std::vector<int> m_formats;
    std::vector<PrintedTable> m_tables;
    Command m_command = Command::None;
    std::optional<std::vector<Reference>> m_items;
    QLineEdit* m_title;
    QCheckBox* m_numberPages;
    QLineEdit* m_firstPage;
    QCheckBox* m_fileName;
    QCheckBox* m_date;
    QLineEdit* m_onlyPages;
    QCheckBox* m_projectData;
    QListWidget* m_formatList;
    QComboBox* m_tableChoice;
};

} // namespace kalydor::gui
