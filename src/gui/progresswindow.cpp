#include "gui/progresswindow.h"

#include "base/textlookup.h"
#include "gui/widgets.h"

#include <QApplication>

namespace kalydor::gui {

ProgressWindow::ProgressWindow(QWidget* parent, const QString& text, bool cancellable)
    : m_dialog(text, QString(), 0, 0, parent)
    , m_text(text) {
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(300);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
    if (cancellable) {
        const std::string cancel = GetText("IDS_BUTTONCANCEL");
        m_dialog.setCancelButtonText(cancel.empty() ? QStringLiteral("Cancel") : qt(cancel));
    } else {
        m_dialog.setCancelButton(nullptr);
    }
}

bool ProgressWindow::step(std::size_t done, std::size_t total) {
    if (total > 0 && m_dialog.maximum() != static_cast<int>(total))
        m_dialog.setMaximum(static_cast<int>(total));
    m_dialog.setValue(static_cast<int>(done));
    // "Recalculating… 1,234 / 5,000": the counts say how far it got.
    m_dialog.setLabelText(m_text + QStringLiteral("\n%1 / %2").arg(done).arg(total));
    QApplication::processEvents();
    return !m_dialog.wasCanceled();
}

} // namespace kalydor::gui
