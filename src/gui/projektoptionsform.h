#pragma once

#include "gui/numberfieldbinding.h"
#include "heating/projektoptionseditor.h"

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
class TLanguages;
}

namespace kalydor::gui {

/// The project options dialog: the defaults of new constructions, buildings and rooms, the
/// winter heating load and radiators of the open project. OK checks every number, applies
/// them all and saves the options into the project; a bad number is named and the dialog
/// stays open. Cancel loads the options afresh from the project. After OK, `changes()` says
/// whether the rooms and buildings of the project are to be recalculated.
class TProjektOptionsForm : public QDialog {
    Q_OBJECT

public:
    TProjektOptionsForm(TProjektOptions& options, TDataModuleForm& project,
                        const TLanguages& languages, QWidget* parent = nullptr);

    /// What the confirmed options changed (all false until OK succeeded).
    const ProjektOptionsChanges& changes() const { return m_changes; }

    void accept() override;
    void reject() override;

private:
    using Number = ProjektOptionsFields::Number;

    QWidget* buildPanelPage();
    QWidget* buildBuildingPage();
    QWidget* buildHeatingPage();
    QWidget* buildRadiatorPage();
    QLineEdit* numberEdit(Number field, const char* name);
    QGroupBox* choiceGroup(const char* name, const QString& caption,
                           std::initializer_list<const char*> captions,
                           std::vector<QRadioButton*>& buttons);
    void showFields();
    ProjektOptionsFields takeFields() const;
    void showFieldError(Number field);

    const TLanguages& m_languages;
    ProjektOptionsEditor m_editor;
    ProjektOptionsFields m_fields;
    ProjektOptionsChanges m_changes;

    QTabWidget* m_pages;
    QLabel* m_readOnlyNote;
    QLabel* m_status;
    std::array<QLineEdit*, ProjektOptionsFields::kNumberCount> m_numbers{};
    NumberFieldSet m_fieldSet;
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
