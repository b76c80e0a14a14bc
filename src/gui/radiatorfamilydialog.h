#pragma once

#include "devicedb/deviceviews.h"
#include "gui/numberfieldbinding.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace kalydor {
class RadiatorFamily;
}

namespace kalydor::gui {

/// The read-only view of a radiator family: the sizes of the chosen main type at the room,
/// return and forward temperatures typed (20, 70 and 90 °C at first).
class RadiatorFamilyDialog : public QDialog {
    Q_OBJECT

public:
    RadiatorFamilyDialog(const RadiatorFamily& family, QWidget* parent = nullptr);

    QComboBox* mainTypes() const { return m_mainTypes; }
    QLineEdit* temperature(int which) const { return m_temperatures[which]; }
    QTableWidget* sizes() const { return m_sizes; }
    QLabel* status() const { return m_status; }
    /// Fills the rows again from the main type and temperatures shown.
    void refresh();

private:
    const RadiatorFamily& m_family;
    ViewTemperatures m_shown;
    QComboBox* m_mainTypes;
    QLineEdit* m_temperatures[3];
    QTableWidget* m_sizes;
    QLabel* m_status;
    NumberFieldSet m_numbers;
};

} // namespace kalydor::gui
