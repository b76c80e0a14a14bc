#pragma once

#include <QProgressDialog>
#include <QString>

#include <cstddef>
#include <functional>

namespace kalydor::gui {

/// A determinate progress window for a long change of the project (a recalculation, a bulk
/// change, an import, a conversion): its text, the count done of the total, and a Cancel
/// button when the change can be stopped (nothing of it is then kept).
class ProgressWindow {
public:
    ProgressWindow(QWidget* parent, const QString& text, bool cancellable);

    /// Told the count done of the total; false once the user cancelled.
    bool step(std::size_t done, std::size_t total);
    /// The same as a function for the core's progress callbacks.
    std::function<bool(std::size_t, std::size_t)> callback() {
        return [this](std::size_t done, std::size_t total) { return step(done, total); };
    }
    bool cancelled() const { return m_dialog.wasCanceled(); }
    QProgressDialog& dialog() { return m_dialog; }

private:
    QProgressDialog m_dialog;
    QString m_text;
};

} // namespace kalydor::gui
