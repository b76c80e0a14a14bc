#pragma once

#include "constructions/layer.h"
#include "gui/numberfieldbinding.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

namespace kalydor {
class Languages;
namespace platform {
class SettingsStore;
}
} // namespace kalydor

namespace kalydor::gui {

/// Asks the thickness of a material being added as a layer; a bad number shows its message
/// and keeps the dialog open.
class ThicknessDialog : public QDialog {
    Q_OBJECT

public:
    ThicknessDialog(Layer& layer, QWidget* parent = nullptr);
    QLineEdit* thickness() const { return m_thickness; }
    QLabel* status() const { return m_status; }
    void accept() override;

private:
    Layer& m_layer;
    QLineEdit* m_thickness;
    QLabel* m_status;
    NumberFieldSet m_numbers;
};

/// How the construction editors ask for the thickness of a new layer (a dialog in the
/// program, scripted in tests).
using ThicknessPrompt = std::function<bool(QWidget* parent, Layer& layer)>;

/// The thickness dialog as the program shows it.
bool askLayerThickness(QWidget* parent, Layer& layer, const Languages& languages,
                       platform::SettingsStore& settings);

} // namespace kalydor::gui
