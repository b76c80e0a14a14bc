#pragma once

#include "gui/filechooser.h"
#include "gui/numberfieldbinding.h"
#include "heating/projectoptionseditor.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace kalydor {
class Languages;
}

namespace kalydor::gui {

/// The project options dialog: the defaults of new constructions, buildings and rooms, the
/// winter heating load and radiators of the open project. OK checks every number, applies
/// them all and saves the options into the project; a bad number is named and the dialog
/// stays open. Cancel loads the options afresh from the project. After OK, `changes()` says
/// whether the rooms and buildings of the project are to be recalculated.
class ProjectOptionsDialog : public QDialog {
    Q_OBJECT

public:
    ProjectOptionsDialog(ProjectOptions& options, ItemStore& project, const Languages& languages,
                         QWidget* parent = nullptr);

    /// What the confirmed options changed (all false until OK succeeded).
    const ProjectOptionsChanges& changes() const { return m_changes; }
    /// The recalculation confirmed options cause; it commits with them (see the editor).
    void setRecalculation(ProjectOptionsEditor::Recalculation recalculation) {
        m_editor.setRecalculation(std::move(recalculation));
    }

    /// How the load and save buttons ask for their file (tests answer at once).
    void setFileChooser(FileChooser chooser) { m_files = std::move(chooser); }
    /// The load and save buttons: a settings file read into the dialog (kept by OK), or the
    /// dialog's values written to one.
    void loadSettings();
    void saveSettings();

    void accept() override;
    void reject() override;

private:
    using Number = ProjectOptionsFields::Number;

    QWidget* buildPanelPage();
    QWidget* buildBuildingPage();
    QWidget* buildHeatingPage();
    QWidget* buildRadiatorPage();
    QLineEdit* numberEdit(Number field, const char* name);
    QGroupBox* choiceGroup(const char* name, const QString& caption,
                           std::initializer_list<const char*> captions,
                           std::vector<QRadioButton*>& buttons);
    void showFields();
    ProjectOptionsFields takeFields() const;
    void showFieldError(Number field);

    const Languages& m_languages;
    ProjectOptionsEditor m_editor;
    ProjectOptionsFields m_fields;
    ProjectOptionsChanges m_changes;

    QTabWidget* m_pages;
    QLabel* m_readOnlyNote;
    QLabel* m_status;
    std::array<QLineEdit*, ProjectOptionsFields::kNumberCount> m_numbers{};
    NumberFieldSet m_fieldSet;
    FileChooser m_files = dialogFileChooser();
    std::vector<QRadioButton*> m_usingModes;
    std::vector<QRadioButton*> m_wallMassModes;
    std::vector<QRadioButton*> m_pollutions;
    std::vector<QRadioButton*> m_nearest;
    QComboBox* m_filtMode;
    QCheckBox* m_heatingCalculate;
    QCheckBox* m_sunShine;
    QCheckBox* m_acCalculated;
};

} // namespace kalydor::gui
