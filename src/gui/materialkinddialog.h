#pragma once

#include "constructions/materialeditor.h"

#include <QDialog>

#include <array>

class QRadioButton;

namespace kalydor::gui {

/// Chooses the kind of a new material: "Normal", "Thick" or "Air".
class MaterialKindDialog : public QDialog {
    Q_OBJECT

public:
    explicit MaterialKindDialog(QWidget* parent = nullptr);
    MaterialKind kind() const;
    void setKind(MaterialKind kind);

private:
    std::array<QRadioButton*, 3> m_kinds;
};

} // namespace kalydor::gui
