#pragma once

#include "rooms/ventilationchange.h"

#include <QDialog>

#include <array>
#include <map>
#include <optional>

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace kalydor {
class Languages;
}
namespace kalydor::platform {
class SettingsStore;
}

namespace kalydor::gui {

/// The five ventilation-method buttons ("MethodRadio0" …, captioned "IDS_FILTMODES+" n) in one
/// exclusive group, each on a row of `grid` from `row` on (which it advances).
std::array<QRadioButton*, 5> addVentilationMethods(QGridLayout* grid, int& row,
                                                   QButtonGroup* group);

/// The change of the ventilation method of many rooms: the method with its value boxes and
/// the entering air, each box left empty leaving that value of the rooms as it is. OK reads
/// every box before any room is touched; a bad one keeps the dialog open.
class VentilationChangeDialog : public QDialog {
    Q_OBJECT

public:
    /// `languages` and `settings` open the wind table (none: its button is hidden).
    VentilationChangeDialog(const Languages* languages, platform::SettingsStore* settings,
                            QWidget* parent = nullptr);

    QRadioButton* methodButton(int method) const {
        return m_methods[static_cast<std::size_t>(method)];
    }
    QLineEdit* box(const char* name) const { return m_boxes.at(name); }
    QComboBox* airCombo() const { return m_air; }
    QLabel* status() const { return m_status; }
    /// The change read by OK.
    const std::optional<VentilationChange>& change() const { return m_change; }
    /// The boxes as filled.
    VentilationChangeForm form() const;

    void accept() override;

private:
    void showMethod();

    std::array<QRadioButton*, 5> m_methods{};
    std::map<std::string, QLineEdit*> m_boxes;
    std::map<std::string, QLabel*> m_captions;
    QComboBox* m_air;
    QLabel* m_airCaption;
    QPushButton* m_wind;
    QLabel* m_status;
    std::optional<VentilationChange> m_change;
};

} // namespace kalydor::gui
