#pragma once

#include "constructions/paneleditor.h"
#include "gui/numberfieldbinding.h"

#include <QDialog>

#include <map>
#include <utility>

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace kalydor {
class Languages;
namespace platform {
class SettingsStore;
}
} // namespace kalydor

namespace kalydor::gui {

/// The editor of a known construction: the type and the values of the type's pages.
class KnownPanelDialog : public QDialog {
    Q_OBJECT

public:
    /// `languages` open the joint infiltration table (none: its button is disabled).
    KnownPanelDialog(KnownPanelEditor& editor, QWidget* parent = nullptr,
                     const Languages* languages = nullptr,
                     platform::SettingsStore* settings = nullptr);

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

} // namespace kalydor::gui
