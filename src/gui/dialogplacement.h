#pragma once

class QDialog;
class QWidget;

namespace kalydor::platform {
class SettingsStore;
}

namespace kalydor::gui {

/// Puts a dialog window where it was last closed (by its object name): maximised, or at the
/// remembered position and, when it can be resized, size. A remembered position that no
/// screen shows any more is not used, so a dialog never opens out of reach.
void restorePlacement(QWidget& window, const platform::SettingsStore& store);

/// Remembers where a dialog window was closed.
void savePlacement(const QWidget& window, platform::SettingsStore& store);

/// Shows a modal dialog at its remembered place and remembers its place when it closes;
/// returns the dialog's result.
int execPlaced(QDialog& dialog, platform::SettingsStore& store);
/// The same without a settings store: shown where the window system puts it.
int execPlaced(QDialog& dialog, platform::SettingsStore* store);

} // namespace kalydor::gui
