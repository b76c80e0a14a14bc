#pragma once

#include <QDialog>

class QRadioButton;

namespace kalydor::gui {

/// Asks whether a new construction is built from layers ("Laminated") or has its values
/// typed in ("Knowed").
class PanelTypeDialog : public QDialog {
    Q_OBJECT

public:
    explicit PanelTypeDialog(QWidget* parent = nullptr);
    bool known() const;
    void setKnown(bool known);

private:
    QRadioButton* m_layered;
    QRadioButton* m_known;
};

} // namespace kalydor::gui
