#pragma once

#include "gui/numberfieldbinding.h"
#include "rooms/boundaryeditor.h"

#include <QDialog>

#include <map>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kalydor {
class Languages;
}
namespace kalydor::platform {
class SettingsStore;
}

namespace kalydor::gui {

/// A boundary's dialog: the full one (kind, every value the kind reads), the wall dialog
/// (measures, orientation and tilt or the neighbour) or the bridge dialog (length and
/// surface). The glazing and infiltration buttons fill `k` and the infiltration factor from
/// their tables.
class BoundaryDialog : public QDialog {
    Q_OBJECT

public:
    /// `languages` and `settings` open the table dialogs (none: the buttons are hidden).
    BoundaryDialog(BoundaryEditor& editor, const Languages* languages,
                   platform::SettingsStore* settings, QWidget* parent = nullptr);

    QComboBox* kindCombo() const { return m_kind; }
    QLineEdit* field(BoundaryField which) const { return m_fields.at(which); }
    QLabel* caption(BoundaryField which) const { return m_captions.at(which); }
    QComboBox* orientationCombo() const { return m_orientation; }
    QComboBox* gradientCombo() const { return m_gradient; }
    QCheckBox* unheatedCheck() const { return m_unheated; }
    QPushButton* glazingButton() const { return m_glazing; }
    QPushButton* infiltrationButton() const { return m_infiltration; }
    QLabel* status() const { return m_status; }

    void accept() override;

protected:
    /// The deduction box's caption follows the kind, after the window's translation.
    void showEvent(QShowEvent* event) override;

private:
    void showKind();
    void orientationLeft();

    BoundaryEditor& m_editor;
    const Languages* m_languages;
    platform::SettingsStore* m_settings;
    QComboBox* m_kind = nullptr;
    std::map<BoundaryField, QLineEdit*> m_fields;
    std::map<BoundaryField, QLabel*> m_captions;
    QComboBox* m_orientation;
    QLabel* m_orientationCaption;
    QComboBox* m_gradient;
    QLabel* m_gradientCaption;
    QCheckBox* m_unheated;
    QComboBox* m_sunFactor;
    QLabel* m_sunFactorCaption;
    QPushButton* m_glazing;
    QPushButton* m_infiltration;
    QLabel* m_status;
    NumberFieldSet m_numbers;
};

} // namespace kalydor::gui
